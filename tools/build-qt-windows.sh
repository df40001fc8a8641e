#!/usr/bin/env bash
# Cross-builds what our programs need of Qt for Windows (QtCore, QtGui,
# QtWidgets, QtPrintSupport and QtTest, the windows and offscreen platform
# plugins, the Windows styles) with mingw-w64, from Debian's own qt6-base
# sources of the same version as the Qt we build with on Linux, whose host
# tools (moc, uic, rcc) it uses. No OpenGL, D-Bus, networking or SQL.
#
#   tools/build-qt-windows.sh
#
# Installs into ~/.cache/quor/qt6-mingw-VERSION (QUOR_QT_WINDOWS names another
# folder) and does nothing when that is complete. An interrupted build goes on
# where it stopped. Prints how long it took.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh --windows dpkg-dev qt6-base-dev qt6-base-dev-tools qt6-translations-l10n xz-utils

version=$(dpkg-query -W -f='${Version}' qt6-base-dev-tools)
version=${version%%+*}
cache=${XDG_CACHE_HOME:-$HOME/.cache}/quor
prefix=${QUOR_QT_WINDOWS:-$cache/qt6-mingw-$version}
work=$prefix.build
if [ -f "$prefix/.complete" ]; then
  echo "Qt $version per Windows è già in $prefix"
  exit 0
fi
start=$(date +%s)
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

# The sources come from the same Debian archive as the system's packages: its
# deb entries, repeated as deb-src in a file of our own.
if ! apt-cache showsrc qt6-base 2> /dev/null | grep -q "^Version: $version"; then
  list=/etc/apt/sources.list.d/quor-qt6-src.sources
  echo "== deb-src per qt6-base ($list)"
  entries=$(for f in /etc/apt/sources.list.d/*.sources; do
      [ -f "$f" ] && [ "$f" != "$list" ] && awk -v RS= -v ORS='\n\n' \
        '/(^|\n)Types:[^\n]*deb/ && /(^|\n)Suites:/ && !/Enabled: *no/ && !/-security/' "$f"
    done | sed 's/^Types:.*/Types: deb-src/')
  if [ -z "$entries" ] && [ -f /etc/apt/sources.list ]; then
    entries=$(sed -n 's/^deb \(.*\)$/deb-src \1/p' /etc/apt/sources.list | grep -v -- -security || true)
    list=/etc/apt/sources.list.d/quor-qt6-src.list
  fi
  [ -n "$entries" ] || { echo "build-qt-windows: nessuna voce deb del sistema da ripetere come deb-src" >&2; exit 1; }
  printf '%s\n' "$entries" | $sudo tee "$list" > /dev/null
  $sudo apt-get update -qq
fi

mkdir -p "$work"
source_dir=$work/qtbase-everywhere-src-$version
if [ ! -f "$source_dir/CMakeLists.txt" ]; then
  echo "== sorgenti di qt6-base $version"
  rm -rf "$work/fetch"
  mkdir -p "$work/fetch"
  # apt checks every file against the archive's signed index.
  (cd "$work/fetch" && apt-get source --download-only "qt6-base=$(apt-cache showsrc qt6-base |
      sed -n "s/^Version: \($version.*\)/\1/p" | head -n 1)") > "$work/fetch.log" 2>&1 ||
    { cat "$work/fetch.log" >&2; echo "build-qt-windows: apt-get source qt6-base non riuscito" >&2; exit 1; }
  tar -xJf "$work"/fetch/qt6-base_*.orig.tar.xz -C "$work"
  rm -rf "$work/fetch"
fi

cat > "$work/toolchain.cmake" <<'TOOLCHAIN'
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
TOOLCHAIN

if [ ! -f "$work/build/build.ninja" ]; then
  echo "== configurazione"
  launcher=()
  command -v ccache > /dev/null && launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  cmake -S "$source_dir" -B "$work/build" -G Ninja "${launcher[@]}" \
    -DCMAKE_TOOLCHAIN_FILE="$work/toolchain.cmake" -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DCMAKE_BUILD_TYPE=Release -DQT_HOST_PATH=/usr \
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF \
    -DINPUT_opengl=no -DFEATURE_opengl=OFF -DFEATURE_opengl_dynamic=OFF -DFEATURE_dynamicgl=OFF -DFEATURE_dbus=OFF -DFEATURE_sql=OFF -DFEATURE_network=OFF \
    -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF -DFEATURE_vulkan=OFF -DFEATURE_tabletevent=OFF \
    -DFEATURE_system_zlib=OFF -DFEATURE_pkg_config=OFF > "$work/configure.log" 2>&1 ||
    { tail -n 40 "$work/configure.log" >&2; echo "build-qt-windows: configurazione di Qt non riuscita (log: $work/configure.log)" >&2; exit 1; }
fi
echo "== compilazione (${QUOR_JOBS:-$(nproc)} processi)"
cmake --build "$work/build" --parallel "${QUOR_JOBS:-$(nproc)}"
cmake --install "$work/build" > "$work/install.log"
# Qt's Italian texts, which the programs load from Qt's own folder.
mkdir -p "$prefix/translations"
cp /usr/share/qt6/translations/qtbase_it.qm /usr/share/qt6/translations/qt_it.qm "$prefix/translations/"
touch "$prefix/.complete"
elapsed=$(( $(date +%s) - start ))
echo "Qt $version per Windows in $prefix: $((elapsed / 60)) min $((elapsed % 60)) s"
