"""Draws the pieces of the screens where a child is chosen, added or removed: the painted
captions (151), the ring that marks who played last (152), the remove badge (153) and the
back key (155). The animals are animals.py's, the ring round a held badge hold_ring.py's.

Usage: /usr/bin/python3 chooser.py <art_dir>
"""

import os
import sys

import numpy as np
from PIL import Image

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import board_paint as bp  # noqa: E402
import common  # noqa: E402
import hold_ring  # noqa: E402
import languages  # noqa: E402
import lettering  # noqa: E402
import pieces  # noqa: E402

CAPTIONS = ("WHO_IS_PLAYING", "CHILDREN", "NEW_CHILD", "REMOVE")   # IDS_CAPTION_* in order
CAPTION_W, CAPTION_H = 176, 24
CAPTION_SIZES = (15, 14, 13, 12)     # DejaVu Sans Bold keeps 9-px capitals down to 12 px


def _caption_place(face):
    """Centre and baseline that put the capitals in the middle of a frame, accents and tails
    falling where they may."""
    return CAPTION_W // 2, CAPTION_H // 2 + (bp.cap_height(face) + 1) // 2


def _caption_fits(text, size):
    """The ink keeps 8 pixels off the frame's ends and one off its top and bottom."""
    face = bp.font(bp.SANS_BOLD, size)
    left, top, right, bottom = bp.text_box(text, face, *_caption_place(face), "mb")
    return left >= 8 and right <= CAPTION_W - 8 and top >= 1 and bottom <= CAPTION_H - 1


def captions(words):
    """Yellow chalk headings as the settings board's, one centred in each frame. Painted
    over the slate and then keyed where the chalk is thin, so what is kept matches the board
    it lands on."""
    frames = []
    for number, name in enumerate(CAPTIONS):
        text = words.caption(name)
        lettering.require_glyphs(text, bp.font(bp.SANS_BOLD, CAPTION_SIZES[0]))
        size = lettering.fit(text, CAPTION_SIZES, lambda s: _caption_fits(text, s))
        face = bp.font(bp.SANS_BOLD, size)
        x, y = _caption_place(face)
        chalk = np.zeros((CAPTION_H, CAPTION_W, 3), np.float32)
        rng = np.random.default_rng(151 + number)
        bp.chalk_text(chalk, rng, text, face, x, y, colour=(1, 1, 1), anchor="mb")
        alpha = chalk[..., 0]
        colour = bp.SLATE + (np.asarray(bp.CHALK_YELLOW, np.float32) - bp.SLATE) * \
            alpha[..., None]
        frames.append(pieces.compose([(alpha >= 0.3, colour)], (CAPTION_W, CAPTION_H)))
    return pieces.side_by_side(*frames)


MARK_YELLOW = {"dim": (224, 216, 52), "base": (253, 251, 67), "light": (255, 254, 170)}


def cell_mark():
    """A yellow chalk ring drawn once round, 6 pixels round a 64 x 64 picture."""
    return hold_ring.frames(76, 76, 14.0, 152, MARK_YELLOW, None)[-1]


BADGE = {"edge": (66, 6, 10), "light": (214, 84, 74), "mid_light": (182, 50, 48),
         "dark": (104, 12, 18), "face": (150, 24, 28), "white": (252, 250, 244),
         "ink_shadow": (96, 10, 16), "shadow": (16, 30, 24)}


def _badge_face(pressed):
    """A round dark-red badge with a white minus, bevelled like the exit box: lit from the top
    left, a dark edge round it, a pixel of shadow that the pressed face moves onto."""
    size, radius = 24, 11.5
    offset = 1 if pressed else 0
    ys, xs = np.mgrid[0:size, 0:size] + 0.5 - radius - offset
    depth = radius - np.hypot(xs, ys)
    body, lit = depth > 0, xs + ys < 0
    minus = (np.abs(xs) <= 5.5) & (np.abs(ys) <= 1.5)
    layers = [] if pressed else [(pieces.shift(body, 1, 1) & ~body, BADGE["shadow"])]
    layers += [(body, BADGE["face"]),
               (body & (depth < 3) & ~lit, BADGE["dark"]),
               (body & (depth < 3) & lit, BADGE["mid_light"]),
               (body & (depth < 2) & lit, BADGE["light"]),
               (body & (depth < 1), BADGE["edge"]),
               (pieces.shift(minus, 1, 1) & ~minus, BADGE["ink_shadow"]),
               (minus, BADGE["white"])]
    face = pieces.compose(layers, (size, size))
    if pressed:
        rgba = np.asarray(face).copy()
        rgba[..., :3] = (rgba[..., :3] * 0.8).astype(np.uint8)
        face = Image.fromarray(rgba, "RGBA")
    return face


def remove_button():
    return pieces.side_by_side(_badge_face(False), _badge_face(True))


def _back_arrow(blend, ox, oy):
    """A fat arrow pointing left, outlined darker, with a glint along its shaft."""
    w, h = pieces.TILE_W, pieces.TILE_H

    def arrow(draw, s, grow=0.0):
        at = lambda x, y: ((ox + x) * s, (oy + y) * s)  # noqa: E731
        draw.line([at(17, 17), at(31 + grow, 17)], fill=255, width=int((7 + 2 * grow) * s))
        r = (3.5 + grow) * s
        cx, cy = at(31, 17)
        draw.ellipse([cx - r, cy - r, cx + r, cy + r], fill=255)
        draw.polygon([at(7 - grow * 1.4, 17), at(19 + grow * 0.6, 7 - grow * 1.3),
                      at(19 + grow * 0.6, 27 + grow * 1.3)], fill=255)

    blend(pieces.coverage(w, h, lambda d, s: arrow(d, s, 1.0)), (18, 52, 120))
    blend(pieces.coverage(w, h, arrow), (44, 112, 214))

    def shine(draw, s):
        draw.line([(ox + 19) * s, (oy + 15.2) * s, (ox + 31) * s, (oy + 15.2) * s],
                  fill=255, width=int(0.9 * s))
    blend(pieces.coverage(w, h, shine) * 0.7, (140, 186, 246))


def back_button():
    return pieces.side_by_side(pieces.tile_face(False, _back_arrow),
                               pieces.tile_face(True, _back_arrow))


# file name, drawing, colours, expected size
PIECES = (
    ("cell-mark.bmp", cell_mark, 16, (76, 76)),
    ("remove-button.bmp", remove_button, 16, (48, 24)),
    ("back-button.bmp", back_button, 256, (80, 35)),
)


def write_captions(path, words):
    image = captions(words)
    assert image.size == (4 * CAPTION_W, CAPTION_H), f"{path} is {image.size}"
    common.save_bmp(path, image, 256, keyed=True)


# The picture that carries words: its id in the resource script, file name and writer.
WORDED = (("IDB_CAPTIONS", "captions.bmp", write_captions),)


def generate(art_dir, words=None):
    """Every piece into art_dir, the captions lettered in `words` (English unless another
    language block is given)."""
    for name, draw, colours, size in PIECES:
        image = draw()
        assert image.size == size, f"{name} is {image.size}, expected {size}"
        common.save_bmp(os.path.join(art_dir, name), image, colours, keyed=True)
    for _, name, write in WORDED:
        write(os.path.join(art_dir, name), words or languages.english())


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit("usage: chooser.py <art_dir>")
    generate(sys.argv[1])
