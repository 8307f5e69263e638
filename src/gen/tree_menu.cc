#include "config/ini_file.h"
#include "gen/gen_html.h"
#include "gen/link_entry.h"
#include "gen/markup.h"
#include "gen/text_sink.h"

namespace {

const char kOpeningBlock[] =
    "\r\n<!--     Beginn TreeMenu     -->\r\n"
    "<link rel=\"stylesheet\" href=\"treemenu.css\" type=\"text/css\">\r\n"
    "<script type=\"text/javascript\" src=\"treemenu.js\"></script>\r\n"
    "<script type=\"text/javascript\">\r\n<!--\r\n"
    "tree = new treemenu('tree', false, false, false, false);\r\n";
const char kClosingBlock[] =
    "document.write(tree);\r\n-->\r\n</script>\r\n<noscript>\r\n"
    "<h1>Der Browser unterst\xFCtzt kein Javascript.</h1>\r\n</noscript>\r\n"
    "<!--     Ende TreeMenu     -->\r\n";

}  // namespace

GenResult CGenHtml::WriteTreeMenu(const CIniFile& commands, std::string& line,
                                  const std::string& section, size_t pos) {
  StringTextSink menu;
  WriteTreeMenuTo(commands, commands.FindSection(section), menu);
  line.replace(pos, section.size(), menu.text());
  return GenResult::kOk;
}

void CGenHtml::WriteTreeMenuTo(const CIniFile& commands, CIniSectionRef section, TextSink& sink) {
  std::string& call = row_;
  LinkEntry& entry = entry_;
  bool first = true;
  std::string_view key, value;
  for (int i = 0; commands.FindEntry(section, i, key, value); ++i) {
    if (IsSettingKey(key)) continue;
    const bool shown = ProcessLinkEntry(commands, value, entry);
    NotifyLink(commands, key, value, /*tree_menu=*/true);
    if (!shown) continue;
    // Without a link there is nothing to open in a new window.
    const char* target =
        (!entry.link.empty() && (entry.flags & kLinkNewWindow) != 0) ? "_blank" : "Daten";
    // The script reads the depth from the leading blanks.
    const size_t indent = CountIndent(entry.text);
    call.clear();
    if (first) call += kOpeningBlock;
    call += first ? "tree.put(" : "tree.add(";
    call += (entry.flags & kLinkTreeFlag) != 0 ? '1' : '0';
    call += ",'";
    call.append(indent, ' ');
    AppendScriptString(call, UpToNul(entry.text.substr(indent), entry.has_nul));
    call += "', '";
    call += target;
    call += "','";
    AppendScriptString(call, UpToNul(entry.link, entry.has_nul));
    call += "','";
    AppendScriptString(call, UpToNul(entry.tooltip, entry.has_nul));
    // The first of the two spare arguments carries the symbol.
    call += "', '";
    AppendScriptString(call, UpToNul(entry.symbol, entry.has_nul));
    call += "',  ''  );\r\n";
    sink.Append(call);
    first = false;
  }
  if (!first) sink.Append(kClosingBlock);
}
