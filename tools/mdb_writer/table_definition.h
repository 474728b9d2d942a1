// The table definition (TDEF) of a table: row count, column entries and names, and the pointers
// to the table's usage maps, written on one page or on a chain of pages linked by their headers.

#ifndef ORVANO_TOOLS_MDB_WRITER_TABLE_DEFINITION_H_
#define ORVANO_TOOLS_MDB_WRITER_TABLE_DEFINITION_H_

#include <cstdint>
#include <string>
#include <vector>

namespace orvano::jet4 {

class PageFile;
struct TableLayout;

/// Pointers (page << 8 | row) to a pair of usage-map rows: pages in use and pages with room.
struct UsageMaps {
  std::uint32_t used = 0;
  std::uint32_t free = 0;
};

/// What a definition says besides the layout.
struct TableDefinition {
  std::uint32_t row_count = 0;
  UsageMaps table_maps;
  std::vector<UsageMaps> long_value_maps;  // one per Memo column, in column order
};

/// The definition's bytes as they follow the 8-byte page header (before splitting into pages).
std::string EncodeTableDefinition(const TableLayout& layout, const TableDefinition& definition);

/// How many pages `definition_bytes` take.
std::size_t TableDefinitionPageCount(std::size_t definition_bytes);

/// Writes `definition_bytes` onto `pages` of `file`, chaining them in order.
/// Requires: pages.size() == TableDefinitionPageCount(definition_bytes.size()).
void WriteTableDefinition(PageFile& file, const std::vector<std::uint32_t>& pages,
                          const std::string& definition_bytes);

}  // namespace orvano::jet4

#endif  // ORVANO_TOOLS_MDB_WRITER_TABLE_DEFINITION_H_
