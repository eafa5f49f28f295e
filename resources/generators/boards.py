"""Draws the three blackboard backgrounds: the drill, the settings and the title board.

    /usr/bin/python3 boards.py <art_dir>

Everything the program draws over a board has a fixed place; the layout constants below
are those places, and the painted captions are lined up on them.
"""

import os
import sys

import numpy as np
from PIL import Image, ImageFilter

import board_paint as bp
import common
import languages
import lettering

# Settings screen: the program's check box, level boxes and percentage texts.
AUTO_BOX = (30, 43)
LEVEL_BOX_XS = (30, 60, 90, 120, 150, 180)
LEVEL_BOX_YS = (87, 109)
PERCENT_XS = (66, 136, 206)
PERCENT_YS = (153, 174, 195, 216)
PERCENT_BASELINE = 10       # the 12-px white text sits on this row of its cell
BOX = 10

CAPTION_SIZE = 13           # DejaVu Sans Bold at 13 px has 9-10 px capitals

# Places the program draws over each board, (x, y, width, height). They stay plain slate:
# no chalk-bright pixel, dark enough for salmon, yellow and white text.
_PERCENT_PLACES = tuple((x - 3, y, 24, 12) for y in PERCENT_YS for x in PERCENT_XS)
CALM_PLACES = {
    "game-board.bmp": (
        (12, 20, 40, 35),       # settings button
        (90, 20, 110, 16),      # "Score" and up to six digits
        (208, 20, 20, 20),      # exit box
        (210, 50, 15, 180),     # twelve stars
        (45, 70, 150, 156),     # the widest problem with its result
    ),
    "settings-board.bmp": (
        (208, 20, 20, 20),      # exit box
        (35, 260, 60, 30),      # OK
        (120, 260, 90, 30),     # RESET
    ) + _PERCENT_PLACES,
    "title.bmp": (
        (9, 285, 222, 14),      # version and years lines
    ),
}


def _board(seed):
    rng = np.random.default_rng(seed)
    board = bp.new_board()
    bp.paint_slate(board, rng)
    return board, rng


def _finish(board, rng, sticks, eraser=None, dust=0.05):
    # Dust drifts down onto the lowest stretch of the board, above the tray.
    fall = np.clip((np.arange(bp.HEIGHT, dtype=np.float32) - 250.0) / 50.0, 0.0, 1.0)
    speck = bp.smooth_noise(bp.WIDTH, bp.HEIGHT, 7, 3, rng)
    bp.blend(board, dust * fall[:, None] * (0.4 + 0.6 * speck), bp.CHALK)
    bp.paint_frame(board, rng)
    bp.paint_tray(board, rng, sticks=sticks, eraser=eraser)
    return board


def paint_game():
    board, rng = _board(1002)
    bp.add_haze(board, rng, 0.06)
    # Yesterday's work, wiped off with a couple of sweeps right where the problem goes.
    bp.add_wipe(board, rng, [(-10, 112), (60, 142), (120, 154), (180, 148), (250, 128)],
                width=42, strength=0.075)
    bp.add_wipe(board, rng, [(10, 222), (80, 198), (150, 198), (250, 212)],
                width=30, strength=0.055)
    # Ghosts of sums almost wiped away, where nothing is drawn over them.
    ghost = bp.font(bp.SANS_BOLD, 20)
    bp.chalk_glyph(board, rng, "7", ghost, 26, 112, 8, strength=0.07)
    bp.chalk_glyph(board, rng, "+", ghost, 27, 176, -6, strength=0.06)
    bp.chalk_glyph(board, rng, "=", bp.font(bp.SANS_BOLD, 16), 30, 246, 4, strength=0.06)
    bp.chalk_glyph(board, rng, "3", bp.font(bp.SANS_BOLD, 16), 205, 250, -10, strength=0.06)
    return _finish(board, rng, sticks=((9, 10, bp.CHALK), (220, 11, bp.CHALK_YELLOW)))


def _rule(board, rng, y, x0=24, x1=216):
    """A faint hand-drawn chalk line between sections."""
    bp.chalk_polyline(board, rng, [(x0, y), ((x0 + x1) / 2, y - 1), (x1, y)], 1.2,
                      strength=0.3, texture=0.4, breakup=0.3, smooth=True)


# What the settings board's words keep clear of, (x, y, width, height): the exit box, the
# check boxes with their numbers, the two rules and the numbers the program writes (up to
# "100" in 12-px bold). A word keeps MARGIN clear pixels from each and from the frame.
RULE_YS = (63, 129)
KEEP_CLEAR = (((208, 20, 20, 20), AUTO_BOX + (BOX, BOX))
              + tuple((x, y, 28, BOX) for y in LEVEL_BOX_YS for x in LEVEL_BOX_XS)
              + tuple((24, y - 2, 193, 4) for y in RULE_YS)
              + tuple((x, y, 21, 12) for y in PERCENT_YS for x in PERCENT_XS))
