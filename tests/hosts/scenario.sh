#!/usr/bin/env bash
# Runs Pyrelle on one real desktop panel (a row of hosts.sh), headless, as a user meets it:
#   scenario.sh HOST PATH/TO/pyrelle [PATH/TO/wl-click]
# The host starts (one retry); the program starts against it with a fake hwmon tree (a CPU
# package sensor at 45 °C, fans at 1180 and 940 RPM) and a refresh interval of 2 s. The item must
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
host=${1-} program=${2-} wl_click=${3-}
read -r _ screen scale title desktop start <<<"$(hosts_table | awk -v h="$host" '$1 == h')"
[ -n "${start-}" ] && [ -x "$program" ] || {
  echo "usage: scenario.sh HOST PATH/TO/pyrelle [wl-click]; hosts: $(hosts_table | cut -d' ' -f1 | xargs)"
  exit 2
}
for c in dbus-run-session gdbus dbus-monitor xdotool convert unshare; do
  command -v "$c" >/dev/null || { echo "FAIL: no $c: install the packages of $here/packages.txt"; exit 1; }
done
[ "$screen" != sway ] || [ -x "$wl_click" ] || { echo "FAIL: no wl-click (libwayland-dev)"; exit 1; }
ns=(--mount) # where the program sees the fake tree: as a user, in a user namespace
[ "$(id -u)" = 0 ] || ns=(--user --map-root-user --mount)
unshare "${ns[@]}" -- mount -t tmpfs pyrelle-check /sys/class ||
  { echo "FAIL: no mount namespace for the fake tree (as a user: are user namespaces allowed?)"; exit 1; }
# A private session bus for the host, the program and the checks; its daemon's chatter is left out.
[ -n "${PYRELLE_HOSTS_BUS-}" ] || exec env PYRELLE_HOSTS_BUS=1 dbus-run-session -- bash "$0" "$@" \
  2> >(grep --line-buffered -v '^dbus-daemon\[' >&2)
export NO_AT_BRIDGE=1 # no accessibility bus
# Nothing of the caller's desktop; the host and the program get a HOME each, and folders in it.
unset DISPLAY WAYLAND_DISPLAY SWAYSOCK XDG_CURRENT_DESKTOP XDG_RUNTIME_DIR XDG_CONFIG_HOME XDG_DATA_HOME \
  XDG_CACHE_HOME
interval=2 limit=30 patience=100 # the last two in tenths of a second: a late change is still timed
sw=$((1280 * scale)) sh=$((800 * scale))
S=$(mktemp -d /tmp/pyrelle-hosts.XXXXXX)
artifacts=$PWD/$host failures=0 app="" item_path="" shown=- size=- share=- changes=(- -)
rm -rf "$artifacts"

say() { printf '%s %s\n' "$(date +%T.%2N)" "$*"; }
fail() { say "FAIL: $*"; failures=$((failures + 1)); }
pass() { say "ok: $*"; }
now() { echo "${EPOCHREALTIME/./}"; } # microseconds
tenths_since() { echo $((($(now) - $1) / 100000)); }
secs() { [ "$1" = - ] && echo - || echo "$(($1 / 10)).$(($1 % 10))"; }

