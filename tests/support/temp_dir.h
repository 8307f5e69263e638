/// A fresh real folder for one test, removed with everything in it afterwards.
#ifndef PAGETRIX_TESTS_SUPPORT_TEMP_DIR_H_
#define PAGETRIX_TESTS_SUPPORT_TEMP_DIR_H_

#include <string>

class TempDir {
 public:
  /// Creates <temp path>pagetrix-test-<random> (empty path() on failure).
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  /// The folder, without a trailing separator.
  const std::string& path() const { return path_; }
  /// The folder joined with `name`; '/' in `name` becomes kPathSeparator.
  std::string Path(const std::string& name) const;
  /// Writes `bytes` to Path(name), creating or truncating it.
  bool Write(const std::string& name, const std::string& bytes) const;
  /// The bytes of Path(name); empty if it cannot be read.
  std::string Read(const std::string& name) const;
  /// Creates the folder Path(name) and its missing parents below path().
  bool MakeDir(const std::string& name) const;

 private:
  std::string path_;
};

/// Deletes a folder and everything in it (read-only files too).
void RemoveTree(const std::string& dir);

#endif  // PAGETRIX_TESTS_SUPPORT_TEMP_DIR_H_
