"""Hostile and unlucky inputs: every row is one run of the real program.

Each row builds a small world in a folder of its own (main configuration,
command files, templates, an old output base, files "outside" the program's
business), runs the program once on it and checks the stated outcome:

- the run ends by itself within the bound (no hang) and without a crash;
- the run log holds the row's messages, and failure is reported as failure
  (no start program launched when generation stops; the exit code is 0 or the
  generator's result);
- every file and folder the run did not create is, byte for byte and
  attribute for attribute, as it was (a snapshot of the row's whole folder
  before and after), apart from old output folders the row lets it delete;
  new files appear only in the run's own output folder, the run log and the
  places the row names.

The same table runs against the native build (PAGETRIX_TARGET=native) and
against Pagetrix.exe under Wine.
"""

import hashlib
import os
import re
import shutil
import stat
import sys
import tempfile
import time
import unittest

import harness
import targets

TARGET = targets.from_environment()
NATIVE = TARGET.name == "native"
# Long enough for the slowest row on a busy machine (sanitizer builds set
# more): a run beyond it counts as a hang.
BOUND_SECONDS = int(os.environ.get("PAGETRIX_HOSTILE_BOUND", "60" if NATIVE else "90"))

GUID_OLD = "0F3A9C1E-5B7D-4E21-9A0B-C3D4E5F60718"
GUID_OTHER = "11111111-2222-4333-8444-555555555555"
HOURS = 3600

TEMPLATE = "<html>\n<head>\n<title>Start</title>\n</head>\n<body>\nLINKS\n</body>\n</html>\n"
PAGE_COMMANDS = "[Vorlage]\nVorlage=seite.htm\n[Links]\n1=Start|http://intranet/\n"

MSG_COMMAND_FILE = "Fehler in der Kommandodatei: '%s'"
MSG_NO_TEMPLATE = "Keine Vorlage in der Kommandodatei: '%s' angegeben."
MSG_OUTPUT_DIR = "Das Ausgabeverzeichnis kann nicht angelegt werden."
MSG_COPY_INCOMPLETE = "Es konnten nicht alle Dateien in das Ausgabeverzeichnis umkopiert werden."
MSG_WRITE_FAILED = "Fehler beim Schreiben der Datei: '%s'"
MSG_UNRESOLVED = "Die Umgebungsvariable: \"%s\" konnte nicht aufgelöst werden."
MSG_START_PAGE_MISSING = "Die Startseite wurde nicht erzeugt, es wird kein Programm gestartet: '%s'"
MSG_FRAME_PAGE_MISSING = "Ein Rahmen der Startseite zeigt eine Seite, die nicht erzeugt wurde: '%s'"
MSG_DELETING = "Lösche Verzeichnis"
# A run log of an earlier run: its first line has the form every run log begins with.
EARLIER_LOG = "(0 ms) 01.12.2026 08:00:00\n(3 ms) Aktueller User: 'meier', Rechte: ''\n"
NOBODY = 65534


def msg_page_failed(template, output):
    return ["Es kann keine HTML-Datei gebildet werden.", "Vorlagedatei: '%s'" % template,
            "Ausgabedatei: '%s'" % output]


def msg_copy_failed(source, target):
    return ["Fehler beim Kopieren.", "Von: '%s'" % source, "Nach: '%s'" % target]


# ---- the snapshot of a row's folder ----

def _xattrs(path):
    try:
        names = os.listxattr(path, follow_symlinks=False)
    except OSError:
        return ()
    found = []
    for name in sorted(names):
        try:
            found.append((name, os.getxattr(path, name, follow_symlinks=False)))
        except OSError:
            pass
    return tuple(found)


def _digest(path, size):
    if size > 64 << 20:  # the large sparse files: their size and time tell enough
        return None
    h = hashlib.sha256()
    with open(path, "rb") as f:
        for block in iter(lambda: f.read(1 << 20), b""):
            h.update(block)
    return h.hexdigest()


def snapshot(root):
    """Every entry below root (links not followed) with what identifies its state."""
    entries = {}
    for folder, dirs, files in os.walk(root, followlinks=False):
        for name in dirs + files:
            path = os.path.join(folder, name)
            st = os.lstat(path)
            rel = os.path.relpath(path, root)
            mode = stat.S_IMODE(st.st_mode)
            if stat.S_ISLNK(st.st_mode):
                entries[rel] = ("link", os.readlink(path))
            elif stat.S_ISDIR(st.st_mode):
                entries[rel] = ("dir", mode, st.st_uid, _xattrs(path))
            elif stat.S_ISREG(st.st_mode):
                entries[rel] = ("file", mode, st.st_uid, st.st_size, st.st_mtime_ns,
                                _digest(path, st.st_size), _xattrs(path))
            else:
                entries[rel] = ("special", stat.S_IFMT(st.st_mode), mode)
    return entries


def _under(rel, prefixes):
    return any(rel == p or rel.startswith(p + os.sep) for p in prefixes)


# ---- one row ----

