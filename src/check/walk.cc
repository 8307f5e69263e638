// Saved in Windows-1252: the texts below are the report's own, byte for byte.
#include "check/walk.h"

#include <algorithm>
#include <array>

#include "base/string_printf.h"
#include "base/text.h"
#include "check/detectors.h"
#include "check/text_findings.h"
#include "config/config_names.h"
#include "config/ini_file.h"
#include "config/rights.h"
#include "config/run_log.h"
#include "fs/output_dir.h"
#include "fs/util.h"
#include "gen/gen_html.h"
#include "gen/output_folder.h"
#include "gen/text_lines.h"
#include "platform/dry_run.h"
#include "platform/file_reading.h"
#include "platform/messages.h"
#include "platform/platform.h"

namespace {

const char* const kFieldNames[] = {"Linktext", "Link",   "Beschreibung",
                                   "Tooltip",  "Rechte", "Flags"};

// Keys that, written in a placeholder section, are probably meant as a
// setting of it or of [Vorlage], not as links; a near miss of a setting is
// named first.
constexpr auto kKeysNotLinks = [] {
  std::array<std::string_view,
             std::size(names::kSectionSettingKeys) + std::size(names::kVorlageKeys)>
      keys{};
  auto end = std::copy(std::begin(names::kSectionSettingKeys), std::end(names::kSectionSettingKeys),
                       keys.begin());
  std::copy(std::begin(names::kVorlageKeys), std::end(names::kVorlageKeys), end);
  return keys;
}();

// Why a path a run could not use fails, asked of the walk's files.
std::string WhyUnusable(FileSystem& files, const std::string& path) {
  switch (files.Inspect(path, Links::kFollow).kind) {
    case PathKind::kMissing:
      return "fehlt";
    case PathKind::kFolder:
      return "ist ein Ordner, keine Datei";
    default:
      return "kann nicht gelesen werden (keine Rechte, ein anderes Programm hält sie offen, "
             "oder sie ist keine gewöhnliche Datei)";
  }
}

std::string FileName(const std::string& path) {
  CUtil parts;
  parts.SplitPathLocal(path);
  return parts.file_name + parts.extension;
}

class WalkListener final : public GenObserver {
 public:
  WalkListener(const CIniFile& main_config, DryRunPlatform& dry, const std::string& folder,
               size_t walk, bool lenient, CheckState& state, WalkOutcome& outcome)
      : main_(main_config),
        dry_(dry),
        prefix_(folder + kPathSeparator),
        walk_(walk),
        lenient_(lenient),
        state_(state),
        outcome_(outcome) {}

  void OnDeleteThreshold(std::string_view text, int hours) override {
    if (text.empty() || IsPlainInteger(text)) return;
    std::string does;
    if (hours < 0) {
      does = "ein Lauf löscht keine alten Ausgabeordner.";
    } else if (hours <= 0) {
      does = StringPrintf(
          "gelesen wird %d, ein Lauf löscht bei jedem Start alle alten "
          "Ausgabeordner.",
          hours);
    } else {
      does = StringPrintf("gelesen wird %d, ein Lauf löscht Ausgabeordner ab %d Stunden.", hours,
                          hours);
    }
    Add(Severity::kWarning, main_.GetFileName(), main_.LineOf(text), names::kPagetrix,
        names::kLoeschStd, "LoeschStd " + Quote(text) + " ist keine ganze Zahl: " + does,
        "Eine Zahl von Stunden angeben, -1 = nie löschen.");
  }

  void OnCommandFile(const CIniFile& commands, int result, bool start) override {
    const std::string& path = commands.GetFileName();
    last_command_file_ = path;
    state_.findings.NoteFile(path);
    const bool readable = result == 0 || result == 4 || result == 2;
    if (readable && state_.texts_checked.insert(path).second)
      CheckIniText(commands, start ? IniRole::kStartCommands : IniRole::kPageCommands,
                   state_.findings);
    if (result == 4) outcome_.rejected_lines = true;
    if (result == 0 || result == 4) return;  // rejected lines are findings of their own
    const char* consequence = start ? "Ein Lauf erzeugt keine Seite (Meldung 200)."
                                    : "Ein Lauf lässt diese Seite aus (Meldung 200).";
    std::string what;
    if (result == 1) {
      what = "Die Kommandodatei " + WhyUnusable(dry_, path) + ". ";
    } else if (result == 2) {
      what = "Beim Lesen der Kommandodatei tritt ein Fehler auf. ";
    } else {
      what = "Die Kommandodatei ist zu groß zum Lesen. ";
    }
    Add(Severity::kError, path, 0, "", "", what + consequence,
        "Den Pfad prüfen oder die Datei anlegen.");
  }

