"""Browser tests of the example portal: the program generates it for the example
users, then headless Chromium runs the node tests on the pages.

Two tiers share the node tests: the Windows build runs Pagetrix.exe under Wine
(CTest browser.portal), the native build runs build/native/pagetrix
(CTest browser.portal_native, selected by PAGETRIX_NATIVE=<program>). Each
tier runs them in headless Chromium and in Firefox ESR.
Run as `python3 tests/browser/run_portal.py`; needs `npm ci` in tests/browser
and the Debian packages chromium and firefox-esr. Screenshots land in
<build>/screenshots, named by tier and browser.
"""

import json
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "e2e"))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tools"))

import harness  # noqa: E402
from set_ini_keys import set_keys  # noqa: E402
from stage_portal import ASSETS, MENU_FILES, stage  # noqa: E402

CHROMIUM = os.environ.get("CHROMIUM_PATH", "/usr/bin/chromium")
FIREFOX = os.environ.get("FIREFOX_PATH", "/usr/bin/firefox-esr")
BROWSERS = ("chromium", "firefox")
NATIVE = os.environ.get("PAGETRIX_NATIVE")

# The runs the node tests look at: user, and the server given on the command line.
RUNS = {
    "schmidt": ("schmidt", None),
    "schmidt_aussen": ("schmidt", "FS-AUSSEN"),
    "mueller": ("mueller", None),
    "becker": ("becker", None),
}
# Pages whose entries once broke them (quotes, backslashes, "</script>",
# open comments), with long entries, symbols and an entry for group 4 only.
ENTRIES = os.path.join(HERE, "eintraege")
ENTRY_RUNS = {"eintraege": "schmidt", "eintraege_mueller": "mueller"}


def stage_entries(target):
    """The entry pages' command files and templates with the menu files beside them."""
    shutil.copytree(ENTRIES, target)
    for name in MENU_FILES:
        shutil.copyfile(os.path.join(ASSETS, name), os.path.join(target, name))
    return os.path.join(target, "Start.ini")


class PortalTier:
    """What both tiers do: stage the portal, generate every run, run node."""

    tier = None
    build = None

    def generate_all(self):
        runs = {name: self.generate(name, user, server)
                for name, (user, server) in RUNS.items()}
        start = stage_entries(os.path.join(self.tmp, "eintraege-src"))
        for name, user in ENTRY_RUNS.items():
            runs[name] = self.generate(name, user, None, start)
        return runs

    def portal_config(self, name, log):
        with open(os.path.join(self.portal, "Pagetrix.ini"), "rb") as f:
            return set_keys(f.read(), {
                ("Pagetrix", "Sichtbar"): "0",
                ("StartProg", "Name"): "",
                ("Protokolldatei", "Name"): log,
            })

    def test_portal_in_chromium_and_firefox(self):
        runs = self.generate_all()
        failed = [browser for browser in BROWSERS if not self.run_node(runs, browser)]
        self.assertEqual(failed, [], "browser tests failed (output above)")

    def run_node(self, runs, browser):
        """Runs the node tests in one browser; true when they pass."""
        self.assertTrue(os.path.isdir(os.path.join(HERE, "node_modules", "puppeteer-core")),
                        "run `npm ci` in tests/browser")
        self.assertTrue(os.path.exists(CHROMIUM), "install the Debian package chromium")
        self.assertTrue(os.path.exists(FIREFOX), "install the Debian package firefox-esr")
        env = dict(os.environ, PORTAL_RUNS=json.dumps(runs), PORTAL_TIER=self.tier,
                   BROWSER=browser, SCREENSHOTS=os.path.join(self.build, "screenshots"))
        print("==> browser tests in %s" % browser, flush=True)
        result = subprocess.run(["node", "--test", "--test-concurrency=1", "treemenu.test.js",
                                 "portal.test.js", "entries.test.js"],
                                cwd=HERE, env=env, stdin=subprocess.DEVNULL, timeout=800)
        return result.returncode == 0

    def output_folder(self, temp, log):
        """The one output folder of a run below `temp`, checked; returns its path."""
        outputs = os.listdir(os.path.join(temp, "Pagetrix"))
        self.assertEqual(len(outputs), 1)
        folder = os.path.join(temp, "Pagetrix", outputs[0])
        self.assertTrue(os.path.isfile(os.path.join(folder, "Pagetrix.htm")),
                        open(log, "rb").read().decode("cp1252") if os.path.exists(log) else log)
        for name in ("treemenu.js", "treemenu.css"):
            with open(os.path.join(harness.SOURCE, "assets", "treemenu", name), "rb") as f:
                self.assertEqual(open(os.path.join(folder, name), "rb").read(), f.read(), name)
        return folder


