"""The MSI package under Wine, in a fresh prefix of its own: made from the
release zip by tools/make_msi.py, installed silently, compared file by file
with the zip, run, upgraded by a package of the same and of a newer version,
refused when older, and removed without a trace.
"""

import os
import re
import shutil
import subprocess
import sys

import harness
from test_handbook_examples import error_lines
from test_release_package import build_zip, file_version, project_version, tree, unpack

sys.path.insert(0, os.path.join(harness.SOURCE, "tools"))
from make_msi import upgrade_below  # noqa: E402
from set_ini_keys import set_keys  # noqa: E402

OUT = os.path.join(harness.BUILD, "e2e-tmp", "msi")
MENU_ENTRY = "Pagetrix-Handbuch.lnk"


def make_msi(folder, version, name):
    path = os.path.join(OUT, name)
    subprocess.run([sys.executable, os.path.join(harness.SOURCE, "tools", "make_msi.py"), folder,
                    path, "--version", version], check=True, capture_output=True)
    return path


def msi_property(msi, name):
    table = subprocess.run(["msiinfo", "export", msi, "Property"], check=True,
                           capture_output=True, text=True).stdout
    return dict(line.split("\t", 1) for line in table.splitlines()[3:])[name]


class MsiPackage(harness.WineTestCase):
    wine_prefix = os.path.join(OUT, "wineprefix")

    @classmethod
    def setUpClass(cls):
        cls.version = project_version()
        zip_path = build_zip(OUT)
        cls.release = unpack(zip_path, os.path.join(OUT, "entpackt"))
        # Two packages of this version (each build has a product code of its
        # own) and one of the next version that Windows Installer tells apart.
        cls.newer = upgrade_below(cls.version) + ".0"
        cls.first = make_msi(cls.release, cls.version, "erste.msi")
        cls.second = make_msi(cls.release, cls.version, "zweite.msi")
        cls.next = make_msi(cls.release, cls.newer, "neuere.msi")
        shutil.rmtree(cls.wine_prefix, ignore_errors=True)

    @classmethod
    def tearDownClass(cls):
        cls.wine().stop()
        shutil.rmtree(OUT, ignore_errors=True)

    def drive_c(self, *parts):
        return os.path.join(self.wine().prefix, "drive_c", *parts)

    def msiexec(self, *args):
        return self.wine().run(["msiexec"] + list(args) + ["/qn"], timeout=300).returncode

    def installed(self):
        """The product codes of the installed products named Pagetrix."""
        listed = self.wine().run(["uninstaller", "--list"]).stdout.decode("utf-8", "replace")
        return re.findall(r"(?m)^(\{[0-9A-F-]+\})\|\|\|Pagetrix\r?$", listed)

    def menu_entries(self):
        return [os.path.join(d, n) for d, _, names in os.walk(self.drive_c())
                for n in names if n.lower() == MENU_ENTRY.lower()]

    def assert_installed(self, msi):
        self.assertEqual([msi_property(msi, "ProductCode")], self.installed())
        folder = self.drive_c("Program Files", "Pagetrix")
        self.assertEqual(tree(self.release), tree(folder), "the installed files are the zip's")
        entries = self.menu_entries()
        self.assertEqual(1, len(entries), entries)
        self.assertIn(b"Handbuch.html", self.read_bytes(entries[0]).replace(b"\0", b""))
        return folder

    def generate_portal(self, folder):
        """The installed program makes the installed example portal."""
        log = os.path.join(self.tmp, "portal.log")
        ini = os.path.join(self.tmp, "Pagetrix.ini")
        with open(os.path.join(folder, "Beispielportal", "Pagetrix.ini"), "rb") as f:
            data = set_keys(f.read(), {("StartProg", "Name"): "",
                                       ("Protokolldatei", "Name"): harness.winpath(log)})
        with open(ini, "wb") as f:
            f.write(data)
        exe = "C:\\Program Files\\Pagetrix\\Pagetrix.exe"
        start = "C:\\Program Files\\Pagetrix\\Beispielportal\\startseite\\Start.ini"
        code = self.run_pagetrix('/INI="%s" "%s"' % (harness.winpath(ini), start), exe=exe)
        self.assertEqual(0, code, self.last_result.stderr)
        lines = self.log_texts(log)
        self.assertEqual([], error_lines(lines), "\n".join(lines))
        (output,) = self.output_dirs()
        for page in ("Pagetrix.htm", "navigation.htm", "technik.htm", "treemenu.js"):
            self.assertTrue(os.path.isfile(os.path.join(output, page)), page)

    def test_install_run_upgrade_and_remove(self):
        # One version, from CMakeLists.txt to the program and the package.
        self.assertEqual(self.version, msi_property(self.first, "ProductVersion"))
        self.assertEqual((self.version, self.version),
                         file_version(self.read_bytes(os.path.join(self.release, "Pagetrix.exe"))))

        self.assertEqual(0, self.msiexec("/i", harness.winpath(self.first)))
        folder = self.assert_installed(self.first)
        self.generate_portal(folder)

        # Again, the same package; then another of the same version.
        self.assertEqual(0, self.msiexec("/i", harness.winpath(self.first)))
        self.assert_installed(self.first)
        self.assertEqual(0, self.msiexec("/i", harness.winpath(self.second)))
        self.assert_installed(self.second)
        # A newer one replaces it; the older one then refuses and changes nothing.
        self.assertEqual(self.newer, msi_property(self.next, "ProductVersion"))
        self.assertEqual(0, self.msiexec("/i", harness.winpath(self.next)))
        self.assert_installed(self.next)
        self.assertNotEqual(0, self.msiexec("/i", harness.winpath(self.first)))
        self.assert_installed(self.next)

        self.assertEqual(0, self.msiexec("/x", harness.winpath(self.next)))
        self.assertEqual([], self.installed())
        self.assertFalse(os.path.exists(folder), "files left behind")
        self.assertEqual([], self.menu_entries(), "Start-menu entry left behind")


if __name__ == "__main__":
    harness.main()
