"""Differential test of the check mode: random configurations, each checked
with PRUEFEN and then run for real once for every column of the check's
matrix (user, server, drive), and the two compared:

- start page made or not, and which page (the start program's recording);
- the run's exit code, and where it made its start page, the result its
  copies left (from its run log);
- the files of the run's output folder;
- how often each page holds each link entry, as written (the entry's token
  in the page's bytes) and as a browser shows it (tests/browser/page_entries.js:
  link tables parsed as HTML, tree menus built by running their script).

PAGETRIX_TARGET=native runs build/native/pagetrix (PAGETRIX_EXE); otherwise
Pagetrix.exe under Wine, as the end-to-end tests do.

    PAGETRIX_DIFF_SECONDS   time budget (default 300 natively, 60 under the sanitizers,
                            150 under Wine: the build sets PAGETRIX_DIFF_DEFAULT_SECONDS)
    PAGETRIX_DIFF_SEED      seed of the whole sequence (default 21)
    PAGETRIX_DIFF_FIRST     index of the first configuration (default 0)
    PAGETRIX_DIFF_CONFIGS   at most this many configurations
    PAGETRIX_DIFF_KEEP=1    keep every configuration's folder
    PAGETRIX_DIFF_VERBOSE=1 also print the pages a browser shows otherwise, as findings say

A divergence prints the seed and index (to run that one again with FIRST and
CONFIGS=1), the configuration's files, the check's view of the run and the
run's own.
"""

import base64
import json
import os
import random
import re
import shutil
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.abspath(os.path.join(HERE, "..", ".."))
sys.path.insert(0, os.path.join(SOURCE, "tests", "e2e"))
sys.path.insert(0, HERE)

import harness  # noqa: E402
import targets  # noqa: E402
from random_config import TOKEN, Generator  # noqa: E402

NATIVE = os.environ.get("PAGETRIX_TARGET") == "native"
BUDGET = float(os.environ.get("PAGETRIX_DIFF_SECONDS") or
               os.environ.get("PAGETRIX_DIFF_DEFAULT_SECONDS") or ("300" if NATIVE else "150"))
SEED = int(os.environ.get("PAGETRIX_DIFF_SEED", "21"))
FIRST = int(os.environ.get("PAGETRIX_DIFF_FIRST", "0"))
LIMIT = int(os.environ.get("PAGETRIX_DIFF_CONFIGS", "0")) or None
KEEP = os.environ.get("PAGETRIX_DIFF_KEEP") == "1"
VERBOSE = os.environ.get("PAGETRIX_DIFF_VERBOSE") == "1"
# How long a run that reports no start page is given to start the start
# program all the same. Natively the start program inherits the run's output
# pipes, which the run's end waits for: its recording is there by then.
# Under Wine the recorder has written it by the time the run ends, as a rule.
START_WAIT = 0.0 if NATIVE else 0.5
GUID = re.compile(r"^[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}$")


def program_bytes(text):
    """A JSON string of the check's report as the program's bytes."""
    return text.encode("latin-1")


class Runner:
    """Starts the program on a configuration and reads what a run left."""

    def __init__(self):
        self.target = targets.NativeTarget() if NATIVE else targets.WineTarget()
        # Where the program lies: natively its folder, under Wine drive Z:.
        self.own_server = (os.path.dirname(os.path.realpath(self.target.exe)).encode()
                           if NATIVE else b"Z:")

    def word(self, data):
        """An argument of the program's bytes as the target passes it."""
        return os.fsdecode(data) if NATIVE else data.decode("cp1252")

    def start(self, config, extra, recording):
        c = config
        env = self.target.temp_env(os.path.join(c.root, "temp"))
        env["RECORDER_OUT"] = self.target.path(recording)
        words = list(extra)
        if c.env_file:
            words.append("/ENV=" + self.word(c.path(c.env_file)))
        command_file = self.word(c.path(c.start)) if c.command_on_line else None
        return self.target.run(self.word(c.path(c.main)), command_file, env,
                               os.path.join(c.root, c.cwd), timeout=120, extra=words)

    def output_folders(self, config):
        base = os.path.join(config.root, "temp", "Pagetrix")
        if not os.path.isdir(base):
            return set()
        return {os.path.join(base, d) for d in os.listdir(base)
                if os.path.isdir(os.path.join(base, d))}

    def name_bytes(self, name):
        """A file name as the program spelled it (Wine keeps names as Unicode)."""
        return os.fsencode(name) if NATIVE else name.encode("cp1252", "replace")


