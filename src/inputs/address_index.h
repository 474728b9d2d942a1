// AddressIndex: finds the row of an address index in one depth table of the texts in constant
// time. An open-addressing hash table of row numbers: the addresses stay in the table, so
// building it copies no text and a look-up touches few cache lines.

#ifndef ORVANO_INPUTS_ADDRESS_INDEX_H_
#define ORVANO_INPUTS_ADDRESS_INDEX_H_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "support/table.h"

namespace orvano {

class AddressIndex {
 public:
  /// Indexes the text cells of column 0 of `table` (the first row of equal ones). A table of
  /// 2^31 rows or more is left unindexed.
  void Build(const Table& table);
  void Clear();

  /// The number of distinct addresses indexed; 0 when not built.
  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }

  /// The first row of `table` (the one it was built from) whose column 0 is the text `address`;
  /// nullopt when there is none.
  std::optional<std::size_t> Find(const Table& table, std::string_view address) const;

 private:
  struct Slot {
    std::uint32_t hash = 0;  // the high half of the address's hash
    std::uint32_t row = 0;   // row + 1; 0 marks an empty slot
  };
  static const std::string* AddressAt(const Table& table, std::size_t row);

  std::vector<Slot> slots_;  // a power of two in size, at most half full
  std::size_t size_ = 0;
};

}  // namespace orvano

#endif  // ORVANO_INPUTS_ADDRESS_INDEX_H_
