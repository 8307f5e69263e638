/// The page generator: from the command file to the written pages and copied files.
#ifndef PAGETRIX_GEN_GEN_HTML_H_
#define PAGETRIX_GEN_GEN_HTML_H_

#include <set>
#include <string>
#include <vector>

class CIniFile;

class CGenHtml {
 public:
  CGenHtml() = default;
  virtual ~CGenHtml() = default;

  // Output directory.
  void InitOutputDirectory();
  void GetOutputBaseDirectory(std::string& path) const;
  void DeleteOldOutputDirectories();
  int CreateOutputDirectory(std::string& prefix);
  void DeleteDirectoryTree(const std::string& path);
  const std::string& OutputDirectoryPath() const { return output_directory_; }

  /// Generates every page of the run; fills the start page path.
  int Generate(const std::string& command_file, std::string& start_page);

 private:
  std::string template_file_;
  std::string template_directory_;
  std::string output_file_;
  std::string output_directory_;
  std::set<std::string> negative_list_;
};

#endif  // PAGETRIX_GEN_GEN_HTML_H_
