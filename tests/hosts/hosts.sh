# shellcheck shell=bash
# The desktop panels the host tests run on (sourced by scenario.sh): one table row and one start
# function each. A row: the host (test hosts_HOST); its screen: x11 (an Xvfb the scenario starts),
# gnome or sway (headless Wayland compositors of their own); the scale (2: QT_SCALE_FACTOR and
# GDK_SCALE for host and program, on a screen twice as large); how the title is shown: label, icon
# (the program's pixmap, drawn by the host), rescaled (the same, but the host asks for a smaller
# size and scales it up itself: sharpness is measured, not required) or xembed (the fallback tray
# icon, where no StatusNotifierWatcher exists); the desktop's XDG_CURRENT_DESKTOP; where its panel
# is: the class of its X11 window, or WxH+X+Y; the start function and its arguments.
hosts_table() {
  cat <<'TABLE'
gnome-shell     gnome  1  label    GNOME         1280x32+0+0    start_gnome_shell
xfce-systray    x11    1  icon     XFCE          xfce4-panel    start_xfce4_panel systray
xfce-indicator  x11    1  label    XFCE          xfce4-panel    start_xfce4_panel indicator
waybar          sway   1  icon     sway          1280x26+0+0    start_waybar
lxqt-panel      x11    1  icon     LXQt          lxqt-panel     start_lxqt_panel
lxqt-panel-x2   x11    2  icon     LXQt          lxqt-panel     start_lxqt_panel
trayer          x11    1  xembed   -             trayer         start_trayer
plasma          x11    1  icon     KDE           plasmashell    start_plasma
plasma-x2       x11    2  rescaled KDE           plasmashell    start_plasma
cinnamon        x11    1  icon     X-Cinnamon    1280x40+0+760  start_cinnamon
mate-na         x11    1  label    MATE          mate-panel     start_mate NotificationAreaAppletFactory::NotificationArea
mate-indicator  x11    1  label    MATE          mate-panel     start_mate IndicatorAppletFactory::IndicatorApplet msd
budgie          x11    1  xembed   Budgie:GNOME  budgie-panel   start_budgie
TABLE
}
# start_HOST DIR [ARGS]: runs in a subshell with DISPLAY (x11 screens), the row's variables, a
# HOME and XDG_RUNTIME_DIR of the host's own and a private, empty system bus (services the bus
# starts get them too: dbus-update-activation-environment after any export); starts the host's
# processes through run_bg and prints NAME=VALUE lines that the program needs beyond the row's.
# The scenario then waits for the panel and for the host to register with the watcher. Logs go
# to DIR/NAME.log; run_bg keeps DIR/pids for the scenario's end.

