"""The check mode's time against a normal run's, on the same configurations.

    python3 bench/check.py                   # every case, median of 3 runs
    python3 bench/check.py --cases 'links-*' --runs 5
    python3 bench/check.py --exe /tmp/other/build/native/pagetrix   # another build

Each case writes a synthetic site (sites.py), then times the native program
once as a run (INI=... start.ini) and once as a check (PRUEFEN), each through
the bench's spawn helper (wall time, peak resident set), the median of
--runs runs after one warm-up. It prints run and check time, their ratio,
the check's peak memory and the size of its three reports. Figures are
printed, never asserted. A process over --timeout seconds is killed and its
case marked TIMEOUT.
"""

import argparse
import fnmatch
import os
import shutil
import statistics
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

import bench  # noqa: E402
import sites  # noqa: E402


def placeholders(name, count):
    """One template line naming `count` sections, one link each."""
    secs = [sites._table_section(i + 1, i, 1) for i in range(count)]
    body = [" ".join(s.name for s in secs)]
    page = sites.Page("seite.ini", "Pagetrix.htm", "vorlage.htm",
                      sites._template("Zeile", body), secs)
    return sites.Site(name, [page], single=True)


def environment(count):
    """An environment file of `count` entries in the section a fixed drive uses."""
    lines = ["[Lokal]", "BASIS=C:\\Intranet", "[Environment]"]
    lines += ["VAR%05d=%%BASIS%%\\teil%d\\%%VAR%05d%%" % (i, i, max(i - 1, 0))
              for i in range(count)]
    return "\r\n".join(lines) + "\r\n"


def people(count):
    """`count` users and `count` servers with rights and flags that differ."""
    lines = ["[Rechte]"] + ["benutzer%04d=%08X" % (i, 1 << (i % 3)) for i in range(count)]
    lines += ["[Server]"] + ["server%04d=%08X" % (i, (1 << (16 + i % 2))) for i in range(count)]
    return "\r\n".join(lines) + "\r\n"


# name -> (site, extra main configuration text, environment file text)
CASES = {
    "links-10k": lambda: (sites.one_table("links-10k", 10000), "", None),
    "links-100k": lambda: (sites.one_table("links-100k", 100000), "", None),
    "sections-10k": lambda: (sites.sections("sections-10k", 10000, 10000), "", None),
    "sections-100k": lambda: (sites.sections("sections-100k", 100000, 100000), "", None),
    "placeholders-400": lambda: (placeholders("placeholders-400", 400), "", None),
    "environment-20k": lambda: (sites.typical("environment-20k"), "", environment(20000)),
    "users-servers-200": lambda: (sites.typical("users-servers-200"), people(200), None),
}


def report_bytes(temp):
    total = 0
    for folder, _dirs, files in os.walk(os.path.join(temp, "Pagetrix")):
        total += sum(os.path.getsize(os.path.join(folder, f)) for f in files
                     if f.startswith("Pruefbericht."))
    return total


def measure(exe, folder, start, env_file, check, runs, timeout):
    """(median seconds, peak KiB, exit code, report bytes) of `runs` runs after a warm-up."""
    args = [exe, "/INI=" + os.path.join(folder, "Pagetrix.ini")]
    if env_file:
        args.append("/ENV=" + env_file)
    if check:
        args.append("/PRUEFEN")
    args.append(start)
    temp = os.path.join(folder, "temp")
    env = dict(os.environ, TMPDIR=temp)
    times, peaks, code, size = [], [], None, 0
    for n in range(runs + 1):
        shutil.rmtree(temp, ignore_errors=True)
        os.makedirs(temp)
        seconds, peak, code = bench.timed(args, env=env, cwd=folder, timeout=timeout)
        size = report_bytes(temp)
        if n > 0 or seconds > timeout / 4:
            times.append(seconds)
            peaks.append(peak)
        if seconds > timeout / 4:
            break  # a slow case is measured once
    return statistics.median(times), max(peaks), code, size


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--exe", default=bench.NATIVE_EXE)
    parser.add_argument("--cases", default="*", help="comma-separated name patterns")
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--timeout", type=float, default=300)
    options = parser.parse_args()
    if not bench.build_spawn():
        return 1
    patterns = options.cases.split(",")
    print("%-18s %10s %10s %9s %10s %12s  %s" % ("case", "run s", "check s", "check/run",
                                                 "check MiB", "report KiB", "exit run/check"))
    for name, make in CASES.items():
        if not any(fnmatch.fnmatch(name, p) for p in patterns):
            continue
        site, main_extra, env_text = make()
        folder = tempfile.mkdtemp(prefix="check-bench-", dir=os.path.join(bench.ROOT, "build"))
        try:
            start = site.write(folder)
            if main_extra:
                with open(os.path.join(folder, "Pagetrix.ini"), "ab") as f:
                    f.write(main_extra.encode("cp1252"))
            env_file = None
            if env_text is not None:
                env_file = os.path.join(folder, "umgebung.ini")
                with open(env_file, "wb") as f:
                    f.write(env_text.encode("cp1252"))
            try:
                run = measure(options.exe, folder, start, env_file, False, options.runs,
                              options.timeout)
            except bench.Timeout:
                print("%-18s run TIMEOUT (over %d s)" % (name, options.timeout))
                continue
            try:
                check = measure(options.exe, folder, start, env_file, True, options.runs,
                                options.timeout)
            except bench.Timeout:
                print("%-18s %10.3f %10s   check TIMEOUT (over %d s)" % (
                    name, run[0], "-", options.timeout))
                continue
            print("%-18s %10.3f %10.3f %9.1f %10.1f %12.1f  %d/%d" % (
                name, run[0], check[0], check[0] / run[0] if run[0] else 0, check[1] / 1024,
                check[3] / 1024, run[2], check[2]))
            sys.stdout.flush()
        finally:
            shutil.rmtree(folder, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
