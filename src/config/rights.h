/// The rights report: every link entry carrying rights, for checking a configuration.
#ifndef PAGETRIX_CONFIG_RIGHTS_H_
#define PAGETRIX_CONFIG_RIGHTS_H_

#include <string>
#include <vector>

class RunLog;

class RightsReport {
 public:
  void AddRow(const std::string& rights, const std::string& entry, const std::string& command_file);
  /// Writes the report in its fixed layout to the run log.
  void Write(RunLog& log) const;

 private:
  std::vector<std::string> rights_;
  std::vector<std::string> entries_;
  std::vector<std::string> files_;
};

#endif  // PAGETRIX_CONFIG_RIGHTS_H_
