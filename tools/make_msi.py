#!/usr/bin/env python3
"""Builds the Windows Installer package of a release with wixl (msitools).

Usage: make_msi.py RELEASE_FOLDER OUTPUT.msi --version X.Y.Z.W

RELEASE_FOLDER is the top folder of the release zip, unpacked: every file in
it is installed below %ProgramFiles%\\Pagetrix as it stands there, so the
two packages cannot differ. wixl-heat lists the files; packaging/Pagetrix.wxs
adds the product, the upgrade rules and the handbook's Start-menu entry.
Prints where the package installs each file, as read back from it.
"""

import argparse
import os
import subprocess
import sys
import tempfile

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), ".."))
WXS = os.path.join(ROOT, "packaging", "Pagetrix.wxs")
ICON = os.path.join(ROOT, "src", "res", "pagetrix.ico")
# Declared in Pagetrix.wxs itself, with the Start-menu entry.
HANDBOOK = "Handbuch.html"


def upgrade_below(version):
    """The lowest version above every one that shares the first three parts
    of `version`, the only parts Windows Installer compares."""
    parts = [int(p) for p in version.split(".")] + [0, 0, 0]
    major, minor, build = parts[:3]
    build += 1
    if build > 65535:
        build, minor = 0, minor + 1
    if minor > 255:
        minor, major = 0, major + 1
    return "%d.%d.%d" % (major, minor, build)


def release_files(folder):
    """The files of the release folder, relative, in a fixed order."""
    files = []
    for directory, subdirectories, names in os.walk(folder):
        subdirectories.sort()
        for name in sorted(names):
            files.append(os.path.relpath(os.path.join(directory, name), folder))
    return files


def build(folder, output, version):
    folder = os.path.abspath(folder)
    files = release_files(folder)
    if HANDBOOK not in files:
        sys.exit("make_msi: %s has no %s" % (folder, HANDBOOK))
    listed = "\n".join(os.path.join(folder, f) for f in files if f != HANDBOOK) + "\n"
    with tempfile.TemporaryDirectory() as scratch:
        fragment = os.path.join(scratch, "files.wxs")
        heat = subprocess.run(
            ["wixl-heat", "--prefix", folder + "/", "--directory-ref", "INSTALLDIR",
             "--component-group", "Files", "--var", "var.Stage", "--win64"],
            input=listed.encode("utf-8"), capture_output=True)
        if heat.returncode != 0:
            sys.exit("make_msi: wixl-heat failed:\n" + heat.stderr.decode("utf-8", "replace"))
        with open(fragment, "wb") as f:
            f.write(heat.stdout)
        # wixl finds sources by relative paths only.
        command = ["wixl", "--arch", "x64", "--output", os.path.abspath(output),
                   "-D", "Version=" + version, "-D", "UpgradeBelow=" + upgrade_below(version),
                   "-D", "Stage=" + os.path.relpath(folder, scratch),
                   "-D", "Icon=" + os.path.relpath(ICON, scratch), "-D", "Win64=yes",
                   WXS, fragment]
        result = subprocess.run(command, capture_output=True, cwd=scratch)
        if result.returncode != 0 or not os.path.isfile(output):
            sys.exit("make_msi: wixl failed:\n" + result.stderr.decode("utf-8", "replace"))


def table(msi, name):
    """The rows of a table of the package, as msiinfo exports them."""
    text = subprocess.run(["msiinfo", "export", msi, name], check=True, capture_output=True,
                          text=True).stdout
    return [line.split("\t") for line in text.splitlines()[3:]]


def installed_paths(msi):
    """Where the package puts each file, below the program files folder."""
    parents = {row[0]: (row[1], row[2].split("|")[-1]) for row in table(msi, "Directory")}
    folders = {row[0]: row[2] for row in table(msi, "Component")}

    def folder(key):
        parent, name = parents[key]
        if key == "ProgramFiles64Folder" or not parent:
            return "%ProgramFiles%"
        return folder(parent) if name == "." else folder(parent) + "\\" + name

    return sorted(folder(folders[row[1]]) + "\\" + row[2].split("|")[-1]
                  for row in table(msi, "File"))


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("folder")
    parser.add_argument("output")
    parser.add_argument("--version", required=True)
    args = parser.parse_args()
    build(args.folder, args.output, args.version)
    for path in installed_paths(args.output):
        print("  " + path)


if __name__ == "__main__":
    main()
