// RunContext: the state of the program and of its runs in one place, passed by reference
// instead of process-wide records. It holds the seams (file system, host), the settings, the
// language state and the logs; the input readers and page builders add their records here.

#ifndef ORVANO_APP_RUN_CONTEXT_H_
#define ORVANO_APP_RUN_CONTEXT_H_

#include <string>

#include "app/error_reporting.h"
#include "app/program_info.h"
#include "app/run_settings.h"
#include "inputs/language_info.h"
#include "inputs/machine_description.h"
#include "inputs/text_table.h"
#include "inputs/workbook_cache.h"
#include "support/logs.h"
#include "support/table.h"
#include "templates/current_page.h"
#include "templates/template_set.h"

namespace orvano {

class FileSystem;
class Host;

struct RunContext {
  /// `fs` and `host` must outlive the context.
  RunContext(FileSystem& file_system, Host& the_host, ProgramInfo info)
      : fs(file_system),
        host(the_host),
        program(std::move(info)),
        logs(file_system, program.ErrorLogPath(), program.DefaultEventLogPath()) {}
  RunContext(const RunContext&) = delete;
  RunContext& operator=(const RunContext&) = delete;

  /// What the common error handling needs, for Guarded().
  ErrorContext errors() { return {host, logs, settings.silent}; }
  /// Where the readers and page builders report.
  ErrorSink& sink() { return error_sink; }

  FileSystem& fs;
  Host& host;
  ProgramInfo program;
  RunSettings settings;
  LanguageInfo language;
  Logs logs;
  ReportingErrorSink error_sink{host, logs, settings.silent};
  std::string user_ini_file;  // UserIniFile

  MachineDescription description;
  TextTable texts;
  WorkbookCache workbook;
  Table direct_cells;  // DirectCellTable: the sheet "CommonDirect"
  TemplateSet templates;
  CurrentPage page;
  SectionBuild build;
};

}  // namespace orvano

#endif  // ORVANO_APP_RUN_CONTEXT_H_
