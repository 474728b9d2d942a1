#include "inputs/biff_reader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <tuple>

#include "inputs/biff_format.h"
#include "inputs/parsed_workbook.h"
#include "support/byte_reader.h"
#include "support/errors.h"
#include "testing/test_util.h"
#include "xls_writer/xls_writer.h"

namespace orvano {
namespace {

std::shared_ptr<ParsedWorkbook> Parse(const std::string& bytes) {
  return ParseBiffWorkbook(AsBytes(bytes), "w.xls");
}

// The description of the error parsing `bytes` gives.
std::string ParseError(const std::string& bytes) {
  const testing::Thrown thrown = testing::ThrownBy([&] { Parse(bytes); });
  EXPECT_EQ(thrown.number, err::kInvalidFileFormat) << thrown.description;
  return thrown.description;
}

using testing::FindBiffRecord;
using testing::PutLe;

XlsWorkbook SmallBook() {
  XlsWorkbook book;
  XlsSheet& s = book.AddSheet("One");
  s.Set(0, 0, XlsCell::Text("Name"));
  s.Set(1, 2, XlsCell::Number(2.5));
  return book;
}

TEST(BiffReaderTest, ReadsEveryCellKindInEveryEncoding) {
  const std::string text = "\xCE\xB1\xCE\xB2 \xF0\x9F\x98\x80 caf\xC3\xA9";
  // Each cell as written and as read.
  const std::tuple<int, int, XlsCell, Cell> cells[] = {
      {0, 0, XlsCell::Text(text), text},
      {0, 1, XlsCell::Text(""), std::string()},
      {1, 1, XlsCell::Number(0.1), 0.1},
      {1, 2, XlsCell::Number(123456789), 123456789.0},
      {1, 3, XlsCell::Number(1.0 / 3), 1.0 / 3},
      {2, 0, XlsCell::Bool(false), std::string("FALSE")},
      {2, 1, XlsCell::Error(XlsError::kNa), std::string("#N/A")},
      {3, 0, XlsCell::Formula(7.25), 7.25},
      {3, 1, XlsCell::Formula(std::string(300, 'x')), std::string(300, 'x')},
      {3, 2, XlsCell::Formula(true), std::string("TRUE")},
      {3, 3, XlsCell::Formula(XlsError::kDiv0), std::string("#DIV/0!")},
      {3, 4, XlsCell::Formula(std::string()), std::string()},
      {4, 0, XlsCell::Blank(), Cell()},
      {4, 1, XlsCell::Blank(), Cell()},
      {9, 7, XlsCell::Blank(), Cell()},  // blanks do not widen the sheet
  };
  for (bool shared : {true, false}) {
    for (bool runs : {true, false}) {
      SCOPED_TRACE(std::to_string(shared) + std::to_string(runs));
      XlsWorkbook book;
      book.options.shared_strings = shared;
      book.options.combine_runs = runs;
      XlsSheet& s = book.AddSheet("Kinds");
      for (const auto& [row, column, written, read] : cells) s.Set(row, column, written);
      s.Set(1, 0, XlsCell::Number(-0.0));
      const auto wb = Parse(BuildXlsBytes(book));
      ASSERT_EQ(wb->sheet_count(), 1u);
      EXPECT_EQ(wb->sheet(0).name, "Kinds");
      EXPECT_EQ(wb->sheet(0).rows, 4u);
      EXPECT_EQ(wb->sheet(0).columns, 5u);
      for (const auto& [row, column, written, read] : cells) {
        EXPECT_EQ(wb->Value(0, row, column), read) << row << ", " << column;
      }
      EXPECT_TRUE(std::signbit(std::get<double>(wb->Value(0, 1, 0))));
      EXPECT_TRUE(IsNull(wb->Value(0, 0, 200)));
    }
  }
}

TEST(BiffReaderTest, ReadsSharedStringsAcrossContinueRecords) {
  XlsWorkbook book;
  XlsSheet& s = book.AddSheet("Long");
  std::string mixed;  // switches between 1- and 2-byte parts at record boundaries
  for (int i = 0; i < 6000; ++i) mixed += (i / 1000) % 2 ? "\xC3\xA9" : "\xE2\x82\xAC";
  s.Set(0, 0, XlsCell::Text(mixed));
  s.Set(0, 1, XlsCell::Text(std::string(20000, 'a')));
  for (int r = 1; r < 3000; ++r) s.Set(r, 0, XlsCell::Text("row " + std::to_string(r)));
  const auto wb = Parse(BuildXlsBytes(book));
  EXPECT_EQ(CellText(wb->Value(0, 0, 0)), mixed);
  EXPECT_EQ(CellText(wb->Value(0, 0, 1)), std::string(20000, 'a'));
  EXPECT_EQ(CellText(wb->Value(0, 2999, 0)), "row 2999");
}

TEST(BiffReaderTest, FullSizeSheetKeepsOnlyItsCells) {
  XlsWorkbook book;
  XlsSheet& s = book.AddSheet("Big");
  s.Set(0, 0, XlsCell::Text("corner"));
  s.Set(40000, 100, XlsCell::Number(4));
  s.Set(65535, 255, XlsCell::Text("far"));
  const auto wb = Parse(BuildXlsBytes(book));
  const ParsedWorkbook::Sheet& sheet = wb->sheet(0);
  EXPECT_EQ(sheet.rows, 65536u);
  EXPECT_EQ(sheet.columns, 256u);
  EXPECT_EQ(sheet.cells.size(), 3u);
  EXPECT_EQ(wb->Value(0, 40000, 100), Cell{4.0});
  EXPECT_EQ(wb->Value(0, 65535, 255), Cell{std::string("far")});
  EXPECT_TRUE(IsNull(wb->Value(0, 65535, 254)));
}

TEST(BiffReaderTest, ReportsDamageWithFileAndPlace) {
  const std::string good = BuildXlsBytes(SmallBook());
  // The error after the field at `field` of the first record `id` is set to `value`.
  const auto damaged = [&](unsigned id, std::size_t field, std::uint64_t value, int size) {
    std::string bad = good;
    PutLe(bad, FindBiffRecord(bad, id) + field, value, size);
    return ParseError(bad);
  };
  const std::size_t eof = FindBiffRecord(good, biff::kEof) - 512;  // the globals' EOF
  EXPECT_EQ(damaged(biff::kEof, 2, 0x7FF0, 2),
            "w.xls: workbook globals, EOF (0x000A) at offset " + std::to_string(eof) +
                ": length 32752 runs past the end of the stream (" +
                std::to_string(4096 - eof - 4) + " bytes left)");
  EXPECT_EQ(damaged(biff::kSst, 8, 5, 4),
            "w.xls: workbook globals, SST (0x00FC) at offset " +
                std::to_string(FindBiffRecord(good, biff::kSst) - 512) +
                ": SST promises 5 strings but holds only 1");
  EXPECT_EQ(damaged(biff::kLabelSst, 10, 9, 4),
            "w.xls: sheet \"One\", LABELSST (0x00FD) at offset " +
                std::to_string(FindBiffRecord(good, biff::kLabelSst) - 512) +
                ": string index 9 past the 1 strings of the SST");
  EXPECT_EQ(damaged(biff::kBoundSheet, 4, 100000, 4),
            "w.xls: sheet \"One\": its BOF offset 100000 lies past the end of the stream "
            "(4096 bytes)");
  EXPECT_EQ(damaged(biff::kSst, 0, biff::kFilePass, 2),  // an encrypted workbook
            "w.xls: the workbook is password-protected");
}

TEST(BiffReaderTest, EveryTruncationIsAnError) {
  const std::string good = BuildXlsBytes(SmallBook());
  for (std::size_t n = 0; n < good.size(); ++n) {
    const std::string message = ParseError(good.substr(0, n));
    ASSERT_EQ(message.rfind("w.xls: ", 0), 0u) << n << ": " << message;
  }
}

}  // namespace
}  // namespace orvano
