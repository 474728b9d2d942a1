#include "generation/language_run.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <utility>

#include "fonts/font_classes.h"
#include "generation/error_reporting.h"
#include "generation/export_stream.h"
#include "generation/folders.h"
#include "generation/generation_stop.h"
#include "generation/navigation_pages.h"
#include "generation/page_units.h"
#include "generation/search_page.h"
#include "generation/shared_inputs.h"
#include "inputs/languages.h"
#include "inputs/text_database.h"
#include "support/errors.h"
#include "support/file_system.h"
#include "support/host.h"
#include "support/logs.h"
#include "support/worker_pool.h"
#include "templates/page_output.h"
#include "templates/run_inputs.h"
#include "templates/section_fields.h"
#include "templates/template_files.h"

namespace orvano {
namespace {

// The window whose procedure reports the run's own stops.
constexpr std::string_view kWindow = "frmMain";

// What one language's run holds while it works.
struct Run {
  Run(const LanguageJob& the_job)
      : job(the_job),
        logs(job.fs, job.error_log_path, job.default_event_log_path),
        problems(job.record ? &job.record->problems : nullptr),
        sink(job.host, logs, job.settings.silent, job.scope, problems),
        inputs(*job.inputs) {}
  ErrorContext errors() { return {job.host, logs, job.settings.silent, job.scope, problems}; }

  const LanguageJob& job;
  Logs logs;
  ProblemList* problems;
  ReportingErrorSink sink;
  RunInputs& inputs;
};

void CheckPath(Run& run, const std::string& path, const std::string& what) {
  if (path.empty()) StopGeneration("Path " + what + " not set!");
  if (!PathExists(run.job.fs, path))
    StopGeneration("Path " + what + " (" + path + ") not found!", path);
}

// The language's font face from the project's language list and its code page from the
// language database. Stops when the language is not selected or not in the list.
RunLanguage ChooseLanguage(Run& run) {
  RunLanguage language;
  language.id = run.job.settings.language_id;
  if (language.id.empty()) StopGeneration("Language not selected!");
  bool found = false;
  const Cell id(language.id);
  const std::string& database = run.job.settings.database_file;
  const std::string table = TablePlace(database, LanguageTableFor(database, "Tlanguages"));
  const std::string row = table + " " + language.id;
  for (const ProjectLanguage& listed : run.job.languages) {
    if (!SameLanguageId(listed.id, id)) continue;
    // Every entry is visited: with duplicates the last one wins.
    PlaceScope at(run.sink, {row});
    language.font_name = FontFaceOfLanguage(listed.font_spec, language.id, run.sink);
    found = true;
  }
  const std::string& names = run.job.settings.language_database_file;
  if (!names.empty() && run.job.fs.IsFile(names)) {
    language.code_page = ReadCodePage(names, language.id, run.sink);
  }
  if (!found) StopGeneration("Language not found", table);
  return language;
}

// Hands what a shared read reported to the language's sink, as if the language read it now.
template <typename T>
const T& Replayed(Run& run, const RecordedRead<T>& read, const std::string& stop_message,
                  const std::string& file) {
  read.record.Replay({run.sink, run.job.fs, nullptr}, [] {});
  if (!read.value) StopGeneration(stop_message, file);
  return *read.value;
}

// Fills the language's inputs in the order a run reads them; stops at the first input that
// cannot be read.
void ReadLanguageInputs(Run& run) {
  const RunSettings& settings = run.job.settings;
  const SharedInputs& shared = run.job.shared;
  RunInputs& inputs = run.inputs;
  inputs = RunInputs();
  inputs.template_folder = settings.template_folder;
  inputs.destination_folder = settings.destination_folder;
  inputs.description_file = settings.description_file;
  inputs.workbook_file = settings.workbook_file;
  inputs.language = ChooseLanguage(run);

  if (shared.text_join) {
    inputs.texts = shared.text_join->Join(run.job.text_index);
  } else {
    RecordedRead<TextTable>& texts = run.job.texts;
    texts.record.Replay({run.sink, run.job.fs, nullptr}, [] {});
    if (!texts.value) StopGeneration("Error reading Orvano.mdb", settings.database_file);
    inputs.texts = std::move(*texts.value);
  }

  inputs.description =
      Replayed(run, shared.description, "Error reading Orvano.doc", settings.description_file);
  inputs.sheets =
      Replayed(run, shared.workbook, "Error reading Collectionfile", settings.workbook_file).sheets;
  const std::string direct_sheet_error =
      "Error reading XL-Sheet \"" + std::string(kDirectSheetName) + "\"";
  if (!shared.direct_sheet) StopGeneration(direct_sheet_error, settings.workbook_file);
  inputs.direct_cells =
      Replayed(run, shared.direct_cells, direct_sheet_error, settings.workbook_file);
  inputs.templates = Replayed(run, shared.templates, "", "");
  // A missing template is no error of the reader (the page is built without it), but the
  // page is not what the project meant.
  if (run.problems == nullptr) return;
  for (std::size_t i = 0; i < inputs.templates.entries.size(); ++i) {
    if (!inputs.templates.entries[i].empty()) continue;
    run.problems->problems.push_back(
        {ProblemKind::kWarning,
         settings.template_folder + TemplateFileName(i, inputs.description.interface_with_opc),
         "Template missing"});
  }
}

// Builds and commits the language's section units; `page` is the state the run carries
// from unit to unit, `overview_rows` gathers the sections' overview rows.
class UnitCommitter {
 public:
  UnitCommitter(Run& run, PageState& page, Table& overview_rows,
                std::vector<AllocationRow>& overview_row_places)
      : run_(run),
        page_(page),
        overview_rows_(overview_rows),
        overview_row_places_(overview_row_places),
        recording_{run.job.allocation != nullptr, run.job.check_addresses,
                   run.job.export_stream != nullptr ? run.job.export_layout : nullptr} {}

