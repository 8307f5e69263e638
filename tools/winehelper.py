#!/usr/bin/env python3
"""Wine for the tests, the benchmark and the tools: one prefix, a persistent wineserver.

Starting a program under Wine costs seconds unless a wineserver for the prefix
is already running, so every user starts one first and stops it at the end.
The shell tools use this module's command line; the Python scripts import it.
A program itself is always started through tools/wine (that script says why).
"""

import argparse
import atexit
import os
import shlex
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
# Starts one program under Wine.
LAUNCHER = [os.path.join(HERE, "wine")]
# The build's own prefix, used by the tests unless one names another.
BUILD_PREFIX = os.path.join(os.path.dirname(HERE), "build", "win", "wineprefix")
# A fresh prefix takes many seconds to set up on a loaded machine.
START_TIMEOUT = 300


def winpath(path):
    """The Wine path (drive Z:) of a Unix path."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def base_environment(environ=None):
    """The variables every Wine start gets, whatever the prefix: Wine's debug
    output off (PAGETRIX_WINEDEBUG=err+all shows Wine's own errors, such as a
    start that failed) and no dialogs offering to install .NET or Gecko."""
    environ = os.environ if environ is None else environ
    return {"WINEDEBUG": environ.get("PAGETRIX_WINEDEBUG", "-all"),
            "WINEDLLOVERRIDES": "mscoree,mshtml="}


class Wine:
    """One Wine prefix with a persistent wineserver.

    Without a display the wineserver is started with DISPLAY unset; one that
    shows windows needs the display from its start (a wineserver started
    without it makes dialogs fail later)."""

    _instances = {}

    def __init__(self, prefix, display=None):
        self.prefix = prefix
        self.display = display
        self.started = False

    @classmethod
    def shared(cls, prefix=None, display=None):
        """The one instance per prefix and display within this process."""
        key = (prefix or BUILD_PREFIX, display)
        if key not in cls._instances:
            cls._instances[key] = cls(*key)
        return cls._instances[key]

    def env(self):
        env = dict(os.environ)
        env.update(base_environment())
        env["WINEPREFIX"] = self.prefix
        if self.display:
            env["DISPLAY"] = self.display
        else:
            env.pop("DISPLAY", None)
        return env

    def _quiet(self, args, timeout=None):
        subprocess.run(args, env=self.env(), stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                       timeout=timeout, check=False)

    def start(self):
        """Makes the prefix if it is missing and starts its wineserver (once)."""
        if self.started:
            return
        os.makedirs(self.prefix, exist_ok=True)
        fresh = not os.path.exists(os.path.join(self.prefix, "system.reg"))
        self._quiet(["wineserver", "-p"])
        self.started = True
        atexit.register(self.stop)
        self._quiet(LAUNCHER + ["cmd", "/c", "exit"], timeout=START_TIMEOUT)
        if fresh:
            # A crash must end the process, not open a debugger window.
            self.reg_add(r"HKCU\Software\Wine\WineDbg", "ShowCrashDialog", "0",
                         kind="REG_DWORD")

    def kill(self):
        """Stops the prefix's wineserver and every Wine program in it, and waits."""
        self._quiet(["wineserver", "-k"], timeout=60)
        self._quiet(["wineserver", "-w"], timeout=60)
        self.started = False

    def stop(self):
        if self.started:
            self.kill()

    def restart(self):
        self.stop()
        self.start()

    def command(self, args):
        """The command line that starts `args` under Wine."""
        return LAUNCHER + list(args)

    def run(self, args, timeout=60, **kwargs):
        """Runs a Wine program to its end; its output is captured."""
        self.start()
        try:
            return subprocess.run(self.command(args), env=self.env(),
                                  stdin=subprocess.DEVNULL, capture_output=True,
                                  timeout=timeout, **kwargs)
        except subprocess.TimeoutExpired:
            # Whatever hung takes the whole prefix with it; start afresh.
            self.stop()
            raise

    def popen(self, args, **kwargs):
        """Starts a Wine program without waiting for it (GUI tests). Its output
        goes to pipes unless `stdout`/`stderr` say otherwise."""
        self.start()
        kwargs.setdefault("stdout", subprocess.PIPE)
        kwargs.setdefault("stderr", subprocess.PIPE)
        return subprocess.Popen(self.command(args), env=self.env(), stdin=subprocess.DEVNULL,
                                **kwargs)

    def _reg(self, args):
        return subprocess.run(self.command(["reg"] + args), env=self.env(),
                              stdin=subprocess.DEVNULL, capture_output=True, timeout=120)

    def reg_add(self, key, name, data, kind="REG_SZ"):
        args = ["add", key] + (["/ve"] if name is None else ["/v", name])
        result = self._reg(args + ["/t", kind, "/d", data, "/f"])
        if result.returncode != 0:
            raise RuntimeError("reg add failed: %r" % (result.stderr,))

    def reg_delete(self, key, name=None):
        self._reg(["delete", key] + (["/ve"] if name is None else ["/v", name]) + ["/f"])

    def reg_delete_key(self, key):
        self._reg(["delete", key, "/f"])


def shell_exports(prefix=None, environ=None):
    """`export` lines for a shell: the variables of every Wine start, and the prefix."""
    names = dict(base_environment(environ))
    if prefix:
        names["WINEPREFIX"] = prefix
    return "".join("export %s=%s\n" % (k, shlex.quote(v)) for k, v in sorted(names.items()))


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("action", choices=("env", "start", "stop"),
                        help="env: print the shell exports of the Wine variables (and "
                             "WINEPREFIX with --prefix); start: make the prefix and start "
                             "its wineserver, which keeps running; stop: stop it and wait")
    parser.add_argument("--prefix", help="the Wine prefix (start and stop: default %s)"
                        % BUILD_PREFIX)
    opts = parser.parse_args(argv)
    if opts.action == "env":
        sys.stdout.write(shell_exports(opts.prefix))
        return 0
    wine = Wine(opts.prefix or BUILD_PREFIX)
    if opts.action == "start":
        wine.start()
        # The wineserver outlives this process on purpose.
        wine.started = False
    else:
        wine.kill()
    return 0


if __name__ == "__main__":
    sys.exit(main())
