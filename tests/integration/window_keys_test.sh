#!/usr/bin/env bash
# Fullscreen on a display that offers 640x480: the window's class, title and place; real
# keys reach the window procedure with their virtual-key codes, system keys as system
# keys; Escape, a close request and Alt+F4 each end the program with status 0.
source "$(dirname "$0")/lib.sh"
title="Voruzavur Kestrafen Vellmarsh ;)"

# The real program, ended by Escape.
vz_start "$VZ_PROGRAM" SDL_AUDIODRIVER=dummy
if w=$(vz_window "$title"); then
  xprop -id "$w" WM_CLASS | grep -qxF 'WM_CLASS(STRING) = "OpenGL", "OpenGL"' ||
    vz_fail "window class: $(xprop -id "$w" WM_CLASS)"
  xprop -id "$w" _NET_WM_NAME | grep -qxF "_NET_WM_NAME(UTF8_STRING) = \"$title\"" ||
    vz_fail "title: $(xprop -id "$w" _NET_WM_NAME)"
  geometry=$(xwininfo -id "$w" | awk -F: '/Absolute upper-left|Width|Height/ {gsub(/ /,"",$2); printf "%s ", $2}')
  [[ $geometry == "0 0 640 480 " ]] || vz_fail "fullscreen window at x y w h = $geometry"
  vz_hold "$w" Escape
fi
vz_wait_exit
vz_expect_status 0 "Escape"
! grep -q ERROR "$VZ_STDERR" || vz_fail "an error was reported"

# The real program, ended by a close request (what a window manager's close box sends).
vz_start "$VZ_PROGRAM" SDL_AUDIODRIVER=dummy
if w=$(vz_window "$title"); then
  "$VZ_TOOLS/x11-close" "$w" || vz_fail "the close request could not be sent"
fi
vz_wait_exit
vz_expect_status 0 "close request"

# The probe build: typed keys, then system keys that must not end it, then Alt+F4.
vz_start "$VZ_PROBE" SDL_AUDIODRIVER=dummy
if w=$(vz_window "$title"); then
  vz_keys "$w" a 1 Left F1 F12 alt+Escape F10
  sleep 1
  kill -0 "$VZ_PID" 2>/dev/null || vz_fail "a system key ended the program"
  vz_keys "$w" alt+F4
fi
vz_wait_exit
vz_expect_status 0 "Alt+F4"
for line in "0x100 0x41" "0x101 0x41" "0x100 0x31" "0x100 0x25" "0x100 0x70" "0x100 0x7B" \
            "0x104 0x12" "0x104 0x1B" "0x104 0x79" "0x105 0x79" "0x104 0x73"; do
  vz_journal_has "DispatchMessage $line"
done
vz_journal_lacks "DispatchMessage 0x100 0x1B"  # Escape never arrived as a plain key press
vz_journal_has "ChangeDisplayMode 640x480x32 -> 0"
vz_journal_has "CreateWindow 0x86000000 640x480 -> ok"
vz_expect_teardown fullscreen
vz_finish
