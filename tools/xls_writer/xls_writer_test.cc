#include "xls_writer/xls_writer.h"

#include <freexl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <string>
#include <variant>
#include <vector>

#include "inputs/biff_format.h"
#include "inputs/cfb_format.h"
#include "support/errors.h"
#include "testing/test_util.h"
#include "xls_writer/biff_stream.h"

namespace orvano {
namespace {

using ::testing::HasSubstr;

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

unsigned U16At(std::string_view bytes, std::size_t pos) { return testing::GetLe(bytes, pos, 2); }
std::uint32_t U32At(std::string_view bytes, std::size_t pos) {
  return testing::GetLe(bytes, pos, 4);
}

struct Record {
  unsigned id;
  std::size_t offset;
  std::string data;
};

// The records of a Workbook stream up to the zero padding after the last EOF.
std::vector<Record> Records(std::string_view stream) {
  std::vector<Record> records;
  for (std::size_t pos = 0; pos + 4 <= stream.size();) {
    const unsigned id = U16At(stream, pos);
    const unsigned length = U16At(stream, pos + 2);
    if (id == 0 && length == 0) break;
    EXPECT_LE(pos + 4 + length, stream.size());
    records.push_back({id, pos, std::string(stream.substr(pos + 4, length))});
    pos += 4 + length;
  }
  return records;
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

TEST(XlsWriterTest, PlainCellsReadBackThroughFreeXl) {
  XlsWorkbook label_records = PlainWorkbook();  // LABEL records, one record per cell
  label_records.options = {.shared_strings = false, .combine_runs = false};
  for (const Record& record : Records(BuildWorkbookStream(label_records))) {
    EXPECT_TRUE(record.id != biff::kLabelSst && record.id != biff::kMulRk) << record.id;
  }
  XlsWorkbook long_name;
  std::string name;
  for (int i = 0; i < 31; ++i) name += "概";  // the longest sheet name
  long_name.AddSheet(name).Set(0, 0, XlsCell::Text(name));

  testing::ScopedTempDir dir;
  int n = 0;
  for (const XlsWorkbook& workbook : {PlainWorkbook(), label_records, long_name}) {
    SCOPED_TRACE(n);
    const std::string path = dir.path() + std::to_string(n++) + ".xls";
    WriteXls(path, workbook);
    ASSERT_NO_FATAL_FAILURE(ExpectWorkbookReadsBack(path, workbook));
  }
}

// Where other readers look: the stream from the second sector on, CODEPAGE 1200, each BOUNDSHEET
// at a worksheet BOF followed by DIMENSIONS and WINDOW2. The cell records our reader reads back
// (biff_reader_test); here only the formula expression, which it passes over.
TEST(XlsWriterTest, RecordsSitWhereReadersLookForThem) {
  XlsWorkbook workbook = PlainWorkbook();
  workbook.sheets[1].Set(1, 5, XlsCell::Formula(std::string(5000, 'L')));  // 20 string tokens
  const std::string stream = BuildWorkbookStream(workbook);
  const std::string file = BuildXlsBytes(workbook);
  EXPECT_EQ(file.substr(cfb::kSectorSize3, stream.size()), stream);
  testing::ScopedTempDir dir;
  testing::WriteBytes(dir.path() + "f.xls", file);
  EXPECT_EQ(ReadWithFreeXl(dir.path() + "f.xls").size(), 4u);

  const std::vector<Record> records = Records(stream);
  EXPECT_EQ(records[1].data, std::string("\xB0\x04", 2));  // CODEPAGE 1200
  std::map<std::size_t, std::size_t> at_offset;
  for (std::size_t i = 0; i < records.size(); ++i) at_offset[records[i].offset] = i;
  int sheets = 0;
  for (const Record& record : records) {
    if (record.id != biff::kBoundSheet) continue;
    ++sheets;
    ASSERT_TRUE(at_offset.count(U32At(record.data, 0)));
    const std::size_t i = at_offset[U32At(record.data, 0)];
    EXPECT_EQ(records[i].id, biff::kBof);
    EXPECT_EQ(U16At(records[i].data, 2), biff::kSubstreamWorksheet);
    EXPECT_EQ(records[i + 1].id, biff::kDimensions);
    EXPECT_EQ(records[i + 2].id, biff::kWindow2);
  }
  EXPECT_EQ(sheets, 4);
  EXPECT_EQ(records.back().id, biff::kEof);

  // 19 full string tokens, one of 155 characters, 19 concatenations; then the STRING record.
  const auto formula = std::find_if(records.begin(), records.end(),
                                    [](const Record& r) { return r.id == biff::kFormula; });
  ASSERT_NE(formula, records.end());
  EXPECT_EQ(U16At(formula->data, biff::kFormulaTokenSizeOffset), 19u * 258 + 158 + 19);
  EXPECT_EQ(formula[1].id, biff::kString);
  EXPECT_EQ(U16At(formula[1].data, 0), 5000u);
}

// A shared-string table too long for its record goes on in CONTINUE records: FreeXL reads it
// back (our reader's test reads strings over more records), EXTSST points at every
// per_bucket-th string, and surrogate pairs stay within one record for readers that decode
// record by record.
TEST(XlsWriterTest, LongStringTableGoesOnInContinueRecords) {
  XlsWorkbook workbook;
  XlsSheet& sheet = workbook.AddSheet("Strings");
  // Starts in the SST record with 8-bit characters and goes on with 16-bit ones.
  std::string switching = std::string(8300, 'a');
  for (int i = 0; i < 100; ++i) switching += "Ж";
  sheet.Set(0, 0, XlsCell::Text(switching));
  for (int i = 1; i <= 3000; ++i) {
    sheet.Set(i, 0, XlsCell::Text("Text number " + std::to_string(i) + (i % 7 ? "" : " Ж")));
  }
  testing::ScopedTempDir dir;
  WriteXls(dir.path() + "s.xls", workbook);
  ASSERT_NO_FATAL_FAILURE(ExpectWorkbookReadsBack(dir.path() + "s.xls", workbook));

  const std::string stream = BuildWorkbookStream(workbook);
  const std::vector<Record> records = Records(stream);
  std::size_t extsst = 0;
  while (records[extsst].id != biff::kExtSst) ++extsst;
  const std::string& buckets = records[extsst].data;
  const unsigned per_bucket = U16At(buckets, 0);
  EXPECT_EQ(per_bucket, 24u);  // 3001 strings in at most 128 buckets
  ASSERT_EQ(buckets.size(), 2 + 8 * ((3001 + per_bucket - 1) / per_bucket));
  for (std::size_t b = 0; 2 + 8 * b < buckets.size(); ++b) {
    const std::uint32_t offset = U32At(buckets, 2 + 8 * b);
    const unsigned in_record = U16At(buckets, 6 + 8 * b);
    const auto& text = std::get<std::string>(sheet.cells.at({int(b * per_bucket), 0}).value);
    EXPECT_EQ(U16At(stream, offset), ToUtf16Units(text).size()) << "bucket " << b;
    ASSERT_GE(offset, in_record);
    const unsigned id = U16At(stream, offset - in_record);
    EXPECT_TRUE(id == biff::kSst || id == biff::kContinue);
  }

  // One string of pairs: its 16-bit units follow the SST header and each CONTINUE's option byte.
  XlsWorkbook pairs_book;
  std::string pairs;
  for (int i = 0; i < 6000; ++i) pairs += "😀";
  pairs_book.AddSheet("Pairs").Set(0, 0, XlsCell::Text(pairs));
  const std::vector<Record> pair_records = Records(BuildWorkbookStream(pairs_book));
  std::size_t at = 0;
  while (pair_records[at].id != biff::kSst) ++at;
  std::size_t units = 0;
  for (std::size_t start = 11; at < pair_records.size(); ++at, start = 1) {
    const std::string& data = pair_records[at].data;
    if (start == 1 && pair_records[at].id != biff::kContinue) break;
    EXPECT_LE(data.size(), biff::kMaxRecordDataSize);
    EXPECT_NE(U16At(data, data.size() - 2) & 0xFC00, 0xD800)
        << "a pair is split after record " << at;
    units += (data.size() - start) / 2;
  }
  EXPECT_EQ(units, 12000u);
}

TEST(XlsWriterTest, SixtyFiveThousandRowsNeedDifatSectors) {
  XlsWorkbook workbook;
  XlsSheet& sheet = workbook.AddSheet("Rows");
  for (int r = 0; r < biff::kMaxRows; ++r) {
    for (int c = 0; c < 8; ++c) sheet.Set(r, c, XlsCell::Number(r * 8 + c + 1.0 / 3));
  }
  testing::ScopedTempDir dir;
  WriteXls(dir.path() + "big.xls", workbook);
  const std::string bytes = testing::ReadBytes(dir.path() + "big.xls");
  EXPECT_GE(U32At(bytes, cfb::kHeaderDifatSectorCountOffset), 1u);
  EXPECT_GT(U32At(bytes, cfb::kHeaderFatSectorCountOffset), cfb::kHeaderDifatEntries);
  ASSERT_NO_FATAL_FAILURE(ExpectWorkbookReadsBack(dir.path() + "big.xls", workbook));
}

// What no reader could read back as written is refused with its place; a refused workbook
// leaves the file that was there untouched.
TEST(XlsWriterTest, RefusesWhatCannotBeWritten) {
  const auto with_sheets = [](std::vector<std::string> names) {
    XlsWorkbook workbook;
    for (auto& name : names) workbook.AddSheet(name);
    return workbook;
  };
  const auto with_cell = [](int row, int column, XlsCell cell) {
    XlsWorkbook workbook;
    workbook.AddSheet("S").Set(row, column, std::move(cell));
    return workbook;
  };
  const auto encrypted = [&](std::string password, int key_bits) {
    XlsWorkbook workbook = with_sheets({"S"});
    workbook.options.encryption = XlsEncryption::kRc4CryptoApi;
    workbook.options.password = std::move(password);
    workbook.options.key_bits = key_bits;
    return workbook;
  };
  const std::pair<XlsWorkbook, std::string> cases[] = {
      {XlsWorkbook{}, "a workbook needs at least one sheet"},
      {with_sheets({std::string(32, 'n')}),
       "sheet name \"" + std::string(32, 'n') + "\" has 32 characters; at most 31 are allowed"},
      {with_sheets({"a/"}), "holds the character '/'"},
      {with_sheets({"Übersicht", "ÜBERSICHT"}), "used twice"},
      {with_cell(65536, 0, XlsCell::Number(1)),
       "sheet \"S\", row 65536, column 0: rows run from 0 to 65535"},
      {with_cell(1, 2, XlsCell::Text(std::string(32768, 'x'))),
       "row 1, column 2: a text of 32768 characters is longer than the 32767"},
      {with_cell(0, 0, XlsCell::Number(NAN)), "is not finite (nan)"},
      {with_cell(0, 0, XlsCell::Formula(std::string(8200, 'x'))),
       "a formula text result of 8200 characters is too long"},
      {encrypted("p", 48 + 4),
       "a key of 52 bits; CryptoAPI keys have 40 to 128 bits in steps of 8"},
  };
  for (const auto& [workbook, message] : cases) {
    EXPECT_THAT(testing::ProgramErrorOf([&] { BuildXlsBytes(workbook); }), HasSubstr(message));
  }

  testing::ScopedTempDir dir;
  const std::string path = dir.path() + "keep.xls";
  WriteXls(path, with_sheets({"Fine"}));
  const std::string before = testing::ReadBytes(path);
  EXPECT_THROW(WriteXls(path, with_sheets({"a", "A"})), ProgramError);
  EXPECT_EQ(testing::ReadBytes(path), before);
}

}  // namespace
}  // namespace orvano
