"""Expected pages of a run, rendered from the command file's sections.

Written apart from the program, from the page formats alone, so that the
benchmark can tell a fast run from a right one. Text is handled as str that
maps one to one onto Windows-1252 bytes; callers encode with cp1252.
"""

import re

SETTING_KEYS = {"UEBERSCHRIFT", "FONTTABELLE", "FONTUEBERSCHRIFT", "BORDER",
                "SPALTENBREITE1", "TREEMENU"}


def _upper_table():
    table = bytearray(range(256))
    for code in range(256):
        try:
            char = bytes([code]).decode("cp1252")
            upper = char.upper().encode("cp1252")
        except (UnicodeDecodeError, UnicodeEncodeError):
            continue
        if len(upper) == 1:
            table[code] = upper[0]
    return bytes(table)


_UPPER = _upper_table()


def upper(text):
    """Upper case as the ANSI code page maps it: one character for one."""
    return text.encode("cp1252").translate(_UPPER).decode("cp1252")


def get_field(value, number):
    """Field `number` (1-based) of a bar-separated value, trimmed; None when missing."""
    parts = value.split("|")
    if number > len(parts):
        return None
    return parts[number - 1].strip(" \t")


def field(value, number):
    found = get_field(value, number)
    return "" if found is None else found


def leading_int(text):
    """Decimal integer at the start (white space, sign, digits); 0 without digits."""
    match = re.match(r"[ \t\r\n\f\v]*([+-]?)(\d*)", text)
    if not match.group(2):
        return 0
    number = int(match.group(2))
    return -number if match.group(1) == "-" else number


def leading_hex(text):
    """Hexadecimal number as a %x conversion reads it, kept in 32 bits."""
    match = re.match(r"[ \t\r\n\f\v]*(?:0[xX](?=[0-9a-fA-F]))?([0-9a-fA-F]*)", text)
    digits = match.group(1)
    return int(digits, 16) & 0xFFFFFFFF if digits else 0


class Section:
    """A placeholder section: its name and its keys in line order."""

    def __init__(self, name, entries):
        self.name = name
        self.entries = list(entries)  # [(key, value)], both trimmed
        self._index = None

    def get(self, key):
        """The value of a key (first of that name, any letter case), None when absent."""
        if self._index is None:
            self._index = {}
            for k, v in self.entries:
                self._index.setdefault(k.upper(), v)
        return self._index.get(key.upper())


class Viewer:
    """Who runs the program: the facts the link filter reads."""

    def __init__(self, rights=0, server_flags=0, from_cd=False):
        self.rights = rights
        self.server_flags = server_flags
        self.from_cd = from_cd

    def allows(self, rights, flags):
        if flags & 0x2 and self.from_cd:
            return False
        if flags & self.server_flags & 0xFFFF0000:
            return False
        common = rights & self.rights
        if common & 0xFFFF0000:
            return False
        if rights & 0x0000FFFF:
            return bool(common & 0x0000FFFF)
        return True


def shown_links(section, viewer):
    """(text, link, description, tooltip, flags) of each entry the viewer may see."""
    for key, value in section.entries:
        if key.upper() in SETTING_KEYS:
            continue
        fields = [part.strip(" \t") for part in value.split("|", 6)[:6]]
        fields += [""] * (6 - len(fields))
        rights = leading_hex(fields[4]) if fields[4] else 0
        flags = leading_hex(fields[5]) if fields[5] else 0
        if viewer.allows(rights, flags):
            yield fields[0], fields[1], fields[2], fields[3], flags


def _font_tag(value, default_size):
    if not value:
        return ""
    size_field = get_field(value, 2)
    size = default_size if size_field is None else leading_int(size_field)
    return '<font face="%s" size="%d">' % (field(value, 1), size)


def link_table(section, viewer):
    """The text that replaces a link table's placeholder ("" when no row)."""
    heading_font = _font_tag(section.get("FontUeberschrift") or "", 4)
    table_font = _font_tag(section.get("FontTabelle") or "", 3)
    border_value = section.get("Border")
    border = 1 if border_value is None else leading_int(border_value)
    width = section.get("SpaltenBreite1") or "50%"
    rows = []
    for text, link, description, tooltip, flags in shown_links(section, viewer):
        description_cell = ('     <td width="50%%">%s%s</td>\r\n' % (table_font, description)
                            if description else "")
        attributes = ""
        if link:
            attributes = 'href="%s"%s' % (link, ' target="_blank"' if flags & 1 else "")
        stripped = text.lstrip("#")
        indent = "&nbsp;" * (len(text) - len(stripped))
        rows.append('   <tr>\r\n     <td width="%s" title="%s">%s%s<a %s>%s</a></td>\r\n'
                    '     %s   </tr>\r\n'
                    % (width, tooltip, table_font, indent, attributes, stripped,
                       description_cell))
    if not rows:
        return ""
    head = ('<table border="0" width="100%%">\r\n   <tr>\r\n'
            '     <td width="100%%"><b>%s%s</b></td>\r\n   </tr>\r\n</table>\r\n'
            % (heading_font, section.get("Ueberschrift") or ""))
    head += '<table border="%d" width="100%%" cellspacing="0">\r\n' % border
    return head + "".join(rows) + "</table>\r\n"


