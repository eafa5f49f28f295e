#!/usr/bin/env python3
"""Plants one fault at a time in the production code, rebuilds, runs the test layers that can
see it and prints which faults no named test caught.

    mutants.py [--tree DIR] [--build DIR] [--only NAME ...] [--layer NAME ...] [--list]

The faults are listed in faults*.txt beside this script, each with the layers that can see it:
linux (the unit and end-to-end tests), asan (the unit tests under AddressSanitizer and UBSan),
windows (the Windows build's tests and story under Wine) and web (the page's story in
Chromium). --tree is the checkout to plant them in (this one by default); a fault that fits
none of its forms there is "n/a". The file is restored after each run, whatever happens. A
fault counts as caught only when a named test fails for it: not when it does not build, and
not when a test only ran out of time.
"""
import argparse
import os
import pathlib
import re
import subprocess
import sys
import time

JOBS = str(os.cpu_count() or 2)
# A test that hangs fails as a time-out well before the whole run's limit.
CTEST_TIMEOUT = "180"


def read_faults(paths):
    """[(name, noticed, layers, [(file, [(find, replace), …]), …]), …] from the fault lists."""
    faults = []
    for path in paths:
        for line in path.read_text().splitlines():
            if line.startswith("#") or not line.strip():
                continue
            tag, text = line[:2], line[2:]
            if tag == "==":
                parts = [part.strip() for part in text.split("|")]
                layers = parts[2].split() if len(parts) > 2 else ["linux"]
                faults.append((parts[0], parts[1], layers, []))
            elif tag == "@ ":
                faults[-1][3].append((text, [["", ""]]))
            elif line == "...":
                faults[-1][3][-1][1].append(["", ""])
            else:
                change = faults[-1][3][-1][1][-1]
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


class Runner:
    """Runs commands into the log and keeps what the last one printed."""

    def __init__(self, log):
        self.log = log
        self.output = ""

    def __call__(self, command, env=None, timeout=1800):
        with open(self.log, "a") as out:
            out.write("\n$ " + " ".join(command) + "\n")
        try:
            done = subprocess.run(command, capture_output=True, text=True, timeout=timeout,
                                  env={**os.environ, **(env or {})})
            self.output = done.stdout + done.stderr
            status = done.returncode
        except subprocess.TimeoutExpired as expired:
            self.output = (expired.stdout or b"").decode(errors="replace") + "\n(timed out)"
            status = -1
        with open(self.log, "a") as out:
            out.write(self.output)
        return status


def ctest_failures(output):
    """(failed, timed out): the names ctest lists under "The following tests FAILED"."""
    failed, timed_out = [], []
    listing = output.split("The following tests FAILED:")[-1] if "tests FAILED" in output else ""
    for match in re.finditer(r"^\s*\d+ - (.+?) \((.+?)\)\s*$", listing, re.M):
        (timed_out if match.group(2) == "Timeout" else failed).append(match.group(1))
    return failed, timed_out


def story_failures(output):
    """The web story's failed step as "[story] step", from its FAIL line and the step before."""
    steps = re.findall(r"^-- (\[.+?\] .+)$", output, re.M)
    fail = re.search(r"^FAIL \[(.+?)\]: (.+)$", output, re.M)
    if not fail:
        return [], (["web story (no FAIL line)"] if "took more than" in output else [])
    if "took more than" in fail.group(2):
        return [], [steps[-1] if steps else fail.group(1)]
    return [(steps[-1] if steps else f"[{fail.group(1)}]") + ": " + fail.group(2)[:60]], []


class Layer:
    """One way of building the tree and running tests on it."""

    def __init__(self, name, configure, build, test, parse, env=None):
        self.name, self.configure, self.build, self.test = name, configure, build, test
        self.parse, self.env = parse, env or {}


