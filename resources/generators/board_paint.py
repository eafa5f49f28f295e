"""Painting tools for the blackboards: slate, chalk, the wooden frame and the chalk tray.

A board is a float RGB numpy array (rows, columns, 3) in 0..255 that the helpers paint
into in place. Everything random comes from generators seeded by the caller, so a board
comes out the same on every run.
"""

import math

import numpy as np
from PIL import Image, ImageDraw, ImageFont

WIDTH, HEIGHT = 240, 320
SLATE = (30, 55, 45)
CHALK = (235, 235, 225)
CHALK_YELLOW = (246, 228, 112)
CHALK_BLUE = (138, 198, 238)
CHALK_GREEN = (158, 228, 162)

FRAME = 7          # width of the side and top rails
TRAY_TOP = 301     # first row of the chalk tray, which is also the bottom rail

FONT_DIR = "/usr/share/fonts/truetype/dejavu/"
SANS_BOLD = FONT_DIR + "DejaVuSans-Bold.ttf"
SANS_CONDENSED_BOLD = FONT_DIR + "DejaVuSansCondensed-Bold.ttf"

# Wood, from the darkest grain line to the lit edge.
WOOD_DARK = np.array((78, 44, 22), np.float32)
WOOD_MID = np.array((146, 92, 48), np.float32)
WOOD_LIGHT = np.array((196, 140, 82), np.float32)


def new_board():
    return np.empty((HEIGHT, WIDTH, 3), np.float32)


def to_image(board):
    return Image.fromarray(np.clip(np.rint(board), 0, 255).astype(np.uint8), "RGB")


def to_gray(coverage):
    return Image.fromarray(np.clip(np.rint(coverage * 255), 0, 255).astype(np.uint8), "L")


def smooth_noise(width, height, cell_x, cell_y, rng):
    """Value noise in 0..1 whose features are about cell_x by cell_y pixels."""
    grid_w = int(math.ceil(width / cell_x)) + 3
    grid_h = int(math.ceil(height / cell_y)) + 3
    grid = rng.random((grid_h, grid_w), dtype=np.float32)
    big = Image.fromarray(grid, "F").resize((int(grid_w * cell_x), int(grid_h * cell_y)),
                                            Image.Resampling.BICUBIC)
    ox, oy = int(cell_x), int(cell_y)
    return np.clip(np.asarray(big)[oy:oy + height, ox:ox + width], 0.0, 1.0)


def blend(board, alpha, colour):
    """Lays `colour` over the board with per-pixel coverage `alpha` (0..1)."""
    a = alpha[..., None]
    board[:] = board * (1.0 - a) + np.asarray(colour, np.float32) * a


def darken(board, amount):
    board[:] = board * (1.0 - amount[..., None])


# --- slate -----------------------------------------------------------------------------

def paint_slate(board, rng):
    """Dark green slate: broad clouds, a finer mottle and a one-level grain."""
    base = np.asarray(SLATE, np.float32)
    broad = smooth_noise(WIDTH, HEIGHT, 90, 90, rng) - 0.5
    mottle = smooth_noise(WIDTH, HEIGHT, 18, 18, rng) - 0.5
    grain = rng.random((HEIGHT, WIDTH), dtype=np.float32) - 0.5
    light = 7.0 * broad + 3.0 * mottle + 1.6 * grain
    board[:] = base + light[..., None] * np.array((0.9, 1.0, 0.95), np.float32)


def add_haze(board, rng, strength=0.05):
    """Old chalk dust: soft pale clouds."""
    cloud = smooth_noise(WIDTH, HEIGHT, 60, 45, rng)
    cloud = np.clip((cloud - 0.35) / 0.65, 0.0, 1.0) ** 1.5
    blend(board, strength * cloud, CHALK)


def smooth_path(points, samples_per_leg=24):
    """Points along a Catmull-Rom curve through `points` (the ends held)."""
    pts = np.asarray(points, np.float32)
    ext = np.vstack([pts[:1], pts, pts[-1:]])
    curve = []
    for i in range(1, len(ext) - 2):
        p0, p1, p2, p3 = ext[i - 1], ext[i], ext[i + 1], ext[i + 2]
        for s in np.linspace(0.0, 1.0, samples_per_leg, endpoint=False):
            curve.append(0.5 * (2 * p1 + (p2 - p0) * s
                                + (2 * p0 - 5 * p1 + 4 * p2 - p3) * s * s
                                + (3 * p1 - p0 - 3 * p2 + p3) * s ** 3))
    curve.append(pts[-1])
    return np.asarray(curve, np.float32)


