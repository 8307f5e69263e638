"""Random configurations for the differential test of the check mode.

A configuration is a folder: the main configuration, a start command file
and page command files, templates in several template folders (with extra
files, a subfolder and, natively, symbolic links), an environment file whose
sections differ by server and drive, a folder the runs start in and a folder
copies may go to. Every link entry carries a token of its own at the start
of its text (after its indent), so that the entries a page shows can be
matched to the check's rows whatever else the text holds.

Everything is written as the program's bytes (Windows-1252, with UTF-8
sequences and byte-order marks where chosen), with the paths of the target
that runs it (native or Windows under Wine).
"""

import os
import re

TOKEN = re.compile(rb"ZQ\d{5}J")

# Placeholder section names: some are part of others, some of the words a
# writer puts into a page, some carry an umlaut the upper-casing changes.
SECTIONS = [b"Links", b"Menu", b"Menu2", b"Nav", b"Extra", b"Service", b"Neu", b"Kontakt"]
RARE_SECTIONS = [b"Daten", b"Link", b"Tree", b"Seiten", b"FrameSet", b"Title", b"Font",
                 b"\xdcbersicht", b"Gr\xfc\xdfe", b"td", b"Border"]
USERS = [b"anna", b"bernd", b"J\xfcrgen", b"carla", b"DIETER", b"eva-m", b"f.x", b"ANNA"]
SERVERS = [b"srv1", b"SRV2", b"fs-k\xf6ln", b"nas"]
RIGHTS = [b"", b"", b"00000001", b"00000002", b"00000003", b"00010000", b"00010001",
          b"00020002", b"0x2", b"3", b"zz", b"00000001 "]
FLAGS = [b"", b"", b"", b"00000001", b"00000002", b"00000004", b"00000005", b"00000006",
         b"00010000", b"00020000", b"00010002", b"0x4"]
USER_RIGHTS = [b"00000001", b"00000003", b"00010002", b"00020001", b"0", b"", b"ff", b"0x1"]
SERVER_FLAGS = [b"00010000", b"00020000", b"", b"00030000", b"0"]
LOESCH_STD = [None, b"24", b"0", b"-1", b"nie", b"abc", b"48h", b"", b"-2", b"1"]
# Page names: plain ones mostly; devices, streams, folders, the lock and
# names that leave the folder now and then.
ODD_PAGE_NAMES = [b"CON.htm", b"NUL", b"p.htm:evil", b"x.htm.", b"Pagetrix.lck", b"..",
                  b"../raus.htm", b"sub/x.htm", b"sub\\x.htm", b"COM1", b"aux.txt", b"bild.gif",
                  b"LPT1.htm", b"seite.htm ", b"prn"]
UTF8_TEXT = "Grüße aus Köln – „Start“".encode("utf-8")
BOM = b"\xef\xbb\xbf"
EXTRA_WORDS = [b"Start", b"Hilfe & Infos", b"Gr\xfc\xdfe", UTF8_TEXT, b"50% Rabatt", b"a>b",
               b"C:\\Daten", b"\\\\srv\\share", b"O'Brien", b"\"zitat\"", b"%TDIR%", b"%NICHTDA%",
               b"\\n", b"\\u00e4", b"it's", b"\xe4\xf6\xfc", b"\\'x"]
# Texts that leave a tree menu's script unreadable: rarer, or they would
# blank most menus.
MENU_BREAKERS = [b"x\\", b"\\x4", b"a\\\\'b", b"\\u12"]


