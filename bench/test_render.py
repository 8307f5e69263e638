"""Smoke test of the benchmark's expected pages: python3 bench/test_render.py

The renderer must give the golden pages of the end-to-end tests, and its fast
placeholder search must agree with the line-by-line one on the bench's sites.
No program is run here; the benchmark itself is not part of tools/test.
"""

import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import render  # noqa: E402
import sites  # noqa: E402

GOLDEN = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e",
                      "golden")


def read_ini(path):
    """[(section name, [(key, value)])] in file order, read as the program reads it."""
    sections = []
    with open(path, "rb") as f:
        text = f.read().decode("cp1252")
    for line in text.split("\n"):
        line = line.rstrip("\r").strip(" \t")
        if not line or line[0] in ";:":
            continue
        cut = [i for i in (line.find(" ;"), line.find("\t;")) if i >= 0]
        if cut:
            line = line[:min(cut)].strip(" \t")
        if line.startswith("[") and "]" in line:
            sections.append((line[1:-1], []))
        elif sections and "=" in line:
            key, _, value = line.partition("=")
            sections[-1][1].append((key.strip(" \t"), value.strip(" \t")))
    return sections


def golden_pages(case):
    """{output file name: expected page bytes} rendered from a golden case's input."""
    folder = os.path.join(GOLDEN, case)
    start = read_ini(os.path.join(folder, "start.ini"))
    by_name = {}
    for name, entries in start:
        by_name.setdefault(name.upper(), []).extend(entries)
    pages = []
    for _, value in by_name.get("SEITEN", []):
        pages.append((render.field(value, 1), render.field(value, 2)))
    if not pages:
        pages = [("start.ini", "Pagetrix.htm")]
    viewer = render.Viewer()
    files = {}
    frameset_keys = {k.upper(): v for k, v in by_name.get("FRAMESET", [])}
    if pages[0][0] != "start.ini" or len(pages) > 1:
        page = render.frameset(frameset_keys)
        if page is not None:
            files[frameset_keys.get("NAME", "Pagetrix.htm")] = page.encode("cp1252")
    for command_file, output_name in pages:
        path = os.path.join(folder, command_file)
        if not os.path.exists(path):
            continue
        sections = read_ini(path)
        template_name = next(v for n, e in sections if n.upper() == "VORLAGE"
                             for k, v in e if k.upper() == "VORLAGE")
        with open(os.path.join(folder, template_name), "rb") as f:
            template = f.read().decode("cp1252")
        placeholders = [render.Section(n, e) for n, e in sections if n.upper() != "VORLAGE"]
        files[output_name] = render.fill_template(template, placeholders,
                                                  viewer).encode("cp1252")
    return files


class GoldenPagesTest(unittest.TestCase):

    def check(self, case):
        rendered = golden_pages(case)
        self.assertTrue(rendered)
        for name, data in rendered.items():
            with open(os.path.join(GOLDEN, case, "expected", name), "rb") as f:
                self.assertEqual(f.read(), data, "%s/%s" % (case, name))

    def test_link_tables(self):
        self.check("link_tables")

    def test_tree_menus(self):
        self.check("tree_menu")

    def test_placeholders_in_list_order_inside_words(self):
        self.check("placeholders")

    def test_single_pages_and_their_sections(self):
        for case in ("single_page", "single_page_sections", "template_copy"):
            self.check(case)

    def test_framesets(self):
        for case in ("frameset", "frameset_defaults"):
            self.check(case)


class FastSearchTest(unittest.TestCase):

    def test_fast_search_agrees_with_the_full_one(self):
        viewer = render.Viewer(rights=int(sites.USER_RIGHTS, 16))
        for site in (sites.sections("s", 30, 300), sites.typical(),
                     sites.one_table("t", 50, tree=True)):
            for page in site.pages:
                self.assertEqual(
                    render.fill_template(page.template, page.sections, viewer),
                    render.fill_template(page.template, page.sections, viewer,
                                         sites.CANDIDATES))

    def test_entries_show_and_hide_as_their_rights_say(self):
        viewer = render.Viewer(rights=int(sites.USER_RIGHTS, 16))
        section = sites.one_table("t", 100).pages[0].sections[0]
        shown = list(render.shown_links(section, viewer))
        self.assertEqual(90, len(shown))  # every tenth entry needs group 2


if __name__ == "__main__":
    unittest.main()
