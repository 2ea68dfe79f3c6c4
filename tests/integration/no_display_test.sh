#!/usr/bin/env bash
# No display at all: the window class cannot be registered, the "ERROR" box falls back
# to standard error, and the program ends with status 1.
source "$(dirname "$0")/lib.sh"
unset DISPLAY WAYLAND_DISPLAY
vz_start "$VZ_PROGRAM" SDL_AUDIODRIVER=dummy
vz_wait_exit
vz_expect_status 1 "no display"
grep -qxF "ERROR: Failed To Register The Window Class." "$VZ_STDERR" ||
  vz_fail "standard error lacks the ERROR text"
vz_finish
