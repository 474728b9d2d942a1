// MappedFile: the bytes of a regular file mapped into memory instead of read and copied, for a
// reader that goes over a large file in place. The mapping is read-only, so that it shares the
// file's pages in the page cache instead of copying them.

#ifndef ORVANO_SUPPORT_MAPPED_FILE_H_
#define ORVANO_SUPPORT_MAPPED_FILE_H_

#include <cstddef>
#include <string>

namespace orvano {

class MappedFile {
 public:
  /// Maps the file at `path`; nothing is mapped when it is missing, not a regular file, empty or
  /// cannot be mapped, and the caller reads it the usual way, which reports why.
  explicit MappedFile(const std::string& path);
  ~MappedFile();
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;

  bool mapped() const { return data_ != nullptr; }
  const char* data() const { return data_; }
  std::size_t size() const { return size_; }

 private:
  char* data_ = nullptr;
  std::size_t size_ = 0;
};

}  // namespace orvano

#endif  // ORVANO_SUPPORT_MAPPED_FILE_H_
