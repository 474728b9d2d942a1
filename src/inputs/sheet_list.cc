#include "inputs/sheet_list.h"

#include "support/text_case.h"

namespace orvano {

std::optional<std::size_t> SheetList::FindIgnoringCase(std::string_view name) const {
  for (std::size_t k = 0; k < entries.size(); ++k) {
    if (EqualsIgnoringCase(entries[k].name, name)) return k;
  }
  return std::nullopt;
}

}  // namespace orvano
