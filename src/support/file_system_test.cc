#include "support/file_system.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>

#include "support/errors.h"
#include "testing/test_util.h"

namespace orvano {
namespace {

struct FileSystemTest : public ::testing::Test {
  testing::ScopedTempDir dir;
  std::unique_ptr<FileSystem> fs = NewPosixFileSystem();
};

TEST_F(FileSystemTest, ReadsWritesAndAppends) {
  std::string path = dir.path() + "page.htm";
  std::string contents, err;
  EXPECT_EQ(ReadStatus::kNotFound, fs->ReadFile(path, &contents, &err));
  EXPECT_NE(std::string::npos, err.find(path));
  EXPECT_EQ(ReadStatus::kOtherError, fs->ReadFile(dir.path(), &contents, &err));

  std::string bytes("\xFF\xFE<\0h\0>\0", 8);
  fs->WriteFileAtomically(path, bytes);
  ASSERT_EQ(ReadStatus::kOkay, fs->ReadFile(path, &contents, &err));
  EXPECT_EQ(bytes, contents);
  fs->WriteFileAtomically(path, "new");
  EXPECT_EQ("new", testing::ReadBytes(path));

  fs->AppendToFile(dir.path() + "log", "a\r\n");
  fs->AppendToFile(dir.path() + "log", "b\r\n");
  EXPECT_EQ("a\r\nb\r\n", testing::ReadBytes(dir.path() + "log"));

  fs->CopyOver(path, dir.path() + "copy.htm");
  EXPECT_EQ("new", testing::ReadBytes(dir.path() + "copy.htm"));
  const testing::Thrown missing =
      testing::ThrownBy([&] { fs->CopyOver(dir.path() + "Brenk.gif", dir.path() + "x.gif"); });
  EXPECT_EQ(err::kFileNotFound, missing.number);
  EXPECT_NE(std::string::npos, missing.description.find("Brenk.gif"));

  fs->RemoveFile(path);
  EXPECT_FALSE(fs->IsFile(path));
  EXPECT_THROW(fs->RemoveFile(path), UnexpectedError);
}

TEST_F(FileSystemTest, AFailedWriteLeavesTheOldFileAndNoTemporaryFile) {
  std::string path = dir.path() + "sub/page.htm";
  const testing::Thrown no_folder = testing::ThrownBy([&] { fs->WriteFileAtomically(path, "x"); });
  EXPECT_EQ(err::kFileNotFound, no_folder.number);
  EXPECT_NE(std::string::npos, no_folder.description.find(path));
  // A folder in the way of the page: the rename fails, nothing else changes.
  fs->MakeFolder(dir.path() + "page.htm");
  EXPECT_THROW(fs->WriteFileAtomically(dir.path() + "page.htm", "x"), UnexpectedError);
  std::unique_ptr<PendingFile> in_the_way = fs->StartFile(dir.path() + "page.htm");
  in_the_way->Append("a");
  EXPECT_THROW(in_the_way->Commit(), UnexpectedError);
  in_the_way.reset();
  // A file written in parts is not there before it is committed, and not at all when it is
  // given up.
  std::unique_ptr<PendingFile> given_up = fs->StartFile(dir.path() + "export.json");
  given_up->Append("x");
  given_up.reset();
  auto entries = fs->ListFolder(dir.path());
  ASSERT_EQ(1u, entries.size());
  EXPECT_EQ("page.htm", entries[0].name);
  EXPECT_TRUE(entries[0].is_folder);

  std::unique_ptr<PendingFile> file = fs->StartFile(dir.path() + "export.json");
  file->Append("a");
  file->Append("");
  file->Append("bc");
  EXPECT_FALSE(fs->IsFile(dir.path() + "export.json"));
  file->Commit();
  EXPECT_EQ("abc", testing::ReadBytes(dir.path() + "export.json"));
  EXPECT_EQ(2u, fs->ListFolder(dir.path()).size());
}

// A file whose bytes are already there is left as it is: the same file (a hard link made
// before still names it) with the same modification time. A difference in size or in any one
// byte, also far into a file read in several parts, replaces it as a write does.
TEST_F(FileSystemTest, WriteFileIfChangedLeavesOnlyAFileHoldingExactlyTheBytes) {
  namespace stdfs = std::filesystem;
  const std::string long_page(3 * 262144 + 5, 'p');
  std::string last_byte_differs = long_page;
  last_byte_differs.back() = 'q';
  struct Case {
    const char* name;
    std::string old_bytes;
    std::string bytes;
    WriteOutcome expected;
  };
  const Case cases[] = {
      {"same bytes", std::string("\xFF\xFE<\0h\0", 6), std::string("\xFF\xFE<\0h\0", 6),
       WriteOutcome::kUnchanged},
      {"both empty", "", "", WriteOutcome::kUnchanged},
      {"long, same bytes", long_page, long_page, WriteOutcome::kUnchanged},
      {"one byte differs", "abc", "abd", WriteOutcome::kWritten},
      {"last byte of a long file differs", long_page, last_byte_differs, WriteOutcome::kWritten},
      {"old file shorter", "abc", "abcd", WriteOutcome::kWritten},
      {"old file longer", "abcd", "abc", WriteOutcome::kWritten},
  };
  const auto old_time = stdfs::file_time_type::clock::now() - std::chrono::hours(48);
  // A pending file compares the parts as they come: given in parts of changing sizes, it
  // must leave and write exactly what WriteFileIfChanged does.
  const auto write_in_parts = [&](const std::string& path, std::string_view bytes) {
    const std::unique_ptr<PendingFile> file = fs->StartFileIfChanged(path);
    const std::size_t sizes[] = {1, 5, 262144, 3};
    for (std::size_t at = 0, k = 0; at < bytes.size(); at += sizes[k++ % 4]) {
      file->Append(bytes.substr(at, sizes[k % 4]));
    }
    file->Commit();
  };
  int n = 0;
  for (bool in_parts : {false, true}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.name) + (in_parts ? ", in parts" : ""));
      const std::string path = dir.path() + "page" + std::to_string(++n) + ".htm";
      testing::WriteBytes(path, c.old_bytes);
      stdfs::last_write_time(path, old_time);
      stdfs::create_hard_link(path, path + ".link");
      if (in_parts) {
        write_in_parts(path, c.bytes);
      } else {
        EXPECT_EQ(c.expected, fs->WriteFileIfChanged(path, c.bytes));
      }
      EXPECT_EQ(c.bytes, testing::ReadBytes(path));
      const bool left = c.expected == WriteOutcome::kUnchanged;
      EXPECT_EQ(left, stdfs::equivalent(path, path + ".link"));
      EXPECT_EQ(left, stdfs::last_write_time(path) == old_time);
    }
  }
  write_in_parts(dir.path() + "new.json", "{}");
  EXPECT_EQ("{}", testing::ReadBytes(dir.path() + "new.json"));

  EXPECT_EQ(WriteOutcome::kWritten, fs->WriteFileIfChanged(dir.path() + "new.htm", ""));
  EXPECT_TRUE(fs->IsFile(dir.path() + "new.htm"));

  // A link is replaced as a write replaces it, even when what it points to holds the bytes.
  const std::string linked = dir.path() + "linked.htm";
  testing::WriteBytes(linked, "abc");
  stdfs::last_write_time(linked, old_time);
  stdfs::create_symlink(linked, dir.path() + "link.htm");
  EXPECT_EQ(WriteOutcome::kWritten, fs->WriteFileIfChanged(dir.path() + "link.htm", "abc"));
  EXPECT_FALSE(stdfs::is_symlink(dir.path() + "link.htm"));
  EXPECT_EQ(old_time, stdfs::last_write_time(linked));

  // No temporary file is left behind.
  for (const FolderEntry& entry : fs->ListFolder(dir.path())) {
    EXPECT_NE('.', entry.name[0]) << entry.name;
  }
}

