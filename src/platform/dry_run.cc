#include "platform/dry_run.h"

#include <algorithm>
#include <string_view>
#include <utility>
#include <vector>

#include "base/text.h"
#include "platform/file_reading.h"

namespace {

// A backslash separates only where the system says so; on POSIX it is a
// character of the name.
#ifdef PAGETRIX_POSIX_PATHS
constexpr char kSeparators[] = "/";
#else
constexpr char kSeparators[] = "/\\";
#endif

bool IsSeparator(char c) { return c == '/' || c == kPathSeparator; }

// "." and ".." taken by their names, as the system takes them in folders it
// made itself (the walk's folders are no links): "out/../x" is "x" even
// where "out" exists only in the walk. `key` has one separator per step.
bool HasDotSteps(const std::string& path) {
  for (size_t i = 0; i < path.size();) {
    size_t end = i;
    while (end < path.size() && !IsSeparator(path[end])) ++end;
    const std::string_view step(path.data() + i, end - i);
    if (step == "." || step == "..") return true;
    i = end + 1;
  }
  return false;
}

std::string WithoutDotSteps(const std::string& key) {
  size_t start = key.size() >= 2 && key[1] == ':' ? 2 : 0;
  while (start < key.size() && key[start] == kPathSeparator) ++start;
  std::vector<std::string_view> steps;
  bool changed = false;
  for (size_t i = start; i <= key.size();) {
    size_t end = key.find(kPathSeparator, i);
    if (end == std::string::npos) end = key.size();
    const std::string_view step(key.data() + i, end - i);
    if (step == ".") {
      changed = true;
    } else if (step == ".." && !steps.empty() && steps.back() != "..") {
      steps.pop_back();
      changed = true;
    } else if (step == ".." && steps.empty() && start > 0) {
      changed = true;  // above the root is the root
    } else if (!step.empty()) {
      steps.push_back(step);
    }
    i = end + 1;
  }
  if (!changed) return key;
  std::string out = key.substr(0, start);
  for (size_t n = 0; n < steps.size(); ++n) {
    if (n > 0) out.push_back(kPathSeparator);
    out.append(steps[n]);
  }
  if (out.empty()) out = ".";
  return out;
}

// Written files are kept for the walk's later reads up to this size; a
// larger one (a page of a million links) reads back as unreadable.
constexpr size_t kKeptBytes = 1 << 20;

// The path without trailing separators, and its last component.
std::string WithoutTrailingSeparators(const std::string& path) {
  std::string trimmed = path;
  while (trimmed.size() > 1 && IsSeparator(trimmed.back())) trimmed.pop_back();
  return trimmed;
}

std::string LastComponent(const std::string& path) {
  const std::string trimmed = WithoutTrailingSeparators(path);
  const size_t separator = trimmed.find_last_of(kSeparators);
  return separator == std::string::npos ? trimmed : trimmed.substr(separator + 1);
}

// The folder a path lies in, as a path; empty for a bare name.
std::string ParentPath(const std::string& path) {
  const std::string trimmed = WithoutTrailingSeparators(path);
  const size_t separator = trimmed.find_last_of(kSeparators);
  if (separator == std::string::npos) return std::string();
  std::string parent = trimmed.substr(0, separator + 1);
  // A root keeps its separator ("/", "C:\"); any other folder loses it.
  if (parent.size() > 1 && !(parent.size() == 3 && parent[1] == ':')) parent.pop_back();
  return parent;
}

}  // namespace

const DryRunReads::File& DryRunReads::Read(Platform& real, const std::string& path) {
  auto found = files_.find(path);
  if (found != files_.end()) return found->second;
  File file;
  file.result = ReadFileToString(real, path, &file.bytes);
  return files_.emplace(path, std::move(file)).first->second;
}

ReadResult DryRunReads::Probe(Platform& real, const std::string& path) {
  if (auto read = files_.find(path); read != files_.end()) return read->second.result;
  auto found = probed_.find(path);
  if (found != probed_.end()) return found->second;
  std::string bytes;
  return probed_.emplace(path, ReadFileToString(real, path, &bytes)).first->second;
}