INSIDE = (bp.FRAME + 3, bp.FRAME + 2, bp.WIDTH - bp.FRAME - 3, bp.TRAY_TOP - 3)
MARGIN = 2
HEADING_SIZES = (15, 14, 13, 12)   # DejaVu Sans Bold keeps 9-px capitals down to 12 px
CAPTION_SIZES = (CAPTION_SIZE, 12)
LABEL_SIZES = (12,)


def _clear(box, taken):
    """True when an ink box stays inside the frame and MARGIN pixels off every taken place."""
    left, top, right, bottom = box
    if left < INSIDE[0] or top < INSIDE[1] or right > INSIDE[2] or bottom > INSIDE[3]:
        return False
    return not any(left < x + w + MARGIN and x - MARGIN < right and
                   top < y + h + MARGIN and y - MARGIN < bottom for x, y, w, h in taken)


def _fitted(texts, sizes, places, anchor, taken):
    """The face, shrunk only as far as needed, at which every text at its (x, baseline) place
    keeps clear of the taken places; what they will cover is added to `taken`."""
    def face(size):
        return bp.font(bp.SANS_BOLD, size)

    def clear(size):
        return all(_clear(bp.text_box(t, face(size), x, y, anchor), taken)
                   for t, (x, y) in zip(texts, places))
    for text in texts:
        lettering.require_glyphs(text, face(sizes[0]))
    name = texts[0] if len(texts) == 1 else f"{texts[0]} to {texts[-1]}"
    chosen = face(lettering.fit(name, sizes, clear))
    for text, (x, y) in zip(texts, places):
        left, top, right, bottom = bp.text_box(text, chosen, x, y, anchor)
        taken.append((left, top, right - left, bottom - top))
    return chosen


