#!/usr/bin/env python3
"""Plants one fault at a time in the production code, rebuilds, runs every test (unit and
end-to-end) and prints which faults no test caught.

    mutants.py [--tree DIR] [--build DIR] [--only NAME ...] [--list]

--tree is the checkout to plant faults in (this one by default). Each fault is a text
replacement in the first of its files that holds the text exactly once, so the table also
runs against older layouts of the tree; a fault whose text is in none of them is "n/a".
The file is restored after each run, whatever happens.
"""
import argparse
import os
import pathlib
import subprocess
import sys
import time


class Mutant:
    """A fault: `find` replaced by `replace` in the first of `files` that holds it once (a
    list of finds and replaces changes several places of that file). `older` gives other
    (file, find, replace) forms for older layouts of the tree."""

    def __init__(self, name, noticed, files, find, replace, older=()):
        self.name, self.noticed = name, noticed
        self.forms = [(f, find, replace) for f in files] + list(older)


MUTANTS = [
    Mutant("points per try", "a wrong tap leaves half the points, not a third",
           ["drill/GameScreen.cpp"],
           "progress->bonus = progress->bonus / 3;", "progress->bonus = progress->bonus / 2;"),
    Mutant("level table", "level 1 sums reach 9 + 9 no more",
           ["drill/ProblemGenerator.cpp"], "{Addition, 10},", "{Addition, 9}, "),
    Mutant("levelling thresholds", "four of five right no longer moves a level up",
           ["drill/Progress.cpp"], "correctOfLastFive >= 4", "correctOfLastFive >= 5"),
    Mutant("order of the random draws", "the two operands of a sum are drawn the other way",
           ["drill/ProblemGenerator.cpp"],
           "operand1 = std::rand() % half;\n            operand2 = std::rand() % half;",
           "operand2 = std::rand() % half;\n            operand1 = std::rand() % half;"),
    Mutant("wrong-choice ranges", "wrong products may reach the square of the bound",
           ["drill/ProblemGenerator.cpp"],
           "std::rand() % (bound * bound)", "std::rand() % (bound * bound + 1)"),
    Mutant("the right card's slot", "the right card never stands on the right",
           ["drill/ProblemGenerator.cpp"],
           "const std::int32_t slot = std::rand() % 4;", "const std::int32_t slot = std::rand() % 3;"),
    Mutant("the score cap", "scores past 999999 are saved and load back as 0",
           ["drill/Progress.h"], "kMaxScore = 999999;", "kMaxScore = 9999999;"),
    Mutant("the statistics checks", "a stored record of more right than tried shows over 100 %",
           ["drill/Progress.cpp"],
           "if (correct >= 0 && correct <= attempts)", "if (correct >= 0)"),
    Mutant("which sound plays when", "a right answer plays the level-up fanfare",
           ["drill/GameScreen.cpp"],
           "PlayWave(correctSound, true);", "PlayWave(levelUpSound, true);"),
    Mutant("the percentages shown", "a level solved at every first try shows 99",
           ["drill/SettingsScreen.cpp"], "ratio * 100.0f", "ratio * 99.0f"),
    Mutant("hit-test edges", "a tap on a card's right edge misses it",
           ["scene/Screen.cpp"],
           "px <= left + figure->GetWidth()", "px < left + figure->GetWidth()"),
    Mutant("the redraw throttle", "changes reach the window at most every 100 ms",
           ["scene/Screen.cpp"], "kRedrawThrottle = 42;", "kRedrawThrottle = 100;"),
    Mutant("colour keying", "the 256-colour key shows as pink around stars and chalk",
           ["platform/core/gdi_objects.h", "platform/gdi.cpp"],
           "kKeyMask = 0xF8FCF8u;", "kKeyMask = 0xFFFFFFu;"),
    Mutant("registry name case", "\"Score\" and \"score\" become two values",
           ["platform/desktop/sqlite_store.cpp", "platform/registry.cpp"],
           'name TEXT COLLATE NOCASE,"', 'name TEXT,"'),
    Mutant("figure positions", "the stars stand a pixel left of their place",
           ["drill/GameScreen.cpp"], "SetX(width - 30);", "SetX(width - 31);"),
    Mutant("the first-try reset", "a problem after a level change pays less and counts wrong",
           ["drill/ProblemGenerator.cpp", "drill/GameScreen.cpp"],
           "firstTry = true;\n    progress->bonus = Progress::kFullBonus;\n    if (shownLevel",
           "if (shownLevel",
           older=[("drill/GameScreen.cpp",
                   "firstTry = true;\n        progress->bonus = Progress::kFullBonus;\n"
                   "        RefreshStars();", "RefreshStars();")]),
    Mutant("animation timing", "the check mark moves on a frame at exactly 250 ms",
           ["scene/Animation.cpp"],
           "if (time - lastFrameTime <= interval) return;",
           "if (time - lastFrameTime < interval) return;"),
    Mutant("stars shown", "one star too many",
           ["drill/GameScreen.cpp"],
           "stars[i]->SetVisible(i < progress->level);\n}",
           "stars[i]->SetVisible(i <= progress->level);\n}"),
    Mutant("the automatic-levelling switch as stored", "the switch is stored the wrong way round",
           ["drill/Progress.cpp"], "autoLevel ? 0 : 1", "autoLevel ? 1 : 0",
           older=[("drill/Progress.cpp", "on ? 0 : 1", "on ? 1 : 0")]),
    Mutant("the answer's click", "a card's tap takes effect before its click is heard",
           ["drill/Answer.cpp"],
           "PlayWave(answerTapSound, false);", "PlayWave(answerTapSound, true);"),
    Mutant("the exit box", "the exit box no longer ends the game",
           ["drill/ScreenParts.cpp", "drill/GameScreen.cpp"],
           "PostMessageW(window, WM_DESTROY, 0, 0);", "PostMessageW(window, WM_PAINT, 0, 0);"),
    Mutant("a press is activity", "a held press shows 100 ms late after stillness",
           ["platform/core/message_queue.cpp"],
           "            lastActivity = GetTickCount();\n            break;",
           "            break;"),
    Mutant("the double tap", "a double tap on OK answers a card",
           ["app/Application.h"], "kSettleTime = 250;", "kSettleTime = 0;"),
    Mutant("statements left open", "the registry's log grows all session",
           ["platform/desktop/sqlite_store.cpp"],
           ["SqliteStore::Running::~Running() {\n    sqlite3_reset(statement_);",
            "{ return Running(statement_); }"],
           ["SqliteStore::Running::~Running() {\n    return;\n    sqlite3_reset(statement_);",
            "{\n    sqlite3_reset(statement_);\n    return Running(statement_);\n}"]),
    Mutant("progress that could not be read", "defaults are written over stored progress",
           ["drill/Progress.cpp"],
           "        if (!ReadStored(stored)) return;\n", "        ReadStored(stored);\n"),
    Mutant("choices saved after a failure", "a level chosen while saving failed is lost",
           ["drill/Progress.cpp"],
           "    unsaved |= values;\n", "    unsaved = values;\n"),
]