class Case:
    """The world of one row and what the row expects of the run."""

    def __init__(self, root):
        self.root = root
        self.sep = TARGET.sep
        self.temp = os.path.join(root, "temp")
        self.base = os.path.join(self.temp, "Pagetrix")
        os.makedirs(self.temp)
        self.ini = "conf/Pagetrix.ini"
        self.command_file = "cfg/start.ini"
        self.log = "run.log"
        self.log_raw = None      # the run log path written as it stands (relative, a device)
        self.recording = os.path.join(root, "recording.bin")
        self.env = {}
        self.pagetrix_keys = {"Sichtbar": "0", "LoeschStd": "-1"}
        self.config_extra = ""
        self.command_arg = None  # the command file as the program is given it
        # What the row expects.
        self.messages = []       # blocks of consecutive run log lines ({OUT}: output prefix)
        self.absent = []         # texts no run log line may hold
        self.launched = True     # the start program is started on a page of the run
        self.pages = []          # files the run's own output folder must hold
        self.result = 0          # the generator's result, a tolerated exit code
        self.may_delete = []     # paths (relative to root) the run may remove
        self.may_create = []     # paths outside the output folder the run may create
        self.holds = []          # (path, share) kept open by another program during the run
        self.log_expected = True
        self.skip = None

    # The program's view of a path below the row's folder.
    def p(self, rel=""):
        path = TARGET.path(os.path.join(self.root, rel))
        return path

    def full(self, rel):
        return os.path.join(self.root, rel)

    def write(self, rel, data, crlf=True, readonly=False, age=None):
        path = self.full(rel)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        raw = harness.cp1252(data)
        if crlf:
            raw = raw.replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")
        with open(path, "wb") as f:
            f.write(raw)
        if readonly:
            os.chmod(path, 0o444)
        if age is not None:
            self.age(rel, age)
        return path

    def age(self, rel, seconds):
        """Sets the last-write (and access) time of a path `seconds` into the past."""
        when = time.time() - seconds
        os.utime(self.full(rel), (when, when), follow_symlinks=False)

    def mkdir(self, rel):
        os.makedirs(self.full(rel), exist_ok=True)
        return self.full(rel)

    def fifo(self, rel):
        os.makedirs(os.path.dirname(self.full(rel)), exist_ok=True)
        os.mkfifo(self.full(rel))

    def sparse(self, rel, size):
        os.makedirs(os.path.dirname(self.full(rel)), exist_ok=True)
        with open(self.full(rel), "wb") as f:
            f.truncate(size)

    def symlink(self, rel, target):
        os.makedirs(os.path.dirname(self.full(rel)), exist_ok=True)
        os.symlink(target, self.full(rel))

    def give_away(self, rel):
        """Makes a folder, file or link below the root another user's (needs root)."""
        os.lchown(self.full(rel), NOBODY, NOBODY)

    def needs_root(self):
        if os.geteuid() != 0:
            self.skip = "needs root to give files away"
        return self.skip is None

    # Standard pieces.
    def single_page(self, extra=""):
        self.write("cfg/seite.htm", TEMPLATE)
        self.write(self.command_file, PAGE_COMMANDS + extra)
        self.pages = ["Pagetrix.htm"]

    def pages_run(self, output_name, start_extra="", shown=True):
        """A start command file listing one page p.ini written as output_name,
        which is the page to show unless `shown` is false."""
        self.write("cfg/seite.htm", TEMPLATE)
        self.write("cfg/p.ini", PAGE_COMMANDS)
        if shown:
            start_extra += "[FrameSet]\nName=%s\n" % output_name
        self.write(self.command_file, "[Seiten]\n1=p.ini|%s\n%s" % (output_name, start_extra))

    def outside_victim(self):
        """A read-only file outside every folder of the program."""
        self.write("outside/evil.htm", "ORIGINAL\n", readonly=True, age=5 * HOURS)
        return self.full("outside/evil.htm")

    def old_output(self, name=GUID_OLD, files=None, age=48 * HOURS):
        """An output folder left by an earlier run."""
        folder = os.path.join("temp", "Pagetrix", name)
        self.mkdir(folder)
        for rel, data in (files or {"Pagetrix.htm": "<html>\n</html>\n"}).items():
            self.write(os.path.join(folder, rel), data, age=age)
        self.age(folder, age)
        return folder

    def name_refused(self, output_name):
        """A [Seiten] output name that must fail like a name with a subfolder."""
        self.pages_run(output_name, shown=False)
        self.outside_victim()
        self.messages = [msg_page_failed(self.p("cfg/seite.htm"), "{OUT}" + output_name)]
        self.launched = False
        self.result = 7

    def frameset_name_refused(self, name, frames=True):
        self.write("cfg/seite.htm", TEMPLATE)
        self.write("cfg/p.ini", PAGE_COMMANDS)
        frame_keys = "FrameLinks=nav.htm\nFrameRechts=inhalt.htm\n" if frames else ""
        self.write(self.command_file,
                   "[Seiten]\n1=p.ini|nav.htm\n[FrameSet]\nName=%s\n%s" % (name, frame_keys))
        self.outside_victim()
        self.messages = [[MSG_WRITE_FAILED % ("{OUT}" + name)]]
        self.launched = False
        self.result = 7

    def write_config(self):
        text = "[Pagetrix]\n" + "".join("%s=%s\n" % kv for kv in self.pagetrix_keys.items())
        text += "[StartProg]\nName=%s\n" % TARGET.start_program
        if self.log_raw is not None:
            text += "[Protokolldatei]\nName=%s\n" % self.log_raw
        elif self.log is not None:
            text += "[Protokolldatei]\nName=%s\n" % (self.log if self.log.startswith(("Z:", "/"))
                                                      else self.p(self.log))
        text += self.config_extra
        path = self.full(self.ini)
        if not os.path.lexists(path):
            self.write(self.ini, text)


ROWS = []


def row(why, native_only=False, wine_only=False):
    """Registers a row: its setup function gets a Case and states the outcome."""
    def register(setup):
        ROWS.append((setup.__name__, why, setup, native_only, wine_only))
        return setup
    return register


# ---- 1. output names that are not plain file names ----

NAMES_REFUSED = [
    ("dotdot_backslash", "..\\..\\..\\outside\\evil.htm"),
    ("dotdot_slash", "../../../outside/evil.htm"),
    ("dotdot_alone", ".."),
    ("subfolder", "sub\\seite.htm"),
    ("drive_relative", "C:evil.htm"),
    ("unc_path", "\\\\srv\\share\\evil.htm"),
    ("device_nul", "NUL"),
    ("device_nul_extension", "nul.htm"),
    ("device_com1", "COM1"),
    ("device_com9_extension", "com9.txt"),
    ("device_lpt1", "LPT1"),
    ("device_aux_mixed_case", "Aux"),
    ("device_prn_extension", "Prn.htm"),
    ("device_con", "CON"),
    ("device_conin", "CONIN$"),
    ("device_conout_extension", "conout$.txt"),
    ("trailing_dot", "seite."),
    ("control_character", "se\x01ite.htm"),
    ("inner_tab", "se\tite.htm"),
]

for _label, _name in NAMES_REFUSED:
    def _setup(c, name=_name):
        c.name_refused(name)
    _setup.__name__ = "page_name_" + _label
    row("[Seiten] output name %r is never opened" % _name)(_setup)


@row("an absolute [Seiten] output name is never opened")
def page_name_absolute(c):
    c.name_refused(c.p("outside/evil.htm"))


@row("plain names that merely look odd still make their page")
def page_names_plain_but_odd(c):
    c.write("cfg/seite.htm", TEMPLATE)
    c.write("cfg/p.ini", PAGE_COMMANDS)
    names = ["Seite 1.htm", "Übersicht.htm", "COM10.htm", "nulled.htm", "con-tact.htm"]
    c.write(c.command_file, "[Seiten]\n" + "".join("%d=p.ini|%s\n" % (i, n)
                                                   for i, n in enumerate(names))
            + "[FrameSet]\nName=%s\n" % names[0])
    c.pages = names


@row("[FrameSet] Name climbing out of the output folder")
def frameset_name_dotdot(c):
    c.frameset_name_refused("..\\..\\..\\outside\\evil.htm")


@row("[FrameSet] Name climbing out, without frame pages: not handed to the start program")
def frameset_name_dotdot_no_frames(c):
    c.frameset_name_refused("..\\..\\..\\outside\\evil.htm", frames=False)


@row("[FrameSet] Name naming a device")
def frameset_name_device(c):
    c.frameset_name_refused("NUL")


@row("[FrameSet] Name naming a device with an extension")
def frameset_name_device_extension(c):
    c.frameset_name_refused("com1.htm")


@row("[FrameSet] Name that is an absolute path")
def frameset_name_absolute(c):
    c.frameset_name_refused(c.p("outside/evil.htm"))


# ---- 2. deleting old output folders stays inside ----

def _deleting(c):
    c.pagetrix_keys["LoeschStd"] = "0"
    c.single_page()


