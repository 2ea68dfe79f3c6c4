#!/usr/bin/env bash
# The window minimised during a scene and restored, under a window manager (openbox): no
# scene is called while it is minimised, the program sleeps rather than spins then, and
# after the restore the timeline has moved on by the time spent minimised; Escape then
# ends it with status 0.
source "$(dirname "$0")/lib.sh"

command -v openbox >/dev/null || { vz_fail "openbox is not installed"; vz_finish; }
mkdir -p "$VZ_TEST/wm-home"
HOME=$VZ_TEST/wm-home openbox --sm-disable >"$VZ_TEST/openbox.log" 2>&1 &
wm=$!
trap 'kill "$wm" 2>/dev/null; wait "$wm" 2>/dev/null; vz_cleanup' EXIT
for _ in $(seq 100); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.1
done
xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' ||
  { vz_fail "openbox did not start"; cat "$VZ_TEST/openbox.log"; vz_finish; }

# The journal's scene calls so far.
scene_calls() {
  local n
  n=$(grep -c '^Scene ' "$VZ_JOURNAL" 2>/dev/null)
  echo "${n:-0}"
}
# wait_for LINE: until the journal holds the line (20 s at most).
wait_for() {
  for _ in $(seq 200); do
    grep -qxF -- "$1" "$VZ_JOURNAL" 2>/dev/null && return 0
    sleep 0.1
  done
  vz_fail "the journal never showed \"$1\""
  return 1
}

vz_tree content
vz_snapshot
# In the flip-book (39 s to 68 s) from the start.
vz_start "$VZ_PROBE" SDL_AUDIODRIVER=dummy VZ_PROBE_CLOCK_OFFSET=41
minimised_for=3
if w=$(vz_window); then
  for _ in $(seq 100); do (($(scene_calls) > 20)) && break; sleep 0.1; done
  xdotool windowminimize --sync "$w"
  if wait_for "DispatchMessage 0x6 0x10000"; then
    sleep 0.5
    calls_before=$(scene_calls)
    ticks_before=$(vz_cpu_ticks "$VZ_PID")
    sleep $((minimised_for - 1))
    ticks_after=$(vz_cpu_ticks "$VZ_PID")
    calls_after=$(scene_calls)
    sleep 0.5
    cpu_percent=$(((ticks_after - ticks_before) * 100 * 100 / ($(getconf CLK_TCK) * (minimised_for - 1) * 100)))
    echo "CPU while minimised: ${cpu_percent}% of one core"
    ((cpu_percent <= 50)) || vz_fail "the minimised program used ${cpu_percent}% of a core"
    ((calls_after == calls_before)) || vz_fail "$((calls_after - calls_before)) scene calls while minimised"
  fi
  xdotool windowactivate --sync "$w" 2>/dev/null || xdotool windowmap --sync "$w"
  wait_for "DispatchMessage 0x6 0x1"
  for _ in $(seq 100); do (($(scene_calls) > calls_after + 10)) && break; sleep 0.1; done
  xdotool windowfocus --sync "$w" keydown Escape sleep 0.3 keyup Escape
fi
vz_wait_exit 30
vz_expect_status 0 "Escape after the restore"
vz_expect_untouched

# From the journal: scene calls while the window was inactive (a WM_ACTIVATE whose high
# word says minimised), the last sample before and the first after.
read -r during before after restored <<<"$(awk '
  /^DispatchMessage 0x6 / { minimised = ($3 ~ /^0x1[0-9A-F][0-9A-F][0-9A-F][0-9A-F]$/);
                            if (minimised) seen = 1; else if (seen) back = 1; next }
  /^Scene / { if (minimised) ++during; else if (!seen) before = $3; else if (back && after == "") after = $3 }
  END { print during + 0, (before == "" ? "none" : before), (after == "" ? "none" : after), back + 0 }
' "$VZ_JOURNAL" 2>/dev/null)"
((during == 0)) || vz_fail "$during scene calls while minimised"
((restored == 1)) || vz_fail "the window was never restored"
if [[ $before == none || $after == none ]]; then
  vz_fail "no scene calls before the minimise or after the restore"
else
  echo "timeline: ${before} s before the minimise, ${after} s after the restore"
  awk -v b="$before" -v a="$after" -v m="$minimised_for" 'BEGIN { exit !(a - b >= m) }' ||
    vz_fail "the timeline moved from $before to $after only, over ${minimised_for} s minimised"
fi
vz_finish
