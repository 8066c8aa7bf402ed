#!/usr/bin/env bash
# The program as a user starts it never hangs and never ends without saying why: without a
# display, against a session bus that never answers, against a frozen running instance, when the
# session bus goes away, and when the X display goes away once a window was open; a second launch
# opens the running one's preferences window, and it loads its toolkit only when a window needs
# it. Menu requests far past their bounds are refused. Runs inside xvfb-run and dbus-run-session.
set -u
program=$1
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/run
mkdir -m 0700 -p "$XDG_RUNTIME_DIR"

# shellcheck source=../support/wait.sh
. "$(dirname "$0")/../support/wait.sh"
fail() { echo "$1"; cat "$2"; exit 1; }
owned() {  # owned BUS-ADDRESS: the program holds its name on that bus
  gdbus call --address "$1" -d org.freedesktop.DBus -o /org/freedesktop/DBus \
    -m org.freedesktop.DBus.NameHasOwner io.github.pyrelle.Pyrelle 2>/dev/null | grep -q true
}
ended() { ! kill -0 "$1" 2>/dev/null; }
# launch NAME: the program in the background, its standard error in NAME.log; $pid.
launch() {
  "$program" 2>"$work/$1.log" &
  pid=$!
}

# No display at all: one line, and status 1.
(unset DISPLAY WAYLAND_DISPLAY && exec "$program") 2>"$work/none.log"
status=$?
[ "$status" = 1 ] && [ "$(wc -l <"$work/none.log")" = 1 ] &&
  grep -q "^pyrelle: cannot open a display" "$work/none.log" || fail "no display: status $status" "$work/none.log"

# A bus that takes the connection and never answers: one line within 10 s, then the tray icon,
# and a run that SIGTERM ends as Quit does (closing the SMC connection). Exit statuses are left
# alone where they are not the point: a sanitizer's leak report sets its own.
/usr/bin/python3 -c 'import socket, sys, time
s = socket.socket(socket.AF_UNIX); s.bind(sys.argv[1]); s.listen(8); time.sleep(300)' \
  "$work/silent" &
wait_until 5 test -S "$work/silent"
DBUS_SESSION_BUS_ADDRESS=unix:path=$work/silent launch silent
wait_until 30 grep -q "did not answer within 10 s" "$work/silent.log" ||
  fail "nothing said about the silent bus" "$work/silent.log"
wait_until 10 grep -q pyrelle-gtk.so "/proc/$pid/maps" || fail "no tray icon" "$work/silent.log"
sleep 1
kill -TERM "$pid"
wait_until 10 ended "$pid" && grep -qi "closing I/O connection" "$work/silent.log" ||
  fail "the run without a bus hangs" "$work/silent.log"

# A frozen instance: a second launch says so and ends with 1, well before D-Bus's own 25 s.
bus=$DBUS_SESSION_BUS_ADDRESS
launch first
wait_until 20 owned "$bus" || fail "the first instance did not start" "$work/first.log"
kill -STOP "$pid"
timeout 15 "$program" 2>"$work/second.log"
status=$?
kill -CONT "$pid"
[ "$status" = 1 ] && grep -q "already running but does not answer" "$work/second.log" ||
  fail "second launch against a frozen one: status $status" "$work/second.log"
kill -TERM "$pid"
wait "$pid"

# The session bus goes away: one line, and the run ends as Quit ends it.
dbus-daemon --session --nofork --print-address=3 3>"$work/address" &
daemon=$!
wait_until 5 test -s "$work/address"
private=$(head -n 1 "$work/address")
DBUS_SESSION_BUS_ADDRESS=$private launch bus
wait_until 20 owned "$private" || fail "no instance on the private bus" "$work/bus.log"
kill "$daemon"
wait_until 10 ended "$pid" && grep -q "session bus closed" "$work/bus.log" ||
  fail "the bus went away unsaid" "$work/bus.log"

# With a display: no toolkit library mapped while only the panel item shows (and, with a GLib
# before 2.76, GLib's slice caches off); a second launch hands itself over (it ends with 0,
# having said and loaded nothing) and the running one opens the preferences window, which loads
# the GTK module then, and no SVG library with it. The X display then goes
# away: one line, and status 1.
Xvfb -displayfd 3 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb=$!
wait_until 10 test -s "$work/display"
export DISPLAY=:$(cat "$work/display")
launch x
mapped() { grep -q "$1" "/proc/$pid/maps"; }
wait_until 20 owned "$bus" || fail "no instance on the second display" "$work/x.log"
wait_until 5 mapped libdbusmenu && sleep 1
mapped libgtk-3 && fail "GTK mapped before any window" "$work/x.log"
pkg-config --atleast-version=2.76 glib-2.0 ||
  tr '\0' '\n' <"/proc/$pid/environ" | grep -qx G_SLICE=always-malloc ||
  fail "GLib's slice caches on" "$work/x.log"
# Menu requests far past what a host asks for are refused as invalid, naming their bound; those at
# the bound are answered.
copies() { printf "$2,%.0s" $(seq "$1") | sed 's/,$//'; } # N TEXT: N copies, comma-separated
names() { echo "[$(copies "$1" "'label'")]"; }
ids() { echo "@ai [$(copies "$1" 0)]"; }
events() { echo "[$(copies "$1" "(0, 'hovered', <0>, uint32 0)")]"; }
menu() { # BOUND METHOD ARGS...: the call is refused as invalid, naming BOUND ("-": answered)
  gdbus call --session -d io.github.pyrelle.Pyrelle -o /MenuBar -m "com.canonical.dbusmenu.$2" "${@:3}" \
    >"$work/menu.log" 2>&1
  [ "$1" = - ] && ! grep -q Error "$work/menu.log" || grep -q "InvalidArgs: .*$1" "$work/menu.log" ||
    fail "$2, not $1" "$work/menu.log"
}
menu "at most 64 property names" GetLayout 0 "int32 -1" "$(names 65)"
menu - GetLayout 0 "int32 -1" "$(names 64)"
menu "at most 1024 ids" GetGroupProperties "$(ids 1025)" "$(names 1)"
menu "at most 64 property names" GetGroupProperties "$(ids 1)" "$(names 65)"
menu - GetGroupProperties "$(ids 1024)" "$(names 64)"
menu "at most 1024 ids" AboutToShowGroup "$(ids 1025)"
menu "at most 1024 events" EventGroup "$(events 1025)"
menu - EventGroup "$(events 1024)"
"$program" 2>"$work/second-x.log" && [ ! -s "$work/second-x.log" ] ||
  fail "the second launch did not end with 0 and nothing said" "$work/second-x.log"
wait_until 5 eval 'xwininfo -root -tree | grep -q "\"Pyrelle Preferences\""' || fail "no preferences window" "$work/x.log"
mapped pyrelle-gtk.so || fail "the module was not loaded for the window" "$work/x.log"
mapped librsvg && fail "an SVG library mapped for the window" "$work/x.log"
grep -q Cannot "$work/x.log" && fail "the window could not be made" "$work/x.log"
kill "$xvfb"
wait_until 10 ended "$pid"
wait "$pid"
status=$?
[ "$status" = 1 ] && grep -q "Lost the connection to the display" "$work/x.log" ||
  fail "the display went away unsaid: status $status" "$work/x.log"
echo "every start bounded, every end said"
