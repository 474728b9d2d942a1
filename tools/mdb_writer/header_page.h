// Page 0 of a Jet 4 database: format name and version, and the RC4-scrambled region that holds
// the code page, the database key (0: pages are not encrypted), the masked empty password, the
// sort order and the creation date.

#ifndef ORVANO_TOOLS_MDB_WRITER_HEADER_PAGE_H_
#define ORVANO_TOOLS_MDB_WRITER_HEADER_PAGE_H_

#include <cstdint>
#include <string>
#include <string_view>

namespace orvano::jet4 {

/// The header page (kPageSize bytes) of a database created at `creation_date` (days since
/// 1899-12-30, the Jet date format).
std::string BuildHeaderPage(double creation_date);

/// `data` XORed with the RC4 key stream of `key` (4 bytes, little-endian); applying it twice
/// gives `data` back.
std::string Rc4(std::uint32_t key, std::string_view data);

}  // namespace orvano::jet4

#endif  // ORVANO_TOOLS_MDB_WRITER_HEADER_PAGE_H_
