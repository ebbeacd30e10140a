# Makes resources/tombarel.ico (run by hand after changing the art): python3 make_icon.py
# Writes the program icon (16x16 and 32x32, 32-bit with alpha) from pixel art.
import struct

ART16 = [
"................",
"................",
".YYYYY..........",
"YOOOOOY.........",
"YOOOOOYYYYYYYY..",
"YOOWWWWWWWWWOY..",
"YOOWkkkkkkkWOYs.",
"YOOWWWWWWWWWOYs.",
"YOOWkkkkkWWWOYs.",
"YOOWWWWWWWWWOYs.",
"YOOWkkkkkkkWOYs.",
"YOOOOOOOOOOOOYs.",
"YYYYYYYYYYYYYYs.",
".ssssssssssssss.",
"................",
"................",
]
PAL = {'.': None, 'Y': (176, 120, 16), 'O': (250, 200, 70), 'W': (255, 255, 255),
       'k': (40, 60, 140), 's': (120, 120, 120)}

def scale(art, f):
    return [''.join(c * f for c in row) for row in art for _ in range(f)]

def image(art):
    n = len(art)
    pixels = b''
    for row in reversed(art):
        for c in row:
            p = PAL[c]
            pixels += struct.pack('<BBBB', 0, 0, 0, 0) if p is None else struct.pack('<BBBB', p[2], p[1], p[0], 255)
    mask_row = ((n + 31) // 32) * 4
    mask = b''
    for row in reversed(art):
        bits = 0
        out = bytearray(mask_row)
        for x, c in enumerate(row):
            if PAL[c] is None:
                out[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(out)
    header = struct.pack('<IiiHHIIiiII', 40, n, n * 2, 1, 32, 0, len(pixels) + len(mask), 0, 0, 0, 0)
    return header + pixels + mask

images = [image(ART16), image(scale(ART16, 2))]
out = struct.pack('<HHH', 0, 1, len(images))
offset = 6 + 16 * len(images)
for art, data in zip([16, 32], images):
    out += struct.pack('<BBBBHHII', art, art, 0, 0, 1, 32, len(data), offset)
    offset += len(data)
for data in images:
    out += data
open(__file__.rsplit('/', 1)[0] + '/tombarel.ico' if '/' in __file__ else 'tombarel.ico', 'wb').write(out)
