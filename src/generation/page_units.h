// The section pages of one language as a sequence of units, each built on its own from the
// page state the unit before it leaves: a section's start (its sheet looked up and read, its
// overview rows built) and its pages (once, or for one machine: the page and its detail twin).
// A unit records what it would report and write (RecordedWork) instead of doing it, so units
// can be built side by side and then committed one after the other in their order.

#ifndef ORVANO_GENERATION_PAGE_UNITS_H_
#define ORVANO_GENERATION_PAGE_UNITS_H_

#include <optional>
#include <vector>

#include "generation/allocation.h"
#include "generation/allocation_export.h"
#include "generation/recorded_work.h"
#include "support/table.h"
#include "templates/page_state.h"

namespace orvano {

class SharedInputs;
struct RunInputs;

struct PageUnit {
  enum class Kind {
    kSectionStart,  // the sheet looked up and split, the overview rows built
    kSectionPages,  // the section's page and its detail twin, for one machine or none
  };
  Kind kind;
  int section;                 // 1-based
  std::optional<int> machine;  // kSectionPages of a machine-dependent sheet: 1-based
};

/// The units of a language's section pages, in the order a run builds them.
std::vector<PageUnit> PlanPageUnits(const RunInputs& inputs);

/// The progress ticks that building `unit` makes when nothing stops it.
int TicksOfUnit(const RunInputs& inputs, const PageUnit& unit);

/// What a unit keeps of the rows its pages show, besides the pages.
struct RowRecording {
  bool keep_rows = false;                       // the rows of every page, for the allocation
  bool check_addresses = false;                 // addresses given twice on a page are warnings
  const ExportLayout* export_layout = nullptr;  // when set, the pages' export text is made
};

/// What building a unit gave.
struct BuiltUnit {
  PageState entering;                  // the state it was built from (carried parts only)
  PageState leaving;                   // the state it left (carried parts only)
  RecordedWork work;                   // its reports, notes, pages and ticks, and what stopped it
  std::optional<Table> overview_rows;  // a section start's rows for the overview page
  // With RowRecording::keep_rows: its pages' rows; with keep_rows or export_layout, where each
  // of the overview rows came from (their section and origin; no cells).
  std::vector<AllocationPage> pages;
  std::vector<AllocationRow> overview_row_places;
  std::string export_text;  // with RowRecording::export_layout: its pages' export form
};

/// Builds `unit` from the page state `entering`. Never throws: what would stop the run is
/// recorded as the work's stop. `shared` gives the section's sheet parts.
BuiltUnit BuildPageUnit(const RunInputs& inputs, const SharedInputs& shared, const PageUnit& unit,
                        const PageState& entering, const RowRecording& recording = {});

/// The page state `unit` will leave when built from `entering`, without building it; none
/// when only building can tell (the sheet "Standard", whose ranges move the block number).
std::optional<PageState> PredictLeavingState(const RunInputs& inputs, const PageUnit& unit,
                                             const PageState& entering);

/// The parts of `page` that a unit hands to the next: all but the range blocks and the built
/// rows, which every unit makes afresh before reading them.
PageState CarriedState(const PageState& page);

/// True when two states carry the same to the next unit.
bool SameCarriedState(const PageState& a, const PageState& b);

}  // namespace orvano

#endif  // ORVANO_GENERATION_PAGE_UNITS_H_
