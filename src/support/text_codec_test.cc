#include "support/text_codec.h"

#include <gtest/gtest.h>

#include <random>

#include "support/text_case.h"

namespace orvano {
namespace {

TEST(TextCodec, DecodesByByteOrderMarkThenByContent) {
  DecodedText utf16 = DecodeTextFile(std::string("\xFF\xFEX\0\xE4\0", 6), false);
  EXPECT_EQ("Xä", utf16.text);
  EXPECT_EQ(TextEncoding::kUtf16LeBom, utf16.encoding);

  DecodedText bare = DecodeTextFile(std::string("A\0B\0", 4), true);
  EXPECT_EQ("AB", bare.text);
  EXPECT_EQ(TextEncoding::kUtf16Le, bare.encoding);
  EXPECT_EQ(TextEncoding::kUtf8, DecodeTextFile(std::string("A\0B\0", 4), false).encoding);

  DecodedText bom8 = DecodeTextFile("\xEF\xBB\xBFGröße", false);
  EXPECT_EQ("Größe", bom8.text);
  EXPECT_EQ(TextEncoding::kUtf8Bom, bom8.encoding);

  EXPECT_EQ(TextEncoding::kUtf8, DecodeTextFile("Größe", false).encoding);

  DecodedText ansi = DecodeTextFile("Gr\xF6\xDFx \x80", false);
  EXPECT_EQ("Größx €", ansi.text);
  EXPECT_EQ(TextEncoding::kCp1252, ansi.encoding);
}

TEST(TextCodec, RoundTripsEveryEncoding) {
  const std::string text = "Zażółć 你好 😀 €";
  for (TextEncoding e : {TextEncoding::kUtf16LeBom, TextEncoding::kUtf16Le, TextEncoding::kUtf8Bom,
                         TextEncoding::kUtf8}) {
    EXPECT_EQ(text, DecodeTextFile(EncodeText(text, e), true).text);
  }
  EXPECT_EQ("\xFF\xFE", EncodeText("", TextEncoding::kUtf16LeBom));
  // cp1252 keeps what it can hold, including the five unassigned bytes.
  std::string all;
  for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(all, *Utf8ToCp1252(Cp1252ToUtf8(all)));
  EXPECT_EQ(std::nullopt, Utf8ToCp1252("ż"));
  EXPECT_EQ("Za?", EncodeText("Zaż", TextEncoding::kCp1252));
}

TEST(TextCodec, ReplacesBrokenSequences) {
  EXPECT_EQ("\xEF\xBF\xBD", Utf16LeToUtf8(std::string("\x00\xD8", 2)));  // lone surrogate
  EXPECT_EQ("A", Utf16LeToUtf8(std::string("A\0B", 3)));                 // odd byte dropped
  EXPECT_FALSE(IsValidUtf8("\xC0\x80"));                                 // overlong
  EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));                             // surrogate
  EXPECT_FALSE(IsValidUtf8("\xE4\xB8"));                                 // cut
  EXPECT_EQ("\xEF\xBF\xBDZ", DecodeTextFile("\xEF\xBB\xBF\xFFZ", false).text);
}

TEST(TextCodec, ConvertsPlainUtf16OnlyAndAsTheFullConverterDoes) {
  // ASCII runs of every length around the four characters taken at once, then other planes.
  for (std::string_view tail : {"", "\xC3\xA4", "\xD0\x96", "\xE2\x82\xAC", "\xED\x9F\xBF"}) {
    std::string text;
    for (int length = 0; length < 11; ++length) {
      const std::string utf16 = Utf8ToUtf16Le(text + std::string(tail) + text);
      EXPECT_EQ(PlainUtf16LeToUtf8(utf16), Utf16LeToUtf8(utf16)) << text << tail;
      text += static_cast<char>('a' + length);
    }
  }
  const std::string ascii = Utf8ToUtf16Le("abcdefgh");
  for (std::size_t at = 0; at <= ascii.size(); at += 2) {
    // NUL, a surrogate, U+E000, U+FEFF (a compressed text's start) and an odd byte.
    for (std::string_view unit :
         {std::string_view("\0\0", 2), std::string_view("\0\xD8", 2), std::string_view("\0\xE0", 2),
          std::string_view("\xFF\xFE"), std::string_view("a")}) {
      std::string bytes = ascii;
      bytes.insert(at, unit);
      EXPECT_EQ(PlainUtf16LeToUtf8(bytes), std::nullopt) << at << " " << unit.size();
    }
  }
}

TEST(TextCodec, EncodesUtf16LeUnitByUnit) {
  EXPECT_EQ("", Utf8ToUtf16Le(""));
  EXPECT_EQ(std::string("a\0\xE4\0\xAC\x20\x3D\xD8\x00\xDE", 10),
            Utf8ToUtf16Le("a\xC3\xA4\xE2\x82\xAC\xF0\x9F\x98\x80"));
  // Each broken byte becomes one U+FFFD; a cut character at the end too.
  EXPECT_EQ(std::string("\xFD\xFF\xFD\xFFz\0\xFD\xFF", 8), Utf8ToUtf16Le("\xFF\x80z\xE2"));
  EXPECT_EQ(std::string("\xFD\xFF\xFD\xFF\xFD\xFF\xFD\xFF", 8), Utf8ToUtf16Le("\xF8\x80\x80\x80"));
}

// Long texts go through the word-at-a-time path; the short pieces alone go character by
// character, so the pieces' encodings joined are what the whole must give.
TEST(TextCodec, EncodesLongMixedTextsAsItsPiecesOneByOne) {
  const std::string_view pieces[] = {"a",        "Motor stop ",  "0123456789ABCDEFGHIJ", "\xC3\xBC",
                                     "\xD0\x96", "\xE2\x82\xAC", "\xF0\x9F\x98\x80",     "\xFF",
                                     "\xC0\xAF", "\xED\xA0\x80"};
  std::mt19937 random(11);
  for (int n = 0; n < 300; ++n) {
    std::string text, expected;
    for (int p = static_cast<int>(random() % 40); p > 0; --p) {
      const std::string_view piece = pieces[random() % std::size(pieces)];
      text += piece;
      if (piece.size() < 8) {
        expected += Utf8ToUtf16Le(piece);
        continue;
      }
      for (char c : piece) expected += {c, '\0'};  // the long pieces are ASCII
    }
    EXPECT_EQ(expected, Utf8ToUtf16Le(text)) << n;
  }
}

TEST(TextCodec, SplitLinesKnowsEveryLineEnd) {
  EXPECT_EQ((std::vector<std::string>{"a", "b", "c", "", "d"}), SplitLines("a\r\nb\nc\r\rd"));
  EXPECT_EQ((std::vector<std::string>{"a"}), SplitLines("a\r\n"));
  EXPECT_EQ((std::vector<std::string>{"a", ""}), SplitLines("a\n\n"));
  EXPECT_TRUE(SplitLines("").empty());
  EXPECT_EQ((std::vector<std::string>{""}), SplitLines("\n"));
}

TEST(TextCase, ComparesWithoutRegardToCase) {
  EXPECT_EQ("SILENT=TRUE", ToUpper("silent=True"));
  EXPECT_EQ("GRÖSSE", ToUpper("größe"));
  EXPECT_TRUE(EqualsIgnoringCase("Index.HTM", "index.htm"));
  EXPECT_TRUE(EqualsIgnoringCase("ÜBERSICHT", "übersicht"));
  EXPECT_FALSE(EqualsIgnoringCase("Index.htm", "Index.html"));
  EXPECT_LT(CompareIgnoringCase("apple", "Banana"), 0);
}

}  // namespace
}  // namespace orvano
