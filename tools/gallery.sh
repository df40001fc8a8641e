#!/usr/bin/env bash
# Builds the component gallery and opens it on a copy of the demo archive
# (the one tools/run.sh opens, made here once when missing) and a copy of the
# example chart. The copies go into galleria/ and are made afresh at every
# start; the demo archive and the example are never written. Arguments go to
# the program (gallery --help).
# Without a display it says so and exits 1.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/steps.sh
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}${QT_QPA_PLATFORM:-}" ] && [[ " $* " != *" --screenshot"* ]]; then
  echo "gallery.sh: nessuno schermo disponibile (DISPLAY non è impostato): la galleria è una" \
       "finestra e ha bisogno di un display" >&2
  exit 1
fi
tools/install-deps.sh
dir=build/run
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUOR_BUILD_TESTS=OFF -DQUOR_BUILD_BENCH=OFF > /dev/null
cmake --build "$dir" -j "$(nproc)" --target gallery make-demo-archive >&2

demo=$PWD/demo
if [ ! -f "$demo/engine.ini" ]; then
  echo "Creating the demo archive in $demo" >&2
  "$dir/tools/demoarchive/make-demo-archive" "$demo" >&2
fi
export QUOR_ENGINE_CONFIG="$demo/engine.ini"
# The product is Italian: without a locale of the user's, show Italian dates and amounts.
if [ -z "${LC_ALL:-}${LC_NUMERIC:-}${LANG:-}" ]; then export LANG=it_IT.UTF-8; fi

exec "$dir/tools/gallery/gallery" "$PWD/galleria" "$@"
