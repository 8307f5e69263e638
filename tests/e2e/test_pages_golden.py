"""Golden pages: the real Pagetrix.exe under Wine must write pages equal to the expected files.

Each folder under golden/ holds the command files and templates of one run and,
in expected/, the files the output directory must then hold, byte for byte.
The folder is copied into the test's own folder and the run is started on its
start.ini with the template folder defaulting to that copy, so the expected
pages hold no path of the run.

After a deliberate change of the pages, regenerate the expected files and
review what changed before committing:

    PAGETRIX_REGENERATE_GOLDEN=1 ctest --test-dir build/win -R e2e.test_pages_golden
    git diff --stat tests/e2e/golden && git diff tests/e2e/golden
"""

import difflib
import os
import re
import shutil

import harness

GOLDEN = os.path.join(os.path.dirname(os.path.abspath(__file__)), "golden")
# Writes what the program wrote into expected/ instead of comparing with it.
REGENERATE = os.environ.get("PAGETRIX_REGENERATE_GOLDEN") == "1"

# The run log's time stamps vary; lines that carry one are compared as "(ms) text".
_STAMP = re.compile(r"^\(-?\d+ ms\) ")


def _visible_lines(data):
    """Lines of a page with their line ends spelled out, for a readable diff."""
    text = data.decode("cp1252", errors="replace")
    return [line.replace("\r", "\\r").replace("\n", "\\n")
            for line in text.splitlines(keepends=True)]