class PageReader:
    """page_entries.js in one node process for the whole test."""

    def __init__(self):
        script = os.path.join(HERE, "page_entries_server.js")
        self.node = subprocess.Popen(["node", script], stdin=subprocess.PIPE,
                                     stdout=subprocess.PIPE, text=True)

    def read(self, pages):
        if not pages:
            return []
        self.node.stdin.write(json.dumps([base64.b64encode(p).decode() for p in pages]) + "\n")
        self.node.stdin.flush()
        return json.loads(self.node.stdout.readline())

    def close(self):
        self.node.stdin.close()
        self.node.wait()


def leading_token(text):
    """The entry's own token: its text starts with it; what follows may hold others."""
    match = TOKEN.match(text.lstrip(" ").encode("cp1252", "replace"))
    return match.group(0) if match else None


def browser_counts(page):
    counts = {}
    stray = []
    for entries in page.get("tables", []) + page.get("menus", []):
        for entry in entries:
            token = leading_token(entry.get("text") or "")
            if token is None:
                stray.append(entry.get("text"))
            else:
                counts[token] = counts.get(token, 0) + 1
    return counts, stray


# Findings that say a browser shows a page otherwise than the run writes it:
# the links of a placeholder in the title or inside a tag, links put into
# another section's table or menu.
BROWSER_FINDINGS = [b"im Titel der Seite", b"in einem HTML-Tag", b"steht in dem, was die Sektion"]


def explained(report, sections):
    """Whether a finding of the check says that a browser shows these sections' links otherwise."""
    for finding in report["findings"]:
        what = program_bytes(finding["what"])
        if not any(kind in what for kind in BROWSER_FINDINGS):
            continue
        section = program_bytes(finding["section"]).upper()
        for name in sections:
            if section == name.upper() or b'"' + name + b'"' in what:
                return True
    return False


COPY_LIST = "Alle Eintr\xe4ge der Sektion [KOPIEREN] kopieren."
COPY_INCOMPLETE = "Es konnten nicht alle Dateien in das Ausgabeverzeichnis umkopiert werden."
COPYING = "Kopiere Datei von: "
COPY_FAILED = "Fehler beim Kopieren."
COPY_ENTRY_INCOMPLETE = "Logischer Fehler in der Sektion [KOPIEREN]."


def result_of_copies(log):
    """The result of a run that made its start page, from its run log: 4 when
    the template folders' copy failed, else that of the last [Kopieren] entry."""
    lines = [re.sub(r"^\(-?\d+ ms\) ", "", line) for line in log.split("\r\n")]
    if any(line.startswith(COPY_INCOMPLETE) for line in lines):
        return 4
    if COPY_LIST not in lines:
        return None
    result = 0
    for line in lines[lines.index(COPY_LIST) + 1:]:
        if line.startswith(COPYING):
            result = 0
        elif line.startswith(COPY_FAILED) or line.startswith(COPY_ENTRY_INCOMPLETE):
            result = 4
    return result


class Stats:
    def __init__(self):
        self.configs = self.columns = self.runs = self.groups = 0
        self.pages = self.entries = self.browser_pages = 0
        self.divergences = 0
        self.made = 0
        self.explained = 0
        self.copy_results = {}  # the result its copies left, by runs that made a start page


def relative_page(path):
    """A start page's name inside its output folder (the part after the GUID folder)."""
    parts = path.replace("\\", "/").split("/")
    for i in range(len(parts) - 1, 0, -1):
        if GUID.match(parts[i]) and parts[i - 1] == "Pagetrix":
            return "/".join(parts[i + 1:])
    return path


