// Saved in Windows-1252: the texts below are the report's own, byte for byte.
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "base/string_printf.h"
#include "check/check.h"

// The page's fixed HTML, style and script: check_report.htm, embedded at build
// time (see CMakeLists.txt) with its own bytes.
#include "check/check_report_page.inc"

namespace {

std::string Location(const Finding& finding) {
  std::string text = finding.file;
  if (finding.line != 0) text += StringPrintf(", Zeile %u", static_cast<unsigned>(finding.line));
  if (!finding.section.empty()) text += ", [" + finding.section + "]";
  if (!finding.key.empty()) text += ", Schlüssel \"" + finding.key + "\"";
  return text;
}

const char* SeverityName(Severity severity) {
  return severity == Severity::kError ? "Fehler" : "Warnung";
}

std::string Summary(const CheckReport& report) {
  return StringPrintf("Ergebnis: %u Fehler, %u Warnungen (Rückgabewert %d)",
                      static_cast<unsigned>(report.Count(Severity::kError)),
                      static_cast<unsigned>(report.Count(Severity::kWarning)), report.ExitCode());
}

std::string GroupName(size_t group) {
  return StringPrintf("Lauf %u", static_cast<unsigned>(group + 1));
}

std::string Joined(const std::vector<std::string>& parts, const char* separator = ", ") {
  std::string text;
  for (const std::string& part : parts) {
    if (!text.empty()) text += separator;
    text += part;
  }
  return text;
}

std::string UserLabel(const MatrixColumn& column) {
  return column.user_listed || column.user == kUnlistedUserName
             ? column.user
             : column.user + " (nicht eingetragen)";
}

std::string ServerLabel(const MatrixColumn& column) {
  return column.server_listed ? column.server : column.server + " (nicht eingetragen)";
}

// What a run of the group does, in one line.
std::string Verdict(const RunGroup& group) {
  if (group.start_page_made) {
    // Named within the output folder: the folder's name differs from run to run.
    const size_t separator = group.start_page.find_last_of("/\\");
    const std::string name =
        separator == std::string::npos ? group.start_page : group.start_page.substr(separator + 1);
    return StringPrintf("erzeugt die Startseite %s im Ausgabeordner (Rückgabewert %d)",
                        name.empty() ? "(den Ordner selbst)" : name.c_str(), group.exit_code);
  }
  std::string text = StringPrintf("erzeugt KEINE Startseite (Ergebnis %d, Rückgabewert %d)",
                                  group.result, group.exit_code);
  if (!group.message_text.empty()) {
    std::string message;
    for (char c : group.message_text) message += c == '\n' ? ' ' : c;
    while (!message.empty() && message.back() == ' ') message.pop_back();
    text += StringPrintf(": Meldung %d \"", group.message) + message + "\"";
  }
  return text;
}

// Who runs the group's way: users with the same servers and drives together.
std::vector<std::string> Members(const CheckReport& report, const RunGroup& group) {
  std::vector<std::string> places_of_all;
  std::map<std::string, std::vector<std::string>> places_by_user;
  std::vector<std::string> users;
  for (const MatrixColumn& column : report.columns) {
    const std::string place = ServerLabel(column) + (column.cd ? " von CD" : "");
    bool known = false;
    for (const std::string& p : places_of_all) known = known || p == place;
    if (!known) places_of_all.push_back(place);
  }
  for (size_t c : group.columns) {
    const MatrixColumn& column = report.columns[c];
    const std::string user = UserLabel(column);
    if (places_by_user.find(user) == places_by_user.end()) users.push_back(user);
    places_by_user[user].push_back(ServerLabel(column) + (column.cd ? " von CD" : ""));
  }
  // Users whose places are alike stand on one line.
  std::vector<std::pair<std::vector<std::string>, std::vector<std::string>>> lines;
  for (const std::string& user : users) {
    const std::vector<std::string>& places = places_by_user[user];
    bool joined = false;
    for (auto& line : lines) {
      if (line.second == places) {
        line.first.push_back(user);
        joined = true;
        break;
      }
    }
    if (!joined) lines.push_back({{user}, places});
  }
  std::vector<std::string> text;
  for (const auto& [line_users, places] : lines) {
    text.push_back("Benutzer " + Joined(line_users) + " auf " +
                   (places == places_of_all ? std::string("jedem Server, von Festplatte und CD")
                                            : "Server " + Joined(places)));
  }
  return text;
}

std::string Escape(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string Json(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    const unsigned char byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20 || byte >= 0x7F) {
      out += StringPrintf("\\u%04x", byte);
    } else {
      out += c;
    }
  }
  return out + "\"";
}

std::string RowLabel(const MatrixRow& row) {
  return row.page + " [" + row.section + "] " + row.text;
}

// Matrix cells: a run without a start page shows no link.
bool Shown(const RunGroup& group, size_t row) {
  return group.start_page_made && row < group.shown.size() && group.shown[row] > 0;
}

