// Runs the real orvano-html on whole projects that are each broken in one way (damaged,
// missing or locked inputs, junk counts, unsafe names, a destination that cannot take the
// pages) and checks what the user gets: the message, a non-zero exit status in silent mode, no
// file outside the destination, and the pages of an earlier run intact (never half a page).
// The program and its database reader are copied into a temporary folder first.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <set>

#include "project_sources.h"
#include "project_writer.h"
#include "support/file_system.h"
#include "testing/test_util.h"
#include "xls_writer/cfb_writer.h"
#include "xlsx_writer/xlsx_writer.h"
#include "xlsx_writer/zip_builder.h"

namespace orvano {
namespace {

using testing::ReadBytes;
using testing::WriteBytes;
using tools::ProjectPaths;
using tools::ProjectSources;

constexpr const char* kEarlierPage = "earlier page";
constexpr const char* kEarlierMenu = "earlier menu";

using Outcome = testing::CommandOutcome;  // standard output and error together

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

class BrokenProjectsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    bin_ = dir_.path() + "bin/";
    testing::CopyProgramsPortably({ORVANO_HTML_EXE, ORVANO_DBREADER_EXE}, bin_);
    demo_ = tools::ReadProjectSources(*fs_, std::string(ORVANO_SOURCE_DIR) + "/examples/demo/");
  }

  // Writes the demo project, changed by `c`, into `folder`.
  ProjectPaths MakeProject(const Case& c, const std::string& folder) {
    ProjectSources sources = demo_;
    if (c.edit_sources) c.edit_sources(sources);
    ProjectPaths paths = tools::WriteProject(*fs_, sources, folder + "project/");
    if (c.damage_files) c.damage_files(paths);
    return paths;
  }

  Outcome Run(const ProjectPaths& paths, const std::string& destination,
              const std::string& shell_limits = "") {
    std::string command = shell_limits + " exec " + bin_ +
                          "orvano-html Silent=TRUE LangID=1033 PathOrvanoDOC=" + paths.description +
                          " PathOrvanoDB=" + paths.database +
                          " PathXLCollection=" + paths.workbook +
                          " PathHTMLSourceFolder=" + paths.template_folder +
                          " PathDestinationFolder=" + destination + " 2>&1";
    return testing::RunCommand(command);
  }

  // Every file below the test's folder, except the program's own.
  std::set<std::string> AllFiles() {
    std::set<std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir_.path())) {
      if (entry.is_regular_file()) files.insert(entry.path().string());
    }
    return files;
  }

  // Runs case `c` and checks everything the user may rely on. A case that relies on
  // permission bits is skipped when the tests run as root.
  Outcome Check(const Case& c) {
    SCOPED_TRACE(c.name);
    if (c.needs_permissions && testing::RunningAsRoot()) {
      std::printf("[ SKIPPED  ] %s: permission bits do not stop root\n", c.name.c_str());
      return {};
    }
    const std::string folder = dir_.path() + c.name + "/";
    const std::string out = folder + "out/";
    ProjectPaths paths = MakeProject(c, folder);
    testing::MakeFolders(out);
    WriteBytes(out + "Standard.htm", kEarlierPage);
    WriteBytes(out + "Menu.htm", kEarlierMenu);
    std::remove((bin_ + "orvano-htmlError.log").c_str());
    const std::set<std::string> before = AllFiles();

    if (c.destination_mode != 0) testing::SetMode(out, c.destination_mode);
    Outcome outcome = Run(paths, out, c.shell_limits);
    if (c.destination_mode != 0) testing::SetMode(out, 0755);

    std::string message = c.message;
    if (auto at = message.find("<db>"); at != std::string::npos) {
      message.replace(at, 4, paths.database);
    }
    EXPECT_GT(outcome.status, 0) << outcome.output;
    EXPECT_NE(std::string::npos, outcome.output.find(message)) << outcome.output;
    EXPECT_NE(std::string::npos, ReadBytes(bin_ + "orvano-htmlError.log").find(message));
    // Pages are whole or absent: the earlier ones are untouched and no temporary file is left.
    EXPECT_TRUE(ReadBytes(out + "Standard.htm") == kEarlierPage) << "Standard.htm was replaced";
    EXPECT_TRUE(ReadBytes(out + "Menu.htm") == kEarlierMenu) << "Menu.htm was replaced";
    for (const std::string& file : AllFiles()) {
      if (before.count(file)) continue;
      const bool in_destination = file.rfind(out, 0) == 0;
      EXPECT_TRUE(in_destination || file == bin_ + "orvano-htmlError.log" ||
                  file == bin_ + "orvano-html.ini")
          << "written outside the destination: " << file;
      EXPECT_NE('.', FileNameOf(file)[0]) << "left behind: " << file;
    }
    return outcome;
  }

  testing::ScopedTempDir dir_;
  std::unique_ptr<FileSystem> fs_ = NewPosixFileSystem();
  std::string bin_;
  ProjectSources demo_;
};

