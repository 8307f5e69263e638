#!/usr/bin/env python3
"""Fails when a source under src/ includes a header of a folder it may not use.

The folders and what each may use are declared once, in CMakeLists.txt
(pagetrix_folder ... USES ...), which writes them to the layers file:

    gen: config fs platform base

Usage: check_includes.py LAYERS_FILE SRC_FOLDER
"""

import argparse
import os
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"/]+)/([^"]+)"')


def read_layers(path):
    layers = {}
    with open(path, encoding="utf-8") as f:
        for line in f:
            if ":" not in line:
                continue
            name, uses = line.split(":", 1)
            layers[name.strip()] = set(uses.split())
    return layers


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("layers_file", help="the folders and what each may use, one a line")
    parser.add_argument("src", help="the src folder")
    opts = parser.parse_args()
    layers = read_layers(opts.layers_file)
    src = opts.src
    faults = []
    for folder in sorted(os.listdir(src)):
        root = os.path.join(src, folder)
        if not os.path.isdir(root):
            continue
        if folder not in layers:
            faults.append("src/%s: folder not declared in CMakeLists.txt" % folder)
            continue
        allowed = layers[folder] | {folder}
        for dirpath, _, names in os.walk(root):
            for name in sorted(names):
                if not name.endswith((".h", ".cc", ".def")):
                    continue
                path = os.path.join(dirpath, name)
                shown = os.path.relpath(path, os.path.dirname(src))
                with open(path, encoding="latin-1") as f:
                    for number, line in enumerate(f, 1):
                        match = INCLUDE.match(line)
                        if match and match.group(1) not in allowed:
                            faults.append('%s:%d: includes "%s/%s", but %s may use only %s'
                                          % (shown, number, match.group(1), match.group(2),
                                             folder, " ".join(sorted(layers[folder])) or
                                             "itself"))
    for fault in faults:
        print(fault)
    if faults:
        print("%d include(s) against the folder order" % len(faults))
        return 1
    print("includes follow the folder order of %d folders" % len(layers))
    return 0


if __name__ == "__main__":
    sys.exit(main())
