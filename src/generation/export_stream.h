// ExportStream: writes the export (key Export) while the run goes. The export takes the
// languages in their order, so the first language's pages go to the file as they are done and
// the others' are kept until the end. The file is put in place only when the run is complete:
// a run that stops leaves the export it had before.

#ifndef ORVANO_GENERATION_EXPORT_STREAM_H_
#define ORVANO_GENERATION_EXPORT_STREAM_H_

#include <cstddef>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "generation/allocation_export.h"
#include "support/file_system.h"

namespace orvano {

class ExportStream {
 public:
  /// Starts the export at `path` of the languages `ids`, in this order, naming the program's
  /// `version` and the run's `inputs`; an export there that holds exactly the same bytes is left
  /// as it is. Throws what FileSystem::StartFileIfChanged throws, located at `path`.
  ExportStream(FileSystem& fs, const std::string& path, const ExportLayout& layout,
               std::vector<std::string> ids, const std::vector<InputFile>& inputs,
               const std::string& version);

  /// Adds `pages` (AppendPageExport's text of one or more pages) of language `language` (an
  /// index into `ids`). A language's pages come in their order, from one thread at a time;
  /// languages may add from different threads. A failure to write is kept for Finish.
  void Add(std::size_t language, std::string pages);

  /// Writes the rest and puts the export in place. Throws UnexpectedError located at the path,
  /// also for a failure while the pages were added.
  void Finish();

 private:
  struct Language {
    std::string id;
    bool has_pages = false;
    std::vector<std::string> kept;  // the pages of a language after the first
  };

  void Write(std::string_view bytes);

  const ExportLayout layout_;
  const std::string path_;
  std::unique_ptr<PendingFile> file_;
  std::vector<Language> languages_;
  std::exception_ptr failure_;  // the first failure to write the first language's pages
};

}  // namespace orvano

#endif  // ORVANO_GENERATION_EXPORT_STREAM_H_
