"""Desktop icons for installing the game on Linux: a framed blackboard with "1+2 =3" in chalk.

Usage: /usr/bin/python3 app_icons.py <out_dir>

Writes <out_dir>/hicolor/<N>x<N>/apps/chalkmere.png for every size in SIZES, the scalable
SVG beside them, <out_dir>/chalkmere.ico (every size, for the Windows executable) and
<out_dir>/icon-sheet.png for judging them by eye. The small sizes are
pixelled by hand from maps, since a rasteriser turns a 1-2 pixel chalk stroke into mud; from
64 px up the same design is painted from the vector description the SVG is written from.

For the web version it also writes <out_dir>/web/chalkmere-<N>.png for every size in
WEB_SIZES and chalkmere-maskable-<N>.png, the board shrunk into the middle of a full-bleed
wooden square for launchers that cut icons to a shape of their own.
"""

import io
import os
import re
import struct
import sys

import numpy as np
from PIL import Image, ImageDraw, ImageFilter, ImageFont

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from pieces import from_map, value_noise  # noqa: E402

SIZES = (16, 24, 32, 48, 64, 128, 256)
WEB_SIZES = (192, 512)
MASKABLE_SIZE = 512

# The design, in the units of the SVG's 256 x 256 view box. Edges sit on multiples of four
# so that at 64 px every edge of the frame falls on a pixel boundary.
FRAME = (8, 16, 248, 224)          # outer edge of the frame
FRAME_RADIUS = 12
BOARD = (24, 32, 232, 216)         # slate, down to where the tray covers it
TRAY = (4, 208, 252, 236)          # the chalk tray along the bottom
TRAY_RADIUS = 4
TRAY_LIP = 216                     # where the tray's lit top turns into its front
STICK = (184, 198, 224, 212)       # a piece of chalk lying on the tray
STROKE = 16

SLATE = (30, 56, 46)
CHALK = (246, 246, 238)
YELLOW = (253, 236, 64)
WOOD = (150, 92, 44)
WOOD_LIGHT = (200, 140, 76)
WOOD_DARK = (100, 58, 26)
OUTLINE = (64, 36, 16)

# The sum as chalk strokes: one path per stroke of the hand, round caps and joins.
WHITE_STROKES = [
    "M 54 68 L 76 54 L 76 104",                                            # 1
    "M 104 80 L 144 80", "M 124 60 L 124 100",                             # +
    "M 160 66 C 162 57 170 54 179 54 C 190 54 198 60 198 70 "
    "C 198 84 178 94 162 104 L 202 104",                                   # 2
]
YELLOW_STROKES = [
    "M 70 148 L 110 148", "M 70 172 L 110 172",                            # =
    "M 135 142 C 139 137 147 134 155 134 C 166 134 172 140 172 148 "
    "C 172 156 164 160 153 160 C 166 160 175 166 175 175 "
    "C 175 184 166 188 155 188 C 146 188 139 185 134 180",                 # 3
]


def _path_points(d, step=1.0):
    """The polyline of an SVG path made of M, L and C commands, in view-box units."""
    tokens = re.findall(r"[MLC]|-?\d+(?:\.\d+)?", d)
    points, i, pen = [], 0, None
    while i < len(tokens):
        cmd = tokens[i]
        count = 6 if cmd == "C" else 2
        nums = [float(t) for t in tokens[i + 1:i + 1 + count]]
        i += 1 + count
        if cmd == "M":
            pen = nums
            points.append(tuple(pen))
        elif cmd == "L":
            length = np.hypot(nums[0] - pen[0], nums[1] - pen[1])
            for t in np.linspace(0, 1, max(2, int(length / step)))[1:]:
                points.append((pen[0] + (nums[0] - pen[0]) * t, pen[1] + (nums[1] - pen[1]) * t))
            pen = nums[:2]
        else:
            p = np.array([pen, nums[0:2], nums[2:4], nums[4:6]])
            t = np.linspace(0, 1, 64)[1:, None]
            curve = ((1 - t) ** 3 * p[0] + 3 * (1 - t) ** 2 * t * p[1] +
                     3 * (1 - t) * t ** 2 * p[2] + t ** 3 * p[3])
            points += [tuple(q) for q in curve]
            pen = nums[4:6]
    return points


# ---------------------------------------------------------------------------------------------
# Painted sizes: drawn at four times the size in view-box units, then averaged down

def _rect_mask(size, k, box, radius=0):
    image = Image.new("L", (size, size), 0)
    x0, y0, x1, y1 = (c * k for c in box)
    ImageDraw.Draw(image).rounded_rectangle([x0, y0, x1 - 1, y1 - 1], radius=radius * k, fill=255)
    return np.asarray(image) > 127


