#!/usr/bin/env bash
# Takes a screenshot of the chart editor on the example chart, under a
# virtual X display, into docs/charteditor.png, with the first box selected
# and shown in the box panel.
# BUILD_DIR picks the build folder.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/steps.sh
dir=${BUILD_DIR:-build/run}
if [ ! -x "$dir/tools/charteditor/charteditor" ]; then
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUOR_BUILD_TESTS=OFF \
    -DQUOR_BUILD_BENCH=OFF > /dev/null
  cmake --build "$dir" -j 2 --target charteditor
fi
export LANG=it_IT.UTF-8

mkdir -p docs
out=$PWD/docs/charteditor.png
args=(--select=Inizio "--screenshot=$out" tools/chartrender/examples/conti.chart)
if command -v xvfb-run > /dev/null; then
  env -u QT_QPA_PLATFORM QT_QPA_PLATFORM=xcb \
    xvfb-run -a -s "-screen 0 1280x800x24" "$dir/tools/charteditor/charteditor" "${args[@]}"
else
  echo "xvfb-run not found: rendering offscreen" >&2
  QT_QPA_PLATFORM=offscreen "$dir/tools/charteditor/charteditor" "${args[@]}"
fi
echo "Screenshot written to $out"