def paint_settings(words):
    """The settings board lettered with a language block's captions. Each word stands on the
    baseline the English one does and is shrunk, never cut, when it is longer."""
    board, rng = _board(123)
    bp.add_haze(board, rng, 0.05)
    bp.add_wipe(board, rng, [(-10, 238), (70, 226), (150, 232), (250, 250)],
                width=34, strength=0.05)
    number = bp.font(bp.SANS_CONDENSED_BOLD, 12)
    taken = list(KEEP_CLEAR)
    caption_baseline = bp.cap_height(bp.font(bp.SANS_BOLD, CAPTION_SIZE))

    # A heading in yellow chalk, clear of the exit box at the top right.
    heading = words.caption("SETTINGS")
    face = _fitted([heading], HEADING_SIZES, [(120, 27)], "mb", taken)
    bp.chalk_text(board, rng, heading, face, 120, 27, anchor="mb", colour=bp.CHALK_YELLOW)

    # Automatic levelling: the box, and its caption standing on the same bottom row.
    bx, by = AUTO_BOX
    bp.chalk_box(board, rng, bx, by)
    auto = words.caption("AUTO_LEVEL")
    face = _fitted([auto], CAPTION_SIZES, [(bx + 16, by + BOX)], "lb", taken)
    bp.chalk_text(board, rng, auto, face, bx + 16, by + BOX, anchor="lb")
    _rule(board, rng, RULE_YS[0])

    # Current level: caption over two rows of six numbered boxes, each in a 30-px column.
    level = words.caption("LEVEL")
    place = (LEVEL_BOX_XS[0], 71 + caption_baseline)
    face = _fitted([level], CAPTION_SIZES, [place], "lb", taken)
    bp.chalk_text(board, rng, level, face, *place, anchor="lb")
    for row, y in enumerate(LEVEL_BOX_YS):
        for col, x in enumerate(LEVEL_BOX_XS):
            bp.chalk_box(board, rng, x, y)
            # Digits set one by one, a pixel apart, so "10" to "12" keep clear of the
            # next box; they stand on the box's bottom row.
            pen = x + 12
            for digit in str(row * 6 + col + 1):
                box = bp.chalk_text(board, rng, digit, number, pen, y + BOX, anchor="lb",
                                    texture=0.2, breakup=0.1)
                pen = box[2] + 1
    _rule(board, rng, RULE_YS[1])

    # Correct percentages: caption over four rows of three level captions, each on the
    # same baseline as the number the program writes after it; all twelve the same size.
    correct = words.caption("CORRECT")
    place = (LEVEL_BOX_XS[0], 137 + caption_baseline)
    face = _fitted([correct], CAPTION_SIZES, [place], "lb", taken)
    bp.chalk_text(board, rng, correct, face, *place, anchor="lb")
    labels = [words.level_label(i + 1) for i in range(12)]
    places = [(PERCENT_XS[i % 3] - 4, PERCENT_YS[i // 3] + PERCENT_BASELINE) for i in range(12)]
    face = _fitted(labels, LABEL_SIZES, places, "rb", taken)
    for label, (x, y) in zip(labels, places):
        bp.chalk_text(board, rng, label, face, x, y, anchor="rb",
                      texture=0.25, breakup=0.12, strength=0.8)
    return _finish(board, rng, sticks=((16, 14, bp.CHALK), (206, 11, bp.CHALK_BLUE)),
                   eraser=150)


# Leftovers of the lesson: glyph, size, centre x, centre y, angle, colour, pressure.
TITLE_SCATTER = (
    ("3", 24, 28, 36, -12, bp.CHALK, 0.5),
    ("+", 16, 64, 58, 8, bp.CHALK_YELLOW, 0.75),
    ("9", 14, 108, 30, 22, bp.CHALK_GREEN, 0.7),
    ("6", 12, 92, 76, -20, bp.CHALK, 0.45),
    ("÷", 20, 156, 58, -8, bp.CHALK_BLUE, 0.75),
    ("7", 32, 202, 40, 14, bp.CHALK, 0.45),
    ("2", 13, 140, 24, -6, bp.CHALK_YELLOW, 0.65),
    ("×", 22, 28, 180, 10, bp.CHALK_BLUE, 0.7),
    ("8", 16, 212, 174, 16, bp.CHALK, 0.5),
    ("−", 18, 196, 206, -4, bp.CHALK_GREEN, 0.7),
    ("4", 22, 30, 238, -6, bp.CHALK_YELLOW, 0.6),
    ("5", 30, 206, 236, 6, bp.CHALK, 0.35),
    ("=", 14, 74, 250, 12, bp.CHALK, 0.45),
    ("+", 12, 166, 252, -10, bp.CHALK_BLUE, 0.65),
    ("1", 14, 118, 244, 8, bp.CHALK_GREEN, 0.6),
)


def paint_title():
    board, rng = _board(127)
    bp.add_haze(board, rng, 0.07)
    bp.add_wipe(board, rng, [(-10, 100), (70, 122), (150, 124), (250, 98)],
                width=56, strength=0.06)
    bp.add_wipe(board, rng, [(0, 226), (90, 212), (170, 216), (250, 234)],
                width=30, strength=0.045)
    for glyph, size, x, y, angle, colour, strength in TITLE_SCATTER:
        bp.chalk_glyph(board, rng, glyph, bp.font(bp.SANS_BOLD, size), x, y, angle,
                       colour=colour, strength=strength)

    # The name, large, each letter set down by hand, over the dust its writing raised.
    face = bp.font(bp.SANS_CONDENSED_BOLD, 42)
    name = "Chalkmere"
    track = 0.94
    widths = [face.getlength(ch) * track for ch in name]
    x = 120 - sum(widths) / 2
    tilt = (-5, 3, -2, 4, -3, 2, -4, 3, -2)
    bounce = (0, -2, 1, -1, 2, 0, -1, 1, -2)
    letters = np.zeros((bp.HEIGHT, bp.WIDTH), np.float32)
    for ch, w, a, dy in zip(name, widths, tilt, bounce):
        letters = np.maximum(letters, bp.glyph_coverage(ch, face, x + w / 2, 108 + dy, a))
        x += w
    halo = np.asarray(bp.to_gray(letters).filter(ImageFilter.GaussianBlur(4)),
                      np.float32) / 255.0
    bp.blend(board, np.clip(halo * 0.35, 0, 0.2), bp.CHALK)
    bp.blend(board, bp.chalkify(letters, rng, texture=0.26, breakup=0.2), bp.CHALK)
    bp.chalk_polyline(board, rng, [(30, 138), (80, 135), (130, 134), (180, 135), (210, 140)],
                      2.2, colour=bp.CHALK_YELLOW, strength=0.85, smooth=True)

    # A sum done in class, ticked.
    box = bp.chalk_text(board, rng, "5 + 3 = 8", bp.font(bp.SANS_BOLD, 17), 112, 190,
                        anchor="mm", texture=0.3, breakup=0.15, strength=0.8)
    right, bottom = box[2], box[3]
    bp.chalk_polyline(board, rng, [(right + 5, bottom - 6), (right + 9, bottom - 1),
                                   (right + 19, bottom - 15)], 2.0,
                      colour=bp.CHALK_YELLOW, strength=0.85)

    bp.chalk_text(board, rng, "www.brindlewick.example", bp.font(bp.SANS_BOLD, 11), 120, 268,
                  anchor="mt", texture=0.2, breakup=0.1, strength=0.85)
    return _finish(board, rng, sticks=((24, 16, bp.CHALK), (160, 18, bp.CHALK),
                                       (190, 12, bp.CHALK_YELLOW), (208, 14, bp.CHALK_BLUE)),
                   dust=0.03)


BOARDS = (
    ("game-board.bmp", paint_game),
    ("title.bmp", paint_title),
)


def _palette(image, colours, **how):
    quantised = image.quantize(colors=colours, dither=Image.Dither.NONE, **how)
    flat = np.array(quantised.getpalette()[:3 * colours], np.int32).reshape(-1, 3)
    return flat[sorted(set(quantised.getdata()))]


def palettise(image):
    """Reduces a board to at most 256 colours before saving.

    Median cut spends its entries where most pixels are, which keeps the slate smooth but
    greys out the small things: chalk sticks, coloured digits. Maximum coverage keeps every
    colour close but bands the slate. A palette made of both, with every pixel mapped to
    its nearest entry, does both jobs; common.save_bmp then stores the colours exactly.
    """
    palette = np.unique(np.vstack([
        _palette(image, 96, method=Image.Quantize.MAXCOVERAGE),
        _palette(image, 160, method=Image.Quantize.MEDIANCUT, kmeans=2),
    ]), axis=0)
    pixels = np.asarray(image, np.int32).reshape(-1, 3)
    distinct, where = np.unique(pixels, axis=0, return_inverse=True)
    nearest = ((distinct[:, None, :] - palette[None, :, :]) ** 2).sum(axis=2).argmin(axis=1)
    out = palette[nearest][where.reshape(-1)].reshape(image.height, image.width, 3)
    return Image.fromarray(out.astype(np.uint8), "RGB")


def _luminance(image):
    return np.asarray(image, np.float32) @ np.array((0.299, 0.587, 0.114), np.float32)


def check(name, image):
    """Lists what would spoil the board under the program's drawing; empty when it is fine."""
    lum = _luminance(image)
    problems = []
    for x, y, w, h in CALM_PLACES.get(name, ()):
        place = lum[y:y + h, x:x + w]
        if place.max() > 90 or place.mean() > 70:
            problems.append(f"busy or bright under ({x}, {y}, {w}, {h}): "
                            f"max {place.max():.0f}, mean {place.mean():.0f}")
    if name == "settings-board.bmp":
        boxes = [AUTO_BOX] + [(x, y) for y in LEVEL_BOX_YS for x in LEVEL_BOX_XS]
        for x, y in boxes:
            ring = np.concatenate([lum[y, x:x + BOX], lum[y + BOX - 1, x:x + BOX],
                                   lum[y:y + BOX, x], lum[y:y + BOX, x + BOX - 1]])
            inside = lum[y + 1:y + BOX - 1, x + 1:x + BOX - 1]
            around = np.concatenate([lum[y - 1, x - 1:x + BOX + 1], lum[y + BOX, x - 1:x + BOX + 1],
                                     lum[y:y + BOX, x - 1], lum[y:y + BOX, x + BOX]])
            if ring.min() < 150 or inside.min() < 140 or around.max() > 110:
                problems.append(f"box at ({x}, {y}) is not a clean pale 10 x 10 square")
        for x, y in boxes[1:]:
            # Each level's number keeps to its own 30-px column.
            if lum[y:y + BOX, x + 28:x + 30].max() > 110:
                problems.append(f"level number beside ({x}, {y}) runs into the next column")
    return problems


def _save(path, name, board):
    image = palettise(bp.to_image(board))
    problems = check(name, image)
    if problems:
        raise ValueError(f"{path}: " + "; ".join(problems))
    common.save_bmp(path, image, 256)


def write_settings(path, words):
    _save(path, "settings-board.bmp", paint_settings(words))


# The board that carries words: its id in the resource script, file name and writer.
WORDED = (("IDB_SETTINGS_BOARD", "settings-board.bmp", write_settings),)


def generate(art_dir, words=None):
    """Every board into art_dir, the settings board lettered in `words` (English unless
    another language block is given)."""
    os.makedirs(art_dir, exist_ok=True)
    for name, paint in BOARDS:
        _save(os.path.join(art_dir, name), name, paint())
    for _, name, write in WORDED:
        write(os.path.join(art_dir, name), words or languages.english())


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit("usage: boards.py <art_dir>")
    generate(sys.argv[1])
