#include <memory>
#include <string_view>
#include <vector>

#include "base/file_name.h"
#include "base/string_printf.h"
#include "config/config_names.h"
#include "config/ini_file.h"
#include "gen/gen_html.h"
#include "gen/markup.h"
#include "platform/platform.h"

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Each frame has a title and the page a language and character set, so that
// screen readers can name the frames; the rest is the page's fixed text.
const char kFrameSetFormat[] =
    "<html lang=\"de\">\r\n<head>\r\n"
    "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">\r\n"
    "<title>%s</title>\r\n</head>\r\n<frameset cols=\"%s,*\">\r\n"
    "  <frame src=\"%s\" name=\"Navigation\" title=\"%s\">\r\n"
    "  <frame src=\"%s\" name=\"%s\" title=\"%s\">\r\n"
    "  <noframes>\r\n    Ihr Browser kann diese Seite leider nicht anzeigen!\r\n"
    "  </noframes>\r\n</frameset>\r\n</html>\r\n";

// A frame's title from its key, or the default.
std::string FrameTitle(const CIniFile& commands, std::string_view key, std::string_view fallback) {
  std::string value;
  commands.GetValue(names::kFrameSet, key, value);
  std::string title;
  AppendAttributeValue(title, value.empty() ? fallback : std::string_view(value));
  return title;
}

// A frame's address as the file name it names in the output folder; empty
// for an address that names no file there.
std::string FramePageName(std::string_view address) {
  address = address.substr(0, address.find_first_of("#?"));
  std::string name;
  for (size_t i = 0; i < address.size(); ++i) {
    const int high = address[i] == '%' && i + 2 < address.size() ? HexDigit(address[i + 1]) : -1;
    const int low = high >= 0 ? HexDigit(address[i + 2]) : -1;
    if (low >= 0) {
      name.push_back(static_cast<char>(high * 16 + low));
      i += 2;
    } else {
      name.push_back(address[i]);
    }
  }
  return IsPlainFileName(name) ? name : std::string();
}

}  // namespace

std::vector<std::string> FramePageNames(const CIniFile& commands) {
  std::string left, right;
  commands.GetValue(names::kFrameSet, names::kFrameLinks, left);
  commands.GetValue(names::kFrameSet, names::kFrameRechts, right);
  // As WriteFrameSet: without both frames there is no frameset.
  if (left.empty() || right.empty()) return {};
  std::vector<std::string> names;
  for (const std::string* address : {&left, &right}) {
    std::string name = FramePageName(*address);
    if (!name.empty()) names.push_back(std::move(name));
  }
  return names;
}

GenResult CGenHtml::WriteFrameSet(const CIniFile& commands, const std::string& path) {
  std::string left, right, width, title;
  commands.GetValue(names::kFrameSet, names::kFrameLinks, left);
  commands.GetValue(names::kFrameSet, names::kFrameRechts, right);
  commands.GetValue(names::kFrameSet, names::kBreiteLinks, width);
  commands.GetValue(names::kFrameSet, names::kTitel, title);
  if (left.empty() || right.empty()) return GenResult::kNoFrameSet;
  if (width.empty()) width = "150";

  const std::string left_title = FrameTitle(commands, names::kTitelLinks, "Navigation");
  const std::string right_title = FrameTitle(commands, names::kTitelRechts, "Inhalt");
  std::string page = StringPrintf(kFrameSetFormat, title.c_str(), width.c_str(), left.c_str(),
                                  left_title.c_str(), right.c_str(), "Daten", right_title.c_str());
  std::unique_ptr<WritableFile> file = platform_.NewWritableFile(path, /*exclusive=*/false);
  if (!file) return GenResult::kWriteFailed;
  bool written = file->Append(page);
  bool closed = file->Close();
  return written && closed ? GenResult::kOk : GenResult::kWriteFailed;
}
