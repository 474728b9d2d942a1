#include "templates/page_output.h"

#include <gtest/gtest.h>

#include <memory>

#include "support/errors.h"
#include "support/ini_file.h"
#include "support/text_codec.h"
#include "templates/page_state.h"
#include "templates/page_text.h"
#include "templates/run_inputs.h"
#include "testing/test_util.h"

namespace orvano {
namespace {

using testing::FontClassBlock;
using testing::RecordingErrorSink;

struct PageOutputTest : public ::testing::Test {
  void SetUp() override {
    // The positions are read from the description file as the run read it.
    const std::string doc = dir.path() + "Orvano.doc";
    testing::WriteBytes(doc,
                        "[Section_1]\r\nName=Filler\r\nMachine1_Position1=4\r\n"
                        "Machine1_Position3=7\r\n");
    MachineDescription& d = inputs.description;
    d.file = std::make_shared<const IniFile>(IniFile::Load(fs, doc));
    d.machines = {{"M1", "A7"}, {"M2", "B8"}};
    d.sections = {{"Filler"}, {"NoSheet"}, {"Drives"}, {"other"}, {"../x"}};
    d.position_counts = {{2, -1, 0, 1, 1}, {0, 0, 2, 1, 1}};
    inputs.language.font_name = "Arial";
    inputs.sheets.entries = {
        {"Filler", false}, {"Drives", true}, {"Other", false}, {"../x", false}};
    inputs.direct_cells = Table(2, 2);
    inputs.direct_cells.At(1, 1) = "Dîrect";
    page.sheet_index = 0;
    rows.AddRow({11.0, "Pos", "###FLD"});
  }
  // A section page built from `page_template` (the overview page without section and machine).
  LineList Build(const LineList& page_template, std::optional<int> section,
                 std::optional<int> machine) {
    std::optional<LineList> lines =
        BuildSectionPage(inputs, page, page_template, rows, section, machine, errors);
    EXPECT_TRUE(lines);
    return lines.value_or(LineList());
  }
  std::size_t NotesSaying(const std::string& text) const {
    return std::count(errors.notes.begin(), errors.notes.end(), text);
  }

