#!/bin/sh
# Runs a Windows program under Wine:
#   wine-run.sh [--dlls=DIR:DIR...] LOADER PROGRAM [ARGS...]
# --dlls: folders (of this machine) where Wine also looks for DLLs.
# Under load Wine now and then fails to start a program at all: it ends at
# once with an error before the program prints anything. Such a start is
# tried again (our test programs always print on standard output first); a
# program that printed anything there, or succeeded, is taken as it ran.
case $1 in
  --dlls=*)
    dlls=${1#--dlls=}
    shift
    WINEPATH=$(printf '%s' "$dlls" | tr ':' '\n' | sed 's|/|\\|g; s|^|Z:|' | paste -sd ';')${WINEPATH:+;$WINEPATH}
    export WINEPATH
    ;;
esac
loader=$1
shift
out=$(mktemp) && err=$(mktemp) || exit 1
trap 'rm -f "$out" "$err"' EXIT
attempt=1
while :; do
  "$loader" "$@" > "$out" 2> "$err"
  status=$?
  if [ $status -eq 0 ] || [ -s "$out" ] || [ $attempt -ge 3 ]; then
    break
  fi
  echo "wine-run: $1 did not start (exit $status), attempt $((attempt + 1))" >&2
  cat "$err" >&2
  attempt=$((attempt + 1))
done
cat "$out"
cat "$err" >&2
exit $status
