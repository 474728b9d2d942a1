#include "inputs/text_database.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "mdb_writer.h"
#include "support/errors.h"
#include "support/string_helpers.h"
#include "testing/test_util.h"

namespace orvano {
namespace {

using tools::MdbTable;
using tools::MdbType;
using tools::MdbValue;
using Strings = std::vector<std::string>;

const MdbValue kNull;

// TidxGroups rows {ID, ParentID, Name}; TidxTexts rows {ParentID, Name, L1031, L1033}.
std::vector<MdbTable> Project(std::vector<std::vector<MdbValue>> groups,
                              std::vector<std::vector<MdbValue>> texts) {
  using enum MdbType;
  return {{"TidxGroups",
           {{"ID", kLongInteger}, {"ParentID", kLongInteger}, {"Name", kText}},
           std::move(groups)},
          {"TidxTexts",
           {{"ParentID", kLongInteger}, {"Name", kText}, {"L1031", kMemo}, {"L1033", kMemo}},
           std::move(texts)}};
}

// Column `column` of entry `k`, as texts.
Strings Column(const TextTable& texts, std::size_t k = 0, std::size_t column = 0) {
  Strings result;
  const Table rows = DepthRows(texts, k);
  for (std::size_t r = 0; r < rows.row_count(); ++r) result.push_back(rows.TextAt(column, r));
  return result;
}

class TextDatabaseTest : public ::testing::Test {
 protected:
  void Write(const std::vector<MdbTable>& tables) { tools::WriteMdb(path_, tables); }

  std::optional<TextTable> Read(std::string_view language_id) {
    return ReadTextDatabase(path_, language_id, sink_);
  }

