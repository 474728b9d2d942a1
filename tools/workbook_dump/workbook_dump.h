// The workbook as our reader sees it, as JSON: per worksheet its tab name, row and column
// counts and one line per non-empty cell [row, column, type, value]. Used by the workbook_dump
// command, to see why a sheet is not read as expected, and to check the reader against dumps
// made by an independent reader.

#ifndef ORVANO_TOOLS_WORKBOOK_DUMP_WORKBOOK_DUMP_H_
#define ORVANO_TOOLS_WORKBOOK_DUMP_WORKBOOK_DUMP_H_

#include <string>

namespace orvano {

class ParsedWorkbook;

/// The dump of `workbook` read from the file `file_name`: types "text", "number" (dates too),
/// "boolean" (value 1 or 0) and "error" (value: the error code); numbers written as the
/// shortest text that reads back the same double, with ".0" on whole numbers.
std::string WorkbookToJson(const ParsedWorkbook& workbook, const std::string& file_name);

/// `value` as the dumps write numbers: the shortest round-trip digits, fixed notation for
/// exponents -4..15 ("42.0", "0.0001"), else "1e+16", "1.5e-05"; "NaN", "Infinity".
std::string NumberJson(double value);

/// `text` as a JSON string literal (quotes included); non-ASCII characters stay as they are.
std::string StringJson(const std::string& text);

}  // namespace orvano

#endif  // ORVANO_TOOLS_WORKBOOK_DUMP_WORKBOOK_DUMP_H_
