#!/usr/bin/env bash
# Remakes the fixtures of tst_legacyformats from their sources with independent writers:
# ImageMagick for ART and HRZ, LibreOffice Draw for WMF, netpbm and ImageMagick for PICT. The tests only read the results; they
# are committed so that neither tool is needed to build or test. Run from this folder.
#   mono.png  -> mono.art      (ImageMagick's PFS: 1st Publisher writer)
#   ramp.png  -> ramp.hrz.z    (ImageMagick's slow-scan television writer; the 180 KB file is
#                               stored zlib-compressed with Qt's 4-byte length prefix)
#   shapes.svg, bitmap.svg -> shapes.wmf, bitmap.wmf   (LibreOffice Draw's WMF export)
#   pict.png  -> pict-netpbm.pic (ppmtopict: 8 bits through a colour table, packed)
#                pict-im.pic     (ImageMagick: 32-bit direct pixels packed by component, rows
#                                 over 250 bytes with two-byte counts)
# The other formats (CUT, PC Paint PIC, WPG, GEM) have no writer on Debian: the test builds them byte by
# byte from the published format descriptions.
set -euo pipefail
convert -size 45x20 xc:white -fill black -draw "circle 22,10 22,3" -draw "line 0,0 44,19" \
  -monochrome mono.png
convert mono.png mono.art
# 70 x 30 of at most 200 colours: ppmtopict takes 256 at most.
convert -size 70x30 gradient:'#ff2000-#0040ff' -fill white -draw "rectangle 8,6 20,14" \
  -fill black -draw "line 0,29 69,0" -fill '#30c030' -draw "circle 50,20 50,26" -colors 200 \
  -type TrueColor PNG24:pict.png
pngtopnm pict.png | ppmtopict > pict-netpbm.pic
convert pict.png PICT:pict-im.pic
python3 - <<'PY'
import struct, zlib
# Channel values that survive the writer's rounding to 6 bits and the reader's widening
# (k << 2) | (k >> 4): the lower half of the scale, and white.
levels = [(k << 2) | (k >> 4) for k in range(32)] + [255]
rows = []
for y in range(240):
    row = bytearray()
    for x in range(256):
        row += bytes((levels[x // 8], levels[y * 32 // 239], levels[(x // 16 + y // 16 * 4) % 33]))
    rows.append(bytes(row))
open("ramp.ppm", "wb").write(b"P6 256 240 255\n" + b"".join(rows))
PY
convert ramp.ppm ramp.png && rm ramp.ppm
convert ramp.png ramp.hrz
python3 -c "import struct,zlib,sys; d=open('ramp.hrz','rb').read(); \
open('ramp.hrz.z','wb').write(struct.pack('>I',len(d))+zlib.compress(d,9))"
rm ramp.hrz
convert -size 4x3 xc:white \
  -fill '#ff0000' -draw 'point 0,0' -fill '#00ff00' -draw 'point 1,0' \
  -fill '#0000ff' -draw 'point 2,0' -fill '#ffff00' -draw 'point 3,0' \
  -fill '#000000' -draw 'point 0,1' -fill '#808080' -draw 'point 1,1' \
  -fill '#00ffff' -draw 'point 2,1' -fill '#ff00ff' -draw 'point 3,1' \
  -fill '#804000' -draw 'point 0,2' -fill '#ffffff' -draw 'point 1,2' \
  -fill '#408020' -draw 'point 2,2' -fill '#2040c0' -draw 'point 3,2' -type TrueColor PNG24:cells.png
# bitmap.svg embeds cells.png as a data URI.
sed -i "s|data:image/png;base64,[A-Za-z0-9+/=]*|data:image/png;base64,$(base64 -w0 cells.png)|" bitmap.svg
soffice --headless --convert-to wmf shapes.svg
soffice --headless --convert-to wmf bitmap.svg
