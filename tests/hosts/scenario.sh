#!/usr/bin/env bash
# Runs Pyrelle on one real panel host, headless, as a user would meet it:
#   scenario.sh HOST PATH/TO/pyrelle [PATH/TO/wl-click]
# The host starts (one retry), the program starts against it with a fake hwmon tree (a CPU
# package sensor and two fans) and a refresh interval of 2 s; then the item must be shown, a
# temperature change must reach the title within interval + 1 s, a left click must open the
# menu, the menu must list both fans, and after the menu is dismissed a change must again reach
# the title within interval + 1 s. Every check is reported; any failure fails the run, and the
# logs and screenshots are kept in ./HOST/ (the test's working folder; PYRELLE_HOSTS_KEEP=1 keeps
# them also when every check passes).
# Needs root (the fake hwmon tree is mounted in a private mount namespace of the program's own).
set -uo pipefail

# host          kind   title   commands it needs beyond the common ones (packages.txt)
hosts_table='
gnome-shell     gnome  label   gnome-shell,glib-compile-schemas,dbus-daemon
xfce-systray    x11    icon    Xvfb,xfce4-panel
xfce-indicator  x11    label   Xvfb,xfce4-panel,/usr/libexec/ayatana-indicator-application/ayatana-indicator-application-service
waybar          sway   icon    sway,swaymsg,waybar,grim,setpriv
lxqt-panel      x11    icon    Xvfb,lxqt-panel
trayer          x11    xembed  Xvfb,trayer
'
host=${1-} program=${2-} WL_CLICK=${3-}
read -r _ kind title needs <<< "$(awk -v h="$host" '$1 == h' <<< "$hosts_table")"
[ -n "${kind-}" ] && [ -x "$program" ] || { echo "usage: scenario.sh HOST PATH/TO/pyrelle [wl-click]; hosts:" $(awk 'NF { print $1 }' <<< "$hosts_table"); exit 2; }
[ "$(id -u)" = 0 ] || { echo "FAIL: needs root for the fake hwmon tree's mount namespace"; exit 1; }
for c in dbus-run-session gdbus dbus-monitor unshare convert import xdotool xwininfo ${needs//,/ }; do
  command -v "$c" >/dev/null || { echo "FAIL: $c is missing: install the packages of $(dirname "$0")/packages.txt"; exit 1; }
done
# A private session bus for the host, the program and the checks; its daemon's chatter is left out.
[ -n "${PYRELLE_HOSTS_BUS-}" ] ||
  exec env PYRELLE_HOSTS_BUS=1 dbus-run-session -- bash "$0" "$@" 2> >(grep --line-buffered -v '^dbus-daemon\[' >&2)

here=$(cd "$(dirname "$0")" && pwd)
export NO_AT_BRIDGE=1   # no accessibility bus for the hosts or the program
unset DISPLAY WAYLAND_DISPLAY SWAYSOCK XDG_CURRENT_DESKTOP   # nothing of the caller's desktop
. "$here/lib.sh"; . "$here/start.sh"; . "$here/view.sh"
interval=2
limit=$((interval + 1))
patience=65   # a late title is still timed, so that the report says how late
S=$(mktemp -d /tmp/pyrelle-hosts.XXXXXX)
artifacts=$PWD/$host
rm -rf "$artifacts"

finish() {
  local rc=$?
  if [ -n "${app-}" ] && kill "$app" 2>/dev/null; then
    wait_until 5 eval '! kill -0 "$app"' || kill -9 "$app" 2>/dev/null
  fi
  # a sanitizer build reports memory errors in the program's log
  if [ -n "${app-}" ] && grep -Eq "ERROR: AddressSanitizer|runtime error:" "$S/pyrelle.log"; then
    fail "the sanitizers found errors (pyrelle.log)"
  fi
  stop_remembered
  [ "$rc" -eq 0 ] && [ "$failures" -eq 0 ] && say "PASS: $host" || say "FAILED: $host, $failures check(s)"
  if [ "$rc" -ne 0 ] || [ "$failures" -ne 0 ] || [ "${PYRELLE_HOSTS_KEEP-}" = 1 ]; then
    mkdir -p "$artifacts"
    cp "$S"/*.log "$S"/*.png "$artifacts"/ 2>/dev/null
  fi
  if [ "$rc" -ne 0 ] || [ "$failures" -ne 0 ]; then
    for f in "$S"/*.log; do [ -s "$f" ] && { echo "--- $(basename "$f") (last lines)"; tail -15 "$f"; }; done
    echo "logs and screenshots: $artifacts"
    [ "$rc" -ne 0 ] || rc=1
  fi
  rm -rf "$S"
  exit "$rc"
}
trap finish EXIT
trap 'exit 130' INT TERM

# --- the fake hwmon tree: a coretemp package sensor and a Super I/O chip with two fans --------
chip() {  # number, name, platform device
  local folder=$S/sys/devices/platform/$3/hwmon/hwmon$1
  mkdir -p "$folder" "$S/sys/bus/platform" "$S/sys/class-hwmon"
  ln -s "$S/sys/bus/platform" "$S/sys/devices/platform/$3/subsystem"
  ln -s "../../../$3" "$folder/device"
  ln -s "$folder" "$S/sys/class-hwmon/hwmon$1"
  echo "$2" > "$folder/name"
}
chip 0 coretemp coretemp.0
echo "Package id 0" > "$S/sys/class-hwmon/hwmon0/temp1_label"
chip 1 nct6798 nct6775.656
echo 1180 > "$S/sys/class-hwmon/hwmon1/fan1_input"
echo 940 > "$S/sys/class-hwmon/hwmon1/fan2_input"
set_temperature() { echo "$1"000 > "$S/sys/class-hwmon/hwmon0/temp1_input"; temperature=$1; }
set_temperature 45

# --- 1. the host -----------------------------------------------------------------------------
start_host() {
  "start_${host//-/_}" > "$S/start.log" 2>&1 && return 0
  say "host did not start: $(tail -1 "$S/start.log")"
  return 1
}
t0=$(now)
if ! start_host; then
  stop_remembered; say "retrying once"
  start_host || { fail "$host did not start twice: $(tail -1 "$S/start.log")"; exit 1; }
fi
pass "$host ready after $(seconds_since "$t0") s"
dbus-monitor --session "interface='com.canonical.dbusmenu'" "interface='org.kde.StatusNotifierItem'" \
  "interface='org.kde.StatusNotifierWatcher'" "type='error'" > "$S/dbus.log" 2>&1 &
remember $!
[ "$title" = xembed ] || shot "$S/empty-panel.png" "$panel"

# --- 2. the program --------------------------------------------------------------------------
mkdir -p "$S/home/.config/pyrelle" "$S/home/run"
chmod 0700 "$S/home/run"
printf '[Pyrelle]\nrefreshinterval=%d\n' "$interval" > "$S/home/.config/pyrelle/settings.ini"
# (In a sanitizer build the toolkit's own allocations at exit are not what this test is about.)
program_env=("${host_env[@]}" HOME="$S/home" XDG_CONFIG_HOME="$S/home/.config" NO_AT_BRIDGE=1
             ASAN_OPTIONS=detect_leaks=0)
[[ " ${host_env[*]} " == *" XDG_RUNTIME_DIR="* ]] || program_env+=(XDG_RUNTIME_DIR="$S/home/run")
# The program alone sees the fake tree in place of /sys/class; unshare and bash exec into it.
t0=$(now)
env "${program_env[@]}" unshare --mount --propagation private -- bash -c \
  'mount -t tmpfs pyrelle-fake-class /sys/class && mkdir /sys/class/hwmon &&
   mount --bind "$1" /sys/class/hwmon && shift && exec "$@"' _ "$S/sys/class-hwmon" "$program" \
  > "$S/pyrelle.log" 2>&1 < /dev/null &
app=$!
wait_until 10 connection_of "$app" || {
  kill -0 "$app" 2>/dev/null && fail "the program has no session bus connection after 10 s" ||
    fail "the program exited at start (pyrelle.log below)"
  exit 1
}
item_bus=$(connection_of "$app") item_path=""
item_exported() { item_path=$(object_with "$item_bus" org.kde.StatusNotifierItem); [ -n "$item_path" ]; }
# Without a watcher an exported item reaches no one: the tray icon is all the user sees.
[ "$title" = xembed ] || wait_until 10 item_exported || item_path=""

# --- 3. the item is shown --------------------------------------------------------------------
if [ "$title" = xembed ]; then
  # an embedded icon is another program's window (one with a WM_CLASS) inside the tray's
  trayer_icon() {
    local win; win=$(xdotool search --name '^panel$' | head -1) || return 1
    xwininfo -tree -id "$win" | grep -q ': ("' && x11_panel --name '^panel$'
  }
  wait_until 10 trayer_icon && pass "embedded in the tray after $(seconds_since "$t0") s" ||
    { fail "no icon embedded in the tray after 10 s"; exit 1; }
else
  wait_until 10 registered_with_watcher "$item_bus" &&
    pass "registered with the watcher after $(seconds_since "$t0") s" ||
    { fail "not registered with the watcher after 10 s"; exit 1; }
  [ -n "$item_path" ] || fail "no StatusNotifierItem object exported"
fi
if [ "$kind" = gnome ]; then
  gnome_shown() { [ -n "$(gnome_item)" ]; }
  wait_until 10 gnome_shown || { fail "the shell shows no item"; exit 1; }
  IFS=$'\t' read -r x y w h _ <<< "$(gnome_item)"
  region="${w}x$h+$x+$y" item_spot="$((x + w / 2)) $((y + h / 2))"
else
  # the item's area: the panel's left end, where the host puts its first item
  IFS='x+' read -r pw ph px py <<< "$panel"
  region="$((pw < 160 ? pw : 160))x$ph+$px+$py"
  read -r dx dy <<< "$item_spot"; item_spot="$((px + dx)) $((py + dy))"
fi
# --- what the title looks like now: the host's pixels of the item (and label), the item's
# D-Bus properties (where an item is exported) --------------------------------------------
view_print() { pixels "$S/now.png" "$region"; [ "$title" != label ] || host_label; }
# the item's properties (title, tooltip or label) read the temperature
bus_reads() { [ -n "$item_path" ] && item_properties | grep -Eq "(^|[^0-9])$1 ?°C"; }
sleep 1   # hosts draw a new item in a frame or two
shot "$S/panel.png" "$panel"
# The label as the host shows it, trimmed: GNOME Shell's actor, or what the ayatana service hands
# the Indicator plugin (GetApplications: a(sisossssss) of icon, position, bus, menu, icon path,
# label, ...: the label is the fifth quoted string).
host_label() {
  case $host in
  gnome-shell) gnome_item | cut -f6 ;;
  xfce-indicator) bus org.ayatana.indicator.application /org/ayatana/indicator/application/service \
                    org.ayatana.indicator.application.service.GetApplications | grep -o "'[^']*'" | sed -n "5{s/'//g;p}" ;;
  esac | sed 's/^ *//; s/ *$//'
}
[ -z "$item_path" ] || { bus_reads "$temperature" && pass "the item's properties read $temperature °C" ||
  fail "the item's properties do not read $temperature °C: $(item_properties | grep -o "'[A-Za-z]*': <'[^']*°[^']*'>")"; }
# the size (WxH) of what differs from the empty panel, or else from the area's top left pixel
drawn_size() {
  if [ -s "$S/empty-panel.png" ] && [ "$kind" != gnome ]; then
    convert \( "$S/empty-panel.png" -crop "${region%%+*}+0+0" +repage \) "$S/p1.png" \
      -compose difference -composite -threshold 8% -bordercolor black -border 1 -trim -format %wx%h info:
  else
    convert "$S/p1.png" -bordercolor "$(convert "$S/p1.png" -format '%[pixel:p{0,0}]' info:)" -border 1 \
      -fuzz 8% -trim -format %wx%h info:
  fi
}
if [ -s "$S/empty-panel.png" ] && [ "$kind" != gnome ]; then
  # the item's area as it was before the program started
  [ "$(pixels "$S/p1.png" "$region")" != "$(convert "$S/empty-panel.png" -crop "${region%%+*}+0+0" +repage rgb:- | md5sum | cut -c1-32)" ] &&
    pass "the item is drawn in the panel ($(drawn_size) px)" || fail "nothing drawn where the item should be"
else  # the shell places items anywhere; the tray maps only once it holds an icon
  [ "$(shot "$S/p1.png" "$region" && convert "$S/p1.png" -format %k info:)" -ge 3 ] &&
    pass "the item is drawn in the panel ($(drawn_size) px)" || fail "the item is blank"
fi
if [ "$title" = label ]; then
  label=$(host_label)
  [[ $label == "$temperature °C" ]] && pass "the host shows the label \"$label\"" ||
    fail "the host's label reads \"$label\", not \"$temperature °C\""
fi

# title_change WHAT [DISMISSED]: writes a new temperature and times how long the host's view
# and the item's properties take to change; fails beyond interval + 1 s. DISMISSED (a now()
# reading) adds the time from the menu's dismissal to the report.
title_change() {
  local what=$1 view0 view_at="" bus_at="" t since extra=""
  move_pointer 640 500; sleep 0.5   # no hover highlight on the item while it is watched
  view0=$(view_print)
  [ -n "$item_path" ] || bus_at="-"   # no item exported: nothing to read
  since=$(now)
  set_temperature $((temperature + 7))
  while [ -z "$view_at" ] || [ -z "$bus_at" ]; do
    t=$(seconds_since "$since")
    [ -n "$view_at" ] || [ "$(view_print)" = "$view0" ] || view_at=$t
    [ -n "$bus_at" ] || ! bus_reads "$temperature" || bus_at=$t
    awk -v t="$t" -v p="$patience" 'BEGIN { exit !(t > p) }' && break
    sleep 0.1
  done
  [ -z "${2-}" ] || [ -z "$view_at" ] ||
    extra="; $(awk -v a="$since" -v b="$2" -v v="$view_at" 'BEGIN { printf "%.1f", a - b + v }') s from the dismissal to the host's view"
  say "MEASURE $host $what: host view changed ${view_at:-not in $patience} s, D-Bus properties read it ${bus_at:-not in $patience} s after the change$extra"
  for t in "${view_at:-999}" "${bus_at:-999}"; do
    awk -v t="$t" -v l="$limit" 'BEGIN { exit !(t <= l) }' ||
      { fail "$what: the title took longer than $limit s"; return; }
  done
  pass "$what: the title changed within $limit s"
  if [ "$title" = label ]; then
    label=$(host_label)
    [[ $label == "$temperature °C" ]] || fail "$what: the host's label reads \"$label\", not \"$temperature °C\""
  fi
}

# --- 4. a change before any use of the menu ---------------------------------------------------
title_change "after start"

# --- 5. a left click opens the menu, which lists both fans ------------------------------------
read -r x y <<< "$item_spot"
if open_menu 1; then
  pass "a left click opens the menu"
else
  fail "a left click at $x,$y opens no menu"
  shot "$S/left-click.png"
  press_escape; sleep 0.5
  open_menu 3 || { fail "a right click opens no menu either"; exit 1; }
  say "went on with the menu a right click opened"
fi
shot "$S/menu.png"
fans_listed() { grep -q "Fan 1: 1180 RPM" <<< "$1" && grep -q "Fan 2: 940 RPM" <<< "$1"; }
layout=$(menu_layout) || layout=""
if [ -z "$layout" ]; then fail "no exported menu (com.canonical.dbusmenu) to read the fans from"
elif fans_listed "$layout"; then pass "the exported menu lists both fans"
else fail "the exported menu does not list both fans: $(grep -o "'label': <'[^']*'>" <<< "$layout" | tr '\n' ' ')"; fi
if [ "$kind" = gnome ]; then
  entries=$(gnome_menu_entries)
  fans_listed "$entries" && pass "the shell's menu lists both fans" ||
    fail "the shell's menu does not list both fans: $(tr '\n' '|' <<< "$entries")"
fi

# --- 6. after the menu is dismissed, a change reaches the title within interval + 1 s ---------
close_menu || { fail "the menu did not close"; exit 1; }
title_change "after the menu" "$(now)"
kill -0 "$app" 2>/dev/null || fail "the program exited (pyrelle.log below)"
