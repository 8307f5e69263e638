"""The release zip: built with CPack from the Windows build, checked file by
file, unpacked into a fresh folder and run from there under Wine on its own
example portal, the way its documents say; every path the documents name is
in it; its handbook rendered in headless Chromium. The MSI made from it has
tests of its own (test_msi_package.py).
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
HANDBOOK = os.path.join(harness.SOURCE, "docs", "handbuch")
# Where the documents tell an administrator to unpack or install the package,
# and the current folder of their commands, which run in the package's folder.
INSTALL_FOLDERS = ("C:\\Pagetrix", "%ProgramFiles%\\Pagetrix", "%CD%")


def project_version():
    with open(os.path.join(harness.SOURCE, "CMakeLists.txt"), encoding="utf-8") as f:
        return re.search(r"project\(\s*Pagetrix\s+VERSION\s+([0-9.]+)", f.read()).group(1)


def build_zip(out):
    """The release zip, built into the folder `out` (handbook first, then CPack)."""
    shutil.rmtree(out, ignore_errors=True)
    os.makedirs(out)
    subprocess.run(["cmake", "--build", harness.BUILD, "--target", "pagetrix", "handbook"],
                   check=True, capture_output=True)
    result = subprocess.run(["cpack", "-G", "ZIP", "-B", out, "--config",
                             os.path.join(harness.BUILD, "CPackConfig.cmake")],
                            capture_output=True, text=True)
    assert result.returncode == 0, result.stdout + result.stderr
    return os.path.join(out, "Pagetrix-%s-win64.zip" % project_version())


def unpack(zip_path, folder):
    """The zip unpacked into `folder`; returns its top folder."""
    with zipfile.ZipFile(zip_path) as z:
        z.extractall(folder)
    return os.path.join(folder, os.path.basename(zip_path)[:-len(".zip")])


def file_version(exe):
    """(file version, product version) of a program's version resource, as "a.b.c.d"."""
    fixed = exe.find(struct.pack("<I", 0xFEEF04BD))
    assert fixed > 0, "no version resource"
    words = struct.unpack("<IIII", exe[fixed + 8:fixed + 24])
    text = ["%d.%d.%d.%d" % (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)
            for ms, ls in (words[0:2], words[2:4])]
    return tuple(text)


def package_path(token):
    """The path in the package that a token of a document names, or None.

    A path below a folder the documents install or unpack the package to is
    one, and so is every relative path with a folder in it: the documents'
    commands run in the package's folder. Absolute and rooted paths, network
    and environment paths, addresses, options, HTML and elided paths
    ("...\\Start.ini") are the administrator's, not the package's."""
    if "..." in token:
        return None
    token = token.strip(".,;:()'\"")
    if not token or "://" in token or token.startswith("<"):
        return None
    for folder in INSTALL_FOLDERS:
        if token.lower() == folder.lower() or token.lower().startswith(folder.lower() + "\\"):
            return token[len(folder):].strip("\\")
    if re.match(r"^([A-Za-z]:|[\\/%-])", token):
        return None
    if "\\" in token or "/" in token:
        return token.strip("\\/")
    return None


def code_spans(markdown):
    """The code spans of a chapter outside its code blocks, bars unescaped."""
    markdown = re.sub(r"(?ms)^(```|~~~).*?^\1", "", markdown)
    return [m.group(1).replace("\\|", "|") for m in re.finditer(r"`([^`\n]+)`", markdown)]


def tokens(text):
    return re.split(r'[\s"=|]+', text)


