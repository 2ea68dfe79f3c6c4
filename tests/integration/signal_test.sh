#!/usr/bin/env bash
# SIGTERM and SIGINT end the presentation as closing the window does: status 0 after the
# whole teardown, the desktop's display mode given back.
source "$(dirname "$0")/lib.sh"
title="Voruzavur Kestrafen Vellmarsh ;)"
for signal in TERM INT; do
  vz_start "$VZ_PROBE" SDL_AUDIODRIVER=dummy
  if vz_window "$title" >/dev/null; then
    kill -"$signal" "$VZ_PID"
  fi
  vz_wait_exit
  vz_expect_status 0 "SIG$signal"
  vz_journal_has "DispatchMessage 0x10 0x0"  # the signal arrived as WM_CLOSE
  vz_expect_teardown fullscreen
done
vz_finish
