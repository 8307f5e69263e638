// Saved in Windows-1252: the texts below are the report's own, byte for byte.
#include "check/check.h"

#include <algorithm>
#include <set>
#include <utility>

#include "base/log_sink.h"
#include "base/string_printf.h"
#include "base/text.h"
#include "check/detectors.h"
#include "check/ini_scan.h"
#include "config/environment.h"
#include "config/ini_file.h"
#include "fs/drive_part.h"
#include "fs/util.h"
#include "gen/link_entry.h"
#include "platform/platform.h"

namespace {

const char kDefaultPage[] = "Pagetrix.htm";

// What a file is to the run: the consequences of a missing one differ.
enum class Role { kMainConfig, kStartCommands, kPageCommands, kTemplate, kEnvironment };

const char* MissingConsequence(Role role) {
  switch (role) {
    case Role::kMainConfig:
      return "Ein Lauf liest dann keine Einstellung: kein Laufprotokoll, keine Rechte, kein "
             "Startprogramm.";
    case Role::kStartCommands:
      return "Ein Lauf erzeugt keine Seite (Meldung 200).";
    case Role::kPageCommands:
      return "Ein Lauf lässt diese Seite aus (Meldung 200).";
    case Role::kTemplate:
      return "Ein Lauf bricht bei dieser Seite ab (Meldung 205); spätere Seiten fehlen.";
    case Role::kEnvironment:
      return "Ein Lauf setzt keine Variable aus der Umgebungsdatei.";
  }
  return "";
}

std::string Quote(const std::string& text) { return "\"" + text + "\""; }

// The check writes no run log: what expansion would log goes nowhere.
class NullLog : public LogSink {
 public:
  void Log(const std::string&) override {}
};

// The file's bytes, or a finding for why a run cannot read them.
struct FileRead {
  bool ok = false;
  std::string bytes;
};

class Checker {
 public:
  explicit Checker(const CheckInput& input) : input_(input), main_(*input.main_config) {}

  CheckReport Run();

 private:
  struct Page {
    std::string command_file;
    std::string output_name;
    size_t line = 0;
  };

  void Add(Severity severity, const std::string& file, size_t line, const std::string& section,
           const std::string& key, std::string what, std::string fix) {
    report_.findings.push_back(
        Finding{severity, file, line, section, key, std::move(what), std::move(fix)});
  }
  void Add(Severity severity, const std::string& file, const IniLine* at, std::string what,
           std::string fix) {
    Add(severity, file, at ? at->number : 0, at ? at->section : "", at ? at->key : "",
        std::move(what), std::move(fix));
  }

  /// A key line whose key is nearly one of `names`: a run passes it over.
  void WarnUnknownKey(const std::string& file, const IniLine& line,
                      std::initializer_list<std::string_view> names) {
    const std::string near = NearMissName(line.key, names);
    if (near.empty()) return;
    Add(Severity::kWarning, file, &line,
        "Der Schlüssel " + Quote(line.key) + " ist unbekannt (gemeint ist wohl " + Quote(near) +
            "): ein Lauf übergeht ihn.",
        "Den Namen " + Quote(near) + " schreiben.");
  }

  FileRead ReadChecked(const std::string& path, Role role, Severity severity);
  std::vector<IniLine> CheckIniFile(const std::string& path, const std::string& bytes, Role role);
  void CheckEncoding(const std::string& path, const std::string& bytes, bool ini);
  void CheckMainConfig();
  void CheckFlagWords(const std::vector<IniLine>& lines, const char* section, bool server);
  void CheckCopyLists(const std::vector<IniLine>& lines);
  bool CheckStartCommands(std::vector<Page>& pages, CIniFile& commands,
                          std::vector<IniLine>& lines);
  void CheckFrameSet(const CIniFile& commands, const std::vector<IniLine>& lines);
  bool CheckPage(const Page& page);
  void CheckPlaceholders(const Page& page, const CIniFile& commands,
                         const std::vector<IniLine>& lines, const std::vector<std::string>& html,
                         const std::string& template_file, bool sound);
  void CheckSection(const Page& page, const CIniFile& commands, const std::vector<IniLine>& lines,
                    const std::string& section, bool reachable, const std::string& never);
  void CheckLinkEntry(const Page& page, const IniLine* at, const std::string& value, bool tree,
                      MatrixRow& row);
  void CheckTemplateFolders();
  void CheckLinkTargets();
  void AddColumns();
  void SortFindings();
  bool WillExist(const std::string& name) const;

  void Expand(std::string& value) { ExpandEnvironment(value, null_log_); }

