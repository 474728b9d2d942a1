// SheetList: what the module collection workbook says about its sheets before any is read: the
// name of each sheet (its first cell) and whether its section is built once per machine, in
// workbook order, and the widest sheet's column count. Made once per run by the workbook reader.

#ifndef ORVANO_INPUTS_SHEET_LIST_H_
#define ORVANO_INPUTS_SHEET_LIST_H_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvano {

struct SheetEntry {
  std::string name;                   // cell (0, 0) of the sheet; "" when it has none
  bool is_machine_dependent = false;  // cell (0, 1) reads "MASCHINENABHAENGIG"
};

struct SheetList {
  std::vector<SheetEntry> entries;       // entry k is sheet k of the workbook
  std::int16_t widest_column_count = 0;  // the column count of the widest sheet

  /// The first sheet named exactly `name`; nullopt when there is none.
  std::optional<std::size_t> Find(std::string_view name) const {
    for (std::size_t k = 0; k < entries.size(); ++k) {
      if (entries[k].name == name) return k;
    }
    return std::nullopt;
  }

  /// The first sheet whose name equals `name` without regard to letter case; nullopt when there
  /// is none.
  std::optional<std::size_t> FindIgnoringCase(std::string_view name) const;
};

}  // namespace orvano

#endif  // ORVANO_INPUTS_SHEET_LIST_H_
