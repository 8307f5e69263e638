#include "support/fake_platform.h"

namespace {

Platform& Real() { return SystemPlatform(); }

bool EqualsNoCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
    if (x != y) return false;
  }
  return true;
}

}  // namespace

int FakePlatform::ReadFileExclusive(const std::string& path, std::string* bytes) {
  return Real().ReadFileExclusive(path, bytes);
}
bool FakePlatform::ReadFile(const std::string& path, std::string* bytes) {
  return Real().ReadFile(path, bytes);
}
std::unique_ptr<WritableFile> FakePlatform::NewWritableFile(const std::string& path,
                                                            bool exclusive) {
  return Real().NewWritableFile(path, exclusive);
}
bool FakePlatform::ListDirectory(const std::string& dir, std::vector<FindEntry>* entries) {
  return Real().ListDirectory(dir, entries);
}
int FakePlatform::FindPath(const std::string& path) { return Real().FindPath(path); }
bool FakePlatform::CreateDirectory(const std::string& path) { return Real().CreateDirectory(path); }
RemoveDirResult FakePlatform::RemoveDirectory(const std::string& path) {
  return Real().RemoveDirectory(path);
}
bool FakePlatform::DeleteFile(const std::string& path) { return Real().DeleteFile(path); }
bool FakePlatform::SetNormalAttributes(const std::string& path) {
  return Real().SetNormalAttributes(path);
}
bool FakePlatform::CopyFile(const std::string& from, const std::string& to, bool fail_if_exists) {
  return Real().CopyFile(from, to, fail_if_exists);
}
bool FakePlatform::GetCreationTime(const std::string& path, std::int64_t* seconds) {
  return Real().GetCreationTime(path, seconds);
}
bool FakePlatform::GetCurrentDirectory(std::string* path) { return Real().GetCurrentDirectory(path); }
bool FakePlatform::SetCurrentDirectory(const std::string& path) {
  return Real().SetCurrentDirectory(path);
}
std::string FakePlatform::GetTempPath() { return temp_path ? *temp_path : Real().GetTempPath(); }
bool FakePlatform::SearchPath(const std::string& name, std::string* full_path) {
  return Real().SearchPath(name, full_path);
}
std::string FakePlatform::GetModuleFileName() {
  return module_file_name ? *module_file_name : Real().GetModuleFileName();
}

unsigned FakePlatform::GetDriveType(const std::string& root) {
  auto it = drive_types.find(root);
  if (it != drive_types.end()) return it->second;
  return drive_type ? *drive_type : Real().GetDriveType(root);
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
    return Real().GetNetworkName(path, remote);
  }
  *remote = *answer;
  return !remote->empty();
}

bool FakePlatform::GetUserName(std::string* name) {
  if (!user_name) return Real().GetUserName(name);
  *name = *user_name;
  return !name->empty();
}

bool FakePlatform::ReadClassesRootDefault(const std::string& subkey, std::string* value) {
  value->clear();
  for (const auto& [key, text] : classes_root) {
    if (EqualsNoCase(key, subkey)) {
      if (text.size() > 259) return false;
      *value = text;
      return true;
    }
  }
  return false;
}

std::uint32_t FakePlatform::GetTickCount() {
  if (!tick_count) return Real().GetTickCount();
  std::uint32_t now = *tick_count;
  *tick_count = now + tick_step;
  return now;
}

std::int64_t FakePlatform::GetUnixTime() { return unix_time ? *unix_time : Real().GetUnixTime(); }

bool FakePlatform::GetLocalTime(std::tm* local) {
  if (!local_time) return Real().GetLocalTime(local);
  *local = *local_time;
  return true;
}

std::string FakePlatform::CreateGuidText() {
  if (next_guid_ < guid_texts.size()) return guid_texts[next_guid_++];
  return Real().CreateGuidText();
}

std::string FakePlatform::GetCommandLineText() {
  return command_line_text ? *command_line_text : Real().GetCommandLineText();
}
bool FakePlatform::GetEnvironmentVariable(const std::string& name, std::string* value) {
  return Real().GetEnvironmentVariable(name, value);
}
bool FakePlatform::SetEnvironmentVariable(const std::string& name, const std::string& value) {
  return Real().SetEnvironmentVariable(name, value);
}
std::vector<std::string> FakePlatform::GetEnvironmentBlock() { return Real().GetEnvironmentBlock(); }
std::string FakePlatform::ExpandEnvironmentStrings(const std::string& text) {
  return Real().ExpandEnvironmentStrings(text);
}

bool FakePlatform::StartProcess(const std::string& command_line, unsigned* error) {
  started_processes.push_back(command_line);
  if (start_process_error) {
    *error = *start_process_error;
    return false;
  }
  *error = 0;
  return true;
}

std::string FakePlatform::FormatSystemMessage(unsigned error) {
  return Real().FormatSystemMessage(error);
}

std::string FakePlatform::LoadString(int id) { return Real().LoadString(id); }

void FakePlatform::ShowMessageBox(const std::string& text) { message_boxes.push_back(text); }

int FakePlatform::RunModalDialog(CDialog& dialog) {
  dialogs.push_back(&dialog);
  return on_dialog ? on_dialog(dialog) : 1;
}
