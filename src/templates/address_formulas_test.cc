#include "templates/address_formulas.h"

#include <gtest/gtest.h>

#include <random>

#include "app/run_context.h"
#include "inputs/text_table.h"
#include "support/string_helpers.h"
#include "testing/run_context_test.h"
#include "testing/test_util.h"

namespace orvano {
namespace {

struct AddressFormulasTest : public testing::RunContextTest {
  void SetUp() override {
    context.page.position = "3";
    context.page.machine_index = 1;
    context.build.block_number = 4;
    context.description.control_type = 2;
    for (auto [key, text] : {std::pair<std::string, Cell>{"Alarms.Stop", "  Stopped "},
                             {"Alarms.Null", Cell()},
                             {"A.B.C.D.E.F", "deep"},
                             {"T.Markup", "<b>x</b> &"},
                             {"T.Outer", "[###INDEX:T.Inner:INDEX]"},
                             {"T.Inner", "in"},
                             {"T.Self", "x###INDEX:T.Self:INDEX"},
                             {"T.Ru", "\xC3\x8F\xC3\xB0\xC3\xA8"},
                             {"T.Nul", std::string("a\0b", 3)}}) {
      Table& table = context.texts.depths[std::count(key.begin(), key.end(), '.') - 1];
      if (table.column_count() == 0) table = Table(2, 0);
      table.AddRow({Cell(key), text});
      SortRowsByFirstColumn(table);
    }
  }
  std::string Addr(std::string_view text) { return CalculateAdressFormula(context, text); }
  std::string Index(std::string_view text) { return CalculateIndexFormula(context, text); }
  bool Logged(const std::string& note) {
    return EventLog().find(note + "\r\n") != std::string::npos;
  }
};

TEST_F(AddressFormulasTest, WorksOutAddressFormulas) {
  const std::pair<const char*, const char*> cases[] = {
      {"X###ADDR:100+2[FLD]-1[FLDNULL]:ADDRY", "X104Y"},
      {"###ADDR:0+1[MNR]:ADDR", "0"},
      {"###ADDR:5-10[fld]:ADDR", "-25"},
      {"###ADDR:1+1[FLD]:ADDR/###ADDR:2+1[FLD]:ADDR", "4/5"},
      {"###ADDR:1000+4[FREJ]+1[FALA]-3[PLC]+3[FWAR]:ADDR", "1029"},
      {"###ADDR:1+2[FWAR]1[FLD]-0[FLD]tail:ADDR", "12"},  // unsigned term: previous sign
      {"###ADDR:2147483644+1[FLD]:ADDR", "2147483647"},
      // Malformed: noted in the event log (below) and empty.
      {"a|###ADDR:+3:ADDR|b", "a||b"},
      {"[###ADDR:5:ADDR]", "[]"},
      {"[###ADDR:-5+1[FLD]:ADDR]", "[]"},
      {"[###ADDR:5+[FLD]:ADDR]###ADDR:2+1[FLD]:ADDR", "[]5"},
      {"###ADD###ADDR:+3:ADDRR:5+1[FLD]:ADDR", "8"},  // the joined formula is worked out too
      {"###ADDR:2+1[FLD]:ADDR ###ADDR:1+1[FLD]", "5 ###ADDR:1+1[FLD]"},  // never closed
  };
  for (const auto& [cell, result] : cases) EXPECT_EQ(result, Addr(cell)) << cell;
  for (const char* note :
       {"Address formula not valid: ###ADDR:+3:ADDR", "Address formula not valid: ###ADDR:5:ADDR",
        "Address formula not valid: ###ADDR:-5+1[FLD]:ADDR",
        "Address formula not valid: ###ADDR:5+[FLD]:ADDR",
        "Address formula not closed: ###ADDR:1+1[FLD]"}) {
    EXPECT_TRUE(Logged(note)) << note;
  }
  context.description.control_type = 5;  // "PLC" is empty: 0
  EXPECT_EQ("10", Addr("###ADDR:10+3[PLC]:ADDR"));
  EXPECT_TRUE(host.calls.empty());
}

TEST_F(AddressFormulasTest, ReportsUnknownFactorsAndOverflow) {
  EXPECT_EQ("7", Addr("###ADDR:7+1[FOO]:ADDR"));  // reported; the factor counts as 0
  EXPECT_NE(std::string::npos, host.calls.back().text.find("Unknown factor in formula: FOO"));
  EXPECT_EQ("[]", Addr("[###ADDR:2147483647+1[FLD]:ADDR]"));
  EXPECT_EQ("", Addr("###ADDR:1+99999999999[FLD]:ADDR"));
  context.page.position = "40000";
  EXPECT_EQ("", Addr("###ADDR:1+1[FLD]:ADDR"));
  EXPECT_EQ(4u, host.CallsOf("error").size());
  EXPECT_NE(std::string::npos, host.calls.back().text.find("CalculateAdressFormula"));
}

TEST_F(AddressFormulasTest, LooksTextsUpByAddressIndex) {
  EXPECT_EQ("AStoppedB", Index("A###INDEX:Alarms.Stop:INDEXB"));
  EXPECT_EQ("AB", Index("A###INDEX:Alarms.Null:INDEXB"));
  EXPECT_EQ("deep", Index("###INDEX:A.B.C.D.E.F:INDEX"));
  EXPECT_EQ("<b>x</b> &", Index("###INDEX:T.Markup:INDEX"));  // as stored, no escaping
  EXPECT_EQ("a[in]b", Index("a###INDEX:T.Outer:INDEXb"));     // found texts are worked out
  EXPECT_EQ(std::string("<a\0b>", 5), Index("<###INDEX:T.Nul:INDEX>"));
  EXPECT_FALSE(Logged("Indextext not found: Alarms.Stop"));
  // Not found: key and "?", a note, and the rest stays.
  EXPECT_EQ("AAlarms.Gone?B ###INDEX:Alarms.Stop:INDEX",
            Index("A###INDEX:Alarms.Gone:INDEXB ###INDEX:Alarms.Stop:INDEX"));
  EXPECT_EQ("NoDots?", Index("###INDEX:NoDots:INDEX"));
  EXPECT_EQ("a.b.c.d.e.f.g?", Index("###INDEX:a.b.c.d.e.f.g:INDEX"));  // beyond five dots
  EXPECT_EQ("alarms.stop?", Index("###INDEX:alarms.stop:INDEX"));
  EXPECT_EQ("x ###INDEX:Alarms.Stop", Index("x ###INDEX:Alarms.Stop"));
  for (const char* note :
       {"Indextext not found: Alarms.Gone", "Indextext not found: NoDots",
        "Indextext not found: alarms.stop", "Index formula not closed: ###INDEX:Alarms.Stop"}) {
    EXPECT_TRUE(Logged(note)) << note;
  }
  // Code pages: re-decoded through a known one, kept through "-1" or an unknown one.
  context.language.code_page = "1251";
  EXPECT_EQ("\xD0\x9F\xD1\x80\xD0\xB8", Index("###INDEX:T.Ru:INDEX"));
  for (const char* code_page : {"-1", "99999"}) {
    context.language.code_page = code_page;
    EXPECT_EQ("\xC3\x8F\xC3\xB0\xC3\xA8", Index("###INDEX:T.Ru:INDEX"));
  }
  EXPECT_TRUE(host.calls.empty());
}

TEST_F(AddressFormulasTest, ChainsOfLookUpsEndAfterAThousandRounds) {
  EXPECT_EQ("<" + std::string(1000, 'x') + "###INDEX:T.Self:INDEX>",
            Index("<###INDEX:T.Self:INDEX>"));
  EXPECT_TRUE(Logged("Index formula does not end after 1000 rounds: ###INDEX:T.Self:INDEX"));
  std::string cell;  // each formula of the cell itself has rounds of its own
  for (int i = 0; i < 1200; ++i) cell += "###INDEX:T.Outer:INDEX";
  EXPECT_EQ(1200u * 4, Index(cell).size());
}

TEST_F(AddressFormulasTest, WildcardsReplaceTheirFirstOccurrence) {
  context.build.wildcards = {{{"MNR", " M1 "}, {"FLD", "3"}, {"OVERVIEW", ""}, {"MAIN", ""}}};
  EXPECT_EQ("M1 3/###FLD|", ReplaceWildCards(context, "###MNR ###FLD/###FLD|###OVERVIEW###MAIN"));
  EXPECT_EQ("###fld", ReplaceWildCards(context, "###fld"));
  EXPECT_EQ("###INDEX:A.B:INDEX", ReplaceWildCards(context, "###INDEX:A.B:INDEX"));
  // A value may hold a later wildcard, which is then replaced as well.
  context.build.wildcards[0].second = "###FLD+###MAIN";
  EXPECT_EQ("3+/###FLD", ReplaceWildCards(context, "###MNR/###FLD"));
}

TEST_F(AddressFormulasTest, LooksUpTheSameTextsThroughTheIndex) {
  IndexTextTable(&context.texts);
  EXPECT_EQ("AStoppedB", Index("A###INDEX:Alarms.Stop:INDEXB"));
  EXPECT_EQ("AB", Index("A###INDEX:Alarms.Null:INDEXB"));
  EXPECT_EQ("a[in]b", Index("a###INDEX:T.Outer:INDEXb"));
  EXPECT_EQ("alarms.stop?", Index("###INDEX:alarms.stop:INDEX"));
}

TEST_F(AddressFormulasTest, LongMultipliersAreReadAsNumbers) {
  EXPECT_EQ("7", Addr("###ADDR:1+000000002[FLD]:ADDR"));   // nine digits
  EXPECT_EQ("7", Addr("###ADDR:1+0000000002[FLD]:ADDR"));  // ten digits
  EXPECT_EQ("-2", Addr("###ADDR:1-1[FLD]:ADDR"));
}

TEST_F(AddressFormulasTest, GeneratedFormulasAlwaysEnd) {
  const std::vector<std::string> pieces = {"###ADDR:", ":ADDR",  "###INDEX:", ":INDEX", "+",
                                           "-",        "[",      "]",         "FLD",    "1",
                                           "99999",    "T.Self", "T.Outer",   "x"};
  std::mt19937 random(11);
  for (int n = 0; n < 3000; ++n) {
    std::string cell;
    for (int i = random() % 12; i > 0; --i) cell += pieces[random() % pieces.size()];
    EXPECT_LE(Addr(cell).size(), cell.size()) << cell;
    Index(cell);
  }
}

}  // namespace
}  // namespace orvano