  void BuildAndCommit(const std::vector<PageUnit>& units) {
    if (run_.job.pool == nullptr) {
      for (const PageUnit& unit : units) {
        BuiltUnit built = BuildPageUnit(run_.inputs, run_.job.shared, unit, page_, recording_);
        Commit(unit, built);
      }
      return;
    }
    BuildAheadAndCommit(units);
  }

 private:
  // Hands every unit to the run as if it were built now: a unit built from another state than
  // the one the run has reached is built again first.
  void Commit(const PageUnit& unit, BuiltUnit& built) {
    if (run_.job.end_requested != nullptr && run_.job.end_requested->load()) throw EndProgram{1};
    if (!SameCarriedState(built.entering, CarriedState(page_))) {
      built = BuildPageUnit(run_.inputs, run_.job.shared, unit, page_, recording_);
    }
    Host& host = run_.job.host;
    int ticked = 0;
    bool replayed = false;
    try {
      HeldEvents held(run_.logs);
      built.work.Replay({run_.sink, run_.job.fs,
                         [&](std::string_view done) {
                           ++ticked;
                           host.StatusTick(done);
                         }},
                        [] { StopGeneration("Error generating Collectionfile"); });
      replayed = true;
    } catch (const EndProgram&) {
      throw;
    } catch (...) {
      // A check abandons the unit and goes on with the next; the stop is reported unless the
      // failure that caused it was.
      if (run_.problems == nullptr || !run_.problems->keep_going) throw;
      if (built.work.failure_count() == 0) run_.sink.ReportFailure(kGenerateProcedure);
      // The progress counted the abandoned unit's ticks.
      for (int t = ticked; t < TicksOfUnit(run_.inputs, unit); ++t) host.StatusTick("");
    }
    if (built.overview_rows) {
      AppendRows(*built.overview_rows, run_.inputs.sheets.widest_column_count, &overview_rows_);
      for (AllocationRow& row : built.overview_row_places) {
        overview_row_places_.push_back(std::move(row));
      }
    }
    // An abandoned unit's pages are not written, so their rows are not kept either.
    if (replayed && run_.job.allocation != nullptr) {
      for (AllocationPage& page : built.pages) {
        run_.job.allocation->pages.push_back(std::move(page));
      }
    }
    if (replayed && run_.job.export_stream != nullptr) {
      run_.job.export_stream->Add(run_.job.export_index, std::move(built.export_text));
    }
    page_ = std::move(built.leaving);
  }

