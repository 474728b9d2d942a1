#include "generation/shared_inputs.h"

#include <thread>

#include "generation/run_settings.h"
#include "support/file_system.h"

namespace orvano {

RowSwitches RowSwitchesOf(const MachineDescription& description) {
  return {description.with_reject_counter, description.with_more_service_presets};
}

SharedInputs::SharedInputs(FileSystem& fs, const RunSettings& settings,
                           const std::vector<std::string>& text_languages,
                           const ParallelFor& parallel)
    : texts(text_languages.size()) {
  // The texts come from the database reader process and take longest: they are read while
  // this thread reads the rest.
  std::thread text_reader([&] { ReadTexts(settings.database_file, text_languages, parallel); });
  ReadTheRest(fs, settings);
  // The pages need the texts; until they come, the sections' sheets are read and split.
  if (description.value && workbook.value) {
    std::vector<std::size_t> sheets;
    for (const SectionInfo& section : description.value->sections) {
      if (auto sheet = workbook.value->sheets.Find(section.name)) sheets.push_back(*sheet);
    }
    parallel(sheets.size(), [&](std::size_t i) { SectionParts(sheets[i]); });
  }
  text_reader.join();
}

void SharedInputs::ReadTexts(const std::string& database, const std::vector<std::string>& ids,
                             const ParallelFor& parallel) {
  std::optional<TextColumns> columns;
  if (ids.size() > 1) columns = ReadTextColumns(database, ids);
  if (!columns) {
    // One language, or several whose columns could not be read at once: each reads its own,
    // so that what failed is reported as it concerns each.
    for (std::size_t i = 0; i < ids.size(); ++i) {
      texts[i].value = ReadTextDatabase(database, ids[i], texts[i].record, parallel);
    }
    return;
  }
  try {
    text_join = std::make_unique<const TextJoin>(std::move(*columns), parallel);
  } catch (...) {
    for (std::size_t i = 0; i < ids.size(); ++i) {
      ReportTextJoinFailure(database, ids[i], texts[i].record);
    }
  }
}

void SharedInputs::ReadTheRest(FileSystem& fs, const RunSettings& settings) {
  description.value = ReadMachineDescription(fs, settings.description_file, description.record);
  if (!description.value) return;
  workbook.value = ReadCollectionWorkbook(fs, settings.workbook_file, workbook.record);
  if (workbook.value) {
    section_parts_ = std::make_unique<LazyParts[]>(workbook.value->sheets.entries.size());
    direct_sheet = workbook.value->sheets.FindIgnoringCase(kDirectSheetName);
    if (direct_sheet) {
      direct_cells.value = ReadSheetTable(*workbook.value, *direct_sheet,
                                          RowSwitchesOf(*description.value), direct_cells.record);
    }
  }
  templates.value = ReadTemplateSet(fs, settings.template_folder,
                                    description.value->interface_with_opc, templates.record);
}

const RecordedRead<SheetParts>& SharedInputs::SectionParts(std::size_t sheet) const {
  LazyParts& lazy = section_parts_[sheet];
  std::call_once(lazy.once, [&] {
    RecordedWork& record = lazy.parts.record;
    std::optional<Table> table =
        ReadSheetTable(*workbook.value, sheet, RowSwitchesOf(*description.value), record);
    if (table) lazy.parts.value = SplitOverviewAndMain(std::move(*table), record);
    if (lazy.parts.value) {
      lazy.prepared.overview = PreparedPart(lazy.parts.value->overview);
      lazy.prepared.main = PreparedPart(lazy.parts.value->main);
    }
  });
  return lazy.parts;
}

const PreparedSheetParts& SharedInputs::PreparedParts(std::size_t sheet) const {
  SectionParts(sheet);
  return section_parts_[sheet].prepared;
}

}  // namespace orvano
