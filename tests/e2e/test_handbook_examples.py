"""Every example of the handbook (docs/handbuch/beispiele), run by the real
Pagetrix.exe under Wine the way the handbook tells an administrator to run it.

Each run must make its pages without an error in the run log; the rights
example must show exactly the links the handbook's table says, for each of
its three columns.
"""

import glob
import os
import re
import shutil
import sys

import harness

sys.path.insert(0, os.path.join(harness.SOURCE, "tools"))
from set_ini_keys import set_keys  # noqa: E402

HANDBOOK = os.path.join(harness.SOURCE, "docs", "handbuch")
EXAMPLES = os.path.join(HANDBOOK, "beispiele")
TREEMENU = os.path.join(harness.SOURCE, "assets", "treemenu")
INCLUDE = re.compile(r"^[ \t]*<!-- datei: (\S+) -->$", re.M)

# The beginnings of every message a run logs when something went wrong.
ERROR_MESSAGES = (
    "Fehler in der Kommandodatei", "Das Ausgabeverzeichnis kann nicht angelegt werden",
    "Keine Vorlage in der Kommandodatei", "Es kann keine HTML-Datei gebildet werden",
    "Es konnten nicht alle Dateien", "Fehler beim Kopieren", "Fehler beim Schreiben der Datei",
    "Logischer Fehler in der Sektion", "Die Umgebungsvariable: ",
)


def error_lines(lines):
    """The run log lines (stamps stripped) that report a failure."""
    return [line for line in lines if line.startswith(ERROR_MESSAGES)]


# Columns of the worked rights table: heading -> (USER=, SERVER=).
RIGHTS_COLUMNS = {
    "meier": ("meier", None),
    "meier auf FS-AUSSEN": ("meier", "FS-AUSSEN"),
    "gast (nicht eingetragen)": ("gast", None),
}


def rights_entries(text):
    """The (user, rights) lines of a text: "name=" and eight hex digits alone
    on a line, or before a comment."""
    return re.findall(r"(?m)^[ \t]*(\w+)=([0-9A-Fa-f]{8})[ \t]*(?:;.*)?\r?$", text)


def portal_rights():
    """[Rechte] of the example portal's main configuration."""
    with open(os.path.join(harness.SOURCE, "examples", "portal", "Pagetrix.ini"), "rb") as f:
        ini = f.read().decode("cp1252")
    section = re.search(r"(?ms)^\[Rechte\]\r?\n(.*?)(?=^\[)", ini).group(1)
    return dict(re.findall(r"(?m)^(\w+)=([0-9A-Fa-f]{8})\r?$", section))


def chapter_texts():
    texts = {}
    for path in sorted(glob.glob(os.path.join(HANDBOOK, "[0-9][0-9]-*.md"))):
        with open(path, encoding="utf-8") as f:
            texts[os.path.basename(path)] = f.read()
    return texts


def rights_table():
    """The rows of the handbook's worked rights table: (header, [cells per row])."""
    text = chapter_texts()["08-rechte.md"]
    block = re.search(r"^::: \{#rechtetabelle\}\n(.*?)^:::$", text, re.M | re.S)
    assert block, "08-rechte.md has no ::: {#rechtetabelle} block"
    rows = [line.strip() for line in block.group(1).splitlines() if line.strip().startswith("|")]
    cells = [[c.strip().replace("**", "") for c in row.strip("|").split("|")] for row in rows]
    return cells[0], [row for row in cells[2:]]


