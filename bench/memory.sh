#!/usr/bin/env bash
# Idle cost of Pyrelle beside psensor and beside the floor (bench/floor/floor-item.c, the least a
# GIO program does for the same item). Each program runs on the same fake sensors under its own
# Xvfb and private session bus, with a stand-in panel (bench/sni-watcher.py) that reads back what
# each of the item's signals names, as panels do. psensor shows its CPU sensor as its panel label,
# with its providers other than lm-sensors off. Per program the script prints: RSS and Pss_Anon at
# SECONDS after the start; shared libraries mapped; exec -> item registered (the median of STARTS
# starts, one program at a time, until the stand-in panel receives RegisterStatusNotifierItem);
# context switches (all threads) and D-Bus signals per minute, from a settling time (SECONDS/6, at
# most 10 s) to SECONDS; system calls per minute (strace -c -f over a further window, so that
# tracing does not count as switches); then the ratios Pyrelle/psensor and Pyrelle/floor, and
# Pyrelle against its targets. A program that is missing is skipped. A benchmark, not a test: not
# run by ctest.
#
# Usage (as root, for the private mount namespace that hides /sys/class):
#   bash bench/memory.sh [--seconds 60] [--strace-seconds 30] [--title label|icon] [--steady]
#                        [--starts 7] [--late 600] [--preferences] [--floor PATH/TO/floor-item]
#                        PATH/TO/pyrelle
# --title: what the panel shows. label: the stand-in panel calls itself gnome-shell, the session
#   says GNOME and Pyrelle's settings ask for the label; icon: an unknown panel, the drawn icon.
#   psensor and the floor show a label in both.
# --steady: the CPU stays at 47 °C; by default the reading changes every second, so that every
#   refresh (5 s in all programs) finds a new temperature to show.
# --late: RSS again that many seconds after the start (600: after 10 minutes).
# --preferences: after the other measurements, launch Pyrelle a second time (it hands over to the
#   running one, which shows its Preferences window), close that window with Escape, wait 10 s and
#   report Pyrelle's RSS again.
# --floor: the floor program; by default build/bench/floor/floor-item beside build/app/pyrelle.
# Needs xvfb, dbus, strace, util-linux and python3-gi (/usr/bin/python3); xdotool for
# --preferences.
set -euo pipefail
self=$(realpath "$0")

