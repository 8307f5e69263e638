// Saved in Windows-1252: the reasons below are the program's own texts.
#include "config/run_log.h"

#include <ctime>

#include "base/file_name.h"
#include "base/string_printf.h"
#include "platform/file_reading.h"
#include "platform/messages.h"

namespace {

const char kInvalidDate[] = "Invalid DateTime";
// Far more than the first line of a run log.
constexpr size_t kHeadBytes = 256;

std::string FormatDate(const std::tm& local) {
  std::string format = LoadMessage(IDS_DATE_FORMAT);
  std::string out(64, '\0');
  size_t n = std::strftime(out.data(), out.size(), format.c_str(), &local);
  if (n == 0 && !format.empty()) return kInvalidDate;
  out.resize(n);
  return out;
}

// A text with every digit as 0: the form of a date line.
std::string DigitsAsZero(std::string_view text) {
  std::string form(text);
  for (char& c : form) {
    if (c >= '0' && c <= '9') c = '0';
  }
  return form;
}

std::string Refused(const std::string& path, const char* why) {
  return StringPrintf("Kein Laufprotokoll: '%s' %s", path.c_str(), why);
}

}  // namespace

std::string RunLogDateLine(MachineFacts& machine) {
  const WallClock now = machine.GetWallClock();
  if (!now.local_valid) return kInvalidDate;
  return FormatDate(now.local);
}

bool IsRunLogStart(std::string_view head) {
  const size_t end = head.find("\r\n");
  if (end == std::string_view::npos) return false;
  std::string_view line = head.substr(0, end);
  // "(N ms) ": the first line's elapsed time, 0 as a rule.
  size_t i = 1;
  if (line.empty() || line[0] != '(') return false;
  if (i < line.size() && line[i] == '-') ++i;
  const size_t digits = i;
  while (i < line.size() && line[i] >= '0' && line[i] <= '9') ++i;
  if (i == digits || line.substr(i, 5) != " ms) ") return false;
  const std::string_view date = line.substr(i + 5);
  if (date == kInvalidDate) return true;
  std::tm sample{};
  sample.tm_year = 100;
  sample.tm_mday = 1;
  return !date.empty() && DigitsAsZero(date) == DigitsAsZero(FormatDate(sample));
}

std::string RunLogRefusal(FileSystem& files, const std::string& path) {
  if (path.empty()) return std::string();
  // Never opened: under Windows a device name is a device in every folder.
  if (IsDeviceName(path)) return Refused(path, "ist ein Gerätename.");
  switch (files.Inspect(path, Links::kFollow).kind) {
    case PathKind::kMissing:
      return std::string();
    case PathKind::kFolder:
      return Refused(path, "ist ein Ordner.");
    case PathKind::kFile:
      break;
    default:
      return Refused(path, "ist keine gewöhnliche Datei.");
  }
  std::string head;
  if (!ReadFileHead(files, path, kHeadBytes, &head))
    return Refused(path, "ist von einem anderen Programm geöffnet oder nicht lesbar.");
  if (!IsRunLogStart(head))
    return Refused(path, "ist kein Laufprotokoll von Pagetrix und wird nicht überschrieben.");
  return std::string();
}

void RunLog::SetPath(const std::string& path) {
  path_ = path;
  enabled_ = !path.empty();
  refusal_.clear();
}

void RunLog::Log(const std::string& text) {
  if (!enabled_) return;
  if (!file_) {
    refusal_ = RunLogRefusal(platform_, path_);
    // Rewritten by every run and held exclusively, so that a second run at
    // the same time finds it locked and runs without a log.
    if (refusal_.empty()) file_ = platform_.NewWritableFile(path_, /*exclusive=*/true);
    if (!file_) {
      enabled_ = false;
      return;
    }
  }
  // Taken once the file is open, so that the first line shows 0 ms.
  if (!origin_taken_) {
    origin_ = platform_.GetTickCount();
    origin_taken_ = true;
  }
  std::int32_t elapsed = static_cast<std::int32_t>(platform_.GetTickCount() - origin_);
  std::string line = StringPrintf("(%d ms) ", static_cast<int>(elapsed));
  line.reserve(line.size() + text.size() + 2);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    if (text[i] == '\n') {
      line += "\r\n";
    } else {
      line.push_back(text[i]);
    }
  }
  line += "\r\n";
  file_->Append(line);
}

void RunLog::LogFailure(const std::string& text) {
  failures_.push_back(text);
  Log(text);
}

void RunLog::Close() {
  if (file_) {
    file_->Close();
    file_.reset();
  }
  // Opening it again would empty it.
  enabled_ = false;
}