  const CheckInput& input_;
  const CIniFile& main_;
  NullLog null_log_;
  CheckReport report_;
  std::vector<IniLine> main_lines_;
  std::set<std::string> negative_;  // upper-cased, as the copy step compares
  std::vector<std::string> template_directories_;
  std::set<std::string> output_names_;  // upper-cased names the output folder will hold
  struct PendingLink {
    std::string file;
    size_t line;
    std::string section, key, link;
  };
  std::vector<PendingLink> relative_links_;
  std::vector<std::pair<std::string, const IniLine*>> frame_pages_;
  std::string start_file_;
  std::vector<IniLine> start_lines_;
};

FileRead Checker::ReadChecked(const std::string& path, Role role, Severity severity) {
  FileRead read;
  Platform& platform = GetPlatform();
  PathKind kind = GetPathKind(path);
  if (kind == PathKind::kDirectory) {
    Add(severity, path, 0, "", "",
        "Der Pfad ist ein Ordner, keine Datei. " + std::string(MissingConsequence(role)),
        "Den Pfad der Datei angeben.");
    return read;
  }
  if (!platform.ReadFile(path, &read.bytes)) {
    if (kind == PathKind::kNothing) {
      Add(severity, path, 0, "", "", "Die Datei fehlt. " + std::string(MissingConsequence(role)),
          "Den Pfad prüfen oder die Datei anlegen.");
    } else {
      Add(severity, path, 0, "", "",
          "Die Datei kann nicht gelesen werden (keine Rechte, oder ein "
          "anderes Programm hält sie offen). " +
              std::string(MissingConsequence(role)),
          "Leserechte geben bzw. das andere Programm schließen.");
    }
    return read;
  }
  if (read.bytes.empty()) {
    Add(Severity::kWarning, path, 0, "", "", "Die Datei ist leer.",
        "Den Inhalt ergänzen oder den Verweis auf die Datei entfernen.");
  }
  read.ok = true;
  return read;
}

void Checker::CheckEncoding(const std::string& path, const std::string& bytes, bool ini) {
  if (StartsWithUtf8Bom(bytes)) {
    Add(ini ? Severity::kError : Severity::kWarning, path, 1, "", "",
        ini ? "Die Datei beginnt mit einer UTF-8-Kennung (BOM): für den Leser ist die erste Zeile "
              "kein Sektionskopf, sie und alle Einträge bis zum nächsten Sektionskopf werden "
              "übergangen."
            : "Die Datei beginnt mit einer UTF-8-Kennung (BOM): sie steht als \"ï»¿\" am Anfang "
              "der Seite.",
        "Die Datei als Windows-1252 (ANSI) ohne BOM speichern.");
  }
  size_t line = 1, count = 0, first_line = 0;
  std::string example;
  for (size_t start = 0; start < bytes.size(); ++line) {
    size_t lf = bytes.find('\n', start);
    std::string text =
        bytes.substr(start, lf == std::string::npos ? std::string::npos : lf - start);
    size_t skip = line == 1 && StartsWithUtf8Bom(text) ? 3 : 0;
    size_t at = FindUtf8Sequence(std::string_view(text).substr(skip));
    if (at != std::string::npos) {
      if (count++ == 0) {
        first_line = line;
        at += skip;
        size_t begin = text.find_last_of(" \t|=>", at);
        begin = begin == std::string::npos ? 0 : begin + 1;
        size_t end = text.find_first_of(" \t|<\r", at);
        example = text.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
      }
    }
    start = lf == std::string::npos ? bytes.size() : lf + 1;
  }
  if (count == 0) return;
  std::string more =
      count > 1 ? StringPrintf(" (so in %u Zeilen)", static_cast<unsigned>(count)) : std::string();
  Add(Severity::kWarning, path, first_line, "", "",
      "Die Datei ist als UTF-8 gespeichert, wird aber als Windows-1252 gelesen: die Seiten "
      "zeigen " +
          Quote(example) + more + ".",
      "Die Datei als Windows-1252 (ANSI) speichern.");
}

std::vector<IniLine> Checker::CheckIniFile(const std::string& path, const std::string& bytes,
                                           Role role) {
  CheckEncoding(path, bytes, true);
  std::vector<IniLine> lines = ScanIniLines(bytes);
  bool commands = role == Role::kStartCommands || role == Role::kPageCommands;
  for (const IniLine& line : lines) {
    std::string raw = TrimBlanks(line.raw);
    bool hash = !raw.empty() && raw[0] == '#';
    switch (line.kind) {
      case IniLineKind::kNoEquals: {
        std::string what = "Die Zeile " + Quote(raw) + " hat kein \"=\"";
        if (hash) what += " (\"#\" leitet keinen Kommentar ein)";
        if (line.piece) what = "Der Rest einer Zeile über 1021 Zeichen hat kein \"=\"";
        what += role == Role::kStartCommands  ? ": der Leser lehnt die Datei ab, ein Lauf erzeugt "
                                                "keine Seite (Meldung 200)."
                : role == Role::kPageCommands ? ": der Leser lehnt die Datei ab, ein Lauf lässt "
                                                "diese Seite aus (Meldung 200)."
                                              : ": der Leser übergeht sie.";
        Add(commands ? Severity::kError : Severity::kWarning, path, line.number, line.section, "",
            what,
            line.piece ? "Die Zeile kürzen."
                       : "Als Kommentar \";\" an den Zeilenanfang setzen, oder \"=\" und "
                         "einen Wert ergänzen.");
        break;
      }
      case IniLineKind::kBeforeFirstSection:
        Add(Severity::kWarning, path, line.number, "", "",
            "Die Zeile " + Quote(raw) +
                " steht vor dem ersten Sektionskopf: der Leser übergeht "
                "sie.",
            "Unter die richtige Sektion schieben oder mit \";\" als Kommentar beginnen.");
        break;
      case IniLineKind::kKey:
        if (hash && commands) {
          Add(Severity::kWarning, path, &line,
              "Die Zeile beginnt mit \"#\", ist aber kein Kommentar: sie wird als Eintrag gelesen, "
              "in einer Platzhaltersektion als Link.",
              "\";\" statt \"#\" an den Zeilenanfang "
              "setzen.");
        }
        if (!line.cut_off.empty() &&
            (line.cut_off.find('|') != std::string::npos ||
             (line.cut_off.size() > 1 && !IsBlankOrTab(line.cut_off[1])))) {
          Add(Severity::kWarning, path, &line,
              "Leerzeichen und \";\" beenden den Wert: " + Quote(line.cut_off) +
                  " wird als Kommentar abgeschnitten, gelesen wird nur " + Quote(line.value) + ".",
              "Das Leerzeichen vor dem \";\" entfernen.");
        }
        if (line.piece) {
          Add(Severity::kWarning, path, &line,
              "Die Zeile ist länger als 1021 Zeichen: der Leser "
              "teilt sie, der Rest wird eine eigene Zeile.",
              "Die Zeile kürzen.");
        }
        break;
      default:
        break;
    }
  }
  // Of two equal keys a lookup finds the first; in lists keys do not count,
  // and every link entry is shown whatever its key.
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].kind != IniLineKind::kKey) continue;
    const std::string& section = lines[i].section;
    if (EqualsNoCaseAscii(section, "Seiten") || EqualsNoCaseAscii(section, "Kopieren") ||
        EqualsNoCaseAscii(section, "Nicht_Kopieren"))
      continue;
    bool link = commands && !EqualsNoCaseAscii(section, "Vorlage") &&
                !EqualsNoCaseAscii(section, "FrameSet") && !IsSettingKey(lines[i].key);
    for (size_t j = 0; j < i; ++j) {
      if (lines[j].kind == IniLineKind::kKey &&
          EqualsNoCaseAscii(lines[j].section, lines[i].section) &&
          EqualsNoCaseAscii(lines[j].key, lines[i].key)) {
        Add(Severity::kWarning, path, &lines[i],
            StringPrintf(
                "Der Schlüssel steht in dieser Sektion schon in Zeile %u: %s",
                static_cast<unsigned>(lines[j].number),
                link ? "beide Einträge erscheinen als Link." : "ein Lauf liest nur den ersten."),
            link ? "Einen der beiden Einträge entfernen oder umbenennen."
                 : "Einen der beiden Einträge entfernen.");
        break;
      }
    }
  }
  return lines;
}

