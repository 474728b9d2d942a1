#include "inputs/workbook.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/run_context.h"
#include "inputs/parsed_workbook.h"
#include "testing/test_util.h"
#include "xls_writer/xls_writer.h"

namespace orvano {
namespace {

class WorkbookTest : public ::testing::Test {
 protected:
  WorkbookTest() : fs_(testing::TestTime()) {
    ProgramInfo program{dir_.path(), "orvano-html", "0.1.0", dir_.path() + "root/"};
    context_ = std::make_unique<RunContext>(fs_, host_, program);
    context_->settings.path_xl_collection = dir_.path() + "Collection.xls";
    host_.continue_after_error = true;
  }

  void Write(const XlsWorkbook& book) { WriteXls(context_->settings.path_xl_collection, book); }

  // The sheet with the conditional rows of the edge cases.
  static XlsWorkbook ConditionalBook() {
    XlsWorkbook book;
    XlsSheet& s = book.AddSheet("Rows");
    s.Set(0, 0, XlsCell::Text("Rows"));
    const char* first[] = {"###IF MITAUSWURFZAEHLERN ###21", "###IF MITZUSATZSERVICEPRESETS ###22",
                           "###IF MITZUSATZSERVICEPRESETS MITAUSWURFZAEHLERN ###23",
                           "###IF SONSTWAS ###24", "###if MITAUSWURFZAEHLERN ###25"};
    s.Set(1, 0, XlsCell::Number(5));
    for (int r = 1; r <= 6; ++r) {
      if (r >= 2) s.Set(r, 0, XlsCell::Text(first[r - 2]));
      s.Set(r, 1, XlsCell::Text("m" + std::to_string(r)));
      s.Set(r, 2, XlsCell::Number(r * 10));
    }
    s.Set(7, 0, XlsCell::Number(7));
    s.Set(8, 1, XlsCell::Text(""));                     // empty texts do not count
    s.Set(9, 0, XlsCell::Text("###IF SONSTWAS ###9"));  // excluded
    s.Set(9, 2, XlsCell::Text("dropped"));
    return book;
  }

  Table ReadSheet(bool reject_counter, bool service_presets) {
    context_->description.with_reject_counter = reject_counter;
    context_->description.with_more_service_presets = service_presets;
    Table table;
    EXPECT_EQ(ReadCompleteExcelSheet(*context_, 0, &table), 1);
    return table;
  }

  std::string LastError() {
    const auto errors = host_.CallsOf("error");
    return errors.empty() ? "" : errors.back().text;
  }

  testing::ScopedTempDir dir_;
  testing::FixedClockFileSystem fs_;
  testing::RecordingHost host_;
  std::unique_ptr<RunContext> context_;
};

TEST_F(WorkbookTest, ListsSheetsWithMachineDependence) {
  XlsWorkbook book;
  book.AddSheet("A").Set(0, 0, XlsCell::Text("A"));
  XlsSheet& b = book.AddSheet("B");
  b.Set(0, 0, XlsCell::Text("B"));
  b.Set(0, 1, XlsCell::Text("MaschinenAbhaengig"));
  b.Set(3, 4, XlsCell::Number(1));
  XlsSheet& c = book.AddSheet("C");
  c.Set(0, 0, XlsCell::Text("C"));
  c.Set(0, 1, XlsCell::Text("MASCHINENABHAENGIG "));  // not equal: trailing blank
  Write(book);
  context_->workbook.max_column_index = 2;
  ASSERT_EQ(XLCollectionSheetList(*context_), 1);
  const auto& list = context_->workbook.sheet_list;
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list[0].name, "A");
  EXPECT_EQ(list[0].machine_dependent, 0);
  EXPECT_EQ(list[1].name, "B");
  EXPECT_EQ(list[1].machine_dependent, 1);
  EXPECT_EQ(list[2].name, "C");
  EXPECT_EQ(list[2].machine_dependent, 0);
  EXPECT_EQ(context_->workbook.max_column_index, 5);
  EXPECT_EQ(host_.pumps, 3);
}

TEST_F(WorkbookTest, EmptyOrUnnamedSheetsKeepTheirPlace) {
  XlsWorkbook book;
  book.AddSheet("Empty");
  XlsSheet& unnamed = book.AddSheet("Unnamed");  // row 0 empty, data below
  unnamed.Set(2, 7, XlsCell::Text("x"));
  book.AddSheet("D").Set(0, 0, XlsCell::Text("D"));
  Write(book);
  ASSERT_EQ(XLCollectionSheetList(*context_), 1);
  const auto& list = context_->workbook.sheet_list;
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list[0].name, "");
  EXPECT_EQ(list[1].name, "");
  EXPECT_EQ(list[2].name, "D");
  EXPECT_EQ(context_->workbook.max_column_index, 8);
  Table table;
  ASSERT_EQ(ReadCompleteExcelSheet(*context_, 1, &table), 1);
  EXPECT_EQ(table.column_count(), 9u);
  EXPECT_EQ(table.row_count(), 3u);
  EXPECT_EQ(table.TextAt(7, 2), "x");
  ASSERT_EQ(ReadCompleteExcelSheet(*context_, 0, &table), 1);
  EXPECT_EQ(table.column_count(), 1u);
  EXPECT_EQ(table.row_count(), 1u);
}

