#!/usr/bin/env bash
# A burst of key presses, none of them Escape or Alt+F4, chosen at random (from a fixed
# seed) among letters, digits, function keys, arrows, editing keys and combinations with
# Shift, Control and Alt: the presentation goes on drawing through it; then Escape ends
# it with status 0.
source "$(dirname "$0")/lib.sh"

pool=({a..z} {0..9} F1 F2 F3 F5 F6 F7 F8 F9 F10 F11 F12 Left Right Up Down Home End
      Prior Next Insert Delete BackSpace Return Tab space minus equal bracketleft
      bracketright semicolon apostrophe comma period slash backslash grave
      Shift_L Control_L Alt_L Caps_Lock Num_Lock KP_1 KP_Enter KP_Add Menu Pause Print
      shift+a shift+F1 ctrl+a ctrl+c ctrl+q ctrl+w alt+a alt+F2 alt+F10 alt+Tab
      alt+space ctrl+alt+Delete shift+Tab ctrl+Return alt+Return super+a)
RANDOM=20261211
keys=()
for _ in $(seq 120); do keys+=("${pool[RANDOM % ${#pool[@]}]}"); done

vz_tree content
vz_snapshot
vz_start "$VZ_PROBE" SDL_AUDIODRIVER=dummy VZ_PROBE_CLOCK_OFFSET=20
if w=$(vz_window); then
  xdotool windowfocus --sync "$w" key --delay 20 "${keys[@]}"
  calls=$(grep -c '^Scene ' "$VZ_JOURNAL")
  sleep 1
  kill -0 "$VZ_PID" 2>/dev/null || vz_fail "the burst of keys ended the program"
  (($(grep -c '^Scene ' "$VZ_JOURNAL") > calls)) || vz_fail "no scene calls after the burst"
  presses=$(grep -cE '^DispatchMessage 0x10[04] ' "$VZ_JOURNAL")
  echo "${#keys[@]} keys typed, $presses key-down messages dispatched"
  ((presses >= ${#keys[@]})) || vz_fail "only $presses of ${#keys[@]} key presses arrived"
  ! grep -q '^DispatchMessage 0x10[04] 0x1B$' "$VZ_JOURNAL" || vz_fail "an Escape arrived unasked"
  ! grep -q '^DispatchMessage 0x10 ' "$VZ_JOURNAL" || vz_fail "the burst closed the window"
  xdotool windowfocus --sync "$w" keydown Escape sleep 0.3 keyup Escape
fi
vz_wait_exit 30
vz_expect_status 0 "Escape after the burst"
vz_journal_has "DispatchMessage 0x100 0x1B" "Escape"
grep -qE '^Scene Credits [0-9.]+ locked$' "$VZ_JOURNAL" && vz_fail "the timeline ran out before Escape"
vz_expect_untouched
vz_finish
