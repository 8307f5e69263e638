"""Many logons at once: 20 runs started together on the same files must all end
with complete pages, whether old output folders are deleted at once
(LoeschStd=0) or after a day (LoeschStd=24).

Every run reads the same main configuration, command files and templates,
writes a frameset and two pages, copies the template folder's files and a
[Kopieren] entry, and shares one run log path with the others (one of them
gets it). The same test runs natively (PAGETRIX_TARGET=native) and under Wine.

Under Wine, with Xvfb, 20 runs also keep their result windows open on one
main configuration of a few hundred lines, as the handbook advises for
logons (one file on a share for everyone); all the windows are closed at the
same moment, and every byte of the file but the placement keys must stay.
The native build has no window and saves no placement.
"""

import os
import re
import shutil
import subprocess
import tempfile
import time
import unittest

import harness
import targets

TARGET = targets.from_environment()
RUNS = int(os.environ.get("PAGETRIX_CONCURRENT_RUNS", "20"))
ROUNDS = int(os.environ.get("PAGETRIX_CONCURRENT_ROUNDS", "3"))
BOUND_SECONDS = 300

TEMPLATE = ("<html>\n<head>\n<title>Portal</title>\n<link rel=\"stylesheet\" href=\"style.css\">\n"
            "</head>\n<body>\n<img src=\"bild.gif\">\nLINKS\n</body>\n</html>\n")
EXPECTED_FILES = ["Pagetrix.htm", "nav.htm", "inhalt.htm", "bild.gif", "style.css", "kopie.txt"]


class ConcurrentRunsTest(unittest.TestCase):

    @classmethod
    def setUpClass(cls):
        base = os.path.join(harness.BUILD if TARGET.name != "native"
                            else os.path.dirname(TARGET.exe), "concurrent-tmp")
        os.makedirs(base, exist_ok=True)
        cls.tmp = tempfile.mkdtemp(prefix=TARGET.name + "-", dir=base)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.tmp, ignore_errors=True)
        TARGET.stop()

    def write(self, rel, text):
        path = os.path.join(self.world, rel)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(harness.cp1252(text).replace(b"\n", b"\r\n"))
        return path

    def p(self, rel):
        return TARGET.path(os.path.join(self.world, rel))

    def make_world(self, delete_hours):
        self.world = tempfile.mkdtemp(prefix="loesch%s-" % delete_hours, dir=self.tmp)
        self.temp = os.path.join(self.world, "temp")
        os.makedirs(self.temp)
        self.write("portal/vorlage.htm", TEMPLATE)
        self.write("portal/bild.gif", "GIF89a")
        self.write("portal/style.css", "body { color: black; }\n")
        self.write("portal/nav.ini", "[Vorlage]\nVorlage=vorlage.htm\n"
                   "[Links]\nUeberschrift=Navigation\n1=Start|inhalt.htm|Startseite\n"
                   "2=Suche|http://suche/\n")
        self.write("portal/inhalt.ini", "[Vorlage]\nVorlage=vorlage.htm\n"
                   "[Links]\nTreeMenu=1\n1=#Dienste\n2=Mail|http://mail/\n3=Wiki|http://wiki/\n")
        self.write("portal/start.ini", "[Seiten]\n1=nav.ini|nav.htm\n2=inhalt.ini|inhalt.htm\n"
                   "[FrameSet]\nFrameLinks=nav.htm\nFrameRechts=inhalt.htm\nTitel=Portal\n")
        self.write("shared/kopie.txt", "kopiert\n")
        self.write("Pagetrix.ini", "[Pagetrix]\nSichtbar=0\nLoeschStd=%d\n"
                   "[StartProg]\nName=%s\n[Protokolldatei]\nName=%s\n"
                   "[Kopieren]\n1=%s|%%PagetrixAusgabePath%%%skopie.txt\n"
                   % (delete_hours, TARGET.start_program, self.p("run.log"),
                      self.p("shared/kopie.txt"), TARGET.sep))

    def run_round(self, round_number):
        env = dict(TARGET.temp_env(self.temp))
        processes = []
        for i in range(RUNS):
            run_env = dict(env, RECORDER_OUT=self.p("rec-%d-%d.bin" % (round_number, i)))
            processes.append(TARGET.start(self.p("Pagetrix.ini"), self.p("portal/start.ini"),
                                          run_env, self.world))
        deadline = time.monotonic() + BOUND_SECONDS
        runs = []
        for i, process in enumerate(processes):
            try:
                _, stderr = process.communicate(timeout=max(1, deadline - time.monotonic()))
            except Exception:  # noqa: BLE001 - a hang fails the test below
                process.kill()
                _, stderr = process.communicate()
            self.assertIsNotNone(process.returncode)
            self.assertFalse(process.returncode < 0 or process.returncode > 127,
                             "a run crashed: %s" % process.returncode)
            runs.append(("rec-%d-%d.bin" % (round_number, i), process.returncode, stderr))
        return runs

    def run_log_tail(self):
        try:
            with open(os.path.join(self.world, "run.log"), "rb") as f:
                return f.read()[-2000:].decode("cp1252", "replace")
        except OSError as e:
            return "no run log (%s)" % e

    def traces_of(self, recording):
        """What a start program left beside its recording: a part, or a note of its failure."""
        found = []
        for name in sorted(os.listdir(self.world)):
            if name.startswith(recording) and name != recording:
                with open(os.path.join(self.world, name), "rb") as f:
                    found.append("%s: %r" % (name, f.read()[:200]))
        return "; ".join(found) or "none"

    def output_folder_of(self, run):
        recording, returncode, stderr = run
        path = os.path.join(self.world, recording)
        # The run log is shared: it may be another run's.
        self.assertTrue(harness.wait_for_file(path),
                        "a run launched no start program: exit code %s, stderr %r, traces %s"
                        "\nrun log:\n%s"
                        % (returncode, stderr[-500:], self.traces_of(recording),
                           self.run_log_tail()))
        page = TARGET.recorded_start_page(path)
        self.assertTrue(page and page.endswith(TARGET.sep + "Pagetrix.htm"), page)
        folder = page[:-len(TARGET.sep + "Pagetrix.htm")]
        name = folder.rsplit(TARGET.sep, 1)[-1]
        return os.path.join(self.temp, "Pagetrix", name)

    def check_round(self, runs):
        folders = [self.output_folder_of(r) for r in runs]
        self.assertEqual(len(set(folders)), RUNS, "runs shared an output folder")
        reference = None
        for folder in folders:
            self.assertTrue(os.path.isdir(folder), "an output folder is gone: %s" % folder)
            files = sorted(os.listdir(folder))
            self.assertEqual(sorted(EXPECTED_FILES), files, "incomplete pages in %s" % folder)
            contents = {name: open(os.path.join(folder, name), "rb").read() for name in files}
            if reference is None:
                reference = contents
            self.assertEqual(reference, contents, "pages differ in %s" % folder)
        return folders

    def rounds(self, delete_hours):
        self.make_world(delete_hours)
        for round_number in range(ROUNDS):
            began = time.monotonic()
            self.check_round(self.run_round(round_number))
            print("LoeschStd=%d round %d: %d runs complete in %.1f s"
                  % (delete_hours, round_number + 1, RUNS, time.monotonic() - began))

    def test_twenty_runs_deleting_at_once(self):
        self.rounds(0)

    def test_twenty_runs_deleting_after_a_day(self):
        self.rounds(24)


