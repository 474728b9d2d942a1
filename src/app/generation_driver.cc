#include "app/generation_driver.h"

#include <optional>
#include <string>

#include "app/navigation_pages.h"
#include "app/paths.h"
#include "app/run_context.h"
#include "fonts/font_classes.h"
#include "inputs/languages.h"
#include "inputs/text_database.h"
#include "inputs/workbook.h"
#include "support/errors.h"
#include "support/file_system.h"
#include "support/host.h"
#include "templates/page_output.h"
#include "templates/page_state.h"
#include "templates/section_builder.h"
#include "templates/section_fields.h"
#include "templates/template_files.h"

namespace orvano {
namespace {

// The step under which the run's own stops are reported, a procedure of the main window.
constexpr std::string_view kGenerateProcedure = "StartMainProcess";
constexpr std::string_view kWindow = "frmMain";
constexpr std::string_view kDirectSheetName = "CommonDirect";

// The rows of a sheet that its conditional rows are read by.
RowSwitches RowSwitchesOf(const MachineDescription& description) {
  return {description.with_reject_counter, description.with_more_service_presets};
}

// Stops the run with the program's own message.
[[noreturn]] void Stop(const std::string& message) {
  throw ProgramError(message, std::string(kGenerateProcedure));
}

void CheckPath(RunContext& context, const std::string& path, const std::string& what) {
  if (path.empty()) Stop("Path " + what + " not set!");
  if (!PathExists(context.fs, path)) Stop("Path " + what + " (" + path + ") not found!");
}

// The run's language: its font face from the project's language list and its code page from
// the language database. Stops when the language is not selected or not in the list.
RunLanguage ChooseLanguage(RunContext& context) {
  RunLanguage language;
  language.id = context.settings.language_id;
  if (language.id.empty()) Stop("Language not selected!");
  bool found = false;
  const Cell id(language.id);
  for (const ProjectLanguage& listed : context.languages.languages) {
    if (!SameLanguageId(listed.id, id)) continue;
    // Every entry is visited: with duplicates the last one wins.
    language.font_name = FontFaceOfLanguage(listed.font_spec, language.id, context.sink());
    found = true;
  }
  const std::string& names = context.settings.language_database_file;
  if (!names.empty() && context.fs.IsFile(names)) {
    language.code_page = ReadCodePage(names, language.id, context.sink());
  }
  if (!found) Stop("Language not found");
  return language;
}

// Reads every input of the run, in this order, into `context.inputs`; stops at the first
// input that cannot be read.
void ReadRunInputs(RunContext& context) {
  const RunSettings& settings = context.settings;
  ErrorSink& errors = context.sink();
  context.inputs = RunInputs();
  RunInputs& inputs = context.inputs;
  inputs.template_folder = settings.template_folder;
  inputs.destination_folder = settings.destination_folder;
  inputs.language = ChooseLanguage(context);

  std::optional<TextTable> texts =
      ReadTextDatabase(settings.database_file, inputs.language.id, errors);
  if (!texts) Stop("Error reading Orvano.mdb");
  inputs.texts = std::move(*texts);

  std::optional<MachineDescription> description =
      ReadMachineDescription(context.fs, settings.description_file, errors);
  if (!description) Stop("Error reading Orvano.doc");
  inputs.description = std::move(*description);

  std::optional<CollectionWorkbook> workbook =
      ReadCollectionWorkbook(context.fs, settings.workbook_file, errors);
  if (!workbook) Stop("Error reading Collectionfile");
  context.workbook = std::move(*workbook);
  inputs.sheets = context.workbook.sheets;

  const std::string direct_sheet_error =
      "Error reading XL-Sheet \"" + std::string(kDirectSheetName) + "\"";
  std::optional<std::size_t> direct_sheet = inputs.sheets.FindIgnoringCase(kDirectSheetName);
  if (!direct_sheet) Stop(direct_sheet_error);
  std::optional<Table> direct_cells =
      ReadSheetTable(context.workbook, *direct_sheet, RowSwitchesOf(inputs.description), errors);
  if (!direct_cells) Stop(direct_sheet_error);
  inputs.direct_cells = std::move(*direct_cells);

  inputs.templates = ReadTemplateSet(context.fs, settings.template_folder,
                                     inputs.description.interface_with_opc, errors);
}

// Writes one page and its detail twin; a name that would leave the destination is refused.
void WriteSectionPages(RunContext& context, PageState& page, const Table& main_part, int section,
                       std::optional<int> machine) {
  const RunInputs& inputs = context.inputs;
  const std::string& section_name = inputs.description.Section(section).name;
  const std::string machine_name = machine ? inputs.description.Machine(*machine).name : "";
  if (!IsSafePageNamePart(section_name) || (machine && !IsSafePageNamePart(machine_name))) {
    context.sink().Note("Page name not allowed: section \"" + section_name + "\"" +
                        (machine ? ", machine \"" + machine_name + "\"" : ""));
    context.host.StatusTick();
    context.host.StatusTick();
    return;
  }
  page.last_page_rows.clear();  // only the detail twin may reuse the rows built here
  for (bool detail : {false, true}) {
    const LineList& page_template =
        inputs.templates.entries[detail ? TemplateSet::kDetail : TemplateSet::kSection];
    std::optional<LineList> lines =
        BuildSectionPage(inputs, page, page_template, main_part, section, machine, context.sink());
    const std::string path =
        inputs.destination_folder + SectionPageName(section_name, machine_name, detail);
    if (!lines || !WritePage(context.fs, *lines, path, context.sink())) {
      Stop("Error generating Collectionfile");
    }
    context.host.StatusTick();
  }
}

void GenerateSection(RunContext& context, PageState& page, int section, Table* overview_rows) {
  const RunInputs& inputs = context.inputs;
  const MachineDescription& description = inputs.description;
  const std::string& name = description.Section(section).name;
  page.sheet_index = inputs.sheets.Find(name);
  if (!page.sheet_index) {
    context.sink().Note("Table not found: " + name);
    context.host.StatusTick();
    return;
  }
  std::optional<Table> sheet = ReadSheetTable(context.workbook, *page.sheet_index,
                                              RowSwitchesOf(description), context.sink());
  if (!sheet) Stop("Error reading Collectionfile");
  std::optional<SheetParts> parts = SplitOverviewAndMain(*sheet, context.sink());
  if (!parts) Stop("Error reading Collectionfile");
  AppendRows(BuildSectionTable(inputs, page, parts->overview, context.sink()),
             inputs.sheets.widest_column_count, overview_rows);
  context.host.StatusTick();

  if (inputs.sheets.entries[*page.sheet_index].is_machine_dependent) {
    for (int m = 1; m <= static_cast<int>(description.machines.size()); ++m) {
      if (description.PositionCount(m, section) != 0) {
        page.machine_index = static_cast<std::int16_t>(m);
        page.machine_name = description.Machine(m).name;
        page.position = "2";
        WriteSectionPages(context, page, parts->main, section, m);
      }
      context.host.StatusTick();
    }
  } else {
    page.machine_index = -1;
    page.machine_name = "-1";
    page.position = "2";
    WriteSectionPages(context, page, parts->main, section, std::nullopt);
  }
}

// The whole run; `*complete` becomes true when every page was written.
void Generate(RunContext& context, bool* complete) {
  Host& host = context.host;
  const RunSettings& settings = context.settings;
  context.logs.set_event_log_path(settings.destination_folder + "Logfile.log");
  CheckPath(context, settings.destination_folder, "Destinationfolder");
  CheckPath(context, settings.template_folder, "HTML-SourceFolder");
  CheckPath(context, settings.database_file, "Orvano.mdb");
  CheckPath(context, settings.description_file, "Orvano.doc");
  CheckPath(context, settings.workbook_file, "Excel-Collectionfile");
  context.logs.RemoveEventLog();
  ReadRunInputs(context);

  const RunInputs& inputs = context.inputs;
  PageState page;
  // Until the first section chooses its sheet, the page's sheet is the direct-cell sheet.
  page.sheet_index = inputs.sheets.FindIgnoringCase(kDirectSheetName);
  Table overview_rows(7, 1);
  const int sections = static_cast<int>(inputs.description.sections.size());
  const int machines = static_cast<int>(inputs.description.machines.size());
  host.StatusStart("Working...", sections * (2 * machines + 1) + 6, true);
  host.StatusTick();
  for (int s = 1; s <= sections; ++s) GenerateSection(context, page, s, &overview_rows);

  // Pages are replaced only when complete, so nothing is deleted beforehand. The overview,
  // menu and main pages see the page state as the last section left it.
  std::optional<LineList> overview =
      BuildSectionPage(inputs, page, inputs.templates.entries[TemplateSet::kOverview],
                       overview_rows, std::nullopt, std::nullopt, context.sink());
  bool written = overview && WritePage(context.fs, *overview,
                                       inputs.destination_folder + "Overview.htm", context.sink());
  host.StatusTick();
  written = WriteMenuPage(context, page) && written;
  host.StatusTick();
  written = WriteMainPage(context, page) && written;
  host.StatusTick();
  written = CopyTemplateFolderFile(context, "Index.htm") && written;
  host.StatusTick();
  written = CopyTemplateFolderFile(context, "Brenk.gif") && written;
  host.StatusTick();
  *complete = written;
}

}  // namespace

bool GeneratePages(RunContext& context) {
  context.host.StatusStart("", 0, true);
  bool complete = false;
  static_cast<void>(Guarded(context.errors(), kGenerateProcedure, kWindow,
                            [&] { Generate(context, &complete); }));
  context.host.StatusEnd();
  context.host.PumpEvents();
  return complete;
}

}  // namespace orvano
