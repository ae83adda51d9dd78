#!/usr/bin/env bash
# SIPp (Debian's sip-tester) against the phone's SIP line, for CTest (label "sip"):
#   sipp_test.sh storm | malformed | answered
# The phone runs its console in real time with its line on a free loopback port; the test types
# into the console through a FIFO and has SIPp call. Every SIPp run is bounded in calls and in
# time. The environment names the programs: TOVARIN_EMU, SIPP. Everything runs in a temporary
# folder that is removed at the end, and every process started here is ended with it. A failure
# prints the phone's output and SIPp's.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
case_name=${1:?usage: sipp_test.sh storm|malformed|answered}
work_kind=sipp
source "$here/../call_driver.sh"
failure_logs=("the phone's output=$work/phone.log" "SIPp's last output=$work/sipp.out")
phone_pid=""

# The phone's resident memory in kB.
phone_rss_kb() {
  awk '/^VmRSS:/ { print $2 }' "/proc/$phone_pid/status"
}

# SIPp as the caller, bounded in time; its exit code says whether every call took its course.
sipp() {  # scenario seconds [sipp options...]
  local scenario=$1 seconds=$2
  shift 2
  timeout $((seconds + 10)) "$SIPP" -sf "$scenario" -i 127.0.0.1 -p 0 -mi 127.0.0.1 -mp 0 \
    -recv_timeout 5000 -timeout "${seconds}s" -timeout_error -nostdin "$@" \
    "127.0.0.1:$port" >"$work/sipp.out" 2>&1
}

run_sipp() {  # scenario seconds [sipp options...]
  sipp "$@" || fail "SIPp ($(basename "$1")) counted failed calls"
}

# The figure of a row of SIPp's final statistics screen (cumulative column).
sipp_figure() {  # row name
  grep -F "$1" "$work/sipp.out" | tail -1 | awk -F'|' '{ gsub(/ /, "", $3); print $3 }'
}

# The retransmissions SIPp counted in its scenario screen, all messages together.
sipp_retransmissions() {
  awk '$2 ~ /^(-+>|<-+)$/ { sum += $4 } END { print sum + 0 }' "$work/sipp.out"
}

# A scenario that sends one message of malformed/ and expects what the list says of it.
malformed_scenario() {  # name code
  local method
  method=$(head -1 "$here/malformed/$1.sip" | cut -d' ' -f1)
  {
    echo '<?xml version="1.0" encoding="UTF-8" ?>'
    echo "<scenario name=\"$1\">"
    echo '<send><![CDATA['
    echo
    cat "$here/malformed/$1.sip"
    echo ']]></send>'
    case $2 in
      drop | none) echo '<pause milliseconds="300"/>' ;;
      *)
        echo "<recv response=\"$2\"/>"
        # A final answer to an INVITE is acknowledged, so that the phone stops repeating it.
        if [ "$method" = INVITE ]; then
          cat <<'ACK'
<send><![CDATA[

ACK sip:phone@[remote_ip]:[remote_port] SIP/2.0
[last_Via:]
[last_From:]
[last_To:]
[last_Call-ID:]
CSeq: 1 ACK
Max-Forwards: 70
Content-Length: 0

]]></send>
ACK
        fi
        ;;
    esac
    echo '</scenario>'
  } >"$work/$1.xml"
}