// Replaces each {{name}} of the page by its text; the texts themselves are
// not searched again, so a user's "{{" stays as written.
std::string FillSlots(std::string_view page, const std::map<std::string_view, std::string>& texts) {
  std::string out;
  size_t done = 0;
  for (size_t open = page.find("{{"); open != std::string_view::npos;
       open = page.find("{{", done)) {
    const size_t close = page.find("}}", open);
    if (close == std::string_view::npos) break;
    out += page.substr(done, open - done);
    const auto text = texts.find(page.substr(open + 2, close - open - 2));
    if (text != texts.end()) out += text->second;
    done = close + 2;
  }
  out += page.substr(done);
  return out;
}

}  // namespace

std::string FormatTextReport(const CheckReport& report) {
  std::string out = "Pagetrix-Prüfbericht\r\n";
  out += "Hauptkonfiguration: " + report.main_config + "\r\n";
  out += "Kommandodatei: " + report.command_file + "\r\n";
  out += Summary(report) + "\r\n\r\n";
  out += "Was ein Lauf tut\r\n----------------\r\n";
  if (report.groups.empty()) out += "Kein Lauf erzeugt eine Seite.\r\n";
  for (size_t g = 0; g < report.groups.size(); ++g) {
    const RunGroup& group = report.groups[g];
    out += GroupName(g) + " " + Verdict(group) + "\r\n";
    for (const std::string& line : Members(report, group)) out += "    für " + line + "\r\n";
  }
  out += "\r\nFundstellen\r\n-----------\r\n";
  if (report.findings.empty()) out += "Keine.\r\n";
  for (const Finding& finding : report.findings) {
    out += std::string(SeverityName(finding.severity)) + ": " + Location(finding) + "\r\n";
    out += "    " + finding.what + "\r\n";
    out += "    Abhilfe: " + finding.fix + "\r\n";
    if (!finding.groups.empty()) {
      std::vector<std::string> names;
      for (size_t g : finding.groups) names.push_back(GroupName(g));
      out += "    Betrifft: " + Joined(names) + "\r\n";
    }
  }
  out += "\r\nWer sieht welchen Link (x = gezeigt, - = verborgen)\r\n";
  out += "---------------------------------------------------\r\n";
  std::string header;
  for (size_t g = 0; g < report.groups.size(); ++g)
    header += StringPrintf("%3u ", static_cast<unsigned>(g + 1));
  out += header + " Seite [Sektion] Linktext\r\n";
  for (size_t r = 0; r < report.rows.size(); ++r) {
    const MatrixRow& row = report.rows[r];
    std::string line;
    for (const RunGroup& group : report.groups) line += Shown(group, r) ? "  x " : "  - ";
    line += " " + RowLabel(row);
    if (!row.never_shown.empty()) line += " (nie gezeigt: " + row.never_shown + ")";
    out += line + "\r\n";
  }
  return out;
}

std::string FormatHtmlReport(const CheckReport& report) {
  std::string runs;
  if (report.groups.empty()) runs = "<p class=\"keine\">Kein Lauf erzeugt eine Seite.</p>\r\n";
  if (!report.groups.empty()) runs += "<ul>\r\n";
  for (size_t g = 0; g < report.groups.size(); ++g) {
    const RunGroup& group = report.groups[g];
    runs += "<li><b>" + GroupName(g) + "</b> <span" +
            (group.start_page_made ? "" : " class=\"keine\"") + ">" + Escape(Verdict(group)) +
            "</span><br>\r\nfür " + Escape(Joined(Members(report, group), "; ")) + "</li>\r\n";
  }
  if (!report.groups.empty()) runs += "</ul>\r\n";
  std::string findings;
  if (report.findings.empty()) findings = "<p>Keine.</p>\r\n";
  if (!report.findings.empty()) {
    findings =
        "<table>\r\n<thead><tr><th>Art</th><th>Fundstelle</th><th>Was ein Lauf tut</th>"
        "<th>Abhilfe</th></tr></thead>\r\n<tbody>\r\n";
    for (const Finding& finding : report.findings) {
      std::string severity = SeverityName(finding.severity);
      std::string what = Escape(finding.what);
      if (!finding.groups.empty()) {
        std::vector<std::string> names;
        for (size_t g : finding.groups) names.push_back(GroupName(g));
        what += "<br>Betrifft: " + Escape(Joined(names));
      }
      findings += "<tr><td class=\"" + severity + "\">" + severity + "</td><td>" +
                  Escape(Location(finding)) + "</td><td>" + what + "</td><td>" +
                  Escape(finding.fix) + "</td></tr>\r\n";
    }
    findings += "</tbody>\r\n</table>\r\n";
  }
  std::string user_options;
  std::set<std::string> users;
  for (const MatrixColumn& column : report.columns) {
    if (!users.insert(column.user).second) continue;
    user_options += "<option value=\"" + Escape(column.user) + "\">" + Escape(UserLabel(column)) +
                    "</option>\r\n";
  }
  std::string group_heads;
  std::vector<std::string> group_users(report.groups.size());
  for (size_t g = 0; g < report.groups.size(); ++g) {
    // Each user once: a group holds a user's run on every server and drive,
    // and this list is repeated in every cell of the group's column.
    std::string list = "|";
    std::set<std::string> listed;
    for (size_t c : report.groups[g].columns) {
      if (listed.insert(report.columns[c].user).second) list += report.columns[c].user + "|";
    }
    group_users[g] = list;
    group_heads += "<th data-users=\"" + Escape(list) + "\" title=\"" +
                   Escape(Joined(Members(report, report.groups[g]), "; ")) + "\">" + GroupName(g) +
                   "</th>";
  }
  std::string matrix_rows;
  for (size_t r = 0; r < report.rows.size(); ++r) {
    const MatrixRow& row = report.rows[r];
    matrix_rows += "<tr><th>" + Escape(RowLabel(row));
    if (!row.never_shown.empty())
      matrix_rows += " <span class=\"nie\">(nie gezeigt: " + Escape(row.never_shown) + ")</span>";
    matrix_rows += "</th>";
    for (size_t g = 0; g < report.groups.size(); ++g) {
      matrix_rows += "<td data-users=\"" + Escape(group_users[g]) + "\" class=\"" +
                     (Shown(report.groups[g], r) ? "ja\">x" : "nein\">-") + "</td>";
    }
    matrix_rows += "</tr>\r\n";
  }
  return FillSlots(std::string_view(kCheckReportPage, kCheckReportPageSize),
                   {{"main_config", Escape(report.main_config)},
                    {"command_file", Escape(report.command_file)},
                    {"summary", Escape(Summary(report))},
                    {"runs", runs},
                    {"findings", findings},
                    {"user_options", user_options},
                    {"group_heads", group_heads},
                    {"matrix_rows", matrix_rows}});
}

