#!/usr/bin/env bash
# Counts the system calls of the steady read path: strace -c over the probe with 0 samples and
# with N samples (three key reads each); the difference is what 3N reads cost. Fails above 4
# calls per read, on any directory scan, and where strace (scripts/setup.sh installs it) or the
# fake tree is not available.
set -euo pipefail
probe=$1
samples=${2:-100}
command -v strace >/dev/null || { echo "strace is not installed"; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

count() {  # count <samples> <output>: "calls syscall" lines, then the total
  local status=0
  strace -f -c -U calls,name -o "$2" "$probe" "$1" >/dev/null 2>"$work/log" || status=$?
  [ "$status" -eq 0 ] || { echo "probe failed ($status)"; cat "$work/log"; exit 1; }
}
count 0 "$work/base"
count "$samples" "$work/run"

calls() { awk -v name="$2" '$2 == name { print $1; found = 1 } END { if (!found) print 0 }' "$1"; }
reads=$((3 * samples))
total=$(( $(calls "$work/run" total) - $(calls "$work/base" total) ))
scans=$(( $(calls "$work/run" getdents64) - $(calls "$work/base" getdents64) ))

echo "steady path, $samples samples ($reads key reads): $total calls, $scans directory scans"
[ "$scans" -eq 0 ] || { echo "FAIL: $scans directory scans on the steady path"; exit 1; }
[ "$total" -le $((4 * reads)) ] || { echo "FAIL: more than 4 calls per key read"; exit 1; }
