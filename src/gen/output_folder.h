/// This run's output folder: its path, published as PagetrixAusgabePath, and
/// its creation with the lock the run holds there while it works.
#ifndef PAGETRIX_GEN_OUTPUT_FOLDER_H_
#define PAGETRIX_GEN_OUTPUT_FOLDER_H_

#include <memory>
#include <string>

class FolderLock;
class Platform;

class OutputFolder {
 public:
  /// A folder on `platform`, to be chosen by Init.
  explicit OutputFolder(Platform& platform);
  /// A folder on `platform` at `chosen`, already chosen and published (a
  /// check's walk makes the run's folder on its dry-run layer).
  OutputFolder(Platform& platform, std::string chosen);
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
  std::string BaseDirectory() const;
  /// Creates the folder with its parents and takes its lock; `prefix` is
  /// the path and a separator. False when it cannot be created or when the
  /// base belongs to another user.
  bool Create(std::string& prefix);
  /// Lets deleting runs have the folder again.
  void ReleaseLock();

 private:
  Platform& platform_;
  std::string path_;
  bool chosen_ = false;
  std::unique_ptr<FolderLock> lock_;
};

#endif  // PAGETRIX_GEN_OUTPUT_FOLDER_H_
