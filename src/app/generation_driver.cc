#include "app/generation_driver.h"

#include "support/host.h"
#include "app/navigation_pages.h"
#include "app/paths.h"
#include "app/run_context.h"
#include "fonts/font_classes.h"
#include "inputs/languages.h"
#include "inputs/text_database.h"
#include "inputs/workbook.h"
#include "app/error_reporting.h"
#include "support/errors.h"
#include "support/file_system.h"
#include "templates/page_output.h"
#include "templates/section_builder.h"
#include "templates/section_fields.h"
#include "templates/template_files.h"

namespace orvano {
namespace {

constexpr std::string_view kProcedure = "StartMainProcess";
constexpr std::string_view kWindow = "frmMain";  // the driver is a procedure of the main window

// Stops the run with the program's own message.
[[noreturn]] void Stop(const std::string& message) {
  throw ProgramError(message, std::string(kProcedure));
}

void CheckPath(RunContext& context, const std::string& path, const std::string& what) {
  if (path.empty()) Stop("Path " + what + " not set!");
  if (!PathExists(context.fs, path)) Stop("Path " + what + " (" + path + ") not found!");
}

// The font face and code page of the run's language; stops when the language is not selected or
// not in the list.
void ChooseLanguage(RunContext& context) {
  LanguageInfo& language = context.language;
  if (language.language_id.empty()) Stop("Language not selected!");
  bool found = false;
  const Table& list = language.language_list;
  const Cell id(language.language_id);
  for (std::size_t r = 0; r < list.row_count(); ++r) {
    if (!SameLanguageId(list.At(0, r), id)) continue;
    language.font_name = GetFontSpecs(context, list.TextAt(2, r))[0];
    found = true;  // every row is visited: with duplicates the last one wins
  }
  const std::string& language_db = context.settings.path_language_db;
  language.code_page = (!language_db.empty() && context.fs.FileExists(language_db))
                           ? GetCodePage(context, language.language_id)
                           : "1252";
  if (!found) Stop("Language not found");
}

// Writes one page and its detail twin; a name that would leave the destination is refused.
void WriteSectionPages(RunContext& context, const Table& main_part, int section, int machine) {
  const std::string& section_name = context.description.Section(section).name;
  std::string machine_name = machine == -1 ? "" : context.description.Machine(machine).name;
  if (!IsSafePageNamePart(section_name) || (machine != -1 && !IsSafePageNamePart(machine_name))) {
    context.logs.LogEvent("Page name not allowed: section \"" + section_name + "\"" +
                          (machine == -1 ? "" : ", machine \"" + machine_name + "\""));
    context.host.StatusTick();
    context.host.StatusTick();
    return;
  }
  const std::string& destination = context.settings.path_destination_folder;
  context.build.last_page_rows.clear();  // only the detail twin may reuse the rows built here
  for (bool detail : {false, true}) {
    const LineList& lines =
        context.templates.entries[detail ? TemplateSet::kDetail : TemplateSet::kSection];
    std::string path = destination + SectionPageName(section_name, machine_name, detail);
    if (WriteHTMLFile(context, lines, path, main_part, section, machine) != 1) {
      Stop("Error generating Collectionfile");
    }
    context.host.StatusTick();
  }
}

void GenerateSection(RunContext& context, int section, Table* overview_rows) {
  MachineDescription& description = context.description;
  CurrentPage& page = context.page;
  const std::string& name = description.Section(section).name;
  page.sheet_index = -1;
  const auto& sheets = context.workbook.sheet_list;
  for (std::size_t k = 0; k < sheets.size(); ++k) {
    if (sheets[k].name == name) {
      page.sheet_index = static_cast<std::int32_t>(k);
      break;
    }
  }
  if (page.sheet_index == -1) {
    context.logs.LogEvent("Table not found: " + name);
    description.Section(section).enabled = "0";
    context.host.StatusTick();
    return;
  }
  if (ReadCompleteExcelSheet(context, page.sheet_index, &context.workbook.current_sheet) == -1) {
    Stop("Error reading Collectionfile");
  }
  Table overview, main_part;
  if (SeparateOverviewAndMain(context, context.workbook.current_sheet, &overview, &main_part) ==
      -1) {
    Stop("Error reading Collectionfile");
  }
  AppendTextField(context, GetHTMLFromXL(context, overview), overview_rows);
  context.host.StatusTick();

  if (sheets[static_cast<std::size_t>(page.sheet_index)].machine_dependent == 1) {
    for (int m = 1; m <= static_cast<int>(description.machines.size()); ++m) {
      if (description.PositionCount(m, section) != 0) {
        page.machine_index = static_cast<std::int16_t>(m);
        page.machine_name = description.Machine(m).name;
        page.position = "2";
        WriteSectionPages(context, main_part, section, m);
      }
      context.host.StatusTick();
    }
  } else {
    page.machine_index = -1;
    page.machine_name = "-1";
    page.position = "2";
    WriteSectionPages(context, main_part, section, -1);
  }
}

void Generate(RunContext& context, bool* complete) {
  Host& host = context.host;
  RunSettings& settings = context.settings;
  context.logs.set_event_log_path(settings.path_destination_folder + "Logfile.log");
  CheckPath(context, settings.path_destination_folder, "Destinationfolder");
  CheckPath(context, settings.path_html_source_folder, "HTML-SourceFolder");
  CheckPath(context, settings.path_orvano_db, "Orvano.mdb");
  CheckPath(context, settings.path_orvano_doc, "Orvano.doc");
  CheckPath(context, settings.path_xl_collection, "Excel-Collectionfile");
  context.logs.ClearEventLog();
  ChooseLanguage(context);

  if (ReadOrvanoDatabase(context, context.texts, context.language.language_id) == -1) {
    Stop("Error reading Orvano.mdb");
  }
  if (ReadOrvanoDoc(context) == -1) Stop("Error reading Orvano.doc");
  if (XLCollectionSheetList(context) == -1) Stop("Error reading Collectionfile");
  if (LoadDirectExcelSheet(context) == -1) Stop("Error reading XL-Sheet \"CommonDirect\"");
  Table overview_rows(7, 1);
  int status = -1;
  context.templates = ReadPredifinedHTMLFiles(context, &status);
  if (status == -1) Stop("Error reading Sourcefile");

  const int sections = static_cast<int>(context.description.sections.size());
  const int machines = static_cast<int>(context.description.machines.size());
  host.StatusStart("Working...", sections * (2 * machines + 1) + 6, true);
  host.StatusTick();
  for (int s = 1; s <= sections; ++s) GenerateSection(context, s, &overview_rows);

  // Pages are replaced only when complete, so nothing is deleted beforehand.
  // The overview page sees the current page as the last section left it.
  const std::string& destination = settings.path_destination_folder;
  bool written = WriteHTMLFile(context, context.templates.entries[TemplateSet::kOverview],
                               destination + "Overview.htm", overview_rows, -1, -1) == 1;
  host.StatusTick();
  written = GenerateMenuFileHTML(context) == 1 && written;
  host.StatusTick();
  written = GenerateMainFileHTML(context) == 1 && written;
  host.StatusTick();
  written = CopyFileSourceTarget(context, "Index.htm") == 1 && written;
  host.StatusTick();
  written = CopyFileSourceTarget(context, "Brenk.gif") == 1 && written;
  host.StatusTick();
  *complete = written;
}

}  // namespace

int StartMainProcess(RunContext& context) {
  context.host.StatusStart("", 0, true);
  bool complete = false;
  Guarded(context.errors(), kProcedure, kWindow, [&] { Generate(context, &complete); });
  context.host.StatusEnd();
  context.host.PumpEvents();
  return complete ? 1 : -1;
}

}  // namespace orvano
