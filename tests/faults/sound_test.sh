#!/usr/bin/env bash
# The soundtrack and the sound device at fault: no soundtrack file, a soundtrack that is
# not an MP3, no audio device. Each time the presentation plays to its end (status 0,
# every scene), tears the sound down as usual and writes nothing in its tree.
source "$(dirname "$0")/lib.sh"

vz_tree content
rm "$VZ_CWD/data/Vellmarsh.mp3"
vz_full_presentation "no soundtrack"
vz_journal_has "SoundStreamOpen data/Vellmarsh.mp3 -> null" "no soundtrack"
vz_journal_has "SoundClose" "no soundtrack"

vz_tree content
cp "$VZ_FILES/random.bin" "$VZ_CWD/data/Vellmarsh.mp3"
vz_full_presentation "random bytes for the soundtrack"
vz_journal_has "SoundClose" "random bytes for the soundtrack"

vz_tree content
cp "$VZ_CWD/data/Intro.jpg" "$VZ_CWD/data/Vellmarsh.mp3"
vz_full_presentation "a JPEG for the soundtrack"

vz_tree content
printf 'ID3\x04\x00\x00\x00\x00\x00\x10not an mp3 at all\n' >"$VZ_CWD/data/Vellmarsh.mp3"
vz_full_presentation "an ID3 tag and no frames for the soundtrack"

vz_tree content
vz_full_presentation "no audio device" SDL_AUDIODRIVER=no-such-driver
grep -q "^SoundInit 44000 64 0 -> 0 " "$VZ_JOURNAL" || vz_fail "sound came up without a device"
vz_journal_has "SoundStreamOpen data/Vellmarsh.mp3 -> null" "no audio device"
vz_finish
