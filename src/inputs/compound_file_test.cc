#include "inputs/compound_file.h"

#include <gtest/gtest.h>

#include <string>

#include "support/byte_reader.h"
#include "testing/test_util.h"
#include "xls_writer/xls_writer.h"

namespace orvano {
namespace {

using testing::GetLe;

void Put32(std::string& b, std::size_t at, std::uint32_t v) { testing::PutLe(b, at, v, 4); }

std::string Error(const std::string& file) {
  try {
    ReadCompoundStream(AsBytes(file), {"Workbook"});
  } catch (const DataError& e) {
    return e.what();
  }
  return "";
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
  EXPECT_EQ(Error(file_), "");
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

TEST_F(CompoundFileTest, RefusesDamagedChains) {
  const std::size_t stream_entry = (GetLe(file_, 48, 4) + 1) * 512 + 128;  // in the directory
  const auto with = [&](std::size_t at, std::uint32_t value) {
    std::string bad = file_;
    Put32(bad, at, value);
    return bad;
  };
  EXPECT_EQ(Error(with(fat_ + 3 * 4, 1)),
            "compound file: stream \"Workbook\" chain loops at sector 1");
  EXPECT_EQ(Error(with(fat_, 0x100000)),
            "compound file: stream \"Workbook\" chain points past the end of the file (sector "
            "1048576, the file holds 10 sectors)");
  EXPECT_EQ(Error(with(fat_ + 4 * 4, 0xFFFFFFFE)),
            "compound file: stream \"Workbook\" chain ends after 5 of 8 sectors");
  EXPECT_EQ(Error(with(44, 1000)),  // the FAT sector count
            "compound file: header claims 1000 FAT sectors, the file holds only 10 sectors");
  EXPECT_EQ(Error(with(stream_entry + 120, 0x7FFFFFFF)),  // the stream's size
            "compound file: stream \"Workbook\" claims 2147483647 bytes, more than the file's " +
                std::to_string(file_.size()));
  std::string bad = with(stream_entry + 68, 1);  // the stream is its own left sibling's parent
  Put32(bad, stream_entry + 128 + 72, 1);
  bad[stream_entry + 128 + 66] = 2;
  EXPECT_EQ(Error(bad), "compound file: directory tree loops at entry 1");
  EXPECT_EQ(Error(file_.substr(0, 300)), "compound file: header cut short (300 of 512 bytes)");
  EXPECT_EQ(Error("plain text, long enough"), "compound file: no compound file signature");
}

}  // namespace
}  // namespace orvano
