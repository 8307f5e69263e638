#!/usr/bin/env python3
"""Fails when a C++ source is not formatted as .clang-format says.

Checks every .cc and .h under src/ and tests/ and bench/*.cc, with
clang-format --dry-run --Werror; prints the files that would change.
`--fix` formats them in place instead.

Usage: check_format.py [--clang-format PROGRAM] [--fix] SOURCE_FOLDER
"""

import argparse
import os
import shutil
import subprocess
import sys

EXTENSIONS = (".cc", ".h")


def sources(root):
    """The checked files, relative to root, sorted."""
    found = []
    for folder in ("src", "tests"):
        for top, dirs, files in os.walk(os.path.join(root, folder)):
            # The browser tests' installed packages are not ours.
            dirs[:] = sorted(d for d in dirs if d != "node_modules")
            found += [os.path.join(top, f) for f in files if f.endswith(EXTENSIONS)]
    bench = os.path.join(root, "bench")
    if os.path.isdir(bench):
        found += [os.path.join(bench, f) for f in os.listdir(bench) if f.endswith(".cc")]
    return sorted(os.path.relpath(f, root) for f in found)


def unformatted(program, root, files):
    """The files clang-format would change, each checked on its own."""
    bad = []
    for name in files:
        result = subprocess.run([program, "--dry-run", "--Werror", "--style=file", name],
                                cwd=root, stdin=subprocess.DEVNULL, capture_output=True)
        if result.returncode != 0:
            bad.append((name, result.stderr.decode(errors="replace")))
    return bad


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("root", metavar="SOURCE_FOLDER")
    parser.add_argument("--clang-format", default="clang-format", dest="program")
    parser.add_argument("--fix", action="store_true", help="format the files in place")
    args = parser.parse_args()

    program = shutil.which(args.program)
    if program is None:
        print("%s not found (Debian package clang-format)" % args.program, file=sys.stderr)
        return 1
    if not os.path.isfile(os.path.join(args.root, ".clang-format")):
        print("no .clang-format in %s" % args.root, file=sys.stderr)
        return 1
    files = sources(args.root)
    if args.fix:
        subprocess.run([program, "-i", "--style=file"] + files, cwd=args.root, check=True)
        return 0
    bad = unformatted(program, args.root, files)
    for name, messages in bad:
        # The first complaint of each file is enough to find it.
        print("%s\n%s" % (name, "\n".join(messages.splitlines()[:3])))
    print("%d of %d files formatted as .clang-format says" % (len(files) - len(bad), len(files)))
    if bad:
        print("format them with: %s --fix %s" % (sys.argv[0], args.root))
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main())
