#include "platform/file_reading.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <random>
#include <string>

#include "platform/platform_wrapper.h"

namespace {

// A file whose size, as told when it was opened, may differ from what it
// holds by the time it is read (it grew or shrank meanwhile), and whose
// reading may break off at a chosen byte.
class ChangingFile final : public ReadableFile {
 public:
  ChangingFile(std::string bytes, std::uint64_t told, size_t breaks_at)
      : bytes_(std::move(bytes)), told_(told), breaks_at_(breaks_at) {}
  std::uint64_t Size() const override { return told_; }
  bool Read(char* into, size_t size, size_t* got) override {
    const size_t end = std::min(bytes_.size(), breaks_at_);
    *got = std::min(size, end - position_);
    std::memcpy(into, bytes_.data() + position_, *got);
    position_ += *got;
    return *got == size || position_ < breaks_at_;
  }

 private:
  std::string bytes_;
  std::uint64_t told_;
  size_t breaks_at_;
  size_t position_ = 0;
};

class ChangingFiles final : public PlatformWrapper {
 public:
  std::string bytes;
  std::uint64_t told = 0;
  size_t breaks_at = std::string::npos;
  std::unique_ptr<ReadableFile> OpenForReading(const std::string& path) override {
    if (path != "f") return nullptr;
    return std::make_unique<ChangingFile>(bytes, told, breaks_at);
  }
};

// Every file is read whole as long as it stays within the limit, however
// its size changed between the open and the reading; a larger one, or one
// whose reading breaks off, is a read error that keeps what came before.
TEST(FileReadingTest, WholeFilesWithinTheLimitWhateverSizeWasTold) {
  std::mt19937 random(23);
  ChangingFiles files;
  for (int round = 0; round < 400; ++round) {
    // Around the pieces of 64 KiB a growing file is read on in, or small.
    const size_t size =
        random() % 4 == 0 ? random() % 8 : 65536 * (1 + random() % 3) + random() % 3 - 1;
    files.bytes.resize(size);
    for (char& c : files.bytes) c = static_cast<char>(random());
    const std::uint64_t slack = random() % 3 == 0 ? 0 : random() % 140000;
    files.told = random() % 2 == 0 ? size + slack : size - std::min<std::uint64_t>(slack, size);
    const std::uint64_t limit = random() % 3 == 0 ? size - (size != 0) : size + random() % 3;
    const bool breaks = random() % 4 == 0 && size != 0;
    files.breaks_at = breaks ? random() % size : std::string::npos;
    std::string read = "stale";
    const ReadResult result = ReadFileToString(files, "f", &read, limit);
    const std::string context = "size " + std::to_string(size) + ", told " +
                                std::to_string(files.told) + ", limit " + std::to_string(limit);
    if (files.told > limit) {
      EXPECT_EQ(ReadResult::kReadError, result) << context;
      EXPECT_EQ("", read) << context;
    } else if (breaks) {
      EXPECT_EQ(ReadResult::kReadError, result) << context;
      EXPECT_TRUE(files.bytes.compare(0, read.size(), read) == 0) << context;
      EXPECT_LE(read.size(), files.breaks_at) << context;
    } else if (size > limit) {
      EXPECT_EQ(ReadResult::kReadError, result) << context;
      EXPECT_TRUE(files.bytes.compare(0, read.size(), read) == 0) << context;
    } else {
      EXPECT_EQ(ReadResult::kOk, result) << context;
      EXPECT_TRUE(read == files.bytes) << context;
    }
    std::string head;
    const size_t want = random() % (size + 2);
    if (!breaks) {
      ASSERT_TRUE(ReadFileHead(files, "f", want, &head)) << context;
      EXPECT_TRUE(head == files.bytes.substr(0, want)) << context;
    }
  }
  std::string read = "stale";
  EXPECT_EQ(ReadResult::kCannotOpen, ReadFileToString(files, "missing", &read));
  EXPECT_EQ("", read);
  EXPECT_FALSE(ReadFileHead(files, "missing", 4, &read));
}

TEST(FileReadingTest, BytesInMemoryEndAsTheyAreTold) {
  char buffer[8];
  size_t got = 0;
  std::unique_ptr<ReadableFile> plain = ReadableBytes("abcde");
  EXPECT_EQ(5u, plain->Size());
  EXPECT_TRUE(plain->Read(buffer, 3, &got));
  EXPECT_EQ(3u, got);
  EXPECT_TRUE(plain->Read(buffer, 8, &got));
  EXPECT_EQ("de", std::string(buffer, got));
  EXPECT_TRUE(plain->Read(buffer, 8, &got));
  EXPECT_EQ(0u, got);

  std::unique_ptr<ReadableFile> breaking = ReadableBytes("abcde", ReadFailure::kAfterBytes);
  EXPECT_TRUE(breaking->Read(buffer, 5, &got));
  EXPECT_FALSE(breaking->Read(buffer, 1, &got));

  // What a whole read makes of them.
  class Held final : public PlatformWrapper {
   public:
    ReadFailure failure = ReadFailure::kNone;
    std::unique_ptr<ReadableFile> OpenForReading(const std::string&) override {
      return ReadableBytes("abcde", failure);
    }
  } held;
  std::string read;
  EXPECT_EQ(ReadResult::kOk, ReadFileToString(held, "x", &read));
  EXPECT_EQ("abcde", read);
  held.failure = ReadFailure::kAfterBytes;
  EXPECT_EQ(ReadResult::kReadError, ReadFileToString(held, "x", &read));
  EXPECT_EQ("abcde", read);
  held.failure = ReadFailure::kNoMemory;
  EXPECT_EQ(ReadResult::kNoMemory, ReadFileToString(held, "x", &read));
  EXPECT_EQ("", read);
}

}  // namespace
