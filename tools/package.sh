#!/usr/bin/env bash
# Builds the Debian packages bracutil, quor-tools and libquor-dev with CPack
# into build/packages (dependencies computed by dpkg-shlibdeps). Reuses the
# release build in build/release; QUOR_PACKAGE_BUILD names another one.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
dir=${QUOR_PACKAGE_BUILD:-build/release}
out=$PWD/build/packages
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release > /dev/null
cmake --build "$dir" -j "$(nproc)" --target quor_install_all
rm -rf "$out"
mkdir -p "$out"
(cd "$dir" && cpack -G DEB -B "$out" > "$out/cpack.log") || { cat "$out/cpack.log" >&2; exit 1; }
rm -rf "$out/_CPack_Packages"
ls "$out"/*.deb
