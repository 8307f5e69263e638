// Saved in Windows-1252: the texts below are the report's own, byte for byte.
#include <map>
#include <set>
#include <string>
#include <vector>

#include "base/string_printf.h"
#include "check/check.h"

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

std::string GroupName(size_t group) { return StringPrintf("Lauf %u", static_cast<unsigned>(group + 1)); }

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

std::string RowLabel(const MatrixRow& row) { return row.page + " [" + row.section + "] " + row.text; }

// Matrix cells: a run without a start page shows no link.
bool Shown(const RunGroup& group, size_t row) {
  return group.start_page_made && row < group.shown.size() && group.shown[row] > 0;
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
  for (size_t g = 0; g < report.groups.size(); ++g) header += StringPrintf("%3u ", static_cast<unsigned>(g + 1));
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
  std::string out =
      "<!DOCTYPE html>\r\n<html lang=\"de\">\r\n<head>\r\n"
      "<meta charset=\"windows-1252\">\r\n<title>Pagetrix-Prüfbericht</title>\r\n<style>\r\n"
      "body{font-family:Verdana,Arial,sans-serif;font-size:13px;margin:12px;color:#222}\r\n"
      "h1{font-size:20px}h2{font-size:16px;margin-top:24px}\r\n"
      "table{border-collapse:separate;border-spacing:0}\r\n"
      "th,td{border-right:1px solid #ccc;border-bottom:1px solid #ccc;padding:3px 6px;"
      "vertical-align:top;text-align:left}\r\n"
      "thead th{position:sticky;top:0;background:#e8eef4;z-index:2}\r\n"
      "tbody th{position:sticky;left:0;background:#fff;z-index:1;font-weight:normal;"
      "white-space:nowrap}\r\n"
      "thead th.ecke{left:0;z-index:3}\r\n"
      "td.ja{background:#d9f2d9;text-align:center}td.nein{color:#767676;text-align:center}\r\n"
      ".Fehler{color:#b00000;font-weight:bold}.Warnung{color:#8a5a00;font-weight:bold}\r\n"
      ".keine{color:#b00000;font-weight:bold}.nie{color:#767676}\r\n"
      "</style>\r\n</head>\r\n<body>\r\n<h1>Pagetrix-Prüfbericht</h1>\r\n<p>Hauptkonfiguration: " +
      Escape(report.main_config) + "<br>\r\nKommandodatei: " + Escape(report.command_file) +
      "<br>\r\n" + Escape(Summary(report)) + "</p>\r\n<h2>Was ein Lauf tut</h2>\r\n";
  if (report.groups.empty()) out += "<p class=\"keine\">Kein Lauf erzeugt eine Seite.</p>\r\n";
  if (!report.groups.empty()) out += "<ul>\r\n";
  for (size_t g = 0; g < report.groups.size(); ++g) {
    const RunGroup& group = report.groups[g];
    out += "<li><b>" + GroupName(g) + "</b> <span" +
           (group.start_page_made ? "" : " class=\"keine\"") + ">" + Escape(Verdict(group)) +
           "</span><br>\r\nfür " + Escape(Joined(Members(report, group), "; ")) + "</li>\r\n";
  }
  if (!report.groups.empty()) out += "</ul>\r\n";
  out += "<h2>Fundstellen</h2>\r\n";
  if (report.findings.empty()) out += "<p>Keine.</p>\r\n";
  if (!report.findings.empty()) {
    out +=
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
      out += "<tr><td class=\"" + severity + "\">" + severity + "</td><td>" +
             Escape(Location(finding)) + "</td><td>" + what + "</td><td>" +
             Escape(finding.fix) + "</td></tr>\r\n";
    }
    out += "</tbody>\r\n</table>\r\n";
  }
  out +=
      "<h2>Wer sieht welchen Link</h2>\r\n<p><label for=\"benutzer\">Benutzer: </label>"
      "<select id=\"benutzer\">\r\n<option value=\"*\">alle</option>\r\n";
  std::set<std::string> users;
  for (const MatrixColumn& column : report.columns) {
    if (!users.insert(column.user).second) continue;
    out += "<option value=\"" + Escape(column.user) + "\">" + Escape(UserLabel(column)) +
           "</option>\r\n";
  }
  out +=
      "</select></p>\r\n<table id=\"matrix\">\r\n<thead><tr><th class=\"ecke\">Seite "
      "[Sektion] Linktext</th>";
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
    out += "<th data-users=\"" + Escape(list) + "\" title=\"" +
           Escape(Joined(Members(report, report.groups[g]), "; ")) + "\">" + GroupName(g) +
           "</th>";
  }
  out += "</tr></thead>\r\n<tbody>\r\n";
  for (size_t r = 0; r < report.rows.size(); ++r) {
    const MatrixRow& row = report.rows[r];
    out += "<tr><th>" + Escape(RowLabel(row));
    if (!row.never_shown.empty())
      out += " <span class=\"nie\">(nie gezeigt: " + Escape(row.never_shown) + ")</span>";
    out += "</th>";
    for (size_t g = 0; g < report.groups.size(); ++g) {
      out += "<td data-users=\"" + Escape(group_users[g]) + "\" class=\"" +
             (Shown(report.groups[g], r) ? "ja\">x" : "nein\">-") + "</td>";
    }
    out += "</tr>\r\n";
  }
  out +=
      "</tbody>\r\n</table>\r\n<script>\r\n"
      "document.getElementById('benutzer').onchange = function () {\r\n"
      "  var user = '|' + this.value + '|';\r\n"
      "  var cells = document.querySelectorAll('#matrix [data-users]');\r\n"
      "  for (var i = 0; i < cells.length; i++)\r\n"
      "    cells[i].style.display = this.value === '*' ||"
      " cells[i].getAttribute('data-users').indexOf(user) >= 0 ? '' : 'none';\r\n"
      "};\r\n</script>\r\n</body>\r\n</html>\r\n";
  return out;
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
           ", \"cd\": " + (column.cd ? "true" : "false") + ", \"group\": " +
           std::to_string(column.group) + "}";
  }
  out += "],\r\n\"groups\": [";
  for (size_t g = 0; g < report.groups.size(); ++g) {
    const RunGroup& group = report.groups[g];
    out += std::string(g ? ",\r\n" : "\r\n") + "{\"start_page_made\": " +
           (group.start_page_made ? "true" : "false") + ", \"start_page\": " +
           Json(group.start_page) + ", \"result\": " + std::to_string(group.result) +
           ", \"exit_code\": " + std::to_string(group.exit_code) + ", \"message\": " +
           std::to_string(group.message) + ", \"message_text\": " + Json(group.message_text) +
           ", \"files\": [";
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
    out += std::string(r ? ",\r\n" : "\r\n") + "{\"page\": " + Json(row.page) + ", \"section\": " +
           Json(row.section) + ", \"file\": " + Json(row.command_file) + ", \"line\": " +
           std::to_string(row.line) + ", \"text\": " + Json(row.text) + ", \"link\": " +
           Json(row.link) + ", \"never_shown\": " + Json(row.never_shown) + "}";
  }
  out += "],\r\n\"findings\": [";
  for (size_t f = 0; f < report.findings.size(); ++f) {
    const Finding& finding = report.findings[f];
    out += std::string(f ? ",\r\n" : "\r\n") + "{\"severity\": \"" +
           (finding.severity == Severity::kError ? "error" : "warning") + "\", \"file\": " +
           Json(finding.file) + ", \"line\": " + std::to_string(finding.line) +
           ", \"section\": " + Json(finding.section) + ", \"key\": " + Json(finding.key) +
           ", \"what\": " + Json(finding.what) + ", \"groups\": [";
    for (size_t g = 0; g < finding.groups.size(); ++g)
      out += (g ? ", " : "") + std::to_string(finding.groups[g]);
    out += "]}";
  }
  out += "]\r\n}\r\n";
  return out;
}