void Checker::CheckFlagWords(const std::vector<IniLine>& lines, const char* section, bool server) {
  for (const IniLine& line : lines) {
    if (line.kind != IniLineKind::kKey || !EqualsNoCaseAscii(line.section, section)) continue;
    HexText kind = ClassifyHexText(line.value);
    std::uint32_t value = ParseHex(line.value);
    if (kind != HexText::kEightDigits) {
      Add(Severity::kWarning, input_.main_config_path, &line,
          StringPrintf("%s %s ist keine Zahl aus 8 hexadezimalen Ziffern: gelesen wird %08X.",
                       server ? "Das Serverflag" : "Das Recht", Quote(line.value).c_str(), value),
          "8 hexadezimale Ziffern schreiben, z. B. 00010003.");
    }
    if (server && (value & 0x0000FFFF) != 0) {
      Add(Severity::kWarning, input_.main_config_path, &line,
          StringPrintf("Die unteren 16 Bit (%04X) eines Serverflags wirken nicht: nur die oberen "
                       "16 Bit blenden Links aus.",
                       value & 0xFFFF),
          "Das Bit in die obere Hälfte schreiben, z. B. 00010000.");
    }
  }
}

void Checker::CheckCopyLists(const std::vector<IniLine>& lines) {
  const std::string& path = input_.main_config_path;
  for (const IniLine& line : lines) {
    if (line.kind != IniLineKind::kKey) continue;
    if (EqualsNoCaseAscii(line.section, "Nicht_Kopieren")) {
      std::string value = line.value;
      Expand(value);
      if (HasWildcard(value)) {
        Add(Severity::kWarning, path, &line,
            "Die Zeichen \"*\" und \"?\" wirken hier nicht: der "
            "Eintrag schließt nur eine Datei aus, die genau so heißt.",
            "Jede Datei mit vollem "
            "Pfad einzeln eintragen.");
      } else {
        CUtil parts;
        parts.SplitPathLocal(value);
        if (!HasDrivePart(parts)) {
          Add(Severity::kWarning, path, &line,
              "Ein Eintrag ohne vollen Pfad schließt nichts aus: "
              "verglichen wird mit dem vollen Pfad jeder Datei.",
              "Den vollen Pfad angeben, wie "
              "ihn das Vorlagenverzeichnis ergibt.");
        }
      }
      negative_.insert(ToUpperAnsi(value));
    } else if (EqualsNoCaseAscii(line.section, "Kopieren")) {
      std::string value = line.value, source, target;
      Expand(value);
      GetField(source, value, 1, '|');
      GetField(target, value, 2, '|');
      if (source.empty() || target.empty()) {
        Add(Severity::kWarning, path, &line,
            "Der Eintrag nennt nicht Quelle|Ziel: ein Lauf "
            "übergeht ihn (Meldung 222).",
            "Quelle und Ziel durch \"|\" getrennt angeben.");
        continue;
      }
      if (GetPathKind(source) != PathKind::kFile) {
        Add(Severity::kWarning, path, &line,
            "Die Quelle " + Quote(source) +
                " fehlt: ein Lauf "
                "meldet einen Kopierfehler (Meldung 207).",
            "Den Pfad der Quelle prüfen.");
      }
      CUtil parts;
      parts.SplitPathLocal(target);
      std::string directory = GetDirectoryPart(target);
      if (EqualsNoCaseAscii(directory, input_.output_directory + kPathSeparator))
        output_names_.insert(ToUpperAnsi(parts.file_name + parts.extension));
    }
  }
}

