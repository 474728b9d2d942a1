// The page being built and the state the section page builder leaves for the formulas and the
// field extraction: written by the driver and the page editing, read by the template engine.

#ifndef ORVANO_TEMPLATES_CURRENT_PAGE_H_
#define ORVANO_TEMPLATES_CURRENT_PAGE_H_

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "support/table.h"

namespace orvano {

struct CurrentPage {
  std::int32_t sheet_index = -1;    // CurrentSheetIndex: position in the sheet list, -1 none
  std::int16_t machine_index = -1;  // CurrentMachineIndex: 1-based, -1 for no machine
  std::string machine_name = "-1";  // CurrentMachineName: "-1" for no machine
  std::string position = "2";       // CurrentPosition: a number as text
};

struct SectionBuild {
  /// WildcardTable: the keys "MNR", "FLD", "OVERVIEW", "MAIN" and their values, in this order.
  std::array<std::pair<std::string, std::string>, 4> wildcards = {
      {{"MNR", ""}, {"FLD", ""}, {"OVERVIEW", ""}, {"MAIN", ""}}};
  /// RangeBlocks: element 0 empty, blocks numbered from 1, each with its rows from 1.
  std::vector<Table> range_blocks = std::vector<Table>(1);
  /// BlockNumber: the repetition being generated inside a block (1-based).
  std::int32_t block_number = 0;
};

}  // namespace orvano

#endif  // ORVANO_TEMPLATES_CURRENT_PAGE_H_
