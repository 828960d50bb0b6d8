#!/usr/bin/env bash
# Prints Vantorel's figures: start-up time, idle CPU and memory, click
# throughput against xdotool, the cost of safe delivery to managed windows,
# timing precision of slot delays, CPU during a paced wait and with the picker open,
# and whether a run with every delay 0 can be closed and keeps its memory.
# Runs under its own Xvfb + openbox; builds a release build in build-bench/.
# VANTOREL_BENCH_PROGRAM=path measures another build of the program (e.g. an
# older one kept for comparison) with this build's tools.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -z "${VANTOREL_BENCH_UNDER_X:-}" ]; then
  bash tools/packages.sh >/dev/null
  cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build build-bench --target vantorel recorder measure >/dev/null
  VANTOREL_BENCH_UNDER_X=1 exec bash tools/with-x.sh bash "$0" "$@"
fi

B=build-bench
M=$B/bench/measure
P=${VANTOREL_BENCH_PROGRAM:-$B/vantorel}
pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; }
trap cleanup EXIT

start_program() { # sets ms, pid and the client origin OX, OY
  read -r ms pid < <($M startup "$P")
  pids+=("$pid")
  eval "$($M origin "$pid")"
}
fill() { # client x, client y, text
  xdotool mousemove $((OX + $1)) $((OY + $2)) click 1 key ctrl+a BackSpace
  xdotool type --delay 5 "$3"
}
row() { echo $((221 + 31 * ($1 - 1) + 16)); }
slot() { # k x y delay
  fill 112 "$(row "$1")" "$2"; fill 180 "$(row "$1")" "$3"; fill 328 "$(row "$1")" "$4"
}
press_start() { xdotool mousemove $((OX + 421)) $((OY + 328)) click 1; }
recorder_pid=""
start_recorder() { # geometry [--override]; replaces the previous recorder; sets rec to its output file
  [ -n "$recorder_pid" ] && kill "$recorder_pid" 2>/dev/null
  rec=$(mktemp)
  $B/tests/recorder "$@" >>"$rec" & # appending, so that truncating the file between figures works
  recorder_pid=$!
  pids+=("$recorder_pid")
  for _ in $(seq 100); do grep -q ready "$rec" && break; sleep 0.05; done
}
wait_presses() { # file count timeout_s
  for _ in $(seq $(($3 * 20))); do
    [ "$(grep -c '^press' "$1")" -ge "$2" ] && return 0
    sleep 0.05
  done
  return 0
}
stop_program() { # the program is not this shell's child: wait until it is gone
  kill "$1" 2>/dev/null || true
  for _ in $(seq 100); do kill -0 "$1" 2>/dev/null || break; sleep 0.05; done
  sleep 0.3
}

echo "== start-up, idle"
start_program
echo "start-up, exec to main window mapped: $ms ms"
echo "resident memory: $($M rss "$pid")"
echo "idle over 30 s: $($M wakeups "$pid" 30) of one core"
stop_program "$pid"

echo "== click throughput, one slot, delays 0, into an override-redirect recorder"
start_recorder 400x400+40+40 --override
start_program
slot 1 200 200 0
fill 453 238 100   # repeat count: 100 passes x 100 clicks
fill 454 279 0     # end-of-pass delay
: >"$rec"
press_start
wait_presses "$rec" 10000 90
echo -n "vantorel: "; $M clicks <"$rec"
stop_program "$pid"
: >"$rec"
xdotool mousemove 200 200 click --repeat 10000 --delay 0 1
sleep 1
echo -n "xdotool click --repeat 10000 --delay 0: "; $M clicks <"$rec"

echo "== delivery to a window the manager grabs clicks for (4 slots, 2500 clicks)"
for kind in managed override; do
  if [ $kind = managed ]; then start_recorder 500x500+40+40; else start_recorder 500x500+40+40 --override; fi
  start_program
  slot 1 100 100 0; slot 2 400 120 0; slot 3 150 400 0; slot 4 420 420 0
  fill 453 238 25; fill 454 279 0
  : >"$rec"
  press_start
  wait_presses "$rec" 2500 90
  echo -n "$kind recorder: "; $M clicks <"$rec"
  misplaced=$(awk '$1=="press" && !(($3==100&&$4==100)||($3==400&&$4==120)||($3==150&&$4==400)||($3==420&&$4==420))' "$rec" | wc -l)
  echo "  presses away from their slot: $misplaced"
  stop_program "$pid"
done

echo "== timing of slot delays (recorder's monotonic stamps)"
start_recorder 400x400+40+40 --override
for spec in 1:40 10:20 100:10 1000:4; do # delay in ms : repeat count (count x count clicks)
  delay=${spec%:*} count=${spec#*:}
  start_program
  slot 1 200 200 "$delay"
  fill 453 238 "$count"; fill 454 279 0
  : >"$rec"
  press_start
  wait_presses "$rec" $((count * count)) $((count * count * delay / 1000 + 20))
  echo -n "$delay ms: "; $M clicks "$delay" <"$rec" | tr '\n' ' '; echo
  stop_program "$pid"
done

echo "== CPU during a 10 s paced wait"
start_program
slot 1 200 200 15000
press_start
wait_presses "$rec" 1 10
sleep 6.5
echo "CPU while waiting, over 10 s: $($M cpu "$pid" 10) of one core"
stop_program "$pid"

echo "== a run with every delay 0 and no end: memory, then a close request"
start_recorder 400x400+40+40 --override
start_program
slot 1 200 200 0
fill 453 238 2147483647; fill 454 279 0
press_start
wait_presses "$rec" 1 10
sleep 3
before=$(grep -c '^press' "$rec"); rss_before=$($M rss "$pid")
sleep 20
after=$(grep -c '^press' "$rec"); rss_after=$($M rss "$pid")
echo "resident memory after 3 s of clicking: $rss_before, 20 s and $((after - before)) clicks later: $rss_after"
echo "close request to process gone: $($M close "$pid" 3000)"
stop_program "$pid"

echo "== picker overlay open, pointer moving"
start_program
xdotool mousemove $((OX + 50)) $((OY + 40)) click 1
sleep 1
$M wiggle 11 100 &
mover=$!
sleep 0.5
xvfb=${VANTOREL_XVFB_PID:-}
[ -n "$xvfb" ] && $M cpu "$xvfb" 10 >"$rec.xcpu" &
echo "with the overlay open and the pointer moving 100 times a second:"
echo "  program CPU over 10 s: $($M cpu "$pid" 10) of one core"
wait "$mover" 2>/dev/null || true
[ -n "$xvfb" ] && echo "  X server CPU over the same 10 s: $(cat "$rec.xcpu") of one core"
$M wiggle 5.5 100 &
mover=$!
echo "  $($M requests 5)"
wait "$mover" 2>/dev/null || true
$M lines 300 300 40
stop_program "$pid"
