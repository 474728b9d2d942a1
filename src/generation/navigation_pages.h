// The navigation pages: the menu page ("Menu.htm") with one entry per section and machine, the
// main page ("Main.htm") with the machines' names and identifiers, and the copies of the frame
// page "Index.htm" and the logo "Brenk.gif" from the template folder. Each is a step of the run
// of its own: a failure is reported under the step's name and the run goes on.

#ifndef ORVANO_GENERATION_NAVIGATION_PAGES_H_
#define ORVANO_GENERATION_NAVIGATION_PAGES_H_

#include <string>

#include "generation/error_reporting.h"

namespace orvano {

class ErrorSink;
class FileSystem;
struct PageState;
struct RunInputs;

/// The frame page of a language's pages: the page a reader opens first.
inline constexpr char kIndexPageName[] = "Index.htm";

/// Where the navigation pages of one language go and who hears of their failures.
struct PageOutput {
  FileSystem& fs;
  const RunInputs& inputs;  // templates, template folder and destination folder
  ErrorContext errors;      // the steps' own failures
  ErrorSink& sink;          // the page builders' failures and notes
};

/// Writes the destination's "Menu.htm" from the menu template of `output.inputs`, with the
/// page state the last section left. Returns true when written; false when a step failed
/// (reported; an earlier menu page stays). Throws only EndProgram.
[[nodiscard]] bool WriteMenuPage(const PageOutput& output, const PageState& page);

/// Writes the destination's "Main.htm" from the main template, as WriteMenuPage does.
[[nodiscard]] bool WriteMainPage(const PageOutput& output, const PageState& page);

/// Copies `name` from the template folder (found without regard to letter case) into the
/// destination folder, replacing a file there. A missing file is reported (53). Returns true
/// when copied. Throws only EndProgram.
[[nodiscard]] bool CopyTemplateFolderFile(const PageOutput& output, const std::string& name);

}  // namespace orvano

#endif  // ORVANO_GENERATION_NAVIGATION_PAGES_H_