if [ "${1-}" = "--session" ]; then
  # Inside one program's private session bus: stand-in panel, the program, the measurements.
  shift
  name=$1 out=$2 title=$3 seconds=$4 trace_seconds=$5 starts=$6 late=$7 preferences=$8
  shift 8
  comm=sni-watcher
  [ "$title" = label ] && comm=gnome-shell
  /usr/bin/python3 "$(dirname "$self")/sni-watcher.py" "$comm" "$out.signals" "$out.registered" &
  watcher=$!
  for _ in $(seq 50); do
    gdbus call --session -d org.freedesktop.DBus -o /org/freedesktop/DBus \
      -m org.freedesktop.DBus.NameHasOwner org.kde.StatusNotifierWatcher 2>/dev/null |
      grep -q true && break
    sleep 0.1
  done
  touch "$out.registered"
  launch() {  # the program in the background as $program; the wall clock at its exec in $out.exec
    ( printf '%s\n' "$EPOCHREALTIME" > "$out.exec"; exec "$@" ) >>"$out.log" 2>&1 &
    program=$!
  }
  stop() {
    kill -TERM "$program" 2>/dev/null || true
    for _ in $(seq 50); do kill -0 "$program" 2>/dev/null || break; sleep 0.1; done
    kill -KILL "$program" 2>/dev/null || true
    wait "$program" 2>/dev/null || true
  }
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
  rss() { awk '/^VmRSS:/ {print $2}' /proc/"$program"/status; }
  sleep_until() {  # seconds after the start
    local left=$((started + $1 - EPOCHSECONDS))
    [ "$left" -le 0 ] || sleep "$left"
  }

  # exec -> registered, one start at a time across all the sessions so that none waits for the
  # CPU behind another's start. A start that never registers (10 s) counts nothing.
  exec 9>"$(dirname "$out")/starts.lock"
  flock 9
  for _ in $(seq "$starts"); do
    before=$(wc -l < "$out.registered")
    launch "$@"
    for _ in $(seq 100); do [ "$(wc -l < "$out.registered")" -gt "$before" ] && break; sleep 0.1; done
    if [ "$(wc -l < "$out.registered")" -gt "$before" ]; then
      awk -v t0="$(cat "$out.exec")" 'END {printf "%.1f\n", ($1 - t0) * 1000}' \
        "$out.registered" >> "$out.starts"
    fi
    stop
    sleep 1  # the bus and the panel forget the item before the next start
  done
  flock -u 9
  exec 9>&-
  touch "$out.starts"

  launch "$@"
  started=$EPOCHSECONDS
  settle=$((seconds / 6 < 10 ? seconds / 6 : 10))
  sleep "$settle"
  first=$(switches)
  signals_first=$(signals first)
  sleep_until "$seconds"
  last=$(switches)
  signals_last=$(signals last)
  kill -0 "$program" 2>/dev/null || { echo "$name ended early; its log:" >&2; cat "$out.log" >&2; exit 1; }
  rss_first=$(rss)
  pss_anon=$(awk '/^Pss_Anon:/ {print $2}' /proc/"$program"/smaps_rollup)
  libraries=$(awk '$6 ~ /\.so(\.[0-9.]+)?$/ {print $6}' /proc/"$program"/maps | sort -u | wc -l)
  tasks=$(for task in /proc/"$program"/task/*; do printf -- '-p %s ' "${task##*/}"; done)
  # shellcheck disable=SC2086
  strace -c -f -o "$out.strace" $tasks 2>/dev/null &
  tracer=$!
  sleep "$trace_seconds"
  kill -INT "$tracer"
  wait "$tracer" || true
  calls=$(awk '$NF == "total" {print $4}' "$out.strace")

  rss_late=-
  if [ "$late" -gt 0 ]; then
    sleep_until "$late"
    rss_late=$(rss)
  fi
  rss_preferences=-
  if [ "$preferences" = 1 ]; then
    # A second launch hands over to the running one, which shows its Preferences window.
    "$@" >>"$out.log" 2>&1 || echo "memory.sh: the second launch of $name failed" >&2
    window=$(timeout 10 xdotool search --sync --onlyvisible --name '^Pyrelle Preferences$' |
             head -n 1 || true)
    if [ -n "$window" ] && timeout 10 xdotool windowfocus --sync "$window" key Escape; then
      for _ in $(seq 50); do
        xdotool search --onlyvisible --name '^Pyrelle Preferences$' >/dev/null || break
        sleep 0.1
      done
      ! xdotool search --onlyvisible --name '^Pyrelle Preferences$' >/dev/null ||
        echo "memory.sh: Escape left $name's Preferences window open" >&2
      sleep 10
      rss_preferences=$(rss)
    else
      echo "memory.sh: $name showed no Preferences window" >&2
    fi
  fi
  kill -0 "$program" 2>/dev/null || { echo "$name ended early; its log:" >&2; cat "$out.log" >&2; exit 1; }
  stop
  kill -TERM "$watcher" 2>/dev/null || true
  wait "$watcher" 2>/dev/null || true

  start_ms=$(sort -n "$out.starts" | awk '{v[NR] = $1}
    END {print (NR == 0 ? "-" : NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2)}')
  awk -v n="$name" -v r="$rss_first" -v p="$pss_anon" -v l="$libraries" -v st="$start_ms" \
      -v s1="$first" -v s2="$last" -v span=$((seconds - settle)) -v c="${calls:-0}" \
      -v ct="$trace_seconds" -v sig=$((${signals_last:-0} - ${signals_first:-0})) \
      -v late="$rss_late" -v pref="$rss_preferences" 'BEGIN {
        printf "%s %d %d %d %s %.0f %.0f %.1f %s %s\n", n, r, p, l, st, (s2 - s1) * 60 / span,
               c * 60 / ct, sig * 60 / span, late, pref }' > "$out.result"
  # Which signals, per minute; whether the item registered and its read-backs were answered.
  awk -v span=$((seconds - settle)) 'FNR == NR {first[$1] = $2; next}
    $1 == "registered" && $2 == 0 {printf " (its item was not registered at the end)"}
    $1 == "failed" && $2 > 0 {printf " (%d of the panel'"'"'s reads failed)", $2}
    $1 != "total" && $1 != "registered" && $1 != "failed" {
      printf " %s %.1f", $1, ($2 - first[$1]) * 60 / span}' \
    "$out.signals.first" "$out.signals.last" > "$out.members"
  exit 0