@row("a link in an old output folder to a read-only file outside: the file stays")
def delete_link_to_outside_file(c):
    _deleting(c)
    victim = c.outside_victim()
    folder = c.old_output()
    c.symlink(os.path.join(folder, "link.htm"), victim)
    c.age(folder, 48 * HOURS)
    c.may_delete = [folder]


@row("a link in an old output folder to a folder outside: its files stay")
def delete_link_to_outside_folder(c):
    _deleting(c)
    c.write("outside/dir/keep.txt", "keep\n", readonly=True)
    c.write("outside/dir/more.txt", "more\n")
    folder = c.old_output()
    c.symlink(os.path.join(folder, "dirlink"), c.full("outside/dir"))
    c.age(folder, 48 * HOURS)
    c.may_delete = [folder]


@row("an output base folder that is a link: nothing below its target is deleted")
def delete_base_is_link(c):
    _deleting(c)
    c.write(os.path.join("outside", "target", GUID_OLD, "user.doc"), "mine\n", age=48 * HOURS)
    c.write(os.path.join("outside", "target", "notes.txt"), "mine\n")
    c.age(os.path.join("outside", "target", GUID_OLD), 48 * HOURS)
    c.symlink(os.path.join("temp", "Pagetrix"), c.full("outside/target"))
    # The run's own folder may land in the link's target.
    c.may_create = [os.path.join("outside", "target")]


@row("a folder in the base that the program did not make stays with its files")
def delete_foreign_folder(c):
    _deleting(c)
    c.write(os.path.join("temp", "Pagetrix", "Meine Daten", "brief.doc"), "mine\n", age=48 * HOURS)
    c.age(os.path.join("temp", "Pagetrix", "Meine Daten"), 48 * HOURS)


@row("a GUID-like folder in braces stays (not a name the program gives)")
def delete_braced_guid_folder(c):
    _deleting(c)
    folder = c.old_output("{%s}" % GUID_OLD)
    c.age(folder, 48 * HOURS)


@row("files lying directly in the base stay")
def delete_file_in_base(c):
    _deleting(c)
    c.write(os.path.join("temp", "Pagetrix", "readme.txt"), "mine\n", age=48 * HOURS)
    c.write(os.path.join("temp", "Pagetrix", GUID_OTHER), "a file named like a folder\n",
            age=48 * HOURS)


@row("LoeschStd=nie deletes nothing")
def delete_threshold_word(c):
    _deleting(c)
    c.pagetrix_keys["LoeschStd"] = "nie"
    c.old_output()
    c.absent = ["Lösche Verzeichnis"]


@row("LoeschStd=abc deletes nothing")
def delete_threshold_letters(c):
    _deleting(c)
    c.pagetrix_keys["LoeschStd"] = "abc"
    c.old_output()
    c.absent = ["Lösche Verzeichnis"]


@row("an old output folder with a read-only file and a subfolder is deleted")
def delete_old_output_folder(c):
    _deleting(c)
    folder = c.old_output(files={"Pagetrix.htm": "<html>\n</html>\n", "bild.gif": "GIF89a",
                                 os.path.join("sub", "x.css"): "x"})
    os.chmod(c.full(os.path.join(folder, "bild.gif")), 0o444)
    c.age(folder, 48 * HOURS)
    c.may_delete = [folder]
    c.messages = [["Lösche Verzeichnis: %s" % c.p(folder)]]


@row("an output folder younger than a minute stays (its run may still be working)")
def delete_young_folder(c):
    _deleting(c)
    c.old_output(age=0)


@row("an old output folder whose run still holds its lock stays")
def delete_locked_folder(c):
    _deleting(c)
    folder = c.old_output(files={"Pagetrix.htm": "<html>\n</html>\n", "Pagetrix.lck": ""})
    c.age(folder, 48 * HOURS)
    c.holds = [(os.path.join(folder, "Pagetrix.lck"), "none")]


@row("a base folder owned by another user is neither cleaned nor written into",
     native_only=True)
def delete_base_of_other_user(c):
    if os.geteuid() != 0:
        c.skip = "needs root to give a folder away"
        return
    _deleting(c)
    folder = c.old_output()
    c.age(folder, 48 * HOURS)
    for path in (c.base, c.full(folder), c.full(os.path.join(folder, "Pagetrix.htm"))):
        os.chown(path, 65534, 65534)
    os.chmod(c.base, 0o777)
    c.pages = []
    c.messages = [[MSG_OUTPUT_DIR]]
    c.launched = False
    c.result = 3


# ---- 4. readers share ----

@row("another reader holds the command file open")
def reader_holds_command_file(c):
    c.single_page()
    c.holds = [(c.command_file, "read")]


@row("another reader holds the page command file open")
def reader_holds_page_command_file(c):
    c.pages_run("seite.htm")
    c.pages = ["seite.htm"]
    c.holds = [("cfg/p.ini", "read")]


@row("another reader holds the template open")
def reader_holds_template(c):
    c.single_page()
    c.holds = [("cfg/seite.htm", "read")]


@row("another reader holds the main configuration open")
def reader_holds_main_config(c):
    c.single_page()
    c.write_config()
    c.holds = [(c.ini, "read")]


@row("another reader holds a file of the template folder open")
def reader_holds_copy_source(c):
    c.single_page()
    c.write("cfg/bild.gif", "GIF89a")
    c.pages = ["Pagetrix.htm", "bild.gif"]
    c.holds = [("cfg/bild.gif", "read")]


@row("another reader holds the environment file open")
def reader_holds_environment_file(c):
    c.single_page()
    c.write("cfg/env.ini", "[Environment]\nPAGETRIX_TEST=ja\n")
    c.extra_args = ["/ENV=" + c.p("cfg/env.ini")]
    c.holds = [("cfg/env.ini", "read")]
    c.messages = [["PAGETRIX_TEST=ja"]]


# ---- 5. the run log never replaces an input ----

def _log_is(c, rel):
    c.log = rel
    c.log_expected = False


@row("a run log path naming the main configuration file")
def log_is_main_config(c):
    c.single_page()
    _log_is(c, c.ini)


@row("a run log path naming the command file")
def log_is_command_file(c):
    c.single_page()
    _log_is(c, c.command_file)


@row("a run log path naming the command file in another spelling")
def log_is_command_file_respelled(c):
    c.single_page()
    _log_is(c, c.p("cfg") + c.sep + ".." + c.sep + "cfg" + c.sep + "start.ini")


@row("a run log path naming a page command file")
def log_is_page_command_file(c):
    c.pages_run("seite.htm")
    c.pages = ["seite.htm"]
    _log_is(c, "cfg/p.ini")


@row("a run log path naming the environment file")
def log_is_environment_file(c):
    c.single_page()
    c.write("cfg/env.ini", "[Environment]\nPAGETRIX_TEST=ja\n")
    c.extra_args = ["/ENV=" + c.p("cfg/env.ini")]
    _log_is(c, "cfg/env.ini")


