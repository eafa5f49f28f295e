"""What every painted word goes through before it is drawn: each character must have a glyph
in the lettering face, and the word must fit its place, shrunk no more than it needs."""

import numpy as np
from PIL import Image, ImageDraw

_NO_GLYPH = "\U000F0000"     # a private-use code point: the face draws its missing-glyph box


def _rendering(ch, face):
    l, t, r, b = face.getbbox(ch)
    img = Image.new("L", (max(r - l, 1), max(b - t, 1)), 0)
    ImageDraw.Draw(img).text((-l, -t), ch, font=face, fill=255)
    return img.size, np.asarray(img).tobytes()


def require_glyphs(text, face):
    """Raises naming every character of `text` that the face would draw as a missing-glyph box
    or not at all."""
    box = _rendering(_NO_GLYPH, face)
    missing = [ch for ch in sorted(set(text)) if not ch.isspace() and
               (_rendering(ch, face) == box or not any(_rendering(ch, face)[1]))]
    if missing:
        name = face.getname()
        raise ValueError(f"{name[0]} {name[1]} has no glyph for "
                         f"{' '.join(f'{ch!r} (U+{ord(ch):04X})' for ch in missing)} "
                         f"in {text!r}")


def fit(text, sizes, fits):
    """The first of `sizes` (largest first) at which `fits(size)` holds: the lettering shrunk
    just enough. Raises when even the smallest will not do, rather than cutting the word."""
    for size in sizes:
        if fits(size):
            if size != sizes[0]:
                print(f"  {text!r} lettered at {size} px instead of {sizes[0]}")
            return size
    raise ValueError(f"{text!r} does not fit its place even at {sizes[-1]} px")
