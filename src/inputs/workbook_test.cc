#include "inputs/workbook.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "inputs/biff_format.h"
#include "inputs/parsed_workbook.h"
#include "support/errors.h"
#include "testing/test_util.h"
#include "xls_writer/xls_writer.h"
#include "xlsx_writer/xlsx_writer.h"

namespace orvano {
namespace {

using ::testing::HasSubstr;
using NamesAndFlags = std::vector<std::pair<std::string, bool>>;

// Each sheet's name and whether it is machine-dependent.
NamesAndFlags Entries(const SheetList& list) {
  NamesAndFlags entries;
  for (const auto& entry : list.entries) {
    entries.emplace_back(entry.name, entry.is_machine_dependent);
  }
  return entries;
}

class WorkbookTest : public ::testing::Test {
 protected:
  WorkbookTest() : fs_(testing::TestTime()), path_(dir_.path() + "Collection.xls") {}

  void Write(const XlsWorkbook& book) { WriteXls(path_, book); }
  std::optional<CollectionWorkbook> Read() { return ReadCollectionWorkbook(fs_, path_, sink_); }

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

  Table ReadSheet(const CollectionWorkbook& workbook, bool reject_counter, bool service_presets) {
    std::optional<Table> table =
        ReadSheetTable(workbook, 0, {reject_counter, service_presets}, sink_);
    EXPECT_TRUE(table);
    return table.value_or(Table());
  }

  // The description of the only failure reported so far, which must be under `procedure`.
  std::string OnlyFailure(std::string_view procedure) {
    EXPECT_EQ(sink_.failures.size(), 1u);
    if (sink_.failures.empty()) return "";
    EXPECT_EQ(sink_.failures[0].procedure, procedure);
    std::string description = sink_.failures[0].description;
    sink_.failures.clear();
    return description;
  }

  testing::ScopedTempDir dir_;
  testing::FixedClockFileSystem fs_;
  std::string path_;
  testing::RecordingErrorSink sink_;
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
  const std::optional<CollectionWorkbook> workbook = Read();
  ASSERT_TRUE(workbook);
  EXPECT_EQ(workbook->path, path_);
  ASSERT_TRUE(workbook->parsed);
  EXPECT_EQ(workbook->parsed->sheet_count(), 3u);
  const SheetList& list = workbook->sheets;
  EXPECT_EQ(Entries(list), (NamesAndFlags{{"A", false}, {"B", true}, {"C", false}}));
  EXPECT_EQ(list.widest_column_count, 5);
  EXPECT_EQ(sink_.keep_responsive_calls, 3);
  EXPECT_TRUE(sink_.failures.empty());

