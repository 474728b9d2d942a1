// A ZIP archive held in memory (the container of an .xlsx workbook), read through libzip: looks
// up members by name and streams their inflated bytes in chunks, so that no member is held whole.
// Guards against ZIP bombs: declared sizes are checked before a member is opened and the real
// inflated bytes are counted while streaming. One ZipArchive is not thread-safe, but several
// may read the same bytes on several threads, sharing one InflationBudget.

#ifndef ORVANO_INPUTS_ZIP_ARCHIVE_H_
#define ORVANO_INPUTS_ZIP_ARCHIVE_H_

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace orvano {

/// How many bytes the members of one archive may still inflate to, all readers together.
class InflationBudget {
 public:
  /// All members read from one archive may inflate to at most this many bytes in all...
  static constexpr std::uint64_t kMaxTotalInflatedBytes = std::uint64_t{1} << 30;  // 1 GiB
  /// ... and to at most this many times the archive's size (but always to 1 MiB).
  static constexpr std::uint64_t kMaxInflationRatio = 200;
  static constexpr std::uint64_t kMinInflationAllowance = std::uint64_t{1} << 20;

  /// The budget of an archive of `archive_size` bytes.
  explicit InflationBudget(std::size_t archive_size);

  /// Takes `bytes` from the budget; false (taking nothing) when fewer are left.
  bool Take(std::uint64_t bytes);
  /// True when `bytes` more would still fit (a check before inflating, taking nothing).
  bool Fits(std::uint64_t bytes) const { return bytes <= limit_ - used_.load(); }

  std::uint64_t limit() const { return limit_; }
  std::size_t archive_size() const { return archive_size_; }

 private:
  std::size_t archive_size_;
  std::uint64_t limit_;
  std::atomic<std::uint64_t> used_{0};
};

class ZipArchive {
 public:
  /// Opens the archive in `bytes`, with a budget of its own or the shared `budget`, which must
  /// outlive it. Throws DataError naming the fault when libzip cannot read its central
  /// directory (truncated, damaged, not an archive) or when two members share a name (ASCII
  /// letter case ignored).
  explicit ZipArchive(std::span<const std::byte> bytes);
  ZipArchive(std::span<const std::byte> bytes, InflationBudget& budget);
  ~ZipArchive();
  ZipArchive(const ZipArchive&) = delete;
  ZipArchive& operator=(const ZipArchive&) = delete;

  /// True when the archive holds a member named `name` (ASCII letter case ignored, as package
  /// part names are compared).
  bool HasMember(std::string_view name) const;

  /// Calls `sink` with successive chunks of member `name`'s inflated bytes, in order. Throws
  /// DataError naming the member when it is missing, encrypted, compressed by a method libzip
  /// does not know, damaged (a bad checksum, a short stream), or when its declared or real size
  /// would take the archive past its InflationBudget. Lets what `sink` throws pass.
  void StreamMember(std::string_view name, const std::function<void(std::string_view chunk)>& sink);

  const InflationBudget& budget() const { return budget_; }

 private:
  ZipArchive(std::span<const std::byte> bytes, std::unique_ptr<InflationBudget> own,
             InflationBudget* shared);

  struct Handle;
  std::unique_ptr<Handle> handle_;
  std::unique_ptr<InflationBudget> own_budget_;  // null when the budget is shared
  InflationBudget& budget_;
};

}  // namespace orvano

#endif  // ORVANO_INPUTS_ZIP_ARCHIVE_H_
