#!/usr/bin/env bash
# Takes a screenshot of the BracUtil window over a fresh demo archive, under
# a virtual X display, into docs/bracutil.png. The window grabs itself once
# it is shown (bracutil --screenshot FILE). BUILD_DIR picks the build folder.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/steps.sh
dir=${BUILD_DIR:-build/run}
if [ ! -x "$dir/app/bracutil" ] || [ ! -x "$dir/tools/demoarchive/make-demo-archive" ]; then
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUOR_BUILD_TESTS=OFF \
    -DQUOR_BUILD_BENCH=OFF > /dev/null
  cmake --build "$dir" -j 2 --target bracutil make-demo-archive
fi

demo=$(mktemp -d)
trap 'rm -rf "$demo"' EXIT
"$dir/tools/demoarchive/make-demo-archive" "$demo" > /dev/null
export QUOR_ENGINE_CONFIG="$demo/engine.ini"
export QUOR_REGISTRY="$demo/registry.reg"
printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Quor\\Bracotene]\n"Net"="%s/Net"\n"Priv"="%s/Priv"\n' \
  "$demo" "$demo" > "$QUOR_REGISTRY"
export LANG=it_IT.UTF-8

mkdir -p docs
out=$PWD/docs/bracutil.png
if command -v xvfb-run > /dev/null; then
  env -u QT_QPA_PLATFORM QT_QPA_PLATFORM=xcb \
    xvfb-run -a -s "-screen 0 1280x800x24" "$dir/app/bracutil" --screenshot "$out"
else
  echo "xvfb-run not found: rendering offscreen" >&2
  QT_QPA_PLATFORM=offscreen "$dir/app/bracutil" --screenshot "$out"
fi
echo "Screenshot written to $out"
