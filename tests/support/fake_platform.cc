#include "support/fake_platform.h"

#include "base/text.h"
#include "platform/env_expand.h"
#include "platform/file_reading.h"

namespace {

// Fails the calls its platform's rules name; passes the rest on.
class FailingWritableFile : public WritableFile {
 public:
  FailingWritableFile(FakePlatform& platform, std::string path, std::unique_ptr<WritableFile> file)
      : platform_(platform), path_(std::move(path)), file_(std::move(file)) {}

  bool Append(std::string_view data) override {
    if (platform_.ShouldFail(FileOp::kAppend, path_)) return false;
    return file_->Append(data);
  }
  bool Close() override {
    bool closed = file_->Close();
    if (closed && !closed_ && platform_.ShouldFail(FileOp::kClose, path_)) closed = false;
    closed_ = true;
    return closed;
  }

 private:
  FakePlatform& platform_;
  std::string path_;
  std::unique_ptr<WritableFile> file_;
  bool closed_ = false;
};

}  // namespace

void FakePlatform::Note(std::vector<std::string>& list, const std::string& path) {
  std::lock_guard<std::mutex> lock(mutex_);
  list.push_back(path);
}

const FailRule* FakePlatform::MatchFailure(FileOp op, const std::string& path) {
  std::lock_guard<std::mutex> lock(mutex_);
  for (const FailRule& rule : fail_rules) {
    if (rule.op != op || rule.path != path) continue;
    int& calls = calls_[{static_cast<int>(op), path}];
    if (calls < rule.calls_before) {
      ++calls;
      return nullptr;
    }
    return &rule;
  }
  return nullptr;
}

bool FakePlatform::ShouldFail(FileOp op, const std::string& path, size_t* bytes_read) {
  const FailRule* rule = MatchFailure(op, path);
  if (rule != nullptr && bytes_read != nullptr) *bytes_read = rule->bytes_read;
  return rule != nullptr;
}

std::unique_ptr<ReadableFile> FakePlatform::OpenForReading(const std::string& path) {
  Note(opened, path);
  if (ShouldFail(FileOp::kOpen, path)) return nullptr;
  if (ShouldFail(FileOp::kMemory, path))
    return ReadableBytes(std::string(), ReadFailure::kNoMemory);
  std::unique_ptr<ReadableFile> file = PlatformWrapper::OpenForReading(path);
  size_t kept = 0;
  if (!file || !ShouldFail(FileOp::kRead, path, &kept)) return file;
  // The real bytes up to the break.
  file.reset();
  std::string bytes;
  ReadFileToString(target(), path, &bytes);
  if (kept < bytes.size()) bytes.resize(kept);
  return ReadableBytes(std::move(bytes), ReadFailure::kAfterBytes);
}

std::unique_ptr<WritableFile> FakePlatform::NewWritableFile(const std::string& path,
                                                            bool exclusive) {
  Note(opened, path);
  if (ShouldFail(FileOp::kOpen, path)) return nullptr;
  std::unique_ptr<WritableFile> file = PlatformWrapper::NewWritableFile(path, exclusive);
  if (!file) return nullptr;
  return std::make_unique<FailingWritableFile>(*this, path, std::move(file));
}

bool FakePlatform::ListFolder(const std::string& dir, std::vector<FolderEntry>* entries) {
  Note(listed, dir);
  return PlatformWrapper::ListFolder(dir, entries);
}

CopyOutcome FakePlatform::CopyFileTo(const std::string& from, const std::string& to,
                                     bool fail_if_exists) {
  Note(opened, from);
  Note(opened, to);
  if (ShouldFail(FileOp::kCopy, to)) return CopyOutcome::kFailed;
  return PlatformWrapper::CopyFileTo(from, to, fail_if_exists);
}

bool FakePlatform::RewriteFile(const std::string& path, std::string_view bytes) {
  Note(opened, path);
  if (ShouldFail(FileOp::kRewrite, path)) return false;
  return PlatformWrapper::RewriteFile(path, bytes);
}

