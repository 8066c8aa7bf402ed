#!/usr/bin/env bash
# Runs Pyrelle on one real desktop panel (a row of hosts.sh), headless, as a user meets it:
#   scenario.sh HOST PATH/TO/pyrelle PATH/TO/pyrelle_fake_hwmon [PATH/TO/wl-click]
# The host starts (one retry); the program starts against it on the fake hwmon tree (a CPU
# package sensor at 47 °C, fans at 1180 and 940 RPM) with a refresh interval of 2 s. The item must
# be drawn in the panel and read the temperature (as the label on label hosts; elsewhere sharp:
# inside the digits' box every pixel is the digits' white or the badge's colour); a change must
# reach the panel within interval + 1 s; a left click must open a menu and the exported menu list
# both fans; after the menu a change must again reach the panel within interval + 1 s. Every
# check is reported and a RESULT line gives the figures; a failure keeps the logs and screenshots
# in ./HOST/ (PYRELLE_HOSTS_KEEP=1 keeps them always). As root or as a user: only the program sees
# the fake tree, in a mount namespace of its own (inside a user namespace where not root).
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=hosts.sh
. "$here/hosts.sh"
host=${1-} program=${2-} fake_hwmon=${3-} wl_click=${4-}
read -r _ screen scale title desktop where start <<<"$(hosts_table | awk -v h="$host" '$1 == h')"
[ -n "${start-}" ] && [ -x "$program" ] && [ -x "$fake_hwmon" ] || {
  echo "usage: scenario.sh HOST PATH/TO/pyrelle PATH/TO/pyrelle_fake_hwmon [wl-click]; hosts:" \
    "$(hosts_table | cut -d' ' -f1 | xargs)"
  exit 2
}
for c in dbus-run-session gdbus dbus-monitor xdotool convert; do
  command -v "$c" >/dev/null || { echo "FAIL: no $c: install the packages of $here/packages.txt"; exit 1; }
done
[ "$screen" != sway ] || [ -x "$wl_click" ] || { echo "FAIL: no wl-click (libwayland-dev)"; exit 1; }
"$fake_hwmon" true ||
  { echo "FAIL: no mount namespace for the fake tree (as a user: are user namespaces allowed?)"; exit 1; }
# A private session bus for the host, the program and the checks; its daemon's chatter is left out.
[ -n "${PYRELLE_HOSTS_BUS-}" ] || exec env PYRELLE_HOSTS_BUS=1 dbus-run-session -- bash "$0" "$@" \
  2> >(grep --line-buffered -v '^dbus-daemon\[' >&2)
export NO_AT_BRIDGE=1 LC_ALL=C.UTF-8 # no accessibility bus; gdbus prints "°C" as it is
# Nothing of the caller's desktop; the host and the program get a HOME each, and folders in it.
unset DISPLAY WAYLAND_DISPLAY SWAYSOCK XDG_CURRENT_DESKTOP XDG_RUNTIME_DIR XDG_CONFIG_HOME XDG_DATA_HOME \
  XDG_CACHE_HOME
interval=2 limit=30 patience=100 # the last two in tenths of a second: a late change is still timed
sw=$((1280 * scale)) sh=$((800 * scale))
S=$(mktemp -d /tmp/pyrelle-hosts.XXXXXX)
artifacts=$PWD/$host failures=0 app="" shown=- size=- share=- changes=(- -)
rm -rf "$artifacts"

say() { printf '%s %s\n' "$(date +%T.%2N)" "$*"; }
fail() { say "FAIL: $*"; failures=$((failures + 1)); }
pass() { say "ok: $*"; }
now() { echo "${EPOCHREALTIME/./}"; } # microseconds
tenths_since() { echo $((($(now) - $1) / 100000)); }
secs() { [ "$1" = - ] && echo - || echo "$(($1 / 10)).$(($1 % 10))"; }

