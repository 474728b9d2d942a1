#include "app/navigation_pages.h"

#include "app/error_reporting.h"
#include "app/run_context.h"
#include "support/errors.h"
#include "support/file_system.h"
#include "templates/page_output.h"
#include "templates/page_state.h"

namespace orvano {
namespace {

// The steps' names in reports; the navigation pages are procedures of the main window.
constexpr std::string_view kMenuProcedure = "GenerateMenuFileHTML";
constexpr std::string_view kMainProcedure = "GenerateMainFileHTML";
constexpr std::string_view kCopyProcedure = "CopyFileSourceTarget";
constexpr std::string_view kWindow = "frmMain";

// A template the run needs; a missing file is an error naming it.
const LineList& RequiredTemplate(const RunInputs& inputs, TemplateSet::Entry entry,
                                 const char* name) {
  const LineList& lines = inputs.templates.entries[entry];
  if (lines.empty()) {
    throw UnexpectedError(err::kFileNotFound,
                          "Template not found: " + inputs.template_folder + name);
  }
  return lines;
}

// Writes the page that `build` makes of the template `entry` (file `name`) as `page_name`.
template <typename Build>
bool WriteNavigationPage(RunContext& context, std::string_view procedure, TemplateSet::Entry entry,
                         const char* name, const std::string& page_name, Build build) {
  const RunInputs& inputs = context.inputs;
  const LineList* page_template = nullptr;
  if (!Guarded(context.errors(), procedure, kWindow,
               [&] { page_template = &RequiredTemplate(inputs, entry, name); })) {
    return false;
  }
  return WritePage(context.fs, build(*page_template), inputs.destination_folder + page_name,
                   context.sink());
}

}  // namespace

bool WriteMenuPage(RunContext& context, const PageState& page) {
  return WriteNavigationPage(context, kMenuProcedure, TemplateSet::kMenu, "Source_Menu.htm",
                             "Menu.htm", [&](const LineList& page_template) {
                               return BuildMenuPage(context.inputs, page, page_template,
                                                    context.sink());
                             });
}

bool WriteMainPage(RunContext& context, const PageState& page) {
  return WriteNavigationPage(context, kMainProcedure, TemplateSet::kMain, "Source_Main.htm",
                             "Main.htm", [&](const LineList& page_template) {
                               return BuildMainPage(context.inputs, page, page_template,
                                                    context.sink());
                             });
}

bool CopyTemplateFolderFile(RunContext& context, const std::string& name) {
  return Guarded(context.errors(), kCopyProcedure, kWindow, [&] {
    const std::string& folder = context.inputs.template_folder;
    auto source = FindFileInFolder(context.fs, folder, name);
    if (!source) {
      throw UnexpectedError(err::kFileNotFound, "File not found: " + folder + name,
                            std::string(kCopyProcedure));
    }
    context.fs.CopyOver(*source, context.inputs.destination_folder + name);
  });
}

}  // namespace orvano
