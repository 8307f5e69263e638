#include "config/run_log.h"

#include "base/string_printf.h"

void CRunLog::SetPath(const std::string& path) {
  path_ = path;
  enabled_ = !path.empty();
}

void CRunLog::Log(const std::string& text) {
  if (!enabled_) return;
  Platform& platform = GetPlatform();
  if (!file_) {
    // Rewritten by every run and held exclusively, so that a second run at
    // the same time finds it locked and runs without a log.
    file_ = platform.NewWritableFile(path_, /*exclusive=*/true);
    if (!file_) {
      enabled_ = false;
      return;
    }
  }
  // Taken once the file is open, so that the first line shows 0 ms.
  if (!origin_taken_) {
    origin_ = platform.GetTickCount();
    origin_taken_ = true;
  }
  std::int32_t elapsed = static_cast<std::int32_t>(platform.GetTickCount() - origin_);
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

void CRunLog::LogFailure(const std::string& text) {
  failures_.push_back(text);
  Log(text);
}

void CRunLog::Close() {
  if (file_) {
    file_->Close();
    file_.reset();
  }
  // Opening it again would empty it.
  enabled_ = false;
}
