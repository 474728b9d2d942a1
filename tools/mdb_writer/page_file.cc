#include "page_file.h"

#include "jet/jet4_format.h"
#include "support/errors.h"

namespace orvano::jet4 {

std::uint32_t PageFile::Allocate() {
  // Row pointers keep the page number in 24 bits.
  if (pages_.size() >= (1u << 24)) {
    throw ProgramError("the database would exceed 16777216 pages", "mdb_writer");
  }
  pages_.emplace_back(kPageSize, '\0');
  return page_count() - 1;
}

std::string PageFile::Join() const {
  std::string bytes;
  bytes.reserve(pages_.size() * kPageSize);
  for (const auto& page : pages_) bytes += page;
  return bytes;
}

}  // namespace orvano::jet4
