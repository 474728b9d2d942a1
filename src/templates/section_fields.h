// Section fields: moving workbook content into pages. Direct cells ("###DIREKT###" column ","
// row) take single cells of the sheet "CommonDirect"; section rows become HTML through their
// font class, each row's cells filling the "###ZELLE###" n placeholders of the class's lines;
// the range blocks of the sheet "Standard" take the place of their ranges.

#ifndef ORVANO_TEMPLATES_SECTION_FIELDS_H_
#define ORVANO_TEMPLATES_SECTION_FIELDS_H_

#include <string>
#include <string_view>

#include "support/table.h"
#include "templates/template_set.h"

namespace orvano {

struct FontClassTable;
struct RunContext;

/// Reads the sheet "CommonDirect" (name compared without regard to case) into
/// `context.direct_cells` and sets the current sheet index to it. Returns 1 when read, -1 when
/// the workbook has no such sheet or it cannot be read.
int LoadDirectExcelSheet(RunContext& context);

/// Parses the first direct reference of `text`: the digits right after "###DIREKT###" into
/// `*column`, and the digits after one separator character into `*row` (each empty when
/// missing). `*separator` gets that character (0 when none). Returns 1.
int GetDirectCellAddress(std::string_view text, std::string* column, std::string* row,
                         char* separator);

/// `text` with every direct reference "###DIREKT###" column "," row replaced by the text of that
/// cell of the direct sheet, re-decoded through the language's code page and trimmed. A cell
/// text that holds references is worked out in turn, for at most 1000 rounds ("Direct cell
/// reference does not end: " in the event log). A malformed reference is noted in the event log
/// ("Direct cell reference not valid: ") and left in the text. A cell outside the direct sheet
/// is reported (subscript out of range) under "GetDirectExcelCell" and left in the text.
/// Throws only EndProgram.
std::string GetDirectExcelCell(RunContext& context, std::string_view text);

/// The section fields of `section` (a section table): rows 1..R in order, where on the sheet
/// "Standard" each range from its start marker row to its end marker row is replaced by the
/// rows of the block whose number the end marker carries (no number: the range is dropped);
/// rows with an empty class column at the end are cut. An end marker followed by something that
/// is not a block number is reported under "GetSectionFieldXL". Throws only EndProgram.
Table GetSectionFieldXL(RunContext& context, const Table& section);

/// Appends to `*out` the HTML of `fields` (rows 1..R): each group of consecutive rows of one
/// class writes the class's opening part, its main part once per row with the row's cells
/// filled in, and its closing part. Rows with an empty class column are skipped as if absent;
/// a class that `classes` lacks writes "Following Fontclass not defined: " + the class text.
/// Throws only EndProgram.
void TransferXLFieldToSectionHTML(RunContext& context, const Table& fields, LineList* out,
                                  const FontClassTable& classes);

/// `line` (a main-part line) with every "###ZELLE###" n replaced by the text of column n - 1 of
/// row `row` of `fields` (nothing beyond the last column). A placeholder without a number (or
/// with 0) is noted in the event log with the sheet, row and placeholder, and left.
std::string FillCellPlaceholders(RunContext& context, std::string line, const Table& fields,
                                 std::size_t row);

/// Appends rows 1..of `source` to `*destination`, which becomes at least as wide as both and as
/// the workbook's widest sheet.
void AppendTextField(RunContext& context, const Table& source, Table* destination);

}  // namespace orvano

#endif  // ORVANO_TEMPLATES_SECTION_FIELDS_H_
