#include "generation/page_units.h"

#include <string>

#include "generation/address_check.h"
#include "generation/generation_stop.h"
#include "generation/shared_inputs.h"
#include "support/error_sink.h"
#include "support/errors.h"
#include "templates/page_output.h"
#include "templates/run_inputs.h"
#include "templates/section_builder.h"
#include "templates/template_files.h"

namespace orvano {
namespace {

// The places of a section's and a machine's name in the description file.
std::string SectionKeyPlace(const RunInputs& inputs, int section) {
  return KeyPlace(inputs.description_file, "Section_" + std::to_string(section), "Name");
}
std::string MachineKeyPlace(const RunInputs& inputs, int machine) {
  return KeyPlace(inputs.description_file, "Machine" + std::to_string(machine), "Name");
}

const std::string& SectionName(const RunInputs& inputs, int section) {
  return inputs.description.Section(section).name;
}

// Sets what the run sets before a unit: the section's sheet, or the page's machine and
// position. False when the unit has no pages (a machine without positions in the section).
bool EnterUnit(const RunInputs& inputs, const PageUnit& unit, PageState& page) {
  if (unit.kind == PageUnit::Kind::kSectionStart) {
    page.sheet_index = inputs.sheets.Find(SectionName(inputs, unit.section));
    return true;
  }
  if (unit.machine) {
    if (inputs.description.PositionCount(*unit.machine, unit.section) == 0) return false;
    page.machine_index = static_cast<std::int16_t>(*unit.machine);
    page.machine_name = inputs.description.Machine(*unit.machine).name;
  } else {
    page.machine_index = -1;
    page.machine_name = "-1";
  }
  page.position = "2";
  return true;
}

bool HasSafePageName(const RunInputs& inputs, const PageUnit& unit) {
  return IsSafePageNamePart(SectionName(inputs, unit.section)) &&
         (!unit.machine || IsSafePageNamePart(inputs.description.Machine(*unit.machine).name));
}

void BuildSectionStart(const RunInputs& inputs, const SharedInputs& shared, const PageUnit& unit,
                       const RowRecording& recording, PageState& page, BuiltUnit& built) {
  RecordedWork& work = built.work;
  if (!page.sheet_index) {
    const std::string place = SectionKeyPlace(inputs, unit.section);
    PlaceScope at(work, {place});
    work.Note(ProblemKind::kNote, "Table not found: " + SectionName(inputs, unit.section));
    work.Tick();
    return;
  }
  const RecordedRead<SheetParts>& parts = shared.SectionParts(*page.sheet_index);
  work.Append(parts.record);
  if (!parts.value) StopGeneration("Error reading Collectionfile", inputs.workbook_file);
  page.part_first_row = parts.value->overview_first_row;
  built.overview_rows = BuildSectionTable(inputs, page, parts.value->overview, work,
                                          &shared.PreparedParts(*page.sheet_index).overview);
  if (recording.keep_rows || recording.export_layout != nullptr) {
    const std::string sheet(CurrentSheetName(inputs.sheets, page));
    for (std::size_t r = 1; r < built.overview_rows->row_count(); ++r) {
      AllocationRow& row = built.overview_row_places.emplace_back();
      row.section = SectionName(inputs, unit.section);
      row.origin = {WorkbookFileName(inputs.workbook_file), sheet, *page.part_first_row + r, 0, 0};
    }
  }
  work.Tick();
}

// The page and its detail twin; a name that would leave the destination is refused.
void BuildSectionPages(const RunInputs& inputs, const SharedInputs& shared, const PageUnit& unit,
                       const RowRecording& recording, PageState& page, BuiltUnit& built) {
  RecordedWork& work = built.work;
  const std::string& section_name = SectionName(inputs, unit.section);
  const std::string machine_name =
      unit.machine ? inputs.description.Machine(*unit.machine).name : "";
  if (!HasSafePageName(inputs, unit)) {
    const std::string place = IsSafePageNamePart(section_name)
                                  ? MachineKeyPlace(inputs, *unit.machine)
                                  : SectionKeyPlace(inputs, unit.section);
    PlaceScope at(work, {place});
    work.Note(ProblemKind::kWarning,
              "Page name not allowed: section \"" + section_name + "\"" +
                  (unit.machine ? ", machine \"" + machine_name + "\"" : ""));
    work.Tick();
    work.Tick();
    return;
  }
  // Built ahead, a unit may meet a sheet whose start stops the run; it is never committed.
  if (!page.sheet_index) StopGeneration("Error reading Collectionfile", inputs.workbook_file);
  const RecordedRead<SheetParts>& parts = shared.SectionParts(*page.sheet_index);
  if (!parts.value) StopGeneration("Error reading Collectionfile", inputs.workbook_file);
  const Table& main_part = parts.value->main;
  const PreparedPart& prepared_main = shared.PreparedParts(*page.sheet_index).main;
  page.part_first_row = parts.value->main_first_row;
  page.last_page_rows.clear();  // only the detail twin may reuse the rows built here
  const PartPlace part{WorkbookFileName(inputs.workbook_file),
                       std::string(CurrentSheetName(inputs.sheets, page)), page.part_first_row};
  std::optional<SectionPagesExport> page_export;
  if (recording.export_layout != nullptr) {
    page_export.emplace(*recording.export_layout, inputs.language.id, section_name, machine_name,
                        part, &built.export_text);
  }
  for (bool detail : {false, true}) {
    const LineList& page_template =
        inputs.templates.entries[detail ? TemplateSet::kDetail : TemplateSet::kSection];
    const std::string page_name = SectionPageName(section_name, machine_name, detail);
    const AllocationPageKind kind =
        detail ? AllocationPageKind::kDetail : AllocationPageKind::kSection;
    const bool wants_rows = recording.keep_rows || recording.export_layout != nullptr ||
                            (recording.check_addresses && !detail);
    ShownRows shown;
    std::optional<std::string> bytes =
        BuildSectionPageBytes(inputs, page, page_template, main_part, unit.section, unit.machine,
                              work, wants_rows ? &shown : nullptr, &prepared_main);
    if (!bytes)
      StopGeneration("Error generating Collectionfile", inputs.destination_folder + page_name);
    if (page_export) page_export->AppendPage(page_name, kind, shown);
    // The detail page shows the same rows as its section page: warn once.
    const bool check = recording.check_addresses && !detail;
    if (recording.keep_rows || check) {
      AllocationPage rows_page{page_name, kind, section_name, machine_name,
                               AllocationRowsOf(shown, section_name, machine_name, part)};
      if (check) NoteAddressesGivenTwice(rows_page.rows, inputs.workbook_file, work);
      if (recording.keep_rows) built.pages.push_back(std::move(rows_page));
    }
    work.WritePage(inputs.destination_folder + page_name, std::move(*bytes));
    work.Tick(page_name);
  }
}

}  // namespace

std::vector<PageUnit> PlanPageUnits(const RunInputs& inputs) {
  std::vector<PageUnit> units;
  const int sections = static_cast<int>(inputs.description.sections.size());
  const int machines = static_cast<int>(inputs.description.machines.size());
  for (int s = 1; s <= sections; ++s) {
    units.push_back({PageUnit::Kind::kSectionStart, s, std::nullopt});
    const std::optional<std::size_t> sheet = inputs.sheets.Find(SectionName(inputs, s));
    if (!sheet) continue;
    if (!inputs.sheets.entries[*sheet].is_machine_dependent) {
      units.push_back({PageUnit::Kind::kSectionPages, s, std::nullopt});
      continue;
    }
    for (int m = 1; m <= machines; ++m) units.push_back({PageUnit::Kind::kSectionPages, s, m});
  }
  return units;
}

int TicksOfUnit(const RunInputs& inputs, const PageUnit& unit) {
  if (unit.kind == PageUnit::Kind::kSectionStart) return 1;
  if (!unit.machine) return 2;
  // A machine without positions in the section has no pages, only its own tick.
  return inputs.description.PositionCount(*unit.machine, unit.section) == 0 ? 1 : 3;
}

BuiltUnit BuildPageUnit(const RunInputs& inputs, const SharedInputs& shared, const PageUnit& unit,
                        const PageState& entering, const RowRecording& recording) {
  BuiltUnit built;
  built.entering = CarriedState(entering);
  PageState page = built.entering;
  try {
    if (unit.kind == PageUnit::Kind::kSectionStart) {
      EnterUnit(inputs, unit, page);
      BuildSectionStart(inputs, shared, unit, recording, page, built);
    } else {
      if (EnterUnit(inputs, unit, page)) {
        BuildSectionPages(inputs, shared, unit, recording, page, built);
      }
      if (unit.machine) built.work.Tick();
    }
  } catch (...) {
    built.work.Stop();
  }
  built.leaving = CarriedState(page);
  return built;
}

std::optional<PageState> PredictLeavingState(const RunInputs& inputs, const PageUnit& unit,
                                             const PageState& entering) {
  PageState page = CarriedState(entering);
  try {
    if (!EnterUnit(inputs, unit, page)) return page;
    if (!page.sheet_index) return page;
    if (IsStandardSheet(inputs.sheets, page)) return std::nullopt;
    if (unit.kind == PageUnit::Kind::kSectionPages) {
      if (!HasSafePageName(inputs, unit)) return page;
      if (unit.machine) {
        // The pages are built position by position; the last one stays.
        const int positions = inputs.description.PositionCount(*unit.machine, unit.section);
        const std::string last =
            inputs.description.PositionText(*unit.machine, unit.section, positions);
        page.position = last.empty() ? "1" : last;
      }
    }
    ResetWildcards(page);
    return page;
  } catch (...) {
    return std::nullopt;
  }
}

PageState CarriedState(const PageState& page) {
  PageState carried;
  carried.sheet_index = page.sheet_index;
  carried.machine_index = page.machine_index;
  carried.machine_name = page.machine_name;
  carried.position = page.position;
  carried.wildcards = page.wildcards;
  carried.block_number = page.block_number;
  return carried;
}

bool SameCarriedState(const PageState& a, const PageState& b) {
  return a.sheet_index == b.sheet_index && a.machine_index == b.machine_index &&
         a.machine_name == b.machine_name && a.position == b.position &&
         a.wildcards == b.wildcards && a.block_number == b.block_number;
}

}  // namespace orvano
