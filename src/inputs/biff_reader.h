// The workbook reader: takes the bytes of an .xls file (a compound file holding a BIFF8 or
// BIFF5/7 workbook stream), walks its records once and returns the worksheets' cells as a
// ParsedWorkbook. Formula cells give their cached value; dates stay numbers. See
// doc/formats/cfb.md and doc/formats/biff8.md for what is read.

#ifndef ORVANO_INPUTS_BIFF_READER_H_
#define ORVANO_INPUTS_BIFF_READER_H_

#include <cstddef>
#include <memory>
#include <span>
#include <string>

namespace orvano {

class FileSystem;
class ParsedWorkbook;

/// Parses the bytes of a workbook file. Every worksheet (charts and modules are not listed) is
/// decoded. Throws UnexpectedError err::kInvalidFileFormat whose description starts with
/// `file_name`, then names the place (stream, sheet, record and offset) and the fault: not a
/// compound file or not a BIFF workbook (a text file, an .xlsx archive), a damaged container,
/// an encrypted workbook, a record running past its stream, an SST short of its strings.
std::shared_ptr<ParsedWorkbook> ParseWorkbookBytes(std::span<const std::byte> file,
                                                   const std::string& file_name);

/// Reads the file at `path` through `fs` and parses it as above. Throws UnexpectedError 53
/// when the file does not exist, 75 when it cannot be read, else what ParseWorkbookBytes throws.
std::shared_ptr<ParsedWorkbook> ReadWorkbookFile(FileSystem& fs, const std::string& path);

}  // namespace orvano

#endif  // ORVANO_INPUTS_BIFF_READER_H_