  void OnNegativeEntry(int index, std::string_view raw, std::string_view expanded) override {
    CheckState::NegativeEntry& entry = state_.negative_entries[index];
    entry.line = static_cast<size_t>(main_.LineOf(raw));
    entry.text = std::string(expanded);
    if (HasWildcard(expanded)) {
      Add(Severity::kWarning, main_.GetFileName(), entry.line, names::kNichtKopieren, "",
          "Die Zeichen \"*\" und \"?\" wirken hier nicht: der Eintrag schließt nur eine Datei "
          "aus, die genau so heißt.",
          "Jede Datei mit vollem Pfad einzeln eintragen.");
    }
  }

  void OnPageListed(const CIniFile& start, std::string_view entry, const std::string& command_file,
                    const std::string& output_name) override {
    if (!command_file.empty() && !output_name.empty()) return;
    Add(Severity::kError, start.GetFileName(), start.LineOf(entry), names::kSeiten, "",
        "Der Eintrag nennt nicht Kommandodatei|Seite: ein Lauf bricht ab, bevor eine Seite "
        "entsteht (Meldung 201).",
        "Beide Felder durch \"|\" getrennt angeben.");
  }

  void OnFrameSet(const CIniFile& start, const std::string& path, GenResult result) override {
    const CIniSectionRef frameset = start.FindSection(names::kFrameSet);
    if (!frameset.found()) return;
    if (result == GenResult::kNoFrameSet) {
      Add(Severity::kWarning, start.GetFileName(), HeaderLine(start, names::kFrameSet),
          names::kFrameSet, "",
          "Die Sektion nennt FrameLinks und FrameRechts nicht beide: ein Lauf schreibt kein "
          "Frameset.",
          "Beide Rahmen angeben.");
      return;
    }
    if (result == GenResult::kWriteFailed) {
      std::string_view name;
      start.FindValue(frameset, names::kName, name);
      const std::string file_name = FileName(path);
      Add(Severity::kError, start.GetFileName(), start.LineOf(name), names::kFrameSet, names::kName,
          "Die Rahmenseite " + Quote(file_name) + " kann nicht geschrieben werden" +
              (IsOutputFileName(std::string(name))
                   ? std::string()
                   : std::string(": der Name ist kein einfacher Dateiname im Ausgabeordner")) +
              " (Meldung 208); ein Lauf erzeugt keine Seite.",
          "In [FrameSet] Name= einen einfachen Dateinamen angeben.");
      return;
    }
    if (result != GenResult::kOk) return;
    frameset_file_ = start.GetFileName();
    frameset_line_ = static_cast<size_t>(HeaderLine(start, names::kFrameSet));
    for (std::string_view key : {names::kFrameLinks, names::kFrameRechts}) {
      std::string_view source;
      start.FindValue(frameset, key, source);
      frame_pages_.push_back(
          PendingName{start.GetFileName(), static_cast<size_t>(start.LineOf(source)),
                      std::string(names::kFrameSet), std::string(key), std::string(source)});
    }
  }

