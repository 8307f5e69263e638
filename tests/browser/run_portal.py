"""Browser tests of the example portal: Pagetrix.exe generates it under Wine
for the example users, then headless Chromium runs the node tests on it.

Run as `python3 tests/browser/run_portal.py` (CTest: browser.portal); needs
`npm install` in tests/browser and the Debian chromium package.
"""

import json
import os
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "e2e"))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tools"))

import harness  # noqa: E402
from set_ini_keys import set_keys  # noqa: E402

PORTAL = os.path.join(harness.SOURCE, "examples", "portal")
TEMPLATES = os.path.join(PORTAL, "startseite")
CHROMIUM = os.environ.get("CHROMIUM_PATH", "/usr/bin/chromium")

# The runs the node tests look at: user, and the server given on the command line.
RUNS = {
    "schmidt": ("schmidt", None),
    "schmidt_aussen": ("schmidt", "FS-AUSSEN"),
    "mueller": ("mueller", None),
}


class ExamplePortal(harness.WineTestCase):

    def generate(self, name, user, server):
        """Runs Pagetrix.exe on the example portal; returns the output folder."""
        with open(os.path.join(PORTAL, "Pagetrix.ini"), "rb") as f:
            config = set_keys(f.read(), {
                ("Pagetrix", "Sichtbar"): "0",
                ("StartProg", "Name"): "",
                ("Protokolldatei", "Name"): harness.winpath(os.path.join(self.tmp, name + ".log")),
            })
        ini = self.write_text(os.path.join(self.tmp, name + ".ini"), config, crlf=False)
        temp = os.path.join(self.tmp, name)
        os.makedirs(temp)
        args = 'INI="%s" USER=%s' % (harness.winpath(ini), user)
        if server:
            args += " SERVER=" + server
        args += ' "%s"' % harness.winpath(os.path.join(TEMPLATES, "Start.ini"))
        code = self.run_pagetrix(args, env={"TMP": harness.winpath(temp),
                                            "TEMP": harness.winpath(temp)})
        self.assertEqual(code, 0, self.last_result)
        outputs = os.listdir(os.path.join(temp, "Pagetrix"))
        self.assertEqual(len(outputs), 1)
        folder = os.path.join(temp, "Pagetrix", outputs[0])
        self.assertTrue(os.path.isfile(os.path.join(folder, "Pagetrix.htm")),
                        self.read_log(os.path.join(self.tmp, name + ".log")))
        return folder

    def test_portal_in_chromium(self):
        self.assertTrue(os.path.isdir(os.path.join(HERE, "node_modules", "playwright-core")),
                        "run `npm install` in tests/browser")
        self.assertTrue(os.path.exists(CHROMIUM), "install the Debian package chromium")
        runs = {name: self.generate(name, user, server)
                for name, (user, server) in RUNS.items()}
        env = dict(os.environ, PORTAL_RUNS=json.dumps(runs))
        result = subprocess.run(["node", "--test", "treemenu.test.js", "portal.test.js"],
                                cwd=HERE, env=env, stdin=subprocess.DEVNULL, timeout=600)
        self.assertEqual(result.returncode, 0, "browser tests failed (output above)")

    def test_template_folder_holds_the_menu_script_of_assets(self):
        # The portal carries copies, as an administrator's template folder would;
        # assets/treemenu stays the one source of both files.
        for name in ("treemenu.js", "treemenu.css"):
            with open(os.path.join(harness.SOURCE, "assets", "treemenu", name), "rb") as f:
                source = f.read()
            with open(os.path.join(TEMPLATES, name), "rb") as f:
                self.assertEqual(f.read(), source,
                                 "%s differs: cp assets/treemenu/%s %s" % (name, name, TEMPLATES))

    def test_portal_text_files_are_windows_text(self):
        for folder in (PORTAL, TEMPLATES):
            for name in os.listdir(folder):
                if not name.lower().endswith((".ini", ".htm", ".css", ".js")):
                    continue
                with open(os.path.join(folder, name), "rb") as f:
                    data = f.read()
                data.decode("cp1252")
                self.assertEqual(data.count(b"\n"), data.count(b"\r\n"), name)
                self.assertTrue(data.endswith(b"\r\n"), name)


if __name__ == "__main__":
    harness.main()
