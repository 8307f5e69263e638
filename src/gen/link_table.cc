#include <charconv>
#include <iterator>

#include "base/text.h"
#include "config/config_names.h"
#include "config/ini_file.h"
#include "fs/util.h"
#include "gen/gen_html.h"
#include "gen/link_entry.h"
#include "gen/markup.h"
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
// A symbol is decoration: the link text names the link.
const char kSymbolStart[] = "<img src=\"";
const char kSymbolEnd[] = "\" alt=\"\" class=\"symbol\">";
const char kRowCellEnd[] = "</a></td>\r\n     ";
const char kRowEnd[] = "   </tr>\r\n";
const char kDescriptionStart[] = "     <td width=\"50%\">";
const char kDescriptionEnd[] = "</td>\r\n";
const char kTableEnd[] = "</table>\r\n";

void AppendNumber(std::string& out, int number) {
  char digits[16];
  out.append(digits, std::to_chars(digits, digits + sizeof digits, number).ptr);
}

// Appends "<font ...>" from a "face|size" setting; nothing when the setting is empty.
void AppendFontTag(std::string& tag, std::string_view value, int default_size) {
  if (value.empty()) return;
  std::string_view face, size;
  GetFieldView(face, value, 1, '|');
  int points = GetFieldView(size, value, 2, '|') ? ParseLeadingInt(size) : default_size;
  tag += "<font face=\"";
  AppendAttributeValue(tag, UpToNul(face));
  tag += "\" size=\"";
  AppendNumber(tag, points);
  tag += "\">";
}

// The settings of a placeholder's section, found in one walk over it, in
// the order of names::kSectionSettingKeys.
enum TableSetting {
  kHeading,
  kTableFont,
  kHeadingFont,
  kBorder,
  kLinkWidth,
  kTreeMenu,
  kSettingCount
};
static_assert(std::size(names::kSectionSettingKeys) == kSettingCount);

}  // namespace

void CGenHtml::ReadTableSettings(const CIniFile& commands, CIniSectionRef section,
                                 TableSettings& settings) {
  static_assert(kSettingCount == TableSettings::kCount);
  settings.found =
      commands.FindValues(section, names::kSectionSettingKeys, kSettingCount, settings.values);
}

bool CGenHtml::IsTreeMenu(const TableSettings& settings) {
  return ParseLeadingInt(settings.values[kTreeMenu]) == 1;
}

GenResult CGenHtml::WriteLinkTable(const CIniFile& commands, std::string& line,
                                   const std::string& section, size_t pos) {
  StringTextSink table;
  WriteLinkTableTo(commands, commands.FindSection(section), table);
  line.replace(pos, section.size(), table.text());
  return GenResult::kOk;
}

void CGenHtml::WriteLinkTableTo(const CIniFile& commands, CIniSectionRef section, TextSink& sink) {
  TableSettings settings;
  ReadTableSettings(commands, section, settings);
  WriteLinkTableTo(commands, section, settings, sink);
}

void CGenHtml::WriteLinkTableTo(const CIniFile& commands, CIniSectionRef section,
                                const TableSettings& table, TextSink& sink) {
  const std::string_view* settings = table.values;
  const std::string_view heading = UpToNul(settings[kHeading]);
  // Reused from table to table, so that a table costs no allocation.
  std::string& table_font = table_font_;
  std::string& heading_font = heading_font_;
  table_font.clear();
  heading_font.clear();
  AppendFontTag(table_font, settings[kTableFont], 3);
  AppendFontTag(heading_font, settings[kHeadingFont], 4);
  const int border = (table.found & (1u << kBorder)) != 0 ? ParseLeadingInt(settings[kBorder]) : 1;
  std::string& link_width = attributes_;
  link_width.clear();
  AppendAttributeValue(link_width, settings[kLinkWidth].empty() ? std::string_view("50%")
                                                                : UpToNul(settings[kLinkWidth]));

  // Reused for every row, so that rows cost no allocation once they fit.
  std::string& row = row_;
  LinkEntry& entry = entry_;
  bool row_written = false;
  std::string_view key, value;
  for (int i = 0; commands.FindEntry(section, i, key, value); ++i) {
    if (IsSettingKey(key)) continue;
    const bool shown = ProcessLinkEntry(commands, value, entry);
    NotifyLink(commands, key, value, /*tree_menu=*/false);
    if (!shown) continue;
    row.clear();
    // The heading and the table head come with the first row, as a table
    // without rows is dropped, heading included.
    if (!row_written) {
      row += kHeadingStart;
      row += heading_font;
      AppendCellHtml(row, heading);
      row += kHeadingEnd;
      row += kTableHeadStart;
      AppendNumber(row, border);
      row += kTableHeadEnd;
    }
    size_t indent = CountIndent(entry.text);
    row += kRowStart;
    row += link_width;
    row += kTitle;
    AppendAttributeValue(row, UpToNul(entry.tooltip, entry.has_nul));
    row += "\">";
    row += table_font;
    for (size_t n = 0; n < indent; ++n) row += "&nbsp;";
    row += kAnchor;
    // Each value ends within its attribute or cell, a NUL byte included.
    if (!entry.link.empty()) {
      row += "href=\"";
      AppendAttributeValue(row, UpToNul(entry.link, entry.has_nul));
      row += '"';
      if ((entry.flags & kLinkNewWindow) != 0) row += " target=\"_blank\"";
    }
    row += kAnchorText;
    if (!entry.symbol.empty()) {
      row += kSymbolStart;
      AppendAttributeValue(row, UpToNul(entry.symbol, entry.has_nul));
      row += kSymbolEnd;
    }
    AppendCellHtml(row, UpToNul(entry.text.substr(indent), entry.has_nul));
    row += kRowCellEnd;
    if (!entry.description.empty()) {
      row += kDescriptionStart;
      row += table_font;
      AppendCellHtml(row, UpToNul(entry.description, entry.has_nul));
      row += kDescriptionEnd;
    }
    row += kRowEnd;
    sink.Append(row);
    row_written = true;
  }
  if (row_written) sink.Append(kTableEnd);
}
