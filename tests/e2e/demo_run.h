// The fixture of the whole-program tests: a portable copy of orvano-html in a temporary folder
// (its error log, INI file and the Languages.mdb it looks for beside itself belong to the test),
// projects written from the demo's sources, changed as a test needs, and runs of the program.

#ifndef ORVANO_TESTS_E2E_DEMO_RUN_H_
#define ORVANO_TESTS_E2E_DEMO_RUN_H_

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <system_error>
#include <vector>

#include "project_sources.h"
#include "project_writer.h"
#include "support/file_system.h"
#include "testing/test_util.h"

namespace orvano::testing {

using Outcome = CommandOutcome;  // standard output and error together

// The JSON files at `paths` (separated by blanks) are valid by docs/<schema>.schema.json (the
// validator's message otherwise).
inline ::testing::AssertionResult MatchesSchema(const std::string& schema,
                                                const std::string& paths) {
  const Outcome validated = RunCommand(
      "python3 -c 'import json, sys, jsonschema\n"
      "for path in sys.argv[2:]: jsonschema.validate(json.load(open(path)), "
      "json.load(open(sys.argv[1])))' " +
      std::string(ORVANO_SOURCE_DIR) + "/docs/" + schema + ".schema.json " + paths + " 2>&1");
  if (validated.status == 0) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << validated.output;
}

class DemoRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CopyProgramsPortably({ORVANO_HTML_EXE}, bin_);
    MakeFolders(out_);
    demo_ = tools::ReadProjectSources(*fs_, std::string(ORVANO_SOURCE_DIR) + "/examples/demo/");
  }

  // The demo's sources, changed by `edit`, written into `folder` (below the test's folder);
  // Languages.mdb is put beside the program unless `language_db` is false.
  tools::ProjectPaths MakeProject(const std::function<void(tools::ProjectSources&)>& edit = {},
                                  const std::string& folder = "project/", bool language_db = true,
                                  const tools::ProjectOptions& options = {}) {
    tools::ProjectSources sources = demo_;
    if (edit) edit(sources);
    tools::ProjectPaths paths = tools::WriteProject(*fs_, sources, dir_.path() + folder, options);
    if (language_db && !paths.language_database.empty()) {
      WriteBytes(bin_ + "Languages.mdb", ReadBytes(paths.language_database));
    }
    return paths;
  }

  static std::string PathArgs(const tools::ProjectPaths& paths, const std::string& destination) {
    return "PathOrvanoDOC=" + paths.description + " PathOrvanoDB=" + paths.database +
           " PathXLCollection=" + paths.workbook +
           " PathHTMLSourceFolder=" + paths.template_folder +
           " PathDestinationFolder=" + destination;
  }

  // Runs the program with `arguments`, after the shell commands `before` (ulimit).
  Outcome Run(const std::string& arguments, const std::string& before = "") {
    return RunCommand(before + " exec " + bin_ + "orvano-html " + arguments + " 2>&1");
  }
  // Runs the program on the project `paths`, writing into `destination` (out_ when empty).
  Outcome Run(const tools::ProjectPaths& paths, const std::string& arguments,
              const std::string& destination = "") {
    return Run(arguments + " " + PathArgs(paths, destination.empty() ? out_ : destination));
  }

  // The names of the files (not folders) in `folder`, sorted.
  std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const FolderEntry& entry : fs_->ListFolder(folder)) {
      if (!entry.is_folder) names.push_back(entry.name);
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  // Every file below `folder` with its full path; none when the folder is missing.
  static std::set<std::string> FilesBelow(const std::string& folder) {
    std::set<std::string> files;
    std::error_code error;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder, error)) {
      if (entry.is_regular_file()) files.insert(entry.path().string());
    }
    return files;
  }

  ScopedTempDir dir_;
  std::unique_ptr<FileSystem> fs_ = NewPosixFileSystem();
  const std::string bin_ = dir_.path() + "bin/";
  const std::string out_ = dir_.path() + "out/";
  tools::ProjectSources demo_;
};

}  // namespace orvano::testing

#endif  // ORVANO_TESTS_E2E_DEMO_RUN_H_
