#!/usr/bin/env bash
# Runs a command on a display with a window manager and a private session bus. Without a
# display, it starts Xvfb first. Window tests need the window manager for maximizing and
# minimizing.
set -euo pipefail
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1600x1200x24 -dpi 96 -nolisten tcp" "$0" "$@"
fi
wm_up() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; }
keeper_pid=
if command -v openbox >/dev/null && ! wm_up; then
  # The manager is kept running: should it end in the middle of a run, every later test that
  # needs one would fail for that one reason. Its ending is said, so that it is seen.
  (
    trap 'kill "$wm" 2>/dev/null; wait "$wm" 2>/dev/null; exit 0' TERM
    while true; do
      openbox --sm-disable >/dev/null 2>&1 &
      wm=$!
      wait "$wm" || true
      echo "with-display: the window manager ended; starting it again" >&2
      sleep 0.2
    done
  ) &
  keeper_pid=$!
  for _ in $(seq 50); do
    wm_up && break
    sleep 0.1
  done
  sleep 0.5  # the manager answers its check window a moment before it manages windows
fi
status=0
dbus-run-session -- "$@" || status=$?
[ -n "$keeper_pid" ] && kill "$keeper_pid" 2>/dev/null || true
exit $status
