// TextTable: every text of the run's language with its address index, by depth. Entry k holds
// the texts whose address index has k + 1 dots, as a table of two columns (0: address index,
// 1: the text or null), sorted by column 0 for FindStringInArray.

#ifndef ORVANO_INPUTS_TEXT_TABLE_H_
#define ORVANO_INPUTS_TEXT_TABLE_H_

#include <array>

#include "support/table.h"

namespace orvano {

struct TextTable {
  /// depths[k]: texts with k + 1 dots in their address index; a table without rows when none.
  std::array<Table, 5> depths;
};

}  // namespace orvano

#endif  // ORVANO_INPUTS_TEXT_TABLE_H_