# Ends the host's processes, newest first, and those the bus started for it (all on the bus but
# its daemon); what does not end in 5 s is killed.
stop_host() {
  local p left=""
  bus_pids | cut -d' ' -f2 >>"$S/pids"
  [ -s "$S/pids" ] || return 0
  for p in $(tac "$S/pids"); do kill "$p" 2>/dev/null; done
  for _ in $(seq 25); do
    left=$(while read -r p; do kill -0 "$p" 2>/dev/null && echo "$p"; done <"$S/pids")
    [ -n "$left" ] || break
    sleep 0.2
  done
  for p in $left; do kill -9 "$p" 2>/dev/null; done
  : >"$S/pids"
}
finish() {
  local rc=$?
  if [ -n "$app" ] && kill "$app" 2>/dev/null; then
    wait_until 5 eval '! kill -0 "$app"' || kill -9 "$app" 2>/dev/null
  fi
  ! grep -Eqs "ERROR: AddressSanitizer|runtime error:" "$S/pyrelle.log" || fail "the sanitizers found errors"
  stop_host
  say "RESULT | $host | $shown | $size | $share | ${changes[0]} | ${changes[1]} |"
  if [ "$rc" -ne 0 ] || [ "$failures" -ne 0 ]; then
    say "FAILED: $host, $failures check(s)"
    for f in "$S"/*.log; do [ -s "$f" ] && { echo "--- $(basename "$f") (last lines)"; tail -15 "$f"; }; done
    echo "logs and screenshots: $artifacts"
    [ "$rc" -ne 0 ] || rc=1
  else
    say "PASS: $host"
  fi
  if [ "$rc" -ne 0 ] || [ "${PYRELLE_HOSTS_KEEP-}" = 1 ]; then
    mkdir -p "$artifacts" && cp "$S"/*.log "$S"/*.png "$artifacts"/ 2>/dev/null
  fi
  rm -rf "$S"
  exit "$rc"
}
trap finish EXIT
trap 'exit 130' INT TERM

# --- the fake hwmon tree: a coretemp package sensor and a Super I/O chip with two fans --------
chip() { # number, name, platform device
  local folder=$S/sys/devices/platform/$3/hwmon/hwmon$1
  mkdir -p "$folder" "$S/sys/bus/platform" "$S/sys/class-hwmon"
  ln -s "$S/sys/bus/platform" "$S/sys/devices/platform/$3/subsystem"
  ln -s "../../../$3" "$folder/device"
  ln -s "$folder" "$S/sys/class-hwmon/hwmon$1"
  echo "$2" >"$folder/name"
}
chip 0 coretemp coretemp.0
echo "Package id 0" >"$S/sys/class-hwmon/hwmon0/temp1_label"
chip 1 nct6798 nct6775.656
echo 1180 >"$S/sys/class-hwmon/hwmon1/fan1_input"
echo 940 >"$S/sys/class-hwmon/hwmon1/fan2_input"
set_temperature() { echo "$1"000 >"$S/sys/class-hwmon/hwmon0/temp1_input" && temperature=$1; }
set_temperature 45

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
pixels() { shot "$1" "$2" && convert "$1" rgb:- | md5sum | cut -c1-32; } # OUT.png REGION: a checksum
still() { # REGION [SECONDS]: the same pixels twice, SECONDS (1) apart
  local a
  a=$(pixels "$S/still.png" "$1") && sleep "${2:-1}" && [ "$(pixels "$S/still.png" "$1")" = "$a" ]
}
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
gnome_pointer='const C = imports.gi.Clutter, m = imports.ui.main;
  const seat = C.get_default_backend().get_default_seat();
  m._hostsP = m._hostsP || seat.create_virtual_device(C.InputDeviceType.POINTER_DEVICE);
  m._hostsK = m._hostsK || seat.create_virtual_device(C.InputDeviceType.KEYBOARD_DEVICE);'
move_pointer() {
  case $screen in
  gnome) gnome_eval "$gnome_pointer m._hostsP.notify_absolute_motion(C.CURRENT_TIME, $1, $2)" >/dev/null ;;
  sway) ;; # the virtual pointer leaves with wl-click
  x11) xdotool mousemove "$1" "$2" ;;
  esac
}
click() { # X Y BUTTON
  case $screen in
  gnome) gnome_eval "$gnome_pointer const p = m._hostsP; p.notify_absolute_motion(C.CURRENT_TIME, $1, $2);
    p.notify_button(C.CURRENT_TIME, $3, C.ButtonState.PRESSED);
    p.notify_button(C.CURRENT_TIME, $3, C.ButtonState.RELEASED)" >/dev/null ;;
  sway) "$wl_click" "$1" "$2" "$3" ;;
  x11) xdotool mousemove "$1" "$2" click "$3" ;;
  esac
}
press_escape() {
  case $screen in
  gnome) gnome_eval "$gnome_pointer m._hostsK.notify_keyval(C.CURRENT_TIME, C.KEY_Escape, C.KeyState.PRESSED);
    m._hostsK.notify_keyval(C.CURRENT_TIME, C.KEY_Escape, C.KeyState.RELEASED)" >/dev/null ;;
  sway) "$wl_click" $((sw - 100)) $((sh - 100)) 1 ;; # no keyboard: a click elsewhere
  x11) xdotool key Escape ;;
  esac
}

# --- the item on the session bus --------------------------------------------------------------
# bus_pids: "NAME PID" for each connection to the bus; connection_of PID: the process's name.
bus_pids() {
  local n
  for n in $(daemon ListNames | grep -o "':[0-9.]*'" | tr -d "'"); do
    daemon GetConnectionUnixProcessID "$n" 2>/dev/null | sed -n "s/^(uint32 \([0-9]*\),)$/$n \1/p"
  done
}
connection_of() { bus_pids | awk -v p="$1" '$2 == p { print $1; found = 1; exit } END { exit !found }'; }
# The watcher lists an item served by $item_bus: entries are "NAME/PATH", "NAME@PATH" or a name.
registered_with_watcher() {
  local entry name
  for entry in $(watcher RegisteredStatusNotifierItems | grep -o "'[^']*'" | tr -d "'"); do
    name=${entry%%[/@]*}
    [ "$name" = "$item_bus" ] || daemon GetNameOwner "$name" | grep -q "'$item_bus'" && return 0
  done
  return 1
}
# object_with INTERFACE: the first object path of the program's connection that has the interface.
object_with() {
  gdbus introspect --session -d "$item_bus" -o / -r 2>/dev/null |
    awk -v want="$1" '$1 == "node" { path = $2 } $1 == "interface" && $2 == want { print path; exit }'
}
item_exported() { item_path=$(object_with org.kde.StatusNotifierItem) && [ -n "$item_path" ]; }
item_properties() {
  bus "$item_bus" "$item_path" org.freedesktop.DBus.Properties.GetAll org.kde.StatusNotifierItem
}
bus_reads() { [ -n "$item_path" ] && item_properties | grep -Eq "(^|[^0-9])$1 ?°C"; }
menu_layout() {
  local menu
  menu=$(object_with com.canonical.dbusmenu) && [ -n "$menu" ] &&
    bus "$item_bus" "$menu" com.canonical.dbusmenu.GetLayout 0 'int32 -1' '@as []'
}
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

# --- 1. the host -----------------------------------------------------------------------------
start_host() {
  local line call
  stop_host
  rm -rf "$S/host" && mkdir -p "$S/host/run" && chmod 0700 "$S/host/run"
  if [ "$screen" = x11 ]; then
    rm -f "$S/display"
    run_bg "$S" xvfb Xvfb -displayfd 3 -screen 0 "${sw}x${sh}x24" -nolisten tcp 3>"$S/display"
    wait_until 10 test -s "$S/display" || { say "Xvfb did not start"; return 1; }
    DISPLAY=":$(cat "$S/display")" && export DISPLAY
  fi
  host_env=() panel=""
  [ "$desktop" = - ] || host_env+=(XDG_CURRENT_DESKTOP="$desktop")
  [ "$scale" = 1 ] || host_env+=(QT_SCALE_FACTOR="$scale" GDK_SCALE="$scale")
  read -r -a call <<<"$start"
  if ! (export HOME="$S/host" XDG_RUNTIME_DIR="$S/host/run" "${host_env[@]}" &&
    dbus-update-activation-environment --all && "${call[0]}" "$S" "${call[@]:1}") \
    >"$S/host.env" 2>"$S/start.log"; then
    say "the host did not start: ${start%% *} failed: $(tail -1 "$S/start.log")"
    return 1
  fi
  while IFS= read -r line; do
    case $line in panel=*) panel=${line#panel=} ;; *=*) host_env+=("$line") ;; esac
  done <"$S/host.env"
  [ ${#host_env[@]} -eq 0 ] || export "${host_env[@]}" # for the checks' own tools too
  [ -n "$panel" ] || { say "the host did not say where its panel is"; return 1; }
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
env "${host_env[@]}" HOME="$S/home" XDG_RUNTIME_DIR="$S/home/run" \
  ASAN_OPTIONS=detect_leaks=0 unshare "${ns[@]}" -- bash -c 'mount -t tmpfs pyrelle-fake-class /sys/class &&
    mkdir /sys/class/hwmon && mount --bind "$1" /sys/class/hwmon && shift && exec "$@"' _ \
  "$S/sys/class-hwmon" "$program" >"$S/pyrelle.log" 2>&1 </dev/null &
app=$!
if ! wait_until 10 connection_of "$app"; then
  kill -0 "$app" 2>/dev/null && fail "the program has no session bus connection after 10 s" ||
    fail "the program exited at start"
  exit 1
fi
item_bus=$(connection_of "$app")
# Without a watcher an exported item reaches no one: the tray icon is all the user sees.
if [ "$title" != xembed ]; then
  wait_until 10 item_exported || fail "no StatusNotifierItem object exported"
  wait_until 10 registered_with_watcher || { fail "not registered with the watcher after 10 s"; exit 1; }
  pass "registered with the watcher after $(secs "$(tenths_since "$t0")") s"
fi

# --- 3. the item reads the temperature, is drawn, and sharply where it is an icon -------------
if [ -n "$item_path" ]; then
  bus_reads "$temperature" && pass "the item's properties read $temperature °C" ||
    fail "the item's properties do not read $temperature °C: $(item_properties | grep -o "<'[^']*°[^']*'>")"
  item_properties | grep -q "'XAyatanaLabel': <'[^']" && shown=label || shown=icon
else
  shown="tray icon"
fi
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

# title_change WHAT N: a new temperature (change N); how long the panel and the item's properties
# take to show it.
title_change() {
  local view0 view_at="" bus_at="" t since
  move_pointer $((sw / 2)) $((sh / 2)) # no hover highlight while the item is watched
  wait_until 5 still "$region" 0.3
  view0=$(pixels "$S/now.png" "$region")
  [ -n "$item_path" ] || bus_at=-
  since=$(now)
  set_temperature $((temperature + 7))
  while [ -z "$view_at" ] || [ -z "$bus_at" ]; do
    t=$(tenths_since "$since")
    [ -n "$view_at" ] || [ "$(pixels "$S/now.png" "$region")" = "$view0" ] || view_at=$t
    [ -n "$bus_at" ] || ! bus_reads "$temperature" || bus_at=$t
    [ "$t" -le "$patience" ] || break
    sleep 0.1
  done
  say "MEASURE $host $1: the panel changed after $(secs "${view_at:-$t}") s," \
    "the item's properties after $(secs "${bus_at:-$t}") s"
  changes[$2]=$(secs "${view_at:-$t}")
  for t in "${view_at:-999}" "${bus_at/-/0}"; do
    [ "${t:-999}" -le "$limit" ] || { fail "$1: the change took longer than $(secs "$limit") s"; return; }
  done
  pass "$1: the change reached the panel within $(secs "$limit") s"
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
open_menu() { shot "$S/before-menu.png" "$area" && click "$x" "$y" "$1" && wait_until 5 menu_shown; }
if open_menu 1; then
  pass "a left click opens a menu"
else
  fail "a left click at $x,$y opens no menu"
  shot "$S/left-click.png"
  press_escape && sleep 0.5
  open_menu 3 || { fail "a right click opens none either"; exit 1; }
  say "went on with the menu of a right click"
fi
sleep 0.5 && shot "$S/menu.png" "$area"
fans_listed() { grep -q "Fan 1: 1180 RPM" <<<"$1" && grep -q "Fan 2: 940 RPM" <<<"$1"; }
layout=$(menu_layout) || layout=""
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
