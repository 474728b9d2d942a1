// ShownRow: a row a section page (or the overview page) shows, kept as data when a run asks for
// it (export, search, comparison): where it came from in the part it was built from, its font
// class and the texts its cells put on the page.

#ifndef ORVANO_TEMPLATES_SHOWN_ROWS_H_
#define ORVANO_TEMPLATES_SHOWN_ROWS_H_

#include <cstddef>
#include <string>
#include <vector>

#include "support/table.h"

namespace orvano {

/// Which row of a part table a row of a page's fields was built from.
struct PartRowOrigin {
  std::size_t part_row = 0;  // the row (from 1) of the part table
  int block = 0;             // a generated row's range block (from 1); 0 for the part's own row
  int repetition = 0;        // a generated row's repetition in its block (from 1)
};

struct ShownRow {
  std::string position;  // the position the rows were built for; "" on a page of none
  PartRowOrigin origin;
  std::string font_class;  // the text of column 0
  /// cells[k] is what the placeholder "###ZELLE###" k + 1 puts on the page (so cells[0] is the
  /// font class), trimmed as the page trims it; empty cells at the end are left out.
  std::vector<std::string> cells;
  /// The columns (indexes into `cells`) whose part cell held an address formula.
  std::vector<std::size_t> address_columns;
};

/// Appends to `*shown` the rows of `fields` (rows 1..R; `origins[r - 1]` is where row r came
/// from in `part`) that a page shows: those with a font class. A cell is an address cell when
/// its cell in `part` held an address formula.
void AppendShownRows(const Table& fields, const std::vector<PartRowOrigin>& origins,
                     const Table& part, const std::string& position, std::vector<ShownRow>* shown);

}  // namespace orvano

#endif  // ORVANO_TEMPLATES_SHOWN_ROWS_H_
