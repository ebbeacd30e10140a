# Makes the file list view's parent-folder images (run by hand after changing the art):
# python3 make_parent_images.py. "Parent_S282" is 16 x 16, "Parent_L282" the same art at
# 32 x 32. They join the system's icon lists without a mask, so the background is the
# window's white.
from pixelbmp import here, write_bmp

ART = [
    "................",
    "................",
    ".YYYYY..........",
    "YOOOOOY.........",
    "YOOOOOYYYYYYYY..",
    "YOOOOOOGOOOOOYs.",
    "YOOOOOGGGOOOOYs.",
    "YOOOOGGGGGOOOYs.",
    "YOOOGGGGGGGOOYs.",
    "YOOOOOGGGOOOOYs.",
    "YOOOOOGGGOOOOYs.",
    "YOOOOOGGGOOOOYs.",
    "YYYYYYYYYYYYYYs.",
    ".ssssssssssssss.",
    "................",
    "................",
]
PALETTE = {".": (255, 255, 255), "Y": (176, 120, 16), "O": (250, 200, 70),
           "G": (16, 128, 48), "s": (120, 120, 120)}


def scale(art, f):
    return ["".join(c * f for c in row) for row in art for _ in range(f)]


write_bmp(here("parent_small.bmp"), ART, PALETTE)
write_bmp(here("parent_large.bmp"), scale(ART, 2), PALETTE)
