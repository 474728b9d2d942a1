#include "app/navigation_pages.h"

#include "app/run_context.h"
#include "fonts/font_classes.h"
#include "app/error_reporting.h"
#include "support/errors.h"
#include "support/file_system.h"
#include "support/string_helpers.h"
#include "templates/address_formulas.h"
#include "templates/page_output.h"
#include "templates/section_fields.h"

namespace orvano {
namespace {

// The navigation pages are procedures of the main window.
constexpr std::string_view kWindow = "frmMain";

// A template the run needs; a missing file is an error naming it.
const LineList& RequiredTemplate(const RunContext& context, TemplateSet::Entry entry,
                                 const char* name) {
  const LineList& lines = context.templates.entries[entry];
  if (lines.empty()) {
    throw UnexpectedError(err::kFileNotFound,
                          "Template not found: " + context.settings.path_html_source_folder + name);
  }
  return lines;
}

// Replaces the first `placeholder` + `number` of `*line` by `value`.
void ReplaceNumbered(std::string* line, const char* placeholder, int number,
                     const std::string& value) {
  if (line->find(placeholder) == std::string::npos) return;
  *line = ReplaceFirstTrimmed(*line, placeholder + std::to_string(number), value);
}

}  // namespace

int GenerateMenuFileHTML(RunContext& context) {
  LineList lines;
  bool ok = Guarded(context.errors(), "GenerateMenuFileHTML", kWindow, [&] {
    lines = RequiredTemplate(context, TemplateSet::kMenu, "Source_Menu.htm");
  });
  if (!ok) return -1;
  FontClassTable classes = GetHTMLFontClasses(context, &lines);
  if (EditMenuHTMLFile(context, &lines, classes) != 1) return -1;
  return WriteLinesToHTMLFile(context, lines, context.settings.path_destination_folder + "Menu.htm");
}

int GenerateMainFileHTML(RunContext& context) {
  LineList lines;
  bool ok = Guarded(context.errors(), "GenerateMainFileHTML", kWindow, [&] {
    lines = RequiredTemplate(context, TemplateSet::kMain, "Source_Main.htm");
  });
  if (!ok) return -1;
  EditHTMLFontClasses(context, &lines);
  lines[0].clear();
  const auto& machines = context.description.machines;
  const int count = static_cast<int>(machines.size());
  for (std::size_t i = 1; i < lines.size(); ++i) {
    std::string& line = lines[i];
    if (line.find("###SIZE###") != std::string::npos) EditRelSize(context, &line);
    line = ReplaceWildCards(context, line);
    line = GetDirectExcelCell(context, line);
    for (int m = 1; m <= std::max(count, 5); ++m) {
      bool known = m <= count;
      ReplaceNumbered(&line, "###MASCHINE###", m, known ? machines[m - 1].name : "");
      ReplaceNumbered(&line, "###MASCHINEID###", m, known ? machines[m - 1].id : "");
    }
  }
  return WriteLinesToHTMLFile(context, lines, context.settings.path_destination_folder + "Main.htm");
}

int CopyFileSourceTarget(RunContext& context, const std::string& name) {
  bool copied = Guarded(context.errors(), "CopyFileSourceTarget", kWindow, [&] {
    const std::string& folder = context.settings.path_html_source_folder;
    auto source = FindFileInFolder(context.fs, folder, name);
    if (!source) {
      throw UnexpectedError(err::kFileNotFound, "File not found: " + folder + name,
                            "CopyFileSourceTarget");
    }
    context.fs.CopyFile(*source, context.settings.path_destination_folder + name);
  });
  return copied ? 1 : -1;
}

}  // namespace orvano
