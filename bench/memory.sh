#!/usr/bin/env bash
# Idle cost of Pyrelle beside psensor: both run at once on the same fake sensors, each under its
# own Xvfb and private session bus with a stand-in panel (bench/sni-watcher.py), and after
# SECONDS the script prints per program: RSS and Pss_Anon, context switches per minute (all
# threads) and D-Bus signals per minute from its panel item, both from a settling time after
# the start (SECONDS/6, at most 10 s) to SECONDS; system calls per minute (strace -c -f over a
# further window, so that tracing does not count as switches); then the Pyrelle/psensor ratios. psensor is skipped
# when not installed. A benchmark, not a test: not run by ctest.
#
# Usage (as root, for the private mount namespace that hides /sys/class):
#   bash bench/memory.sh [--seconds 60] [--strace-seconds 30] [--title label|icon] [--steady]
#                        PATH/TO/pyrelle
# --title: what the panel shows. label: the stand-in panel calls itself gnome-shell, the session
#   says GNOME and Pyrelle's settings ask for the label; icon: an unknown panel, the drawn icon.
# --steady: the CPU stays at 47 °C; by default the reading changes every second, so that every
#   refresh (5 s in both programs) finds a new temperature to show.
# Needs xvfb, dbus, strace and python3-gi (/usr/bin/python3).
set -euo pipefail
self=$(realpath "$0")

if [ "${1-}" = "--session" ]; then
  # Inside one program's private session bus: stand-in panel, the program, the measurements.
  shift
  name=$1 out=$2 title=$3 seconds=$4 trace_seconds=$5
  shift 5
  comm=sni-watcher
  [ "$title" = label ] && comm=gnome-shell
  /usr/bin/python3 "$(dirname "$self")/sni-watcher.py" "$comm" "$out.signals" &
  watcher=$!
  for _ in $(seq 50); do
    gdbus call --session -d org.freedesktop.DBus -o /org/freedesktop/DBus \
      -m org.freedesktop.DBus.NameHasOwner org.kde.StatusNotifierWatcher 2>/dev/null |
      grep -q true && break
    sleep 0.1
  done
  "$@" >"$out.log" 2>&1 &
  program=$!
  switches() {  # voluntary + involuntary context switches of all the program's threads
    cat /proc/"$program"/task/*/status 2>/dev/null |
      awk '/^(non)?voluntary_ctxt_switches/ {n += $2} END {print n + 0}'
  }
  signals() {  # signals the stand-in panel has had from the item so far, kept in $out.signals.$1
    rm -f "$out.signals"
    kill -USR1 "$watcher"
    for _ in $(seq 50); do [ -s "$out.signals" ] && break; sleep 0.1; done
    touch "$out.signals" && mv "$out.signals" "$out.signals.$1"
    awk '$1 == "total" {print $2}' "$out.signals.$1"
  }
  settle=$((seconds / 6 < 10 ? seconds / 6 : 10))
  sleep "$settle"
  first=$(switches)
  signals_first=$(signals first)
  sleep $((seconds - settle))
  last=$(switches)
  signals_last=$(signals last)
  kill -0 "$program" 2>/dev/null || { echo "$name ended early; its log:" >&2; cat "$out.log" >&2; exit 1; }
  rss=$(awk '/^VmRSS:/ {print $2}' /proc/"$program"/status)
  pss_anon=$(awk '/^Pss_Anon:/ {print $2}' /proc/"$program"/smaps_rollup)
  tasks=$(for task in /proc/"$program"/task/*; do printf -- '-p %s ' "${task##*/}"; done)
  # shellcheck disable=SC2086
  strace -c -f -o "$out.strace" $tasks 2>/dev/null &
  tracer=$!
  sleep "$trace_seconds"
  kill -INT "$tracer"
  wait "$tracer" || true
  calls=$(awk '$NF == "total" {print $4}' "$out.strace")
  kill -TERM "$program" "$watcher" 2>/dev/null || true
  wait "$program" "$watcher" 2>/dev/null || true
  awk -v n="$name" -v r="$rss" -v p="$pss_anon" -v s1="$first" -v s2="$last" \
      -v span=$((seconds - settle)) -v c="${calls:-0}" -v ct="$trace_seconds" \
      -v sig=$((${signals_last:-0} - ${signals_first:-0})) 'BEGIN {
        printf "%s %d %d %.0f %.0f %.1f\n", n, r, p, (s2 - s1) * 60 / span, c * 60 / ct,
               sig * 60 / span }' > "$out.result"
  # Which signals, per minute.
  awk -v span=$((seconds - settle)) 'FNR == NR {first[$1] = $2; next}
    $1 == "registered" && $2 == 0 {printf " (its item never registered with the panel)"}
    $1 != "total" && $1 != "registered" {printf " %s %.1f", $1, ($2 - first[$1]) * 60 / span}' \
    "$out.signals.first" "$out.signals.last" > "$out.members"
  exit 0
fi

if [ "${1-}" != "--inside" ]; then
  [ "$(id -u)" = 0 ] || { echo "memory.sh: run as root (it makes a private mount namespace)" >&2; exit 1; }
  for tool in Xvfb dbus-run-session strace gdbus unshare; do
    command -v "$tool" >/dev/null || { echo "memory.sh: $tool is missing" >&2; exit 1; }
  done
  /usr/bin/python3 -c 'import gi' 2>/dev/null || { echo "memory.sh: python3-gi is missing" >&2; exit 1; }
  exec unshare --mount --propagation private bash "$self" --inside "$@"
