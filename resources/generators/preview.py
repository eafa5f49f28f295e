"""Shows each board as the program will: with its buttons, texts and pictures on top.

    /usr/bin/python3 preview.py <out_dir>

Boards are drawn fresh (and palettised exactly as shipped); the small pictures come from
the art folder when they have been generated, otherwise plain stand-ins are drawn. Texts
imitate the program's renderer: DejaVu Sans Bold, 1-bit glyphs, a Win32 cell height.
"""

import os
import struct
import sys
import tempfile

from PIL import Image, ImageDraw, ImageFont

import boards
import common

HERE = os.path.dirname(os.path.abspath(__file__))
ART_DIR = os.path.join(os.path.dirname(HERE), "art")
FONT_PATH = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"

SALMON = (255, 100, 100)
CHALK_YELLOW = (253, 251, 67)
WHITE = (255, 255, 255)
YELLOW = (255, 255, 0)
BLACK = (0, 0, 0)


def _font_metrics(path):
    """unitsPerEm, usWinAscent and usWinDescent, read from the font's head and OS/2 tables."""
    with open(path, "rb") as f:
        data = f.read()
    tables = {}
    for i in range(struct.unpack(">H", data[4:6])[0]):
        tag, _, offset, _ = struct.unpack(">4sIII", data[12 + 16 * i:28 + 16 * i])
        tables[tag] = offset
    head, os2 = tables[b"head"], tables[b"OS/2"]
    units = struct.unpack(">H", data[head + 18:head + 20])[0]
    ascent, descent = struct.unpack(">HH", data[os2 + 74:os2 + 78])
    return units, ascent, descent


class CellFont:
    """A bold font addressed by Win32 cell height (ascent + descent), as the program does."""

    _metrics = None

    def __init__(self, height):
        if CellFont._metrics is None:
            CellFont._metrics = _font_metrics(FONT_PATH)
        units, win_ascent, win_descent = CellFont._metrics
        cell = win_ascent + win_descent
        self.height = height
        self.ascent = round(height * win_ascent / cell)
        self.face = ImageFont.truetype(FONT_PATH, round(height * units / cell))

    def width(self, text):
        return sum(round(self.face.getlength(ch)) for ch in text)

    def draw(self, image, x, y, text, colour):
        draw = ImageDraw.Draw(image)
        draw.fontmode = "1"
        pen = x
        for ch in text:
            draw.text((pen, y + self.ascent), ch, font=self.face, fill=colour, anchor="ls")
            pen += round(self.face.getlength(ch))


# --- the small pictures -------------------------------------------------------------------

def _keyed(path):
    """A BMP as RGBA with its key-coloured pixels transparent."""
    rgb = common.load_bmp(path)
    rgba = rgb.convert("RGBA")
    rgba.putdata([(r, g, b, 0 if common.matches_key((r, g, b)) else 255)
                  for r, g, b in rgb.getdata()])
    return rgba


