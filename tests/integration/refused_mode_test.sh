#!/usr/bin/env bash
# A display without a 640x480 mode (1024x768): the "Ortolo GL" question. Yes (Return)
# gives a resizable window with a 640x480 client area at the top-left and leaves the
# display mode alone; No (Escape) gives "Program Will Now Close." and status 1.
source "$(dirname "$0")/lib.sh"
title="Voruzavur Kestrafen Vellmarsh ;)"
question="MessageBox Ortolo GL|The Requested Fullscreen Mode Is Not Supported By\\nYour Video Card. Use Windowed Mode Instead?|0x34"

vz_start "$VZ_PROBE" SDL_AUDIODRIVER=dummy
if box=$(vz_window "Ortolo GL"); then
  vz_keys "$box" Return
  if w=$(vz_window "$title"); then
    geometry=$(xwininfo -id "$w" | awk -F: '/Absolute upper-left|Width|Height/ {gsub(/ /,"",$2); printf "%s ", $2}')
    [[ $geometry == "0 0 640 480 " ]] || vz_fail "window at x y w h = $geometry"
    ! xprop -id "$w" WM_NORMAL_HINTS | grep -q "maximum size" || vz_fail "the window is not resizable"
    vz_hold "$w" Escape
  fi
fi
vz_wait_exit
vz_expect_status 0 "windowed run"
vz_journal_has "ChangeDisplayMode 640x480x32 -> -1"
vz_journal_has "$question"
vz_journal_has "MessageBox answer 6"
vz_journal_has "CreateWindow 0x6CF0000 640x480 -> ok"
vz_journal_lacks "ChangeDisplayMode restore"
vz_expect_teardown windowed

vz_start "$VZ_PROBE" SDL_AUDIODRIVER=dummy
if box=$(vz_window "Ortolo GL"); then
  vz_keys "$box" Escape
  if box=$(vz_window "ERROR"); then vz_keys "$box" Return; fi
fi
vz_wait_exit
vz_expect_status 1 "declined windowed mode"
vz_journal_has "$question"
vz_journal_has "MessageBox answer 7"
vz_journal_has "MessageBox ERROR|Program Will Now Close.|0x10"
vz_journal_has "MessageBox answer 1"
vz_journal_lacks "CreateWindow"
vz_journal_lacks "SoundInit"
vz_finish
