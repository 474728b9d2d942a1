// The navigation pages: the menu page ("Menu.htm") with one entry per section and machine, the
// main page ("Main.htm") with the machines' names and identifiers, and the copies of the frame
// page "Index.htm" and the logo "Brenk.gif" from the template folder. Each is a step of the run
// of its own: a failure is reported under the step's name and the run goes on.

#ifndef ORVANO_APP_NAVIGATION_PAGES_H_
#define ORVANO_APP_NAVIGATION_PAGES_H_

#include <string>

namespace orvano {

struct PageState;
struct RunContext;

/// Writes the destination's "Menu.htm" from the menu template of `context.inputs`, with the
/// page state the last section left. Returns true when written; false when a step failed
/// (reported; an earlier menu page stays). Throws only EndProgram.
[[nodiscard]] bool WriteMenuPage(RunContext& context, const PageState& page);

/// Writes the destination's "Main.htm" from the main template, as WriteMenuPage does.
[[nodiscard]] bool WriteMainPage(RunContext& context, const PageState& page);

/// Copies `name` from the template folder (found without regard to letter case) into the
/// destination folder, replacing a file there. A missing file is reported (53). Returns true
/// when copied. Throws only EndProgram.
[[nodiscard]] bool CopyTemplateFolderFile(RunContext& context, const std::string& name);

}  // namespace orvano

#endif  // ORVANO_APP_NAVIGATION_PAGES_H_
