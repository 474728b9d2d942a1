// SharedInputs: what every language of a run reads alike, read once per run: the description
// file, the workbook (and, on demand, each section's sheet split into its overview and main
// parts), the direct-cell sheet, the templates, and the text columns of the languages together.
// Each read keeps what it handed to its sink, so that every language can replay it at the point
// where a run of that language alone would have read it.

#ifndef ORVANO_GENERATION_SHARED_INPUTS_H_
#define ORVANO_GENERATION_SHARED_INPUTS_H_

#include <cstddef>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "generation/recorded_work.h"
#include "inputs/machine_description.h"
#include "inputs/text_database.h"
#include "inputs/workbook.h"
#include "support/parallel_for.h"
#include "support/table.h"
#include "templates/prepared_part.h"
#include "templates/template_files.h"
#include "templates/template_set.h"

namespace orvano {

class FileSystem;
struct RunSettings;

/// The name of the sheet that holds the direct cells.
inline constexpr std::string_view kDirectSheetName = "CommonDirect";

/// A value read once and what reading it reported.
template <typename T>
struct RecordedRead {
  std::optional<T> value;  // none when it could not be read
  RecordedWork record;
};

/// The marker cells of a sheet's two parts, prepared once for every page and language.
struct PreparedSheetParts {
  PreparedPart overview;
  PreparedPart main;
};

/// The rows of a sheet that its conditional rows are read by.
RowSwitches RowSwitchesOf(const MachineDescription& description);

class SharedInputs {
 public:
  /// Reads the inputs named by `settings`. The texts of `text_languages` are read on a thread
  /// of their own meanwhile; those of several languages in one read, and their address order
  /// worked out once, when the database has every column (else each language's own). Reads nothing
  /// a failed read makes useless (no direct cells or templates without a description). Work that
  /// can be split runs through `parallel`.
  SharedInputs(FileSystem& fs, const RunSettings& settings,
               const std::vector<std::string>& text_languages, const ParallelFor& parallel);
  SharedInputs(const SharedInputs&) = delete;
  SharedInputs& operator=(const SharedInputs&) = delete;

  /// The overview and main parts of the workbook's sheet `sheet`, read and split the first time
  /// they are asked for. Safe to call from several threads. Requires: the workbook was read.
  const RecordedRead<SheetParts>& SectionParts(std::size_t sheet) const;

  /// The prepared cells of SectionParts(`sheet`); empty when its parts could not be read.
  const PreparedSheetParts& PreparedParts(std::size_t sheet) const;

  /// The texts of several languages read together, each joined when its language needs it;
  /// null when they were not (one language, or a failure).
  std::unique_ptr<const TextJoin> text_join;
  /// Without a text join, the texts of each of `text_languages` (in their order) as read, or
  /// what their reading or join reported; a language takes its own (moves it out).
  std::vector<RecordedRead<TextTable>> texts;
  RecordedRead<MachineDescription> description;
  RecordedRead<CollectionWorkbook> workbook;
  std::optional<std::size_t> direct_sheet;  // the direct-cell sheet's index, when there is one
  RecordedRead<Table> direct_cells;
  RecordedRead<TemplateSet> templates;

 private:
  void ReadTexts(const std::string& database, const std::vector<std::string>& ids,
                 const ParallelFor& parallel);
  void ReadTheRest(FileSystem& fs, const RunSettings& settings);

  struct LazyParts {
    std::once_flag once;
    RecordedRead<SheetParts> parts;
    PreparedSheetParts prepared;
  };
  std::unique_ptr<LazyParts[]> section_parts_;
};

}  // namespace orvano

#endif  // ORVANO_GENERATION_SHARED_INPUTS_H_