fi

if [ "${1-}" != "--inside" ]; then
  [ "$(id -u)" = 0 ] || { echo "memory.sh: run as root (it makes a private mount namespace)" >&2; exit 1; }
  for tool in Xvfb dbus-run-session strace gdbus unshare flock; do
    command -v "$tool" >/dev/null || { echo "memory.sh: $tool is missing" >&2; exit 1; }
  done
  /usr/bin/python3 -c 'import gi' 2>/dev/null || { echo "memory.sh: python3-gi is missing" >&2; exit 1; }
  exec unshare --mount --propagation private bash "$self" --inside "$@"
fi
shift

seconds=60 trace_seconds=30 title=label steady=0 starts=7 late=0 preferences=0 floor=
while [ $# -gt 1 ]; do
  case $1 in
    --seconds) seconds=$2; shift 2 ;;
    --strace-seconds) trace_seconds=$2; shift 2 ;;
    --title) title=$2; shift 2 ;;
    --steady) steady=1; shift ;;
    --starts) starts=$2; shift 2 ;;
    --late) late=$2; shift 2 ;;
    --preferences) preferences=1; shift ;;
    --floor) floor=$2; shift 2 ;;
    *) echo "memory.sh: unknown option $1" >&2; exit 2 ;;
  esac
done
program=$(realpath "${1:?usage: memory.sh [options] PATH/TO/pyrelle}")
floor=${floor:-$(dirname "$program")/../bench/floor/floor-item}
case $title in label|icon) ;; *) echo "memory.sh: --title is label or icon" >&2; exit 2 ;; esac
[ "$seconds" -ge 12 ] || { echo "memory.sh: --seconds is at least 12" >&2; exit 2; }
# Shorter, a window can fall between two refreshes and count no calls at all.
[ "$trace_seconds" -ge 10 ] || { echo "memory.sh: --strace-seconds is at least 10" >&2; exit 2; }
[ "$starts" -ge 1 ] || { echo "memory.sh: --starts is at least 1" >&2; exit 2; }
[ "$late" = 0 ] || [ "$late" -gt $((seconds + trace_seconds)) ] ||
  { echo "memory.sh: --late comes after --seconds and --strace-seconds" >&2; exit 2; }
[ "$preferences" = 0 ] || command -v xdotool >/dev/null ||
  { echo "memory.sh: --preferences needs xdotool" >&2; exit 2; }

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

# psensor: 5 s refresh, no window, lm-sensors alone (no CPU load and memory from libgtop, no
# disks from udisks2, hddtemp or libatasmart, no GPUs), the CPU sensor as the panel label.
psensor_settings() {  # home
  local provider
  {
    printf '[apps/psensor]\nsensor-update-interval=5\ngraph-update-interval=5\n'
    printf 'interface-hide-on-startup=true\n'
    for provider in gtop2 udisks2 hddtemp libatasmart nvctrl atiadlsdk; do
      printf 'provider-%s-enabled=false\n' "$provider"
    done
  } > "$1/.config/glib-2.0/settings/keyfile"
  mkdir -p "$1/.psensor"
  printf '[lmsensor coretemp-isa-0000 Package id 0]\nappindicator_label_enabled=true\n' \
    > "$1/.psensor/psensor.cfg"
}

