#include "inputs/workbook_file.h"

#include <gtest/gtest.h>

#include <string>

#include "inputs/cfb_format.h"
#include "inputs/parsed_workbook.h"
#include "support/byte_reader.h"
#include "support/errors.h"
#include "support/file_system.h"
#include "testing/test_util.h"
#include "xls_writer/cfb_writer.h"
#include "xls_writer/xls_writer.h"
#include "xlsx_writer/xlsx_writer.h"

namespace orvano {
namespace {

// The description of the error parsing `bytes` gives.
std::string ParseError(const std::string& bytes) {
  const testing::Thrown thrown =
      testing::ThrownBy([&] { ParseWorkbookBytes(AsBytes(bytes), "w.xls"); });
  EXPECT_EQ(thrown.number, err::kInvalidFileFormat) << thrown.description;
  return thrown.description;
}

TEST(WorkbookFileTest, RefusesWhatIsNoWorkbookNamingWhatItStartsWith) {
  EXPECT_EQ(ParseError(""), "w.xls: not a workbook: the file is empty");
  EXPECT_EQ(ParseError("Name;Value\r\nA;1\r\n"),
            "w.xls: not a workbook: neither a compound file (.xls) nor a ZIP archive (.xlsx, "
            ".xlsm); it starts with the text \"Name;Value  A;1 \"");
  EXPECT_EQ(ParseError(std::string("\x00\x01\x00\x00Standard Jet DB", 19)),
            "w.xls: not a workbook: neither a compound file (.xls) nor a ZIP archive (.xlsx, "
            ".xlsm); it starts with the bytes 00 01 00 00 53 74 61 6E 64 61 72 64 20 4A 65 74");
  EXPECT_EQ(ParseError("PK\x03\x04"), "w.xls: damaged ZIP archive: Not a zip archive");
}

// The format follows the bytes, not the name: an .xlsx saved under an .xls name reads.
TEST(WorkbookFileTest, ReadsEitherFormatWhateverItsName) {
  XlsWorkbook book;
  book.AddSheet("Only").Set(2, 1, XlsCell::Text("cell"));
  testing::ScopedTempDir dir;
  auto fs = NewPosixFileSystem();
  WriteXlsx(*fs, dir.path() + "renamed.xls", book);
  WriteXls(*fs, dir.path() + "renamed.xlsx", book);
  for (const std::string name : {"renamed.xls", "renamed.xlsx"}) {
    const auto wb = ReadWorkbookFile(*fs, dir.path() + name);
    ASSERT_EQ(wb->sheet_count(), 1u) << name;
    EXPECT_EQ(wb->Value(0, 2, 1), Cell{std::string("cell")}) << name;
  }
  EXPECT_EQ(DetectWorkbookFormat(AsBytes(testing::ReadBytes(dir.path() + "renamed.xls"))),
            WorkbookFormat::kZipArchive);
  EXPECT_EQ(DetectWorkbookFormat(AsBytes(testing::ReadBytes(dir.path() + "renamed.xlsx"))),
            WorkbookFormat::kCompoundFile);
}

// A password-protected .xlsx is a compound file holding the encrypted package.
TEST(WorkbookFileTest, EncryptedPackageIsPasswordProtected) {
  const std::string encrypted =
      BuildCompoundFile(cfb::kEncryptedPackageStreamName, std::string(5000, '\x5A'));
  EXPECT_EQ(ParseError(encrypted), "w.xls: the workbook is password-protected");
}

}  // namespace
}  // namespace orvano
