# How each panel host starts headless (sourced). Each start_HOST returns once the host can show
# items, sets host_env (what clients of that desktop see) and panel (WxH+X+Y of the panel) and
# item_spot (X Y of the first item from the panel's top left, for clicks); every process it
# starts is remembered. host_env holds "-u NAME" options first, then NAME=VALUE.
# Needs: see packages.txt. Nothing of the user's configuration is read or written.

# An X server of our own for the X11 hosts; Xvfb picks a free display number.
start_xvfb() {
  Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3> "$S/display" > "$S/xvfb.log" 2>&1 &
  remember $!
  wait_until 10 test -s "$S/display" || { echo "Xvfb did not start"; return 1; }
  export DISPLAY=":$(cat "$S/display")"
  unset WAYLAND_DISPLAY
}

# x11_panel CLASS-or-NAME-OPTION...: the panel's window once visible, its geometry as $panel.
x11_panel() {
  local win
  wait_until 20 xdotool search --onlyvisible "$@" || return 1
  win=$(xdotool search --onlyvisible "$@" | head -1)
  eval "$(xdotool getwindowgeometry --shell "$win")"
  panel="${WIDTH}x$HEIGHT+$X+$Y"
  echo "$win" > "$S/panel-window"
}

start_gnome_shell() {
  local d=$S/gnome
  rm -rf "$d"; mkdir -p "$d/schemas" "$d/run"; chmod 0700 "$d/run"
  # Extensions on through a schema override; the memory backend keeps nothing afterwards.
  cp /usr/share/glib-2.0/schemas/*.xml "$d/schemas/"
  cat > "$d/schemas/zz-hosts.gschema.override" <<'OVR'
[org.gnome.shell]
enabled-extensions=['ubuntu-appindicators@ubuntu.com','probe@pyrelle-hosts']
disable-user-extensions=false
welcome-dialog-last-shown-version='999'
OVR
  glib-compile-schemas "$d/schemas"
  # Eval and Screenshot over D-Bus need unsafe mode; banners and the start overview would cover
  # the panel.
  local ext=$d/data/gnome-shell/extensions/probe@pyrelle-hosts
  mkdir -p "$ext"
  echo '{"uuid": "probe@pyrelle-hosts", "name": "Test probe", "description": "Test hooks", "shell-version": ["43"]}' > "$ext/metadata.json"
  cat > "$ext/extension.js" <<'JS'
const Main = imports.ui.main;
function init() {}
function enable() {
    Main.messageTray.bannerBlocked = true;
    global.context.unsafe_mode = true;
    if (Main.layoutManager._startingUp)
        Main.layoutManager.connect('startup-complete', () => Main.overview.hide());
    else
        Main.overview.hide();
}
function disable() {}
JS
  # The shell reads logind from the system bus: a private, empty one stands in for it.
  dbus-daemon --session --address="unix:path=$d/system-bus" --nofork --nopidfile > "$S/system-bus.log" 2>&1 &
  remember $!
  wait_until 5 test -S "$d/system-bus" || { echo "private system bus did not start"; return 1; }
  env XDG_RUNTIME_DIR="$d/run" XDG_CACHE_HOME="$d/cache" XDG_CONFIG_HOME="$d/config" \
    XDG_DATA_HOME="$d/data-home" DBUS_SYSTEM_BUS_ADDRESS="unix:path=$d/system-bus" \
    GSETTINGS_BACKEND=memory GSETTINGS_SCHEMA_DIR="$d/schemas" \
    XDG_DATA_DIRS="$d/data:/usr/local/share:/usr/share" NO_AT_BRIDGE=1 \
    gnome-shell --headless --virtual-monitor 1280x800 --wayland > "$S/host.log" 2>&1 &
  remember $!
  gnome_ready() {
    [ "$(gnome_eval 'return !Main.layoutManager._startingUp && !Main.overview.visible && Main.panel.visible')" = true ] &&
      sni_host_registered
  }
  wait_until 60 gnome_ready || { echo "GNOME Shell not ready after 60 s"; return 1; }
  panel=$(gnome_eval 'const b = Main.layoutManager.panelBox; return `${b.width}x${b.height}+${b.x}+${b.y}`')
  host_env=(-u DISPLAY XDG_CURRENT_DESKTOP=GNOME XDG_RUNTIME_DIR="$d/run" WAYLAND_DISPLAY=wayland-0)
}

# xfce4-panel with one plugin at its left end: the Status Tray (its own watcher and host, also
# XEmbed) or the Indicator plugin fed by ayatana-indicator-application.
start_xfce4_panel() {
  local plugin
  case $1 in
    systray) plugin='<property name="plugin-1" type="string" value="systray"><property name="square-icons" type="bool" value="true"/></property>' ;;
    indicator) plugin='<property name="plugin-1" type="string" value="indicator"/>' ;;
  esac
  start_xvfb || return 1
  local d=$S/xfce
  rm -rf "$d"; mkdir -p "$d/config/xfce4/xfconf/xfce-perchannel-xml"
  cat > "$d/config/xfce4/xfconf/xfce-perchannel-xml/xfce4-panel.xml" <<XML
<?xml version="1.0" encoding="UTF-8"?>
<channel name="xfce4-panel" version="1.0">
  <property name="configver" type="int" value="2"/>
  <property name="panels" type="array">
    <value type="int" value="1"/>
    <property name="panel-1" type="empty">
      <property name="position" type="string" value="p=6;x=0;y=0"/>
      <property name="length" type="uint" value="100"/>
      <property name="position-locked" type="bool" value="true"/>
      <property name="icon-size" type="uint" value="16"/>
      <property name="size" type="uint" value="26"/>
      <property name="plugin-ids" type="array"><value type="int" value="1"/></property>
    </property>
  </property>
  <property name="plugins" type="empty">$plugin</property>
</channel>
XML
  # Its own xfconfd: a D-Bus activated one would read the user's panel.
  has_name org.xfce.Xfconf && { echo "an xfconfd already serves this bus"; return 1; }
  local xfconfd
  xfconfd=$(ls /usr/lib/*/xfce4/xfconf/xfconfd 2>/dev/null | head -1)
  [ -x "$xfconfd" ] || { echo "xfconfd not found"; return 1; }
  local xdg=(XDG_CONFIG_HOME="$d/config" XDG_CACHE_HOME="$d/cache" XDG_DATA_HOME="$d/data")
  env "${xdg[@]}" "$xfconfd" > "$S/xfconfd.log" 2>&1 &
  remember $!
  wait_until 10 has_name org.xfce.Xfconf || { echo "xfconfd did not come up"; return 1; }
  if [ "$1" = indicator ]; then
    env "${xdg[@]}" /usr/libexec/ayatana-indicator-application/ayatana-indicator-application-service > "$S/service.log" 2>&1 &
    remember $!
    wait_until 10 sni_host_registered || { echo "ayatana-indicator-application-service did not start"; return 1; }
  fi
  env "${xdg[@]}" xfce4-panel --disable-wm-check > "$S/host.log" 2>&1 &
  remember $!
  x11_panel --class '^xfce4-panel$' || { echo "no panel window after 20 s"; return 1; }
  wait_until 10 sni_host_registered || { echo "no StatusNotifierHost registered"; return 1; }
  item_spot="13 13"
  host_env=(-u WAYLAND_DISPLAY XDG_CURRENT_DESKTOP=XFCE)
}
start_xfce_systray() { start_xfce4_panel systray; }
start_xfce_indicator() { start_xfce4_panel indicator; }

