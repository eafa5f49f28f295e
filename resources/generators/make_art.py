"""Regenerates every bitmap and sound of the program, the contact sheet and the desktop icons.

Run through `make art`. The files it writes are committed, so an ordinary build needs none
of the tools this uses.
"""

import os
import sys

import animals
import app_icons
import boards
import chooser
import contact_sheet
import hold_ring
import languages
import pieces
import sounds

HERE = os.path.dirname(os.path.abspath(__file__))
RESOURCES = os.path.dirname(HERE)
WORDED = boards.WORDED + pieces.WORDED + chooser.WORDED


def _header(path):
    with open(path, "rb") as f:
        return f.read(30)[18:30]      # width, height, planes and bits per pixel


def letter(blocks):
    """The pictures that carry words, for every language but English (the generators above
    wrote those) at the paths its block names; each the size and depth of the English one,
    since the program places and hit-tests them by size."""
    for block in blocks:
        for idb, name, write in WORDED:
            if idb not in block.bitmaps:
                raise ValueError(f"languages/{block.tag}.rc names no {idb}")
            if block is blocks[0]:
                if block.bitmaps[idb] != "art/" + name:
                    raise ValueError(f"languages/en.rc must name art/{name} as {idb}")
                continue
            path = os.path.join(RESOURCES, block.bitmaps[idb])
            os.makedirs(os.path.dirname(path), exist_ok=True)
            print(f"{block.tag}: {block.bitmaps[idb]}")
            try:
                write(path, block)
            except ValueError as problem:
                raise ValueError(f"{block.bitmaps[idb]}: {problem}") from problem
            if _header(path) != _header(os.path.join(RESOURCES, "art", name)):
                raise ValueError(f"{path} differs in size or depth from art/{name}")


def main():
    art = os.path.join(RESOURCES, "art")
    sound = os.path.join(RESOURCES, "sounds")
    os.makedirs(art, exist_ok=True)
    os.makedirs(sound, exist_ok=True)
    blocks = languages.blocks(RESOURCES)
    boards.generate(art, blocks[0])
    pieces.generate(art, blocks[0])
    hold_ring.generate(art)
    animals.generate(art)
    chooser.generate(art, blocks[0])
    letter(blocks)
    sounds.generate(sound)
    contact_sheet.generate(art, os.path.join(RESOURCES, "contact-sheet.png"),
                           [(b.tag, {idb: os.path.join(RESOURCES, path)
                                     for idb, path in b.bitmaps.items()}) for b in blocks])
    app_icons.generate(os.path.join(RESOURCES, "icons"))
    return 0


if __name__ == "__main__":
    sys.exit(main())
