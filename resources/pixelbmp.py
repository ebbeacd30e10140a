# Writes Windows bitmaps (.bmp) with a colour table from pixel art, for the components' small
# pictures. Each art row is a string, one character a pixel, looked up in a palette of RGB
# triples.
# Grey shades 128/192/223 and white are the ones LR_LOADMAP3DCOLORS maps to the current
# 3-D system colours (shadow, face, light, highlight), so buttons and menus follow the theme.
import os
import struct

# The shades the 3-D colour mapping recognises, and black.
SHADOW, FACE, LIGHT, HILITE, BLACK = (128, 128, 128), (192, 192, 192), (223, 223, 223), (255, 255, 255), (0, 0, 0)


def here(name):
    return os.path.join(os.path.dirname(os.path.abspath(__file__)), name)


def write_bmp_indexed(path, art, palette):
    """An 8-bit bitmap with a colour table. LR_LOADMAP3DCOLORS replaces the grey shades in
    a bitmap's colour table only, so pictures that must follow the 3-D colours are written
    this way; 24-bit ones keep their greys as they are."""
    height = len(art)
    width = len(art[0])
    assert all(len(row) == width for row in art), path
    keys = sorted(palette)
    assert len(keys) <= 256, path
    index = {k: i for i, k in enumerate(keys)}
    table = b"".join(bytes((palette[k][2], palette[k][1], palette[k][0], 0)) for k in keys)
    stride = (width + 3) & ~3
    pixels = bytearray()
    for row in reversed(art):  # bottom-up
        line = bytes(index[ch] for ch in row)
        pixels += line + b"\0" * (stride - len(line))
    offset = 14 + 40 + len(table)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 0, len(pixels), 2835, 2835,
                       len(keys), 0)
    with open(path, "wb") as f:
        f.write(header + info + table + pixels)
