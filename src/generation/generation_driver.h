// The generation driver: one complete run of the language or languages that LangID selects.
// It reads what the languages share once, then runs each language (see language_run) on worker
// threads while the calling thread serves their dialogs and progress, and, when several
// languages were written into folders of their own, writes the page that lists them.

#ifndef ORVANO_GENERATION_GENERATION_DRIVER_H_
#define ORVANO_GENERATION_GENERATION_DRIVER_H_

#include <memory>
#include <vector>

namespace orvano {

class FileSystem;
class Host;
class Logs;
struct ProjectLanguage;
struct RunRecord;
struct RunSettings;

/// The seams a generation works through. All must outlive the call.
struct GenerationSeams {
  FileSystem& fs;
  Host& host;  // dialogs, progress and diagnostics, served on the calling thread
  Logs& logs;  // the error log; the event log's default path
};

/// What a generation read (workbook, texts, templates of every language), kept alive by the
/// caller for as long as it likes: a silent run keeps it to the process's end rather than
/// freeing hundreds of thousands of cells one by one.
struct GenerationInputs;

struct GenerationOutcome {
  /// True when every page of every language was written.
  bool complete = false;
  std::shared_ptr<const GenerationInputs> inputs;
};

/// Runs one generation with the paths and language selection of `settings` over the project's
/// `languages`. With `record`, keeps the run's account there (files written, notes and errors,
/// durations); with its check_only, writes nothing. `complete` is false when a check or step
/// stopped a language (its message, such as "Error reading Orvano.doc", has been reported, and
/// its earlier pages are untouched) or a page could not be written. Throws EndProgram when the
/// program is to end (silent runs of one language: the first error; several languages in
/// silent runs end only the failing language).
[[nodiscard]] GenerationOutcome GeneratePages(const RunSettings& settings,
                                              const std::vector<ProjectLanguage>& languages,
                                              const GenerationSeams& seams, RunRecord* record);

}  // namespace orvano

#endif  // ORVANO_GENERATION_GENERATION_DRIVER_H_
