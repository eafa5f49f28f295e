"""One PNG that shows every bitmap of an art folder, for judging the artwork by eye.

Usage: /usr/bin/python3 contact_sheet.py <art_dir> <out.png>

Each bitmap gets a row: a label, then the picture at 1x and at 3x (nearest neighbour), each on
the dark slate of the boards and on a light ground. Key-coloured pixels are replaced by the
ground, matched on 5-6-5 bits exactly as the program's compositing drops them, so a stray
near-key pixel shows up as pink here just as it would in the game.
"""

import os
import struct
import sys

import numpy as np
from PIL import Image, ImageDraw, ImageFont

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import common  # noqa: E402

SLATE = (30, 55, 45)
LIGHT = (228, 226, 216)
SHEET = (58, 58, 62)
LABEL = (240, 240, 232)
RULER = (255, 200, 0)
GAP = 12
ZOOM = 3
LABEL_H = 24
RULER_H = 8
MAX_WIDTH = 1560

# strips whose equal parts should line up; marked with rulers above the 3x views
PARTS = {"check-mark.bmp": 4, "settings-button.bmp": 2, "ok-button.bmp": 2,
         "reset-button.bmp": 2, "reset-ring.bmp": 20, "animals.bmp": 10,
         "animals-small.bmp": 8, "captions.bmp": 4, "remove-button.bmp": 2,
         "remove-ring.bmp": 20, "back-button.bmp": 2}


def bmp_depth(path):
    """Bits per pixel and palette entries, read from the BMP's info header."""
    with open(path, "rb") as f:
        header = f.read(54)
    bits = struct.unpack_from("<H", header, 28)[0]
    used = struct.unpack_from("<I", header, 46)[0]
    return bits, used or (1 << bits if bits <= 8 else 0)


def key_mask(rgb):
    """Pixels that compositing drops: equal to the key on the top 5/6/5 bits."""
    a = np.asarray(rgb, dtype=np.uint8)
    k = common.KEY16
    return ((a[..., 0] >> 3) == (k[0] >> 3)) & ((a[..., 1] >> 2) == (k[1] >> 2)) & \
        ((a[..., 2] >> 3) == (k[2] >> 3))


def on_ground(rgb, ground):
    a = np.asarray(rgb, dtype=np.uint8).copy()
    a[key_mask(a)] = ground
    return Image.fromarray(a, "RGB")


def _font(size, bold=False):
    name = "DejaVuSans-Bold.ttf" if bold else "DejaVuSans.ttf"
    return ImageFont.truetype(os.path.join("/usr/share/fonts/truetype/dejavu", name), size)


