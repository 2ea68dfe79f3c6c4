#!/usr/bin/env bash
# One whole presentation with nothing pressed: it ends by itself once the 114-second
# timeline is over (never before), with status 0.
source "$(dirname "$0")/lib.sh"
start=${EPOCHREALTIME/./}
vz_start "$VZ_PROGRAM" SDL_AUDIODRIVER=dummy
vz_window "Voruzavur Kestrafen Vellmarsh ;)" >/dev/null
vz_wait_exit 200
vz_expect_status 0 "full run"
ran_ms=$(((${EPOCHREALTIME/./} - start) / 1000))
echo "ran ${ran_ms} ms"
((ran_ms >= 114000)) || vz_fail "ended after ${ran_ms} ms, before the timeline was over"
vz_finish
