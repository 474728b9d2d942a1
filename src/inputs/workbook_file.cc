#include "inputs/workbook_file.h"

#include <algorithm>

#include "inputs/biff_reader.h"
#include "inputs/compound_file.h"
#include "inputs/ooxml_format.h"
#include "inputs/ooxml_reader.h"
#include "support/byte_reader.h"
#include "support/errors.h"
#include "support/file_system.h"

namespace orvano {
namespace {

constexpr const char* kWorkbookReaderSource = "Workbook reader";
// How many of the first bytes an unknown file's message quotes.
constexpr std::size_t kQuotedBytes = 16;

[[noreturn]] void ThrowFormat(const std::string& file_name, const std::string& detail) {
  throw UnexpectedError(err::kInvalidFileFormat, file_name + ": " + detail, kWorkbookReaderSource);
}

// The first bytes of `file` as a reader would recognise them: printable ASCII quoted as text,
// else in hexadecimal.
std::string FirstBytes(std::span<const std::byte> file) {
  const std::span<const std::byte> head = file.first(std::min(file.size(), kQuotedBytes));
  const bool printable = std::all_of(head.begin(), head.end(), [](std::byte b) {
    const auto c = static_cast<unsigned char>(b);
    return (c >= 0x20 && c < 0x7F) || c == '\t' || c == '\r' || c == '\n';
  });
  if (printable) {
    std::string text;
    for (std::byte b : head) {
      const char c = static_cast<char>(b);
      text.push_back(c == '\r' || c == '\n' || c == '\t' ? ' ' : c);
    }
    return "the text \"" + text + "\"";
  }
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string hex = "the bytes";
  for (std::byte b : head) {
    const auto c = static_cast<unsigned char>(b);
    hex += ' ';
    hex += kHex[c >> 4];
    hex += kHex[c & 15];
  }
  return hex;
}

}  // namespace

WorkbookFormat DetectWorkbookFormat(std::span<const std::byte> file) {
  if (HasCompoundFileSignature(file)) return WorkbookFormat::kCompoundFile;
  const std::string_view zip = ooxml::kZipSignature;
  if (file.size() >= zip.size() &&
      std::equal(zip.begin(), zip.end(), file.begin(),
                 [](char a, std::byte b) { return static_cast<std::byte>(a) == b; })) {
    return WorkbookFormat::kZipArchive;
  }
  return WorkbookFormat::kUnknown;
}

std::shared_ptr<ParsedWorkbook> ParseWorkbookBytes(std::span<const std::byte> file,
                                                   const std::string& file_name) {
  switch (DetectWorkbookFormat(file)) {
    case WorkbookFormat::kCompoundFile:
      return ParseBiffWorkbook(file, file_name);
    case WorkbookFormat::kZipArchive:
      return ParseOoxmlWorkbook(file, file_name);
    case WorkbookFormat::kUnknown:
      break;
  }
  if (file.empty()) ThrowFormat(file_name, "not a workbook: the file is empty");
  ThrowFormat(file_name,
              "not a workbook: neither a compound file (.xls) nor a ZIP archive (.xlsx, .xlsm); "
              "it starts with " +
                  FirstBytes(file));
}

std::shared_ptr<ParsedWorkbook> ReadWorkbookFile(FileSystem& fs, const std::string& path) {
  std::string bytes;
  std::string err;
  switch (fs.ReadFile(path, &bytes, &err)) {
    case ReadStatus::kOkay:
      break;
    case ReadStatus::kNotFound:
      throw UnexpectedError(err::kFileNotFound, err, kWorkbookReaderSource);
    case ReadStatus::kOtherError:
      throw UnexpectedError(err::kPathFileAccess, err, kWorkbookReaderSource);
  }
  return ParseWorkbookBytes(AsBytes(bytes), path);
}

}  // namespace orvano
