/// Where a step writes its lines for the run log.
#ifndef PAGETRIX_BASE_LOG_SINK_H_
#define PAGETRIX_BASE_LOG_SINK_H_

#include <string>

/// The run log is one; code below it takes a sink so that it needs no
/// knowledge of the log's file, clock or switch.
class LogSink {
 public:
  virtual ~LogSink() = default;
  /// Records one line (or nothing, when the log is off).
  virtual void Log(const std::string& text) = 0;
  /// Records a line that says something went wrong; a sink that keeps these
  /// apart can show them all when the run fails.
  virtual void LogFailure(const std::string& text) { Log(text); }
};

#endif  // PAGETRIX_BASE_LOG_SINK_H_