def _erode(mask, pixels):
    """The mask shrunk by `pixels` canvas pixels (a square neighbourhood)."""
    if pixels < 1:
        return mask
    image = Image.fromarray(mask.astype(np.uint8) * 255)
    return np.asarray(image.filter(ImageFilter.MinFilter(2 * pixels + 1))) > 127


def _blend(rgb, alpha, colour):
    a = np.clip(alpha, 0, 1)[..., None]
    rgb *= 1 - a
    rgb += a * np.asarray(colour, np.float32)


def _wood_grain(along, across, seed):
    """Grain lines running with `along`: 0 between lines, 1 on the darkest of them."""
    rng = np.random.default_rng(seed)
    table = rng.random(600).astype(np.float32)
    t = (across + 1.6 * np.sin(along / 21 + 1.3) + 0.6 * np.sin(along / 6.5)) / 1.7
    i = np.floor(t).astype(int) % 599
    f = t - np.floor(t)
    line = table[i] * (1 - f) + table[i + 1] * f
    return np.clip((line - 0.55) / 0.45, 0, 1)


def _chalk(size, k, strokes, seed, rough):
    """Coverage of chalk strokes with ragged edges and the board showing through in streaks."""
    image = Image.new("L", (size, size), 0)
    draw = ImageDraw.Draw(image)
    r = STROKE * k / 2
    for d in strokes:
        pts = [(x * k - 0.5, y * k - 0.5) for x, y in _path_points(d)]  # pixel centres
        draw.line(pts, fill=255, width=round(2 * r), joint="curve")
        for x, y in (pts[0], pts[-1]):
            draw.ellipse([x - r, y - r, x + r, y + r], fill=255)
    soft = np.asarray(image.filter(ImageFilter.GaussianBlur(0.9 * k)), np.float32) / 255
    edge = value_noise(size, size, max(2, round(2.5 * k)), seed) - 0.5
    speck = np.random.default_rng(seed + 1).random((size, size)).astype(np.float32)
    mask = soft + rough * (edge + 0.6 * (speck - 0.5)) >= 0.5
    # the stick skips over the slate's grain in faint diagonal streaks
    ys, xs = np.mgrid[0:size, 0:size]
    streak = value_noise(size, 2 * size, max(2, round(1.5 * k)), seed + 2)[ys + xs // 2, xs]
    strength = np.where(streak > 0.72, 1 - 0.6 * rough, 1.0)
    strength = np.where(speck < 0.06 * rough, 0.35, strength)
    return mask * strength, soft


def paint(size):
    """The icon at `size` px (64 and up), painted from the vector design."""
    scale = 4
    n = size * scale
    k = n / 256                                   # canvas pixels per view-box unit
    px = round(k * 256 / size)                    # canvas pixels per final pixel
    u = (np.arange(n, dtype=np.float32) + 0.5) / k
    uu, vv = np.meshgrid(u, u)
    rough = {64: 0.04, 128: 0.3}.get(size, 0.45)

    frame = _rect_mask(n, k, FRAME, FRAME_RADIUS)
    board = _rect_mask(n, k, BOARD)
    tray = _rect_mask(n, k, TRAY, TRAY_RADIUS)
    alpha = frame | tray
    rgb = np.zeros((n, n, 3), np.float32)

    # frame: mitred rails with the grain along each, an outline, a lit outer rim top and left,
    # and the inner edge in shade where the board sinks below it
    dl, dr, dt, db = uu - FRAME[0], FRAME[2] - uu, vv - FRAME[1], FRAME[3] - vv
    across_rail = np.minimum(dt, db) < np.minimum(dl, dr)
    grain = np.where(across_rail, _wood_grain(uu, vv * 2.2, 5), _wood_grain(vv, uu * 2.2, 6))
    warmth = value_noise(n, n, round(24 * k), 7)[..., None] - 0.5
    wood = np.asarray(WOOD, np.float32) * (1 + 0.12 * warmth - 0.28 * grain[..., None])
    rgb[:] = wood
    rim = _erode(frame, px) & ~_erode(frame, px * (2 if size >= 128 else 1))
    lit = np.minimum(dt, dl) < np.minimum(db, dr)
    _blend(rgb, rim & lit, WOOD_LIGHT)
    _blend(rgb, rim & ~lit, WOOD_DARK)
    inner = _erode(~board, px) ^ ~board
    _blend(rgb, inner & ((vv < BOARD[1]) | (uu < BOARD[0])), WOOD_DARK)
    _blend(rgb, inner & (uu > BOARD[2]), WOOD_LIGHT)
    _blend(rgb, frame & ~_erode(frame, px), OUTLINE)

    # slate: a faint haze, one wiped smear across the middle, the frame's shadow top and left
    haze = value_noise(n, n, round(40 * k), 11) - 0.5
    smear_y = 122 + 8 * np.sin((uu - 24) / 50)
    band = np.clip(1 - np.abs(vv - smear_y) / 16, 0, 1) ** 1.5
    streaks = value_noise(n // 8 + 2, n, max(1, round(1.2 * k)), 12)[:, (np.arange(n) // 8)]
    slate = np.asarray(SLATE, np.float32) + (14 * haze + 9 * band * streaks)[..., None]
    shadow = np.clip(1 - np.minimum(vv - BOARD[1], uu - BOARD[0]) / (2.5 * 256 / size), 0, 1)
    slate *= (1 - 0.35 * shadow)[..., None]
    rgb[board] = slate[board]

    # chalk: a little dust around the strokes, then the strokes themselves
    white, white_soft = _chalk(n, k, WHITE_STROKES, 21, rough)
    yellow, yellow_soft = _chalk(n, k, YELLOW_STROKES, 31, rough)
    dust = np.asarray(Image.fromarray(((white_soft + yellow_soft) * 255).astype(np.uint8))
                      .filter(ImageFilter.GaussianBlur(5 * k)), np.float32) / 255
    _blend(rgb, board * dust * 0.16, (200, 210, 200))
    _blend(rgb, board * white, CHALK)
    _blend(rgb, board * yellow, YELLOW)

    # tray: a lit top, a grained front, an outline; the chalk stick lies on its top
    tray_grain = _wood_grain(uu, vv * 2.2, 8)[..., None]
    top = tray & (vv < TRAY_LIP)
    rgb[tray] = (np.asarray(WOOD, np.float32) * (1 - 0.25 * tray_grain)
                 * (1 - 0.25 * np.clip((vv - TRAY_LIP) / 20, 0, 1))[..., None])[tray]
    _blend(rgb, top, WOOD_LIGHT)
    if size >= 128:                               # at 64 px the lip would eat the lit top
        _blend(rgb, top & ~_erode(top, px), OUTLINE)
    _blend(rgb, tray & ~_erode(tray, px), OUTLINE)

    x0, y0, x1, y1 = STICK
    half = (y1 - y0) / 2
    _blend(rgb, _rect_mask(n, k, (x0 + 2, y0 + 3, x1 + 2, y1 + 2), half) & top, WOOD_DARK)
    stick = _rect_mask(n, k, STICK, half)
    _blend(rgb, stick, (90, 98, 94))
    body = _erode(stick, px)
    _blend(rgb, body, (238, 238, 228))
    _blend(rgb, body & (vv > y0 + half + 1), (196, 200, 190))
    _blend(rgb, body & (vv < y0 + half - 2) & (uu < x1 - half), (252, 252, 246))
    _blend(rgb, body & (uu > x1 - half * 0.8), (214, 214, 204))

    # averaged down with the colour weighted by coverage, so the outline keeps its colour
    a = alpha.astype(np.float32)
    planes = [rgb[..., c] * a for c in range(3)] + [a]
    small = [np.asarray(Image.fromarray(p, "F").resize((size, size), Image.BOX)) for p in planes]
    cover = np.maximum(small[3], 1e-6)
    out = [small[c] / cover for c in range(3)] + [small[3] * 255]
    return Image.fromarray(np.clip(np.round(np.dstack(out)), 0, 255).astype(np.uint8), "RGBA")


# ---------------------------------------------------------------------------------------------
# Pixelled sizes: 16, 24, 32 and 48, each placed by hand on its own grid

MAP_COLOURS = {
    "O": OUTLINE,
    "L": WOOD_LIGHT,
    "w": WOOD,
    "g": (118, 70, 32),     # grain in the wood
    "W": WOOD_DARK,
    "B": SLATE,
    "b": (22, 43, 35),      # slate in the frame's shadow
    "s": (40, 68, 57),      # a wiped smear
    "C": CHALK,
    "c": (204, 212, 204),   # chalk worn thin at a stroke's end
    "Y": YELLOW,
    "y": (214, 200, 70),
    "K": (238, 238, 228),   # the chalk stick, lit and shaded
    "k": (190, 194, 184),
    "G": (96, 104, 98),     # its edge and shadow on the tray
}

ICON16 = [
    ".LLLLLLLLLLLLLL.",
    "LBBBBBBBBBBBBBBW",
    "LBBBCBBBBBBCCBBW",
    "LBBCCBBBCBBBBCBW",
    "LBBBCBBCCCBBCBBW",
    "LBBBCBBBCBBCBBBW",
    "LBBBCBBBBBBCCCBW",
    "LBBBBBBBBBBBBBBW",
    "LBBBBBBBBYYYBBBW",
    "LBBBYYYBBBBYBBBW",
    "LBBBBBBBBBYYBBBW",
    "LBBBYYYBBBBYBBBW",
    "LBBBBBBBBYYYBBBW",
    "LBBBBBBBBBBBKKkW",
    "OLLLLLLLLLLLLLLO",
    ".WWWWWWWWWWWWWW.",
]

ICON24 = [
    "........................",
    "..OOOOOOOOOOOOOOOOOOOO..",
    ".OLLLLLLLLLLLLLLLLLLLLO.",
    ".OLbbbbbbbbbbbbbbbbbbWO.",
    ".OLbBCCBBBBCCBBBCCCBBWO.",
    ".OLbCCCBBBBCCBBCCBCCBWO.",
    ".OLbBCCBBCCCCCCBBBCCBWO.",
    ".OLbBCCBBCCCCCCBBCCBBWO.",
    ".OLbBCCBBBBCCBBBCCBBBWO.",
    ".OLbBCCBBBBCCBBCCCCCBWO.",
    ".OLbBBBBBBsssBBBBBBBBWO.",
    ".OLbBBBBBBBBBYYYYBBBBWO.",
    ".OLbBBYYYYYBBBBBYYBBBWO.",
    ".OLbBBBBBBBBBBYYYBBBBWO.",
    ".OLbBBBBBBBBBBBBYYBBBWO.",
    ".OLbBBYYYYYBBBBBYYBBBWO.",
    ".OLbBBBBBBBBBYYYYBBBBWO.",
    ".OLbBBBBBBBBBBBBBBBBBWO.",
    ".OLbBBBBBBBBBBBBBKKKkWO.",
    "OLLLLLLLLLLLLLLLLGGGGLLO",
    "OwwwggggwwwwwwgggwwwwwwO",
    "OWWWWWWWWWWWWWWWWWWWWWWO",
    ".OOOOOOOOOOOOOOOOOOOOOO.",
    "........................",
]

ICON32 = [
    "................................",
    "................................",
    "..OOOOOOOOOOOOOOOOOOOOOOOOOOOO..",
    ".OLLLLLLLLLLLLLLLLLLLLLLLLLLLLO.",
    ".OLbbbbbbbbbbbbbbbbbbbbbbbbbbWO.",
    ".OLbBBBBBBBBBBBBBBBBBBBBBBBBBWO.",
    ".OLbBBBBBCCBBBBBBBBBBCCCCBBBBWO.",
    ".OLbBBBBCCCCBBBBCCBBCCBBCCBBBWO.",
    ".OLbBBBCCBCCBBBBCCBBBBBBCCBBBWO.",
    ".OLbBBBBBBCCBBCCCCCCBBBCCBBBBWO.",
    ".OLbBBBBBBCCBBCCCCCCBBCCBBBBBWO.",
    ".OLbBBBBBBCCBBBBCCBBBCCBBBBBBWO.",
    ".OLbBBBBBBCCBBBBCCBBCCCCCCBBBWO.",
    ".OLbBBBBBBCCBBBBBBBBCCCCCCBBBWO.",
    ".OLbBBBBBBssssBBBBBBBBBBBBBBBWO.",
    ".OLbBBBsssBBBBBBBBBssssssBBBBWO.",
    ".OLbBBBBBBBBBBBBBBBYYYYBBBBBBWO.",
    ".OLbBBBBBBBBBBBBBBYYBBYYBBBBBWO.",
    ".OLbBBBBBYYYYYYBBBBBBBYYBBBBBWO.",
    ".OLbBBBBBYYYYYYBBBBBYYYBBBBBBWO.",
    ".OLbBBBBBBBBBBBBBBBBBBYYBBBBBWO.",
    ".OLbBBBBBYYYYYYBBBBBBBYYBBBBBWO.",
    ".OLbBBBBBYYYYYYBBBYYBBYYBBBBBWO.",
    ".OLbBBBBBBBBBBBBBBBYYYYBBBBBBWO.",
    ".OLbBBBBBBBBBBBBBBBBBBBBKKKKkWO.",
    ".OLbBBBBBBBBBBBBBBBBBBBBkkkkkWO.",
    "OLLLLLLLLLLLLLLLLLLLLLLLGGGGGLLO",
    "OwwwwggggwwwwwwwwwwggggwwwwwwwwO",
    "OWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWO",
    ".OOOOOOOOOOOOOOOOOOOOOOOOOOOOOO.",
    "................................",
    "................................",
]

ICON48 = [
    "................................................",
    "................................................",
    "................................................",
    "...OOOOOOOOOOOOOOOOOOOOOOOOOOOOOOOOOOOOOOOOOO...",
    "..OLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLO..",
    ".OLwwwwggggwwwwwwwwwwwwwwwwggggggwwwwwwwwwwwwWO.",
    ".OLwbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbwWO.",
    ".OLwbBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBwWO.",
    ".OLgbBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBwWO.",
    ".OLgbBBBBBBBcCCBBBBBBBBBBBBBBBBBcCCCcBBBBBBBwWO.",
    ".OLgbBBBBBBCCCCBBBBBBBBBBBBBBBCCCCCCCBBBBBBBwWO.",
    ".OLwbBBBBCCCCCCBBBBBBcCcBBBBBCCCBBBCCCBBBBBBwWO.",
    ".OLwbBBBCCCCCCCBBBBBBCCCBBBBBCCBBBBBCcCBBBBBwWO.",
    ".OLwbBBBcCBBCCCBBBBBBCCCBBBBBBBBBBBBCCCBBBBBwgO.",
    ".OLwbBBBBBBBCCCBBBcCCCCCCCcBBBBBBBBCCCBBBBBBwgO.",
    ".OLwbBBBBBBBCCCBBBCCCCCCCCCBBBBBBBCCCBBBBBBBwgO.",
    ".OLwbBBBBBBBCCCBBBcCCCCCCCcBBBBBBCCCBBBBBBBBwWO.",
    ".OLwbBBBBBBBCcCBBBBBBCCCBBBBBBBCCCBBBBBBBBBBwWO.",
    ".OLwbBBBBBBBCCCBBBBBBCCCBBBBBBCCCBBBBBBBBBBBwWO.",
    ".OLwbBBBBBBBCCCBBBBBBcCcBBBBBCCCCCCCCCCcBBBBwWO.",
    ".OLwbBBBBBBBCCCBBBBBBBBBBBBBBCCCCcCCCCCCBBBBwWO.",
    ".OLwbBBBBBBBCCCBBBBBBBBBBBBBBCCCCCCCCCCcBBBBwWO.",
    ".OLwbBBssssssBBBBBBBBsssssssBBBBBBBsssssBBBBwWO.",
    ".OLwbBBBBBBBssssssBBBBBBBBBBBBssssssssBBBBBBwWO.",
    ".OLgbBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBwWO.",
    ".OLgbBBBBBBBBBBBBBBBBBBBBBBBByYYYyBBBBBBBBBBwWO.",
    ".OLgbBBBBBBBBBBBBBBBBBBBBBBYYYYYYYYYBBBBBBBBwWO.",
    ".OLgbBBBBBBBByYYYYYYYYyBBBYYYBBBBBYYYBBBBBBBwWO.",
    ".OLwbBBBBBBBBYYYYYyYYYYBBBYYBBBBBBYYYBBBBBBBwWO.",
    ".OLwbBBBBBBBByYYYYYYYYyBBBBBBBBBBBYYYBBBBBBBwWO.",
    ".OLwbBBBBBBBBBBBBBBBBBBBBBBBBBBYYYYYBBBBBBBBwWO.",
    ".OLwbBBBBBBBBBBBBBBBBBBBBBBBBBBYYYYBBBBBBBBBwgO.",
    ".OLwbBBBBBBBByYYYYYYYYyBBBBBBBBYYYYYBBBBBBBBwgO.",
    ".OLwbBBBBBBBBYYYYYYYYYYBBBBBBBBBBBYyYBBBBBBBwgO.",
    ".OLwbBBBBBBBByYYYYYYYYyBBBYYBBBBBBYYYBBBBBBBwWO.",
    ".OLwbBBBBBBBBBBBBBBBBBBBBBYYYBBBBBYYYBBBBBBBwWO.",
    ".OLwbBBBBBBBBBBBBBBBBBBBBBBYYYYYYYYYBBBBBBBBwWO.",
    ".OLwbBBBBBBBBBBBBBBBBBBBBBBBByYYYyBBBBBBBBBBwWO.",
    ".OLwbBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBKKKKKKkwWO.",
    ".OLwbBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBkkkkkkkkwWO.",
    "OLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLGGGGGGGGLLLLO",
    "OwwwwwwwggggggwwwwwwwwwwwwwwwwwwggggggwwwwwwwwwO",
    "OwwwwwwwwwwwwwwwwwwggggggwwwwwwwwwwwwwwwwwggwwwO",
    "OWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWO",
    ".OOOOOOOOOOOOOOOOOOOOOOOOOOOOOOOOOOOOOOOOOOOOOO.",
    "................................................",
    "................................................",
    "................................................",
]

MAPS = {16: ICON16, 24: ICON24, 32: ICON32, 48: ICON48}


def icon(size):
    if size in MAPS:
        return from_map(MAPS[size], MAP_COLOURS)
    return paint(size)


# ---------------------------------------------------------------------------------------------
# The scalable icon: plain shapes, gradients and strokes only, so any icon theme renderer
# draws it (no filters, patterns or images)

def _hex(colour):
    return "#%02x%02x%02x" % tuple(colour)


def _rect(box, radius=0, **attrs):
    x0, y0, x1, y1 = box
    extra = "".join(f' {k.replace("_", "-")}="{v}"' for k, v in attrs.items())
    corner = f' rx="{radius}"' if radius else ""
    return f'<rect x="{x0}" y="{y0}" width="{x1 - x0}" height="{y1 - y0}"{corner}{extra}/>'


def _strokes(paths, transform=""):
    moved = f' transform="{transform}"' if transform else ""
    return "".join(f'<path d="{d}"{moved}/>' for d in paths)


def svg():
    fx0, fy0, fx1, fy1 = FRAME
    bx0, by0, bx1, by1 = BOARD
    tx0, ty0, tx1, ty1 = TRAY
    sx0, sy0, sx1, sy1 = STICK
    chalk = WHITE_STROKES + YELLOW_STROKES
    grain = ("M 20 21.5 C 60 20 100 23.5 140 21.5 S 210 20 236 22.5",
             "M 30 27 C 70 26 120 29 170 27 S 220 26 238 28",
             "M 14.5 40 C 13.5 80 16.5 130 14.5 206", "M 19.5 36 C 20.5 90 17.5 140 19.5 206",
             "M 236.5 40 C 237.5 90 234.5 140 236.5 206",
             "M 241.5 38 C 240.5 100 243.5 150 241.5 206",
             "M 12 224 C 60 222.5 110 226 160 224 S 230 222 246 225",
             "M 30 230 C 80 229 140 231.5 200 229.5 S 240 230 248 230.5")
    parts = [
        '<?xml version="1.0" encoding="UTF-8"?>',
        '<svg xmlns="http://www.w3.org/2000/svg" version="1.1" width="256" height="256" '
        'viewBox="0 0 256 256">',
        '<title>Chalkmere</title>',
        '<defs>',
        f'<linearGradient id="front" x1="0" y1="0" x2="0" y2="1"><stop offset="0" '
        f'stop-color="{_hex(WOOD)}"/><stop offset="1" stop-color="#704420"/></linearGradient>',
        '<linearGradient id="shadeTop" x1="0" y1="0" x2="0" y2="1"><stop offset="0" '
        'stop-color="#000" stop-opacity="0.35"/><stop offset="1" stop-color="#000" '
        'stop-opacity="0"/></linearGradient>',
        '<linearGradient id="shadeLeft" x1="0" y1="0" x2="1" y2="0"><stop offset="0" '
        'stop-color="#000" stop-opacity="0.35"/><stop offset="1" stop-color="#000" '
        'stop-opacity="0"/></linearGradient>',
        '<radialGradient id="haze"><stop offset="0" stop-color="#b4c8bc" '
        'stop-opacity="0.09"/><stop offset="1" stop-color="#b4c8bc" stop-opacity="0"/>'
        '</radialGradient>',
        '</defs>',
        # frame: outline, then the rim lit top and left, shaded bottom and right, then the wood
        _rect(FRAME, FRAME_RADIUS, fill=_hex(OUTLINE)),
        _rect((fx0 + 1, fy0 + 1, fx1 - 1, fy1 - 1), FRAME_RADIUS - 1, fill=_hex(WOOD_DARK)),
        _rect((fx0 + 1, fy0 + 1, fx1 - 3, fy1 - 3), FRAME_RADIUS - 1, fill=_hex(WOOD_LIGHT)),
        _rect((fx0 + 3, fy0 + 3, fx1 - 3, fy1 - 3), FRAME_RADIUS - 3, fill=_hex(WOOD)),
        '<g fill="none" stroke="#76461f" stroke-width="1.2" stroke-opacity="0.7">',
        _strokes(grain[:6]), '</g>',
        # the board sits below the frame: its edge is dark top and left, lit on the right
        _rect((bx0 - 1.5, by0 - 1.5, bx1, by1), fill=_hex(WOOD_DARK)),
        _rect((bx1, by0, bx1 + 1.5, by1), fill=_hex(WOOD_LIGHT)),
        _rect(BOARD, fill=_hex(SLATE)),
        f'<ellipse cx="{bx0 + 70}" cy="{by0 + 50}" rx="110" ry="80" fill="url(#haze)"/>',
        f'<ellipse cx="{bx1 - 40}" cy="{by1 - 50}" rx="80" ry="60" fill="url(#haze)"/>',
        '<g fill="none" stroke="#dfe8e0" stroke-linecap="round">',
        '<path d="M 34 122 C 80 110 150 134 222 116" stroke-width="24" stroke-opacity="0.05"/>',
        '<path d="M 40 117 C 90 106 150 128 214 111" stroke-width="1.5" stroke-opacity="0.05"/>',
        '<path d="M 44 126 C 96 116 156 137 218 121" stroke-width="1.5" stroke-opacity="0.05"/>',
        '</g>',
        _rect((bx0, by0, bx1, by0 + 6), fill="url(#shadeTop)"),
        _rect((bx0, by0, bx0 + 6, by1), fill="url(#shadeLeft)"),
        # chalk: a haze of dust, the strokes, then streaks where the stick skipped the slate
        '<g fill="none" stroke-linecap="round" stroke-linejoin="round">',
        '<g stroke="#c8d2c8" stroke-opacity="0.035">',
        f'<g stroke-width="{STROKE + 16}">{_strokes(chalk)}</g>',
        f'<g stroke-width="{STROKE + 8}">{_strokes(chalk)}</g>', '</g>',
        f'<g stroke="{_hex(CHALK)}" stroke-width="{STROKE}">', _strokes(WHITE_STROKES), '</g>',
        f'<g stroke="{_hex(YELLOW)}" stroke-width="{STROKE}">', _strokes(YELLOW_STROKES), '</g>',
        f'<g stroke="{_hex(SLATE)}" stroke-width="1.4" stroke-opacity="0.22">',
        f'<g stroke-dasharray="2 5 1 9 3 14 1 6">{_strokes(chalk, "translate(2 -3)")}</g>',
        f'<g stroke-dasharray="1 8 2 4 1 15">{_strokes(chalk, "translate(-3 2)")}</g>',
        f'<g stroke-dasharray="1 11 2 7">{_strokes(chalk, "translate(0.5 4.5)")}</g>',
        '</g></g>',
        # the tray: a lit top, a grained front that darkens downwards, an outline
        _rect(TRAY, TRAY_RADIUS, fill="url(#front)", stroke=_hex(OUTLINE), stroke_width="1.5"),
        _rect((tx0 + 0.75, ty0 + 0.75, tx1 - 0.75, TRAY_LIP), 3, fill=_hex(WOOD_LIGHT)),
        f'<path d="M {tx0} {TRAY_LIP} H {tx1}" stroke="{_hex(OUTLINE)}" stroke-width="1.5"/>',
        '<g fill="none" stroke="#76461f" stroke-width="1.2" stroke-opacity="0.7">',
        _strokes(grain[6:]), '</g>',
        # a piece of chalk lying on the tray, casting a little shadow on it
        _rect((sx0 + 2, sy0 + 3, sx1 + 2, sy1 + 2), (sy1 - sy0) / 2, fill=_hex(WOOD_DARK),
              fill_opacity="0.7"),
        _rect(STICK, (sy1 - sy0) / 2, fill="#5a625e"),
        _rect((sx0 + 1, sy0 + 1, sx1 - 1, sy1 - 1), (sy1 - sy0) / 2 - 1, fill="#eeeee4"),
        f'<path d="M {sx0 + 1.5} {sy0 + 8} H {sx1 - 1.5} A 5.5 5 0 0 1 {sx1 - 7} {sy1 - 1} '
        f'H {sx0 + 7} A 5.5 5 0 0 1 {sx0 + 1.5} {sy0 + 8} Z" fill="#c4c8be"/>',
        _rect((sx0 + 7, sy0 + 2.5, sx1 - 9, sy0 + 5), 1.25, fill="#fcfcf6"),
        f'<ellipse cx="{sx1 - 5.5}" cy="{(sy0 + sy1) / 2}" rx="4.5" ry="6" fill="#d6d6cc"/>',
        '</svg>',
    ]
    return "\n".join(parts) + "\n"


# ---------------------------------------------------------------------------------------------
# Maskable web icon: a launcher may cut it to a circle, a squircle or a rounded square, and
# promises to keep only the circle of 40 % radius around the centre, so the whole board must
# fit inside that circle; the wood around it carries the frame out to the edges

SAFE_RADIUS = 0.4


def _reach():
    """The design's centre and its farthest point from it, in view-box units."""
    cx = (TRAY[0] + TRAY[2]) / 2
    cy = (FRAME[1] + TRAY[3]) / 2
    r = TRAY_RADIUS                                   # its bottom corners reach farthest
    corner = np.hypot(cx - (TRAY[0] + r), TRAY[3] - r - cy) + r
    return cx, cy, corner


def maskable(size):
    """The board in the safe circle of a `size` px square of wall panelling."""
    cx, cy, reach = _reach()
    # two pixels of the safe radius are left for the board's soft edge
    board_px = int((SAFE_RADIUS * size - 2) * 256 / reach)
    board = paint(board_px)
    scale = board_px / 256
    left = round(size / 2 - cx * scale)
    top = round(size / 2 - cy * scale)

    # dark boards running across, so the lighter frame and its outline stand clear of them
    v, u = np.mgrid[0:size, 0:size].astype(np.float32) * (256 / size)
    lines = _wood_grain(u, v * 2.2, 41)[..., None]
    warmth = value_noise(size, size, size // 8, 42)[..., None] - 0.5
    wall = np.asarray(WOOD_DARK, np.float32) * (0.92 + 0.1 * warmth - 0.22 * lines)
    seams = (np.arange(size) % (size // 4) < max(1, size // 256))[:, None, None]
    wall = np.where(seams, np.asarray(OUTLINE, np.float32), wall)
    # a soft shadow under the board, as if it hung a finger's breadth off the wall
    alpha = np.zeros((size, size), np.float32)
    alpha[top:top + board_px, left:left + board_px] = np.asarray(board, np.float32)[..., 3] / 255
    blur = max(1, size // 64)
    shadow = Image.fromarray(np.round(alpha * 255).astype(np.uint8))
    shadow = np.asarray(shadow.filter(ImageFilter.GaussianBlur(blur)), np.float32) / 255
    shadow = np.roll(shadow, (blur, blur // 2), axis=(0, 1))
    wall *= (1 - 0.45 * shadow)[..., None]

    image = Image.fromarray(np.clip(np.round(wall), 0, 255).astype(np.uint8), "RGB")
    image = image.convert("RGBA")
    image.alpha_composite(board, (left, top))

    ys, xs = np.nonzero(alpha > 0)
    worst = np.hypot(xs + 0.5 - size / 2, ys + 0.5 - size / 2).max()
    assert worst <= SAFE_RADIUS * size, f"the board leaves the safe circle ({worst:.1f} px)"
    return image


# ---------------------------------------------------------------------------------------------
# Contact sheet: every size at 1:1, then the pixelled ones enlarged, on a light and a dark ground

GROUNDS = ((236, 234, 228), (44, 44, 48))
ZOOMS = {16: 8, 24: 6, 32: 4, 48: 3, 64: 2}
GAP = 16


def contact_sheet(icons):
    font = ImageFont.truetype("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", 11)
    rows = [[(icons[n], f"{n}") for n in SIZES],
            [(icons[n].resize((n * z, n * z), Image.NEAREST), f"{n} x{z}")
             for n, z in ZOOMS.items()]]
    row_w = [GAP + sum(im.width + GAP for im, _ in row) for row in rows]
    row_h = [max(im.height for im, _ in row) + GAP + 14 for row in rows]
    panel = (max(row_w), GAP + sum(row_h))
    sheet = Image.new("RGB", (panel[0], panel[1] * len(GROUNDS)))
    for g, ground in enumerate(GROUNDS):
        top = g * panel[1]
        sheet.paste(ground, (0, top, panel[0], top + panel[1]))
        draw = ImageDraw.Draw(sheet)
        label = tuple(255 - c for c in ground)
        y = top + GAP
        for row, height in zip(rows, row_h):
            x = GAP
            for im, text in row:
                base = y + height - GAP - 14         # sizes stand on one line
                sheet.paste(im, (x, base - im.height), im)
                draw.text((x, base + 3), text, font=font, fill=label)
                x += im.width + GAP
            y += height
    return sheet


def ico(icons):
    """An icon file of every size: 32-bit images with alpha, the 256 px one as PNG."""
    images = []
    for size in sorted(icons):
        image = icons[size]
        if size >= 256:
            png = io.BytesIO()
            image.save(png, "PNG", optimize=True)
            images.append((size, png.getvalue()))
            continue
        # BGRA rows bottom-up, then the AND mask (clear: the alpha decides), rows of 4 bytes
        bgra = image.transpose(Image.FLIP_TOP_BOTTOM).tobytes("raw", "BGRA")
        mask = bytes(((size + 31) // 32 * 4) * size)
        header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 32, 0,
                             len(bgra) + len(mask), 0, 0, 0, 0)
        images.append((size, header + bgra + mask))
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b"".join(data for _, data in images)


def generate(out_dir):
    """Writes every size, the SVG, the contact sheet and the web icons under `out_dir`."""
    icons = {}
    for size in SIZES:
        image = icon(size)
        assert image.size == (size, size) and image.mode == "RGBA", size
        folder = os.path.join(out_dir, "hicolor", f"{size}x{size}", "apps")
        os.makedirs(folder, exist_ok=True)
        image.save(os.path.join(folder, "chalkmere.png"), optimize=True)
        icons[size] = image
    folder = os.path.join(out_dir, "hicolor", "scalable", "apps")
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "chalkmere.svg"), "w", encoding="utf-8") as out:
        out.write(svg())
    contact_sheet(icons).save(os.path.join(out_dir, "icon-sheet.png"), optimize=True)
    with open(os.path.join(out_dir, "chalkmere.ico"), "wb") as out:
        out.write(ico(icons))

    folder = os.path.join(out_dir, "web")
    os.makedirs(folder, exist_ok=True)
    for size in WEB_SIZES:
        paint(size).save(os.path.join(folder, f"chalkmere-{size}.png"), optimize=True)
    maskable(MASKABLE_SIZE).save(
        os.path.join(folder, f"chalkmere-maskable-{MASKABLE_SIZE}.png"), optimize=True)


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit("usage: app_icons.py <out_dir>")
    generate(sys.argv[1])
