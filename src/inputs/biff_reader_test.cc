#include "inputs/biff_reader.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <tuple>

#include "inputs/biff_format.h"
#include "inputs/parsed_workbook.h"
#include "support/byte_reader.h"
#include "support/errors.h"
#include "testing/test_util.h"
#include "xls_writer/cfb_writer.h"
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
using testing::GetLe;
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
      {3, 1, XlsCell::Formula(std::string(300, 'x') + "\xD0\x96"),
       std::string(300, 'x') + "\xD0\x96"},
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

// A full-size sheet keeps only its cells; its strings run across CONTINUE records.
TEST(BiffReaderTest, ReadsSharedStringsAcrossContinueRecordsOfAFullSizeSheet) {
  XlsWorkbook book;
  XlsSheet& s = book.AddSheet("Long");
  std::string mixed;  // switches between 1- and 2-byte parts at record boundaries
  for (int i = 0; i < 6000; ++i) mixed += (i / 1000) % 2 ? "\xC3\xA9" : "\xE2\x82\xAC";
  s.Set(0, 0, XlsCell::Text(mixed));
  s.Set(0, 1, XlsCell::Text(std::string(20000, 'a')));
  for (int r = 1; r < 3000; ++r) s.Set(r, 0, XlsCell::Text("row " + std::to_string(r)));
  s.Set(65535, 255, XlsCell::Text("far"));
  const auto wb = Parse(BuildXlsBytes(book));
  EXPECT_EQ(CellText(wb->Value(0, 0, 0)), mixed);
  EXPECT_EQ(CellText(wb->Value(0, 0, 1)), std::string(20000, 'a'));
  EXPECT_EQ(CellText(wb->Value(0, 2999, 0)), "row 2999");
  const ParsedWorkbook::Sheet& sheet = wb->sheet(0);
  EXPECT_EQ(sheet.rows, 65536u);
  EXPECT_EQ(sheet.columns, 256u);
  EXPECT_EQ(sheet.cells.size(), 3002u);
  EXPECT_EQ(wb->Value(0, 65535, 255), Cell{std::string("far")});
  EXPECT_TRUE(IsNull(wb->Value(0, 65535, 254)));
}

// `value` as `size` little-endian bytes.
std::string Le(std::uint64_t value, int size) {
  std::string bytes(size, '\0');
  PutLe(bytes, 0, value, size);
  return bytes;
}

std::string Record(unsigned id, const std::string& data) {
  return Le(id, 2) + Le(data.size(), 2) + data;
}

// `file`, a workbook our writer made, with `records` put before the EOF of its last sheet; as
// many bytes of the stream's zero padding are dropped, so the stream keeps its size. Sets
// `at` to the stream offset of the first record put in.
std::string WithSheetRecords(std::string file, const std::string& records, std::size_t& at) {
  std::size_t end = 512;  // the stream starts at the second sector
  std::size_t last_eof = 0;
  while (end + 4 <= file.size() && testing::GetLe(file, end, 4) != 0) {
    if (testing::GetLe(file, end, 2) == biff::kEof) last_eof = end;
    end += 4 + testing::GetLe(file, end + 2, 2);
  }
  EXPECT_LE(end + 2 * records.size(), 512u + 4096u) << "too little padding";
  file.insert(last_eof, records);
  file.erase(end + records.size(), records.size());
  at = last_eof - 512;
  return file;
}

