#include <memory>
#include <string_view>
#include <vector>

#include "base/text.h"
#include "config/config_names.h"
#include "config/ini_file.h"
#include "config/run_log.h"
#include "fs/util.h"
#include "gen/gen_html.h"
#include "gen/gen_observer.h"
#include "gen/line_filler.h"
#include "gen/placeholder_matcher.h"
#include "gen/text_lines.h"
#include "gen/text_sink.h"
#include "platform/file_reading.h"
#include "platform/messages.h"
#include "platform/platform.h"

namespace {

bool ContainsHeadTag(std::string_view line) {
  return ToUpperAnsi(line).find("<HEAD>") != std::string::npos;
}

// Every section but [Vorlage] is a placeholder, in file order.
Placeholders CollectPlaceholders(const CIniFile& commands) {
  Placeholders placeholders;
  placeholders.upper_names.reserve(static_cast<size_t>(commands.GetSectionCount()));
  placeholders.records.reserve(static_cast<size_t>(commands.GetSectionCount()));
  for (int i = 0; i < commands.GetSectionCount(); ++i) {
    std::string_view name = commands.SectionName(i);
    // An empty name would match at the start of every line.
    if (!IsPlaceholderSection(name)) continue;
    placeholders.upper_names.push_back(ToUpperAnsi(name));
    placeholders.records.push_back(i);
  }
  return placeholders;
}

// The background-sound tag of a "source|loop" setting.
std::string SoundTag(const std::string& sound) {
  std::string source, loop;
  GetField(source, sound, 1, '|');
  if (!GetField(loop, sound, 2, '|')) loop = "infinite";
  return StringPrintf("<bgsound src=\"%s\" loop=\"%s\">", source.c_str(), loop.c_str());
}

// The page being written, in blocks of a quarter megabyte: a page costs a
// write call or a few, not one per line, and the one buffer stays small
// enough to stay in the cache. After a failed write nothing more is written.
class PageWriter final : public TextSink {
 public:
  explicit PageWriter(WritableFile& file) : file_(file) {}

  void Append(std::string_view text) override {
    if (buffer_.size() + text.size() > kPart) Flush();
    if (text.size() >= kPart) {
      Write(text);
    } else {
      if (buffer_.capacity() < kPart) buffer_.reserve(kPart);
      buffer_.append(text);
    }
  }
  /// Ends the line; false once a write has failed.
  bool EndLine() {
    Append("\r\n");
    return ok_;
  }
  /// Writes out what is left; false if any write failed.
  bool Finish() {
    Flush();
    return ok_;
  }

 private:
  static constexpr size_t kPart = 1 << 18;

  void Flush() {
    if (buffer_.empty()) return;
    Write(buffer_);
    buffer_.clear();
  }
  void Write(std::string_view text) {
    if (ok_ && !file_.Append(text)) ok_ = false;
  }

  WritableFile& file_;
  std::string buffer_;
  bool ok_ = true;
};

}  // namespace

bool IsPlaceholderSection(std::string_view name) {
  // An empty name would match at the start of every line.
  return !name.empty() && !EqualsNoCaseAscii(name, names::kVorlage);
}

GenResult CGenHtml::FillTemplate(const CIniFile& commands, const std::string& template_file,
                                 const std::string& output_file, bool reuse_template,
                                 bool writable) {
  Log("");
  Log(Message(IDS_TEMPLATE_INI, commands.GetFileName()));
  Log(Message(IDS_TEMPLATE_HTML, template_file));
  Log(Message(IDS_OUTPUT_FILE, output_file));

  std::string sound;
  bool sound_pending = commands.GetValue(names::kVorlage, names::kSound, sound);
  if (observer_ != nullptr)
    observer_->OnTemplate(commands, template_file, template_directory_, output_file, sound_pending);
  if (!writable) return GenResult::kWriteFailed;
  Placeholders placeholders;
  if (sound_pending) {
    // A page with background sound keeps its placeholders as they stand.
    Expand(sound);
  } else {
    placeholders = CollectPlaceholders(commands);
    if (placeholders.records.empty()) {
      return CopyFileLogged(template_file, output_file, true, CopyPhase::kUnchangedTemplate) == 0
                 ? GenResult::kOk
                 : GenResult::kCopyFailed;
    }
  }

  // Pages of a run often share their template: it is read once.
  if (!reuse_template || template_file != read_template_file_ || read_template_file_.empty()) {
    read_template_file_.clear();
    if (ReadFileToString(platform_, template_file, &template_bytes_) != ReadResult::kOk)
      return GenResult::kWriteFailed;
    read_template_file_ = template_file;
  }
  const std::string_view bytes = template_bytes_;
  std::unique_ptr<WritableFile> file = platform_.NewWritableFile(output_file, /*exclusive=*/false);
  if (!file) return GenResult::kWriteFailed;

  PlaceholderMatcher matcher(placeholders.upper_names);
  PageWriter page(*file);
  LineFiller filler(matcher, page);
  int line_number = 0;
  std::string_view current_line;
  const LineFiller::Producer produce = [&](size_t entry, TextSink& sink) {
    const int record = placeholders.records[entry];
    if (observer_ == nullptr) {
      WritePlaceholder(commands, record, sink, nullptr);
      return;
    }
    const LineFiller::Occurrence& at = filler.current_occurrence();
    PlaceholderEvent event;
    event.commands = &commands;
    event.record = record;
    event.template_file = template_file;
    event.template_line = line_number;
    event.in_template = at.in_line;
    event.column = at.column;
    if (!at.in_line) event.inserted_by = placeholders.records[at.block_entry];
    event.line = current_line;
    WritePlaceholder(commands, record, sink, &event);
  };
  // A partly written page stays; the result tells that it is not whole.
  bool written = ForEachTextLine(bytes, [&](std::string_view line) {
    ++line_number;
    current_line = line;
    filler.FillLine(line, produce);
    // With a sound setting there are no placeholders: the line is as read.
    if (sound_pending && ContainsHeadTag(line)) {
      page.Append("\r\n");
      page.Append(SoundTag(sound));
      sound_pending = false;
    }
    return page.EndLine();
  });
  if (!written || !page.Finish()) return GenResult::kWriteFailed;
  return file->Close() ? GenResult::kOk : GenResult::kWriteFailed;
}

void CGenHtml::WritePlaceholder(const CIniFile& commands, int record, TextSink& sink,
                                PlaceholderEvent* event) {
  const CIniSectionRef section = commands.SectionOfRecord(record);
  TableSettings settings;
  ReadTableSettings(commands, section, settings);
  const bool tree = IsTreeMenu(settings);
  if (event != nullptr) {
    event->tree_menu = tree;
    observer_->OnPlaceholder(*event);
  }
  if (tree) {
    WriteTreeMenuTo(commands, section, sink);
  } else {
    WriteLinkTableTo(commands, section, settings, sink);
  }
}
