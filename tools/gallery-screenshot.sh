#!/usr/bin/env bash
# Retakes docs/gallery.png and docs/gallery-diagramma.png: the component
# gallery over a fresh demo archive and a fresh copy of the example chart,
# under a virtual X display; the first page with the tree's popup menu open,
# the second inside the group Verifiche. The window grabs itself
# (gallery --screenshot FILE). BUILD_DIR picks the build folder.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/steps.sh
dir=${BUILD_DIR:-build/run}
if [ ! -x "$dir/tools/gallery/gallery" ] || [ ! -x "$dir/tools/demoarchive/make-demo-archive" ]; then
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUOR_BUILD_TESTS=OFF \
    -DQUOR_BUILD_BENCH=OFF > /dev/null
  cmake --build "$dir" -j 2 --target gallery make-demo-archive
fi

# A short, fixed folder: the window shows the copy's name in its status line.
work=${TMPDIR:-/tmp}/galleria-quor
rm -rf "$work"
trap 'rm -rf "$work"' EXIT
"$dir/tools/demoarchive/make-demo-archive" "$work/demo" > /dev/null
export LANG=it_IT.UTF-8

mkdir -p docs
# shoot FILE [ARGUMENTS...]: one picture of the window into docs/FILE.
shoot() {
  local out=$PWD/docs/$1
  shift
  local args=("$work" --archivio "$work/demo/Archivi/Bracotene.db" "$@" --screenshot "$out")
  if command -v xvfb-run > /dev/null; then
    env -u QT_QPA_PLATFORM QT_QPA_PLATFORM=xcb \
      xvfb-run -a -s "-screen 0 1280x800x24" "$dir/tools/gallery/gallery" "${args[@]}" > /dev/null
  else
    echo "xvfb-run not found: rendering offscreen" >&2
    QT_QPA_PLATFORM=offscreen "$dir/tools/gallery/gallery" "${args[@]}" > /dev/null
  fi
  echo "Screenshot written to $out"
}
shoot gallery.png
shoot gallery-diagramma.png --diagramma
