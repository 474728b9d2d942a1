#include "app/shared_inputs.h"

#include "app/run_settings.h"
#include "support/file_system.h"

namespace orvano {

RowSwitches RowSwitchesOf(const MachineDescription& description) {
  return {description.with_reject_counter, description.with_more_service_presets};
}

SharedInputs::SharedInputs(FileSystem& fs, const RunSettings& settings,
                           const std::vector<std::string>& text_languages,
                           const ParallelFor& parallel) {
  if (text_languages.size() > 1) {
    if (std::optional<TextColumns> columns =
            ReadTextColumns(settings.database_file, text_languages)) {
      has_joined_texts = true;
      try {
        joined_texts = JoinTextColumns(std::move(*columns), parallel);
      } catch (...) {
        texts_join_failure = std::current_exception();
      }
    }
  }
  description.value =
      ReadMachineDescription(fs, settings.description_file, description.record);
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
    if (table) lazy.parts.value = SplitOverviewAndMain(*table, record);
  });
  return lazy.parts;
}

}  // namespace orvano
