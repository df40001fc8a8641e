#!/usr/bin/env bash
# Builds BracUtil, creates the demo archive once, and opens the window on it.
# Without a display it says so and prints the export of the first condominium.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
dir=build/run
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUOR_BUILD_TESTS=OFF -DQUOR_BUILD_BENCH=OFF > /dev/null
cmake --build "$dir" -j "$(nproc)" --target bracutil make-demo-archive

demo=$PWD/demo
if [ ! -f "$demo/engine.ini" ]; then
  echo "Creating the demo archive in $demo"
  "$dir/tools/demoarchive/make-demo-archive" "$demo"
fi
export QUOR_ENGINE_CONFIG="$demo/engine.ini"
export QUOR_REGISTRY="${QUOR_REGISTRY:-$demo/registry.reg}"

# Without a display bracutil says so and prints the export of the first condominium.
exec "$dir/app/bracutil" "$@"
