#include "inputs/address_index.h"

#include <bit>
#include <functional>
#include <string>

namespace orvano {
namespace {

std::uint64_t HashOf(std::string_view text) { return std::hash<std::string_view>{}(text); }

}  // namespace

const std::string* AddressIndex::AddressAt(const Table& table, std::size_t row) {
  if (row >= table.row_count() || table.column_count() < 1) return nullptr;
  return std::get_if<std::string>(&table.rows()[row][0]);
}

void AddressIndex::Clear() {
  slots_.clear();
  size_ = 0;
}

void AddressIndex::Build(const Table& table) {
  Clear();
  const std::size_t rows = table.row_count();
  if (rows == 0 || rows >= (std::size_t{1} << 31)) return;
  slots_.resize(std::bit_ceil(2 * rows));
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t r = 0; r < rows; ++r) {
    const std::string* address = AddressAt(table, r);
    if (address == nullptr) continue;
    const std::uint64_t hash = HashOf(*address);
    const auto high = static_cast<std::uint32_t>(hash >> 32);
    for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
      Slot& slot = slots_[at];
      if (slot.row == 0) {
        slot = {high, static_cast<std::uint32_t>(r + 1)};
        ++size_;
        break;
      }
      if (slot.hash == high && *AddressAt(table, slot.row - 1) == *address) break;  // keep first
    }
  }
}

std::optional<std::size_t> AddressIndex::Find(const Table& table, std::string_view address) const {
  if (slots_.empty()) return std::nullopt;
  const std::uint64_t hash = HashOf(address);
  const auto high = static_cast<std::uint32_t>(hash >> 32);
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
    const Slot& slot = slots_[at];
    if (slot.row == 0) return std::nullopt;
    if (slot.hash != high) continue;
    // A table changed since the index was built may no longer hold the row.
    const std::string* found = AddressAt(table, slot.row - 1);
    if (found != nullptr && *found == address) return slot.row - 1;
  }
}

}  // namespace orvano
