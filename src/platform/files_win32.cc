// Files on Win32: reading, writing, copying, rewriting and deleting them,
// and the lock of a folder.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <new>
#include <string_view>

#include "base/file_name.h"
#include "base/text.h"
#include "platform/files_common.h"
#include "platform/platform_win32.h"
#include "platform/win32_handle.h"

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Whether an open handle is a plain file on a disk, and its basic
// information: reading a pipe or device may wait for ever or never end. Only
// the basic information: the full GetFileInformationByHandle also asks for
// the volume's serial number, which under Wine is a round trip to the mount
// manager costing a good half millisecond per call.
bool IsRegularDiskHandle(const FileHandle& file, FILE_BASIC_INFO* info) {
  return file.IsValid() && ::GetFileType(file.get()) == FILE_TYPE_DISK &&
         ::GetFileInformationByHandleEx(file.get(), FileBasicInfo, info, sizeof *info) &&
         (info->FileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// A plain file on a disk, looked at without reading it.
bool IsRegularDiskFile(const std::string& path) {
  if (IsDeviceName(path)) return false;
  FileHandle probe(::CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                                 OPEN_EXISTING, 0, nullptr));
  FILE_BASIC_INFO info;
  return IsRegularDiskHandle(probe, &info);
}

namespace {

// The path the system resolves an open handle to, in upper case, without
// the "\\?\" prefix. Wine resolves POSIX links here to what they point to.
bool FinalPath(HANDLE h, std::string* path) {
  std::string buffer(MAX_PATH, '\0');
  while (true) {
    DWORD n = ::GetFinalPathNameByHandleA(h, buffer.data(), static_cast<DWORD>(buffer.size()),
                                          FILE_NAME_NORMALIZED);
    if (n == 0) return false;
    if (n < buffer.size()) {
      buffer.resize(n);
      break;
    }
    buffer.resize(n + 1);
  }
  if (buffer.rfind("\\\\?\\", 0) == 0) buffer.erase(0, 4);
  *path = ToUpperAscii(buffer);
  return true;
}

bool IsInside(const std::string& path, std::string root) {
  if (!root.empty() && root.back() != '\\') root += '\\';
  return path.size() > root.size() && path.compare(0, root.size(), root) == 0;
}

std::string Join(const std::string& folder, const char* name) {
  if (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) return folder + name;
  return folder + "\\" + name;
}

// What a copy or rewrite finds at its target.
enum class Examined { kMissing, kReplaceable, kRefused };

// Whether the file at `path` may be replaced: a plain disk file, not
// read-only, that no handle holds open for writing. The look denies others
// write access, so any handle with it -- another run's log, the lock of a
// running run, this run's own -- makes it fail. It is closed again at once:
// a file is replaced only while nothing has it open.
Examined ExamineExisting(const std::string& path, DWORD* attributes) {
  if (IsDeviceName(path)) return Examined::kRefused;
  FileHandle probe(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!probe.IsValid()) {
    const DWORD error = ::GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? Examined::kMissing
                                                                          : Examined::kRefused;
  }
  FILE_BASIC_INFO info;
  if (!IsRegularDiskHandle(probe, &info) || (info.FileAttributes & FILE_ATTRIBUTE_READONLY))
    return Examined::kRefused;
  *attributes = info.FileAttributes;
  return Examined::kReplaceable;
}

enum class Created { kWritten, kExists, kFailed };

// Writes a file that is not there yet; a failure leaves none.
template <typename Write>
Created WriteNew(const std::string& path, DWORD attributes, Write&& write) {
  FileHandle out(
      ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, attributes, nullptr));
  if (!out.IsValid()) {
    const DWORD error = ::GetLastError();
    return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ? Created::kExists
                                                                       : Created::kFailed;
  }
  bool ok = write(out.get());
  if (!::CloseHandle(out.Release())) ok = false;
  if (ok) return Created::kWritten;
  ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  ::DeleteFileA(path.c_str());
  return Created::kFailed;
}

// Writes a new file beside `target` and renames it over `target`; on any
// failure the new file goes and `target` stays as it was. A reader that
// has the target open without delete sharing holds the rename off for a
// moment; it is tried again for about a second.
template <typename Write>
bool WriteBesideAndRename(const std::string& target, DWORD attributes, Write&& write) {
  const std::string written = TemporaryNameBeside(target, ::GetCurrentProcessId());
  if (WriteNew(written, attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY), write) !=
      Created::kWritten)
    return false;
  for (int attempt = 0; attempt < 50; ++attempt) {
    if (::MoveFileExA(written.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
    const DWORD error = ::GetLastError();
    if (error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED &&
        error != ERROR_LOCK_VIOLATION)
      break;
    ::Sleep(20);
  }
  ::SetFileAttributesA(written.c_str(), FILE_ATTRIBUTE_NORMAL);
  ::DeleteFileA(written.c_str());
  return false;
}

class Win32FolderLock final : public FolderLock {
 public:
  explicit Win32FolderLock(HANDLE h) : h_(h) {}
  // Closing removes the file (delete on close), also when the process dies.
  ~Win32FolderLock() override { ::CloseHandle(h_); }

 private:
  HANDLE h_;
};

// The resolved path of the folder a tree is deleted from. A tree's files
// come one after another with the same root, which is resolved once: if it
// were swapped for a link meanwhile, its files would resolve elsewhere and
// no longer lie inside what was resolved first.
bool RootFinalPath(const std::string& root, std::string* root_final) {
  static std::string cached_root;
  static std::string cached_final;
  if (!cached_root.empty() && cached_root == root) {
    *root_final = cached_final;
    return true;
  }
  FileHandle folder(::CreateFileA(root.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!folder.IsValid() || !FinalPath(folder.get(), root_final)) return false;
  cached_root = root;
  cached_final = *root_final;
  return true;
}

class Win32ReadableFile final : public ReadableFile {
 public:
  // A file whose size the system did not tell reads as a read error.
  Win32ReadableFile(FileHandle file, bool sized, std::uint64_t size)
      : file_(std::move(file)), sized_(sized), size_(size) {}

  std::uint64_t Size() const override { return size_; }

  bool Read(char* into, size_t size, size_t* got) override {
    *got = 0;
    if (!sized_) return false;
    while (*got < size) {
      const DWORD want = static_cast<DWORD>(std::min<size_t>(size - *got, size_t{1} << 30));
      DWORD read = 0;
      if (!::ReadFile(file_.get(), into + *got, want, &read, nullptr)) return false;
      *got += read;
      // A short read of a disk file is its end.
      if (read < want) break;
    }
    return true;
  }

 private:
  FileHandle file_;
  bool sized_;
  std::uint64_t size_;
};

class Win32WritableFile final : public WritableFile {
 public:
  explicit Win32WritableFile(FileHandle file) : file_(std::move(file)) {}
  ~Win32WritableFile() override { Close(); }

  bool Append(std::string_view data) override {
    if (!file_.IsValid()) return false;
    while (!data.empty()) {
      DWORD chunk = data.size() > 0x10000000 ? 0x10000000 : static_cast<DWORD>(data.size());
      DWORD put = 0;
      if (!::WriteFile(file_.get(), data.data(), chunk, &put, nullptr) || put == 0) return false;
      data.remove_prefix(put);
    }
    return true;
  }

  bool Close() override {
    if (!file_.IsValid()) return true;
    return ::CloseHandle(file_.Release()) != 0;
  }

 private:
  FileHandle file_;
};

}  // namespace

// Windows gives large pages only to processes with the privilege for them.
void AskForLargePages(const char*, size_t) {}

std::unique_ptr<ReadableFile> HostPlatform::OpenForReading(const std::string& path) {
  // Devices are refused by name. Opening reads nothing and does not wait (a
  // POSIX pipe under Wine included), so whatever else is not a plain disk
  // file is refused by its handle before a byte is read: one open, not a
  // probe and then the open, which under Wine costs a tenth of a millisecond.
  if (IsDeviceName(path)) return nullptr;
  // Delete sharing lets a rewrite rename a new file over it meanwhile; this
  // read keeps the old one whole.
  FileHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  FILE_BASIC_INFO info;
  if (!IsRegularDiskHandle(file, &info)) return nullptr;
  LARGE_INTEGER size;
  const bool sized = ::GetFileSizeEx(file.get(), &size) != 0;
  return std::make_unique<Win32ReadableFile>(std::move(file), sized,
                                             sized ? static_cast<std::uint64_t>(size.QuadPart) : 0);
}

std::unique_ptr<WritableFile> HostPlatform::NewWritableFile(const std::string& path,
                                                            bool exclusive) {
  DWORD share = exclusive ? 0 : (FILE_SHARE_READ | FILE_SHARE_WRITE);
  FileHandle file(::CreateFileA(path.c_str(), GENERIC_WRITE, share, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  // Only a file on a disk: "nul.htm" or COM1 would be a device.
  if (!file.IsValid() || ::GetFileType(file.get()) != FILE_TYPE_DISK) return nullptr;
  return std::make_unique<Win32WritableFile>(std::move(file));
}

CopyOutcome HostPlatform::CopyFileTo(const std::string& from, const std::string& to,
                                     bool fail_if_exists) {
  if (IsDeviceName(from) || IsDeviceName(to)) return CopyOutcome::kFailed;
  // Copied by hand rather than by the system's copy: one open of the source
  // both checks and reads it, and the target's creation tells whether it
  // was there. Under Wine that saves three of every five file calls.
  // Shared with readers only, so the target cannot be the source itself.
  FileHandle in(::CreateFileA(from.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  FILE_BASIC_INFO source;
  LARGE_INTEGER size;
  if (!IsRegularDiskHandle(in, &source) || !::GetFileSizeEx(in.get(), &size))
    return CopyOutcome::kFailed;
  // Like the system's copy: the source's attributes, and the archive bit.
  const DWORD attributes =
      (source.FileAttributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED)) |
      FILE_ATTRIBUTE_ARCHIVE;
  const auto copy = [&in, &source, &size](HANDLE out) {
    bool ok = true;
    try {
      // One piece for a file of up to 1 MiB, the usual asset.
      constexpr std::uint64_t kPiece = 1 << 20;
      std::string buffer(static_cast<size_t>(std::min<std::uint64_t>(
                             std::max<std::int64_t>(size.QuadPart, 0) + 1, kPiece)),
                         '\0');
      const DWORD want = static_cast<DWORD>(buffer.size());
      while (ok) {
        DWORD got = 0, put = 0;
        if (!::ReadFile(in.get(), buffer.data(), want, &got, nullptr)) ok = false;
        if (!ok || got == 0) break;
        ok = ::WriteFile(out, buffer.data(), got, &put, nullptr) && put == got;
        // A short read of a disk file is its end.
        if (got < want) break;
      }
    } catch (const std::bad_alloc&) {
      ok = false;
    }
    if (!ok) return false;
    FILE_BASIC_INFO times = {};
    times.LastWriteTime = source.LastWriteTime;
    return ::SetFileInformationByHandle(out, FileBasicInfo, &times, sizeof times) != 0;
  };
  DWORD target_attributes = 0;
  switch (fail_if_exists ? Examined::kMissing : ExamineExisting(to, &target_attributes)) {
    case Examined::kMissing:
      switch (WriteNew(to, attributes, copy)) {
        case Created::kWritten:
          return CopyOutcome::kCopied;
        case Created::kExists:
          return fail_if_exists ? CopyOutcome::kTargetExists : CopyOutcome::kFailed;
        case Created::kFailed:
          return CopyOutcome::kFailed;
      }
      return CopyOutcome::kFailed;
    case Examined::kReplaceable:
      // The source, held open without delete sharing, is never renamed over.
      return WriteBesideAndRename(to, attributes, copy) ? CopyOutcome::kReplaced
                                                        : CopyOutcome::kFailed;
    case Examined::kRefused:
      break;
  }
  return CopyOutcome::kFailed;
}

bool HostPlatform::RewriteFile(const std::string& path, std::string_view bytes) {
  DWORD attributes = 0;
  if (ExamineExisting(path, &attributes) == Examined::kRefused) return false;
  // The old file's attributes, as far as a plain file carries them.
  attributes &= FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
  auto write = [bytes](HANDLE out) mutable {
    while (!bytes.empty()) {
      const DWORD want = static_cast<DWORD>(std::min<size_t>(bytes.size(), 1 << 20));
      DWORD put = 0;
      if (!::WriteFile(out, bytes.data(), want, &put, nullptr) || put == 0) return false;
      bytes.remove_prefix(put);
    }
    return true;
  };
  return WriteBesideAndRename(path, attributes != 0 ? attributes : FILE_ATTRIBUTE_NORMAL, write);
}

bool HostPlatform::RemoveFile(const std::string& path, const std::string& root) {
  std::string root_final;
  if (!RootFinalPath(root, &root_final)) return false;
  // The link itself where the system has links; under Wine a POSIX link
  // opens as the file it points to, and then lies outside the tree.
  FileHandle file(::CreateFileA(
      path.c_str(), DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES, kShareAll, nullptr,
      OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  std::string final_path;
  if (!file.IsValid() || ::GetFileType(file.get()) != FILE_TYPE_DISK ||
      !FinalPath(file.get(), &final_path) || !IsInside(final_path, root_final))
    return false;
  FILE_BASIC_INFO info;
  const bool known = ::GetFileInformationByHandleEx(file.get(), FileBasicInfo, &info, sizeof info);
  // A folder is no file (a link to one is removed as the link it is).
  const DWORD folder = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
  if (known && (info.FileAttributes & folder) == FILE_ATTRIBUTE_DIRECTORY) return false;
  if (known && (info.FileAttributes & FILE_ATTRIBUTE_READONLY)) {
    FILE_BASIC_INFO basic = {};
    basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    ::SetFileInformationByHandle(file.get(), FileBasicInfo, &basic, sizeof basic);
  }
  FILE_DISPOSITION_INFO disposition = {};
  disposition.DeleteFile = TRUE;
  return ::SetFileInformationByHandle(file.get(), FileDispositionInfo, &disposition,
                                      sizeof disposition) != 0;
}

std::unique_ptr<FolderLock> HostPlatform::LockFolder(const std::string& folder) {
  FileHandle h(::CreateFileA(Join(folder, kLockFileName).c_str(), GENERIC_WRITE, 0, nullptr,
                             CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE,
                             nullptr));
  if (!h.IsValid()) return nullptr;
  return std::make_unique<Win32FolderLock>(h.Release());
}

bool HostPlatform::IsFolderLocked(const std::string& folder) {
  FileHandle h(::CreateFileA(Join(folder, kLockFileName).c_str(), GENERIC_READ, kShareAll, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  return !h.IsValid() && ::GetLastError() == ERROR_SHARING_VIOLATION;
}
