#!/usr/bin/env bash
# One real call to or from the phone's SIP line, for CTest:
#   sip_call_test.sh CASE
# CASE names a phone-side script CASE.scn beside this file and the caller's part below. The phone
# runs the script in real time with its line on a free loopback port; a headless baresip
# (baresip/config) calls it, says a tone and keeps what it hears; the recordings are judged with
# tovarin-audio-probe. baresip is ready before the phone starts and dials the moment the line
# listens, since the phone's script counts its time from the boot; in the dialled_* cases the
# phone calls baresip instead. The environment names the
# programs: TOVARIN_EMU, TOVARIN_AUDIO_PROBE, BARESIP. Everything runs in a temporary folder that
# is removed at the end, and every process started here is ended with it. A failure prints both
# ends' logs.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
case_name=${1:?usage: sip_call_test.sh CASE}
work_kind=sip-call
source "$here/call_driver.sh"
failure_logs=("the phone's output=$work/phone.log" "the caller's output=$work/caller/caller.log")
phone_pid=""
caller_pid=""

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

# The phone runs its script (phone_script, CASE.scn unless set) with the line open; port is where
# the line listens.
start_phone() {  # [tovarin-emu options...]
  "$TOVARIN_EMU" --script "${phone_script:-$here/$case_name.scn}" --time real --sip 127.0.0.1:0 \
    --device "$work/device" "$@" >"$work/phone.log" 2>&1 &
  phone_pid=$!
  port=$(await "$work/phone.log" "listening on 127\\.0\\.0\\.1:[0-9]+" 20 "SIP line" |
    grep -m1 -oE "127\\.0\\.0\\.1:[0-9]+" | head -1 | cut -d: -f2)
  [ -n "$port" ] || fail "the line announced no port"
}

# A port on loopback that no socket of the protocol uses (from the kernel's table of sockets):
# for TCP one that nothing listens on, for UDP one that nothing is bound to.
free_port() {  # tcp|udp
  local port
  while :; do
    port=$((20000 + RANDOM % 40000))
    # State 0A is TCP's LISTEN; the local address ends in the port in hexadecimal.
    if ! { cat "/proc/net/$1"; cat "/proc/net/${1}6" 2>/dev/null || true; } |
      awk -v hex="$(printf '%04X' "$port")" -v tcp="$([ "$1" = tcp ] && echo 1)" \
        '(!tcp || $4 == "0A") && substr($2, index($2, ":") + 1) == hex { found = 1 }
         END { exit !found }'
    then
      echo "$port"
      return
    fi
  done
}

# baresip (baresip/config) as the caller NUMBER, the From user part, offering its codecs (AMR-WB,
# AMR, PCMU, PCMA) or only CODEC. It says its 440 Hz tone from the answer on and takes its
# commands on a TCP control socket instead of a terminal. It quits on its own after a minute in
# any case.
start_caller() {  # number [codec]
  start_baresip "$(printf '<sip:%s@127.0.0.1>;regint=0%s' "$1" "${2:+;audio_codecs=$2}")"
}

# baresip as the called user "bob" on a free loopback port (callee_port), for the phone's
# outgoing calls: it answers at once (auto) or rings until told (manual), and otherwise does as
# the caller does. The phone's script is CASE.scn with the port written for @PORT@.
start_callee() {  # auto|manual
  callee_port=$(free_port udp)
  start_baresip "<sip:bob@127.0.0.1>;regint=0;answermode=$1" "127.0.0.1:$callee_port"
  phone_script="$work/$case_name.scn"
  sed "s/@PORT@/$callee_port/g" "$here/$case_name.scn" >"$phone_script"
}

start_baresip() {  # account [sip_listen address]
  local control_port
  control_port=$(free_port tcp)
  mkdir "$work/caller"
  sed -e 's/^module\t*stdio\.so$/module_app\tctrl_tcp.so/' \
    -e "s/^sip_listen\t.*/sip_listen\t\t${2:-127.0.0.1:0}/" "$here/baresip/config" \
    >"$work/caller/config"
  printf 'ctrl_tcp_listen\t\t127.0.0.1:%s\n' "$control_port" >>"$work/caller/config"
  printf '%s\n' "$1" >"$work/caller/accounts"
  (cd "$work/caller" && exec "$BARESIP" -f . -t 60 </dev/null >caller.log 2>&1) &
  caller_pid=$!
  await "$work/caller/caller.log" "baresip is ready" 10 "baresip start" >/dev/null
  exec {control}<>"/dev/tcp/127.0.0.1/$control_port" || fail "no control socket on $control_port"
}

