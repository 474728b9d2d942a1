// The .xls reader: takes the bytes of a compound file holding a BIFF8 or BIFF5/7 workbook
// stream, walks its records once and returns the worksheets' cells as a ParsedWorkbook. Formula
// cells give their cached value; dates stay numbers. ParseWorkbookBytes (workbook_file.h) chooses
// it for compound files. See docs/formats/cfb.md and docs/formats/biff8.md for what is read.

#ifndef ORVANO_INPUTS_BIFF_READER_H_
#define ORVANO_INPUTS_BIFF_READER_H_

#include <cstddef>
#include <memory>
#include <span>
#include <string>

namespace orvano {

class ParsedWorkbook;

/// Parses the bytes of an .xls file. Every worksheet (charts and modules are not listed) is
/// decoded. A workbook encrypted under the default password (kDefaultWorkbookPassword) is
/// decrypted. Throws UnexpectedError err::kInvalidFileFormat whose description starts with
/// `file_name`, then names the place (stream, sheet, record and offset) and the fault: a damaged
/// container, a compound file without a workbook stream, a password-protected workbook (another
/// password or a method not decrypted, or an encrypted .xlsx package), a record running past its
/// stream, an SST short of its strings, a cell record that is not read.
std::shared_ptr<ParsedWorkbook> ParseBiffWorkbook(std::span<const std::byte> file,
                                                  const std::string& file_name);

}  // namespace orvano

#endif  // ORVANO_INPUTS_BIFF_READER_H_
