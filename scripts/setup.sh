#!/usr/bin/env bash
# Installs the Debian packages that building and running Pyrelle need, plus any named as
# arguments (scripts/setup-tests.sh passes the test toolchain). apt needs root: sudo is used
# when not running as root. Idempotent: when everything is there it only checks and returns.
set -euo pipefail

packages=(
  cmake g++ pkg-config make
  libglib2.0-dev libgtk-3-dev libdbusmenu-glib-dev libsensors-dev
  librsvg2-bin librsvg2-common
  "$@"
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "Installing packages needs root, or sudo" >&2; exit 1; }
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
