#!/usr/bin/env bash
# Builds the Debian package from a build folder and checks it as a user would meet it: its
# contents, lintian, its AppStream and desktop data, and the packaged program, extracted into a
# scratch folder, running under Xvfb on a private session bus and opening its preferences window.
#
# Usage: check-package.sh BUILD_DIR VERSION
set -euo pipefail
build=$(realpath "$1")
version=$2
here=$(cd "$(dirname "$0")" && pwd)

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

echo "== Building the package"
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$scratch/out" >"$scratch/cpack.log" 2>&1 ||
  { cat "$scratch/cpack.log"; fail "cpack"; }
deb="$scratch/out/pyrelle_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || fail "no $(basename "$deb"); made: $(ls "$scratch/out")"

echo "== Contents and control fields"
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $1, $2, $6}' | sort -k3 >"$scratch/contents.txt"
diff -u "$here/contents.txt" "$scratch/contents.txt" || fail "contents differ from contents.txt"
dpkg-deb -c "$deb" | awk '$1 ~ /^d/ && $1 != "drwxr-xr-x" {bad = 1; print} END {exit bad}' ||
  fail "folders must be drwxr-xr-x"
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = pyrelle ] && [ "$(field Version)" = "$version" ] || fail "name or version"
[ -n "$(field Section)" ] && [ -n "$(field Description)" ] || fail "section or description missing"
for library in libc6 libglib2.0-0 libgtk-3-0 libsensors5; do
  [[ ", $(field Depends)," == *", $library "* ]] || fail "Depends lacks $library: $(field Depends)"
done

echo "== lintian"
status=0
lintian --fail-on error,warning --info "$deb" >"$scratch/lintian.log" 2>&1 || status=$?
grep -v 'running with root privileges' "$scratch/lintian.log" || true
[ "$status" -eq 0 ] || fail "lintian reports errors or warnings"

echo "== AppStream and desktop entry"
dpkg -x "$deb" "$scratch/root"
share=$scratch/root/usr/share
appstreamcli validate --no-net "$share/metainfo/io.github.pyrelle.Pyrelle.metainfo.xml"
desktop-file-validate "$share/applications/io.github.pyrelle.Pyrelle.desktop"
# The newest release in the metainfo and the changelog is this one.
grep -q "<release version=\"$version\"" "$share/metainfo/io.github.pyrelle.Pyrelle.metainfo.xml" ||
  fail "the metainfo's newest release is not $version"
zcat "$share/doc/pyrelle/changelog.gz" | head -n1 | grep -q "^pyrelle ($version)" ||
  fail "the changelog's newest entry is not $version"

echo "== The packaged program runs and opens its window"
export HOME=$scratch/home XDG_CONFIG_HOME=$scratch/home/.config XDG_RUNTIME_DIR=$scratch/run
export XDG_DATA_DIRS=$share:/usr/share NO_AT_BRIDGE=1 GDK_BACKEND=x11
unset XDG_CURRENT_DESKTOP WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS
mkdir -p "$XDG_CONFIG_HOME" && mkdir -m 0700 "$XDG_RUNTIME_DIR"
export SCRATCH=$scratch
# The panel item itself is the panel tests' (the same code as built); here the first instance
# holds its name on the bus, and a second launch opens the preferences window from the packaged
# GTK module.
timeout 90 xvfb-run -a dbus-run-session -- bash -c '
  set -uo pipefail
  "$SCRATCH/root/usr/bin/pyrelle" >"$SCRATCH/pyrelle.log" 2>&1 &
  trap "kill $! 2>/dev/null" EXIT
  said() { echo "$1; the program said:"; cat "$SCRATCH/pyrelle.log"; exit 1; }
  window() { xwininfo -root -tree | grep -q "\"Pyrelle Preferences\""; }
  for _ in $(seq 100); do
    gdbus call --session -d org.freedesktop.DBus -o /org/freedesktop/DBus \
      -m org.freedesktop.DBus.NameHasOwner io.github.pyrelle.Pyrelle | grep -q true && break
    sleep 0.1
  done
  kill -0 $! || said "the program exited"
  "$SCRATCH/root/usr/bin/pyrelle" || said "the second launch failed"
  for _ in $(seq 50); do window && break; sleep 0.1; done
  window || said "no preferences window"
' || fail "the packaged program"
echo "Package $(basename "$deb") checked"
