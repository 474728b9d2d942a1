#include "inputs/address_index.h"

#include <bit>
#include <functional>
#include <string_view>

namespace orvano {
namespace {

std::uint64_t HashOf(std::string_view text) { return std::hash<std::string_view>{}(text); }

}  // namespace

void AddressIndex::Clear() {
  slots_.clear();
  size_ = 0;
}

void AddressIndex::Build(const AddressList& list) {
  Clear();
  const std::size_t rows = list.size();
  if (rows == 0 || rows >= (std::size_t{1} << 31)) return;
  slots_.resize(std::bit_ceil(2 * rows));
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t r = 0; r < rows; ++r) {
    const std::string_view address = list[r];
    const std::uint64_t hash = HashOf(address);
    const auto high = static_cast<std::uint32_t>(hash >> 32);
    for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
      Slot& slot = slots_[at];
      if (slot.row == 0) {
        slot = {high, static_cast<std::uint32_t>(r + 1)};
        ++size_;
        break;
      }
      if (slot.hash == high && list[slot.row - 1] == address) break;  // keep the first
    }
  }
}

std::optional<std::size_t> AddressIndex::Find(const AddressList& list,
                                              std::string_view address) const {
  if (slots_.empty()) return std::nullopt;
  const std::uint64_t hash = HashOf(address);
  const auto high = static_cast<std::uint32_t>(hash >> 32);
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
    const Slot& slot = slots_[at];
    if (slot.row == 0) return std::nullopt;
    if (slot.hash != high) continue;
    // A list other than the one indexed may not hold the position.
    if (slot.row <= list.size() && list[slot.row - 1] == address) return slot.row - 1;
  }
}

}  // namespace orvano