class Differential:
    def __init__(self):
        self.runner = Runner()
        self.pages = PageReader()
        self.stats = Stats()
        base = os.path.join(os.path.dirname(os.path.realpath(
            self.runner.target.exe if NATIVE else harness.PAGETRIX_EXE)), "check-diff")
        shutil.rmtree(base, ignore_errors=True)
        os.makedirs(base)
        self.base = base

    def config(self, index):
        rng = random.Random("%d-%d" % (SEED, index))
        generator = Generator(rng, self.runner.target, NATIVE, self.runner.own_server)
        root = os.path.join(self.base, "c%05d" % index)
        config = generator.make(root)
        config.write()
        return config

    def check(self, config):
        before = self.runner.output_folders(config)
        result = self.runner.start(config, ["/PRUEFEN"],
                                   os.path.join(config.root, "rec", "check.bin"))
        new = self.runner.output_folders(config) - before
        if result.crashed() or result.timed_out or result.code not in (0, 1, 2) or len(new) != 1:
            return None, "the check ended with %r (%s new folders)\n%s" % (
                result.code, len(new), result.stderr.decode("latin-1")[-3000:])
        folder = new.pop()
        with open(os.path.join(folder, "Pruefbericht.json"), "rb") as f:
            report = json.loads(f.read().decode("ascii"))
        shutil.rmtree(folder, ignore_errors=True)
        return report, None

    def run_column(self, config, column, n):
        """What one real run did: exit code, start page, files and pages."""
        words = []
        user = program_bytes(column["user"])
        server = program_bytes(column["server"])
        if column["user_listed"] or user == b"(nicht eingetragen)":
            words.append("/USER=" + self.runner.word(user))
        if column["server_listed"] or server == b"(keiner)":
            words.append("/SERVER=" + self.runner.word(server))
        if column["cd"]:
            words.append("/CD")
        recording = os.path.join(config.root, "rec", "run%d.bin" % n)
        log_path = os.path.join(config.root, "rec", "run.log")
        if os.path.exists(log_path):
            os.remove(log_path)
        before = self.runner.output_folders(config)
        result = self.runner.start(config, words, recording)
        seen = {"words": words, "code": result.code, "crashed": result.crashed() or result.timed_out,
                "stderr": result.stderr.decode("latin-1")[-2000:]}
        wait = 60.0 if result.code == 0 else START_WAIT
        seen["start_page"] = None
        if harness.wait_for_file(recording, wait, poll=0.002):
            seen["start_page"] = relative_page(self.runner.target.recorded_start_page(recording))
        seen["copies"] = None
        if os.path.exists(log_path):
            with open(log_path, "rb") as f:
                seen["copies"] = result_of_copies(f.read().decode("cp1252"))
        new = self.runner.output_folders(config) - before
        seen["folders"] = len(new)
        seen["files"] = []
        seen["folder"] = None
        if len(new) == 1:
            folder = new.pop()
            seen["folder"] = folder
            seen["files"] = sorted(self.runner.name_bytes(e.name) for e in os.scandir(folder)
                                   if e.is_file(follow_symlinks=False))
        return seen

    def page_file(self, folder, page):
        """The bytes of a page the rows name, or None where the run left no such file."""
        if folder is None:
            return None
        for entry in os.scandir(folder):
            if self.page_key(self.runner.name_bytes(entry.name)) == self.page_key(page) and \
                    entry.is_file(follow_symlinks=False):
                with open(entry.path, "rb") as f:
                    return f.read()
        return None

    def page_key(self, page):
        """Pages that are one file: Windows ignores the case of ASCII letters."""
        return page if NATIVE else page.upper()

    def compare(self, config, report, index):
        rows = report["rows"]
        row_tokens = []
        for row in rows:
            match = TOKEN.search(program_bytes(row["text"]))
            row_tokens.append(match.group(0) if match else None)
        problems = []
        sections = {}
        for r, token in enumerate(row_tokens):
            if token is not None:
                sections.setdefault(token, set()).add(program_bytes(rows[r]["section"]))
        for r, token in enumerate(row_tokens):
            if token is None:
                problems.append("row %d has no token: %r" % (r, rows[r]))
        groups = report["groups"]
        self.stats.groups += len(groups)
        self.stats.made += sum(1 for g in groups if g["start_page_made"])
        pages_by_key = {}
        for row in rows:
            page = program_bytes(row["page"])
            pages_by_key.setdefault(self.page_key(page), page)
        runs = []
        for n, column in enumerate(report["columns"]):
            seen = self.run_column(config, column, n)
            runs.append((column, seen))
            self.stats.runs += 1
        self.stats.columns += len(report["columns"])
        # The browser's view of every page of every run, in one request.
        page_bytes = []
        for column, seen in runs:
            seen["pages"] = {}
            for key, page in pages_by_key.items():
                data = self.page_file(seen["folder"], page)
                if data is not None:
                    seen["pages"][key] = len(page_bytes)
                    page_bytes.append(data)
        views = self.pages.read(page_bytes)
        for column, seen in runs:
            group = groups[column["group"]]
            where = "column %s/%s%s (group %d)" % (column["user"], column["server"],
                                                  " CD" if column["cd"] else "", column["group"])
            diffs = []
            if seen["crashed"]:
                diffs.append("the run crashed: code %r\n%s" % (seen["code"], seen["stderr"]))
            made = seen["start_page"] is not None
            if made != group["start_page_made"]:
                diffs.append("start page made: check %s, run %s" % (group["start_page_made"], made))
            elif made and program_bytes(relative_page(group["start_page"])) != \
                    seen["start_page"].encode("cp1252", "replace"):
                diffs.append("start page: check %r, run %r" % (relative_page(group["start_page"]),
                                                               seen["start_page"]))
            if seen["code"] != group["exit_code"]:
                diffs.append("exit code: check %d, run %r" % (group["exit_code"], seen["code"]))
            elif made:
                copies = seen["copies"]
                self.stats.copy_results[copies] = self.stats.copy_results.get(copies, 0) + 1
                if copies != group["result"]:
                    diffs.append("result after the copies: check %d, run log %r" % (
                        group["result"], copies))
            if seen["folders"] > 1:
                diffs.append("the run left %d new output folders" % seen["folders"])
            check_files = sorted(program_bytes(f) for f in group["files"])
            if check_files != seen["files"]:
                diffs.append("files: check %r, run %r" % (check_files, seen["files"]))
            # Entries per page: as written, and as a browser shows them.
            expected = {}
            for r, row in enumerate(rows):
                count = group["shown"].get(str(r), 0)
                if count and row_tokens[r] is not None:
                    key = self.page_key(program_bytes(row["page"]))
                    page = expected.setdefault(key, {})
                    page[row_tokens[r]] = page.get(row_tokens[r], 0) + count
            for key, page in pages_by_key.items():
                want = expected.get(key, {})
                data = None
                if key in seen["pages"]:
                    data = page_bytes[seen["pages"][key]]
                written = {}
                if data is not None:
                    for token in TOKEN.findall(data):
                        written[token] = written.get(token, 0) + 1
                    self.stats.pages += 1
                    self.stats.entries += sum(written.values())
                if written != want:
                    diffs.append("page %r as written: check %r, run %r" % (page, want, written))
                    continue
                if data is None:
                    continue
                view = views[seen["pages"][key]]
                shown, stray = browser_counts(view)
                self.stats.browser_pages += 1
                if shown == want and not stray and not view.get("error"):
                    continue
                unexplained = [t for t in set(want) | set(shown)
                               if want.get(t, 0) != shown.get(t, 0)
                               and not explained(report, sections.get(t, ()))]
                # Entries without a token of their own come of markup a name
                # broke into: a finding must name a section of the page.
                page_sections = set()
                for token in want:
                    page_sections |= sections.get(token, set())
                if stray and explained(report, page_sections):
                    stray = []
                if not unexplained and not stray and not view.get("error"):
                    self.stats.explained += 1
                    if VERBOSE:
                        print("explained: configuration %d page %r: written %r, browser %r, "
                              "errors %r" % (index, page, want, shown, view.get("errors")))
                    continue
                diffs.append("page %r in a browser: check %r, browser %r, stray %r, errors %r"
                             % (page, want, shown, stray,
                                view.get("errors") or view.get("error")))
                for token in sorted(set(want) | set(shown)):
                    if want.get(token, 0) == shown.get(token, 0):
                        continue
                    for at in [m.start() for m in re.finditer(re.escape(token), data)][:3]:
                        diffs.append("    %s written after: %r" % (
                            token.decode(), data[max(0, at - 120):at + 12]))
            if diffs:
                problems.append("%s, run words %r:\n  %s" % (where, seen["words"],
                                                              "\n  ".join(diffs)))
            if seen["folder"] and not KEEP:
                shutil.rmtree(seen["folder"], ignore_errors=True)
        return problems

    def report(self, index, config, problems, report):
        self.stats.divergences += len(problems)
        print("\n==== DIVERGENCE: seed %d, configuration %d (PAGETRIX_DIFF_SEED=%d "
              "PAGETRIX_DIFF_FIRST=%d PAGETRIX_DIFF_CONFIGS=1 PAGETRIX_DIFF_KEEP=1)" % (
                  SEED, index, SEED, index))
        for problem in problems:
            print(problem)
        print("---- the check's report (rows and groups):")
        if report is not None:
            print(json.dumps({"columns": report["columns"], "groups": report["groups"],
                              "rows": report["rows"]}, indent=None)[:20000])
        print("---- the configuration (%s):" % config.root)
        print(config.listing()[:20000])
        sys.stdout.flush()

    def main(self):
        began = time.monotonic()
        index = FIRST
        while time.monotonic() - began < BUDGET and (LIMIT is None or index < FIRST + LIMIT):
            config = self.config(index)
            report, error = self.check(config)
            problems = [error] if error else self.compare(config, report, index)
            self.stats.configs += 1
            if problems:
                self.report(index, config, problems, report)
            elif not KEEP:
                shutil.rmtree(config.root, ignore_errors=True)
            index += 1
        self.pages.close()
        self.runner.target.stop()
        s = self.stats
        print("differential (%s, seed %d): %d configurations, %d columns, %d runs, %d groups "
              "(%d with a start page); "
              "%d pages with %d entries compared as written, %d in a browser (%d shown otherwise "
              "as the check's findings say); copies' results %s; %d divergences; "
              "%.0f s" % (self.runner.target.name, SEED, s.configs, s.columns, s.runs, s.groups, s.made,
                          s.pages, s.entries, s.browser_pages, s.explained,
                          ", ".join("%s: %d runs" % kv for kv in sorted(s.copy_results.items(),
                                                                        key=str)),
                          s.divergences,
                          time.monotonic() - began))
        return 1 if s.divergences else 0


if __name__ == "__main__":
    sys.exit(Differential().main())
