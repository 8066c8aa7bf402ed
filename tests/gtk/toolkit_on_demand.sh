#!/usr/bin/env bash
# The program maps no toolkit library while only its panel item shows; a second launch opens
# the preferences window, which loads the GTK module then (and no SVG library with it). With a
# GLib before 2.76 it runs with GLib's slice caches off.
# Runs inside xvfb-run and dbus-run-session.
set -u
program=$1
home=$(mktemp -d)
trap 'kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; rm -rf "$home"' EXIT
export XDG_CONFIG_HOME=$home/config XDG_RUNTIME_DIR=$home/run
mkdir -m 0700 -p "$XDG_RUNTIME_DIR"

"$program" 2>"$home/log" &
pid=$!
mapped() { grep -q "$1" "/proc/$pid/maps"; }
for _ in $(seq 50); do mapped libdbusmenu && break; sleep 0.1; done
sleep 1
if mapped libgtk-3; then echo "GTK mapped before any window"; exit 1; fi
if ! pkg-config --atleast-version=2.76 glib-2.0 &&
   ! tr '\0' '\n' <"/proc/$pid/environ" | grep -qx G_SLICE=always-malloc; then
  echo "GLib's slice caches on"; exit 1
fi

"$program" || { echo "the second launch failed"; exit 1; }
for _ in $(seq 50); do mapped pyrelle-gtk.so && break; sleep 0.1; done
mapped pyrelle-gtk.so || { echo "the module was not loaded for the window"; cat "$home/log"; exit 1; }
if mapped librsvg; then echo "an SVG library mapped for the window"; exit 1; fi
if grep -q "Cannot" "$home/log"; then cat "$home/log"; exit 1; fi
echo "toolkit loaded on demand"
