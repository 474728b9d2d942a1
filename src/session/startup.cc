#include "session/startup.h"

#include <charconv>
#include <cstdio>

#include "generation/allocation_export.h"
#include "generation/generation_driver.h"
#include "generation/run_record.h"
#include "generation/run_report.h"
#include "generation/search_page.h"
#include "session/command_line.h"
#include "session/paths.h"
#include "session/program_info.h"
#include "session/run_context.h"
#include "session/settings_loader.h"
#include "session/windowless_fields.h"
#include "support/errors.h"
#include "support/file_system.h"
#include "support/host.h"

namespace orvano {
namespace {

constexpr std::string_view kCheckKey = "Check";
constexpr std::string_view kStrictKey = "Strict";
constexpr std::string_view kReportKey = "Report";
constexpr std::string_view kExportKey = "Export";
constexpr std::string_view kSearchKey = "Search";
constexpr std::string_view kCompareKey = "Compare";
constexpr int kMostJobs = 256;

// The value of the switch `key`: false when absent; a value other than TRUE or FALSE is a
// command-line error.
bool ReadSwitch(const std::vector<std::string>& args, std::string_view key,
                std::vector<std::string>* errors) {
  if (FindCommandLineToken(args, key, true).empty()) return false;
  const std::string value = CommandLineValue(args, key);
  if (value != "TRUE" && value != "FALSE") {
    errors->push_back(std::string(key) + " must be TRUE or FALSE, not \"" + value + "\"");
  }
  return value == "TRUE";
}

bool IsValidJobCount(const std::string& jobs) {
  int count = 0;
  const char* end = jobs.data() + jobs.size();
  auto [stop, error] = std::from_chars(jobs.data(), end, count);
  return error == std::errc() && stop == end && count >= 1 && count <= kMostJobs;
}

// The problems of a command line that no project can make right.
void CheckCommandLine(StartUpMode& mode) {
  std::vector<std::string>& errors = mode.command_line_errors;
  if (!mode.jobs.empty() && !IsValidJobCount(mode.jobs)) {
    errors.push_back("Jobs not valid: " + mode.jobs + " (a whole number from 1 to 256)");
  }
  if (!FindCommandLineToken(mode.command_line_args, kReportKey, true).empty() &&
      mode.report_file.empty()) {
    errors.push_back("Report needs a file name: Report=<file.json>");
  }
  if (!FindCommandLineToken(mode.command_line_args, kExportKey, true).empty()) {
    if (mode.export_file.empty()) {
      errors.push_back("Export needs a file name: Export=<file.json> or Export=<file.csv>");
    } else if (!ExportFormatOf(mode.export_file)) {
      errors.push_back("Export must end with .json or .csv: " + mode.export_file);
    }
  }
  if (!FindCommandLineToken(mode.command_line_args, kCompareKey, true).empty() &&
      mode.compare_file.empty()) {
    errors.push_back("Compare needs a file name: Compare=<old export.json>");
  }
  const std::string& languages = mode.language_id;
  if (languages.find(',') != std::string::npos) {
    for (std::size_t start = 0;;) {
      const std::size_t comma = languages.find(',', start);
      const std::string item = languages.substr(start, comma - start);
      if (item.find_first_not_of(" \t") == std::string::npos) {
        errors.push_back("Language list not valid: " + languages);
        break;
      }
      if (comma == std::string::npos) break;
      start = comma + 1;
    }
  }
}

// The inputs, the exit status and the report of a run that ended with `status`; a check
// prints its problems. Returns the exit status: 1 when the report cannot be written.
int FinishRun(RunContext& context, RunRecord& record, int status) {
  record.exit_status = status;
  record.inputs = DescribeInputs(context.settings);
  if (record.check_only) std::fputs(CheckModeLines(record).c_str(), stdout);
  // A run that wrote a search page names it, so that it can be opened from the terminal.
  if (!record.check_only && context.settings.search) {
    for (const LanguageRecord& language : record.languages) {
      if (!language.complete) continue;
      std::printf("Search page: %s%s\n", language.destination_folder.c_str(), kSearchPageName);
    }
  }
  const std::string& report = context.settings.report_file;
  if (report.empty()) return status;
  try {
    WriteRunReport(context.fs, report, record, context.program.version);
  } catch (const OrvanoError& e) {
    context.host.WriteDiagnostic("cannot write the run report " + report + ": " + e.description());
    return kExitStopped;
  }
  return status;
}

}  // namespace

StartUpMode ReadStartUpMode(const std::vector<std::string>& arguments, const ProgramInfo& program) {
  StartUpMode mode;
  mode.command_line_args = arguments;
  mode.is_running_on_machine_pc = IsRunningFromMachinePcTools(program.folder, program.install_root);
  mode.silent = mode.is_running_on_machine_pc;
  std::string silent = CommandLineValue(mode.command_line_args, "Silent");
  if (silent == "TRUE") mode.silent = true;
  if (silent == "FALSE") mode.silent = false;
  mode.language_id = CommandLineValue(mode.command_line_args, "LangID");
  mode.jobs = CommandLineValue(mode.command_line_args, "Jobs");
  mode.check_only = ReadSwitch(mode.command_line_args, kCheckKey, &mode.command_line_errors);
  mode.strict = ReadSwitch(mode.command_line_args, kStrictKey, &mode.command_line_errors);
  mode.report_file = CommandLinePath(mode.command_line_args, kReportKey);
  mode.export_file = CommandLinePath(mode.command_line_args, kExportKey);
  mode.search = ReadSwitch(mode.command_line_args, kSearchKey, &mode.command_line_errors);
  mode.compare_file = CommandLinePath(mode.command_line_args, kCompareKey);
  if (mode.check_only) mode.silent = true;
  mode.show_progress =
      mode.silent && CommandLineValue(mode.command_line_args, "progress") == "TRUE";
  CheckCommandLine(mode);
  return mode;
}

void ApplyStartUpMode(const StartUpMode& mode, RunContext& context) {
  context.settings.command_line_args = mode.command_line_args;
  context.settings.is_running_on_machine_pc = mode.is_running_on_machine_pc;
  context.settings.silent = mode.silent;
  context.settings.show_progress = mode.show_progress;
  context.settings.language_id = mode.language_id;
  context.settings.jobs = mode.jobs;
  context.settings.check_only = mode.check_only;
  context.settings.strict = mode.strict;
  context.settings.report_file = mode.report_file;
  context.settings.export_file = mode.export_file;
  context.settings.search = mode.search;
  context.settings.compare_file = mode.compare_file;
  context.settings.program_version = context.program.version;
}

void LoadStartSettings(RunContext& context, SettingsFields& fields,
                       const std::vector<std::string>& arguments) {
  context.settings.command_line_args = arguments;
  LoadSettings(context, fields);
}

std::unique_ptr<RunContext> NewStartContext(FileSystem& fs, Host& host, const ProgramInfo& program,
                                            const StartUpMode& mode) {
  // An installed program's first start makes its per-user folders; without them it still runs.
  for (const std::string& failure : MakeUserFolders(fs, program)) host.WriteDiagnostic(failure);
  auto context = std::make_unique<RunContext>(fs, host, program);
  ApplyStartUpMode(mode, *context);
  return context;
}

RunOutcome RunWithoutWindow(RunContext& context, const std::vector<std::string>& arguments) {
  WindowlessFields fields(context);
  context.KeepRecord();
  RunRecord& record = *context.record;
  record.check_only = context.settings.check_only;
  record.strict = context.settings.strict;
  try {
    LoadStartSettings(context, fields, arguments);
    GenerationOutcome generated =
        GeneratePages(context.settings, context.languages.languages, context.seams(), &record);
    const int status = FinishRun(context, record, ExitStatusOf(record, generated.complete));
    return RunOutcome{status, std::move(generated.inputs)};
  } catch (const EndProgram& end) {
    static_cast<void>(FinishRun(context, record, end.exit_code));
    throw;
  }
}

RunOutcome StartProgram(std::vector<std::string> arguments, WindowFrontEnd& windows) {
  ProgramStart start{NewPosixFileSystem(), CurrentProgramInfo(), {}, std::move(arguments)};
  start.mode = ReadStartUpMode(start.arguments, start.program);
  const StartUpMode& mode = start.mode;
  if (mode.silent && !mode.command_line_errors.empty()) {
    for (const std::string& error : mode.command_line_errors) {
      std::fprintf(stderr, "orvano-html: %s (see --help)\n", error.c_str());
    }
    return RunOutcome{kExitCommandLine, nullptr};
  }
  if (!mode.silent) {
    if (!windows.CanShowWindow()) {
      std::fprintf(stderr,
                   "orvano-html: no display to show the window on; run it with Silent=TRUE "
                   "(see --help)\n");
      return RunOutcome{kExitCommandLine, nullptr};
    }
    return RunOutcome{windows.RunWindow(start), nullptr};
  }
  if (mode.show_progress && windows.CanShowWindow()) {
    return windows.RunSilentWithProgressWindow(start);
  }
  const std::unique_ptr<Host> host = NewSilentHost(mode.show_progress);
  const std::unique_ptr<RunContext> context =
      NewStartContext(*start.fs, *host, start.program, mode);
  return RunWithoutWindow(*context, start.arguments);
}

}  // namespace orvano
