// Saves a workbook described in memory (xls_writer.h's XlsWorkbook) as an Office Open XML .xlsx
// file through libxlsxwriter. A fixture tool: the project builder, tests and benchmarks make
// their .xlsx workbooks with it.

#ifndef ORVANO_TOOLS_XLSX_WRITER_XLSX_WRITER_H_
#define ORVANO_TOOLS_XLSX_WRITER_XLSX_WRITER_H_

#include <string>

#include "xls_writer/xls_writer.h"

namespace orvano {

class FileSystem;

/// Writes `workbook` to `path` as an .xlsx file: texts go to the shared string table, numbers
/// and booleans as such, a formula with its cached value, an error value as a formula whose
/// cached result is the error's text; blanks and empty texts (an empty cell either way) are
/// left out. The file is made beside `path` and copied over it through `fs`, so `path` holds the
/// old file or the whole new one. Throws ProgramError naming the sheet (and cell) when
/// libxlsxwriter refuses the workbook (no sheet, a bad or repeated sheet name, a cell outside
/// the grid), UnexpectedError from the file system.
void WriteXlsx(FileSystem& fs, const std::string& path, const XlsWorkbook& workbook);

}  // namespace orvano

#endif  // ORVANO_TOOLS_XLSX_WRITER_XLSX_WRITER_H_
