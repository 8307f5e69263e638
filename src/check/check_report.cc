// Saved in Windows-1252: the texts below are the report's own, byte for byte.
#include <string>

#include "base/string_printf.h"
#include "check/check.h"

namespace {

const char kNotListedUser[] = "(nicht eingetragen)";
const char kNoServer[] = "(keiner)";

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

std::string UserName(const MatrixColumn& column) {
  return column.user.empty() ? kNotListedUser : column.user;
}

std::string ColumnName(const MatrixColumn& column) {
  return StringPrintf("Benutzer %s (%08X), Server %s (%08X), %s", UserName(column).c_str(),
                      column.rights_flags,
                      column.server.empty() ? kNoServer : column.server.c_str(),
                      column.server_flags, column.cd ? "CD" : "Festplatte");
}

std::string Summary(const CheckReport& report) {
  return StringPrintf("Ergebnis: %u Fehler, %u Warnungen (Rückgabewert %d)",
                      static_cast<unsigned>(report.Count(Severity::kError)),
                      static_cast<unsigned>(report.Count(Severity::kWarning)), report.ExitCode());
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

}  // namespace

std::string FormatTextReport(const CheckReport& report) {
  std::string out = "Pagetrix-Prüfbericht\r\n";
  out += "Hauptkonfiguration: " + report.main_config + "\r\n";
  out += "Kommandodatei: " + report.command_file + "\r\n";
  out += Summary(report) + "\r\n\r\n";
  out += "Fundstellen\r\n-----------\r\n";
  if (report.findings.empty()) out += "Keine.\r\n";
  for (const Finding& finding : report.findings) {
    out += std::string(SeverityName(finding.severity)) + ": " + Location(finding) + "\r\n";
    out += "    " + finding.what + "\r\n";
    out += "    Abhilfe: " + finding.fix + "\r\n";
  }
  out += "\r\nWer sieht welchen Link (x = gezeigt, - = verborgen)\r\n";
  out += "---------------------------------------------------\r\n";
  std::string numbers;
  for (size_t c = 0; c < report.columns.size(); ++c) {
    std::string number = std::to_string(c + 1);
    out += StringPrintf("%3s  ", number.c_str()) + ColumnName(report.columns[c]) + "\r\n";
    numbers += number + " ";
  }
  out += "\r\n" + numbers + " Seite [Sektion] Linktext\r\n";
  for (const MatrixRow& row : report.rows) {
    std::string line;
    for (size_t c = 0; c < report.columns.size(); ++c) {
      line += row.shown[c] ? "x" : "-";
      line += std::string(std::to_string(c + 1).size(), ' ');
    }
    line += " " + row.page + " [" + row.section + "] " + row.text;
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
      "td.ja{background:#d9f2d9;text-align:center}td.nein{color:#999;text-align:center}\r\n"
      ".Fehler{color:#b00000;font-weight:bold}.Warnung{color:#8a5a00;font-weight:bold}\r\n"
      ".nie{color:#999}\r\n"
      "</style>\r\n</head>\r\n<body>\r\n<h1>Pagetrix-Prüfbericht</h1>\r\n<p>Hauptkonfiguration: " +
      Escape(report.main_config) + "<br>\r\nKommandodatei: " + Escape(report.command_file) +
      "<br>\r\n" + Escape(Summary(report)) + "</p>\r\n<h2>Fundstellen</h2>\r\n";
  if (report.findings.empty()) out += "<p>Keine.</p>\r\n";
  if (!report.findings.empty()) {
    out +=
        "<table>\r\n<thead><tr><th>Art</th><th>Fundstelle</th><th>Was ein Lauf tut</th>"
        "<th>Abhilfe</th></tr></thead>\r\n<tbody>\r\n";
    for (const Finding& finding : report.findings) {
      std::string severity = SeverityName(finding.severity);
      out += "<tr><td class=\"" + severity + "\">" + severity + "</td><td>" +
             Escape(Location(finding)) + "</td><td>" + Escape(finding.what) + "</td><td>" +
             Escape(finding.fix) + "</td></tr>\r\n";
    }
    out += "</tbody>\r\n</table>\r\n";
  }
  out +=
      "<h2>Wer sieht welchen Link</h2>\r\n<p><label for=\"benutzer\">Benutzer: </label>"
      "<select id=\"benutzer\">\r\n<option value=\"*\">alle</option>\r\n";
  std::string last_user = "\x01";
  for (const MatrixColumn& column : report.columns) {
    if (column.user == last_user) continue;
    last_user = column.user;
    out += "<option value=\"" + Escape(column.user) + "\">" + Escape(UserName(column)) +
           "</option>\r\n";
  }
  out +=
      "</select></p>\r\n<table id=\"matrix\">\r\n<thead><tr><th class=\"ecke\">Seite "
      "[Sektion] Linktext</th>";
  for (const MatrixColumn& column : report.columns) {
    out += "<th data-user=\"" + Escape(column.user) + "\" title=\"" + Escape(ColumnName(column)) +
           "\">" + Escape(UserName(column)) + "<br>" +
           Escape(column.server.empty() ? kNoServer : column.server) + "<br>" +
           (column.cd ? "CD" : "Festplatte") + "</th>";
  }
  out += "</tr></thead>\r\n<tbody>\r\n";
  for (const MatrixRow& row : report.rows) {
    out += "<tr><th>" + Escape(row.page + " [" + row.section + "] " + row.text);
    if (!row.never_shown.empty())
      out += " <span class=\"nie\">(nie gezeigt: " + Escape(row.never_shown) + ")</span>";
    out += "</th>";
    for (size_t c = 0; c < report.columns.size(); ++c) {
      out += "<td data-user=\"" + Escape(report.columns[c].user) + "\" class=\"" +
             (row.shown[c] ? "ja\">x" : "nein\">-") + "</td>";
    }
    out += "</tr>\r\n";
  }
  out +=
      "</tbody>\r\n</table>\r\n<script>\r\n"
      "document.getElementById('benutzer').onchange = function () {\r\n"
      "  var user = this.value;\r\n"
      "  var cells = document.querySelectorAll('#matrix [data-user]');\r\n"
      "  for (var i = 0; i < cells.length; i++)\r\n"
      "    cells[i].style.display = user === '*' || cells[i].getAttribute('data-user') === user"
      " ? '' : 'none';\r\n"
      "};\r\n</script>\r\n</body>\r\n</html>\r\n";
  return out;
}
