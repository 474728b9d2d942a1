// RunContext: what one start of the program owns: the seams (file system, host), the program's
// facts, the settings (command line, user INI file, window), the project's language list, the
// logs and the error sink, and the inputs of the last run. It lives in app/ and ui/ only; the
// readers and page builders below take the parts they need.

#ifndef ORVANO_APP_RUN_CONTEXT_H_
#define ORVANO_APP_RUN_CONTEXT_H_

#include <memory>
#include <string>
#include <vector>

#include "app/error_reporting.h"
#include "app/program_info.h"
#include "app/run_record.h"
#include "app/run_settings.h"
#include "inputs/languages.h"
#include "support/logs.h"

namespace orvano {

class FileSystem;
class Host;

/// The languages of the project database, as the window offers them.
struct ProjectLanguageList {
  std::string table_name;  // "Tlanguages" (.mdb) or "TcfgLanguages" (.vws)
  std::vector<ProjectLanguage> languages;
};

struct RunContext {
  /// `fs` and `host` must outlive the context.
  RunContext(FileSystem& file_system, Host& the_host, ProgramInfo info)
      : fs(file_system),
        host(the_host),
        program(std::move(info)),
        logs(file_system, program.ErrorLogPath(), program.DefaultEventLogPath()) {}
  RunContext(const RunContext&) = delete;
  RunContext& operator=(const RunContext&) = delete;

  /// What the common error handling of the app layer's own steps needs.
  ErrorContext errors() {
    return {host, logs, settings.silent, {}, record ? &record->run_problems : nullptr};
  }
  /// Where the readers and page builders report.
  ErrorSink& sink() { return error_sink; }

  FileSystem& fs;
  Host& host;
  ProgramInfo program;
  RunSettings settings;
  ProjectLanguageList languages;
  Logs logs;
  ReportingErrorSink error_sink{host, logs, settings.silent};
  std::string user_ini_file;
  /// When set, the run keeps its account here (files written, notes and errors, durations);
  /// with its check_only, the run writes nothing.
  RunRecord* record = nullptr;

  // What the last run read. A run replaces it; a silent run leaves it to the process's end
  // rather than freeing hundreds of thousands of cells one by one.
  std::shared_ptr<const void> last_run;
};

}  // namespace orvano

#endif  // ORVANO_APP_RUN_CONTEXT_H_
