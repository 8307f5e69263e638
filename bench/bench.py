"""Benchmark of Pagetrix on synthetic sites, native and under Wine.

Run it through bench/run, which builds the programs first. For every case it
prints the median wall time, peak memory, output bytes, time per link and the
ratio to floors measured in the same run, checks every output byte for byte
against render.py, and ends with the performance targets marked met or not.
"""

import argparse
import fnmatch
import gc
import json
import os
import platform
import re
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time

import render
import sites

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
sys.path.insert(0, os.path.join(ROOT, "tools"))
import winehelper  # noqa: E402
from winehelper import winpath  # noqa: E402

NATIVE_EXE = os.path.join(ROOT, "build", "native", "pagetrix")
WIN_EXE = os.path.join(ROOT, "build", "win", "Pagetrix.exe")
BENCH_BUILD = os.path.join(ROOT, "build", "bench")
TRIVIAL_EXE = os.path.join(BENCH_BUILD, "trivial.exe")
# The same program reading the Ctrl key first, as every run does (user32).
KEY_EXE = os.path.join(BENCH_BUILD, "trivial-key.exe")
SPAWN = os.path.join(BENCH_BUILD, "spawn")

KIB = 1024
MIB = 1024 * 1024


# ---- cases ----

class Case:
    def __init__(self, name, make, full, quick, series=None, hugo=False):
        self.name = name
        self.make = make  # size -> Site
        self.full = full
        self.quick = quick
        self.series = series  # cases of one series: a timeout skips the larger ones
        self.hugo = hugo

    def site(self, quick):
        size = self.quick if quick else self.full
        if size is None:
            return None
        site = self.make(size)
        if quick and self.quick != self.full:
            site.note = (site.note + " " if site.note else "") + "quick size"
        return site


def _sections_case(count):
    return Case("sections-%s" % _short(count),
                lambda links, count=count: sites.sections(
                    "sections", min(count, links), links,
                    note="%s links in %s sections" % (_short(links), _short(min(count, links)))),
                100000, 10000 if count <= 1000 else None, series="sections")


