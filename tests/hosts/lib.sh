# Helpers of the host scenario (sourced). $S is the run's state folder: logs, screenshots, pids.

say() { printf '%s %s\n' "$(date +%T.%2N)" "$*"; }
# A failed check is reported and counted; the scenario goes on so that one run shows them all.
failures=0
fail() { say "FAIL: $*"; failures=$((failures + 1)); }
pass() { say "ok: $*"; }

now() { date +%s.%N; }
# seconds_since T0: elapsed seconds since a now() reading, one decimal
seconds_since() { awk -v a="$(now)" -v b="$1" 'BEGIN { printf "%.1f", a - b }'; }

# wait_until SECONDS COMMAND...: polls every 0.2 s; fails once the time is up.
wait_until() {
  local end
  end=$(awk -v t="$(now)" -v s="$1" 'BEGIN { printf "%.2f", t + s }'); shift
  until "$@" >/dev/null 2>&1; do
    awk -v t="$(now)" -v e="$end" 'BEGIN { exit !(t < e) }' || return 1
    sleep 0.2
  done
}

# remember PID: a process the cleanup ends, newest first.
remember() { echo "$1" >> "$S/pids"; }
stop_remembered() {
  local p
  [ -s "$S/pids" ] || return 0
  for p in $(tac "$S/pids"); do
    kill "$p" 2>/dev/null || continue
    for _ in $(seq 1 25); do kill -0 "$p" 2>/dev/null || break; sleep 0.2; done
    kill -9 "$p" 2>/dev/null || true
  done
  : > "$S/pids"
}

# --- session bus ---------------------------------------------------------------------------
bus() {  # bus DEST PATH METHOD ARGS...: one method call with a timeout
  local dest=$1 path=$2 method=$3; shift 3
  gdbus call --session --timeout 5 -d "$dest" -o "$path" -m "$method" "$@"
}
has_name() { bus org.freedesktop.DBus /org/freedesktop/DBus org.freedesktop.DBus.NameHasOwner "$1" | grep -q true; }
name_owner() { bus org.freedesktop.DBus /org/freedesktop/DBus org.freedesktop.DBus.GetNameOwner "$1" | grep -o ":[0-9.]*"; }
sni_host_registered() {
  bus org.kde.StatusNotifierWatcher /StatusNotifierWatcher org.freedesktop.DBus.Properties.Get \
    org.kde.StatusNotifierWatcher IsStatusNotifierHostRegistered | grep -q true
}

# connection_of PID: the unique bus name of the process's connection.
connection_of() {
  local n
  for n in $(bus org.freedesktop.DBus /org/freedesktop/DBus org.freedesktop.DBus.ListNames | grep -o "':[0-9.]*'" | tr -d "'"); do
    bus org.freedesktop.DBus /org/freedesktop/DBus org.freedesktop.DBus.GetConnectionUnixProcessID "$n" 2>/dev/null |
      grep -qx "(uint32 $1,)" && { echo "$n"; return 0; }
  done
  return 1
}

# registered_with_watcher CONNECTION: the watcher lists an item served by that connection.
# Entries are "NAME/PATH", "NAME@PATH" ... or a bare bus name (then the path is /StatusNotifierItem).
registered_with_watcher() {
  local entry name
  for entry in $(bus org.kde.StatusNotifierWatcher /StatusNotifierWatcher org.freedesktop.DBus.Properties.Get \
                   org.kde.StatusNotifierWatcher RegisteredStatusNotifierItems | grep -o "'[^']*'" | tr -d "'"); do
    name=${entry%%[/@]*}
    [ "$name" = "$1" ] || [ "$(name_owner "$name" 2>/dev/null)" = "$1" ] && return 0
  done
  return 1
}

# object_with CONNECTION INTERFACE: the first object path of the connection that has the interface.
object_with() {
  gdbus introspect --session -d "$1" -o / -r 2>/dev/null |
    awk -v want="$2" '$1 == "node" { path = $2 } $1 == "interface" && $2 == want { print path; exit }'
}

# item_properties: every StatusNotifierItem property of the program's item, as gdbus prints them.
item_properties() {
  bus "$item_bus" "$item_path" org.freedesktop.DBus.Properties.GetAll org.kde.StatusNotifierItem
}
# menu_layout: the item's exported dbusmenu, whole.
menu_layout() {
  local menu
  menu=$(object_with "$item_bus" com.canonical.dbusmenu)
  [ -n "$menu" ] || return 1
  bus "$item_bus" "$menu" com.canonical.dbusmenu.GetLayout 0 'int32 -1' '@as []'
}

# --- GNOME Shell -----------------------------------------------------------------------------
# gnome_eval JS: runs JS (a function body) in the shell; prints String(its return value).
gnome_eval() {
  local out="$S/eval.out" js
  js="imports.gi.GLib.file_set_contents(\"$out\", String((() => { $1 })()))"
  js=${js//\\/\\\\}; js=${js//\'/\\\'}      # quoted as a GVariant string
  rm -f "$out"
  bus org.gnome.Shell /org/gnome/Shell org.gnome.Shell.Eval "'$js'" | grep -q "^(true," || return 1
  cat "$out"
}
