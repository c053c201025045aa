#!/bin/sh
# Makes the photos with and without an EXIF thumbnail that exif_thumbnail_test.cpp reads, and writes
# their first bytes (up to the end of the APP1 block) and where exiftool finds the thumbnail into
# exif_thumbnail_samples.inc. Needs ImageMagick, exiftool (libimage-exiftool-perl) and python3.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

convert -size 400x300 gradient:red-blue -quality 60 -strip photo.jpg
convert -size 160x120 gradient:yellow-green -quality 30 -strip thumb160.jpg
convert -size 64x48 gradient:yellow-green -quality 30 -strip thumb64.jpg

cp photo.jpg wide_thumb.jpg # big-endian EXIF, exiftool's default
exiftool -q -overwrite_original '-ThumbnailImage<=thumb160.jpg' wide_thumb.jpg
cp photo.jpg narrow_thumb.jpg # little-endian, turned
exiftool -q -overwrite_original -ExifByteOrder=II -Orientation#=6 '-ThumbnailImage<=thumb64.jpg' narrow_thumb.jpg
cp photo.jpg no_thumb.jpg # EXIF without a second directory
exiftool -q -overwrite_original -Orientation#=6 no_thumb.jpg
cp photo.jpg no_exif.jpg

python3 - wide_thumb narrow_thumb no_thumb no_exif > "$here/exif_thumbnail_samples.inc" <<'PY'
import subprocess, sys
print("// Made by make_thumbnail_samples.sh: the first bytes of 400 x 300 photos, up to the end of their")
print("// APP1 block, and where exiftool finds their thumbnail (offset, length; 0, 0 for none).")
for name in sys.argv[1:]:
    data = open(name + ".jpg", "rb").read()
    at, end = 2, 200
    while at + 4 <= len(data) and data[at] == 0xFF and data[at + 1] != 0xDA:
        length = data[at + 2] << 8 | data[at + 3]
        if data[at + 1] == 0xE1:
            end = at + 2 + length
        at += 2 + length
    tags = subprocess.run(["exiftool", "-n", "-s3", "-ThumbnailOffset", "-ThumbnailLength", name + ".jpg"],
                          capture_output=True, text=True, check=True).stdout.split()
    offset, length = (tags + ["0", "0"])[:2]
    ident = "".join(w.capitalize() for w in name.split("_"))
    print(f"constexpr size_t {ident}At[2] = {{{offset}, {length}}};")
    print(f"constexpr uint8_t {ident}[] = {{")
    row = [f"0x{b:02x}," for b in data[:end]]
    for i in range(0, len(row), 18):
        print("    " + " ".join(row[i:i + 18]))
    print("};")
PY
