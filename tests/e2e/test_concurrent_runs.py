"""Many logons at once: 20 runs started together on the same files must all end
with complete pages, whether old output folders are deleted at once
(LoeschStd=0) or after a day (LoeschStd=24).

Every run reads the same main configuration, command files and templates,
writes a frameset and two pages, copies the template folder's files and a
[Kopieren] entry, and shares one run log path with the others (one of them
gets it). The same test runs natively (PAGETRIX_TARGET=native) and under Wine.
"""

import os
import shutil
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


if __name__ == "__main__":
    harness.main()