  void OnTemplate(const CIniFile& commands, const std::string& template_file,
                  const std::string& template_directory, const std::string& output_file,
                  bool sound) override {
    page_ = PageName(output_file);
    commands_ = &commands;
    template_file_ = template_file;
    replaced_lines_.clear();
    tree_records_.clear();
    writes_before_ = dry_.Writes(output_file);
    filling_.clear();
    CheckState::PageFile& page = state_.page_files[commands.GetFileName()];
    if (page.sections.empty() && !page.filled) {
      for (int r = 0; r < commands.GetSectionCount(); ++r) {
        page.sections.emplace_back(commands.SectionName(r));
        page.section_lines.push_back(static_cast<size_t>(commands.SectionLine(r)));
      }
      page.reached.assign(page.sections.size(), false);
    }
    page.sound = page.sound || sound;
    page.template_file = template_file;
    std::string_view sound_value;
    if (sound && commands.FindValue(names::kVorlage, names::kSound, sound_value))
      page.sound_line = static_cast<size_t>(commands.LineOf(sound_value));
    std::string_view directory;
    if (template_directory.empty() &&
        commands.FindValue(names::kVorlage, names::kVerzeichnis, directory)) {
      Add(Severity::kWarning, commands.GetFileName(), commands.LineOf(directory), names::kVorlage,
          names::kVerzeichnis,
          "Verzeichnis ist leer: ein Lauf sucht die Vorlage im aktuellen Ordner und kopiert aus "
          "keinem Vorlagenordner Dateien.",
          "Den Ordner der Vorlage angeben oder den Schlüssel entfernen.");
    }
    Template(template_file);
  }

  void OnPage(const CIniFile& commands, const std::string& output_file, GenResult result) override {
    // A page file shows what its last write put there.
    if (dry_.Writes(output_file) > writes_before_) {
      Replaced(output_file);
      page_writes_[DryRunPlatform::FileKey(output_file)] = std::move(filling_);
    } else {
      Unshow(filling_);
    }
    filling_.clear();
    CheckState::PageFile& page = state_.page_files[commands.GetFileName()];
    if (result == GenResult::kOk) {
      page.filled = true;
      if (dry_.Writes(output_file) > 1) {
        Add(Severity::kWarning, commands.GetFileName(), 0, "", "",
            "Die Seite " + Quote(PageName(output_file)) +
                " entsteht mehr als einmal: die spätere überschreibt die frühere.",
            "Jeder Seite in [Seiten] einen eigenen Namen geben.");
      }
      for (const auto& [record, lines] : replaced_lines_) {
        if (lines.size() < 2) continue;
        Add(Severity::kWarning, template_file_, lines[1], SectionName(record), "",
            StringPrintf("Der Platzhalter %s steht in %u Zeilen: die Links erscheinen an jeder "
                         "dieser Stellen.",
                         Quote(SectionName(record)).c_str(), static_cast<unsigned>(lines.size())),
            "Den Sektionsnamen nur einmal in die Vorlage schreiben.");
      }
      return;
    }
    // Why the page failed: its name, its template or the folder.
    const std::string name = PageName(output_file);
    std::string what;
    if (!IsOutputFileName(name)) {
      what = "Der Seitenname " + Quote(name) +
             " ist kein einfacher Dateiname im Ausgabeordner (ein Gerätename, ein Ordner, ein "
             "Doppelpunkt, ein Punkt oder Leerzeichen am Ende, oder der Name der Sperrdatei)";
    } else if (result == GenResult::kCopyFailed) {
      what = "Die Vorlage " + Quote(template_file_) + " kann nicht als Seite kopiert werden";
    } else if (dry_.Inspect(template_file_, Links::kFollow).kind != PathKind::kFile ||
               ReadFileToString(dry_, template_file_, &scratch_) != ReadResult::kOk) {
      what = "Die Vorlage " + Quote(template_file_) + " " + WhyUnusable(dry_, template_file_);
    } else {
      what = "Die Seite " + Quote(output_file) + " kann nicht geschrieben werden";
    }
    Add(Severity::kError, commands.GetFileName(), 0, "", "",
        what + ": ein Lauf bricht bei dieser Seite ab (Meldung 205) und erzeugt keine Startseite.",
        "Den Namen oder die Vorlage berichtigen.");
  }

