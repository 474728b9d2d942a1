// Opens the generated demo in headless Chromium: the frame page must load the menu and the main
// page, a section page must load, and no file the pages ask for may be missing. Screenshots are
// kept in the build folder (e2e-artefacts/) for a person to look at.

#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "project_sources.h"
#include "project_writer.h"
#include "support/file_system.h"
#include "testing/test_util.h"

namespace orvano {
namespace {

constexpr char kChromium[] = "/usr/bin/chromium";

// The files Chromium loaded while rendering `page` into the screenshot `png`.
std::vector<std::string> LoadedFiles(const std::string& page, const std::string& png,
                                     const std::string& profile) {
  std::string command =
      std::string("timeout 120 ") + kChromium +
      " --headless --no-sandbox --disable-gpu --disable-quic --no-first-run"
      " --disable-background-networking --disable-component-update"
      " --disable-sync --user-data-dir=" +
      profile + " --window-size=1200,800 --enable-logging=stderr --v=1 --screenshot=" + png +
      " file://" + page + " 2>&1";
  std::vector<std::string> files;
  const std::string marker = "FileURLLoader::Start: file://";
  std::istringstream lines(testing::RunCommand(command).output);
  for (std::string line; std::getline(lines, line);) {
    auto at = line.find(marker);
    if (at == std::string::npos) continue;
    std::string path = line.substr(at + marker.size());
    while (!path.empty() && path.back() == '\r') path.pop_back();
    files.push_back(path);
  }
  return files;
}

TEST(Browser, DemoFramesAndPagesLoadWithoutMissingFiles) {
  auto fs = NewPosixFileSystem();
  if (!fs->IsFile(kChromium)) GTEST_SKIP() << "no " << kChromium << " (Debian package chromium)";
  testing::ScopedTempDir dir;
  std::string bin = dir.path() + "bin/";
  testing::CopyProgramsPortably({ORVANO_HTML_EXE}, bin);
  tools::ProjectSources sources =
      tools::ReadProjectSources(*fs, std::string(ORVANO_SOURCE_DIR) + "/examples/demo/");
  tools::ProjectPaths paths = tools::WriteProject(*fs, sources, dir.path() + "project/");
  testing::WriteBytes(bin + "Languages.mdb", testing::ReadBytes(paths.language_database));
  std::string out = dir.path() + "out/";
  std::string run = bin + "orvano-html Silent=TRUE LangID=1049 PathOrvanoDOC=" + paths.description +
                    " PathOrvanoDB=" + paths.database + " PathXLCollection=" + paths.workbook +
                    " PathHTMLSourceFolder=" + paths.template_folder +
                    " PathDestinationFolder=" + out;
  ASSERT_EQ(0, std::system(run.c_str()));

  std::string artefacts = std::string(ORVANO_BINARY_DIR) + "/e2e-artefacts/";
  testing::MakeFolders(artefacts);
  for (const char* page : {"Index.htm", "Drives_Filler.htm"}) {
    SCOPED_TRACE(page);
    std::string png = artefacts + "demo-" + page + ".png";
    std::remove(png.c_str());
    std::vector<std::string> loaded = LoadedFiles(out + page, png, dir.path() + "profile");
    std::set<std::string> names;
    for (const std::string& file : loaded) {
      EXPECT_TRUE(fs->IsFile(file)) << "missing file: " << file;
      names.insert(FileNameOf(file));
    }
    EXPECT_TRUE(names.count(page));
    if (std::string(page) == "Index.htm") {
      EXPECT_TRUE(names.count("Brenk.gif"));
      EXPECT_TRUE(names.count("Menu.htm"));
      EXPECT_TRUE(names.count("Main.htm"));
    }
    EXPECT_TRUE(fs->IsFile(png)) << "no screenshot";
  }
}

}  // namespace
}  // namespace orvano
