#include "inputs/machine_description.h"

#include <memory>
#include <string>
#include <string_view>

#include "app/run_context.h"
#include "app/error_reporting.h"
#include "support/errors.h"
#include "support/ini_file.h"
#include "support/number_text.h"

namespace orvano {
namespace {

constexpr std::string_view kProcedure = "ReadOrvanoDoc";
constexpr std::string_view kSetup = "Setup";

// Reads the 16-bit entry `entry` of "Setup" into `*field` as one step: an entry that does not
// fit 16 bits is reported and leaves the field as it was. A negative value becomes `fallback`.
void ReadCount(const ErrorContext& errors, const IniFile& ini, std::string_view entry,
               std::int16_t fallback, std::int16_t* field) {
  Guarded(errors, kProcedure, [&] { *field = ini.ReadInteger(kSetup, entry); });
  if (*field < 0) *field = fallback;
}

// Refuses a count above `limit` before any table is sized from it: the entries allow 32767
// machines by 32767 sections, whose position table alone would take 2 GB.
bool WithinLimit(const ErrorContext& errors, const IniFile& ini, std::string_view entry,
                 std::int16_t count, std::int16_t limit) {
  if (count <= limit) return true;
  Guarded(errors, kProcedure, [&] {
    throw ProgramError(ini.path() + ": entry " + std::string(entry) + " of section " +
                           std::string(kSetup) + " is " + std::to_string(count) +
                           ", more than the " + std::to_string(limit) + " this program reads",
                       std::string(kProcedure));
  });
  return false;
}

}  // namespace

int ReadOrvanoDoc(RunContext& context) {
  const ErrorContext errors = context.errors();
  MachineDescription& d = context.description;
  auto file =
      std::make_shared<const IniFile>(IniFile::Load(context.fs, context.settings.path_orvano_doc));
  d.file = file;
  const IniFile& ini = *file;

  ReadCount(errors, ini, "AnzAuswuerfe", 50, &d.reject_count);
  ReadCount(errors, ini, "AnzFehler", 256, &d.fault_count);
  ReadCount(errors, ini, "AnzWarnungen", 256, &d.warning_count);
  ReadCount(errors, ini, "AnzMaschinen", 1, &d.machine_count);
  ReadCount(errors, ini, "Steuerung", 0, &d.control_type);

  Guarded(errors, kProcedure,
          [&] { d.screen_resolution = std::to_string(ini.ReadInteger(kSetup, "Aufloesung")); });
  if (LeadingNumber(d.screen_resolution) < 1) d.screen_resolution = "1280";

  d.interface_with_opc = ini.ReadBoolean(kSetup, "InterFaceWithOPC");
  d.with_reject_counter = ini.ReadBoolean(kSetup, "WithRejectCounter");
  d.with_more_service_presets = ini.ReadBoolean(kSetup, "WithMoreServicePresets");

  if (!WithinLimit(errors, ini, "AnzMaschinen", d.machine_count, kMaxMachines)) return -1;
  // A machine count of 0 is a project without machines: the tables stay empty.
  d.machines.assign(static_cast<std::size_t>(d.machine_count), MachineInfo{});
  for (int m = 1; m <= d.machine_count; ++m) {
    const std::string section = "Machine" + std::to_string(m);
    MachineInfo& machine = d.machines[static_cast<std::size_t>(m - 1)];
    machine.name = ini.ReadString(section, "Name");
    machine.id = ini.ReadString(section, "ID");
  }

  Guarded(errors, kProcedure, [&] { d.section_count = ini.ReadInteger(kSetup, "Sections"); });
  if (d.section_count < 1) return -1;
  if (!WithinLimit(errors, ini, "Sections", d.section_count, kMaxSections)) return -1;

  d.sections.assign(static_cast<std::size_t>(d.section_count), SectionInfo{});
  for (int s = 1; s <= d.section_count; ++s) {
    d.sections[static_cast<std::size_t>(s - 1)].name =
        ini.ReadString("Section_" + std::to_string(s), "Name");
  }

  // A count that does not fit 16 bits is reported and reads as 0, the value a fresh table holds.
  d.position_counts.assign(static_cast<std::size_t>(d.machine_count),
                           std::vector<std::int16_t>(static_cast<std::size_t>(d.section_count), 0));
  for (int m = 1; m <= d.machine_count; ++m) {
    const std::string entry = "Machine" + std::to_string(m) + "_count";
    auto& row = d.position_counts[static_cast<std::size_t>(m - 1)];
    for (int s = 1; s <= d.section_count; ++s) {
      Guarded(errors, kProcedure, [&] {
        row[static_cast<std::size_t>(s - 1)] =
            ini.ReadInteger("Section_" + std::to_string(s), entry);
      });
    }
  }
  return 1;
}

}  // namespace orvano
