"""Reads the resource script as the art needs it: the language blocks it includes, the pictures
each block names and the words of its string table, so the pictures are lettered from the same
table the program reads.

    /usr/bin/python3 languages.py     lists every block's captions
"""

import os
import re
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
RESOURCES = os.path.dirname(HERE)

_INCLUDE = re.compile(r'\s*#include\s+"(languages/([^"/]+)\.rc)"')
_BITMAP = re.compile(r'\s*(\w+)\s+BITMAP\s+"([^"]+)"')
_STRING = re.compile(r'\s*(\w+)\s*,?\s*"((?:[^"\\]|\\.)*)"\s*(//.*)?$')
_ESCAPES = {"n": "\n", "t": "\t"}


class Block:
    """One language block: its tag (the file's name), its pictures by id name (paths relative
    to the resource folder) and its strings by id name."""

    def __init__(self, tag, bitmaps, strings):
        self.tag, self.bitmaps, self.strings = tag, bitmaps, strings

    def caption(self, name):
        """The painted words IDS_CAPTION_<name>; a missing line stops the art rather than
        letting another language's words stand in."""
        text = self.strings.get("IDS_CAPTION_" + name)
        if not text:
            raise ValueError(f"languages/{self.tag}.rc has no IDS_CAPTION_{name}")
        return text

    def level_label(self, level):
        pattern = self.caption("LEVEL_SHORT")
        if pattern.count("%d") != 1 or pattern.count("%") != 1:
            raise ValueError(f"languages/{self.tag}.rc: IDS_CAPTION_LEVEL_SHORT "
                             f"{pattern!r} needs exactly one %d")
        return pattern.replace("%d", str(level))


def read_block(path):
    tag = os.path.splitext(os.path.basename(path))[0]
    bitmaps, strings, in_table = {}, {}, False
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            code = line.strip()
            if not code or code.startswith("//"):
                continue
            if code == "BEGIN" or code == "END":
                in_table = code == "BEGIN"
                continue
            bitmap = _BITMAP.match(line)
            string = _STRING.match(line)
            if bitmap and not in_table:
                bitmaps[bitmap[1]] = bitmap[2]
            elif string and in_table:
                strings[string[1]] = re.sub(r"\\(.)", lambda m: _ESCAPES.get(m[1], m[1]),
                                            string[2])
            elif in_table:
                raise ValueError(f"{path}:{number}: not a string line: {code}")
    return Block(tag, bitmaps, strings)


def blocks(resources=RESOURCES):
    """Every language block the script includes, in its order (English first)."""
    found = []
    with open(os.path.join(resources, "chalkmere.rc"), encoding="utf-8") as f:
        for line in f:
            include = _INCLUDE.match(line)
            if include:
                found.append(read_block(os.path.join(resources, include[1])))
    if not found or found[0].tag != "en":
        raise ValueError("chalkmere.rc must include languages/en.rc first")
    return found


def english(resources=RESOURCES):
    return read_block(os.path.join(resources, "languages", "en.rc"))


if __name__ == "__main__":
    for block in blocks():
        words = {k[12:]: v for k, v in block.strings.items() if k.startswith("IDS_CAPTION_")}
        print(block.tag, words)
    sys.exit(0)
