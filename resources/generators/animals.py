"""Draws the children's animals in coloured chalk: eight animals and the "add" and "remove"
tiles at 64 x 64 (149), and the eight animals again at 24 x 24 for the drill's top bar (150).

Usage: /usr/bin/python3 animals.py <art_dir>

Every animal is drawn on a 64-unit grid by one function, once for each size. A shape is a
soft chalk fill with a brighter chalk outline; eyes, noses and mouths go on top in solid
colours. At 24 pixels the small flag drops fine detail, thickens what is left and keeps each
eye a clear dark pupil, so the animals are redrawn for that size rather than shrunk.
"""

import os
import sys

import numpy as np
from PIL import Image, ImageDraw

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import common  # noqa: E402
import pieces  # noqa: E402

SCALE = 8                        # supersampling of every shape
SLATE = np.array((30, 55, 45), np.float32)
PUPIL = (24, 26, 30)
WHITE = (246, 244, 234)
PINK = (255, 160, 145)


def curve(p0, p1, p2, n=12):
    """Points of a quadratic curve from p0 to p2 pulled towards p1."""
    t = np.linspace(0, 1, n)[:, None]
    points = (1 - t) ** 2 * np.array(p0) + 2 * (1 - t) * t * np.array(p1) + t ** 2 * np.array(p2)
    return [tuple(p) for p in points]


def mirror(points):
    return [(64 - x, y) for x, y in points]


BOTH_SIDES = (list, mirror)