  void OnPlaceholder(const PlaceholderEvent& event) override {
    section_ = SectionName(event.record);
    tree_ = event.tree_menu;
    folders_.clear();
    CheckState::PageFile& page = state_.page_files[event.commands->GetFileName()];
    if (static_cast<size_t>(event.record) < page.reached.size()) page.reached[event.record] = true;
    std::vector<size_t>& lines = replaced_lines_[event.record];
    if (lines.empty() || lines.back() != static_cast<size_t>(event.template_line))
      lines.push_back(static_cast<size_t>(event.template_line));
    CheckTreeSetting(*event.commands, event.record, event.tree_menu);
    if (event.tree_menu) tree_records_.insert(event.record);
    if (!event.in_template) {
      CheckInsertedPlaceholder(event);
      return;
    }
    CheckState::Template& html = Template(std::string(event.template_file));
    if (!html.spots) return;
    const PlaceholderSpot spot =
        html.spots->At(static_cast<size_t>(event.template_line), event.column, section_.size());
    const char* where = spot.in_title      ? "im Titel der Seite"
                        : spot.in_tag      ? "in einem HTML-Tag"
                        : spot.inside_word ? "mitten in einem Wort"
                                           : nullptr;
    if (where == nullptr) return;
    Add(Severity::kWarning, std::string(event.template_file),
        static_cast<size_t>(event.template_line), section_, "",
        "Der Platzhalter " + Quote(section_) + " steht " + where + " (" +
            Quote(TrimBlanks(event.line)) + "): auch dort setzt ein Lauf die Links ein.",
        "Die Sektion umbenennen, so dass ihr Name nur an der gewünschten Stelle steht.");
  }

  void OnLinkEntry(const LinkEvent& event) override {
    const CIniFile& commands = *event.commands;
    const LinkEntry& entry = *event.entry;
    const std::string& file = commands.GetFileName();
    const size_t line = static_cast<size_t>(commands.LineOf(event.value));
    outcome_.decided.emplace_back(entry.rights, entry.flags);
    const size_t row = Row(file, line, event, entry);
    if (event.verdict == LinkVerdict::kShown) {
      if (outcome_.shown.size() <= row) outcome_.shown.resize(row + 1, 0);
      ++outcome_.shown[row];
      filling_.push_back(row);
      if (IsRelativeLink(entry.link))
        links_.push_back(
            PendingName{file, line, section_, std::string(event.key), std::string(entry.link)});
    } else {
      state_.hidden_by[row] |= 1u << static_cast<unsigned>(event.verdict);
    }
    if (state_.links_checked.insert(EntryPlace{std::string(), file, line}).second)
      CheckLinkFields(event, file, line);
    if (event.tree_menu) CheckTreeFolder(event, file, line);
  }

  void OnCopy(const CopyEvent& event) override {
    state_.copy_phase_reached =
        state_.copy_phase_reached || event.phase != CopyPhase::kUnchangedTemplate;
    const std::string source(event.source);
    if (event.phase == CopyPhase::kCopyList && event.result == CopyResult::kCopied) {
      const std::string target(event.target);
      if (Replaced(target)) {
        Add(Severity::kWarning, main_.GetFileName(), main_.LineOf(event.entry), names::kKopieren,
            "",
            "Ein Lauf kopiert " + Quote(source) + " über die Seite " + Quote(PageName(target)) +
                ": der Ausgabeordner enthält dann diese Datei statt der Seite, und deren Links "
                "erscheinen nicht.",
            "Ein Ziel wählen, das keine Seite des Laufs ist.");
      }
    }
    switch (event.result) {
      case CopyResult::kExcluded:
        if (event.excluded_by >= 0) state_.negative_entries[event.excluded_by].used = true;
        return;
      case CopyResult::kIncomplete:
        Add(Severity::kWarning, main_.GetFileName(), main_.LineOf(event.entry), names::kKopieren,
            "", "Der Eintrag nennt nicht Quelle|Ziel: ein Lauf übergeht ihn (Meldung 222).",
            "Quelle und Ziel durch \"|\" getrennt angeben.");
        return;
      case CopyResult::kFailed:
        if (event.phase == CopyPhase::kCopyList) {
          Add(Severity::kWarning, main_.GetFileName(), main_.LineOf(event.entry), names::kKopieren,
              "",
              "Ein Lauf kann " + Quote(source) + " nicht nach " + Quote(event.target) +
                  " kopieren (Meldung 207): " + CopyFailure(source, std::string(event.target)),
              "Quelle und Ziel prüfen.");
        } else if (event.phase == CopyPhase::kTemplateFolder) {
          Add(Severity::kWarning, source, 0, "", "",
              "Ein Lauf kann die Datei nicht in den Ausgabeordner kopieren (Meldung 207): " +
                  CopyFailure(source, std::string(event.target)) +
                  " Die übrigen Dateien und [Kopieren] entfallen (Meldung 206).",
              "Die Datei lesbar machen oder aus dem Vorlagenordner nehmen.");
        }
        return;
      default:
        break;
    }
    if (event.phase == CopyPhase::kTemplateFolder && event.result == CopyResult::kCopied) {
      CUtil parts;
      parts.SplitPathLocal(source);
      if (EqualsNoCaseAscii(parts.extension, ".ini")) {
        Add(Severity::kWarning, source, 0, "", "",
            "Die Datei liegt im Vorlagenordner: jeder Lauf kopiert sie in jedes "
            "Ausgabeverzeichnis, wo jeder Benutzer sie lesen kann, mit allen Links und Rechten.",
            "Kommandodateien in einen eigenen Ordner legen (Verzeichnis= in [Vorlage]) oder mit "
            "vollem Pfad in [Nicht_Kopieren] eintragen.");
      }
    }
  }

