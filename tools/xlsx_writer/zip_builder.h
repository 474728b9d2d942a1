// Builds a ZIP archive in memory from named members, through libzip. A fixture tool: the .xlsx
// reader's tests and the fuzz seeds make archives with hand-written parts with it.

#ifndef ORVANO_TOOLS_XLSX_WRITER_ZIP_BUILDER_H_
#define ORVANO_TOOLS_XLSX_WRITER_ZIP_BUILDER_H_

#include <string>
#include <vector>

namespace orvano {

struct ZipMember {
  std::string name;
  std::string bytes;
  bool deflate = true;  // false stores the bytes as they are
};

/// The bytes of a ZIP archive holding `members` in the order given. Throws ProgramError with
/// libzip's message when libzip refuses (two members of one name).
std::string BuildZipArchive(const std::vector<ZipMember>& members);

}  // namespace orvano

#endif  // ORVANO_TOOLS_XLSX_WRITER_ZIP_BUILDER_H_
