"""A broken copy of the example portal with one case of every finding of the
check mode, made at test time from examples/portal so that it follows the
example's changes. Each edit names the finding it is there for.
"""

import os
import shutil
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "..", "tools"))
from set_ini_keys import set_keys  # noqa: E402

SOURCE = os.path.abspath(os.path.join(HERE, "..", "..", ".."))
PORTAL = os.path.join(SOURCE, "examples", "portal")
ASSETS = os.path.join(SOURCE, "assets", "treemenu")


def copy_portal(target):
    """The example portal with the shipped menu script and style sheet beside its pages."""
    shutil.copytree(PORTAL, target)
    templates = os.path.join(target, "startseite")
    for name in ("treemenu.js", "treemenu.css"):
        if not os.path.exists(os.path.join(templates, name)):
            shutil.copy(os.path.join(ASSETS, name), templates)
    return target


def _read(path):
    with open(path, "rb") as f:
        return f.read()


def _write(path, text, encoding="cp1252"):
    data = text.encode(encoding) if isinstance(text, str) else text
    with open(path, "wb") as f:
        f.write(data.replace(b"\r\n", b"\n").replace(b"\n", b"\r\n"))


def _append_to_section(data, section, lines):
    """Adds raw lines at the end of a section (before the next header)."""
    text = data.decode("cp1252")
    rows = text.split("\r\n")
    start = next(i for i, row in enumerate(rows) if row.strip().lower() == "[%s]" % section.lower())
    end = start + 1
    while end < len(rows) and not rows[end].strip().startswith("["):
        end += 1
    while end > start + 1 and rows[end - 1].strip() == "":
        end -= 1
    rows[end:end] = lines
    return "\r\n".join(rows).encode("cp1252")


def make_broken_portal(target, winpath):
    """Writes the broken copy below `target`; returns (main config, start command file, env file)."""
    copy_portal(target)
    templates = os.path.join(target, "startseite")
    main = os.path.join(target, "Pagetrix.ini")
    data = set_keys(_read(main), {
        ("Protokolldatei", "Name"): r"%TEMP%\Pagetrix.log",  # % never expanded
        ("Pagetrix", "LoeschStd"): "einen Tag",                # not a number
    })
    data = _append_to_section(data, "Rechte", [
        "gast=0x0001",          # not eight hexadecimal digits
        "mueller=00000001",     # duplicate key
    ])
    data = _append_to_section(data, "Server", ["FS-TEST=00010001"])  # low bits have no effect
    data = _append_to_section(data, "Nicht_Kopieren", [r"1=%s\*.bak" % winpath(templates)])
    data = _append_to_section(data, "Kopieren", [
        r"1=%s\fehlt.gif|%%PagetrixAusgabePath%%\fehlt.gif" % winpath(target),  # missing source
        "2=nur_quelle.gif",     # no target
    ])
    data = _append_to_section(data, "StartProg", ["Parm=-kiosk"])  # near-miss key
    _write(main, data)

    start = os.path.join(templates, "Start.ini")
    data = _append_to_section(_read(start), "Seiten", [
        "7=Hilfe.ini|hilfe.htm",        # duplicate output name
        "8=Fehlt.ini|fehlt.htm",        # page command file missing
        "9=Kaputt.ini|kaputt.htm",      # the page of the placeholder findings
        "10=Kommentar.ini|kommentar.htm",  # a # line without = skips the page
        "11=Klang.ini|klang.htm",       # Sound: no placeholder replaced
        "12=Ordner|ordner.htm",         # a folder, not a file
        "13=Utf8.ini|utf8.htm",         # saved as UTF-8 with a byte-order mark
    ])
    data = set_keys(data, {("FrameSet", "FrameRechts"): "start.htm"})  # page that is never made
    data = _append_to_section(data, "FrameSet", ["Title=Intranet"])  # near-miss key
    _write(start, data)

    _write(os.path.join(templates, "Kaputt.ini"),
           "Seite mit Fehlern\n"                         # before the first section
           "[Vorlage]\n"
           "Vorlage=kaputt_vorlage.htm\n"
           "Verzeichniss=..\n"                           # near-miss Verzeichnis
           "[Intranet]\n"                                # placeholder in the title
           "Ueberschift=Neu im Intranet\n"               # near-miss Ueberschrift: a link
           "\u00dcberschrift=Neu\n"                      # umlaut spelling: a link
           "TreeMenu=ja\n"                               # neither 0 nor 1
           "0=Telefonbuch|telefon.htm|Durchwahlen ;neu|Telefon\n"  # blank and ; cut the value
           "1=Handbuch|handbuch.htm|Regeln|Tipp \"neu\"\n"  # quote in an attribute, missing target
           "2=Geheim|http://geheim.intranet.local/|||00020000\n"  # only high rights bits
           "3=Rechte|http://rechte.intranet.local/|||12\n"  # rights not eight digits
           "4=Flags|http://flags.intranet.local/||||00000010\n"  # flag bit without meaning
           "0=Doppelt|http://doppelt.intranet.local/\n"  # duplicate key
           "[Menue]\n"
           "TreeMenu=1\n"
           "0=Max's Seite|http://max.intranet.local/\n"  # the writer escapes quotes: fine
           "1=Ablage|\\\\srv\\share\\ablage\n"           # backslash escapes in the script
           "[MenueZwei]\n"                               # contains the name Menue
           "0=Zwei|http://zwei.intranet.local/\n"
           "[Abschnitt9]\n"                              # placeholder not in the template
           "0=Nie|http://nie.intranet.local/\n"
           "[Wort]\n"                                    # inside a longer word, twice
           "0=W|http://wort.intranet.local/\n")
    _write(os.path.join(templates, "kaputt_vorlage.htm"),
           "<html>\n<head>\n"
           "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">\n"
           "<title>Intranet der Muster GmbH</title>\n"
           "</head>\n<body>\nINTRANET\nMENUE\nMENUEZWEI\n<p>Wortliste: WORT</p>\n"
           "</body>\n</html>\n")
    _write(os.path.join(templates, "Kommentar.ini"),
           "[Vorlage]\nVorlage=inhalt_vorlage.htm\n# Kommentar\n[Abschnitt1]\n"
           "0=Kommentar|http://kommentar.intranet.local/\n")
    _write(os.path.join(templates, "Klang.ini"),
           "[Vorlage]\nVorlage=inhalt_vorlage.htm\nSound=gong.wav\n[Abschnitt1]\n"
           "0=Klang|http://klang.intranet.local/\n")
    os.makedirs(os.path.join(templates, "Ordner"))
    _write(os.path.join(templates, "Utf8.ini"),
           "\ufeff[Vorlage]\nVorlage=inhalt_vorlage.htm\n[Abschnitt1]\n"
           "0=Termine im M\u00e4rz|http://maerz.intranet.local/\n", encoding="utf-8")
    _write(os.path.join(templates, "Entwurf.ini"),  # a command file no run uses: copied
           "[Vorlage]\nVorlage=inhalt_vorlage.htm\n")

    env = os.path.join(target, "umgebung.ini")
    _write(env, "[Environment]\nINTRANET=%StartLW%\\Intranet\nkaputt\n")  # line without =
    return main, start, env
