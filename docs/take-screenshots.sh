#!/usr/bin/env bash
# Takes the README's screenshots of a built Pyrelle under Xvfb: the panel item (the fallback
# tray icon in a plain XEmbed tray, with its menu open) and the preferences window.
#
# Usage: bash docs/take-screenshots.sh BUILD_DIR (a build with the tests or benchmarks on)
# Needs xvfb, dbus, trayer, xdotool and imagemagick. So that the shots show readings on any
# machine, the program runs on the tests' fake hwmon tree (a CPU package at 47 °C, two fans),
# in a mount namespace of its own; the real /sys is never touched.
set -euo pipefail

build=$(realpath "${1:?usage: take-screenshots.sh BUILD_DIR}")
program=$build/app/pyrelle
fake_hwmon=$build/tests/support/pyrelle_fake_hwmon
docs=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$work"' EXIT

export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_RUNTIME_DIR=$work/run
mkdir -p "$XDG_CONFIG_HOME" && mkdir -m 0700 "$XDG_RUNTIME_DIR"
unset XDG_CURRENT_DESKTOP WAYLAND_DISPLAY
export NO_AT_BRIDGE=1 DISPLAY=:73

# Wide enough for the whole preferences window; the panel shot keeps the screen's right end.
screen_width=600
Xvfb "$DISPLAY" -screen 0 ${screen_width}x300x24 -nolisten tcp -br &
sleep 1
dbus-run-session -- bash -c '
  set -euo pipefail
  trayer --edge top --align right --widthtype request --height 30 --tint 0x303438 \
         --transparent true --alpha 0 --SetDockType true 2>/dev/null &
  tray_pid=$!
  "$3" "$1" &
  program_pid=$!
  trap "kill $program_pid $tray_pid 2>/dev/null || true" EXIT
  # A click on the tray icon pops up the menu; the shot shows the tray and the menu.
  tray=$(timeout 10 xdotool search --sync --name "^panel\$" | head -n1)
  sleep 3
  eval "$(xdotool getwindowgeometry --shell "$tray")"
  xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) click 1
  sleep 1
  import -window root "png:$2/panel-full.png"
  # Preferences...: the fan entries are disabled, so Down reaches "Info..." first.
  xdotool key Down Down Return
  window=$(timeout 10 xdotool search --sync --onlyvisible --name "^Pyrelle Preferences\$" | head -n1)
  sleep 1
  import -window "$window" "png:$2/preferences.png"
' _ "$program" "$docs" "$fake_hwmon" < /dev/null
convert "$docs/panel-full.png" -crop 250x190+$((screen_width - 250))+0 +repage "$docs/panel.png"
rm -f "$docs/panel-full.png"
echo "Wrote $docs/panel.png and $docs/preferences.png"