class DryRunPlatform::RecordingFile final : public WritableFile {
 public:
  RecordingFile(DryRunPlatform& owner, std::string key) : owner_(owner), key_(std::move(key)) {}
  bool Append(std::string_view data) override {
    Node& node = owner_.nodes_[key_];
    if (node.bytes.size() + data.size() <= kKeptBytes) {
      node.bytes.append(data);
    } else {
      node.bytes.clear();
      node.copy_of.clear();
      node.too_large = true;
    }
    return true;
  }
  bool Close() override { return true; }

 private:
  DryRunPlatform& owner_;
  std::string key_;
};

DryRunPlatform::DryRunPlatform(Platform& real, DryRunReads& reads)
    : PlatformWrapper(real), reads_(reads) {}

DryRunPlatform::~DryRunPlatform() = default;

std::string DryRunPlatform::Key(const std::string& path) {
  std::string key;
  key.reserve(path.size());
  for (size_t i = 0; i < path.size(); ++i) {
    const char c = path[i];
    if (!IsSeparator(c)) {
      key.push_back(c);
      continue;
    }
    // Two leading separators begin a network path; elsewhere runs are one.
    if (!key.empty() && key.back() == kPathSeparator && !(key.size() == 1 && i == 1)) continue;
    key.push_back(kPathSeparator);
  }
  while (key.size() > 1 && key.back() == kPathSeparator && !(key.size() == 3 && key[1] == ':'))
    key.pop_back();
  if (HasDotSteps(key)) key = WithoutDotSteps(key);
#ifndef PAGETRIX_POSIX_PATHS
  key = ToUpperAnsi(key);
#endif
  return key;
}

const DryRunPlatform::Node* DryRunPlatform::Find(const std::string& path) const {
  auto found = nodes_.find(Key(path));
  return found == nodes_.end() ? nullptr : &found->second;
}

// POSIX walks every step: the folder before a "." or ".." must be there.
bool DryRunPlatform::DotStepsPassable(const std::string& path) {
  for (size_t i = 0; i < path.size();) {
    size_t end = i;
    while (end < path.size() && !IsSeparator(path[end])) ++end;
    const std::string_view step(path.data() + i, end - i);
    if ((step == "." || step == "..") && i > 0 && !IsFolder(path.substr(0, i))) return false;
    i = end + 1;
  }
  return true;
}

PathKind DryRunPlatform::TypeOf(const std::string& path) {
#ifdef PAGETRIX_POSIX_PATHS
  if (HasDotSteps(path) && !DotStepsPassable(path)) return PathKind::kMissing;
#endif
  if (const Node* node = Find(path)) {
    switch (node->kind) {
      case Node::Kind::kFile:
        return PathKind::kFile;
      case Node::Kind::kFolder:
        return PathKind::kFolder;
      case Node::Kind::kGone:
        return PathKind::kMissing;
    }
  }
#ifdef PAGETRIX_POSIX_PATHS
  // Through a folder only the walk made and back: the system is asked for
  // where the path ends (Windows takes such steps by name itself).
  if (HasDotSteps(path)) return target().Inspect(Key(path), Links::kFollow).kind;
#endif
  return target().Inspect(path, Links::kFollow).kind;
}

bool DryRunPlatform::ParentIsFolder(const std::string& path) {
  const std::string parent = ParentPath(path);
  // A bare name lies in the current folder.
  return parent.empty() || IsFolder(parent);
}

void DryRunPlatform::Record(Change::Kind kind, const std::string& path, const std::string& source) {
  changes_.push_back(Change{kind, path, source});
}

void DryRunPlatform::Put(const std::string& path, Node node) {
  node.time = target().GetWallClock().unix_seconds;
  const std::string key = Key(path);
  spelled_.emplace(key, WithoutTrailingSeparators(path));
  nodes_[key] = std::move(node);
}

