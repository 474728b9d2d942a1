#include "templates/page_output.h"

#include <gtest/gtest.h>

#include "app/run_context.h"
#include "fonts/font_classes.h"
#include "support/text_codec.h"
#include "testing/run_context_test.h"
#include "testing/test_util.h"

namespace orvano {
namespace {

using testing::FontClassBlock;

struct PageOutputTest : public testing::RunContextTest {
  Table rows{3, 1};  // the section's main part

  void SetUp() override {
    context.settings.path_orvano_doc = dir.path() + "Orvano.doc";
    testing::WriteBytes(context.settings.path_orvano_doc,
                        "[Section_1]\r\nName=Filler\r\nMachine1_Position1=4\r\n"
                        "Machine1_Position3=7\r\n");
    MachineDescription& d = context.description;
    d.machines = {{"M1", "A7"}, {"M2", "B8"}};
    d.sections = {{"Filler", "1"}, {"Off", "0"}, {"Drives", "1"}, {"NoSheet", "1"}, {"../x", "1"}};
    d.position_counts = {{2, -1, 0, 1, 1}, {0, 0, 2, 1, 1}};
    context.workbook.sheet_list = {{"Filler", 0}, {"Drives", 1}, {"Off", 0}};
    context.page.sheet_index = 0;
    context.direct_cells = Table(2, 2);
    context.direct_cells.At(1, 1) = "Dîrect";
    rows.AddRow({11.0, "Pos", "###FLD"});
  }
  std::string Log() { return EventLog(); }
  // `lines` edited as a section page (menu page when `section` is 0).
  LineList Edit(LineList lines, int section, int machine) {
    FontClassTable classes = GetHTMLFontClasses(context, &lines);
    EXPECT_EQ(1, section == 0 ? EditMenuHTMLFile(context, &lines, classes)
                              : EditHTMLFile(context, &lines, rows, classes, section, machine));
    return lines;
  }
};

// The page as written: UTF-16LE with a byte-order mark, each line ended by CR LF.
std::string PageBytes(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return EncodeText(text, TextEncoding::kUtf16LeBom);
}

const LineList kSection = SplitLines(
    "section.htm\n<p class=\"c###FONTCLASS###11\">\n"
    "<h1>###UEBERSCHRIFT###</h1><h2>###MASCHINE### / ###MASCHINEID###</h2>\n"
    "<a href=\"###ZIEL_HTML###\">###ZIEL_HTML###</a> <a href=\"###ZIEL_D_HTML###\">d</a>\n"
    "<i>###DIREKT###1,1 ###MENU_TEXT###</i>\n###FONTBEZUGANFANG###" +
    FontClassBlock("11", "<td>###ZELLE###2 ###ZELLE###3</td>", "<tr>", "</tr>") +
    "\n###FONTBEZUGENDE###\nend");

TEST_F(PageOutputTest, WritesSectionPages) {
  {  // machine 1 in section 1: two positions, the second missing from Orvano.doc
    context.page.machine_index = 1;
    context.page.machine_name = "M1";
    ASSERT_EQ(1, WriteHTMLFile(context, kSection, dir.path() + "Filler_M1.htm", rows, 1, 1));
    EXPECT_EQ(PageBytes({"", "<p class=\"c11\">", "<h1>Filler</h1><h2>M1 / A7</h2>",
                         "<a href=\"Filler_M1.htm\">M1</a> <a href=\"Filler_M1_d.htm\">d</a>",
                         "<i>Dîrect M1</i>", "<tr>", "<td>Pos 4</td>", "</tr>", "<tr>",
                         "<td>Pos 1</td>", "</tr>", "end"}),
              testing::ReadBytes(dir.path() + "Filler_M1.htm"));
    EXPECT_EQ("1", context.page.position);  // the last position stays
  }
  {  // the same section without machine: rows once, at the position the driver set
    context.page.machine_index = -1;
    context.page.machine_name = "-1";
    context.page.position = "2";
    EXPECT_EQ(LineList({"", "<p class=\"c11\">", "<h1>Filler</h1><h2></h2>",
                        "<a href=\"Filler.htm\">-1</a> <a href=\"Filler_d.htm\">d</a>",
                        "<i>Dîrect -1</i>", "<tr>", "<td>Pos 2</td>", "</tr>", "end"}),
              Edit(kSection, 1, -1));
  }
  EXPECT_EQ("end", Edit(kSection, 1, 2).at(5));  // a machine without positions: no rows
  EXPECT_TRUE(host.calls.empty());
}

TEST_F(PageOutputTest, FailedStepsLeaveNoPage) {
  const std::string page = dir.path() + "Filler.htm";
  testing::WriteBytes(page, "old page");
  EXPECT_EQ(-1, WriteHTMLFile(context, kSection, page, rows, 9, -1));  // no section 9
  EXPECT_EQ("old page", testing::ReadBytes(page));
  ASSERT_EQ(1u, host.CallsOf("error").size());
  EXPECT_NE(std::string::npos, host.calls.back().text.find("EditHTMLFile"));

  EXPECT_EQ(-1, WriteHTMLFile(context, kSection, dir.path() + "gone/Filler.htm", rows, 1, -1));
  ASSERT_EQ(2u, host.CallsOf("error").size());
  EXPECT_NE(std::string::npos, host.calls.back().text.find("WriteHTMLFile"));
  EXPECT_FALSE(fs.FolderExists(dir.path() + "gone"));

  for (const char* bad : {"", "a/b", "a\\b", "..", "x..y"}) EXPECT_FALSE(IsSafePageNamePart(bad));
  for (const char* good : {"Filler", "a.b", "M 1"}) EXPECT_TRUE(IsSafePageNamePart(good));
}

TEST_F(PageOutputTest, WritesMenuEntries) {
  const LineList menu = SplitLines(
      "menu.htm\nli.###FONTCLASS###21\nli.###FONTCLASS###22\nli.###FONTCLASS###41\n"
      "<b>###MENU_TEXT### ###DIREKT###1,1</b>\n<ul>###FONTBEZUGANFANG###" +
      FontClassBlock("21", "<a href=\"###ZIEL_HTML###\">###MENU_TEXT_MODUL###</a>") +
      FontClassBlock("22", "<h3>###MENU_TEXT_MODUL###</h3>") +
      FontClassBlock("41", "<a href=\"###ZIEL_HTML###\">###MENU_TEXT_MACHINE###</a>") +
      "\n###FONTBEZUGENDE###</ul>\nend");
  context.page.machine_name = "-1";
  {  // "Off" is disabled, "Drives" has only machine 2, "NoSheet" is not machine dependent
    EXPECT_EQ(LineList({"", "li.21", "li.22", "li.41", "<b>-1 Dîrect</b>",
                        "<a href=\"Filler.htm\">Filler</a>", "<h3>Drives</h3>",
                        "<a href=\"Drives_M2.htm\">M2</a>", "<a href=\"NoSheet.htm\">NoSheet</a>",
                        "end"}),
              Edit(menu, 0, 0));
  }
  {  // without class 41 the machine entry is written plainly, and the class named in the log
    LineList lines = menu;
    lines[3] = "li.41";
    EXPECT_EQ("<a href=\"Drives_M2.htm\" target=\"main\">M2</a>", Edit(lines, 0, 0).at(7));
    EXPECT_NE(std::string::npos,
              Log().find("Font class 41 not defined in the menu template menu.htm"));
  }
  EXPECT_TRUE(host.calls.empty());
}

}  // namespace
}  // namespace orvano

namespace orvano {
namespace {

// The detail page takes the rows its twin built, with the twin's notes written again.
TEST_F(PageOutputTest, TwinPagesShareTheirRowsAndNotes) {
  rows.AddRow({11.0, "Gone", "###INDEX:No.Such:INDEX"});
  context.page.machine_index = 1;
  context.page.machine_name = "M1";
  LineList section = Edit(kSection, 1, 1);
  LineList detail = Edit(kSection, 1, 1);
  EXPECT_EQ(section, detail);
  std::string log = Log();
  std::size_t notes = 0;
  for (std::size_t at = log.find("Indextext not found: No.Such"); at != std::string::npos;
       at = log.find("Indextext not found: No.Such", at + 1)) {
    ++notes;
  }
  EXPECT_EQ(4u, notes);                               // two positions, two pages
  EXPECT_EQ("1", context.build.wildcards[1].second);  // as the last position's build left it

  // The driver forgets the rows before each new section page.
  rows.At(2, 1) = std::string("Other ###FLD");
  context.build.last_page_rows.clear();
  LineList changed = Edit(kSection, 1, 1);
  EXPECT_NE(std::string::npos, changed[6].find("Other 4")) << changed[6];
}

}  // namespace
}  // namespace orvano