def named_paths(root):
    """(document, path in the package) for every path the handbook, LIESMICH.txt
    and the example portal's README.txt of the unpacked package at `root` name."""
    named = []
    for chapter in sorted(glob.glob(os.path.join(HANDBOOK, "[0-9][0-9]-*.md"))):
        name = os.path.basename(chapter)
        with open(chapter, encoding="utf-8") as f:
            text = f.read()
        for span in code_spans(text):
            if not span.startswith("<"):
                named += [(name, p) for p in map(package_path, tokens(span)) if p is not None]
        # The examples it shows, which the package holds as Beispiele.
        for example in re.findall(r"<!-- datei: beispiele/(\S+) -->", text):
            named.append((name, "Beispiele/" + example))
        # The table of the package's files names them bare.
        table = re.search(r"(?ms)^## Das Paket\n.*?^(\|.*?)\n\n", text)
        if table:
            for row in table.group(1).split("\n")[2:]:
                first = row.strip("|").split("|")[0]
                named += [(name, n.strip("\\")) for n in re.findall(r"`([^`]+)`", first)]
    for document in ("LIESMICH.txt", "Beispielportal/README.txt"):
        with open(os.path.join(root, document), "rb") as f:
            text = f.read().decode("cp1252")
        named += [(document, p) for p in map(package_path, tokens(text)) if p is not None]
        listing = re.search(r"(?s)Inhalt des Pakets\r\n-+\r\n(.*?)\r\n\r\n", text)
        if listing:
            named += [(document, line.split()[0].strip("\\"))
                      for line in listing.group(1).split("\r\n")]
    return named


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
        cls.zip = build_zip(cls.out)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.out, ignore_errors=True)

    def unpack(self):
        return unpack(self.zip, os.path.join(self.tmp, "entpackt"))

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
        examples = ["Beispiele/" + p for p in tree(os.path.join(HANDBOOK, "beispiele"))]
        self.assertEqual(sorted(TOP_FILES + portal + examples), names)

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
        for path, data in tree(os.path.join(HANDBOOK, "beispiele")).items():
            self.assertEqual(data, files["Beispiele/" + path], path)
        # The changes of this version come first.
        changes = files["CHANGELOG.md"].decode("utf-8")
        self.assertEqual(self.version, re.search(r"(?m)^## (\S+)$", changes).group(1))
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
        self.assertEqual((self.version, self.version), file_version(exe))
        comma = ",".join(str(p) for p in parts)
        # The about box's text as it stands in its dialog template.
        self.assertIn(("Pagetrix Version %s" % comma).encode("utf-16-le") + b"\0\0", exe)
        self.assertIn("FileVersion".encode("utf-16-le"), exe)
        self.assertIn(comma.encode("utf-16-le"), exe)

    def quiet_portal(self, root):
        """The unpacked portal's main configuration without a browser, with the
        run log in the test folder; returns the log's path."""
        log = os.path.join(self.tmp, "portal.log")
        ini = os.path.join(root, "Beispielportal", "Pagetrix.ini")
        with open(ini, "rb") as f:
            data = set_keys(f.read(), {("Pagetrix", "Sichtbar"): "0",
                                       ("StartProg", "Name"): "",
                                       ("Protokolldatei", "Name"): harness.winpath(log)})
        with open(ini, "wb") as f:
            f.write(data)
        return log

    def run_in_package(self, root, line):
        """Runs a command line of a document in a console in the package's folder."""
        for old in self.output_dirs():
            shutil.rmtree(old)
        batch = os.path.join(self.tmp, "probe.cmd")
        self.write_text(batch, "@echo off\nset TMP=%s\nset TEMP=%s\ncd /d \"%s\"\n%s\n" % (
            harness.winpath(self.temp), harness.winpath(self.temp), harness.winpath(root), line))
        return self.wine().run(["cmd", "/c", harness.winpath(batch)], timeout=120)

    def assert_portal_made_from(self, root, log):
        """A clean run log, every input from the package, the portal's pages."""
        lines = self.log_texts(log)
        self.assertEqual([], error_lines(lines), "\n".join(lines))
        unpacked = harness.winpath(root).upper()
        read = [l for l in lines if l.startswith(("Vorlagen INI-Datei", "Vorlagen HTML-Datei",
                                                  "Kopiere Datei von", "Lese Kommandodatei"))]
        self.assertTrue(read)
        for line in read:
            # A relative path is one in the package's folder, where it ran.
            path = line.split("'")[1]
            if re.match(r"^([A-Za-z]:|\\\\)", path):
                self.assertTrue(path.upper().startswith(unpacked), line)
        dirs = self.output_dirs()
        self.assertEqual(1, len(dirs))
        made = sorted(os.listdir(dirs[0]))
        pages = ["hilfe.htm", "navigation.htm", "personal.htm", "technik.htm", "vertrieb.htm",
                 "willkommen.htm"]
        for name in ["Pagetrix.htm", "treemenu.js", "treemenu.css", "portal.css"] + pages:
            self.assertIn(name, made)
        self.assertEqual([], [n for n in made if n.lower().endswith(".ini")])
        frameset = self.read_bytes(os.path.join(dirs[0], "Pagetrix.htm")).decode("cp1252")
        self.assertIn('<frame src="navigation.htm" name="Navigation" title="Navigation">', frameset)
        navigation = self.read_bytes(os.path.join(dirs[0], "navigation.htm")).decode("cp1252")
        self.assertIn("tree.put(", navigation)
        return dirs[0]

    def test_unpacked_package_generates_its_example_portal_as_liesmich_says(self):
        root = self.unpack()
        log = self.quiet_portal(root)
        text = self.read_bytes(os.path.join(root, "LIESMICH.txt")).decode("cp1252")
        # Step 2, with the folder it was unpacked to.
        line = re.search(r"(?m)^ +(Pagetrix\.exe /INI=C:\\Pagetrix\\\S+ \S+Start\.ini)\r$",
                         text).group(1)
        result = self.run_in_package(root, line.replace("C:\\Pagetrix", harness.winpath(root)))
        self.assertEqual(0, result.returncode, result.stderr)
        self.assert_portal_made_from(root, log)

    def test_portal_readme_commands_run_as_written_in_the_package_folder(self):
        root = self.unpack()
        log = self.quiet_portal(root)
        text = self.read_bytes(os.path.join(root, "Beispielportal", "README.txt")).decode("cp1252")
        lines = re.findall(r"(?m)^ +(Pagetrix\.exe .*)\r$", text)
        self.assertEqual(4, len(lines), text)
        for line in lines:
            result = self.run_in_package(root, line)
            if "/PRUEFEN" in line:
                # No error in the example portal; its report in the output folder.
                self.assertIn(result.returncode, (0, 1), line)
                (folder,) = self.output_dirs()
                self.assertTrue(os.path.isfile(os.path.join(folder, "Pruefbericht.htm")), line)
                continue
            self.assertEqual(0, result.returncode, "%s\n%s" % (line, result.stderr))
            folder = self.assert_portal_made_from(root, log)
            technik = self.read_bytes(os.path.join(folder, "technik.htm")).decode("cp1252")
            self.assertEqual("/CD" not in line, "Softwarekatalog" in technik, line)

    def test_every_path_the_documents_name_is_in_the_package(self):
        root = self.unpack()
        files = {p.lower() for p in tree(root)}
        folders = {"/".join(p.split("/")[:i]) for p in files for i in range(len(p.split("/")))}
        named = named_paths(root)
        for document, path in named:
            print("%-28s %s" % (document, path or "(the package's folder)"))
        # The ones that matter most, so that extracting them cannot go quiet.
        for expected in ("Beispiele/einfach/aufruf.txt", "Beispielportal/README.txt",
                         "Beispielportal/startseite/Start.ini", "Handbuch.html"):
            self.assertIn(expected.lower(), [p.replace("\\", "/").lower() for _, p in named])
        missing = [(d, p) for d, p in named
                   if p.replace("\\", "/").lower() not in files | folders]
        self.assertEqual([], missing, "paths the documents name that the package lacks")

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
