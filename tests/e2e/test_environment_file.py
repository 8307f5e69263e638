"""The environment file (ENV=) of the real Pagetrix.exe: what the start program inherits."""

import os
import shutil

import harness

OFFICE = ("Word.Application", "Excel.Application", "Access.Application",
          "PowerPoint.Application", "Outlook.Application", "Frontpage.Application",
          "Publisher.Application")
WORD_CLSID = "{5D2C1F0A-6E1B-4B7E-9C1D-0A1B2C3D4E5F}"
EXCEL_CLSID = "{5D2C1F0A-6E1B-4B7E-9C1D-0A1B2C3D4E60}"

ENV_FILE = (
    "[Lokal]\n"
    "Daten=%StartLW%\\Daten\n"
    "[Server_Zentrale]\n"
    "Daten=\\\\zentrale\\daten\n"
    "[ENVIRONMENT_FIXED]\n"
    "PTX_LW=%startlw%\n"
    "PTX_SERVER=%StartServer%\n"
    "PTX_DATEN=%Daten%\\Sub\n"
    "PTX_EARLIER=%PTX_LW%\\x\n"
    "PTX_LATER=%PTX_LAST%\\y\n"
    "PTX_PATH=%PATH%;C:\\extra\n"
    "PTX_WORD=%Word.Application%\n"
    "PTX_LAST=last\n"
    "Word.Application=overwritten\n"
    "[Environment_CDROM]\n"
    "PTX_SECTION=cdrom\n"
    "PTX_LW=%StartLW%\n"
    "[Environment_REMOTE]\n"
    "PTX_SECTION=remote\n"
    "PTX_SERVER=%StartServer%\n"
    "PTX_DATEN=%Daten%\n"
    "[Environment]\n"
    "PTX_SECTION=default\n"
    "[Server_fileserver]\n"
    "Daten=\\\\fileserver\\daten\n"
)