  // Builds units on the pool from the states they are predicted to start from, while the run
  // commits them in order. Where a unit's leaving state cannot be predicted, no unit after it
  // is handed out before it is committed.
  void BuildAheadAndCommit(const std::vector<PageUnit>& units) {
    std::vector<std::optional<BuiltUnit>> done(units.size());
    std::mutex mutex;
    std::condition_variable finished;
    int building = 0;
    // The pool's units read the run's inputs and write into `done`: wait for them however
    // this ends.
    struct WaitForPool {
      std::mutex& mutex;
      std::condition_variable& finished;
      int& building;
      ~WaitForPool() {
        std::unique_lock<std::mutex> lock(mutex);
        finished.wait(lock, [this] { return building == 0; });
      }
    } wait_for_pool{mutex, finished, building};

    PageState predicted = CarriedState(page_);
    // A unit whose commit must come before more are handed out; kNone when there is none.
    constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    std::size_t unpredictable = kNone;
    std::size_t next = 0;
    const std::size_t ahead = static_cast<std::size_t>(std::max(run_.job.units_ahead, 1));
    for (std::size_t k = 0; k < units.size(); ++k) {
      for (; next < units.size() && next < k + ahead && unpredictable == kNone; ++next) {
        {
          std::lock_guard<std::mutex> lock(mutex);
          ++building;
        }
        run_.job.pool->Submit([&, next, entering = predicted] {
          BuiltUnit built =
              BuildPageUnit(run_.inputs, run_.job.shared, units[next], entering, recording_);
          std::lock_guard<std::mutex> lock(mutex);
          done[next] = std::move(built);
          --building;
          finished.notify_all();
        });
        std::optional<PageState> leaving = PredictLeavingState(run_.inputs, units[next], predicted);
        if (leaving) {
          predicted = std::move(*leaving);
        } else {
          unpredictable = next;
        }
      }
      BuiltUnit built;
      {
        std::unique_lock<std::mutex> lock(mutex);
        finished.wait(lock, [&] { return done[k].has_value(); });
        built = std::move(*done[k]);
        done[k].reset();
      }
      const bool as_predicted = SameCarriedState(built.entering, CarriedState(page_));
      Commit(units[k], built);
      // A unit built from a wrong state makes the predictions after it wrong too: hand out
      // no more until those already out are committed, then predict from what is known.
      if (!as_predicted && unpredictable == kNone) unpredictable = next - 1;
      if (unpredictable == k) {
        unpredictable = kNone;
        predicted = CarriedState(page_);
      }
    }
  }