std::unique_ptr<ReadableFile> DryRunPlatform::OpenForReading(const std::string& path) {
  if (const Node* node = Find(path)) {
    if (node->kind != Node::Kind::kFile) return nullptr;
    if (node->too_large) return ReadableBytes(std::string(), ReadFailure::kAfterBytes);
    if (node->copy_of.empty()) return ReadableBytes(node->bytes);
    const std::string source = node->copy_of;
    return OpenForReading(source);
  }
  const DryRunReads::File& file = reads_.Read(target(), path);
  switch (file.result) {
    case ReadResult::kOk:
      return ReadableBytes(file.bytes);
    case ReadResult::kCannotOpen:
      return nullptr;
    case ReadResult::kReadError:
      return ReadableBytes(file.bytes, ReadFailure::kAfterBytes);
    case ReadResult::kNoMemory:
      return ReadableBytes(std::string(), ReadFailure::kNoMemory);
  }
  return nullptr;
}

bool DryRunPlatform::RewriteFile(const std::string& path, std::string_view bytes) {
  if (TypeOf(path) != PathKind::kFile || IsHeldLock(path)) return false;
  Record(Change::Kind::kWrite, path);
  Node file;
  file.bytes.assign(bytes);
  const Node* old = Find(path);
  file.writes = (old != nullptr ? old->writes : 0) + 1;
  Put(path, std::move(file));
  return true;
}

std::unique_ptr<WritableFile> DryRunPlatform::NewWritableFile(const std::string& path,
                                                              bool /*exclusive*/) {
  if (IsFolder(path) || !ParentIsFolder(path)) return nullptr;
  Record(Change::Kind::kWrite, path);
  Node file;
  if (const Node* old = Find(path)) file.writes = old->writes;
  ++file.writes;
  Put(path, std::move(file));
  return std::make_unique<RecordingFile>(*this, Key(path));
}

bool DryRunPlatform::ListFolder(const std::string& dir, std::vector<FolderEntry>* entries) {
  entries->clear();
  const std::string key = Key(dir);
  const Node* own = Find(dir);
  if (own != nullptr && own->kind != Node::Kind::kFolder) return false;
  std::vector<FolderEntry> real;
  const bool listed = target().ListFolder(dir, &real);
  if (!listed && own == nullptr) return false;
  std::vector<std::string> seen;
  for (FolderEntry& entry : real) {
    const std::string entry_key = Key(entry.path);
    seen.push_back(entry_key);
    if (const Node* node = Find(entry.path)) {
      if (node->kind == Node::Kind::kGone) continue;
      if (node->kind == Node::Kind::kFolder) {
        entry.kind = PathKind::kFolder;
        entry.link = false;
      } else if (!entry.link) {
        entry.kind = PathKind::kFile;
      }
    }
    entries->push_back(std::move(entry));
  }
  std::sort(seen.begin(), seen.end());
  std::string base = WithoutTrailingSeparators(dir);
  if (base.empty() || !IsSeparator(base.back())) base.push_back(kPathSeparator);
  for (const auto& [node_key, node] : nodes_) {
    if (node.kind == Node::Kind::kGone || ParentKey(node_key) != key) continue;
    if (std::binary_search(seen.begin(), seen.end(), node_key)) continue;
    entries->push_back(
        FolderEntry{base + LastComponent(spelled_[node_key]),
                    node.kind == Node::Kind::kFolder ? PathKind::kFolder : PathKind::kFile});
  }
  return true;
}

std::string DryRunPlatform::ParentKey(const std::string& key) {
  const size_t separator = key.find_last_of(kPathSeparator);
  if (separator == std::string::npos) return std::string();
  return Key(key.substr(0, separator + 1));
}

PathKind DryRunPlatform::FindPath(const std::string& path) {
  if (const Node* node = Find(path)) {
    if (node->kind == Node::Kind::kFile) return PathKind::kFile;
    return node->kind == Node::Kind::kFolder ? PathKind::kFolder : PathKind::kMissing;
  }
  return target().FindPath(path);
}

bool DryRunPlatform::CreateFolder(const std::string& path) {
  if (TypeOf(path) != PathKind::kMissing || !ParentIsFolder(path)) return false;
  Record(Change::Kind::kCreateFolder, path);
  Node folder;
  folder.kind = Node::Kind::kFolder;
  Put(path, std::move(folder));
  return true;
}

bool DryRunPlatform::HasChildren(const std::string& path) {
  std::vector<FolderEntry> entries;
  return ListFolder(path, &entries) && !entries.empty();
}