TEST_F(WorkbookTest, UnreadableWorkbookIsReportedAndGivesMinusOne) {
  EXPECT_EQ(XLCollectionSheetList(*context_), -1);
  EXPECT_NE(LastError().find("Collection.xls"), std::string::npos) << LastError();
  testing::WriteBytes(context_->settings.path_xl_collection, "Name;Value\r\n");
  EXPECT_EQ(XLCollectionSheetList(*context_), -1);
  EXPECT_NE(LastError().find("Collection.xls: not a BIFF workbook"), std::string::npos)
      << LastError();
  EXPECT_TRUE(context_->workbook.sheet_list.empty());
  Table table(2, 2);
  EXPECT_EQ(ReadCompleteExcelSheet(*context_, 0, &table), -1);
  EXPECT_EQ(table.row_count(), 2u);
}

TEST_F(WorkbookTest, ReadsConditionalRowsByTheSwitches) {
  Write(ConditionalBook());
  {
    const Table t = ReadSheet(false, false);
    EXPECT_EQ(t.column_count(), 4u);  // columns 0..2 and the spare one
    EXPECT_EQ(t.row_count(), 8u);     // rows 8 (empty text) and 9 (excluded) are cut
    for (std::size_t c = 0; c < 4; ++c) EXPECT_TRUE(IsNull(t.At(c, 0)));
    EXPECT_EQ(t.At(0, 1), Cell{5.0});
    EXPECT_EQ(t.TextAt(1, 1), "m1");
    EXPECT_EQ(t.At(2, 1), Cell{10.0});
    for (int r = 2; r <= 5; ++r) EXPECT_TRUE(IsNull(t.At(1, r))) << r;
    EXPECT_EQ(t.TextAt(0, 6), "###if MITAUSWURFZAEHLERN ###25");  // lower case: no condition
    EXPECT_EQ(t.TextAt(1, 6), "m6");
    EXPECT_EQ(t.At(0, 7), Cell{7.0});
    EXPECT_TRUE(IsNull(t.At(3, 7)));
  }
  {
    const Table t = ReadSheet(true, false);
    EXPECT_EQ(t.At(0, 2), Cell{std::string("21")});
    EXPECT_EQ(t.TextAt(1, 2), "m2");
    EXPECT_EQ(t.At(2, 2), Cell{20.0});
    EXPECT_TRUE(IsNull(t.At(1, 3)));
    EXPECT_EQ(t.At(0, 4), Cell{std::string("23")});  // both keywords: the reject counter rules
  }
  {
    const Table t = ReadSheet(false, true);
    EXPECT_TRUE(IsNull(t.At(1, 2)));
    EXPECT_EQ(t.At(0, 3), Cell{std::string("22")});
    EXPECT_TRUE(IsNull(t.At(1, 4)));
  }
  {
    const Table t = ReadSheet(true, true);
    EXPECT_TRUE(IsNull(t.At(1, 5)));  // neither keyword: never read
    EXPECT_EQ(t.row_count(), 8u);
  }
}

TEST_F(WorkbookTest, LesenErlaubenKeepsOtherCells) {
  Cell out;
  EXPECT_TRUE(LesenErlauben(*context_, Cell{3.0}, &out));
  EXPECT_EQ(out, Cell{3.0});
  EXPECT_FALSE(LesenErlauben(*context_, Cell{std::string("###IF MITAUSWURFZAEHLERN ###1")}, &out));
  EXPECT_EQ(out, Cell{std::string()});
}

TEST_F(WorkbookTest, ParsesTheFileOncePerRun) {
  Write(ConditionalBook());
  ASSERT_EQ(XLCollectionSheetList(*context_), 1);
  const auto parsed = context_->workbook.workbook;
  ASSERT_TRUE(parsed);
  fs_.RemoveFile(context_->settings.path_xl_collection);
  Table table;
  EXPECT_EQ(ReadCompleteExcelSheet(*context_, 0, &table), 1);
  EXPECT_EQ(context_->workbook.workbook, parsed);
  EXPECT_EQ(ReadCompleteExcelSheet(*context_, 1, &table), -1);
  EXPECT_NE(LastError().find("no sheet number 1 (the workbook has 1 worksheets)"),
            std::string::npos)
      << LastError();
}

}  // namespace
}  // namespace orvano
