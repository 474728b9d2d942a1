#include "inputs/address_list.h"

#include "support/table.h"

namespace orvano {

std::optional<std::size_t> AddressList::FindInOrder(std::string_view address) const {
  std::size_t low = 0;
  std::size_t high = size();
  while (low < high) {
    const std::size_t middle = low + (high - low) / 2;
    if (CompareCodeUnits((*this)[middle], address) < 0) {
      low = middle + 1;
    } else {
      high = middle;
    }
  }
  if (low == size() || (*this)[low] != address) return std::nullopt;
  return low;
}

}  // namespace orvano
