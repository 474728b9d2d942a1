// Fuzzes the INI reader and writer: parsing, look-ups and one edit that must read back.

#include <cstdint>
#include <cstdlib>
#include <string>

#include "support/errors.h"
#include "support/ini_document.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string bytes(reinterpret_cast<const char*>(data), size);
  orvano::IniDocument document = orvano::IniDocument::Parse(bytes);
  (void)document.Find("Setup", "Sections");
  (void)document.Find("Machine1", "Name");
  try {
    document.Set("Setup", "AnzMaschinen", "7");
  } catch (const orvano::ProgramError&) {
    // A refused edit leaves the file as it was.
    if (document.bytes() != bytes) std::abort();
    return 0;
  }
  // An edit that was accepted must read back.
  orvano::IniDocument again = orvano::IniDocument::Parse(document.bytes());
  if (again.Find("Setup", "AnzMaschinen") != std::optional<std::string>("7")) std::abort();
  return 0;
}