  Run& run_;
  PageState& page_;
  Table& overview_rows_;
  std::vector<AllocationRow>& overview_row_places_;
  const RowRecording recording_;
};

// The overview page's rows as the allocation keeps them: each shown row takes its section and
// origin from the overview row it was built from.
AllocationPage OverviewAllocationPage(const ShownRows& shown,
                                      const std::vector<AllocationRow>& places) {
  AllocationPage page{"Overview.htm", AllocationPageKind::kOverview, "", "", {}};
  for (const std::shared_ptr<const ShownRowGroup>& group : shown) {
    group->ForEachRow([&](const ShownRowView& row) {
      AllocationRow& out = page.rows.emplace_back();
      const std::size_t r = row.origin.part_row;
      if (r >= 1 && r <= places.size()) {
        out.section = places[r - 1].section;
        out.origin = places[r - 1].origin;
      }
      out.font_class = row.font_class;
      out.cells.assign(row.cells.begin(), row.cells.end());
    });
  }
  return page;
}

// The language's whole run; `*complete` becomes true when every page was written.
void Generate(Run& run, bool* complete) {
  const LanguageJob& job = run.job;
  const RunSettings& settings = job.settings;
  Host& host = job.host;
  if (job.has_own_folder && !PathExists(job.fs, settings.destination_folder)) {
    static_cast<void>(CreateFolderWithParents(job.fs, run.errors(), settings.destination_folder));
  }
  run.logs.set_event_log_path(settings.destination_folder + "Logfile.log");
  CheckPath(run, settings.destination_folder, "Destinationfolder");
  CheckPath(run, settings.template_folder, "HTML-SourceFolder");
  CheckPath(run, settings.database_file, "Orvano.mdb");
  CheckPath(run, settings.description_file, "Orvano.doc");
  CheckPath(run, settings.workbook_file, "Excel-Collectionfile");
  run.logs.RemoveEventLog();
  const auto started = std::chrono::steady_clock::now();
  ReadLanguageInputs(run);
  const auto read = std::chrono::steady_clock::now();
  if (job.record != nullptr) {
    job.record->reading_seconds = std::chrono::duration<double>(read - started).count();
  }

  const RunInputs& inputs = run.inputs;
  PageState page;
  // Until the first section chooses its sheet, the page's sheet is the direct-cell sheet.
  page.sheet_index = job.shared.direct_sheet;
  Table overview_rows(7, 1);
  std::vector<AllocationRow> overview_row_places;
  // The maximum is the ticks the run makes: one now, the units', and five for the overview,
  // menu and main pages and the two copies.
  const std::vector<PageUnit> units = PlanPageUnits(inputs);
  int ticks = 6;
  for (const PageUnit& unit : units) ticks += TicksOfUnit(inputs, unit);
  host.StatusStart("Working...", ticks, true);
  host.StatusTick("");
  UnitCommitter(run, page, overview_rows, overview_row_places).BuildAndCommit(units);
  if (job.end_requested != nullptr && job.end_requested->load()) throw EndProgram{1};

  // Pages are replaced only when complete, so nothing is deleted beforehand. The overview,
  // menu and main pages see the page state as the last section left it.
  const bool wants_rows = job.allocation != nullptr || job.export_stream != nullptr;
  ShownRows overview_shown;
  std::optional<LineList> overview = BuildSectionPage(
      inputs, page, inputs.templates.entries[TemplateSet::kOverview], overview_rows, std::nullopt,
      std::nullopt, run.sink, wants_rows ? &overview_shown : nullptr);
  if (overview && wants_rows) {
    AllocationPage rows = OverviewAllocationPage(overview_shown, overview_row_places);
    if (job.export_stream != nullptr) {
      std::string text;
      AppendPageExport(*job.export_layout, inputs.language.id, rows, &text);
      job.export_stream->Add(job.export_index, std::move(text));
    }
    if (job.allocation != nullptr) job.allocation->pages.push_back(std::move(rows));
  }
  bool written = overview &&
                 WritePage(job.fs, *overview, inputs.destination_folder + "Overview.htm", run.sink);
  host.StatusTick("Overview.htm");
  const PageOutput output{job.fs, inputs, run.errors(), run.sink};
  written = WriteMenuPage(output, page) && written;
  host.StatusTick("Menu.htm");
  written = WriteMainPage(output, page) && written;
  host.StatusTick("Main.htm");
  written = CopyTemplateFolderFile(output, kIndexPageName) && written;
  host.StatusTick(kIndexPageName);
  written = CopyTemplateFolderFile(output, "Brenk.gif") && written;
  host.StatusTick("Brenk.gif");
  if (job.settings.search && job.allocation != nullptr) {
    for (const GeneratedFile& file : SearchPageFiles(*job.allocation)) {
      written =
          WriteEncodedPage(job.fs, file.bytes, inputs.destination_folder + file.name, run.sink) &&
          written;
    }
  }
  if (job.record != nullptr) {
    job.record->building_seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - read).count();
  }
  *complete = written;
}

}  // namespace

bool GenerateLanguage(const LanguageJob& job) {
  Run run(job);
  bool complete = false;
  static_cast<void>(
      Guarded(run.errors(), kGenerateProcedure, kWindow, [&] { Generate(run, &complete); }));
  return complete;
}

}  // namespace orvano
