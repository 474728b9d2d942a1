// Template files: loads the five page templates of a run into the TemplateSet, and splits a
// workbook sheet into its overview part and main part at the "###Overview" / "###Main" rows.
// Used by the generation driver once per run (templates) and once per section sheet (split).

#ifndef ORVANO_TEMPLATES_TEMPLATE_FILES_H_
#define ORVANO_TEMPLATES_TEMPLATE_FILES_H_

#include <string>

#include "templates/template_set.h"

namespace orvano {

struct RunContext;
class Table;

/// Reads the five templates from `context.settings.path_html_source_folder`: main, menu and
/// overview page, then the plain or, with `context.description.interface_with_opc`, the OPC
/// section and detail templates. Returns the set; an entry whose file is missing has no
/// elements. `*status` is -1 on entry and 1 once all five reads have been attempted (read
/// failures are reported by GetTextFileHTML and do not change it). Throws only EndProgram.
TemplateSet ReadPredifinedHTMLFiles(RunContext& context, int* status);

/// Reads the template `path` into `*target`: element 0 the path of the file read, elements 1..N
/// its lines without line ends. The file is looked up by its exact name, then without regard to
/// letter case within its folder. UTF-16LE with or without byte-order mark and UTF-8 are
/// accepted; the byte-order mark is dropped. An empty file gives the path alone.
/// Returns 1 when read; -1 when the file does not exist or cannot be read (the latter is
/// reported under "GetTextFileHTML", naming the file); `*target` is then unchanged.
/// Throws only EndProgram.
int GetTextFileHTML(RunContext& context, const std::string& path, LineList* target);

/// Splits `sheet` (row 0 the empty header row, column 1 the row markers) into `*overview` and
/// `*main`, both with the sheet's columns and an empty row 0. Markers match when the whole cell,
/// upper-cased, equals "###OVERVIEW" / "###MAIN". The overview part holds the rows after the
/// last "###Overview" marker met before "###Main" (from row 0 when there is none) up to the row
/// before "###Main"; the main part holds the rows from "###Main" to the end. With an
/// "###Overview" marker but no "###Main", the overview part runs to the end and the main part has
/// no rows. Returns 1; -1 when an unexpected failure was reported under
/// "SeparateOverviewAndMain". Throws only EndProgram.
int SeparateOverviewAndMain(RunContext& context, const Table& sheet, Table* overview, Table* main);

}  // namespace orvano

#endif  // ORVANO_TEMPLATES_TEMPLATE_FILES_H_
