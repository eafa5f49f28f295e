"""Draws the rings of chalk that fill around a button while it is held: round RESET (148) and
round a child's remove badge (154). Each is a strip of equal frames, the first with a short
stroke from the top middle, each further one drawn further round clockwise, the last closed.
Under the stroke a faint trace of the whole ring shows where it will go. Written as keyed
16-colour BMPs into an art folder.

Usage: /usr/bin/python3 hold_ring.py <art_dir>
"""

import os
import sys

import numpy as np

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import common  # noqa: E402
import pieces  # noqa: E402

FRAMES = 20
INSET = 2.5          # the stroke's centre line from the frame's edge
HALF_WIDTH = 1.9     # of the chalk stroke
TRACE_HALF_WIDTH = 1.1

CHALK = {"dim": (204, 206, 198), "base": (235, 235, 225), "light": (252, 252, 246)}
TRACE = (86, 106, 98)   # chalk dust, faint on the slate


def _centre_line(width, height, r):
    """Samples of the centre line of a ring with corners of radius `r`, clockwise from the top
    middle, about 0.25 px apart, and the arc length at each."""
    left, top = INSET, INSET
    right, bottom = width - INSET, height - INSET
    parts = []

    def line(x0, y0, x1, y1):
        n = max(2, int(np.hypot(x1 - x0, y1 - y0) * 4))
        t = np.linspace(0, 1, n)[:, None]
        parts.append((1 - t) * np.array([x0, y0]) + t * np.array([x1, y1]))

    def corner(cx, cy, start):
        a = np.linspace(start, start + np.pi / 2, int(r * np.pi / 2 * 4))
        parts.append(np.c_[cx + r * np.cos(a), cy + r * np.sin(a)])

    mid = width / 2
    line(mid, top, right - r, top)
    corner(right - r, top + r, -np.pi / 2)
    line(right, top + r, right, bottom - r)
    corner(right - r, bottom - r, 0)
    line(right - r, bottom, left + r, bottom)
    corner(left + r, bottom - r, np.pi / 2)
    line(left, bottom - r, left, top + r)
    corner(left + r, top + r, np.pi)
    line(left + r, top, mid, top)
    points = np.vstack(parts)
    steps = np.r_[0, np.cumsum(np.hypot(*np.diff(points, axis=0).T))]
    return points, steps


def frames(width, height, radius, seed, colours=CHALK, trace_colour=TRACE):
    """The ring drawn further round in each frame, in chalk of three `colours`; with no
    `trace_colour`, no trace."""
    points, steps = _centre_line(width, height, radius)
    length = steps[-1]
    ys, xs = np.mgrid[0:height, 0:width].astype(np.float32)
    gap = np.hypot(xs[..., None] - points[:, 0], ys[..., None] - points[:, 1])
    nearest = np.argmin(gap, axis=2)
    distance = np.min(gap, axis=2)
    along = steps[nearest]

    # ragged chalk edges, bare grains inside, streaks of fuller chalk; the trace only in specks
    edge = (pieces.value_noise(width, height, 3, seed) - 0.5) * 1.2 + \
        (pieces.grain(width, height, seed + 1) - 0.5) * 0.6
    speck = pieces.grain(width, height, seed + 2)
    streak = pieces.value_noise(width, height, 2, seed + 3)
    stroke = distance <= HALF_WIDTH + edge
    trace = (distance <= TRACE_HALF_WIDTH + edge * 0.5) & (speck > 0.25)
    core = distance <= HALF_WIDTH - 1.0
    holes = core & (speck < 0.04)
    outer = stroke & ~core & (ys + xs * 0.2 > height / 2)   # shade away from the light

    faces = []
    for frame in range(FRAMES):
        drawn = length * (frame + 1) / FRAMES
        # the stroke's end is round, as a stick of chalk leaves it
        end = points[np.searchsorted(steps, drawn, side="right") - 1]
        reached = (along <= drawn) | (np.hypot(xs - end[0], ys - end[1]) <= HALF_WIDTH) | \
            (np.hypot(xs - points[0, 0], ys - points[0, 1]) <= HALF_WIDTH)
        chalk = stroke & reached & ~holes
        layers = [(trace & ~chalk, trace_colour)] if trace_colour else []
        faces.append(pieces.compose(layers + [
            (chalk, colours["base"]),
            (chalk & outer, colours["dim"]),
            (chalk & (streak > 0.74), colours["light"]),
        ], (width, height)))
    return faces


# file, the button's width and height (the ring lies 6 pixels round it), corner radius, seed
RINGS = (
    ("reset-ring.bmp", 90, 30, 13.0, 148),
    ("remove-ring.bmp", 24, 24, 15.5, 154),   # a circle: the corners meet
)


def generate(art_dir):
    for name, width, height, radius, seed in RINGS:
        strip = pieces.side_by_side(*frames(width + 12, height + 12, radius, seed))
        assert strip.size == ((width + 12) * FRAMES, height + 12)
        common.save_bmp(os.path.join(art_dir, name), strip, 16, keyed=True)


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit("usage: hold_ring.py <art_dir>")
    generate(sys.argv[1])
