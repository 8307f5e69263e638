#include "base/string_printf.h"
#include "config/ini_file.h"
#include "gen/gen_html.h"
#include "gen/link_entry.h"

namespace {

const char kCallFormat[] = "tree.%s(%d,'%s', '%s','%s','%s', '',  ''  );\r\n";
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
std::string EscapeScriptString(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    const bool escaped = i > 0 && text[i - 1] == '\\';
    if (c == '\'' && !escaped) {
      out += "\\'";
    } else if (c == '/' && i > 0 && text[i - 1] == '<') {
      out += "\\/";
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace

GenResult CGenHtml::WriteTreeMenu(const CIniFile& commands, std::string& line,
                                  const std::string& section, size_t pos) {
  std::string calls;
  std::string key, value;
  for (int i = 0; commands.GetEntry(section, i, key, value); ++i) {
    if (IsSettingKey(key)) continue;
    LinkEntry entry;
    if (!ProcessLinkEntry(commands, value, entry)) continue;
    // Without a link there is nothing to open in a new window.
    const char* target =
        (!entry.link.empty() && (entry.flags & kLinkNewWindow) != 0) ? "_blank" : "Daten";
    // The script reads the depth from the leading blanks.
    entry.text.replace(0, CountIndent(entry.text), CountIndent(entry.text), ' ');
    calls += StringPrintf(kCallFormat, calls.empty() ? "put" : "add",
                          (entry.flags & kLinkTreeFlag) != 0 ? 1 : 0,
                          EscapeScriptString(entry.text).c_str(), target,
                          EscapeScriptString(entry.link).c_str(),
                          EscapeScriptString(entry.tooltip).c_str());
  }
  line.erase(pos, section.size());
  if (!calls.empty()) line.insert(pos, kOpeningBlock + calls + kClosingBlock);
  return GenResult::kOk;
}
