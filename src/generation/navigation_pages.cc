#include "generation/navigation_pages.h"

#include "generation/error_reporting.h"
#include "support/errors.h"
#include "support/file_system.h"
#include "templates/page_output.h"
#include "templates/page_state.h"
#include "templates/run_inputs.h"

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
    const std::string path = inputs.template_folder + name;
    throw Located(UnexpectedError(err::kFileNotFound, "Template not found: " + path), path);
  }
  return lines;
}

// Writes the page that `build` makes of the template `entry` (file `name`) as `page_name`.
template <typename Build>
bool WriteNavigationPage(const PageOutput& output, std::string_view procedure,
                         TemplateSet::Entry entry, const char* name, const std::string& page_name,
                         Build build) {
  const RunInputs& inputs = output.inputs;
  const LineList* page_template = nullptr;
  if (!Guarded(output.errors, procedure, kWindow,
               [&] { page_template = &RequiredTemplate(inputs, entry, name); })) {
    return false;
  }
  return WritePage(output.fs, build(*page_template), inputs.destination_folder + page_name,
                   output.sink);
}

}  // namespace

bool WriteMenuPage(const PageOutput& output, const PageState& page) {
  return WriteNavigationPage(output, kMenuProcedure, TemplateSet::kMenu, "Source_Menu.htm",
                             "Menu.htm", [&](const LineList& page_template) {
                               return BuildMenuPage(output.inputs, page, page_template,
                                                    output.sink);
                             });
}

bool WriteMainPage(const PageOutput& output, const PageState& page) {
  return WriteNavigationPage(output, kMainProcedure, TemplateSet::kMain, "Source_Main.htm",
                             "Main.htm", [&](const LineList& page_template) {
                               return BuildMainPage(output.inputs, page, page_template,
                                                    output.sink);
                             });
}

bool CopyTemplateFolderFile(const PageOutput& output, const std::string& name) {
  return Guarded(output.errors, kCopyProcedure, kWindow, [&] {
    const std::string& folder = output.inputs.template_folder;
    auto source = FindFileInFolder(output.fs, folder, name);
    if (!source) {
      throw Located(UnexpectedError(err::kFileNotFound, "File not found: " + folder + name,
                                    std::string(kCopyProcedure)),
                    folder + name);
    }
    try {
      output.fs.CopyOver(*source, output.inputs.destination_folder + name);
    } catch (OrvanoError& e) {
      e.set_location(output.inputs.destination_folder + name);
      throw;
    }
  });
}

}  // namespace orvano