# sway as a headless wlroots compositor with waybar's tray on top. sway refuses to run as root:
# then it runs as nobody, and root's clients still reach its socket.
start_waybar() {
  [ -x "$WL_CLICK" ] || { echo "wl-click was not built (needs libwayland-dev): no way to click on sway"; return 1; }
  local d=$S/sway
  rm -rf "$d"; mkdir -p -m 0700 "$d/run"
  printf '%s\n' 'output HEADLESS-1 resolution 1280x800 position 0,0 bg #303438 solid_color' \
    'xwayland disable' > "$d/sway.conf"
  cat > "$d/waybar.json" <<'JSON'
{ "layer": "top", "position": "top", "height": 26, "modules-left": ["tray"],
  "tray": { "icon-size": 16, "spacing": 6 } }
JSON
  cat > "$d/waybar.css" <<'CSS'
* { font-family: sans-serif; font-size: 13px; }
window#waybar { background: #dcdcdc; color: #202020; }
#tray { padding: 0 4px; }
CSS
  local as=()
  if [ "$(id -u)" = 0 ]; then
    chmod 0711 "$S" "$d"; chown nobody "$d/run"
    as=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
  fi
  env HOME="$d/run" XDG_RUNTIME_DIR="$d/run" WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 \
    WLR_RENDERER=pixman WLR_HEADLESS_OUTPUTS=1 "${as[@]}" sway -c "$d/sway.conf" > "$S/sway.log" 2>&1 &
  remember $!
  sway_socket() { ls "$d"/run/sway-ipc.*.sock 2>/dev/null | head -1 | grep .; }
  wait_until 20 sway_socket || { echo "sway did not start"; return 1; }
  local wl
  wl=$(cd "$d/run" && ls wayland-* | grep -v lock | head -1)
  export XDG_RUNTIME_DIR="$d/run" WAYLAND_DISPLAY=$wl SWAYSOCK=$(sway_socket)
  wait_until 10 swaymsg -t get_outputs || { echo "sway does not answer"; return 1; }
  env XDG_CONFIG_HOME="$d/config" XDG_CACHE_HOME="$d/cache" \
    waybar -c "$d/waybar.json" -s "$d/waybar.css" > "$S/host.log" 2>&1 &
  remember $!
  wait_until 20 sni_host_registered || { echo "waybar's tray did not register as host"; return 1; }
  panel=1280x26+0+0
  item_spot="14 13"
  host_env=(-u DISPLAY XDG_CURRENT_DESKTOP=sway XDG_RUNTIME_DIR="$d/run" WAYLAND_DISPLAY="$wl")
}