def _stand_in(name):
    """A plain approximation of a piece that has not been generated yet."""
    if name == "settings-button.bmp":
        img = Image.new("RGBA", (80, 35), (0, 0, 0, 0))
        d = ImageDraw.Draw(img)
        for dx, shade in ((0, 170), (40, 130)):
            d.rounded_rectangle((dx + 1, 1, dx + 38, 33), 5, fill=(shade,) * 3 + (255,),
                                outline=(60, 60, 60, 255))
            d.line((dx + 8, 26, dx + 18, 17, dx + 24, 21, dx + 32, 9), fill=(200, 30, 30, 255),
                   width=3)
        return img
    if name == "exit-box.bmp":
        img = Image.new("RGBA", (20, 20), (150, 20, 20, 255))
        d = ImageDraw.Draw(img)
        d.rectangle((0, 0, 19, 19), outline=(210, 90, 90, 255))
        d.line((5, 5, 14, 14), fill=WHITE, width=3)
        d.line((5, 14, 14, 5), fill=WHITE, width=3)
        return img
    if name == "star.bmp":
        img = Image.new("RGBA", (15, 15), (0, 0, 0, 0))
        pts = [(7 + 7 * c, 7.5 + 7 * s) for c, s in
               ((0, -1), (0.22, -0.3), (0.95, -0.31), (0.36, 0.12), (0.59, 0.81), (0, 0.38),
                (-0.59, 0.81), (-0.36, 0.12), (-0.95, -0.31), (-0.22, -0.3))]
        ImageDraw.Draw(img).polygon(pts, fill=(255, 220, 40, 255), outline=(170, 110, 0, 255))
        return img
    if name == "tick.bmp":
        img = Image.new("RGBA", (10, 10), (0, 0, 0, 0))
        ImageDraw.Draw(img).line((1, 5, 4, 8, 9, 1), fill=(150, 20, 20, 255), width=2)
        return img
    if name == "check-mark.bmp":
        img = Image.new("RGBA", (400, 100), (0, 0, 0, 0))
        ImageDraw.Draw(img).line((320, 55, 345, 85, 390, 15), fill=(240, 240, 235, 255),
                                 width=7)
        return img
    if name in ("ok-button.bmp", "reset-button.bmp"):
        word = "OK" if name == "ok-button.bmp" else "RESET"
        w = 60 if word == "OK" else 90
        img = Image.new("RGBA", (2 * w, 30), (0, 0, 0, 0))
        face = ImageFont.truetype(FONT_PATH, 22)
        d = ImageDraw.Draw(img)
        d.text((w // 2, 15), word, font=face, fill=(250, 230, 60, 255), anchor="mm")
        d.text((w + w // 2 + 1, 16), word, font=face, fill=(190, 170, 40, 255), anchor="mm")
        return img
    raise KeyError(name)


def _piece(art_dir, name):
    path = os.path.join(art_dir, name)
    return _keyed(path) if os.path.exists(path) else _stand_in(name)


def _left_half(img):
    return img.crop((0, 0, img.width // 2, img.height))


def _frame(img, index, width):
    return img.crop((index * width, 0, (index + 1) * width, img.height))


def _put(board, piece, x, y):
    board.paste(piece, (x, y), piece)


# --- what each screen draws -----------------------------------------------------------------

def _equation(board, x_centre, top, first, second, symbol, result=None):
    big = CellFont(50)
    w1, w2, w3 = big.width(first), big.width(second), big.width(symbol)
    width = max(w1, w2) + w3
    height = 2 * big.height + 6
    x = (2 * x_centre - width) // 2
    big.draw(board, x, top + (height - big.height) // 2, symbol, SALMON)
    big.draw(board, x + width - w1, top, first, SALMON)
    big.draw(board, x + width - w2, top + big.height + 1, second, SALMON)
    ImageDraw.Draw(board).rectangle((x, top + height - 3, x + width - 1, top + height - 1),
                                    fill=SALMON)
    if result is not None:
        big.draw(board, x + width - big.width(result), top + height, result, SALMON)


def _cards(board, numbers):
    digits = CellFont(20)
    d = ImageDraw.Draw(board)
    for slot, number in enumerate(numbers):
        if number is None:
            continue
        x, y = 20 + 50 * slot, 268
        d.rectangle((x, y, x + 45, y + 49), fill=CHALK_YELLOW, outline=BLACK)
        text = str(number)
        digits.draw(board, x + (46 - digits.width(text)) // 2, y + (50 - digits.height) // 2,
                    text, BLACK)


def game(board, art_dir, level, score, problem, cards, solved=False):
    for i in range(level):
        _put(board, _piece(art_dir, "star.bmp"), 210, 50 + 15 * i)
    _put(board, _left_half(_piece(art_dir, "settings-button.bmp")), 12, 20)
    small = CellFont(16)
    small.draw(board, 90, 20, "Score", CHALK_YELLOW)
    small.draw(board, 130, 20, str(score), SALMON)
    _put(board, _piece(art_dir, "exit-box.bmp"), 208, 20)
    first, symbol, second, result = problem
    _equation(board, 120, 70, first, second, symbol, result if solved else None)
    _cards(board, cards)
    if solved:
        _put(board, _frame(_piece(art_dir, "check-mark.bmp"), 3, 100), 70, 90)


def settings(board, art_dir, auto, level, percentages):
    ok = _piece(art_dir, "ok-button.bmp")
    reset = _piece(art_dir, "reset-button.bmp")
    _put(board, _left_half(ok), 35, 260)
    _put(board, _left_half(reset), 120, 260)
    tick = _piece(art_dir, "tick.bmp")
    if auto:
        _put(board, tick, 30, 43)
    _put(board, tick, 30 + 30 * ((level - 1) % 6), 87 + 22 * ((level - 1) // 6))
    _put(board, _piece(art_dir, "exit-box.bmp"), 208, 20)
    text = CellFont(12)
    for i, p in enumerate(percentages):
        text.draw(board, 66 + 70 * (i % 3), 153 + 21 * (i // 3), str(p), WHITE)


def title(board, art_dir):
    text = CellFont(12)
    text.draw(board, 15, 287, "v. 1.1", YELLOW)
    text.draw(board, 158, 287, "2024 - 2025", YELLOW)


SCENES = (
    ("game", "game-board.bmp",
     lambda b, a: game(b, a, 5, 1234, ("47", "+", "38", "85"), (84, 85, 75, 95))),
    ("game-solved", "game-board.bmp",
     lambda b, a: game(b, a, 12, 999999, ("144", "÷", "12", "12"), (None, 13, 12, 11), True)),
    ("settings", "settings-board.bmp",
     lambda b, a: settings(b, a, True, 10, (100, 66, 0, 85, 100, 7, 50, 33, 100, 0, 12, 100))),
    ("title", "title.bmp", title),
)


def generate(out_dir, art_dir=ART_DIR):
    os.makedirs(out_dir, exist_ok=True)
    with tempfile.TemporaryDirectory() as fresh:
        boards.generate(fresh)
        for name, board_file, draw in SCENES:
            board = common.load_bmp(os.path.join(fresh, board_file))
            board_only = board.copy()
            draw(board, art_dir)
            board.save(os.path.join(out_dir, name + ".png"))
            board.resize((720, 960), Image.Resampling.NEAREST).save(
                os.path.join(out_dir, name + "@3x.png"))
            if name != "game-solved":
                board_only.resize((720, 960), Image.Resampling.NEAREST).save(
                    os.path.join(out_dir, name + "-bare@3x.png"))


if __name__ == "__main__":
    if len(sys.argv) not in (2, 3):
        sys.exit("usage: preview.py <out_dir> [art_dir]")
    generate(*sys.argv[1:])
