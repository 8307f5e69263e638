"""The program's windows under Xvfb: result window, about box, help window,
the window of a failed run with its run log in the editor, and the start
program's error box, driven with xdotool and inspected from the Win32 side
with window_probe.exe. Screenshots land in build/win/screenshots.

Runs in a Wine prefix of its own (build/win/wineprefix-gui), since the
wineserver must be started with DISPLAY set; skipped without Xvfb/xdotool.
"""

import os
import re
import shutil
import subprocess
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402

RESULT = "Generierte HTML-Seite"
FAILURE = "Pagetrix \u2013 keine Startseite erzeugt"
ABOUT = "Info \u00fcber Pagetrix"
HELP = "Hilfe"
SCREEN_W, SCREEN_H = 1280, 1024
WAIT = 30  # seconds for anything to appear; Wine is slow on a busy machine
PROBE_EXE = os.path.join(harness.BUILD, "window_probe.exe")
SHOTS = os.path.join(harness.BUILD, "screenshots")
IMPORT = shutil.which("import")
MISSING = [tool for tool in ("Xvfb", "xdotool") if shutil.which(tool) is None]


def xname(caption):
    """An xdotool --name pattern for an exact caption (umlauts as any bytes)."""
    return "^" + re.sub(r"[^A-Za-z0-9 -]", ".+", caption) + "$"


def start_xvfb():
    """Starts Xvfb on a free display; returns (process, ':N')."""
    read_fd, write_fd = os.pipe()
    process = subprocess.Popen(
        ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", "%dx%dx24" % (SCREEN_W, SCREEN_H),
         "-nolisten", "tcp"], pass_fds=(write_fd,), stdin=subprocess.DEVNULL,
        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_fd)
    with os.fdopen(read_fd) as pipe:
        number = pipe.readline().strip()
    if not number:
        process.kill()
        raise RuntimeError("Xvfb did not start")
    return process, ":" + number


