// The navigation pages: the menu page ("Menu.htm") with one entry per section and machine, the
// main page ("Main.htm") with the machines' names and identifiers, and the copies of the frame
// page "Index.htm" and the logo "Brenk.gif" from the template folder.

#ifndef ORVANO_APP_NAVIGATION_PAGES_H_
#define ORVANO_APP_NAVIGATION_PAGES_H_

#include <string>

namespace orvano {

struct RunContext;

/// Writes the destination's "Menu.htm" from the menu template. Returns 1 when written, -1 when
/// a step failed (reported; an earlier menu page stays). Throws only EndProgram.
int GenerateMenuFileHTML(RunContext& context);

/// Writes the destination's "Main.htm" from the main template: font classes and sizes, the
/// wildcards left by the last section, direct cells, and "###MASCHINE###" n / "###MASCHINEID###"
/// n for machines 1..M (numbers above M up to 5 become empty). Returns 1 or -1 as above.
int GenerateMainFileHTML(RunContext& context);

/// Copies `name` from the template folder (found without regard to letter case) into the
/// destination folder, replacing a file there. A missing file is reported (53) under
/// "CopyFileSourceTarget". Returns 1 or -1.
int CopyFileSourceTarget(RunContext& context, const std::string& name);

}  // namespace orvano

#endif  // ORVANO_APP_NAVIGATION_PAGES_H_