def _short(n):
    for unit, div in (("m", 1000000), ("k", 1000)):
        if n >= div and n % div == 0:
            return "%d%s" % (n // div, unit)
    return str(n)


CASES = [
    Case("base", lambda n: sites.one_table("base", n, note="net figures subtract this"), 1, 1),
    Case("typical", lambda n: sites.typical(note="frameset, 3 pages, 60 links, 10 assets"),
         60, 60),
    Case("table-1k", lambda n: sites.one_table("t", n), 1000, 1000, series="table", hugo=True),
    Case("table-5k", lambda n: sites.one_table("t", n), 5000, 5000, series="table", hugo=True),
    Case("table-100k", lambda n: sites.one_table("t", n), 100000, 20000, series="table",
         hugo=True),
    Case("table-1m", lambda n: sites.one_table("t", n), 1000000, 50000, series="table",
         hugo=True),
    Case("tree-100k", lambda n: sites.one_table("t", n, tree=True), 100000, 20000),
] + [_sections_case(c) for c in (1, 10, 100, 1000, 10000, 100000)] + [
    Case("pages-1000", lambda n: sites.many_pages("p", n, note="%d pages x 10 links" % n),
         1000, 50),
    Case("assets-200", lambda n: sites.with_assets("a", n, 100 * KIB,
                                                   note="%d files of 100 KiB" % n), 200, 20),
    Case("old-folders-1000", lambda n: sites.typical(
        old_folders=n, delete_hours=0, note="typical + %d old output folders deleted" % n),
        1000, 20),
]


# ---- measuring ----

class Timeout(Exception):
    pass


def timed(args, env=None, cwd=None, timeout=None):
    """(wall seconds, peak resident KiB, exit code) of one process run to its end."""
    result = subprocess.run([SPAWN, str(int(timeout or 0))] + list(args), env=env, cwd=cwd,
                            stdin=subprocess.DEVNULL, capture_output=True, text=True)
    ns, peak, code = (int(x) for x in result.stdout.split())
    if code == -1:
        raise Timeout()
    if code == -2:
        raise OSError("cannot start %s" % args[0])
    return ns / 1e9, peak, code


def build_spawn():
    """The small process that starts every measured program (see spawn.c)."""
    source = os.path.join(HERE, "spawn.c")
    if os.path.exists(SPAWN) and os.path.getmtime(SPAWN) >= os.path.getmtime(source):
        return True
    os.makedirs(BENCH_BUILD, exist_ok=True)
    result = subprocess.run(["cc", "-O2", "-o", SPAWN, source], capture_output=True, text=True)
    if result.returncode != 0:
        print("Cannot build the spawn helper:\n" + result.stderr, file=sys.stderr)
    return result.returncode == 0


def rmtree(path):
    shutil.rmtree(path, ignore_errors=True)


def tree_bytes(path):
    total = 0
    for folder, _dirs, files in os.walk(path):
        total += sum(os.path.getsize(os.path.join(folder, f)) for f in files)
    return total


def make_old_folders(base, count):
    for i in range(count):
        folder = os.path.join(base, "0000%04X-0000-4000-8000-%012X" % (i, i))
        os.makedirs(folder, exist_ok=True)
        for name, size in sites.OLD_FOLDER_FILES:
            with open(os.path.join(folder, name), "wb") as f:
                f.write(b"x" * size)
        # A folder written to within the last minute may be a running run's
        # and is left alone: these were last written to two hours ago.
        old = time.time() - 2 * 3600
        os.utime(folder, (old, old))


def check_output(out_dir, expected):
    """None when the folder holds exactly the expected files, else what differs."""
    written = sorted(os.listdir(out_dir))
    if written != sorted(expected):
        missing = sorted(set(expected) - set(written))
        extra = sorted(set(written) - set(expected))
        return "files differ: missing %s, extra %s" % (missing[:5], extra[:5])
    for name, want in expected.items():
        with open(os.path.join(out_dir, name), "rb") as f:
            got = f.read()
        if not isinstance(want, bytes):
            with open(want, "rb") as f:
                want = f.read()
        if got != want:
            at = next((i for i, (a, b) in enumerate(zip(got, want)) if a != b),
                      min(len(got), len(want)))
            return "%s differs from byte %d (%d written, %d expected): %r" % (
                name, at, len(got), len(want), got[max(0, at - 40):at + 40])
    return None


class Wine(winehelper.Wine):
    """A Wine prefix of the benchmark's own with a persistent wineserver; the
    output folders go below `temp`."""

    def __init__(self, prefix, temp):
        super().__init__(prefix)
        self.temp = temp

    def start(self):
        super().start()
        for name in ("TMP", "TEMP"):
            self.reg_add(r"HKCU\Environment", name, winpath(self.temp), kind="REG_EXPAND_SZ")


def build_trivial():
    """A Win32 program that only starts and ends: the floor of a start under Wine;
    and the same program reading the Ctrl key, for reference."""
    source = os.path.join(HERE, "trivial.c")
    os.makedirs(BENCH_BUILD, exist_ok=True)
    for exe, defines in ((TRIVIAL_EXE, []), (KEY_EXE, ["-DREAD_CTRL_KEY"])):
        if os.path.exists(exe) and os.path.getmtime(exe) >= os.path.getmtime(source):
            continue
        result = subprocess.run(["x86_64-w64-mingw32-gcc-posix", "-O2", "-static", "-mwindows"]
                                + defines + ["-o", exe, source], capture_output=True, text=True)
        if result.returncode != 0:
            print("Cannot build the trivial Win32 program:\n" + result.stderr, file=sys.stderr)
            return False
    return True


# ---- one case on one platform ----

class Result:
    def __init__(self, case, platform_name, site):
        self.case = case.name
        self.platform = platform_name
        self.links = site.links
        self.note = site.note
        self.times = []
        self.peaks_kib = []
        self.floors = []
        self.starts = []
        self.key_starts = []
        self.out_bytes = 0
        self.status = "ok"
        self.detail = ""
        self.timeout = None

    @property
    def median(self):
        return statistics.median(self.times) if self.times else None

    @property
    def floor(self):
        return statistics.median(self.floors) if self.floors else None

    @property
    def start(self):
        return statistics.median(self.starts) if self.starts else None

    @property
    def key_start(self):
        return statistics.median(self.key_starts) if self.key_starts else None

    @property
    def peak_mib(self):
        return max(self.peaks_kib) / 1024 if self.peaks_kib else None

    @classmethod
    def from_json(cls, data):
        result = cls.__new__(cls)
        result.case, result.platform = data["case"], data["platform"]
        result.links, result.note = data["links"], data["note"]
        result.status, result.detail = data["status"], data["detail"]
        result.times = data["times_s"]
        result.peaks_kib = [data["peak_mib"] * 1024] if data["peak_mib"] else []
        result.floors = [data["floor_cp_s"]] if data["floor_cp_s"] is not None else []
        result.starts = [data["trivial_start_s"]] if data["trivial_start_s"] is not None else []
        key = data.get("key_start_s")  # not in files written before it was measured
        result.key_starts = [key] if key is not None else []
        result.out_bytes = data["out_bytes"]
        match = re.search(r"more than (\d+) s", data["detail"])
        result.timeout = int(match.group(1)) if data["status"] == "TIMEOUT" and match else None
        return result

    def to_json(self):
        return {"case": self.case, "platform": self.platform, "links": self.links,
                "note": self.note, "status": self.status, "detail": self.detail,
                "median_s": self.median, "times_s": self.times, "peak_mib": self.peak_mib,
                "out_bytes": self.out_bytes, "floor_cp_s": self.floor,
                "trivial_start_s": self.start, "key_start_s": self.key_start}


def run_case(case, site, site_dir, expected, platform_name, opts, work, wine=None):
    result = Result(case, platform_name, site)
    main_ini = os.path.join(site_dir, "Pagetrix.ini")
    start_ini = site.start_path
    if platform_name == "native":
        temp = os.path.join(work, "temp-native")
        env = dict(os.environ, TMPDIR=temp + "/")
        args = [NATIVE_EXE, "INI=" + main_ini, "USER=" + sites.USER, start_ini]
    else:
        temp = wine.temp
        env = wine.env()
        args = wine.command([WIN_EXE, "INI=" + winpath(main_ini), "USER=" + sites.USER,
                             winpath(start_ini)])
    base = os.path.join(temp, "Pagetrix")
    copy = os.path.join(work, "floor-copy")
    old_copy = os.path.join(work, "floor-old")
    # Run 0 warms the caches up and is not counted, unless it is slow: then
    # it is the one measured run.
    runs = opts.runs
    run = -1
    while run < runs:
        run += 1
        rmtree(base)
        os.makedirs(temp, exist_ok=True)
        if site.old_folders:
            make_old_folders(base, site.old_folders)
        try:
            elapsed, peak, _code = timed(args, env=env, cwd=site_dir, timeout=opts.timeout)
        except Timeout:
            result.status = "TIMEOUT"
            result.detail = "a run took more than %d s" % opts.timeout
            result.timeout = opts.timeout
            result.times = []
            break
        folders = sorted(os.listdir(base)) if os.path.isdir(base) else []
        if len(folders) != 1:
            result.status = "FAILED"
            result.detail = "%d folders in the output base after the run" % len(folders)
            break
        out_dir = os.path.join(base, folders[0])
        problem = check_output(out_dir, expected)
        if problem:
            result.status = "FAILED"
            result.detail = problem
            break
        if run == 0:
            if elapsed <= opts.slow:
                continue
            runs = 0
            result.detail = "1 run (a run takes more than %d s)" % opts.slow
        result.times.append(elapsed)
        result.peaks_kib.append(peak)
        result.out_bytes = tree_bytes(out_dir)
        # The floors, measured right after the run they belong to.
        rmtree(copy)
        floor, _, _ = timed(["cp", "-r", out_dir, copy])
        if site.old_folders:
            rmtree(old_copy)
            make_old_folders(old_copy, site.old_folders)
            removal, _, _ = timed(["rm", "-r", old_copy])
            floor += removal
        result.floors.append(floor)
        if wine:
            # The trivial program's start, the Wine floor, goes the same way.
            start, _, _ = timed(wine.command([TRIVIAL_EXE]), env=wine.env())
            result.starts.append(start)
            key_start, _, _ = timed(wine.command([KEY_EXE]), env=wine.env())
            result.key_starts.append(key_start)
    rmtree(base)
    rmtree(copy)
    return result


# ---- Hugo ----

HUGO_LAYOUT = (
    '{{- $d := site.Data.links -}}'
    '{{- $d.before | safeHTML -}}'
    '{{- range $d.rows -}}'
    '{{- $desc := "" -}}'
    '{{- if .d -}}{{- $desc = printf "     <td width=\\"50%%\\">%s%s</td>\\r\\n" $d.font .d -}}'
    '{{- end -}}'
    '{{- $a := "" -}}'
    '{{- if .l -}}{{- $a = printf "href=\\"%s\\"" .l -}}'
    '{{- if .b -}}{{- $a = printf "%s target=\\"_blank\\"" $a -}}{{- end -}}{{- end -}}'
    '{{- printf "   <tr>\\r\\n     <td width=\\"%s\\" title=\\"%s\\">%s%s<a %s>%s</a></td>\\r\\n'
    '     %s   </tr>\\r\\n" $d.width .t $d.font .i $a .x $desc | safeHTML -}}'
    '{{- end -}}'
    '{{- $d.after | safeHTML -}}')


def hugo_site(folder, site, expected_page):
    """A Hugo site whose home page is the same table from the same links."""
    page = site.pages[0]
    section = page.sections[0]
    viewer = render.Viewer(rights=int(sites.USER_RIGHTS, 16))
    rows = []
    for text, link, description, tooltip, flags in render.shown_links(section, viewer):
        stripped = text.lstrip("#")
        rows.append({"x": stripped, "i": "&nbsp;" * (len(text) - len(stripped)), "l": link,
                     "b": bool(flags & 1), "d": description, "t": tooltip})
    marker = render.link_table(section, viewer)
    page_text = expected_page.decode("cp1252")
    at = page_text.index(marker)
    head_end = marker.index("cellspacing")
    head_end = marker.index("\r\n", head_end) + 2
    data = {"before": page_text[:at] + marker[:head_end],
            "after": "</table>\r\n" + page_text[at + len(marker):],
            "font": render._font_tag(section.get("FontTabelle") or "", 3),
            "width": section.get("SpaltenBreite1") or "50%", "rows": rows}
    os.makedirs(os.path.join(folder, "data"), exist_ok=True)
    os.makedirs(os.path.join(folder, "layouts"), exist_ok=True)
    with open(os.path.join(folder, "config.toml"), "w") as f:
        f.write('baseURL = "http://localhost/"\n'
                'disableHugoGeneratorInject = true\n'
                'disableKinds = ["taxonomy", "term", "RSS", "sitemap", "404"]\n')
    with open(os.path.join(folder, "data", "links.json"), "w", encoding="utf-8") as f:
        json.dump(data, f, ensure_ascii=False)
    with open(os.path.join(folder, "layouts", "index.html"), "w") as f:
        f.write(HUGO_LAYOUT)
    return page_text


def run_hugo(case, site, expected_page, opts, work):
    result = Result(case, "hugo", site)
    folder = os.path.join(work, "hugo")
    rmtree(folder)
    want = hugo_site(folder, site, expected_page)
    out = os.path.join(folder, "public")
    args = ["hugo", "--quiet", "--source", folder, "--destination", out,
            "--cacheDir", os.path.join(folder, "cache")]
    runs = opts.runs
    run = 0
    while run < runs:
        run += 1
        rmtree(out)
        try:
            elapsed, peak, code = timed(args, cwd=folder, timeout=opts.timeout)
        except Timeout:
            result.status, result.detail, result.times = "TIMEOUT", "", []
            break
        result.times.append(elapsed)
        result.peaks_kib.append(peak)
        page = os.path.join(out, "index.html")
        got = open(page, "rb").read().decode("utf-8") if os.path.exists(page) else None
        if code != 0 or got != want:
            result.status = "FAILED"
            result.detail = "exit code %d; the page differs from the expected one" % code
            break
        result.out_bytes = tree_bytes(out)
        if run == 1 and elapsed > opts.slow / 2 and runs > 1:
            runs = min(runs, 3)
            result.detail = "%d runs" % runs
    rmtree(folder)
    return result


# ---- report ----

def fmt_time(seconds):
    if seconds is None:
        return "-"
    if seconds >= 10:
        return "%.1f s" % seconds
    if seconds >= 1:
        return "%.2f s" % seconds
    return "%.1f ms" % (seconds * 1000)


def fmt_bytes(n):
    if n >= MIB:
        return "%.1f MiB" % (n / MIB)
    if n >= KIB:
        return "%.1f KiB" % (n / KIB)
    return "%d B" % n


def fmt_us(value):
    return "-" if value is None else ("%.2f" % value if value < 100 else "%.0f" % value)


def per_link(result, base):
    """(raw, net) microseconds per link; net subtracts the base case's time."""
    if result.median is None or not result.links:
        return None, None
    raw = result.median / result.links * 1e6
    net = None
    if base is not None and base.median is not None:
        net = (result.median - base.median) / result.links * 1e6
    return raw, net


def print_table(title, results, base, out):
    out("")
    out(title)
    wine = any(r.start is not None for r in results)
    head = ["case", "links", "median", "min", "runs", "peak", "output", "us/link", "net us/link",
            "floor cp", "x floor"]
    if wine:
        head += ["trivial", "x trivial", "x (trivial+cp)"]
    head += ["status"]
    rows = [head]
    for r in results:
        raw, net = per_link(r, base)
        median = "> %d s" % r.timeout if r.timeout else fmt_time(r.median)
        row = [r.case, str(r.links), median, fmt_time(min(r.times) if r.times else None),
               str(len(r.times)),
               "-" if r.peak_mib is None else "%.1f MiB" % r.peak_mib,
               fmt_bytes(r.out_bytes) if r.out_bytes else "-", fmt_us(raw), fmt_us(net),
               fmt_time(r.floor), ratio(r.median, r.floor)]
        if wine:
            both = r.floor + r.start if r.floor is not None and r.start is not None else None
            row += [fmt_time(r.start), ratio(r.median, r.start), ratio(r.median, both)]
        row.append(r.status + (": " + r.detail if r.detail else "") +
                   (" (" + r.note + ")" if r.note else ""))
        rows.append(row)
    widths = [max(len(row[i]) for row in rows) for i in range(len(head) - 1)]
    for row in rows:
        out("  ".join(cell.rjust(w) if i else cell.ljust(w)
                      for i, (cell, w) in enumerate(zip(row, widths))) + "  " + row[-1])


def ratio(a, b):
    return "-" if a is None or not b else "%.2fx" % (a / b)


def print_hugo(hugo, native, out):
    if not hugo:
        return
    out("")
    out("Hugo on the same links and the same table markup (native Pagetrix)")
    out("  %-12s %10s %10s %12s %12s  %s" % ("case", "hugo", "peak", "pagetrix", "hugo/ptx",
                                           "status"))
    for h in hugo:
        p = native.get(h.case)
        out("  %-12s %10s %10s %12s %12s  %s" % (
            h.case, fmt_time(h.median),
            "-" if h.peak_mib is None else "%.0f MiB" % h.peak_mib,
            fmt_time(p.median if p else None),
            ratio(h.median, p.median if p else None),
            h.status + (": " + h.detail if h.detail else "")))


def targets(native, wine, hugo):
    """[(target, figure, met)]; met is None when the figures are missing, "info" for
    a figure shown beside a target."""
    rows = []

    def ok(r):
        return r is not None and r.status == "ok" and r.median is not None

    def add(text, figure, met):
        rows.append((text, figure, met))

    t = native.get("table-1m")
    if native:
        if ok(t) and "quick size" not in t.note:
            add("native: 1,000,000 links <= 0.6 s and <= 200 MiB peak",
                "%s, %.0f MiB" % (fmt_time(t.median), t.peak_mib),
                t.median <= 0.6 and t.peak_mib <= 200)
        else:
            add("native: 1,000,000 links <= 0.6 s and <= 200 MiB peak", _why(t), None)
        t = native.get("table-100k")
        add("native: 100,000 links within 3x the cp -r floor",
            ratio(t.median, t.floor) if ok(t) else _why(t),
            (t.median <= 3 * t.floor) if ok(t) else None)
        t, h = native.get("table-5k"), hugo.get("table-5k")
        add("native: 5,000 links >= 15x faster than Hugo",
            ratio(h.median, t.median) + " faster" if ok(t) and ok(h) else _why(h or t),
            (h.median >= 15 * t.median) if ok(t) and ok(h) else None)
        base = native.get("base")
        for label, names in (("1,000 to 1,000,000 links",
                              ["table-1k", "table-5k", "table-100k", "table-1m"]),
                             ("1 to 100,000 sections",
                              [c.name for c in CASES if c.series == "sections"])):
            nets = [(n, per_link(native[n], base)[1]) for n in names if ok(native.get(n))]
            missing = [n for n in names if not ok(native.get(n))]
            if any(n not in native for n in names):
                add("native: net time per link flat within 1.5x, " + label,
                    "not measured: " + ", ".join(n for n in names if n not in native), None)
            elif len(nets) >= 2 and not missing:
                values = [v for _, v in nets]
                shown = "/".join(fmt_us(v) for v in values)
                if any(v is None or v <= 0 for v in values):
                    # The base run took longer than a larger one: noise, no figure.
                    add("native: net time per link flat within 1.5x, " + label,
                        "noise (%s us)" % shown, None)
                else:
                    spread = max(values) / min(values)
                    add("native: net time per link flat within 1.5x, " + label,
                        "%.2fx (%s us)" % (spread, shown), spread <= 1.5)
            else:
                add("native: net time per link flat within 1.5x, " + label,
                    "missing: " + ", ".join(missing), False if missing else None)
        t = native.get("pages-1000")
        add("native: 1,000 pages within 1.3x the cp -r floor",
            ratio(t.median, t.floor) if ok(t) else _why(t),
            (t.median <= 1.3 * t.floor) if ok(t) else None)
    if wine:
        t = wine.get("table-100k")
        us = t.median / t.links * 1e6 if ok(t) else None
        add("wine: <= 1 us per link at 100,000 links",
            "%.2f us" % us if us is not None else _why(t), (us <= 1) if us is not None else None)
        t = wine.get("typical")
        add("wine: typical within 1.3x of the trivial program's start",
            ratio(t.median, t.start) if ok(t) else _why(t),
            (t.median <= 1.3 * t.start) if ok(t) else None)
        if ok(t) and t.key_start:
            add("  for reference: typical against a start that reads the Ctrl key",
                "%s (that start: %s)" % (ratio(t.median, t.key_start), fmt_time(t.key_start)),
                "info")
        t, base = wine.get("assets-200"), wine.get("base")
        if ok(t) and ok(base):
            net = t.median - base.median
            add("wine: 200 assets within 1.5x of cp -r (net of the base run)",
                "%s net / %s cp = %s" % (fmt_time(net), fmt_time(t.floor), ratio(net, t.floor)),
                net <= 1.5 * t.floor)
        else:
            add("wine: 200 assets within 1.5x of cp -r (net of the base run)", _why(t), None)
        t = wine.get("pages-1000")
        if ok(t):
            floor = t.floor + t.start
            add("wine: 1,000 pages within 1.3x the floor (trivial start + cp -r)",
                ratio(t.median, floor), t.median <= 1.3 * floor)
        else:
            add("wine: 1,000 pages within 1.3x the floor (trivial start + cp -r)", _why(t), None)
    return rows


def _why(r):
    if r is None:
        return "not measured"
    return r.status if r.status != "ok" else "quick size"


def print_targets(rows, out):
    out("")
    out("Targets")
    width = max(len(t) for t, _, _ in rows) if rows else 0
    for text, figure, met in rows:
        mark = met if isinstance(met, str) else (
            "met" if met else ("NOT MET" if met is False else "n/a"))
        out("  %-*s  %-8s %s" % (width, text, mark, figure))


def print_comparison(path, results, out):
    with open(path) as f:
        before = {(r["case"], r["platform"]): r for r in json.load(f)["results"]}
    out("")
    out("Compared with %s" % path)
    out("  %-18s %-8s %12s %12s %9s" % ("case", "where", "before", "now", "speed-up"))
    for r in results:
        b = before.get((r.case, r.platform))
        if not b or b["links"] != r.links:
            continue  # not measured then, or at another size (--quick)
        out("  %-18s %-8s %12s %12s %9s" % (r.case, r.platform, fmt_time(b["median_s"]),
                                            fmt_time(r.median), ratio(b["median_s"], r.median)))


# ---- main ----

def git_commit():
    try:
        return subprocess.run(["git", "-C", ROOT, "rev-parse", "--short", "HEAD"],
                              capture_output=True, text=True).stdout.strip()
    except OSError:
        return ""


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--quick", action="store_true", help="small sizes, 1 run: a smoke check")
    parser.add_argument("--native-only", action="store_true")
    parser.add_argument("--wine-only", action="store_true")
    parser.add_argument("--no-hugo", action="store_true", help="leave out the Hugo comparison")
    parser.add_argument("--runs", type=int, default=None, help="runs per case (default 5)")
    parser.add_argument("--cases", default="*",
                        help="comma-separated glob patterns of case names (default all)")
    parser.add_argument("--json", help="save the results to this file")
    parser.add_argument("--compare", help="a saved --json file to compare the medians with")
    parser.add_argument("--timeout", type=int, default=240, help="seconds a run may take")
    parser.add_argument("--slow", type=int, default=20,
                        help="a case whose first run takes longer runs once")
    parser.add_argument("--keep", action="store_true", help="keep the generated sites")
    parser.add_argument("--list", action="store_true", help="list the cases and stop")
    parser.add_argument("--report", metavar="FILE",
                        help="print a saved --json file's tables and targets again, run nothing")
    opts = parser.parse_args(argv)
    if opts.report:
        return report_saved(opts.report)
    if opts.runs is None:
        opts.runs = 1 if opts.quick else 5
    patterns = [p.strip() for p in opts.cases.split(",") if p.strip()]
    chosen = [c for c in CASES if any(fnmatch.fnmatch(c.name, p) for p in patterns)]
    if opts.list:
        for c in CASES:
            print("%-18s full %-8s quick %s" % (c.name, c.full, c.quick))
        return 0
    # base gives the net figures; it is cheap, so it always runs.
    if chosen and chosen[0].name != "base":
        chosen.insert(0, CASES[0])
    do_native = not opts.wine_only
    do_wine = not opts.native_only
    do_hugo = do_native and not opts.no_hugo and shutil.which("hugo") is not None
    for path, needed in ((NATIVE_EXE, do_native), (WIN_EXE, do_wine)):
        if needed and not os.path.exists(path):
            print("Missing %s: build it first (tools/build)" % path, file=sys.stderr)
            return 2
    if not build_spawn() or (do_wine and not build_trivial()):
        return 2

    lines = []

    def out(text=""):
        print(text, flush=True)
        lines.append(text)

    os.makedirs(BENCH_BUILD, exist_ok=True)
    work = tempfile.mkdtemp(prefix="work-", dir=BENCH_BUILD)
    wine = Wine(os.path.join(BENCH_BUILD, "wineprefix"), os.path.join(work, "temp-wine")) \
        if do_wine else None
    out("Pagetrix benchmark  %s  commit %s  %s, %d cores, load %s" % (
        time.strftime("%Y-%m-%d %H:%M UTC", time.gmtime()), git_commit(), platform.machine(),
        os.cpu_count(), " ".join("%.2f" % x for x in os.getloadavg())))
    out("runs %d%s, median wall time; hugo %s" % (
        opts.runs, " (quick sizes)" if opts.quick else "",
        subprocess.run(["hugo", "version"], capture_output=True, text=True).stdout.split()[1]
        if do_hugo else "not run"))
    results, native, wine_results, hugo = [], {}, {}, {}
    skipped_series = {"native": {}, "wine": {}}
    # A stop by signal still removes the work folder and stops the wineserver.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))
    gc.disable()  # the expected pages of the large cases are millions of small objects
    try:
        if wine:
            wine.start()
        for case in chosen:
            site = case.site(opts.quick)
            if site is None:
                continue
            site_dir = os.path.join(work, "site-" + case.name)
            site.start_path = site.write(site_dir)
            expected = site.expected(os.path.join(site_dir, "site"))
            print("  %s: %d links ..." % (case.name, site.links), file=sys.stderr, flush=True)
            for name, store, enabled in (("native", native, do_native),
                                         ("wine", wine_results, do_wine)):
                if not enabled:
                    continue
                if case.series and case.series in skipped_series[name]:
                    r = Result(case, name, site)
                    r.status = "SKIPPED"
                    r.detail = skipped_series[name][case.series]
                else:
                    r = run_case(case, site, site_dir, expected, name, opts, work,
                                 wine if name == "wine" else None)
                    # The next case of a series is ten times larger or more.
                    if case.series and r.status == "TIMEOUT":
                        skipped_series[name][case.series] = "a smaller case timed out"
                    elif case.series and r.median and r.median > opts.timeout / 4:
                        skipped_series[name][case.series] = (
                            "%s took %s, this one would pass the %d s timeout"
                            % (case.name, fmt_time(r.median), opts.timeout))
                store[case.name] = r
                results.append(r)
            if do_hugo and case.hugo:
                page = expected["Pagetrix.htm"]
                hugo[case.name] = run_hugo(case, site, page, opts, work)
            del expected
            gc.collect()
            if not opts.keep:
                rmtree(site_dir)
    finally:
        if wine:
            wine.stop()
        if not opts.keep:
            rmtree(work)
    out("load at the end %s" % " ".join("%.2f" % x for x in os.getloadavg()))
    goals = report(native, wine_results, hugo, out)
    if opts.compare:
        print_comparison(opts.compare, results + list(hugo.values()), out)
    if opts.json:
        with open(opts.json, "w") as f:
            json.dump({"date": time.strftime("%Y-%m-%dT%H:%M:%SZ", time.gmtime()),
                       "commit": git_commit(), "runs": opts.runs, "quick": opts.quick,
                       "results": [r.to_json() for r in results + list(hugo.values())],
                       "targets": [{"target": t, "figure": f, "met": m} for t, f, m in goals],
                       "report": lines}, f, indent=1)
    failed = [r for r in results if r.status == "FAILED"]
    return 1 if failed else 0


def report(native, wine_results, hugo, out):
    """Prints the tables and the targets; returns the targets."""
    if native:
        print_table("Native (build/native/pagetrix)", list(native.values()), native.get("base"),
                    out)
    if wine_results:
        print_table("Wine (build/win/Pagetrix.exe)", list(wine_results.values()),
                    wine_results.get("base"), out)
    print_hugo(list(hugo.values()), native, out)
    goals = targets(native, wine_results, hugo)
    print_targets(goals, out)
    out("")
    out("Legend: median and min of the runs' wall times; peak = largest resident set of the program's")
    out("process; us/link = median / links; net us/link = (median - median of base) / links;")
    out("floor cp = cp -r of the same output folder (old-folders: + rm -r of as many old folders);")
    out("trivial = start of a Win32 program that does nothing, under the same Wine.")
    out("a start that reads the Ctrl key = the same program calling GetKeyState first, as")
    out("every run does; it loads user32.")
    out("Every run's output is compared byte for byte with the expected pages (FAILED if not).")
    return goals


def report_saved(path):
    """Prints a saved run again (with this version's targets), without running anything."""
    with open(path) as f:
        saved = json.load(f)
    stores = {"native": {}, "wine": {}, "hugo": {}}
    for data in saved["results"]:
        stores[data["platform"]][data["case"]] = Result.from_json(data)
    for line in saved["report"][:2]:
        print(line)
    report(stores["native"], stores["wine"], stores["hugo"], print)
    return 0


if __name__ == "__main__":
    sys.exit(main())
