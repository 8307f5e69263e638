"""The release zip: built with CPack from the Windows build, checked file by
file, unpacked into a fresh folder and run from there under Wine on its own
example portal; its handbook rendered in headless Chromium.
"""

import glob
import os
import re
import shutil
import struct
import subprocess
import sys
import zipfile

import harness
from test_handbook_examples import error_lines

sys.path.insert(0, os.path.join(harness.SOURCE, "tools"))
from set_ini_keys import set_keys  # noqa: E402

BROWSER_TESTS = os.path.join(harness.SOURCE, "tests", "browser")
SCREENSHOTS = os.path.join(harness.BUILD, "screenshots")
MENU_FILES = ("treemenu.js", "treemenu.css")
TOP_FILES = ["CHANGELOG.md", "Handbuch.html", "LIESMICH.txt", "Pagetrix.exe", "treemenu.css",
             "treemenu.js"]


def project_version():
    with open(os.path.join(harness.SOURCE, "CMakeLists.txt"), encoding="utf-8") as f:
        return re.search(r"project\(\s*Pagetrix\s+VERSION\s+([0-9.]+)", f.read()).group(1)


def tree(folder):
    """{relative path: bytes} of every file below folder."""
    files = {}
    for path in glob.glob(os.path.join(folder, "**", "*"), recursive=True):
        if os.path.isfile(path):
            with open(path, "rb") as f:
                files[os.path.relpath(path, folder).replace(os.sep, "/")] = f.read()
    return files