void Checker::CheckMainConfig() {
  const std::string& path = input_.main_config_path;
  FileRead read = ReadChecked(path, Role::kMainConfig, Severity::kError);
  if (!read.ok) return;
  main_lines_ = CheckIniFile(path, read.bytes, Role::kMainConfig);
  static const std::initializer_list<std::string_view> kSections = {
      "Pagetrix", "StartProg", "StartVorlage",   "Protokolldatei",
      "Rechte",   "Server",    "Nicht_Kopieren", "Kopieren"};
  for (const IniLine& line : main_lines_) {
    if (line.kind == IniLineKind::kHeader) {
      std::string near = NearMissName(line.section, kSections);
      if (!near.empty()) {
        Add(Severity::kWarning, path, line.number, line.section, "",
            "Die Sektion heißt fast wie [" + near + "]: ein Lauf liest sie nicht.",
            "Den Namen [" + near + "] schreiben.");
      }
    } else if (line.kind == IniLineKind::kKey) {
      if (EqualsNoCaseAscii(line.section, "Pagetrix"))
        WarnUnknownKey(path, line, {"Sichtbar", "LoeschStd", "X", "Y", "CX", "CY", "Maximize"});
      else if (EqualsNoCaseAscii(line.section, "StartProg"))
        WarnUnknownKey(path, line, {"Name", "Ini", "Param", "Log"});
    }
  }
  CheckFlagWords(main_lines_, "Rechte", false);
  CheckFlagWords(main_lines_, "Server", true);
  if (const IniLine* log = FindKeyLine(main_lines_, "Protokolldatei", "Name")) {
    if (log->value.find('%') != std::string::npos) {
      Add(Severity::kWarning, path, log,
          "Der Pfad des Laufprotokolls wird nicht aufgelöst: ein "
          "Lauf öffnet die Datei wörtlich als " +
              Quote(log->value) +
              ", den Ordner gibt es meist "
              "nicht, und es entsteht kein Protokoll.",
          "Einen festen Pfad ohne %...% angeben, z. B. "
          "C:\\Temp\\Pagetrix.log.");
    }
  }
  if (const IniLine* hours = FindKeyLine(main_lines_, "Pagetrix", "LoeschStd")) {
    if (!hours->value.empty() && !IsPlainInteger(hours->value)) {
      Add(Severity::kWarning, path, hours,
          StringPrintf("LoeschStd %s ist keine ganze Zahl: gelesen "
                       "wird %d%s.",
                       Quote(hours->value).c_str(), ParseLeadingInt(hours->value),
                       ParseLeadingInt(hours->value) == 0
                           ? ", alte Ausgabeverzeichnisse werden bei jedem Lauf "
                             "gelöscht"
                           : ""),
          "Eine Zahl von Stunden angeben, -1 = nie löschen.");
    }
  }
  if (const IniLine* visible = FindKeyLine(main_lines_, "Pagetrix", "Sichtbar")) {
    if (!visible->value.empty() && !IsPlainInteger(visible->value)) {
      bool shown = ParseLeadingInt(visible->value) != 0;
      Add(Severity::kWarning, path, visible,
          StringPrintf("Sichtbar %s ist keine Zahl: gelesen wird "
                       "%d, das Ergebnisfenster erscheint %s.",
                       Quote(visible->value).c_str(), ParseLeadingInt(visible->value),
                       shown ? "" : "nicht"),
          "0 oder 1 angeben.");
    }
  }
  CheckCopyLists(main_lines_);
}

bool Checker::CheckStartCommands(std::vector<Page>& pages, CIniFile& commands,
                                 std::vector<IniLine>& lines) {
  const std::string& path = input_.command_file;
  FileRead read = ReadChecked(path, Role::kStartCommands, Severity::kError);
  if (!read.ok) return false;
  lines = CheckIniFile(path, read.bytes, Role::kStartCommands);
  if (commands.Load(path) != 0) return false;
  std::string directory = GetDirectoryPart(path);
  std::string key, value;
  std::vector<std::pair<std::string, size_t>> names;
  size_t n = 0;
  for (const IniLine& line : lines) {
    if (line.kind != IniLineKind::kKey || !EqualsNoCaseAscii(line.section, "Seiten")) continue;
    if (!commands.GetEntry("Seiten", static_cast<int>(n++), key, value)) break;
    Expand(value);
    Page page;
    page.line = line.number;
    GetField(page.command_file, value, 1, '|');
    GetField(page.output_name, value, 2, '|');
    if (page.command_file.empty() || page.output_name.empty()) {
      Add(Severity::kError, path, &line,
          "Der Eintrag nennt nicht Kommandodatei|Seite: ein Lauf "
          "bricht ab, bevor eine Seite entsteht (Meldung 201).",
          "Beide Felder durch \"|\" getrennt "
          "angeben.");
      return false;
    }
    if (page.output_name.find_first_of("\\/") != std::string::npos) {
      Add(Severity::kError, path, &line,
          "Die Seite " + Quote(page.output_name) +
              " liegt in einem "
              "Unterordner, den es im Ausgabeverzeichnis nicht gibt: ein Lauf bricht bei dieser "
              "Seite "
              "ab (Meldung 205).",
          "Einen Dateinamen ohne Ordner angeben.");
    }
    for (const auto& [earlier, at] : names) {
      if (EqualsNoCaseAscii(earlier, page.output_name)) {
        Add(Severity::kWarning, path, &line,
            StringPrintf("Die Seite %s erzeugt schon der Eintrag "
                         "in Zeile %u: die spätere überschreibt die frühere.",
                         Quote(earlier).c_str(), static_cast<unsigned>(at)),
            "Jeder Seite einen eigenen Namen geben.");
        break;
      }
    }
    names.emplace_back(page.output_name, line.number);
    CUtil parts;
    parts.SplitPathLocal(page.command_file);
    if (!HasDrivePart(parts)) page.command_file = directory + page.command_file;
    pages.push_back(page);
  }
  return true;
}

