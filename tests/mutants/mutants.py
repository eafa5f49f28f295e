#!/usr/bin/env python3
"""Plants one fault at a time in the production code, rebuilds, runs every test (unit and
end-to-end) and prints which faults no test caught.

    mutants.py [--tree DIR] [--build DIR] [--only NAME ...] [--list]

The faults are listed in faults.txt beside this script. --tree is the checkout to plant them
in (this one by default); a fault that fits none of its forms there is "n/a". The file is
restored after each run, whatever happens.
"""
import argparse
import os
import pathlib
import subprocess
import sys
import time


def read_faults(path):
    """[(name, noticed, [(file, [(find, replace), …]), …]), …] from faults.txt."""
    faults = []
    for line in path.read_text().splitlines():
        if line.startswith("#") or not line.strip():
            continue
        tag, text = line[:2], line[2:]
        if tag == "==":
            name, noticed = (part.strip() for part in text.split("|"))
            faults.append((name, noticed, []))
        elif tag == "@ ":
            faults[-1][2].append((text, [["", ""]]))
        elif line == "...":
            faults[-1][2][-1][1].append(["", ""])
        else:
            change = faults[-1][2][-1][1][-1]
            side = 0 if tag == "- " else 1
            change[side] += ("\n" if change[side] else "") + text
    return faults


def plant(tree, forms):
    """The file and its original text, after planting; None when no form fits."""
    for name, changes in forms:
        path = tree / name
        text = path.read_text() if path.exists() else ""
        if text and all(text.count(find) == 1 for find, _ in changes):
            planted = text
            for find, replace in changes:
                planted = planted.replace(find, replace)
            path.write_text(planted)
            return path, text
    return None


def run(command, log):
    with open(log, "a") as out:
        out.write("\n$ " + " ".join(command) + "\n")
        out.flush()
        try:
            return subprocess.run(command, stdout=out, stderr=subprocess.STDOUT,
                                  timeout=1800).returncode
        except subprocess.TimeoutExpired:
            return -1


def main():
    here = pathlib.Path(__file__).resolve().parent
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--tree", type=pathlib.Path, default=here.parents[1])
    parser.add_argument("--build", type=pathlib.Path)
    parser.add_argument("--only", nargs="*")
    parser.add_argument("--list", action="store_true")
    args = parser.parse_args()
    faults = [f for f in read_faults(here / "faults.txt") if not args.only or f[0] in args.only]
    if args.list:
        for name, noticed, _ in faults:
            print(f"{name:42} {noticed}")
        return 0

    tree = args.tree.resolve()
    build = (args.build or tree / "build-mutants").resolve()
    log = build.with_name(build.name + ".log")
    log.write_text("")
    configure = ["cmake", "-S", str(tree), "-B", str(build), "-G", "Ninja",
                 "-DCMAKE_BUILD_TYPE=RelWithDebInfo", "-DCHALKMERE_TESTS=ON",
                 "-DCHALKMERE_BENCHMARKS=OFF"]
    compile_all = ["cmake", "--build", str(build)]
    test = ["ctest", "--test-dir", str(build), "-j", str(os.cpu_count() or 2)]
    if run(configure, log) or run(compile_all, log) or run(test, log):
        print(f"the unchanged tree does not build or pass its tests; see {log}", file=sys.stderr)
        return 1

    print(f"{'fault':42} {'what a child, a parent or a stored file would notice':58} result")
    missed = 0
    for name, noticed, forms in faults:
        started = time.monotonic()
        planted = plant(tree, forms)
        if planted is None:
            result = "n/a"
        else:
            try:
                if run(compile_all, log):
                    result = "caught (build)"
                else:
                    result = "caught" if run(test, log) else "MISSED"
            finally:
                planted[0].write_text(planted[1])
        missed += result == "MISSED"
        print(f"{name:42} {noticed:58} {result}  ({time.monotonic() - started:.0f} s)", flush=True)
    run(compile_all, log)
    print(f"{missed} of {len(faults)} faults missed")
    return 1 if missed else 0


if __name__ == "__main__":
    sys.exit(main())
