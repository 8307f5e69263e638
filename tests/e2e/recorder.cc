// Test helper for the end-to-end tests, a small Windows program with two jobs.
//
// As a start program it writes its raw command line and its environment
// block to the file named by RECORDER_OUT: the command line, then each
// environment entry, every item followed by a NUL byte.
//
// With "--launch PLAN" it starts a program the way a user's shell would,
// with an exact raw command line: PLAN holds lines "ENV name=value",
// "CWD folder" and "CMD command line"; it waits for the program to end and
// exits with its exit code.
//
// With "--hold FILE SHARE READY MS" it plays another program that has FILE
// open: SHARE "read" lets other readers in, "none" nobody, "write" writes it
// and lets readers in (another run's log, say); once the file is open it
// creates READY, then keeps the file open for MS milliseconds.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

// Leaves a note beside the recording that never came, for the test to show.
static int Failed(const std::string& out_path, int code) {
  const DWORD error = GetLastError();
  FILE* f = std::fopen((out_path + ".failed").c_str(), "wb");
  if (f) {
    std::fprintf(f, "recorder step %d failed, system error %lu\n", code,
                 static_cast<unsigned long>(error));
    std::fclose(f);
  }
  return code;
}

static int Record() {
  char out_path[1024];
  DWORD n = GetEnvironmentVariableA("RECORDER_OUT", out_path, sizeof(out_path));
  if (n == 0 || n >= sizeof(out_path)) return 3;
  std::string data = GetCommandLineA();
  data.push_back('\0');
  char* block = GetEnvironmentStringsA();
  for (const char* p = block; *p; p += std::strlen(p) + 1) {
    data += p;
    data.push_back('\0');
  }
  FreeEnvironmentStringsA(block);
  // Written aside and renamed, so a test that sees the file sees all of it.
  std::string part = std::string(out_path) + ".part";
  FILE* f = std::fopen(part.c_str(), "wb");
  if (!f) return Failed(out_path, 4);
  bool written = std::fwrite(data.data(), 1, data.size(), f) == data.size();
  written = std::fclose(f) == 0 && written;
  if (!written) return Failed(out_path, 5);
  if (!MoveFileExA(part.c_str(), out_path, MOVEFILE_REPLACE_EXISTING)) return Failed(out_path, 6);
  return 0;
}

static int Launch(const char* plan_path) {
  std::ifstream plan(plan_path, std::ios::binary);
  if (!plan) return 90;
  std::string line, command;
  while (std::getline(plan, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.rfind("ENV ", 0) == 0) {
      std::string assignment = line.substr(4);
      size_t eq = assignment.find('=');
      if (eq == std::string::npos) continue;
      std::string name = assignment.substr(0, eq), value = assignment.substr(eq + 1);
      SetEnvironmentVariableA(name.c_str(), value.empty() ? nullptr : value.c_str());
    } else if (line.rfind("CWD ", 0) == 0) {
      SetCurrentDirectoryA(line.substr(4).c_str());
    } else if (line.rfind("CMD ", 0) == 0) {
      command = line.substr(4);
    }
  }
  STARTUPINFOA si;
  ZeroMemory(&si, sizeof(si));
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi;
  std::string buffer = command;
  if (!CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                      &pi))
    return 91;
  WaitForSingleObject(pi.hProcess, INFINITE);
  DWORD code = 92;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return static_cast<int>(code);
}

static int Hold(const char* path, const char* share, const char* ready, const char* ms) {
  const bool writes = std::strcmp(share, "write") == 0;
  DWORD mode = std::strcmp(share, "none") == 0 ? 0 : FILE_SHARE_READ;
  HANDLE file = CreateFileA(path, writes ? GENERIC_WRITE : GENERIC_READ, mode, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 93;
  FILE* marker = std::fopen(ready, "wb");
  if (marker) std::fclose(marker);
  Sleep(static_cast<DWORD>(std::strtoul(ms, nullptr, 10)));
  CloseHandle(file);
  return 0;
}

int main(int argc, char** argv) {
  if (argc >= 6 && std::strcmp(argv[1], "--hold") == 0)
    return Hold(argv[2], argv[3], argv[4], argv[5]);
  if (argc >= 3 && std::strcmp(argv[1], "--launch") == 0) return Launch(argv[2]);
  return Record();
}
