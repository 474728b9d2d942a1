// The pages of a database file under construction, held in memory and numbered from 0 in file
// order. Page builders allocate pages here and fill them; the driver joins them into the file.

#ifndef ORVANO_TOOLS_MDB_WRITER_PAGE_FILE_H_
#define ORVANO_TOOLS_MDB_WRITER_PAGE_FILE_H_

#include <cstdint>
#include <string>
#include <vector>

namespace orvano::jet4 {

class PageFile {
 public:
  PageFile() = default;
  PageFile(const PageFile&) = delete;
  PageFile& operator=(const PageFile&) = delete;

  /// Appends a zero-filled page and returns its number.
  /// Throws ProgramError when the file would exceed the 2^24 pages a row pointer can address.
  std::uint32_t Allocate();

  /// The bytes of page `number` (kPageSize of them). Requires: number < page_count().
  std::string& Page(std::uint32_t number) { return pages_[number]; }

  std::uint32_t page_count() const { return static_cast<std::uint32_t>(pages_.size()); }

  /// All pages joined in order: the file's contents.
  std::string Join() const;

 private:
  std::vector<std::string> pages_;
};

}  // namespace orvano::jet4

#endif  // ORVANO_TOOLS_MDB_WRITER_PAGE_FILE_H_
