#!/usr/bin/env bash
# Builds the Debian package from a build folder and checks it as a user would meet it: its
# contents, lintian, its AppStream and desktop data, and the packaged program, extracted into a
# scratch folder, under Xvfb on a private session bus (tests/gtk/start_and_end.sh).
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

echo "== The packaged program, started and ended as start_and_end.sh does with the built one"
# Its GTK module loads from the package's folders; the panel item itself is the panel tests'.
export HOME=$scratch/home XDG_DATA_DIRS=$share:/usr/share NO_AT_BRIDGE=1 GDK_BACKEND=x11
mkdir "$HOME"
unset XDG_CURRENT_DESKTOP WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS
timeout 150 xvfb-run -a dbus-run-session -- bash "$here/../gtk/start_and_end.sh" "$scratch/root/usr/bin/pyrelle" ||
  fail "the packaged program"
echo "Package $(basename "$deb") checked"
