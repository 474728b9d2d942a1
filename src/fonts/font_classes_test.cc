#include "fonts/font_classes.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "support/errors.h"
#include "support/text_codec.h"
#include "testing/test_util.h"

namespace orvano {
namespace {

using testing::RecordingErrorSink;

constexpr PageFonts kFonts{"Arial Unicode MS", "1280"};

std::string Size(std::string line, RecordingErrorSink& errors,
                 std::string_view screen_resolution = "1280") {
  ExpandSizePlaceholders(screen_resolution, &line, "T.htm, line 1", errors);
  return line;
}

bool Has(const std::string& text, std::string_view part) {
  return text.find(part) != std::string::npos;
}

TEST(FontSpecTest, ParsesAFaceAndSevenNumericFields) {
  std::optional<FontSpec> spec = ParseFontSpec("Arial Unicode MS 0 0 0 0 0 0 0");
  ASSERT_TRUE(spec);
  EXPECT_EQ("Arial Unicode MS", spec->face);
  spec = ParseFontSpec("Arial  10 0 0 0 0 0 1 ");
  ASSERT_TRUE(spec);
  EXPECT_EQ("Arial", spec->face);
  EXPECT_EQ((std::array<std::string, 7>{"10", "0", "0", "0", "0", "0", "1"}), spec->fields);
  // Too few fields, no face before them, a field that is no number, blank.
  for (const char* bad :
       {"Arial 0 0 0 0 0 0", "0 0 0 0 0 0 0", "Arial 0 0 x 0 0 0 0", "  1 2", "", "   "}) {
    EXPECT_FALSE(ParseFontSpec(bad)) << bad;
  }
}

TEST(FontSpecTest, ChoosesTheFaceOfALanguage) {
  RecordingErrorSink errors;
  EXPECT_EQ("Arial Unicode MS", FontFaceOfLanguage("Arial Unicode MS 0 0 0 0 0 0 0", "7", errors));
  EXPECT_EQ("-1", FontFaceOfLanguage("Arial 0 0 x 0 0 0 0", "7", errors));  // what pages show
  EXPECT_TRUE(errors.notes.empty());
  EXPECT_EQ("", FontFaceOfLanguage("   ", "7", errors));  // missing: empty face and a note
  EXPECT_EQ(std::vector<std::string>{"Font specification missing for the language 7"},
            errors.notes);
  EXPECT_TRUE(errors.failures.empty());
}

TEST(FontClassesTest, ScalesSizesToTheScreenWidth) {
  RecordingErrorSink errors;
  EXPECT_EQ("a12px b14 18",
            Size("a###SIZE###1024-10px b###SIZE###1024-11 ###SIZE###1024-14", errors));
  EXPECT_EQ("8", Size("###SIZE###1024-10", errors, "800"));  // 7.8125
  EXPECT_TRUE(errors.failures.empty());
  // Bad placeholders are reported with their place and stay; the rest of the line is done.
  EXPECT_EQ("###SIZE###1024x10 12", Size("###SIZE###1024x10 ###SIZE###1024-10", errors));
  for (const char* bad : {"###SIZE###", "###SIZE###-10", "###SIZE###0-10", "###SIZE###1-99999"}) {
    EXPECT_EQ(bad, Size(bad, errors));
  }
  ASSERT_EQ(5u, errors.failures.size());
  const int numbers[] = {kProgramErrorNumber, kProgramErrorNumber, err::kTypeMismatch,
                         err::kDivisionByZero, err::kOverflow};
  for (std::size_t k = 0; k < 5; ++k) {
    testing::ExpectFailure(errors.failures[k], "EditRelSize", numbers[k], "(T.htm, line 1)");
  }
  EXPECT_TRUE(Has(errors.failures[0].description, "\"###SIZE###1024x10\""));
  errors.end_on_failure = true;
  EXPECT_THROW(Size("###SIZE###1024x10", errors), EndProgram);
}

// (The faults of class lines and blocks, with their places: the check of tests/e2e.)
TEST(FontClassesTest, CollectsClassesAndTheirMarkerBlocks) {
  RecordingErrorSink errors;
  // A class line after the style sheet's end is none; a second, unclosed block of 21 is unused.
  LineList lines = SplitLines(
      "/t/S.htm\n<style>\n.c###FONTCLASS###21 { font: ###SIZE###1024-10px ###FONT###; }\n"
      ".c###FONTCLASS###41 { }\n.c###FONTCLASS###5 { }\n</style>\n.c###FONTCLASS###9 { }\n"
      "  ###fontbezug###ein21  \n\n<table>\n###FONTBEZUG###HAUPT21\n<tr>\n\n"
      "###FONTBEZUG###AUS21\n###FONTBEZUG###ENDE21\n###FONTBEZUG###HAUPT41\n<p>\n"
      "###FONTBEZUG###AUS41\n\n\n</p>\n###FONTBEZUG###ENDE41\n###FONTBEZUG###EIN21\nother");
  const LineList original = lines;
  FontClassTable table = CollectFontClasses(kFonts, &lines, errors);
  EXPECT_EQ("/t/S.htm", table.template_path);
  ASSERT_EQ(3u, table.classes.size());
  EXPECT_EQ(".c21 { font: 12px Arial Unicode MS; }", lines[2]);
  EXPECT_EQ(".c41 { }", lines[3]);
  EXPECT_TRUE(std::equal(lines.begin() + 5, lines.end(), original.begin() + 5));
  const FontClass& c21 = table.classes[0];
  EXPECT_EQ(21, c21.number);
  // A block holds exactly its lines: a first line that is empty is one empty line, not two.
  EXPECT_EQ((LineList{"", "<table>"}), c21.opening);
  EXPECT_EQ((LineList{"<tr>", ""}), c21.main);
  EXPECT_EQ(LineList{""}, c21.closing);  // an empty block is one empty line
  EXPECT_EQ((LineList{""}), table.classes[1].opening);
  EXPECT_EQ((LineList{"", "", "</p>"}), table.classes[1].closing);
  EXPECT_EQ((LineList{""}), table.classes[2].main);  // no marker block
  EXPECT_EQ(&table.classes[0], FindFontClass(table, Cell(21.0)));
  EXPECT_EQ(&table.classes[1], FindFontClass(table, Cell("41")));
  EXPECT_EQ(nullptr, FindFontClass(table, Cell("4x")));
  EXPECT_EQ(nullptr, FindFontClass(table, Cell()));
  EXPECT_EQ(nullptr, FindFontClass(table, Cell(22.0)));
  EXPECT_TRUE(errors.failures.empty());

  LineList plain = {"/t/P.htm", "<p>###FONT###</p>"};
  EXPECT_TRUE(CollectFontClasses(kFonts, &plain, errors).classes.empty());
  EXPECT_EQ("<p>###FONT###</p>", plain[1]);
}

// Only class lines are filled, each with its first size placeholder and font.
TEST(FontClassesTest, FillsTheMainPageClassLines) {
  RecordingErrorSink errors;
  LineList lines = {
      "/t/M.htm",
      "<h1>###SIZE###1024-10</h1>",
      ".m###FONTCLASS###1 { font: ###SIZE###1024-10px/###SIZE###1024-14px ###FONT###; }",
      ".m###FONTCLASS###2 { font: ###SIZE###1024x10px; }",
      "",
      ".m###FONTCLASS###3"};
  FillMainPageFontClassLines(kFonts, &lines, errors);
  EXPECT_EQ("<h1>###SIZE###1024-10</h1>", lines[1]);
  EXPECT_EQ(".m1 { font: 12px/###SIZE###1024-14px Arial Unicode MS; }", lines[2]);
  EXPECT_EQ(".m2 { font: ###SIZE###1024x10px; }", lines[3]);
  EXPECT_EQ(".m###FONTCLASS###3", lines[5]);
  ASSERT_EQ(1u, errors.failures.size());
  testing::ExpectFailure(errors.failures[0], "EditHTMLFontClasses", kProgramErrorNumber,
                         "/t/M.htm, line 3");
}

}  // namespace
}  // namespace orvano
