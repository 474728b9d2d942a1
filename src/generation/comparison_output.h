// The difference between two allocations as the compare command prints it: one line per
// difference in check mode's form, then a summary line; or the same as JSON.

#ifndef ORVANO_GENERATION_COMPARISON_OUTPUT_H_
#define ORVANO_GENERATION_COMPARISON_OUTPUT_H_

#include <string>
#include <vector>

#include "generation/allocation_diff.h"

namespace orvano {

/// One line per difference, without line ends, language by language and page by page in the
/// order of `difference`, as "<where>: <kind>: <what>":
///   Drives_Filler.htm [Filler, 1] Drives!17: changed: "Speed" -> "Speed setpoint"
///   Drives_Filler.htm [Filler, 1] Drives!18: added: "A100.2" "Torque"
///   Drives_Filler.htm [Filler, 1] Drives!19: removed: "A100.3" "Current"
///   Motors.htm: added: page with 12 rows      (then a line for each of its rows)
///   1031: removed: language with 40 pages     (then its pages and rows)
/// <where> is the page (after "<language id>/" when the allocations hold several languages),
/// the row's machine and position in brackets (left out when both are empty) and the workbook
/// row it came from without the workbook (left out when not known); for a removed row its old
/// place, else its new one. An added or removed row shows its cells after the font class
/// column, empty ones left out, each quoted. A changed row shows what differs, joined by ", ":
/// `section`, `machine`, `position` and `class` by name ("class "12" -> "14""), then the cells
/// that differ, old ones -> new ones ("Speed" "4000 rpm" -> "Speed setpoint" "4500 rpm"), an
/// empty cell as "". In quotes, a quote and a backslash are preceded by a backslash, and line
/// breaks, tabs and other control characters are written as \n, \t, \xHH.
std::vector<std::string> ComparisonLines(const AllocationDifference& difference);

/// "no differences", or the counts: "3 changed, 1 added, 2 removed in 2 pages (1 language)",
/// the pages and languages being those that differ.
std::string ComparisonSummary(const AllocationDifference& difference);

/// Every ComparisonLines line and then the summary, each ending with a line end.
std::string ComparisonText(const AllocationDifference& difference);

/// The same as JSON (indented, ending with a line end):
///   {"format_version": 1,
///    "summary": {"changed": 3, "added": 1, "removed": 2, "pages": 2, "languages": 1},
///    "languages": [{"id": "1033", "change": "changed", "pages": [
///      {"file": "Drives_Filler.htm", "change": "changed", "machine": "Filler", "rows": [
///        {"change": "changed", "old": ROW, "new": ROW},
///        {"change": "added", "new": ROW}, {"change": "removed", "old": ROW}]}]}]}
/// with "change" of a language or page "added" or "removed" when it is on one side only, and
/// ROW a row as the export writes it (section, machine, position, source, class, cells,
/// address_cells). Only the languages and pages that differ are listed.
std::string ComparisonJson(const AllocationDifference& difference);

}  // namespace orvano

#endif  // ORVANO_GENERATION_COMPARISON_OUTPUT_H_
