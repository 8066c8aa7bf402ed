#!/usr/bin/env bash
# Resident memory of Pyrelle before and after a peer's oversized dbusmenu calls: GetLayout asking
# for 100,000 property names and an EventGroup of 100,000 events. Run inside xvfb-run and
# dbus-run-session:  xvfb-run -a dbus-run-session -- bash bench/menu-flood.sh build/app/pyrelle
set -u
program=$1
here=$(dirname "$(realpath "$0")")
home=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null; wait 2>/dev/null; rm -rf "$home"' EXIT
export XDG_CONFIG_HOME=$home/config XDG_RUNTIME_DIR=$home/run NO_AT_BRIDGE=1
mkdir -m 0700 -p "$XDG_RUNTIME_DIR"
/usr/bin/python3 "$here/sni-watcher.py" xfce4-panel "$home/counts" "$home/registered" &
for _ in $(seq 50); do gdbus introspect --session -d org.kde.StatusNotifierWatcher \
  -o /StatusNotifierWatcher >/dev/null 2>&1 && break; sleep 0.1; done
"$program" 2>"$home/log" &
pid=$!
for _ in $(seq 100); do [ -s "$home/registered" ] && break; sleep 0.1; done
/usr/bin/python3 - "$pid" <<'PY'
import sys, time
from gi.repository import Gio, GLib
pid = int(sys.argv[1])
bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)
name = f"org.kde.StatusNotifierItem-{pid}-1"
def rss():
    time.sleep(1)
    for line in open(f"/proc/{pid}/status"):
        if line.startswith("VmRSS:"):
            return int(line.split()[1])
def call(method, args, signature):
    parameters = GLib.Variant(signature, args)
    start = time.monotonic()
    try:
        bus.call_sync(name, "/MenuBar", "com.canonical.dbusmenu", method, parameters, None,
                      Gio.DBusCallFlags.NONE, 60000, None)
        outcome = "answered"
    except GLib.Error as error:
        outcome = error.message
    return f"{time.monotonic() - start:.2f} s, {outcome}"
call("GetLayout", (0, -1, []), "(iias)")
before = rss()
print(f"RSS before: {before} kB")
print("GetLayout(0, -1, 100000 x 'label'):", call("GetLayout", (0, -1, ["label"] * 100000), "(iias)"))
after = rss()
print(f"RSS after GetLayout: {after} kB ({after - before:+d} kB)")
events = [(0, "hovered", GLib.Variant("i", 0), 0)] * 100000
print("EventGroup(100000 events):", call("EventGroup", (events,), "(a(isvu))"))
last = rss()
print(f"RSS after EventGroup: {last} kB ({last - before:+d} kB from before)")
PY
kill -0 "$pid" 2>/dev/null || { echo "pyrelle ended:"; cat "$home/log"; }
