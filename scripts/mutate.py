#!/usr/bin/env python3
"""Measures how many small faults the tests catch: a seeded sample of mutants of src/core and
src/render (a comparison, an arithmetic operator or a constant changed), each built and tested in
a scratch copy of the repository. Prints the share caught and the mutants that survive.

    python3 scripts/mutate.py [--seed S] [--count N] [--jobs J] [--list]

A mutant of src/core runs the core tests, one of src/render the GL tests (under xvfb-run). A
mutant that does not compile is not counted. The same seed picks the same mutants as long as the
sources are the same, wherever the files move, so that two test suites can be compared on one
source tree.
"""
import argparse
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SOURCE_DIRS = ["src/core", "src/render"]

# (pattern, replacements): each match may become any of the replacements.
RULES = [
    (re.compile(r"(?<=[\s(])(<=|>=|==|!=)(?=\s)"), {"<=": ["<"], ">=": [">"], "==": ["!="], "!=": ["=="]}),
    (re.compile(r"(?<=\s)(<|>)(?=\s)"), {"<": ["<="], ">": [">="]}),
    (re.compile(r"(?<=\s)([-+*/])(?=\s)"), {"+": ["-"], "-": ["+"], "*": ["/"], "/": ["*"]}),
    (re.compile(r"(?<![\w.])(\d+\.\d*f?|\d+)(?![\w.])"), None),  # constants
]


def constant_change(text):
    if "." in text:
        value = float(text.rstrip("f"))
        changed = value + 1.0 if value == 0.0 else value * 1.5
        return repr(changed) + ("f" if text.endswith("f") else "")
    return str(int(text) + 1)


def code_part(line):
    """The line without its // comment and string literals blanked, or None for lines to skip."""
    stripped = line.strip()
    if not stripped or stripped.startswith(("#", "//", "*", "/*")):
        return None
    cut = line.find("//")
    code = line if cut < 0 else line[:cut]
    return re.sub(r'"(\\.|[^"\\])*"', lambda m: " " * len(m.group(0)), code)


def candidates():
    found = []
    for top in SOURCE_DIRS:
        for folder, _, files in os.walk(os.path.join(ROOT, top)):
            for name in sorted(files):
                if not name.endswith(".cpp"):
                    continue
                path = os.path.relpath(os.path.join(folder, name), ROOT)
                with open(os.path.join(ROOT, path), encoding="utf-8") as source:
                    lines = source.read().split("\n")
                for number, line in enumerate(lines):
                    code = code_part(line)
                    if code is None:
                        continue
                    for rule, table in RULES:
                        for match in rule.finditer(code):
                            text = match.group(1)
                            replacements = [constant_change(text)] if table is None else table[text]
                            for replacement in replacements:
                                found.append((path, number, match.start(1), text, replacement))
    # Ordered by file name, not path, so that moving a file between folders keeps the sample.
    found.sort(key=lambda m: (os.path.basename(m[0]),) + m[1:])
    return found


def run(command, cwd, timeout):
    try:
        result = subprocess.run(command, cwd=cwd, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL, timeout=timeout)
        return result.returncode
    except subprocess.TimeoutExpired:
        return -1


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--count", type=int, default=40)
    parser.add_argument("--jobs", type=int, default=2)
    parser.add_argument("--list", action="store_true", help="only print the chosen mutants")
    args = parser.parse_args()

    chosen = random.Random(args.seed).sample(candidates(), args.count)
    if args.list:
        for path, number, column, text, replacement in chosen:
            print(f"{path}:{number + 1}:{column + 1}: {text} -> {replacement}")
        return

    # Beside the repository, where a compiler cache set up for it finds the same relative paths.
    try:
        work = tempfile.mkdtemp(prefix="ramiflex-mutate-", dir=os.path.dirname(ROOT))
    except OSError:
        work = tempfile.mkdtemp(prefix="ramiflex-mutate-")
    # Laid out as the repository with its build folder inside, so that a compiler cache keyed on
    # relative paths serves the unchanged files.
    copy = os.path.join(work, "repo")
    shutil.copytree(ROOT, copy, ignore=shutil.ignore_patterns("build*", ".git"))
    build = os.path.join(copy, "build")
    configure = ["cmake", "-S", copy, "-B", build, "-DCMAKE_BUILD_TYPE=RelWithDebInfo",
                 "-DRAMIFLEX_BUILD_BENCH=OFF"]
    if shutil.which("ccache"):
        configure.append("-DCMAKE_CXX_COMPILER_LAUNCHER=ccache")
    if run(configure, copy, 600) != 0 or \
            run(["cmake", "--build", build, "-j", str(args.jobs)], copy, 3600) != 0:
        sys.exit("the unmutated sources do not build")

    caught, survived, stillborn = 0, [], 0
    for index, (path, number, column, text, replacement) in enumerate(chosen, 1):
        target = os.path.join(copy, path)
        with open(target, encoding="utf-8") as source:
            original = source.read()
        lines = original.split("\n")
        line = lines[number]
        lines[number] = line[:column] + replacement + line[column + len(text):]
        name = f"{path}:{number + 1}: {text} -> {replacement}"
        try:
            with open(target, "w", encoding="utf-8") as source:
                source.write("\n".join(lines))
            core = path.startswith("src/core/")
            tests = "core_tests" if core else "render_tests"
            if run(["cmake", "--build", build, "-j", str(args.jobs), "--target", tests], copy,
                   1200) != 0:
                stillborn += 1
                print(f"[{index}/{len(chosen)}] does not compile: {name}", flush=True)
                continue
            ctest = ["ctest", "--test-dir", build, "-L", "core" if core else "gl", "-j",
                     str(args.jobs), "--stop-on-failure", "--timeout", "120"]
            if not core:
                ctest = ["xvfb-run", "-a", "-s", "-screen 0 1600x1200x24"] + ctest
            if run(ctest, copy, 1800) != 0:
                caught += 1
                print(f"[{index}/{len(chosen)}] caught: {name}", flush=True)
            else:
                survived.append(name)
                print(f"[{index}/{len(chosen)}] SURVIVED: {name}", flush=True)
        finally:
            with open(target, "w", encoding="utf-8") as source:
                source.write(original)

    counted = caught + len(survived)
    share = 100.0 * caught / counted if counted else 0.0
    print(f"\nseed {args.seed}: {caught} of {counted} mutants caught ({share:.1f} %), "
          f"{stillborn} did not compile")
    for name in survived:
        print(f"  survived: {name}")
    shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