RESULT = "Generierte HTML-Seite"
PROBE_EXE = os.path.join(harness.BUILD, "window_probe.exe")
PLACEMENT_KEYS = ("x", "y", "cx", "cy", "maximize")
WINDOWS_WAIT = 300  # seconds for 20 Wine programs to show their windows on a busy machine


def shared_main_configuration(start_program, log):
    """A main configuration for everyone, as an administrator keeps it: a few
    hundred lines with comments, blank lines and odd spacing."""
    lines = ["; Hauptkonfiguration fuer alle Benutzer, gepflegt von der IT",
             ";   zuletzt geaendert: 01.12.2026", "", "[Pagetrix]", "Sichtbar=1",
             "LoeschStd = -1", "; X, Y, CX, CY schreibt das Ergebnisfenster selbst", "",
             "[StartProg]", "Name=%s" % start_program, "",
             "[Protokolldatei]", "Name=%s" % log, "", "[Rechte]"]
    for i in range(300):
        lines.append("benutzer%03d=%08X" % (i, (i * 0x10001) & 0x00FF00FF))
        if i % 50 == 49:
            lines += ["", "; Abteilung %d" % (i // 50 + 1)]
    lines += ["", "[Server]", "fs-aussen=00010000", "  fs-innen = 00000000  ", "",
              "[Nicht_Kopieren]", "1=C:\\Vorlagen\\entwurf.htm", "; Ende"]
    return "\r\n".join(lines) + "\r\n"


def without_placement(text):
    """The lines of a main configuration apart from the placement keys of [Pagetrix]."""
    kept, section = [], None
    for line in text.split(b"\r\n"):
        stripped = line.strip()
        if stripped.startswith(b"["):
            section = stripped.strip(b"[] ").lower()
        elif section == b"pagetrix" and b"=" in line and \
                line.split(b"=", 1)[0].strip().lower().decode("ascii", "replace") in PLACEMENT_KEYS:
            continue
        kept.append(line)
    return kept


@unittest.skipIf(TARGET.name == "native", "the native build has no window and saves no placement")
@unittest.skipIf(shutil.which("Xvfb") is None, "needs Xvfb")
class WindowsClosingAtOnceTest(unittest.TestCase):

    @classmethod
    def setUpClass(cls):
        from test_windows_gui import start_xvfb
        if not os.path.exists(PROBE_EXE):
            raise RuntimeError("%s is missing: build the window_probe target" % PROBE_EXE)
        cls.xvfb, display = start_xvfb()
        # A prefix of its own: its wineserver must know the display.
        cls.wine = harness.Wine.shared(os.path.join(harness.BUILD, "wineprefix-windows"), display)
        cls.target = targets.WineTarget(cls.wine)
        cls.tmp = tempfile.mkdtemp(prefix="windows-", dir=os.path.join(harness.BUILD,
                                                                       "concurrent-tmp"))

    @classmethod
    def tearDownClass(cls):
        # The wineserver goes first: it must not outlive its display.
        cls.wine.stop()
        cls.xvfb.terminate()
        cls.xvfb.wait(10)
        shutil.rmtree(cls.tmp, ignore_errors=True)

    def probe(self, *args):
        """What window_probe.exe prints. Its output goes to a file, not a pipe:
        the desktop process, which Wine starts for the first window, keeps
        what it inherited open."""
        with tempfile.TemporaryFile() as out:
            code = self.wine.popen([PROBE_EXE] + list(args), stdout=out,
                                   stderr=subprocess.DEVNULL).wait(60)
            out.seek(0)
            return out.read().decode("ascii", "replace") if code == 0 else ""

    def wait_for_windows(self, processes):
        deadline = time.monotonic() + WINDOWS_WAIT
        shown = ""
        while time.monotonic() < deadline:
            shown = self.probe("count", RESULT)
            if shown == str(RUNS):
                return
            ended = [p.returncode for p in processes if p.poll() is not None]
            self.assertFalse(ended, "runs ended before their windows were closed: %s" % ended)
            time.sleep(2)
        self.fail("only %s of %d result windows appeared" % (shown, RUNS))

    def test_twenty_windows_closing_at_once_keep_every_other_byte(self):
        world = tempfile.mkdtemp(dir=self.tmp)
        temp = os.path.join(world, "temp")
        os.makedirs(temp)
        path = lambda rel: harness.winpath(os.path.join(world, rel))  # noqa: E731
        with open(os.path.join(world, "seite.htm"), "wb") as f:
            f.write(b"<html>\r\n<body>LINKS</body>\r\n</html>\r\n")
        with open(os.path.join(world, "start.ini"), "wb") as f:
            f.write(b"[Vorlage]\r\nVorlage=seite.htm\r\n[LINKS]\r\n0=Eins|eins.htm\r\n")
        config = os.path.join(world, "Pagetrix.ini")
        original = harness.cp1252(shared_main_configuration(self.target.start_program,
                                                            path("run.log")))
        with open(config, "wb") as f:
            f.write(original)
        for round_number in range(ROUNDS):
            began = time.monotonic()
            processes = []
            for i in range(RUNS):
                env = dict(self.target.temp_env(temp),
                           RECORDER_OUT=path("rec-%d-%d.bin" % (round_number, i)))
                processes.append(self.target.start(path("Pagetrix.ini"), path("start.ini"), env,
                                                   world, output=subprocess.DEVNULL))
            try:
                self.wait_for_windows(processes)
                opened = time.monotonic()
                self.assertEqual(str(RUNS), self.probe("close-all", RESULT))
                for process in processes:
                    self.assertEqual(0, process.wait(120))
            finally:
                for process in processes:
                    if process.poll() is None:
                        process.kill()
                        process.wait()
            after = open(config, "rb").read()
            self.assertEqual(without_placement(original), without_placement(after),
                             "round %d: lines of the main configuration were lost or changed"
                             % (round_number + 1))
            placement = re.findall(rb"(?im)^(X|Y|CX|CY|Maximize)=(-?\d+)\r$", after)
            self.assertEqual(["X", "Y", "CX", "CY", "Maximize"],
                             [key.decode() for key, _ in placement], after[-400:])
            leftovers = [n for n in os.listdir(world) if n.startswith("Pagetrix.ini.")]
            self.assertEqual([], leftovers, "files left beside the main configuration")
            print("round %d: %d windows open after %.1f s, closed at once, all %d lines kept "
                  "(%.1f s)" % (round_number + 1, RUNS, opened - began,
                                len(without_placement(after)), time.monotonic() - began))


if __name__ == "__main__":
    harness.main()
