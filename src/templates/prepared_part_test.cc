#include "templates/prepared_part.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "inputs/text_table.h"
#include "support/string_helpers.h"
#include "templates/page_state.h"
#include "templates/run_inputs.h"
#include "templates/section_builder.h"
#include "testing/test_util.h"

namespace orvano {
namespace {

using testing::RecordingErrorSink;

TextTable Texts() {
  std::array<Table, 5> texts;
  for (auto [key, text] : {std::pair<std::string, Cell>{"Alarms.Stop", "  Stopped "},
                           {"Alarms.Null", Cell()},
                           {"Alarms.Count", 12.5},
                           {"A.B.C.D.E.F", "deep"},
                           {"T.Outer", "[###INDEX:T.Inner:INDEX]"},
                           {"T.Inner", "in"},
                           {"T.Ru", "\xC3\x8F\xC3\xB0\xC3\xA8"}}) {
    Table& table = texts[std::count(key.begin(), key.end(), '.') - 1];
    if (table.column_count() == 0) table = Table(2, 0);
    table.AddRow({Cell(key), text});
    SortRowsByFirstColumn(table);
  }
  return MakeTextTable(std::move(texts));
}

// Cells that are prepared, then cells that are left to the step-by-step way.
const std::vector<std::string> kPreparedCells = {
    "A###ADDR:3+16[MNR]+2[FLDNULL]:ADDR.5",
    "###ADDR:4000+10[fld]:ADDR rpm ###ADDR:7-2[PLC]-1[FREJ]:ADDR",
    "x ###MNR / ###FLD###MAIN###OVERVIEWx",
    "###MNR###MNR###MNR###MNR###MNR",
    "a:ADDR ###INDEX:Alarms.Stop:INDEX:INDEX ###INDEX:A.B.C.D.E.F:INDEX",
    "###INDEX:Alarms.Null:INDEX|###INDEX:Alarms.Count:INDEX|###INDEX:T.Ru:INDEX",
    "###INDEX:T.Outer:INDEX",      // its text holds markers: this cell declines
    "###INDEX:Missing.Key:INDEX",  // not found: declines, and the note comes as before
    "###ADDR:1+30000[FREJ]+30000[FREJ]:ADDR",
    "###IF PLC=1 ###THEN a###ELSE b###ENDIF",
    "x ###IF fld>2 ###THEN rear ###ENDIF y",
    "###IF FREJ<5 ###THEN few###ELSE many###ENDIF",
    "###IF MNR=1.5 ###THEN one###ELSE other###ENDIF",
    "###IF MNR<1 ###THEN lt###ELSE ge###ENDIF",
    "###IF MNR>1 ###THEN gt###ELSE le###ENDIF",
};
const std::vector<std::string> kUnpreparedCells = {
    "###IF PLC=1 ###THEN ###MNR###ENDIF",
    "###IF PLC ###THEN a###ENDIF",
    "###IF XYZ=1 ###THEN a###ENDIF",
    "###IF PLC=99999 ###THEN a###ENDIF",
    "###IF  ###THEN a###ENDIF",
    "###IF PLC=1 ###THEN a###ENDIF ###ELSE",
    "###ENDIF ###IF PLC=1 ###THEN a###ENDIF",
    "###IF PLC=1 ###THEN a###ENDIF###IF PLC=0 ###THEN b###ENDIF",
    "####MNR",
    "###MNR###MNR###MNR###MNR###MNR###MNR",
    "###ADDR:1+1[XYZ]:ADDR",
    "###ADDR:1.5+1[MNR]:ADDR",
    "###ADDR:1+1[MNR]2[PLC]:ADDR",
    "###ADDR:1+1[MNR]",
    "###ADDR:+1[MNR]:ADDR",
    "###ADDR:1234567890+1[MNR]:ADDR",
    "###INDEX:A.###MNR:INDEX",
    "###Main",
    "###ADDR:0+1[FREJ]:ADDR0 ###FLD#",
    "ends with ##",
};

Table PartOf(const std::vector<std::string>& cells) {
  Table part(3, 1);
  for (std::size_t i = 0; i < cells.size(); ++i) {
    part.AddRow({12.0, cells[i], i % 2 ? Cell("plain ###FLD") : Cell(3.0)});
  }
  return part;
}

struct Outcome {
  Table table;
  RecordingErrorSink errors;
};

Outcome Build(const RunInputs& inputs, PageState page, const Table& part,
              const PreparedPart* prepared) {
  Outcome outcome;
  outcome.table = BuildSectionTable(inputs, page, part, outcome.errors, prepared);
  return outcome;
}

void ExpectSameOutcome(const Outcome& expected, const Outcome& actual) {
  ASSERT_EQ(expected.table.row_count(), actual.table.row_count());
  for (std::size_t r = 0; r < expected.table.row_count(); ++r) {
    for (std::size_t c = 0; c < expected.table.column_count(); ++c) {
      EXPECT_EQ(expected.table.At(c, r), actual.table.At(c, r)) << "cell " << c << "," << r;
    }
  }
  EXPECT_EQ(expected.errors.notes, actual.errors.notes);
  EXPECT_EQ(expected.errors.note_places, actual.errors.note_places);
  ASSERT_EQ(expected.errors.failures.size(), actual.errors.failures.size());
  for (std::size_t i = 0; i < expected.errors.failures.size(); ++i) {
    EXPECT_EQ(expected.errors.failures[i].description, actual.errors.failures[i].description);
  }
}

TEST(PreparedPartTest, PreparesOnlyCellsWhoseMarkersCannotWorkOnEachOther) {
  std::vector<std::string> cells = kPreparedCells;
  cells.insert(cells.end(), kUnpreparedCells.begin(), kUnpreparedCells.end());
  const Table part = PartOf(cells);
  const PreparedPart prepared(part);
  for (std::size_t i = 0; i < cells.size(); ++i) {
    EXPECT_EQ(i < kPreparedCells.size(), prepared.Has(1, i + 1)) << cells[i];
  }
  EXPECT_TRUE(prepared.Has(2, 2));   // "plain ###FLD"
  EXPECT_FALSE(prepared.Has(0, 1));  // column 0 is never worked out
}

// Every page state that could make a prepared cell differ: a wildcard value with "#" or blanks,
// positions that are no number, a fraction or out of 16 bits, code pages that re-decode, and a
// block number that the range of the sheet "Standard" moves.
TEST(PreparedPartTest, GivesWhatTheStepByStepWayGives) {
  std::vector<std::string> cells = kPreparedCells;
  cells.insert(cells.end(), kUnpreparedCells.begin(), kUnpreparedCells.end());
  Table part = PartOf(cells);
  part.AddRow({13.0, "###SDR[REJ]", ""});
  part.AddRow({13.0, "R###ADDR:1+1[FREJ]:ADDR", "###ADDR:1+1[FREJ]:ADDR"});
  part.AddRow({13.0, "###EDR[REJ]", "###ADDR:2+1[FREJ]:ADDR"});
  part.AddRow({13.0, "after ###ADDR:5+3[FREJ]:ADDR", ""});
  const PreparedPart prepared(part);

  RunInputs inputs;
  inputs.texts = Texts();
  inputs.sheets.entries = {{"Drives", true}, {"Standard", false}};
  inputs.description.reject_count = 56;
  inputs.description.control_type = 2;
  for (const char* machine : {"M1", "  M 2 ", "M#3"}) {
    for (const char* position : {"3", "2.5", "x", "40000"}) {
      for (std::optional<int> code_page : {std::optional<int>(), std::optional<int>(1251)}) {
        for (std::size_t sheet : {0, 1}) {
          inputs.language.code_page = code_page;
          PageState page;
          page.sheet_index = sheet;
          page.machine_index = 2;
          page.machine_name = machine;
          page.position = position;
          page.block_number = 3;
          page.part_first_row = 4;
          SCOPED_TRACE(std::string(machine) + " / " + position + " / sheet " +
                       std::to_string(sheet));
          ExpectSameOutcome(Build(inputs, page, part, nullptr),
                            Build(inputs, page, part, &prepared));
        }
      }
    }
  }
}

// A part's index texts are worked out once per language. Another read of the texts (a language
// read on its own), one freed and a new one made after it, and another column of the same read
// each give their own texts.
TEST(PreparedPartTest, EachLanguageGetsItsOwnTexts) {
  const Table part = PartOf({"###INDEX:Alarms.Stop:INDEX"});
  const PreparedPart prepared(part);
  const PreparedPageValues values{PageState(), FormulaFactors()};
  auto fill = [&](const TextTable& texts, std::optional<int> code_page = std::nullopt) {
    std::string out;
    EXPECT_TRUE(prepared.Fill(1, 1, values, prepared.TextsIn(texts, code_page), &out));
    return out;
  };
  auto other_read = [](const char* stop) {
    std::array<Table, 5> depths;
    depths[0] = Table(2, 0);
    for (const char* key : {"Aa.A", "Ab.B", "Ac.C", "Alarms.Stop"}) {
      depths[0].AddRow({Cell(key), Cell(std::string(key) == "Alarms.Stop" ? stop : key)});
    }
    return MakeTextTable(std::move(depths));
  };
  const TextTable first = Texts();
  EXPECT_EQ("Stopped", fill(first));
  EXPECT_EQ("Halt", fill(other_read("Halt")));
  EXPECT_EQ("Stop", fill(other_read("Stop")));  // made where the freed one may have been
  TextTable other_column = first;
  auto rows = std::make_shared<Table>(*first.rows);
  for (auto& row : rows->rows()) row.push_back(Cell("same for all"));
  other_column.rows = rows;
  other_column.column = rows->column_count();
  EXPECT_EQ("same for all", fill(other_column));
  EXPECT_EQ("Stopped", fill(first));
}

}  // namespace
}  // namespace orvano
