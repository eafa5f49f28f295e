"""Shared by the art generators: palettised BMP output with exact key colours.

Pictures are drawn as RGBA Pillow images. Bitmaps with a key-coloured background treat
alpha as coverage: a pixel is either fully the shape's own colour (alpha >= 128) or exactly
the key colour, never a blend of the two, so no pink fringe can survive colour keying.
"""

import struct

from PIL import Image

KEY16 = (0xF6, 0x8C, 0xC5)   # background of the 16-colour bitmaps
KEY256 = (0xF7, 0x8C, 0xC6)  # background of the 256-colour bitmaps


def key_for(colours):
    return KEY16 if colours == 16 else KEY256


def matches_key(rgb):
    """True when compositing would drop this colour: equal to the key on 5-6-5 bits."""
    r, g, b = rgb
    return (r >> 3, g >> 2, b >> 3) == (KEY16[0] >> 3, KEY16[1] >> 2, KEY16[2] >> 3)


def near_key(rgb, distance=48):
    """A pinkish colour close to the key: it would read as a fringe around a shape."""
    return all(abs(c - k) <= distance for c, k in zip(rgb, KEY16))


def _quantise(rgb_pixels, count):
    """Reduces a list of RGB tuples to at most `count` colours; returns (palette, indexes)."""
    if not rgb_pixels:
        return [], []
    distinct = sorted(set(rgb_pixels))
    if len(distinct) <= count:
        lookup = {c: i for i, c in enumerate(distinct)}
        return distinct, [lookup[c] for c in rgb_pixels]
    strip = Image.new("RGB", (len(rgb_pixels), 1))
    strip.putdata(rgb_pixels)
    quantised = strip.quantize(colors=count, method=Image.Quantize.MEDIANCUT,
                               dither=Image.Dither.NONE)
    flat = quantised.getpalette()[: 3 * count]
    palette = [tuple(flat[i:i + 3]) for i in range(0, len(flat), 3)]
    return palette, list(quantised.getdata())


def _check_palette(path, palette, key):
    for colour in palette:
        if colour == key:
            continue
        if matches_key(colour) or near_key(colour):
            raise ValueError(f"{path}: colour {colour} is too close to the key colour")


def save_bmp(path, image, colours, keyed=False):
    """Writes `image` as a palettised BMP of 256 (8-bit) or 16 (4-bit) colours.

    With `keyed`, pixels whose alpha is below 128 become the exact key colour of that depth
    and all others keep their own colour at full strength.
    """
    assert colours in (16, 256)
    image = image.convert("RGBA")
    width, height = image.size
    key = key_for(colours)
    pixels = list(image.getdata())
    if keyed:
        shape = [(r, g, b) for r, g, b, a in pixels if a >= 128]
        palette, indexes = _quantise(shape, colours - 1)
        palette = [key] + palette
        it = iter(indexes)
        data = [0 if a < 128 else next(it) + 1 for r, g, b, a in pixels]
    else:
        palette, data = _quantise([(r, g, b) for r, g, b, a in pixels], colours)
    _check_palette(path, palette, key if keyed else None)
    _write(path, width, height, colours, palette, data)


def _write(path, width, height, colours, palette, data):
    bits = 8 if colours == 256 else 4
    row_bytes = ((width * bits + 31) // 32) * 4
    rows = []
    for y in range(height - 1, -1, -1):  # bottom-up, as BMPs are stored
        line = data[y * width:(y + 1) * width]
        if bits == 8:
            packed = bytes(line)
        else:
            padded = line + [0] * (len(line) % 2)
            packed = bytes((padded[i] << 4) | padded[i + 1] for i in range(0, len(padded), 2))
        rows.append(packed + b"\0" * (row_bytes - len(packed)))
    pixel_data = b"".join(rows)
    palette_bytes = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    offset = 14 + 40 + len(palette_bytes)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixel_data), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, len(pixel_data),
                       2835, 2835, len(palette), 0)
    with open(path, "wb") as out:
        out.write(header + info + palette_bytes + pixel_data)


def load_bmp(path):
    """Reads one of our BMPs back as an RGB Pillow image (for previews and sheets)."""
    return Image.open(path).convert("RGB")
