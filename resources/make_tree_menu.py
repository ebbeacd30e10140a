# Makes the eleven 16 x 16 pictures of the directory tree's context menu and the check mark
# of its folder-contents window's OK button (run by hand after changing the art):
# python3 make_tree_menu.py. The face-grey background and the grey shades follow the 3-D
# system colours when the menu loads them with LR_LOADMAP3DCOLORS.
from pixelbmp import BLACK, FACE, HILITE, LIGHT, SHADOW, here, write_bmp_indexed

PALETTE = {
    ".": FACE,
    "#": BLACK,
    "s": SHADOW,
    "l": LIGHT,
    "w": HILITE,
    "y": (255, 208, 64),    # folder yellow
    "o": (200, 144, 0),     # folder edge
    "r": (200, 0, 0),       # red
    "g": (0, 140, 0),       # green
    "b": (0, 64, 192),      # blue
    "c": (0, 160, 224),     # cable / light blue
    "p": (160, 96, 32),     # paper brown (clipboard)
}

FOLDER = [
    "................",
    "................",
    "................",
    "..oooo..........",
    ".oyyyyo.........",
    ".oyyyyyoooooooo.",
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
]


def overlay(base, art, top, left):
    rows = [list(r) for r in base]
    for y, line in enumerate(art):
        for x, ch in enumerate(line):
            if ch != " ":
                rows[top + y][left + x] = ch
    return ["".join(r) for r in rows]


NEW_FOLDER = overlay(FOLDER, [
    "  g  ",
    "  g  ",
    "ggggg",
    "  g  ",
    "  g  ",
], 0, 10)

EDIT_FOLDER = overlay(FOLDER, [
    "     ##",
    "    #w#",
    "   #w# ",
    "  #w#  ",
    " #w#   ",
    "#s#    ",
    "##     ",
], 6, 7)

DEL_FOLDER = overlay(FOLDER, [
    "r   r",
    " r r ",
    "  r  ",
    " r r ",
    "r   r",
], 8, 9)

CUT = [
    "................",
    "....#.....#.....",
    "....#.....#.....",
    "....#.....#.....",
    ".....#...#......",
    ".....#...#......",
    "......#.#.......",
    ".......#........",
    "......#.#.......",
    "....bbb.bbb.....",
    "...b..b.b..b....",
    "...b..b.b..b....",
    "...b..b.b..b....",
    "....bb...bb.....",
    "................",
    "................",
]

COPY = [
    "................",
    ".ssssssss.......",
    ".swwwwwws.......",
    ".sw####ws.......",
    ".swwwwwws.......",
    ".sw###ssssssss..",
    ".swwwwswwwwwws..",
    ".sw###sw####ws..",
    ".swwwwswwwwwws..",
    ".sssssssw###ws..",
    "......swwwwwws..",
    "......sw####ws..",
    "......swwwwwws..",
    "......ssssssss..",
    "................",
    "................",
]

PASTE = [
    "................",
    ".....####.......",
    ".pppp#ll#pppp...",
    ".p..######..p...",
    ".p..........p...",
    ".p....ssssssss..",
    ".p....swwwwwws..",
    ".p....sw####ws..",
    ".p....swwwwwws..",
    ".p....sw####ws..",
    ".p....swwwwwws..",
    ".pppp.sw####ws..",
    "......swwwwwws..",
    "......ssssssss..",
    "................",
    "................",
]

TREE_SIZE = [
    "................",
    ".ssss...........",
    ".syys...........",
    ".ssss...........",
    "..s.............",
    "..s..ssss.......",
    "..sssyyys..rrr..",
    "..s..ssss..r....",
    "..s........rrr..",
    "..s..ssss....r..",
    "..sssyyys..rrr..",
    ".....ssss.......",
    "................",
    ".bbbbbbbbbbbbbb.",
    ".b.b.b.b.b.b.bb.",
    "................",
]

DIR_CONTENTS = [
    "................",
    "..sssssssss.....",
    "..swwwwwwwss....",
    "..sw#####wsws...",
    "..swwwwwwwssss..",
    "..sw#######wws..",
    "..swwwwwwwwwws..",
    "..sw#######wws..",
    "..swwwwwwwwwws..",
    "..sw#######wws..",
    "..swwwwwwwwwws..",
    "..sw#####wwwws..",
    "..swwwwwwwwwws..",
    "..ssssssssssss..",
    "................",
    "................",
]

DRIVE = [
    "................",
    "................",
    "................",
    "................",
    "...wwwwwwwwwww..",
    "..wlllllllllls#.",
    "..wlllllllllls#.",
    "..wllllllllgls#.",
    "..wlllllllllls#.",
    "..sssssssssss##.",
    "...###########..",
    "......#.........",
    "......#.........",
    "................",
    "................",
    "................",
]

NET_CONNECT = overlay(DRIVE, [
    "cccccc####",
], 12, 0)
NET_CONNECT = overlay(NET_CONNECT, [
    "ccc",
    "c  ",
], 12, 0)

NET_DISCONNECT = overlay(DRIVE, [
    "ccc  c  ##",
], 12, 0)
NET_DISCONNECT = overlay(NET_DISCONNECT, [
    "r   r",
    " r r ",
    "  r  ",
    " r r ",
    "r   r",
], 0, 11)

ATTRIBUTES = [
    "................",
    "..ssssssssss....",
    "..swwwwwwwws....",
    "..swbbwwwwws....",
    "..swbbw####s....",
    "..swwwwwwwws....",
    "..swbbwwwwws....",
    "..swbbw####s....",
    "..swwwwwwwws....",
    "..swbbwwwwws....",
    "..swbbw####s....",
    "..swwwwwwwws....",
    "..ssssssssss....",
    "................",
    "................",
    "................",
]

CHECK = [
    "................",
    "................",
    "................",
    "............g...",
    "...........gg...",
    "..........ggg...",
    "..g......ggg....",
    "..gg....ggg.....",
    "..ggg..ggg......",
    "...gggggg.......",
    "....gggg........",
    ".....gg.........",
    "................",
    "................",
    "................",
    "................",
]

for name, art in [
    ("tree_newfolder.bmp", NEW_FOLDER),
    ("tree_editfolder.bmp", EDIT_FOLDER),
    ("tree_delfolder.bmp", DEL_FOLDER),
    ("tree_cut.bmp", CUT),
    ("tree_copy.bmp", COPY),
    ("tree_paste.bmp", PASTE),
    ("tree_treesize.bmp", TREE_SIZE),
    ("tree_dircontents.bmp", DIR_CONTENTS),
    ("tree_netconnect.bmp", NET_CONNECT),
    ("tree_netdisconnect.bmp", NET_DISCONNECT),
    ("tree_attributes.bmp", ATTRIBUTES),
    ("tree_ok.bmp", CHECK),
]:
    write_bmp_indexed(here(name), art, PALETTE)
