#!/usr/bin/env python3
"""Copies an INI file and sets keys in the copy: set_ini_keys.py SOURCE TARGET Section.Key=Value ...

Bytes outside the changed lines stay as they are (Windows-1252, CR LF); a key
missing from its section is added at the end of the section, a missing
section at the end of the file.
"""

import argparse
import sys


def set_keys(data, settings):
    """`data`: bytes of an INI file; `settings`: {(section, key): value}. Returns new bytes."""
    text = data.decode("latin-1")
    lines = text.split("\r\n")
    if lines and lines[-1] == "":
        lines.pop()
    pending = {(s.lower(), k.lower()): (s, k, v) for (s, k), v in settings.items()}
    out = []
    section = None

    def flush(section_name):
        # Keys of the section that were not in the file go before its end.
        for (s, k), (_, key, value) in list(pending.items()):
            if s == section_name:
                while out and out[-1].strip() == "":
                    out.pop()
                out.append("%s=%s" % (key, value))
                out.append("")
                del pending[(s, k)]

    for line in lines:
        stripped = line.strip()
        if stripped.startswith("[") and "]" in stripped:
            if section is not None:
                flush(section)
            section = stripped[1:stripped.index("]")].strip().lower()
        elif section is not None and "=" in stripped and not stripped.startswith((";", ":")):
            key = stripped.split("=", 1)[0].strip().lower()
            if (section, key) in pending:
                _, name, value = pending.pop((section, key))
                line = "%s=%s" % (name, value)
        out.append(line)
    if section is not None:
        flush(section)
    missing = {}
    for s, k, v in pending.values():
        missing.setdefault(s.lower(), ["", "[%s]" % s]).append("%s=%s" % (k, v))
    for block in missing.values():
        out += block
    return ("\r\n".join(out) + "\r\n").encode("latin-1")


def parse_setting(argument):
    """`Section.Key=Value` -> ((section, key), value)."""
    name, sep, value = argument.partition("=")
    section, dot, key = name.partition(".")
    if not sep or not dot or not section or not key:
        raise argparse.ArgumentTypeError("not Section.Key=Value: %r" % argument)
    return (section, key), value


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("source", help="the INI file to copy")
    parser.add_argument("target", help="the copy to write")
    parser.add_argument("settings", nargs="*", type=parse_setting, metavar="Section.Key=Value",
                        help="a key to set in the copy (added where missing)")
    opts = parser.parse_args(argv)
    with open(opts.source, "rb") as f:
        data = f.read()
    with open(opts.target, "wb") as f:
        f.write(set_keys(data, dict(opts.settings)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
