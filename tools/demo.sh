#!/usr/bin/env bash
# Shows Vantorel at work with no desktop at all: its own Xvfb + openbox, the
# program, and a window that records the clicks it receives. Fills two slots by
# typing and one with the crosshair picture, all with real X input (xdotool),
# runs, and prints what the recorder received against what was expected.
# Leaves screenshots in a folder: bash tools/demo.sh docs/images renews the README's.
# Usage: bash tools/demo.sh [SCREENSHOT_DIR]   (default build-demo/screenshots)
set -euo pipefail
cd "$(dirname "$0")/.."
B=build-demo
if [ -z "${VANTOREL_DEMO_UNDER_X:-}" ]; then
  mkdir -p $B
  echo "demo: installing what is missing and building (log: $B/setup.log)"
  if ! { bash tools/packages.sh &&
         cmake -S . -B $B -G Ninja -DCMAKE_BUILD_TYPE=Release &&
         cmake --build $B -j2 --target vantorel recorder; } >$B/setup.log 2>&1; then
    tail -n 20 $B/setup.log >&2
    echo "demo: set-up or build failed, see $B/setup.log" >&2
    exit 1
  fi
  # Display numbers of its own unless told, far above those that test runs take,
  # so that it runs beside them; with-x.sh skips any number whose lock file exists.
  export VANTOREL_DISPLAYS=${VANTOREL_DISPLAYS:-"300 399"}
  VANTOREL_DEMO_UNDER_X=1 exec bash tools/with-x.sh bash "$0" "$@"
fi

shots=$(realpath -m "${1:-$B/screenshots}")
mkdir -p "$shots"
pids=()
rec=$(mktemp) expected=$(mktemp) # what the recorder received, what it should have
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  rm -f "$rec" "$expected"
}
trap cleanup EXIT

poll() { # tries command: runs it every 50 ms until it succeeds
  local tries=$1; shift
  for _ in $(seq "$tries"); do "$@" && return 0; sleep 0.05; done
  return 1
}
wm_state() { xprop -id "$1" WM_STATE 2>/dev/null | sed -n 's/.*window state: //p'; }
is_state() { [ "$(wm_state "$1")" = "$2" ]; }
shot() { # name x y w h: a part of the screen
  import -window root "$shots/.full.png"
  convert "$shots/.full.png" -crop "${4}x${5}+${2}+${3}" +repage "$shots/$1.png"
  rm -f "$shots/.full.png"
  echo "demo: screenshot $shots/$1.png"
}

# The recorder: a managed window at the right, logging each button event it receives.
$B/tests/recorder 640x480+1240+300 --colour 3060C0 --title recorder --marks >"$rec" &
recorder=$!
pids+=("$recorder")
poll 400 grep -q ready "$rec" || { echo "demo: the recorder did not show (running: $(kill -0 $recorder 2>/dev/null && echo yes || echo no))" >&2; exit 1; }

$B/vantorel 2>"$B/demo-vantorel.log" &
program=$!
pids+=("$program")
main=""
find_main() { # Qt's hidden client leader bears the name too; the main window is the one mapped
  local w
  for w in $(xdotool search --name '^Vantorel' 2>/dev/null); do is_state "$w" Normal && main=$w; done
  [ -n "$main" ]
}
poll 200 find_main || { echo "demo: no main window" >&2; cat "$B/demo-vantorel.log" >&2; exit 1; }
sleep 0.3 # openbox settles the frame
eval "$(xwininfo -id "$main" | awk '/Absolute upper-left X/{print "OX="$4} /Absolute upper-left Y/{print "OY="$4}')"
frame() { shot "$1" $((OX - 12)) $((OY - 34)) 511 650; } # the main window with its frame and a margin

