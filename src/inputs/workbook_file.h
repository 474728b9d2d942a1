// A workbook file of either format the program reads: the .xls compound file (BIFF) or the
// .xlsx/.xlsm ZIP archive (Office Open XML). The format is told by the file's first bytes, not
// by its name, so a renamed file is read all the same. Used by the collection workbook reader,
// the workbook dump, the fuzz targets and the benchmarks.

#ifndef ORVANO_INPUTS_WORKBOOK_FILE_H_
#define ORVANO_INPUTS_WORKBOOK_FILE_H_

#include <cstddef>
#include <memory>
#include <span>
#include <string>

namespace orvano {

class FileSystem;
class ParsedWorkbook;

enum class WorkbookFormat { kCompoundFile, kZipArchive, kUnknown };

/// The format `file` starts like: the compound file signature, a ZIP local file header, or
/// neither.
WorkbookFormat DetectWorkbookFormat(std::span<const std::byte> file);

/// Parses the bytes of a workbook file with the reader its first bytes call for
/// (ParseBiffWorkbook or ParseOoxmlWorkbook). Throws UnexpectedError err::kInvalidFileFormat
/// whose description starts with `file_name`: what those readers throw, "not a workbook: the
/// file is empty", or "not a workbook" naming what the file starts with.
std::shared_ptr<ParsedWorkbook> ParseWorkbookBytes(std::span<const std::byte> file,
                                                   const std::string& file_name);

/// Reads the file at `path` through `fs` and parses it as above. Throws UnexpectedError 53
/// when the file does not exist, 75 when it cannot be read, else what ParseWorkbookBytes throws.
std::shared_ptr<ParsedWorkbook> ReadWorkbookFile(FileSystem& fs, const std::string& path);

}  // namespace orvano

#endif  // ORVANO_INPUTS_WORKBOOK_FILE_H_
