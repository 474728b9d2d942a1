// The reader of Office Open XML workbooks (.xlsx, .xlsm): takes the bytes of the ZIP archive,
// finds the workbook part through [Content_Types].xml, the sheets in tab order through
// workbook.xml and its relationships, reads the shared strings and streams each worksheet's
// cells into a ParsedWorkbook with the meaning the BIFF reader gives them. See
// docs/formats/ooxml.md for what is read.

#ifndef ORVANO_INPUTS_OOXML_READER_H_
#define ORVANO_INPUTS_OOXML_READER_H_

#include <cstddef>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace orvano {

class ParsedWorkbook;

/// Parses the bytes of an .xlsx or .xlsm file. Every worksheet, hidden ones too, is decoded in
/// tab order; chart and dialog sheets are left out. Throws UnexpectedError
/// err::kInvalidFileFormat whose description starts with `file_name`, then names the part (and
/// sheet, line or cell) and the fault: a damaged or truncated archive, a missing part or
/// relationship, XML that is not well-formed or declares a document type, a cell reference
/// beyond the format's grid, a bad value, a ZIP bomb (see InflationBudget). The parts are read
/// on up to `threads` threads (0: as many as the machine has cores, at most 4); the result and
/// the error reported do not depend on it.
std::shared_ptr<ParsedWorkbook> ParseOoxmlWorkbook(std::span<const std::byte> file,
                                                   const std::string& file_name,
                                                   unsigned threads = 0);

/// The archive member a relationship's `target` names, seen from the part `source` (a member
/// name such as "xl/workbook.xml"): relative to the source's folder unless it starts with "/",
/// with "." and ".." segments resolved and %XX escapes decoded. Throws DataError when ".."
/// climbs above the archive's root.
std::string ResolvePartTarget(std::string_view source, std::string_view target);

}  // namespace orvano

#endif  // ORVANO_INPUTS_OOXML_READER_H_
