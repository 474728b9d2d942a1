// The export of the allocation (key Export): every row of every page of every language, as one
// JSON document (docs/export.schema.json) or as CSV (RFC 4180, UTF-8, a header line), the file
// name's extension choosing. The same allocation gives the same bytes.

#ifndef ORVANO_GENERATION_ALLOCATION_EXPORT_H_
#define ORVANO_GENERATION_ALLOCATION_EXPORT_H_

#include <optional>
#include <string>
#include <vector>

#include "generation/allocation.h"
#include "generation/run_record.h"

namespace orvano {

class FileSystem;

enum class ExportFormat { kJson, kCsv };

/// The format the extension of `path` names (".json" or ".csv", any case); none for another.
std::optional<ExportFormat> ExportFormatOf(const std::string& path);

/// The export's format version; an export of another version is not read.
constexpr int kExportFormatVersion = 1;

/// The JSON export of `allocation`, naming the program's `version` and the run's `inputs`.
std::string ExportJsonText(const Allocation& allocation, const std::vector<InputFile>& inputs,
                           const std::string& version);

/// The CSV export of `allocation`: language, page, section, machine, position, kind, source,
/// class, cell1..cellN (N the most cells of any row), every line ended by CR LF.
std::string ExportCsvText(const Allocation& allocation);

/// Writes the export of `allocation` to `path` in the format its extension names, replacing the
/// file only when complete. Throws ProgramError for an extension that names no format, and what
/// FileSystem::WriteFileAtomically throws.
void WriteExport(FileSystem& fs, const std::string& path, const Allocation& allocation,
                 const std::vector<InputFile>& inputs, const std::string& version);

}  // namespace orvano

#endif  // ORVANO_GENERATION_ALLOCATION_EXPORT_H_