class Pen:
    """Collects an animal's shapes, in drawing order, on a 64-unit grid scaled to `span`
    pixels in the middle of a `size`-pixel frame."""

    def __init__(self, size, span):
        self.size = size
        self.small = size < 40
        self.pixel = 64.0 / span                   # one pixel in units
        self.margin = (size - span) / 2.0
        self.layers = []

    def _to_pixels(self, values):
        return [(v / self.pixel + self.margin) * SCALE for v in values]

    def _cover(self, paint):
        big = Image.new("L", (self.size * SCALE,) * 2, 0)
        paint(ImageDraw.Draw(big), self._to_pixels)
        return np.asarray(big.reduce(SCALE), np.float32) / 255.0

    def _add(self, style, colour, paint):
        self.layers.append((style, np.asarray(colour, np.float32), self._cover(paint)))

    def ellipse(self, box, colour, style="shape"):
        self._add(style, colour, lambda d, f: d.ellipse(f(box), fill=255))

    def polygon(self, points, colour, style="shape"):
        self._add(style, colour, lambda d, f: d.polygon(f(np.ravel(points)), fill=255))

    def pie(self, box, start, end, colour, style="shape"):
        self._add(style, colour, lambda d, f: d.pieslice(f(box), start, end, fill=255))

    def stroke(self, points, width, colour, style="line"):
        """A chalk line through `points`, `width` units wide, with round ends."""
        if self.small:
            width = max(width, 1.3 * self.pixel)

        def paint(d, f):
            flat = f(np.ravel(points))
            w = width / self.pixel * SCALE
            d.line(flat, fill=255, width=max(1, int(round(w))), joint="curve")
            for x, y in zip(flat[0::2], flat[1::2]):
                d.ellipse([x - w / 2, y - w / 2, x + w / 2, y + w / 2], fill=255)
        self._add(style, colour, paint)

    def eye(self, cx, cy, radius, rings=(WHITE,), pupil=0.55, slit=False):
        """An eye that reads at either size: discs of `rings` colours (a white, an iris), each
        smaller than the last, and a dark pupil with a glint of light; never under two pixels
        across."""
        k = self.pixel
        for number, colour in enumerate(rings):
            r = max(radius * (1 - 0.2 * number), (2.0 - 0.4 * number) * k)
            self.ellipse((cx - r, cy - r, cx + r, cy + r), colour, "solid")
        if slit:
            w, h = max(radius * 0.25, 0.6 * k), max(radius * 0.75, 1.6 * k)
        else:
            w = h = max(radius * (pupil if rings else 1.0), 1.1 * k)
        dy = radius * 0.1 if rings else 0.0
        if self.small and not slit:
            # a square of two by two pixels, its top left pixel the glint
            x, y = ((round(v / k + self.margin - 1) - self.margin) * k for v in (cx, cy + dy))
            self.polygon([(x, y), (x + 2 * k, y), (x + 2 * k, y + 2 * k), (x, y + 2 * k)],
                         PUPIL, "solid")
            self.polygon([(x, y), (x + k, y), (x + k, y + k), (x, y + k)], WHITE, "solid")
            return
        self.ellipse((cx - w, cy + dy - h, cx + w, cy + dy + h), PUPIL, "solid")
        if not slit:
            g = max(h * 0.4, 0.9 * k)
            gx, gy = cx - w * 0.35, cy + dy - h * 0.35
            self.ellipse((gx - g, gy - g, gx + g, gy + g), WHITE, "solid")

    def render(self, seed):
        size = self.size
        ys, xs = np.mgrid[0:size, 0:size]
        # strokes of the chalk run diagonally: noise stretched fourfold along them
        streak = pieces.value_noise(size, 2 * size, 2, seed)[xs - ys + size - 1, (xs + ys) // 4]
        rough = pieces.value_noise(size, size, 2, seed + 1) - 0.5
        edge = 1 if self.small else 2
        disc = [(dx, dy) for dx in range(-edge, edge + 1) for dy in range(-edge, edge + 1)
                if dx * dx + dy * dy <= edge * edge + 1]
        layers = []
        for style, colour, cover in self.layers:
            if style == "solid":
                layers.append((cover >= 0.5, colour))
                continue
            # broken edges on shapes; lines keep whole, or thin ones would fall apart
            ragged = 0.35 if style != "line" and not self.small else 0.0
            mask = cover + ragged * rough >= 0.5
            light = colour + (255 - colour) * 0.35
            if style == "line":
                layers += [(mask, colour), (mask & (streak > 0.72), light)]
                continue
            # a shape: a soft fill of chalk rubbed over the slate, its outline pressed harder;
            # a patch is a fill alone, rubbed in more firmly
            # (in a few steps, so the palette keeps every colour exactly)
            strength = (0.78 if self.small else 0.72) + 0.4 * (streak - 0.5)[..., None]
            if style == "patch":
                strength = strength + 0.15
            strength = np.round(strength * 12) / 12
            inner = mask.copy()
            for dx, dy in disc:
                inner &= pieces.shift(mask, dx, dy)
            outline = mask & ~inner if style == "shape" else np.zeros_like(mask)
            layers += [(mask, SLATE + (colour - SLATE) * np.minimum(strength, 1.0)),
                       (outline, colour), (outline & (streak > 0.7), light)]
        return pieces.compose(layers, (size, size))


# ---------------------------------------------------------------------------------------------
# The animals, each in its own colour family

def owl(p):
    violet, dark = (165, 140, 240), (120, 96, 210)
    for side in BOTH_SIDES:
        p.polygon(side([(9, 3), (24, 12), (12, 20)]), violet)
    p.ellipse((8, 8, 56, 61), violet)
    p.ellipse((19, 33, 45, 59), (215, 205, 255), "patch")
    for side in BOTH_SIDES:
        p.polygon(side(curve((15, 30), (2, 42), (13, 58)) + curve((13, 58), (21, 44), (15, 30))),
                  dark)
    if not p.small:
        for x, y in ((27, 43), (37, 43), (32, 49), (27, 55), (37, 55)):
            p.stroke(curve((x - 3, y - 2), (x, y + 1), (x + 3, y - 2), 6), 1.4, dark)
    for x in (21, 43):
        p.ellipse((x - 11, 13, x + 11, 35), (225, 218, 255), "patch")
        p.eye(x, 24, 8, rings=((250, 214, 60),), pupil=0.5)
    p.polygon([(28, 32), (36, 32), (32, 40)], (255, 160, 40), "solid")
    for x in (26, 38):
        p.stroke([(x - 3, 61), (x, 58), (x + 3, 61)], 2.2, (255, 160, 40))


def fox(p):
    orange, white = (255, 140, 50), WHITE
    for side in BOTH_SIDES:
        p.polygon(side([(7, 2), (27, 16), (10, 30)]), orange)
        p.polygon(side([(10, 8), (22, 17), (12, 25)]), (110, 56, 36), "patch")
    p.polygon([(3, 32), (12, 17), (32, 12), (52, 17), (61, 32), (44, 46), (32, 60),
               (20, 46)], orange)
    for side in BOTH_SIDES:
        p.polygon(side([(5, 33), (20, 38), (28, 50), (32, 59), (20, 47)]), white, "patch")
    for x in (22, 42):
        p.eye(x, 31, 4, rings=())
    p.ellipse((27, 52, 37, 59), PUPIL, "solid")


def cat(p):
    yellow = (255, 214, 64)
    for side in BOTH_SIDES:
        p.polygon(side([(8, 3), (28, 15), (8, 30)]), yellow)
        p.polygon(side([(11, 10), (22, 16), (11, 24)]), PINK, "patch")
    p.ellipse((5, 12, 59, 60), yellow)
    if not p.small:
        for x in (27, 32, 37):
            p.stroke([(x, 15), (x, 22)], 2.2, (230, 140, 40))
    for x in (21, 43):
        p.eye(x, 34, 6, rings=(WHITE, (130, 220, 90)), slit=True)
    p.polygon([(28, 42), (36, 42), (32, 47)], PINK, "solid")
    if not p.small:
        p.stroke(curve((25, 48), (28, 53), (32, 47), 8) + curve((32, 47), (36, 53), (39, 48), 8),
                 1.6, (120, 70, 20))
        for side in BOTH_SIDES:
            p.stroke(side(curve((19, 45), (10, 42), (2, 43), 8)), 1.4, WHITE)
            p.stroke(side(curve((19, 48), (10, 48), (3, 51), 8)), 1.4, WHITE)


def frog(p):
    green = (120, 220, 80)
    for x in (17, 47):
        p.ellipse((x - 13, 5, x + 13, 31), green)
    p.ellipse((3, 17, 61, 59), green)
    for x in (17, 47):
        p.eye(x, 18, 8)
    p.stroke(curve((14, 42), (32, 56), (50, 42), 16), 2.4, (40, 110, 40))
    p.ellipse((10, 38, 18, 44), PINK, "patch")
    p.ellipse((46, 38, 54, 44), PINK, "patch")
    for x in (28, 36):
        p.ellipse((x - 1.2, 32, x + 1.2, 34.4), (40, 110, 40), "solid")


def bear(p):
    brown, tan = (200, 130, 70), (236, 200, 150)
    for x in (14, 50):
        p.ellipse((x - 10, 4, x + 10, 24), brown)
        p.ellipse((x - 5, 9, x + 5, 19), tan, "patch")
    p.ellipse((5, 10, 59, 60), brown)
    p.ellipse((19, 34, 45, 56), tan)
    for x in (21, 43):
        p.eye(x, 29, 4, rings=())
    p.ellipse((27, 36, 37, 43), PUPIL, "solid")
    p.stroke([(32, 42), (32, 47)], 1.6, PUPIL)
    p.stroke(curve((26, 47), (32, 52), (38, 47), 8), 1.6, PUPIL)


def rabbit(p):
    white, grey = (242, 240, 232), (130, 120, 120)
    for x in (21, 43):
        p.ellipse((x - 7, 1, x + 7, 36), white)
        p.ellipse((x - 3.5, 6, x + 3.5, 32), PINK, "patch")
    p.ellipse((9, 24, 55, 63), white)
    for x in (23, 41):
        p.eye(x, 39, 4, rings=())
    p.polygon([(29, 46), (35, 46), (32, 50)], PINK, "solid")
    p.stroke([(32, 49), (32, 53)], 1.4, grey)
    p.stroke(curve((27, 53), (29.5, 56), (32, 53), 6) + curve((32, 53), (34.5, 56), (37, 53), 6),
             1.4, grey)
    if not p.small:
        for side in BOTH_SIDES:
            p.stroke(side(curve((21, 49), (12, 46), (6, 46), 8)), 1.3, (210, 210, 200))
            p.stroke(side(curve((21, 51), (12, 52), (7, 55), 8)), 1.3, (210, 210, 200))


def turtle(p):
    shell, skin, dark = (60, 200, 180), (150, 226, 150), (24, 120, 104)
    p.ellipse((40, 16, 63, 40), skin)
    for x in (9, 33):
        p.ellipse((x, 40, x + 13, 56), skin)
    p.polygon([(4, 40), (0, 45), (8, 44)], skin)
    p.pie((2, 8, 52, 78), 180, 360, shell)
    p.stroke([(3, 43), (51, 43)], 3, dark)
    if not p.small:
        p.polygon([(20, 20), (33, 20), (39, 31), (33, 42), (20, 42), (14, 31)], dark, "patch")
        for a, b in (((20, 20), (14, 13)), ((33, 20), (39, 13)), ((14, 31), (3, 31)),
                     ((39, 31), (50, 31))):
            p.stroke([a, b], 1.4, dark)
    p.eye(53, 25, 3.4, rings=())
    if not p.small:
        p.stroke(curve((52, 32), (56, 34), (60, 30), 6), 1.4, dark)


def mouse(p):
    blue = (150, 170, 232)
    for x in (14, 50):
        p.ellipse((x - 13, 6, x + 13, 32), blue)
        p.ellipse((x - 7, 12, x + 7, 26), PINK, "patch")
    p.polygon([(11, 34), (20, 20), (44, 20), (53, 34), (42, 52), (32, 60), (22, 52)], blue)
    for x in (25, 39):
        p.eye(x, 35, 3.6, rings=())
    p.ellipse((28.5, 55, 35.5, 61), PINK, "solid")
    if not p.small:
        for side in BOTH_SIDES:
            p.stroke(side(curve((26, 54), (16, 50), (6, 51), 8)), 1.3, (210, 214, 230))
            p.stroke(side(curve((26, 56), (17, 57), (8, 61), 8)), 1.3, (210, 214, 230))


ANIMALS = (owl, fox, cat, frog, bear, rabbit, turtle, mouse)


# ---------------------------------------------------------------------------------------------
# The "add" and "remove" tiles

def add(p):
    chalk = (232, 232, 222)
    # a dashed rounded square: sixteen short strokes round its edge
    for t0 in np.arange(0, 1, 1 / 16):
        p.stroke(_rounded_square_points(t0 + 0.012, t0 + 1 / 16 - 0.012), 2.0, chalk)
    p.stroke([(32, 17), (32, 47)], 6, chalk)
    p.stroke([(17, 32), (47, 32)], 6, chalk)


def _rounded_square_points(t0, t1, inset=5.0, radius=10.0, n=8):
    """Points of a rounded square's outline between fractions t0 and t1 of the way round."""
    side = 64 - 2 * inset - 2 * radius
    quarter = side + np.pi * radius / 2
    out = []
    for t in np.linspace(t0, t1, n):
        d = (t % 1.0) * 4 * quarter
        k, d = int(d // quarter), d % quarter
        if d < side:
            x, y = inset + radius + d, inset
        else:
            a = (d - side) / radius - np.pi / 2
            x, y = 64 - inset - radius + radius * np.cos(a), inset + radius + radius * np.sin(a)
        for _ in range(k):                      # turn the top edge round to the k-th side
            x, y = 64 - y, x
        out.append((x, y))
    return out


def remove(p):
    red = (236, 64, 52)
    p.stroke(curve((12, 13), (30, 30), (52, 52), 10), 8, red)
    p.stroke(curve((52, 12), (32, 30), (12, 51), 10), 8, red)


def strip(drawings, size, span, seed):
    frames = []
    for number, draw in enumerate(drawings):
        pen = Pen(size, span)
        draw(pen)
        frames.append(pen.render(seed + 10 * number))
    return pieces.side_by_side(*frames)


def generate(art_dir):
    # a little margin round the large pictures; the small ones use every pixel
    big = strip(ANIMALS + (add, remove), 64, 58, 149)
    small = strip(ANIMALS, 24, 24, 150)
    assert big.size == (640, 64) and small.size == (192, 24)
    common.save_bmp(os.path.join(art_dir, "animals.bmp"), big, 256, keyed=True)
    common.save_bmp(os.path.join(art_dir, "animals-small.bmp"), small, 256, keyed=True)


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit("usage: animals.py <art_dir>")
    generate(sys.argv[1])
