# What the drivers of the calls to the phone's line share (sourced, after `set -euo pipefail`):
# a temporary folder that is removed at the end, the processes they start in the background
# ended with it, and on a failure the logs they named printed. A driver sets `passed=1` once
# every check held, and lists its logs as "TITLE=FILE" words in failure_logs.
#   work_kind=NAME; source call_driver.sh
work=$(mktemp -d "${TMPDIR:-/tmp}/${work_kind:-call}.XXXXXX")
passed=0
failure_logs=()

finish() {
  # Only the driver itself cleans up, not a subshell that fails.
  [ "$BASHPID" = "$$" ] || return 0
  local pid entry
  for pid in $(jobs -p); do
    kill "$pid" 2>/dev/null || true
  done
  wait 2>/dev/null || true
  if [ "$passed" != 1 ]; then
    for entry in "${failure_logs[@]}"; do
      echo "== ${entry%%=*}"
      tail -n 200 "${entry#*=}" 2>/dev/null || true
    done >&2
  fi
  rm -rf "$work"
}
trap finish EXIT
trap 'exit 1' INT TERM

fail() {
  echo "FAILED: $*" >&2
  exit 1
}
