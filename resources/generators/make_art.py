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
import pieces
import sounds

HERE = os.path.dirname(os.path.abspath(__file__))
RESOURCES = os.path.dirname(HERE)


def main():
    art = os.path.join(RESOURCES, "art")
    sound = os.path.join(RESOURCES, "sounds")
    os.makedirs(art, exist_ok=True)
    os.makedirs(sound, exist_ok=True)
    boards.generate(art)
    pieces.generate(art)
    hold_ring.generate(art)
    animals.generate(art)
    chooser.generate(art)
    sounds.generate(sound)
    contact_sheet.generate(art, os.path.join(RESOURCES, "contact-sheet.png"))
    app_icons.generate(os.path.join(RESOURCES, "icons"))
    return 0


if __name__ == "__main__":
    sys.exit(main())
