"""The program under test, natively or under Wine, behind one small interface.

PAGETRIX_TARGET=native runs build/native/pagetrix (PAGETRIX_EXE) directly, with
tests/e2e/recorder.sh as start program; anything else runs Pagetrix.exe under
Wine through recorder.exe, as the other end-to-end tests do. Tests written
against a Target run unchanged on both.
"""

import contextlib
import fcntl
import os
import re
import signal
import subprocess
import time

import harness

HERE = os.path.dirname(os.path.abspath(__file__))


class RunResult:
    def __init__(self, code, stdout, stderr, timed_out, seconds):
        self.code = code
        self.stdout = stdout
        self.stderr = stderr
        self.timed_out = timed_out
        self.seconds = seconds

    def crashed(self):
        """A signal, a sanitizer report or a Wine crash instead of a normal end."""
        text = self.stderr.decode("latin-1", errors="replace")
        if "Sanitizer" in text or "runtime error:" in text:
            return True
        return self.code is None or self.code < 0 or self.code > 127


class Target:
    name = "?"
    sep = "/"

    def path(self, unix_path):
        """A path as the program sees it."""
        raise NotImplementedError

    def temp_env(self, temp_dir):
        raise NotImplementedError

    def recorded_start_page(self, recording):
        """The start page the start program was given, from its recording."""
        raise NotImplementedError


class NativeTarget(Target):
    name = "native"
    sep = "/"

    def __init__(self):
        self.exe = os.path.abspath(os.environ.get("PAGETRIX_EXE",
                                  os.path.join(harness.SOURCE, "build", "native", "pagetrix")))
        self.start_program = os.path.join(HERE, "recorder.sh")

    def path(self, unix_path):
        return os.path.abspath(unix_path)

    def temp_env(self, temp_dir):
        return {"TMPDIR": temp_dir}

    def _env(self, env):
        full = dict(os.environ)
        full.update(env)
        return full

    def command(self, ini, command_file, extra=()):
        args = [self.exe]
        if ini is not None:
            args.append("/INI=" + ini)
        if command_file is not None:
            args.append(command_file)
        return args + list(extra)

    def run(self, ini, command_file, env, cwd, timeout, extra=()):
        began = time.monotonic()
        process = subprocess.Popen(self.command(ini, command_file, extra), env=self._env(env),
                                   cwd=cwd, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                   stderr=subprocess.PIPE, start_new_session=True)
        try:
            out, err = process.communicate(timeout=timeout)
            return RunResult(process.returncode, out, err, False, time.monotonic() - began)
        except subprocess.TimeoutExpired:
            os.killpg(process.pid, signal.SIGKILL)
            out, err = process.communicate()
            return RunResult(None, out, err, True, time.monotonic() - began)

    def start(self, ini, command_file, env, cwd, output=subprocess.PIPE):
        """Starts a run without waiting; its output goes to `output`."""
        return subprocess.Popen(self.command(ini, command_file), env=self._env(env), cwd=cwd,
                                stdin=subprocess.DEVNULL, stdout=output, stderr=output)

    def recorded_start_page(self, recording):
        items = open(recording, "rb").read().split(b"\0")
        return items[1].decode("cp1252") if len(items) > 1 else None

    @contextlib.contextmanager
    def hold(self, path, share):
        """Keeps `path` open as another program would: "read" shares it with
        readers; "none" and "write" hold it as the program's writers do, with
        an exclusive lock."""
        with open(path, "rb+" if share == "write" else "rb") as f:
            fcntl.flock(f, fcntl.LOCK_SH if share == "read" else fcntl.LOCK_EX)
            yield

    def stop(self):
        pass


class WineTarget(Target):
    name = "wine"
    sep = "\\"

    def __init__(self, wine=None):
        """Runs in `wine` (a harness.Wine), the build's shared prefix by default."""
        self.wine = wine or harness.Wine.shared()
        self.exe = harness.winpath(harness.PAGETRIX_EXE)
        self.start_program = harness.winpath(harness.RECORDER_EXE)

    def path(self, unix_path):
        return harness.winpath(unix_path)

    def temp_env(self, temp_dir):
        return {"TMP": harness.winpath(temp_dir), "TEMP": harness.winpath(temp_dir)}

    def _plan(self, ini, command_file, env, cwd, extra=()):
        command = '"%s"' % self.exe
        if ini is not None:
            command += ' /INI="%s"' % ini
        if command_file is not None:
            command += ' "%s"' % command_file
        for word in extra:
            command += ' "%s"' % word
        lines = ["ENV %s=%s" % (k, v) for k, v in env.items()]
        lines.append("CWD %s" % harness.winpath(cwd))
        lines.append("CMD %s" % command)
        plan = os.path.join(cwd, "launch-%d-%d.txt" % (os.getpid(), time.monotonic_ns()))
        with open(plan, "wb") as f:
            f.write(harness.cp1252("\r\n".join(lines) + "\r\n"))
        return plan

    def run(self, ini, command_file, env, cwd, timeout, extra=()):
        plan = self._plan(ini, command_file, env, cwd, extra)
        began = time.monotonic()
        try:
            result = self.wine.run([harness.RECORDER_EXE, "--launch", harness.winpath(plan)],
                                   timeout=timeout)
            return RunResult(result.returncode, result.stdout, result.stderr, False,
                             time.monotonic() - began)
        except subprocess.TimeoutExpired as e:
            return RunResult(None, e.stdout or b"", e.stderr or b"", True,
                             time.monotonic() - began)
        finally:
            os.remove(plan)

    def start(self, ini, command_file, env, cwd, output=subprocess.PIPE):
        """Starts a run without waiting; its output goes to `output`. (A Wine
        program that opens the first window starts the desktop process, which
        keeps its output open: a test that waits for the end of that output
        passes DEVNULL.)"""
        plan = self._plan(ini, command_file, env, cwd)
        return self.wine.popen([harness.RECORDER_EXE, "--launch", harness.winpath(plan)],
                               stdout=output, stderr=output)

    def recorded_start_page(self, recording):
        raw = open(recording, "rb").read().split(b"\0")[0].decode("cp1252")
        match = re.match(r'^"[^"]*" "([^"]*)"', raw)
        return match.group(1) if match else None

    @contextlib.contextmanager
    def hold(self, path, share, ms=120000):
        ready = path + ".held"
        holder = self.wine.popen([harness.RECORDER_EXE, "--hold", harness.winpath(path), share,
                                  harness.winpath(ready), str(ms)])
        try:
            for _ in range(300):
                if os.path.exists(ready) or holder.poll() is not None:
                    break
                time.sleep(0.05)
            if not os.path.exists(ready):
                raise RuntimeError("the holder could not open %s" % path)
            os.remove(ready)
            yield
        finally:
            holder.kill()
            holder.communicate()

    def stop(self):
        self.wine.stop()


def from_environment():
    return NativeTarget() if os.environ.get("PAGETRIX_TARGET") == "native" else WineTarget()
