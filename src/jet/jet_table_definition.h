// What a Jet table definition (TDEF) says of its columns beyond libmdb's view of them: the kinds
// of column the reader does not read (calculated, complex, extended date/time and other newer
// types), so that it can name them instead of misreading their bytes. Used by the database
// reader process; pure functions over bytes.

#ifndef ORVANO_JET_JET_TABLE_DEFINITION_H_
#define ORVANO_JET_JET_TABLE_DEFINITION_H_

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace orvano {

/// One column entry of a table definition.
struct JetColumnEntry {
  unsigned number = 0;  // the column's number, as rows know it
  std::uint8_t type = 0;
  std::uint8_t flags = 0;
  std::uint8_t extra_flags = 0;  // Jet 4 and later only: 0 in Jet 3 files
};

/// The bytes of the table definition that begins on page `first_page` of `file` (pages of
/// `page_size` bytes): the first page whole, then what follows the 8-byte header of each next
/// page, as the pages are linked (offset 4 of each, 0 on the last). Throws DataError when a page
/// lies outside the file or is no definition page, or the links run in circles.
std::string JetDefinitionBytes(std::span<const std::byte> file, std::size_t page_size,
                               std::uint32_t first_page);

/// The column entries of the Jet 4 (or later) table definition `definition` (as
/// JetDefinitionBytes gives it), in stored order. Throws DataError when they do not fit in it.
std::vector<JetColumnEntry> ReadJet4ColumnEntries(std::span<const std::byte> definition);

/// Why the reader cannot read a column of `entry`'s kind, as the end of a sentence
/// ("calculated columns are not supported"); "" for the kinds it reads (also binary and OLE
/// columns, which it reads as null).
std::string UnsupportedColumnKind(const JetColumnEntry& entry);

}  // namespace orvano

#endif  // ORVANO_JET_JET_TABLE_DEFINITION_H_