@row("a run log path naming a folder")
def log_is_folder(c):
    c.single_page()
    c.mkdir("logs")
    _log_is(c, "logs")


@row("a run log path naming a named pipe: no hang, no log")
def log_is_fifo(c):
    c.single_page()
    c.fifo("logs/pipe")
    _log_is(c, "logs/pipe")


# ---- 6. bounded reading ----

@row("the command file is a named pipe")
def command_file_fifo(c):
    c.fifo("cfg/start.ini")
    c.messages = [[MSG_COMMAND_FILE % c.p("cfg/start.ini")]]
    c.launched = False
    c.result = 1


@row("the command file is an endless device", native_only=True)
def command_file_dev_zero(c):
    c.command_arg = "/dev/zero"
    c.messages = [[MSG_COMMAND_FILE % "/dev/zero"]]
    c.launched = False
    c.result = 1


@row("the command file is an endless device", wine_only=True)
def command_file_dev_zero_wine(c):
    c.command_arg = "Z:\\dev\\zero"
    c.messages = [[MSG_COMMAND_FILE % "Z:\\dev\\zero"]]
    c.launched = False
    c.result = 1


@row("the command file is larger than any command file (sparse, 600 MiB)")
def command_file_huge(c):
    c.sparse("cfg/start.ini", 600 << 20)
    c.messages = [[MSG_COMMAND_FILE % c.p("cfg/start.ini")]]
    c.launched = False
    c.result = 1


@row("a page command file is a named pipe: that page is skipped")
def page_command_file_fifo(c):
    c.write("cfg/seite.htm", TEMPLATE)
    c.write("cfg/p.ini", PAGE_COMMANDS)
    c.fifo("cfg/pipe.ini")
    c.write(c.command_file, "[Seiten]\n1=pipe.ini|a.htm\n2=p.ini|b.htm\n[FrameSet]\nName=b.htm\n")
    c.messages = [[MSG_COMMAND_FILE % c.p("cfg/pipe.ini")]]
    c.pages = ["b.htm"]


def _template(c, directory, name):
    c.write(c.command_file, "[Vorlage]\nVorlage=%s\nVerzeichnis=%s\n[Links]\n1=A|b\n"
            % (name, directory))
    c.messages = [msg_page_failed(directory.rstrip(c.sep) + c.sep + name, "{OUT}Pagetrix.htm")]
    c.launched = False
    c.result = 7


@row("the template is a named pipe")
def template_fifo(c):
    c.fifo("tpl/seite.htm")
    _template(c, c.p("tpl"), "seite.htm")


@row("the template is an endless device")
def template_dev_zero(c):
    _template(c, TARGET.path("/dev"), "zero")


@row("the template is larger than any template (sparse, 600 MiB)")
def template_huge(c):
    c.sparse("tpl/seite.htm", 600 << 20)
    _template(c, c.p("tpl"), "seite.htm")


@row("the template is a folder")
def template_folder(c):
    c.mkdir("tpl/seite.htm")
    _template(c, c.p("tpl"), "seite.htm")


@row("the template is missing")
def template_missing(c):
    c.mkdir("tpl")
    _template(c, c.p("tpl"), "seite.htm")


def _environment_file(c, rel_or_path, expect=None):
    c.single_page()
    c.extra_args = ["/ENV=" + rel_or_path]
    if expect:
        c.messages = expect


@row("the environment file is a named pipe: read as missing")
def environment_file_fifo(c):
    c.fifo("cfg/env.ini")
    _environment_file(c, c.p("cfg/env.ini"))


@row("the environment file is an endless device: read as missing")
def environment_file_dev_zero(c):
    _environment_file(c, TARGET.path("/dev/zero"))


@row("the environment file is larger than any (sparse, 600 MiB): read as missing")
def environment_file_huge(c):
    c.sparse("cfg/env.ini", 600 << 20)
    _environment_file(c, c.p("cfg/env.ini"))


@row("environment values that double line by line stop growing, naming the variable")
def environment_doubling(c):
    lines = ["A0=xxxxxxxx"] + ["A%d=%%A%d%%%%A%d%%" % (i, i - 1, i - 1) for i in range(1, 60)]
    c.write("cfg/env.ini", "[Environment]\n" + "\n".join(lines) + "\n")
    _environment_file(c, c.p("cfg/env.ini"))
    # 8 * 2^12 = 32768 is the first value beyond the limit.
    c.messages = [[MSG_UNRESOLVED % "A12"]]


@row("an environment entry that names itself ends")
def environment_self_reference(c):
    c.write("cfg/env.ini", "[Environment]\nX=%X%\nX=%X%%X%\nY=%X%\n")
    _environment_file(c, c.p("cfg/env.ini"))


@row("a named pipe in the template folder is not copied, and the run ends")
def copy_fifo_in_template_folder(c):
    c.single_page()
    c.fifo("cfg/pipe")
    c.messages = [msg_copy_failed(c.p("cfg/pipe"), "{OUT}pipe"), [MSG_COPY_INCOMPLETE]]
    c.result = 4


@row("a [Kopieren] source that is an endless device is not copied")
def copy_list_dev_zero(c):
    c.single_page()
    source = TARGET.path("/dev/zero")
    c.config_extra = "[Kopieren]\n1=%s|%%PagetrixAusgabePath%%%szero.bin\n" % (source, c.sep)
    c.messages = [msg_copy_failed(source, "{OUT}zero.bin")]
    c.result = 4


@row("a [Kopieren] source that is a named pipe is not copied")
def copy_list_fifo(c):
    c.single_page()
    c.fifo("elsewhere/pipe")
    c.config_extra = "[Kopieren]\n1=%s|%%PagetrixAusgabePath%%%spipe.bin\n" % (
        c.p("elsewhere/pipe"), c.sep)
    c.messages = [msg_copy_failed(c.p("elsewhere/pipe"), "{OUT}pipe.bin")]
    c.result = 4


@row("a [Kopieren] target outside the output folder stays as the administrator names it")
def copy_list_target_outside(c):
    c.single_page()
    c.write("cfg/logo.gif", "GIF89a")
    c.mkdir("outside")
    c.config_extra = "[Kopieren]\n1=%s|%s\n" % (c.p("cfg/logo.gif"), c.p("outside/logo.gif"))
    c.may_create = [os.path.join("outside", "logo.gif")]


# ---- 7. linear time ----

@row("a command file with one 8 MB line")
def long_line(c):
    c.write(c.command_file, "[Vorlage]\nVorlage=seite.htm\n[Links]\n1=" + "x" * (8 << 20) + "\n")
    c.write("cfg/seite.htm", TEMPLATE)
    c.messages = [[MSG_COMMAND_FILE % c.p(c.command_file)]]  # its pieces lack "="
    c.launched = False
    c.result = 1


@row("a chain of 4,000 placeholders whose link texts name the next section")
def placeholder_chain(c):
    sections = ["[Vorlage]\nVorlage=seite.htm\n"]
    for i in range(4000):
        sections.append("[S%05d]\n1=S%05d|x\n" % (i, i + 1))
    c.write(c.command_file, "".join(sections))
    c.write("cfg/seite.htm", "<html>\n<body>S00000</body>\n</html>\n")
    c.pages = ["Pagetrix.htm"]


