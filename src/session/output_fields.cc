#include "session/output_fields.h"

#include <utility>
#include <vector>

#include "generation/allocation_export.h"
#include "session/command_line.h"
#include "session/run_context.h"
#include "support/errors.h"
#include "support/file_system.h"
#include "support/host.h"
#include "support/ini_file.h"

namespace orvano {
namespace {

// The command-line keys of the outputs.
constexpr std::string_view kExportKey = "Export";
constexpr std::string_view kCompareKey = "Compare";
constexpr std::string_view kSearchKey = "Search";

bool IsGivenOnCommandLine(const RunSettings& settings, std::string_view key) {
  return !FindCommandLineToken(settings.command_line_args, key, true).empty();
}

// The value of an output field at the start: the command line's, else the remembered entry's
// when its rule takes it. Takes it into the setting and returns what the field shows.
std::string LoadOutputField(RunContext& context, const IniFile& ini, OutputField field,
                            std::string_view key, std::string_view entry) {
  std::string text;
  if (IsGivenOnCommandLine(context.settings, key)) {
    text = CommandLinePath(context.settings.command_line_args, key);
  } else {
    text = ini.ReadString(kIniEnvironSection, entry);
    if (!OutputFieldProblem(context.fs, field, text).empty()) text.clear();
  }
  static_cast<void>(TakeOutputFieldText(context, field, text));
  return text;
}

}  // namespace

std::string& OutputSetting(RunSettings& settings, OutputField field) {
  return field == OutputField::kExportFile ? settings.export_file : settings.compare_file;
}

std::string OutputFieldProblem(FileSystem& fs, OutputField field, const std::string& text) {
  if (text.empty()) return "";
  if (field == OutputField::kCompareFile) {
    return fs.IsFile(text) ? "" : "Compare file not found: " + text;
  }
  if (!ExportFormatOf(text) || fs.IsFolder(text)) {
    return "Export must be a file ending with .json or .csv: " + text;
  }
  const std::string folder = FolderOf(text);
  if (folder.empty() || !fs.IsFolder(folder)) return "Export folder not found: " + folder;
  return "";
}

std::string TakeOutputFieldText(RunContext& context, OutputField field, const std::string& text) {
  std::string problem = OutputFieldProblem(context.fs, field, text);
  OutputSetting(context.settings, field) = problem.empty() ? text : "";
  return problem;
}

OutputTexts LoadWindowOutputs(RunContext& context) {
  context.user_ini_file = context.program.UserIniPath();
  const IniFile ini = IniFile::Load(context.fs, context.user_ini_file);
  OutputTexts texts;
  texts.export_file =
      LoadOutputField(context, ini, OutputField::kExportFile, kExportKey, kExportEntry);
  texts.compare_file =
      LoadOutputField(context, ini, OutputField::kCompareFile, kCompareKey, kCompareEntry);
  RunSettings& settings = context.settings;
  if (IsGivenOnCommandLine(settings, kSearchKey)) {
    settings.search = CommandLineValue(settings.command_line_args, kSearchKey) == "TRUE";
  } else {
    settings.search = ini.ReadBoolean(kIniEnvironSection, kSearchPageEntry);
  }
  texts.search = settings.search;
  return texts;
}

void RememberOutputs(RunContext& context) {
  const RunSettings& settings = context.settings;
  try {
    WriteIniEntries(context.fs, context.user_ini_file, kIniEnvironSection,
                    {{std::string(kExportEntry), settings.export_file},
                     {std::string(kCompareEntry), settings.compare_file},
                     {std::string(kSearchPageEntry), settings.search ? "TRUE" : "FALSE"}});
  } catch (const OrvanoError& e) {
    context.host.WriteDiagnostic("cannot remember the outputs: " + e.description());
  }
}

}  // namespace orvano
