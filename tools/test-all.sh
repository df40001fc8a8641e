#!/usr/bin/env bash
# Builds and runs every test twice: a normal build, then a build with
# AddressSanitizer and UndefinedBehaviorSanitizer that halts on the first error;
# then the Debian packages, checked and run from a scratch root, with the
# example program built on them; then the Windows build of the libraries
# without a GUI, under Wine. The
# engine's tests also run on a throwaway PostgreSQL server of their own.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/steps.sh
tools/install-deps.sh
cluster=$(tools/pg-cluster.sh start)
eval "$cluster"
trap 'tools/pg-cluster.sh stop' EXIT
export QUOR_TEST_PG_REQUIRED=1
jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=halt_on_error=1:abort_on_error=1:detect_leaks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export LSAN_OPTIONS=suppressions=$PWD/tools/lsan.supp:print_suppressions=0

status=0
for flavour in release sanitize; do
  dir=build/$flavour
  if [ $flavour = sanitize ]; then
    extra=(-DCMAKE_BUILD_TYPE=Debug -DQUOR_SANITIZE=ON -DQUOR_BUILD_BENCH=OFF)
  else
    extra=(-DCMAKE_BUILD_TYPE=Release)
  fi
  echo "== $flavour build"
  cmake -S . -B "$dir" -G Ninja "${extra[@]}" > /dev/null
  cmake --build "$dir" -j "$jobs"
  echo "== $flavour tests"
  if ! ctest --test-dir "$dir" --output-on-failure -j "$jobs" --timeout 600; then
    status=1
  fi
done
# The packages, made from the release build.
tools/test-packages.sh || status=1
# Last leg: the libraries without a GUI, built for Windows and tested under Wine.
tools/test-windows.sh || status=1
exit $status
