// Saved in Windows-1252: the texts below are the report's own, byte for byte.
#include "check/text_findings.h"

#include <map>
#include <span>
#include <utility>

#include "base/string_printf.h"
#include "base/text.h"
#include "check/detectors.h"
#include "check/findings.h"
#include "config/config_names.h"
#include "config/ini_file.h"
#include "gen/link_entry.h"

namespace {

// What a rejected key line costs the run, by the file's role.
const char* RejectedLineConsequence(IniRole role) {
  switch (role) {
    case IniRole::kStartCommands:
      return ": der Leser lehnt die Datei ab, ein Lauf erzeugt keine Seite (Meldung 200).";
    case IniRole::kPageCommands:
      return ": der Leser lehnt die Datei ab, ein Lauf lässt diese Seite aus (Meldung 200).";
    default:
      return ": der Leser übergeht sie.";
  }
}

bool IsCommandFile(IniRole role) {
  return role == IniRole::kStartCommands || role == IniRole::kPageCommands;
}

void CheckEncoding(const std::string& path, std::string_view bytes, bool ini,
                   FindingList& findings) {
  if (StartsWithUtf8Bom(bytes)) {
    findings.Add(ini ? Severity::kError : Severity::kWarning, path, 1, "", "",
                 ini ? "Die Datei beginnt mit einer UTF-8-Kennung (BOM): für den Leser ist die "
                       "erste Zeile kein Sektionskopf, sie und alle Einträge bis zum nächsten "
                       "Sektionskopf werden übergangen."
                     : "Die Datei beginnt mit einer UTF-8-Kennung (BOM): sie steht als \"ï»¿\" "
                       "am Anfang der Seite.",
                 "Die Datei als Windows-1252 (ANSI) ohne BOM speichern.");
  }
  size_t line = 1, count = 0, first_line = 0;
  std::string example;
  for (size_t start = 0; start < bytes.size(); ++line) {
    size_t lf = bytes.find('\n', start);
    std::string_view text =
        bytes.substr(start, lf == std::string_view::npos ? std::string_view::npos : lf - start);
    size_t skip = line == 1 && StartsWithUtf8Bom(text) ? 3 : 0;
    size_t at = FindUtf8Sequence(text.substr(skip));
    if (at != std::string_view::npos && count++ == 0) {
      first_line = line;
      at += skip;
      size_t begin = text.find_last_of(" \t|=>", at);
      begin = begin == std::string_view::npos ? 0 : begin + 1;
      size_t end = text.find_first_of(" \t|<\r", at);
      example = std::string(
          text.substr(begin, end == std::string_view::npos ? std::string_view::npos : end - begin));
    }
    start = lf == std::string_view::npos ? bytes.size() : lf + 1;
  }
  if (count == 0) return;
  std::string more =
      count > 1 ? StringPrintf(" (so in %u Zeilen)", static_cast<unsigned>(count)) : std::string();
  findings.Add(Severity::kWarning, path, first_line, "", "",
               "Die Datei ist als UTF-8 gespeichert, wird aber als Windows-1252 gelesen: die "
               "Seiten zeigen " +
                   Quote(example) + more + ".",
               "Die Datei als Windows-1252 (ANSI) speichern.");
}

void CheckRejectedLines(const CIniFile& file, IniRole role, FindingList& findings) {
  const std::string& path = file.GetFileName();
  for (const CIniRejected& rejected : file.Rejected()) {
    const std::string_view text = file.View(rejected.text);
    const size_t line = static_cast<size_t>(file.LineOf(text));
    if (rejected.kind == CIniRejected::Kind::kBeforeFirstSection) {
      // A byte-order mark is reported on its own.
      if (line == 1 && StartsWithUtf8Bom(text)) continue;
      findings.Add(Severity::kWarning, path, line, "", "",
                   "Die Zeile " + Quote(text) +
                       " steht vor dem ersten Sektionskopf: der Leser übergeht sie.",
                   "Unter die richtige Sektion schieben oder mit \";\" als Kommentar beginnen.");
      continue;
    }
    std::string what = rejected.piece ? "Der Rest einer Zeile über 1021 Zeichen hat kein \"=\""
                                      : "Die Zeile " + Quote(text) + " hat kein \"=\"";
    if (!rejected.piece && text[0] == '#') what += " (\"#\" leitet keinen Kommentar ein)";
    what += RejectedLineConsequence(role);
    findings.Add(IsCommandFile(role) ? Severity::kError : Severity::kWarning, path, line, "", "",
                 what,
                 rejected.piece ? "Die Zeile kürzen."
                                : "Als Kommentar \";\" an den Zeilenanfang setzen, oder \"=\" und "
                                  "einen Wert ergänzen.");
  }
}

// A key line's text after its value, if a blank or tab followed by ";" cut it.
std::string_view CutOff(const CIniFile& file, std::string_view value, int line) {
  const std::string_view text = file.LineText(line);
  const size_t value_end = static_cast<size_t>(value.data() + value.size() - text.data());
  if (value_end > text.size()) return {};
  std::string_view rest = text.substr(value_end);
  while (!rest.empty() && IsBlankOrTab(rest.front())) rest.remove_prefix(1);
  while (!rest.empty() && IsBlankOrTab(rest.back())) rest.remove_suffix(1);
  return rest.empty() || rest.front() != ';' ? std::string_view() : rest;
}

// The sections whose keys a run reads one by one (GetValue), by role.
bool IsSettingsSection(std::string_view section, IniRole role) {
  if (IsOneOfNoCase(section, names::kListSections)) return false;
  if (!IsCommandFile(role)) return true;
  return EqualsNoCaseAscii(section, names::kVorlage) ||
         EqualsNoCaseAscii(section, names::kFrameSet);
}

void CheckRecords(const CIniFile& file, IniRole role, FindingList& findings) {
  const std::string& path = file.GetFileName();
  const bool commands = IsCommandFile(role);
  // The first line of each key, by section and key without ASCII case.
  std::map<std::pair<std::string, std::string>, int> first_lines;
  for (int s = 0; s < file.GetSectionCount(); ++s) {
    const std::string_view section = file.SectionName(s);
    const std::string section_name(section);
    if (role == IniRole::kMainConfig) {
      const std::string near = NearMissName(section, names::kMainSections);
      if (!near.empty()) {
        findings.Add(Severity::kWarning, path, static_cast<size_t>(file.SectionLine(s)),
                     section_name, "",
                     "Die Sektion heißt fast wie [" + near + "]: ein Lauf liest sie nicht.",
                     "Den Namen [" + near + "] schreiben.");
      }
    }
    if (commands && !EqualsNoCaseAscii(section, names::kVorlage) &&
        !NearMissName(section, {names::kVorlage}).empty()) {
      findings.Add(Severity::kWarning, path, static_cast<size_t>(file.SectionLine(s)), section_name,
                   "",
                   "Die Sektion heißt fast wie [Vorlage]: sie ist ein Platzhalter, ihre "
                   "Schlüssel werden Links.",
                   "Den Namen [Vorlage] schreiben.");
    }
    std::string_view key, value;
    for (int e = 0; file.RecordEntry(s, e, key, value); ++e) {
      const int line = file.LineOf(key);
      const std::string key_name(key);
      if (commands && !key.empty() && key[0] == '#') {
        findings.Add(Severity::kWarning, path, static_cast<size_t>(line), section_name, key_name,
                     "Die Zeile beginnt mit \"#\", ist aber kein Kommentar: sie wird als Eintrag "
                     "gelesen, in einer Platzhaltersektion als Link.",
                     "\";\" statt \"#\" an den Zeilenanfang setzen.");
      }
      const std::string_view cut = CutOff(file, value, line);
      if (!cut.empty() &&
          (cut.find('|') != std::string_view::npos || (cut.size() > 1 && !IsBlankOrTab(cut[1])))) {
        findings.Add(Severity::kWarning, path, static_cast<size_t>(line), section_name, key_name,
                     "Leerzeichen und \";\" beenden den Wert: " + Quote(cut) +
                         " wird als Kommentar abgeschnitten, gelesen wird nur " + Quote(value) +
                         ".",
                     "Das Leerzeichen vor dem \";\" entfernen.");
      }
      if (file.LineText(line).size() > 1021) {
        findings.Add(Severity::kWarning, path, static_cast<size_t>(line), section_name, key_name,
                     "Die Zeile ist länger als 1021 Zeichen: der Leser teilt sie, der Rest wird "
                     "eine eigene Zeile.",
                     "Die Zeile kürzen.");
      }
      std::span<const std::string_view> known;
      if (role == IniRole::kMainConfig && EqualsNoCaseAscii(section, names::kPagetrix)) {
        known = names::kPagetrixKeys;
      } else if (role == IniRole::kMainConfig && EqualsNoCaseAscii(section, names::kStartProg)) {
        known = names::kStartProgKeys;
      } else if (commands && EqualsNoCaseAscii(section, names::kFrameSet)) {
        known = names::kFrameSetKeys;
      } else if (commands && EqualsNoCaseAscii(section, names::kVorlage)) {
        known = names::kVorlageKeys;
      }
      const std::string near = IsOneOfNoCase(key, known) ? std::string() : NearMissName(key, known);
      if (!near.empty()) {
        findings.Add(Severity::kWarning, path, static_cast<size_t>(line), section_name, key_name,
                     "Der Schlüssel " + Quote(key) + " ist unbekannt (gemeint ist wohl " +
                         Quote(near) + "): ein Lauf übergeht ihn.",
                     "Den Namen " + Quote(near) + " schreiben.");
      }
      if (IsOneOfNoCase(section, names::kListSections)) continue;
      auto [at, first] =
          first_lines.emplace(std::make_pair(ToUpperAscii(section), ToUpperAscii(key)), line);
      if (first) continue;
      const bool link = commands && !IsSettingsSection(section, role) && !IsSettingKey(key);
      findings.Add(Severity::kWarning, path, static_cast<size_t>(line), section_name, key_name,
                   StringPrintf("Der Schlüssel steht in dieser Sektion schon in Zeile %u: %s",
                                static_cast<unsigned>(at->second),
                                link ? "beide Einträge erscheinen als Link."
                                     : "ein Lauf liest nur den ersten."),
                   link ? "Einen der beiden Einträge entfernen oder umbenennen."
                        : "Einen der beiden Einträge entfernen.");
    }
  }
}

void CheckFlagWords(const CIniFile& main_config, std::string_view section, bool server,
                    FindingList& findings) {
  const std::string& path = main_config.GetFileName();
  for (int s = 0; s < main_config.GetSectionCount(); ++s) {
    if (!EqualsNoCaseAscii(main_config.SectionName(s), section)) continue;
    std::string_view key, value;
    for (int e = 0; main_config.RecordEntry(s, e, key, value); ++e) {
      const size_t line = static_cast<size_t>(main_config.LineOf(key));
      const std::uint32_t word = ParseHex(value);
      if (ClassifyHexText(value) != HexText::kEightDigits) {
        findings.Add(
            Severity::kWarning, path, line, section, std::string(key),
            StringPrintf("%s %s ist keine Zahl aus 8 hexadezimalen Ziffern: gelesen "
                         "wird %08X.",
                         server ? "Das Serverflag" : "Das Recht", Quote(value).c_str(), word),
            "8 hexadezimale Ziffern schreiben, z. B. 00010003.");
      }
      if (server && (word & 0x0000FFFF) != 0) {
        findings.Add(Severity::kWarning, path, line, section, std::string(key),
                     StringPrintf("Die unteren 16 Bit (%04X) eines Serverflags wirken nicht: nur "
                                  "die oberen 16 Bit blenden Links aus.",
                                  word & 0xFFFF),
                     "Das Bit in die obere Hälfte schreiben, z. B. 00010000.");
      }
    }
  }
}

}  // namespace