def _fold(strip, parts):
    """A strip whose 3x view is too wide for the sheet, cut between parts into rows laid one
    under another (the gaps key-coloured, so they show as ground); returns it and the parts of
    one row."""
    part_w = strip.width // parts
    per_row = max(1, min(parts, (MAX_WIDTH - 6 - 2 * GAP) // (part_w * ZOOM)))
    rows = (parts + per_row - 1) // per_row
    folded = Image.new("RGB", (per_row * part_w, rows * (strip.height + 2) - 2), common.KEY16)
    for row in range(rows):
        cut = strip.crop((row * per_row * part_w, 0, min(parts, (row + 1) * per_row) * part_w,
                          strip.height))
        folded.paste(cut, (0, row * (strip.height + 2)))
    return folded, per_row


def _views(image, name):
    """The four views of one bitmap, each framed in its ground, rulers over the 3x ones."""
    parts = PARTS.get(name, 1)
    if image.width * ZOOM + 6 > MAX_WIDTH and parts > 1:
        image, parts = _fold(image, parts)
    w, h = image.size
    big = image.resize((w * ZOOM, h * ZOOM), Image.NEAREST)
    views = []
    for picture, ground, zoomed in ((image, SLATE, False), (image, LIGHT, False),
                                    (big, SLATE, True), (big, LIGHT, True)):
        ruler = RULER_H if zoomed and parts > 1 else 0
        view = Image.new("RGB", (picture.width + 6, picture.height + 6 + ruler), SHEET)
        draw = ImageDraw.Draw(view)
        draw.rectangle([0, ruler, view.width - 1, view.height - 1], fill=ground)
        view.paste(on_ground(picture, ground), (3, ruler + 3))
        for p in range(parts + 1) if ruler else ():
            x = 3 + round(p * picture.width / parts) - (1 if p == parts else 0)
            draw.line([x, 0, x, ruler - 2], fill=RULER)
        views.append(view)
    return views


def _entry(path, font):
    name = os.path.basename(path)
    image = common.load_bmp(path)
    w, h = image.size
    bits, used = bmp_depth(path)
    keyed = int(key_mask(image).sum())
    label = f"{name}   {w} x {h}   {bits}-bit, {used} colours   " + \
        (f"{keyed} key pixels" if keyed else "opaque")
    # views flow left to right and wrap, so wide strips and boards keep the sheet narrow
    lines, line = [], []
    for view in _views(image, name):
        if line and GAP + sum(v.width + GAP for v in line) + view.width > MAX_WIDTH:
            lines.append(line)
            line = []
        line.append(view)
    lines.append(line)
    label_w = int(font.getlength(label)) + 2 * GAP
    width = max([label_w] + [GAP + sum(v.width + GAP for v in ln) for ln in lines])
    height = LABEL_H + sum(max(v.height for v in ln) + GAP for ln in lines)
    entry = Image.new("RGB", (width, height), SHEET)
    ImageDraw.Draw(entry).text((GAP, 4), label, font=font, fill=LABEL)
    y = LABEL_H
    for ln in lines:
        x = GAP
        tallest = max(v.height for v in ln)
        for view in ln:
            entry.paste(view, (x, y + tallest - view.height))
            x += view.width + GAP
        y += tallest + GAP
    return entry


LANGUAGE_ZOOM = 2
LANGUAGE_COLUMNS = 3
TAG_H = 30


def _language_cell(tag, paths, font):
    """One language's pictures that carry words at 2x on the slate, under its tag: the board,
    then the captions one under another, then the OK and RESET strips."""
    views = []
    for idb in ("IDB_SETTINGS_BOARD", "IDB_CAPTIONS", "IDB_OK_BUTTON", "IDB_RESET_BUTTON"):
        image = common.load_bmp(paths[idb])
        parts = PARTS["captions.bmp"] if idb == "IDB_CAPTIONS" else 1
        part_w = image.width // parts
        for i in range(parts):
            frame = image.crop((i * part_w, 0, (i + 1) * part_w, image.height))
            big = frame.resize((frame.width * LANGUAGE_ZOOM, frame.height * LANGUAGE_ZOOM),
                               Image.NEAREST)
            views.append(on_ground(big, SLATE))
    width = max(v.width for v in views)
    height = TAG_H + sum(v.height + GAP // 2 for v in views) + GAP // 2
    cell = Image.new("RGB", (width, height), SHEET)
    ImageDraw.Draw(cell).text((0, 2), tag, font=font, fill=LABEL)
    y = TAG_H
    for i, view in enumerate(views):
        cell.paste(view, (0, y))
        y += view.height + (GAP if i == 0 else GAP // 2)
    return cell


def _languages(languages, font):
    """Every language's pictures with words, a few languages to a row."""
    cells = [_language_cell(tag, paths, _font(22, bold=True)) for tag, paths in languages]
    cell_w = max(c.width for c in cells)
    rows = [cells[i:i + LANGUAGE_COLUMNS] for i in range(0, len(cells), LANGUAGE_COLUMNS)]
    heights = [max(c.height for c in row) for row in rows]
    section = Image.new("RGB", (GAP + LANGUAGE_COLUMNS * (cell_w + GAP),
                                LABEL_H + sum(heights) + GAP), SHEET)
    ImageDraw.Draw(section).text((GAP, 4), "Pictures that carry words, by language (2x)",
                                 font=font, fill=LABEL)
    y = LABEL_H
    for row, height in zip(rows, heights):
        for column, cell in enumerate(row):
            section.paste(cell, (GAP + column * (cell_w + GAP), y))
        y += height + GAP
    return section


def generate(art_dir, out_path, languages=()):
    """The sheet of every bitmap in art_dir, then, for each (tag, {id: path}) of `languages`,
    the pictures that carry words."""
    font = _font(13, bold=True)
    names = sorted(n for n in os.listdir(art_dir) if n.lower().endswith(".bmp"))
    rows = [_entry(os.path.join(art_dir, n), font) for n in names]
    if not rows:
        raise SystemExit(f"no .bmp files in {art_dir}")
    if languages:
        rows.append(_languages(languages, font))
    width = max(r.width for r in rows)
    height = sum(r.height for r in rows) + GAP
    sheet = Image.new("RGB", (width, height), SHEET)
    y = GAP // 2
    for r in rows:
        sheet.paste(r, (0, y))
        y += r.height
    sheet.save(out_path)
    return out_path


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit("usage: contact_sheet.py <art_dir> <out.png>")
    generate(sys.argv[1], sys.argv[2])
