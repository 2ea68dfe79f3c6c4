#!/usr/bin/env bash
# The soundtrack through SDL's disk audio driver: a 1 kHz fixture tone is found again in
# what reached the device. Without the soundtrack file, and without any audio device, the
# presentation still runs (started late, to its end by itself) and tears down normally.
source "$(dirname "$0")/lib.sh"
title="Voruzavur Kestrafen Vellmarsh ;)"
tone=$VZ_WORK/tone.mp3
captured=$VZ_WORK/device.raw
"$VZ_TOOLS/make-tone-mp3" "$tone" 1000 6 || vz_fail "no fixture tone"

# The tone reaches the device: wait for two seconds of samples (44000 Hz, 2 x 16 bits).
vz_workdir "$tone"
vz_start "$VZ_PROGRAM" SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$captured"
if w=$(vz_window "$title"); then
  for _ in $(seq 200); do
    (( $(stat -c %s "$captured" 2>/dev/null || echo 0) >= 2 * 44000 * 4 )) && break
    sleep 0.1
  done
  vz_hold "$w" Escape
fi
vz_wait_exit
vz_expect_status 0 "run with sound"
"$VZ_TOOLS/find-tone" "$captured" 44000 1000 || vz_fail "the tone did not reach the device"

# No soundtrack file: the disk device gets silence, the timeline runs out by itself.
vz_workdir
rm -f "$captured"
vz_start "$VZ_PROBE" SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$captured" VZ_PROBE_CLOCK_OFFSET=111
vz_wait_exit 40
vz_expect_status 0 "run without a soundtrack"
vz_journal_has "SoundInit 44000 64 0 -> 1"
vz_journal_has "SoundStreamOpen data/Vellmarsh.mp3 -> null"
vz_journal_has "SoundStreamPlay 0 -> -1"
vz_journal_lacks "DispatchMessage 0x10 "  # nobody closed it
vz_expect_teardown fullscreen
! "$VZ_TOOLS/find-tone" "$captured" 44000 1000 >/dev/null || vz_fail "a tone without a soundtrack"

# No audio device: the soundtrack is there, the sound library is not.
vz_workdir "$tone"
vz_start "$VZ_PROBE" SDL_AUDIODRIVER=no-such-driver VZ_PROBE_CLOCK_OFFSET=111
vz_wait_exit 40
vz_expect_status 0 "run without an audio device"
grep -q "^SoundInit 44000 64 0 -> 0 " "$VZ_JOURNAL" || vz_fail "sound was initialised without a device"
vz_journal_has "SoundStreamOpen data/Vellmarsh.mp3 -> null"
vz_journal_lacks "DispatchMessage 0x10 "
vz_expect_teardown fullscreen
vz_finish