def run(command, cwd, log, timeout=1800):
    with open(log, "a") as out:
        out.write("\n$ " + " ".join(command) + "\n")
        out.flush()
        try:
            return subprocess.run(command, cwd=cwd, stdout=out, stderr=subprocess.STDOUT,
                                  timeout=timeout).returncode
        except subprocess.TimeoutExpired:
            return -1


def plant(tree, mutant):
    """The file and its original text, after planting; None when it applies nowhere."""
    for name, find, replace in mutant.forms:
        path = tree / name
        if not path.exists():
            continue
        text = path.read_text()
        finds, replaces = ([find], [replace]) if isinstance(find, str) else (find, replace)
        if all(text.count(each) == 1 for each in finds):
            planted = text
            for each, instead in zip(finds, replaces):
                planted = planted.replace(each, instead)
            path.write_text(planted)
            return path, text
    return None


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    here = pathlib.Path(__file__).resolve().parents[2]
    parser.add_argument("--tree", type=pathlib.Path, default=here)
    parser.add_argument("--build", type=pathlib.Path)
    parser.add_argument("--only", nargs="*")
    parser.add_argument("--list", action="store_true")
    args = parser.parse_args()
    mutants = [m for m in MUTANTS if not args.only or m.name in args.only]
    if args.list:
        for mutant in mutants:
            print(f"{mutant.name:42} {mutant.noticed}")
        return 0

    tree = args.tree.resolve()
    build = (args.build or tree / "build-mutants").resolve()
    log = build.with_name(build.name + ".log")
    log.write_text("")
    configure = ["cmake", "-S", str(tree), "-B", str(build), "-G", "Ninja",
                 "-DCMAKE_BUILD_TYPE=RelWithDebInfo", "-DCHALKMERE_TESTS=ON",
                 "-DCHALKMERE_BENCHMARKS=OFF"]
    test = ["ctest", "--test-dir", str(build), "-j", str(os.cpu_count() or 2)]
    if run(configure, tree, log) or run(["cmake", "--build", str(build)], tree, log):
        print(f"the unchanged tree does not build; see {log}", file=sys.stderr)
        return 1
    if run(test, tree, log):
        print(f"the unchanged tree fails its tests; see {log}", file=sys.stderr)
        return 1

    print(f"{'fault':42} {'what a child, a parent or a stored file would notice':58} result")
    missed = 0
    for mutant in mutants:
        started = time.monotonic()
        planted = plant(tree, mutant)
        if planted is None:
            result = "n/a"
        else:
            path, original = planted
            try:
                if run(["cmake", "--build", str(build)], tree, log):
                    result = "caught (build)"
                else:
                    result = "caught" if run(test, tree, log) else "MISSED"
            finally:
                path.write_text(original)
        missed += result == "MISSED"
        print(f"{mutant.name:42} {mutant.noticed:58} {result}"
              f"  ({time.monotonic() - started:.0f} s)", flush=True)
    run(["cmake", "--build", str(build)], tree, log)
    print(f"{missed} of {len(mutants)} faults missed")
    return 1 if missed else 0


if __name__ == "__main__":
    sys.exit(main())
