# What a user sees and does on each host (sourced): screenshots, clicks, keys, the open menu.
# $kind is gnome (GNOME Shell's own D-Bus services), sway (grim, wl-click) or x11 (ImageMagick,
# XTest through xdotool).

# shot OUT.png [WxH+X+Y]: a PNG of the region, or of the whole screen.
shot() {
  local out=$1 g=${2-} w h x y
  rm -f "$out"
  case $kind in
  gnome)
    if [ -z "$g" ]; then
      bus org.gnome.Shell /org/gnome/Shell/Screenshot org.gnome.Shell.Screenshot.Screenshot false false "$out" >/dev/null
    else
      IFS='x+' read -r w h x y <<< "$g"
      bus org.gnome.Shell /org/gnome/Shell/Screenshot org.gnome.Shell.Screenshot.ScreenshotArea \
        "$x" "$y" "$w" "$h" false "$out" >/dev/null
    fi ;;
  sway) if [ -z "$g" ]; then grim "$out"; else IFS='x+' read -r w h x y <<< "$g"; grim -g "$x,$y ${w}x$h" "$out"; fi ;;
  x11) import -window root ${g:+-crop "$g"} +repage "png:$out" ;;
  esac
  [ -s "$out" ]
}
# pixels OUT.png REGION: a screenshot's pixels only (no time stamps), as a checksum.
pixels() { shot "$1" "$2" && convert "$1" rgb:- | md5sum | cut -c1-32; }

# GNOME Shell: the program's item as the shell shows it:  x  y  width  height  open|closed  label
gnome_item() {
  gnome_eval 'const a = Object.entries(Main.panel.statusArea).filter(e => e[0].startsWith("appindicator-") && e[1] && e[1].visible).map(e => e[1])[0];
    if (!a) return "";
    const [x, y] = a.get_transformed_position(), [w, h] = a.get_transformed_size();
    return [Math.round(x), Math.round(y), Math.round(w), Math.round(h), a.menu && a.menu.isOpen ? "open" : "closed",
            a._label ? a._label.text : ""].join("\t")'
}
gnome_menu_entries() {
  gnome_eval 'const PM = imports.ui.popupMenu;
    const a = Object.entries(Main.panel.statusArea).filter(e => e[0].startsWith("appindicator-") && e[1]).map(e => e[1])[0];
    return a ? a.menu._getMenuItems().map(m => m instanceof PM.PopupSeparatorMenuItem ? "---" : (m.label ? m.label.text : "?")).join("\n") : ""'
}
gnome_pointer() {  # JS that makes (once) and names the shell's virtual pointer p, keyboard k
  echo 'const C = imports.gi.Clutter, m = imports.ui.main, seat = C.get_default_backend().get_default_seat();
    if (!m._hostsPointer) m._hostsPointer = seat.create_virtual_device(C.InputDeviceType.POINTER_DEVICE);
    if (!m._hostsKeyboard) m._hostsKeyboard = seat.create_virtual_device(C.InputDeviceType.KEYBOARD_DEVICE);
    const p = m._hostsPointer, k = m._hostsKeyboard;'
}

# click X Y BUTTON, move_pointer X Y, press_escape: input as a user gives it.
click() {
  case $kind in
  gnome) gnome_eval "$(gnome_pointer) p.notify_absolute_motion(C.CURRENT_TIME, $1, $2);
      p.notify_button(C.CURRENT_TIME, $3, C.ButtonState.PRESSED);
      p.notify_button(C.CURRENT_TIME, $3, C.ButtonState.RELEASED); return true" >/dev/null ;;
  sway) "$WL_CLICK" "$1" "$2" "$3" ;;
  x11) xdotool mousemove "$1" "$2" click "$3" ;;
  esac
}
move_pointer() {
  case $kind in
  gnome) gnome_eval "$(gnome_pointer) p.notify_absolute_motion(C.CURRENT_TIME, $1, $2); return true" >/dev/null ;;
  sway) ;;  # the virtual pointer leaves with wl-click; nothing hovers afterwards
  x11) xdotool mousemove "$1" "$2" ;;
  esac
}
press_escape() {
  case $kind in
  gnome) gnome_eval "$(gnome_pointer) k.notify_keyval(C.CURRENT_TIME, C.KEY_Escape, C.KeyState.PRESSED);
      k.notify_keyval(C.CURRENT_TIME, C.KEY_Escape, C.KeyState.RELEASED); return true" >/dev/null ;;
  sway) "$WL_CLICK" 1000 600 1 ;;  # no keyboard: a click away from the menu dismisses it
  x11) xdotool key Escape ;;
  esac
}

# X11 menus are new visible top-level windows larger than GTK's 10x10 helpers, and no tooltips
# (which hosts show when the pointer rests on an item).
x11_popups() {
  local w
  for w in $(xdotool search --onlyvisible --maxdepth 1 --name '' 2>/dev/null); do
    eval "$(xdotool getwindowgeometry --shell "$w")"
    [ "$WIDTH" -gt 10 ] && [ "$HEIGHT" -gt 10 ] || continue
    xprop -id "$w" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q TOOLTIP || echo "$w ${WIDTH}x$HEIGHT+$X+$Y"
  done | sort
}
# Wayland popups under sway are listed nowhere: the screen under the bar changes, over more
# than a tooltip would cover (a menu of six entries covers well over 10000 pixels).
below_bar=600x400+0+26
menu_pixels=5000
under_bar_changed() {
  shot "$S/under-bar.png" "$below_bar" &&
    awk -v n="$(compare -metric AE "$S/before-menu.png" "$S/under-bar.png" null: 2>&1)" \
      -v m="$menu_pixels" 'BEGIN { exit !(n + 0 > m) }'
}
gnome_menu_is() { [ "$(gnome_item | cut -f5)" = "$1" ]; }
new_x11_popup() { comm -13 <(echo "$menu_before") <(x11_popups) | head -1 | grep . > "$S/menu"; }
x11_popup_gone() { ! xdotool search --onlyvisible --maxdepth 1 --name '' | grep -qx "$(cut -d' ' -f1 "$S/menu")"; }

# open_menu BUTTON: clicks the item and waits up to 5 s for a menu; close_menu dismisses it.
open_menu() {
  local x y
  read -r x y <<< "$item_spot"
  case $kind in
  gnome) click "$x" "$y" "$1"; wait_until 5 gnome_menu_is open ;;
  sway) shot "$S/before-menu.png" "$below_bar"; click "$x" "$y" "$1"; wait_until 5 under_bar_changed ;;
  x11) menu_before=$(x11_popups); click "$x" "$y" "$1"; wait_until 5 new_x11_popup ;;
  esac
}
close_menu() {
  press_escape
  case $kind in
  gnome) wait_until 5 gnome_menu_is closed ;;
  sway) wait_until 5 eval '! under_bar_changed' ;;
  x11) wait_until 5 x11_popup_gone ;;
  esac
}
