#!/usr/bin/env python3
"""The Wine helper against stand-ins for wine and wineserver that log each call:
what it starts and stops, in which environment, from Python and from the shell."""

import os
import shutil
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import winehelper  # noqa: E402

# Logs its name, its arguments and the Wine variables it sees, one call a line;
# "reg add" makes the prefix look set up, as the real one would.
STAND_IN = """#!/bin/sh
echo "$(basename "$0") $* | WINEPREFIX=$WINEPREFIX WINEDEBUG=$WINEDEBUG \
WINEDLLOVERRIDES=$WINEDLLOVERRIDES DISPLAY=${DISPLAY-unset}" >>"$WINE_CALLS"
[ "$1" = cmd ] && touch "$WINEPREFIX/system.reg"
exit 0
"""


class WineHelperTest(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.mkdtemp(prefix="winehelper-")
        self.addCleanup(shutil.rmtree, self.tmp, ignore_errors=True)
        bin_dir = os.path.join(self.tmp, "bin")
        os.mkdir(bin_dir)
        for name in ("wine", "wineserver"):
            path = os.path.join(bin_dir, name)
            with open(path, "w") as f:
                f.write(STAND_IN)
            os.chmod(path, 0o755)
        self.calls = os.path.join(self.tmp, "calls")
        self.prefix = os.path.join(self.tmp, "prefix with space")
        self.environ = dict(os.environ, PATH=bin_dir + os.pathsep + os.environ["PATH"],
                            WINE_CALLS=self.calls, DISPLAY=":42")
        self.environ.pop("PAGETRIX_WINEDEBUG", None)
        # The shell tools in a tree of their own, so that their prefix is a scratch one.
        self.root = os.path.join(self.tmp, "root")
        os.makedirs(os.path.join(self.root, "tools"))
        for name in ("lib.sh", "winehelper.py", "wine"):
            shutil.copy2(os.path.join(HERE, name), os.path.join(self.root, "tools", name))

    def logged(self):
        if not os.path.exists(self.calls):
            return []
        with open(self.calls) as f:
            return [line.rstrip("\n") for line in f]

    def shell(self, script, **env):
        return subprocess.run(["bash", "-c", 'source "%s/tools/lib.sh"; %s' % (self.root, script)],
                              env=dict(self.environ, **env), capture_output=True, text=True,
                              check=True).stdout

    def python(self, *args, **env):
        return subprocess.run([sys.executable, os.path.join(HERE, "winehelper.py")] + list(args),
                              env=dict(self.environ, **env), capture_output=True, text=True,
                              check=True).stdout

    def test_start_and_stop_from_the_command_line(self):
        seen = "| WINEPREFIX=%s WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml= DISPLAY=unset" \
            % self.prefix
        self.python("start", "--prefix", self.prefix)
        # A fresh prefix: the server first, a program to set the prefix up, then
        # no crash dialogs; no DISPLAY, and the server left running.
        self.assertEqual(self.logged(), [
            "wineserver -p " + seen,
            "wine cmd /c exit " + seen,
            "wine reg add HKCU\\Software\\Wine\\WineDbg /v ShowCrashDialog /t REG_DWORD /d 0 /f "
            + seen])
        os.remove(self.calls)
        self.python("start", "--prefix", self.prefix)
        self.assertEqual(self.logged(), ["wineserver -p " + seen, "wine cmd /c exit " + seen])
        os.remove(self.calls)
        self.python("stop", "--prefix", self.prefix)
        self.assertEqual(self.logged(), ["wineserver -k " + seen, "wineserver -w " + seen])

    def test_shell_gets_the_same_variables_as_python(self):
        for debug in (None, "err+all", "it's \"quoted\" $HOME `x`"):
            env = {} if debug is None else {"PAGETRIX_WINEDEBUG": debug}
            got = self.shell('start_wine; stop_wine; env -0', **env)
            shell_env = dict(item.split("=", 1) for item in got.split("\0") if "=" in item)
            saved, os.environ = os.environ, dict(self.environ, **env)
            try:
                want_env = winehelper.Wine(
                    os.path.join(self.root, "build", "win", "wineprefix")).env()
            finally:
                os.environ = saved
            for name in ("WINEDEBUG", "WINEDLLOVERRIDES"):
                self.assertEqual(shell_env[name], want_env[name], debug)
            self.assertEqual(shell_env["WINEPREFIX"], want_env["WINEPREFIX"])
            # The shell keeps its display for what it starts itself; Wine never sees it.
            self.assertEqual(shell_env["DISPLAY"], ":42")
            self.assertNotIn("DISPLAY=:42", "".join(self.logged()))

    def test_python_keeps_a_display_only_where_one_is_asked_for(self):
        saved, os.environ = os.environ, self.environ
        try:
            plain = winehelper.Wine(self.prefix)
            shown = winehelper.Wine(self.prefix, display=":7")
            plain.run(["prog.exe", "a b"])
            shown.popen(["prog.exe"], stdout=subprocess.DEVNULL,
                        stderr=subprocess.DEVNULL).wait()
            plain.stop()
            shown.stop()
            # Started once each, however often used; stopped once each.
            plain.run(["prog.exe"])
            self.assertTrue(plain.started)
            plain.stop()
            plain.stop()
        finally:
            os.environ = saved
        calls = [c.split(" | ")[0] + " | " + c.rsplit(" ", 1)[1] for c in self.logged()]
        self.assertEqual(calls, [
            "wineserver -p | DISPLAY=unset", "wine cmd /c exit | DISPLAY=unset",
            "wine reg add HKCU\\Software\\Wine\\WineDbg /v ShowCrashDialog /t REG_DWORD /d 0 /f"
            " | DISPLAY=unset",
            "wine prog.exe a b | DISPLAY=unset",
            "wineserver -p | DISPLAY=:7", "wine cmd /c exit | DISPLAY=:7",
            "wine prog.exe | DISPLAY=:7",
            "wineserver -k | DISPLAY=unset", "wineserver -w | DISPLAY=unset",
            "wineserver -k | DISPLAY=:7", "wineserver -w | DISPLAY=:7",
            "wineserver -p | DISPLAY=unset", "wine cmd /c exit | DISPLAY=unset",
            "wine prog.exe | DISPLAY=unset",
            "wineserver -k | DISPLAY=unset", "wineserver -w | DISPLAY=unset"])


if __name__ == "__main__":
    unittest.main(verbosity=2)
