#include "support/ini_file.h"

#include <gtest/gtest.h>

#include <limits>

#include "support/errors.h"
#include "testing/test_util.h"

namespace orvano {
namespace {

using testing::ReadBytes;
using testing::WriteBytes;

// Faults a real disk cannot give on demand (tests may run as root).
class FaultyFileSystem final : public testing::FixedClockFileSystem {
 public:
  explicit FaultyFileSystem(bool read_only) : FixedClockFileSystem(0), read_only_(read_only) {}
  bool CanWrite(const std::string&) override { return !read_only_; }
  void WriteFileAtomically(const std::string& path, std::string_view) override {
    throw UnexpectedError(err::kPathFileAccess, "cannot write '" + path + "': disk full");
  }
  bool read_only_;
};

class IniFileTest : public ::testing::Test {
 protected:
  std::string Saved(const IniValue& value) {
    EXPECT_EQ(-1, testing::ThrownBy([&] { WriteIniEntry(*fs_, file_, "S", "k", value); }).number);
    return ReadBytes(file_);
  }

  // The description of the error that writing `value` to `file` through `fs` throws.
  static std::string WriteError(FileSystem& fs, const std::string& file, const IniValue& value) {
    const testing::Thrown thrown =
        testing::ThrownBy([&] { WriteIniEntry(fs, file, "S", "k", value); });
    EXPECT_EQ(err::kPathFileAccess, thrown.number) << thrown.description;
    return thrown.description;
  }

  testing::ScopedTempDir dir_;
  std::string file_ = dir_.path() + "user.ini";
  std::unique_ptr<FileSystem> fs_ = NewPosixFileSystem();
};

TEST_F(IniFileTest, ReadsStringsIntegersAndBooleans) {
  const std::string a253(253, 'a');
  WriteBytes(file_, "[S]\nlong=" + std::string(300, 'x') + "\nfull=" + std::string(254, 'y') +
                        "\npair=" + a253 +
                        "\xF0\x9F\x98\x80\nn1=12abc\nn2=abc\nn3=-5\nn5=\n"
                        "big=40000\nhuge=-99999999999999999999\nt1=true\nt2= True \nf1=yes\n");
  IniFile ini = IniFile::Load(*fs_, file_);
  EXPECT_EQ(std::string(254, 'x'), ini.ReadString("S", "long"));
  EXPECT_EQ(std::string(254, 'y'), ini.ReadString("S", "full"));
  EXPECT_EQ(a253, ini.ReadString("S", "pair"));  // the surrogate pair does not fit whole
  EXPECT_EQ(12, ini.ReadInteger("S", "n1"));
  EXPECT_EQ(0, ini.ReadInteger("S", "n2"));
  EXPECT_EQ(-5, ini.ReadInteger("S", "n3"));
  EXPECT_EQ(std::nullopt, ini.ReadInteger("S", "n5"));
  EXPECT_EQ(std::nullopt, ini.ReadInteger("S", "absent"));
  const testing::Thrown big = testing::ThrownBy([&] { ini.ReadInteger("S", "big"); });
  EXPECT_EQ(err::kOverflow, big.number);
  EXPECT_NE(std::string::npos,
            big.description.find("'big' in section [S] of INI file '" + file_ + "' holds 40000"));
  EXPECT_THROW(ini.ReadInteger("S", "huge"), UnexpectedError);
  EXPECT_TRUE(ini.ReadBoolean("S", "T1") && ini.ReadBoolean("S", "t2"));
  EXPECT_FALSE(ini.ReadBoolean("S", "f1") || ini.ReadBoolean("S", "n3"));
  // Parsed once: later changes to the file are not seen.
  WriteBytes(file_, "");
  EXPECT_EQ(12, ini.ReadInteger("S", "n1"));
  EXPECT_FALSE(IniFile::Load(*fs_, dir_.path() + "none.ini").found());
}

TEST_F(IniFileTest, SavesEachKindOfValue) {
  EXPECT_EQ("[S]\r\nk=true\r\n", Saved(true));  // a missing file is created, UTF-8
  EXPECT_EQ("[S]\r\nk=12\r\n", Saved(12));
  EXPECT_EQ("[S]\r\nk= a b \r\n", Saved(" a b "));
  EXPECT_NE(std::string::npos,
            WriteError(*fs_, file_, std::numeric_limits<double>::quiet_NaN()).find("finite"));
}

TEST_F(IniFileTest, FailedWritesThrowNamingTheFile) {
  const std::string lost = dir_.path() + "no/such/folder/user.ini";
  std::string error = WriteError(*fs_, lost, "v");
  EXPECT_NE(std::string::npos, error.find("'" + lost + "'")) << error;

  WriteBytes(file_, "[S]\nk=old\n");
  FaultyFileSystem read_only(true);
  error = WriteError(read_only, file_, "new");
  EXPECT_NE(std::string::npos, error.find(file_ + "': the file is read-only")) << error;
  FaultyFileSystem failing(false);
  error = WriteError(failing, file_, "new");
  EXPECT_NE(std::string::npos, error.find("disk full")) << error;
  // A value the file cannot hold is refused naming the entry.
  error = WriteError(*fs_, file_, "a\r\nInjected=1");
  EXPECT_NE(std::string::npos, error.find("entry 'k' in section [S]")) << error;
  EXPECT_EQ("[S]\nk=old\n", ReadBytes(file_));
}

TEST_F(IniFileTest, SavesSeveralEntriesInOneWriteOrNone) {
  WriteBytes(file_, "[S]\nb=old\n");
  WriteIniEntries(*fs_, file_, "S", {{"a", "1"}, {"b", "2"}, {"c", ""}});
  EXPECT_EQ("[S]\nb=2\na=1\nc=\n", ReadBytes(file_));
  // One entry that cannot be written: the file stays as it was, the error names that entry.
  const testing::Thrown thrown = testing::ThrownBy([&] {
    WriteIniEntries(*fs_, file_, "S", {{"a", "3"}, {"d", "two\nlines"}});
  });
  EXPECT_EQ(err::kPathFileAccess, thrown.number);
  EXPECT_NE(std::string::npos, thrown.description.find("entry 'd' in section [S]"))
      << thrown.description;
  EXPECT_EQ("[S]\nb=2\na=1\nc=\n", ReadBytes(file_));
}

TEST_F(IniFileTest, RemembersSettingsBesideTheExecutable) {
  EXPECT_EQ("/opt/tools/orvano-html.ini", UserIniPathBeside("/opt/tools/orvano-html"));
  EXPECT_EQ("/opt/a.b/prog.ini", UserIniPathBeside("/opt/a.b/prog.exe"));
  EXPECT_EQ("/prog.ini", UserIniPathBeside("/prog"));
  EXPECT_EQ("/opt/.hidden.ini", UserIniPathBeside("/opt/.hidden"));
  RememberSetting(*fs_, file_, "PathOrvanoDB", "/data/p.mdb");
  RememberSetting(*fs_, file_, "pathorvanodb", "/data/q.mdb");
  EXPECT_EQ("[SysEnviron]\r\nPathOrvanoDB=/data/q.mdb\r\n", ReadBytes(file_));
  EXPECT_EQ("/data/q.mdb", ReadRememberedSetting(*fs_, file_, "PATHORVANODB"));
  EXPECT_EQ("", ReadRememberedSetting(*fs_, file_, "PathOrvanoDOC"));
}

}  // namespace
}  // namespace orvano