class EnvironmentFileTest(harness.WineTestCase):

    def setUp(self):
        super().setUp()
        self.ini = os.path.join(self.tmp, "Pagetrix.ini")
        self.log = os.path.join(self.tmp, "run.log")
        self.recording = os.path.join(self.tmp, "recording.bin")
        self.env_file = self.write_text(os.path.join(self.tmp, "umgebung.ini"), ENV_FILE)
        self.write_text(os.path.join(self.tmp, "seite.htm"), "<html>\n<body>Start</body>\n</html>\n")
        self.command_file = self.write_text(os.path.join(self.tmp, "start.ini"),
                                            "[Vorlage]\nVorlage=seite.htm\n")
        self.write_text(self.ini,
                        "[Pagetrix]\nSichtbar=0\nLoeschStd=-1\n"
                        "[StartProg]\nName=%s\n" % self.recorder_exe +
                        "[Protokolldatei]\nName=%s\n" % harness.winpath(self.log))

    def register(self, key, data):
        self.reg_add("HKCR\\" + key, None, data)
        top = key.split("\\")[0] if not key.startswith("CLSID\\") else "\\".join(key.split("\\")[:2])
        self.addCleanup(self.wine().reg_delete_key, "HKCR\\" + top)

    def run_with(self, extra="", exe=None):
        code = self.run_pagetrix('/INI="%s" "%s" "/ENV=%s"%s'
                                 % (harness.winpath(self.ini), harness.winpath(self.command_file),
                                    harness.winpath(self.env_file), extra),
                                 env={"RECORDER_OUT": harness.winpath(self.recording)}, exe=exe)
        self.assertEqual(0, code, self.last_result.stderr)

    def recorded_env(self):
        return self.read_recording(self.recording)[1]

    def log_lines(self):
        return self.log_texts(self.log)

    def section_block(self):
        """The run log lines of the environment file, from the server section on."""
        lines = self.log_lines()
        first = 5
        last = lines.index("*******   Beginn:  Alle zur Verfügung stehenden Umgebungsvariablen  *******")
        return lines[first:last]

    def copy_program_to(self, folder):
        os.makedirs(folder)
        shutil.copy(harness.PAGETRIX_EXE, os.path.join(folder, "Pagetrix.exe"))

    def test_fixed_drive_placeholders_and_office_variables(self):
        self.register("Word.Application\\CLSID", WORD_CLSID)
        self.register("CLSID\\%s\\LocalServer32" % WORD_CLSID,
                      '  "C:\\Programme\\Office\\WINWORD.EXE" /automation')
        self.register("Excel.Application\\CLSID", EXCEL_CLSID)  # no LocalServer32
        self.run_with()
        env = self.recorded_env()
        word = '"C:\\Programme\\Office\\WINWORD.EXE"'
        expected = {
            "PTX_LW": "Z:", "PTX_SERVER": "Z:", "PTX_DATEN": "Z:\\Daten\\Sub",
            "PTX_EARLIER": "Z:\\x", "PTX_LATER": "%PTX_LAST%\\y", "PTX_PATH": "%PATH%;C:\\extra",
            "PTX_WORD": word, "PTX_LAST": "last", "Word.Application": word,
        }
        for name in OFFICE[1:]:
            expected[name] = ""
        for name, value in expected.items():
            self.assertEqual(value, env.get(name), name)
        for name in ("Daten", "PTX_SECTION"):
            self.assertNotIn(name, env)

        block = self.section_block()
        self.assertEqual(["[Lokal]", "Daten=Z:\\Daten", "",
                          "Verwendete Sektion aus der Umgebungsdatei: " +
                          harness.winpath(self.env_file),
                          "[Environment_FIXED]", "PTX_LW=Z:", "PTX_SERVER=Z:",
                          "PTX_DATEN=Z:\\Daten\\Sub", "PTX_EARLIER=Z:\\x",
                          "PTX_LATER=%PTX_LAST%\\y", "PTX_PATH=%PATH%;C:\\extra",
                          "PTX_WORD=" + word, "PTX_LAST=last", "Word.Application=overwritten",
                          ""], block)
        self.assertIn("Word.Application=" + word, self.log_lines())

    def test_server_override_selects_its_server_section(self):
        self.run_with(" /SERVER=Zentrale")
        env = self.recorded_env()
        self.assertEqual("Zentrale", env["PTX_SERVER"])
        self.assertEqual("\\\\zentrale\\daten\\Sub", env["PTX_DATEN"])
        self.assertEqual("Z:", env["PTX_LW"])
        self.assertEqual(["[Server_Zentrale]", "Daten=\\\\zentrale\\daten", ""],
                         self.section_block()[:3])

    def test_cdrom_drive_chooses_the_cdrom_section(self):
        cd = os.path.join(self.tmp, "cd")
        self.copy_program_to(cd)
        self.map_drive("K", cd, "cdrom")
        self.run_with(exe="K:\\Pagetrix.exe")
        env = self.recorded_env()
        self.assertEqual("cdrom", env["PTX_SECTION"])
        self.assertEqual("K:", env["PTX_LW"])
        self.assertNotIn("PTX_SERVER", env)
        block = self.section_block()
        self.assertEqual(["[Lokal]", "Daten=K:\\Daten", ""], block[:3])
        self.assertIn("[Environment_CDROM]", block)

    def test_network_share_names_the_server(self):
        share = os.path.join(self.tmp, "share")
        self.copy_program_to(share)
        self.map_unc_share("N", "fileserver", "apps", share)
        # Wine reports the share only for a drive it also knows as a network drive.
        self.reg_add(r"HKLM\Software\Wine\Drives", "n:", "network")
        self.addCleanup(self.wine().reg_delete, r"HKLM\Software\Wine\Drives", "n:")
        self.wine().restart()
        self.run_with(exe="N:\\Pagetrix.exe")
        env = self.recorded_env()
        self.assertEqual("remote", env["PTX_SECTION"])
        self.assertEqual("fileserver", env["PTX_SERVER"])
        self.assertEqual("\\\\fileserver\\daten", env["PTX_DATEN"])
        self.assertEqual("[Server_fileserver]", self.section_block()[0])

    def test_missing_section_falls_back_to_environment(self):
        self.write_text(self.env_file, "[Environment]\nPTX_SECTION=default\n")
        self.run_with()
        env = self.recorded_env()
        self.assertEqual("default", env["PTX_SECTION"])
        self.assertEqual(["[Lokal]", "", "Verwendete Sektion aus der Umgebungsdatei: " +
                          harness.winpath(self.env_file), "[Environment]",
                          "PTX_SECTION=default", ""], self.section_block())
        for name in OFFICE:
            self.assertEqual("", env.get(name), name)


if __name__ == "__main__":
    harness.main()