# lxqt-panel: the Status Notifier plugin (watcher and host), then the XEmbed System Tray.
start_lxqt_panel() {
  start_xvfb || return 1
  local d=$S/lxqt
  rm -rf "$d"; mkdir -p "$d/config/lxqt"
  cat > "$d/config/lxqt/panel.conf" <<'CONF'
[General]
__userfile__=true
panels=panel1

[panel1]
plugins=statusnotifier,tray
position=Top
panelSize=26
iconSize=16
lineCount=1
width=100
widthPercent=true
alignment=-1
desktop=0

[statusnotifier]
type=statusnotifier

[tray]
type=tray
CONF
  env XDG_CONFIG_HOME="$d/config" XDG_CACHE_HOME="$d/cache" XDG_DATA_HOME="$d/data" \
    lxqt-panel > "$S/host.log" 2>&1 &
  remember $!
  x11_panel --class '^lxqt-panel$' || { echo "no panel window after 20 s"; return 1; }
  wait_until 10 sni_host_registered || { echo "the Status Notifier plugin did not register as host"; return 1; }
  item_spot="13 13"
  host_env=(-u WAYLAND_DISPLAY XDG_CURRENT_DESKTOP=LXQt)
}

# trayer: a plain XEmbed tray, no StatusNotifierWatcher. Its window ("panel") is mapped only
# once it holds an icon, so the panel is looked up after the program starts (find_trayer).
start_trayer() {
  start_xvfb || return 1
  has_name org.kde.StatusNotifierWatcher && { echo "a StatusNotifierWatcher runs on this bus"; return 1; }
  trayer --edge top --align left --widthtype request --height 26 --SetDockType true \
    --transparent false --tint 0xdcdcdc > "$S/host.log" 2>&1 &
  remember $!
  sleep 0.5
  kill -0 "$!" 2>/dev/null || { echo "trayer exited"; return 1; }
  panel=""
  item_spot="13 13"
  host_env=(-u XDG_CURRENT_DESKTOP -u WAYLAND_DISPLAY)
}
