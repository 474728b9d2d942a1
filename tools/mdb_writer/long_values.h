// Memo values in rows: the 12-byte memo field with the value right after it inside the row, or
// the value moved to long-value (LVAL) pages, as one row when it fits a page, else as a chain of
// rows that each start with the pointer to the next.

#ifndef ORVANO_TOOLS_MDB_WRITER_LONG_VALUES_H_
#define ORVANO_TOOLS_MDB_WRITER_LONG_VALUES_H_

#include <string>
#include <string_view>

namespace orvano::jet4 {

class RowPlacer;

/// The memo field followed by `data`, for a value kept inside the row.
std::string InlineMemo(std::string_view data);

/// Stores `data` (UTF-16LE bytes) as rows placed by `long_value_pages` and returns the memo field
/// that points to them.
/// Throws ProgramError when `data` is longer than a memo can be (2^30 - 1 bytes).
std::string StoreMemo(RowPlacer& long_value_pages, std::string_view data);

}  // namespace orvano::jet4

#endif  // ORVANO_TOOLS_MDB_WRITER_LONG_VALUES_H_
