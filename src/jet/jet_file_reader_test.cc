#include "jet/jet_file_reader.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "jet/jet4_format.h"
#include "mdb_table.h"
#include "mdb_writer.h"
#include "support/errors.h"
#include "testing/test_util.h"

namespace orvano {
namespace {

using testing::GetLe;
using testing::PutLe;
using tools::MdbType;
using Row = std::vector<tools::MdbValue>;
using Texts = std::vector<std::vector<std::string>>;

constexpr std::size_t kPage = jet4::kPageSize;
constexpr std::size_t kTablePage = 3;  // the definition of the first user table

// What `action` threw, as "number: description"; "" when it threw nothing.
std::string ErrorOf(const std::function<void()>& action) {
  const testing::Thrown thrown = testing::ThrownBy(action);
  return thrown.number == -1 ? "" : std::to_string(thrown.number) + ": " + thrown.description;
}

// The rows of table "T" of the database `bytes`, each cell as text ("null" for null).
Texts ReadT(const std::string& bytes) {
  const Table table = JetFileReader::Open(bytes, "db.mdb")->ReadTable("T", {});
  Texts rows;
  for (std::size_t r = 0; r < table.row_count(); ++r) {
    rows.emplace_back();
    for (std::size_t c = 0; c < table.column_count(); ++c) {
      rows.back().push_back(IsNull(table.At(c, r)) ? "null" : table.TextAt(c, r));
    }
  }
  return rows;
}

std::string ReadError(const std::string& bytes) {
  return ErrorOf([&] { ReadT(bytes); });
}

// Table "T": a number and a memo per row; the first row's memo is `memo`.
std::string Database(const std::string& memo) {
  return tools::BuildMdb({{"T",
                           {{"Id", MdbType::kLongInteger}, {"Note", MdbType::kMemo}},
                           {Row{std::int64_t{1}, memo}, Row{std::int64_t{2}, "short"},
                            Row{std::int64_t{3}, std::monostate{}}}}});
}

// The file offset of T's first data page.
std::size_t DataPage(const std::string& bytes) {
  for (std::size_t at = kPage; at < bytes.size(); at += kPage) {
    if (bytes[at] == jet4::kPageTypeData &&
        GetLe(bytes, at + jet4::kDataOwnerOffset, 4) == kTablePage) {
      return at;
    }
  }
  ADD_FAILURE() << "no data page";
  return 0;
}

constexpr char kDamaged[] = "3343: Damaged database: db.mdb";
constexpr char kTableDamaged[] = "3343: Damaged database: db.mdb (table 'T')";

TEST(JetFileReaderTest, RefusesWhatIsNoWholeJetFile) {
  const std::string good = Database("memo");
  std::string foreign = good;
  foreign[jet4::kHeaderFormatIdOffset + 9] = 'X';
  const std::pair<std::string, std::string> cases[] = {
      {"", "3343: Not a database: db.mdb"},
      {std::string("\0\1\0\0Standard Jet", 14), kDamaged},
      {foreign, "3343: Not a database: db.mdb"},
      {good.substr(0, good.size() - 100), kDamaged},
      {good.substr(0, 2 * kPage), kDamaged},
  };
  for (const auto& [bytes, message] : cases) {
    EXPECT_EQ(ErrorOf([&] { JetFileReader::Open(bytes, "db.mdb"); }), message) << message;
  }
  EXPECT_EQ(ErrorOf([&] { JetFileReader::Open(good, "db.mdb")->ReadTable("X", {}); }),
            "3078: Could not find table 'X' in 'db.mdb'");
  EXPECT_EQ(ErrorOf([&] { JetFileReader::Open(good, "db.mdb")->ColumnNames("MSysObjects"); }),
            "3078: Could not find table 'MSysObjects' in 'db.mdb'");
  EXPECT_EQ(ErrorOf([&] {
              JetFileReader::Open(good, "db.mdb")->ReadTable("t", {"id", "Z"});
            }),
            "3061: Could not find column 'Z' in table 't' of 'db.mdb'");
}

TEST(JetFileReaderTest, ChecksTheRowsOfDataPages) {
  const std::string good = Database("memo");
  EXPECT_EQ(ReadT(good), (Texts{{"1", "memo"}, {"2", "short"}, {"3", "null"}}));
  const std::size_t page = DataPage(good);
  const std::size_t count = page + jet4::kDataRowCountOffset;
  const std::size_t offsets = page + jet4::kDataRowOffsetsOffset;
  const auto with = [&](std::size_t at, std::uint64_t value, int size) {
    return testing::WithLe(good, at, value, size);
  };
  EXPECT_EQ(ReadError(with(count, 0xFFFF, 2)), kTableDamaged);
  EXPECT_EQ(ReadError(with(offsets + 2, GetLe(good, offsets, 2), 2)), kTableDamaged);  // empty
  EXPECT_EQ(ReadError(with(offsets + 2, 4090, 2)), kTableDamaged);  // too short for its row
  // A deleted row is passed over; the definition's count no longer counts it.
  std::string deleted = with(offsets, GetLe(good, offsets, 2) | 0x4000, 2);
  EXPECT_EQ(ReadError(deleted), kTableDamaged);
  PutLe(deleted, kTablePage * kPage + jet4::kTdefRowCountOffset, 2, 4);
  EXPECT_EQ(ReadT(deleted), (Texts{{"2", "short"}, {"3", "null"}}));
}

// Sets the first four bytes (a chain row's pointer to the next) of every row on the file's
// long-value pages to what `pointer` gives for (page, row).
std::string WithChainPointers(
    std::string bytes, const std::function<std::uint32_t(std::size_t, std::size_t)>& pointer) {
  for (std::size_t page = kPage; page < bytes.size(); page += kPage) {
    if (bytes.compare(page + 4, 4, "LVAL") != 0) continue;
    for (std::size_t row = 0; row < GetLe(bytes, page + 12, 2); ++row) {
      const std::size_t at = page + (GetLe(bytes, page + 14 + 2 * row, 2) & 0x1fff);
      PutLe(bytes, at, pointer(page / kPage, row), 4);
    }
  }
  return bytes;
}

TEST(JetFileReaderTest, MemosAreReadWholeOrNotAtAll) {
  std::string chained;  // 9100 characters: a chain of long-value rows
  for (int i = 0; i < 910; ++i)
    chained += "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82 m\xC3\xBC ";
  const std::string bytes = Database(chained);
  EXPECT_EQ(ReadT(bytes)[0][1], chained);
  const std::pair<const char*, std::function<std::uint32_t(std::size_t, std::size_t)>> damages[] = {
      {"chain cut after its first row", [](std::size_t, std::size_t) { return 0u; }},
      {"next row beyond the file", [](std::size_t, std::size_t) { return 0x7fffff00u; }},
      {"row outside its page",
       [](std::size_t page, std::size_t) { return static_cast<std::uint32_t>(page << 8 | 200); }},
      {"every row its own next", [](std::size_t page, std::size_t row) {
         return static_cast<std::uint32_t>(page << 8 | row);
       }}};
  for (const auto& [what, pointer] : damages) {
    EXPECT_EQ(ReadError(WithChainPointers(bytes, pointer)), kTableDamaged) << what;
  }

  // A memo in one long-value row: its field is the length with the single-row flag, then the
  // row's pointer.
  const std::string single = Database(std::string(100, 'x'));
  const std::size_t field = single.find(std::string("\xC8\0\0\x40", 4));
  ASSERT_NE(field, std::string::npos);
  std::string bad = single;
  bad[field + 3] = '\x20';  // a flag no writer sets
  EXPECT_EQ(ReadError(bad), kTableDamaged);
  bad = single;
  PutLe(bad, field + 4, 0x7fffff00, 4);
  EXPECT_EQ(ReadError(bad), kTableDamaged);

  // A memo longer than the reader takes is refused, not cut.
  std::string huge;
  for (int i = 0; i < 360000; ++i) huge += "\xE4\xBD\xA0";
  EXPECT_EQ(ReadError(Database(huge)),
            "3343: Text longer than 1048572 bytes in column 'Note' of table 'T' in db.mdb");
}

TEST(JetFileReaderTest, ReadsTextsOfEveryKindOfCharacter) {
  // Plain texts are converted by the reader, the others by libmdb; both give the same UTF-8.
  const std::vector<std::string> texts = {"",
                                          "a",
                                          "abcd",
                                          "abcdefghi",
                                          "Z\xC3\xA4hler \xE2\x82\xAC 5",
                                          "\xD0\x9F\xD1\x80\xD0\xB8",
                                          "private \xEE\x80\x80 use",
                                          "\xEF\xBF\xBD",
                                          "abc\xEF\xBC\xA1"
                                          "defgh"};
  std::vector<Row> rows;
  for (const std::string& text : texts) rows.push_back(Row{text, text});
  const std::string bytes = tools::BuildMdb(
      {{"T", {{"Name", MdbType::kText}, {"Note", MdbType::kMemo}}, std::move(rows)}});
  const Texts read = ReadT(bytes);
  ASSERT_EQ(read.size(), texts.size());
  for (std::size_t r = 0; r < texts.size(); ++r) {
    EXPECT_EQ(read[r], (std::vector<std::string>{texts[r], texts[r]}));
  }

  // A compressed text: FF FE, then one byte per character.
  std::string compressed = Database("wxyz");
  const std::size_t memo = compressed.find(std::string("w\0x\0y\0z\0", 8));
  ASSERT_NE(memo, std::string::npos);
  compressed.replace(memo, 8,
                     "\xFF\xFE"
                     "abcdef");
  EXPECT_EQ(ReadT(compressed)[0][1], "abcdef");
}

}  // namespace
}  // namespace orvano