# run NAME COMMAND...: the command under its own Xvfb and session bus, with its own home.
run() {
  local name=$1 home=$work/$1
  shift
  mkdir -p "$home/.config/pyrelle" "$home/.config/glib-2.0/settings"
  mkdir -m 0700 "$home/run"
  printf '[Pyrelle]\nrefreshinterval=5\n\n[Panel]\ntitle=%s\n' "$title" > "$home/.config/pyrelle/settings.ini"
  [ "$name" = psensor ] && psensor_settings "$home"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$home/display" 2>"$home/xvfb.log" &
  local xvfb=$!
  for _ in $(seq 50); do [ -s "$home/display" ] && break; sleep 0.1; done
  local desktop='' asks_preferences=0
  [ "$title" = label ] && desktop=GNOME
  [ "$name" = pyrelle ] && asks_preferences=$preferences
  env -i PATH="$PATH" HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_RUNTIME_DIR="$home/run" \
      DISPLAY=":$(cat "$home/display")" XDG_CURRENT_DESKTOP="$desktop" GDK_BACKEND=x11 \
      NO_AT_BRIDGE=1 GSETTINGS_BACKEND=keyfile LANG=C.UTF-8 \
      dbus-run-session -- bash "$self" --session "$name" "$work/$name" "$title" "$seconds" \
                          "$trace_seconds" "$starts" "$late" "$asks_preferences" "$@" \
                          2>"$work/$name.stderr" || echo "memory.sh: the $name run failed" >&2
  kill "$xvfb" 2>/dev/null || true
}

echo "Measuring for about $((seconds + trace_seconds)) s after $starts starts of each program:" \
     "$title mode, refresh 5 s," \
     "$([ "$steady" = 1 ] && echo "steady reading" || echo "reading changing every second")"
run pyrelle "$program" &
runs=$!
names=pyrelle
if command -v psensor >/dev/null; then
  run psensor psensor &
  runs="$runs $!" names="$names psensor"
else
  echo "psensor is not installed: no comparison with it (apt-get install psensor)"
fi
if [ -x "$floor" ]; then
  run floor "$(realpath "$floor")" &
  runs="$runs $!" names="$names floor"
else
  echo "no floor program at $floor (cmake --build BUILD --target floor-item, or --floor PATH)"
fi
# shellcheck disable=SC2086
wait $runs
# What the sessions said, without the bus's chatter (its activations, its file limit, gvfsd
# losing the bus as the session ends).
grep -h -v -E "^dbus-daemon\[|^A connection to the bus can't be made" "$work"/*.stderr >&2 || true

columns='%-16s %10s %12s %6s %9s %13s %13s %12s\n'
# shellcheck disable=SC2059
printf "\n$columns" program "RSS kB" "Pss_Anon kB" libs "start ms" "switches/min" "syscalls/min" \
       "signals/min"
details=
for name in $names; do
  [ -s "$work/$name.result" ] || continue
  read -r n rss pss libs start sw calls sig late_rss pref_rss < "$work/$name.result"
  # shellcheck disable=SC2059
  printf "$columns" "$n" "$rss" "$pss" "$libs" "$start" "$sw" "$calls" "$sig"
  details="$details$n signals/min:$(cat "$work/$name.members")\n"
  details="$details$n exec -> registered, ms:$(sort -n "$work/$name.starts" | tr '\n' ' ' |
                                               sed 's/^/ /; s/ $//')\n"
  [ "$late_rss" = - ] || details="$details$n RSS at $late s: $late_rss kB\n"
  [ "$pref_rss" = - ] ||
    details="$details$n RSS after Preferences was opened and closed: $pref_rss kB\n"
done
for other in psensor floor; do
  if [ ! -s "$work/pyrelle.result" ] || [ ! -s "$work/$other.result" ]; then continue; fi
  paste -d ' ' "$work/pyrelle.result" "$work/$other.result" | awk -v label="pyrelle/$other" \
      -v columns="$columns" '
    function ratio(a, b) { return a != "-" && b != "-" && b > 0 ? sprintf("%.2f", a / b) : "-" }
    { printf columns, label, ratio($2, $12), ratio($3, $13), ratio($4, $14), ratio($5, $15),
             ratio($6, $16), ratio($7, $17), ratio($8, $18) }'
done
if [ -s "$work/pyrelle.result" ]; then
  awk -v s="$seconds" '
    function check(what, value, limit, unit) {
      printf "  %s %s %s (<= %s): %s\n", what, value, unit, limit,
             value == "-" ? "not measured" : value <= limit ? "met" : "MISSED" }
    { print "Pyrelle against its targets:"
      check("RSS at " s " s", $2, 8704, "kB")
      check("Pss_Anon", $3, 1024, "kB")
      check("exec -> registered", $5, 12, "ms") }' "$work/pyrelle.result"
fi
printf '\n%b' "$details"
