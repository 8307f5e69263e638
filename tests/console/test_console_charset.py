"""The native build's console output in the user's character set.

The usage text and message boxes are Windows-1252; a UTF-8 locale gets them
in UTF-8, any other locale gets the bytes. The result window's path is the
system's own name and is printed as it is. Files keep their bytes.
"""
import argparse
import os
import subprocess
import sys
import tempfile
import unittest

EXE = os.environ["PAGETRIX_NATIVE"]
SOURCE = os.environ["PAGETRIX_SOURCE"]


def run(args, locale, env=None):
    full = {k: v for k, v in os.environ.items() if not k.startswith("LC_") and k != "LANG"}
    full.update(env or {})
    full["LC_ALL"] = locale
    return subprocess.run([EXE] + args, env=full, stdin=subprocess.DEVNULL,
                          stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=60)


class ConsoleCharset(unittest.TestCase):
    def setUp(self):
        with open(os.path.join(SOURCE, "src", "res", "usage_text.txt"), "rb") as f:
            self.usage = f.read() + b"\r\n"
        self.assertIn(b"\xfc", self.usage, "the usage text should have an umlaut to convert")

    def test_usage_text_is_utf8_in_a_utf8_locale(self):
        result = run(["?"], "C.UTF-8")
        self.assertEqual(result.stdout, self.usage.decode("cp1252").encode("utf-8"))

    def test_usage_text_keeps_its_bytes_in_the_c_locale(self):
        for locale in ("C", "POSIX"):
            self.assertEqual(run(["?"], locale).stdout, self.usage, locale)

    def test_page_path_and_pages_keep_their_bytes(self):
        with tempfile.TemporaryDirectory() as tmp:
            temp = os.path.join(tmp, "Pr\u00fcfung").encode("utf-8")
            os.makedirs(temp)
            seiten = os.path.join(tmp, "seiten")
            os.makedirs(seiten)
            page = b"<html><body>M\xe4rz PX_LINKS</body></html>\r\n"
            with open(os.path.join(seiten, "seite.htm"), "wb") as f:
                f.write(page)
            with open(os.path.join(seiten, "Start.ini"), "wb") as f:
                f.write(b"[Vorlage]\r\nVorlage=seite.htm\r\n[PX_LINKS]\r\n"
                        b"0=Gr\xfc\xdfe|gruss.htm\r\n")
            ini = os.path.join(tmp, "Pagetrix.ini")
            with open(ini, "wb") as f:
                f.write(b"[Pagetrix]\r\nSichtbar=1\r\nLoeschStd=-1\r\n")
            result = run(["INI=" + ini, os.path.join(seiten, "Start.ini")], "C.UTF-8",
                         {"TMPDIR": os.fsdecode(temp) + "/"})
            self.assertEqual(result.returncode, 0, result.stderr)
            path = result.stdout.rstrip(b"\n")
            # The UTF-8 name of the temp directory, not converted a second time.
            self.assertTrue(path.startswith(temp + b"/"), result.stdout)
            with open(path, "rb") as f:
                written = f.read()
            self.assertIn(b"M\xe4rz", written)
            self.assertIn(b"Gr\xfc\xdfe", written)


if __name__ == "__main__":
    argparse.ArgumentParser(description=__doc__.splitlines()[0]).parse_args()
    unittest.main(verbosity=2, argv=[sys.argv[0]])
