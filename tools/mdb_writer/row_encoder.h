// One table row in the Jet 4 row format: column count, fixed part, variable columns, their
// offset table and the null mask (which also holds the Boolean values). Memo values stay in the
// row when short and the row has room, else go to the column's long-value pages.

#ifndef ORVANO_TOOLS_MDB_WRITER_ROW_ENCODER_H_
#define ORVANO_TOOLS_MDB_WRITER_ROW_ENCODER_H_

#include <string>
#include <vector>

#include "mdb_table.h"

namespace orvano::jet4 {

class RowPlacer;
struct TableLayout;

/// The bytes of the row holding `values` (one per column of `layout`, already checked by
/// CheckTables; OLE columns are always null). Memo values that leave the row are stored through
/// `long_value_pages[column.long_value_slot]`.
/// Throws ProgramError when the row is longer than a page can hold.
std::string EncodeRow(const TableLayout& layout, const std::vector<tools::MdbValue>& values,
                      std::vector<RowPlacer>& long_value_pages);

}  // namespace orvano::jet4

#endif  // ORVANO_TOOLS_MDB_WRITER_ROW_ENCODER_H_