// `path` cut to `keep` bytes.
void Truncate(const std::string& path, std::size_t keep) {
  WriteBytes(path, ReadBytes(path).substr(0, keep));
}

// Replaces the first `old_text` of the description file's sources by `new_text`.
std::function<void(ProjectSources&)> EditDoc(std::string old_text, std::string new_text) {
  return [=](ProjectSources& s) {
    s.orvano_doc.replace(s.orvano_doc.find(old_text), old_text.size(), new_text);
  };
}

// Gives section `name` and its sheet the name `new_name`.
std::function<void(ProjectSources&)> RenameSection(std::string name, std::string new_name) {
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

// Damaged, missing or locked inputs, junk counts, and a destination that cannot take the pages.
TEST_F(BrokenProjectsTest, BrokenProjectsStopWithTheirMessage) {
  auto cut_database = [](std::size_t keep) {
    return [keep](const ProjectPaths& p) { Truncate(p.database, keep); };
  };
  const std::vector<Case> cases = {
      {.name = "db_cut_at_page",
       .message = "Damaged database: <db>",
       .damage_files = cut_database(5 * 4096)},
      {.name = "db_cut_mid_page",
       .message = "Damaged database: <db>",
       .damage_files = cut_database(5 * 4096 + 100)},
      {.name = "db_empty", .message = "Not a database: <db>", .damage_files = cut_database(0)},
      {.name = "db_wrong_format",
       .message = "Not a database: <db>",
       .damage_files =
           [](const ProjectPaths& p) { WriteBytes(p.database, ReadBytes(p.workbook)); }},
      {.name = "db_missing",
       .message = "At least one pathparameter incorrect or missing",
       .damage_files = [](const ProjectPaths& p) { std::remove(p.database.c_str()); }},
      {.name = "db_locked",
       .message = "<db>",
       .damage_files = [](const ProjectPaths& p) { testing::SetMode(p.database, 0); },
       .needs_permissions = true},
      {.name = "no_texts_table",
       .message = "Could not find table 'TidxTexts' in '<db>'",
       .damage_files =
           [](const ProjectPaths& p) {
             // Renames the table in the catalog (UTF-16 there); the file stays whole.
             std::string bytes = ReadBytes(p.database);
             const std::string name("T\0i\0d\0x\0T\0e\0x\0t\0s\0", 18);
             for (auto at = bytes.find(name); at != std::string::npos; at = bytes.find(name, at)) {
               bytes[at + 16] = 'Z';
             }
             WriteBytes(p.database, bytes);
           }},
      {.name = "no_language_column",
       .message = "Could not find column 'L1033' in table 'TidxTexts'",
       .edit_sources =
           [](ProjectSources& s) {
             s.language_ids = {"1031", "1049"};
           }},
      {.name = "workbook_truncated",
       .message = "lies past the end of the file",
       .damage_files = [](const ProjectPaths& p) { Truncate(p.workbook, 3000); }},
      {.name = "workbook_empty",
       .message = "not a workbook: the file is empty",
       .damage_files = [](const ProjectPaths& p) { Truncate(p.workbook, 0); }},
      {.name = "workbook_wrong_format",
       .message = "not a workbook: neither a compound file (.xls) nor a ZIP archive",
       .damage_files =
           [](const ProjectPaths& p) { WriteBytes(p.workbook, ReadBytes(p.database)); }},
      {.name = "workbook_xlsx_truncated",
       .message = "Collection.xls: damaged ZIP archive",
       .damage_files =
           [](const ProjectPaths& p) {
             XlsWorkbook book;
             book.AddSheet("CommonDirect").Set(0, 0, XlsCell::Text("CommonDirect"));
             auto fs = NewPosixFileSystem();
             WriteXlsx(*fs, p.workbook, book);
             Truncate(p.workbook, 2000);
           }},
      {.name = "workbook_xlsx_with_entities",
       .message = "xl/workbook.xml: line 1, column 13: a document type declaration (DTD, "
                  "entities) is refused",
       .damage_files =
           [](const ProjectPaths& p) {
             WriteBytes(
                 p.workbook,
                 BuildZipArchive(
                     {{"[Content_Types].xml",
                       "<Types><Override PartName=\"/xl/workbook.xml\" "
                       "ContentType=\"application/vnd.openxmlformats-officedocument."
                       "spreadsheetml.sheet.main+xml\"/></Types>"},
                      {"xl/workbook.xml",
                       "<!DOCTYPE w [<!ENTITY a \"aaaaaaaaaa\">]><workbook>&a;</workbook>"}}));
           }},
      {.name = "workbook_password_protected",
       .message = "Collection.xls: the workbook is password-protected",
       .damage_files =
           [](const ProjectPaths& p) {
             WriteBytes(p.workbook, BuildCompoundFile("EncryptedPackage", std::string(5000, 'x')));
           }},
      {.name = "workbook_locked",
       .message = "Collection.xls",
       .damage_files = [](const ProjectPaths& p) { testing::SetMode(p.workbook, 0); },
       .needs_permissions = true},
      {.name = "no_direct_sheet",
       .message = "Error reading XL-Sheet \"CommonDirect\"",
       .edit_sources =
           [](ProjectSources& s) { s.workbook.sheets.erase(s.workbook.sheets.begin()); }},
      {.name = "doc_empty",
       .message = "Error reading Orvano.doc",
       .damage_files = [](const ProjectPaths& p) { Truncate(p.description, 0); }},
      {.name = "doc_wrong_format",
       .message = "Error reading Orvano.doc",
       .damage_files =
           [](const ProjectPaths& p) { WriteBytes(p.description, ReadBytes(p.workbook)); }},
      {.name = "doc_locked",
       .message = "Orvano.doc",
       .damage_files = [](const ProjectPaths& p) { testing::SetMode(p.description, 0); },
       .needs_permissions = true},
      {.name = "template_locked",
       .message = "Cannot read the template",
       .damage_files =
           [](const ProjectPaths& p) {
             testing::SetMode(p.template_folder + "Source_Menu.htm", 0);
           },
       .needs_permissions = true},
      {.name = "sections_text",
       .message = "Error reading Orvano.doc",
       .edit_sources = EditDoc("Sections=4", "Sections=four")},
      {.name = "sections_zero",
       .message = "Error reading Orvano.doc",
       .edit_sources = EditDoc("Sections=4", "Sections=0")},
      {.name = "sections_huge",
       .message = "entry Sections of section Setup is 30000, more than",
       .edit_sources = EditDoc("Sections=4", "Sections=30000")},
      {.name = "sections_overflow",
       .message = "holds 99999, outside -32768..32767",
       .edit_sources = EditDoc("Sections=4", "Sections=99999")},
      {.name = "machines_huge",
       .message = "entry AnzMaschinen of section Setup is 32767, more than",
       .edit_sources = EditDoc("AnzMaschinen=3", "AnzMaschinen=32767")},
      // A file size limit (in 512-byte blocks) stands in for a full disk.
      {.name = "file_too_large", .message = "File too large", .shell_limits = "ulimit -f 4;"},
      {.name = "read_only_destination",
       .message = "Standard.htm",
       .needs_permissions = true,
       .destination_mode = 0555},
  };
  for (const Case& c : cases) ASSERT_NO_FATAL_FAILURE(Check(c));
}

// Inputs whose absence is no error: the run completes, notes what it left out in the event
// log, and still writes nothing outside the destination; a refused page or a missing template
// makes the exit status 3.
TEST_F(BrokenProjectsTest, AbsentPartsAndUnsafeNames) {
  const std::vector<Case> cases = {
      {.name = "no_section_sheet",
       .edit_sources = [](ProjectSources& s) { s.workbook.sheets.pop_back(); },
       .note = "Table not found: Utilities"},
      {.name = "section_name_up",
       .edit_sources = RenameSection("Utilities", "../Utilities"),
       .note = "Page name not allowed: section \"../Utilities\"",
       .exit_status = 3},
      {.name = "section_name_slash",
       .edit_sources = RenameSection("Standard", "/tmp/Standard"),
       .note = "Page name not allowed: section \"/tmp/Standard\"",
       .exit_status = 3},
      {.name = "machine_name_slash",
       .edit_sources = EditDoc("Name=Filler", "Name=../../Filler"),
       .note = "Page name not allowed: section \"Drives\", machine \"../../Filler\"",
       .exit_status = 3},
      {
          .name = "no_section_template",
          .damage_files =
              [](const ProjectPaths& p) {
                std::remove((p.template_folder + "Source_Section.htm").c_str());
              },
          .exit_status = 3,
      },
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string folder = dir_.path() + c.name + "/";
    ProjectPaths paths = MakeProject(c, folder);
    const std::set<std::string> before = AllFiles();
    Outcome outcome = Run(paths, folder + "out/");
    EXPECT_EQ(c.exit_status, outcome.status) << outcome.output;
    EXPECT_NE(std::string::npos, ReadBytes(folder + "out/Logfile.log").find(c.note));
    for (const std::string& file : AllFiles()) {
      EXPECT_TRUE(before.count(file) || file.rfind(folder + "out/", 0) == 0 ||
                  file.rfind(bin_, 0) == 0)
          << "written outside the destination: " << file;
    }
  }
}

// A reader that crashes is a damaged database; what it printed does not reach the user.
TEST_F(BrokenProjectsTest, CrashingDatabaseReader) {
  const std::string real_reader = ReadBytes(bin_ + "orvano-dbreader");
  WriteBytes(bin_ + "orvano-dbreader",
             "#!/bin/sh\necho 'reader: something went badly wrong' >&2\nkill -SEGV $$\n");
  Outcome outcome = Check({.name = "reader_crash", .message = "Damaged database: <db>"});
  EXPECT_EQ(std::string::npos, outcome.output.find("badly wrong")) << outcome.output;
  WriteBytes(bin_ + "orvano-dbreader", real_reader);
}

}  // namespace
}  // namespace orvano