def layers(tree, build):
    base = ["-G", "Ninja", "-DCHALKMERE_TESTS=ON", "-DCHALKMERE_BENCHMARKS=OFF"]
    linux = build
    asan, windows = build.with_name(build.name + "-asan"), build.with_name(build.name + "-windows")
    emscripten, web = build.with_name(build.name + "-emscripten"), build.with_name(build.name + "-web")
    ctest = lambda folder: ["ctest", "--test-dir", str(folder), "-j", JOBS, "--timeout", CTEST_TIMEOUT]
    sanitizers = {"ASAN_OPTIONS": "detect_leaks=1:abort_on_error=1:strict_string_checks=1",
                  "UBSAN_OPTIONS": "print_stacktrace=1:halt_on_error=1"}
    web_env = {"NODE_PATH": "/usr/share/nodejs"}
    return {
        "linux": Layer("linux", [["cmake", "-S", str(tree), "-B", str(linux),
                                  "-DCMAKE_BUILD_TYPE=RelWithDebInfo", *base]],
                       [["cmake", "--build", str(linux)]], ctest(linux), ctest_failures),
        "asan": Layer("asan", [["cmake", "-S", str(tree), "-B", str(asan), "-DCMAKE_BUILD_TYPE=Debug",
                                "-DCHALKMERE_SANITIZE=ON", *base]],
                      [["cmake", "--build", str(asan)]], ctest(asan), ctest_failures, sanitizers),
        "windows": Layer("windows", [["cmake", "-S", str(tree), "-B", str(windows),
                                      "-DCMAKE_BUILD_TYPE=Release",
                                      f"-DCMAKE_TOOLCHAIN_FILE={tree}/cmake/mingw-w64.cmake", *base]],
                         [["cmake", "--build", str(windows)]], ctest(windows), ctest_failures),
        # The page's build tools come from the Linux layer's build.
        "web": Layer("web", [["cmake", "--build", str(linux), "--target", "rescomp", "glyph_baker", "page_words"],
                             ["emcmake", "cmake", "-S", str(tree), "-B", str(emscripten), "-G", "Ninja",
                              "-DCMAKE_BUILD_TYPE=Release", f"-DCHALKMERE_HOST_TOOLS={linux}",
                              f"-DCHALKMERE_WEB_OUTPUT={web}"]],
                     [["cmake", "--build", str(emscripten)]],
                     [str(tree / "tests/web/run.sh"), str(web)], story_failures, web_env),
    }


def main():
    here = pathlib.Path(__file__).resolve().parent
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--tree", type=pathlib.Path, default=here.parents[1])
    parser.add_argument("--build", type=pathlib.Path)
    parser.add_argument("--only", nargs="*")
    parser.add_argument("--layer", nargs="*", help="only the faults these layers see")
    parser.add_argument("--list", action="store_true")
    args = parser.parse_args()
    lists = sorted(here.glob("faults*.txt"), key=lambda p: (p.name != "faults.txt", p.name))
    faults = [f for f in read_faults(lists) if (not args.only or f[0] in args.only) and
              (not args.layer or set(args.layer) & set(f[2]))]
    if args.list:
        for name, noticed, used, _ in faults:
            print(f"{name:44} {' '.join(used):14} {noticed}")
        return 0

    tree = args.tree.resolve()
    build = (args.build or tree / "build-mutants").resolve()
    log = build.with_name(build.name + ".log")
    log.parent.mkdir(parents=True, exist_ok=True)
    log.write_text("")
    run = Runner(log)
    all_layers = layers(tree, build)
    wanted = [name for name in all_layers if any(name in f[2] for f in faults)]
    unknown = {layer for f in faults for layer in f[2]} - set(all_layers)
    if unknown:
        print(f"unknown layers: {', '.join(sorted(unknown))}", file=sys.stderr)
        return 2
    # The web layer takes its build tools from the Linux one.
    for name in (["linux"] if "web" in wanted and "linux" not in wanted else []) + wanted:
        layer = all_layers[name]
        steps = layer.configure + layer.build
        if any(run(step, layer.env) for step in steps):
            print(f"the unchanged tree does not build for {name}; see {log}", file=sys.stderr)
            return 1
        if name in wanted and run(layer.test, layer.env):
            print(f"the unchanged tree fails its {name} tests; see {log}", file=sys.stderr)
            return 1

    began = time.monotonic()
    print(f"{'fault':44} {'layers':14} {'what a child, a parent or stored progress would notice':62} result")
    tally = {"caught": 0, "missed": 0, "does not build": 0, "timed out": 0, "n/a": 0}
    for name, noticed, used, forms in faults:
        started = time.monotonic()
        planted = plant(tree, forms)
        result, kind = "n/a", "n/a"
        if planted is not None:
            try:
                result, kind = "MISSED", "missed"
                for layer in (all_layers[n] for n in used):
                    if any(run(step, layer.env) for step in layer.build):
                        result, kind = f"does not build ({layer.name})", "does not build"
                        break
                    status = run(layer.test, layer.env)
                    failed, timed_out = layer.parse(run.output)
                    if failed:
                        result, kind = f"caught by {layer.name}: {failed[0]}", "caught"
                        break
                    if timed_out or status:
                        result, kind = f"timed out ({layer.name}): {(timed_out or ['?'])[0]}", "timed out"
            finally:
                planted[0].write_text(planted[1])
        tally[kind] += 1
        print(f"{name:44} {' '.join(used):14} {noticed:62} {result}  "
              f"({time.monotonic() - started:.0f} s)", flush=True)
    for layer in (all_layers[n] for n in wanted):
        for step in layer.build:
            run(step, layer.env)
    print(f"{tally['caught']} of {len(faults)} faults caught; {tally['missed']} missed, "
          f"{tally['does not build']} do not build, {tally['timed out']} timed out, "
          f"{tally['n/a']} do not fit the tree ({(time.monotonic() - began) / 60:.0f} min)")
    return 0 if tally["caught"] == len(faults) else 1


if __name__ == "__main__":
    sys.exit(main())