TREE_OPEN = ("\r\n<!--     Beginn TreeMenu     -->\r\n"
             '<link rel="stylesheet" href="treemenu.css" type="text/css">\r\n'
             '<script type="text/javascript" src="treemenu.js"></script>\r\n'
             '<script type="text/javascript">\r\n<!--\r\n'
             "tree = new treemenu('tree', false, false, false, false);\r\n")
TREE_CLOSE = ("document.write(tree);\r\n-->\r\n</script>\r\n<noscript>\r\n"
              "<h1>Der Browser unterst\u00fctzt kein Javascript.</h1>\r\n</noscript>\r\n"
              "<!--     Ende TreeMenu     -->\r\n")


def script_string(text):
    """A text made safe inside a single-quoted script string: an unescaped quote
    gets a backslash, and "</" becomes "<\\/" so the script block stays whole."""
    text = re.sub(r"(?<!\\)'", r"\\'", text)
    return re.sub(r"(?<=<)/", r"\\/", text)


def tree_menu(section, viewer):
    """The text that replaces a tree menu's placeholder ("" when no entry)."""
    calls = []
    for text, link, _description, tooltip, flags in shown_links(section, viewer):
        target = "_blank" if link and flags & 1 else "Daten"
        stripped = text.lstrip("#")
        text = " " * (len(text) - len(stripped)) + stripped
        calls.append("tree.%s(%d,'%s', '%s','%s','%s', '',  ''  );\r\n"
                     % ("add" if calls else "put", 1 if flags & 4 else 0, script_string(text),
                        target, script_string(link), script_string(tooltip)))
    if not calls:
        return ""
    return TREE_OPEN + "".join(calls) + TREE_CLOSE


def _template_lines(data):
    lines = data.split("\n")
    if lines and lines[-1] == "":
        lines.pop()
    return [line[:-1] if line.endswith("\r") else line for line in lines]


def fill_template(template, sections, viewer, candidates=None):
    """The page made from a template (str) and the page's placeholder sections.

    Every name is searched, in section order, in the line as changed so far.
    With `candidates`, a regular expression that matches every place where a
    name could stand, a line is searched only for the names it matches; that is
    the same as long as no inserted text matches it, which is checked.
    """
    placeholders = [(upper(s.name), s) for s in sections if upper(s.name) != "VORLAGE"]
    if not placeholders:
        return template
    order = {name: i for i, (name, _) in enumerate(placeholders)}
    blocks = {}
    out = []
    for line in _template_lines(template):
        if candidates is None:
            todo = placeholders
        else:
            found = {m.group(0) for m in candidates.finditer(upper(line))}
            todo = sorted((placeholders[order[n]] for n in found if n in order),
                          key=lambda item: order[item[0]])
        for name, section in todo:
            position = upper(line).find(name)
            if position < 0:
                continue
            if name not in blocks:
                tree = leading_int(section.get("TreeMenu") or "") == 1
                blocks[name] = (tree_menu if tree else link_table)(section, viewer)
                if candidates is not None and candidates.search(upper(blocks[name])):
                    raise ValueError("inserted text of %s holds a placeholder" % name)
            line = line[:position] + blocks[name] + line[position + len(name):]
        out.append(line)
        out.append("\r\n")
    return "".join(out)


def frameset(keys):
    """The frameset page from the [FrameSet] keys (dict, upper-case names); None without one."""
    left = keys.get("FRAMELINKS", "")
    right = keys.get("FRAMERECHTS", "")
    if not left or not right:
        return None
    def attr(text):
        return text.replace('"', "&quot;")
    return ('<html lang="de">\r\n<head>\r\n'
            '<meta http-equiv="Content-Type" content="text/html; charset=windows-1252">\r\n'
            "<title>%s</title>\r\n</head>\r\n"
            '<frameset cols="%s,*">\r\n  <frame src="%s" name="Navigation" title="%s">\r\n'
            '  <frame src="%s" name="%s" title="%s">\r\n  <noframes>\r\n'
            "    Ihr Browser kann diese Seite leider nicht anzeigen!\r\n"
            "  </noframes>\r\n</frameset>\r\n</html>\r\n"
            % (keys.get("TITEL", ""), keys.get("BREITELINKS", "") or "150", attr(left),
               attr(keys.get("TITELLINKS", "") or "Navigation"), attr(right), "Daten",
               attr(keys.get("TITELRECHTS", "") or "Inhalt")))