class Config:
    """One configuration on disk, and how to start the program on it."""

    def __init__(self, root, target, native):
        self.root = root
        self.target = target
        self.native = native
        self.files = {}      # relative path -> bytes
        self.folders = set()
        self.links = {}      # relative path -> link target (natively)
        self.main = "cfg/Pagetrix.ini"
        self.start = "cfg/start.ini"
        self.env_file = None
        self.command_on_line = True
        self.cwd = "cwd"

    def path(self, rel):
        """The program's bytes for the path of `rel` below the root."""
        return self.target.path(os.path.join(self.root, rel)).encode("cp1252")

    def write(self):
        for folder in sorted(self.folders):
            os.makedirs(os.path.join(self.root, folder), exist_ok=True)
        for rel, data in self.files.items():
            full = os.path.join(self.root, rel)
            os.makedirs(os.path.dirname(full), exist_ok=True)
            with open(full, "wb") as f:
                f.write(data)
        for rel, to in self.links.items():
            os.symlink(to, os.path.join(self.root, rel))

    def listing(self):
        """The configuration's text files, for a report of a divergence."""
        out = []
        for rel in sorted(self.files):
            if rel.endswith((".ini", ".htm")):
                out.append("---- %s\n%s" % (rel, self.files[rel].decode("cp1252", "replace")))
        for rel, to in sorted(self.links.items()):
            out.append("---- %s -> %s" % (rel, to))
        return "\n".join(out)


def crlf(lines, last_newline=True):
    data = b"\r\n".join(lines)
    return data + b"\r\n" if last_newline else data


