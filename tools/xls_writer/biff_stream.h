// Builds the BIFF8 "Workbook" stream of an .xls file: the globals substream (fonts, XFs, sheet
// list, shared strings) followed by one substream per sheet. Used by WriteXls; the compound
// file around it comes from cfb_writer.

#ifndef ORVANO_TOOLS_XLS_WRITER_BIFF_STREAM_H_
#define ORVANO_TOOLS_XLS_WRITER_BIFF_STREAM_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orvano {

struct XlsWorkbook;

/// The Workbook stream of `workbook`, padded with zero bytes after the last EOF record to at
/// least 4096 bytes so that it lives in ordinary sectors of the compound file.
/// Requires: `workbook` passed the checks of BuildXlsBytes (names, ranges, texts, numbers).
/// Throws ProgramError naming the sheet and cell when a formula's text result is too long for
/// the constant formula that gives it.
std::string BuildWorkbookStream(const XlsWorkbook& workbook);

/// The RK encoding of `value` when one decodes to exactly the same double, else nullopt.
std::optional<std::uint32_t> EncodeRk(double value);

/// The double an RK value stands for.
double DecodeRk(std::uint32_t rk);

/// `text` (UTF-8) as UTF-16 code units; invalid sequences become U+FFFD.
std::u16string ToUtf16Units(std::string_view text);

}  // namespace orvano

#endif  // ORVANO_TOOLS_XLS_WRITER_BIFF_STREAM_H_
