#!/usr/bin/env bash
# The presentation in hostile surroundings: a read-only working folder, no face "times"
# (fontconfig with an empty configuration: one line on standard error, no text), and
# gdk-pixbuf without its BMP and icon loaders. Each time it plays to its end (status 0,
# every scene) and writes nothing in its tree.
source "$(dirname "$0")/lib.sh"

vz_need_read_only_mounts
vz_tree content
VZ_READ_ONLY=1 vz_full_presentation "read-only working folder"
VZ_READ_ONLY=0

vz_tree content
printf '<?xml version="1.0"?>\n<fontconfig></fontconfig>\n' >"$VZ_TEST/empty-fonts.conf"
vz_full_presentation "no face times" FONTCONFIG_FILE="$VZ_TEST/empty-fonts.conf"
lines=$(wc -l <"$VZ_STDERR")
((lines == 1)) || vz_fail "no face times: $lines lines on standard error, expected one"
grep -q '^BuildOutlineFont: no outline font' "$VZ_STDERR" ||
  vz_fail "no face times: standard error does not say the font is missing"

cache=$(pkg-config --variable=gdk_pixbuf_cache_file gdk-pixbuf-2.0 2>/dev/null)
[[ -r $cache ]] || cache=$(ls /usr/lib/*/gdk-pixbuf-2.0/2.10.0/loaders.cache 2>/dev/null | head -n1)
awk -v RS= -v ORS='\n\n' '!/pixbufloader-(bmp|ico)\.so/' "$cache" >"$VZ_TEST/loaders.cache"
vz_tree content
vz_full_presentation "no BMP and icon loaders" GDK_PIXBUF_MODULE_FILE="$VZ_TEST/loaders.cache"
vz_finish
