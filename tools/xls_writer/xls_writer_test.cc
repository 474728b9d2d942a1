#include "xls_writer/xls_writer.h"

#include <freexl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <variant>
#include <vector>

#include "inputs/biff_format.h"
#include "inputs/cfb_format.h"
#include "testing/test_util.h"

namespace orvano {
namespace {

// What FreeXL reads back from one sheet: name, dimensions and non-empty cells (numbers for
// its integer and double types, texts for its text types).
using DecodeCellRecord = std::variant<double, std::string>;
struct ReadSheet {
  std::string name;
  unsigned rows = 0;
  unsigned short columns = 0;
  std::map<std::pair<int, int>, DecodeCellRecord> cells;
};

std::vector<ReadSheet> ReadWithFreeXl(const std::string& path) {
  std::vector<ReadSheet> sheets;
  const void* handle = nullptr;
  const int opened = freexl_open(path.c_str(), &handle);
  EXPECT_EQ(opened, FREEXL_OK) << path;
  unsigned count = 0;
  if (opened == FREEXL_OK) freexl_get_info(handle, FREEXL_BIFF_SHEET_COUNT, &count);
  for (unsigned s = 0; s < count; ++s) {
    ReadSheet sheet;
    const char* name = nullptr;
    EXPECT_EQ(freexl_get_worksheet_name(handle, s, &name), FREEXL_OK);
    sheet.name = name ? name : "";
    EXPECT_EQ(freexl_select_active_worksheet(handle, s), FREEXL_OK);
    freexl_worksheet_dimensions(handle, &sheet.rows, &sheet.columns);
    for (unsigned r = 0; r < sheet.rows; ++r) {
      for (unsigned short c = 0; c < sheet.columns; ++c) {
        FreeXL_CellValue v;
        EXPECT_EQ(freexl_get_cell_value(handle, r, c, &v), FREEXL_OK);
        const std::pair<int, int> at(r, c);
        if (v.type == FREEXL_CELL_INT) sheet.cells[at] = double(v.value.int_value);
        if (v.type == FREEXL_CELL_DOUBLE) sheet.cells[at] = v.value.double_value;
        if (v.type == FREEXL_CELL_TEXT || v.type == FREEXL_CELL_SST_TEXT) {
          sheet.cells[at] = std::string(v.value.text_value);
        }
      }
    }
    sheets.push_back(std::move(sheet));
  }
  freexl_close(handle);
  return sheets;
}

// Checks that FreeXL reads `workbook` back from `path`: names, dimensions, every cell.
void ExpectWorkbookReadsBack(const std::string& path, const XlsWorkbook& workbook) {
  const std::vector<ReadSheet> sheets = ReadWithFreeXl(path);
  ASSERT_EQ(sheets.size(), workbook.sheets.size());
  for (std::size_t s = 0; s < sheets.size(); ++s) {
    const XlsSheet& written = workbook.sheets[s];
    EXPECT_EQ(sheets[s].name, written.name);
    int rows = 0;
    int columns = 0;
    for (const auto& [at, cell] : written.cells) {
      rows = std::max(rows, at.first + 1);
      columns = std::max(columns, at.second + 1);
    }
    EXPECT_EQ(sheets[s].rows, unsigned(rows));
    EXPECT_EQ(sheets[s].columns, columns);
    for (const auto& [at, cell] : written.cells) {
      SCOPED_TRACE("row " + std::to_string(at.first) + " column " + std::to_string(at.second));
      const auto it = sheets[s].cells.find(at);
      if (std::holds_alternative<XlsBlank>(cell.value)) {
        EXPECT_EQ(it, sheets[s].cells.end());
        continue;
      }
      ASSERT_NE(it, sheets[s].cells.end());
      if (const auto* text = std::get_if<std::string>(&cell.value)) {
        EXPECT_EQ(it->second, DecodeCellRecord(*text));
      } else if (const auto* number = std::get_if<double>(&cell.value)) {
        EXPECT_EQ(it->second, DecodeCellRecord(*number));
      } else if (const auto* flag = std::get_if<bool>(&cell.value)) {
        EXPECT_EQ(it->second, DecodeCellRecord(*flag ? 1.0 : 0.0));
      } else {
        EXPECT_TRUE(std::holds_alternative<double>(it->second));  // errors read as integers
      }
    }
  }
}

XlsWorkbook PlainWorkbook() {
  XlsWorkbook workbook;
  XlsSheet& first = workbook.AddSheet("Übersicht");
  first.Set(0, 0, XlsCell::Text("Übersicht"));
  first.Set(0, 1, XlsCell::Text("MASCHINENABHAENGIG"));
  first.Set(1, 0, XlsCell::Text("Größe Ω 概要 😀"));
  first.Set(1, 1, XlsCell::Text("MASCHINENABHAENGIG"));  // shared with (0, 1)
  first.Set(1, 3, XlsCell::Text("tab\there\nline"));
  // RK integers to their 30-bit limits and past them, RK hundredths, doubles that fit no RK.
  const double numbers[] = {1,         -7,         2.5,       0.1,   1.23, 1e300, -123456789.125,
                            536870911, -536870912, 536870912, 3e-310};
  int column = 0;
  for (double number : numbers) first.Set(2, column++, XlsCell::Number(number));
  first.Set(3, 0, XlsCell::Bool(true));
  first.Set(3, 1, XlsCell::Bool(false));
  first.Set(3, 2, XlsCell::Error(XlsError::kDiv0));
  first.Set(3, 3, XlsCell::Blank());
  first.Set(3, 4, XlsCell::Blank());
  first.Set(3, 5, XlsCell::Number(42));
  first.Set(5, 255, XlsCell::Text("last column"));
  workbook.AddSheet("Обзор").Set(0, 0, XlsCell::Number(1));
  workbook.AddSheet("概要").Set(2, 3, XlsCell::Text("概要"));
  workbook.AddSheet("Empty");
  return workbook;
}

// Each workbook reads back through FreeXL: every cell kind in shared strings and combined runs
// or in one LABEL record per cell, the longest sheet name, a shared-string table that goes on in
// CONTINUE records (switching from 8-bit to 16-bit characters), and a sheet of every row, whose
// FAT needs DIFAT sectors.
TEST(XlsWriterTest, WorkbooksReadBackThroughFreeXl) {
  XlsWorkbook label_records = PlainWorkbook();
  label_records.options = {.shared_strings = false, .combine_runs = false};
  XlsWorkbook long_name;
  std::string name;
  for (int i = 0; i < 31; ++i) name += "概";
  long_name.AddSheet(name).Set(0, 0, XlsCell::Text(name));
  XlsWorkbook strings;
  XlsSheet& list = strings.AddSheet("Strings");
  std::string switching = std::string(8300, 'a');
  for (int i = 0; i < 100; ++i) switching += "Ж";
  list.Set(0, 0, XlsCell::Text(switching));
  for (int i = 1; i <= 3000; ++i) {
    list.Set(i, 0, XlsCell::Text("Text number " + std::to_string(i) + (i % 7 ? "" : " Ж")));
  }
  XlsWorkbook big;
  XlsSheet& rows = big.AddSheet("Rows");
  for (int r = 0; r < biff::kMaxRows; ++r) {
    for (int c = 0; c < 8; ++c) rows.Set(r, c, XlsCell::Number(r * 8 + c + 1.0 / 3));
  }

  testing::ScopedTempDir dir;
  int n = 0;
  for (const XlsWorkbook& workbook : {PlainWorkbook(), label_records, long_name, strings, big}) {
    SCOPED_TRACE(n);
    const std::string path = dir.path() + std::to_string(n++) + ".xls";
    WriteXls(path, workbook);
    ASSERT_NO_FATAL_FAILURE(ExpectWorkbookReadsBack(path, workbook));
  }
  const std::string bytes = testing::ReadBytes(dir.path() + "4.xls");
  EXPECT_GE(testing::GetLe(bytes, cfb::kHeaderDifatSectorCountOffset, 4), 1u);
}

}  // namespace
}  // namespace orvano