  void OnStepFailed(GenResult /*result*/, int message, const std::string& text,
                    bool stops) override {
    if (stops && outcome_.message == 0) {
      outcome_.message = message;
      outcome_.message_text = text;
    }
    switch (message) {
      case IDS_OUTPUT_DIR_FAILED:
        Add(Severity::kError, OutputBaseDirectory(dry_.GetTempFolder()), 0, "", "",
            "Der Ausgabeordner kann nicht angelegt werden (Meldung 202): ein Lauf erzeugt keine "
            "Seite.",
            "Den temporären Ordner des Benutzers prüfen.");
        break;
      case IDS_NO_TEMPLATE:
        Add(Severity::kError, last_command_file_, 0, names::kVorlage, "",
            "Keine Vorlage angegeben: ein Lauf bricht bei dieser Seite ab (Meldung 204) und "
            "erzeugt keine Startseite.",
            "In [Vorlage] Vorlage=<Datei> angeben.");
        break;
      case IDS_START_PAGE_MISSING:
      case IDS_FRAME_PAGE_MISSING:
        missing_pages_ = true;
        Add(Severity::kError, frameset_file_.empty() ? last_command_file_ : frameset_file_,
            frameset_file_.empty() ? 0 : frameset_line_,
            frameset_file_.empty() ? std::string_view() : names::kFrameSet, "",
            text + " (Meldung " + std::to_string(message) +
                "): ein Lauf startet keinen Browser und endet mit 9.",
            "Im Rahmen nur Seiten zeigen, die [Seiten] erzeugt oder ein Vorlagenverzeichnis "
            "mitbringt.");
        break;
      default:
        break;
    }
  }

  void OnResult(GenResult result, const std::string& start_page) override {
    outcome_.result = result;
    outcome_.start_page = start_page;
  }

  /// After the walk: relative links and frame pages the output folder lacks.
  void CheckNames(const std::string& folder) {
    for (const PendingName& name : frame_pages_) {
      // A frame page the run finds missing is an error of its own.
      if (missing_pages_ || Exists(folder, name.name)) continue;
      Add(Severity::kWarning, name.file, name.line, name.section, name.key,
          "Der Rahmen zeigt " + Quote(name.name) +
              ", aber ein Lauf erzeugt oder kopiert keine Datei dieses Namens.",
          "Einen Seitennamen aus [Seiten] angeben.");
    }
    for (const PendingName& link : links_) {
      if (Exists(folder, link.name)) continue;
      Add(Severity::kWarning, link.file, link.line, link.section, link.key,
          "Der Link " + Quote(link.name) +
              " zeigt auf eine Datei, die ein Lauf weder erzeugt noch kopiert: der Browser "
              "meldet, dass sie fehlt.",
          "Den Namen prüfen oder die Datei ins Vorlagenverzeichnis legen (Unterordner werden "
          "nicht kopiert).");
    }
  }

 private:
  std::string frameset_file_;
  size_t frameset_line_ = 0;
  bool missing_pages_ = false;

  struct PendingName {
    std::string file;
    size_t line;
    std::string section, key, name;
  };

  void Add(Severity severity, const std::string& file, size_t line, std::string_view section,
           std::string_view key, std::string what, std::string fix) {
    state_.findings.Add(severity, file, line, section, key, std::move(what), std::move(fix), walk_);
  }
  void Add(Severity severity, const std::string& file, int line, std::string_view section,
           std::string_view key, std::string what, std::string fix) {
    Add(severity, file, static_cast<size_t>(line < 0 ? 0 : line), section, key, std::move(what),
        std::move(fix));
  }
  // A finding about the text of a value, looked at once: it concerns every run.
  void AddForEveryRun(Severity severity, const std::string& file, size_t line,
                      std::string_view section, std::string_view key, std::string what,
                      std::string fix) {
    state_.findings.Add(severity, file, line, section, key, std::move(what), std::move(fix));
  }

