#include "support/temp_dir.h"

#include <random>
#include <vector>

#include "platform/file_reading.h"
#include "platform/platform.h"

TempDir::TempDir() {
  std::string base = SystemPlatform().GetTempFolder();
  if (!base.empty() && base.back() != '\\' && base.back() != '/') base.push_back(kPathSeparator);
  std::random_device device;
  static const char kHex[] = "0123456789abcdef";
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = "pagetrix-test-";
    std::uint32_t bits = device();
    for (int i = 0; i < 8; ++i, bits >>= 4) name.push_back(kHex[bits & 0xF]);
    if (SystemPlatform().CreateFolder(base + name)) {
      path_ = base + name;
      return;
    }
  }
}

TempDir::~TempDir() {
  if (!path_.empty()) RemoveTree(path_);
}

std::string TempDir::Path(const std::string& name) const {
  std::string joined = path_;
  joined.push_back(kPathSeparator);
  for (char c : name) joined.push_back(c == '/' ? kPathSeparator : c);
  return joined;
}

bool TempDir::Write(const std::string& name, const std::string& bytes) const {
  std::unique_ptr<WritableFile> file = SystemPlatform().NewWritableFile(Path(name), false);
  if (!file) return false;
  bool ok = file->Append(bytes);
  return file->Close() && ok;
}

std::string TempDir::Read(const std::string& name) const {
  std::string bytes;
  if (ReadFileToString(SystemPlatform(), Path(name), &bytes) != ReadResult::kOk) bytes.clear();
  return bytes;
}

bool TempDir::MakeDir(const std::string& name) const {
  std::string path = path_;
  size_t start = 0;
  while (start <= name.size()) {
    size_t end = name.find('/', start);
    if (end == std::string::npos) end = name.size();
    path.push_back(kPathSeparator);
    path += name.substr(start, end - start);
    if (SystemPlatform().FindPath(path) != PathKind::kFolder &&
        !SystemPlatform().CreateFolder(path)) {
      return false;
    }
    start = end + 1;
  }
  return true;
}

void RemoveTree(const std::string& dir) {
  Platform& platform = SystemPlatform();
  std::vector<FolderEntry> entries;
  if (platform.ListFolder(dir, &entries)) {
    for (const FolderEntry& entry : entries) {
      if (entry.IsRealFolder()) {
        RemoveTree(entry.path);
      } else {
        platform.RemoveFile(entry.path, dir);
      }
    }
  }
  platform.RemoveFolder(dir);
}
