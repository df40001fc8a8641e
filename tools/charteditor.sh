#!/usr/bin/env bash
# Builds the chart editor and opens it, on the chart given or on a new one:
#   tools/charteditor.sh [file.chart]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
tools_dir="$root/tools"
. "$tools_dir/steps.sh"
"$tools_dir/install-deps.sh"
dir="$root/build/run"
cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUOR_BUILD_TESTS=OFF \
  -DQUOR_BUILD_BENCH=OFF > /dev/null
cmake --build "$dir" -j "$(nproc)" --target charteditor >&2
# The chart is named from where the command was typed, not from the build.
exec "$dir/tools/charteditor/charteditor" "$@"
