# Sourced by the scripts under tools/ and .ci/: a step that fails says which
# program failed, and a step run quietly shows its output when it fails.

# Any command that stops the script under set -e names itself on stderr,
# inside functions and subshells too. quietly() has already said it.
set -E
steps_failed() {
  [ "$2" = 'return $quietly_status' ] && return 0
  echo "${0##*/}: non riuscito (stato $1): $2" >&2
}
trap 'steps_failed $? "$BASH_COMMAND"' ERR

# quietly PROGRAM [ARGS...]: runs a step whose output is only wanted when it
# fails; then the output follows a line naming the program.
quietly() {
  local log quietly_status
  log=$(mktemp)
  "$@" > "$log" 2>&1 && { rm -f "$log"; return 0; }
  quietly_status=$?
  echo "${0##*/}: $1 non riuscito (stato $quietly_status); il suo output:" >&2
  cat "$log" >&2
  rm -f "$log"
  return $quietly_status
}
