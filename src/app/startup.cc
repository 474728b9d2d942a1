#include "app/startup.h"

#include "app/command_line.h"
#include "app/generation_driver.h"
#include "app/paths.h"
#include "app/program_info.h"
#include "app/run_context.h"
#include "app/settings_loader.h"
#include "app/windowless_fields.h"
#include "support/file_system.h"
#include "support/host.h"

namespace orvano {

StartUpMode ReadStartUpMode(std::string_view argument_text, const ProgramInfo& program) {
  StartUpMode mode;
  mode.command_line_args = SplitCommandLine(argument_text);
  mode.is_running_on_machine_pc = IsRunningFromMachinePcTools(program.folder, program.install_root);
  mode.silent = mode.is_running_on_machine_pc;
  std::string silent = CommandLineValue(mode.command_line_args, "Silent");
  if (silent == "TRUE") mode.silent = true;
  if (silent == "FALSE") mode.silent = false;
  mode.language_id = CommandLineValue(mode.command_line_args, "LangID");
  mode.jobs = CommandLineValue(mode.command_line_args, "Jobs");
  mode.show_progress =
      mode.silent && CommandLineValue(mode.command_line_args, "progress") == "TRUE";
  return mode;
}

void ApplyStartUpMode(const StartUpMode& mode, RunContext& context) {
  context.settings.command_line_args = mode.command_line_args;
  context.settings.is_running_on_machine_pc = mode.is_running_on_machine_pc;
  context.settings.silent = mode.silent;
  context.settings.show_progress = mode.show_progress;
  context.settings.language_id = mode.language_id;
  context.settings.jobs = mode.jobs;
}

void LoadStartSettings(RunContext& context, SettingsFields& fields,
                       std::string_view argument_text) {
  context.settings.command_line_args = SplitCommandLine(argument_text);
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

int RunWithoutWindow(RunContext& context, std::string_view argument_text) {
  WindowlessFields fields(context);
  LoadStartSettings(context, fields, argument_text);
  return GeneratePages(context) ? 0 : 1;
}

int RunSilentlyToTheEnd(std::unique_ptr<FileSystem> fs, const ProgramInfo& program,
                        const StartUpMode& mode, std::string_view argument_text) {
  // Never destroyed; the static pointers keep them reachable for leak checkers.
  static FileSystem* file_system = fs.release();
  static Host* host = NewSilentHost(mode.show_progress).release();
  static RunContext* context = NewStartContext(*file_system, *host, program, mode).release();
  return RunWithoutWindow(*context, argument_text);
}

}  // namespace orvano
