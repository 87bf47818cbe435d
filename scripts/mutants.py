#!/usr/bin/env python3
"""Deliberate one-line faults (mutants): which test suite catches each one.

Copies the working tree to a scratch folder, builds it once, then for each mutant in
scripts/mutants.txt replaces one piece of text in one file, rebuilds, runs each suite
(unit, gui, e2e) and puts the file back. A mutant that no suite catches marks a hole in the
tests; one whose text is no longer found is reported as stale.

    scripts/mutants.py                 all mutants
    scripts/mutants.py -k refusal,ui-  only those whose name contains "refusal" or "ui-"
    scripts/mutants.py --suites unit   only the unit suite (after changing only unit tests)
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SUITES = {
    "unit": ["-E", r"^(gui|e2e|fuzz)\."],
    "gui": ["-R", r"^gui\."],
    "e2e": ["-R", r"^e2e\."],
}


def load(path):
    mutants = []
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip("\n")
            if not line.strip() or line.startswith("#"):
                continue
            parts = line.split("\t")
            if len(parts) != 4:
                sys.exit(f"{path}:{number}: want NAME<TAB>FILE<TAB>FROM<TAB>TO (\\t, \\n escapes)")
            name, file, old, new = parts
            unescape = lambda t: t.replace("\\t", "\t").replace("\\n", "\n")
            mutants.append((name, file, unescape(old), unescape(new)))
    return mutants


def run(cmd, cwd, quiet=True):
    out = subprocess.DEVNULL if quiet else None
    return subprocess.run(cmd, cwd=cwd, stdout=out, stderr=out).returncode


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("-k", default="",
                        help="only mutants whose name contains this (or one of these, comma-separated)")
    parser.add_argument("--suites", default=",".join(SUITES),
                        help="comma-separated suites to run (default: all)")
    parser.add_argument("--keep", action="store_true", help="keep the scratch folder")
    args = parser.parse_args()
    suites = {s: SUITES[s] for s in args.suites.split(",")}

    words = args.k.split(",")
    mutants = [m for m in load(os.path.join(ROOT, "scripts", "mutants.txt"))
               if any(w in m[0] for w in words)]
    scratch = tempfile.mkdtemp(prefix="kestrelon-mutants-")
    src = os.path.join(scratch, "src")
    # The copy sits beside a link to shared/, as the checkout does, for tests that read it.
    shutil.copytree(ROOT, src, ignore=shutil.ignore_patterns("build*", ".git"))
    shared = os.path.join(os.path.dirname(ROOT), "shared")
    if os.path.isdir(shared):
        os.symlink(shared, os.path.join(scratch, "shared"))
    build = os.path.join(src, "build")
    jobs = str(os.cpu_count() or 2)
    # Without debug information: each mutant relinks every program, and links are most of it.
    if run(["cmake", "-S", src, "-B", build, "-G", "Ninja", "-DCMAKE_BUILD_TYPE=Release",
            "-DKESTRELON_BUILD_BENCH=OFF"], src) or run(["cmake", "--build", build, "-j", jobs], src):
        sys.exit("the unmutated tree does not build")
    for suite, selection in suites.items():
        if run(["ctest", "--test-dir", build, "-j", jobs] + selection, src):
            sys.exit(f"the unmutated tree fails the {suite} suite")

    caught = {suite: 0 for suite in suites}
    missed, stale, applied = [], [], 0
    print(f"{'mutant':40} " + " ".join(f"{s:5}" for s in suites))
    for name, file, old, new in mutants:
        path = os.path.join(src, file)
        with open(path, encoding="utf-8") as f:
            text = f.read()
        if text.count(old) != 1:
            stale.append(name)
            print(f"{name:40} stale ({text.count(old)} matches)")
            continue
        try:
            with open(path, "w", encoding="utf-8") as f:
                f.write(text.replace(old, new))
            applied += 1
            if run(["cmake", "--build", build, "-j", jobs], src):
                row = {suite: "build" for suite in suites}  # does not compile: caught by the build
                for suite in suites:
                    caught[suite] += 1
            else:
                row = {}
                for suite, selection in suites.items():
                    failed = run(["ctest", "--test-dir", build, "-j", jobs, "--timeout", "120"]
                                 + selection, src) != 0
                    row[suite] = "x" if failed else "."
                    caught[suite] += failed
            if all(v == "." for v in row.values()):
                missed.append(name)
            print(f"{name:40} " + " ".join(f"{row[s]:5}" for s in suites), flush=True)
        finally:
            with open(path, "w", encoding="utf-8") as f:
                f.write(text)
            os.utime(path, (time.time() + 1, time.time() + 1))
    print(f"\n{applied} mutants applied, {applied - len(missed)} caught by some suite; "
          + ", ".join(f"{s} {c}" for s, c in caught.items()))
    if missed:
        print("not caught: " + ", ".join(missed))
    if stale:
        print("stale (text not found once): " + ", ".join(stale))
    if not args.keep:
        shutil.rmtree(scratch, ignore_errors=True)


if __name__ == "__main__":
    main()