@row("a command file with 100,000 sections")
def many_sections(c):
    c.write(c.command_file, "[Vorlage]\nVorlage=seite.htm\n"
            + "".join("[Abschnitt%d]\n" % i for i in range(100000)))
    c.write("cfg/seite.htm", TEMPLATE)
    c.pages = ["Pagetrix.htm"]


@row("an environment file with 100,000 entries")
def many_environment_entries(c):
    # The server section feeds the placeholders without setting variables:
    # a process environment of 100,000 variables is beyond what a start
    # program can be given.
    c.write("cfg/env.ini", "[Lokal]\n"
            + "".join("L%d=%%L0%%\\%d\n" % (i, i) for i in range(100000))
            + "[Environment]\n" + "".join("V%d=%%L%d%%\n" % (i, 99 * i) for i in range(1000)))
    _environment_file(c, c.p("cfg/env.ini"))
    c.extra_args.append("/SERVER=C:")
    c.messages = [["V999=%L0%\\0\\98901"]]


# ---- unlucky but ordinary ----

@row("a command file of binary garbage")
def command_file_garbage(c):
    # Byte 0x1A ends the text; what stands before it holds no section.
    c.write(c.command_file, bytes(range(256)) * 64, crlf=False)
    c.messages = [[MSG_NO_TEMPLATE % c.p(c.command_file)]]
    c.launched = False
    c.result = 2


@row("an empty command file")
def command_file_empty(c):
    c.write(c.command_file, "")
    c.messages = [[MSG_NO_TEMPLATE % c.p(c.command_file)]]
    c.launched = False
    c.result = 2


@row("the command file is a folder")
def command_file_folder(c):
    c.mkdir("cfg/start.ini")
    c.messages = [[MSG_COMMAND_FILE % c.p(c.command_file)]]
    c.launched = False
    c.result = 1


@row("the command file is missing")
def command_file_missing(c):
    c.mkdir("cfg")
    c.messages = [[MSG_COMMAND_FILE % c.p(c.command_file)]]
    c.launched = False
    c.result = 1


@row("the output base is a file: no output folder, the file stays")
def output_base_is_file(c):
    c.single_page()
    c.write(os.path.join("temp", "Pagetrix"), "not a folder\n", readonly=True)
    c.messages = [[MSG_OUTPUT_DIR]]
    c.launched = False
    c.result = 3
    c.pages = []


@row("a page name equal to a file of the template folder keeps the page")
def page_name_equals_template_folder_file(c):
    c.pages_run("seite.htm")
    c.pages = ["seite.htm"]


@row("a %-expansion beyond the system's limit is logged")
def expansion_beyond_limit(c):
    c.env["PAGETRIX_BIG"] = "b" * 20000
    c.write(c.command_file, "[Vorlage]\nVorlage=%PAGETRIX_BIG%%PAGETRIX_BIG%\n[Links]\n1=A|b\n")
    c.launched = False
    c.result = 7
    if not NATIVE:
        c.messages = [["Die Umgebungsvariable: \""]]


# ---- 8. the run log replaces nothing but a run log ----

@row("a run log path naming the page's template")
def log_is_template(c):
    c.single_page()
    _log_is(c, "cfg/seite.htm")


@row("a run log path naming a file of the template folder")
def log_is_template_folder_file(c):
    c.single_page()
    c.write("cfg/bild.gif", "GIF89a\x01\x00", crlf=False)
    c.pages = ["Pagetrix.htm", "bild.gif"]
    _log_is(c, "cfg/bild.gif")


@row("a run log path naming a [Kopieren] source")
def log_is_copy_source(c):
    c.single_page()
    c.write("elsewhere/kopie.txt", "kopiert\n")
    c.config_extra = "[Kopieren]\n1=%s|%%PagetrixAusgabePath%%%skopie.txt\n" % (
        c.p("elsewhere/kopie.txt"), c.sep)
    c.pages = ["Pagetrix.htm", "kopie.txt"]
    _log_is(c, "elsewhere/kopie.txt")


@row("a run log path naming a page command file the run reaches through the environment file")
def log_is_page_command_file_via_environment(c):
    c.write("cfg/seite.htm", TEMPLATE)
    c.write("seiten/p.ini", "[Vorlage]\nVorlage=seite.htm\nVerzeichnis=%s\n[Links]\n1=A|b\n"
            % c.p("cfg"))
    c.write("cfg/env.ini", "[Environment]\nPTX_SEITEN=%s\n" % c.p("seiten"))
    c.write(c.command_file, "[Seiten]\n1=%%PTX_SEITEN%%%sp.ini|Pagetrix.htm\n" % c.sep)
    c.extra_args = ["/ENV=" + c.p("cfg/env.ini")]
    c.pages = ["Pagetrix.htm"]
    _log_is(c, "seiten/p.ini")


@row("a run log path naming the start command file, given as %VAR% of the environment file")
def log_is_start_command_file_as_variable(c):
    c.single_page()
    c.write("cfg/env.ini", "[Environment]\nPTX_CFG=%s\n" % c.p("cfg"))
    c.extra_args = ["/ENV=" + c.p("cfg/env.ini")]
    c.command_arg = "%PTX_CFG%" + c.sep + "start.ini"
    _log_is(c, c.command_file)


@row("a run log path naming the command file relative to the current folder")
def log_is_command_file_relative(c):
    c.single_page()
    _log_is(c, c.command_file)
    c.log_raw = "cfg" + c.sep + "start.ini"


@row("a run log path naming the environment file in another spelling")
def log_is_environment_file_respelled(c):
    c.single_page()
    c.write("cfg/env.ini", "[Environment]\nPTX_X=1\n")
    c.extra_args = ["/ENV=" + c.p("cfg/env.ini")]
    _log_is(c, c.p("cfg") + c.sep + "." + c.sep + ".." + c.sep + "cfg" + c.sep + "env.ini")


@row("a run log path naming the main configuration in upper case", wine_only=True)
def log_is_main_config_upper_case(c):
    c.single_page()
    _log_is(c, c.p(c.ini).upper())


@row("a run log path that is a link to the command file", native_only=True)
def log_is_link_to_command_file(c):
    c.single_page()
    c.symlink("logs/lauf.log", c.full(c.command_file))
    _log_is(c, "logs/lauf.log")


@row("a run log path naming an empty file the administrator made: it stays empty")
def log_is_empty_file(c):
    c.single_page()
    c.write("logs/lauf.log", "")
    _log_is(c, "logs/lauf.log")


@row("a run log path naming a file another program writes: no log, the file stays")
def log_is_held_for_writing(c):
    c.single_page()
    c.write("logs/lauf.log", EARLIER_LOG)
    c.holds = [("logs/lauf.log", "write")]
    _log_is(c, "logs/lauf.log")


