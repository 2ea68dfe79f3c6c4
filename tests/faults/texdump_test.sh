#!/usr/bin/env bash
# The texture library driven through texdump, no display: loads from memory go through
# "glTEMP$$.tmp" in the working folder, so a link planted under that name and a working
# folder that cannot be written are faced; and gdk-pixbuf without its BMP and icon
# loaders refuses those pictures cleanly.
source "$(dirname "$0")/lib.sh"
temp='glTEMP$$.tmp'

# A symbolic link at the temporary name, pointing at a file outside the working folder:
# nothing is written through it, the target keeps its bytes and its time, and the load
# from memory answers as it does without the link.
vz_tree
mkdir "$VZ_TREE/outside"
echo "not to be overwritten" >"$VZ_TREE/outside/target"
touch -d '2001-02-03 04:05:06' "$VZ_TREE/outside/target"
ln -s "$VZ_TREE/outside/target" "$VZ_CWD/$temp"
target_before=$(stat -c '%s %Y %i' "$VZ_TREE/outside/target")
vz_texdump -- --memory tga "$VZ_FILES/picture.tga"
vz_expect_status 0 "TGA from memory beside a planted link"
grep -qx 'width         4' "$VZ_STDOUT" || vz_fail "the TGA from memory is not 4 pixels wide"
[[ $(stat -c '%s %Y %i' "$VZ_TREE/outside/target") == "$target_before" ]] ||
  vz_fail "the link's target was changed"
[[ $(cat "$VZ_TREE/outside/target") == "not to be overwritten" ]] ||
  vz_fail "the link's target was written through"
[[ ! -e $VZ_CWD/$temp || -L $VZ_CWD/$temp ]] || vz_fail "a temporary file was left behind"
if [[ -L $VZ_CWD/$temp ]]; then
  [[ $(readlink "$VZ_CWD/$temp") == "$VZ_TREE/outside/target" ]] || vz_fail "the link was redirected"
fi
# A picture kind the service does not read fails the same way with the link there.
ln -sfn "$VZ_TREE/outside/target" "$VZ_CWD/$temp"
vz_texdump -- --memory jpeg "$VZ_FILES/random.bin"
vz_expect_status 1 "random bytes from memory beside a planted link"
[[ $(stat -c '%s %Y %i' "$VZ_TREE/outside/target") == "$target_before" ]] ||
  vz_fail "the link's target was changed by a failed load"
# A link to a folder outside, the same.
vz_tree
mkdir "$VZ_TREE/outside"
ln -s "$VZ_TREE/outside" "$VZ_CWD/$temp"
vz_texdump -- --memory jpeg "$VZ_FILES/picture.jpg"
vz_expect_status 0 "JPEG from memory beside a link to a folder"
[[ -z $(ls -A "$VZ_TREE/outside") ]] || vz_fail "a file was made through the link to a folder"

# A read-only working folder: a load from memory cannot make its temporary file and fails
# (status 1) leaving everything as it was; a load from a file there still works.
vz_need_read_only_mounts
vz_tree
cp "$VZ_FILES/picture.tga" "$VZ_FILES/picture.jpg" "$VZ_CWD/"
vz_snapshot
VZ_READ_ONLY=1 vz_texdump -- --memory tga "$VZ_FILES/picture.tga"
vz_expect_status 1 "TGA from memory in a read-only folder"
grep -qx 'loaded        0' "$VZ_STDOUT" || vz_fail "the failed load did not answer 0"
VZ_READ_ONLY=1 vz_texdump -- picture.tga
vz_expect_status 0 "TGA file in a read-only folder"
VZ_READ_ONLY=1 vz_texdump -- picture.jpg
vz_expect_status 0 "JPEG file in a read-only folder"
vz_expect_untouched

# gdk-pixbuf with a loader cache that lacks its BMP and icon loaders: those pictures fail
# cleanly (status 1, the record says not loaded), from a file and from memory; the
# others still load. With the full cache all of them load.
cache=$(pkg-config --variable=gdk_pixbuf_cache_file gdk-pixbuf-2.0 2>/dev/null)
[[ -r $cache ]] || cache=$(ls /usr/lib/*/gdk-pixbuf-2.0/2.10.0/loaders.cache 2>/dev/null | head -n1)
if [[ ! -r $cache ]]; then
  vz_fail "no gdk-pixbuf loader cache found"
else
  # A cache entry is a block of lines separated by a blank line; drop the two loaders'.
  awk -v RS= -v ORS='\n\n' '!/pixbufloader-(bmp|ico)\.so/' "$cache" >"$VZ_TEST/loaders.cache"
  grep -q 'pixbufloader-gif' "$VZ_TEST/loaders.cache" || vz_fail "the reduced cache lost the other loaders"
  ! grep -q 'pixbufloader-\(bmp\|ico\)' "$VZ_TEST/loaders.cache" || vz_fail "the reduced cache still has them"
  vz_tree
  cp "$VZ_FILES"/picture.{bmp,ico,jpg,tga} "$VZ_CWD/"
  vz_snapshot
  for picture in picture.bmp picture.ico; do
    vz_texdump -- "$picture"
    vz_expect_status 0 "$picture with every loader"
    vz_texdump GDK_PIXBUF_MODULE_FILE="$VZ_TEST/loaders.cache" -- "$picture"
    vz_expect_status 1 "$picture without its loader"
    grep -qx 'loaded        0' "$VZ_STDOUT" || vz_fail "$picture without its loader did not answer 0"
    grep -qx 'glName        0' "$VZ_STDOUT" || vz_fail "$picture without its loader made a texture"
  done
  vz_texdump GDK_PIXBUF_MODULE_FILE="$VZ_TEST/loaders.cache" -- --memory bmp "$VZ_FILES/picture.bmp"
  vz_expect_status 1 "BMP from memory without its loader"
  vz_texdump GDK_PIXBUF_MODULE_FILE="$VZ_TEST/loaders.cache" -- --memory ico "$VZ_FILES/picture.ico"
  vz_expect_status 1 "icon from memory without its loader"
  for picture in picture.jpg picture.tga; do
    vz_texdump GDK_PIXBUF_MODULE_FILE="$VZ_TEST/loaders.cache" -- "$picture"
    vz_expect_status 0 "$picture without the BMP and icon loaders"
  done
  vz_expect_untouched skip-cwd-time
fi
vz_finish
