#include "generation/generation_driver.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "generation/allocation.h"
#include "generation/allocation_export.h"
#include "generation/changes_page.h"
#include "generation/error_reporting.h"
#include "generation/export_reader.h"
#include "generation/export_stream.h"
#include "generation/generation_stop.h"
#include "generation/language_run.h"
#include "generation/language_selection.h"
#include "generation/languages_page.h"
#include "generation/run_coordinator.h"
#include "generation/run_record.h"
#include "generation/run_report.h"
#include "generation/run_settings.h"
#include "generation/search_page.h"
#include "generation/shared_inputs.h"
#include "support/errors.h"
#include "support/file_system.h"
#include "support/host.h"
#include "support/logs.h"
#include "support/text_case.h"
#include "support/worker_pool.h"
#include "templates/page_output.h"
#include "templates/run_inputs.h"

namespace orvano {
namespace {

// The window whose procedure reports the run's own stops.
constexpr std::string_view kWindow = "frmMain";

// How many units each language may build ahead of the one it commits, per thread.
constexpr int kUnitsAheadPerJob = 2;

// The number of threads the run builds with: the key Jobs, else the machine's.
int JobCount(const std::string& jobs) {
  if (jobs.empty()) return static_cast<int>(std::max(1U, std::thread::hardware_concurrency()));
  int count = 0;
  const char* end = jobs.data() + jobs.size();
  auto [stop, error] = std::from_chars(jobs.data(), end, count);
  if (error != std::errc() || stop != end || count < 1 || count > 256) {
    throw ProgramError("Jobs not valid: " + jobs + " (a whole number from 1 to 256)",
                       std::string(kGenerateProcedure));
  }
  return count;
}

}  // namespace

struct GenerationInputs {
  std::unique_ptr<SharedInputs> shared;
  std::vector<RunInputs> inputs;           // one per language
  std::shared_ptr<Allocation> allocation;  // the rows of every page, when a key asked for them
};

namespace {

class LanguagesGeneration {
 public:
  LanguagesGeneration(const RunSettings& settings, const std::vector<ProjectLanguage>& languages,
                      const GenerationSeams& seams, RunRecord* record, LanguageSelection selection)
      : settings_(settings),
        languages_(languages),
        seams_(seams),
        record_(record),
        selection_(std::move(selection)),
        coordinator_(seams.host),
        write_nothing_(record != nullptr && record->check_only),
        run_fs_(seams.fs, write_nothing_) {
    // The rows are kept whole only for the pages that need them all at the end; the export
    // is made page by page as the pages are built.
    if (settings.search || !settings.compare_file.empty()) {
      allocation_ = std::make_shared<Allocation>();
    }
    if (const std::optional<ExportFormat> format = ExportFormatOf(settings.export_file)) {
      export_layout_ = ExportLayout{*format, 0};
    }
  }

  /// Puts the export in place, when the run makes one. Throws what ExportStream::Finish
  /// throws.
  void FinishExport() {
    if (export_stream_) export_stream_->Finish();
  }

  /// The rows of every language's pages, when the run keeps them.
  std::shared_ptr<Allocation> allocation() const { return allocation_; }

  // Stops the run before it writes anything when a section's page would have the name of a
  // file that a key of the run writes beside the pages.
  void RefusePagesNamedLikeRunFiles(const SharedInputs& shared) const {
    if (!shared.description.value) return;
    for (const SectionInfo& section : shared.description.value->sections) {
      const std::string page = SectionPageName(section.name, "", false);
      std::string key;
      if (settings_.search && IsSearchFileName(page)) key = "Search=TRUE";
      if (old_allocation_ && EqualsIgnoringCase(page, kChangesPageName)) key = "Compare=";
      if (key.empty()) continue;
      throw ProgramError("The page of section \"" + section.name +
                             "\" would have the name of a file that " + key + " writes",
                         std::string(kGenerateProcedure));
    }
  }

  /// Takes the allocation of an earlier export to write the changes against.
  void CompareWith(Allocation old_allocation) { old_allocation_ = std::move(old_allocation); }

