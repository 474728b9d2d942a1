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
#include "xls_writer/xls_writer.h"

namespace orvano {
namespace {

std::shared_ptr<ParsedWorkbook> Parse(const std::string& bytes) {
  return ParseBiffWorkbook(AsBytes(bytes), "w.xls");
}

// The description of the error parsing `bytes` gives; "" when it parses.
std::string ParseError(const std::string& bytes) {
  try {
    Parse(bytes);
  } catch (const UnexpectedError& e) {
    EXPECT_EQ(e.number(), err::kInvalidFileFormat);
    return e.description();
  }
  return "";
}

std::uint16_t Get16(const std::string& b, std::size_t at) {
  return static_cast<std::uint16_t>(static_cast<std::uint8_t>(b[at]) |
                                    (static_cast<std::uint8_t>(b[at + 1]) << 8));
}
void Put32(std::string& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<char>(v >> (8 * i));
}

// File offset of the first record `id` of the workbook stream (our writer starts the stream
// at sector 0, file offset 512, and stores it in one run).
std::size_t FindRecord(const std::string& file, std::uint16_t id) {
  for (std::size_t at = 512; at + 4 <= file.size();) {
    if (Get16(file, at) == id) return at;
    at += 4 + Get16(file, at + 2);
  }
  ADD_FAILURE() << "no record " << id;
  return 0;
}

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
  {  // a record whose length runs past the end of the stream
    std::string bad = good;
    const std::size_t eof = FindRecord(bad, biff::kEof);  // the globals' EOF
    bad[eof + 2] = '\xF0';
    bad[eof + 3] = '\x7F';
    EXPECT_EQ(ParseError(bad), "w.xls: workbook globals, EOF (0x000A) at offset " +
                                   std::to_string(eof - 512) +
                                   ": length 32752 runs past the end of the stream (" +
                                   std::to_string(4096 - (eof - 512) - 4) + " bytes left)");
  }
  {  // an SST that promises more strings than it holds
    std::string bad = good;
    const std::size_t sst = FindRecord(bad, biff::kSst);
    Put32(bad, sst + 8, 5);
    EXPECT_EQ(ParseError(bad), "w.xls: workbook globals, SST (0x00FC) at offset " +
                                   std::to_string(sst - 512) +
                                   ": SST promises 5 strings but holds only 1");
  }
  {  // a LABELSST pointing past the SST
    std::string bad = good;
    const std::size_t label = FindRecord(bad, biff::kLabelSst);
    Put32(bad, label + 10, 9);
    EXPECT_EQ(ParseError(bad), "w.xls: sheet \"One\", LABELSST (0x00FD) at offset " +
                                   std::to_string(label - 512) +
                                   ": string index 9 past the 1 strings of the SST");
  }
  {  // a BOUNDSHEET pointing past the stream
    std::string bad = good;
    Put32(bad, FindRecord(bad, biff::kBoundSheet) + 4, 100000);
    EXPECT_EQ(ParseError(bad),
              "w.xls: sheet \"One\": its BOF offset 100000 lies past the end of the stream "
              "(4096 bytes)");
  }
  {  // an encrypted workbook
    std::string bad = good;
    const std::size_t sst = FindRecord(bad, biff::kSst);
    bad[sst] = static_cast<char>(biff::kFilePass);
    bad[sst + 1] = 0;
    EXPECT_EQ(ParseError(bad), "w.xls: the workbook is password-protected");
  }
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
