// Fuzzes the description file reader: counts, names and position entries of any value.

#include <unistd.h>

#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "inputs/machine_description.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static orvano::fuzz::FuzzContext fuzz;
  static const std::string path = "/tmp/orvano-fuzz-" + std::to_string(::getpid()) + ".doc";
  fuzz.fs->WriteFileAtomically(path, std::string_view(reinterpret_cast<const char*>(data), size));
  fuzz.context.settings.path_orvano_doc = path;
  try {
    orvano::ReadOrvanoDoc(fuzz.context);
  } catch (const orvano::EndProgram&) {
  }
  return 0;
}
