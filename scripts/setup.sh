#!/usr/bin/env bash
# Installs every Debian package that building, running and testing Pyrelle needs.
# Idempotent: when everything is already there it only checks and returns.
set -euo pipefail

packages=(
  cmake g++ pkg-config make
  libglib2.0-dev libgtk-3-dev libayatana-appindicator3-dev libdbusmenu-glib-dev libsensors-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  xvfb xauth dbus dbus-x11 at-spi2-core
  librsvg2-common desktop-file-utils strace imagemagick
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