void Checker::CheckFrameSet(const CIniFile& commands, const std::vector<IniLine>& lines) {
  const std::string& path = input_.command_file;
  for (const IniLine& line : lines) {
    if (line.kind == IniLineKind::kKey && EqualsNoCaseAscii(line.section, "FrameSet"))
      WarnUnknownKey(path, line, {"Name", "FrameLinks", "FrameRechts", "BreiteLinks", "Titel"});
  }
  std::string left, right, name;
  commands.GetValue("FrameSet", "FrameLinks", left);
  commands.GetValue("FrameSet", "FrameRechts", right);
  if (left.empty() != right.empty()) {
    Add(Severity::kWarning, path, FindHeaderLine(lines, "FrameSet"),
        "FrameLinks und FrameRechts stehen nicht beide da: ein Lauf schreibt kein Frameset.",
        "Beide Rahmen angeben.");
  }
  if (!left.empty() && !right.empty()) {
    frame_pages_.emplace_back(left, FindKeyLine(lines, "FrameSet", "FrameLinks"));
    frame_pages_.emplace_back(right, FindKeyLine(lines, "FrameSet", "FrameRechts"));
  }
  if (commands.GetValue("FrameSet", "Name", name)) output_names_.insert(ToUpperAnsi(name));
}

// The lines of a template as the template fill reads them.
std::vector<std::string> TemplateLines(const std::string& bytes) {
  std::string text = bytes.substr(0, bytes.find('\x1A'));
  std::vector<std::string> lines;
  for (size_t start = 0; start < text.size();) {
    size_t lf = text.find('\n', start);
    size_t end = lf == std::string::npos ? text.size() : lf;
    std::string line = text.substr(start, end - start);
    if (lf != std::string::npos && !line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    start = lf == std::string::npos ? text.size() : lf + 1;
  }
  return lines;
}

bool Checker::CheckPage(const Page& page) {
  FileRead read = ReadChecked(page.command_file, Role::kPageCommands, Severity::kError);
  CIniFile commands;
  std::vector<IniLine> lines;
  if (read.ok) lines = CheckIniFile(page.command_file, read.bytes, Role::kPageCommands);
  bool loaded = read.ok && commands.Load(page.command_file) == 0;
  if (!loaded) {
    for (int i = 0; i < commands.GetSectionCount(); ++i) {
      std::string name;
      commands.GetSection(i, name);
      if (!name.empty() && !EqualsNoCaseAscii(name, "Vorlage"))
        CheckSection(page, commands, lines, name, false, "Seite wird ausgelassen");
    }
    return true;  // a page that cannot be loaded is skipped, the run goes on
  }
  for (const IniLine& line : lines) {
    if (line.kind == IniLineKind::kHeader) {
      std::string near = NearMissName(line.section, {"Vorlage"});
      if (!near.empty()) {
        Add(Severity::kWarning, page.command_file, line.number, line.section, "",
            "Die Sektion "
            "heißt fast wie [Vorlage]: sie ist ein Platzhalter, ihre Schlüssel werden Links.",
            "Den Namen [Vorlage] schreiben.");
      }
    } else if (line.kind == IniLineKind::kKey && EqualsNoCaseAscii(line.section, "Vorlage")) {
      WarnUnknownKey(page.command_file, line, {"Vorlage", "Verzeichnis", "Sound"});
    }
  }
  std::string template_file, directory, sound;
  if (!commands.GetValue("Vorlage", "Vorlage", template_file)) {
    const IniLine* header = FindHeaderLine(lines, "Vorlage");
    Add(Severity::kError, page.command_file, header ? header->number : 0, "Vorlage", "",
        "Keine Vorlage "
        "angegeben: ein Lauf bricht bei dieser Seite ab (Meldung 204), spätere Seiten fehlen.",
        "In [Vorlage] Vorlage=<Datei> angeben.");
    return false;
  }
  output_names_.insert(ToUpperAnsi(page.output_name));
  Expand(template_file);
  if (commands.GetValue("Vorlage", "Verzeichnis", directory)) {
    Expand(directory);
    if (directory.empty()) {
      Add(Severity::kWarning, page.command_file, FindKeyLine(lines, "Vorlage", "Verzeichnis"),
          "Ein leeres Verzeichnis kopiert jede Datei aus dem Stammverzeichnis des aktuellen "
          "Laufwerks in jedes Ausgabeverzeichnis.",
          "Das Verzeichnis der Vorlage angeben oder den "
          "Schlüssel entfernen.");
    }
  } else {
    directory = GetDirectoryPart(page.command_file);
  }
  if (!directory.empty()) {
    if (directory.back() != kPathSeparator) directory += kPathSeparator;
    template_file = directory + template_file;
  }
  bool known = false;
  for (const std::string& d : template_directories_)
    known = known || EqualsNoCaseAscii(d, directory);
  if (!known) template_directories_.push_back(directory);
  negative_.insert(ToUpperAnsi(template_file));
  negative_.insert(ToUpperAnsi(page.command_file));

  bool sound_set = commands.GetValue("Vorlage", "Sound", sound);
  FileRead html = ReadChecked(template_file, Role::kTemplate, Severity::kError);
  std::vector<std::string> html_lines;
  if (html.ok) {
    CheckEncoding(template_file, html.bytes, false);
    html_lines = TemplateLines(html.bytes);
    std::string charset = DeclaredCharset(html.bytes);
    if (!charset.empty() && !IsAnsiCharset(charset)) {
      auto at = FindPlaceholderOccurrences(html_lines, "CHARSET");
      Add(Severity::kWarning, template_file, at.empty() ? 0 : at[0].line, "", "",
          "Die Vorlage erklärt den Zeichensatz " + Quote(charset) +
              ", die Seiten sind aber Windows-1252: Umlaute erscheinen falsch.",
          "charset=windows-1252 angeben.");
    }
  }
  CheckPlaceholders(page, commands, lines, html_lines, template_file, sound_set);
  return html.ok;
}

void Checker::CheckPlaceholders(const Page& page, const CIniFile& commands,
                                const std::vector<IniLine>& lines,
                                const std::vector<std::string>& html,
                                const std::string& template_file, bool sound) {
  std::vector<std::string> names;
  for (int i = 0; i < commands.GetSectionCount(); ++i) {
    std::string name;
    commands.GetSection(i, name);
    if (name.empty() || EqualsNoCaseAscii(name, "Vorlage")) continue;
    bool seen = false;
    for (const std::string& n : names) seen = seen || EqualsNoCaseAscii(n, name);
    if (!seen) names.push_back(name);
  }
  if (sound && !names.empty()) {
    Add(Severity::kWarning, page.command_file, FindKeyLine(lines, "Vorlage", "Sound"),
        "Mit Sound "
        "ersetzt ein Lauf keinen Platzhalter dieser Seite: die Links fehlen, die Sektionsnamen "
        "bleiben als Text stehen.",
        "Sound entfernen, wenn die Seite Links zeigen soll.");
  }
  std::vector<std::string> uppers;
  for (const std::string& name : names) uppers.push_back(ToUpperAnsi(name));
  const auto replaced = SimulateFill(html, uppers);
  for (size_t i = 0; i < names.size(); ++i) {
    const std::string& name = names[i];
    const IniLine* header = FindHeaderLine(lines, name);
    for (size_t j = 0; j < names.size(); ++j) {
      if (j != i && uppers[j].find(uppers[i]) != std::string::npos) {
        Add(Severity::kWarning, page.command_file, header,
            "Der Sektionsname " + Quote(name) + " steckt im Sektionsnamen " + Quote(names[j]) +
                ": der kürzere Platzhalter trifft "
                "auch den längeren.",
            "Namen wählen, von denen keiner im anderen steckt.");
      }
    }
    auto found = FindPlaceholderOccurrences(html, uppers[i]);
    std::string never;
    if (html.empty()) {
      never = "Vorlage fehlt";
    } else if (sound) {
      never = "Sound in [Vorlage]";
    } else if (replaced[i].empty()) {
      never = "Platzhalter wird nie ersetzt";
      Add(Severity::kWarning, page.command_file, header,
          "Der Platzhalter " + Quote(name) +
              (found.empty() ? " kommt in der Vorlage " + Quote(template_file) + " nicht vor"
                             : " wird nie ersetzt, denn an jeder seiner Stellen setzt ein Lauf "
                               "zuerst einen anderen Platzhalter ein, dessen Name darin steckt") +
              "; die Links dieser Sektion erscheinen nie.",
          "Den Sektionsnamen an der gewünschten Stelle in die Vorlage schreiben.");
    }
    if (never.empty()) {
      for (const auto& [line, pos] : replaced[i]) {
        for (const PlaceholderOccurrence& at : found) {
          if (at.line != line || at.pos != pos) continue;
          std::string where = at.in_title      ? "im Titel der Seite"
                              : at.in_tag      ? "in einem HTML-Tag"
                              : at.inside_word ? "mitten in einem Wort"
                                               : "";
          if (where.empty()) continue;
          Add(Severity::kWarning, template_file, at.line, name, "",
              "Der Platzhalter " + Quote(name) + " steht " + where + " (" +
                  Quote(TrimBlanks(html[at.line - 1])) +
                  "): auch dort setzt ein Lauf die Links ein.",
              "Die Sektion umbenennen, so dass "
              "ihr Name nur an der gewünschten Stelle steht.");
        }
      }
      if (replaced[i].size() > 1) {
        Add(Severity::kWarning, template_file, replaced[i][1].first, name, "",
            StringPrintf(
                "Der Platzhalter %s steht in %u Zeilen: die Links erscheinen an jeder dieser "
                "Stellen.",
                Quote(name).c_str(), static_cast<unsigned>(replaced[i].size())),
            "Den Sektionsnamen nur "
            "einmal in die Vorlage schreiben.");
      }
    }
    CheckSection(page, commands, lines, name, never.empty(), never);
  }
}

void Checker::CheckSection(const Page& page, const CIniFile& commands,
                           const std::vector<IniLine>& lines, const std::string& section,
                           bool reachable, const std::string& never) {
  std::string tree_text;
  bool has_tree = commands.GetValue(section, "TreeMenu", tree_text);
  bool tree = ParseLeadingInt(tree_text) == 1;
  if (has_tree && tree_text != "0" && tree_text != "1") {
    Add(Severity::kWarning, page.command_file, FindKeyLine(lines, section, "TreeMenu"),
        StringPrintf("TreeMenu %s ist weder 0 noch 1: gelesen wird %d, die Sektion wird %s.",
                     Quote(tree_text).c_str(), ParseLeadingInt(tree_text),
                     tree ? "ein Baummenü" : "eine Linktabelle"),
        "TreeMenu=1 (Baummenü) oder "
        "TreeMenu=0 (Tabelle) schreiben.");
  }
  std::vector<const IniLine*> key_lines;
  for (const IniLine& line : lines) {
    if (line.kind == IniLineKind::kKey && EqualsNoCaseAscii(line.section, section))
      key_lines.push_back(&line);
  }
  std::string key, value;
  for (int i = 0; commands.GetEntry(section, i, key, value); ++i) {
    if (IsSettingKey(key)) continue;
    const IniLine* at = nullptr;
    for (const IniLine* line : key_lines) {
      if (line->key == key && line->value == value) {
        at = line;
        break;
      }
    }
    std::string near =
        NearMissName(key, {"Ueberschrift", "FontTabelle", "FontUeberschrift", "Border",
                           "SpaltenBreite1", "TreeMenu", "Vorlage", "Verzeichnis", "Sound"});
    if (EqualsNoCaseAscii(key, "Vorlage") || EqualsNoCaseAscii(key, "Verzeichnis") ||
        EqualsNoCaseAscii(key, "Sound"))
      near = key;
    if (!near.empty()) {
      Add(Severity::kWarning, page.command_file, at,
          "Der Schlüssel " + Quote(key) +
              " ist hier "
              "keine Einstellung (gemeint ist wohl " +
              Quote(near) + "): ein Lauf zeigt ihn als Link " + Quote(value) + ".",
          "Den Namen " + Quote(near) +
              " schreiben, in der richtigen "
              "Sektion.");
    }
    MatrixRow row;
    row.page = page.output_name;
    row.section = section;
    row.command_file = page.command_file;
    row.line = at ? at->number : 0;
    row.never_shown = reachable ? "" : never;
    CheckLinkEntry(page, at, value, tree, row);
    report_.rows.push_back(std::move(row));
  }
}

void Checker::CheckLinkEntry(const Page& page, const IniLine* at, const std::string& value,
                             bool tree, MatrixRow& row) {
  std::string fields[6];
  for (int n = 0; n < 6; ++n) GetField(fields[n], value, n + 1, '|');
  Expand(fields[4]);
  Expand(fields[5]);
  row.text = fields[0];
  row.link = fields[1];
  const std::uint32_t rights = ParseHex(fields[4]), flags = ParseHex(fields[5]);
  row.rights = rights;
  row.flags = flags;
  static const char* const kNames[] = {"Linktext", "Link",   "Beschreibung",
                                       "Tooltip",  "Rechte", "Flags"};
  for (int n = 4; n < 6; ++n) {
    HexText kind = ClassifyHexText(fields[n]);
    if (kind == HexText::kEmpty || kind == HexText::kEightDigits) continue;
    Add(Severity::kWarning, page.command_file, at,
        StringPrintf("Das Feld %s %s ist keine Zahl aus "
                     "8 hexadezimalen Ziffern: gelesen wird %08X.",
                     kNames[n], Quote(fields[n]).c_str(), n == 4 ? rights : flags),
        "8 hexadezimale Ziffern schreiben, z. B. 00000001.");
  }
  if ((flags & ~kMeaningfulLinkFlags) != 0) {
    Add(Severity::kWarning, page.command_file, at,
        StringPrintf("Die Flag-Bits %08X haben keine "
                     "Bedeutung.",
                     flags & ~kMeaningfulLinkFlags),
        "Nur 00000001, 00000002, 00000004 und die "
        "oberen 16 Bit (Server) verwenden.");
  }
  if (HasOnlyHighRights(rights)) {
    Add(Severity::kWarning, page.command_file, at,
        "Der Link " + Quote(fields[0]) +
            " trägt nur "
            "obere Rechte-Bits (" +
            fields[4] +
            "): er ist für jeden sichtbar, der nicht davon "
            "gesperrt ist, auch für nicht eingetragene Benutzer.",
        "Für eine Gruppe ein unteres Bit "
        "setzen und es den Benutzern der Gruppe in [Rechte] geben.");
  }
  for (int n = 0; n < 4; ++n) {
    if (tree && n != 2) {
      if (FindScriptBreaker(fields[n]) != std::string::npos) {
        Add(Severity::kWarning, page.command_file, at,
            std::string("Ein \"\\\" im Feld ") + kNames[n] +
                " leitet im Skript des Baummenüs eine Escape-Folge ein: der Text ändert "
                "sich (aus \\\\srv\\share wird \\srvshare).",
            "Jeden Backslash doppelt schreiben "
            "oder \"/\" verwenden.");
      }
    } else if (!tree && (n == 1 || n == 3)) {
      if (FindAttributeBreaker(fields[n]) != std::string::npos) {
        Add(Severity::kWarning, page.command_file, at,
            std::string("Das Anführungszeichen im Feld ") + kNames[n] +
                " beendet das HTML-Attribut: der Rest fehlt auf der Seite.",
            "&quot; statt des Anführungszeichens schreiben.");
      }
    }
  }
  if (IsRelativeLink(fields[1]))
    relative_links_.push_back(
        {page.command_file, at ? at->number : 0, row.section, at ? at->key : "", fields[1]});
}

void Checker::CheckTemplateFolders() {
  for (const std::string& directory : template_directories_) {
    std::vector<std::string> files;
    CollectFiles(directory, FileCollectOptions{"", 0, files, 0});
    for (const std::string& file : files) {
      CUtil parts;
      parts.SplitPathLocal(file);
      if (negative_.count(ToUpperAnsi(file)) != 0) continue;
      output_names_.insert(ToUpperAnsi(parts.file_name + parts.extension));
      if (EqualsNoCaseAscii(parts.extension, ".ini")) {
        Add(Severity::kWarning, file, 0, "", "",
            "Die Datei liegt im Vorlagenverzeichnis: jeder Lauf "
            "kopiert sie in jedes Ausgabeverzeichnis, wo jeder Benutzer sie lesen kann, mit allen "
            "Links und Rechten.",
            "Kommandodateien in einen eigenen Ordner legen (Verzeichnis= in "
            "[Vorlage]) oder mit vollem Pfad in [Nicht_Kopieren] eintragen.");
      }
    }
  }
}

bool Checker::WillExist(const std::string& name) const {
  return output_names_.count(ToUpperAnsi(LinkFileName(name))) != 0;
}

void Checker::CheckLinkTargets() {
  for (const PendingLink& link : relative_links_) {
    if (WillExist(link.link)) continue;
    Add(Severity::kWarning, link.file, link.line, link.section, link.key,
        "Der Link " + Quote(link.link) +
            " zeigt auf eine Datei, die ein Lauf weder erzeugt noch kopiert: der "
            "Browser meldet, dass sie fehlt.",
        "Den Namen prüfen oder die Datei ins "
        "Vorlagenverzeichnis legen (Unterordner werden nicht kopiert).");
  }
  for (const auto& [name, at] : frame_pages_) {
    if (WillExist(name)) continue;
    Add(Severity::kWarning, input_.command_file, at,
        "Der Rahmen zeigt " + Quote(name) +
            ", aber "
            "ein Lauf erzeugt oder kopiert keine Datei dieses Namens.",
        "Einen Seitennamen aus "
        "[Seiten] angeben.");
  }
}

// By file, in the order the files were first named, then by line.
void Checker::SortFindings() {
  std::vector<std::string> files;
  for (const Finding& finding : report_.findings) {
    if (std::find(files.begin(), files.end(), finding.file) == files.end())
      files.push_back(finding.file);
  }
  auto rank = [&](const Finding& f) {
    return std::make_pair(std::find(files.begin(), files.end(), f.file) - files.begin(), f.line);
  };
  std::stable_sort(report_.findings.begin(), report_.findings.end(),
                   [&](const Finding& a, const Finding& b) { return rank(a) < rank(b); });
}

// The distinct keys of a flag section with the words a run reads for them
// (GetValue: the first of equal keys wins), and one for a name not listed.
std::vector<std::pair<std::string, std::uint32_t>> FlagWords(const CIniFile& config,
                                                             const char* section) {
  std::vector<std::pair<std::string, std::uint32_t>> words;
  std::string key, value;
  for (int i = 0; config.GetEntry(section, i, key, value); ++i) {
    bool seen = false;
    for (const auto& word : words) seen = seen || EqualsNoCaseAscii(word.first, key);
    if (seen) continue;
    config.GetValue(section, key, value);
    words.emplace_back(key, ParseHex(value));
  }
  words.emplace_back("", 0);
  return words;
}

void Checker::AddColumns() {
  const auto users = FlagWords(main_, "Rechte");
  const auto servers = FlagWords(main_, "Server");
  for (const auto& [user, rights] : users) {
    for (const auto& [server, server_flags] : servers) {
      for (bool cd : {false, true})
        report_.columns.push_back(MatrixColumn{user, server, cd, rights, server_flags});
    }
  }
}

CheckReport Checker::Run() {
  report_.main_config = input_.main_config_path;
  report_.command_file = input_.command_file;
  CheckMainConfig();
  if (!input_.environment_file.empty()) {
    FileRead read = ReadChecked(input_.environment_file, Role::kEnvironment, Severity::kWarning);
    if (read.ok) CheckIniFile(input_.environment_file, read.bytes, Role::kEnvironment);
  }
  std::vector<Page> pages;
  CIniFile commands;
  bool usable = CheckStartCommands(pages, commands, start_lines_);
  if (usable) {
    CheckFrameSet(commands, start_lines_);
    if (pages.empty()) {
      pages.push_back(Page{input_.command_file, kDefaultPage, 0});
    } else {
      negative_.insert(ToUpperAnsi(input_.command_file));
    }
    bool going = true;
    for (const Page& page : pages) {
      size_t first_row = report_.rows.size();
      bool page_ok = CheckPage(page);
      // Pages after a stop are not made: their links are never shown.
      if (!going) {
        for (size_t r = first_row; r < report_.rows.size(); ++r)
          if (report_.rows[r].never_shown.empty())
            report_.rows[r].never_shown = "Lauf bricht vorher ab";
      }
      going = going && page_ok;
    }
    CheckTemplateFolders();
    CheckLinkTargets();
  }
  SortFindings();
  AddColumns();
  for (MatrixRow& row : report_.rows) {
    row.shown.clear();
    for (const MatrixColumn& column : report_.columns) {
      LinkFilter filter{column.rights_flags, column.server_flags,
                        column.cd ? DriveType::kCdRom : DriveType::kFixed};
      row.shown.push_back(row.never_shown.empty() && IsLinkAllowed(filter, row.rights, row.flags));
    }
  }
  return report_;
}

}  // namespace

size_t CheckReport::Count(Severity severity) const {
  return static_cast<size_t>(std::count_if(
      findings.begin(), findings.end(), [&](const Finding& f) { return f.severity == severity; }));
}

int CheckReport::ExitCode() const {
  if (Count(Severity::kError) > 0) return 2;
  return findings.empty() ? 0 : 1;
}

CheckReport CheckConfiguration(const CheckInput& input) { return Checker(input).Run(); }
