/// This run's output folder: its path, published as PagetrixAusgabePath, and
/// its creation with the lock the run holds there while it works.
#ifndef PAGETRIX_GEN_OUTPUT_FOLDER_H_
#define PAGETRIX_GEN_OUTPUT_FOLDER_H_

#include <memory>
#include <string>

class FolderLock;

class OutputFolder {
 public:
  OutputFolder();
  ~OutputFolder();
  OutputFolder(const OutputFolder&) = delete;
  OutputFolder& operator=(const OutputFolder&) = delete;

  /// Chooses a new folder below the user's temporary folder (the first
  /// time only) and publishes it as PagetrixAusgabePath; nothing is created.
  void Init();
  /// The chosen folder without a trailing separator; empty before Init or
  /// when no temporary folder or GUID was to be had.
  const std::string& path() const { return path_; }
  /// The folder every run's output folder is made in, with its separator.
  static std::string BaseDirectory();
  /// Creates the folder with its parents and takes its lock; `prefix` is
  /// the path and a separator. False when it cannot be created or when the
  /// base belongs to another user.
  bool Create(std::string& prefix);
  /// Lets deleting runs have the folder again.
  void ReleaseLock();

 private:
  std::string path_;
  bool chosen_ = false;
  std::unique_ptr<FolderLock> lock_;
};

#endif  // PAGETRIX_GEN_OUTPUT_FOLDER_H_