# end PID...: asks them to end; what still runs 5 s later is killed.
end() {
  kill "$@" 2>/dev/null
  wait_until 5 eval "! ps -p $(IFS=, && echo "$*")" || kill -9 "$@" 2>/dev/null
}
# Ends the host's processes, newest first, and those the bus started for it (all on the bus but
# its daemon).
stop_host() {
  local name
  for name in $(daemon ListNames | grep -o "':[0-9.]*'" | tr -d "'"); do
    daemon GetConnectionUnixProcessID "$name" 2>/dev/null | sed -n 's/^(uint32 \([0-9]*\),)$/\1/p'
  done >>"$S/pids"
  # shellcheck disable=SC2046 # one PID a line
  [ ! -s "$S/pids" ] || end $(tac "$S/pids")
  : >"$S/pids"
}
finish() {
  local rc=$?
  [ -z "$app" ] || end "$app"
  ! grep -Eqs "ERROR: AddressSanitizer|runtime error:" "$S/pyrelle.log" || fail "the sanitizers found errors"
  stop_host
  say "RESULT | $host | $shown | $size | $share | ${changes[0]} | ${changes[1]} |"
  if [ "$rc" -ne 0 ] || [ "$failures" -ne 0 ]; then
    say "FAILED: $host, $failures check(s)"
    for f in "$S"/*.log; do [ -s "$f" ] && { echo "--- $(basename "$f") (last lines)"; tail -15 "$f"; }; done
    echo "logs and screenshots: $artifacts"
    rc=$((rc == 0 ? 1 : rc))
  else
    say "PASS: $host"
  fi
  [ "$rc" -eq 0 ] && [ "${PYRELLE_HOSTS_KEEP-}" != 1 ] ||
    { mkdir -p "$artifacts" && cp "$S"/*.log "$S"/*.png "$artifacts"/ 2>/dev/null; }
  rm -rf "$S"
  exit "$rc"
}
trap finish EXIT
trap 'exit 130' INT TERM

# --- screenshots and input: GNOME Shell's own D-Bus services, grim and wl-click, or X11 -------
shot() { # OUT.png [WxH+X+Y]: a PNG of the region, or of the whole screen
  local w h x y
  rm -f "$1"
  IFS='x+' read -r w h x y <<<"${2:-${sw}x$sh+0+0}"
  case $screen in
  gnome) bus org.gnome.Shell /org/gnome/Shell/Screenshot org.gnome.Shell.Screenshot.ScreenshotArea \
    "$x" "$y" "$w" "$h" false "$1" >/dev/null ;;
  sway) grim -g "$x,$y ${w}x$h" "$1" ;;
  x11) import -window root -crop "${w}x$h+$x+$y" +repage "png:$1" ;;
  esac
  [ -s "$1" ]
}
pixels() { shot "$S/pixels.png" "$1" && convert "$S/pixels.png" rgb:- | md5sum | cut -c1-32; } # REGION
still() { # REGION [SECONDS]: the same pixels twice, SECONDS (1) apart
  local a
  a=$(pixels "$1") && sleep "${2:-1}" && [ "$(pixels "$1")" = "$a" ]
}
differs() { [ "$(pixels "$1")" != "$2" ]; } # REGION CHECKSUM
changed() { compare -metric AE "$1" "$2" null: 2>&1 | cut -d' ' -f1; } # how many pixels differ
# bbox IMG CONVERT-OPTIONS...: WxH+X+Y of what the options leave other than black, if anything.
bbox() {
  convert "$@" -fuzz 0 -compose over -bordercolor black -border 1 -format '%@' info: 2>/dev/null |
    awk -F'[x+]' '$1 > 0 { printf "%dx%d+%d+%d\n", $1, $2, $3 - 1, $4 - 1 }'
}
diff_box() { bbox "$1" "$2" -compose difference -composite -threshold 8%; }
# component IMG X Y CONVERT-OPTIONS...: the box of the largest connected area the options leave
# other than black that holds the point X,Y (any, where X is -).
component() {
  local img=$1 x=$2 y=$3
  shift 3
  convert "$img" "$@" -colorspace gray -threshold 0 -define connected-components:verbose=true \
    -connected-components 8 null: | awk -v x="$x" -v y="$y" '$NF == "gray(255)" && $4 + 0 > n {
      split($2, g, /[x+]/)
      if (x == "-" || (x >= g[3] && x < g[3] + g[1] && y >= g[4] && y < g[4] + g[2])) {
        n = $4 + 0; box = $2 } }
      END { print box }'
}
# most_common IMG CONVERT-OPTIONS...: the most common colour the options leave other than white.
most_common() {
  convert "$@" -format %c histogram:info:- |
    awk '{ for (i = 2; i <= NF; i++) if ($i ~ /^#/) c = substr($i, 1, 7) }
      c != "#FFFFFF" && $1 + 0 > n { n = $1 + 0; m = c } END { print m }'
}
# JS with p and k, the virtual pointer and keyboard that the probe extension made in GNOME Shell.
gnome_input() {
  gnome_eval "const C = imports.gi.Clutter, t = C.CURRENT_TIME, p = Main.hostsPointer, k = Main.hostsKeys;
    $1" >/dev/null
}
pointer() { # X Y [click]: the pointer moves there, and with "click" the left button clicks
  case $screen in
  gnome) gnome_input "p.notify_absolute_motion(t, $1, $2); ${3:+[1, 0].forEach(s => p.notify_button(t, 1, s))}" ;;
  sway) [ -z "${3-}" ] || "$wl_click" "$1" "$2" ;; # the virtual pointer leaves with wl-click
  x11) xdotool mousemove "$1" "$2" ${3:+click 1} ;;
  esac
}
press_escape() {
  case $screen in
  gnome) gnome_input "[1, 0].forEach(s => k.notify_keyval(t, C.KEY_Escape, s))" ;;
  sway) "$wl_click" $((sw - 100)) $((sh - 100)) ;; # no keyboard: a click elsewhere
  x11) xdotool key Escape ;;
  esac
}

# --- the item on the session bus: the program's connection, $item_bus -------------------------
item_properties() {
  bus "$item_bus" /StatusNotifierItem org.freedesktop.DBus.Properties.GetAll org.kde.StatusNotifierItem
}
bus_reads() { item_properties | grep -Eq "(^|[^0-9])$1 ?°C"; }
# The watcher's entries are "NAME/PATH", "NAME@PATH" or a name.
registered_with_watcher() { watcher RegisteredStatusNotifierItems | grep -q "'${item_bus}[/@']"; }
gnome_item='Object.entries(Main.panel.statusArea).filter(e => e[0].startsWith("appindicator-") && e[1])
  .map(e => e[1])[0]'
# The label as the host shows it: GNOME Shell's, or what the ayatana service hands its panel
# applet (GetApplications: the label is the fifth string of a row); else the one the item offers.
host_label() {
  if [ "$screen" = gnome ]; then
    gnome_eval "const a = $gnome_item; return a && a._label ? a._label.text : ''"
  elif has_name org.ayatana.indicator.application; then
    bus org.ayatana.indicator.application /org/ayatana/indicator/application/service \
      org.ayatana.indicator.application.service.GetApplications | grep -o "'[^']*'" | sed -n "5{s/'//g;p}"
  else
    item_properties | grep -o "'XAyatanaLabel': <'[^']*'>" | cut -d"'" -f4
  fi | sed 's/^ *//; s/ *$//'
}
# icon_figures BOX: from item.png (the icon and its surroundings) and item-empty.png (the same place
# before the program started), BOX being where the icon was found in them: the icon's box (what
# differs from the panel's colour around the digits); the share (%) of pixels in the digits' box
# (white where the panel was not) that are neither the digits' white nor the badge's colour; the
# size of what differs clearly (8 %) from the panel, the whole icon where its edge stands out.
icon_figures() {
  local img=$S/item.png digits badge panel_colour icon w h x y dx dy
  IFS='x+' read -r _ _ x y <<<"$1"
  digits=$(bbox "$img" -crop "$1" +repage -fuzz 10% -fill black +opaque white \( "$img" "$S/item-empty.png" \
    -crop "$1" +repage -compose difference -composite -threshold 1% \) -compose multiply -composite)
  [ -n "$digits" ] || return 1
  IFS='x+' read -r w h dx dy <<<"$digits"
  digits="${w}x$h+$((x + dx))+$((y + dy))" && convert "$img" -crop "$digits" +repage "$S/digits.png"
  badge=$(most_common "$S/digits.png" -fuzz 10% -fill white -opaque white)
  panel_colour=$(most_common "$img" -fuzz 2% -fill white -opaque white -fuzz 0 -opaque "${badge:-white}")
  IFS='x+' read -r w h x y <<<"$digits"
  icon=$(component "$img" $((x + w / 2)) $((y + h / 2)) -fuzz 1% -fill black -opaque "$panel_colour")
  [ -n "$badge" ] && [ -n "$icon" ] || return 1
  echo "$icon" "$(convert "$S/digits.png" -fuzz 4% -fill magenta -opaque white -opaque "$badge" -fuzz 0 \
    -fill white +opaque magenta -fill black -opaque magenta -format '%[fx:round(1000 * mean) / 10]' info:)" \
    "$(bbox "$img" -crop "$icon" +repage -fuzz 8% -fill black -opaque "$panel_colour" | cut -d+ -f1)"
}

