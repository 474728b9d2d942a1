#include "support/string_helpers.h"

#include <gtest/gtest.h>

#include "support/text_codec.h"

namespace orvano {
namespace {

Table KeyTable(const std::vector<Cell>& keys) {
  Table table(2, 0);
  for (std::size_t i = 0; i < keys.size(); ++i) table.AddRow({keys[i], Cell(double(i))});
  return table;
}

using Strings = std::vector<std::string>;

// The texts of column `column`, top to bottom.
Strings Texts(const Table& table, std::size_t column) {
  Strings texts;
  for (std::size_t r = 0; r < table.row_count(); ++r) texts.push_back(table.TextAt(column, r));
  return texts;
}

TEST(ReplaceFirstTrimmed, ReplacesTheFirstOccurrenceTrimmed) {
  EXPECT_EQ("a1b", ReplaceFirstTrimmed("a###X###b", "###X###", "  1 "));
  EXPECT_EQ("yax", ReplaceFirstTrimmed("xax", "x", "y"));
  EXPECT_EQ("Zabc", ReplaceFirstTrimmed("abc", "", " Z "));
  EXPECT_EQ("", ReplaceFirstTrimmed("", "a", "b"));
  EXPECT_EQ("a###x###b", ReplaceFirstTrimmed("a###x###b", "###X###", "1"));  // case matters
  EXPECT_EQ("[\t\t]", ReplaceFirstTrimmed("[\tx\t]", "x", ""));  // only blanks are trimmed
}

TEST(RecodeThroughCodePage, RedecodesThroughTheLanguageCodePage) {
  // Russian text read as cp1252 characters comes out as Cyrillic through 1251.
  EXPECT_EQ("Привет", RecodeThroughCodePage("Ïðèâåò", 1251));
  // A text that already holds characters without a cp1252 form is kept, never turned into "?".
  EXPECT_EQ("Zażółć 你好", RecodeThroughCodePage("Zażółć 你好", 1250));

  // Unknown code pages keep the text.
  EXPECT_EQ("abc", RecodeThroughCodePage("abc", ParseCodePage("99999")));
  EXPECT_EQ("abc", RecodeThroughCodePage("abc", std::nullopt));  // a language without one
  EXPECT_EQ(std::string("a\0Ж", 4), RecodeThroughCodePage(std::string("a\0\xC3\x86", 4), 1251));
  EXPECT_EQ("ƒ", RecodeThroughCodePage("ƒ", 932));  // 0x83 alone is a cut lead byte there
}

TEST(ParseCodePage, TakesWholeNumbersOfSixteenBits) {
  EXPECT_EQ(1251, ParseCodePage("1251"));
  EXPECT_EQ(65535, ParseCodePage("65535"));
  for (const char* bad : {"65536", "0", "-1", "1251.5", "junk", ""}) {
    EXPECT_EQ(std::nullopt, ParseCodePage(bad)) << bad;
  }
}

TEST(SortRowsByFirstColumn, SortsWholeRowsByTheFirstColumn) {
  Table table = KeyTable({std::string("b"), std::string("a"), std::string("c")});
  SortRowsByFirstColumn(table);
  EXPECT_EQ(Texts(table, 0), (Strings{"a", "b", "c"}));
  EXPECT_EQ(Texts(table, 1), (Strings{"1", "0", "2"}));  // the other columns move along

  // Texts in UTF-16 code-unit order: "Z" < "a" < "é" < "😀" < "ｚ" (U+FF5A after the surrogates).
  Table texts = KeyTable(
      {std::string("ｚ"), std::string("😀"), std::string("é"), std::string("a"), std::string("Z")});
  SortRowsByFirstColumn(texts);
  EXPECT_EQ(Texts(texts, 0), (Strings{"Z", "a", "é", "😀", "ｚ"}));

  // Null before numbers before texts; numbers numerically; equal keys keep their order.
  Table mixed = KeyTable({std::string("1"), Cell(10.0), Cell(), Cell(9.0), Cell(9.0)});
  SortRowsByFirstColumn(mixed);
  EXPECT_TRUE(IsNull(mixed.At(0, 0)));
  EXPECT_EQ(Texts(mixed, 0), (Strings{"", "9", "9", "10", "1"}));
  EXPECT_EQ(Texts(mixed, 1), (Strings{"2", "3", "4", "1", "0"}));

  Table empty(2, 0);
  SortRowsByFirstColumn(empty);
  EXPECT_EQ(0u, empty.row_count());
}

// Sections read column 1 of sheets that may be narrower; a cell outside the table reads as "".
TEST(Table, TextOutsideTheTableIsEmpty) {
  Table table(1, 1);
  table.At(0, 0) = 1.5;
  EXPECT_EQ("1.5", table.TextAt(0, 0));
  EXPECT_EQ("", table.TextAt(1, 0));
  EXPECT_EQ("", table.TextAt(0, 1));
}

TEST(Table, ComparesCodeUnitsPastLongSharedPrefixes) {
  // The first difference may lie in any byte of an eight-byte step or in the tail after it.
  auto sign = [](int x) { return (x > 0) - (x < 0); };
  for (std::size_t length = 0; length < 20; ++length) {
    std::string a(length, 'k');
    EXPECT_EQ(0, CompareCodeUnits(a, a));
    EXPECT_EQ(-1, sign(CompareCodeUnits(a, a + "x")));  // a prefix sorts first
    for (std::size_t at = 0; at < length; ++at) {
      std::string b = a;
      b[at] = 'm';
      ASSERT_EQ(-1, sign(CompareCodeUnits(a, b))) << length << " " << at;
      ASSERT_EQ(1, sign(CompareCodeUnits(b, a))) << length << " " << at;
    }
  }
  // Past a long shared prefix a character above U+FFFF still sorts before U+E000..U+FFFF.
  const std::string prefix = "Area1.Group22.Group3.";
  EXPECT_EQ(1, sign(CompareCodeUnits(prefix + "\xEE\x80\x80", prefix + "\xF0\x9F\x98\x80")));
  EXPECT_EQ(-1, sign(CompareCodeUnits(prefix + "\xF0\x9F\x98\x80", prefix + "\xEF\xBF\xBD")));
  EXPECT_EQ(-1, sign(CompareCodeUnits(prefix + "\xC3\xA4", prefix + "\xF0\x9F\x98\x80")));
}

TEST(RecodeThroughCodePage, ShortcutsGiveWhatTheFullWayGives) {
  // The full way: to cp1252 bytes, then decoded through the code page; the text when either
  // step fails.
  auto full_way = [](const std::string& text, int code_page) {
    std::optional<std::string> bytes = Utf8ToCp1252(text);
    if (!bytes) return text;
    return DecodeCodePage(*bytes, code_page).value_or(text);
  };
  std::vector<std::string> texts = {"",     "plain",    std::string("a\0b", 3), "\x7F\x01",
                                    "\xFF", "\xC0\x80", "\xED\xA0\x80"};  // invalid UTF-8 too
  for (char32_t cp = 0x80; cp < 0x3000; ++cp) {
    std::string text = "x";
    if (cp >= 0x800) text += static_cast<char>(0xE0 | (cp >> 12));
    text += static_cast<char>(cp < 0x800 ? 0xC0 | (cp >> 6) : 0x80 | ((cp >> 6) & 0x3F));
    text += static_cast<char>(0x80 | (cp & 0x3F));
    texts.push_back(text);
  }
  texts.push_back("\xF0\x9F\x98\x80 \xE2\x82\xAC \xC3\xA4");
  for (const std::string& text : texts) {
    ASSERT_EQ(full_way(text, 1252), RecodeThroughCodePage(text, 1252)) << text;
  }
  std::string ascii;
  for (int b = 0; b < 0x80; ++b) ascii += static_cast<char>(b);
  for (int code_page : {874, 1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258, 65001}) {
    EXPECT_EQ(full_way(ascii, code_page), RecodeThroughCodePage(ascii, code_page)) << code_page;
  }
  EXPECT_EQ("\xD0\x9F", RecodeThroughCodePage("\xC3\x8F", 1251));  // the shortcuts end here
}

}  // namespace
}  // namespace orvano
