"""Check mode (/PRUEFEN) of the real Pagetrix.exe under Wine: the report on the
example portal and on a broken copy of it, the exit codes, that a check run
changes no file, and that the visibility matrix says what normal runs with
/USER=, /SERVER= and /CD really show.

The expected findings under check/ are written by hand. After a change of the
example portal or of a finding's text, regenerate them and review the diff:

    PAGETRIX_REGENERATE_GOLDEN=1 ctest --test-dir build/win -R e2e.test_check_mode
    git diff tests/e2e/check
"""

import hashlib
import json
import os
import re
import shutil
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "check"))
import harness  # noqa: E402
from broken_portal import copy_portal, make_broken_portal, set_keys  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
EXPECTED = os.path.join(HERE, "check")
BROWSER = os.path.join(harness.SOURCE, "tests", "browser")
SHOTS = os.path.join(harness.BUILD, "screenshots")
OLD_FOLDER = "{00000000-0000-0000-0000-000000000001}"
REGENERATE = os.environ.get("PAGETRIX_REGENERATE_GOLDEN") == "1"


def snapshot(root):
    """Every file and folder below root with a digest of its bytes."""
    state = {}
    for folder, dirs, files in os.walk(root):
        for name in dirs:
            state[os.path.relpath(os.path.join(folder, name), root)] = "folder"
        for name in files:
            path = os.path.join(folder, name)
            with open(path, "rb") as f:
                state[os.path.relpath(path, root)] = hashlib.sha256(f.read()).hexdigest()
    return state


def load_report(folder):
    """Pruefbericht.json: its strings are the program's bytes, each above 0x7F as \\u00XX."""
    with open(os.path.join(folder, "Pruefbericht.json"), "rb") as f:
        return json.loads(f.read().decode("ascii"))


def program_text(text):
    """A string of the JSON report as the program's Windows-1252 text."""
    return text.encode("latin-1").decode("cp1252")


def shown_links(folder, page):
    """The link texts a generated page shows, tables and tree menus alike."""
    path = os.path.join(folder, page)
    if not os.path.exists(path):
        return []
    html = open(path, "rb").read().decode("cp1252")
    texts = [re.sub(r"^(&nbsp;)*", "", t) for t in re.findall(r"<a [^>]*>([^<]*)</a>", html)]
    texts += [t.lstrip(" ") for t in re.findall(r"tree\.(?:put|add)\(\d,'([^']*)'", html)]
    return texts