// Every record id that carries a cell in some BIFF version: each is read, or refused with a
// message naming the record, never skipped. Each case puts a cell at row 3, column 1.
TEST(BiffReaderTest, EveryCellRecordIsReadOrRefused) {
  using namespace std::string_literals;
  const std::string cell = Le(3, 2) + Le(1, 2) + Le(15, 2);                   // row, column, XF
  const std::string biff2_cell = Le(3, 2) + Le(1, 2) + std::string(3, '\0');  // attributes
  const std::string number = Le(std::bit_cast<std::uint64_t>(7.5), 8);
  const std::string formula = cell + number + Le(0, 2) + Le(0, 4) + Le(0, 2);
  const std::string text_formula =
      Record(0x0006, cell + "\x00\x00\x00\x00\x00\x00\xFF\xFF"s + Le(0, 8));
  const std::string rk = Le((750 << 2) | 3, 4);  // 750 / 100
  struct Case {
    unsigned id;
    const char* name;
    std::string data;
    std::optional<Cell> read;  // nullopt: refused
    std::string before = "";   // records that go before it
  };
  const Case cases[] = {
      {0x0001, "BLANK", biff2_cell, std::nullopt},
      {0x0002, "INTEGER", biff2_cell + Le(7, 2), std::nullopt},
      {0x0003, "NUMBER", biff2_cell + number, std::nullopt},
      {0x0004, "LABEL", biff2_cell + "\x02ok", std::nullopt},
      {0x0005, "BOOLERR", biff2_cell + Le(1, 2), std::nullopt},
      {0x0006, "FORMULA", formula, 7.5},
      {0x0007, "STRING", "\x02ok", std::nullopt, text_formula},
      {0x00BD, "MULRK", Le(3, 2) + Le(1, 2) + Le(15, 2) + rk + Le(15, 2) + rk + Le(2, 2), 7.5},
      {0x00BE, "MULBLANK", Le(3, 2) + Le(1, 2) + Le(15, 2) + Le(15, 2) + Le(2, 2), Cell()},
      {0x00D6, "RSTRING", cell + Le(2, 2) + "\x00ok"s + Le(0, 2), "ok"},
      {0x00FD, "LABELSST", cell + Le(0, 4), "Name"},
      {0x0201, "BLANK", cell, Cell()},
      {0x0203, "NUMBER", cell + number, 7.5},
      {0x0204, "LABEL", cell + Le(2, 2) + "\x00ok"s, "ok"},
      {0x0205, "BOOLERR", cell + Le(1, 2), "TRUE"},
      {0x0206, "FORMULA", formula, 7.5},
      {0x0207, "STRING", Le(2, 2) + "\x00ok"s, "ok", text_formula},
      {0x027E, "RK", cell + rk, 7.5},
      {0x0406, "FORMULA", formula, 7.5},
  };
  const std::string good = BuildXlsBytes(SmallBook());
  for (const Case& c : cases) {
    char id[8];
    std::snprintf(id, sizeof id, "0x%04X", c.id);
    SCOPED_TRACE(id);
    std::size_t at = 0;
    const std::string file = WithSheetRecords(good, c.before + Record(c.id, c.data), at);
    if (c.read) {
      EXPECT_EQ(Parse(file)->Value(0, 3, 1), *c.read);
    } else {
      EXPECT_EQ(ParseError(file), "w.xls: sheet \"One\", " + std::string(c.name) + " (" + id +
                                      ") at offset " + std::to_string(at + c.before.size()) +
                                      ": a BIFF2 cell record, which BIFF5-8 worksheets do not "
                                      "hold, is not read");
    }
  }
}

// The workbook stream's structure and records that break their own rules, each with its place.
TEST(BiffReaderTest, ReportsDamageWithFileAndPlace) {
  using namespace std::string_literals;
  const std::string good = BuildXlsBytes(SmallBook());
  // The stream offset of the first record `id`.
  const auto offset = [&](unsigned id) { return std::to_string(FindBiffRecord(good, id) - 512); };
  const std::size_t eof = FindBiffRecord(good, biff::kEof) - 512;  // the globals' EOF
  struct Case {
    unsigned id;  // the field at `field` of the first record `id` is set to `value`
    std::size_t field;
    std::uint64_t value;
    int size;
    std::string message;
  };
  const Case cases[] = {
      {biff::kEof, 2, 0x7FF0, 2,
       "workbook globals, EOF (0x000A) at offset " + offset(biff::kEof) +
           ": length 32752 runs past the end of the stream (" + std::to_string(4096 - eof - 4) +
           " bytes left)"},
      {biff::kSst, 8, 5, 4,
       "workbook globals, SST (0x00FC) at offset " + offset(biff::kSst) +
           ": SST promises 5 strings but holds only 1"},
      {biff::kLabelSst, 10, 9, 4,
       "sheet \"One\", LABELSST (0x00FD) at offset " + offset(biff::kLabelSst) +
           ": string index 9 past the 1 strings of the SST"},
      {biff::kBoundSheet, 4, 100000, 4,
       "sheet \"One\": its BOF offset 100000 lies past the end of the stream (4096 bytes)"},
      {biff::kBoundSheet, 4, eof, 4,
       "sheet \"One\", EOF (0x000A) at offset " + std::to_string(eof) +
           ": no BOF record at the offset its BOUNDSHEET gives"},
      {biff::kSst, 0, biff::kFilePass, 2, "the workbook is password-protected"},
      {biff::kBof, 4, 0x0300, 2, "not a BIFF workbook: unknown BIFF version 0x0300"},
      {biff::kBof, 6, biff::kSubstreamWorksheet, 2,
       "the workbook stream does not start with the workbook globals (BOF type 0x0010)"},
      {biff::kBof, 0, 0x0409, 2, "not a BIFF workbook: BIFF2-4 files are not read"},
      {biff::kBof, 0, 0x1234, 2,
       "not a BIFF workbook: the workbook stream does not start with a BOF record"},
      {biff::kBof, 2, 2, 2,
       "workbook globals, BOF (0x0809) at offset 0: offset 6: needs 2 bytes, 0 left"},
  };
  for (const Case& c : cases) {
    std::string bad = good;
    PutLe(bad, FindBiffRecord(bad, c.id) + c.field, c.value, c.size);
    EXPECT_EQ(ParseError(bad), "w.xls: " + c.message);
  }
  std::size_t at_eof = 0;
  std::string bad = WithSheetRecords(good, "", at_eof);  // `at_eof`: the sheet's EOF
  PutLe(bad, 512 + at_eof, 0x00FF, 2);  // the last record read: 4-byte zero padding
  EXPECT_EQ(ParseError(bad), "w.xls: sheet \"One\", record (0x0000) at offset " +
                                 std::to_string(at_eof + (4096 - at_eof) / 4 * 4 - 4) +
                                 ": no EOF record before the end of the stream");

  const std::string cell = Le(3, 2) + Le(1, 2) + Le(15, 2);
  const std::string rk = Le((750 << 2) | 3, 4);
  const std::pair<std::string, std::string> records[] = {
      {Record(biff::kNumber, Le(3, 2) + Le(256, 2) + Le(15, 2) + Le(0, 8)),
       "NUMBER (0x0203) at offset @: column 256 outside 0..255"},
      {Record(biff::kMulRk, cell + "\x01"),
       "MULRK (0x00BD) at offset @: length 7 does not hold whole cells"},
      {Record(biff::kMulRk, cell + rk + Le(15, 2) + rk + Le(5, 2)),
       "MULRK (0x00BD) at offset @: columns 1 to 5 do not match its 2 cells"},
      {Record(biff::kLabel, cell + Le(10, 2) + "\x00ok"s),
       "LABEL (0x0204) at offset @: string of 10 characters runs past the end of its records"},
      {Record(biff::kLabel, cell + Le(2, 2) + "\x01o\x00k"s),
       "LABEL (0x0204) at offset @: a character is split between two records"},
      {Record(biff::kLabel, cell + Le(2, 2) + "\x08"s + Le(0xFFFF, 2) + "ok"),
       "LABEL (0x0204) at offset @: offset #: needs 262140 bytes, 0 left"},
  };
  for (const auto& [record, message] : records) {
    std::size_t at = 0;
    const std::string file = WithSheetRecords(good, record, at);
    std::string expected = "w.xls: sheet \"One\", " + message;
    expected.replace(expected.find('@'), 1, std::to_string(at));
    if (const std::size_t end = expected.find('#'); end != std::string::npos) {
      expected.replace(end, 1, std::to_string(at + record.size()));
    }
    EXPECT_EQ(ParseError(file), expected);
  }
}

