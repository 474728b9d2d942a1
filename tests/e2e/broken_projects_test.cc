// Runs the real orvano-html on whole projects that are each broken in one way (damaged,
// missing or locked inputs, junk counts, unsafe names, a destination that cannot take the
// pages) and checks what the user gets: the message, a non-zero exit status in silent mode, no
// file outside the destination, and the pages of an earlier run intact (never half a page).
// The program and its database reader are copied into a temporary folder first. One case per
// input and kind of fault: what a reader says about each fault its own tests check.

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <set>

#include "demo_run.h"

namespace orvano {
namespace {

using testing::Outcome;
using testing::ReadBytes;
using testing::WriteBytes;
using tools::ProjectPaths;
using tools::ProjectSources;

constexpr const char* kEarlierPage = "earlier page";
constexpr const char* kEarlierMenu = "earlier menu";

// One broken project: how it is broken and what the run must say.
struct Case {
  std::string name;
  std::string message;  // expected in the program's output; "<db>" stands for the database path
  std::function<void(ProjectSources&)> edit_sources;
  std::function<void(const ProjectPaths&)> damage_files;
  std::string shell_limits;        // shell commands run before the program (ulimit)
  bool needs_permissions = false;  // relies on permission bits, which do not stop root
  int destination_mode = 0;        // when not 0, the destination's mode after the earlier run
  std::string note;                // for runs that complete: expected in the event log
  int exit_status = 0;             // for runs that complete: 3 when a page is refused or wrong
};

// The database reader is copied beside the program too; no Languages.mdb is.
class BrokenProjectsTest : public testing::DemoRunTest {
 protected:
  void SetUp() override {
    DemoRunTest::SetUp();
    testing::CopyProgramsPortably({ORVANO_DBREADER_EXE}, bin_);
  }

  // Writes the demo project, changed by `c`, into the folder of `c`.
  ProjectPaths MakeProject(const Case& c) {
    ProjectPaths paths = DemoRunTest::MakeProject(c.edit_sources, c.name + "/project/", false);
    if (c.damage_files) c.damage_files(paths);
    return paths;
  }