# --- 1. the host: its panel, and the watcher it registered with (none at all for the tray icon) -
start_host() {
  local call
  stop_host
  rm -rf "$S/host" && mkdir -p "$S/host/run" && chmod 0700 "$S/host/run"
  host_env=()
  if [ "$screen" = x11 ]; then
    rm -f "$S/display"
    run_bg "$S" xvfb Xvfb -displayfd 3 -screen 0 "${sw}x${sh}x24" -nolisten tcp 3>"$S/display"
    wait_until 10 test -s "$S/display" || { say "Xvfb did not start"; return 1; }
    DISPLAY=":$(cat "$S/display")" && export DISPLAY && host_env+=(XDG_SESSION_TYPE=x11)
  fi
  [ "$desktop" = - ] || host_env+=(XDG_CURRENT_DESKTOP="$desktop")
  [ "$scale" = 1 ] || host_env+=(QT_SCALE_FACTOR="$scale" GDK_SCALE="$scale")
  read -r -a call <<<"$start"
  if ! (export HOME="$S/host" XDG_RUNTIME_DIR="$S/host/run" "${host_env[@]}" && system_bus "$S" &&
    "${call[0]}" "$S" "${call[@]:1}") >"$S/host.env" 2>"$S/start.log"; then
    say "the host did not start: ${start%% *} failed: $(tail -1 "$S/start.log")"
    return 1
  fi
  mapfile -t -O ${#host_env[@]} host_env <"$S/host.env"
  [ "$screen" = x11 ] || host_env+=("WAYLAND_DISPLAY=$(compgen -G "$S/host/run/wayland-?")")
  export "${host_env[@]}" # for the checks' own tools too
  panel=$where
  [[ $panel == *+* ]] || panel=$(wait_until 20 panel_window "$where" && panel_window "$where") ||
    { say "no $where window on the screen"; return 1; }
  if [ "$title" = xembed ]; then
    ! has_name org.kde.StatusNotifierWatcher || { say "a StatusNotifierWatcher runs"; return 1; }
  else
    wait_until 20 sni_host_registered || { say "no host registered with the watcher"; return 1; }
  fi
}
t0=$(now)
start_host || { say "retrying once" && start_host; } ||
  { fail "$host did not start twice (are the packages of packages.txt installed?)"; exit 1; }
pass "$host ready after $(secs "$(tenths_since "$t0")") s; its panel: $panel"
run_bg "$S" dbus dbus-monitor --session "interface='com.canonical.dbusmenu'" "type='error'" \
  "interface='org.kde.StatusNotifierItem'" "interface='org.kde.StatusNotifierWatcher'"
IFS='x+' read -r _ ph px py <<<"$panel"
wait_until 20 still "$panel" || say "the panel keeps changing"
early_in_minute() { [ "$(date +%-S)" -lt 50 ]; }
wait_until 20 early_in_minute # clocks in the panel change on the minute: none between the next shots
shot "$S/empty-panel.png" "$panel"

# --- 2. the program, alone in a mount namespace that puts the fake tree at /sys/class/hwmon ----
mkdir -p "$S/home/.config/pyrelle" "$S/home/run" && chmod 0700 "$S/home/run"
printf '[Pyrelle]\nrefreshinterval=%d\n' "$interval" >"$S/home/.config/pyrelle/settings.ini"
t0=$(now)
# (A sanitizer build's leak report would be about the toolkit's allocations at exit.)
env "${host_env[@]}" HOME="$S/home" XDG_RUNTIME_DIR="$S/home/run" ASAN_OPTIONS=detect_leaks=0 \
  "$fake_hwmon" "$program" >"$S/pyrelle.log" 2>&1 </dev/null &
app=$! temperature=47
set_temperature() { echo "$1"000 >"/proc/$app/root/sys/class/hwmon/hwmon0/temp1_input" && temperature=$1; }
wait_until 10 has_name io.github.pyrelle.Pyrelle ||
  { fail "no bus name after 10 s; still running: $(kill -0 "$app" 2>/dev/null && echo yes || echo no)"; exit 1; }
item_bus=$(daemon GetNameOwner io.github.pyrelle.Pyrelle | grep -o ":[0-9.]*")
# Without a watcher an exported item reaches no one: the tray icon is all the user sees.
shown="tray icon"
if [ "$title" != xembed ]; then
  wait_until 10 registered_with_watcher || { fail "not registered with the watcher after 10 s"; exit 1; }
  pass "registered with the watcher after $(secs "$(tenths_since "$t0")") s"
  bus_reads "$temperature" && pass "the item's properties read $temperature °C" ||
    fail "the item's properties do not read $temperature °C: $(item_properties | grep -o "<'[^']*°[^']*'>")"
  item_properties | grep -q "'XAyatanaLabel': <'[^']" && shown=label || shown=icon
fi

# --- 3. the item is drawn, and sharply where it is an icon -------------------------------------
drawn() { shot "$S/panel.png" "$panel" && [ -n "$(diff_box "$S/empty-panel.png" "$S/panel.png")" ]; }
wait_until 10 drawn || { fail "nothing drawn in the panel after 10 s"; exit 1; }
pass "the item is drawn in the panel after $(secs "$(tenths_since "$t0")") s"
wait_until 5 still "$panel"
shot "$S/panel.png" "$panel"
# Where the item is: what changed (label hosts), or the largest connected part of it, an icon
# without the neighbours that moved aside for it; with the surroundings to measure it in.
IFS='x+' read -r bw bh bx by <<<"$(diff_box "$S/empty-panel.png" "$S/panel.png")"
icon=""
if [ "$title" != label ]; then
  IFS='x+' read -r bw bh bx by <<<"$(component "$S/empty-panel.png" - - "$S/panel.png" -compose difference \
    -composite -threshold 8% -morphology Dilate Square:1)"
  e=$((bh / 2 > 4 ? bh / 2 : 4)) && x=$((bx > e ? bx - e : 0)) y=$((by > e ? by - e : 0))
  near="$((bw + 2 * e))x$((bh + 2 * e))+$x+$y"
  convert "$S/panel.png" -crop "$near" +repage "$S/item.png"
  convert "$S/empty-panel.png" -crop "$near" +repage "$S/item-empty.png"
  read -r icon share clear <<<"$(icon_figures "${bw}x$bh+$((bx - x))+$((by - y))")"
  [ -z "$icon" ] || { IFS='x+' read -r bw bh bx by <<<"$icon" && bx=$((x + bx)) by=$((y + by)); }
fi
region="${bw}x$bh+$((px + bx))+$((py + by))" spot="$((px + bx + bw / 2)) $((py + by + bh / 2))"
if [ "$title" = label ]; then
  label=$(host_label)
  [[ $label == "$temperature °C" ]] && pass "the host shows the label \"$label\"" ||
    fail "the host's label reads \"$label\", not \"$temperature °C\""
elif [ -z "$icon" ]; then
  fail "no white digits on a badge where the item is drawn (item.png)"
else
  size=${icon%%+*}
  if [ "$share" = 0 ]; then
    pass "sharp: drawn at $size px, in the digits' box all white or the badge's colour"
  elif [ "$title" = rescaled ]; then
    echo "measured: drawn at $size px, $share % of the digits' box off-colour, as the host scaled it"
  else
    fail "not sharp: drawn at $size px, $share % of the digits' box neither white nor the badge's colour"
  fi
  IFS=x read -r w h <<<"$clear"
  [ $((bw - ${w:-0})) -le 2 ] && [ $((bh - ${h:-0})) -le 2 ] && pass "the icon's edge stands out" ||
    fail "the icon's edge does not stand out: of its $size px, ${clear:-none} differ clearly from the panel"
fi

# took COMMAND...: the tenths of a second from $since until COMMAND held, polled every 0.1 s;
# past $patience it stops looking.
took() {
  until "$@" >/dev/null 2>&1 || [ "$(tenths_since "$since")" -gt "$patience" ]; do sleep 0.1; done
  tenths_since "$since"
}
# title_change WHAT N: a new temperature (change N); how long the item's properties and then the
# panel take to show it (the properties come first: the host draws what they say).
title_change() {
  local view0 view_at bus_at=- since
  pointer $((sw / 2)) $((sh / 2)) # no hover highlight while the item is watched
  wait_until 5 still "$region" 0.3
  view0=$(pixels "$region")
  since=$(now)
  set_temperature $((temperature + 7))
  [ "$title" = xembed ] || bus_at=$(took bus_reads "$temperature")
  view_at=$(took differs "$region" "$view0")
  say "MEASURE $host $1: the panel changed after $(secs "$view_at") s, the item's properties after" \
    "$(secs "$bus_at") s"
  changes[$2]=$(secs "$view_at")
  [ "$view_at" -le "$limit" ] && [ "${bus_at/-/0}" -le "$limit" ] &&
    pass "$1: the change reached the panel within $(secs "$limit") s" ||
    fail "$1: the change took longer than $(secs "$limit") s"
  [ "$title" != label ] || [[ $(host_label) == "$temperature °C" ]] ||
    fail "$1: the host's label reads \"$(host_label)\""
}
title_change "before the menu" 0

# --- 4. a left click opens a menu (seen beside the panel), which lists both fans --------------
read -r x y <<<"$spot"
ax=$((x - 300 * scale)) ay=$((py > sh / 2 ? py - 400 * scale : py + ph))
ax=$((ax < 0 ? 0 : ax + 600 * scale > sw ? sw - 600 * scale : ax))
area="$((600 * scale))x$((400 * scale))+$ax+$ay"
menu_shown() {
  shot "$S/menu-area.png" "$area" &&
    [ "$(changed "$S/before-menu.png" "$S/menu-area.png")" -gt $((10000 * scale * scale)) ]
}
shot "$S/before-menu.png" "$area" && pointer "$x" "$y" click && wait_until 5 menu_shown ||
  { fail "a left click at $x,$y opens no menu"; shot "$S/left-click.png"; exit 1; }
pass "a left click opens a menu"
sleep 0.5 && shot "$S/menu.png" "$area"
fans_listed() { grep -q "Fan 1: 1180 RPM" <<<"$1" && grep -q "Fan 2: 940 RPM" <<<"$1"; }
layout=$(bus "$item_bus" /MenuBar com.canonical.dbusmenu.GetLayout 0 'int32 -1' '@as []') || layout=""
fans_listed "$layout" && pass "the exported menu lists both fans" ||
  fail "the exported menu does not list both fans: $(grep -o "'label': <'[^']*'>" <<<"$layout" | tr "\n" " ")"
if [ "$screen" = gnome ]; then
  entries=$(gnome_eval "const a = $gnome_item;
    return a ? a.menu._getMenuItems().map(m => m.label ? m.label.text : '').join('\n') : ''")
  fans_listed "$entries" && pass "the shell's menu lists both fans" ||
    fail "the shell's menu: $(tr "\n" "|" <<<"$entries")"
fi

# --- 5. after the menu is dismissed, a change again reaches the panel in time ------------------
press_escape
wait_until 5 eval '! menu_shown' || { fail "the menu did not close"; exit 1; }
title_change "after the menu" 1
kill -0 "$app" 2>/dev/null || fail "the program exited"
