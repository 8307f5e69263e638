#!/usr/bin/env python3
"""Renders the handbook (docs/handbuch/*.md) into one HTML file with pandoc.

Usage: render_handbook.py OUTPUT.html [--version X.Y.Z.W]

The chapters are taken in the order of their file names. A line of the form
    <!-- datei: beispiele/NAME/FILE -->
stands for the example file of that path: it is put in as a code block, so
the handbook shows the very bytes the tests run (Windows-1252 files, shown
decoded). The version comes from project(... VERSION) in CMakeLists.txt.
"""

import argparse
import glob
import os
import re
import subprocess
import sys

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), ".."))
HANDBOOK = os.path.join(ROOT, "docs", "handbuch")
INCLUDE = re.compile(r"^<!-- datei: (\S+) -->$")
CODE_WITH_BAR = re.compile(r"`([^`]*\\\|[^`]*)`")
LANGUAGES = {".ini": "pagetrixini", ".htm": "html", ".html": "html", ".cmd": "bat", ".bat": "bat",
             ".txt": "", ".log": ""}


def project_version():
    with open(os.path.join(ROOT, "CMakeLists.txt"), encoding="utf-8") as f:
        match = re.search(r"project\(\s*Pagetrix\s+VERSION\s+([0-9.]+)", f.read())
    if not match:
        sys.exit("render_handbook: no project(Pagetrix VERSION ...) in CMakeLists.txt")
    return match.group(1)


def chapters():
    return sorted(glob.glob(os.path.join(HANDBOOK, "[0-9][0-9]-*.md")))


def example_text(relative):
    """The example file as text: Windows-1252 decoded, line ends as LF."""
    path = os.path.join(HANDBOOK, relative)
    if not os.path.isfile(path):
        raise FileNotFoundError("example file missing: docs/handbuch/" + relative)
    with open(path, "rb") as f:
        return f.read().decode("cp1252").replace("\r\n", "\n").rstrip("\n")


def table_code(line):
    """A table row whose code spans hold an escaped bar: pandoc keeps the
    backslash inside code, so such spans are written as HTML code."""
    def code(match):
        text = match.group(1).replace("\\|", "|")
        text = text.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")
        return "<code>%s</code>" % text.replace("|", "&#124;")
    return CODE_WITH_BAR.sub(code, line)


def expand(markdown):
    """The chapter text with every example reference replaced by its file."""
    out = []
    for line in markdown.split("\n"):
        match = INCLUDE.match(line.strip())
        if not match:
            out.append(table_code(line) if line.startswith("|") else line)
            continue
        indent = line[:len(line) - len(line.lstrip())]
        relative = match.group(1)
        name = os.path.basename(relative)
        language = LANGUAGES.get(os.path.splitext(name)[1].lower(), "")
        text = example_text(relative)
        fence = "~~~~" if "~~~" in text else "~~~"
        block = ['<div class="beispiel">',
                 '<p class="beispiel-datei">Datei <code>%s</code></p>' % name, "",
                 fence + ("{.%s}" % language if language else "")]
        block += text.split("\n")
        block += [fence, "", "</div>"]
        # Inside a list item the block keeps the item's indent.
        out += [(indent + b) if b else b for b in block]
    return "\n".join(out)


def source_text():
    """All chapters, expanded, as one Markdown text."""
    return "\n\n".join(expand(open(path, encoding="utf-8").read()) for path in chapters())


def render(output, version):
    markdown = source_text()
    # Typographic quotes would change the log messages the text quotes.
    command = ["pandoc", "--from=markdown-smart", "--to=html5", "--standalone", "--self-contained",
               "--toc", "--toc-depth=2", "--number-sections", "--section-divs",
               "--css=handbuch.css", "--resource-path=" + HANDBOOK,
               "--syntax-definition=" + os.path.join(HANDBOOK, "pagetrix-ini.xml"),
               "--metadata=lang:de",
               "--metadata=title:Pagetrix %s – Handbuch für Administratoren" % version,
               "--metadata=toc-title:Inhalt",
               "--output=" + os.path.abspath(output)]
    result = subprocess.run(command, input=markdown.encode("utf-8"), cwd=HANDBOOK,
                            capture_output=True)
    # A warning (a duplicate heading id, a missing resource) is a fault of the text.
    if result.returncode != 0 or result.stderr.strip():
        sys.stderr.write(result.stderr.decode("utf-8", "replace"))
        sys.exit("render_handbook: pandoc failed or warned")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("output")
    parser.add_argument("--version", default=None)
    args = parser.parse_args()
    os.makedirs(os.path.dirname(os.path.abspath(args.output)), exist_ok=True)
    render(args.output, args.version or project_version())


if __name__ == "__main__":
    main()