class ReleasePackage(harness.WineTestCase):

    @classmethod
    def setUpClass(cls):
        # One package for all tests: handbook first, then CPack into a folder of its own.
        cls.version = project_version()
        cls.out = os.path.join(harness.BUILD, "e2e-tmp", "package")
        shutil.rmtree(cls.out, ignore_errors=True)
        os.makedirs(cls.out)
        subprocess.run(["cmake", "--build", harness.BUILD, "--target", "pagetrix", "handbook"],
                       check=True, capture_output=True)
        result = subprocess.run(["cpack", "-G", "ZIP", "-B", cls.out, "--config",
                                 os.path.join(harness.BUILD, "CPackConfig.cmake")],
                                capture_output=True, text=True)
        assert result.returncode == 0, result.stdout + result.stderr
        cls.zip = os.path.join(cls.out, "Pagetrix-%s-win64.zip" % cls.version)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.out, ignore_errors=True)

    def unpack(self):
        folder = os.path.join(self.tmp, "entpackt")
        with zipfile.ZipFile(self.zip) as z:
            z.extractall(folder)
        return os.path.join(folder, "Pagetrix-%s-win64" % self.version)

    def test_zip_holds_exactly_the_release_files(self):
        self.assertTrue(os.path.isfile(self.zip), os.listdir(self.out))
        with zipfile.ZipFile(self.zip) as z:
            names = [n for n in z.namelist() if not n.endswith("/")]
        prefix = "Pagetrix-%s-win64/" % self.version
        self.assertTrue(all(n.startswith(prefix) for n in names), names)
        names = sorted(n[len(prefix):] for n in names)
        portal = sorted(["Beispielportal/" + p
                         for p in tree(os.path.join(harness.SOURCE, "examples", "portal"))]
                        + ["Beispielportal/startseite/" + n for n in MENU_FILES])
        self.assertEqual(sorted(TOP_FILES + portal), names)

    def test_files_are_those_of_the_build_and_the_sources(self):
        root = self.unpack()
        files = tree(root)
        self.assertEqual(self.read_bytes(harness.PAGETRIX_EXE), files["Pagetrix.exe"])
        for name in MENU_FILES:
            shipped = self.read_bytes(os.path.join(harness.SOURCE, "assets", "treemenu", name))
            self.assertEqual(shipped, files[name])
            self.assertEqual(shipped, files["Beispielportal/startseite/" + name])
        self.assertEqual(self.read_bytes(os.path.join(harness.SOURCE, "CHANGELOG.md")),
                         files["CHANGELOG.md"])
        for path, data in tree(os.path.join(harness.SOURCE, "examples", "portal")).items():
            self.assertEqual(data, files["Beispielportal/" + path], path)
        readme = files["LIESMICH.txt"]
        self.assertEqual(readme.count(b"\n"), readme.count(b"\r\n"))
        text = readme.decode("cp1252")
        self.assertTrue(text.startswith("Pagetrix %s\r\n" % self.version), text[:40])
        self.assertIn("Handbuch.html", text)
        handbook = files["Handbuch.html"].decode("utf-8")
        self.assertIn("<title>Pagetrix %s – Handbuch für Administratoren</title>" % self.version,
                      handbook)
        self.assertIn('id="rechtetabelle"', handbook)
        self.assertNotIn("<!-- datei:", handbook)
        # Self-contained: no style sheet or image fetched from elsewhere.
        self.assertNotRegex(handbook, r'<link[^>]+href="(?!data:)')

    def test_program_carries_the_project_version(self):
        exe = self.read_bytes(harness.PAGETRIX_EXE)
        parts = [int(p) for p in self.version.split(".")]
        fixed = exe.find(struct.pack("<I", 0xFEEF04BD))
        self.assertGreater(fixed, 0, "no version resource")
        file_ms, file_ls, product_ms, product_ls = struct.unpack("<IIII", exe[fixed + 8:fixed + 24])
        expected = ((parts[0] << 16) | parts[1], (parts[2] << 16) | parts[3])
        self.assertEqual(expected, (file_ms, file_ls))
        self.assertEqual(expected, (product_ms, product_ls))
        comma = ",".join(str(p) for p in parts)
        # The about box's text as it stands in its dialog template.
        self.assertIn(("Pagetrix Version %s" % comma).encode("utf-16-le") + b"\0\0", exe)
        self.assertIn("FileVersion".encode("utf-16-le"), exe)
        self.assertIn(comma.encode("utf-16-le"), exe)

    def test_unpacked_package_generates_its_example_portal(self):
        root = self.unpack()
        portal = os.path.join(root, "Beispielportal")
        log = os.path.join(self.tmp, "portal.log")
        ini = os.path.join(portal, "Pagetrix.ini")
        with open(ini, "rb") as f:
            data = set_keys(f.read(), {("Pagetrix", "Sichtbar"): "0",
                                       ("StartProg", "Name"): "",
                                       ("Protokolldatei", "Name"): harness.winpath(log)})
        with open(ini, "wb") as f:
            f.write(data)
        # The way LIESMICH.txt tells an administrator to try it, from a batch file.
        batch = os.path.join(self.tmp, "probe.cmd")
        self.write_text(batch, "@echo off\nset TMP=%s\nset TEMP=%s\ncd /d \"%s\"\n"
                        "Pagetrix.exe /INI=%s %s\n" % (
                            harness.winpath(self.temp), harness.winpath(self.temp),
                            harness.winpath(root), harness.winpath(ini),
                            harness.winpath(os.path.join(portal, "startseite", "Start.ini"))))
        result = self.wine().run(["cmd", "/c", harness.winpath(batch)], timeout=120)
        self.assertEqual(0, result.returncode, result.stderr)
        lines = self.log_texts(log)
        self.assertEqual([], error_lines(lines), "\n".join(lines))
        # Everything read or copied came from the unpacked folder.
        unpacked = harness.winpath(root).upper()
        read = [l for l in lines if l.startswith(("Vorlagen INI-Datei", "Vorlagen HTML-Datei",
                                                  "Kopiere Datei von", "Lese Kommandodatei"))]
        self.assertTrue(read)
        for line in read:
            self.assertIn(unpacked, line.upper(), line)
        dirs = self.output_dirs()
        self.assertEqual(1, len(dirs))
        made = sorted(os.listdir(dirs[0]))
        pages = ["hilfe.htm", "navigation.htm", "personal.htm", "technik.htm", "vertrieb.htm",
                 "willkommen.htm"]
        for name in ["Pagetrix.htm", "treemenu.js", "treemenu.css", "portal.css"] + pages:
            self.assertIn(name, made)
        self.assertEqual([], [n for n in made if n.lower().endswith(".ini")])
        frameset = self.read_bytes(os.path.join(dirs[0], "Pagetrix.htm")).decode("cp1252")
        self.assertIn('<frame src="navigation.htm" name="Navigation">', frameset)
        navigation = self.read_bytes(os.path.join(dirs[0], "navigation.htm")).decode("cp1252")
        self.assertIn("tree.put(", navigation)

    def test_handbook_in_chromium(self):
        self.assertTrue(os.path.isdir(os.path.join(BROWSER_TESTS, "node_modules",
                                                   "playwright-core")),
                        "run `npm install` in tests/browser")
        root = self.unpack()
        env = dict(os.environ, HANDBOOK_HTML=os.path.join(root, "Handbuch.html"),
                   SCREENSHOTS=SCREENSHOTS)
        result = subprocess.run(["node", "--test", "handbook.test.js"], cwd=BROWSER_TESTS,
                                env=env, stdin=subprocess.DEVNULL, timeout=300)
        self.assertEqual(0, result.returncode, "handbook browser tests failed (output above)")
        for name in ("handbuch-erste-seite.png", "handbuch-rechtetabelle.png"):
            self.assertTrue(os.path.isfile(os.path.join(SCREENSHOTS, name)), name)


if __name__ == "__main__":
    harness.main()
