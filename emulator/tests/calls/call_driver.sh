# What the drivers of the calls to the phone's line share (sourced, after `set -euo pipefail`):
# a temporary folder that is removed at the end, the processes they start in the background
# ended with it, and on a failure the logs they named printed; and a phone whose console the
# driver types into. A driver sets `passed=1` once every check held, and lists its logs as
# "TITLE=FILE" words in failure_logs.
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

# Waits until more than `before` lines of the file hold the fixed text.
await_text() {  # file text seconds what [before]
  local deadline=$((SECONDS + $3))
  while [ $SECONDS -lt $deadline ]; do
    [ "$(grep -cF -- "$2" "$1" 2>/dev/null)" -gt "${5:-0}" ] && return 0
    sleep 0.05
  done
  fail "no $4 within $3 s"
}

# The phone (TOVARIN_EMU) in real time with its line on ADDRESS, reading its console from a FIFO
# that type_command writes to; its output goes to $work/phone.log, and port is where the line
# listens.
start_console_phone() {  # [address:port]
  local listen=${1:-127.0.0.1:0}
  mkfifo "$work/console"
  "$TOVARIN_EMU" --device "$work/device" --sip "$listen" <"$work/console" >"$work/phone.log" 2>&1 &
  phone_pid=$!
  exec {console}>"$work/console"
  await_text "$work/phone.log" "listening on ${listen%:*}:" 20 "SIP line"
  port=$(grep -m1 -oE "listening on [0-9.]+:[0-9]+" "$work/phone.log" | cut -d: -f2)
}

type_command() {
  printf '%s\n' "$1" >&"$console"
}

# The console's input ends, and with it the phone, which must end cleanly.
phone_ends() {
  exec {console}>&-
  wait "$phone_pid" || fail "the phone did not end cleanly"
  phone_pid=""
}