@unittest.skipIf(NATIVE, "native tier selected")
class ExamplePortal(PortalTier, harness.WineTestCase):
    """Pages that Pagetrix.exe generated under Wine."""

    tier = "win"
    build = harness.BUILD

    def setUp(self):
        super().setUp()
        self.portal = os.path.join(self.tmp, "portal")
        self.templates = stage(self.portal)

    def generate(self, name, user, server, start=None):
        """Runs Pagetrix.exe on the staged portal; returns the output folder."""
        log = os.path.join(self.tmp, name + ".log")
        ini = self.write_text(os.path.join(self.tmp, name + ".ini"),
                              self.portal_config(name, harness.winpath(log)), crlf=False)
        temp = os.path.join(self.tmp, name)
        os.makedirs(temp)
        args = 'INI="%s" USER=%s' % (harness.winpath(ini), user)
        if server:
            args += " SERVER=" + server
        args += ' "%s"' % harness.winpath(start or os.path.join(self.templates, "Start.ini"))
        code = self.run_pagetrix(args, env={"TMP": harness.winpath(temp),
                                            "TEMP": harness.winpath(temp)})
        self.assertEqual(code, 0, self.last_result)
        return self.output_folder(temp, log)

    def test_portal_text_files_are_windows_text(self):
        portal = os.path.join(harness.SOURCE, "examples", "portal")
        for folder in (portal, os.path.join(portal, "startseite")):
            for name in os.listdir(folder):
                if not name.lower().endswith((".ini", ".htm", ".css", ".js", ".txt")):
                    continue
                with open(os.path.join(folder, name), "rb") as f:
                    data = f.read()
                data.decode("cp1252")
                self.assertEqual(data.count(b"\n"), data.count(b"\r\n"), name)
                self.assertTrue(data.endswith(b"\r\n"), name)

    def test_portal_carries_no_copy_of_the_menu_files(self):
        # One copy: assets/treemenu; staging puts it beside the templates.
        templates = os.path.join(harness.SOURCE, "examples", "portal", "startseite")
        for name in ("treemenu.js", "treemenu.css"):
            self.assertFalse(os.path.exists(os.path.join(templates, name)), name)


@unittest.skipUnless(NATIVE, "set PAGETRIX_NATIVE to the native program")
class NativePortal(PortalTier, unittest.TestCase):
    """Pages that the native build/native/pagetrix generated."""

    tier = "native"
    build = os.path.dirname(NATIVE or "")

    def setUp(self):
        base = os.path.join(self.build, "browser-tmp")
        os.makedirs(base, exist_ok=True)
        self.tmp = tempfile.mkdtemp(prefix="portal-", dir=base)
        self.addCleanup(shutil.rmtree, self.tmp, True)
        self.portal = os.path.join(self.tmp, "portal")
        self.templates = stage(self.portal)

    def generate(self, name, user, server, start=None):
        log = os.path.join(self.tmp, name + ".log")
        ini = os.path.join(self.tmp, name + ".ini")
        with open(ini, "wb") as f:
            f.write(self.portal_config(name, log))
        temp = os.path.join(self.tmp, name)
        os.makedirs(temp)
        args = [NATIVE, "INI=" + ini, "USER=" + user]
        if server:
            args.append("SERVER=" + server)
        args.append(start or os.path.join(self.templates, "Start.ini"))
        result = subprocess.run(args, env=dict(os.environ, TMPDIR=temp + "/"), cwd=self.tmp,
                                stdin=subprocess.DEVNULL, capture_output=True, timeout=60)
        self.assertEqual(result.returncode, 0, result)
        return self.output_folder(temp, log)



if __name__ == "__main__":
    harness.main()
