// Template files: reads the five page templates of a run into a TemplateSet, and splits a
// workbook sheet into its overview part and main part at the "###Overview" / "###Main" rows.
// Used by the generation driver once per run (templates) and once per section sheet (split).

#ifndef ORVANO_TEMPLATES_TEMPLATE_FILES_H_
#define ORVANO_TEMPLATES_TEMPLATE_FILES_H_

#include <optional>
#include <string>

#include "support/line_list.h"
#include "support/table.h"
#include "templates/template_set.h"

namespace orvano {

class ErrorSink;
class FileSystem;

/// Reads the five templates from `folder` (ending with "/"): main, menu and overview page, then
/// the plain or, `with_opc`, the OPC section and detail templates, as ReadTemplateFile reads
/// them. An entry whose file is missing or unreadable has no elements (an unreadable one has
/// been reported). Throws only EndProgram.
TemplateSet ReadTemplateSet(FileSystem& fs, const std::string& folder, bool with_opc,
                            ErrorSink& errors);

/// The file name of the template set's entry `entry` (0 to 4), as ReadTemplateSet reads it.
std::string TemplateFileName(std::size_t entry, bool with_opc);

/// Reads the template `path`: element 0 the path of the file read, elements 1..N its lines
/// without line ends. The file is looked up by its exact name, then without regard to letter
/// case within its folder. UTF-16LE with or without byte-order mark and UTF-8 are accepted; the
/// byte-order mark is dropped. An empty file gives the path alone. nullopt when the file does
/// not exist, or cannot be read (reported under "GetTextFileHTML", naming the file).
/// Throws only EndProgram.
std::optional<LineList> ReadTemplateFile(FileSystem& fs, const std::string& path,
                                         ErrorSink& errors);

/// The two parts of a section sheet, each with the sheet's columns and an empty row 0.
struct SheetParts {
  Table overview;
  Table main;
  // The sheet rows that the parts' rows 1 were copied from (where a note in a part comes from).
  std::size_t overview_first_row = 0;
  std::size_t main_first_row = 0;
};

/// Splits `sheet` (row 0 the empty header row, column 1 the row markers) into its overview part
/// and its main part. Markers match when the whole cell, upper-cased, equals "###OVERVIEW" /
/// "###MAIN". The overview part holds the rows after the last "###Overview" marker met before
/// "###Main" (from row 0 when there is none) up to the row before "###Main"; the main part holds
/// the rows from "###Main" to the end. With an "###Overview" marker but no "###Main", the
/// overview part runs to the end and the main part has no rows. nullopt when an unexpected
/// failure was reported under "SeparateOverviewAndMain". Throws only EndProgram.
std::optional<SheetParts> SplitOverviewAndMain(Table sheet, ErrorSink& errors);

}  // namespace orvano

#endif  // ORVANO_TEMPLATES_TEMPLATE_FILES_H_