std::string Quote(std::string_view text) { return "\"" + std::string(text) + "\""; }

void CheckIniText(const CIniFile& file, IniRole role, FindingList& findings) {
  if (file.Text().empty()) {
    findings.Add(Severity::kWarning, file.GetFileName(), 0, "", "", "Die Datei ist leer.",
                 "Den Inhalt ergänzen oder den Verweis auf die Datei entfernen.");
  }
  CheckEncoding(file.GetFileName(), file.Text(), /*ini=*/true, findings);
  CheckRejectedLines(file, role, findings);
  CheckRecords(file, role, findings);
}

void CheckMainConfigValues(const CIniFile& main_config, FindingList& findings) {
  CheckFlagWords(main_config, names::kRechte, false, findings);
  CheckFlagWords(main_config, names::kServer, true, findings);
  std::string_view visible;
  if (main_config.FindValue(names::kPagetrix, names::kSichtbar, visible) && !visible.empty() &&
      !IsPlainInteger(visible)) {
    const bool shown = ParseLeadingInt(visible) != 0;
    findings.Add(
        Severity::kWarning, main_config.GetFileName(),
        static_cast<size_t>(main_config.LineOf(visible)), names::kPagetrix, names::kSichtbar,
        StringPrintf("Sichtbar %s ist keine Zahl: gelesen wird %d, das Ergebnisfenster "
                     "erscheint %s.",
                     Quote(visible).c_str(), ParseLeadingInt(visible), shown ? "" : "nicht"),
        "0 oder 1 angeben.");
  }
}

void CheckTemplateText(const std::string& path, std::string_view bytes, FindingList& findings) {
  if (bytes.empty()) {
    findings.Add(Severity::kWarning, path, 0, "", "",
                 "Die Vorlage ist leer: die Seite bleibt leer.",
                 "Den Inhalt ergänzen oder eine andere Vorlage angeben.");
  }
  CheckEncoding(path, bytes, /*ini=*/false, findings);
  const std::string charset = DeclaredCharset(bytes);
  if (!charset.empty() && !IsAnsiCharset(charset)) {
    findings.Add(Severity::kWarning, path, 0, "", "",
                 "Die Vorlage erklärt den Zeichensatz " + Quote(charset) +
                     ", Pagetrix schreibt die Links aber als Windows-1252: Umlaute in Links "
                     "erscheinen falsch.",
                 "charset=windows-1252 erklären.");
  }
}
