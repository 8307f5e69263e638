#include "config/ini_file.h"
#include "gen/gen_html.h"
#include "gen/link_entry.h"
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

// The texts go into single-quoted script strings inside a script block: an
// unescaped quote would end the string and "</" the block, and either leaves
// the whole menu blank. A quote written as \' already and every other
// character, backslashes included, stay as the command file has them.
void AppendScriptString(std::string& out, std::string_view text) {
  // Runs without a character to escape go out whole.
  size_t run = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    const char* escape = nullptr;
    if (c == '\'' && (i == 0 || text[i - 1] != '\\')) {
      escape = "\\'";
    } else if (c == '/' && i > 0 && text[i - 1] == '<') {
      escape = "\\/";
    }
    if (escape == nullptr) continue;
    out.append(text, run, i - run);
    out += escape;
    run = i + 1;
  }
  out.append(text, run, text.size() - run);
}

}  // namespace

GenResult CGenHtml::WriteTreeMenu(const CIniFile& commands, std::string& line,
                                  const std::string& section, size_t pos) {
  StringTextSink menu;
  WriteTreeMenuTo(commands, commands.FindSection(section), menu);
  line.replace(pos, section.size(), menu.text());
  return GenResult::kOk;
}

void CGenHtml::WriteTreeMenuTo(const CIniFile& commands, CIniSectionRef section,
                               TextSink& sink) {
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
    call += "', '',  ''  );\r\n";
    sink.Append(call);
    first = false;
  }
  if (!first) sink.Append(kClosingBlock);
}
