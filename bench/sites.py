"""Synthetic sites for the benchmark: command files, templates and assets.

A site is described as data (pages, their sections and entries, assets), written
to disk as the program reads it, and rendered with render.py into the pages
the program must write. Placeholder names are "Rubrik" and six digits, and no
generated text holds "rubrik", so no name can turn up in inserted text.
"""

import os
import re

import render

CANDIDATES = re.compile(r"RUBRIK\d{6}")
USER = "bench"
USER_RIGHTS = "00000001"  # bit 0 allowed: entries with Rechte 00000002 are hidden

_WORDS = ["Personal", "Vertrieb", "Technik", "Einkauf", "Lager", "\u00dcbersicht",
          "Stra\u00dfenplan", "Formulare", "Handbuch", "Kantine", "Zeiterfassung",
          "Telefonbuch", "R\u00e4ume", "Schulung", "Projekte", "Ablage"]


def link_entry(n):
    """The value of the n-th link entry: a mix of the field shapes admins write."""
    word = _WORDS[n % len(_WORDS)]
    kind = n % 10
    text = "%s %d" % (word, n)
    link = "http://intranet.local/%s/seite%d.htm" % (word.lower()[:4], n)
    if kind == 0:
        return "%s|%s|Beschreibung zu %s|Tooltip %d" % (text, link, word, n)
    if kind == 1:
        return "#%s|%s||Unterpunkt %d" % (text, link, n)
    if kind == 2:
        return "##%s|%s|Zweite Ebene|Tipp||00000001" % (text, link)
    if kind == 3:
        return "%s|%s|Nur Gruppe 2 sieht das|Versteckt|00000002" % (text, link)
    if kind == 4:
        return " %s | %s | Mit Leerzeichen | Tipp %d |00000001| 00000004" % (text, link, n)
    if kind == 5:
        return "%s|||Ordner ohne Ziel||4" % text
    if kind == 6:
        return "%s|file://fileserver/ablage/%d.pdf|PDF-Dokument|PDF %d" % (text, n, n)
    if kind == 7:
        return text
    if kind == 8:
        return "%s|%s?a=1&b=2|Suche \"intern\"|<schnell>||1" % (text, link)
    return "%s|mailto:stelle%d@intranet.local|Nachricht|Mail an Stelle %d|0|0" % (text, n, n)


def section_name(i):
    return "Rubrik%06d" % i


class Page:
    def __init__(self, command_file, output_name, template_name, template, sections):
        self.command_file = command_file
        self.output_name = output_name
        self.template_name = template_name
        self.template = template  # str, CR LF lines
        self.sections = sections  # [render.Section]


class Site:
    """One benchmark case's input and its expected output."""

    def __init__(self, name, pages, frameset=None, assets=(), old_folders=0,
                 delete_hours=24, single=False, note=""):
        self.name = name
        self.pages = pages
        self.frameset = frameset  # dict of [FrameSet] keys or None
        self.assets = list(assets)  # [(file name, size)]
        self.old_folders = old_folders
        self.delete_hours = delete_hours
        self.single = single  # one page from the start command file itself
        self.note = note

    @property
    def links(self):
        return sum(1 for p in self.pages for s in p.sections for k, _ in s.entries
                   if k.upper() not in render.SETTING_KEYS)

    # ---- writing ----

    def write(self, folder):
        """Writes the site below folder; returns the start command file's path."""
        site = os.path.join(folder, "site")
        os.makedirs(site, exist_ok=True)
        written = set()
        for page in self.pages:
            if page.template_name not in written:
                _write(os.path.join(site, page.template_name), page.template)
                written.add(page.template_name)
            _write(os.path.join(site, page.command_file), _command_text(page))
        if not self.single:
            lines = ["[Seiten]"]
            lines += ["%d=%s|%s" % (i + 1, p.command_file, p.output_name)
                      for i, p in enumerate(self.pages)]
            if self.frameset:
                lines.append("")
                lines.append("[FrameSet]")
                lines += ["%s=%s" % kv for kv in self.frameset.items()]
            _write(os.path.join(site, "start.ini"), "\r\n".join(lines) + "\r\n")
        for i, (name, size) in enumerate(self.assets):
            with open(os.path.join(site, name), "wb") as f:
                f.write(_asset_bytes(i, size))
        main = "\r\n".join(["[Pagetrix]", "Sichtbar=0", "LoeschStd=%d" % self.delete_hours,
                            "", "[Rechte]", "%s=%s" % (USER, USER_RIGHTS), ""])
        _write(os.path.join(folder, "Pagetrix.ini"), main)
        return os.path.join(site, self.pages[0].command_file if self.single else "start.ini")

    # ---- the expected output ----

    def expected(self, site_folder):
        """{file name: bytes or path of the source file} the output folder must hold."""
        viewer = render.Viewer(rights=int(USER_RIGHTS, 16))
        files = {}
        if self.frameset:
            page = render.frameset({k.upper(): v for k, v in self.frameset.items()})
            if page is not None:
                files[self.frameset.get("Name", "Pagetrix.htm")] = page.encode("cp1252")
        for page in self.pages:
            name = "Pagetrix.htm" if self.single else page.output_name
            files[name] = render.fill_template(page.template, page.sections, viewer,
                                               CANDIDATES).encode("cp1252")
        for name, _size in self.assets:
            files.setdefault(name, os.path.join(site_folder, name))
        return files


