// The export of the allocation (key Export): every row of every page of every language, as one
// JSON document (docs/export.schema.json) or as CSV (RFC 4180, UTF-8, a header line), the file
// name's extension choosing. The same allocation gives the same bytes.

#ifndef ORVANO_GENERATION_ALLOCATION_EXPORT_H_
#define ORVANO_GENERATION_ALLOCATION_EXPORT_H_

#include <memory>
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

/// The export form of one unit's section page and its detail twin, made straight from the rows
/// they show (of section `section`, machine `machine`, built from the part at `part`) and
/// appended to `*out`. A JSON row does not name its page, so a group of rows the twin shares
/// with its section page is written once and copied.
class SectionPagesExport {
 public:
  SectionPagesExport(const ExportLayout& layout, const std::string& language,
                     const std::string& section, const std::string& machine, const PartPlace& part,
                     std::string* out);

  /// Appends the export form of page `file` of kind `kind`, which shows `rows`, as
  /// AppendPageExport does for a page of the allocation.
  void AppendPage(const std::string& file, AllocationPageKind kind, const ShownRows& rows);

 private:
  void AppendGroupJson(const std::shared_ptr<const ShownRowGroup>& group, bool first);
  void SetOriginOf(const ShownRowView& row);

  /// Where a group's JSON rows were written in `*out_`. The group is held so that no other
  /// group can take its address.
  struct WrittenGroup {
    std::shared_ptr<const ShownRowGroup> group;
    std::size_t offset;
    std::size_t size;
  };

  const ExportLayout& layout_;
  const std::string& language_;
  const std::string& section_;
  const std::string& machine_;
  const PartPlace& part_;
  std::string* out_;
  std::vector<WrittenGroup> written_groups_;
  RowOrigin origin_;         // the origin of the row being written
  std::string scratch_;      // the source text of the row being written
  std::string source_head_;  // `,"source":"` and the sources' text before their row number
};

/// The export is written in this order: ExportHead, then per language LanguageHead, the text
/// AppendPageExport gave its pages (each piece through PagesText), LanguageTail; then ExportTail.
/// For JSON that is the document of docs/export.schema.json; for CSV the header line (language,
/// page, section, machine, position, kind, source, class, cell1..cellN) and every language's
/// lines, ended by CR LF.

/// The export's start, naming the program's `version` and the run's `inputs`.
std::string ExportHead(const ExportLayout& layout, const std::vector<InputFile>& inputs,
                       const std::string& version);

/// What opens the pages of language `id`; `first` for the export's first language.
std::string LanguageHead(const ExportLayout& layout, const std::string& id, bool first);

/// What closes the pages of a language.
std::string_view LanguageTail(const ExportLayout& layout);

/// What closes the export.
std::string_view ExportTail(const ExportLayout& layout);

/// `pages` (AppendPageExport's text of one or more pages) as written after LanguageHead when
/// `first` (nothing of the language written yet), else after the pages before.
std::string_view PagesText(const ExportLayout& layout, std::string_view pages, bool first);

/// The export of `allocation`, all of whose rows are kept, as one text.
std::string ExportText(const ExportLayout& layout, const Allocation& allocation,
                       const std::vector<InputFile>& inputs, const std::string& version);

/// The most cells of any row of `allocation`.
std::size_t MostCells(const Allocation& allocation);

}  // namespace orvano

#endif  // ORVANO_GENERATION_ALLOCATION_EXPORT_H_
