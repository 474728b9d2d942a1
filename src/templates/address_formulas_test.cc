#include "templates/address_formulas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "inputs/text_table.h"
#include "support/errors.h"
#include "support/string_helpers.h"
#include "testing/test_util.h"

namespace orvano {
namespace {

using testing::RecordingErrorSink;

// Machine 1, position 3, block 4, control type 2.
constexpr FormulaFactors kFactors{1, "3", 4, 2};

TextTable Texts(bool indexed = true) {
  std::array<Table, 5> texts;
  for (auto [key, text] : {std::pair<std::string, Cell>{"Alarms.Stop", "  Stopped "},
                           {"Alarms.Null", Cell()},
                           {"A.B.C.D.E.F", "deep"},
                           {"T.Markup", "<b>x</b> &"},
                           {"T.Outer", "[###INDEX:T.Inner:INDEX]"},
                           {"T.Inner", "in"},
                           {"T.Self", "x###INDEX:T.Self:INDEX"},
                           {"T.Ru", "\xC3\x8F\xC3\xB0\xC3\xA8"},
                           {"T.Nul", std::string("a\0b", 3)}}) {
    Table& table = texts[std::count(key.begin(), key.end(), '.') - 1];
    if (table.column_count() == 0) table = Table(2, 0);
    table.AddRow({Cell(key), text});
    SortRowsByFirstColumn(table);
  }
  return MakeTextTable(std::move(texts), indexed);
}

std::string Addr(std::string_view text, RecordingErrorSink& errors,
                 const FormulaFactors& factors = kFactors) {
  return ExpandAddressFormulas(factors, text, errors);
}

TEST(AddressFormulasTest, WorksOutAddressFormulas) {
  RecordingErrorSink errors;
  const std::pair<const char*, const char*> cases[] = {
      {"X###ADDR:100+2[FLD]-1[FLDNULL]:ADDRY", "X104Y"},
      {"###ADDR:0+1[MNR]:ADDR", "0"},
      {"###ADDR:5-10[fld]:ADDR", "-25"},
      {"###ADDR:1+1[FLD]:ADDR/###ADDR:2+1[FLD]:ADDR", "4/5"},
      {"###ADDR:1000+4[FREJ]+1[FALA]-3[PLC]+3[FWAR]:ADDR", "1029"},
      {"###ADDR:1+2[FWAR]1[FLD]-0[FLD]tail:ADDR", "12"},  // unsigned term: previous sign
      {"###ADDR:2147483644+1[FLD]:ADDR", "2147483647"},
      {"###ADDR:1+000000002[FLD]:ADDR", "7"},   // nine digits
      {"###ADDR:1+0000000002[FLD]:ADDR", "7"},  // ten digits, read as a number
      // Malformed: noted (below) and empty.
      {"a|###ADDR:+3:ADDR|b", "a||b"},
      {"[###ADDR:5:ADDR]", "[]"},
      {"[###ADDR:-5+1[FLD]:ADDR]", "[]"},
      {"[###ADDR:5+[FLD]:ADDR]###ADDR:2+1[FLD]:ADDR", "[]5"},
      {"###ADD###ADDR:+3:ADDRR:5+1[FLD]:ADDR", "8"},  // the joined formula is worked out too
      {"###ADDR:2+1[FLD]:ADDR ###ADDR:1+1[FLD]", "5 ###ADDR:1+1[FLD]"},  // never closed
  };
  for (const auto& [cell, result] : cases) EXPECT_EQ(result, Addr(cell, errors)) << cell;
  EXPECT_EQ(std::vector<std::string>({"Address formula not valid: ###ADDR:+3:ADDR",
                                      "Address formula not valid: ###ADDR:5:ADDR",
                                      "Address formula not valid: ###ADDR:-5+1[FLD]:ADDR",
                                      "Address formula not valid: ###ADDR:5+[FLD]:ADDR",
                                      "Address formula not valid: ###ADDR:+3:ADDR",
                                      "Address formula not closed: ###ADDR:1+1[FLD]"}),
            errors.notes);
  FormulaFactors other_control = kFactors;
  other_control.control_type = 5;  // "PLC" is empty: 0
  EXPECT_EQ("10", Addr("###ADDR:10+3[PLC]:ADDR", errors, other_control));
  EXPECT_TRUE(errors.failures.empty());
}

TEST(AddressFormulasTest, ReportsUnknownFactorsAndOverflow) {
  RecordingErrorSink errors;
  EXPECT_EQ("7", Addr("###ADDR:7+1[FOO]:ADDR", errors));  // reported; the factor counts as 0
  EXPECT_EQ("[]", Addr("[###ADDR:2147483647+1[FLD]:ADDR]", errors));
  EXPECT_EQ("", Addr("###ADDR:1+99999999999[FLD]:ADDR", errors));
  FormulaFactors far = kFactors;
  far.position = "40000";  // beyond 16 bits
  EXPECT_EQ("", Addr("###ADDR:1+1[FLD]:ADDR", errors, far));
  far.position = "x";  // no number: reported, 0
  EXPECT_EQ("1", Addr("###ADDR:1+1[FLD]:ADDR", errors, far));
  ASSERT_EQ(5u, errors.failures.size());
  EXPECT_EQ("GetFormulaFaktor", errors.failures[0].procedure);
  EXPECT_EQ("Unknown factor in formula: FOO", errors.failures[0].description);
  for (std::size_t k = 1; k <= 3; ++k) {
    EXPECT_EQ("CalculateAdressFormula", errors.failures[k].procedure) << k;
    EXPECT_EQ(err::kOverflow, errors.failures[k].number) << k;
  }
  EXPECT_EQ("GetFormulaFaktor", errors.failures[4].procedure);
  EXPECT_EQ(err::kTypeMismatch, errors.failures[4].number);
  EXPECT_TRUE(errors.notes.empty());
  errors.end_on_failure = true;
  EXPECT_THROW(Addr("###ADDR:7+1[FOO]:ADDR", errors), EndProgram);
}

TEST(AddressFormulasTest, LooksTextsUpByAddressIndex) {
  for (bool indexed : {false, true}) {
    SCOPED_TRACE(indexed ? "through the hash index" : "by sorted search");
    const TextTable texts = Texts(indexed);
    RecordingErrorSink errors;
    auto index = [&](std::string_view text, std::optional<int> code_page = 1252) {
      return ExpandIndexFormulas(texts, code_page, text, errors);
    };
    EXPECT_EQ("AStoppedB", index("A###INDEX:Alarms.Stop:INDEXB"));
    EXPECT_EQ("AB", index("A###INDEX:Alarms.Null:INDEXB"));
    EXPECT_EQ("deep", index("###INDEX:A.B.C.D.E.F:INDEX"));
    EXPECT_EQ("<b>x</b> &", index("###INDEX:T.Markup:INDEX"));  // as stored, no escaping
    EXPECT_EQ("a[in]b", index("a###INDEX:T.Outer:INDEXb"));     // found texts are worked out
    EXPECT_EQ(std::string("<a\0b>", 5), index("<###INDEX:T.Nul:INDEX>"));
    EXPECT_TRUE(errors.notes.empty());
    // Not found: key and "?", a note, and the rest stays.
    EXPECT_EQ("AAlarms.Gone?B ###INDEX:Alarms.Stop:INDEX",
              index("A###INDEX:Alarms.Gone:INDEXB ###INDEX:Alarms.Stop:INDEX"));
    EXPECT_EQ("NoDots?", index("###INDEX:NoDots:INDEX"));
    EXPECT_EQ("a.b.c.d.e.f.g?", index("###INDEX:a.b.c.d.e.f.g:INDEX"));  // beyond five dots
    EXPECT_EQ("alarms.stop?", index("###INDEX:alarms.stop:INDEX"));
    EXPECT_EQ("x ###INDEX:Alarms.Stop", index("x ###INDEX:Alarms.Stop"));
    EXPECT_EQ(std::vector<std::string>(
                  {"Indextext not found: Alarms.Gone", "Indextext not found: NoDots",
                   "Indextext not found: a.b.c.d.e.f.g", "Indextext not found: alarms.stop",
                   "Index formula not closed: ###INDEX:Alarms.Stop"}),
              errors.notes);
    // Code pages: re-decoded through a known one, kept without one or through an unknown one.
    EXPECT_EQ("\xD0\x9F\xD1\x80\xD0\xB8", index("###INDEX:T.Ru:INDEX", 1251));
    for (std::optional<int> code_page : {std::optional<int>(), std::optional<int>(99999)}) {
      EXPECT_EQ("\xC3\x8F\xC3\xB0\xC3\xA8", index("###INDEX:T.Ru:INDEX", code_page));
    }
    // A text that leads back to itself ends after a thousand rounds; each formula of the cell
    // itself has rounds of its own.
    errors.notes.clear();
    EXPECT_EQ("<" + std::string(1000, 'x') + "###INDEX:T.Self:INDEX>",
              index("<###INDEX:T.Self:INDEX>"));
    EXPECT_EQ(
        std::vector<std::string>{
            "Index formula does not end after 1000 rounds: ###INDEX:T.Self:INDEX"},
        errors.notes);
    std::string cell, expected;
    for (int i = 0; i < 1200; ++i) {
      cell += "###INDEX:T.Outer:INDEX";
      expected += "[in]";
    }
    EXPECT_EQ(expected, index(cell));
    EXPECT_EQ(1u, errors.notes.size());
    EXPECT_TRUE(errors.failures.empty());
  }
}

TEST(AddressFormulasTest, WildcardsReplaceTheirFirstOccurrence) {
  WildcardTable wildcards = {{{"MNR", " M1 "}, {"FLD", "3"}, {"OVERVIEW", ""}, {"MAIN", ""}}};
  EXPECT_EQ("M1 3/###FLD|", ReplaceWildcards(wildcards, "###MNR ###FLD/###FLD|###OVERVIEW###MAIN"));
  EXPECT_EQ("###fld", ReplaceWildcards(wildcards, "###fld"));
  EXPECT_EQ("###INDEX:A.B:INDEX", ReplaceWildcards(wildcards, "###INDEX:A.B:INDEX"));
  // A value may hold a later wildcard, which is then replaced as well.
  wildcards[0].second = "###FLD+###MAIN";
  EXPECT_EQ("3+/###FLD", ReplaceWildcards(wildcards, "###MNR/###FLD"));
}

TEST(AddressFormulasTest, GeneratedFormulasAlwaysEnd) {
  const TextTable texts = Texts();
  const std::vector<std::string> pieces = {"###ADDR:", ":ADDR",  "###INDEX:", ":INDEX", "+",
                                           "-",        "[",      "]",         "FLD",    "1",
                                           "99999",    "T.Self", "T.Outer",   "x"};
  std::mt19937 random(11);
  for (int n = 0; n < 3000; ++n) {
    std::string cell;
    for (int i = random() % 12; i > 0; --i) cell += pieces[random() % pieces.size()];
    RecordingErrorSink errors;
    EXPECT_LE(Addr(cell, errors).size(), cell.size()) << cell;
    errors.notes.clear();
    std::string expanded = ExpandIndexFormulas(texts, 1252, cell, errors);
    // At most one chain runs its thousand rounds (one character each); "[in]" adds two.
    EXPECT_LE(expanded.size(), cell.size() + 1000 + 2 * 12) << cell;
    // Only a note stops the work early: without one, no formula is left.
    if (errors.notes.empty()) {
      EXPECT_FALSE(Contains(expanded, "###INDEX:")) << cell;
    }
    EXPECT_LE(errors.notes.size(), 1u) << cell;
  }
}

}  // namespace
}  // namespace orvano
