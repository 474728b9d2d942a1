#include <string>

#include "inputs/machine_description.h"
#include "support/errors.h"
#include "support/ini_file.h"

namespace orvano {
namespace {

[[noreturn]] void ThrowIndex(const char* what, int index, std::size_t size) {
  throw UnexpectedError(err::kSubscriptOutOfRange, std::string("Subscript out of range: ") + what +
                                                       " " + std::to_string(index) + " of " +
                                                       std::to_string(size));
}

}  // namespace

const MachineInfo& MachineDescription::Machine(int m) const {
  if (m < 1 || static_cast<std::size_t>(m) > machines.size())
    ThrowIndex("machine", m, machines.size());
  return machines[static_cast<std::size_t>(m - 1)];
}

const SectionInfo& MachineDescription::Section(int s) const {
  if (s < 1 || static_cast<std::size_t>(s) > sections.size())
    ThrowIndex("section", s, sections.size());
  return sections[static_cast<std::size_t>(s - 1)];
}

std::int16_t MachineDescription::PositionCount(int m, int s) const {
  if (m < 1 || static_cast<std::size_t>(m) > position_counts.size()) {
    ThrowIndex("machine", m, position_counts.size());
  }
  const auto& row = position_counts[static_cast<std::size_t>(m - 1)];
  if (s < 1 || static_cast<std::size_t>(s) > row.size()) ThrowIndex("section", s, row.size());
  return row[static_cast<std::size_t>(s - 1)];
}

std::string MachineDescription::PositionText(int m, int s, int p) const {
  if (file == nullptr) return "";
  return file->ReadString("Section_" + std::to_string(s),
                          "Machine" + std::to_string(m) + "_Position" + std::to_string(p));
}

}  // namespace orvano
