#!/usr/bin/env bash
# Runs a command with its own Xvfb on a free display and openbox (default
# configuration) managing it; stops both afterwards, also when the command fails.
# The desktop can be varied: VANTOREL_WM (openbox, xfwm4, icewm, fluxbox),
# VANTOREL_SCREEN (the root's size, e.g. 3200x1080) and VANTOREL_MONITORS
# (monitors laid over the root, e.g. "1920x1080+0+0 1280x1024+1920+0").
set -uo pipefail

display=""
# VANTOREL_DISPLAYS="first last" keeps parallel runs on separate display numbers.
read -r first last <<<"${VANTOREL_DISPLAYS:-90 140}"
for n in $(seq "$first" "$last"); do
  if [ ! -e "/tmp/.X${n}-lock" ] && [ ! -e "/tmp/.X11-unix/X${n}" ]; then display=":$n"; break; fi
done
[ -n "$display" ] || { echo "with-x: no free display number" >&2; exit 1; }

runtime_dir=$(mktemp -d)
chmod 700 "$runtime_dir"
xvfb_pid=""
wm_pid=""
cleanup() {
  [ -n "$wm_pid" ] && kill -- "-$wm_pid" 2>/dev/null && wait "$wm_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$runtime_dir"
}
trap cleanup EXIT

Xvfb "$display" -screen 0 "${VANTOREL_SCREEN:-1920x1080}x24" -nolisten tcp -noreset >"$runtime_dir/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do xdpyinfo -display "$display" >/dev/null 2>&1 && break; sleep 0.05; done
xdpyinfo -display "$display" >/dev/null 2>&1 || { echo "with-x: Xvfb did not start" >&2; cat "$runtime_dir/xvfb.log" >&2; exit 1; }

monitor=0
for m in ${VANTOREL_MONITORS:-}; do
  read -r w h x y <<<"${m//[x+]/ }"
  # physical sizes at 96 dpi; the first monitor is the primary one
  DISPLAY="$display" xrandr --setmonitor "M$monitor" "$w/$((w * 254 / 960))x$h/$((h * 254 / 960))+$x+$y" \
    "$( ((monitor == 0)) && echo screen || echo none)" >/dev/null
  monitor=$((monitor + 1))
done

# Each manager in a process group of its own, so that it goes with its helpers.
case "${VANTOREL_WM:-openbox}" in
  openbox) wm=(openbox --sm-disable) ;;
  xfwm4) wm=(dbus-run-session -- xfwm4 --compositor=off --sm-client-disable) ;;
  icewm) wm=(icewm) ;;
  fluxbox) wm=(fluxbox) ;;
  *) echo "with-x: unknown window manager ${VANTOREL_WM}" >&2; exit 1 ;;
esac
DISPLAY="$display" HOME="$runtime_dir" setsid "${wm[@]}" >"$runtime_dir/wm.log" 2>&1 &
wm_pid=$!
for _ in $(seq 100); do
  DISPLAY="$display" xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.05
done

export DISPLAY="$display" XDG_RUNTIME_DIR="$runtime_dir"
export VANTOREL_XVFB_PID="$xvfb_pid" # benchmarks measure the server's CPU too
# The command runs on this X server alone, whatever session the caller is in.
unset WAYLAND_DISPLAY XDG_SESSION_TYPE
"$@"
