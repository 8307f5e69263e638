"""Who runs the real Pagetrix.exe and from where: rights, server flags and the rights report."""

import getpass
import os
import re
import shutil

import harness

# Link entries of the page, one per filter rule (Rechte, Flags).
LINKS = (
    "[Links]\n"
    "0=Eins|eins.htm|Beschreibung|Tip|00000001\n"
    "1=Vier|vier.htm|||00000004\n"
    "2=Offen|offen.htm\n"
    "3=Gesperrt|gesperrt.htm|||00010001\n"
    "4=Server|server.htm||||00010000\n"
    "5=NichtCD|nichtcd.htm||||00000002\n"
)


class IdentityRightsTest(harness.WineTestCase):

    def setUp(self):
        super().setUp()
        self.ini = os.path.join(self.tmp, "Pagetrix.ini")
        self.log = os.path.join(self.tmp, "run.log")
        self.recording = os.path.join(self.tmp, "recording.bin")
        self.write_text(os.path.join(self.tmp, "seite.htm"),
                        "<html>\n<body>\nLinks\n</body>\n</html>\n")
        self.command_file = self.write_text(os.path.join(self.tmp, "start.ini"),
                                            "[Vorlage]\nVorlage=seite.htm\n" + LINKS)

    def config(self, rights="", server=""):
        self.write_text(self.ini,
                        "[Pagetrix]\nSichtbar=0\nLoeschStd=-1\n"
                        "[StartProg]\nName=%s\n" % self.recorder_exe +
                        "[Protokolldatei]\nName=%s\n" % harness.winpath(self.log) +
                        "[Rechte]\n" + rights + "[Server]\n" + server)

    def run_with(self, extra="", exe=None):
        code = self.run_pagetrix('/INI="%s" "%s"%s' % (harness.winpath(self.ini),
                                                     harness.winpath(self.command_file), extra),
                                 env={"RECORDER_OUT": harness.winpath(self.recording)}, exe=exe)
        self.assertEqual(0, code, self.last_result.stderr)

    def log_lines(self):
        return self.log_texts(self.log)

    def page(self):
        dirs = self.output_dirs()
        self.assertEqual(1, len(dirs))
        return self.read_bytes(os.path.join(dirs[0], "Pagetrix.htm")).decode("cp1252")

    def assert_links(self, page, shown, hidden):
        for name in shown:
            self.assertIn('href="%s.htm"' % name, page)
        for name in hidden:
            self.assertNotIn('href="%s.htm"' % name, page)

    def report_tail(self, rows):
        """The rights report as the run log must end with it, times masked."""
        width = max([len(entry) for _, entry, _ in rows] + [0]) + 2
        lines = ["(T ms) \r\n", "(T ms) Vergebene Rechte in den Vorlage-INI-Dateien",
                 "(T ms) " + "-" * 43,
                 "(T ms) %-10s%-*s%s" % ("Recht", width, "Zeile", "Vorlage-INI-Datei")]
        lines += ["(T ms) %-10s%-*s%s" % (r, width, e, f) for r, e, f in rows]
        return ("\r\n".join(lines) + "\r\n").encode("cp1252")

    def masked_log(self):
        return re.sub(rb"\(\d+ ms\) ", b"(T ms) ", self.read_bytes(self.log))

    def test_user_and_server_keys_select_the_flags(self):
        self.config(rights="anna=0x00010003 Gruppe\n", server="ZENTRALE=00010000\n")
        self.run_with(' /USER=Anna "-SERVER=Zentrale"')
        lines = self.log_lines()
        self.assertEqual("Aktueller User: 'Anna', Rechte: '0x00010003 Gruppe'", lines[1])
        self.assertEqual("Der Server: 'Zentrale' hat das Flag '00010000'", lines[4])
        self.assert_links(self.page(), shown=("eins", "offen", "nichtcd"),
                          hidden=("vier", "gesperrt", "server"))
        self.assertIn("Kein Recht für diesen Link: 'Server|server.htm||||00010000'", lines)

    def test_missing_keys_show_empty_texts_and_the_drive_as_server(self):
        self.config(rights="niemand=00000004\n", server="z:=00020000\n")
        self.run_with(" USER=")
        lines = self.log_lines()
        self.assertRegex(lines[1], r"^Aktueller User: '[^']+', Rechte: ''$")
        # The program runs from drive Z:, a local disk: the drive is the server.
        self.assertEqual("Der Server: 'Z:' hat das Flag '00020000'", lines[4])
        self.assert_links(self.page(), shown=("offen", "server", "nichtcd"),
                          hidden=("eins", "vier", "gesperrt"))

    def test_logged_on_user_when_no_user_is_given(self):
        self.config(rights="%s=00000004\n" % getpass.getuser())
        self.run_with()
        self.assertEqual("Aktueller User: '%s', Rechte: '00000004'" % getpass.getuser(),
                         self.log_lines()[1])
        self.assert_links(self.page(), shown=("vier",), hidden=("eins",))

    def test_rights_report_ends_the_log(self):
        self.config(rights="anna=00010003\n")
        self.run_with(" /USER=anna")
        path = harness.winpath(self.command_file)
        rows = [("00000001", "Eins|eins.htm|Beschreibung|Tip|00000001", path),
                ("00000004", "Vier|vier.htm|||00000004", path),
                ("00010001", "Gesperrt|gesperrt.htm|||00010001", path)]
        log = self.masked_log()
        self.assertTrue(log.endswith(self.report_tail(rows)), log[-600:])
        self.assertLess(log.index(b"(T ms) Starte Programm: "),
                        log.index(b"Vergebene Rechte in den Vorlage-INI-Dateien"))

    def test_rights_report_without_rows_and_with_a_long_rights_text(self):
        self.config()
        self.write_text(self.command_file, "[Vorlage]\nVorlage=seite.htm\n[Links]\n0=Offen|offen.htm\n")
        self.run_with()
        self.assertTrue(self.masked_log().endswith(self.report_tail([])))
        self.assertTrue(self.masked_log().endswith(
            b"(T ms) Recht     ZeileVorlage-INI-Datei\r\n"))

        self.write_text(self.command_file,
                        "[Vorlage]\nVorlage=seite.htm\n[Links]\n0=Zehn|zehn.htm|||0000000001\n")
        self.run_with()
        self.assertTrue(self.masked_log().endswith(
            b"(T ms) 0000000001Zehn|zehn.htm|||0000000001  " +
            harness.winpath(self.command_file).encode("cp1252") + b"\r\n"))

    def test_links_not_for_cd_are_hidden_on_a_cdrom_drive(self):
        self.config()
        cd = os.path.join(self.tmp, "cd")
        os.makedirs(cd)
        shutil.copy(harness.PAGETRIX_EXE, os.path.join(cd, "Pagetrix.exe"))
        self.map_drive("K", cd, "cdrom")
        self.run_with(exe="K:\\Pagetrix.exe")
        lines = self.log_lines()
        self.assertEqual("Der Server: 'K:' hat das Flag ''", lines[4])
        self.assert_links(self.page(), shown=("offen", "server"), hidden=("nichtcd",))
        self.assertIn("Kein Recht für diesen Link: 'NichtCD|nichtcd.htm||||00000002'", lines)


if __name__ == "__main__":
    harness.main()
