#!/usr/bin/env bash
# Installs the build and test dependencies from Debian's packages (as root,
# or through sudo). Does nothing when they are all there already.
#   tools/install-deps.sh [--windows] [PACKAGE...]
# --windows: what the Windows build needs instead (tools/test-windows.sh).
# PACKAGE: more packages a script needs besides those.
set -euo pipefail
. "$(dirname "$0")/steps.sh"
packages=(
  build-essential cmake ninja-build pkg-config ccache
  qt6-base-dev qt6-base-dev-tools libgl1-mesa-dev libxcb1-dev qt6-translations-l10n
  libsqlite3-dev sqlite3
  libpq-dev postgresql postgresql-client
  libgtest-dev libgmock-dev libbenchmark-dev
  zbar-tools xvfb xauth x11-utils xclip xdotool
  fonts-dejavu-core fonts-liberation
  dpkg-dev file librsvg2-bin lintian desktop-file-utils appstream
)
if [ "${1:-}" = --windows ]; then
  shift
  # GoogleTest's sources, built for Windows; npm fetches SQLite's sources.
  # wine64 is only the 64-bit loader: wine brings wine, wineboot and wineserver.
  # zip and unzip: the programs' zips (tools/package-windows.sh).
  packages=(cmake ninja-build g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine64 wine
    googletest zip unzip)
  command -v npm > /dev/null || packages+=(npm)
fi
packages+=("$@")
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