def _path_coordinates(points):
    """For every board pixel: signed distance to a smooth path through `points`, and how
    far along the path (0..1) its nearest point lies."""
    curve = smooth_path(points)
    seg = np.diff(curve, axis=0)
    seg_len = np.sqrt((seg ** 2).sum(axis=1))
    start_len = np.concatenate([[0.0], np.cumsum(seg_len)[:-1]])
    total = float(seg_len.sum())
    ys, xs = np.mgrid[0:HEIGHT, 0:WIDTH].astype(np.float32)
    best = np.full((HEIGHT, WIDTH), np.inf, np.float32)
    signed = np.zeros_like(best)
    along = np.zeros_like(best)
    for (ax, ay), (dx, dy), length, before in zip(curve[:-1], seg, seg_len, start_len):
        if length == 0:
            continue
        rx, ry = xs - ax, ys - ay
        t = np.clip((rx * dx + ry * dy) / (length * length), 0.0, 1.0)
        px, py = rx - t * dx, ry - t * dy
        dist = np.sqrt(px * px + py * py)
        closer = dist < best
        best = np.where(closer, dist, best)
        side = np.sign(dx * ry - dy * rx)
        signed = np.where(closer, dist * np.where(side == 0, 1.0, side), signed)
        along = np.where(closer, (before + t * length) / total, along)
    return signed, along


def add_wipe(board, rng, points, width, strength):
    """An eraser swipe along a smooth path: a pale band of chalk left smeared, with
    streaks running the way the felt moved, fading out at both ends."""
    across, along = _path_coordinates(points)
    half = width / 2.0
    band = np.clip((half - np.abs(across)) / (half * 0.45), 0.0, 1.0)
    ends = np.clip(np.minimum(along, 1.0 - along) / 0.18, 0.0, 1.0)
    # Streaks: felt leaves stripes parallel to the motion, so vary across, barely along.
    n = int(4 * width + 8)
    stripes = np.interp(across + 2 * width, np.arange(n, dtype=np.float32),
                        rng.random(n).astype(np.float32))
    stripes = 0.5 + 0.5 * stripes
    wobble = smooth_noise(WIDTH, HEIGHT, 26, 26, rng)
    alpha = strength * band * ends * stripes * (0.6 + 0.8 * wobble)
    blend(board, alpha, CHALK)


# --- chalk -----------------------------------------------------------------------------

