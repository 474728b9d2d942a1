// Little-endian integers in byte strings: the one way the writer puts multi-byte fields into
// pages and rows. Header-only; used by every page builder of the Jet 4 writer.

#ifndef ORVANO_TOOLS_MDB_WRITER_LE_BYTES_H_
#define ORVANO_TOOLS_MDB_WRITER_LE_BYTES_H_

#include <cstddef>
#include <cstdint>
#include <string>

namespace orvano::jet4 {

/// Writes the low `size` bytes of `value` at `offset` of `bytes`, least significant first.
/// Requires: offset + size <= bytes.size().
inline void PutLe(std::string& bytes, std::size_t offset, std::uint64_t value, std::size_t size) {
  for (std::size_t i = 0; i < size; ++i) {
    bytes[offset + i] = static_cast<char>((value >> (8 * i)) & 0xff);
  }
}
inline void PutU16(std::string& bytes, std::size_t offset, std::uint16_t value) {
  PutLe(bytes, offset, value, 2);
}
inline void PutU32(std::string& bytes, std::size_t offset, std::uint32_t value) {
  PutLe(bytes, offset, value, 4);
}

/// Appends `value` to `bytes`, least significant byte first.
inline void AppendU8(std::string& bytes, std::uint8_t value) {
  bytes.push_back(static_cast<char>(value));
}
inline void AppendU16(std::string& bytes, std::uint16_t value) {
  bytes.append(2, '\0');
  PutU16(bytes, bytes.size() - 2, value);
}
inline void AppendU32(std::string& bytes, std::uint32_t value) {
  bytes.append(4, '\0');
  PutU32(bytes, bytes.size() - 4, value);
}

/// Reads the 2-byte little-endian value at `offset` of `bytes` (pages the writer built itself).
inline std::uint16_t GetU16(const std::string& bytes, std::size_t offset) {
  return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[offset]) |
                                    (static_cast<unsigned char>(bytes[offset + 1]) << 8));
}

}  // namespace orvano::jet4

#endif  // ORVANO_TOOLS_MDB_WRITER_LE_BYTES_H_
