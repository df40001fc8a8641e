#!/usr/bin/env bash
# The Windows leg: builds for Windows with mingw-w64 and runs the tests under
# Wine, in a Wine prefix of its own inside the build folder. SQLite's sources
# come from the npm package sqlite3, which carries SQLite's own release archive.
# With Qt for Windows (tools/build-qt-windows.sh) everything is built: the
# programs and the Qt-based tests too (offscreen), then the zips of
# tools/package-windows.sh, whose programs run from their own folders under
# Wine, against the Linux programs and on an X display. Without it only the
# libraries without a GUI, and one line says what is left out.
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

# Qt for Windows of the version the Linux build uses, when it has been built.
qt_version=$(dpkg-query -W -f='${Version}' qt6-base-dev-tools 2> /dev/null || true)
qt=${QUOR_QT_WINDOWS:-${XDG_CACHE_HOME:-$HOME/.cache}/quor/qt6-mingw-${qt_version%%+*}}
if [ -n "$qt_version" ] && [ -f "$qt/.complete" ]; then
  echo "== windows build, with Qt for Windows ($qt)"
else
  echo "== windows build: no Qt for Windows in $qt, so no programs, Qt-based tests or zips (tools/build-qt-windows.sh builds it)"
  qt=""
fi
cmake -S . -B "$dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=Release -DQUOR_BUILD_BENCH=OFF -DQUOR_QT_WINDOWS="$qt" \
  -DQUOR_GTEST_SOURCE=/usr/src/googletest -DQUOR_SQLITE_SOURCE="$sqlite_dir" > /dev/null
cmake --build "$dir" -j "$jobs"
echo "== windows tests (under Wine)"
status=0
# Windows lets one program at a time be the active one: tests whose windows
# must become active run one after the other.
test_jobs=$jobs
[ -n "$qt" ] && test_jobs=1
ctest --test-dir "$dir" --output-on-failure -j "$test_jobs" --timeout 600 || status=1
if [ -n "$qt" ]; then
  echo "== windows zips"
  tools/package-windows.sh "$dir"
  echo "== the zips under Wine, beside the Linux programs"
  tools/install-deps.sh
  linux=build/release
  cmake -S . -B "$linux" -G Ninja -DCMAKE_BUILD_TYPE=Release > /dev/null
  cmake --build "$linux" -j "$jobs" --target test_windows_zips
  unpacked=$(mktemp -d)
  trap 'exec 3>&- ; wineserver --kill 2>/dev/null || true; rm -rf "$keep" "${fetch:-}" "$unpacked"' EXIT
  for zip in build/windows-packages/*.zip; do unzip -q "$zip" -d "$unpacked"; done
  # A Wine prefix of their own, as on a machine with nothing but Wine.
  zip_prefix=$unpacked/wine
  WINEPREFIX=$zip_prefix quietly wineboot --init
  WINEPREFIX=$zip_prefix wineserver --kill || true
  WINEPREFIX=$zip_prefix QUOR_WINDOWS_UNPACKED=$unpacked QUOR_WINE=$wine64_loader \
    "$linux/tests/tools/windows/test_windows_zips" || status=1
  WINEPREFIX=$zip_prefix wineserver --kill 2> /dev/null || true
fi
exit $status
