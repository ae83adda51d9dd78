#!/usr/bin/env bash
# A call to the phone's SIP line from Linphone's console (linphonec, Debian's linphone-cli), a SIP
# and media stack other than the line's own, for CTest (label "sip"):
#   linphone_test.sh answered | talk_key | cancelled
# Both run in a network namespace that has only loopback (unshare -n), so that nothing reaches
# the machine's network; where no namespace can be made (no privilege), the test says so and
# exits 77, which CTest reports as skipped. The environment names the programs: TOVARIN_EMU,
# TOVARIN_AUDIO_PROBE, LINPHONEC.
set -euo pipefail

if [ -z "${TOVARIN_IN_NAMESPACE:-}" ]; then
  if ! why=$(unshare -n true 2>&1); then
    echo "SKIPPED: no network namespace can be made here: $why"
    exit 77
  fi
  exec env TOVARIN_IN_NAMESPACE=1 unshare -n bash "$0" "$@"
fi
ip link set lo up

here=$(cd "$(dirname "$0")" && pwd)
case_name=${1:?usage: linphone_test.sh answered|talk_key|cancelled}
work_kind=linphone
source "$here/../call_driver.sh"
failure_logs=("the phone's output=$work/phone.log" "Linphone's output=$work/caller.log")
phone_pid=""

# linphonec with its own copy of the configuration (it writes to it) and its home in the work
# folder; it reads its commands from a FIFO. It says a 700 Hz tone and records what it hears.
start_caller() {
  cp "$here/linphonerc" "$work/linphonerc"
  "$TOVARIN_AUDIO_PROBE" tone 700 30000 "$work/tone.wav" >/dev/null
  mkfifo "$work/caller"
  HOME=$work "$LINPHONEC" -c "$work/linphonerc" -d 0 <"$work/caller" >"$work/caller.log" 2>&1 &
  exec {caller}>"$work/caller"
  caller 'ports sip 15080'
  caller 'soundcard use files'
  caller "play $work/tone.wav"
  caller "record $work/heard.wav"
}

caller() {
  printf '%s\n' "$1" >&"$caller"
}

caller_quits() {
  caller quit
  exec {caller}>&-
}

# The line's closing figures of the call: packets sent and received.
line_figures() {
  grep -oE '[0-9]+ packets sent, [0-9]+ received' "$work/phone.log" | head -1 | grep -oE '[0-9]+' |
    xargs
}

start_console_phone 127.0.0.1:15070
start_caller
case "$case_name" in
  answered)
    # The answering machine answers after its ten seconds and plays its greeting; the caller
    # speaks for eight seconds and hangs up. His tone is the message; the greeting went to him.
    type_command 'reg set HKLM "\Software\VarnholtCM\AnswerMachine" "Enable" dword 1'
    type_command 'reg set HKLM "\Software\VarnholtCM\AnswerMachine" "SaveDir" sz "\My Documents"'
    type_command 'event set "Answer Machine Service Event"'
    caller 'call sip:phone@127.0.0.1:15070'
    await_text "$work/phone.log" "call from +79125550123 rings" 10 "ring"
    await_text "$work/phone.log" "200 OK to +79125550123" 20 "answer"
    await_text "$work/phone.log" "Oxbane: recording the line into" 10 "recording"
    sleep 5
    caller terminate
    await_text "$work/phone.log" "the caller +79125550123 hung up" 5 "BYE from the caller"
    await_text "$work/phone.log" "Oxbane: wrote" 5 "message"
    read -r sent received <<<"$(line_figures)"
    echo "the line sent $sent packets (the greeting and what followed) and received $received"
    [ "$sent" -gt 300 ] && [ "$received" -gt 300 ] || fail "too little audio went either way"
    message=$(ls "$work/device/My Documents"/VR*.amr | head -1)
    "$TOVARIN_AUDIO_PROBE" check "$message" --sound 3000 7000 --tone 700 3 ||
      fail "the message does not hold the caller's tone"
    if [ -s "$work/heard.wav" ]; then
      "$TOVARIN_AUDIO_PROBE" check "$work/heard.wav" --sound 2900 3400 ||
        fail "the caller did not hear the greeting"
    fi
    ;;
  talk_key)
    # The user answers with the talk key, and hangs up three seconds later: BYE from the phone.
    caller 'call sip:phone@127.0.0.1:15070'
    await_text "$work/phone.log" "call from +79125550123 rings" 10 "ring"
    type_command 'key 0x72'
    await_text "$work/phone.log" "200 OK to +79125550123" 5 "answer"
    await_text "$work/caller.log" "connected" 5 "Linphone's connected call"
    sleep 3
    type_command 'call end'
    await_text "$work/phone.log" "BYE to +79125550123" 5 "BYE from the phone"
    await_text "$work/caller.log" "ended" 5 "the end of Linphone's call"
    read -r sent received <<<"$(line_figures)"
    echo "the line sent $sent packets and received $received"
    [ "$received" -gt 100 ] || fail "the phone heard too little of the caller"
    ;;
  cancelled)
    # Linphone gives up while the phone rings: a missed call.
    caller 'call sip:phone@127.0.0.1:15070'
    await_text "$work/phone.log" "call from +79125550123 rings" 10 "ring"
    sleep 2
    caller terminate
    await_text "$work/phone.log" "the caller +79125550123 cancelled the call" 5 "CANCEL"
    await_text "$work/phone.log" "call missed" 5 "missed call"
    ;;
  *)
    fail "unknown case $case_name"
    ;;
esac
caller_quits
phone_ends
passed=1
echo "PASSED: $case_name"