  // A page's name as [Seiten] gives it: its path without the output folder.
  std::string PageName(const std::string& output_file) const {
    return output_file.compare(0, prefix_.size(), prefix_) == 0 ? output_file.substr(prefix_.size())
                                                                : FileName(output_file);
  }

  static size_t HeaderLine(const CIniFile& file, std::string_view section) {
    for (int r = 0; r < file.GetSectionCount(); ++r) {
      if (EqualsNoCaseAscii(file.SectionName(r), section))
        return static_cast<size_t>(file.SectionLine(r));
    }
    return 0;
  }

  std::string SectionName(int record) const {
    return commands_ == nullptr ? std::string() : std::string(commands_->SectionName(record));
  }

  CheckState::Template& Template(const std::string& path) {
    auto [at, added] = state_.templates.try_emplace(path);
    CheckState::Template& html = at->second;
    if (added && ReadFileToString(dry_, path, &html.bytes) == ReadResult::kOk) {
      CheckTemplateText(path, html.bytes, state_.findings);
      std::vector<std::string_view> lines;
      ForEachTextLine(html.bytes, [&](std::string_view line) {
        lines.push_back(line);
        return true;
      });
      html.spots = std::make_unique<TemplateSpots>(std::move(lines));
    }
    return html;
  }

  size_t Row(const std::string& file, size_t line, const LinkEvent& event, const LinkEntry& entry) {
    auto [at, added] = state_.row_index.emplace(EntryPlace{page_, file, line}, state_.rows.size());
    if (added) {
      MatrixRow row;
      row.page = page_;
      row.section = section_;
      row.text = std::string(entry.text);
      row.link = std::string(entry.link);
      row.command_file = file;
      row.line = line;
      row.rights = entry.rights;
      row.flags = entry.flags;
      if (lenient_) row.never_shown = "der Leser lehnt die Kommandodatei ab";
      state_.rows.push_back(std::move(row));
      state_.hidden_by.push_back(0);
    } else if (event.verdict == LinkVerdict::kShown) {
      // Shown, the texts are expanded: the matrix names them so.
      state_.rows[at->second].text = std::string(entry.text);
      state_.rows[at->second].link = std::string(entry.link);
    }
    return at->second;
  }

  void CheckTreeSetting(const CIniFile& commands, int record, bool tree) {
    if (!state_.tree_settings_checked.emplace(commands.GetFileName(), record).second) return;
    std::string_view value;
    if (!commands.FindValue(commands.SectionOfRecord(record), names::kTreeMenu, value) ||
        value == "0" || value == "1")
      return;
    AddForEveryRun(Severity::kWarning, commands.GetFileName(),
                   static_cast<size_t>(commands.LineOf(value)), SectionName(record),
                   names::kTreeMenu,
                   StringPrintf("TreeMenu %s ist weder 0 noch 1: ein Lauf schreibt %s.",
                                Quote(value).c_str(), tree ? "ein Baummenü" : "eine Linktabelle"),
                   "TreeMenu=1 (Baummenü) oder TreeMenu=0 (Tabelle) schreiben.");
  }

  // A name found in what another section inserted: its links go into the
  // middle of that table or menu (a link text, a tooltip, the menu's script).
  void CheckInsertedPlaceholder(const PlaceholderEvent& event) {
    const CIniFile& commands = *event.commands;
    if (event.inserted_by < 0 ||
        !state_.inserted_checked.emplace(commands.GetFileName(), event.record, event.inserted_by)
             .second)
      return;
    const std::string host = SectionName(event.inserted_by);
    Add(Severity::kWarning, commands.GetFileName(),
        static_cast<size_t>(commands.SectionLine(event.inserted_by)), host, "",
        "Der Name der Sektion " + Quote(section_) + " steht in dem, was die Sektion " +
            Quote(host) + " einsetzt (einem Linktext, einer Beschreibung, einem Tooltip oder " +
            (tree_records_.count(event.inserted_by) != 0 ? "dem Skript des Menüs" : "der Tabelle") +
            "): ein Lauf setzt die Links von " + Quote(section_) +
            " auch dort ein, und der Browser zeigt beide anders oder gar nicht.",
        "Die Sektion " + Quote(section_) +
            " umbenennen, so dass ihr Name in keinem Link und keiner Tabelle vorkommt.");
  }

