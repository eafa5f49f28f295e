"""Draws the small bitmaps of the game (star, ticks, buttons, exit box, check-mark strip) and
the program icon, and writes them as palettised BMPs into an art folder.

Usage: /usr/bin/python3 pieces.py <art_dir>

Everything is drawn as RGBA. Shapes that sit on the key colour keep hard edges (alpha is
either 0 or 255); inside a shape they may be shaded. The tiny pieces are pixelled by hand
from character maps because no rasteriser beats that at 10-16 pixels.
"""

import os
import struct
import sys

import numpy as np
from PIL import Image, ImageDraw, ImageFont

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import common  # noqa: E402
import languages  # noqa: E402
import lettering  # noqa: E402

FONT_DIR = "/usr/share/fonts/truetype/dejavu"
CLEAR = (0, 0, 0, 0)


# ---------------------------------------------------------------------------------------------
# Helpers

def _rgba(colour):
    return tuple(colour) + (255,) if len(colour) == 3 else tuple(colour)


def from_map(rows, colours):
    """An RGBA image from a character map; '.' is transparent, other characters name colours."""
    height, width = len(rows), len(rows[0])
    image = Image.new("RGBA", (width, height), CLEAR)
    for y, row in enumerate(rows):
        assert len(row) == width, f"map row {y} is {len(row)} wide, not {width}"
        for x, char in enumerate(row):
            if char != ".":
                image.putpixel((x, y), _rgba(colours[char]))
    return image


