#!/usr/bin/env python3
"""Copies an INI file and sets keys in the copy: set_ini_keys.py SOURCE TARGET Section.Key=Value ...

Bytes outside the changed lines stay as they are (Windows-1252, CR LF); a key
missing from its section is added at the end of the section, a missing
section at the end of the file.
"""

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
    name, value = argument.split("=", 1)
    section, key = name.split(".", 1)
    return (section, key), value


def main(argv):
    if len(argv) < 3:
        sys.stderr.write(__doc__)
        return 2
    with open(argv[1], "rb") as f:
        data = f.read()
    settings = dict(parse_setting(a) for a in argv[3:])
    with open(argv[2], "wb") as f:
        f.write(set_keys(data, settings))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