  void CheckLinkFields(const LinkEvent& event, const std::string& file, size_t line) {
    const LinkEntry& entry = *event.entry;
    const std::string key(event.key);
    std::string near = NearMissName(event.key, kKeysNotLinks);
    if (IsOneOfNoCase(event.key, names::kVorlageKeys)) near = key;
    if (!near.empty()) {
      AddForEveryRun(Severity::kWarning, file, line, section_, key,
                     "Der Schlüssel " + Quote(key) +
                         " ist hier keine Einstellung (gemeint ist wohl " + Quote(near) +
                         "): ein Lauf zeigt ihn als Link " + Quote(event.value) + ".",
                     "Den Namen " + Quote(near) + " schreiben, in der richtigen Sektion.");
    }
    const std::string_view texts[] = {entry.rights_text, entry.flags_text};
    const std::uint32_t words[] = {entry.rights, entry.flags};
    for (int n = 0; n < 2; ++n) {
      const HexText kind = ClassifyHexText(texts[n]);
      if (kind == HexText::kEmpty || kind == HexText::kEightDigits) continue;
      AddForEveryRun(
          Severity::kWarning, file, line, section_, key,
          StringPrintf("Das Feld %s %s ist keine Zahl aus 8 hexadezimalen Ziffern: gelesen wird "
                       "%08X.",
                       kFieldNames[4 + n], Quote(texts[n]).c_str(), words[n]),
          "8 hexadezimale Ziffern schreiben, z. B. 00000001.");
    }
    if ((entry.flags & ~kMeaningfulLinkFlags) != 0) {
      AddForEveryRun(Severity::kWarning, file, line, section_, key,
                     StringPrintf("Die Flag-Bits %08X haben keine Bedeutung.",
                                  entry.flags & ~kMeaningfulLinkFlags),
                     "Nur 00000001, 00000002, 00000004 und die oberen 16 Bit (Server) verwenden.");
    }
    if (HasOnlyHighRights(entry.rights)) {
      AddForEveryRun(
          Severity::kWarning, file, line, section_, key,
          "Der Link " + Quote(entry.text) + " trägt nur obere Rechte-Bits (" +
              std::string(entry.rights_text) +
              "): er ist für jeden sichtbar, der nicht davon gesperrt ist, auch für nicht "
              "eingetragene Benutzer.",
          "Für eine Gruppe ein unteres Bit setzen und es den Benutzern der Gruppe in [Rechte] "
          "geben.");
    }
    const std::string_view fields[] = {entry.text, entry.link, entry.description, entry.tooltip};
    for (int n = 0; n < 4; ++n) {
      if (event.tree_menu && n != 2) {
        if (FindScriptBreaker(fields[n]) == std::string_view::npos) continue;
        AddForEveryRun(
            Severity::kWarning, file, line, section_, key,
            std::string("Ein \"\\\" im Feld ") + kFieldNames[n] +
                " leitet im Skript des Baummenüs eine Escape-Folge ein: der Text ändert sich "
                "(aus \\\\srv\\share wird \\srvshare).",
            "Jeden Backslash doppelt schreiben oder \"/\" verwenden.");
      }
    }
  }

  // A menu entry shown below a folder entry the same run hides: the menu
  // puts it under another folder, or at the top, for whoever lacks the
  // folder's rights.
  void CheckTreeFolder(const LinkEvent& event, const std::string& file, size_t line) {
    const LinkEntry& entry = *event.entry;
    const size_t depth = CountIndent(entry.text);
    const bool shown = event.verdict == LinkVerdict::kShown;
    while (!folders_.empty() && folders_.back().depth >= depth) folders_.pop_back();
    if (!folders_.empty() && !folders_.back().shown && shown) {
      const TreeFolder& folder = folders_.back();
      Add(Severity::kWarning, file, line, section_, std::string(event.key),
          "Der Eintrag " + Quote(entry.text) + " steht im Baummenü unter " + Quote(folder.text) +
              " (Zeile " + std::to_string(folder.line) +
              "), den dieser Lauf verbirgt; der Eintrag selbst trägt keine solchen Rechte und "
              "erscheint trotzdem, an anderer Stelle im Menü.",
          "Dem Eintrag dieselben Rechte und Flags geben wie dem Ordner darüber.");
    }
    folders_.push_back(TreeFolder{depth, shown, std::string(entry.text), line});
  }

