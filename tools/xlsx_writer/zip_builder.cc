#include "xlsx_writer/zip_builder.h"

#include <zip.h>

#include <cstdio>

#include "support/errors.h"

namespace orvano {
namespace {

constexpr const char* kSource = "zip builder";

[[noreturn]] void Fail(const std::string& what, zip_error_t* error) {
  const std::string message = what + ": " + zip_error_strerror(error);
  throw ProgramError(message, kSource);
}

}  // namespace

std::string BuildZipArchive(const std::vector<ZipMember>& members) {
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
  if (buffer == nullptr) Fail("cannot make a buffer", &error);
  zip_source_keep(buffer);  // it outlives the archive, which writes into it on closing
  zip_t* archive = zip_open_from_source(buffer, ZIP_TRUNCATE, &error);
  if (archive == nullptr) {
    zip_source_free(buffer);
    Fail("cannot start an archive", &error);
  }
  for (const ZipMember& member : members) {
    zip_source_t* data = zip_source_buffer(archive, member.bytes.data(), member.bytes.size(), 0);
    const zip_int64_t index =
        data == nullptr ? -1 : zip_file_add(archive, member.name.c_str(), data, ZIP_FL_ENC_UTF_8);
    if (index < 0 ||
        zip_set_file_compression(archive, static_cast<zip_uint64_t>(index),
                                 member.deflate ? ZIP_CM_DEFLATE : ZIP_CM_STORE, 0) != 0) {
      if (data != nullptr && index < 0) zip_source_free(data);
      const std::string message = member.name + ": " + zip_strerror(archive);
      zip_discard(archive);
      zip_source_free(buffer);
      throw ProgramError(message, kSource);
    }
  }
  if (zip_close(archive) != 0) {
    const std::string message = std::string("cannot write the archive: ") + zip_strerror(archive);
    zip_discard(archive);
    zip_source_free(buffer);
    throw ProgramError(message, kSource);
  }
  std::string bytes;
  zip_stat_t stat;
  if (zip_source_stat(buffer, &stat) == 0 && zip_source_open(buffer) == 0) {
    bytes.resize(stat.size);
    const zip_int64_t n = zip_source_read(buffer, bytes.data(), bytes.size());
    zip_source_close(buffer);
    bytes.resize(n < 0 ? 0 : static_cast<std::size_t>(n));
  }
  zip_source_free(buffer);
  return bytes;
}

}  // namespace orvano
