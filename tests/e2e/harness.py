"""Shared harness of the end-to-end tests: runs the real Pagetrix.exe under Wine.

Every test gets fresh real folders; the Wine prefix (build/win/wineprefix) and
its wineserver are shared by all tests of one script and kept running while
the script runs, since starting Wine for every call costs seconds.
"""

import argparse
import os
import re
import shutil
import sys
import tempfile
import time
import unittest

SOURCE = os.environ.get("PAGETRIX_SOURCE",
                        os.path.abspath(os.path.join(os.path.dirname(__file__), "..", "..")))
BUILD = os.environ.get("PAGETRIX_BUILD", os.path.join(SOURCE, "build", "win"))
PAGETRIX_EXE = os.environ.get("PAGETRIX_EXE", os.path.join(BUILD, "Pagetrix.exe"))
RECORDER_EXE = os.environ.get("RECORDER_EXE", os.path.join(BUILD, "recorder.exe"))
# The one place that knows how to start and stop Wine.
sys.path.insert(0, os.path.join(SOURCE, "tools"))
import winehelper  # noqa: E402
from winehelper import winpath  # noqa: E402,F401


# The start program runs on its own after the run ends; on a loaded machine a
# fresh Wine process can take many seconds to get going.
START_PROGRAM_WAIT = float(os.environ.get("PAGETRIX_START_PROGRAM_WAIT", "60"))


def wait_for_file(path, seconds=START_PROGRAM_WAIT, poll=0.05):
    """Waits until `path` exists (recordings appear whole, by rename); True if it does."""
    deadline = time.monotonic() + seconds
    while not os.path.exists(path):
        if time.monotonic() >= deadline:
            return False
        time.sleep(poll)
    return True


def cp1252(text):
    return text.encode("cp1252") if isinstance(text, str) else text


class Wine(winehelper.Wine):
    """One Wine prefix with a persistent wineserver; the build's by default."""

    @classmethod
    def shared(cls, prefix=None, display=None):
        return super().shared(prefix or os.path.join(BUILD, "wineprefix"), display)