  testing::ScopedTempDir dir;
  testing::FixedClockFileSystem fs{testing::TestTime()};
  RecordingErrorSink errors;
  RunInputs inputs;
  PageState page;
  Table rows{3, 1};  // the section's main part
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
  {  // machine 1 in section 1: two positions, the second missing from the description file
    page.machine_index = 1;
    page.machine_name = "M1";
    const std::string path = dir.path() + "Filler_M1.htm";
    ASSERT_TRUE(WritePage(fs, Build(kSection, 1, 1), path, errors));
    EXPECT_EQ(PageBytes({"", "<p class=\"c11\">", "<h1>Filler</h1><h2>M1 / A7</h2>",
                         "<a href=\"Filler_M1.htm\">M1</a> <a href=\"Filler_M1_d.htm\">d</a>",
                         "<i>Dîrect M1</i>", "<tr>", "<td>Pos 4</td>", "</tr>", "<tr>",
                         "<td>Pos 1</td>", "</tr>", "end"}),
              testing::ReadBytes(path));
    EXPECT_EQ("1", page.position);  // the last position stays
  }
  {  // the same section without machine: rows once, at the position the driver set
    page.machine_index = -1;
    page.machine_name = "-1";
    page.position = "2";
    EXPECT_EQ(LineList({"", "<p class=\"c11\">", "<h1>Filler</h1><h2></h2>",
                        "<a href=\"Filler.htm\">-1</a> <a href=\"Filler_d.htm\">d</a>",
                        "<i>Dîrect -1</i>", "<tr>", "<td>Pos 2</td>", "</tr>", "end"}),
              Build(kSection, 1, std::nullopt));
  }
  EXPECT_EQ("end", Build(kSection, 1, 2).at(5));  // a machine without positions: no rows
  EXPECT_TRUE(errors.failures.empty());
}

// Built straight into bytes, a page is what its lines encode to, even where a cell or the
// template breaks a UTF-8 sequence at a line's end or holds a line break of its own.
TEST_F(PageOutputTest, SectionPageBytesAreItsEncodedLines) {
  rows.AddRow({11.0, "Cut \xE2\x82", "\xC3"});
  rows.AddRow({11.0, "Break\r\nin a cell\r", "\x82\xAC ok \xF0\x9F\x98\x80"});
  const LineList page_template = SplitLines(
      "section.htm\n###FONTBEZUGANFANG###" +
      FontClassBlock("11", "<td>###ZELLE###2\xE2</td><td>###ZELLE###3", "<tr>", "</tr>\xC3") +
      "\n###FONTBEZUGENDE###\nend");
  page.machine_index = 1;
  page.machine_name = "M1";
  const std::optional<LineList> lines =
      BuildSectionPage(inputs, page, page_template, rows, 1, 1, errors);
  page.last_page_rows.clear();
  const std::optional<std::string> bytes =
      BuildSectionPageBytes(inputs, page, page_template, rows, 1, 1, errors);
  ASSERT_TRUE(lines && bytes);
  EXPECT_EQ(EncodePage(*lines), *bytes);
  EXPECT_FALSE(BuildSectionPageBytes(inputs, page, kSection, rows, 9, std::nullopt, errors));

  // Built in the memory of a longer page handed back, a page is still exactly its bytes.
  RecyclePageBytes(std::string(3 * bytes->size(), 'x'));
  page.last_page_rows.clear();
  EXPECT_EQ(BuildSectionPageBytes(inputs, page, page_template, rows, 1, 1, errors), bytes);
}

TEST_F(PageOutputTest, BuildsTheOverviewPage) {
  // An opening block whose first line is empty gives one empty line, not two.
  const LineList overview = SplitLines(
      "overview.htm\n<p class=\"c###FONTCLASS###11\">\n"
      "<h1>###UEBERSCHRIFT###</h1><h2>###MASCHINE### / ###MASCHINEID###</h2>###ZIEL_HTML###\n"
      "###FONTBEZUGANFANG###\n###FONTBEZUG###EIN11\n\n<table>\n###FONTBEZUG###HAUPT11\n"
      "<td>###ZELLE###2 ###ZELLE###3</td>\n###FONTBEZUG###AUS11\n</table>\n"
      "###FONTBEZUG###ENDE11\n###FONTBEZUGENDE###\nend");
  page.position = "5";
  EXPECT_EQ(LineList({"", "<p class=\"c11\">", "<h1>###UEBERSCHRIFT###</h1><h2></h2>", "",
                      "<table>", "<td>Pos 5</td>", "</table>", "end"}),
            Build(overview, std::nullopt, std::nullopt));
  EXPECT_TRUE(page.last_page_rows.empty());  // no twin reuses the overview's rows
  EXPECT_TRUE(errors.failures.empty());
}

TEST_F(PageOutputTest, FailedStepsLeaveNoPage) {
  EXPECT_FALSE(BuildSectionPage(inputs, page, kSection, rows, 9, std::nullopt, errors));
  ASSERT_EQ(1u, errors.failures.size());
  testing::ExpectFailure(errors.failures.back(), "EditHTMLFile", err::kSubscriptOutOfRange);
  // A machine without a position count in the section: the rows are built, the page is not.
  page.machine_name = "M2";
  inputs.description.position_counts[1].resize(2);
  EXPECT_FALSE(BuildSectionPage(inputs, page, kSection, rows, 3, 2, errors));
  ASSERT_EQ(2u, errors.failures.size());
  EXPECT_EQ("EditHTMLFile", errors.failures.back().procedure);

  const std::string page_path = dir.path() + "Filler.htm";
  testing::WriteBytes(page_path, "old page");
  EXPECT_FALSE(WritePage(fs, {"", "new"}, dir.path() + "gone/Filler.htm", errors));
  ASSERT_EQ(3u, errors.failures.size());
  EXPECT_EQ("WriteHTMLFile", errors.failures.back().procedure);
  EXPECT_FALSE(fs.IsFolder(dir.path() + "gone"));
  EXPECT_EQ("old page", testing::ReadBytes(page_path));

  for (const char* bad : {"", "a/b", "a\\b", "..", "x..y"}) EXPECT_FALSE(IsSafePageNamePart(bad));
  for (const char* good : {"Filler", "a.b", "M 1"}) EXPECT_TRUE(IsSafePageNamePart(good));
}

const LineList kMenu = SplitLines(
    "menu.htm\nli.###FONTCLASS###21\nli.###FONTCLASS###22\nli.###FONTCLASS###41\n"
    "<b>###MENU_TEXT### ###DIREKT###1,1</b>\n<ul>###FONTBEZUGANFANG###" +
    FontClassBlock("21", "<a href=\"###ZIEL_HTML###\">###MENU_TEXT_MODUL###</a>") +
    FontClassBlock("22", "<h3>###MENU_TEXT_MODUL###</h3>") +
    FontClassBlock("41", "<a href=\"###ZIEL_HTML###\">###MENU_TEXT_MACHINE###</a>") +
    "\n###FONTBEZUGENDE###</ul>\nend");

TEST_F(PageOutputTest, WritesMenuEntries) {
  // "NoSheet" and "other" have no sheet of exactly their name, "Drives" has only machine 2, and
  // "../x" cannot name a page.
  EXPECT_EQ(LineList({"", "li.21", "li.22", "li.41", "<b> Dîrect</b>",
                      "<a href=\"Filler.htm\">Filler</a>", "<h3>Drives</h3>",
                      "<a href=\"Drives_M2.htm\">M2</a>", "end"}),
            BuildMenuPage(inputs, page, kMenu, errors));
  EXPECT_TRUE(errors.notes.empty());
  // Without class 41 the machine entry is written plainly, and the class named in a note.
  LineList lines = kMenu;
  lines[3] = "li.41";
  EXPECT_EQ("<a href=\"Drives_M2.htm\" target=\"main\">M2</a>",
            BuildMenuPage(inputs, page, lines, errors).at(7));
  EXPECT_EQ(std::vector<std::string>{"Font class 41 not defined in the menu template menu.htm"},
            errors.notes);
  EXPECT_TRUE(errors.failures.empty());
}

TEST_F(PageOutputTest, BuildsTheMainPage) {
  const LineList main_page = {
      "main.htm", ".m###FONTCLASS###1 { font: ###SIZE###1024-10px ###FONT###; }",
      "<h1 style=\"width: ###SIZE###1024-100px\">###MNR ###FLD</h1>",
      "###MASCHINE###1 (###MASCHINEID###1), ###MASCHINE###2, [###MASCHINE###3] ###DIREKT###1,1",
      "###MASCHINE###6"};
  page.wildcards = {{{"MNR", "M2"}, {"FLD", "4"}, {"OVERVIEW", ""}, {"MAIN", ""}}};
  EXPECT_EQ(LineList({"", ".m1 { font: 12px Arial; }", "<h1 style=\"width: 125px\">M2 4</h1>",
                      "M1 (A7), M2, [] Dîrect", "###MASCHINE###6"}),
            BuildMainPage(inputs, page, main_page, errors));
  EXPECT_TRUE(errors.failures.empty());
}

// The detail page takes the rows its twin built, with the twin's notes written again; rows whose
// build reported a failure are built again for the twin, reporting it again.
TEST_F(PageOutputTest, TwinPagesShareTheirRowsAndNotesButNotTheirFailures) {
  rows.AddRow({11.0, "Gone", "###INDEX:No.Such:INDEX"});
  page.machine_index = 1;
  page.machine_name = "M1";
  LineList section = Build(kSection, 1, 1);
  ASSERT_EQ(2u, page.last_page_rows.size());  // one per position
  LineList detail = Build(kSection, 1, 1);
  EXPECT_EQ(section, detail);
  EXPECT_EQ(4u, NotesSaying("Indextext not found: No.Such"));  // two positions, two pages
  EXPECT_EQ("1", page.wildcards[1].second);  // as the last position's build left it

  // The driver forgets the rows before each new section page.
  rows.At(2, 1) = std::string("Other ###FLD");
  page.last_page_rows.clear();
  LineList changed = Build(kSection, 1, 1);
  EXPECT_NE(std::string::npos, changed[6].find("Other 4")) << changed[6];
  EXPECT_TRUE(errors.failures.empty());

  rows.AddRow({11.0, "Bad", "###ADDR:1+1[FOO]:ADDR"});
  page.last_page_rows.clear();
  section = Build(kSection, 1, 1);
  EXPECT_TRUE(page.last_page_rows.empty());
  EXPECT_EQ(section, Build(kSection, 1, 1));
  EXPECT_EQ(4u, errors.failures.size());  // two positions, two pages
  for (const RecordingErrorSink::Failure& failure : errors.failures) {
    EXPECT_EQ("GetFormulaFaktor", failure.procedure);
  }
}

}  // namespace
}  // namespace orvano
