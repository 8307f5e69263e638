#include <charconv>

#include "base/string_printf.h"
#include "base/text.h"
#include "config/ini_file.h"
#include "fs/util.h"
#include "gen/gen_html.h"
#include "gen/link_entry.h"
#include "gen/text_sink.h"

namespace {

// The fixed parts of the table, between the values filled in.
const char kHeadingStart[] =
    "<table border=\"0\" width=\"100%\">\r\n   <tr>\r\n     <td width=\"100%\"><b>";
const char kHeadingEnd[] = "</b></td>\r\n   </tr>\r\n</table>\r\n";
const char kTableHeadStart[] = "<table border=\"";
const char kTableHeadEnd[] = "\" width=\"100%\" cellspacing=\"0\">\r\n";
const char kRowStart[] = "   <tr>\r\n     <td width=\"";
const char kTitle[] = "\" title=\"";
const char kAnchor[] = "<a ";
const char kAnchorText[] = ">";
const char kRowCellEnd[] = "</a></td>\r\n     ";
const char kRowEnd[] = "   </tr>\r\n";
const char kDescriptionStart[] = "     <td width=\"50%\">";
const char kDescriptionEnd[] = "</td>\r\n";
const char kTableEnd[] = "</table>\r\n";

// "<font ...>" from a "face|size" setting; empty when the setting is.
std::string FontTag(const CIniFile& commands, std::string_view section, const char* key,
                    int default_size) {
  std::string value;
  commands.GetValue(section, key, value);
  if (value.empty()) return std::string();
  std::string face, size;
  GetField(face, value, 1, '|');
  int points = GetField(size, value, 2, '|') ? ParseLeadingInt(size) : default_size;
  return StringPrintf("<font face=\"%s\" size=\"%d\">", face.c_str(), points);
}

// A value as printf's "%s" gives it: up to its first NUL byte.
void AppendText(std::string& out, const std::string& text) { out.append(text.c_str()); }

}  // namespace

GenResult CGenHtml::WriteLinkTable(const CIniFile& commands, std::string& line,
                                   const std::string& section, size_t pos) {
  StringTextSink table;
  WriteLinkTableTo(commands, section, table);
  line.replace(pos, section.size(), table.text());
  return GenResult::kOk;
}

void CGenHtml::WriteLinkTableTo(const CIniFile& commands, std::string_view section,
                                TextSink& sink) {
  std::string heading;
  commands.GetValue(section, "Ueberschrift", heading);
  const std::string table_font = FontTag(commands, section, "FontTabelle", 3);
  const std::string heading_font = FontTag(commands, section, "FontUeberschrift", 4);
  std::string border_text;
  int border = commands.GetValue(section, "Border", border_text) ? ParseLeadingInt(border_text) : 1;
  std::string link_width;
  commands.GetValue(section, "SpaltenBreite1", link_width);
  if (link_width.empty()) link_width = "50%";

  // Reused for every row, so that rows cost no allocation once they fit.
  std::string& row = row_;
  std::string& attributes = attributes_;
  LinkEntry& entry = entry_;
  bool row_written = false;
  std::string_view key, value;
  for (int i = 0; commands.FindEntry(section, i, key, value); ++i) {
    if (IsSettingKey(key)) continue;
    if (!ProcessLinkEntry(commands, value, entry)) continue;
    row.clear();
    // The heading and the table head come with the first row, as a table
    // without rows is dropped, heading included.
    if (!row_written) {
      row += kHeadingStart;
      row += heading_font;
      AppendText(row, heading);
      row += kHeadingEnd;
      row += kTableHeadStart;
      char digits[16];
      row.append(digits, std::to_chars(digits, digits + sizeof digits, border).ptr);
      row += kTableHeadEnd;
    }
    attributes.clear();
    if (!entry.link.empty()) {
      attributes += "href=\"";
      attributes += entry.link;
      attributes += '"';
      if ((entry.flags & kLinkNewWindow) != 0) attributes += " target=\"_blank\"";
    }
    size_t indent = CountIndent(entry.text);
    row += kRowStart;
    AppendText(row, link_width);
    row += kTitle;
    AppendText(row, entry.tooltip);
    row += "\">";
    row += table_font;
    for (size_t n = 0; n < indent; ++n) row += "&nbsp;";
    row += kAnchor;
    AppendText(row, attributes);
    row += kAnchorText;
    row.append(entry.text.c_str() + indent);
    row += kRowCellEnd;
    if (!entry.description.empty()) {
      row += kDescriptionStart;
      row += table_font;
      AppendText(row, entry.description);
      row += kDescriptionEnd;
    }
    row += kRowEnd;
    sink.Append(row);
    row_written = true;
  }
  if (row_written) sink.Append(kTableEnd);
}
