// ByteReader: bounded little-endian reading of untrusted bytes. Every parser of a file format
// reads through it; each call checks the bytes left first and throws DataError instead of
// reading past the end. A reader does not own its bytes: the span must outlive it.

#ifndef ORVANO_SUPPORT_BYTE_READER_H_
#define ORVANO_SUPPORT_BYTE_READER_H_

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

namespace orvano {

/// Damage found while parsing bytes: the message names the place (offset, record) and the
/// limit broken. A format's entry point adds the file name and turns it into the program's
/// error type.
class DataError : public std::runtime_error {
 public:
  explicit DataError(const std::string& message) : std::runtime_error(message) {}
};

/// `a` + `b`, or DataError naming `what` when the sum does not fit in std::size_t.
std::size_t CheckedAdd(std::size_t a, std::size_t b, const char* what);
/// `a` * `b`, or DataError naming `what` when the product does not fit in std::size_t.
std::size_t CheckedMul(std::size_t a, std::size_t b, const char* what);

class ByteReader {
 public:
  ByteReader() = default;
  /// Reads `bytes`; offsets are reported from `base` (the position of `bytes` in the whole).
  explicit ByteReader(std::span<const std::byte> bytes, std::size_t base = 0)
      : bytes_(bytes), base_(base) {}

  /// Position in the whole input (base plus bytes consumed).
  std::size_t offset() const { return base_ + pos_; }
  std::size_t remaining() const { return bytes_.size() - pos_; }
  bool empty() const { return pos_ == bytes_.size(); }

  /// The next value, little-endian. Throws DataError when too few bytes are left.
  std::uint8_t U8() {
    Need(1);
    return static_cast<std::uint8_t>(bytes_[pos_++]);
  }
  std::uint16_t U16() {
    Need(2);
    const std::uint16_t v = static_cast<std::uint16_t>(At(0) | (At(1) << 8));
    pos_ += 2;
    return v;
  }
  std::uint32_t U32() {
    Need(4);
    const std::uint32_t v = At(0) | (At(1) << 8) | (At(2) << 16) | (At(3) << 24);
    pos_ += 4;
    return v;
  }
  std::uint64_t U64() {
    Need(8);  // so that a failed read consumes nothing
    const std::uint64_t low = U32();
    return low | (static_cast<std::uint64_t>(U32()) << 32);
  }
  /// An IEEE double stored in 8 little-endian bytes.
  double F64();

  /// The next `n` bytes as a view into the input. Throws DataError when fewer are left.
  std::span<const std::byte> Bytes(std::size_t n) {
    Need(n);
    auto out = bytes_.subspan(pos_, n);
    pos_ += n;
    return out;
  }
  void Skip(std::size_t n) {
    Need(n);
    pos_ += n;
  }
  /// A child reader over the next `n` bytes, which this reader skips.
  ByteReader Sub(std::size_t n) {
    const std::size_t start = offset();
    return ByteReader(Bytes(n), start);
  }

 private:
  std::uint32_t At(std::size_t i) const {
    return static_cast<std::uint32_t>(static_cast<std::uint8_t>(bytes_[pos_ + i]));
  }
  void Need(std::size_t n) const {
    if (n > remaining()) Fail(n);
  }
  [[noreturn]] void Fail(std::size_t n) const;

  std::span<const std::byte> bytes_;
  std::size_t base_ = 0;
  std::size_t pos_ = 0;
};

/// A view of the bytes of `text` (files are read into std::string).
inline std::span<const std::byte> AsBytes(std::string_view text) {
  return std::as_bytes(std::span<const char>(text.data(), text.size()));
}

}  // namespace orvano

#endif  // ORVANO_SUPPORT_BYTE_READER_H_
