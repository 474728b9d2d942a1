#include "jet/jet_row.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/byte_reader.h"
#include "testing/test_util.h"

namespace orvano {
namespace {

JetRowColumn Fixed(unsigned number, std::size_t offset, std::size_t size) {
  return {.number = number, .is_fixed = true, .fixed_offset = offset, .fixed_size = size};
}

JetRowColumn Variable(unsigned number, unsigned index) {
  return {.number = number, .var_index = index};
}

// A Jet 4 row of `column_count` columns: the fixed part, the variable values in order (each
// starting where the previous ends), the offset table and the null mask `mask`.
std::string Jet4Row(unsigned column_count, const std::string& fixed,
                    const std::vector<std::string>& values, const std::string& mask) {
  std::string row(2, '\0');
  testing::PutLe(row, 0, column_count, 2);
  row += fixed;
  std::vector<std::size_t> offsets;
  for (const std::string& value : values) {
    offsets.push_back(row.size());
    row += value;
  }
  offsets.push_back(row.size());
  for (std::size_t i = offsets.size(); i-- > 0;) {
    row += "  ";
    testing::PutLe(row, row.size() - 2, offsets[i], 2);
  }
  row += "  ";
  testing::PutLe(row, row.size() - 2, values.size(), 2);
  return row + mask;
}

std::string FieldText(const std::string& row, const JetField& field) {
  if (!field.is_set) return "null";
  return row.substr(field.offset, field.size);
}

std::vector<std::string> Read(const std::string& row, std::vector<JetRowColumn> columns,
                              JetVersion version = JetVersion::kJet4) {
  std::vector<std::string> texts;
  for (const JetField& field : CrackJetRow(AsBytes(row), version, columns)) {
    texts.push_back(FieldText(row, field));
  }
  return texts;
}

std::string DamageOf(const std::string& row, std::vector<JetRowColumn> columns) {
  return testing::ThrownBy([&] { CrackJetRow(AsBytes(row), JetVersion::kJet4, columns); })
      .description;
}

// Columns by number, as the current definition has them: 0 "Id" fixed (4 bytes), 1 deleted
// fixed, 2 "Flag" Yes/No, 3 "Name" variable (index 0), 4 deleted variable (index 1), 5 "Note"
// variable (index 2), then added later: 6 "More" fixed (at 8), 7 "Extra" variable (index 3).
const std::vector<JetRowColumn> kCurrent = {Fixed(0, 0, 4), Fixed(2, 0, 0), Variable(3, 0),
                                            Variable(5, 2), Fixed(6, 8, 2), Variable(7, 3)};

TEST(JetRowTest, FindsColumnsByNumberInRowsOfEveryAge) {
  // Written before the deletions and additions: 6 columns, all set.
  const std::string old_row = Jet4Row(6, "IDIDgone", {"name", "deleted", "note"}, "\x3f");
  EXPECT_EQ(Read(old_row, kCurrent),
            (std::vector<std::string>{"IDID", "", "name", "note", "null", "null"}));
  // Written afterwards: the deleted columns keep their places, null.
  const std::string new_row =
      Jet4Row(8, std::string("IDID\0\0\0\0MM", 10), {"name", "", "note", "extra"}, "\xed");
  EXPECT_EQ(Read(new_row, kCurrent),
            (std::vector<std::string>{"IDID", "", "name", "note", "MM", "extra"}));
  // A null mask bit clear: null (Yes/No: No), whatever the place holds.
  const std::string nulls =
      Jet4Row(8, std::string("IDID\0\0\0\0MM", 10), {"", "", "note", "extra"}, "\x80");
  EXPECT_EQ(Read(nulls, kCurrent),
            (std::vector<std::string>{"null", "null", "null", "null", "null", "extra"}));
  // Only fixed columns asked for: a row without an offset table is fine for them.
  std::string bare(2, '\0');
  bare[0] = 2;
  bare += "IDIDgone\x01";
  EXPECT_EQ(Read(bare, {Fixed(0, 0, 4), Fixed(6, 8, 2), Variable(7, 3)}),
            (std::vector<std::string>{"IDID", "null", "null"}));
}

TEST(JetRowTest, ReadsJet3OffsetsAcrossJumps) {
  // 3 variable columns whose values cross offset 256: the jump table says from which column on
  // the offsets count from 256.
  std::string row(1, '\x03');
  row += std::string(200, 'a') + std::string(100, 'b') + std::string(10, 'c');
  row += std::string{static_cast<char>(311 - 256),
                     static_cast<char>(301 - 256),
                     static_cast<char>(201),
                     '\x01',
                     '\x02',
                     '\x03',
                     '\x07'};
  const auto texts = Read(row, {Variable(0, 0), Variable(1, 1), Variable(2, 2)}, JetVersion::kJet3);
  EXPECT_EQ(texts, (std::vector<std::string>{std::string(200, 'a'), std::string(100, 'b'),
                                             std::string(10, 'c')}));
  // A row just over 256 bytes whose offsets all lie below 256 has a filler jump entry.
  std::string filler(1, '\x01');
  filler += std::string(252, 'x') + std::string{'\xfd', '\x01', '\xff', '\x01', '\x01'};
  ASSERT_EQ(filler.size(), 258u);
  EXPECT_EQ(Read(filler, {Variable(0, 0)}, JetVersion::kJet3),
            std::vector<std::string>{std::string(252, 'x')});
}

TEST(JetRowTest, RejectsRowsThatContradictThemselves) {
  const std::string row = Jet4Row(6, "IDIDgone", {"name", "deleted", "note"}, "\x3f");
  auto with_u16 = [&](std::size_t at, unsigned value) {
    return testing::WithLe(row, at, value, 2);
  };
  const std::size_t var_count_at = row.size() - 3;
  EXPECT_EQ(DamageOf(with_u16(0, 300), kCurrent),
            "the row of 36 bytes cannot hold the null mask of 300 columns");
  EXPECT_EQ(DamageOf(with_u16(var_count_at, 20), kCurrent),
            "the offset table of 20 variable columns does not fit in the row of 36 bytes");
  EXPECT_EQ(DamageOf(with_u16(var_count_at, 1), kCurrent),
            "column number 5 has a value but the row has no entry 2 in its offset table of 1 "
            "entries");
  EXPECT_EQ(DamageOf(with_u16(var_count_at - 2, 30), kCurrent),  // the first value's start
            "column number 3: its value from offset 30 to 14 lies outside the row's data, from 2 "
            "to 25");
  EXPECT_EQ(
      DamageOf(row, {Fixed(0, 20, 8), Variable(3, 0)}),
      "column number 0: its 8 bytes at offset 22 lie beyond the row's data, which ends at 25");
  EXPECT_EQ(DamageOf("", kCurrent), "the row of 0 bytes is empty");
}

// Every cut of a row either fails as damage or places every value inside what is left.
TEST(JetRowTest, CutRowsNeverReadOutside) {
  const std::string row =
      Jet4Row(8, std::string("IDID\0\0\0\0MM", 10), {"n", "", "no", "x"}, "\xed\x00");
  for (JetVersion version : {JetVersion::kJet3, JetVersion::kJet4}) {
    for (std::size_t size = 0; size <= row.size(); ++size) {
      const std::string cut = row.substr(0, size);
      try {
        for (const JetField& field : CrackJetRow(AsBytes(cut), version, kCurrent)) {
          EXPECT_LE(field.offset + field.size, size) << "cut at " << size;
        }
      } catch (const DataError&) {
      }
    }
  }
}

}  // namespace
}  // namespace orvano
