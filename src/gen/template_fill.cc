#include <memory>
#include <string_view>
#include <vector>

#include "base/text.h"
#include "config/ini_file.h"
#include "config/run_log.h"
#include "fs/util.h"
#include "gen/gen_html.h"
#include "gen/line_filler.h"
#include "gen/placeholder_matcher.h"
#include "gen/text_sink.h"
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
    if (name.empty() || EqualsNoCaseAscii(name, "Vorlage")) continue;
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

// The lines of a text file: 0x1A ends the file, CR LF and a lone LF end a
// line, and a last line without a line break still counts. Calls
// `line(text)` for each; stops when it returns false.
template <typename LineFn>
bool ForEachTextLine(std::string_view bytes, LineFn line) {
  size_t end = bytes.find('\x1A');
  if (end != std::string_view::npos) bytes = bytes.substr(0, end);
  size_t pos = 0;
  while (pos < bytes.size()) {
    size_t lf = bytes.find('\n', pos);
    size_t line_end = lf == std::string_view::npos ? bytes.size() : lf;
    std::string_view text = bytes.substr(pos, line_end - pos);
    if (lf != std::string_view::npos && !text.empty() && text.back() == '\r') text.remove_suffix(1);
    if (!line(text)) return false;
    pos = lf == std::string_view::npos ? bytes.size() : lf + 1;
  }
  return true;
}

}  // namespace

GenResult CGenHtml::FillTemplate(const CIniFile& commands, const std::string& template_file,
                                 const std::string& output_file, bool reuse_template) {
  Log("");
  Log(Message(IDS_TEMPLATE_INI, commands.GetFileName()));
  Log(Message(IDS_TEMPLATE_HTML, template_file));
  Log(Message(IDS_OUTPUT_FILE, output_file));

  std::string sound;
  bool sound_pending = commands.GetValue("Vorlage", "Sound", sound);
  Placeholders placeholders;
  if (sound_pending) {
    // A page with background sound keeps its placeholders as they stand.
    Expand(sound);
  } else {
    placeholders = CollectPlaceholders(commands);
    if (placeholders.records.empty()) {
      return CopyFileLogged(template_file, output_file, true, log_) == 0 ? GenResult::kOk
                                                                         : GenResult::kCopyFailed;
    }
  }

  Platform& platform = GetPlatform();
  // Pages of a run often share their template: it is read once.
  if (!reuse_template || template_file != read_template_file_ || read_template_file_.empty()) {
    read_template_file_.clear();
    if (!platform.ReadFile(template_file, &template_bytes_)) return GenResult::kWriteFailed;
    read_template_file_ = template_file;
  }
  const std::string_view bytes = template_bytes_;
  std::unique_ptr<WritableFile> file = platform.NewWritableFile(output_file, /*exclusive=*/false);
  if (!file) return GenResult::kWriteFailed;

  PlaceholderMatcher matcher(placeholders.upper_names);
  PageWriter page(*file);
  LineFiller filler(matcher, page);
  const LineFiller::Producer produce = [&](size_t entry, TextSink& sink) {
    WritePlaceholder(commands, placeholders.records[entry], sink);
  };
  // A partly written page stays; the result tells that it is not whole.
  bool written = ForEachTextLine(bytes, [&](std::string_view line) {
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

void CGenHtml::WritePlaceholder(const CIniFile& commands, int record, TextSink& sink) {
  const CIniSectionRef section = commands.SectionOfRecord(record);
  TableSettings settings;
  ReadTableSettings(commands, section, settings);
  if (IsTreeMenu(settings)) {
    WriteTreeMenuTo(commands, section, sink);
  } else {
    WriteLinkTableTo(commands, section, settings, sink);
  }
}