@unittest.skipIf(MISSING, "GUI tests need %s" % " and ".join(MISSING))
class WindowsGuiTest(harness.WineTestCase):
    wine_prefix = os.path.join(harness.BUILD, "wineprefix-gui")

    @classmethod
    def setUpClass(cls):
        if not os.path.exists(PROBE_EXE):
            raise RuntimeError("%s is missing: build the window_probe target" % PROBE_EXE)
        cls.xvfb, cls.display = start_xvfb()
        os.makedirs(SHOTS, exist_ok=True)

    @classmethod
    def tearDownClass(cls):
        # The wineserver goes first: it must not outlive its display.
        cls.wine().stop()
        cls.xvfb.terminate()
        cls.xvfb.wait(10)

    def setUp(self):
        super().setUp()
        self.process = None
        self.profile = os.path.join(self.tmp, "Pagetrix.ini")
        self.addCleanup(self._end_process)

    def _end_process(self):
        if self.process is not None and self.process.poll() is None:
            # Whatever still runs is stuck; the prefix is ours, end all of it.
            self.wine().stop()
            self.process.kill()
        if self.process is not None:
            self.process.wait(10)
            self.process.stdout.close()
            self.process.stderr.close()

    # ---- helpers ----

    def xdotool(self, *args, timeout=WAIT):
        env = dict(os.environ, DISPLAY=self.display)
        try:
            result = subprocess.run(["xdotool"] + list(args), env=env, capture_output=True,
                                    text=True, timeout=timeout)
        except subprocess.TimeoutExpired:
            return -1, ""
        return result.returncode, result.stdout.strip()

    def wait_window(self, caption):
        """The X id of the visible window with this caption; fails after WAIT seconds."""
        code, out = self.xdotool("search", "--sync", "--onlyvisible", "--name", xname(caption))
        # `search --sync` has no timeout of its own; subprocess ends it.
        self.assertEqual(code, 0, "window %r did not appear" % caption)
        return out.split()[0]

    def window_gone(self, caption, timeout=WAIT):
        deadline = time.time() + timeout
        while time.time() < deadline:
            code, _ = self.xdotool("search", "--onlyvisible", "--name", xname(caption))
            if code != 0:
                return True
            time.sleep(0.3)
        return False

    def press(self, window, *keys):
        # Without a window manager a key only arrives at a focused window.
        self.xdotool("windowfocus", "--sync", window)
        time.sleep(0.3)
        self.xdotool("key", *keys)

    def probe(self, command, caption, *args):
        """Output of window_probe.exe (bytes); None if the window is not there."""
        # Outside ASCII the caption is matched by "?", whatever Wine's locale.
        pattern = "".join(c if ord(c) < 128 else "?" for c in caption)
        result = self.wine().run([PROBE_EXE, command, pattern] + list(args), timeout=WAIT)
        return result.stdout if result.returncode == 0 else None

    def win_rect(self, caption):
        text = self.probe("rect", caption)
        self.assertIsNotNone(text, "no window %r" % caption)
        return tuple(int(v) for v in text.split())

    def screenshot(self, name):
        if IMPORT:
            env = dict(os.environ, DISPLAY=self.display)
            subprocess.run([IMPORT, "-window", "root", os.path.join(SHOTS, name + ".png")],
                           env=env, capture_output=True, timeout=WAIT)

    def wait_end(self):
        try:
            return self.process.wait(WAIT)
        except subprocess.TimeoutExpired:
            self.fail("Pagetrix.exe did not end")

    def placement(self):
        """The [Pagetrix] keys of the main configuration file, in file order."""
        keys = []
        section = None
        for line in self.read_bytes(self.profile).decode("cp1252").splitlines():
            line = line.strip()
            if line.startswith("["):
                section = line.strip("[]").lower()
            elif section == "pagetrix" and "=" in line:
                name, _, value = line.partition("=")
                keys.append((name, value))
        return keys

    def start(self, arguments, profile_text="[Pagetrix]\nSichtbar=1\n"):
        """Starts Pagetrix.exe with its own main configuration file."""
        if profile_text is not None:
            self.write_text(self.profile, profile_text)
        command = '/INI="%s"' % harness.winpath(self.profile)
        if arguments:
            command += " " + arguments
        self.process = self.start_pagetrix(command)

    def command_file(self):
        self.write_text(os.path.join(self.tmp, "t.htm"), "<html><body>LINKS</body></html>\n")
        return self.write_text(os.path.join(self.tmp, "start.ini"),
                               "[Vorlage]\nVorlage=t.htm\n[LINKS]\n0=Eins|eins.htm\n")

    # ---- tests ----

    def test_result_window_keeps_place_and_width_but_not_height(self):
        command = '"%s"' % harness.winpath(self.command_file())
        self.start(command)
        window = self.wait_window(RESULT)
        self.screenshot("result_first_run")
        pages = [os.path.join(d, "Pagetrix.htm") for d in self.output_dirs()]
        self.assertEqual(len(pages), 1)
        self.assertEqual(self.probe("text", RESULT, "1000"), harness.winpath(pages[0]).encode())
        left, top, right, bottom = self.win_rect(RESULT)
        self.assertEqual((right, bottom), (SCREEN_W, SCREEN_H))
        self.assertEqual(bottom - top, 44)

        self.xdotool("windowmove", "--sync", window, "120", "200")
        self.xdotool("windowsize", "--sync", window, "700", "300")
        deadline = time.time() + WAIT
        moved = self.win_rect(RESULT)
        while (moved[0] > 120 or moved[2] - moved[0] <= 700) and time.time() < deadline:
            time.sleep(0.3)
            moved = self.win_rect(RESULT)
        self.assertEqual(moved[3] - moved[1], 44, "the height is held")
        self.assertGreater(moved[2] - moved[0], 700, "the width follows")
        edit = tuple(int(v) for v in self.probe("item", RESULT, "1000").split())
        self.assertEqual(edit[2] - edit[0], moved[2] - moved[0], "edit as wide as the window")
        self.screenshot("result_moved")
        self.press(window, "Return")
        self.assertEqual(self.wait_end(), 0)
        saved = self.placement()
        self.assertEqual([name for name, _ in saved],
                         ["Sichtbar", "X", "Y", "CX", "CY", "Maximize"])
        values = dict(saved)
        self.assertEqual((int(values["X"]), int(values["Y"]),
                          int(values["X"]) + int(values["CX"]),
                          int(values["Y"]) + int(values["CY"])), moved)
        self.assertEqual(values["CY"], "44")
        self.assertEqual(values["Maximize"], "0")

        # The next run opens where the first one was left.
        self.start(command, profile_text=None)
        window = self.wait_window(RESULT)
        self.assertEqual(self.win_rect(RESULT), moved)
        self.press(window, "Escape")
        self.assertEqual(self.wait_end(), 0)
        self.assertEqual(dict(self.placement()), values)

    def test_system_menu_entry_opens_about_box(self):
        self.start('"%s"' % harness.winpath(self.command_file()))
        window = self.wait_window(RESULT)
        self.press(window, "alt+space")
        time.sleep(0.5)
        self.xdotool("key", "o")  # Inf&o über Pagetrix...
        about = self.wait_window(ABOUT)
        self.screenshot("about_box")
        self.press(about, "Return")
        self.assertTrue(self.window_gone(ABOUT), "about box still open")
        self.assertIsNotNone(self.probe("text", RESULT, "1000"), "result window gone")
        self.assertIsNone(self.process.poll())
        self.press(window, "Return")
        self.assertEqual(self.wait_end(), 0)

    def assert_help_window_ends_run(self):
        window = self.wait_window(HELP)
        self.screenshot("help_" + self._testMethodName)
        usage = self.read_bytes(os.path.join(harness.SOURCE, "src", "res", "usage_text.txt"))
        # Shown as a console shows it: tab stops every eight columns.
        self.assertEqual(self.probe("text", HELP, "1001").decode("cp1252"),
                         usage.decode("cp1252").expandtabs(8))
        style = int(self.probe("style", HELP, "1001"), 16)
        self.assertEqual(style & 0x0804, 0x0804, "multi-line and read-only")
        # The field does not wrap: every line must end inside it, measured
        # by the control with its own font.
        usable, *ends = [int(v) for v in self.probe("fit", HELP, "1001").split()]
        lines = usage.decode("cp1252").split("\r\n")
        self.assertEqual(len(ends), len(lines))
        too_wide = [(end, line) for end, line in zip(ends, lines) if end > usable]
        self.assertEqual(too_wide, [], "lines cut off at %d pixels" % usable)
        # Laid out as written: the control puts every character of a line at
        # its column of the text with tab stops every eight, in one width,
        # so each part a tab sets apart starts after the part before it and
        # level with the same part of the lines around it.
        columns = [[int(v) for v in line.split()] for line in
                   self.probe("columns", HELP, "1001").decode().split("\n")[:-1]]
        self.assertEqual(len(columns), len(lines))
        cell = columns[0][1]
        self.assertGreater(cell, 0)
        for line, xs in zip(lines, columns):
            self.assertEqual([column * cell for column in range(len(line.expandtabs(8)))], xs,
                             line)
        # Centred on the work area (the whole screen here), inside it.
        left, top, right, bottom = self.win_rect(HELP)
        self.assertLessEqual(abs(left + right - SCREEN_W), 1)
        self.assertLessEqual(abs(top + bottom - SCREEN_H), 1)
        self.assertGreaterEqual(top, 0)
        self.press(window, "Return")
        self.assertEqual(self.wait_end(), 0)
        self.assertEqual(self.output_dirs(), [])

    def test_visibility_zero_or_a_word_shows_no_window(self):
        # A window shown would keep the program running until it is closed,
        # and closing it would save its placement.
        for value in ("0", "nein"):
            self.start('"%s"' % harness.winpath(self.command_file()),
                       profile_text="[Pagetrix]\nSichtbar=%s\nLoeschStd=-1\n" % value)
            self.assertEqual(0, self.wait_end(), "Sichtbar=%s" % value)
            self.assertEqual(["Sichtbar", "LoeschStd"], [name for name, _ in self.placement()],
                             "Sichtbar=%s" % value)
            self.process.stdout.close()
            self.process.stderr.close()
            self.process = None
        self.start('"%s"' % harness.winpath(self.command_file()),
                   profile_text="[Pagetrix]\nSichtbar=2\nLoeschStd=-1\n")
        self.press(self.wait_window(RESULT), "Return")
        self.assertEqual(0, self.wait_end())

    def test_question_mark_shows_help_window(self):
        self.start("?")
        self.assert_help_window_ends_run()
        self.assertEqual([name for name, _ in self.placement()], ["Sichtbar"])

    def test_no_command_file_shows_help_window(self):
        self.start("", profile_text="[Pagetrix]\nSichtbar=1\n[StartVorlage]\nStartVorlage=\n")
        self.assert_help_window_ends_run()

    def failure_lines_all_in_view(self, item):
        """Whether every line of a field of the failure window shows unscrolled."""
        height, first, count, bottom = (int(v) for v in self.probe("lines", FAILURE, item).split())
        return first == 0 and count > 0 and bottom <= height

    def test_failed_run_lists_every_error_and_opens_its_run_log(self):
        # Two pages are left out, the third stops the run: three errors.
        log = os.path.join(self.tmp, "lauf.log")
        self.write_text(os.path.join(self.tmp, "ohne.ini"), "[Vorlage]\nVerzeichnis=.\n")
        start = self.write_text(os.path.join(self.tmp, "start.ini"),
                                "[Seiten]\n1=fehlt1.ini|a.htm\n2=fehlt2.ini|b.htm\n"
                                "3=ohne.ini|c.htm\n")
        self.start('"%s"' % harness.winpath(start),
                   profile_text="[Pagetrix]\nSichtbar=1\n[Protokolldatei]\nName=%s\n"
                                % harness.winpath(log))
        window = self.wait_window(FAILURE)
        self.assertIsNone(self.probe("text", RESULT, "1000"), "not the one-line window")
        folder = harness.winpath(self.tmp)
        self.assertEqual("Fehler in der Kommandodatei: '%s\\fehlt1.ini'\r\n\r\n"
                         "Fehler in der Kommandodatei: '%s\\fehlt2.ini'\r\n\r\n"
                         "Keine Vorlage in der Kommandodatei: '%s\\ohne.ini' angegeben."
                         % (folder, folder, folder),
                         self.probe("text", FAILURE, "1002").decode("cp1252"))
        self.assertIn("(Ergebnis 2)", self.probe("text", FAILURE, "1004").decode("cp1252"))
        advice = self.probe("text", FAILURE, "1005").decode("cp1252")
        self.assertIn("Laufprotokoll: " + harness.winpath(log), advice)
        self.assertIn("/PRUEFEN", advice)
        self.assertTrue(self.failure_lines_all_in_view("1005"), "advice needs scrolling")
        self.assertTrue(self.failure_lines_all_in_view("1002"), "three errors need scrolling")
        button = int(self.probe("style", FAILURE, "1003"), 16)
        self.assertEqual(button & 0x08000000, 0, "the run log can be opened")

        # The button: the log, closed by the run already, in the editor.
        logged = self.read_bytes(log)
        self.press(window, "alt+l")
        code, found = self.xdotool("search", "--sync", "--onlyvisible", "--name", "lauf\\.log")
        self.assertEqual(0, code, "no editor window with the run log")
        editor = found.split()[0]
        title = self.xdotool("getwindowname", editor)[1]
        # The editor's one edit control has no id of its own.
        shown = self.probe("text", title, "0") or b""
        # Side by side, the editor at the log's end, where the errors stand.
        self.xdotool("windowsize", "--sync", editor, "640", "980")
        self.xdotool("windowmove", "--sync", editor, "0", "0")
        self.xdotool("windowmove", "--sync", window, "650", "300")
        self.press(editor, "ctrl+End")
        time.sleep(0.5)
        self.screenshot("failure_window_and_run_log")
        self.assertIn("Keine Vorlage in der Kommandodatei", logged.decode("cp1252"))
        self.assertEqual(logged.decode("cp1252").replace("\r\n", "\n"),
                         shown.decode("cp1252").replace("\r\n", "\n"), title)
        self.assertIsNotNone(self.probe("close", title))
        self.assertTrue(self.window_gone(title), "the editor stays open")

        # A click on OK, as the focus stays on the other button.
        left, top, right, bottom = (int(v) for v in self.probe("item", FAILURE, "1").split())
        self.xdotool("mousemove", "--sync", str((left + right) // 2), str((top + bottom) // 2))
        self.xdotool("click", "1")
        self.assertEqual(self.wait_end(), 2)
        self.assertEqual(logged, self.read_bytes(log), "nothing written after the window")
        self.assertEqual([name for name, _ in self.placement()], ["Sichtbar"],
                         "no placement is written for it")

    def test_failed_run_without_run_log_greys_the_button(self):
        start = self.write_text(os.path.join(self.tmp, "start.ini"), "[Vorlage]\n# Kommentar\n")
        self.start('"%s"' % harness.winpath(start))
        window = self.wait_window(FAILURE)
        text = self.probe("text", FAILURE, "1002").decode("cp1252")
        self.assertEqual("Fehler in der Kommandodatei: '%s'" % harness.winpath(start), text)
        advice = self.probe("text", FAILURE, "1005").decode("cp1252")
        self.assertIn("[Protokolldatei] Name=", advice)
        self.assertTrue(self.failure_lines_all_in_view("1005"), "advice needs scrolling")
        button = int(self.probe("style", FAILURE, "1003"), 16)
        self.assertNotEqual(button & 0x08000000, 0, "no run log to open")
        self.screenshot("failure_window_without_run_log")
        self.press(window, "Escape")
        self.assertEqual(self.wait_end(), 1)

    def test_start_program_that_cannot_start_shows_error_then_result(self):
        missing = harness.winpath(os.path.join(self.tmp, "fehlt", "browser.exe"))
        self.start('"%s"' % harness.winpath(self.command_file()),
                   profile_text="[Pagetrix]\nSichtbar=1\n[StartProg]\nName=%s\n" % missing)
        box = self.wait_window("Pagetrix")
        self.screenshot("start_error_box")
        self.assertIsNone(self.probe("text", RESULT, "1000"), "result window before the box")
        text = self.probe("text", "Pagetrix", "65535")
        self.assertTrue(text and text.strip(), "the box shows the system's message")
        self.press(box, "Return")
        window = self.wait_window(RESULT)
        self.press(window, "Return")
        self.assertEqual(self.wait_end(), 0)


if __name__ == "__main__":
    harness.main()
