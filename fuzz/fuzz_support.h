// What the fuzz targets share: a host that never shows anything and always goes on, and a run
// context whose logs go nowhere.

#ifndef ORVANO_FUZZ_FUZZ_SUPPORT_H_
#define ORVANO_FUZZ_FUZZ_SUPPORT_H_

#include <memory>
#include <string>

#include "support/host.h"
#include "app/program_info.h"
#include "app/run_context.h"
#include "support/errors.h"
#include "support/file_system.h"

namespace orvano::fuzz {

class QuietHost final : public Host {
 public:
  bool ShowError(std::string_view, std::string_view) override { return true; }
  bool AskYesNo(std::string_view) override { return false; }
  void ShowMessage(std::string_view) override {}
  void PumpEvents() override {}
  void StatusStart(std::string_view, int, bool) override {}
  void StatusTick() override {}
  void StatusEnd() override {}
  void WriteDiagnostic(std::string_view) override {}
};

/// A run context over the real file system whose error and event logs are /dev/null.
struct FuzzContext {
  FuzzContext() : fs(NewPosixFileSystem()), context(*fs, host, Program()) {
    context.logs.set_event_log_path("/dev/null");
  }
  static ProgramInfo Program() {
    ProgramInfo program;
    program.folder = "/dev/";
    program.base_name = "null";
    return program;
  }
  std::unique_ptr<FileSystem> fs;
  QuietHost host;
  RunContext context;
};

}  // namespace orvano::fuzz

#endif  // ORVANO_FUZZ_FUZZ_SUPPORT_H_
