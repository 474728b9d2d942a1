// MachineDescription: what the description file Orvano.doc says about the project: the counts of
// rejects, warnings, faults, machines and sections, the switches, the machines' names and
// identifiers, the sections' names and the positions of each machine in each section. Read once
// per run by ReadMachineDescription, then read-only (shared freely, also across threads).

#ifndef ORVANO_INPUTS_MACHINE_DESCRIPTION_H_
#define ORVANO_INPUTS_MACHINE_DESCRIPTION_H_

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvano {

class ErrorSink;
class FileSystem;
class IniFile;

/// The procedure text under which the reading of the description file reports its failures.
inline constexpr std::string_view kReadDescriptionProcedure = "ReadOrvanoDoc";

struct MachineInfo {
  std::string name;  // entry "Name" of section "Machine"m
  std::string id;    // entry "ID"
};

struct SectionInfo {
  std::string name;  // entry "Name" of section "Section_"s; also the name of its workbook sheet
};

struct MachineDescription {
  // The entries of section "Setup"; a count absent or negative takes the value shown.
  std::int16_t reject_count = 50;          // "AnzAuswuerfe"
  std::int16_t fault_count = 256;          // "AnzFehler"
  std::int16_t warning_count = 256;        // "AnzWarnungen"
  std::int16_t machine_count = 1;          // "AnzMaschinen"
  std::int16_t control_type = 0;           // "Steuerung"
  std::string screen_resolution = "1280";  // "Aufloesung", as decimal text; "1280" below 1
  bool interface_with_opc = false;         // "InterFaceWithOPC"
  bool with_reject_counter = false;        // "WithRejectCounter"
  bool with_more_service_presets = false;  // "WithMoreServicePresets"
  std::int16_t section_count = 0;          // "Sections"

  std::vector<MachineInfo> machines;  // machine m at index m - 1
  std::vector<SectionInfo> sections;  // section s at index s - 1
  // position_counts[m - 1][s - 1]: "Machine"m"_count" of "Section_"s, -1 when absent.
  std::vector<std::vector<std::int16_t>> position_counts;
  // The file as it was read, so that the pages read their positions without parsing it again
  // for every machine; null in a description that was not read from a file.
  std::shared_ptr<const IniFile> file;

  /// Machine `m` (1-based). Throws UnexpectedError 9 outside 1..machines.size().
  const MachineInfo& Machine(int m) const;
  /// Section `s` (1-based). Throws UnexpectedError 9 outside 1..sections.size().
  const SectionInfo& Section(int s) const;
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

/// Reads the description file at `path` through `fs` (a missing file reads as one without
/// entries). Returns nullopt when it holds fewer than one section or more than kMaxMachines
/// machines or kMaxSections sections (the latter two reported naming the file and the entry).
/// A machine count of 0 gives empty machine and position tables. A failed entry (such as a
/// count outside 16 bits) is reported to `errors` under kReadDescriptionProcedure, keeps the
/// field's default (a position count reads 0) and the read goes on.
/// Throws EndProgram when `errors` ends the program.
[[nodiscard]] std::optional<MachineDescription> ReadMachineDescription(FileSystem& fs,
                                                                       const std::string& path,
                                                                       ErrorSink& errors);

}  // namespace orvano

#endif  // ORVANO_INPUTS_MACHINE_DESCRIPTION_H_
