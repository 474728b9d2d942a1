#include "inputs/compound_file.h"

#include <gtest/gtest.h>

#include <string>

#include "inputs/cfb_format.h"
#include "support/byte_reader.h"
#include "testing/test_util.h"
#include "xls_writer/cfb_writer.h"
#include "xls_writer/xls_writer.h"

namespace orvano {
namespace {

using testing::GetLe;

void Put32(std::string& b, std::size_t at, std::uint32_t v) { testing::PutLe(b, at, v, 4); }

std::string Error(const std::string& file) {
  return testing::ThrownBy([&] {
           ReadCompoundStream(AsBytes(file), {"Book", "Workbook"});
         })
      .description;
}

class CompoundFileTest : public ::testing::Test {
 protected:
  CompoundFileTest() {
    XlsWorkbook book;
    book.AddSheet("S").Set(0, 0, XlsCell::Number(1));
    file_ = BuildXlsBytes(book);
    fat_ = (GetLe(file_, 76, 4) + 1) * 512;  // the first FAT sector
  }
  std::string file_;
  std::size_t fat_ = 0;
};

TEST_F(CompoundFileTest, FindsTheStreamInOneRunWithoutCopying) {
  const CompoundStream s = ReadCompoundStream(AsBytes(file_), {"Book", "WORKBOOK"});
  EXPECT_EQ(s.name, "WORKBOOK");
  EXPECT_EQ(s.bytes.size(), 4096u);
  EXPECT_TRUE(s.owned.empty());
  EXPECT_EQ(s.bytes.data(), AsBytes(file_).data() + 512);
  EXPECT_EQ(Error(file_), "(nothing thrown)");
}

TEST_F(CompoundFileTest, GathersAScatteredChain) {
  // Swap the contents of sectors 1 and 2 and relink the chain 0 -> 2 -> 1 -> 3.
  std::string moved = file_;
  moved.replace(2 * 512, 512, file_, 3 * 512, 512);
  moved.replace(3 * 512, 512, file_, 2 * 512, 512);
  Put32(moved, fat_ + 0, 2);
  Put32(moved, fat_ + 8, 1);
  Put32(moved, fat_ + 4, 3);
  const CompoundStream s = ReadCompoundStream(AsBytes(moved), {"Workbook"});
  ASSERT_EQ(s.bytes.size(), 4096u);
  EXPECT_FALSE(s.owned.empty());
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(s.bytes.data()), 4096),
            file_.substr(512, 4096));
}

TEST_F(CompoundFileTest, RefusesDamagedHeaderDirectoryAndChains) {
  const std::size_t directory = (GetLe(file_, 48, 4) + 1) * 512;
  const std::size_t stream = directory + 128;  // the stream's directory entry
  struct Case {
    std::size_t at;  // the field set to `value`
    std::uint32_t value;
    int size;
    std::string message;
  };
  const Case cases[] = {
      {26, 5, 2, "unknown major version 5"},
      {28, 0xFEFF, 2, "bad byte order mark"},
      {30, 10, 2, "unsupported sector shift 10"},
      {32, 7, 2, "unsupported mini sector shift 7"},
      {76, 0x100000, 4, "FAT sector 1048576 lies past the end of the file"},  // the first one
      {44, 2, 4, "FAT sector 4294967295 lies past the end of the file"},  // the second slot free
      {44, 1000, 4, "header claims 1000 FAT sectors, the file holds only 10 sectors"},
      {48, 0x100000, 4,  // the first directory sector
       "directory chain points past the end of the file (sector 1048576, the file holds 10 "
       "sectors)"},
      {directory + 66, 1, 4, "directory entry 0 is not the root"},  // the root's type
      {stream + 68, 99, 4, "directory entry 99 does not exist"},    // the left sibling
      {stream, 'X', 4, "no stream \"Book\" or \"Workbook\""},       // the name
      {stream + 120, 0x7FFFFFFF, 4,                                 // the size
       "stream \"Workbook\" claims 2147483647 bytes, more than the file's " +
           std::to_string(file_.size())},
      {fat_ + 3 * 4, 1, 4, "stream \"Workbook\" chain loops at sector 1"},
      {fat_, 0x100000, 4,
       "stream \"Workbook\" chain points past the end of the file (sector 1048576, the file holds "
       "10 sectors)"},
      {fat_ + 4 * 4, 0xFFFFFFFE, 4, "stream \"Workbook\" chain ends after 5 of 8 sectors"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Error(testing::WithLe(file_, c.at, c.value, c.size)), "compound file: " + c.message);
  }
  std::string bad = file_;  // the stream is its own left sibling's parent
  Put32(bad, stream + 68, 1);
  Put32(bad, stream + 128 + 72, 1);
  bad[stream + 128 + 66] = 2;
  EXPECT_EQ(Error(bad), "compound file: directory tree loops at entry 1");
}

