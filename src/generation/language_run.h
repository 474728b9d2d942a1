// One language of a run, from the checks of its paths to its last page: its own inputs (its
// font and code page, its texts; the rest replayed from the run's shared reads), its section
// pages built unit by unit (side by side on a worker pool when there is one, committed in their
// order), then the overview, menu and main pages and the copies of the frame page and logo.

#ifndef ORVANO_GENERATION_LANGUAGE_RUN_H_
#define ORVANO_GENERATION_LANGUAGE_RUN_H_

#include <atomic>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "generation/allocation.h"
#include "generation/allocation_export.h"
#include "generation/recorded_work.h"
#include "generation/run_record.h"
#include "generation/run_settings.h"
#include "generation/shared_inputs.h"
#include "inputs/languages.h"
#include "inputs/text_table.h"

namespace orvano {

class ExportStream;
class FileSystem;
class Host;
class WorkerPool;
struct RunInputs;

struct LanguageJob {
  FileSystem& fs;
  Host& host;  // the host of the thread the language runs on
  /// The run's settings with the language's id and destination folder (its own folder when a
  /// run writes several languages).
  RunSettings settings;
  const std::vector<ProjectLanguage>& languages;  // the project's language list
  const SharedInputs& shared;
  std::size_t text_index;          // the language's place in the texts of `shared`
  RecordedRead<TextTable>& texts;  // its texts in `shared`, taken from there
  std::string scope;               // "language <id>" when a run writes several
  std::string error_log_path;
  std::string default_event_log_path;
  bool has_own_folder = false;  // the destination folder is created when missing
  WorkerPool* pool = nullptr;   // none: the units are built one after the other
  int units_ahead = 1;          // how many units may be built ahead of the one committed next
  const std::atomic<bool>* end_requested = nullptr;  // when set, stop at the next page
  RunInputs* inputs = nullptr;       // where the language's inputs are kept (outlives the call)
  LanguageRecord* record = nullptr;  // when set, its problems and durations are kept there
  /// When set, the rows of every page built are kept there (in check mode too).
  LanguageAllocation* allocation = nullptr;
  /// When set, every page built is added there in the export's form, as language
  /// `export_index` (in check mode too).
  ExportStream* export_stream = nullptr;
  std::size_t export_index = 0;
  const ExportLayout* export_layout = nullptr;  // the export's form, with `export_stream`
  bool check_addresses = false;                 // addresses given twice on a page are warnings
};

/// Generates the pages of `job`'s language. Returns true when every page was written; false
/// when a check or step stopped it (reported under "StartMainProcess"). Throws EndProgram when
/// the program is to end, or when `*job.end_requested` became true.
[[nodiscard]] bool GenerateLanguage(const LanguageJob& job);

}  // namespace orvano

#endif  // ORVANO_GENERATION_LANGUAGE_RUN_H_