  testing::ScopedTempDir dir_;
  const std::string path_ = dir_.path() + "Orvano.mdb";
  testing::RecordingErrorSink sink_;
};

TEST_F(TextDatabaseTest, BuildsEveryDepthAsTheJoinsDo) {
  // Root > A > B > C > D > E (six levels); "" and two "Dup" under Root; "X.Y" holds a dot;
  // 20 and 21 are each other's parent, 30's parent is missing.
  using S = std::string;
  // clang-format off
  Write(Project(
      {{1, kNull, S("Root")}, {2, 1, S("A")}, {3, 2, S("B")}, {4, 3, S("C")}, {5, 4, S("D")},
       {6, 5, S("E")}, {7, 1, S("")}, {8, kNull, S("a")}, {9, 1, S("Dup")}, {10, 1, S("Dup")},
       {11, kNull, S("X.Y")}, {12, kNull, S("X")}, {20, 21, S("P")}, {21, 20, S("Q")},
       {30, 999, S("Orphan")}},
      {{6, S("Deep"), S("tief"), S("deep")}, {1, S("Top"), S("oben"), kNull},
       {7, S("Blank"), kNull, S("blank")}, {1, S("Top"), kNull, S("second")},
       {8, S("x"), kNull, S("small")}, {4, S("Mid"), kNull, S("middle")},
       {9, S("b"), kNull, S("b9")}, {10, S("a"), kNull, S("a10")}, {11, S("a"), kNull, S("xya")},
       {12, S("Z"), kNull, S("xz")}, {12, S("Y"), kNull, S("xy")}, {20, S("y"), kNull, S("2")},
       {30, S("z"), kNull, S("3")}, {777, S("lost"), kNull, S("4")},
       {kNull, S("none"), kNull, S("5")}}));
  // clang-format on
  std::optional<TextTable> read = Read("1033");
  ASSERT_TRUE(read);
  const TextTable& texts = *read;
  EXPECT_TRUE(sink_.failures.empty());

  // Exact code-unit order (upper case first), whatever order the engine's joins deliver.
  EXPECT_EQ(Column(texts, 0),
            (Strings{".Blank", "C.Mid", "Dup.a", "Dup.b", "E.Deep", "Orphan.z", "P.y", "Root.Top",
                     "Root.Top", "X.Y", "X.Y.a", "X.Z", "a.x"}));
  EXPECT_EQ(Column(texts, 0, 1), (Strings{"blank", "middle", "a10", "b9", "deep", "3", "2", "",
                                          "second", "xy", "xya", "xz", "small"}));
  EXPECT_TRUE(IsNull(DepthRows(texts, 0).At(1, 7)));
  EXPECT_EQ(Column(texts, 1),
            (Strings{"B.C.Mid", "D.E.Deep", "Q.P.y", "Root..Blank", "Root.Dup.a", "Root.Dup.b"}));
  EXPECT_EQ(Column(texts, 3), (Strings{"B.C.D.E.Deep", "Q.P.Q.P.y", "Root.A.B.C.Mid"}));
  EXPECT_EQ(Column(texts, 4), (Strings{"A.B.C.D.E.Deep", "P.Q.P.Q.P.y"}));
  for (std::size_t k = 0; k < 5; ++k) {
    const Table table = DepthRows(texts, k);
    Table sorted = table;
    SortRowsByFirstColumn(sorted);
    EXPECT_EQ(sorted.rows(), table.rows());
  }
  EXPECT_EQ(CellText(*FindText(texts, "Root.Dup.b")), "b9");  // indexed

  std::optional<TextTable> german = Read("1031");
  ASSERT_TRUE(german);
  EXPECT_EQ(DepthRows(*german, 0).TextAt(1, 7), "oben");

  EXPECT_FALSE(ReadTextColumns(path_, {"1033", "1049"}));  // no column L1049
}

TEST(JoinTextDepthsTest, SortsInUtf16OrderAndJoinsTextIds) {
  // U+1F600 is a surrogate pair in UTF-16 and sorts before U+E000, unlike in UTF-8 bytes.
  const std::string private_use = "\xEE\x80\x80";
  const std::string emoji = "\xF0\x9F\x98\x80";
  Table groups(3, 0);
  groups.AddRow({1.0, Cell(), private_use});
  groups.AddRow({2.0, Cell(), emoji});
  groups.AddRow({std::string("g7"), 1.0, std::string("Sub")});
  Table texts(3, 0);
  texts.AddRow({1.0, std::string("t"), std::string("pua")});
  texts.AddRow({2.0, std::string("t"), std::string("emoji")});
  texts.AddRow({std::string("g7"), 5.0, Cell()});
  TextTable result = JoinTextDepths(groups, texts, "mem.mdb", nullptr);
  EXPECT_EQ(Column(result), (Strings{"Sub.5", emoji + ".t", private_use + ".t"}));
  EXPECT_EQ(DepthRows(result, 1).TextAt(0, 0), private_use + ".Sub.5");
}

TEST_F(TextDatabaseTest, FailedReadsReportTheChain) {
  using testing::ExpectFailure;
  struct Case {
    std::vector<MdbTable> tables;  // none: the file holds `bytes`
    std::string bytes;
    int first_number;
    std::string first, second;
    std::string language = "1033";
  };
  const std::vector<Case> cases = {
      {Project({{1, kNull, std::string("G")}}, {}), "", err::kDbTooFewParameters, "L9999",
       "SQL-Failure, SQL=" + TextDepthQueries("9999")[0], "9999"},
      {{Project({}, {})[1]},
       "",
       err::kDbTableNotFound,
       "TidxGroups",
       "SQL-Failure, SQL=SELECT G0.Name"},
      {{Project({}, {})[0]}, "", err::kDbTableNotFound, "TidxTexts", "SQL-Failure"},
      {Project({{1, kNull, kNull}, {1, kNull, kNull}}, {}), "", err::kDbUnrecognizedFormat,
       "ID 1 appears twice", "SQL-Failure"},
      {{},
       "not a database",
       err::kDbUnrecognizedFormat,
       "Not a database: " + path_,
       "No Access to Database " + path_},
      {{}, "", err::kDbFileNotFound, path_, "No Access to Database " + path_},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.first);
    sink_.failures.clear();
    if (!c.tables.empty()) {
      Write(c.tables);
    } else if (!c.bytes.empty()) {
      testing::WriteBytes(path_, c.bytes);
    } else {
      std::remove(path_.c_str());
    }
    EXPECT_FALSE(Read(c.language));
    ASSERT_EQ(sink_.failures.size(), 3u);
    ExpectFailure(sink_.failures[0], "GetDataFieldFromSQL", c.first_number, c.first);
    ExpectFailure(sink_.failures[1], "GetDataFieldFromSQL", kProgramErrorNumber, c.second);
    ExpectFailure(sink_.failures[2], "ReadOrvanoDatabase", kProgramErrorNumber,
                  "Unable to get data from " + path_);
  }

  // Ending the program at the first report ends the read there.
  sink_.failures.clear();
  sink_.end_on_failure = true;
  EXPECT_THROW((void)Read("1033"), EndProgram);
  EXPECT_EQ(sink_.failures.size(), 1u);
}

}  // namespace
}  // namespace orvano
