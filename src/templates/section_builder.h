// The section page builder: turns one part of a workbook sheet (its overview part or its main
// part) into a section table whose cells have their wildcards, conditions and formulas worked out
// for the current machine and position. On the sheet "Standard" it expands the reject, warning
// and fault ranges into generated row blocks (RangeBlocks) for the field extraction.

#ifndef ORVANO_TEMPLATES_SECTION_BUILDER_H_
#define ORVANO_TEMPLATES_SECTION_BUILDER_H_

#include <string>

#include "support/table.h"

namespace orvano {

struct RunContext;

/// The section table of `part`: columns 1..C of rows 1..R worked out (column 0 and row 0 as
/// they are). Rebuilds `context.build.wildcards` from the current page and empties
/// `context.build.range_blocks`; on the sheet "Standard" (any case) every range from
/// "###SDR[...]" to "###EDR[...]" becomes a block of repetitions appended to range_blocks, and
/// its two marker cells get the block's number appended. A range with no rows between its markers
/// whose item count differs from the base count is reported (division by zero) under
/// "GetHTMLFromXL" and gives no block. Throws only EndProgram.
Table GetHTMLFromXL(RunContext& context, const Table& part);

/// True when the current page's sheet is the sheet "Standard" (any letter case).
bool IsStandardSheet(const RunContext& context);

/// The name of the current page's sheet in the sheet list; "" when there is none.
std::string CurrentSheetName(const RunContext& context);

}  // namespace orvano

#endif  // ORVANO_TEMPLATES_SECTION_BUILDER_H_