std::string FormatJsonReport(const CheckReport& report) {
  std::string out = "{\r\n\"exit_code\": " + std::to_string(report.ExitCode()) + ",\r\n";
  out += "\"main_config\": " + Json(report.main_config) + ",\r\n";
  out += "\"command_file\": " + Json(report.command_file) + ",\r\n\"columns\": [";
  for (size_t c = 0; c < report.columns.size(); ++c) {
    const MatrixColumn& column = report.columns[c];
    out += std::string(c ? ",\r\n" : "\r\n") + "{\"user\": " + Json(column.user) +
           ", \"user_listed\": " + (column.user_listed ? "true" : "false") +
           ", \"server\": " + Json(column.server) +
           ", \"server_listed\": " + (column.server_listed ? "true" : "false") +
           ", \"cd\": " + (column.cd ? "true" : "false") +
           ", \"group\": " + std::to_string(column.group) + "}";
  }
  out += "],\r\n\"groups\": [";
  for (size_t g = 0; g < report.groups.size(); ++g) {
    const RunGroup& group = report.groups[g];
    out += std::string(g ? ",\r\n" : "\r\n") +
           "{\"start_page_made\": " + (group.start_page_made ? "true" : "false") +
           ", \"start_page\": " + Json(group.start_page) +
           ", \"result\": " + std::to_string(group.result) +
           ", \"exit_code\": " + std::to_string(group.exit_code) +
           ", \"message\": " + std::to_string(group.message) +
           ", \"message_text\": " + Json(group.message_text) + ", \"files\": [";
    for (size_t f = 0; f < group.files.size(); ++f) out += (f ? ", " : "") + Json(group.files[f]);
    out += "], \"shown\": {";
    bool first = true;
    for (size_t r = 0; r < group.shown.size(); ++r) {
      if (group.shown[r] == 0) continue;
      out += (first ? "" : ", ") + StringPrintf("\"%u\": %u", static_cast<unsigned>(r),
                                                static_cast<unsigned>(group.shown[r]));
      first = false;
    }
    out += "}}";
  }
  out += "],\r\n\"rows\": [";
  for (size_t r = 0; r < report.rows.size(); ++r) {
    const MatrixRow& row = report.rows[r];
    out += std::string(r ? ",\r\n" : "\r\n") + "{\"page\": " + Json(row.page) +
           ", \"section\": " + Json(row.section) + ", \"file\": " + Json(row.command_file) +
           ", \"line\": " + std::to_string(row.line) + ", \"text\": " + Json(row.text) +
           ", \"link\": " + Json(row.link) + ", \"never_shown\": " + Json(row.never_shown) + "}";
  }
  out += "],\r\n\"findings\": [";
  for (size_t f = 0; f < report.findings.size(); ++f) {
    const Finding& finding = report.findings[f];
    out += std::string(f ? ",\r\n" : "\r\n") + "{\"severity\": \"" +
           (finding.severity == Severity::kError ? "error" : "warning") +
           "\", \"file\": " + Json(finding.file) + ", \"line\": " + std::to_string(finding.line) +
           ", \"section\": " + Json(finding.section) + ", \"key\": " + Json(finding.key) +
           ", \"what\": " + Json(finding.what) + ", \"groups\": [";
    for (size_t g = 0; g < finding.groups.size(); ++g)
      out += (g ? ", " : "") + std::to_string(finding.groups[g]);
    out += "]}";
  }
  out += "]\r\n}\r\n";
  return out;
}
