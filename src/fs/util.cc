#include "fs/util.h"

#include "base/log_sink.h"
#include "base/text.h"
#include "platform/messages.h"
#include "platform/platform.h"

namespace {

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

bool StartsWithTwoBackslashes(const std::string& text) {
  return text.size() > 2 && text[0] == '\\' && text[1] == '\\';
}

// Drive, directory, name and extension; no system call.
void SplitParts(const std::string& path, CUtil& parts) {
  size_t pos = 0;
  parts.drive.clear();
  if (path.size() >= 2 && IsAsciiLetter(path[0]) && path[1] == ':') {
    parts.drive = path.substr(0, 2);
    pos = 2;
  }
  size_t name_start = pos;
  for (size_t i = path.size(); i > pos; --i) {
    if (IsPathSeparator(path[i - 1])) {
      name_start = i;
      break;
    }
  }
  parts.directory = path.substr(pos, name_start - pos);
  std::string last = path.substr(name_start);
  size_t dot = last.rfind('.');
  parts.file_name = last.substr(0, dot);
  parts.extension = dot == std::string::npos ? std::string() : last.substr(dot);
}

}  // namespace

void CUtil::SplitPathLocal(const std::string& path) {
  server_name.clear();
  SplitParts(path, *this);
}

void CUtil::SplitPath(MachineFacts& machine, const std::string& path) {
  SplitPathLocal(path);

  // The server behind a network drive (or the host of a network path).
  std::string working;
  if (StartsWithTwoBackslashes(path)) {
    working = path;
  } else if (path.size() > 2) {
    std::string remote;
    if (machine.GetNetworkName(path, &remote)) working = remote;
  }
  if (StartsWithTwoBackslashes(working)) {
    std::string host = working.substr(2);
    size_t cut = host.find('.');
    if (cut != std::string::npos) host.erase(cut);
    cut = host.find('\\');
    if (cut != std::string::npos) host.erase(cut);
    server_name = host;
  }
}

bool GetField(std::string& field, std::string_view text, int n, char separator) {
  std::string_view view;
  const bool found = GetFieldView(view, text, n, separator);
  field.assign(view);
  return found;
}

bool GetFieldView(std::string_view& field, std::string_view text, int n, char separator) {
  field = std::string_view();
  size_t pos = 0;
  for (int i = 1; i < n; ++i) {
    size_t next = text.find(separator, pos);
    if (next == std::string::npos) return false;
    pos = next + 1;
  }
  size_t end = text.find(separator, pos);
  if (end == std::string::npos) end = text.size();
  field = TrimCSpace(text.substr(pos, end - pos));
  return true;
}

void CollectFiles(FileSystem& files, const std::string& directory,
                  const FileCollectOptions& options) {
  std::vector<FolderEntry> entries;
  if (!files.ListFolder(directory, &entries)) return;
  for (const FolderEntry& entry : entries) {
    if (entry.IsRealFolder()) {
      if (options.directories) options.result.push_back(entry.path);
      if (options.recurse) CollectFiles(files, entry.path, options);
      continue;
    }
    if (options.directories) continue;
    if (options.filter.empty()) {
      options.result.push_back(entry.path);
      continue;
    }
    CUtil parts;
    parts.SplitPathLocal(entry.path);
    if (parts.extension.empty()) continue;
    if (options.filter.find(ToUpperAnsi(parts.extension + ";")) != std::string::npos)
      options.result.push_back(entry.path);
  }
}

bool CreateDirectoryPath(FileSystem& files, const std::string& path) {
  std::string copy = path;
  while (!copy.empty() && IsPathSeparator(copy.back())) copy.pop_back();
  std::string parent = GetDirectoryPart(copy);
  if (parent == copy) return true;
  if (GetPathKind(files, copy) == PathKind::kFolder) return true;
  if (!CreateDirectoryPath(files, parent)) return false;
  // Another run starting at the same moment may have made it in between.
  return files.CreateFolder(copy) || GetPathKind(files, copy) == PathKind::kFolder;
}

bool DeleteFileAndDirectory(FileSystem& files, const std::string& path, const std::string& root) {
  const std::string folder = GetDirectoryPart(path);
  // Without a tree to stay inside, the file's own folder is the tree.
  const std::string tree = !root.empty() ? root : !folder.empty() ? folder : ".";
  const bool deleted = files.RemoveFile(path, tree);
  if (files.RemoveFolder(folder) == RemoveFolderResult::kFailed) return false;
  return deleted;
}

PathKind GetPathKind(FileSystem& files, const std::string& path) {
  PathKind kind = files.FindPath(path);
  if (kind != PathKind::kMissing) return kind;
  return CanChangeDirectory(files, path) ? PathKind::kFolder : PathKind::kMissing;
}

bool CanChangeDirectory(FileSystem& files, const std::string& path) {
  return files.CanEnterFolder(path);
}

std::string GetDirectoryPart(const std::string& path) {
  CUtil parts;
  parts.SplitPathLocal(path);
  return parts.drive + parts.directory;
}
