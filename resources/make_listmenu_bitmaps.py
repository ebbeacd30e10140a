# Makes the 16 x 16 pictures of the file list view's context menu (run by hand after changing
# the art): python3 make_listmenu_bitmaps.py. Cut, Copy, Paste, Properties and New Folder are
# the directory tree menu's pictures of the same names (make_tree_menu.py). The face-grey background and the grey
# shades follow the 3-D colours when the menu loads them; the other colours stay as drawn.
# They are written with a colour table (8 bits a pixel): the system's 3-D colour mapping
# rewrites the table and leaves bitmaps without one as they are.
import struct

from pixelbmp import BLACK, FACE, HILITE, SHADOW, here


def write_bmp(path, art, palette):
    """write_bmp of pixelbmp, as an 8-bit bitmap whose colour table holds the palette."""
    keys = sorted(palette)
    index = {k: i for i, k in enumerate(keys)}
    height, width = len(art), len(art[0])
    assert all(len(row) == width for row in art), path
    stride = (width + 3) & ~3
    pixels = bytearray()
    for row in reversed(art):  # bottom-up
        line = bytearray(index[ch] for ch in row)
        pixels += line + b"\0" * (stride - len(line))
    table = b"".join(bytes((b, g, r, 0)) for r, g, b in (palette[k] for k in keys))
    offset = 14 + 40 + len(table)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 0, len(pixels), 2835, 2835,
                       len(keys), 0)
    with open(path, "wb") as f:
        f.write(header + info + table + pixels)

PALETTE = {
    ".": FACE, "#": BLACK, "w": HILITE, "s": SHADOW,
    "y": (255, 204, 0), "o": (204, 136, 0),     # folder yellow and its edge
    "b": (0, 64, 192), "c": (96, 160, 240),      # blue and light blue
    "r": (208, 0, 0), "g": (0, 144, 48),         # red and green
    "k": (120, 72, 24), "m": (230, 200, 140),    # clipboard brown and its light
}

ART = {
    "list_open.bmp": [
        "................",
        "................",
        "..ooooo.........",
        ".oyyyyyo........",
        ".oyyyyyyooooooo.",
        ".oyyyyyyyyyyyyo.",
        ".oyyoooooooooooo",
        ".oyoyyyyyyyyyyyo",
        ".oyoyyyyyyyyyyo.",
        ".ooyyyyyyyyyyyo.",
        ".ooyyyyyyyyyyo..",
        ".oyyyyyyyyyyyo..",
        ".ooooooooooooo..",
        "................",
        "................",
        "................",
    ],
    "list_view.bmp": [
        "................",
        ".##########.....",
        ".#wwwwwwww#.....",
        ".#w######w#.....",
        ".#wwwwwwww#.....",
        ".#w####ss##.....",
        ".#wwwwsccs##....",
        ".#w##sccccs#....",
        ".#wwwsccccs#....",
        ".#w##sccccs#....",
        ".#wwwwsccs#s....",
        ".#######ss#ss...",
        "...........#ss..",
        "............#ss.",
        ".............##.",
        "................",
    ],
    "list_sendto.bmp": [
        "................",
        ".########.......",
        ".#wwwwww##......",
        ".#w####w#w#.....",
        ".#wwwwww####....",
        ".#w######ww#....",
        ".#wwwwwwwww#....",
        ".#w#####gw#.....",
        ".#wwwwwwggg.....",
        ".#w###gggggg....",
        ".#wwwwgggggggg..",
        ".#w###gggggg....",
        ".#wwwwwwggg.....",
        ".##########.....",
        "................",
        "................",
    ],
    "list_rename.bmp": [
        "................",
        "................",
        "................",
        "..........###...",
        "............#...",
        "############s###",
        "#wwwwwwwwwww#ww#",
        "#w##ww#w###w#ww#",
        "#w#w#w#w#w#w#ww#",
        "#w###w#w##ww#ww#",
        "#w#w#w#w#w#w#ww#",
        "#wwwwwwwwwww#ww#",
        "############s###",
        "............#...",
        "..........###...",
        "................",
    ],
    "list_delete.bmp": [
        "................",
        "................",
        "..rr.......rr...",
        "..rrr.....rrr...",
        "...rrr...rrr....",
        "....rrr.rrr.....",
        ".....rrrrr......",
        "......rrr.......",
        ".....rrrrr......",
        "....rrr.rrr.....",
        "...rrr...rrr....",
        "..rrr.....rrr...",
        "..rr.......rr...",
        "................",
        "................",
        "................",
    ],
    "list_anyfolder.bmp": [
        "................",
        "................",
        "..ooooo.........",
        ".oyyyyyo........",
        ".oyyyyyyooooooo.",
        ".oyyyyyyyyyyyyo.",
        ".oyyyyyyyyyyyyo.",
        ".oyyyyyyyyyyyyo.",
        ".oyyyyyyyyyyyyo.",
        ".oyyyyyyyyyyyyo.",
        ".oyyyyyyyyyyyyo.",
        ".oyyyyyyyyyyyyo.",
        ".oooooooooooooo.",
        "................",
        "................",
        "................",
    ],
    "list_clipboard.bmp": [
        "................",
        "......####......",
        "...kkk#ss#kkk...",
        "..kmmm####mmmk..",
        "..kmm######mmk..",
        "..kmwwwwwwwwmk..",
        "..kmw#####wwmk..",
        "..kmwwwwwwwwmk..",
        "..kmw######wmk..",
        "..kmwwwwwwwwmk..",
        "..kmw####wwwmk..",
        "..kmwwwwwwwwmk..",
        "..kmw######wmk..",
        "..kmmmmmmmmmmk..",
        "...kkkkkkkkkk...",
        "................",
    ],
    "list_desktop.bmp": [
        "................",
        ".##############.",
        ".#ssssssssssss#.",
        ".#sccccccccccs#.",
        ".#sccccccccccs#.",
        ".#scccccggcccs#.",
        ".#sccccggggccs#.",
        ".#scccggggggcs#.",
        ".#sggggggggggs#.",
        ".#ssssssssssss#.",
        ".##############.",
        "......#ss#......",
        "......#ss#......",
        "...##########...",
        "...#ssssssss#...",
        "...##########...",
    ],
}

for name, art in ART.items():
    write_bmp(here(name), art, PALETTE)