RemoveFolderResult DryRunPlatform::RemoveFolder(const std::string& path) {
  const PathKind type = TypeOf(path);
  if (type == PathKind::kMissing) return RemoveFolderResult::kMissing;
  if (type != PathKind::kFolder) return RemoveFolderResult::kFailed;
  if (HasChildren(path)) return RemoveFolderResult::kNotEmpty;
  Record(Change::Kind::kRemoveFolder, path);
  Node gone;
  gone.kind = Node::Kind::kGone;
  Put(path, std::move(gone));
  return RemoveFolderResult::kRemoved;
}

bool DryRunPlatform::RemoveFile(const std::string& path, const std::string& /*root*/) {
  const PathKind type =
      Find(path) != nullptr ? TypeOf(path) : target().Inspect(path, Links::kDoNotFollow).kind;
  if (type == PathKind::kMissing || type == PathKind::kFolder) return false;
  Record(Change::Kind::kRemoveFile, path);
  Node gone;
  gone.kind = Node::Kind::kGone;
  Put(path, std::move(gone));
  return true;
}

CopyOutcome DryRunPlatform::CopyFileTo(const std::string& from, const std::string& to,
                                       bool fail_if_exists) {
  const Node* source = Find(from);
  if (source != nullptr) {
    if (source->kind != Node::Kind::kFile || source->too_large) return CopyOutcome::kFailed;
  } else if (TypeOf(from) != PathKind::kFile || reads_.Probe(target(), from) != ReadResult::kOk) {
    return CopyOutcome::kFailed;
  }
  const PathKind existing = TypeOf(to);
  // The lock this walk holds is open for writing, which no copy replaces.
  if (existing == PathKind::kFolder || !ParentIsFolder(to) || IsHeldLock(to))
    return CopyOutcome::kFailed;
  const bool exists = existing != PathKind::kMissing;
  if (exists && fail_if_exists) return CopyOutcome::kTargetExists;
  Record(Change::Kind::kCopy, to, from);
  Node copy;
  if (source != nullptr) {
    copy = *source;
  } else {
    copy.copy_of = from;
  }
  const Node* old = Find(to);
  copy.writes = (old != nullptr ? old->writes : 0) + 1;
  Put(to, std::move(copy));
  return exists ? CopyOutcome::kReplaced : CopyOutcome::kCopied;
}

PathInfo DryRunPlatform::Inspect(const std::string& path, Links links) {
  const Node* node = Find(path);
  if (node == nullptr) return target().Inspect(path, links);
  // What the walk made is the user's own, made when the walk made it.
  PathInfo info;
  info.kind = TypeOf(path);
  info.owned_by_user = true;
  info.created = info.written = node->time;
  return info;
}

bool DryRunPlatform::IsOwnPlace(const std::string& path) {
  // A folder the walk made is as much the user's as the nearest real one
  // above it.
  std::string real = path;
  while (Find(real) != nullptr) {
    const std::string parent = ParentPath(real);
    if (parent.empty() || parent == real) break;
    real = parent;
  }
  return target().IsOwnPlace(real);
}

bool DryRunPlatform::IsHeldLock(const std::string& path) const {
  const std::string key = Key(path);
  for (const Change& change : changes_) {
    if (change.kind == Change::Kind::kLock &&
        key == Key(change.path + kPathSeparator + kLockFileName))
      return true;
  }
  return false;
}

std::unique_ptr<FolderLock> DryRunPlatform::LockFolder(const std::string& folder) {
  Record(Change::Kind::kLock, folder);
  return std::make_unique<FolderLock>();
}

bool DryRunPlatform::StartProcess(const std::string& command_line, std::string* /*failure*/) {
  Record(Change::Kind::kStart, command_line);
  return true;
}

std::vector<std::string> DryRunPlatform::FilesIn(const std::string& folder) {
  std::vector<FolderEntry> entries;
  std::vector<std::string> names;
  if (!ListFolder(folder, &entries)) return names;
  for (const FolderEntry& entry : entries) {
    if (!entry.IsRealFolder()) names.push_back(LastComponent(entry.path));
  }
  std::sort(names.begin(), names.end());
  return names;
}

int DryRunPlatform::Writes(const std::string& path) const {
  const Node* node = Find(path);
  return node == nullptr ? 0 : node->writes;
}