class CheckModeTest(harness.WineTestCase):

    def check(self, main, command_file, extra=""):
        """Runs /PRUEFEN; returns (exit code, report folder)."""
        self.recording = os.path.join(self.tmp, "recording.bin")
        code = self.run_pagetrix('/PRUEFEN /INI="%s"%s "%s"' % (
            harness.winpath(main), extra, harness.winpath(command_file)),
            env={"RECORDER_OUT": harness.winpath(self.recording)})
        dirs = [d for d in self.output_dirs() if not d.endswith(OLD_FOLDER)]
        self.assertEqual(len(dirs), 1, self.last_result)
        return code, dirs[0]

    def report_text(self, folder, root):
        """Pruefbericht.txt with the fixture's folder written as <PORTAL>."""
        text = self.read_bytes(os.path.join(folder, "Pruefbericht.txt")).decode("cp1252")
        return text.replace(harness.winpath(root), "<PORTAL>")

    def findings(self, text):
        """The report without the output folder's name, up to the matrix."""
        text = re.sub(r"\\Pagetrix\\[0-9A-F-]{36}\\", r"\\Pagetrix\\<ORDNER>\\", text)
        return text[:text.index("Wer sieht welchen Link")]

    def portal(self, keys=None):
        """A copy of the example portal whose start program is the recorder."""
        root = copy_portal(os.path.join(self.tmp, "portal"))
        main = os.path.join(root, "Pagetrix.ini")
        settings = {("StartProg", "Name"): self.recorder_exe, ("Pagetrix", "Sichtbar"): "0"}
        settings.update(keys or {})
        with open(main, "rb") as f:
            data = set_keys(f.read(), settings)
        with open(main, "wb") as f:
            f.write(data)
        return root, main, os.path.join(root, "startseite", "Start.ini")

    def assert_findings(self, text, name):
        """The findings part of a report equals check/<name>, or becomes it."""
        path = os.path.join(EXPECTED, name)
        if REGENERATE:
            with open(path, "w", encoding="utf-8", newline="\n") as f:
                f.write(self.findings(text).replace("\r\n", "\n"))
        with open(path, encoding="utf-8") as f:
            self.assertEqual(self.findings(text), f.read().replace("\n", "\r\n"))

    def test_example_portal_changes_nothing_and_opens_the_report(self):
        # LoeschStd=0 would make a normal run delete every older output folder.
        root, main, start = self.portal({("Pagetrix", "LoeschStd"): "0",
                                         ("Pagetrix", "Sichtbar"): "1"})
        old = os.path.join(self.temp, "Pagetrix", OLD_FOLDER)
        os.makedirs(old)
        self.write_text(os.path.join(old, "Pagetrix.htm"), "alt\n")
        before_portal, before_temp = snapshot(root), snapshot(self.temp)
        code, folder = self.check(main, start)
        self.assertEqual(snapshot(root), before_portal, "the check run changed the portal")
        after_temp = snapshot(self.temp)
        new = os.path.relpath(folder, self.temp)
        self.assertEqual({k: v for k, v in after_temp.items() if not k.startswith(new)},
                         before_temp, "the check run changed or deleted other output")
        self.assertEqual(sorted(os.listdir(folder)),
                         ["Pruefbericht.htm", "Pruefbericht.json", "Pruefbericht.txt"])
        text = self.report_text(folder, root)
        self.assert_findings(text, "portal_expected.txt")
        self.assertEqual(code, 1 if "Warnung:" in text else 0)
        command_line, _ = self.read_recording(self.recording)
        self.assertEqual(command_line, '"%s" "%s"' % (
            self.recorder_exe, harness.winpath(os.path.join(folder, "Pruefbericht.htm"))))
        self.assertEqual(self.last_result.stdout.replace(b"\r\n", b"\n"),
                         self.read_bytes(os.path.join(folder, "Pruefbericht.txt"))
                         .replace(b"\r\n", b"\n"), "the text report on the console")

    def test_broken_copy_names_every_finding(self):
        root = os.path.join(self.tmp, "kaputt")
        main, start, env = make_broken_portal(root, harness.winpath)
        with open(main, "rb") as f:
            data = set_keys(f.read(), {("StartProg", "Name"): ""})
        with open(main, "wb") as f:
            f.write(data)
        before = snapshot(root)
        code, folder = self.check(main, start, ' /ENV="%s"' % harness.winpath(env))
        self.assertEqual(snapshot(root), before)
        text = self.report_text(folder, root)
        self.assert_findings(text, "broken_expected.txt")
        self.assertEqual(code, 2)
        self.browse_report(os.path.join(folder, "Pruefbericht.htm"))

    def browse_report(self, html):
        """The HTML report in headless Chromium: filter by user, sticky headings, screenshot."""
        if not os.path.isdir(os.path.join(BROWSER, "node_modules", "playwright-core")):
            self.skipTest("run `npm install` in tests/browser")
        os.makedirs(SHOTS, exist_ok=True)
        env = dict(os.environ, CHECK_REPORT=html, SCREENSHOTS=SHOTS)
        result = subprocess.run(["node", "--test", "check_report.test.js"], cwd=BROWSER, env=env,
                                stdin=subprocess.DEVNULL, capture_output=True, timeout=300)
        self.assertEqual(result.returncode, 0, result.stdout.decode(errors="replace"))

    def run_as(self, main, start, user, server, cd, name):
        temp = os.path.join(self.tmp, name)
        os.makedirs(temp)
        args = '/INI="%s" /USER="%s" /SERVER="%s"%s "%s"' % (
            harness.winpath(main), user or "niemand", server or "KEINSERVER",
            " /CD" if cd else "", harness.winpath(start))
        code = self.run_pagetrix(args, env={"TMP": harness.winpath(temp),
                                            "TEMP": harness.winpath(temp)})
        self.assertEqual(code, 0, self.last_result)
        (folder,) = os.listdir(os.path.join(temp, "Pagetrix"))
        return os.path.join(temp, "Pagetrix", folder)

    def test_matrix_says_what_normal_runs_show(self):
        root, main, start = self.portal({("StartProg", "Name"): ""})
        _, folder = self.check(main, start)
        report = load_report(folder)
        rows = report["rows"]
        self.assertGreater(len(rows), 30)
        columns = report["columns"]
        self.assertIn(False, {c["user_listed"] for c in columns})
        self.assertIn(False, {c["server_listed"] for c in columns})
        pages = sorted({row["page"] for row in rows})
        for n, column in enumerate(columns):
            group = report["groups"][column["group"]]
            self.assertTrue(group["start_page_made"])
            out = self.run_as(main, start, program_text(column["user"]),
                              program_text(column["server"]), column["cd"], "lauf%d" % n)
            self.assertEqual(sorted(os.listdir(out)), group["files"], column)
            for page in pages:
                expected = sorted(program_text(rows[int(r)]["text"]).lstrip("#")
                                  for r, count in group["shown"].items()
                                  if rows[int(r)]["page"] == page for _ in range(count))
                self.assertEqual(sorted(shown_links(out, page)), expected,
                                 "%s for %s" % (page, column))

    def test_cd_keyword_shows_what_a_real_cd_start_shows(self):
        root, main, start = self.portal({("StartProg", "Name"): ""})
        cd = os.path.join(self.tmp, "cd")
        os.makedirs(cd)
        shutil.copy(harness.PAGETRIX_EXE, cd)
        self.map_drive("p", cd, "cdrom")
        from_cd = self.run_as_exe(main, start, r"P:\Pagetrix.exe", "cdlauf")
        with_keyword = self.run_as(main, start, None, None, True, "schalter")
        for page in ("navigation.htm", "technik.htm", "vertrieb.htm"):
            self.assertEqual(shown_links(from_cd, page), shown_links(with_keyword, page), page)
        self.assertNotEqual(shown_links(from_cd, "technik.htm"),
                            shown_links(self.run_as(main, start, None, None, False, "platte"),
                                        "technik.htm"))

    def run_as_exe(self, main, start, exe, name):
        temp = os.path.join(self.tmp, name)
        os.makedirs(temp)
        code = self.run_pagetrix('/INI="%s" /USER=niemand /SERVER=KEINSERVER "%s"' % (
            harness.winpath(main), harness.winpath(start)),
            env={"TMP": harness.winpath(temp), "TEMP": harness.winpath(temp)}, exe=exe)
        self.assertEqual(code, 0, self.last_result)
        (folder,) = os.listdir(os.path.join(temp, "Pagetrix"))
        return os.path.join(temp, "Pagetrix", folder)

    def test_exit_codes_of_normal_runs(self):
        ini = self.write_text(os.path.join(self.tmp, "Pagetrix.ini"), "[Pagetrix]\nSichtbar=0\n")
        self.write_text(os.path.join(self.tmp, "t.htm"), "<html>LINKS</html>\n")
        cases = {
            "gut.ini": ("[Vorlage]\nVorlage=t.htm\n[Links]\n0=A|a.htm\n", 0),
            "fehlt.ini": (None, 1),
            "ohnevorlage.ini": ("[Vorlage]\nVerzeichnis=.\n[Links]\n0=A\n", 2),
            "seiten.ini": ("[Seiten]\n1=gut.ini\n", 5),
            "vorlagefehlt.ini": ("[Vorlage]\nVorlage=gibtsnicht.htm\n[Links]\n0=A\n", 7),
        }
        for name, (text, expected) in cases.items():
            path = os.path.join(self.tmp, name)
            if text is not None:
                self.write_text(path, text)
            code = self.run_pagetrix('/INI="%s" "%s"' % (harness.winpath(ini),
                                                        harness.winpath(path)))
            self.assertEqual(code, expected, name)


if __name__ == "__main__":
    harness.main()