def _write(path, text):
    with open(path, "wb") as f:
        f.write(text.encode("cp1252"))


def _command_text(page):
    parts = ["[Vorlage]\r\nVorlage=%s\r\n" % page.template_name]
    for section in page.sections:
        parts.append("\r\n[%s]\r\n" % section.name)
        parts.append("".join("%s=%s\r\n" % kv for kv in section.entries))
    return "".join(parts)


def _asset_bytes(i, size):
    block = bytes((i * 7 + j) & 0xFF for j in range(251))
    return (block * (size // len(block) + 1))[:size]


def _template(title, body_lines, styles=("portal.css",)):
    head = ["<html>", "<head>",
            '<meta http-equiv="Content-Type" content="text/html; charset=windows-1252">',
            "<title>%s</title>" % title]
    head += ['<link rel="stylesheet" href="%s" type="text/css">' % s for s in styles]
    return "\r\n".join(head + ["</head>", "<body>"] + body_lines + ["</body>", "</html>"]) + "\r\n"


def _table_section(i, first, count, heading=None, tree=False):
    entries = []
    if tree:
        entries.append(("TreeMenu", "1"))
    else:
        entries.append(("Ueberschrift", heading or "Bereich %d" % i))
        if i % 2:
            entries += [("FontUeberschrift", "Verdana|3"), ("FontTabelle", "Verdana|2"),
                        ("SpaltenBreite1", "35%")]
        else:
            entries += [("FontTabelle", "Arial"), ("Border", "0")]
    entries += [(str(n), link_entry(n)) for n in range(first, first + count)]
    return render.Section(section_name(i), entries)


def one_table(name, links, tree=False, note=""):
    """One page with one link table (or tree menu) of `links` entries."""
    section = _table_section(1, 0, links, heading="Alle Links", tree=tree)
    template = _template("Links", ['<div class="teil">', section.name, "</div>",
                                   '<p class="fuss">Stand: heute</p>'])
    page = Page("seite.ini", "Pagetrix.htm", "vorlage.htm", template, [section])
    return Site(name, [page], single=True, note=note)


def sections(name, count, links, note=""):
    """One page whose `links` entries are spread over `count` sections, one line each."""
    per, extra = divmod(links, count)
    secs, first = [], 0
    for i in range(count):
        n = per + (1 if i < extra else 0)
        secs.append(_table_section(i + 1, first, n))
        first += n
    body = ['<div class="teil">%s</div>' % s.name for s in secs]
    page = Page("seite.ini", "Pagetrix.htm", "vorlage.htm", _template("Rubriken", body), secs)
    return Site(name, [page], single=True, note=note)


def typical(name="typical", old_folders=0, delete_hours=24, note=""):
    """Frameset, a tree menu page and two content pages: 60 links, 10 assets."""
    nav = _table_section(1, 0, 20, tree=True)
    pages = [Page("navigation.ini", "navigation.htm", "navigation_vorlage.htm",
                  _template("Navigation", ["<h1>Intranet</h1>", nav.name],
                            styles=("portal.css", "treemenu.css")), [nav])]
    first = 20
    for p, title in enumerate(["Willkommen", "Personal"]):
        secs = [_table_section(2 + 2 * p, first, 10), _table_section(3 + 2 * p, first + 10, 10)]
        first += 20
        body = ['<div class="kopf"><img src="logo.png" alt="Muster GmbH"></div>',
                '<div class="teil">', secs[0].name, "</div>", '<div class="teil">',
                secs[1].name, "</div>", '<p class="fuss">Fragen? Telefon 100</p>']
        pages.append(Page(title.lower() + ".ini", title.lower() + ".htm",
                          title.lower() + "_vorlage.htm", _template(title, body), secs))
    frameset = {"Titel": "Intranet der Muster GmbH", "FrameLinks": "navigation.htm",
                "FrameRechts": "willkommen.htm", "BreiteLinks": "240"}
    assets = [("treemenu.js", 11 * 1024), ("treemenu.css", 1536), ("portal.css", 1024),
              ("logo.png", 850), ("kopf.gif", 270), ("pfeil.gif", 60), ("ordner.gif", 120),
              ("seite.gif", 110), ("hilfe.htm", 2048), ("favicon.ico", 1150)]
    return Site(name, pages, frameset, assets, old_folders=old_folders,
                delete_hours=delete_hours, note=note)


def many_pages(name, count, links_per_page=10, note=""):
    """`count` pages from one shared template, each with one link table."""
    template = _template("Seite", ['<div class="teil">', section_name(1), "</div>"])
    pages = []
    for i in range(count):
        section = _table_section(1, i * links_per_page, links_per_page)
        pages.append(Page("seite%05d.ini" % i, "seite%05d.htm" % i, "vorlage.htm",
                          template, [section]))
    return Site(name, pages, note=note)


def with_assets(name, count, size, note=""):
    """One page of 10 links and `count` files of `size` bytes beside it."""
    site = one_table(name, 10, note=note)
    site.assets = [("bild%04d.jpg" % i, size) for i in range(count)]
    return site


# The files of an old output folder: what a typical run leaves behind.
OLD_FOLDER_FILES = [("Pagetrix.htm", 600), ("navigation.htm", 5000), ("willkommen.htm", 4000),
            ("portal.css", 1024), ("logo.png", 850)]
