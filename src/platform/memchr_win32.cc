// memchr for the Windows build. The C library the program links against
// (msvcrt.dll, and Wine's in particular) searches a byte at a time; the INI
// reader and the template filler find their separators with it, and under
// Wine this was a fifth of the time of a large table. This one compares
// sixteen bytes at once; a definition in the program is taken before the
// import library's.
#include <emmintrin.h>

#include <cstddef>
#include <cstdint>

namespace {

// Loads of aligned 16-byte blocks never cross into another page, so the
// bytes before the start and after the end in the first and last block can
// be read and masked out.
inline unsigned MatchMask(const unsigned char* block, __m128i needle) {
  const __m128i bytes = _mm_load_si128(reinterpret_cast<const __m128i*>(block));
  return static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, needle)));
}

}  // namespace

extern "C" void* memchr(const void* start, int value, std::size_t count) {
  if (count == 0) return nullptr;
  const auto* p = static_cast<const unsigned char*>(start);
  const __m128i needle = _mm_set1_epi8(static_cast<char>(value));
  const std::uintptr_t address = reinterpret_cast<std::uintptr_t>(p);
  const std::size_t offset = address & 15;
  const unsigned char* block = p - offset;
  unsigned mask = MatchMask(block, needle) >> offset;
  if (mask != 0) {
    const std::size_t at = static_cast<std::size_t>(__builtin_ctz(mask));
    return at < count ? const_cast<unsigned char*>(p + at) : nullptr;
  }
  std::size_t left = 16 - offset;  // bytes of the first block at and after p
  if (left >= count) return nullptr;
  left = count - left;
  block += 16;
  for (; left >= 16; left -= 16, block += 16) {
    mask = MatchMask(block, needle);
    if (mask != 0) return const_cast<unsigned char*>(block + __builtin_ctz(mask));
  }
  if (left == 0) return nullptr;
  mask = MatchMask(block, needle) & ((1u << left) - 1);
  return mask != 0 ? const_cast<unsigned char*>(block + __builtin_ctz(mask)) : nullptr;
}