@row("a run log path naming a device (COM1) beside a folder")
def log_is_device_com1(c):
    c.single_page()
    c.mkdir("logs")
    _log_is(c, "logs/COM1")


@row("a run log path naming a device with an extension (nul.log)")
def log_is_device_nul_extension(c):
    c.single_page()
    c.mkdir("logs")
    _log_is(c, "logs/nul.log")


@row("a run log path that is a bare device name (COM1), relative to the current folder")
def log_is_bare_device(c):
    c.single_page()
    _log_is(c, "COM1")
    c.log_raw = "COM1"


@row("a run log path naming an earlier run log: it is replaced, as ever")
def log_replaces_earlier_log(c):
    c.single_page()
    c.write(c.log, EARLIER_LOG)
    c.messages = [["Lese Kommandodatei: '%s'" % c.p(c.command_file)]]
    c.absent = ["Aktueller User: 'meier'"]


# ---- 9. copies never damage a file in use or their own lock ----

def _copy_list(c, *entries):
    c.single_page()
    c.config_extra = "[Kopieren]\n" + "".join("%d=%s|%s\n" % (i + 1, source, target)
                                              for i, (source, target) in enumerate(entries))


@row("a [Kopieren] target another program holds open for writing (another run's log): refused")
def copy_target_held_for_writing(c):
    c.write("elsewhere/quelle.txt", "neu\n")
    c.write("logs/lauf.log", EARLIER_LOG)
    _copy_list(c, (c.p("elsewhere/quelle.txt"), c.p("logs/lauf.log")))
    c.holds = [("logs/lauf.log", "write")]
    c.messages = [msg_copy_failed(c.p("elsewhere/quelle.txt"), c.p("logs/lauf.log"))]
    c.result = 4


@row("a [Kopieren] target that is the run's own lock file: refused, the lock stays")
def copy_target_own_lock(c):
    c.write("elsewhere/quelle.txt", "neu\n")
    target = "%PagetrixAusgabePath%" + c.sep + "Pagetrix.lck"
    _copy_list(c, (c.p("elsewhere/quelle.txt"), target))
    c.messages = [msg_copy_failed(c.p("elsewhere/quelle.txt"), "{OUT}Pagetrix.lck")]
    c.result = 4


@row("a [Kopieren] target that is the run's own lock in another spelling: refused")
def copy_target_own_lock_respelled(c):
    c.write("elsewhere/quelle.txt", "neu\n")
    name = "PAGETRIX.LCK" if not NATIVE else "Pagetrix.lck"
    target = "%PagetrixAusgabePath%" + c.sep + "." + c.sep + name
    _copy_list(c, (c.p("elsewhere/quelle.txt"), target))
    c.messages = [msg_copy_failed(c.p("elsewhere/quelle.txt"), "{OUT}." + c.sep + name)]
    c.result = 4


@row("a [Kopieren] copy that fails midway leaves the existing target as it was")
def copy_failing_midway_keeps_target(c):
    c.write("outside/ziel.txt", "ORIGINAL\n", age=5 * HOURS)
    # A regular file whose first read fails, after the target was opened.
    source = TARGET.path("/proc/self/mem")
    _copy_list(c, (source, c.p("outside/ziel.txt")))
    c.messages = [msg_copy_failed(source, c.p("outside/ziel.txt"))]
    c.result = 4


@row("a [Kopieren] target that is read-only stays as it was")
def copy_target_read_only(c):
    c.write("elsewhere/quelle.txt", "neu\n")
    c.write("outside/ziel.txt", "ORIGINAL\n", readonly=True, age=5 * HOURS)
    _copy_list(c, (c.p("elsewhere/quelle.txt"), c.p("outside/ziel.txt")))
    c.messages = [msg_copy_failed(c.p("elsewhere/quelle.txt"), c.p("outside/ziel.txt"))]
    c.result = 4


@row("a [Kopieren] entry copying a file onto itself keeps it")
def copy_onto_itself(c):
    c.write("outside/ziel.txt", "ORIGINAL\n", age=5 * HOURS)
    _copy_list(c, (c.p("outside/ziel.txt"), c.p("outside") + c.sep + "." + c.sep + "ziel.txt"))
    c.messages = [["Fehler beim Kopieren."]]
    c.result = 4


@row("a [Kopieren] target that is a folder stays a folder")
def copy_target_folder(c):
    c.write("elsewhere/quelle.txt", "neu\n")
    c.write("outside/ordner/inhalt.txt", "bleibt\n")
    _copy_list(c, (c.p("elsewhere/quelle.txt"), c.p("outside/ordner")))
    c.messages = [msg_copy_failed(c.p("elsewhere/quelle.txt"), c.p("outside/ordner"))]
    c.result = 4


# ---- 10. a start page that was not made is never handed on ----

@row("the start page's own command file is missing: exit code 9, nothing launched")
def start_page_command_file_missing(c):
    c.write("cfg/seite.htm", TEMPLATE)
    c.write("cfg/p.ini", PAGE_COMMANDS)
    c.write(c.command_file, "[Seiten]\n1=fehlt.ini|Pagetrix.htm\n2=p.ini|nav.htm\n")
    c.messages = [[MSG_COMMAND_FILE % c.p("cfg/fehlt.ini")],
                  [MSG_START_PAGE_MISSING % "{OUT}Pagetrix.htm"]]
    c.launched = False
    c.result = 9


@row("a page a frame shows was not made: exit code 9, nothing launched")
def frame_page_missing(c):
    c.write("cfg/seite.htm", TEMPLATE)
    c.write("cfg/p.ini", PAGE_COMMANDS)
    c.write(c.command_file, "[Seiten]\n1=p.ini|nav.htm\n2=fehlt.ini|inhalt.htm\n"
            "[FrameSet]\nFrameLinks=nav.htm\nFrameRechts=inhalt.htm#oben\n")
    c.messages = [[MSG_FRAME_PAGE_MISSING % "{OUT}inhalt.htm"]]
    c.absent = ["Die Startseite wurde nicht erzeugt"]
    c.launched = False
    c.result = 9


@row("[FrameSet] Name naming a page no entry makes: exit code 9, nothing launched")
def frameset_name_not_made(c):
    c.single_page("[FrameSet]\nName=willkommen.htm\n")
    c.messages = [[MSG_START_PAGE_MISSING % "{OUT}willkommen.htm"]]
    c.launched = False
    c.result = 9


@row("frames showing made pages (with anchors, escapes) or pages elsewhere: launched")
def frame_pages_made_or_elsewhere(c):
    c.write("cfg/seite.htm", TEMPLATE)
    c.write("cfg/p.ini", PAGE_COMMANDS)
    c.write(c.command_file, "[Seiten]\n1=p.ini|Seite 1.htm\n"
            "[FrameSet]\nFrameLinks=Seite%201.htm#oben\nFrameRechts=http://intranet/x.htm\n")
    c.pages = ["Pagetrix.htm", "Seite 1.htm"]