# A command on baresip's control socket, as a netstring of JSON; its answers and events are
# read by nobody (the log says the same).
caller() {  # command [parameters]
  local json
  json=$(printf '{"command":"%s","params":"%s","token":"%s"}' "$1" "${2:-}" "$1")
  printf '%d:%s,' "${#json}" "$json" >&"$control"
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

# baresip has printed its figures when the call ended; it is stopped as it would be at Ctrl-C.
caller_quits() {
  kill -TERM "$caller_pid" 2>/dev/null || true
  wait "$caller_pid" || true
  caller_pid=""
}

probe() {  # file [--sound MIN MAX] [--tone HZ TOLERANCE] [--carries HZ DB]... [--within FROM TO]
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

# The phone's CPU time so far, in clock ticks (user and system).
phone_ticks() {
  awk '{ print $14 + $15 }' "/proc/$phone_pid/stat"
}

# Both ends count the call's RTP packets: the phone found no gap in what it received, and each
# end received what the other sent, but for the last few packets under way when the call ended.
no_lost_packets() {
  local phone_figures caller_figures
  phone_figures=$(grep -oE '[0-9]+ packets sent, [0-9]+ received, [0-9]+ lost' "$work/phone.log" |
    head -1 | grep -oE '[0-9]+' | xargs)
  caller_figures=$(grep -E '^packets:' "$work/caller/caller.log" | head -1 | grep -oE '[0-9]+' |
    xargs)
  [ -n "$phone_figures" ] || fail "the phone traced no RTP figures"
  [ -n "$caller_figures" ] || fail "the caller printed no RTP figures"
  local phone_sent phone_received phone_lost caller_sent caller_received
  read -r phone_sent phone_received phone_lost <<<"$phone_figures"
  read -r caller_sent caller_received <<<"$caller_figures"
  echo "RTP: the phone sent $phone_sent packets, the caller received $caller_received;" \
    "the caller sent $caller_sent, the phone received $phone_received and lost $phone_lost"
  [ "$phone_lost" = 0 ] || fail "the phone lost packets on loopback"
  [ "$caller_received" -ge $((phone_sent - 3)) ] || fail "the caller lost packets on loopback"
  [ "$phone_received" -ge $((caller_sent - 3)) ] || fail "the phone missed packets on loopback"
}

case "$case_name" in
  answering_machine_call)
    # The answering machine answers after its delay; the caller hears the greeting, speaks for
    # four seconds after it and hangs up. His tone is the message.
    start_caller "+79125550123"
    start_phone
    caller dial "sip:phone@127.0.0.1:$port"
    caller_waits_for 'Call established' 20 "answer"
    ticks_at_answer=$(phone_ticks)
    sleep 8
    caller hangup
    caller_waits_for 'terminated' 5 "end of the call"
    cpu_ms=$(( ($(phone_ticks) - ticks_at_answer) * 1000 / $(getconf CLK_TCK) ))
    echo "the phone took $cpu_ms ms of CPU in the 8 s after the answer" \
      "($(awk -v ms="$cpu_ms" 'BEGIN { printf "%.1f", ms / 80 }') % of a core)"
    phone_verdict
    caller_quits
    no_lost_packets
    greeting=$(heard)
    message=$(recorded "My Documents" "VR*.amr")
    probe "$greeting" --sound 2900 3400
    probe "$message" --sound 3000 5000 --tone 440 3
    ;;
  talk_and_record_call)
    # The user answers with the talk key and records the call; the phone hangs up. The caller
    # speaks A-law.
    start_caller "5550001" "PCMA/8000/1"
    start_phone
    caller dial "sip:phone@127.0.0.1:$port"
    caller_waits_for 'terminated' 30 "end of the call"
    phone_verdict
    caller_quits
    no_lost_packets
    recording=$(recorded "My Documents/Мои Телефонные Записи" "CK*.amr")
    probe "$recording" --sound 2500 3500 --tone 440 3
    ;;
  caller_gives_up)
    # The caller hangs up while the phone rings; the phone's script checks the rest.
    start_caller "5550001"
    start_phone
    caller dial "sip:phone@127.0.0.1:$port"
    caller_waits_for '180 Ringing' 10 "ringing"
    sleep 3
    caller hangup
    caller_waits_for 'terminate call' 5 "end of the call"
    phone_verdict
    caller_quits
    ;;
  per_caller_greeting_call)
    # A listed caller hears her own greeting, a two-second 1 kHz tone, in mu-law.
    "$TOVARIN_AUDIO_PROBE" tone 1000 2000 "$work/anna.amr"
    start_caller "+79125550123" "PCMU/8000/1"
    start_phone --install "$work/anna.amr"
    caller dial "sip:phone@127.0.0.1:$port"
    caller_waits_for 'Call established' 20 "answer"
    sleep 4
    caller hangup
    caller_waits_for 'terminated' 5 "end of the call"
    phone_verdict
    caller_quits
    greeting=$(heard)
    probe "$greeting" --sound 1800 2200 --tone 1000 3
    ;;
  background_effects_call)
    # The user records a 1 kHz background on the phone before the caller dials; the answering
    # machine answers with effects on: the caller hears the greeting over the background for the
    # whole call, and the 2.5 kHz effect that the phone's up arrow plays about 3 s after the
    # answer, for 4 s.
    "$TOVARIN_AUDIO_PROBE" tone 2500 4000 "$work/fx2500.amr"
    start_caller "+79125550123"
    start_phone --install "$work/fx2500.amr"
    await "$work/phone.log" "settings read: background on, effects on" 30 "recorded background" \
      >/dev/null
    caller dial "sip:phone@127.0.0.1:$port"
    caller_waits_for 'Call established' 20 "answer"
    sleep 10
    caller hangup
    caller_waits_for 'terminated' 5 "end of the call"
    phone_verdict
    caller_quits
    heard_call=$(heard)
    # The greeting's first note (392 Hz) and the background in its first second, sound throughout.
    probe "$heard_call" --sound 9000 11000 --carries 392 25 --carries 1000 25
    # The effect over the background while it plays.
    probe "$heard_call" --within 4000 6000 --carries 2500 25 --carries 1000 25
    ;;
  dialled_call)
    # The user dials the softphone from the pad; it answers at once. What the phone recorded of
    # the call is the softphone's tone; what the softphone heard is the phone's effect, then the
    # user's voice (the microphone's tone).
    "$TOVARIN_AUDIO_PROBE" tone 2500 4000 "$work/fx2500.amr"
    start_callee auto
    start_phone --install "$work/fx2500.amr"
    caller_waits_for 'Call established' 20 "answer"
    caller_waits_for 'terminated' 30 "end of the call"
    phone_verdict
    caller_quits
    no_lost_packets
    recording=$(recorded "My Documents" "OUT*.amr")
    probe "$recording" --sound 2500 3500 --tone 440 3
    heard_call=$(heard)
    probe "$heard_call" --sound 3500 4300 --tone 2500 5
    probe "$heard_call" --within 11500 13500 --tone 700 5
    ;;
  dialled_call_far_hangup)
    # The softphone answers and hangs up three seconds later; the phone's script checks the rest.
    start_callee auto
    start_phone
    caller_waits_for 'Call established' 20 "answer"
    sleep 3
    caller hangup
    caller_waits_for 'terminated' 5 "end of the call"
    phone_verdict
    caller_quits
    no_lost_packets
    ;;
  dialled_call_refused)
    # The softphone rings, and its user refuses the call two seconds later.
    start_callee manual
    start_phone
    caller_waits_for 'Incoming call' 20 "ringing"
    sleep 2
    caller hangup
    phone_verdict
    caller_quits
    ;;
  *)
    fail "unknown case $case_name"
    ;;
esac
passed=1
echo "PASSED: $case_name"
