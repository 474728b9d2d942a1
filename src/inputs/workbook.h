// The readers of the module collection workbook: the list of its sheets (name and machine
// dependence per sheet number), one sheet read into a sheet table, and the row filter for
// conditional rows. The file is parsed once per run and kept in RunContext::workbook.

#ifndef ORVANO_INPUTS_WORKBOOK_H_
#define ORVANO_INPUTS_WORKBOOK_H_

#include <cstdint>

#include "support/table.h"

namespace orvano {

class ParsedWorkbook;
struct RunContext;

/// The workbook named by `context.settings.path_xl_collection`: the one in
/// `context.workbook` when it was read from that path, else read now (and kept there).
/// Throws what ReadWorkbookFile throws.
const ParsedWorkbook& OpenCollectionWorkbook(RunContext& context);

/// Reads the workbook afresh and fills `context.workbook.sheet_list`: entry k is sheet k's cell
/// (0, 0) as text and 1 when its cell (0, 1) reads "MASCHINENABHAENGIG" in any case. A sheet
/// with no cells, or with an empty first cell, keeps its place with an empty name, so that
/// entry k stays sheet k. Raises `max_column_index` to the widest sheet's column count.
/// Returns 1, or -1 after reporting under "XLCollectionSheetList" when the file cannot be
/// read, is damaged or holds no worksheet.
int XLCollectionSheetList(RunContext& context);

/// Reads sheet `sheet` (from 0) into `*table`: columns 0..c (c the sheet's column count,
/// column c empty), rows 0..the last row holding a non-empty cell, row 0 empty, rows that
/// LesenErlauben refuses left empty and column 0 of the others replaced by its text.
/// Returns 1, or -1 after reporting under "ReadCompleteExcelSheet" (no such sheet, file
/// unreadable); `*table` is unchanged then.
int ReadCompleteExcelSheet(RunContext& context, std::int32_t sheet, Table* table);

/// The row filter: whether a row whose first cell is `cell` is read, and in `*text` what its
/// first cell becomes. A text holding "###IF" (exact case) is a conditional row: with
/// "MITAUSWURFZAEHLERN" it follows `with_reject_counter`, else with "MITZUSATZSERVICEPRESETS"
/// `with_more_service_presets`, else it is refused; a taken row's text is what follows the last
/// "###". Any other cell is read unchanged. A refused row gives the empty text.
bool LesenErlauben(RunContext& context, const Cell& cell, Cell* text);

}  // namespace orvano

#endif  // ORVANO_INPUTS_WORKBOOK_H_
