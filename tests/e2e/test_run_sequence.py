"""The run sequence of the real Pagetrix.exe under Wine: start command line, run log, help.

Whether the result window is shown needs a display: see test_windows_gui.py.
"""

import os

import harness


class RunSequenceTest(harness.WineTestCase):

    def setUp(self):
        super().setUp()
        self.ini = os.path.join(self.tmp, "Pagetrix.ini")
        self.log = os.path.join(self.tmp, "run.log")
        self.recording = os.path.join(self.tmp, "recording.bin")
        self.write_text(os.path.join(self.tmp, "seite.htm"), "<html>\n<body>Start</body>\n</html>\n")
        self.command_file = self.write_text(os.path.join(self.tmp, "start.ini"),
                                            "[Vorlage]\nVorlage=seite.htm\n")

    def config(self, start_prog="", pagetrix="Sichtbar=0\nLoeschStd=-1\n", log=True):
        text = "[Pagetrix]\n" + pagetrix
        text += "[StartProg]\nName=%s\n%s" % (self.recorder_exe, start_prog)
        if log:
            text += "[Protokolldatei]\nName=%s\n" % harness.winpath(self.log)
        self.write_text(self.ini, text)

    def run_with_command_file(self, extra=""):
        code = self.run_pagetrix('/INI="%s" "%s"%s' % (harness.winpath(self.ini),
                                                     harness.winpath(self.command_file), extra),
                                 env={"RECORDER_OUT": harness.winpath(self.recording)})
        if code != 0:
            log = "\n".join(self.read_log(self.log)) if os.path.exists(self.log) else "no run log"
            self.fail("exit code %s\n%r\n%s" % (code, self.last_result.stderr, log))

    def recorded_command_line(self):
        return self.read_recording(self.recording)[0]

    def start_page(self):
        dirs = self.output_dirs()
        self.assertEqual(1, len(dirs))
        guid = os.path.basename(dirs[0])
        self.assertRegex(guid, r"^[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}$")
        return harness.winpath(self.temp) + "\\Pagetrix\\" + guid + "\\Pagetrix.htm"

    def test_start_command_line_without_options(self):
        self.config()
        self.run_with_command_file()
        self.assertEqual('"%s" "%s"' % (self.recorder_exe, self.start_page()),
                         self.recorded_command_line())

    def test_start_command_line_with_options_in_fixed_order(self):
        self.config("Log=C:\\log.txt\nIni=%PagetrixAusgabePath%\\x.ini\nParam=a b\n")
        self.run_with_command_file()
        page = self.start_page()
        out_dir = page[:-len("\\Pagetrix.htm")]
        self.assertEqual('"%s" "%s" /INI="%s\\x.ini" /PARAM="a b" /LOG="C:\\log.txt"'
                         % (self.recorder_exe, page, out_dir),
                         self.recorded_command_line())

    def test_start_program_sees_output_directory_variable(self):
        self.config("Param=only\n")
        self.run_with_command_file()
        self.recorded_command_line()
        env = self.read_recording(self.recording)[1]
        self.assertEqual(self.start_page()[:-len("\\Pagetrix.htm")], env["PagetrixAusgabePath"])
        self.assertTrue(self.read_bytes(os.path.join(self.output_dirs()[0], "Pagetrix.htm"))
                        .startswith(b"<html>\r\n"))

    def test_run_log_lines_in_order(self):
        self.config()
        self.run_with_command_file(' "/USER=Anna Schmidt"')
        lines = self.log_texts(self.log)
        self.assertRegex(self.read_log(self.log)[0], r"^\(0 ms\) \d\d\.\d\d\.\d{4} \d\d:\d\d:\d\d$")
        self.assertEqual("Aktueller User: 'Anna Schmidt', Rechte: ''", lines[1])
        self.assertEqual("", lines[2])
        self.assertEqual("Programmaufruf: %s /INI=\"%s\" \"%s\" \"/USER=Anna Schmidt\""
                         % (self.pagetrix_exe, harness.winpath(self.ini),
                            harness.winpath(self.command_file)), lines[3])
        self.assertTrue(lines[4].startswith("Der Server: '"), lines[4])
        self.assertIn("Starte Programm: \"%s\" \"%s\"" % (self.recorder_exe, self.start_page()),
                      lines)

    def test_help_and_missing_command_file_leave_the_log_untouched(self):
        self.config()
        self.write_text(self.log, "alt\n")
        self.assertEqual(0, self.run_pagetrix('/INI="%s" ?' % harness.winpath(self.ini)))
        self.assertEqual(0, self.run_pagetrix('-INI="%s"' % harness.winpath(self.ini)))
        self.assertEqual(b"alt\r\n", self.read_bytes(self.log))
        self.assertEqual([], self.output_dirs())


if __name__ == "__main__":
    harness.main()
