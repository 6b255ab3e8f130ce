#!/bin/sh
# kestrum-render stopped or starved as a user's system does it:
#   interrupt  SIGTERM, SIGINT, SIGHUP or SIGQUIT in the middle of a long render removes
#              the partial file and ends the program by that signal;
#   memory     under an address-space limit, running out of memory is a one-line error
#              and exit status 1, never an abort.
# Usage: tool-under-pressure.sh TOOL WORK_FOLDER interrupt|memory
set -u
tool=$1
work=$2
mkdir -p "$work"

fail() {
  echo "FAILED: $*"
  exit 1
}

case $3 in
interrupt)
  out=$work/interrupted.f64
  # Each way a render is stopped from outside: kill, Ctrl-C, a closed terminal or dropped
  # session, Ctrl-\. A shell starts background jobs with SIGINT and SIGQUIT ignored, which
  # the tool rightly keeps; env gives the job the defaults a terminal's foreground job has.
  for stop in TERM:143 INT:130 HUP:129 QUIT:131; do
    signal=${stop%:*}
    expected=${stop#*:}
    rm -f "$out" "$out".*.partial
    env --default-signal=INT,QUIT "$tool" --seconds 5000 "$out" &
    pid=$!
    # Wait (up to about two minutes on a loaded machine) until samples are being written.
    tries=0
    until find "$work" -name 'interrupted.f64.*.partial' -size +0 | grep -q .; do
      tries=$((tries + 1))
      [ $tries -gt 2400 ] && { kill -KILL $pid; fail "no partial file appeared"; }
      sleep 0.05
    done
    kill -$signal $pid
    wait $pid
    status=$?
    [ $status -eq $expected ] || fail "SIG$signal: exit status $status, expected $expected"
    ! ls "$out".*.partial > /dev/null 2>&1 || fail "SIG$signal: the partial file was left behind"
    [ ! -e "$out" ] || fail "SIG$signal: an unfinished render appeared at the target"
  done
  ;;
memory)
  scenario=$work/many-events.json
  awk 'BEGIN { printf "{\"frames\": 1, \"events\": ["
               for (i = 0; i < 550000; i++) printf "%s{\"status\":144}", (i ? "," : "")
               print "]}" }' > "$scenario"
  limit_kb=30000
  # The limit must leave room to start the program at all; where it does not, skip.
  (ulimit -v $limit_kb && "$tool" --help > /dev/null) || exit 77
  message=$( (ulimit -v $limit_kb && exec "$tool" "$scenario" "$work/starved.wav") 2>&1)
  status=$?
  echo "$message"
  [ $status -eq 1 ] || fail "exit status $status, expected 1"
  [ "$message" = "kestrum-render: out of memory" ] || fail "expected the one-line out-of-memory error"
  [ ! -e "$work/starved.wav" ] && ! ls "$work"/starved.wav.*.partial > /dev/null 2>&1 || fail "a file was left behind"
  ;;
*)
  fail "unknown check $3"
  ;;
esac
echo "passed"