// A BIFF5 workbook ("Book" stream) in code page 1251, its sheet holding a LABEL whose length
// field says `label_length` and a formula with a text result. Built here: our writer writes
// BIFF8 only.
std::string Biff5Book(std::uint16_t label_length = 6) {
  const std::string name = "\xCB\xE8\xF1\xF2";  // "Лист"
  const auto bof = [](unsigned type) {
    return Record(biff::kBof, Le(0x0500, 2) + Le(type, 2) + Le(0, 4));
  };
  const std::string head = bof(biff::kSubstreamGlobals) + Record(biff::kCodePage, Le(1251, 2));
  const std::size_t sheet_at = head.size() + 4 + 7 + name.size() + 4;
  std::string stream =
      head + Record(biff::kBoundSheet, Le(sheet_at, 4) + Le(0, 2) + Le(name.size(), 1) + name) +
      Record(biff::kEof, "") + bof(biff::kSubstreamWorksheet) +
      Record(biff::kLabel, Le(1, 2) + Le(2, 2) + Le(15, 2) + Le(label_length, 2) +
                               "\xCF\xF0\xE8\xE2\xE5\xF2") +  // "Привет"
      Record(biff::kFormula,
             Le(2, 2) + Le(0, 2) + Le(15, 2) + Le(0xFFFF000000000000, 8) + Le(0, 8)) +
      Record(biff::kString, Le(4, 2) + "\xE8\xF2\xEE\xE3") +  // "итог"
      Record(biff::kEof, "");
  stream.resize(4096, '\0');
  EXPECT_EQ(GetLe(stream, sheet_at, 2), biff::kBof);
  return BuildCompoundFile("Book", stream);
}

TEST(BiffReaderTest, ReadsBiff5WorkbooksInTheirCodePage) {
  const auto wb = Parse(Biff5Book());
  ASSERT_EQ(wb->sheet_count(), 1u);
  EXPECT_EQ(wb->sheet(0).name, "\xD0\x9B\xD0\xB8\xD1\x81\xD1\x82");
  EXPECT_EQ(wb->Value(0, 1, 2),
            Cell{std::string("\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82")});
  EXPECT_EQ(wb->Value(0, 2, 0), Cell{std::string("\xD0\xB8\xD1\x82\xD0\xBE\xD0\xB3")});
  EXPECT_EQ(
      ParseError(Biff5Book(7)),
      "w.xls: sheet \"\xD0\x9B\xD0\xB8\xD1\x81\xD1\x82\", LABEL (0x0204) at offset 49: offset 61: "
      "needs 7 bytes, 6 left");
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