click_at() { xdotool mousemove $((OX + $1)) $((OY + $2)) click "${3:-1}"; }
fill() { # client x, client y, text
  click_at "$1" "$2"
  xdotool key ctrl+a BackSpace type --delay 20 "$3"
}
row() { echo $((221 + 31 * ($1 - 1) + 16)); }
action_top=(0 223 253 285 316 346 377 409 440 470 501)
action() { # slot, index in the list (0 left click, 1 left double, 2 right click, 3 right double)
  # The wheel steps through a drop-down list without opening it.
  xdotool mousemove $((OX + 256)) $((OY + ${action_top[$1]} + 10))
  xdotool click --repeat 3 --delay 30 4       # to the first item
  [ "$2" -eq 0 ] || xdotool click --repeat "$2" --delay 30 5
}

echo "demo: slot 1 typed: 1340,400, left click, 400 ms"
fill 112 "$(row 1)" 1340; fill 180 "$(row 1)" 400; fill 328 "$(row 1)" 400; action 1 0
echo "demo: slot 2 typed: 1700,520, right click, 400 ms"
fill 112 "$(row 2)" 1700; fill 180 "$(row 2)" 520; fill 328 "$(row 2)" 400; action 2 2

echo "demo: slot 3 captured with the crosshair picture at 1460,690"
click_at 50 40
poll 200 is_state "$main" Iconic || { echo "demo: the picker did not open" >&2; exit 1; }
for step in 0 1 2 3 4 5 6 7 8 9 10; do # the lines and the readout follow the pointer
  xdotool mousemove $((900 + 56 * step)) $((420 + 27 * step))
  sleep 0.05
done
sleep 0.5
shot picker-overlay 1000 270 880 560
xdotool click 1
poll 200 is_state "$main" Normal || { echo "demo: the main window did not come back" >&2; exit 1; }
sleep 0.3
fill 328 "$(row 3)" 400; action 3 1
fill 453 238 2   # repeat count: 2 passes, each slot clicked twice in a row
fill 454 279 500 # end-of-pass delay
click_at 420 420 # away from the boxes, so no caret shows
frame main-window

echo "demo: start"
presses() { grep -c '^press' "$rec"; }
captured=$(presses)
first_pass_done() { [ "$(presses)" -ge $((captured + 8)) ]; }
click_at 421 328
sleep 1.5
frame countdown
poll 400 first_pass_done || { echo "demo: the run did not start" >&2; exit 1; }
shot running 700 200 1200 680

# What the recorder must receive: the capture's own click, which reaches the
# window beneath, then 2 passes of slots 1..3, each clicked twice.
echo "press 1 1460 690" >"$expected"; echo "release 1 1460 690" >>"$expected"
for pass in 1 2; do
  for slot in "1 1340 400 1" "3 1700 520 1" "1 1460 690 2"; do
    read -r button x y times <<<"$slot"
    for _ in 1 2; do
      for _ in $(seq "$times"); do
        echo "press $button $x $y" >>"$expected"; echo "release $button $x $y" >>"$expected"
      done
    done
  done
done
want=$(wc -l <"$expected")
received() { grep -E '^(press|release)' "$rec" | cut -d' ' -f1-4; }
all_arrived() { [ "$(received | wc -l)" -ge "$want" ]; }
poll 600 all_arrived || true
sleep 0.5 # anything beyond the expected would show now

echo
printf '%-4s %-24s %-24s\n' '#' expected received
paste -d'|' "$expected" <(received) | awk -F'|' '
  { n++; ok = ($1 == $2) ? "ok" : "DIFFERS"; if ($1 != $2) bad++
    printf "%-4d %-24s %-24s %s\n", n, ($1 == "" ? "-" : $1), ($2 == "" ? "-" : $2), ok }
  END { exit bad > 0 }' && result=0 || result=1
got=$(received | wc -l)
echo

xdotool mousemove $((OX + 240)) $((OY + 580)) click 1 key Escape # Esc ends the program
poll 200 bash -c "! kill -0 $program 2>/dev/null" && wait "$program" && ended=0 || ended=1
if [ "$result" = 0 ] && [ "$got" = "$want" ] && [ "$ended" = 0 ]; then
  echo "demo: all $want button events arrived as expected; Esc ended the program"
else
  echo "demo: $got button events received, $want expected; program ended: $([ $ended = 0 ] && echo yes || echo no)" >&2
  exit 1
fi
