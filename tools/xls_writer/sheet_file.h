// The sheet file: a readable text form of one worksheet that the xls_writer command turns into
// a sheet of an .xls workbook. The project builder generates them; SheetFileHelp() gives the
// syntax.

#ifndef ORVANO_TOOLS_XLS_WRITER_SHEET_FILE_H_
#define ORVANO_TOOLS_XLS_WRITER_SHEET_FILE_H_

#include <optional>
#include <string>
#include <string_view>

#include "xls_writer/xls_writer.h"

namespace orvano {

/// The syntax of a sheet file, as the command's --help prints it.
const char* SheetFileHelp();

/// The sheet that the sheet file `bytes` describes (UTF-8, a byte-order mark allowed; other
/// bytes are read as cp1252). `file_name` is used in messages only.
/// Throws ProgramError naming the file, line and field on a bad escape, a bad formula or
/// special value, a number out of range, or a file without a first line.
XlsSheet ParseSheetFile(std::string_view bytes, const std::string& file_name);

/// The cell one field of a sheet file stands for; nullopt for an empty field (no cell).
/// Throws ProgramError with the fault alone; ParseSheetFile adds the place.
std::optional<XlsCell> ParseSheetField(std::string_view field);

}  // namespace orvano

#endif  // ORVANO_TOOLS_XLS_WRITER_SHEET_FILE_H_
