// Usage maps: the 69-byte rows that tell a reader which pages belong to a table (or to a memo
// column's long values, or are free). Small sets are a bitmap inside the row; sets that do not
// fit in its 512-page window point to bitmap pages (type 0x05) allocated in the file.

#ifndef ORVANO_TOOLS_MDB_WRITER_USAGE_MAP_H_
#define ORVANO_TOOLS_MDB_WRITER_USAGE_MAP_H_

#include <cstdint>
#include <string>
#include <vector>

namespace orvano::jet4 {

class PageFile;

/// The usage-map row for `pages` (ascending page numbers): type 0 with the first page as start
/// when every page lies within 512 pages of it, else type 1 with one new bitmap page in `file` per
/// 32736-page window that holds a page of the set.
/// Throws ProgramError when a page lies beyond what 17 bitmap pages cover.
std::string EncodeUsageMap(PageFile& file, const std::vector<std::uint32_t>& pages);

/// The global usage row of page 1: a type 0 map from page 0 in which the pages at and beyond
/// `page_count` (not in the file) are marked free.
std::string EncodeGlobalFreeMap(std::uint32_t page_count);

}  // namespace orvano::jet4

#endif  // ORVANO_TOOLS_MDB_WRITER_USAGE_MAP_H_