PathInfo FakePlatform::Inspect(const std::string& path, Links links) {
  PathInfo info = PlatformWrapper::Inspect(path, links);
  // Only what exists has times.
  if (info.kind == PathKind::kMissing) return info;
  const std::string name = path.substr(path.find_last_of("\\/") + 1);
  if (auto found = creation_times.find(name); found != creation_times.end())
    info.created = found->second;
  if (auto found = write_times.find(name); found != write_times.end()) info.written = found->second;
  return info;
}

std::string FakePlatform::GetTempFolder() {
  return temp_dir ? *temp_dir : PlatformWrapper::GetTempFolder();
}

std::string FakePlatform::GetProgramPath() {
  return program_path ? *program_path : PlatformWrapper::GetProgramPath();
}

DriveType FakePlatform::QueryDriveType(const std::string& root) {
  auto it = drive_types.find(root);
  if (it != drive_types.end()) return it->second;
  return drive_type ? *drive_type : PlatformWrapper::QueryDriveType(root);
}

bool FakePlatform::GetNetworkName(const std::string& path, std::string* remote) {
  remote->clear();
  const std::string* answer = nullptr;
  auto it = network_names.find(path);
  if (it != network_names.end()) {
    answer = &it->second;
  } else if (network_name) {
    answer = &*network_name;
  } else {
    return PlatformWrapper::GetNetworkName(path, remote);
  }
  *remote = *answer;
  return !remote->empty();
}

bool FakePlatform::GetLogonUser(std::string* name) {
  if (!user_name) return PlatformWrapper::GetLogonUser(name);
  *name = *user_name;
  return !name->empty();
}

bool FakePlatform::ReadClassesRootDefault(const std::string& subkey, std::string* value) {
  value->clear();
  for (const auto& [key, text] : classes_root) {
    if (EqualsNoCaseAscii(key, subkey)) {
      if (text.size() > 259) return false;
      *value = text;
      return true;
    }
  }
  return false;
}

std::uint32_t FakePlatform::GetTickCount() {
  if (!tick_count) return PlatformWrapper::GetTickCount();
  std::uint32_t now = *tick_count;
  *tick_count = now + tick_step;
  return now;
}

WallClock FakePlatform::GetWallClock() {
  WallClock clock = PlatformWrapper::GetWallClock();
  if (unix_time) clock.unix_seconds = *unix_time;
  if (local_time) {
    clock.local = *local_time;
    clock.local_valid = true;
  }
  return clock;
}

std::string FakePlatform::CreateGuidText() {
  if (next_guid_ < guid_texts.size()) return guid_texts[next_guid_++];
  return PlatformWrapper::CreateGuidText();
}

std::string FakePlatform::GetCommandLineText() {
  return command_line_text ? *command_line_text : PlatformWrapper::GetCommandLineText();
}

// Names match without ASCII case, as on Windows; the first spelling stays.
bool FakePlatform::GetEnvVar(const std::string& name, std::string* value) {
  value->clear();
  for (const auto& [known, text] : environment_) {
    if (EqualsNoCaseAscii(known, name)) {
      *value = text;
      return true;
    }
  }
  return false;
}

std::vector<std::string> FakePlatform::GetEnvironmentBlock() {
  std::vector<std::string> block;
  for (const auto& [name, value] : environment_) block.push_back(name + "=" + value);
  return block;
}

void FakePlatform::SetEnvironmentBlock(const std::vector<std::string>& block) {
  environment_.clear();
  for (const std::string& entry : block) {
    const size_t eq = entry.find('=', 1);
    if (eq != std::string::npos)
      environment_.emplace_back(entry.substr(0, eq), entry.substr(eq + 1));
  }
}

std::string FakePlatform::ExpandEnvVars(const std::string& text) {
  return ExpandPercentReferences(
      text, [this](const std::string& name, std::string* value) { return GetEnvVar(name, value); });
}

bool FakePlatform::StartProcess(const std::string& command_line, std::string* failure) {
  started_processes.push_back(command_line);
  if (start_process_failure) {
    *failure = *start_process_failure;
    return false;
  }
  failure->clear();
  return true;
}
