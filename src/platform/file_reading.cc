#include "platform/file_reading.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

#include "platform/files_common.h"

namespace {

class BytesFile final : public ReadableFile {
 public:
  BytesFile(std::string bytes, ReadFailure failure) : bytes_(std::move(bytes)), failure_(failure) {}

  std::uint64_t Size() const override { return bytes_.size(); }

  bool Read(char* into, size_t size, size_t* got) override {
    if (failure_ == ReadFailure::kNoMemory) throw std::bad_alloc();
    *got = std::min(size, bytes_.size() - position_);
    if (*got != 0) std::memcpy(into, bytes_.data() + position_, *got);
    position_ += *got;
    return *got == size || failure_ != ReadFailure::kAfterBytes;
  }

 private:
  std::string bytes_;
  ReadFailure failure_;
  size_t position_ = 0;
};

}  // namespace

ReadResult ReadFileToString(FileSystem& files, const std::string& path, std::string* bytes,
                            std::uint64_t limit) {
  bytes->clear();
  std::unique_ptr<ReadableFile> file = files.OpenForReading(path);
  if (!file) return ReadResult::kCannotOpen;
  const std::uint64_t size = file->Size();
  if (size > limit) return ReadResult::kReadError;
  try {
    // Straight into the string, in one read of the size and a byte more: a
    // short read of a regular file is its end. A file that grew meanwhile
    // is read on in pieces, up to the limit.
    constexpr size_t kPiece = 65536;
    bytes->reserve(static_cast<size_t>(size) + 1);
    AskForLargePages(bytes->data(), bytes->capacity());
    bytes->resize(static_cast<size_t>(size) + 1);
    size_t total = 0;
    while (true) {
      if (total == bytes->size()) bytes->resize(total + kPiece);
      const size_t room = bytes->size() - total;
      const size_t want = room > kPiece && total != 0 ? kPiece : room;
      size_t got = 0;
      if (!file->Read(bytes->data() + total, want, &got)) {
        bytes->resize(total + got);
        return ReadResult::kReadError;
      }
      if (total + got > limit) {
        bytes->resize(total);
        return ReadResult::kReadError;
      }
      total += got;
      if (got < want) {
        bytes->resize(total);
        return ReadResult::kOk;
      }
    }
  } catch (const std::bad_alloc&) {
    bytes->clear();
    bytes->shrink_to_fit();
    return ReadResult::kNoMemory;
  }
}

bool ReadFileHead(FileSystem& files, const std::string& path, size_t max_bytes,
                  std::string* bytes) {
  bytes->clear();
  std::unique_ptr<ReadableFile> file = files.OpenForReading(path);
  if (!file) return false;
  bytes->resize(max_bytes);
  size_t got = 0;
  if (!file->Read(bytes->data(), max_bytes, &got)) {
    bytes->clear();
    return false;
  }
  bytes->resize(got);
  return true;
}

std::unique_ptr<ReadableFile> ReadableBytes(std::string bytes, ReadFailure failure) {
  return std::make_unique<BytesFile>(std::move(bytes), failure);
}
