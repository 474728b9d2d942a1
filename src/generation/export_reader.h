// Reads an allocation export (Export=<file.json>, docs/export.schema.json) back into an
// Allocation, for comparing two releases: the compare command and Compare=<old.json>.
// The file is untrusted: whatever it holds gives an Allocation or a clear error naming it.

#ifndef ORVANO_GENERATION_EXPORT_READER_H_
#define ORVANO_GENERATION_EXPORT_READER_H_

#include <optional>
#include <string>
#include <string_view>

#include "generation/allocation.h"
#include "generation/allocation_export.h"

namespace orvano {

class FileSystem;

/// What an export holds that a comparison uses.
struct ExportContents {
  int format_version = kExportFormatVersion;
  /// The languages and their pages and rows in the export's order; the folders are "" (an
  /// export does not name them).
  Allocation allocation;
};

/// Parses the export `text`; `file_name` names it in errors. Throws UnexpectedError
/// (err::kInvalidFileFormat) whose description starts with "<file_name>: ": "not an export of
/// orvano-html", "export format version 2 is not supported (this program reads version 1)",
/// "the export is truncated or not JSON (line 3, column 14)", or the place of a damaged field
/// ("languages[0].pages[2].rows[5].cells: not a list of texts").
ExportContents ParseAllocationExport(std::string_view text, const std::string& file_name);

/// Reads the export at `path` through `fs` and parses it (ParseAllocationExport, naming it
/// `path`). A missing file throws UnexpectedError err::kFileNotFound, an unreadable one
/// err::kPathFileAccess, each naming `path`.
ExportContents ReadAllocationExport(FileSystem& fs, const std::string& path);

/// The origin that OriginText wrote as `text`: "Collection.xls:Drives!17",
/// "Collection.xls:Standard!14 (block 2, repetition 3)", either without "Collection.xls:", or ""
/// (an origin not known). nullopt when `text` is none of these.
std::optional<RowOrigin> ParseOriginText(std::string_view text);

}  // namespace orvano

#endif  // ORVANO_GENERATION_EXPORT_READER_H_
