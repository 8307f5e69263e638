#include <memory>
#include <string_view>
#include <vector>

#include "base/text.h"
#include "config/ini_file.h"
#include "config/run_log.h"
#include "fs/util.h"
#include "gen/gen_html.h"
#include "platform/messages.h"
#include "platform/platform.h"

namespace {

// The lines of a file read as text: 0x1A ends the file, CR LF and a lone LF
// end a line, and a last line without a line break still counts.
std::vector<std::string> SplitTextLines(std::string_view bytes) {
  size_t end = bytes.find('\x1A');
  if (end != std::string_view::npos) bytes = bytes.substr(0, end);
  std::vector<std::string> lines;
  size_t pos = 0;
  while (pos < bytes.size()) {
    size_t lf = bytes.find('\n', pos);
    size_t line_end = lf == std::string_view::npos ? bytes.size() : lf;
    std::string_view line = bytes.substr(pos, line_end - pos);
    if (lf != std::string_view::npos && !line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.emplace_back(line);
    pos = lf == std::string_view::npos ? bytes.size() : lf + 1;
  }
  return lines;
}

bool ContainsHeadTag(const std::string& line) {
  return ToUpperAnsi(line).find("<HEAD>") != std::string::npos;
}

// Every section but [Vorlage] is a placeholder, in file order.
std::vector<Placeholder> CollectPlaceholders(const CIniFile& commands) {
  std::vector<Placeholder> placeholders;
  for (int i = 0; i < commands.GetSectionCount(); ++i) {
    std::string name;
    commands.GetSection(i, name);
    // An empty name would match at the start of every line.
    if (name.empty() || EqualsNoCaseAscii(name, "Vorlage")) continue;
    placeholders.push_back(Placeholder{name, ToUpperAnsi(name)});
  }
  return placeholders;
}

// The background-sound tag of a "source|loop" setting.
std::string SoundTag(const std::string& sound) {
  std::string source, loop;
  GetField(source, sound, 1, '|');
  if (!GetField(loop, sound, 2, '|')) loop = "infinite";
  return StringPrintf("<bgsound src=\"%s\" loop=\"%s\">", source.c_str(), loop.c_str()) + "\r\n";
}

}  // namespace

GenResult CGenHtml::FillTemplate(const CIniFile& commands, const std::string& template_file,
                                 const std::string& output_file) {
  Log("");
  Log(Message(IDS_TEMPLATE_INI, commands.GetFileName()));
  Log(Message(IDS_TEMPLATE_HTML, template_file));
  Log(Message(IDS_OUTPUT_FILE, output_file));

  std::string sound;
  bool sound_pending = commands.GetValue("Vorlage", "Sound", sound);
  std::vector<Placeholder> placeholders;
  if (sound_pending) {
    // A page with background sound keeps its placeholders as they stand.
    Expand(sound);
  } else {
    placeholders = CollectPlaceholders(commands);
    if (placeholders.empty()) {
      return CopyFileLogged(template_file, output_file, true, log_) == 0 ? GenResult::kOk
                                                                         : GenResult::kCopyFailed;
    }
  }

  Platform& platform = GetPlatform();
  std::string bytes;
  if (!platform.ReadFile(template_file, &bytes)) return GenResult::kWriteFailed;
  std::unique_ptr<WritableFile> out = platform.NewWritableFile(output_file, /*exclusive=*/false);
  if (!out) return GenResult::kWriteFailed;

  for (std::string& line : SplitTextLines(bytes)) {
    for (const Placeholder& placeholder : placeholders) FillPlaceholder(commands, placeholder, line);
    std::string text = line + "\r\n";
    if (sound_pending && ContainsHeadTag(line)) {
      text += SoundTag(sound);
      sound_pending = false;
    }
    // A partly written page stays; the result tells that it is not whole.
    if (!out->Append(text)) return GenResult::kWriteFailed;
  }
  return out->Close() ? GenResult::kOk : GenResult::kWriteFailed;
}

void CGenHtml::FillPlaceholder(const CIniFile& commands, const Placeholder& placeholder,
                               std::string& line) {
  // Searched in the line as changed so far, inserted text included.
  size_t pos = ToUpperAnsi(line).find(placeholder.upper);
  if (pos == std::string::npos) return;
  std::string tree_menu;
  commands.GetValue(placeholder.section, "TreeMenu", tree_menu);
  if (ParseLeadingInt(tree_menu) == 1) {
    WriteTreeMenu(commands, line, placeholder.section, pos);
  } else {
    WriteLinkTable(commands, line, placeholder.section, pos);
  }
}
