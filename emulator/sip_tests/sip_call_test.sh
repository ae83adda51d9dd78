#!/usr/bin/env bash
# One real call to the phone's SIP line, for CTest:
#   sip_call_test.sh CASE
# CASE names a phone-side script CASE.scn beside this file and the caller's part below. The phone
# runs the script in real time with its line on a free loopback port; a headless baresip
# (baresip/config) calls it, says a tone and keeps what it hears; the recordings are judged with
# tovarin-audio-probe. The environment names the programs: TOVARIN_EMU, TOVARIN_AUDIO_PROBE,
# BARESIP. Everything runs in a temporary folder that is removed at the end, and every process
# started here is ended with it. A failure prints both ends' logs.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
case_name=${1:?usage: sip_call_test.sh CASE}
work=$(mktemp -d "${TMPDIR:-/tmp}/sip-call.XXXXXX")
phone_pid=""
caller_pid=""
passed=0

finish() {
  # The caller's stdin is closed first so that baresip sees its input end as well.
  if [ -n "${caller_in:-}" ]; then
    exec {caller_in}>&-
  fi
  for pid in $caller_pid $phone_pid; do
    kill "$pid" 2>/dev/null || true
  done
  wait 2>/dev/null || true
  if [ "$passed" != 1 ]; then
    echo "== the phone's output"
    cat "$work/phone.log" 2>/dev/null || true
    echo "== the caller's output"
    cat "$work/caller/caller.log" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap finish EXIT
trap 'exit 1' INT TERM

fail() {
  echo "FAILED: $*" >&2
  exit 1
}

# Waits for a line matching the extended regular expression in the file; prints the first one.
await() {  # file regex seconds what
  local file=$1 regex=$2 seconds=$3 what=$4 line
  local deadline=$((SECONDS + seconds))
  while [ $SECONDS -lt $deadline ]; do
    if line=$(grep -m1 -E -- "$regex" "$file" 2>/dev/null); then
      printf '%s\n' "$line"
      return 0
    fi
    sleep 0.05
  done
  fail "no $what within $seconds s"
}

# The phone runs its script with the line open; port is where the line listens.
start_phone() {  # [tovarin-emu options...]
  "$TOVARIN_EMU" --script "$here/$case_name.scn" --time real --sip 127.0.0.1:0 \
    --device "$work/device" "$@" >"$work/phone.log" 2>&1 &
  phone_pid=$!
  port=$(await "$work/phone.log" "listening on 127\\.0\\.0\\.1:[0-9]+" 20 "SIP line" |
    grep -oE "127\\.0\\.0\\.1:[0-9]+" | cut -d: -f2)
  [ -n "$port" ] || fail "the line announced no port"
}

# baresip as the caller NUMBER (the From user part), saying caller.wav: a 440 Hz tone, which
# plays from the answer on. It quits on its own after a minute in any case.
start_caller() {  # number
  mkdir "$work/caller"
  cp "$here/baresip/config" "$work/caller/config"
  printf '<sip:%s@127.0.0.1>;regint=0\n' "$1" >"$work/caller/accounts"
  "$TOVARIN_AUDIO_PROBE" tone 440 60000 "$work/caller/caller.wav"
  mkfifo "$work/caller/commands"
  (cd "$work/caller" && exec "$BARESIP" -f . -t 60 <commands >caller.log 2>&1) &
  caller_pid=$!
  exec {caller_in}>"$work/caller/commands"
  await "$work/caller/caller.log" 'baresip is ready' 10 "baresip start" >/dev/null
}

caller() {  # command
  printf '%s\n' "$1" >&"$caller_in"
}

caller_waits_for() {  # regex seconds what
  await "$work/caller/caller.log" "$1" "$2" "$3" >/dev/null
}

# The phone's script ends by itself; its exit code is the phone side's verdict.
phone_verdict() {
  local code=0
  wait "$phone_pid" || code=$?
  phone_pid=""
  [ "$code" = 0 ] || fail "the phone's script exited with $code"
}

caller_quits() {
  caller "/quit"
  wait "$caller_pid" || true
  caller_pid=""
}

probe() {  # file [--sound MIN MAX] [--tone HZ TOLERANCE]
  "$TOVARIN_AUDIO_PROBE" check "$@" || fail "$(basename "$1") is not what the call should leave"
}

heard() {  # what the caller heard
  local dump
  dump=$(ls "$work"/caller/dump-*-dec.wav 2>/dev/null | head -1)
  [ -n "$dump" ] || fail "the caller kept no audio"
  printf '%s\n' "$dump"
}

recorded() {  # device folder pattern: the phone's recording
  local file
  file=$(ls "$work/device/$1"/$2 2>/dev/null | head -1)
  [ -n "$file" ] || fail "no recording $1/$2 on the phone"
  printf '%s\n' "$file"
}

no_lost_packets() {
  local lost
  lost=$(grep -E '^lost:' "$work/caller/caller.log" | head -1)
  [ -n "$lost" ] || fail "the caller printed no RTP statistics"
  echo "caller's RTP $lost (sent, received)"
  [[ "$lost" =~ ^lost:[[:space:]]+0[[:space:]]+0$ ]] || fail "packets were lost on loopback"
}

case "$case_name" in
  answering_machine_call)
    # The answering machine answers after its delay; the caller hears the greeting, speaks for
    # four seconds after it and hangs up. His tone is the message.
    start_phone
    start_caller "+79125550123"
    caller "/dial sip:phone@127.0.0.1:$port"
    caller_waits_for 'Call established' 20 "answer"
    sleep 8
    caller "/hangup"
    caller_waits_for 'terminated' 5 "end of the call"
    phone_verdict
    caller_quits
    no_lost_packets
    probe "$(heard)" --sound 2900 3400
    probe "$(recorded "My Documents" "VR*.amr")" --sound 3000 5000 --tone 440 3
    ;;
  talk_and_record_call)
    # The user answers with the talk key and records the call; the phone hangs up.
    start_phone
    start_caller "5550001"
    caller "/dial sip:phone@127.0.0.1:$port"
    caller_waits_for 'terminated' 30 "end of the call"
    phone_verdict
    caller_quits
    no_lost_packets
    probe "$(recorded "My Documents/Мои Телефонные Записи" "CK*.amr")" --sound 2500 3500 \
      --tone 440 3
    ;;
  caller_gives_up)
    # The caller hangs up while the phone rings; the phone's script checks the rest.
    start_phone
    start_caller "5550001"
    caller "/dial sip:phone@127.0.0.1:$port"
    caller_waits_for '180 Ringing' 10 "ringing"
    sleep 3
    caller "/hangup"
    caller_waits_for 'terminated|closed' 5 "end of the call"
    phone_verdict
    caller_quits
    ;;
  per_caller_greeting_call)
    # A listed caller hears his own greeting: a two-second 1 kHz tone.
    "$TOVARIN_AUDIO_PROBE" tone 1000 2000 "$work/anna.amr"
    start_phone --install "$work/anna.amr"
    start_caller "+79125550123"
    caller "/dial sip:phone@127.0.0.1:$port"
    caller_waits_for 'Call established' 20 "answer"
    sleep 4
    caller "/hangup"
    caller_waits_for 'terminated' 5 "end of the call"
    phone_verdict
    caller_quits
    probe "$(heard)" --sound 1800 2200 --tone 1000 3
    ;;
  *)
    fail "unknown case $case_name"
    ;;
esac
passed=1
echo "PASSED: $case_name"
