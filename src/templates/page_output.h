// Page building and output: fills a page template's placeholders for one section page (or the
// overview page), the menu page or the main page, puts the generated rows between its
// "###FONTBEZUGANFANG###" and "###FONTBEZUGENDE###" lines, and writes pages as UTF-16LE text.
// The builders read the run's inputs and the page state and touch no file; WritePage writes.

#ifndef ORVANO_TEMPLATES_PAGE_OUTPUT_H_
#define ORVANO_TEMPLATES_PAGE_OUTPUT_H_

#include <optional>
#include <string>
#include <vector>

#include "support/line_list.h"
#include "support/table.h"
#include "templates/shown_rows.h"

namespace orvano {

class ErrorSink;
class FileSystem;
class PreparedPart;
struct PageState;
struct RunInputs;

/// The file name of a section page: section + ".htm", section + "_d.htm", or with a machine
/// section + "_" + machine + ".htm" / "_d.htm".
std::string SectionPageName(const std::string& section, const std::string& machine, bool detail);

/// True when `name` (a section or machine name) can be part of a page's file name: not empty,
/// without "/", "\" or "..".
bool IsSafePageNamePart(const std::string& name);

/// The lines of a section page (element 0 empty) built from `page_template` with the rows of
/// `rows` (the section's main part): font classes, placeholders, and between the block markers
/// the rows built for `section` (1-based) and, for a machine page, `machine` (1-based) once per
/// position of the machine in the section, `page.position` set to each position's text in turn
/// ("1" when it has none). Without section and machine it is the overview page. `page` keeps
/// what the build left (position, wildcards, block number) and the rows built, which the detail
/// twin built next with the same arguments reuses, writing the same notes again; the driver
/// clears `page.last_page_rows` before each section page. nullopt when a step failed: the
/// failure has been reported under "EditHTMLFile". With `shown`, appends the rows the page
/// shows, a group per position; the detail twin shares the groups of the rows it reuses.
/// `prepared`, when given, is the PreparedPart of `rows`. Throws only EndProgram.
std::optional<LineList> BuildSectionPage(const RunInputs& inputs, PageState& page,
                                         const LineList& page_template, const Table& rows,
                                         std::optional<int> section, std::optional<int> machine,
                                         ErrorSink& errors, ShownRows* shown = nullptr,
                                         const PreparedPart* prepared = nullptr);

/// BuildSectionPage's page as EncodePage gives its bytes, built straight into them.
std::optional<std::string> BuildSectionPageBytes(const RunInputs& inputs, PageState& page,
                                                 const LineList& page_template, const Table& rows,
                                                 std::optional<int> section,
                                                 std::optional<int> machine, ErrorSink& errors,
                                                 ShownRows* shown = nullptr,
                                                 const PreparedPart* prepared = nullptr);

/// The lines of the menu page (element 0 empty) built from `menu_template`: one entry per
/// section that has a sheet of its name and a name fit for a page (class "21"), or per
/// machine-dependent section a heading (class "22") and one entry per machine that has the
/// section (class "41"). An entry whose class the template lacks is written plainly, the first
/// of each class with the note "Font class " n " not defined in the menu template " + path.
/// Throws only EndProgram.
LineList BuildMenuPage(const RunInputs& inputs, const PageState& page,
                       const LineList& menu_template, ErrorSink& errors);

/// The lines of the main page (element 0 empty) built from `main_template`: class lines and
/// sizes, the wildcards the last section table left in `page`, direct cells, and
/// "###MASCHINE###" n / "###MASCHINEID###" n for machines 1..M (numbers above M up to 5 become
/// empty). Throws only EndProgram.
LineList BuildMainPage(const RunInputs& inputs, const PageState& page,
                       const LineList& main_template, ErrorSink& errors);

/// The bytes of a page of `lines`: UTF-16LE with a byte-order mark, every line ended by CR LF.
std::string EncodePage(const LineList& lines);

/// Writes the page `bytes` (from EncodePage) to `path`, replacing the file only when complete,
/// and leaving a file that holds exactly these bytes untouched (FileSystem::WriteFileIfChanged).
/// Returns true when written or left; false when not (reported under "WriteHTMLFile"). Throws
/// only EndProgram.
[[nodiscard]] bool WriteEncodedPage(FileSystem& fs, const std::string& bytes,
                                    const std::string& path, ErrorSink& errors);

/// Writes `lines` (every element from 0, each ended by CR LF) as UTF-16LE with a byte-order mark
/// to `path` as WriteEncodedPage does. Returns true when the page was written (or left as it
/// was); false when it could not be (reported under "WriteHTMLFile"). Throws only EndProgram.
[[nodiscard]] bool WritePage(FileSystem& fs, const LineList& lines, const std::string& path,
                             ErrorSink& errors);

}  // namespace orvano

#endif  // ORVANO_TEMPLATES_PAGE_OUTPUT_H_
