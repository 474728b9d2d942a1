// AddressIndex: finds an address index in the address list of one depth of the texts in constant
// time. An open-addressing hash table of positions: the addresses stay in the list, so building
// it copies no text and a look-up touches few cache lines.

#ifndef ORVANO_INPUTS_ADDRESS_INDEX_H_
#define ORVANO_INPUTS_ADDRESS_INDEX_H_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "inputs/address_list.h"

namespace orvano {

class AddressIndex {
 public:
  /// Indexes the addresses of `list` (the first of equal ones). A list of 2^31 addresses or
  /// more is left unindexed.
  void Build(const AddressList& list);
  void Clear();

  /// The number of distinct addresses indexed; 0 when not built.
  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }

  /// The first position of `address` in `list` (the one it was built from); nullopt when it is
  /// not there.
  std::optional<std::size_t> Find(const AddressList& list, std::string_view address) const;

 private:
  struct Slot {
    std::uint32_t hash = 0;  // the high half of the address's hash
    std::uint32_t row = 0;   // position + 1; 0 marks an empty slot
  };

  std::vector<Slot> slots_;  // a power of two in size, at most half full
  std::size_t size_ = 0;
};

}  // namespace orvano

#endif  // ORVANO_INPUTS_ADDRESS_INDEX_H_
