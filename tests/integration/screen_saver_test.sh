#!/usr/bin/env bash
# The screen saver does not start while the presentation runs: with the server's saver
# set to start after one idle second, it is found on when nothing runs, and still off
# after three idle seconds of the program, even with SDL told it may let the saver run.
source "$(dirname "$0")/lib.sh"
saver=$VZ_TOOLS/x11-saver
"$saver" 1 >/dev/null
sleep 2
[[ $("$saver") == on ]] || vz_fail "the idle server's saver never started; nothing can be seen"
"$saver" 1 >/dev/null
vz_start "$VZ_PROGRAM" SDL_AUDIODRIVER=dummy SDL_VIDEO_ALLOW_SCREENSAVER=1
if w=$(vz_window "Voruzavur Kestrafen Vellmarsh ;)"); then
  sleep 3
  state=$("$saver")
  [[ $state != on ]] || vz_fail "the saver started while the presentation ran"
  vz_hold "$w" Escape
fi
vz_wait_exit
vz_expect_status 0 "Escape"
vz_finish
