// Eight bytes at a time: texts are scanned a machine word at a time where most of their bytes
// need nothing done. A word is the bytes as loaded with memcpy; marks are the high bit of each
// byte that was looked for.

#ifndef ORVANO_SUPPORT_BYTE_WORDS_H_
#define ORVANO_SUPPORT_BYTE_WORDS_H_

#include <bit>
#include <cstddef>
#include <cstdint>

namespace orvano {

inline constexpr std::uint64_t kEveryByteOne = 0x0101010101010101;
inline constexpr std::uint64_t kEveryByteHigh = 0x8080808080808080;

/// Marks the bytes of `word` that are `byte`, and perhaps bytes after the first of them (a
/// borrow can carry on), never one before it.
constexpr std::uint64_t MarkBytesEqualTo(std::uint64_t word, unsigned char byte) {
  const std::uint64_t zero_where_equal = word ^ (kEveryByteOne * byte);
  return (zero_where_equal - kEveryByteOne) & ~zero_where_equal & kEveryByteHigh;
}

/// Marks the bytes of `word` below `limit` (at most 0x80), and perhaps bytes after the first
/// of them, never one before it.
constexpr std::uint64_t MarkBytesBelow(std::uint64_t word, unsigned char limit) {
  return (word - kEveryByteOne * limit) & ~word & kEveryByteHigh;
}

/// The place, in memory order, of the first marked byte of `marks` (not 0).
inline std::size_t FirstMarkedByte(std::uint64_t marks) {
  if constexpr (std::endian::native == std::endian::little) {
    return static_cast<std::size_t>(std::countr_zero(marks)) / 8;
  } else {
    return static_cast<std::size_t>(std::countl_zero(marks)) / 8;
  }
}

}  // namespace orvano

#endif  // ORVANO_SUPPORT_BYTE_WORDS_H_
