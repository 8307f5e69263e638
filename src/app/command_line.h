/// The command-line record and its parsing.
#ifndef PAGETRIX_APP_COMMAND_LINE_H_
#define PAGETRIX_APP_COMMAND_LINE_H_

#include <string>

#include "gen/run_setup.h"
#include "platform/window_system.h"

class FileSystem;

class CMyCommandLineInfo {
 public:
  /// `files` resolves the files INI= and ENV= name; `windows` shows the
  /// help window.
  CMyCommandLineInfo(FileSystem& files, WindowSystem& windows) : files_(files), windows_(windows) {}
  virtual ~CMyCommandLineInfo() = default;

  /// Parses the arguments of a command line (the text after the program name).
  void ParseCommandLine(const std::string& command_line);
  /// Handles one argument after the prefix step.
  virtual void ParseArgument(const std::string& argument, bool prefixed);
  /// Shows the help window modally, then sets the help-shown flag.
  virtual void ShowHelp();

  /// The main configuration file path: set by the run before parsing,
  /// replaced by INI=.
  std::string profile_path;
  std::string command_file;
  bool help_shown = false;
  std::string user;
  std::string server;
  std::string environment_file;
  /// PRUEFEN: check the configuration instead of generating pages.
  bool check_mode = false;
  /// CD: the start drive counts as a CD-ROM drive (for testing).
  bool as_cd = false;

 private:
  FileSystem& files_;
  WindowSystem& windows_;
};

/// Who runs the program and from where, as the command line says.
RunIdentity RunIdentityOf(const CMyCommandLineInfo& command_line);

#endif  // PAGETRIX_APP_COMMAND_LINE_H_