class Generator:
    def __init__(self, rng, target, native, own_server):
        self.rng = rng
        self.target = target
        self.native = native
        self.own_server = own_server
        self.sep = target.sep.encode()
        self.tokens = 0

    def chance(self, p):
        return self.rng.random() < p

    def pick(self, items):
        return self.rng.choice(items)

    def token(self):
        self.tokens += 1
        return b"ZQ%05dJ" % self.tokens

    # ---- the configuration ----

    def make(self, root):
        c = Config(root, self.target, self.native)
        self.c = c
        c.folders.update(["cfg", "cwd", "dump", "temp", "rec"])
        self.sections = self.rng.sample(SECTIONS, self.rng.randint(1, 4))
        if self.chance(0.25):
            self.sections.append(self.pick(RARE_SECTIONS))
        self.env_vars = {}
        self.template_folders()
        self.users = self.rng.sample(USERS, self.rng.randint(0, 3))
        self.servers = self.rng.sample(SERVERS, self.rng.randint(0, 2))
        if self.chance(0.7):
            self.environment_file()
        self.command_files()
        self.main_config()
        return c

    def template_folders(self):
        c = self.c
        self.templates = {"cfg": [b"tpl.htm"], "cwd": [b"tpl.htm"],
                          "out": [b"seite1.htm", b"navi.htm", b"Pagetrix.htm"]}
        for folder in ("t1", "t2", "t3"):
            c.folders.add(folder)
            self.templates[folder] = self.rng.sample([b"tplA.htm", b"tplB.htm", b"tplC.htm"], 2)
            for name in self.templates[folder]:
                c.files["%s/%s" % (folder, name.decode())] = self.template()
            if self.chance(0.7):
                c.files[folder + "/bild.gif"] = b"GIF89a" + folder.encode()
            if self.chance(0.5):
                c.files[folder + "/style.css"] = b"body { color: black }\r\n"
            if self.chance(0.2):
                c.files[folder + "/notiz.ini"] = b"[x]\r\ny=1\r\n"
            if self.chance(0.2):
                c.files[folder + "/.versteckt"] = b"h"
            if self.chance(0.3):
                c.files[folder + "/unter/innen.gif"] = b"GIF89a"
            if self.native and self.chance(0.15):
                c.links[folder + "/verweis.gif"] = "bild.gif" if (folder + "/bild.gif") in c.files \
                    else "fehlt.gif"
            if self.native and self.chance(0.1):
                c.links[folder + "/ordnerverweis"] = "../t1"
        # The folder of the command files is a template folder too (no Verzeichnis).
        c.files["cfg/tpl.htm"] = self.template()
        c.files["cwd/tpl.htm"] = self.template()

    def template(self):
        lines = []
        head = self.pick([b"<head>", b"<HEAD>", b"<html><Head>", b"<head lang=\"de\">"])
        if not head.startswith(b"<html>"):
            lines.append(b"<html>")
        lines.append(head)
        title = b"Seite"
        if self.chance(0.08):
            title += b" " + self.pick(self.sections)
        lines.append(b"<title>" + title + b"</title>")
        lines.append(b"</head><body>")
        for _ in range(self.rng.randint(1, 5)):
            lines.append(self.template_line())
        lines.append(b"</body></html>")
        data = crlf(lines, self.chance(0.8))
        if self.chance(0.1):
            data = BOM + data
        if self.chance(0.1):
            data = data.replace(b"\r\n", b"\n")
        return data

    def template_line(self):
        r = self.rng.random()
        name = self.pick(self.sections)
        if self.chance(0.3):
            name = name.lower()
        if r < 0.45:
            return b"<p>" + name + b"</p>"
        if r < 0.55:
            return b"<td>" + name + b"</td><td>" + self.pick(self.sections) + b"</td>"
        if r < 0.6:
            return b"Web" + name + b"seite"
        if r < 0.65:
            return name + b" und " + name
        if r < 0.7:
            return b"<div class=\"" + name + b"\">x</div>"
        if r < 0.8:
            return UTF8_TEXT + b" " + name
        return b"<p>" + self.pick([b"Text", b"\xc4rger", UTF8_TEXT, b"nichts"]) + b"</p>"

    def environment_file(self):
        c = self.c
        c.env_file = "cfg/umgebung.ini"
        sep = self.sep
        lines = []
        sub = {}
        servers = self.servers + ([self.own_server] if self.chance(0.6) else [])
        for server in servers:
            if self.chance(0.7):
                sub[server] = self.pick([b"t1", b"t2", b"t3"])
        for server, folder in sub.items():
            section = b"Lokal" if len(server) == 2 and server[1:2] == b":" else b"Server_" + server
            lines += [b"[" + section + b"]", b"SUB=" + folder]
        root = c.path("")
        if not root.endswith(sep):
            root += sep
        for section in (b"Environment", b"Environment_FIXED", b"Environment_CDROM"):
            if not self.chance(0.6):
                continue
            lines.append(b"[" + (section.upper() if self.chance(0.2) else section) + b"]")
            folder = self.pick([b"%SUB%", b"t1", b"t2", b"t3", b"fehlt"])
            lines.append(b"TDIR=" + root + folder)
            if self.chance(0.5):
                lines.append(b"TPL=" + self.pick([b"tplA.htm", b"tplB.htm", b"tplC.htm"]))
            if self.chance(0.5):
                lines.append(b"PAGE=" + self.pick([b"p1.ini", b"p2.ini", b"fehlt.ini"]))
            if self.chance(0.3):
                lines.append(b"NAME=" + self.page_name())
        data = crlf(lines)
        if self.chance(0.1):
            data = BOM + data
        c.files[c.env_file] = data

    # ---- command files ----

    def command_files(self):
        c = self.c
        self.page_files = ["cfg/p%d.ini" % n for n in range(1, self.rng.randint(2, 4))]
        for rel in self.page_files:
            if self.chance(0.95):
                c.files[rel] = self.page_command_file(start=False)
        if self.chance(0.3):
            c.files[c.start] = self.page_command_file(start=True)
            return
        lines = [b"[Seiten]"]
        used = []
        for n in range(self.rng.randint(1, 4)):
            page_file = self.pick([p.split("/")[1].encode() for p in self.page_files])
            r = self.rng.random()
            if r < 0.06:
                page_file = b"%PAGE%"
            elif r < 0.1:
                page_file = c.path("cfg/" + page_file.decode())
            elif r < 0.12:
                page_file = b"fehlt.ini"
            elif r < 0.13:
                page_file = b"t1"
            name = self.page_name()
            if used and self.chance(0.1):
                name = self.pick(used)
            used.append(name)
            value = page_file + b" | " + name if self.chance(0.3) else page_file + b"|" + name
            if self.chance(0.015):
                value = page_file + b"|"
            lines.append(b"%d=" % n + value)
        if self.chance(0.5):
            lines.append(b"[FrameSet]")
            frames = used + [b"fehlt.htm"]
            lines.append(b"FrameLinks=" + self.pick(frames))
            if self.chance(0.85):
                lines.append(b"FrameRechts=" + self.pick(frames))
            if self.chance(0.5):
                lines.append(b"Name=" + self.pick([b"index.htm", b"Pagetrix.htm", b"start.htm",
                                                  self.page_name(), b""] + used))
            if self.chance(0.3):
                lines.append(b"Titel=Start")
        if self.chance(0.5):
            lines = self.blemishes(lines)
        c.files[c.start] = self.bom(crlf(lines))

    def page_name(self):
        if self.chance(0.07):
            return self.pick(ODD_PAGE_NAMES)
        if self.chance(0.05):
            return b"%NAME%"
        return self.pick([b"seite1.htm", b"seite2.htm", b"navi.htm", b"inhalt.htm", b"Seite1.htm",
                          b"\xfcbersicht.htm"])

    def bom(self, data):
        return BOM + data if self.chance(0.06) else data

    def blemishes(self, lines):
        """Now and then a "#" line, which the reader refuses without "="."""
        out = list(lines)
        if self.chance(0.03):
            out.insert(self.rng.randint(0, len(out)), b"# Kommentar")
        if self.chance(0.08):
            out.insert(self.rng.randint(1, len(out)), b"#alt=" + self.token())
        return out

    def page_command_file(self, start):
        c = self.c
        lines = [b"[Vorlage]"]
        # The folder first, then mostly a template that lies there.
        r = self.rng.random()
        folder = None
        if r < 0.55:
            folder = self.pick(["t1", "t2", "t3"])
            lines.append(b"Verzeichnis=" + c.path(folder))
        elif r < 0.68:
            lines.append(b"Verzeichnis=%TDIR%")
        elif r < 0.76:
            folder = "cwd"
            lines.append(b"Verzeichnis=")
        elif r < 0.79:
            lines.append(b"Verzeichnis=" + c.path("fehlt"))
        elif r < 0.8:
            # The output folder: a template there is a page this run wrote before.
            folder = "out"
            lines.append(b"Verzeichnis=%PagetrixAusgabePath%")
        else:
            folder = "cfg"
        there = self.templates.get(folder) or [b"tplA.htm", b"tplB.htm", b"tplC.htm"]
        r = self.rng.random()
        template = self.pick(there)
        if r < 0.05:
            template = b"%TPL%"
        elif r < 0.08:
            template = b"fehlt.htm"
        elif r < 0.1:
            template = b"unter"
        elif r < 0.11:
            template = c.path("t1/tplA.htm")
        elif r < 0.13:
            template = None
        if template is not None:
            lines.append(b"Vorlage=" + template)
        if self.chance(0.07):
            lines.append(b"Sound=" + self.pick([b"intro.mid|1", b"intro.mid", b"", b"%SND%|2"]))
        for section in self.rng.sample(self.sections, self.rng.randint(0, len(self.sections))):
            lines += self.placeholder_section(section)
        if start and self.chance(0.2):
            lines += [b"[FrameSet]", b"Name=Pagetrix.htm"]
        lines = self.blemishes(lines)
        return self.bom(crlf(lines))

    def placeholder_section(self, name):
        lines = [b"[" + name + b"]"]
        tree = self.chance(0.45)
        if tree:
            lines.append(b"TreeMenu=" + self.pick([b"1", b"1", b"01", b" 1"]))
        elif self.chance(0.15):
            lines.append(b"TreeMenu=" + self.pick([b"0", b"2", b"ja", b""]))
        if self.chance(0.3):
            lines.append(b"Ueberschrift=" + self.pick([b"Links", b"Meine Seiten", b""]))
        if self.chance(0.1):
            lines.append(b"Border=" + self.pick([b"0", b"2", b""]))
        if self.chance(0.1):
            lines.append(b"FontTabelle=Arial|2")
        for n in range(self.rng.randint(0, 6)):
            key = b"%d" % n
            if self.chance(0.08):
                key = self.pick([b"Text", b"17", b"Uberschrift", b"#x", b"border"])
            lines.append(key + b"=" + self.link_entry(tree))
        return lines

    def link_entry(self, tree):
        text = b"#" * self.pick([0, 0, 0, 1, 1, 2, 3]) + self.token()
        for _ in range(self.rng.randint(0, 2)):
            r = self.rng.random()
            if r < 0.25:
                text += b" " + self.pick(self.sections)
            elif r < 0.27:
                text += b" " + self.pick(MENU_BREAKERS)
            else:
                text += b" " + self.pick(EXTRA_WORDS)
        link = self.pick([b"", b"seite1.htm", b"http://intra/x", b"bild.gif", b"fehlt.htm",
                          b"\\\\srv\\share\\doc.pdf", b"mailto:a@b", b"x'y.htm", b"a\"b.htm"])
        description = self.pick([b"", b"", b"Beschreibung", b"\xc4nderungen", self.pick(self.sections)])
        tooltip = self.pick([b"", b"Tipp", b"it's", b"C:\\pfad", b"\"q\""])
        fields = [text, link, description, tooltip, self.pick(RIGHTS), self.pick(FLAGS)]
        while len(fields) > 1 and fields[-1] == b"" and self.chance(0.6):
            fields.pop()
        value = b"|".join(fields)
        if self.chance(0.05):
            value = value.replace(b"|", b" | ")
        return value

    # ---- the main configuration ----

    def main_config(self):
        c = self.c
        lines = []
        bom = self.chance(0.05)
        if bom:
            lines.append(b"[Info]")
        lines += [b"[Pagetrix]", b"Sichtbar=0"]
        loesch = self.pick(LOESCH_STD)
        if loesch is not None:
            lines.append(b"LoeschStd=" + loesch)
        lines += [b"[StartProg]", b"Name=" + self.target.start_program.encode("cp1252")]
        # The run log tells what the exit code does not: a copy that failed.
        lines += [b"[Protokolldatei]", b"Name=" + c.path("rec/run.log")]
        if not self.command_on_line():
            lines += [b"[StartVorlage]", b"StartVorlage=" + c.path(c.start)]
        if self.users or self.chance(0.5):
            lines.append(b"[Rechte]")
            for user in self.users:
                lines.append(user + b"=" + self.pick(USER_RIGHTS))
        if self.servers or self.chance(0.5):
            lines.append(b"[Server]")
            for server in self.servers:
                lines.append(server + b"=" + self.pick(SERVER_FLAGS))
        if self.chance(0.4):
            lines.append(b"[Kopieren]")
            for n in range(self.rng.randint(1, 3)):
                lines.append(b"%d=" % n + self.copy_entry())
        if self.chance(0.4):
            lines.append(b"[Nicht_Kopieren]")
            for n in range(self.rng.randint(1, 3)):
                lines.append(b"%d=" % n + self.excluded_entry())
        data = crlf(lines)
        c.files[c.main] = BOM + data if bom else data

    def command_on_line(self):
        if not hasattr(self, "_on_line"):
            self._on_line = self.chance(0.85)
            self.c.command_on_line = self._on_line
        return self._on_line

    def copy_entry(self):
        c = self.c
        sep = self.sep
        source = self.pick([c.path("t1/bild.gif"), c.path("t2/style.css"), c.path("t1/fehlt.gif"),
                            b"tpl.htm", c.path("t1")])
        r = self.rng.random()
        if r < 0.45:
            target = b"%PagetrixAusgabePath%" + sep + self.pick([b"kopie.gif", b"bild.gif"])
        elif r < 0.6:
            target = b"%PagetrixAusgabePath%" + sep + self.page_name()
        elif r < 0.7:
            target = b"%PagetrixAusgabePath%" + sep + b"neu" + sep + b"x.gif"
        elif r < 0.78:
            target = b"%PagetrixAusgabePath%"
        elif r < 0.9:
            target = c.path("dump/kopie.gif")
        else:
            return source
        return source + b"|" + target

    def excluded_entry(self):
        c = self.c
        return self.pick([c.path("t1/bild.gif"), c.path("t1/bild.gif").upper(), b"bild.gif",
                          c.path("t2") + self.sep + b"*.css", c.path("t2/style.css"),
                          c.path("cfg/Pagetrix.ini")])
