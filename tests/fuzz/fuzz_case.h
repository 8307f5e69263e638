/// What the fuzzers that run a generation share: one temporary folder per
/// process, and files written whole.
#ifndef PAGETRIX_TESTS_FUZZ_FUZZ_CASE_H_
#define PAGETRIX_TESTS_FUZZ_FUZZ_CASE_H_

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace fuzz_case {

/// A fresh folder below the temporary folder, made on the first call; the
/// environment is emptied then, so that no variable of the fuzzer's own
/// reaches a run.
inline const std::string& Root() {
  static const std::string root = [] {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "pagetrix-fuzz-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    ::clearenv();
    return pattern;
  }();
  return root;
}

inline void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) std::abort();
}

}  // namespace fuzz_case

#endif  // PAGETRIX_TESTS_FUZZ_FUZZ_CASE_H_