def value_noise(width, height, cell, seed):
    """Smooth noise in [0, 1): random values on a coarse grid, bilinearly stretched."""
    rng = np.random.default_rng(seed)
    grid = rng.random((height // cell + 2, width // cell + 2)).astype(np.float32)
    big = Image.fromarray(grid, "F").resize(
        ((grid.shape[1] - 1) * cell + 1, (grid.shape[0] - 1) * cell + 1), Image.BILINEAR)
    return np.asarray(big, dtype=np.float32)[:height, :width]


def grain(width, height, seed):
    """Per-pixel white noise in [0, 1)."""
    return np.random.default_rng(seed).random((height, width)).astype(np.float32)


def coverage(width, height, paint, scale=8):
    """Draws with `paint(draw, scale)` on a supersampled canvas; returns coverage in [0, 1]."""
    big = Image.new("L", (width * scale, height * scale), 0)
    paint(ImageDraw.Draw(big), scale)
    small = big.resize((width, height), Image.BOX)
    return np.asarray(small, dtype=np.float32) / 255.0


def compose(layers, size):
    """Stacks (mask, colour) layers into an RGBA image; later layers cover earlier ones.

    A colour may be one RGB tuple or an (h, w, 3) array of per-pixel colours.
    """
    width, height = size
    out = np.zeros((height, width, 4), dtype=np.uint8)
    for mask, colour in layers:
        mask = np.asarray(mask, dtype=bool)
        colour = np.asarray(colour, dtype=np.float32)
        if colour.ndim == 1:
            out[mask, :3] = np.clip(np.round(colour), 0, 255).astype(np.uint8)
        else:
            out[mask, :3] = np.clip(np.round(colour[mask]), 0, 255).astype(np.uint8)
        out[mask, 3] = 255
    return Image.fromarray(out, "RGBA")


def shift(mask, dx, dy):
    """The mask moved by (dx, dy) pixels, filling with False."""
    out = np.zeros_like(mask)
    h, w = mask.shape
    out[max(dy, 0):h + min(dy, 0), max(dx, 0):w + min(dx, 0)] = \
        mask[max(-dy, 0):h - max(dy, 0), max(-dx, 0):w - max(dx, 0)]
    return out


def side_by_side(*faces):
    width = sum(f.width for f in faces)
    strip = Image.new("RGBA", (width, faces[0].height), CLEAR)
    x = 0
    for face in faces:
        strip.paste(face, (x, 0))
        x += face.width
    return strip


# ---------------------------------------------------------------------------------------------
# Star (118): 15 x 15, plump, darker outline

STAR_MAP = [
    ".......O.......",
    "......OHO......",
    ".....OHYYO.....",
    ".....OHYYO.....",
    "OOOOOHYYYYOOOOO",
    "OHHHHYYYYYYYYSO",
    ".OHYYYYYYYYYSO.",
    "..OYYYYYYYYSO..",
    "...OYYYYYYYO...",
    "...OYYYYYYSO...",
    "..OYYYYYYYYSO..",
    "..OYYYSOSYYSO..",
    ".OYYYSO.OSYYSO.",
    ".OYSOO...OOSSO.",
    ".OOO.......OOO.",
]
STAR_COLOURS = {
    "O": (150, 78, 12),    # warm brown outline: reads on slate and on the light sheet
    "Y": (255, 212, 36),
    "H": (255, 244, 150),
    "S": (232, 152, 22),
}


def star():
    return from_map(STAR_MAP, STAR_COLOURS)


# ---------------------------------------------------------------------------------------------
# Tick (122): 10 x 10, dark-red hand-drawn check for the light painted boxes

TICK_MAP = [
    "..........",
    "........dD",
    ".......dDd",
    "......dDD.",
    "dd...dDD..",
    "DDd.dDD...",
    ".DDdDD....",
    "..DDDd....",
    "...DD.....",
    "..........",
]
TICK_COLOURS = {
    "D": (140, 18, 22),
    "d": (176, 40, 40),
}


def tick():
    return from_map(TICK_MAP, TICK_COLOURS)


# ---------------------------------------------------------------------------------------------
# Exit box (144): 20 x 20, opaque, white cross on dark red with a lighter bevel

EXIT_FACE = (150, 24, 28)
EXIT_LIGHT = (214, 84, 74)
EXIT_MID_LIGHT = (182, 50, 48)
EXIT_DARK = (104, 12, 18)
EXIT_EDGE = (66, 6, 10)
EXIT_WHITE = (252, 250, 244)
EXIT_SHADOW = (96, 10, 16)


def exit_box():
    size = 20
    ys, xs = np.mgrid[0:size, 0:size]
    # a three-pixel rim: the outermost pixel a dark edge, inside it the top and left lit and
    # the bottom and right in shade, split along the corner diagonals
    depth = np.minimum(np.minimum(xs, ys), np.minimum(size - 1 - xs, size - 1 - ys))
    to_lit, to_dark = np.minimum(xs, ys), np.minimum(size - 1 - xs, size - 1 - ys)
    lit = (to_lit < to_dark) | ((to_lit == to_dark) & (xs < ys))
    layers = [(depth > 2, EXIT_FACE),
              ((depth == 1) & lit, EXIT_LIGHT), ((depth == 2) & lit, EXIT_MID_LIGHT),
              ((depth >= 1) & (depth <= 2) & ~lit, EXIT_DARK), (depth == 0, EXIT_EDGE)]

    # the cross is pixelled, not rasterised: two three-pixel diagonals stay crisp at 20 x 20
    span = (xs >= 5) & (xs <= 14) & (ys >= 5) & (ys <= 14)
    ink = span & ((np.abs(xs - ys) <= 1) | (np.abs(xs + ys - 19) <= 1))
    layers.append((shift(ink, 1, 1) & ~ink, EXIT_SHADOW))
    layers.append((ink, EXIT_WHITE))
    return compose(layers, (size, size))


# ---------------------------------------------------------------------------------------------
# Settings button (145): two 40 x 35 faces, a grey key with a red rising chart arrow

TILE_W, TILE_H = 40, 35


def tile_face(pressed, symbol):
    """One face of a grey key; `symbol(blend, ox, oy)` paints what is on it, with
    `blend(coverage, colour)` and the key's offset (one pixel when pressed)."""
    w, h = TILE_W, TILE_H
    tw, th = 39, 34                      # the key itself; the spare pixel is its shadow
    ox, oy = (1, 1) if pressed else (0, 0)
    ys, xs = np.mgrid[0:h, 0:w].astype(np.float32)
    lx, ly = xs - ox, ys - oy            # key-local coordinates

    def rounded(draw, s, inset=0.0, r=4.0, x0=0.0, y0=0.0):
        draw.rounded_rectangle([(x0 + inset) * s, (y0 + inset) * s,
                                (x0 + tw - inset) * s - 1, (y0 + th - inset) * s - 1],
                               radius=r * s, fill=255)

    body = coverage(w, h, lambda d, s: rounded(d, s, 0, 4.5, ox, oy)) >= 0.5
    inner = coverage(w, h, lambda d, s: rounded(d, s, 1, 3.5, ox, oy)) >= 0.5
    face = coverage(w, h, lambda d, s: rounded(d, s, 3, 1.0, ox, oy)) >= 0.5
    layers = []
    if not pressed:
        shadow = shift(body, 1, 1) & ~body
        layers.append((shadow, (16, 30, 24)))
    # each bevel pixel takes the light of its nearest edge: top and left lit, bottom and right not
    near_lit = np.minimum(lx, ly)
    near_dark = np.minimum(tw - 1 - lx, th - 1 - ly)
    slope = inner & ~face
    upper = slope & ((near_lit < near_dark) | ((near_lit == near_dark) & (lx < ly)))
    bevel = np.where(upper[..., None], (236, 239, 240), (128, 133, 138))
    vertical = np.clip(ly / th, 0, 1)[..., None]
    face_col = (206, 210, 213) * (1 - vertical) + (176, 181, 186) * vertical
    layers += [(body, (62, 68, 72)), (slope, bevel), (face, face_col)]

    img = compose(layers, (w, h))
    rgb = np.asarray(img, dtype=np.float32)[..., :3].copy()
    alpha = np.asarray(img)[..., 3].copy()

    def blend(cov, colour):
        nonlocal rgb
        cov = np.clip(cov, 0, 1)[..., None] * face[..., None]
        rgb = rgb * (1 - cov) + np.asarray(colour, np.float32) * cov

    symbol(blend, ox, oy)
    if pressed:
        rgb = rgb * 0.80
    out = np.dstack([np.clip(np.round(rgb), 0, 255), alpha]).astype(np.uint8)
    return Image.fromarray(out, "RGBA")


def _chart(blend, ox, oy):
    """Faint grid, axis, then the arrow on top (anti-aliased against the face)."""
    w, h = TILE_W, TILE_H

    def grid(draw, s):
        for gy in (12, 18, 24):
            draw.line([(ox + 8) * s, (oy + gy + 0.5) * s, (ox + 32) * s, (oy + gy + 0.5) * s],
                      fill=255, width=s)
    blend(coverage(w, h, grid) * 0.35, (150, 156, 162))

    def axis(draw, s):
        draw.line([(ox + 7.5) * s, (oy + 7) * s, (ox + 7.5) * s, (oy + 28.5) * s,
                   (ox + 33) * s, (oy + 28.5) * s], fill=255, width=int(1.6 * s), joint="curve")
    blend(coverage(w, h, axis), (92, 98, 104))

    path = [(10.5, 25.0), (16.5, 18.5), (21.0, 22.0), (29.0, 11.5)]
    head = [(33.0, 6.5), (33.5, 15.5), (25.0, 9.5)]

    def arrow(draw, s, grow=0.0):
        pts = [((ox + x) * s, (oy + y) * s) for x, y in path]
        draw.line(pts, fill=255, width=int((3.0 + 2 * grow) * s), joint="curve")
        r = (1.5 + grow) * s
        for px, py in pts:
            draw.ellipse([px - r, py - r, px + r, py + r], fill=255)
        hx = [(ox + x) * s for x, _ in head]
        hy = [(oy + y) * s for _, y in head]
        cx, cy = sum(hx) / 3, sum(hy) / 3
        grown = [(x + (x - cx) * grow * 0.35, y + (y - cy) * grow * 0.35) for x, y in zip(hx, hy)]
        draw.polygon(grown, fill=255)

    blend(coverage(w, h, lambda d, s: arrow(d, s, 1.0)), (120, 14, 16))
    blend(coverage(w, h, arrow), (214, 38, 34))

    def shine(draw, s):
        draw.line([(ox + 11.2) * s, (oy + 23.6) * s, (ox + 16.2) * s, (oy + 17.6) * s],
                  fill=255, width=int(0.9 * s))
    blend(coverage(w, h, shine) * 0.7, (246, 120, 104))


def settings_button():
    return side_by_side(tile_face(False, _chart), tile_face(True, _chart))


# ---------------------------------------------------------------------------------------------
# OK (146) and RESET (147): fat yellow chalk letters, bright resting face, darker pressed face

LETTER_SIZE = 22
LETTER_BRIGHT = {"base": (252, 232, 64), "light": (255, 250, 160), "dim": (222, 190, 40)}
LETTER_PRESSED = {"base": (222, 176, 36), "light": (236, 198, 84), "dim": (188, 138, 24)}
LETTER_SHADOW = (16, 30, 24)
LETTER_SIZES = tuple(range(LETTER_SIZE, 13, -1))   # shrunk as far as 14 px for long words
LETTER_MARGIN = 4        # clear pixels between the letters (with their shadow) and the ends


def _letters(word, size, width, height, seed, caps_only=False):
    """Coverage of the word set letter by letter, each turned and lifted a little by hand.

    With `caps_only`, whatever a letter has above the capitals or below the baseline (accents,
    tails) is left out, so the word can be centred by its capitals like an English one."""
    scale = 4
    font = ImageFont.truetype(os.path.join(FONT_DIR, "DejaVuSans-Bold.ttf"), size * scale)
    rng = np.random.default_rng(seed)
    advances = [font.getlength(ch) for ch in word]
    total = sum(advances) + (len(word) - 1) * 0.5 * scale
    big = Image.new("L", (width * scale, height * scale), 0)
    _, top, _, bottom = font.getbbox("E")
    x = (width * scale - total) / 2
    y = (height * scale - (bottom - top)) / 2 - top
    for ch, advance in zip(word, advances):
        angle = float(rng.uniform(-3.0, 3.0))
        lift = float(rng.integers(-1, 2)) * scale * 0.5
        glyph = Image.new("L", big.size, 0)
        ImageDraw.Draw(glyph).text((x, y + lift), ch, font=font, fill=255)
        if caps_only:
            cut = np.asarray(glyph).copy()
            cut[:round(y + lift + top - scale)] = 0
            cut[round(y + lift + bottom + scale):] = 0
            glyph = Image.fromarray(cut)
        cx = x + advance / 2
        glyph = glyph.rotate(angle, resample=Image.BICUBIC, center=(cx, height * scale / 2))
        big = Image.fromarray(np.maximum(np.asarray(big), np.asarray(glyph)))
        x += advance + 0.5 * scale
    return np.asarray(big.resize((width, height), Image.BOX), np.float32) / 255.0


def _reaches_out(word, size):
    """True when a letter of the word rises above the capitals or hangs below the baseline."""
    font = ImageFont.truetype(os.path.join(FONT_DIR, "DejaVuSans-Bold.ttf"), size)
    _, cap, _, _ = font.getbbox("H", anchor="ls")
    return any(t < cap - 1 or b > 1 for ch in word
               for _, t, _, b in [font.getbbox(ch, anchor="ls")])


def _placed(word, size, width, height, seed):
    """The word's coverage and the shift that centres it in the face, counting the pixel of
    shadow: by its ink across (side bearings differ per letter), its capitals up and down."""
    cov = _letters(word, size, width, height, seed)
    ys, xs = np.nonzero(cov >= 0.5)
    if _reaches_out(word, size):
        ys = np.nonzero(_letters(word, size, width, height, seed, caps_only=True) >= 0.5)[0]
    dx = (width - 2 - xs.max() - xs.min()) // 2
    dy = (height - 2 - ys.max() - ys.min()) // 2
    return cov, dx, dy


def _fits(word, size, width, height, seed):
    """True when the letters and their pixel of shadow keep LETTER_MARGIN clear at both ends
    and a pixel clear at the top and bottom."""
    cov, dx, dy = _placed(word, size, width, height, seed)
    ys, xs = np.nonzero(cov >= 0.35)    # what roughening can turn into chalk
    return (xs.min() + dx >= LETTER_MARGIN and xs.max() + dx + 2 <= width - LETTER_MARGIN and
            ys.min() + dy >= 1 and ys.max() + dy + 2 <= height - 1)


def _chalk_word(word, width, height, seed):
    """Outline mask, bare grains and tones of a word in chalk letters, centred in a face."""
    font = ImageFont.truetype(os.path.join(FONT_DIR, "DejaVuSans-Bold.ttf"), LETTER_SIZE)
    lettering.require_glyphs(word, font)
    size = lettering.fit(word, LETTER_SIZES, lambda s: _fits(word, s, width, height, seed))
    cov, dx, dy = _placed(word, size, width, height, seed)
    cov = shift(cov, dx, dy)
    rough = value_noise(width, height, 2, seed + 1) - 0.5
    mask = cov + 0.3 * rough >= 0.5
    # lit from the top left like the tile: a light rim up there, a dim one down the other side;
    # inside, thin diagonal streaks of fuller chalk and a few bare grains of board
    ys, xs = np.mgrid[0:height, 0:width]
    streak = value_noise(width, height + width // 2, 2, seed + 2)[ys + xs // 2, xs]
    speck = grain(width, height, seed + 3)
    tone = np.full((height, width), 1)               # 0 dim, 1 base, 2 light
    tone[streak > 0.78] = 2
    tone[mask & ~shift(mask, 1, 1)] = 2
    tone[mask & ~shift(mask, -1, -1)] = 0
    inner = mask & shift(mask, 1, 0) & shift(mask, -1, 0) & shift(mask, 0, 1) & shift(mask, 0, -1)
    holes = inner & (speck < 0.035)
    return mask, holes, tone


def _word_button(word, width, seed):
    height = 30
    mask, holes, tone = _chalk_word(word, width, height, seed)

    def face(dx, colours, shadow):
        shape = shift(mask, dx, dx)
        chalk = shape & ~shift(holes, dx, dx)
        tones = shift(tone, dx, dx)
        # the shadow follows the letters' outline, so bare grains never show it
        layers = [(shift(shape, 1, 1) & ~shape, LETTER_SHADOW)] if shadow else []
        for level, name in enumerate(("dim", "base", "light")):
            layers.append((chalk & (tones == level), colours[name]))
        return compose(layers, (width, height))

    # pressed: darker, one pixel down and to the right, onto where the shadow was
    return side_by_side(face(0, LETTER_BRIGHT, True), face(1, LETTER_PRESSED, False))


def ok_button(words):
    return _word_button(words.caption("OK"), 60, 146)


def reset_button(words):
    return _word_button(words.caption("RESET"), 90, 147)


# ---------------------------------------------------------------------------------------------
# Check-mark animation (115): four 100 x 100 frames, one chalk stroke drawn further each frame

CHALK_TONES = [(186, 194, 190), (218, 222, 216), (238, 240, 234), (252, 252, 248)]
STICK_TONES = {"edge": (112, 124, 120), "shade": (192, 198, 192), "body": (234, 236, 228),
               "light": (252, 252, 248), "end": (214, 218, 210)}
STICK_DIRECTION = (0.36, 0.93)        # from the tip towards the hand: down and to the right


def _bezier(p0, p1, p2, n):
    t = np.linspace(0, 1, n)[:, None]
    return (1 - t) ** 2 * np.array(p0) + 2 * (1 - t) * t * np.array(p1) + t ** 2 * np.array(p2)


def _tick_path():
    """Samples of the tick's centre line, their arc lengths and stroke radii, and the lengths
    drawn by the end of each frame."""
    short = _bezier((12, 48), (22, 59), (32, 71), 90)
    turn = _bezier((32, 71), (40, 86), (49, 69), 60)[1:]
    long = _bezier((49, 69), (65, 40), (86, 13), 240)[1:]
    points = np.vstack([short, turn, long])
    steps = np.r_[0, np.cumsum(np.hypot(*np.diff(points, axis=0).T))]
    length = steps[-1]
    s = steps / length
    # pressed hard at the start, easing off up the long arm, a light flick at the end
    radius = 6.6 - 1.8 * s - 1.6 * np.clip((s - 0.8) / 0.2, 0, 1) ** 1.5
    turn_end = steps[len(short) + len(turn) - 2]
    marks = [steps[len(short) - 1], turn_end, turn_end + (length - turn_end) / 2, length]
    return points, steps, radius, marks


def _stick(end, lift=0.0):
    """A chalk stick with its worn tip at `end` (moved `lift` pixels back along its body)."""
    w = h = 100
    dx, dy = STICK_DIRECTION
    ex, ey = end[0] + dx * lift, end[1] + dy * lift
    length, half = 15.0, 4.0
    nx, ny = -dy, dx                       # across the stick

    def body(draw, s, grow=0.0):
        a = (ex - dx * grow, ey - dy * grow)
        b = (ex + dx * (length + grow), ey + dy * (length + grow))
        tip, hw = (half * 0.7 + grow), half + grow
        poly = [(a[0] + nx * tip, a[1] + ny * tip), (b[0] + nx * hw, b[1] + ny * hw),
                (b[0] - nx * hw, b[1] - ny * hw), (a[0] - nx * tip, a[1] - ny * tip)]
        draw.polygon([(x * s, y * s) for x, y in poly], fill=255)
        r = hw * s
        draw.ellipse([b[0] * s - r, b[1] * s - r, b[0] * s + r, b[1] * s + r], fill=255)

    outline = coverage(w, h, lambda d, s: body(d, s, 1.0)) >= 0.5
    inside = coverage(w, h, body) >= 0.5
    ys, xs = np.mgrid[0:h, 0:w].astype(np.float32)
    across = (xs - ex) * nx + (ys - ey) * ny
    along = (xs - ex) * dx + (ys - ey) * dy
    tone = np.where(across > half * 0.4, 0, np.where(across < -half * 0.3, 3, 2))
    tone = np.where(along > length - 0.5, 1, tone)   # the round far end, a little in shadow
    colours = np.array([STICK_TONES["shade"], STICK_TONES["end"], STICK_TONES["body"],
                        STICK_TONES["light"]], np.float32)
    return outline, inside, colours[tone]


def check_mark():
    w = h = 100
    points, steps, radius, marks = _tick_path()
    ys, xs = np.mgrid[0:h, 0:w].astype(np.float32)
    gap = np.hypot(xs[..., None] - points[:, 0], ys[..., None] - points[:, 1]) - radius
    nearest = np.argmin(gap, axis=2)
    tangent = np.gradient(points, axis=0)
    tangent /= np.hypot(tangent[:, 0], tangent[:, 1])[:, None]
    tx, ty = tangent[nearest, 0], tangent[nearest, 1]
    rel_x, rel_y = xs - points[nearest, 0], ys - points[nearest, 1]
    across = (rel_x * -ty + rel_y * tx) / radius[nearest]        # -1 .. 1 over the width
    along = steps[nearest]

    # ragged edges: the threshold on the distance wobbles a little from pixel to pixel
    edge = (value_noise(w, h, 3, 115) - 0.5) * 1.4 + (grain(w, h, 116) - 0.5) * 0.9
    # chalk skips over the board's grain in lines that run with the stroke
    streaks = value_noise(48, 360, 6, 117)
    ai = np.clip(((across + 1.3) * 16).astype(int), 0, 47)
    si = np.clip(along.astype(int), 0, 359)
    streak = streaks[si, ai]
    speck = grain(w, h, 118)
    tone = np.full((h, w), 3)
    tone[streak < 0.36] = 2
    tone[(streak < 0.2) | (speck < 0.05)] = 1
    tone[(np.abs(across) > 0.8) & (tone == 3)] = 2
    # lighter pressure up the long arm lets more of the board show through
    pressure = along / steps[-1]
    holes = (speck > 0.993) | ((np.abs(across) > 0.75) & (speck > 0.93)) | \
        (streak < 0.06 + 0.1 * pressure)
    colours = np.array(CHALK_TONES, np.float32)[tone]

    frames = []
    for number, mark in enumerate(marks):
        reach = steps <= mark + 1e-6
        inside = (np.where(reach, gap, np.inf).min(axis=2) < edge) & ~holes
        end = points[np.nonzero(reach)[0][-1]]
        # in the last frame the chalk has just left the board
        outline, stick_in, stick_col = _stick(end, 2.5 if number == 3 else 0.0)
        layers = [(inside, colours), (outline, STICK_TONES["edge"]), (stick_in, stick_col)]
        frames.append(compose(layers, (w, h)))
    return side_by_side(*frames)


# ---------------------------------------------------------------------------------------------
# Icon (101): a tiny framed blackboard with a sum in chalk, at 32 x 32 and 16 x 16

ICON_COLOURS = {
    "W": (92, 52, 22),      # wood, dark
    "w": (150, 92, 44),     # wood
    "l": (196, 136, 72),    # wood, light edge
    "B": (30, 56, 46),      # slate
    "C": (246, 246, 238),   # chalk
    "c": (176, 190, 182),   # chalk, faint
    "Y": (253, 236, 64),    # yellow chalk
}

ICON32_MAP = [
    "................................",
    "................................",
    ".llllllllllllllllllllllllllllll.",
    "lwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwW",
    "lwWWWWWWWWWWWWWWWWWWWWWWWWWWWWwW",
    "lwWBBBBBBBBBBBBBBBBBBBBBBBBBBlwW",
    "lwWBBBBBBBBBBBBBBBBBBBBBBBBBBlwW",
    "lwWBBBBBCCBBBBBBBBBBBCCCBBBBBlwW",
    "lwWBBBBCCCBBBBBCCBBBCCBCCBBBBlwW",
    "lwWBBBBBCCBBBBBCCBBBBBBCCBBBBlwW",
    "lwWBBBBBCCBBBCCCCCCBBBCCBBBBBlwW",
    "lwWBBBBBCCBBBCCCCCCBBCCBBBBBBlwW",
    "lwWBBBBBCCBBBBBCCBBBCCBBBBBBBlwW",
    "lwWBBBBCCCCBBBBCCBBBCCCCCBBBBlwW",
    "lwWBBBBBBBBBBBBBBBBBBBBBBBBBBlwW",
    "lwWBBBBBBBBBBBBBBBBBBBBBBBBBBlwW",
    "lwWBBBBBBBBBBBBBBBBBBBBBBBBBBlwW",
    "lwWBBBBBBBBBBBBBBBBBBBBBBBBBBlwW",
    "lwWBBBBBBBBBBBBBYYYYBBBBBBBBBlwW",
    "lwWBBBBBBBYYYYYBBBBYYBBBBBBBBlwW",
    "lwWBBBBBBBYYYYYBBBBYYBBBBBBBBlwW",
    "lwWBBBBBBBBBBBBBBYYYBBBBBBBBBlwW",
    "lwWBBBBBBBYYYYYBBBBYYBBBBBBBBlwW",
    "lwWBBBBBBBYYYYYBBBBYYBBBBBBBBlwW",
    "lwWBBBBBBBBBBBBBYYYYBBBBBBBBBlwW",
    "lwWBBBBBBBBBBBBBBBBBBBBBBBBBBlwW",
    "lwWBBBBBBBBBBBBBBBBBBBcCCCBBBlwW",
    "lwWlllllllllllllllllllllllllllwW",
    "lwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwW",
    ".WWWWWWWWWWWWWWWWWWWWWWWWWWWWWW.",
    "................................",
    "................................",
]

ICON16_MAP = [
    ".llllllllllllll.",
    "lBBBBBBBBBBBBBBW",
    "lBBBBBBBBBBBBBBW",
    "lBBBCBBBBBBCCBBW",
    "lBBCCBBBCBBBBCBW",
    "lBBBCBBCCCBBCBBW",
    "lBBBCBBBCBBCBBBW",
    "lBBCCCBBBBBCCCBW",
    "lBBBBBBBBBBBBBBW",
    "lBBBBBBBBYYBBBBW",
    "lBBBBYYYBBBYBBBW",
    "lBBBBBBBBBYBBBBW",
    "lBBBBYYYBBBYBBBW",
    "lBBBBBBBBYYBBBBW",
    "lBBBBBBBBBBBBBBW",
    ".WWWWWWWWWWWWWW.",
]


def icon_32():
    return from_map(ICON32_MAP, ICON_COLOURS)


def icon_16():
    return from_map(ICON16_MAP, ICON_COLOURS)


# ---------------------------------------------------------------------------------------------

# file name, drawing, colours, keyed, expected size
PIECES = [
    ("check-mark.bmp", check_mark, 256, True, (400, 100)),
    ("star.bmp", star, 256, True, (15, 15)),
    ("tick.bmp", tick, 16, True, (10, 10)),
    ("exit-box.bmp", exit_box, 16, False, (20, 20)),
    ("settings-button.bmp", settings_button, 256, True, (80, 35)),
    ("icon-32.bmp", icon_32, 16, True, (32, 32)),
    ("icon-16.bmp", icon_16, 16, True, (16, 16)),
]


def _writer(draw, colours, size):
    def write(path, words):
        image = draw(words)
        assert image.size == size, f"{path} is {image.size}, expected {size}"
        common.save_bmp(path, image, colours, keyed=True)
    return write


# The pieces that carry words: id in the resource script, file name and writer.
WORDED = (
    ("IDB_OK_BUTTON", "ok-button.bmp", _writer(ok_button, 16, (120, 30))),
    ("IDB_RESET_BUTTON", "reset-button.bmp", _writer(reset_button, 16, (180, 30))),
)


def save_icon(path, bmp_paths):
    """An icon file of the given palettised BMPs, the key colour masked out of each."""
    images = []
    for bmp_path in bmp_paths:
        with open(bmp_path, "rb") as f:
            bmp = f.read()
        offset, = struct.unpack_from("<I", bmp, 10)
        width, height, _, bits = struct.unpack_from("<iiHH", bmp, 18)
        colours, = struct.unpack_from("<I", bmp, 46)
        colours = colours or 1 << bits
        palette = bmp[54:54 + 4 * colours]
        pixels = bmp[offset:]
        stride = (width * bits + 31) // 32 * 4
        mask_stride = (width + 31) // 32 * 4
        mask = bytearray()
        for y in range(height):
            row = bytearray(mask_stride)
            for x in range(width):
                bit = x * bits
                index = (pixels[y * stride + bit // 8] >> (8 - bits - bit % 8)) & ((1 << bits) - 1)
                if palette[4 * index:4 * index + 3] == bytes((0xC5, 0x8C, 0xF6)):
                    row[x // 8] |= 0x80 >> (x % 8)
            mask += row
        header = struct.pack("<IiiHHIIiiII", 40, width, 2 * height, 1, bits, 0,
                             stride * height + len(mask), 0, 0, colours, 0)
        images.append((width, height, colours, bits,
                       header + palette + pixels[:stride * height] + bytes(mask)))
    data = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for width, height, colours, bits, image in images:
        data += struct.pack("<BBBBHHII", width % 256, height % 256, colours % 256, 0, 1, bits,
                            len(image), offset)
        offset += len(image)
    with open(path, "wb") as f:
        f.write(data + b"".join(image for *_, image in images))


def generate(art_dir, words=None):
    """Every piece into art_dir, the buttons lettered in `words` (English unless another
    language block is given)."""
    os.makedirs(art_dir, exist_ok=True)
    for name, draw, colours, keyed, size in PIECES:
        image = draw()
        assert image.size == size, f"{name} is {image.size}, expected {size}"
        common.save_bmp(os.path.join(art_dir, name), image, colours, keyed=keyed)
    for _, name, write in WORDED:
        write(os.path.join(art_dir, name), words or languages.english())
    save_icon(os.path.join(art_dir, "chalkmere.ico"),
              [os.path.join(art_dir, name) for name in ("icon-32.bmp", "icon-16.bmp")])


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit("usage: pieces.py <art_dir>")
    generate(sys.argv[1])
