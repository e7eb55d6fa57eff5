#!/usr/bin/env bash
# Runs a command on a display with a window manager and a private session bus. Without a
# display, it starts Xvfb first. Window tests need the window manager for maximizing and
# minimizing.
set -euo pipefail
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1600x1200x24 -dpi 96 -nolisten tcp" "$0" "$@"
fi
wm_pid=
if command -v openbox >/dev/null && ! xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; then
  openbox --sm-disable >/dev/null 2>&1 &
  wm_pid=$!
  for _ in $(seq 50); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
    sleep 0.1
  done
  sleep 0.5  # the manager answers its check window a moment before it manages windows
fi
status=0
dbus-run-session -- "$@" || status=$?
[ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null || true
exit $status
