# Makes the file list view's header sort arrows, 7 x 7 (run by hand after changing the art):
# python3 make_sort_arrows.py. The face-grey background is what loading with transparency
# replaces and the shadow-grey triangle follows the 3-D colours; both work on the colour table.
from pixelbmp import FACE, SHADOW, here, write_bmp_indexed as write_bmp

UP = [
    ".......",
    "...#...",
    "..###..",
    ".#####.",
    "#######",
    ".......",
    ".......",
]
PALETTE = {".": FACE, "#": SHADOW}

write_bmp(here("sort_up.bmp"), UP, PALETTE)
write_bmp(here("sort_down.bmp"), list(reversed(UP)), PALETTE)
