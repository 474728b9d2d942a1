// Installs the build the way users get it (cmake --install into a temporary prefix; the Debian
// package from cpack, unpacked with dpkg-deb -x) and runs the installed program on the installed
// demo project with a home folder of its own and no XDG variables: the pages must equal the
// expected ones, the settings and the error log must lie under that home, and the program must
// write nothing anywhere else but the destination folder. Where strace can watch the program,
// every file it writes is checked; else the prefix and the home folder are compared before and
// after. The package must satisfy lintian, hardening included (the stack protector, for which
// lintian has no tag, is looked for in the binaries), and carry its licence; it is made
// from the plain build only (see DebianPackageInstallsUnderUsrAndPassesLintian).

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <sstream>

#include "support/file_system.h"
#include "testing/test_util.h"

namespace orvano {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;
using testing::ReadBytes;
using testing::RunCommand;
using testing::WriteBytes;

constexpr const char* kLanguage = "1049";
#ifdef ORVANO_SANITIZER_BUILD
constexpr bool kIsSanitizerBuild = true;
#else
constexpr bool kIsSanitizerBuild = false;
#endif
const std::string kDemoProject = "share/doc/orvano-html/examples/demo-project/";

// Every file under `folder` (ending with "/"), as paths relative to it, sorted.
std::vector<std::string> FilesUnder(FileSystem& fs, const std::string& folder,
                                    const std::string& prefix = "") {
  std::vector<std::string> files;
  for (const FolderEntry& entry : fs.ListFolder(folder + prefix)) {
    if (entry.is_folder) {
      std::vector<std::string> inner = FilesUnder(fs, folder, prefix + entry.name + "/");
      files.insert(files.end(), inner.begin(), inner.end());
    } else {
      files.push_back(prefix + entry.name);
    }
  }
  std::sort(files.begin(), files.end());
  return files;
}

// The quoted paths of the calls in an strace log that write or change the file system.
std::vector<std::string> WrittenPaths(const std::string& log) {
  static const std::set<std::string> kChanging = {
      "mkdir",    "mkdirat", "rename",    "renameat", "renameat2", "unlink",   "unlinkat",
      "rmdir",    "link",    "linkat",    "symlink",  "symlinkat", "truncate", "chmod",
      "fchmodat", "creat",   "utimensat", "chown",    "fchownat",  "mknod",    "mknodat"};
  std::vector<std::string> paths;
  std::istringstream lines(log);
  for (std::string line; std::getline(lines, line);) {
    std::size_t name_start = line.find_first_not_of("0123456789 ");
    std::size_t paren = line.find('(', name_start);
    if (name_start == std::string::npos || paren == std::string::npos) continue;
    const std::string call = line.substr(name_start, paren - name_start);
    bool opens_for_writing =
        (call == "open" || call == "openat") &&
        (line.find("O_WRONLY") != std::string::npos || line.find("O_RDWR") != std::string::npos ||
         line.find("O_CREAT") != std::string::npos);
    if (!opens_for_writing && !kChanging.count(call)) continue;
    for (std::size_t open = line.find('"'); open != std::string::npos;
         open = line.find('"', line.find('"', open + 1) + 1)) {
      std::size_t close = line.find('"', open + 1);
      if (close == std::string::npos) break;
      paths.push_back(line.substr(open + 1, close - open - 1));
    }
  }
  return paths;
}

// `text` as one word for /bin/sh.
std::string ShellQuoted(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// Assignments for `env` that hand this test's sanitizer options on to a program it runs with
// `env -i`, so that a sanitizer build checks the installed program as strictly as the rest of
// the suite. The leak checker cannot work in a process that strace traces, so a traced run
// (`is_traced`) goes without it; the other sanitizer checks stay on.
std::string SanitizerOptions(bool is_traced) {
  std::string assignments;
  for (const std::string name : {"ASAN_OPTIONS", "UBSAN_OPTIONS", "TSAN_OPTIONS"}) {
    const char* set = std::getenv(name.c_str());
    std::string value = set != nullptr ? set : "";
    if (is_traced && name == "ASAN_OPTIONS") {
      value += (value.empty() ? "" : ":") + std::string("detect_leaks=0");
    }
    if (!value.empty()) assignments += " " + name + "=" + ShellQuoted(value);
  }
  return assignments;
}

// A file the sanitizer's runtime, not the program, writes: at start-up ThreadSanitizer maps
// the program's read-only data through /tmp/tsan.rodata.<pid>, which it removes at once.
bool IsSanitizerRuntimeFile(const std::string& path) {
  return kIsSanitizerBuild && path.rfind("/tmp/tsan.rodata.", 0) == 0;
}

bool IsUnder(const std::string& path, const std::string& folder) {
  return path.rfind(folder, 0) == 0 || path + "/" == folder;
}

class InstallTest : public ::testing::Test {
 protected:
  void SetUp() override {
    home_ = dir_.path() + "home/";
    out_ = dir_.path() + "out/";
    testing::MakeFolders(home_);
    watch_writes_ = RunCommand("strace -f -qq -o /dev/null true 2>&1").status == 0;
  }

  // Runs the program at `exe` with `arguments`, HOME set to the test's home folder and no other
  // variable but PATH and the sanitizers' options. Returns what it printed (both streams); fills
  // `written` with the paths it wrote to when strace could watch it.
  testing::CommandOutcome RunProgram(const std::string& exe, const std::string& arguments,
                                     std::vector<std::string>* written = nullptr) {
    const std::string trace = dir_.path() + "trace.txt";
    const bool is_traced = watch_writes_ && written != nullptr;
    std::string command = "env -i PATH=/usr/bin:/bin HOME=" + home_ + SanitizerOptions(is_traced) +
                          " " + exe + " " + arguments;
    if (is_traced) {
      command =
          "strace -f -qq -e trace=%file,creat -e status=successful -o " + trace + " " + command;
    }
    testing::CommandOutcome outcome = RunCommand(command + " 2>&1");
    if (is_traced) {
      std::vector<std::string> paths = WrittenPaths(ReadBytes(trace));
      written->insert(written->end(), paths.begin(), paths.end());
    }
    return outcome;
  }

  // The installed program under `prefix` generates the demo from paths remembered in the home
  // folder, and reports a failed run to the error log there.
  void CheckInstalledProgram(const std::string& prefix) {
    const std::string exe = prefix + "bin/orvano-html";
    const std::string project = prefix + kDemoProject;
    ASSERT_TRUE(fs_->IsFile(exe));
    ASSERT_TRUE(fs_->IsFile(project + "Orvano.mdb"));
    const std::vector<std::string> installed = FilesUnder(*fs_, prefix);

    // Settings and language database where an installed program looks for them.
    const std::string config = home_ + ".config/orvano-html/";
    testing::MakeFolders(config);
    WriteBytes(config + "Languages.mdb", ReadBytes(project + "Languages.mdb"));
    WriteBytes(config + "orvano-html.ini",
               "[SysEnviron]\r\nPathOrvanoDOC=" + project + "Orvano.doc\r\nPathOrvanoDB=" +
                   project + "Orvano.mdb\r\nPathXLCollection=" + project +
                   "Collection.xls\r\nPathHTMLSourceFolder=" + project + "Source_HTML/\r\n");

    testing::CommandOutcome paths = RunProgram(exe, "--paths");
    EXPECT_EQ(0, paths.status);
    EXPECT_THAT(paths.output, HasSubstr("installed"));
    EXPECT_THAT(paths.output, HasSubstr("found: " + config + "Languages.mdb\n"));
    EXPECT_THAT(paths.output,
                HasSubstr("found: " + prefix + "libexec/orvano-html/orvano-dbreader\n"));

    std::vector<std::string> written;
    testing::CommandOutcome run = RunProgram(
        exe, "Silent=TRUE LangID=" + std::string(kLanguage) + " PathDestinationFolder=" + out_,
        &written);
    ASSERT_EQ(0, run.status) << run.output;
    ExpectDemoPages();

    testing::CommandOutcome failed =
        RunProgram(exe, "Silent=TRUE LangID=9999 PathDestinationFolder=" + out_, &written);
    EXPECT_NE(0, failed.status);
    const std::string error_log = home_ + ".local/state/orvano-html/orvano-htmlError.log";
    EXPECT_THAT(ReadBytes(error_log), HasSubstr("Language not found")) << failed.output;
    // The program made the state folders, and made them its user's alone.
    EXPECT_EQ(0700, testing::ModeOf(home_ + ".local/"));
    EXPECT_EQ(0700, testing::ModeOf(home_ + ".local/state/orvano-html/"));

    EXPECT_EQ((std::vector<std::string>{".config/orvano-html/Languages.mdb",
                                        ".config/orvano-html/orvano-html.ini",
                                        ".local/state/orvano-html/orvano-htmlError.log"}),
              FilesUnder(*fs_, home_));
    EXPECT_EQ(installed, FilesUnder(*fs_, prefix));
    ExpectWritesOnlyUnder(written, {home_, out_});
  }

  void ExpectDemoPages() {
    const std::string expected =
        std::string(ORVANO_SOURCE_DIR) + "/examples/demo/expected/" + kLanguage + "/";
    std::vector<std::string> pages = FilesUnder(*fs_, out_);
    pages.erase(std::remove(pages.begin(), pages.end(), "Logfile.log"), pages.end());
    ASSERT_EQ(FilesUnder(*fs_, expected), pages);
    for (const std::string& name : pages) {
      EXPECT_TRUE(ReadBytes(expected + name) == ReadBytes(out_ + name)) << name;
    }
  }

  void ExpectWritesOnlyUnder(const std::vector<std::string>& written,
                             const std::vector<std::string>& folders) {
    if (!watch_writes_) {
      std::fprintf(stderr, "note: strace cannot watch the program here; writes not checked\n");
      return;
    }
    EXPECT_FALSE(written.empty());
    for (const std::string& path : written) {
      bool allowed = path == "/dev/null" || IsSanitizerRuntimeFile(path) ||
                     std::any_of(folders.begin(), folders.end(),
                                 [&](const std::string& f) { return IsUnder(path, f); });
      EXPECT_TRUE(allowed) << "written outside the home and destination folders: " << path;
    }
  }

  testing::ScopedTempDir dir_;
  std::unique_ptr<FileSystem> fs_ = NewPosixFileSystem();
  std::string home_;
  std::string out_;
  bool watch_writes_ = false;
};

TEST_F(InstallTest, CmakeInstallPutsEachFileInItsPlace) {
  const std::string prefix = dir_.path() + "prefix/";
  testing::CommandOutcome install = RunCommand(std::string(ORVANO_CMAKE) + " --install " +
                                               ORVANO_BINARY_DIR + " --prefix " + prefix + " 2>&1");
  ASSERT_EQ(0, install.status) << install.output;
  for (const char* file :
       {"bin/orvano-html", "libexec/orvano-html/orvano-dbreader", "share/man/man1/orvano-html.1.gz",
        "share/applications/orvano-html.desktop",
        "share/icons/hicolor/scalable/apps/orvano-html.svg", "share/doc/orvano-html/README.md",
        "share/doc/orvano-html/copyright", "share/doc/orvano-html/examples/demo/texts.tsv"}) {
    EXPECT_TRUE(fs_->IsFile(prefix + file)) << file;
  }
  ASSERT_NO_FATAL_FAILURE(CheckInstalledProgram(prefix));

  // The validators of the man page and the desktop entry find nothing to say.
  testing::CommandOutcome man =
      RunCommand("LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z " +
                 prefix + "share/man/man1/orvano-html.1.gz 2>&1 >/dev/null");
  EXPECT_EQ(0, man.status);
  EXPECT_EQ("", man.output);
  testing::CommandOutcome desktop =
      RunCommand("desktop-file-validate " + prefix + "share/applications/orvano-html.desktop 2>&1");
  EXPECT_EQ(0, desktop.status);
  EXPECT_EQ("", desktop.output);

  // The man page names every key --help names.
  const std::string help = RunProgram(prefix + "bin/orvano-html", "--help").output;
  const std::string page =
      RunCommand("MANWIDTH=200 man -l " + prefix + "share/man/man1/orvano-html.1.gz 2>/dev/null")
          .output;
  int keys = 0;
  for (std::size_t at = help.find("\n  "); at != std::string::npos;
       at = help.find("\n  ", at + 1)) {
    std::string key = help.substr(at + 3, help.find_first_of(" =\n", at + 3) - at - 3);
    if (key.empty() || key == "-h") continue;
    ++keys;
    EXPECT_THAT(page, HasSubstr(key)) << key << " is missing from the man page";
  }
  EXPECT_GE(keys, 12);
}

// A sanitizer build is made without the distribution's hardening flags on purpose, so its package
// could not pass; the package is made from the plain build, and CmakeInstallPutsEachFileInItsPlace
// already runs the installed program of a sanitizer build.
TEST_F(InstallTest, DebianPackageInstallsUnderUsrAndPassesLintian) {
  if (kIsSanitizerBuild) GTEST_SKIP() << "the package is tested in the plain build";
  const std::string packages = dir_.path() + "packages/";
  testing::CommandOutcome pack =
      RunCommand(std::string(ORVANO_CPACK) + " -G DEB --config " + ORVANO_BINARY_DIR +
                 "/CPackConfig.cmake -B " + packages + " 2>&1");
  ASSERT_EQ(0, pack.status) << pack.output;
  const std::string deb = packages + "orvano-html_" + ORVANO_VERSION_TEXT + "_amd64.deb";
  ASSERT_TRUE(fs_->IsFile(deb)) << pack.output;

  const std::string depends = RunCommand("dpkg-deb -f " + deb + " Depends").output;
  for (const char* library : {"libqt6widgets6", "libmdb3", "libicu"}) {
    EXPECT_THAT(depends, HasSubstr(library));
  }
  // Informational tags are shown too: some hardening tags are of that kind.
  testing::CommandOutcome lintian =
      RunCommand("lintian --fail-on error --display-info " + deb + " 2>&1");
  EXPECT_EQ(0, lintian.status) << lintian.output;
  EXPECT_THAT(lintian.output, Not(HasSubstr("hardening-"))) << lintian.output;

  const std::string root = dir_.path() + "root/";
  testing::CommandOutcome unpack = RunCommand("dpkg-deb -x " + deb + " " + root + " 2>&1");
  ASSERT_EQ(0, unpack.status) << unpack.output;
  std::vector<std::string> top;
  for (const FolderEntry& entry : fs_->ListFolder(root)) top.push_back(entry.name);
  EXPECT_EQ(std::vector<std::string>{"usr"}, top);
  // Lintian has no tag for the stack protector.
  for (const char* binary : {"usr/bin/orvano-html", "usr/libexec/orvano-html/orvano-dbreader"}) {
    EXPECT_EQ(
        0, RunCommand("readelf -W --dyn-syms " + root + binary + " | grep -q ' __stack_chk_fail@'")
               .status)
        << binary;
  }
  const std::string copyright = ReadBytes(root + "usr/share/doc/orvano-html/copyright");
  EXPECT_THAT(copyright, HasSubstr("\nLicense: Apache-2.0\n"));
  EXPECT_THAT(copyright, HasSubstr("/usr/share/common-licenses/Apache-2.0"));
  CheckInstalledProgram(root + "usr/");
}

TEST_F(InstallTest, PortableCopyKeepsItsFilesBesideItself) {
  const std::string copy = dir_.path() + "portable/";
  testing::CopyProgramsPortably({std::string(ORVANO_BINARY_DIR) + "/orvano-html",
                                 std::string(ORVANO_BINARY_DIR) + "/orvano-dbreader"},
                                copy);
  std::vector<std::string> written;
  testing::CommandOutcome failed = RunProgram(copy + "orvano-html",
                                              "Silent=TRUE LangID=1031 "
                                              "PathOrvanoDOC=" +
                                                  dir_.path() + "missing.doc",
                                              &written);
  EXPECT_NE(0, failed.status);
  EXPECT_THAT(ReadBytes(copy + "orvano-htmlError.log"), HasSubstr("Commandline")) << failed.output;
  EXPECT_TRUE(FilesUnder(*fs_, home_).empty());
  ExpectWritesOnlyUnder(written, {copy});

  testing::CommandOutcome paths = RunProgram(copy + "orvano-html", "--paths");
  EXPECT_THAT(paths.output, HasSubstr("portable"));
  EXPECT_THAT(paths.output, HasSubstr("found: " + copy + "orvano-dbreader\n"));
}

}  // namespace
}  // namespace orvano
