// RunContext: what one start of the program owns: the seams (file system, host), the program's
// facts, the settings (command line, user INI file, window), the project's language list, the
// logs and the error sink, and a silent run's record. It lives in session/ and ui/ only; the
// generation and the readers and page builders below take the parts they need.

#ifndef ORVANO_SESSION_RUN_CONTEXT_H_
#define ORVANO_SESSION_RUN_CONTEXT_H_

#include <memory>
#include <string>
#include <vector>

#include "generation/error_reporting.h"
#include "generation/generation_driver.h"
#include "generation/run_record.h"
#include "generation/run_settings.h"
#include "inputs/languages.h"
#include "session/program_info.h"
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

  /// What the common error handling of the session's own steps needs.
  ErrorContext errors() {
    return {host, logs, settings.silent, {}, record ? &record->run_problems : nullptr};
  }
  /// Where the readers and page builders report.
  ErrorSink& sink() { return error_sink; }
  /// The seams a generation of this context works through.
  GenerationSeams seams() { return {fs, host, logs}; }

  /// Starts keeping a run's account (files written, notes and errors, durations) in `record`,
  /// the errors of the session's steps and the readers' reports included: a run without a
  /// window does, once per context. With the record's check_only, the run writes nothing.
  void KeepRecord() {
    record = std::make_unique<RunRecord>();
    error_sink.set_problems(&record->run_problems);
  }

  FileSystem& fs;
  Host& host;
  ProgramInfo program;
  RunSettings settings;
  ProjectLanguageList languages;
  Logs logs;
  /// The account of the run, when KeepRecord was called; the window keeps none.
  std::unique_ptr<RunRecord> record;
  ReportingErrorSink error_sink{host, logs, settings.silent};
  std::string user_ini_file;
};

}  // namespace orvano

#endif  // ORVANO_SESSION_RUN_CONTEXT_H_
