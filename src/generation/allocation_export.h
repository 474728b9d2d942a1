// The export of the allocation (key Export): every row of every page of every language, as one
// JSON document (docs/export.schema.json) or as CSV (RFC 4180, UTF-8, a header line), the file
// name's extension choosing. The same allocation gives the same bytes.

#ifndef ORVANO_GENERATION_ALLOCATION_EXPORT_H_
#define ORVANO_GENERATION_ALLOCATION_EXPORT_H_

#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "generation/allocation.h"
#include "generation/run_record.h"

namespace orvano {

enum class ExportFormat { kJson, kCsv };

/// The format the extension of `path` names (".json" or ".csv", any case); none for another.
std::optional<ExportFormat> ExportFormatOf(const std::string& path);

/// The export's format version; an export of another version is not read.
constexpr int kExportFormatVersion = 1;

/// How an export writes its rows: its format and, for CSV, the cells each line has (cell1 to
/// cellN; a row with more loses the rest).
struct ExportLayout {
  ExportFormat format = ExportFormat::kJson;
  std::size_t cells = 0;
};

/// Appends the export form of `page` (of the language `language`) to `*out`: for JSON the page
/// object preceded by a comma, for CSV a line per row. The pages of a language are exported on
/// their own, as they are built, so that the rows need not all be kept.
void AppendPageExport(const ExportLayout& layout, const std::string& language,
                      const AllocationPage& page, std::string* out);

/// One language's pages as AppendPageExport wrote them, in their order, in pieces (a piece per
/// unit of work), so that a large export is never copied whole.
struct LanguageExport {
  std::string id;
  std::vector<std::string> pieces;
};

/// The whole export, as pieces to be written one after the other: for JSON the document
/// (docs/export.schema.json) naming the program's `version` and the run's `inputs`; for CSV the
/// header line (language, page, section, machine, position, kind, source, class,
/// cell1..cellN) and every language's lines, ended by CR LF. The pieces view `languages` and
/// the texts kept in `*glue`, which must outlive them.
std::vector<std::string_view> ExportPieces(const ExportLayout& layout,
                                           const std::vector<LanguageExport>& languages,
                                           const std::vector<InputFile>& inputs,
                                           const std::string& version,
                                           std::deque<std::string>* glue);

/// The export of `allocation`, all of whose rows are kept, as one text.
std::string ExportText(const ExportLayout& layout, const Allocation& allocation,
                       const std::vector<InputFile>& inputs, const std::string& version);

/// The most cells of any row of `allocation`.
std::size_t MostCells(const Allocation& allocation);

}  // namespace orvano

#endif  // ORVANO_GENERATION_ALLOCATION_EXPORT_H_