  // Runs case `c` and checks everything the user may rely on: a run that stops (a case with a
  // message) says why and leaves the earlier pages whole, one that completes has its exit status
  // and its note; neither writes outside the destination nor leaves a temporary file. A case
  // that relies on permission bits is skipped when the tests run as root.
  Outcome Check(const Case& c) {
    SCOPED_TRACE(c.name);
    if (c.needs_permissions && testing::RunningAsRoot()) {
      std::printf("[ SKIPPED  ] %s: permission bits do not stop root\n", c.name.c_str());
      return {};
    }
    const std::string out = dir_.path() + c.name + "/out/";
    ProjectPaths paths = MakeProject(c);
    testing::MakeFolders(out);
    WriteBytes(out + "Standard.htm", kEarlierPage);
    WriteBytes(out + "Menu.htm", kEarlierMenu);
    std::remove((bin_ + "orvano-htmlError.log").c_str());
    const std::set<std::string> before = FilesBelow(dir_.path());

    if (c.destination_mode != 0) testing::SetMode(out, c.destination_mode);
    Outcome outcome = Run("Silent=TRUE LangID=1033 " + PathArgs(paths, out), c.shell_limits);
    if (c.destination_mode != 0) testing::SetMode(out, 0755);

    if (c.message.empty()) {
      EXPECT_EQ(c.exit_status, outcome.status) << outcome.output;
      EXPECT_NE(std::string::npos, ReadBytes(out + "Logfile.log").find(c.note));
    } else {
      std::string message = c.message;
      if (auto at = message.find("<db>"); at != std::string::npos) {
        message.replace(at, 4, paths.database);
      }
      EXPECT_GT(outcome.status, 0) << outcome.output;
      EXPECT_NE(std::string::npos, outcome.output.find(message)) << outcome.output;
      EXPECT_NE(std::string::npos, ReadBytes(bin_ + "orvano-htmlError.log").find(message));
      // Pages are whole or absent: the earlier ones are untouched.
      EXPECT_TRUE(ReadBytes(out + "Standard.htm") == kEarlierPage) << "Standard.htm was replaced";
      EXPECT_TRUE(ReadBytes(out + "Menu.htm") == kEarlierMenu) << "Menu.htm was replaced";
    }
    for (const std::string& file : FilesBelow(dir_.path())) {
      if (before.count(file)) continue;
      const bool in_destination = file.rfind(out, 0) == 0;
      EXPECT_TRUE(in_destination || file == bin_ + "orvano-htmlError.log" ||
                  file == bin_ + "orvano-html.ini")
          << "written outside the destination: " << file;
      EXPECT_NE('.', FileNameOf(file)[0]) << "left behind: " << file;
    }
    return outcome;
  }
};

using FileDamage = std::function<void(const ProjectPaths&)>;
using SourceEdit = std::function<void(ProjectSources&)>;

// A run that stops with `message`, on a project whose files `damage` spoils.
Case Damaged(std::string name, std::string message, FileDamage damage) {
  return {.name = std::move(name), .message = std::move(message), .damage_files = damage};
}
// A run that completes with `exit_status` and `note` in its event log, on a project written from
// sources changed by `edit`.
Case Completed(std::string name, int exit_status, std::string note, SourceEdit edit) {
  return {.name = std::move(name), .edit_sources = edit, .note = note, .exit_status = exit_status};
}
// A run that stops with `message`, on a project written from sources changed by `edit`.
Case Edited(std::string name, std::string message, SourceEdit edit) {
  return {.name = std::move(name), .message = std::move(message), .edit_sources = edit};
}
// Takes every permission of the project's file `file`.
Case Locked(std::string name, std::string message,
            std::function<std::string(const ProjectPaths&)> file) {
  Case c = Damaged(std::move(name), std::move(message),
                   [file](const ProjectPaths& p) { testing::SetMode(file(p), 0); });
  c.needs_permissions = true;
  return c;
}

// Cuts the project's file `file` to `keep` bytes.
FileDamage Cut(std::string ProjectPaths::*file, std::size_t keep) {
  return [=](const ProjectPaths& p) { WriteBytes(p.*file, ReadBytes(p.*file).substr(0, keep)); };
}
// Replaces the first `old_text` of the description file's sources by `new_text`.
SourceEdit EditDoc(std::string old_text, std::string new_text) {
  return [=](ProjectSources& s) {
    s.orvano_doc.replace(s.orvano_doc.find(old_text), old_text.size(), new_text);
  };
}

// Gives section `name` and its sheet the name `new_name`.
SourceEdit RenameSection(std::string name, std::string new_name) {
  return [=](ProjectSources& s) {
    EditDoc("Name=" + name, "Name=" + new_name)(s);
    for (auto& sheet : s.workbook.sheets) {
      if (sheet.name == name) {
        sheet.name = name + "2";
        sheet.Set(0, 0, XlsCell::Text(new_name));
      }
    }
  };
}

// Damaged or locked inputs, a count out of range and a destination that cannot take the pages
// stop the run; names that would put a page outside the destination are refused, the run
// completes with 3 and notes the refused page in the event log. (A section without a sheet: the
// demo's own "Inspection", see E2eTest; a missing template: BuildJobTest.)
TEST_F(BrokenProjectsTest, BrokenProjectsStopOrRefuseTheirPages) {
  using P = ProjectPaths;
  const std::vector<Case> cases = {
      Damaged("db_cut_at_page", "Damaged database: <db>", Cut(&P::database, 5 * 4096)),
      Damaged("workbook_truncated", "lies past the end of the file", Cut(&P::workbook, 3000)),
      Locked("workbook_locked", "Collection.xls", &P::workbook),
      Damaged("doc_empty", "Error reading Orvano.doc", Cut(&P::description, 0)),
      Locked("doc_locked", "Orvano.doc", &P::description),
      Locked("template_locked", "Cannot read the template",
             [](const P& p) { return p.template_folder + "Source_Menu.htm"; }),
      Edited("sections_overflow", "holds 99999, outside -32768..32767",
             EditDoc("Sections=4", "Sections=99999")),
      // A file size limit (in 512-byte blocks) stands in for a full disk.
      {.name = "file_too_large", .message = "File too large", .shell_limits = "ulimit -f 4;"},
      {.name = "read_only_destination",
       .message = "Standard.htm",
       .needs_permissions = true,
       .destination_mode = 0555},
      Completed("section_name_up", 3, "Page name not allowed: section \"../Utilities\"",
                RenameSection("Utilities", "../Utilities")),
      Completed("machine_name_slash", 3,
                "Page name not allowed: section \"Drives\", machine \"../../Filler\"",
                EditDoc("Name=Filler", "Name=../../Filler")),
  };
  for (const Case& c : cases) ASSERT_NO_FATAL_FAILURE(Check(c));
}

// A reader that crashes is a damaged database; what it printed does not reach the user.
TEST_F(BrokenProjectsTest, CrashingDatabaseReader) {
  WriteBytes(bin_ + "orvano-dbreader",
             "#!/bin/sh\necho 'reader: something went badly wrong' >&2\nkill -SEGV $$\n");
  Outcome outcome = Check({.name = "reader_crash", .message = "Damaged database: <db>"});
  EXPECT_EQ(std::string::npos, outcome.output.find("badly wrong")) << outcome.output;
}

}  // namespace
}  // namespace orvano
