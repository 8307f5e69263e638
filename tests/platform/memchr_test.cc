#include <gtest/gtest.h>

#include <cstring>

namespace {

// The plain rule memchr must follow.
const void* FindByte(const unsigned char* p, int value, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    if (p[i] == static_cast<unsigned char>(value)) return p + i;
  }
  return nullptr;
}

// Every start within two blocks, every length up to five blocks, the byte at
// every place, missing, and just outside the range on either side.
TEST(MemchrTest, FindsTheFirstByteWithinTheRangeOnly) {
  alignas(64) unsigned char buffer[192];
  for (size_t start = 0; start < 32; ++start) {
    for (size_t count = 0; count <= 80; ++count) {
      for (int where = -1; where <= static_cast<int>(count); ++where) {
        std::memset(buffer, 'a', sizeof buffer);
        // The needle right before and right after the range must stay unseen.
        if (start > 0) buffer[start - 1] = 'x';
        buffer[start + count] = 'x';
        if (where >= 0 && where < static_cast<int>(count)) buffer[start + where] = 'x';
        if (where >= 0 && where + 3 < static_cast<int>(count)) buffer[start + where + 3] = 'x';
        const unsigned char* p = buffer + start;
        ASSERT_EQ(std::memchr(p, 'x', count), FindByte(p, 'x', count))
            << "start " << start << " count " << count << " at " << where;
      }
    }
  }
}

TEST(MemchrTest, ComparesAsUnsignedChar) {
  alignas(16) unsigned char buffer[40] = {};
  buffer[5] = 0xFF;
  buffer[33] = 0x80;
  EXPECT_EQ(std::memchr(buffer, -1, sizeof buffer), buffer + 5);
  EXPECT_EQ(std::memchr(buffer, 0x1FF, sizeof buffer), buffer + 5);
  EXPECT_EQ(std::memchr(buffer, 0x80, sizeof buffer), buffer + 33);
  EXPECT_EQ(std::memchr(buffer + 6, 0, 1), buffer + 6);
  EXPECT_EQ(std::memchr(buffer, 0x7F, sizeof buffer), nullptr);
}

}  // namespace
