/// The optional run log: one line per event, stamped with elapsed milliseconds.
#ifndef PAGETRIX_CONFIG_RUN_LOG_H_
#define PAGETRIX_CONFIG_RUN_LOG_H_

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/log_sink.h"
#include "platform/platform.h"

class CRunLog : public LogSink {
 public:
  CRunLog() = default;
  ~CRunLog() override = default;

  /// Sets the log path; the log is on exactly when it is not empty.
  void SetPath(const std::string& path);
  bool IsEnabled() const { return enabled_; }
  /// Writes "(%d ms) %s" and CR LF; line breaks inside become CR LF.
  void Log(const std::string& text) override;
  /// Logs the text and keeps it in the run's list of failures.
  void LogFailure(const std::string& text) override;
  /// Flushes and closes the file, for good: later lines are not written,
  /// so a reader may open the file while the process still runs.
  void Close();
  /// Every failure text of the run in order, kept also while the log is
  /// off: a run that fails shows them.
  const std::vector<std::string>& Failures() const { return failures_; }

 private:
  std::string path_;
  bool enabled_ = false;
  bool origin_taken_ = false;
  std::uint32_t origin_ = 0;
  std::unique_ptr<WritableFile> file_;
  std::vector<std::string> failures_;
};

#endif  // PAGETRIX_CONFIG_RUN_LOG_H_
