/// The page generator: from the command file to the written pages and copied files.
#ifndef PAGETRIX_GEN_GEN_HTML_H_
#define PAGETRIX_GEN_GEN_HTML_H_

#include <cstddef>
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

  // Pages.
  /// Writes the frameset page: 0 written, 6 no frameset configured, 7 not writable.
  int WriteFrameSet(const CIniFile& commands, const std::string& path);
  /// Writes one page from its template: 0, 4 (copy of an unchanged template
  /// failed) or 7 (a file failed to open, read or write).
  int FillTemplate(const CIniFile& commands, const std::string& template_file,
                   const std::string& output_file);
  /// Replaces the placeholder of `section` at `pos` of `line` by the section's
  /// link table. `section` is the name as the command file spells it; the
  /// placeholder has its length. Returns 0.
  int WriteLinkTable(const CIniFile& commands, std::string& line, const std::string& section,
                     size_t pos);
  /// The same with the section's tree menu script block. Returns 0.
  int WriteTreeMenu(const CIniFile& commands, std::string& line, const std::string& section,
                    size_t pos);

  // File copying.
  void AddToNegativeList(const std::string& path);
  bool IsOnNegativeList(const std::string& path) const;
  /// Copies the plain files of the template directories beside the pages: 0 or 4.
  int CopyTemplateFiles(const std::vector<std::string>& directories, const std::string& prefix);
  /// Copies the [Kopieren] entries of the main configuration file; the
  /// result (0 or 4) is that of the last entry.
  int CopyListEntries();

 private:
  std::string template_file_;
  std::string template_directory_;
  std::string output_file_;
  std::string output_directory_;
  std::set<std::string> negative_list_;
};

#endif  // PAGETRIX_GEN_GEN_HTML_H_
