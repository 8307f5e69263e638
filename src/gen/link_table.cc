#include "base/string_printf.h"
#include "base/text.h"
#include "config/ini_file.h"
#include "fs/util.h"
#include "gen/gen_html.h"
#include "gen/link_entry.h"

namespace {

const char kHeadingFormat[] =
    "<table border=\"0\" width=\"100%%\">\r\n   <tr>\r\n     <td "
    "width=\"100%%\"><b>%s%s</b></td>\r\n"
    "   </tr>\r\n</table>\r\n";
const char kTableHeadFormat[] = "<table border=\"%d\" width=\"%d%%\" cellspacing=\"0\">\r\n";
const char kDescriptionFormat[] = "     <td width=\"%s\">%s%s</td>\r\n";
const char kRowFormat[] =
    "   <tr>\r\n     <td width=\"%s\" title=\"%s\">%s%s<a %s>%s</a></td>\r\n     %s   </tr>\r\n";
const char kDescriptionWidth[] = "50%";
const int kTableWidth = 100;

// "<font ...>" from a "face|size" setting; empty when the setting is.
std::string FontTag(const CIniFile& commands, const std::string& section, const char* key,
                    int default_size) {
  std::string value;
  commands.GetValue(section, key, value);
  if (value.empty()) return std::string();
  std::string face, size;
  GetField(face, value, 1, '|');
  int points = GetField(size, value, 2, '|') ? ParseLeadingInt(size) : default_size;
  return StringPrintf("<font face=\"%s\" size=\"%d\">", face.c_str(), points);
}

}  // namespace

GenResult CGenHtml::WriteLinkTable(const CIniFile& commands, std::string& line,
                                   const std::string& section, size_t pos) {
  std::string heading;
  commands.GetValue(section, "Ueberschrift", heading);
  std::string table_font = FontTag(commands, section, "FontTabelle", 3);
  std::string heading_font = FontTag(commands, section, "FontUeberschrift", 4);
  std::string border_text;
  int border = commands.GetValue(section, "Border", border_text) ? ParseLeadingInt(border_text) : 1;
  std::string link_width;
  commands.GetValue(section, "SpaltenBreite1", link_width);
  if (link_width.empty()) link_width = "50%";

  std::string out;
  bool table_opened = false;
  bool row_written = false;
  std::string key, value;
  for (int i = 0; commands.GetEntry(section, i, key, value); ++i) {
    if (IsSettingKey(key)) continue;
    if (!table_opened) {
      out += StringPrintf(kHeadingFormat, heading_font.c_str(), heading.c_str());
      out += StringPrintf(kTableHeadFormat, border, kTableWidth);
      table_opened = true;
    }
    LinkEntry entry;
    if (!ProcessLinkEntry(commands, value, entry)) continue;

    std::string description;
    if (!entry.description.empty())
      description = StringPrintf(kDescriptionFormat, kDescriptionWidth, table_font.c_str(),
                                 entry.description.c_str());
    std::string attributes;
    if (!entry.link.empty())
      attributes = "href=\"" + entry.link + "\"" +
                   ((entry.flags & kLinkNewWindow) != 0 ? " target=\"_blank\"" : "");
    size_t indent = CountIndent(entry.text);
    std::string spaces;
    for (size_t n = 0; n < indent; ++n) spaces += "&nbsp;";
    entry.text.erase(0, indent);

    out +=
        StringPrintf(kRowFormat, link_width.c_str(), entry.tooltip.c_str(), table_font.c_str(),
                     spaces.c_str(), attributes.c_str(), entry.text.c_str(), description.c_str());
    row_written = true;
  }
  if (table_opened) out += "</table>\r\n";

  line.erase(pos, section.size());
  // A table without rows is dropped, heading included.
  if (row_written) line.insert(pos, out);
  return GenResult::kOk;
}