@row("the start page comes from the template folder's copy: launched")
def start_page_from_template_folder(c):
    c.single_page("[FrameSet]\nName=willkommen.htm\n")
    c.write("cfg/willkommen.htm", "<html>Willkommen</html>\n")
    c.pages = ["Pagetrix.htm", "willkommen.htm"]


# ---- 11. links in the template folder ----

@row("a link to a folder in the template folder is skipped, later files and [Kopieren] follow")
def template_folder_link_to_folder(c):
    c.single_page()
    c.write("elsewhere/bilder/logo.gif", "GIF89a", crlf=False)
    c.write("elsewhere/kopie.txt", "kopiert\n")
    c.symlink("cfg/Abilder", c.full("elsewhere/bilder"))
    c.symlink("cfg/zmehr", c.full("elsewhere"))
    for name in ("treemenu.js", "treemenu.css", "a.css", "z.gif"):
        c.write("cfg/" + name, name)
    c.config_extra = "[Kopieren]\n1=%s|%%PagetrixAusgabePath%%%skopie.txt\n" % (
        c.p("elsewhere/kopie.txt"), c.sep)
    c.pages = ["Pagetrix.htm", "treemenu.js", "treemenu.css", "a.css", "z.gif", "kopie.txt"]
    c.absent = ["Fehler beim Kopieren", "Abilder'", "zmehr'"]


@row("a link to a file in the template folder copies the file")
def template_folder_link_to_file(c):
    c.single_page()
    c.write("elsewhere/logo.gif", "GIF89a", crlf=False)
    c.symlink("cfg/logo.gif", c.full("elsewhere/logo.gif"))
    c.pages = ["Pagetrix.htm", "logo.gif"]


@row("a link in the template folder to the folder above it: no loop, skipped")
def template_folder_link_upwards(c):
    c.single_page()
    c.symlink("cfg/oben", c.root)
    c.write("cfg/style.css", "body {}\n")
    c.pages = ["Pagetrix.htm", "style.css"]
    c.absent = ["Fehler beim Kopieren"]


@row("a dangling link in the template folder ends the phase as an unreadable file does",
     native_only=True)
def template_folder_dangling_link(c):
    c.single_page()
    c.symlink("cfg/fehlt.gif", c.full("elsewhere/fehlt.gif"))
    c.messages = [msg_copy_failed(c.p("cfg/fehlt.gif"), "{OUT}fehlt.gif"), [MSG_COPY_INCOMPLETE]]
    c.result = 4


# ---- 12. the output base is the user's own ----

def _foreign_base(c):
    _deleting(c)
    c.pagetrix_keys["LoeschStd"] = "-1"
    c.messages = [[MSG_OUTPUT_DIR]]
    c.launched = False
    c.result = 3
    c.pages = []


@row("the output base is another user's link: nothing made behind it", native_only=True)
def base_is_foreign_link(c):
    if not c.needs_root():
        return
    _foreign_base(c)
    c.mkdir("outside/target")
    c.symlink(os.path.join("temp", "Pagetrix"), c.full("outside/target"))
    c.give_away(os.path.join("temp", "Pagetrix"))


@row("the output base is the user's link to another user's folder", native_only=True)
def base_is_own_link_to_foreign_folder(c):
    if not c.needs_root():
        return
    _foreign_base(c)
    c.mkdir("outside/fremd")
    os.chmod(c.full("outside/fremd"), 0o777)
    c.give_away("outside/fremd")
    c.symlink(os.path.join("temp", "Pagetrix"), c.full("outside/fremd"))


@row("the temporary folder is another user's link", native_only=True)
def temp_is_foreign_link(c):
    if not c.needs_root():
        return
    _foreign_base(c)
    c.mkdir("outside/tmp")
    c.symlink("tmp-link", c.full("outside/tmp"))
    c.give_away("tmp-link")
    c.env["TMPDIR"] = c.full("tmp-link")


@row("the temporary folder lies inside another user's folder", native_only=True)
def temp_inside_foreign_folder(c):
    if not c.needs_root():
        return
    _foreign_base(c)
    c.mkdir("outside/fremd/tmp")
    os.chmod(c.full("outside/fremd"), 0o777)
    os.chmod(c.full("outside/fremd/tmp"), 0o777)
    c.give_away("outside/fremd")
    c.env["TMPDIR"] = c.full("outside/fremd/tmp")


@row("the user's own link as the output base to the user's own folder still works",
     native_only=True)
def base_is_own_link_to_own_folder(c):
    c.single_page()
    c.mkdir("outside/meins")
    c.symlink(os.path.join("temp", "Pagetrix"), c.full("outside/meins"))
    c.may_create = [os.path.join("outside", "meins")]


# ---- 13. totals bounded ----

@row("a 500 KB environment file that would expand to 1.3 GB stays within the total")
def environment_total_bounded(c):
    lines = ["A0=" + "x" * 1000] + ["A%d=%%A%d%%%%A%d%%" % (i, i - 1, i - 1) for i in range(1, 7)]
    lines += ["C%d=%%A6%%" % i for i in range(40000)]
    c.write("cfg/env.ini", "[Lokal]\n" + "\n".join(lines) + "\n[Environment]\nV1=%A6%\n")
    _environment_file(c, c.p("cfg/env.ini"))
    c.extra_args.append("/SERVER=C:")
    c.messages = [[MSG_UNRESOLVED % "A6"], [MSG_UNRESOLVED % "C39999"], [MSG_UNRESOLVED % "V1"]]


@row("environment values beyond the total in the environment section itself are cut")
def environment_total_in_environment_section(c):
    lines = ["A0=" + "x" * 1000] + ["A%d=%%A%d%%%%A%d%%" % (i, i - 1, i - 1) for i in range(1, 7)]
    lines += ["V%d=%%A6%%" % i for i in range(300)]
    c.write("cfg/env.ini", "[Environment]\n" + "\n".join(lines) + "\n")
    _environment_file(c, c.p("cfg/env.ini"))
    c.messages = [[MSG_UNRESOLVED % "V299"]]
    c.absent = [MSG_UNRESOLVED % "V1"]
    # Four megabytes of variables are beyond what Linux hands a new process
    # (a quarter of the stack limit): the start program cannot be started,
    # which the run reports in its message box.
    c.launched = not NATIVE


def _never_deleting(c, value):
    _deleting(c)
    c.pagetrix_keys["LoeschStd"] = value
    c.old_output()
    c.absent = [MSG_DELETING]


@row("LoeschStd below the integer range deletes nothing")
def delete_threshold_below_int_range(c):
    _never_deleting(c, "-99999999999")


@row("LoeschStd=-2 deletes nothing")
def delete_threshold_minus_two(c):
    _never_deleting(c, "-2")


@row("LoeschStd at the smallest integer deletes nothing")
def delete_threshold_smallest_int(c):
    _never_deleting(c, "-2147483648")


@row("LoeschStd with a sign, blanks and a word after it deletes nothing")
def delete_threshold_negative_with_word(c):
    _never_deleting(c, "  -48 Stunden")


# ---- the test ----

