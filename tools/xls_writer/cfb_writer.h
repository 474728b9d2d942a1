// Writes a compound file (version 3, 512-byte sectors) holding one stream under the root
// storage: the container of an .xls workbook. Used by WriteXls.

#ifndef ORVANO_TOOLS_XLS_WRITER_CFB_WRITER_H_
#define ORVANO_TOOLS_XLS_WRITER_CFB_WRITER_H_

#include <string>
#include <string_view>

namespace orvano {

/// The bytes of a compound file whose root holds the single stream `stream_name` (ASCII, at
/// most 31 characters) with the contents `stream`. The stream is stored in ordinary sectors,
/// so it must be at least 4096 bytes long; FAT sectors beyond the header's 109 are listed in
/// DIFAT sectors.
/// Throws ProgramError when `stream` is shorter than 4096 bytes, longer than the 32-bit size
/// field allows, or `stream_name` is too long.
std::string BuildCompoundFile(std::string_view stream_name, std::string_view stream);

}  // namespace orvano

#endif  // ORVANO_TOOLS_XLS_WRITER_CFB_WRITER_H_
