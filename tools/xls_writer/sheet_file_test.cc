#include "xls_writer/sheet_file.h"

#include <freexl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/errors.h"
#include "testing/test_util.h"

namespace orvano {
namespace {

using ::testing::HasSubstr;
using V = decltype(XlsCell::value);
using R = decltype(XlsFormula::cached);

V Field(std::string_view field) { return ParseSheetField(field).value().value; }

std::string ParseError(std::string_view bytes) {
  return testing::ProgramErrorOf([&] { ParseSheetFile(bytes, "s.txt"); });
}

TEST(SheetFileTest, FieldsBecomeTypedCells) {
  EXPECT_FALSE(ParseSheetField("").has_value());
  EXPECT_EQ(Field("-1.5"), V(-1.5));
  EXPECT_EQ(Field("+.5e1"), V(5.0));
  EXPECT_EQ(Field("007"), V(7.0));
  EXPECT_EQ(Field("'007"), V(std::string("007")));
  for (const char* text : {"1.2.3", " 12", "1E", "inf", "-", "TRUE", "#other", "Größe 概要"}) {
    EXPECT_EQ(Field(text), V(std::string(text)));
  }
  EXPECT_EQ(Field("#TRUE"), V(true));
  EXPECT_EQ(Field("'#TRUE"), V(std::string("#TRUE")));
  EXPECT_EQ(Field("#BLANK"), V(XlsBlank{}));
  EXPECT_EQ(Field("#DIV/0!"), V(XlsError::kDiv0));
  EXPECT_EQ(Field("a\\tb\\nc\\rd\\\\e"), V(std::string("a\tb\nc\rd\\e")));
  EXPECT_EQ(Field("'=x\\\\"), V(std::string("=x\\")));
  EXPECT_EQ(Field("=num:1.5"), V(XlsFormula{R(1.5)}));
  EXPECT_EQ(Field("=text:a:b\\tc"), V(XlsFormula{R(std::string("a:b\tc"))}));
  EXPECT_EQ(Field("=bool:FALSE"), V(XlsFormula{R(false)}));
  EXPECT_EQ(Field("=error:#REF!"), V(XlsFormula{R(XlsError::kRef)}));
}

TEST(SheetFileTest, ReadsRowsAndNamesTheFaultyPlace) {
  const XlsSheet sheet = ParseSheetFile("\xEF\xBB\xBFNamé\r\nA\t\t3\r\n\r\n\t#BLANK\t", "s.txt");
  EXPECT_EQ(sheet.name, "Namé");
  ASSERT_EQ(sheet.cells.size(), 3u);
  EXPECT_EQ(sheet.cells.at({0, 0}).value, V(std::string("A")));
  EXPECT_EQ(sheet.cells.at({0, 2}).value, V(3.0));
  EXPECT_EQ(sheet.cells.at({2, 1}).value, V(XlsBlank{}));

  EXPECT_EQ(ParseError(""), "s.txt: the file is empty; line 1 must hold the sheet name");
  EXPECT_EQ(ParseError("N\nok\tbad\\x"),
            "s.txt, line 2, field 2: unknown escape \"\\x\" (known: \\t \\n \\r \\\\)");
  EXPECT_THAT(ParseError("N\n\\"), HasSubstr("line 2, field 1: a lone \"\\\" ends the field"));
  EXPECT_THAT(ParseError("N\n=sum:1"), HasSubstr("unknown formula kind \"sum\""));
  EXPECT_THAT(ParseError("N\n=num:x"), HasSubstr("=num: needs a number, not \"x\""));
  EXPECT_THAT(ParseError("N\n=bool:yes"), HasSubstr("=bool: needs TRUE or FALSE"));
  EXPECT_THAT(ParseError("N\n=error:#X"), HasSubstr("=error: needs one of #NULL!"));
  EXPECT_THAT(ParseError("N\n=1"), HasSubstr("a formula is written =num:<number>"));
  EXPECT_EQ(ParseError("N\n\n1e999"), "s.txt, line 3, field 1: the number 1e999 is out of range");
  EXPECT_EQ(ParseError("N\n" + std::string(256, '\t') + "x"),
            "s.txt, line 2: a row has at most 256 cells");
}

// The command writes a workbook of its sheet files in order; a bad sheet file or name writes
// nothing and says why.
TEST(SheetFileTest, CommandWritesAWorkbookFromSheetFiles) {
  testing::ScopedTempDir dir;
  const std::string out = dir.path() + "out.txt";
  const auto run = [&](const std::string& args) {
    return std::system((std::string(XLS_WRITER_EXE) + " " + args + " >" + out + " 2>&1").c_str());
  };
  const std::string a = dir.path() + "a.txt";
  const std::string b = dir.path() + "b.txt";
  testing::WriteBytes(a, "Обзор\nText\t2.5\n");
  testing::WriteBytes(b, "Zwei\n=text:x\n");
  ASSERT_EQ(run(dir.path() + "w.xls " + a + " " + b), 0);
  const void* handle = nullptr;
  EXPECT_EQ(freexl_open((dir.path() + "w.xls").c_str(), &handle), FREEXL_OK);
  const char* name = nullptr;
  EXPECT_EQ(freexl_get_worksheet_name(handle, 1, &name), FREEXL_OK);
  EXPECT_STREQ(name, "Zwei");
  freexl_close(handle);

  testing::WriteBytes(dir.path() + "bad.txt", "Data\n=oops\n");
  EXPECT_EQ(run(dir.path() + "n.xls " + dir.path() + "bad.txt"), 1 << 8);
  EXPECT_THAT(testing::ReadBytes(out), HasSubstr("bad.txt, line 2, field 1"));
  EXPECT_EQ(run(dir.path() + "n.xls " + b + " " + b), 1 << 8);
  EXPECT_THAT(testing::ReadBytes(out), HasSubstr("used twice"));
  EXPECT_FALSE(std::filesystem::exists(dir.path() + "n.xls"));
}

}  // namespace
}  // namespace orvano