fi
shift

seconds=60 trace_seconds=30 title=label steady=0
while [ $# -gt 1 ]; do
  case $1 in
    --seconds) seconds=$2; shift 2 ;;
    --strace-seconds) trace_seconds=$2; shift 2 ;;
    --title) title=$2; shift 2 ;;
    --steady) steady=1; shift ;;
    *) echo "memory.sh: unknown option $1" >&2; exit 2 ;;
  esac
done
program=$(realpath "${1:?usage: memory.sh [options] PATH/TO/pyrelle}")
case $title in label|icon) ;; *) echo "memory.sh: --title is label or icon" >&2; exit 2 ;; esac
[ "$seconds" -ge 12 ] || { echo "memory.sh: --seconds is at least 12" >&2; exit 2; }

work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; wait 2>/dev/null || true; umount -l /sys/class 2>/dev/null || true; rm -rf "$work"' EXIT

# A coretemp chip and a Super I/O chip with two fans, bound in place of /sys/class/hwmon.
chip() {  # number, name, platform device
  local folder=$work/devices/platform/$3/hwmon/hwmon$1
  mkdir -p "$folder" "$work/bus/platform" "$work/class-hwmon"
  ln -s "$work/bus/platform" "$work/devices/platform/$3/subsystem"
  ln -s "../../../$3" "$folder/device"
  ln -s "$folder" "$work/class-hwmon/hwmon$1"
  echo "$2" > "$folder/name"
}
chip 0 coretemp coretemp.0
echo 47000 > "$work/class-hwmon/hwmon0/temp1_input"
echo "Package id 0" > "$work/class-hwmon/hwmon0/temp1_label"
chip 1 nct6798 nct6775.656
echo 1180 > "$work/class-hwmon/hwmon1/fan1_input"
echo 940 > "$work/class-hwmon/hwmon1/fan2_input"
mount -t tmpfs pyrelle-fake-class /sys/class
mkdir /sys/class/hwmon
mount --bind "$work/class-hwmon" /sys/class/hwmon
if [ "$steady" = 0 ]; then
  ( i=0; while sleep 1; do echo $((45000 + i % 8 * 1000)) > "$work/class-hwmon/hwmon0/temp1_input"; i=$((i + 1)); done ) &
fi

# run NAME COMMAND...: the command under its own Xvfb and session bus, with its own home.
run() {
  local name=$1 home=$work/$1
  shift
  mkdir -p "$home/.config/pyrelle" "$home/.config/glib-2.0/settings"
  mkdir -m 0700 "$home/run"
  printf '[Pyrelle]\nrefreshinterval=5\n\n[Panel]\ntitle=%s\n' "$title" > "$home/.config/pyrelle/settings.ini"
  printf '[apps/psensor]\nsensor-update-interval=5\ngraph-update-interval=5\ninterface-hide-on-startup=true\n' \
    > "$home/.config/glib-2.0/settings/keyfile"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$home/display" 2>"$home/xvfb.log" &
  local xvfb=$!
  for _ in $(seq 50); do [ -s "$home/display" ] && break; sleep 0.1; done
  local desktop=
  [ "$title" = label ] && desktop=GNOME
  env -i PATH="$PATH" HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_RUNTIME_DIR="$home/run" \
      DISPLAY=":$(cat "$home/display")" XDG_CURRENT_DESKTOP="$desktop" GDK_BACKEND=x11 \
      NO_AT_BRIDGE=1 GSETTINGS_BACKEND=keyfile LANG=C.UTF-8 \
      dbus-run-session -- bash "$self" --session "$name" "$work/$name" "$title" "$seconds" \
                          "$trace_seconds" "$@" || echo "memory.sh: the $name run failed" >&2
  kill "$xvfb" 2>/dev/null || true
}

echo "Measuring for $((seconds + trace_seconds)) s: $title mode, refresh 5 s," \
     "$([ "$steady" = 1 ] && echo "steady reading" || echo "reading changing every second")"
run pyrelle "$program" &
runs=$!
if command -v psensor >/dev/null; then
  run psensor psensor &
  runs="$runs $!"
else
  echo "psensor is not installed: Pyrelle alone (apt-get install psensor to compare)"
fi
# shellcheck disable=SC2086
wait $runs

printf '\n%-10s %10s %14s %16s %16s %14s\n' program "RSS kB" "Pss_Anon kB" "switches/min" "syscalls/min" "signals/min"
members=
for name in pyrelle psensor; do
  [ -s "$work/$name.result" ] || continue
  read -r n rss pss sw calls sig < "$work/$name.result"
  printf '%-10s %10s %14s %16s %16s %14s\n' "$n" "$rss" "$pss" "$sw" "$calls" "$sig"
  kinds=$(cat "$work/$name.members")
  members="$members$n signals/min:${kinds:- none}\n"
done
if [ -s "$work/pyrelle.result" ] && [ -s "$work/psensor.result" ]; then
  paste "$work/pyrelle.result" "$work/psensor.result" | awk '
    function ratio(a, b) { return b > 0 ? sprintf("%.2f", a / b) : "-" }
    { printf "%-10s %10s %14s %16s %16s %14s\n", "ratio", ratio($2, $8), ratio($3, $9),
             ratio($4, $10), ratio($5, $11), ratio($6, $12) }'
fi
printf '\n%b' "$members"
