#include "templates/template_files.h"

#include <gtest/gtest.h>

#include "support/errors.h"
#include "support/table.h"
#include "support/text_codec.h"
#include "testing/test_util.h"

namespace orvano {
namespace {

using testing::RecordingErrorSink;
using testing::WriteBytes;

struct TemplateFilesTest : public ::testing::Test {
  std::optional<LineList> Read(const std::string& name, std::string_view bytes) {
    WriteBytes(dir.path() + name, bytes);
    return ReadTemplateFile(fs, dir.path() + name, errors);
  }

  testing::ScopedTempDir dir;
  testing::FixedClockFileSystem fs{testing::TestTime()};
  RecordingErrorSink errors;
};

TEST_F(TemplateFilesTest, ReadsUtf16AndUtf8TemplatesWithOrWithoutByteOrderMark) {
  for (TextEncoding encoding : {TextEncoding::kUtf16LeBom, TextEncoding::kUtf16Le,
                                TextEncoding::kUtf8Bom, TextEncoding::kUtf8}) {
    EXPECT_EQ(
        (LineList{dir.path() + "T.htm", "<p class=c###FONTCLASS###21>", "Größe €", "", "z"}),
        Read("T.htm", EncodeText("<p class=c###FONTCLASS###21>\r\nGröße €\n\rz\r\n", encoding)));
  }
  EXPECT_EQ(LineList{dir.path() + "E.htm"}, Read("E.htm", ""));  // empty: no lines, no error
  EXPECT_FALSE(ReadTemplateFile(fs, dir.path() + "Missing.htm", errors));
  EXPECT_TRUE(errors.failures.empty());

  struct UnreadableFs : testing::FixedClockFileSystem {
    UnreadableFs() : FixedClockFileSystem(testing::TestTime()) {}
    ReadStatus ReadFile(const std::string& path, std::string*, std::string* err) override {
      *err = "permission denied: " + path;
      return ReadStatus::kOtherError;
    }
  } unreadable;
  EXPECT_FALSE(ReadTemplateFile(unreadable, dir.path() + "T.htm", errors));
  ASSERT_EQ(1u, errors.failures.size());
  testing::ExpectFailure(errors.failures[0], "GetTextFileHTML", err::kPathFileAccess,
                         "template " + dir.path() + "T.htm");
}

TEST_F(TemplateFilesTest, ReadsThePlainOrOpcSetFindingNamesWithoutRegardToCase) {
  for (const char* name :
       {"source_main.HTM", "Source_Menu.htm", "Source_OverView.htm", "Source_Section.htm",
        "Source_Section_d.htm", "SOURCE_SECTION_OPC.htm"}) {
    WriteBytes(dir.path() + name, EncodeText(name, TextEncoding::kUtf16LeBom));
  }
  TemplateSet set = ReadTemplateSet(fs, dir.path(), /*with_opc=*/false, errors);
  EXPECT_EQ((LineList{dir.path() + "source_main.HTM", "source_main.HTM"}),
            set.entries[TemplateSet::kMain]);
  EXPECT_EQ("Source_Menu.htm", set.entries[TemplateSet::kMenu].at(1));
  EXPECT_EQ("Source_OverView.htm", set.entries[TemplateSet::kOverview].at(1));
  EXPECT_EQ("Source_Section.htm", set.entries[TemplateSet::kSection].at(1));
  EXPECT_EQ("Source_Section_d.htm", set.entries[TemplateSet::kDetail].at(1));
  set = ReadTemplateSet(fs, dir.path(), /*with_opc=*/true, errors);
  EXPECT_EQ("SOURCE_SECTION_OPC.htm", set.entries[TemplateSet::kSection].at(1));
  EXPECT_TRUE(set.entries[TemplateSet::kDetail].empty());  // missing: no failure of the set
  EXPECT_TRUE(errors.failures.empty());
}

// Splits a sheet whose column 1 holds `markers` and column 2 the row numbers; returns the sheet
// rows of the overview part and of the main part.
std::pair<std::vector<int>, std::vector<int>> Split(const std::vector<std::string>& markers) {
  Table sheet(3, 0);
  for (std::size_t r = 0; r < markers.size(); ++r) {
    sheet.AddRow({Cell(), markers[r].empty() ? Cell() : Cell(markers[r]), Cell(double(r))});
  }
  RecordingErrorSink errors;
  std::optional<SheetParts> parts = SplitOverviewAndMain(sheet, errors);
  EXPECT_TRUE(errors.failures.empty());
  std::pair<std::vector<int>, std::vector<int>> rows;
  if (!parts) {
    ADD_FAILURE() << "not split";
    return rows;
  }
  for (auto [part, out] :
       {std::pair{&parts->overview, &rows.first}, {&parts->main, &rows.second}}) {
    EXPECT_TRUE(part->row_count() >= 1 && part->column_count() == 3 && IsNull(part->At(2, 0)));
    for (std::size_t r = 1; r < part->row_count(); ++r) {
      out->push_back(int(std::get<double>(part->At(2, r))));
    }
  }
  return rows;
}

TEST(SplitOverviewAndMainTest, SplitsSheetsAtTheMarkerRows) {
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
}

}  // namespace
}  // namespace orvano
