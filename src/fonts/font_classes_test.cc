#include "fonts/font_classes.h"

#include <gtest/gtest.h>

#include "app/run_context.h"
#include "support/errors.h"
#include "testing/run_context_test.h"
#include "testing/test_util.h"

namespace orvano {
namespace {

struct FontClassesTest : public testing::RunContextTest {
  void SetUp() override { context.language.font_name = "Arial Unicode MS"; }
  std::string Size(std::string line) {
    EditRelSize(context, &line, "T.htm, line 1");
    return line;
  }
  bool LastErrorHas(std::string_view text) {
    return host.calls.back().text.find(text) != std::string::npos;
  }
};

TEST_F(FontClassesTest, ParsesFontSpecifications) {
  EXPECT_EQ("Arial Unicode MS", GetFontSpecs(context, "Arial Unicode MS 0 0 0 0 0 0 0")[0]);
  auto spec = GetFontSpecs(context, "Arial  10 0 0 0 0 0 1 ");
  EXPECT_EQ((std::array<std::string, 8>{"Arial", "10", "0", "0", "0", "0", "0", "1"}), spec);
  for (const char* bad : {"Arial 0 0 0 0 0 0", "0 0 0 0 0 0 0", "Arial 0 0 x 0 0 0 0", "  1 2"}) {
    EXPECT_EQ("-1", GetFontSpecs(context, bad)[0]) << bad;
  }
  EXPECT_EQ("", EventLog());
  context.language.language_id = "7";
  EXPECT_EQ("", GetFontSpecs(context, "   ")[0]);  // missing: empty face and a note
  EXPECT_NE(std::string::npos,
            EventLog().find("Font specification missing for the language 7\r\n"));
  EXPECT_TRUE(host.calls.empty());
}

TEST_F(FontClassesTest, ScalesSizesToTheScreenWidth) {
  context.description.screen_resolution = "1280";
  EXPECT_EQ("a12px b14 18", Size("a###SIZE###1024-10px b###SIZE###1024-11 ###SIZE###1024-14"));
  context.description.screen_resolution = "800";
  EXPECT_EQ("8", Size("###SIZE###1024-10"));  // 7.8125
  EXPECT_TRUE(host.calls.empty());
  // Bad placeholders are reported with their place and stay; the rest of the line is done.
  EXPECT_EQ("###SIZE###1024x10 8", Size("###SIZE###1024x10 ###SIZE###1024-10"));
  EXPECT_TRUE(LastErrorHas("###SIZE###1024x10") && LastErrorHas("T.htm, line 1"));
  EXPECT_EQ("###SIZE###", Size("###SIZE###"));
  EXPECT_EQ("###SIZE###-10", Size("###SIZE###-10"));
  EXPECT_TRUE(LastErrorHas("No: 13"));
  EXPECT_EQ("###SIZE###0-10", Size("###SIZE###0-10"));
  EXPECT_TRUE(LastErrorHas("No: 11"));
  EXPECT_EQ("###SIZE###1-99999", Size("###SIZE###1-99999"));
  EXPECT_TRUE(LastErrorHas("No: 6"));
  context.settings.silent = true;
  EXPECT_THROW(Size("###SIZE###1024x10"), EndProgram);
}

TEST_F(FontClassesTest, CollectsClassesAndTheirMarkerBlocks) {
  context.description.screen_resolution = "1280";
  LineList lines = {"/t/S.htm",
                    "<style>",
                    ".c###FONTCLASS###21 { font: ###SIZE###1024-10px ###FONT###; }",
                    ".c###FONTCLASS###41 { }",
                    ".c###FONTCLASS###5 { }",
                    "</style>",
                    ".c###FONTCLASS###9 { }",  // after the interruption: no class
                    "  ###fontbezug###ein21  ",
                    "<table>",
                    "###FONTBEZUG###HAUPT21",
                    "<tr>",
                    "",
                    "###FONTBEZUG###AUS21",
                    "###FONTBEZUG###ENDE21",
                    "###FONTBEZUG###HAUPT41",
                    "<p>",
                    "###FONTBEZUG###AUS41",
                    "</p>",
                    "###FONTBEZUG###ENDE41",
                    "###FONTBEZUG###EIN21",
                    "other"};  // a second, unclosed block of 21: unused
  const LineList original = lines;
  FontClassTable table = GetHTMLFontClasses(context, &lines);
  EXPECT_EQ("/t/S.htm", table.template_path);
  ASSERT_EQ(3, table.size());
  EXPECT_EQ(".c21 { font: 12px Arial Unicode MS; }", lines[2]);
  EXPECT_EQ(".c41 { }", lines[3]);
  EXPECT_TRUE(std::equal(lines.begin() + 5, lines.end(), original.begin() + 5));
  const FontClass& c21 = table.Class(1);
  EXPECT_EQ(21, c21.number);
  EXPECT_EQ(LineList{"<table>"}, c21.opening);
  EXPECT_EQ((LineList{"<tr>", ""}), c21.main);
  EXPECT_EQ(LineList{""}, c21.closing);  // an empty block is one empty line
  EXPECT_EQ((LineList{""}), table.Class(2).opening);
  EXPECT_EQ((LineList{"</p>"}), table.Class(2).closing);
  EXPECT_EQ((LineList{""}), table.Class(3).main);  // no marker block
  EXPECT_THROW(table.Class(4), UnexpectedError);
  EXPECT_EQ(1, FindFontClass(table, Cell(21.0)));
  EXPECT_EQ(2, FindFontClass(table, Cell("41")));
  EXPECT_EQ(0, FindFontClass(table, Cell("4x")) + FindFontClass(table, Cell()));
  EXPECT_TRUE(host.calls.empty());

  LineList plain = {"/t/P.htm", "<p>###FONT###</p>"};
  EXPECT_EQ(0, GetHTMLFontClasses(context, &plain).size());
  EXPECT_EQ("<p>###FONT###</p>", plain[1]);
}

TEST_F(FontClassesTest, ReportsUnclosedBlocksAndClassLinesWithoutNumber) {
  LineList lines = {"/t/S.htm",
                    "###FONTCLASS###21",
                    "###FONTCLASS### bad",
                    "###FONTBEZUG###HAUPT21",
                    "<tr>",
                    "###FONTBEZUG###AUS21",
                    "</table>"};
  FontClassTable table = GetHTMLFontClasses(context, &lines);
  ASSERT_EQ(1, table.size());  // the line without a number gives no class
  EXPECT_EQ(LineList{"<tr>"}, table.Class(1).main);
  EXPECT_EQ(LineList{""}, table.Class(1).closing);
  ASSERT_EQ(2u, host.calls.size());
  EXPECT_NE(std::string::npos, host.calls[0].text.find("/t/S.htm, line 2"));
  EXPECT_TRUE(LastErrorHas("/t/S.htm, line 5") && LastErrorHas("###FONTBEZUG###ENDE21"));
}

TEST_F(FontClassesTest, EditsTheMainPageClassLines) {
  context.description.screen_resolution = "1280";
  LineList lines = {
      "/t/M.htm",
      "<h1>###SIZE###1024-10</h1>",
      ".m###FONTCLASS###1 { font: ###SIZE###1024-10px/###SIZE###1024-14px ###FONT###; }",
      ".m###FONTCLASS###2 { font: ###SIZE###1024x10px; }",
      "",
      ".m###FONTCLASS###3"};
  EditHTMLFontClasses(context, &lines);
  EXPECT_EQ("<h1>###SIZE###1024-10</h1>", lines[1]);
  EXPECT_EQ(".m1 { font: 12px/###SIZE###1024-14px Arial Unicode MS; }", lines[2]);
  EXPECT_EQ(".m2 { font: ###SIZE###1024x10px; }", lines[3]);
  EXPECT_EQ(".m###FONTCLASS###3", lines[5]);
  ASSERT_EQ(1u, host.calls.size());
  EXPECT_TRUE(LastErrorHas("/t/M.htm, line 3"));
}

}  // namespace
}  // namespace orvano
