#include "xls_writer/sheet_file.h"

#include <gtest/gtest.h>

#include <string>

#include "support/errors.h"
#include "testing/test_util.h"

namespace orvano {
namespace {

using V = decltype(XlsCell::value);
using R = decltype(XlsFormula::cached);

V Field(std::string_view field) { return ParseSheetField(field).value().value; }

std::string ParseError(std::string_view bytes) {
  return testing::ProgramErrorOf([&] { ParseSheetFile(bytes, "s.txt"); });
}

TEST(SheetFileTest, FieldsBecomeTypedCells) {
  EXPECT_FALSE(ParseSheetField("").has_value());
  EXPECT_EQ(Field("+.5e1"), V(5.0));
  EXPECT_EQ(Field("'007"), V(std::string("007")));
  for (const char* text : {"1.2.3", " 12", "inf", "TRUE", "#other", "Größe 概要"}) {
    EXPECT_EQ(Field(text), V(std::string(text)));
  }
  EXPECT_EQ(Field("#TRUE"), V(true));
  EXPECT_EQ(Field("'#TRUE"), V(std::string("#TRUE")));
  EXPECT_EQ(Field("#BLANK"), V(XlsBlank{}));
  EXPECT_EQ(Field("#DIV/0!"), V(XlsError::kDiv0));
  EXPECT_EQ(Field("a\\tb\\nc\\rd\\\\e"), V(std::string("a\tb\nc\rd\\e")));
  EXPECT_EQ(Field("=num:1.5"), V(XlsFormula{R(1.5)}));
  EXPECT_EQ(Field("=text:a:b\\tc"), V(XlsFormula{R(std::string("a:b\tc"))}));
  EXPECT_EQ(Field("=bool:FALSE"), V(XlsFormula{R(false)}));
  EXPECT_EQ(Field("=error:#REF!"), V(XlsFormula{R(XlsError::kRef)}));
}

TEST(SheetFileTest, ReadsRowsAndNamesTheFaultyPlace) {
  const XlsSheet sheet = ParseSheetFile("\xEF\xBB\xBFNamé\r\nA\t\t3\r\n\r\n\t#BLANK\t", "s.txt");
  EXPECT_EQ(sheet.name, "Namé");
  ASSERT_EQ(sheet.cells.size(), 3u);
  EXPECT_EQ(sheet.cells.at({0, 2}).value, V(3.0));
  EXPECT_EQ(sheet.cells.at({2, 1}).value, V(XlsBlank{}));

  EXPECT_EQ(ParseError(""), "s.txt: the file is empty; line 1 must hold the sheet name");
  EXPECT_EQ(ParseError("N\n\n1e999"), "s.txt, line 3, field 1: the number 1e999 is out of range");
}

}  // namespace
}  // namespace orvano