  // Generates every selected language into `data`; true when every page of every language was
  // written.
  bool Generate(GenerationInputs& data) {
    const RunSettings& settings = settings_;
    const int jobs = JobCount(settings.jobs);
    data.inputs.resize(selection_.ids.size());
    coordinator_.set_progress_scale(static_cast<int>(selection_.ids.size()));
    coordinator_.Serve([&] {
      std::unique_ptr<WorkerPool> pool;
      if (jobs > 1) pool = std::make_unique<WorkerPool>(jobs);
      ParallelFor parallel = OneAfterAnother;
      if (pool) {
        parallel = [&pool](std::size_t count, const std::function<void(std::size_t)>& task) {
          pool->ForEach(count, task);
        };
      }
      const auto started = std::chrono::steady_clock::now();
      data.shared = std::make_unique<SharedInputs>(run_fs_, settings, selection_.ids, parallel);
      RefusePagesNamedLikeRunFiles(*data.shared);
      // A CSV export's lines have as many cells as the widest sheet has columns.
      if (export_layout_ && data.shared->workbook.value) {
        export_layout_->cells =
            static_cast<std::size_t>(data.shared->workbook.value->sheets.widest_column_count);
      }
      if (export_layout_) StartExport();
      if (record_ != nullptr) {
        record_->reading_seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
      }
      RunLanguages(data, pool.get(), jobs);
      pool.reset();
      if (selection_.has_language_folders) WriteLanguagesPage();
      if (old_allocation_) WriteChangesPage();
    });
    if (end_requested_) throw EndProgram{1};
    return std::all_of(complete_.begin(), complete_.end(), [](char c) { return c != 0; });
  }

 private:
  // Runs the languages in their order: one after the other with one job, else at most one more
  // at once than there are jobs.
  void RunLanguages(GenerationInputs& data, WorkerPool* pool, int jobs) {
    const std::size_t count = selection_.ids.size();
    complete_.assign(count, false);
    if (allocation_) {
      allocation_->languages.resize(count);
      for (std::size_t i = 0; i < count; ++i)
        allocation_->languages[i].language = selection_.ids[i];
    }
    if (record_ != nullptr) {
      record_->languages.resize(count);
      for (std::size_t i = 0; i < count; ++i) {
        record_->languages[i].id = selection_.ids[i];
        record_->languages[i].problems.keep_going = write_nothing_;
      }
    }
    std::atomic<std::size_t> next{0};
    auto run_next = [&] {
      for (std::size_t i = next++; i < count; i = next++) {
        RunLanguage(data, pool, jobs, i);
        // A finished language gives its inputs back while others are still to start.
        if (next < count) data.inputs[i] = RunInputs();
      }
    };
    // One language more than jobs: a language waits at units it cannot predict (after the
    // sheet "Standard"), and the next one keeps the pool busy meanwhile.
    const std::size_t threads =
        std::min<std::size_t>(count, jobs == 1 ? 1 : static_cast<std::size_t>(jobs) + 1);
    std::vector<std::thread> runners;
    for (std::size_t t = 1; t < threads; ++t) runners.emplace_back(run_next);
    run_next();
    for (std::thread& runner : runners) runner.join();
  }

  void RunLanguage(GenerationInputs& data, WorkerPool* pool, int jobs, std::size_t i) {
    const std::string& id = selection_.ids[i];
    const bool several = selection_.has_language_folders;
    WorkerHost host(coordinator_);
    RunSettings settings = settings_;
    settings.language_id = id;
    if (several) settings.destination_folder += id + "/";
    LanguageRecord* record = record_ != nullptr ? &record_->languages[i] : nullptr;
    if (record != nullptr) record->destination_folder = settings.destination_folder;
    LanguageAllocation* allocation = allocation_ ? &allocation_->languages[i] : nullptr;
    if (allocation != nullptr) allocation->folder = settings.destination_folder;
    RecordingFileSystem fs(seams_.fs, write_nothing_);
    const LanguageJob job{
        .fs = fs,
        .host = host,
        .settings = std::move(settings),
        .languages = languages_,
        .shared = *data.shared,
        .text_index = i,
        .texts = data.shared->texts[i],
        .scope = several ? "language " + id : "",
        .error_log_path = seams_.logs.error_log_path(),
        .default_event_log_path = seams_.logs.default_event_log_path(),
        .has_own_folder = several,
        .pool = pool,
        .units_ahead = kUnitsAheadPerJob * jobs,
        .end_requested = &end_requested_,
        .inputs = &data.inputs[i],
        .record = record,
        .allocation = allocation,
        .export_stream = export_stream_.get(),
        .export_index = i,
        .export_layout = export_layout_ ? &*export_layout_ : nullptr,
        .check_addresses = write_nothing_,
    };
    try {
      complete_[i] = GenerateLanguage(job) ? 1 : 0;
    } catch (const EndProgram&) {
      // Silent runs of several languages end only the language that failed (its error is
      // reported); otherwise the program ends, the other languages at their next page.
      if (!(several && settings_.silent)) end_requested_ = true;
    }
    if (record != nullptr) {
      record->complete = complete_[i] != 0;
      record->files = fs.FilesWrittenIn(record->destination_folder);
    }
  }

  // The export's file is written from here on, as the languages' pages are done.
  void StartExport() {
    export_stream_ = std::make_unique<ExportStream>(
        seams_.fs, settings_.export_file, *export_layout_, selection_.ids,
        DescribeInputs(settings_), settings_.program_version);
  }