  // Why a copy fails, asked of the dry-run layer.
  std::string CopyFailure(const std::string& source, const std::string& target) {
    if (dry_.Inspect(source, Links::kFollow).kind != PathKind::kFile)
      return "die Quelle " + WhyUnusable(dry_, source) + ".";
    if (dry_.Inspect(target, Links::kFollow).kind == PathKind::kFolder)
      return "das Ziel ist ein Ordner.";
    const std::string folder = GetDirectoryPart(target);
    if (!folder.empty() && GetPathKind(dry_, folder) != PathKind::kFolder)
      return "den Zielordner " + Quote(folder) + " gibt es nicht.";
    return "die Quelle ist nicht lesbar oder das Ziel nicht beschreibbar.";
  }

  bool Exists(const std::string& folder, const std::string& link) {
    const std::string name = LinkFileName(link);
    if (name.empty()) return true;
    return dry_.FindPath(folder + kPathSeparator + name) == PathKind::kFile;
  }

  const CIniFile& main_;
  DryRunPlatform& dry_;
  std::string prefix_;  // the output folder and a separator
  size_t walk_;
  bool lenient_;
  CheckState& state_;
  WalkOutcome& outcome_;
  std::string page_;
  std::string section_;
  bool tree_ = false;
  const CIniFile* commands_ = nullptr;
  std::string template_file_;
  std::string last_command_file_;
  std::string scratch_;
  std::map<int, std::vector<size_t>> replaced_lines_;
  std::set<int> tree_records_;  // the page's sections written as tree menus so far
  struct TreeFolder {
    size_t depth;
    bool shown;
    std::string text;
    size_t line;
  };
  std::vector<TreeFolder> folders_;  // the entries above the current one, by depth
  std::vector<PendingName> frame_pages_;
  std::vector<PendingName> links_;
  // The rows each page file shows, a row once for every time, by the file's
  // key: a later write of the same file, by a page or a copy, takes them away.
  std::map<std::string, std::vector<size_t>> page_writes_;
  std::vector<size_t> filling_;  // the rows shown by the page being filled
  int writes_before_ = 0;

  void Unshow(const std::vector<size_t>& rows) {
    for (size_t row : rows) --outcome_.shown[row];
  }

  // Takes away what an earlier write put into the file at `path`; true when
  // a page of this walk was there.
  bool Replaced(const std::string& path) {
    auto at = page_writes_.find(DryRunPlatform::FileKey(path));
    if (at == page_writes_.end()) return false;
    Unshow(at->second);
    page_writes_.erase(at);
    return true;
  }
};

}  // namespace

WalkOutcome RunWalk(Platform& real, const CIniFile& main_config, const std::string& command_file,
                    const LinkFilter& filter, const std::string& folder, DryRunReads& reads,
                    size_t walk, bool lenient, CheckState& state) {
  WalkOutcome outcome;
  DryRunPlatform dry(real, reads);
  OutputFolder walk_folder(dry, folder);
  WalkListener listener(main_config, dry, folder, walk, lenient, state, outcome);
  RunLog log{dry};  // off: nothing of a walk is logged
  RightsReport report;
  CGenHtml generator(dry, log, main_config, filter, report, walk_folder, &listener);
  if (lenient) generator.AcceptRejectedLines();
  std::string start_page;
  generator.Generate(command_file, start_page);
  listener.CheckNames(folder);
  walk_folder.ReleaseLock();
  outcome.files = dry.FilesIn(folder);
  outcome.shown.resize(state.rows.size(), 0);
  std::sort(outcome.decided.begin(), outcome.decided.end());
  outcome.decided.erase(std::unique(outcome.decided.begin(), outcome.decided.end()),
                        outcome.decided.end());
  return outcome;
}