TEST_F(FileSystemTest, FoldersAndCaseInsensitiveLookUp) {
  fs->MakeFolder(dir.path() + "Templates");
  EXPECT_TRUE(fs->IsFolder(dir.path() + "Templates/"));
  EXPECT_TRUE(fs->IsFolder(dir.path() + "Templates"));
  EXPECT_FALSE(fs->IsFile(dir.path() + "Templates"));
  EXPECT_THROW(fs->MakeFolder(dir.path() + "Templates"), UnexpectedError);
  EXPECT_THROW(fs->MakeFolder(dir.path() + "a/b"), UnexpectedError);

  std::string folder = dir.path() + "Templates/";
  testing::WriteBytes(folder + "INDEX.HTM", "i");
  testing::WriteBytes(folder + "Brenk.gif", "g");
  fs->MakeFolder(folder + "main.htm");  // a folder is never taken for a file
  EXPECT_EQ(folder + "Brenk.gif", FindFileInFolder(*fs, folder, "Brenk.gif"));
  EXPECT_EQ(folder + "INDEX.HTM", FindFileInFolder(*fs, folder, "Index.htm"));
  EXPECT_EQ(std::nullopt, FindFileInFolder(*fs, folder, "Main.htm"));
  EXPECT_EQ(std::nullopt, FindFileInFolder(*fs, dir.path() + "none/", "Index.htm"));
  EXPECT_TRUE(fs->CanWrite(folder + "new.htm"));
}

TEST(FolderRelativeTo, StepsUpThenDown) {
  EXPECT_EQ("/usr/libexec/orvano-html/", FolderRelativeTo("/usr/bin/", "../libexec/orvano-html"));
  EXPECT_EQ("/opt/x/share/", FolderRelativeTo("/opt/x/bin/", "../share/"));
  EXPECT_EQ("/usr/bin/sub/", FolderRelativeTo("/usr/bin", "sub"));
  EXPECT_EQ("/usr/", FolderRelativeTo("/usr/bin/", ".."));
  EXPECT_EQ("/share/", FolderRelativeTo("/bin/", "../../../share"));  // never above the root
}

}  // namespace
}  // namespace orvano
