// The section page builder: turns one part of a workbook sheet (its overview part or its main
// part) into a section table whose cells have their wildcards, conditions and formulas worked out
// for the page's machine and position. On the sheet "Standard" it expands the reject, warning and
// fault ranges into generated row blocks (the page's range blocks) for the field extraction.

#ifndef ORVANO_TEMPLATES_SECTION_BUILDER_H_
#define ORVANO_TEMPLATES_SECTION_BUILDER_H_

#include <string_view>

#include "support/table.h"

namespace orvano {

class ErrorSink;
class PreparedPart;
struct PageState;
struct RunInputs;
struct SheetList;

/// The section table of `part`: columns 1..C of rows 1..R worked out (column 0 and row 0 as
/// they are). Resets `page.wildcards` (see ResetWildcards) and empties `page.range_blocks`; on
/// the sheet "Standard" (any case) every range from "###SDR[...]" to "###EDR[...]" becomes a
/// block of repetitions appended to the range blocks, and its two marker cells get the block's
/// number appended; `page.block_number` is left at the last repetition generated. A range with
/// no rows between its markers whose item count differs from the base count is reported
/// (division by zero) under "GetHTMLFromXL" and gives no block. With `prepared` (the
/// PreparedPart of `part`), its prepared cells are put together rather than worked out, with the
/// same result. Throws only EndProgram.
Table BuildSectionTable(const RunInputs& inputs, PageState& page, const Table& part,
                        ErrorSink& errors, const PreparedPart* prepared = nullptr);

/// Sets the wildcard values a section table is built with: "MNR" the page's machine name, "FLD"
/// its position, "OVERVIEW" and "MAIN" empty.
void ResetWildcards(PageState& page);

/// The name of the page's sheet in `sheets`; "" when the page has none. The text lives in
/// `sheets`.
std::string_view CurrentSheetName(const SheetList& sheets, const PageState& page);

/// True when the page's sheet is the sheet "Standard" (any letter case).
bool IsStandardSheet(const SheetList& sheets, const PageState& page);

}  // namespace orvano

#endif  // ORVANO_TEMPLATES_SECTION_BUILDER_H_
