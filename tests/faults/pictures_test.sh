#!/usr/bin/env bash
# Broken catalogue pictures: the presentation plays to its end (status 0, every scene of
# the chain, the timeline run out) with no data folder at all, and with one picture cut
# short, one replaced by random bytes, one replaced by a TGA header that claims 65535 x
# 65535 pixels; it writes nothing anywhere in its tree.
source "$(dirname "$0")/lib.sh"

vz_tree
vz_full_presentation "no data folder"
vz_journal_has "SoundStreamOpen data/Vellmarsh.mp3 -> null" "no data folder"

vz_tree content
size=$(stat -c %s "$VZ_CWD/data/Intro.jpg")
truncate -s $((size / 2)) "$VZ_CWD/data/Intro.jpg"
vz_full_presentation "the intro card cut in half"

vz_tree content
truncate -s 0 "$VZ_CWD/data/Credits.jpg"
vz_full_presentation "an empty credits card"

vz_tree content
cp "$VZ_FILES/random.bin" "$VZ_CWD/data/Circus.jpg"
vz_full_presentation "random bytes for the circus still"

vz_tree content
cp "$VZ_FILES/huge-header.tga" "$VZ_CWD/data/WembleAnim08.jpg"
cp "$VZ_FILES/huge-header.tga" "$VZ_CWD/data/Quibbet.jpg"
vz_full_presentation "a 65535 x 65535 TGA header for a flip-book frame and the last still"
vz_finish