class WineTestCase(unittest.TestCase):
    """A test with fresh folders that runs the real program under Wine."""

    wine_prefix = None  # None: the shared prefix of the build
    display = None

    @classmethod
    def wine(cls):
        return Wine.shared(cls.wine_prefix, cls.display)

    def setUp(self):
        base = os.path.join(BUILD, "e2e-tmp")
        os.makedirs(base, exist_ok=True)
        self.tmp = tempfile.mkdtemp(prefix=self.id().split(".")[-1][:40] + "-", dir=base)
        self.temp = os.path.join(self.tmp, "temp")
        os.makedirs(self.temp)
        self.recorder_exe = winpath(RECORDER_EXE)
        self.pagetrix_exe = winpath(PAGETRIX_EXE)
        self._cleanups_wine = []
        self.addCleanup(self._cleanup)

    def _cleanup(self):
        for undo in reversed(self._cleanups_wine):
            undo()
        shutil.rmtree(self.tmp, ignore_errors=True)

    # ---- files ----

    def write_text(self, path, text, crlf=True):
        data = cp1252(text)
        if crlf:
            data = data.replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")
        os.makedirs(os.path.dirname(os.path.abspath(path)), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)
        return path

    def read_bytes(self, path):
        with open(path, "rb") as f:
            return f.read()

    def read_log(self, path):
        """The run log as text lines (Windows-1252, CR LF split)."""
        return self.read_bytes(path).decode("cp1252").split("\r\n")

    def output_dirs(self):
        base = os.path.join(self.temp, "Pagetrix")
        if not os.path.isdir(base):
            return []
        return sorted(os.path.join(base, d) for d in os.listdir(base)
                      if os.path.isdir(os.path.join(base, d)))

    def log_texts(self, path):
        """The run log's lines without their "(N ms) " stamps."""
        return [re.sub(r"^\(\d+ ms\) ", "", line) for line in self.read_log(path)]

    def read_recording(self, path):
        """(raw command line, environment dict) written by recorder.exe."""
        wait_for_file(path)
        items = self.read_bytes(path).decode("cp1252").split("\0")
        env = {}
        for entry in items[1:]:
            if not entry:
                continue
            name, _, value = entry[1:].partition("=") if entry.startswith("=") else entry.partition("=")
            env[("=" + name) if entry.startswith("=") else name] = value
        return items[0], env

    # ---- running ----

    def run_pagetrix(self, command_line_text, env=None, cwd=None, timeout=60, exe=None):
        """Runs Pagetrix.exe with exactly this raw command line after the program name."""
        launch_file = self._launch_file(command_line_text, env, cwd, exe)
        result = self.wine().run([RECORDER_EXE, "--launch", winpath(launch_file)], timeout=timeout)
        self.last_result = result
        return result.returncode

    def start_pagetrix(self, command_line_text, env=None, cwd=None, exe=None):
        """Like run_pagetrix, but returns the running subprocess.Popen at once."""
        launch_file = self._launch_file(command_line_text, env, cwd, exe)
        return self.wine().popen([RECORDER_EXE, "--launch", winpath(launch_file)])

    def _launch_file(self, command_line_text, env, cwd, exe):
        full_env = {"TMP": winpath(self.temp), "TEMP": winpath(self.temp)}
        full_env.update(env or {})
        exe_path = exe or self.pagetrix_exe
        command = '"%s"' % exe_path
        if command_line_text:
            command += " " + command_line_text
        lines = ["ENV %s=%s" % (k, v) for k, v in full_env.items()]
        lines.append("CWD %s" % (cwd if cwd and ":" in cwd else winpath(cwd or self.tmp)))
        lines.append("CMD %s" % command)
        launch_file = os.path.join(self.tmp, "launch.txt")
        with open(launch_file, "wb") as f:
            f.write(cp1252("\r\n".join(lines) + "\r\n"))
        return launch_file

    # ---- machine facts ----

    def _dosdevice(self, letter):
        return os.path.join(self.wine().prefix, "dosdevices", letter.lower() + ":")

    def map_drive(self, letter, folder, kind):
        """Presents a folder as drive `letter`: of kind 'cdrom', 'network', 'hd', ..."""
        wine = self.wine()
        wine.start()
        link = self._dosdevice(letter)
        wine.stop()
        if os.path.lexists(link):
            os.remove(link)
        os.symlink(os.path.abspath(folder), link)
        wine.start()
        wine.reg_add(r"HKLM\Software\Wine\Drives", letter.lower() + ":", kind)
        wine.restart()

        def undo():
            wine.reg_delete(r"HKLM\Software\Wine\Drives", letter.lower() + ":")
            wine.stop()
            if os.path.lexists(link):
                os.remove(link)
            wine.start()
        self._cleanups_wine.append(undo)

    def map_unc_share(self, letter, host, share, folder):
        """Drive `letter` connected to \\\\host\\share, which holds `folder`."""
        wine = self.wine()
        wine.start()
        wine.stop()
        unc = os.path.join(wine.prefix, "dosdevices", "unc", host)
        os.makedirs(unc, exist_ok=True)
        share_link = os.path.join(unc, share)
        if os.path.lexists(share_link):
            os.remove(share_link)
        os.symlink(os.path.abspath(folder), share_link)
        link = self._dosdevice(letter)
        if os.path.lexists(link):
            os.remove(link)
        os.symlink(os.path.join("unc", host, share), link)  # must be relative
        wine.start()
        # Wine answers for the connection only on a drive of the network kind.
        wine.reg_add(r"HKLM\Software\Wine\Drives", letter.lower() + ":", "network")
        wine.restart()

        def undo():
            wine.reg_delete(r"HKLM\Software\Wine\Drives", letter.lower() + ":")
            wine.stop()
            for path in (link, share_link):
                if os.path.lexists(path):
                    os.remove(path)
            wine.start()
        self._cleanups_wine.append(undo)

    def reg_add(self, key, name, data, kind="REG_SZ"):
        self.wine().reg_add(key, name, data, kind)


def arguments():
    """The command line of a test script: --help, and whatever options it adds."""
    doc = sys.modules["__main__"].__doc__ or ""
    return argparse.ArgumentParser(description=doc.split("\n\n")[0])


def main(parser=None):
    """Runs the script's tests and prints the closing 'N passed, N failed' line."""
    (parser or arguments()).parse_args()
    suite = unittest.defaultTestLoader.loadTestsFromModule(sys.modules["__main__"])
    result = unittest.TextTestRunner(verbosity=2).run(suite)
    failed = len(result.failures) + len(result.errors)
    skipped = len(result.skipped)
    passed = result.testsRun - failed - skipped
    print("%d passed, %d failed, %d skipped" % (passed, failed, skipped))
    sys.exit(0 if result.wasSuccessful() else 1)
