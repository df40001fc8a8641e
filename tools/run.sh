#!/usr/bin/env bash
# Builds BracUtil, creates the demo archive once, and opens the window on it.
# Without a display it says so and prints the export of the first condominium.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/steps.sh
tools/install-deps.sh
dir=build/run
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUOR_BUILD_TESTS=OFF -DQUOR_BUILD_BENCH=OFF > /dev/null
cmake --build "$dir" -j "$(nproc)" --target bracutil make-demo-archive >&2

demo=$PWD/demo
if [ ! -f "$demo/engine.ini" ]; then
  echo "Creating the demo archive in $demo" >&2
  "$dir/tools/demoarchive/make-demo-archive" "$demo" >&2
fi
export QUOR_ENGINE_CONFIG="$demo/engine.ini"
export QUOR_REGISTRY="${QUOR_REGISTRY:-$demo/registry.reg}"
# The product is Italian: without a locale of the user's, show Italian dates and amounts.
if [ -z "${LC_ALL:-}${LC_NUMERIC:-}${LANG:-}" ]; then export LANG=it_IT.UTF-8; fi

# Without a display bracutil says so and prints the export of the first condominium.
exec "$dir/app/bracutil" "$@"
