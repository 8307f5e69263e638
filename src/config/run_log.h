/// The optional run log: one line per event, stamped with elapsed milliseconds.
#ifndef PAGETRIX_CONFIG_RUN_LOG_H_
#define PAGETRIX_CONFIG_RUN_LOG_H_

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/log_sink.h"
#include "platform/platform.h"

/// Why the run log must not be written at `path`, as a German sentence the
/// error window and the check show; empty when it may be. The log replaces
/// only what is a run log already (its first line has the form every run
/// log begins with) or nothing at all: any other file may be something the
/// run reads or copies, however its path is spelled or reached. A device
/// name (on either system), a folder, a pipe or device, and a file that
/// cannot be read are refused as well. Nothing is written or created; an
/// existing file is read at its start.
std::string RunLogRefusal(FileSystem& files, const std::string& path);

/// Whether `head`, the start of a file, begins with a line of the form every
/// run log begins with: the elapsed milliseconds and the date line, ended by
/// CR LF.
bool IsRunLogStart(std::string_view head);

/// The first line of a run log: the local date and time as message 210
/// formats it, or "Invalid DateTime".
std::string RunLogDateLine(MachineFacts& machine);

class RunLog : public LogSink {
 public:
  /// A log that writes its file and reads its clock on `platform`.
  explicit RunLog(Platform& platform) : platform_(platform) {}
  ~RunLog() override = default;

  /// Sets the log path; the log is on exactly when it is not empty.
  void SetPath(const std::string& path);
  bool IsEnabled() const { return enabled_; }
  /// Writes "(%d ms) %s" and CR LF; line breaks inside become CR LF. The
  /// first line opens the file, unless RunLogRefusal refuses its path: then
  /// the log turns itself off.
  void Log(const std::string& text) override;
  /// Logs the text and keeps it in the run's list of failures.
  void LogFailure(const std::string& text) override;
  /// Flushes and closes the file, for good: later lines are not written,
  /// so a reader may open the file while the process still runs.
  void Close();
  /// Every failure text of the run in order, kept also while the log is
  /// off: a run that fails shows them.
  const std::vector<std::string>& Failures() const { return failures_; }
  /// Why the log turned itself off before opening its file; else empty.
  const std::string& Refusal() const { return refusal_; }

 private:
  Platform& platform_;
  std::string path_;
  bool enabled_ = false;
  bool origin_taken_ = false;
  std::uint32_t origin_ = 0;
  std::unique_ptr<WritableFile> file_;
  std::vector<std::string> failures_;
  std::string refusal_;
};

#endif  // PAGETRIX_CONFIG_RUN_LOG_H_
