#include "templates/template_files.h"

#include <gtest/gtest.h>

#include "app/run_context.h"
#include "support/table.h"
#include "support/text_codec.h"
#include "testing/run_context_test.h"
#include "testing/test_util.h"

namespace orvano {
namespace {

using testing::WriteBytes;

struct TemplateFilesTest : public testing::RunContextTest {
  void SetUp() override { context.settings.path_html_source_folder = dir.path(); }

  LineList Read(const std::string& name, std::string_view bytes) {
    WriteBytes(dir.path() + name, bytes);
    LineList target = {"old"};
    EXPECT_EQ(1, GetTextFileHTML(context, dir.path() + name, &target));
    return target;
  }
  // Splits a sheet whose column 1 holds `markers` and column 2 the row numbers; returns the
  // sheet rows of the overview part and of the main part.
  std::pair<std::vector<int>, std::vector<int>> Split(const std::vector<std::string>& markers) {
    Table sheet(3, 0), overview, main;
    for (std::size_t r = 0; r < markers.size(); ++r) {
      sheet.AddRow({Cell(), markers[r].empty() ? Cell() : Cell(markers[r]), Cell(double(r))});
    }
    EXPECT_EQ(1, SeparateOverviewAndMain(context, sheet, &overview, &main));
    std::pair<std::vector<int>, std::vector<int>> rows;
    for (auto [part, out] : {std::pair{&overview, &rows.first}, {&main, &rows.second}}) {
      EXPECT_TRUE(part->row_count() >= 1 && part->column_count() == 3 && IsNull(part->At(2, 0)));
      for (std::size_t r = 1; r < part->row_count(); ++r)
        out->push_back(int(std::get<double>(part->At(2, r))));
    }
    return rows;
  }
};

TEST_F(TemplateFilesTest, ReadsUtf16AndUtf8TemplatesWithOrWithoutByteOrderMark) {
  for (TextEncoding encoding : {TextEncoding::kUtf16LeBom, TextEncoding::kUtf16Le,
                                TextEncoding::kUtf8Bom, TextEncoding::kUtf8}) {
    EXPECT_EQ(
        (LineList{dir.path() + "T.htm", "<p class=c###FONTCLASS###21>", "Größe €", "", "z"}),
        Read("T.htm", EncodeText("<p class=c###FONTCLASS###21>\r\nGröße €\n\rz\r\n", encoding)));
  }
  EXPECT_EQ(LineList{dir.path() + "E.htm"}, Read("E.htm", ""));  // empty: no lines, no error
  LineList target = {"old"};
  EXPECT_EQ(-1, GetTextFileHTML(context, dir.path() + "Missing.htm", &target));
  EXPECT_EQ(LineList{"old"}, target);
  EXPECT_TRUE(host.calls.empty());

  struct UnreadableFs : testing::FixedClockFileSystem {
    UnreadableFs() : FixedClockFileSystem(testing::TestTime()) {}
    ReadStatus ReadFile(const std::string& path, std::string*, std::string* err) override {
      *err = "permission denied: " + path;
      return ReadStatus::kOtherError;
    }
  } unreadable;
  RunContext locked(unreadable, host, context.program);
  host.continue_after_error = true;
  EXPECT_EQ(-1, GetTextFileHTML(locked, dir.path() + "T.htm", &target));
  EXPECT_EQ(LineList{"old"}, target);
  ASSERT_EQ(1u, host.calls.size());
  EXPECT_NE(std::string::npos, host.calls[0].text.find("GetTextFileHTML"));
  EXPECT_NE(std::string::npos, host.calls[0].text.find("template " + dir.path() + "T.htm"));
}

TEST_F(TemplateFilesTest, LoadsThePlainOrOpcSetFindingNamesWithoutRegardToCase) {
  for (const char* name :
       {"source_main.HTM", "Source_Menu.htm", "Source_OverView.htm", "Source_Section.htm",
        "Source_Section_d.htm", "SOURCE_SECTION_OPC.htm"}) {
    WriteBytes(dir.path() + name, EncodeText(name, TextEncoding::kUtf16LeBom));
  }
  int status = 0;
  TemplateSet set = ReadPredifinedHTMLFiles(context, &status);
  EXPECT_EQ(1, status);
  EXPECT_EQ((LineList{dir.path() + "source_main.HTM", "source_main.HTM"}), set.entries[0]);
  EXPECT_EQ("Source_Section_d.htm", set.entries[4].at(1));
  context.description.interface_with_opc = true;
  set = ReadPredifinedHTMLFiles(context, &status);
  EXPECT_EQ(1, status);  // a missing template is no failure of the set
  EXPECT_EQ("SOURCE_SECTION_OPC.htm", set.entries[3].at(1));
  EXPECT_TRUE(set.entries[4].empty());
  EXPECT_TRUE(host.calls.empty());
}

TEST_F(TemplateFilesTest, SplitsSheetsAtTheMarkerRows) {
  using Rows = std::vector<int>;
  using Parts = std::pair<Rows, Rows>;
  EXPECT_EQ(Parts({3, 4, 5, 6}, {7, 8}),
            Split({"", "a", "###overview", "b", "c", "d", "e", "###MAIN", "f"}));
  EXPECT_EQ(Parts({0}, {1, 2}), Split({"", "a", "b"}));  // neither marker
  // A marker with a blank after it is none; a later overview marker moves the start.
  EXPECT_EQ(Parts({5}, {6}),
            Split({"", "###Overview ", "###Overview", "a", "###Overview", "b", "###Main"}));
  // The row after an overview marker is tested against "###Main" only.
  EXPECT_EQ(Parts({}, {2, 3}), Split({"", "###Overview", "###Main", "x"}));
  // An overview marker without "###Main": the overview part runs to the end.
  EXPECT_EQ(Parts({3, 4}, {}), Split({"", "a", "###Overview", "b", "c"}));
  EXPECT_EQ(Parts({}, {}), Split({"", "###Overview"}));
  EXPECT_TRUE(host.calls.empty());
}

}  // namespace
}  // namespace orvano
