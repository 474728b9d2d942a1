// MachineDescription: what the description file Orvano.doc says about the project: the counts of
// rejects, warnings, faults, machines and sections, the switches, the machines' names and
// identifiers, the sections' names and the positions of each machine in each section.

#ifndef ORVANO_INPUTS_MACHINE_DESCRIPTION_H_
#define ORVANO_INPUTS_MACHINE_DESCRIPTION_H_

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace orvano {

class IniFile;
struct RunContext;

struct MachineInfo {
  std::string name;  // "Name" of section "Machine"m
  std::string id;    // "ID"
};

struct SectionInfo {
  std::string name;           // "Name" of section "Section_"s; also the name of its workbook sheet
  std::string enabled = "1";  // "0" when the driver found no sheet for it
};

struct MachineDescription {
  std::int16_t reject_count = 50;          // RejectCount, "AnzAuswuerfe"
  std::int16_t fault_count = 256;          // FaultCount, "AnzFehler"
  std::int16_t warning_count = 256;        // WarningCount, "AnzWarnungen"
  std::int16_t machine_count = 1;          // MachineCount, "AnzMaschinen"
  std::int16_t control_type = 0;           // ControlType, "Steuerung"
  std::string screen_resolution = "1280";  // ScreenResolution, "Aufloesung"
  bool interface_with_opc = false;         // InterfaceWithOpc
  bool with_reject_counter = false;        // WithRejectCounter
  bool with_more_service_presets = false;  // WithMoreServicePresets
  std::int16_t section_count = 0;          // SectionCount

  std::vector<MachineInfo> machines;  // machine m at index m - 1
  std::vector<SectionInfo> sections;  // section s at index s - 1
  // position_counts[m - 1][s - 1]: "Machine"m"_count" of "Section_"s, -1 when absent.
  std::vector<std::vector<std::int16_t>> position_counts;
  // The file as ReadOrvanoDoc read it, so that the pages read their positions without parsing it
  // again for every machine; null before the first read.
  std::shared_ptr<const IniFile> file;

  /// Machine `m` (1-based). Throws UnexpectedError 9 outside 1..machines.size().
  const MachineInfo& Machine(int m) const;
  /// Section `s` (1-based). Throws UnexpectedError 9 outside 1..sections.size().
  const SectionInfo& Section(int s) const;
  SectionInfo& Section(int s);
  /// The position count of machine `m` in section `s` (both 1-based). Throws UnexpectedError 9.
  std::int16_t PositionCount(int m, int s) const;
  /// The text of position `p` (1-based) of machine `m` in section `s`: the entry
  /// "Machine"m"_Position"p of "Section_"s of the file read; "" when absent or nothing was read.
  std::string PositionText(int m, int s, int p) const;
};

/// The most machines and sections a description file may declare. The entries are 16-bit, so
/// without a limit a junk file could ask for 32767 x 32767 position counts (2 GB).
inline constexpr std::int16_t kMaxMachines = 1000;
inline constexpr std::int16_t kMaxSections = 1000;

/// Reads the description file named by the run settings into `context.description`. Returns 1
/// when read, -1 when it holds fewer than one section or more than kMaxMachines machines or
/// kMaxSections sections (the latter two reported naming the file and the entry). A machine
/// count of 0 gives empty machine and position tables. Errors (such as a count outside 16 bits)
/// go through the common error handling under "ReadOrvanoDoc"; a failed entry keeps the field's
/// previous value (a position count reads 0) and the read goes on.
/// Throws EndProgram when the program is to end.
int ReadOrvanoDoc(RunContext& context);

}  // namespace orvano

#endif  // ORVANO_INPUTS_MACHINE_DESCRIPTION_H_
