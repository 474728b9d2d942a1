#include "inputs/machine_description.h"

#include <memory>
#include <string>
#include <string_view>

#include "support/error_sink.h"
#include "support/errors.h"
#include "support/ini_file.h"
#include "support/number_text.h"

namespace orvano {
namespace {

// The section of the file's counts and switches, and its entries.
constexpr std::string_view kSetup = "Setup";
constexpr std::string_view kRejectCountEntry = "AnzAuswuerfe";
constexpr std::string_view kFaultCountEntry = "AnzFehler";
constexpr std::string_view kWarningCountEntry = "AnzWarnungen";
constexpr std::string_view kMachineCountEntry = "AnzMaschinen";
constexpr std::string_view kControlTypeEntry = "Steuerung";
constexpr std::string_view kScreenResolutionEntry = "Aufloesung";
constexpr std::string_view kInterfaceWithOpcEntry = "InterFaceWithOPC";
constexpr std::string_view kWithRejectCounterEntry = "WithRejectCounter";
constexpr std::string_view kWithMoreServicePresetsEntry = "WithMoreServicePresets";
constexpr std::string_view kSectionCountEntry = "Sections";
constexpr std::string_view kNameEntry = "Name";
constexpr std::string_view kIdEntry = "ID";

std::string MachineSection(int m) { return "Machine" + std::to_string(m); }
std::string SectionSection(int s) { return "Section_" + std::to_string(s); }

// Runs `step`, which reads the entry `entry` of section `section`, as one step of the reading
// (RunStep), with the entry as the place of what it reports.
template <typename Step>
bool ReadEntryStep(ErrorSink& errors, const IniFile& ini, std::string_view section,
                   std::string_view entry, Step&& step) {
  const std::string place = KeyPlace(ini.path(), section, entry);
  PlaceScope at(errors, {place});
  return RunStep(errors, kReadDescriptionProcedure, std::forward<Step>(step));
}

// An absent or empty count entry reads as this, which no count equals.
constexpr std::int16_t kAbsentCount = -1;

// Reads the 16-bit entry `entry` of "Setup" into `*field` as one step: an entry that does not
// fit 16 bits is reported and leaves the field as it was. An absent or negative value becomes
// `fallback`.
void ReadCount(ErrorSink& errors, const IniFile& ini, std::string_view entry, std::int16_t fallback,
               std::int16_t* field) {
  ReadEntryStep(errors, ini, kSetup, entry,
                [&] { *field = ini.ReadInteger(kSetup, entry).value_or(kAbsentCount); });
  if (*field < 0) *field = fallback;
}

// Refuses a count above `limit` before any table is sized from it: the entries allow 32767
// machines by 32767 sections, whose position table alone would take 2 GB.
bool IsWithinLimit(ErrorSink& errors, const IniFile& ini, std::string_view entry,
                   std::int16_t count, std::int16_t limit) {
  if (count <= limit) return true;
  ReadEntryStep(errors, ini, kSetup, entry, [&] {
    throw ProgramError(ini.path() + ": entry " + std::string(entry) + " of section " +
                           std::string(kSetup) + " is " + std::to_string(count) +
                           ", more than the " + std::to_string(limit) + " this program reads",
                       std::string(kReadDescriptionProcedure));
  });
  return false;
}

}  // namespace

std::optional<MachineDescription> ReadMachineDescription(FileSystem& fs, const std::string& path,
                                                         ErrorSink& errors) {
  MachineDescription d;
  auto file = std::make_shared<const IniFile>(IniFile::Load(fs, path));
  d.file = file;
  const IniFile& ini = *file;

  ReadCount(errors, ini, kRejectCountEntry, 50, &d.reject_count);
  ReadCount(errors, ini, kFaultCountEntry, 256, &d.fault_count);
  ReadCount(errors, ini, kWarningCountEntry, 256, &d.warning_count);
  ReadCount(errors, ini, kMachineCountEntry, 1, &d.machine_count);
  ReadCount(errors, ini, kControlTypeEntry, 0, &d.control_type);

  ReadEntryStep(errors, ini, kSetup, kScreenResolutionEntry, [&] {
    d.screen_resolution =
        std::to_string(ini.ReadInteger(kSetup, kScreenResolutionEntry).value_or(kAbsentCount));
  });
  if (LeadingNumber(d.screen_resolution) < 1) d.screen_resolution = "1280";

  d.interface_with_opc = ini.ReadBoolean(kSetup, kInterfaceWithOpcEntry);
  d.with_reject_counter = ini.ReadBoolean(kSetup, kWithRejectCounterEntry);
  d.with_more_service_presets = ini.ReadBoolean(kSetup, kWithMoreServicePresetsEntry);

  if (!IsWithinLimit(errors, ini, kMachineCountEntry, d.machine_count, kMaxMachines)) {
    return std::nullopt;
  }
  // A machine count of 0 is a project without machines: the tables stay empty.
  d.machines.assign(static_cast<std::size_t>(d.machine_count), MachineInfo{});
  for (int m = 1; m <= d.machine_count; ++m) {
    MachineInfo& machine = d.machines[static_cast<std::size_t>(m - 1)];
    machine.name = ini.ReadString(MachineSection(m), kNameEntry);
    machine.id = ini.ReadString(MachineSection(m), kIdEntry);
  }

  ReadEntryStep(errors, ini, kSetup, kSectionCountEntry,
                [&] { d.section_count = ini.ReadInteger(kSetup, kSectionCountEntry).value_or(0); });
  if (d.section_count < 1) return std::nullopt;
  if (!IsWithinLimit(errors, ini, kSectionCountEntry, d.section_count, kMaxSections)) {
    return std::nullopt;
  }

  d.sections.assign(static_cast<std::size_t>(d.section_count), SectionInfo{});
  for (int s = 1; s <= d.section_count; ++s) {
    d.sections[static_cast<std::size_t>(s - 1)].name =
        ini.ReadString(SectionSection(s), kNameEntry);
  }

  // A count that does not fit 16 bits is reported and reads as 0, the value a fresh table holds.
  d.position_counts.assign(static_cast<std::size_t>(d.machine_count),
                           std::vector<std::int16_t>(static_cast<std::size_t>(d.section_count), 0));
  for (int m = 1; m <= d.machine_count; ++m) {
    const std::string entry = MachineSection(m) + "_count";
    auto& row = d.position_counts[static_cast<std::size_t>(m - 1)];
    for (int s = 1; s <= d.section_count; ++s) {
      ReadEntryStep(errors, ini, SectionSection(s), entry, [&] {
        // An absent count is not 0: the machine still gets its (empty) page.
        row[static_cast<std::size_t>(s - 1)] =
            ini.ReadInteger(SectionSection(s), entry).value_or(kAbsentCount);
      });
    }
  }
  return d;
}

}  // namespace orvano