def chalkify(coverage, rng, texture=0.3, breakup=0.22, streak_angle=-25.0):
    """Turns a clean coverage mask into chalk: grainy inside, nibbled at the edges."""
    h, w = coverage.shape
    grain = rng.random((h, w), dtype=np.float32)
    # Streaks along the direction the stick was dragged.
    big = max(h, w) * 2 + 8
    streak = Image.fromarray((rng.random((big, big // 6 + 2)) * 255).astype(np.uint8), "L")
    streak = streak.resize((big, big), Image.Resampling.BILINEAR)
    streak = streak.rotate(streak_angle, Image.Resampling.BILINEAR)
    off_y, off_x = (big - h) // 2, (big - w) // 2
    streak = np.asarray(streak, np.float32)[off_y:off_y + h, off_x:off_x + w] / 255.0
    tex = 1.0 - texture * (0.55 * grain + 0.45 * streak)
    alpha = coverage * tex
    edge = (coverage > 0.04) & (coverage < 0.9)
    holes = rng.random((h, w)) < breakup
    alpha[edge & holes] *= 0.3
    return alpha


def font(path, size):
    return ImageFont.truetype(path, size)


def text_mask(text, face, supersample=4, angle=0.0):
    """Coverage (0..1) of `text` turned by `angle` degrees: drawn large, then averaged down,
    which keeps rotated strokes smooth."""
    big_face = face.font_variant(size=face.size * supersample)
    l, t, r, b = big_face.getbbox(text)
    pad = supersample * 4
    img = Image.new("L", (r - l + 2 * pad, b - t + 2 * pad), 0)
    ImageDraw.Draw(img).text((pad - l, pad - t), text, font=big_face, fill=255)
    if angle:
        img = img.rotate(angle, Image.Resampling.BICUBIC, expand=True)
    w = -(-img.width // supersample) * supersample
    h = -(-img.height // supersample) * supersample
    canvas = Image.new("L", (w, h), 0)
    canvas.paste(img, (0, 0))
    return np.asarray(canvas.reduce(supersample), np.float32) / 255.0


def stamp(board, alpha, x, y, colour):
    """Blends a small coverage array onto the board with its top-left at (x, y), clipped."""
    h, w = alpha.shape
    x0, y0 = max(x, 0), max(y, 0)
    x1, y1 = min(x + w, WIDTH), min(y + h, HEIGHT)
    if x0 >= x1 or y0 >= y1:
        return
    part = alpha[y0 - y:y1 - y, x0 - x:x1 - x]
    region = board[y0:y1, x0:x1]
    a = part[..., None]
    region[:] = region * (1.0 - a) + np.asarray(colour, np.float32) * a


def _layout(text, face, x, y, anchor):
    """The crisp mask of `text` and where chalk_text puts its top-left corner and its ink."""
    l, t, r, b = face.getbbox(text)
    pad = 2
    img = Image.new("L", (r - l + 2 * pad, b - t + 2 * pad), 0)
    ImageDraw.Draw(img).text((pad - l, pad - t), text, font=face, fill=255)
    mask = np.asarray(img, np.float32) / 255.0
    cols = np.nonzero((mask > 0.25).any(axis=0))[0]
    rows = np.nonzero((mask > 0.25).any(axis=1))[0]
    c0, c1, r0, r1 = cols[0], cols[-1] + 1, rows[0], rows[-1] + 1
    baseline = pad - t + face.getmetrics()[0]
    left = {"l": x - c0, "r": x - c1, "m": x - (c0 + c1) // 2}[anchor[0]]
    top = {"t": y - r0, "b": y - baseline, "m": y - (r0 + r1) // 2}[anchor[1]]
    return mask, left, top, (left + c0, top + r0, left + c1, top + r1)


def text_box(text, face, x, y, anchor="lt"):
    """The ink box chalk_text would return, without writing anything."""
    return _layout(text, face, x, y, anchor)[3]


def cap_height(face):
    """Rows of ink of a capital standing on the baseline, as chalk_text measures ink."""
    return -text_box("H", face, 0, 0, "lb")[1]


def chalk_text(board, rng, text, face, x, y, colour=CHALK, strength=1.0, texture=0.3,
               breakup=0.22, anchor="lt"):
    """Writes crisp chalk text and returns its ink box (left, top, right, bottom), exclusive.

    anchor[0]: "l" puts the ink's left edge at x, "r" its right edge, "m" its middle;
    anchor[1]: "t" puts the ink's top at y, "b" the baseline, "m" the ink's middle.
    Placement goes by the ink actually drawn, not the font's boxes, so hinted glyphs line
    up to the pixel.
    """
    mask, left, top, box = _layout(text, face, x, y, anchor)
    stamp(board, chalkify(mask, rng, texture, breakup) * strength, left, top, colour)
    return box


def glyph_coverage(text, face, cx, cy, angle):
    """Board-sized coverage of a rotated, supersampled glyph (or short string) centred on
    (cx, cy)."""
    mask = text_mask(text, face, angle=angle)
    h, w = mask.shape
    x, y = int(round(cx - w / 2.0)), int(round(cy - h / 2.0))
    full = np.zeros((HEIGHT, WIDTH), np.float32)
    x0, y0, x1, y1 = max(x, 0), max(y, 0), min(x + w, WIDTH), min(y + h, HEIGHT)
    if x0 < x1 and y0 < y1:
        full[y0:y1, x0:x1] = mask[y0 - y:y1 - y, x0 - x:x1 - x]
    return full


def chalk_glyph(board, rng, text, face, cx, cy, angle, colour=CHALK, strength=1.0,
                texture=0.35, breakup=0.2):
    """A rotated chalk glyph (or short string) centred on (cx, cy)."""
    mask = glyph_coverage(text, face, cx, cy, angle)
    blend(board, chalkify(mask, rng, texture, breakup) * strength, colour)


def chalk_polyline(board, rng, points, width, colour=CHALK, strength=1.0, texture=0.3,
                   breakup=0.2, smooth=False, supersample=4):
    """A chalk stroke through `points` (board pixels): straight legs, or one flowing curve
    with `smooth`."""
    if smooth:
        points = [tuple(p) for p in smooth_path(points, 8)]
    s = supersample
    img = Image.new("L", (WIDTH * s, HEIGHT * s), 0)
    draw = ImageDraw.Draw(img)
    scaled = [(px * s + s / 2.0, py * s + s / 2.0) for px, py in points]
    draw.line(scaled, fill=255, width=int(round(width * s)), joint="curve")
    r = width * s / 2.0
    for px, py in (scaled[0], scaled[-1]):
        draw.ellipse((px - r, py - r, px + r, py + r), fill=255)
    mask = np.asarray(img.reduce(s), np.float32) / 255.0
    blend(board, chalkify(mask, rng, texture, breakup) * strength, colour)


def chalk_box(board, rng, x, y, size=10, interior=(196, 200, 188)):
    """A check box painted exactly on the square (x, y, size, size): a rubbed-in pale
    interior that a dark-red tick reads on, ringed by a firm chalk outline."""
    inner = board[y + 1:y + size - 1, x + 1:x + size - 1]
    jitter = rng.random(inner.shape[:2], dtype=np.float32)
    fill = np.asarray(interior, np.float32) + ((jitter - 0.5) * 12.0)[..., None]
    inner[:] = fill
    ring = np.zeros((size, size), np.float32)
    ring[0, :] = ring[-1, :] = ring[:, 0] = ring[:, -1] = 1.0
    strength = 0.9 + 0.1 * rng.random((size, size), dtype=np.float32)
    stamp(board, ring * strength, x, y, CHALK)


# --- wood ------------------------------------------------------------------------------

def _wood(length, depth, rng, along_cell=34.0):
    """A strip of wood grain, shape (depth, length, 3): grain runs along the length."""
    streaky = smooth_noise(length, depth, along_cell, 1.2, rng)
    slow = smooth_noise(length, depth, along_cell * 4, 8, rng)
    tone = 0.6 * streaky + 0.4 * slow
    colour = WOOD_MID + (tone - 0.5)[..., None] * (WOOD_LIGHT - WOOD_DARK) * 0.8
    # A few dark grain lines that wander slowly along the strip.
    lines = np.zeros((depth, length), np.float32)
    rows = np.arange(depth, dtype=np.float32)[:, None]
    for _ in range(max(2, depth // 3)):
        phase = rng.random() * 6.28
        base = rng.random() * (depth - 1)
        amp = 0.5 + rng.random() * 1.5
        period = 18 + rng.random() * 30
        wave = base + amp * np.sin(np.arange(length) / period + phase)
        fade = smooth_noise(length, 1, 20, 1, rng)[0]      # lines come and go
        line = np.clip(1.0 - np.abs(rows - wave[None, :]) * 1.5, 0, 1) * (fade > 0.35)
        lines = np.maximum(lines, line)
    mix = 0.5 * lines[..., None]
    return colour * (1.0 - mix) + WOOD_DARK * mix


def paint_frame(board, rng):
    """Top and side rails with mitred corners; light comes from the top left."""
    f = FRAME
    # Brightness across a rail, outer edge first: a rounded moulding with a lit crest.
    profile = np.array([0.55, 0.8, 1.0, 1.12, 1.04, 0.9, 0.62], np.float32)
    top = _wood(WIDTH, f, rng)
    left = _wood(TRAY_TOP, f, rng)
    right = _wood(TRAY_TOP, f, rng)
    ys, xs = np.mgrid[0:TRAY_TOP, 0:WIDTH]
    d_left, d_right, d_top = xs, WIDTH - 1 - xs, ys
    nearest = np.minimum(np.minimum(d_left, d_right), d_top)
    for yy, xx in zip(*np.nonzero(nearest < f)):
        if d_top[yy, xx] == nearest[yy, xx]:
            c = top[yy, xx] * profile[yy] * 1.05
        elif d_left[yy, xx] == nearest[yy, xx]:
            c = left[xx, yy] * profile[xx]
        else:
            c = right[WIDTH - 1 - xx, yy] * profile[WIDTH - 1 - xx] * 0.85
        board[yy, xx] = c
    # Mitre seams: a thin dark line where the rails meet at 45 degrees.
    for i in range(1, f):
        board[i, i] *= 0.75
        board[i, WIDTH - 1 - i] *= 0.75
    # Shadow the rails throw on the slate, below the top rail and right of the left one.
    shade = np.zeros((HEIGHT, WIDTH), np.float32)
    shade[f, f:WIDTH - f] = 0.4
    shade[f + 1, f + 1:WIDTH - f] = 0.18
    shade[f + 1:TRAY_TOP, f] = np.maximum(shade[f + 1:TRAY_TOP, f], 0.34)
    shade[f + 2:TRAY_TOP, f + 1] = np.maximum(shade[f + 2:TRAY_TOP, f + 1], 0.14)
    shade[f:TRAY_TOP, WIDTH - f - 1] = np.maximum(shade[f:TRAY_TOP, WIDTH - f - 1], 0.12)
    darken(board, shade)


def chalk_stick(board, x, y, length, colour, rng):
    """A round chalk stick lying along the tray, lit from above, worn at one end."""
    c = np.asarray(colour, np.float32)
    shades = (0.9, 1.04, 0.9, 0.66)
    for row, shade in enumerate(shades):
        for col in range(length):
            if (col == 0 or col == length - 1) and row in (0, 3):
                continue                          # rounded ends
            if col == length - 1 and row == 1:
                shade *= 0.85                     # the worn, flat end
            board[y + row, x + col] = np.minimum(c * shade * (0.96 + 0.04 * rng.random()), 255)
    board[y + 4, x + 1:x + length - 1] *= 0.65    # its shadow on the trough floor


def paint_tray(board, rng, sticks=(), eraser=None):
    """The chalk tray along the bottom: back rim, trough with chalk dust, front lip.

    sticks: (x, length, colour) lying in the trough; eraser: x of a felt eraser or None.
    """
    t = TRAY_TOP
    board[t - 2, :] *= 0.8                        # the tray's shadow on the board
    board[t - 1, :] *= 0.62
    wood = _wood(WIDTH, HEIGHT - t, rng, along_cell=44.0)
    light = [1.25, 0.92] + [0.5, 0.46, 0.44, 0.44, 0.46, 0.5, 0.56] + [1.38] + \
        [1.08 - 0.04 * i for i in range(HEIGHT - t - 11)] + [0.55]
    for i, shade in enumerate(light):
        board[t + i, :] = wood[i] * shade
    # Chalk dust on the trough floor: soft drifts, heaviest along the front.
    drift = smooth_noise(WIDTH, 7, 14, 4, rng)
    depth = np.array([0.1, 0.15, 0.25, 0.4, 0.6, 0.8, 1.0], np.float32)[:, None]
    dust = np.clip(drift - 0.3, 0.0, 1.0) * 0.5 * depth
    dust += (rng.random((7, WIDTH)) > 0.965) * 0.2
    blend(board[t + 2:t + 9], dust, CHALK)
    # End caps: the tray's sawn ends show darker end grain.
    for x, shade in ((0, 0.62), (1, 0.8), (WIDTH - 2, 0.8), (WIDTH - 1, 0.62)):
        board[t:HEIGHT, x] *= shade
    for x, length, colour in sticks:
        chalk_stick(board, x, t + 4, length, colour, rng)
    if eraser is not None:
        _eraser(board, eraser, t - 3, rng)


def _eraser(board, x, y, rng, length=32):
    """A felt board eraser resting in the tray: a rounded wooden back over a grey felt pad."""
    wood = _wood(length, 5, rng, along_cell=10.0)
    back = (1.3, 1.15, 1.0, 0.85, 0.7)
    for i, shade in enumerate(back):
        inset = 1 if i == 0 else 0
        board[y + i, x + inset:x + length - inset] = wood[i, inset:length - inset] * shade
    felt = np.array((104, 106, 110), np.float32)
    for i in range(5, 10):
        speck = rng.random(length, dtype=np.float32)
        row = felt * (1.0 - 0.07 * (i - 5)) + ((speck - 0.5) * 14.0)[:, None]
        chalky = np.clip((speck - 0.55) * 1.2, 0, 0.5)[:, None] * (1.0 - 0.15 * (i - 5))
        board[y + i, x:x + length] = row * (1 - chalky) + np.asarray(CHALK) * chalky
    board[y + 1:y + 10, x] *= 0.72
    board[y + 1:y + 10, x + length - 1] *= 0.62
    board[y + 10, x + 1:x + length] *= 0.7       # shadow on the trough floor