  // Changes.htm, in runs and checks alike, once every language was built to the end: the
  // changes of a language that stopped would be wrong.
  void WriteChangesPage() {
    if (!std::all_of(complete_.begin(), complete_.end(), [](char c) { return c != 0; })) return;
    const std::string path = settings_.destination_folder + kChangesPageName;
    FileSystem& fs = write_nothing_ ? seams_.fs : run_fs_;
    WriteRunFile(fs, path, [&] {
      return ChangesPageText(*old_allocation_, *allocation_, selection_.has_language_folders);
    });
  }

  // Writes the run's own file `path` with the text `make` gives (left as it is when it holds
  // that text already), a failure reported as the run's; the report lists it among the run's
  // files.
  template <typename Make>
  void WriteRunFile(FileSystem& fs, const std::string& path, Make make) {
    WorkerHost host(coordinator_);
    const ErrorContext errors{host,
                              seams_.logs,
                              settings_.silent,
                              {},
                              record_ != nullptr ? &record_->run_problems : nullptr};
    static_cast<void>(
        Guarded(errors, kGenerateProcedure, kWindow, [&] { fs.WriteFileIfChanged(path, make()); }));
    if (record_ != nullptr) {
      for (const WrittenFile& file : run_fs_.FilesWrittenIn(path)) record_->files.push_back(file);
    }
  }

  void WriteLanguagesPage() {
    std::vector<WrittenLanguage> written;
    for (std::size_t i = 0; i < selection_.ids.size(); ++i) {
      if (!complete_[i]) continue;
      const std::string& id = selection_.ids[i];
      std::string name = id;
      for (const ProjectLanguage& language : languages_) {
        if (SameLanguageId(language.id, Cell(id))) name = language.display_name;
      }
      written.push_back({id, name});
    }
    WriteRunFile(run_fs_, settings_.destination_folder + kLanguagesPageName,
                 [&] { return LanguagesPageText(written, settings_.search); });
  }

  const RunSettings& settings_;
  const std::vector<ProjectLanguage>& languages_;
  const GenerationSeams& seams_;
  RunRecord* record_;
  LanguageSelection selection_;
  RunCoordinator coordinator_;
  std::atomic<bool> end_requested_{false};
  std::vector<char> complete_;              // one flag per language, each set by its own thread
  const bool write_nothing_;                // check mode
  RecordingFileSystem run_fs_;              // what the run reads and writes outside its languages
  std::shared_ptr<Allocation> allocation_;  // none unless a key asks for the rows
  std::optional<ExportLayout> export_layout_;    // none unless the run exports
  std::optional<Allocation> old_allocation_;     // the export to compare with (key Compare)
  std::unique_ptr<ExportStream> export_stream_;  // when the run exports
};

// The checks of the keys that write the rows elsewhere, made before anything is written.
void CheckExportPath(FileSystem& fs, const std::string& path) {
  if (path.empty()) return;
  if (!ExportFormatOf(path)) {
    throw ProgramError("Export must end with .json or .csv: " + path,
                       std::string(kGenerateProcedure));
  }
  const std::size_t slash = path.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  if (!fs.IsFolder(folder)) {
    throw Located(
        ProgramError("Export folder not found: " + folder, std::string(kGenerateProcedure)), path);
  }
}

}  // namespace

GenerationOutcome GeneratePages(const RunSettings& settings,
                                const std::vector<ProjectLanguage>& languages,
                                const GenerationSeams& seams, RunRecord* record) {
  seams.host.StatusStart("", 0, true);
  GenerationOutcome outcome;
  auto inputs = std::make_shared<GenerationInputs>();
  outcome.inputs = inputs;
  const ErrorContext errors{seams.host,
                            seams.logs,
                            settings.silent,
                            {},
                            record != nullptr ? &record->run_problems : nullptr};
  static_cast<void>(Guarded(errors, kGenerateProcedure, kWindow, [&] {
    LanguageSelection selection = SelectLanguages(settings.language_id, languages);
    // One run per destination at a time: two would mix their event logs and pages. A check
    // writes nothing, so it takes no lock.
    std::unique_ptr<FolderLock> lock;
    if (record == nullptr || !record->check_only) {
      lock = seams.fs.LockFolder(settings.destination_folder);
      if (lock == nullptr) {
        throw ProgramError(
            "Another run is writing into the destination folder " + settings.destination_folder,
            std::string(kGenerateProcedure));
      }
    }
    CheckExportPath(seams.fs, settings.export_file);
    LanguagesGeneration generation(settings, languages, seams, record, std::move(selection));
    // The reader's messages name the file.
    if (!settings.compare_file.empty()) {
      generation.CompareWith(ReadAllocationExport(seams.fs, settings.compare_file).allocation);
    }
    outcome.complete = generation.Generate(*inputs);
    inputs->allocation = generation.allocation();
    // A run that stopped leaves the export it had before.
    if (outcome.complete) generation.FinishExport();
  }));
  seams.host.StatusEnd();
  seams.host.PumpEvents();
  return outcome;
}

}  // namespace orvano