class HandbookExamples(harness.WineTestCase):

    # ---- helpers ----

    def copy_example(self, name):
        folder = os.path.join(self.tmp, name)
        shutil.copytree(os.path.join(EXAMPLES, name), folder)
        return folder

    def install_example(self, name):
        """A copy of the example, seen by Wine at C:\\Beispiele\\NAME as in the handbook."""
        folder = self.copy_example(name)
        parent = os.path.join(self.wine().prefix, "drive_c", "Beispiele")
        os.makedirs(parent, exist_ok=True)
        link = os.path.join(parent, name)
        if os.path.lexists(link):
            os.remove(link)
        os.symlink(folder, link)
        self.addCleanup(os.remove, link)
        return folder

    def aufruf(self, folder):
        return self.call_line(folder, "aufruf.txt", "Pagetrix.exe ")

    def prepare(self, folder, name="run"):
        """The example's main configuration, made quiet for a test: no window,
        no browser, nothing deleted, the run log in the test folder."""
        log = os.path.join(self.tmp, name + ".log")
        ini = os.path.join(folder, "Pagetrix.ini")
        with open(ini, "rb") as f:
            data = set_keys(f.read(), {
                ("Pagetrix", "Sichtbar"): "0",
                ("Pagetrix", "LoeschStd"): "-1",
                ("StartProg", "Name"): "",
                ("Protokolldatei", "Name"): harness.winpath(log),
            })
        with open(ini, "wb") as f:
            f.write(data)
        if os.path.exists(log):
            os.remove(log)
        return log

    def run_line(self, arguments, cwd, log, extra="", exe=None, exit_code=0):
        """Runs Pagetrix.exe with the arguments of a call line of the handbook."""
        for old in self.output_dirs():
            shutil.rmtree(old)
        code = self.run_pagetrix(arguments + extra, cwd=cwd, exe=exe)
        self.assertEqual(exit_code, code, self.last_result.stderr)
        self.assertTrue(os.path.exists(log), "no run log written")
        return self.log_texts(log)

    def assert_clean(self, lines):
        """No error in the run log; every page it names exists. Returns the output folder."""
        self.assertEqual([], error_lines(lines), "\n".join(lines))
        dirs = self.output_dirs()
        self.assertEqual(1, len(dirs), "\n".join(lines))
        pages = [m.group(1) for m in (re.match(r"Ausgabedatei-Datei: '(.*)'$", l) for l in lines) if m]
        self.assertTrue(pages, "\n".join(lines))
        for page in pages:
            name = page.replace("\\", "/").split("/")[-1]
            self.assertTrue(os.path.isfile(os.path.join(dirs[0], name)), page)
        return dirs[0]

    def page(self, folder, name="Pagetrix.htm"):
        return self.read_bytes(os.path.join(folder, name)).decode("cp1252")

    def call_line(self, folder, name, prefix):
        """The program's arguments on the line of `name` that starts with `prefix`."""
        with open(os.path.join(folder, name), "rb") as f:
            for line in f.read().decode("cp1252").splitlines():
                if line.startswith(prefix):
                    return line[len(prefix):]
        self.fail("%s has no line starting with %r" % (name, prefix))

    # ---- the handbook and its example folders ----

    def test_every_example_file_is_shown_and_every_shown_file_exists(self):
        shown = set()
        for name, text in chapter_texts().items():
            for relative in INCLUDE.findall(text):
                self.assertTrue(os.path.isfile(os.path.join(HANDBOOK, relative)),
                                "%s shows a missing file %s" % (name, relative))
                shown.add(relative)
            # A command file is never typed into a chapter: it would not be run.
            self.assertNotRegex(text, r"(?m)^(```|~~~)\s*\{?\.?ini", name)
        files = {os.path.relpath(p, HANDBOOK).replace(os.sep, "/")
                 for p in glob.glob(os.path.join(EXAMPLES, "**", "*"), recursive=True)
                 if os.path.isfile(p)}
        self.assertEqual(set(), files - shown, "example files the handbook does not show")

    def test_every_example_folder_has_a_test_here(self):
        tested = {name[len("test_example_"):].replace("_", "-")
                  for name in dir(self) if name.startswith("test_example_")}
        self.assertEqual(sorted(os.listdir(EXAMPLES)), sorted(tested))

    def test_files_of_the_examples_are_windows_text(self):
        for path in glob.glob(os.path.join(EXAMPLES, "**", "*"), recursive=True):
            if os.path.isfile(path):
                data = self.read_bytes(path)
                data.decode("cp1252")
                self.assertEqual(data.count(b"\n"), data.count(b"\r\n"), path)
                self.assertTrue(data.endswith(b"\r\n"), path)
                self.assertFalse(data.startswith(b"\xef\xbb\xbf"), path)

    def test_portal_users_as_the_handbook_and_liesmich_name_them(self):
        # The example portal is described, not included: its rights must match.
        rights = portal_rights()
        described = dict(re.findall(r"(?m)^\| `(\w+)` \| `([0-9A-F]{8})` \|",
                                    chapter_texts()["02-installation.md"]))
        self.assertEqual(rights, described)
        with open(os.path.join(harness.SOURCE, "docs", "LIESMICH.txt.in"), "rb") as f:
            readme = f.read().decode("cp1252")
        for user in re.findall(r"/USER=(\w+)", readme):
            self.assertIn(user, rights)

    def test_a_user_of_the_portal_has_its_rights_wherever_he_appears(self):
        # The examples, the chapters' code and the help text reuse the
        # portal's people; a reader comparing them must find the same rights.
        rights = portal_rights()
        found = []
        for path in glob.glob(os.path.join(EXAMPLES, "**", "*.ini"), recursive=True):
            found += [(path, u, r) for u, r in rights_entries(self.read_bytes(path).decode("cp1252"))]
        for name, text in chapter_texts().items():
            found += [(name, u, r) for u, r in rights_entries(text)]
        usage = self.read_bytes(os.path.join(harness.SOURCE, "src", "res", "usage_text.txt"))
        found += [("usage_text.txt", u, r) for u, r in rights_entries(usage.decode("cp1252"))]
        self.assertTrue(any(user in rights for _, user, _ in found))
        for where, user, value in found:
            if user in rights:
                self.assertEqual(rights[user], value.upper(), "%s in %s" % (user, where))

    # ---- one test per example folder ----

    def test_example_einfach(self):
        folder = self.install_example("einfach")
        log = self.prepare(folder)
        # No command file on the line: [StartVorlage] names it.
        lines = self.run_line(self.aufruf(folder), None, log)
        page = self.page(self.assert_clean(lines))
        self.assertEqual(5, page.count("<a "))
        self.assertIn('target="_blank">Speiseplan</a>', page)
        self.assertIn("&nbsp;<a href=\"file://fileserver/formulare/Urlaub.pdf\">Urlaubsantrag</a>",
                      page)
        self.assertNotIn("PX_LINKS", page)

    def test_example_rahmen(self):
        folder = self.install_example("rahmen")
        for name in ("treemenu.js", "treemenu.css"):
            shutil.copy(os.path.join(TREEMENU, name), os.path.join(folder, "seiten"))
        log = self.prepare(folder)
        output = self.assert_clean(self.run_line(self.aufruf(folder), None, log))
        frameset = self.page(output)
        self.assertIn('<frame src="navigation.htm" name="Navigation" title="Navigation">', frameset)
        self.assertIn('<frameset cols="220,*">', frameset)
        navigation = self.page(output, "navigation.htm")
        self.assertIn("tree.put(1,'Start', 'Daten','inhalt.htm'", navigation)
        self.assertIn("tree.add(0,' Zeiterfassung', '_blank'", navigation)
        for name in ("treemenu.js", "treemenu.css"):
            self.assertTrue(os.path.isfile(os.path.join(output, name)), name)
        self.assertEqual(["Pagetrix.htm", "inhalt.htm", "navigation.htm", "treemenu.css",
                          "treemenu.js"], sorted(os.listdir(output)))

    def test_example_rechte(self):
        header, rows = rights_table()
        self.assertEqual(["Link", "Rechte", "Flags"] + list(RIGHTS_COLUMNS) + ["Warum"], header)
        self.assertEqual(5, len(rows))
        folder = self.install_example("rechte")
        # The table's Rechte and Flags are the example file's.
        with open(os.path.join(folder, "seiten", "Start.ini"), "rb") as f:
            entries = {}
            for line in f.read().decode("cp1252").splitlines():
                fields = line.split("=", 1)[-1].split("|")
                if len(fields) >= 2:
                    entries[fields[0]] = (fields + [""] * 6)[4:6]
        for row in rows:
            rights, flags = ("" if v == "–" else v for v in row[1:3])
            self.assertEqual(entries[row[0]], [rights, flags], row[0])
        for column, (user, server) in enumerate(RIGHTS_COLUMNS.values(), start=3):
            log = self.prepare(folder, user + (server or ""))
            extra = " /USER=%s" % user + (" /SERVER=%s" % server if server else "")
            page = self.page(self.assert_clean(self.run_line(self.aufruf(folder), None, log,
                                                             extra)))
            shown = re.findall(r'<a href="[^"]*">([^<]*)</a>', page)
            expected = [row[0] for row in rows if row[column] == "ja"]
            self.assertEqual(expected, shown, "column %r of the rights table" % header[column])
            for row in rows:
                self.assertIn(row[column], ("ja", "nein"), row)

    def test_example_umgebung(self):
        folder = self.install_example("umgebung")
        log = self.prepare(folder)
        lines = self.run_line(self.aufruf(folder), None, log)
        self.assertIn("[Lokal]", lines)
        self.assertIn("[Environment]", lines)
        page = self.page(self.assert_clean(lines))
        # %StartLW% is the drive the program runs from: Z: under Wine.
        drive = harness.winpath(harness.PAGETRIX_EXE)[:2]
        self.assertIn('href="%s\\Intranet\\Handbuch\\index.htm"' % drive, page)
        self.assertNotRegex(page, r"%\w+%")

    def test_example_anmeldung(self):
        folder = self.copy_example("anmeldung")
        shutil.copy(harness.PAGETRIX_EXE, folder)
        for name in ("treemenu.js", "treemenu.css"):
            shutil.copy(os.path.join(TREEMENU, name), os.path.join(folder, "treemenu"))
        log = self.prepare(folder)
        self.map_unc_share("n", "fileserver", "intranet", folder)
        line = self.call_line(folder, "anmelden.cmd", 'start "" ')
        exe, _, arguments = line.partition(" ")
        self.assertEqual('"\\\\fileserver\\intranet\\Pagetrix.exe"', exe)
        lines = self.run_line(arguments, None, log, " /USER=mueller", exe=exe.strip('"'))
        output = self.assert_clean(lines)
        files = sorted(os.listdir(output))
        self.assertEqual(["Pagetrix.htm", "intranet.css", "navigation.htm", "treemenu.css",
                          "treemenu.js", "willkommen.htm"], files)
        navigation = self.page(output, "navigation.htm")
        self.assertIn("'Intranet'", navigation)
        self.assertIn("' Telefonbuch'", navigation)
        # mueller is in sales, not in IT, as in the example portal.
        self.assertIn("' Vertrieb'", navigation)
        self.assertNotIn("Administration", navigation)

    def test_example_cd(self):
        folder = self.copy_example("cd")
        shutil.copy(harness.PAGETRIX_EXE, folder)
        log = self.prepare(folder)
        self.map_drive("d", folder, "cdrom")
        line = self.call_line(folder, "start.cmd", '"%~dp0Pagetrix.exe" ')
        lines = self.run_line(line.replace("%~dp0", "D:\\"), "D:\\", log, exe="D:\\Pagetrix.exe")
        self.assertIn("[Environment_CDROM]", lines)
        output = self.assert_clean(lines)
        self.assertEqual(["Pagetrix.htm"], os.listdir(output))
        page = self.page(output)
        self.assertIn('href="D:\\daten\\Preisliste.pdf"', page)
        self.assertNotIn("Kundendatenbank", page)

    def test_example_fehler_raute(self):
        folder = self.install_example("fehler-raute")
        log = self.prepare(folder)
        # A refused start command file makes no start page: the exit code is
        # the generator's result 1.
        lines = self.run_line(self.aufruf(folder), None, log, exit_code=1)
        with open(os.path.join(folder, "erwartet.txt"), "rb") as f:
            expected = [l for l in f.read().decode("cp1252").splitlines() if l]
        for line in expected:
            self.assertIn(line, lines)
        self.assertEqual([], self.output_dirs(), "no output folder for a refused command file")


if __name__ == "__main__":
    harness.main()