# shellcheck source=../support/wait.sh
. "$(dirname "${BASH_SOURCE[0]}")/../support/wait.sh"
# run_bg DIR NAME COMMAND...: COMMAND in the background, its output in DIR/NAME.log.
run_bg() {
  "${@:3}" >"$1/$2.log" 2>&1 </dev/null &
  echo $! >>"$1/pids"
}
bus() { # bus DEST PATH METHOD ARGS...: one method call with a timeout
  gdbus call --session --timeout 5 -d "$1" -o "$2" -m "${@:3}"
}
daemon() { bus org.freedesktop.DBus /org/freedesktop/DBus "org.freedesktop.DBus.$1" "${@:2}"; } # METHOD ARGS
has_name() { daemon NameHasOwner "$1" | grep -q true; }
watcher() { # PROPERTY: one of the StatusNotifierWatcher's
  bus org.kde.StatusNotifierWatcher /StatusNotifierWatcher org.freedesktop.DBus.Properties.Get \
    org.kde.StatusNotifierWatcher "$1"
}
sni_host_registered() { watcher IsStatusNotifierHostRegistered | grep -q true; }
# gnome_eval JS: runs JS (a function body) in GNOME Shell; prints String(its return value), which
# comes back through a file in the scenario's folder $S.
gnome_eval() {
  local js="imports.gi.GLib.file_set_contents(\"$S/eval\", String((() => { $1 })()))"
  js=${js//\\/\\\\}
  js=${js//\'/\\\'} # quoted as a GVariant string
  rm -f "$S/eval"
  bus org.gnome.Shell /org/gnome/Shell org.gnome.Shell.Eval "'$js'" | grep -q "^(true," && cat "$S/eval"
}
# panel_window CLASS: WxH+X+Y of a visible, wide and low window of that class, on screen.
panel_window() {
  local win x y w h
  for win in $(xdotool search --onlyvisible --class "^$1\$"); do
    read -r _ x y w h _ <<<"$(xdotool getwindowgeometry --shell "$win" | cut -d= -f2 | xargs)"
    [ "$h" -lt 200 ] && [ "$w" -gt $((2 * h)) ] && [ "$y" -ge 0 ] && echo "${w}x$h+$x+$y" && return 0
  done
  return 1
}
# A private, empty system bus: desktops ask logind, UPower and others there.
system_bus() {
  run_bg "$1" system-bus dbus-daemon --session --address="unix:path=$HOME/system-bus" --nofork --nopidfile
  wait_until 5 test -S "$HOME/system-bus" || { echo "no private system bus" >&2; return 1; }
  export DBUS_SYSTEM_BUS_ADDRESS=unix:path=$HOME/system-bus
  dbus-update-activation-environment --all
}
ayatana_service() {
  run_bg "$1" service /usr/libexec/ayatana-indicator-application/ayatana-indicator-application-service
  wait_until 10 has_name org.kde.StatusNotifierWatcher || { echo "no ayatana service" >&2 && return 1; }
}

gnome_ready() { [ "$(gnome_eval 'return !Main.layoutManager._startingUp && !Main.overview.visible')" = true ]; }
# GNOME Shell 43 with the AppIndicator extension, headless. A probe extension of ours turns on
# unsafe mode (Eval and Screenshot over D-Bus need it), blocks banners, leaves the overview and
# makes the virtual pointer and keyboard that the scenario's clicks and keys go through.
start_gnome_shell() {
  local ext=$HOME/.local/share/gnome-shell/extensions/probe@pyrelle-hosts
  mkdir -p "$HOME/schemas" "$ext"
  cp /usr/share/glib-2.0/schemas/*.xml "$HOME/schemas/"
  printf '%s\n' '[org.gnome.shell]' "welcome-dialog-last-shown-version='999'" \
    "enabled-extensions=['ubuntu-appindicators@ubuntu.com','probe@pyrelle-hosts']" \
    >"$HOME/schemas/zz-hosts.gschema.override"
  glib-compile-schemas "$HOME/schemas"
  echo '{"uuid": "probe@pyrelle-hosts", "name": "Probe", "description": "Hooks",' \
    '"shell-version": ["43"]}' >"$ext/metadata.json"
  cat >"$ext/extension.js" <<'JS'
const Main = imports.ui.main;
function init() {}
function disable() {}
function enable() {
    Main.messageTray.bannerBlocked = true;
    global.context.unsafe_mode = true;
    const C = imports.gi.Clutter, seat = C.get_default_backend().get_default_seat();
    Main.hostsPointer = seat.create_virtual_device(C.InputDeviceType.POINTER_DEVICE);
    Main.hostsKeys = seat.create_virtual_device(C.InputDeviceType.KEYBOARD_DEVICE);
    const hide = () => Main.overview.hide();
    Main.layoutManager._startingUp ? Main.layoutManager.connect('startup-complete', hide) : hide();
}
JS
  run_bg "$1" host env GSETTINGS_BACKEND=memory GSETTINGS_SCHEMA_DIR="$HOME/schemas" \
    gnome-shell --headless --no-x11 --wayland --virtual-monitor 1280x800
  wait_until 40 gnome_ready || { echo "GNOME Shell not ready after 40 s" >&2; return 1; }
}

# xfce4-panel 4.18, a 26 px top panel with one plugin (systray: the Status Tray, its own watcher
# and host, also XEmbed; indicator: fed by the ayatana service) and an xfconfd of its own.
start_xfce4_panel() {
  local c=$HOME/.config/xfce4/xfconf/xfce-perchannel-xml p='<property name=' v='" value="'
  mkdir -p "$c"
  cat >"$c/xfce4-panel.xml" <<XML
<channel name="xfce4-panel" version="1.0">$p"configver" type="int${v}2"/>$p"panels" type="array">
<value type="int${v}1"/>$p"panel-1" type="empty">$p"position" type="string${v}p=6;x=0;y=0"/>
$p"length" type="uint${v}100"/>$p"position-locked" type="bool${v}true"/>$p"icon-size" type="uint${v}16"/>
$p"size" type="uint${v}26"/>$p"plugin-ids" type="array"><value type="int${v}1"/></property></property>
</property>$p"plugins" type="empty">$p"plugin-1" type="string${v}$2">
$p"square-icons" type="bool${v}true"/></property></property></channel>
XML
  run_bg "$1" xfconfd /usr/lib/*/xfce4/xfconf/xfconfd
  wait_until 10 has_name org.xfce.Xfconf || { echo "no xfconfd" >&2; return 1; }
  [ "$2" = systray ] || ayatana_service "$1" || return 1
  run_bg "$1" host xfce4-panel --disable-wm-check
}

# waybar 0.9 (its tray alone, in a 26 px top bar) on sway 1.7, headless. sway refuses to run as
# root: then it runs as nobody, and root's clients still reach its socket.
start_waybar() {
  local as=()
  printf '%s\n' 'output HEADLESS-1 resolution 1280x800 position 0,0 bg #303438 solid_color' \
    'xwayland disable' >"$HOME/sway.conf"
  echo '{"layer": "top", "height": 26, "modules-left": ["tray"], "tray": {"icon-size": 16, "spacing": 6}}' \
    >"$HOME/waybar.json"
  echo 'window#waybar { background: #dcdcdc; color: #202020; } #tray { padding: 0 4px; }' >"$HOME/waybar.css"
  if [ "$(id -u)" = 0 ]; then
    chmod 0711 "$1" "$HOME" && chown nobody "$XDG_RUNTIME_DIR"
    as=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
  fi
  run_bg "$1" sway env HOME="$XDG_RUNTIME_DIR" WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 \
    WLR_RENDERER=pixman "${as[@]}" sway -c "$HOME/sway.conf"
  wait_until 20 compgen -G "$XDG_RUNTIME_DIR/sway-ipc.*.sock" || { echo "sway did not start" >&2; return 1; }
  export SWAYSOCK WAYLAND_DISPLAY
  SWAYSOCK=$(compgen -G "$XDG_RUNTIME_DIR/sway-ipc.*.sock")
  WAYLAND_DISPLAY=$(compgen -G "$XDG_RUNTIME_DIR/wayland-?")
  wait_until 10 swaymsg -t get_outputs || { echo "sway does not answer" >&2; return 1; }
  run_bg "$1" host waybar -c "$HOME/waybar.json" -s "$HOME/waybar.css"
}

# lxqt-panel 1.2, a 26 px top panel: the Status Notifier plugin (watcher and host), then the
# System Tray (XEmbed).
start_lxqt_panel() {
  mkdir -p "$HOME/.config/lxqt"
  printf '%s\n' '[General]' __userfile__=true panels=panel1 '[panel1]' plugins=statusnotifier,tray \
    position=Top panelSize=26 iconSize=16 lineCount=1 width=100 widthPercent=true alignment=-1 \
    '[statusnotifier]' type=statusnotifier '[tray]' type=tray >"$HOME/.config/lxqt/panel.conf"
  run_bg "$1" host lxqt-panel
}

# trayer 1.1: a plain XEmbed tray, no StatusNotifierWatcher, 200 px wide at the top left.
start_trayer() {
  run_bg "$1" host trayer --edge top --align left --widthtype pixel --width 200 --height 26 \
    --SetDockType true --transparent false --tint 0xdcdcdc
}

# KDE Plasma 5.27 on X11 (kwin_x11), its default bottom panel: kded5 holds the watcher;
# plasmashell gives up without kactivitymanagerd.
start_plasma() {
  export KDE_FULL_SESSION=true KDE_SESSION_VERSION=5 QT_QPA_PLATFORM=xcb QT_QUICK_BACKEND=software
  run_bg "$1" kamd /usr/lib/*/libexec/kactivitymanagerd
  run_bg "$1" kded5 kded5
  wait_until 20 has_name org.kde.StatusNotifierWatcher || { echo "no watcher from kded5" >&2 && return 1; }
  run_bg "$1" kwin kwin_x11
  run_bg "$1" host plasmashell
  printf '%s\n' KDE_FULL_SESSION=true KDE_SESSION_VERSION=5
}

cinnamon_drawn() { [ "$(import -window root -crop 1280x40+0+760 png:- | convert - -format %k info:)" != 1 ]; }
# Cinnamon 5.6 (its own window manager) and xapp-sn-watcher, as the session starts it; the panel
# lives in the shell's stage: the default bottom one.
start_cinnamon() {
  run_bg "$1" host cinnamon --replace
  wait_until 40 grep -q "Cinnamon took .* to start" "$1/host.log" || { echo "no Cinnamon" >&2 && return 1; }
  run_bg "$1" watcher /usr/libexec/xapps/sn-watcher/xapp-sn-watcher
  wait_until 20 cinnamon_drawn
}

# mate-panel 1.27, a 26 px top panel holding one applet (IID): the Notification Area (its own
# watcher and host) or the Indicator Applet (fed by the ayatana service); "msd": with
# mate-settings-daemon, whose XSETTINGS let GTK buttons show an image beside a label.
start_mate() {
  printf '%s\n' '[general]' "object-id-list=['tray']" "toplevel-id-list=['top']" '[toplevels/top]' \
    "orientation='top'" size=26 expand=true '[objects/tray]' "object-type='applet'" \
    "applet-iid='$2'" "toplevel-id='top'" position=0 locked=true | dconf load /org/mate/panel/ || return 1
  [ "${3-}" != msd ] || { run_bg "$1" msd mate-settings-daemon && wait_until 15 has_name org.mate.SettingsDaemon; } ||
    return 1
  [[ $2 != Indicator* ]] || ayatana_service "$1" || return 1
  run_bg "$1" host mate-panel
}

# Budgie 10.7 (budgie-wm, budgie-panel with its default layout): a bottom panel whose System Tray
# is XEmbed only.
start_budgie() {
  run_bg "$1" wm budgie-wm --replace
  wait_until 15 xdotool search --class '^budgie-wm$' || { echo "no budgie-wm" >&2; return 1; }
  run_bg "$1" host budgie-panel --reset
}
