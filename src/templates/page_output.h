// Page editing and output: fills a page template's placeholders for one section page (or the
// overview page) or the menu page, puts the generated rows between its "###FONTBEZUGANFANG###"
// and "###FONTBEZUGENDE###" lines, and writes the page as UTF-16LE text.

#ifndef ORVANO_TEMPLATES_PAGE_OUTPUT_H_
#define ORVANO_TEMPLATES_PAGE_OUTPUT_H_

#include <string>

#include "support/table.h"
#include "templates/template_set.h"

namespace orvano {

struct FontClassTable;
struct RunContext;

/// The file name of a section page: section + ".htm", section + "_d.htm", or with a machine
/// section + "_" + machine + ".htm" / "_d.htm".
std::string SectionPageName(const std::string& section, const std::string& machine, bool detail);

/// True when `name` (a section or machine name) can be part of a page's file name: not empty,
/// without "/", "\" or "..".
bool IsSafePageNamePart(const std::string& name);

/// Builds and writes one section page (or, with section and machine -1, the overview page) from
/// a copy of `lines`: font classes, editing with the rows of `rows`, writing to `path`.
/// Returns 1 when the page was written; -1 when a step failed: the failure has been reported,
/// and the old page at `path` is left as it was. Throws only EndProgram.
int WriteHTMLFile(RunContext& context, const LineList& lines, const std::string& path,
                  const Table& rows, int section, int machine);

/// Edits a section page (section and machine 1-based, -1 for none) in `*lines`, which becomes the
/// output list (element 0 empty). For a machine page the rows are built once per position of the
/// machine in the section, with the current position set from the description file.
/// Returns 1, or -1 when a step failed (reported). Throws only EndProgram.
int EditHTMLFile(RunContext& context, LineList* lines, const Table& rows,
                 const FontClassTable& classes, int section, int machine);

/// Edits the menu page in `*lines`: one entry per enabled section (class "21"), or per
/// machine-dependent section a heading (class "22") and one entry per machine that has the
/// section (class "41"). Returns 1, or -1 when a step failed (reported). Throws only EndProgram.
int EditMenuHTMLFile(RunContext& context, LineList* lines, const FontClassTable& classes);

/// Writes `lines` (every element from 0, each ended by CR LF) as UTF-16LE with a byte-order mark
/// to `path`, replacing the file only when complete. Returns 1, or -1 when the file could not be
/// written (reported under "WriteHTMLFile"). Throws only EndProgram.
int WriteLinesToHTMLFile(RunContext& context, const LineList& lines, const std::string& path);

}  // namespace orvano

#endif  // ORVANO_TEMPLATES_PAGE_OUTPUT_H_