  EXPECT_EQ(list.Find("B"), 1u);
  EXPECT_EQ(list.Find("b"), std::nullopt);
  EXPECT_EQ(list.FindIgnoringCase("b"), 1u);
  EXPECT_EQ(list.FindIgnoringCase("D"), std::nullopt);
}

TEST_F(WorkbookTest, EmptyOrUnnamedSheetsKeepTheirPlace) {
  XlsWorkbook book;
  book.AddSheet("Empty");
  XlsSheet& unnamed = book.AddSheet("Unnamed");  // row 0 empty, data below
  unnamed.Set(2, 7, XlsCell::Text("x"));
  book.AddSheet("D").Set(0, 0, XlsCell::Text("D"));
  Write(book);
  const std::optional<CollectionWorkbook> workbook = Read();
  ASSERT_TRUE(workbook);
  const SheetList& list = workbook->sheets;
  EXPECT_EQ(Entries(list), (NamesAndFlags{{"", false}, {"", false}, {"D", false}}));
  EXPECT_EQ(list.widest_column_count, 8);
  EXPECT_EQ(list.FindIgnoringCase(""), 0u);  // the first of the unnamed sheets
  std::optional<Table> table = ReadSheetTable(*workbook, 1, {}, sink_);
  ASSERT_TRUE(table);
  EXPECT_EQ(table->column_count(), 9u);
  EXPECT_EQ(table->row_count(), 3u);
  EXPECT_EQ(table->TextAt(7, 2), "x");
  table = ReadSheetTable(*workbook, 0, {}, sink_);
  ASSERT_TRUE(table);
  EXPECT_EQ(table->column_count(), 1u);
  EXPECT_EQ(table->row_count(), 1u);
}

TEST_F(WorkbookTest, UnreadableWorkbookIsReported) {
  EXPECT_FALSE(Read());
  EXPECT_THAT(OnlyFailure("XLCollectionSheetList"), HasSubstr("Collection.xls"));

  // A workbook whose only sheet is a chart sheet holds no worksheet.
  std::string bytes = BuildXlsBytes(ConditionalBook());
  // The sheet type, after the BOF offset and the visibility.
  bytes[testing::FindBiffRecord(bytes, biff::kBoundSheet) + 9] = 2;
  testing::WriteBytes(path_, bytes);
  EXPECT_FALSE(Read());
  EXPECT_EQ(sink_.failures.at(0).number, err::kSubscriptOutOfRange);
  EXPECT_EQ(OnlyFailure("XLCollectionSheetList"), path_ + ": the workbook holds no worksheet");

  sink_.end_on_failure = true;
  EXPECT_THROW((void)Read(), EndProgram);
}

// The rows' conditions are RowFilterTest's; here the table they leave.
TEST_F(WorkbookTest, ReadsConditionalRowsByTheSwitches) {
  Write(ConditionalBook());
  const std::optional<CollectionWorkbook> workbook = Read();
  ASSERT_TRUE(workbook);
  Table t = ReadSheet(*workbook, false, false);
  EXPECT_EQ(t.column_count(), 4u);  // columns 0..2 and the spare one
  EXPECT_EQ(t.row_count(), 8u);     // rows 8 (empty text) and 9 (excluded) are cut
  for (std::size_t c = 0; c < 4; ++c) EXPECT_TRUE(IsNull(t.At(c, 0)));
  EXPECT_EQ(t.At(0, 1), Cell{5.0});
  EXPECT_EQ(t.TextAt(1, 1), "m1");
  for (int r = 2; r <= 5; ++r) EXPECT_TRUE(IsNull(t.At(1, r))) << r;
  EXPECT_EQ(t.TextAt(0, 6), "###if MITAUSWURFZAEHLERN ###25");  // lower case: no condition
  EXPECT_TRUE(IsNull(t.At(3, 7)));
  t = ReadSheet(*workbook, true, false);
  EXPECT_EQ(t.At(0, 2), Cell{std::string("21")});
  EXPECT_EQ(t.TextAt(1, 2), "m2");
  EXPECT_EQ(t.At(2, 2), Cell{20.0});
  EXPECT_TRUE(IsNull(t.At(1, 3)));
  EXPECT_EQ(t.At(0, 4), Cell{std::string("23")});  // both keywords: the reject counter rules
  EXPECT_TRUE(sink_.failures.empty());
}

TEST(RowFilterTest, ConditionalRowsFollowTheirSwitch) {
  const RowSwitches none{false, false};
  const RowSwitches reject{true, false};
  const RowSwitches presets{false, true};
  const Cell reject_row{std::string("x###IF MITAUSWURFZAEHLERN ###Row ### 1")};
  const Cell presets_row{std::string("###IF MITZUSATZSERVICEPRESETS###")};
  const Cell other_row{std::string("###IF MITAUSWURFZAEHLER ###7")};  // no known keyword

  // Any other cell is read unchanged, whatever the switches.
  for (const Cell& cell : {Cell{3.0}, Cell{}, Cell{std::string("###if MITAUSWURFZAEHLERN")},
                           Cell{std::string("Plain ### text")}}) {
    EXPECT_TRUE(IsConditionalRowIncluded(cell, none));
    EXPECT_EQ(StripRowCondition(cell), cell);
  }
  EXPECT_FALSE(IsConditionalRowIncluded(reject_row, none));
  EXPECT_TRUE(IsConditionalRowIncluded(reject_row, reject));
  EXPECT_FALSE(IsConditionalRowIncluded(reject_row, presets));
  EXPECT_FALSE(IsConditionalRowIncluded(presets_row, reject));
  EXPECT_TRUE(IsConditionalRowIncluded(presets_row, presets));
  EXPECT_FALSE(IsConditionalRowIncluded(other_row, {true, true}));

  // What follows the last "###", also when that is the marker itself or nothing.
  EXPECT_EQ(StripRowCondition(reject_row), Cell{std::string(" 1")});
  EXPECT_EQ(StripRowCondition(presets_row), Cell{std::string()});
  EXPECT_EQ(StripRowCondition(Cell{std::string("###IF")}), Cell{std::string("IF")});
}

TEST_F(WorkbookTest, SheetsAreReadFromTheWorkbookOnce) {
  Write(ConditionalBook());
  const std::optional<CollectionWorkbook> workbook = Read();
  ASSERT_TRUE(workbook);
  fs_.RemoveFile(path_);
  EXPECT_TRUE(ReadSheetTable(*workbook, 0, {}, sink_));
  EXPECT_FALSE(ReadSheetTable(*workbook, 1, {}, sink_));
  EXPECT_EQ(sink_.failures.at(0).number, err::kSubscriptOutOfRange);
  EXPECT_EQ(OnlyFailure("ReadCompleteExcelSheet"),
            path_ + ": no sheet number 1 (the workbook has 1 worksheets)");
}

// An .xlsx sheet may reach past what a sheet table holds: a clear failure, no huge table.
TEST_F(WorkbookTest, SheetBeyondTheTableSizeIsReported) {
  XlsWorkbook book;
  book.AddSheet("Far").Set(0, 0, XlsCell::Text("Far"));
  book.sheets[0].Set(1048575, 16383, XlsCell::Number(1));
  const std::string xlsx = dir_.path() + "Collection.xlsx";
  WriteXlsx(fs_, xlsx, book);
  const std::optional<CollectionWorkbook> workbook = ReadCollectionWorkbook(fs_, xlsx, sink_);
  ASSERT_TRUE(workbook);
  EXPECT_FALSE(ReadSheetTable(*workbook, 0, {}, sink_));
  EXPECT_EQ(sink_.failures.at(0).number, err::kOutOfMemory);
  EXPECT_EQ(OnlyFailure("ReadCompleteExcelSheet"),
            xlsx +
                ": sheet \"Far\" reaches row 1048576 and column 16384, more than the 65536 "
                "rows by 256 columns a sheet may span");
}

}  // namespace
}  // namespace orvano
