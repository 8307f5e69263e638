#!/usr/bin/env python3
"""Stages the example portal with the shipped menu files: stage_portal.py TARGET

examples/portal holds no copy of the tree menu's script and style sheet; an
administrator's template folder would. TARGET gets the portal afresh with
assets/treemenu/treemenu.js and .css copied into its template folder, so that
the demo and the browser tests run on the files that ship.
"""

import argparse
import os
import shutil

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), ".."))
PORTAL = os.path.join(ROOT, "examples", "portal")
ASSETS = os.path.join(ROOT, "assets", "treemenu")
MENU_FILES = ("treemenu.js", "treemenu.css")


def stage(target):
    """Copies the portal to `target` (replacing it); returns its template folder."""
    shutil.rmtree(target, ignore_errors=True)
    shutil.copytree(PORTAL, target)
    templates = os.path.join(target, "startseite")
    for name in MENU_FILES:
        shutil.copyfile(os.path.join(ASSETS, name), os.path.join(templates, name))
    return templates


if __name__ == "__main__":
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("target", help="the folder to stage into (replaced)")
    stage(parser.parse_args().target)