class PagesGoldenTest(harness.WineTestCase):

    def run_case(self, name, command_file="start.ini", env=None):
        """Runs the program on a copy of golden/<name>; returns the output folder or None."""
        self.case_dir = os.path.join(self.tmp, name)
        shutil.copytree(os.path.join(GOLDEN, name), self.case_dir,
                        ignore=shutil.ignore_patterns("expected"))
        self.log = os.path.join(self.tmp, "run.log")
        ini = self.write_text(os.path.join(self.tmp, "Pagetrix.ini"),
                              "[Pagetrix]\nSichtbar=0\nLoeschStd=-1\n"
                              "[Protokolldatei]\nName=%s\n" % harness.winpath(self.log))
        command = os.path.join(self.case_dir, command_file)
        self.exit_code = self.run_pagetrix('/INI="%s" "%s"' % (harness.winpath(ini),
                                                                harness.winpath(command)),
                                           env=env)
        dirs = self.output_dirs()
        self.assertLessEqual(len(dirs), 1, dirs)
        self.out_dir = dirs[0] if dirs else None
        return self.out_dir

    # ---- run log ----

    def log_lines(self):
        if not os.path.exists(self.log):
            return []
        return [_STAMP.sub("(ms) ", line) for line in self.read_log(self.log)]

    def expand(self, line):
        line = line.replace("{CASE}", harness.winpath(self.case_dir))
        if self.out_dir:
            line = line.replace("{OUT}", harness.winpath(self.out_dir) + "\\")
        return line

    def assert_log_has(self, *block):
        """The run log holds these lines one after the other ({CASE}, {OUT} filled in)."""
        wanted = [self.expand(line) for line in block]
        lines = self.log_lines()
        for i in range(len(lines) - len(wanted) + 1):
            if lines[i:i + len(wanted)] == wanted:
                return
        self.fail("run log lacks the lines\n  %s\nrun log:\n  %s"
                  % ("\n  ".join(wanted), "\n  ".join(lines)))

    def assert_log_lacks(self, text):
        lines = self.log_lines()
        self.assertFalse([line for line in lines if text in line],
                         "run log holds %r:\n  %s" % (text, "\n  ".join(lines)))

    # ---- pages ----

    def describe_run(self):
        return "exit code %s; run log:\n  %s" % (self.exit_code, "\n  ".join(self.log_lines()))

    def assert_pages(self, name, exact=False, absent=()):
        """Every expected file is in the output folder with exactly its bytes."""
        self.assertIsNotNone(self.out_dir, "no output folder; " + self.describe_run())
        expected_dir = os.path.join(GOLDEN, name, "expected")
        expected = sorted(os.listdir(expected_dir)) if os.path.isdir(expected_dir) else []
        written = sorted(os.listdir(self.out_dir))
        if REGENERATE:
            self.regenerate(expected_dir, written if exact else expected)
            return
        if exact:
            self.assertEqual(expected, written, "files of the output folder")
        for file_name in absent:
            self.assertNotIn(file_name, written, "%s must not be in the output folder" % file_name)
        for file_name in expected:
            path = os.path.join(self.out_dir, file_name)
            if not os.path.exists(path):
                self.fail("%s not written; the output folder holds %s; %s"
                          % (file_name, written, self.describe_run()))
            want = self.read_bytes(os.path.join(expected_dir, file_name))
            got = self.read_bytes(path)
            if want == got:
                continue
            first = next((i for i, (a, b) in enumerate(zip(want, got)) if a != b),
                         min(len(want), len(got)))
            diff = difflib.unified_diff(_visible_lines(want), _visible_lines(got),
                                        "expected/" + file_name, "written/" + file_name,
                                        lineterm="")
            self.fail("%s differs from byte %d on (%d bytes expected, %d written):\n%s"
                      % (file_name, first, len(want), len(got), "\n".join(diff)))

    def regenerate(self, expected_dir, names):
        """Replaces the expected files by the written ones (a missing one is dropped)."""
        if os.path.isdir(expected_dir):
            for file_name in os.listdir(expected_dir):
                if file_name not in names:
                    os.remove(os.path.join(expected_dir, file_name))
        os.makedirs(expected_dir, exist_ok=True)
        for file_name in names:
            path = os.path.join(self.out_dir, file_name)
            if os.path.exists(path):
                shutil.copyfile(path, os.path.join(expected_dir, file_name))
            elif os.path.exists(os.path.join(expected_dir, file_name)):
                os.remove(os.path.join(expected_dir, file_name))

    def assert_no_output_folder(self):
        self.assertIsNone(self.out_dir, "an output folder was created")
        self.assertTrue(self.log_lines(), "no run log; exit code %s" % self.exit_code)

    # ---- pages of successful runs ----

    def test_single_page_with_link_table(self):
        self.run_case("single_page")
        self.assert_pages("single_page", absent=("start.ini", "vorlage.htm"))
        self.assert_log_has("(ms) Lese Kommandodatei: '{CASE}\\start.ini'")
        self.assert_log_has("(ms) Ausgabeverzeichnis: '{OUT}'")
        self.assert_log_has("(ms) ",
                            "(ms) Vorlagen INI-Datei: '{CASE}\\start.ini'",
                            "(ms) Vorlagen HTML-Datei: '{CASE}\\vorlage.htm'",
                            "(ms) Ausgabedatei-Datei: '{OUT}Pagetrix.htm'",
                            "(ms) Verarbeite diesen Link: 'Home|index.htm|Start|Tip||1'")

    def test_single_page_fills_its_seiten_and_frameset_sections(self):
        self.run_case("single_page_sections")
        self.assert_pages("single_page_sections", absent=("start.htm",))

    def test_frameset_with_pages_and_a_missing_page(self):
        self.run_case("frameset")
        self.assert_pages("frameset", absent=("start.ini", "nav.ini", "inhalt.ini",
                                              "vorlage_nav.htm", "vorlage_inhalt.htm",
                                              "fehlt.htm"))
        self.assertEqual(13, self.read_bytes(os.path.join(self.out_dir, "Pagetrix.htm"))
                         .count(b"\r\n"))
        self.assert_log_has("(ms) Fehler in der Kommandodatei: '{CASE}\\fehlt.ini'")

    def test_frameset_defaults_and_name(self):
        self.run_case("frameset_defaults")
        self.assert_pages("frameset_defaults", absent=("Pagetrix.htm",))

    def test_link_tables_fonts_borders_indents_targets(self):
        self.run_case("link_tables")
        self.assert_pages("link_tables")
        self.assert_log_has("(ms) Verarbeite diesen Link: 'Geheim|geheim.doc|Nur Gruppe 1|G|00000001'",
                            "(ms) Kein Recht für diesen Link: 'Geheim|geheim.doc|Nur Gruppe 1|G|00000001'")

    def test_tree_menus_and_tree_menu_selection(self):
        self.run_case("tree_menu")
        self.assert_pages("tree_menu")

    def test_sound_tag_after_head_line_and_no_placeholders(self):
        self.run_case("sound")
        self.assert_pages("sound")

    def test_sound_with_loop_value_and_expanded_source(self):
        self.run_case("sound_loop", env={"PAGETRIX_KLANG": "jingle"})
        self.assert_pages("sound_loop")

    def test_template_without_placeholder_sections_is_copied_unchanged(self):
        self.run_case("template_copy")
        self.assert_pages("template_copy", absent=("kopie.htm", "start.ini"))

    def test_placeholders_inside_words_in_list_order_first_only(self):
        self.run_case("placeholders")
        self.assert_pages("placeholders")

    # ---- failures: result codes and their run log lines ----

    def test_command_file_with_line_without_equals_sign(self):  # result 1
        self.run_case("err_command_file")
        self.assert_no_output_folder()
        self.assert_log_has("(ms) Lese Kommandodatei: '{CASE}\\start.ini'",
                            "(ms) Fehler in der Kommandodatei: '{CASE}\\start.ini'")
        self.assert_log_lacks("Ausgabeverzeichnis:")

    def test_missing_command_file(self):  # result 1
        self.run_case("err_command_file", command_file="fehlt.ini")
        self.assert_no_output_folder()
        self.assert_log_has("(ms) Lese Kommandodatei: '{CASE}\\fehlt.ini'",
                            "(ms) Fehler in der Kommandodatei: '{CASE}\\fehlt.ini'")

    def test_pages_entry_without_output_name(self):  # result 5
        self.run_case("err_seiten")
        self.assert_no_output_folder()
        self.assert_log_has("(ms) Fehler in der Kommandodatei: '{CASE}\\start.ini'",
                            "in der Sektion [Seiten].")
        self.assert_log_lacks("Ausgabeverzeichnis:")

    def test_page_command_file_without_template(self):  # result 2
        self.run_case("err_no_vorlage")
        self.assert_pages("err_no_vorlage", exact=True)
        self.assert_log_has(
            "(ms) Keine Vorlage in der Kommandodatei: '{CASE}\\seite2.ini' angegeben.")
        self.assert_log_lacks("Alle notwendigen Dateien")

    def test_frameset_page_not_writable(self):  # result 7
        self.run_case("err_frameset")
        self.assert_pages("err_frameset", exact=True)
        self.assert_log_has("(ms) Fehler beim Schreiben der Datei: '{OUT}fehlt\\start.htm'")
        self.assert_log_lacks("Vorlagen INI-Datei")

    def test_page_not_writable(self):  # result 7 of the template fill
        self.run_case("err_page")
        self.assert_pages("err_page", exact=True)
        self.assert_log_has("(ms) Es kann keine HTML-Datei gebildet werden.",
                            "Vorlagedatei: '{CASE}\\vorlage.htm'",
                            "Ausgabedatei: '{OUT}unter\\seite.htm'",
                            "")
        self.assert_log_lacks("Alle notwendigen Dateien")


if __name__ == "__main__":
    harness.main()