class HostileInputsTest(unittest.TestCase):
    maxDiff = None

    @classmethod
    def setUpClass(cls):
        base = os.path.join(harness.BUILD if not NATIVE else os.path.dirname(TARGET.exe),
                            "hostile-tmp")
        os.makedirs(base, exist_ok=True)
        cls.tmp = tempfile.mkdtemp(prefix=TARGET.name + "-", dir=base)

    @classmethod
    def tearDownClass(cls):
        _remove_tree(cls.tmp)
        TARGET.stop()

    def run_row(self, name, setup):
        c = Case(os.path.join(self.tmp, name))
        c.extra_args = []
        setup(c)
        if c.skip:
            self.skipTest(c.skip)
        c.write_config()
        env = dict(TARGET.temp_env(c.temp))
        env["RECORDER_OUT"] = c.p("recording.bin")
        env.update(c.env)
        command = c.command_arg if c.command_arg is not None else c.p(c.command_file)

        before = snapshot(c.root)
        with _holding(c):
            result = TARGET.run(c.p(c.ini), command, env, c.root, BOUND_SECONDS,
                                extra=c.extra_args)
        self.assertFalse(result.timed_out, "the run did not end within %d s" % BOUND_SECONDS)
        self.assertFalse(result.crashed(), "the run crashed: exit code %s\n%s"
                         % (result.code, result.stderr.decode("latin-1")[-3000:]))
        lines = self.log_lines(c, result)
        out = self.output_prefix(c, lines)
        context = "exit code %s; run log:\n  %s" % (result.code, "\n  ".join(lines))

        self.assertIn(result.code, (0, c.result), context)
        for block in c.messages:
            self.assert_block(lines, [m.replace("{OUT}", out or "?") for m in block], context)
        for text in c.absent:
            self.assertFalse([line for line in lines if text in line], context)
        self.check_launch(c, out, context)
        self.check_pages(c, out, context)
        if c.result == 3:
            self.assertEqual([], self.new_output_folders(c), "an output folder was made; " + context)
        self.check_untouched(c, before, snapshot(c.root), out, context)
        _remove_tree(c.root)

    # ---- checks ----

    def log_lines(self, c, result):
        path = c.full(c.log) if c.log else None
        if not c.log_expected:
            return []
        if not path or not os.path.isfile(path):
            self.fail("no run log was written; exit code %s after %.1f s\n%s"
                      % (result.code, result.seconds,
                         result.stderr.decode("latin-1")[-3000:]))
        return [re.sub(r"^\(-?\d+ ms\) ", "", line)
                for line in open(path, "rb").read().decode("cp1252").split("\r\n")]

    def output_prefix(self, c, lines):
        """The run's own output folder with its separator, as the program names it."""
        for line in lines:
            match = re.match(r"^Ausgabeverzeichnis: '(.*)'$", line)
            if match:
                return match.group(1)
        # Without a run log: the one new GUID folder in the base.
        folders = self.new_output_folders(c)
        if len(folders) == 1:
            return c.p(os.path.join("temp", "Pagetrix", os.path.basename(folders[0]))) + c.sep
        return None

    def assert_block(self, lines, block, context):
        for i in range(len(lines) - len(block) + 1):
            if lines[i:i + len(block)] == block:
                return
        # A message may stand inside a longer line (message 103 with a value).
        if len(block) == 1 and any(block[0] in line for line in lines):
            return
        self.fail("run log lacks\n  %s\n%s" % ("\n  ".join(block), context))

    def check_launch(self, c, out, context):
        if c.launched:
            self.assertTrue(harness.wait_for_file(c.recording), "no start program; " + context)
            page = TARGET.recorded_start_page(c.recording)
            self.assertTrue(out and page and page.startswith(out),
                            "start page %r outside the output folder %r" % (page, out))
        else:
            time.sleep(0.3)
            self.assertFalse(os.path.exists(c.recording),
                             "the start program was launched; " + context)

    def check_pages(self, c, out, context):
        if not c.pages:
            return
        folders = self.new_output_folders(c)
        self.assertEqual(1, len(folders), "output folders: %s; %s" % (folders, context))
        for name in c.pages:
            # The native build keeps the Windows-1252 bytes of a name, Wine its Unicode.
            native = os.path.join(os.fsencode(folders[0]), name.encode("cp1252"))
            self.assertTrue(os.path.isfile(native) or os.path.isfile(os.path.join(folders[0], name)),
                            "%s missing in the output folder; %s" % (name, context))

    def new_output_folders(self, c):
        base = os.path.realpath(c.base)
        if not os.path.isdir(base):
            return []
        return [os.path.join(base, d) for d in os.listdir(base)
                if re.fullmatch(r"[0-9A-F]{8}(-[0-9A-F]{4}){3}-[0-9A-F]{12}", d)
                and d != GUID_OLD and os.path.isdir(os.path.join(base, d))]

    def check_untouched(self, c, before, after, out, context):
        own = [os.path.relpath(f, os.path.realpath(c.root)) for f in self.new_output_folders(c)]
        # A run log the row expects is the run's own file; any other log path is an input.
        log = [c.log] if c.log and c.log_expected else []
        allowed_new = own + log + ["recording.bin", "recording.bin.part"] + c.may_create
        problems = []
        for rel, state in before.items():
            if rel in after:
                if after[rel] != state and not _under(rel, log):
                    problems.append("changed: %s\n    before %r\n    after  %r"
                                    % (rel, state, after[rel]))
            elif not _under(rel, c.may_delete):
                problems.append("removed: %s" % rel)
        base = os.path.join("temp", "Pagetrix")
        for rel in after:
            if rel not in before and rel != base and not _under(rel, allowed_new):
                problems.append("created outside the output folder: %s" % rel)
        if problems:
            self.fail("files the run did not create were touched:\n  %s\n%s"
                      % ("\n  ".join(problems), context))


def _holding(c):
    import contextlib
    stack = contextlib.ExitStack()
    for rel, share in c.holds:
        stack.enter_context(TARGET.hold(c.full(rel), share))
    return stack


def _remove_tree(path):
    def writable(func, p, _):
        try:
            os.chmod(os.path.dirname(p), 0o755)
            os.chmod(p, 0o755)
        except OSError:
            pass
        try:
            func(p)
        except OSError:
            pass
    shutil.rmtree(path, onerror=writable)


for _name, _why, _setup, _native_only, _wine_only in ROWS:
    def _test(self, name=_name, setup=_setup):
        self.run_row(name, setup)
    _test.__doc__ = _why
    if (_native_only and not NATIVE) or (_wine_only and NATIVE):
        _test = unittest.skip("not on this build")(_test)
    setattr(HostileInputsTest, "test_" + _name, _test)


if __name__ == "__main__":
    _parser = harness.arguments()
    _parser.add_argument("--rows", action="store_true", help="list the rows and what each "
                         "proves, and run nothing")
    if _parser.parse_args().rows:
        for _name, _why, *_ in ROWS:
            print("%-45s %s" % (_name, _why))
        sys.exit(0)
    harness.main(_parser)
