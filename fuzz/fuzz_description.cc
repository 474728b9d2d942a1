// Fuzzes the description file reader: counts, names and position entries of any value.

#include <unistd.h>

#include <cstdint>
#include <memory>
#include <string>

#include "inputs/machine_description.h"
#include "support/error_sink.h"
#include "support/errors.h"
#include "support/file_system.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::unique_ptr<orvano::FileSystem> fs = orvano::NewPosixFileSystem();
  static const std::string path = "/tmp/orvano-fuzz-" + std::to_string(::getpid()) + ".doc";
  orvano::IgnoringErrorSink errors;
  fs->WriteFileAtomically(path, std::string_view(reinterpret_cast<const char*>(data), size));
  if (std::optional<orvano::MachineDescription> d =
          orvano::ReadMachineDescription(*fs, path, errors)) {
    // Every table the description sized is within reach of its accessors.
    for (int m = 1; m <= static_cast<int>(d->machines.size()); ++m) {
      for (int s = 1; s <= static_cast<int>(d->sections.size()); ++s) {
        (void)d->PositionCount(m, s);
      }
    }
  }
  return 0;
}
