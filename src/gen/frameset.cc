#include <memory>

#include "base/string_printf.h"
#include "config/ini_file.h"
#include "gen/gen_html.h"
#include "platform/platform.h"

namespace {

const char kFrameSetFormat[] =
    "<html>\r\n<head>\r\n<title>%s</title>\r\n</head>\r\n<frameset cols=\"%s,*\">\r\n"
    "  <frame src=\"%s\" name=\"Navigation\">\r\n  <frame src=\"%s\" name=\"%s\">\r\n"
    "  <noframes>\r\n    Ihr Browser kann diese Seite leider nicht anzeigen!\r\n"
    "  </noframes>\r\n</frameset>\r\n</html>\r\n";

}  // namespace

GenResult CGenHtml::WriteFrameSet(const CIniFile& commands, const std::string& path) {
  std::string left, right, width, title;
  commands.GetValue("FrameSet", "FrameLinks", left);
  commands.GetValue("FrameSet", "FrameRechts", right);
  commands.GetValue("FrameSet", "BreiteLinks", width);
  commands.GetValue("FrameSet", "Titel", title);
  if (left.empty() || right.empty()) return GenResult::kNoFrameSet;
  if (width.empty()) width = "150";

  std::string page = StringPrintf(kFrameSetFormat, title.c_str(), width.c_str(), left.c_str(),
                                  right.c_str(), "Daten");
  std::unique_ptr<WritableFile> file = GetPlatform().NewWritableFile(path, /*exclusive=*/false);
  if (!file) return GenResult::kWriteFailed;
  bool written = file->Append(page);
  bool closed = file->Close();
  return written && closed ? GenResult::kOk : GenResult::kWriteFailed;
}
