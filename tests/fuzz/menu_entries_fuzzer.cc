// Random link entries into a tree menu and a link table of one page; node
// (tests/browser/entries_oracle.js) parses the page as a browser would, runs
// the menu script and judges: every entry the user may see is there, with
// its values, and nothing after it is lost.
//
// The input is the section's entry values, one per line. A byte 0x01 and the
// byte after it stand for one of the tokens below, so that escape
// sequences, quotes and markup come up often.
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "config/ini_file.h"
#include "config/rights.h"
#include "config/run_log.h"
#include "gen/gen_html.h"
#include "gen/link_entry.h"

namespace {

const char* const kTokens[] = {
    "\\",       "\\\\",        "'",         "\\'",         "\\x",        "\\x4",        "\\u",
    "\\u{",     "\\u{110000}", "}",         "\r",          "\\\r\n",     "</script>",   "<script>",
    "<!--",     "-->",         "--!>",      "<textarea>",  "</textarea", "<title>",     "<style>",
    "<xmp>",    "<noscript>",  "<iframe>",  "<plaintext>", "<template>", "</template>", "<form>",
    "<select>", "<svg>",       "<math>",    "<![CDATA[",   "]]>",        "</td>",       "<tr>",
    "<td>",     "</table>",    "<table>",   "\"",          "='",         "<b title=\"", "<a href=",
    "&amp;",    "&quot",       "&#",        "<",           "</",         ">",           "<!",
    "<?",       "#",           "|",         "%",           "\xFC",       "\x80",        " ",
    "\\n",      "\\0",         "<!DOCTYPE", "/",
};

std::string Expand(std::string_view input) {
  std::string out;
  for (size_t i = 0; i < input.size(); ++i) {
    if (input[i] == '\x01' && i + 1 < input.size()) {
      out += kTokens[static_cast<unsigned char>(input[++i]) % std::size(kTokens)];
    } else if (input[i] != '\n' && input[i] != '\x1A') {  // the reader stops at Ctrl-Z
      out += input[i];
    }
  }
  return out;
}

std::string Base64(std::string_view bytes) {
  static const char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  size_t i = 0;
  for (; i + 2 < bytes.size(); i += 3) {
    const unsigned v = (static_cast<unsigned char>(bytes[i]) << 16) |
                       (static_cast<unsigned char>(bytes[i + 1]) << 8) |
                       static_cast<unsigned char>(bytes[i + 2]);
    for (int shift : {18, 12, 6, 0}) out += kDigits[(v >> shift) & 63];
  }
  if (i < bytes.size()) {
    unsigned v = static_cast<unsigned char>(bytes[i]) << 16;
    if (i + 1 < bytes.size()) v |= static_cast<unsigned char>(bytes[i + 1]) << 8;
    out += kDigits[(v >> 18) & 63];
    out += kDigits[(v >> 12) & 63];
    out += i + 1 < bytes.size() ? kDigits[(v >> 6) & 63] : '=';
    out += '=';
  }
  return out;
}

std::string_view Cut(std::string_view text) { return text.substr(0, text.find('\0')); }

// The judge, one node process for the whole run. libFuzzer's timer signal
// interrupts reads and writes: they are repeated.
struct Oracle {
  int to = -1;
  int from = -1;
  pid_t pid = -1;
  std::string buffered;

  Oracle() {
    int in[2], out[2];
    if (::pipe(in) != 0 || ::pipe(out) != 0) std::abort();
    pid = ::fork();
    if (pid < 0) std::abort();
    if (pid == 0) {
      ::dup2(in[0], 0);
      ::dup2(out[1], 1);
      ::close(in[1]);
      ::close(out[0]);
      const std::string script =
          std::string(PAGETRIX_SOURCE_DIR) + "/tests/browser/entries_oracle.js";
      ::execlp("node", "node", script.c_str(), static_cast<char*>(nullptr));
      std::perror("node");
      std::_Exit(127);
    }
    ::close(in[0]);
    ::close(out[1]);
    to = in[1];
    from = out[0];
  }

