#!/usr/bin/env bash
# The Windows leg: builds the libraries without a GUI for Windows with
# mingw-w64 and runs their tests under Wine, in a Wine prefix of its own inside
# the build folder (no display needed). SQLite's sources come from the npm
# package sqlite3, which carries SQLite's own release archive.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/steps.sh
tools/install-deps.sh --windows
dir=build/windows
jobs=$(nproc)

# SQLite 3.44.2: sqlite-autoconf-3440200.tar.gz inside the npm package sqlite3 5.1.7.
sqlite_package=sqlite3@5.1.7
sqlite_archive=sqlite-autoconf-3440200
sqlite_sha256=1c6719a148bc41cf0f2bbbe3926d7ce3f5ca09d878f1246fcc20767b175bb407
sqlite_dir=$PWD/$dir-deps/$sqlite_archive
if [ ! -f "$sqlite_dir/sqlite3.c" ]; then
  echo "== SQLite sources ($sqlite_package)"
  fetch=$(mktemp -d)
  trap 'rm -rf "$fetch"' EXIT
  (cd "$fetch" && npm pack --silent "$sqlite_package" > /dev/null)
  tar -xzf "$fetch"/sqlite3-*.tgz -C "$fetch" "package/deps/$sqlite_archive.tar.gz"
  echo "$sqlite_sha256  $fetch/package/deps/$sqlite_archive.tar.gz" | sha256sum --check --quiet
  mkdir -p "$dir-deps"
  tar -xzf "$fetch/package/deps/$sqlite_archive.tar.gz" -C "$dir-deps" \
    "$sqlite_archive/sqlite3.c" "$sqlite_archive/sqlite3.h"
fi

export WINEPREFIX=$PWD/$dir-wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "== Wine prefix"
  quietly wineboot --init
fi
# A Wine program idle on an open pipe keeps one Wine server up for the whole
# run: without it the server stops in gaps between tests, and a test that
# meets it restarting can stall for a minute. It ends with this script.
keep=$(mktemp -u)
mkfifo "$keep"
trap 'exec 3>&- ; wineserver --kill 2>/dev/null || true; rm -rf "$keep" "${fetch:-}"' EXIT
wine64_loader=/usr/lib/wine/wine64
[ -x "$wine64_loader" ] || wine64_loader=wine
"$wine64_loader" cmd.exe < "$keep" > /dev/null 2>&1 &
exec 3> "$keep"

echo "== windows build"
cmake -S . -B "$dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=Release -DQUOR_BUILD_BENCH=OFF \
  -DQUOR_GTEST_SOURCE=/usr/src/googletest -DQUOR_SQLITE_SOURCE="$sqlite_dir" > /dev/null
cmake --build "$dir" -j "$jobs"
echo "== windows tests (under Wine)"
ctest --test-dir "$dir" --output-on-failure -j "$jobs" --timeout 600