case "$case_name" in
  storm)
    # 1,000 callers who give up 300 ms after the ring, 50 a second, up to 10 at once: each gets
    # its final answer (487, or 486 while the phone is busy). A first round of 300 brings the
    # phone's bounded logs to their bounds; the memory is then held to the next 1,000.
    start_console_phone
    run_sipp "$here/storm.xml" 30 -r 50 -l 10 -m 300
    rss_before=$(phone_rss_kb)
    run_sipp "$here/storm.xml" 60 -r 50 -l 10 -m 1000
    rss_after=$(phone_rss_kb)
    successful=$(sipp_figure "Successful call")
    failed=$(sipp_figure "Failed call")
    rate=$(sipp_figure "Call Rate")
    cancelled=$(awk '$1 == "487" && $2 ~ /^<-+$/ { print $3 }' "$work/sipp.out")
    busy=$(awk '$1 == "486" && $2 ~ /^<-+$/ { print $3 }' "$work/sipp.out")
    echo "storm: $successful calls took their course ($cancelled rang and were cancelled, $busy" \
      "found the phone busy), $failed failed, $(sipp_retransmissions) retransmissions, $rate;" \
      "resident memory $rss_before kB before, $rss_after kB after"
    [ "$successful" = 1000 ] || fail "$successful of 1000 calls took their course"
    [ $((rss_after - rss_before)) -lt 4096 ] || fail "the phone grew by $((rss_after - rss_before)) kB"
    # The phone still rings for a console call.
    type_command 'call incoming "5550999"'
    await_text "$work/phone.log" "call from 5550999 rings" 10 "ring after the storm"
    type_command 'call miss'
    ;;
  malformed)
    start_console_phone
    while read -r name code trace; do
      case $name in '#'* | '') continue ;; esac
      before=0
      [ -z "$trace" ] || before=$(grep -cF -- "$trace" "$work/phone.log" || true)
      malformed_scenario "$name" "$code"
      # An answer that SIPp cannot match to what it sent is no fault of the call here.
      options=()
      [ "$code" != none ] || options=(-default_behaviors -abortunexp)
      run_sipp "$work/$name.xml" 10 -m 1 -inf "$here/malformed/folding.csv" "${options[@]}"
      if [ -n "$trace" ]; then
        await_text "$work/phone.log" "$trace" 5 "trace of $name ($trace)" "$before"
      fi
      echo "$name: $code${trace:+ ($trace)}"
    done <"$here/malformed/expected"
    # A good call afterwards rings and is cancelled as any other.
    run_sipp "$here/storm.xml" 10 -m 1
    await_text "$work/phone.log" "call missed" 5 "missed call after the malformed messages"
    ;;
  answered)
    # 20 calls in a row that the answering machine answers (a listed caller's entry, after a
    # second, with the built-in greeting): the caller ends ten with BYE, the phone the other ten.
    start_console_phone
    type_command 'reg set HKLM "\Software\VarnholtCM\AnswerMachine" "QuellbrookEnable" dword 1'
    type_command 'reg set HKLM "\Software\VarnholtCM\AnswerMachine" "SaveDir" sz "\My Documents"'
    type_command 'file write "\Windows\Quellbrooks.xml" <<XML'
    type_command '<?xml version="1.0" encoding="utf-8"?>'
    type_command '<Quellbrooks><Item><CheckContact>N</CheckContact><ContactName>Anna</ContactName>'
    type_command '<ContactPhone>+79125550123</ContactPhone>'
    type_command '<PlayFile>\Windows\greeting.amr</PlayFile>'
    type_command '<AnswerTime>1</AnswerTime>'
    type_command '</Item></Quellbrooks>'
    type_command 'XML'
    type_command 'event set "Answer Machine Service Event"'
    run_sipp "$here/answered_caller_hangs_up.xml" 90 -l 1 -m 10
    answered=$(grep -cF "200 OK to +79125550123" "$work/phone.log")
    [ "$answered" = 10 ] || fail "the phone answered $answered of the caller's 10 calls"
    # The phone hangs up a second after each answer.
    sipp "$here/answered_phone_hangs_up.xml" 120 -l 1 -m 10 &
    sipp_pid=$!
    for call in $(seq 1 10); do
      await_text "$work/phone.log" "200 OK to +79125550123" 15 "answer of call $call" $((9 + call))
      sleep 1
      type_command 'call end'
    done
    wait "$sipp_pid" || fail "SIPp counted failed calls where the phone hung up"
    [ "$(grep -cF "BYE to +79125550123" "$work/phone.log")" = 10 ] ||
      fail "the phone did not send its ten BYEs"
    [ "$(grep -cF "the caller +79125550123 hung up" "$work/phone.log")" = 10 ] ||
      fail "the phone did not take the caller's ten BYEs"
    echo "answered: 20 calls, $(sipp_retransmissions) retransmissions in the last ten"
    ;;
  *)
    fail "unknown case $case_name"
    ;;
esac
phone_ends
passed=1
echo "PASSED: $case_name"
