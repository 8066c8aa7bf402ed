# shellcheck shell=bash
# The test scripts' one wait, sourced by them.

# wait_until SECONDS COMMAND...: runs COMMAND every 0.2 s, its output discarded, until it
# succeeds; fails once the time is up.
wait_until() {
  local end=$((SECONDS + $1))
  until "${@:2}" >/dev/null 2>&1; do
    [ "$SECONDS" -lt "$end" ] || return 1
    sleep 0.2
  done
}
