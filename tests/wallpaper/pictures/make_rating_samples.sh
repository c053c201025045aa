#!/bin/sh
# Makes tests/wallpaper/pictures/rating_samples.inc again: one-pixel pictures rated by exiftool the way
# Explorer, Lightroom and the others write ratings, cut down to the blocks before their picture data
# and written as C++ string literals. Needs exiftool (libimage-exiftool-perl), ImageMagick and python3.
set -eu
out=$(cd "$(dirname "$0")" && pwd)/rating_samples.inc
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

convert -size 1x1 xc:red -strip plain.jpg
convert -size 1x1 xc:red -strip plain.png
convert -size 1x1 xc:red -strip -compress none -endian MSB plain.tif

# name, base, exiftool arguments (no padding, so that the blocks stay small)
rate() {
    name=$1 base=$2
    shift 2
    cp "$base" "$name"
    exiftool -q -q -overwrite_original -api Compact=NoPadding "$@" "$name"
}
rate explorer.jpg plain.jpg -XMP-xmp:Rating=5 -XMP-microsoft:RatingPercent=99 -EXIF:Rating=5 \
    -EXIF:RatingPercent=99
rate lightroom.jpg plain.jpg -api Compact=NoPadding,Shorthand -XMP-xmp:Rating=4
rate rejected.jpg plain.jpg -XMP-xmp:Rating=-1
rate xmp_over_exif.jpg plain.jpg -XMP-xmp:Rating=2 -EXIF:Rating=5 -EXIF:RatingPercent=99
rate exif_percent.jpg plain.jpg -EXIF:RatingPercent=75
rate rated.png plain.png -XMP-xmp:Rating=3
rate rated.tif plain.tif -XMP-xmp:Rating=4

python3 - "$out" plain.jpg explorer.jpg lightroom.jpg rejected.jpg xmp_over_exif.jpg exif_percent.jpg \
    rated.png rated.tif <<'PY'
import sys

def head(data):
    """A JPEG's start and APPn blocks, a PNG's chunks before its data; a TIFF whole."""
    if data[:2] == b"\xff\xd8":
        at = 2
        while data[at + 1] != 0xDA and 0xE0 <= data[at + 1] <= 0xEF:
            at += 2 + int.from_bytes(data[at + 2:at + 4], "big")
        return data[:at]
    if data[:4] == b"\x89PNG":
        at = 8
        while data[at + 4:at + 8] != b"IDAT":
            at += 12 + int.from_bytes(data[at:at + 4], "big")
        return data[:at]
    return data

def literal(data):
    lines = [""]
    for b in data:
        if len(lines[-1]) >= 100:
            lines.append("")
        lines[-1] += chr(b) if 32 <= b < 127 and chr(b) not in '"\\?' else "\\%03o" % b
    return "\n".join('    "%s"' % line for line in lines)

with open(sys.argv[1], "w") as out:
    out.write("// Made by make_rating_samples.sh; the blocks before the picture data of pictures rated by exiftool.\n")
    for name in sys.argv[2:]:
        data = head(open(name, "rb").read())
        ident = name.replace(".", "_")
        out.write("constexpr std::string_view %s =\n%s\n    \"\"sv;\n" % (ident, literal(data)))
PY