  [[noreturn]] void Gone() {
    int status = 0;
    ::waitpid(pid, &status, 0);
    std::fprintf(stderr, "the oracle (node) ended: status %d\n", status);
    std::abort();
  }

  std::string Ask(std::string request) {
    request += '\n';
    for (size_t done = 0; done < request.size();) {
      const ssize_t n = ::write(to, request.data() + done, request.size() - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) Gone();
      done += static_cast<size_t>(n);
    }
    for (;;) {
      const size_t line = buffered.find('\n');
      if (line != std::string::npos) {
        std::string answer = buffered.substr(0, line);
        buffered.erase(0, line + 1);
        return answer;
      }
      char chunk[4096];
      const ssize_t n = ::read(from, chunk, sizeof chunk);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) Gone();
      buffered.append(chunk, static_cast<size_t>(n));
    }
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Oracle oracle;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  // The same values in a tree menu and in a link table.
  std::string values;
  int n = 0;
  for (size_t pos = 0; pos <= input.size() && n < 40; ++n) {
    size_t end = input.find('\n', pos);
    if (end == std::string_view::npos) end = input.size();
    values += std::to_string(n) + "=" + Expand(input.substr(pos, end - pos)) + "\r\n";
    pos = end + 1;
  }
  CIniFile commands;
  commands.LoadFromBytes("[Menu]\r\nTreeMenu=1\r\n" + values + "[Links]\r\n" + values);

  RunLog log{SystemPlatform()};  // off
  CIniFile main_config;
  LinkFilter filter;
  filter.rights_flags = 0x00000001;  // entries with other groups in Rechte are hidden
  RightsReport report;
  CGenHtml generator(SystemPlatform(), log, main_config, filter, report);

  std::string entries;
  std::string key, value;
  LinkEntry entry;
  for (int i = 0; commands.GetEntry("Menu", i, key, value); ++i) {
    if (IsSettingKey(key) || !generator.ProcessLinkEntry(commands, value, entry)) continue;
    const size_t indent = CountIndent(entry.text);
    if (!entries.empty()) entries += ',';
    entries += "{\"text\":\"" + Base64(Cut(entry.text.substr(indent))) + "\",\"link\":\"" +
               Base64(Cut(entry.link)) + "\",\"description\":\"" + Base64(Cut(entry.description)) +
               "\",\"tooltip\":\"" + Base64(Cut(entry.tooltip)) + "\",\"symbol\":\"" +
               Base64(Cut(entry.symbol)) + "\",\"indent\":" + std::to_string(indent) +
               ",\"flags\":" + std::to_string(entry.flags) +
               ",\"has_link\":" + (entry.link.empty() ? "false" : "true") +
               ",\"has_description\":" + (entry.description.empty() ? "false" : "true") +
               ",\"has_symbol\":" + (entry.symbol.empty() ? "false" : "true") + "}";
  }

  std::string menu = "MENU", table = "LINKS";
  generator.WriteTreeMenu(commands, menu, "MENU", 0);
  generator.WriteLinkTable(commands, table, "LINKS", 0);
  const std::string page =
      "<!DOCTYPE html>\r\n<html lang=\"de\">\r\n<head>\r\n<meta charset=\"windows-1252\">\r\n"
      "<title>Fuzz</title>\r\n</head>\r\n<body>\r\n" +
      menu + "\r\n" + table + "\r\n<p id=\"ende\">Ende</p>\r\n</body>\r\n</html>\r\n";
  const std::string answer =
      oracle.Ask("{\"page\":\"" + Base64(page) + "\",\"entries\":[" + entries + "]}");
  if (answer != "ok") {
    std::fprintf(stderr, "%s\n--- page ---\n%s\n", answer.c_str(), page.c_str());
    std::abort();
  }
  return 0;
}
