// A ZIP archive held in memory (the container of an .xlsx workbook), read through libzip: looks
// up members by name and streams their inflated bytes in chunks, so that no member is held whole.
// Guards against ZIP bombs: declared sizes are checked before a member is opened and the real
// inflated bytes are counted while streaming. Not thread-safe; the bytes must outlive it.

#ifndef ORVANO_INPUTS_ZIP_ARCHIVE_H_
#define ORVANO_INPUTS_ZIP_ARCHIVE_H_

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace orvano {

class ZipArchive {
 public:
  /// All members read from one archive may inflate to at most this many bytes in all.
  static constexpr std::uint64_t kMaxTotalInflatedBytes = std::uint64_t{1} << 30;  // 1 GiB
  /// ... and to at most this many times the archive's size (but always to 1 MiB).
  static constexpr std::uint64_t kMaxInflationRatio = 200;
  static constexpr std::uint64_t kMinInflationAllowance = std::uint64_t{1} << 20;

  /// Opens the archive in `bytes`. Throws DataError naming the fault when libzip cannot read
  /// its central directory (truncated, damaged, not an archive).
  explicit ZipArchive(std::span<const std::byte> bytes);
  ~ZipArchive();
  ZipArchive(const ZipArchive&) = delete;
  ZipArchive& operator=(const ZipArchive&) = delete;

  /// True when the archive holds a member named `name` (ASCII letter case ignored, as package
  /// part names are compared).
  bool HasMember(std::string_view name) const;

  /// Calls `sink` with successive chunks of member `name`'s inflated bytes, in order. Throws
  /// DataError naming the member when it is missing, encrypted, compressed by a method libzip
  /// does not know, damaged (a bad checksum, a short stream), or when its declared or real size
  /// would take the archive past the inflation limit above. Lets what `sink` throws pass.
  void StreamMember(std::string_view name,
                    const std::function<void(std::string_view chunk)>& sink);

  /// The inflation limit of this archive, in bytes.
  std::uint64_t inflation_limit() const { return limit_; }

 private:
  struct Handle;
  std::unique_ptr<Handle> handle_;
  std::uint64_t limit_ = 0;
  std::uint64_t inflated_ = 0;  // bytes inflated so far, all members together
  std::size_t archive_size_ = 0;
};

}  // namespace orvano

#endif  // ORVANO_INPUTS_ZIP_ARCHIVE_H_