// More FAT sectors than the header lists: the rest are listed in a DIFAT sector.
TEST(CompoundFileDifatTest, FollowsAndChecksTheDifatChain) {
  const std::string stream(110 * 128 * 512, 'd');
  const std::string file = BuildCompoundFile("Workbook", stream);
  ASSERT_EQ(GetLe(file, 44, 4), 111u);
  ASSERT_EQ(GetLe(file, 72, 4), 1u);
  EXPECT_EQ(ReadCompoundStream(AsBytes(file), {"Workbook"}).bytes.size(), stream.size());
  const std::uint32_t difat = static_cast<std::uint32_t>(GetLe(file, 68, 4));
  std::string bad = file;
  Put32(bad, 72, 0);
  EXPECT_EQ(Error(bad), "compound file: DIFAT ends after 109 of 111 FAT sectors");
  bad = file;
  Put32(bad, 68, 0x100000);
  EXPECT_EQ(Error(bad), "compound file: DIFAT sector 1048576 lies past the end of the file");
  bad = file;  // a DIFAT sector that names itself next, and a header that asks for more
  Put32(bad, (difat + 1) * 512 + 508, difat);
  Put32(bad, 72, 2);
  Put32(bad, 44, 109 + 127 + 1);
  EXPECT_EQ(Error(bad), "compound file: DIFAT chain loops at sector " + std::to_string(difat));
}

// Streams under 4096 bytes live in the mini stream. Our writer stores one stream in ordinary
// sectors; here its 4096 bytes become the root's mini stream and the stream 100 bytes in mini
// sectors 3 and 5, chained by a mini FAT in an added sector 10.
class CompoundMiniStreamTest : public ::testing::Test {
 protected:
  CompoundMiniStreamTest() {
    for (std::size_t i = 0; i < payload_.size(); ++i) payload_[i] = static_cast<char>(i % 251);
    file_ = BuildCompoundFile("Workbook", payload_);
    const std::size_t fat = (GetLe(file_, 76, 4) + 1) * 512;
    Put32(file_, root_ + 116, 0);
    Put32(file_, root_ + 120, 4096);
    Put32(file_, root_ + 128 + 116, 3);
    Put32(file_, root_ + 128 + 120, 100);
    Put32(file_, fat + 10 * 4, cfb::kEndOfChain);
    Put32(file_, 60, 10);  // the first mini FAT sector
    file_ += std::string(512, '\xFF');
    Put32(file_, mini_fat_ + 3 * 4, 5);
    Put32(file_, mini_fat_ + 5 * 4, cfb::kEndOfChain);
  }
  std::string With(std::size_t at, std::uint32_t value) const {
    return testing::WithLe(file_, at, value, 4);
  }

  std::string payload_ = std::string(4096, '\0');
  std::string file_;
  const std::size_t root_ = 9 * 512;       // the directory, sector 8
  const std::size_t mini_fat_ = 11 * 512;  // sector 10
};

TEST_F(CompoundMiniStreamTest, GathersAStreamFromMiniSectors) {
  const CompoundStream s = ReadCompoundStream(AsBytes(file_), {"Workbook"});
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(s.bytes.data()), s.bytes.size()),
            payload_.substr(3 * 64, 64) + payload_.substr(5 * 64, 36));
}

TEST_F(CompoundMiniStreamTest, RefusesDamagedMiniChains) {
  const std::string stream = "compound file: stream \"Workbook\" ";
  EXPECT_EQ(Error(With(mini_fat_ + 3 * 4, 3)), stream + "mini chain loops at mini sector 3");
  EXPECT_EQ(Error(With(mini_fat_ + 3 * 4, 64)),
            stream + "mini chain points past the end of the mini stream (mini sector 64)");
  EXPECT_EQ(Error(With(mini_fat_ + 3 * 4, cfb::kEndOfChain)),
            stream + "mini chain ends before 100 bytes");
  EXPECT_EQ(Error(With(root_ + 120, 64)),
            stream + "claims 100 bytes, more than the mini stream's 64");
  EXPECT_EQ(Error(With(60, cfb::kEndOfChain)),
            "compound file: stream \"Workbook\": mini sector 3 has no mini FAT entry");
  EXPECT_EQ(Error(With((GetLe(file_, 76, 4) + 1) * 512 + 40, 10)),
            "compound file: mini FAT chain loops at sector 10");
  EXPECT_EQ(Error(With(root_ + 120, 1u << 30)),
            "compound file: mini stream claims 1073741824 bytes, more than the file's 6144");
  // Every cut of the file, with the structure it breaks first.
  for (std::size_t n = 0; n < file_.size(); ++n) {
    std::string expected = "mini FAT sector cut short";
    if (n < 8) {
      expected = "no compound file signature";
    } else if (n < 512) {
      expected = "header cut short (" + std::to_string(n) + " of 512 bytes)";
    } else if (n == 512) {
      expected = "header claims 1 FAT sectors, the file holds only 0 sectors";
    } else if (n < 5632) {
      expected = "FAT sector 9 lies past the end of the file";
    } else if (n == 5632) {
      expected =
          "mini FAT chain points past the end of the file (sector 10, the file holds 10 "
          "sectors)";
    }
    ASSERT_EQ(Error(file_.substr(0, n)), "compound file: " + expected) << n;
  }
}

}  // namespace
}  // namespace orvano
