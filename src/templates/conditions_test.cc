#include "templates/conditions.h"

#include <gtest/gtest.h>

#include <random>

#include "app/run_context.h"
#include "support/errors.h"
#include "testing/run_context_test.h"
#include "testing/test_util.h"

namespace orvano {
namespace {

struct ConditionsTest : public testing::RunContextTest {
  std::string If(std::string_view cell) { return CalculateIfBedingungen(context, cell); }
};

TEST_F(ConditionsTest, ChoosesTheTextByTheCondition) {
  struct Case {
    int control_type;
    const char* cell;
    const char* result;
  } cases[] = {
      {2, "A###IF PLC=1 ###THEN yes###ELSE no###ENDIF B", "Ayes B"},
      {0, "A###IF PLC=1 ###THEN yes###ELSE no###ENDIF B", "A no B"},
      {3, "###IF plc<1 ###THEN x###ELSE y###ENDIF", "x"},
      {7, "###IF PLC<1 ###THEN x###ELSE y###ENDIF", "x"},     // other control types count as 0
      {1, "A###IF PLC ###THEN x###ELSE y###ENDIF B", "A B"},  // no operator: the block goes
      {1, "###IF FLD= 2 ###THEN two###ELSEother###ENDIF", "two"},
      {1, "###IF FLD<=1 ###THEN y###ELSEn###ENDIF", "n"},   // "<" and the number "=1" (0)
      {1, "###IF FLD=2.5 ###THEN y###ELSEn###ENDIF", "y"},  // 2.5 rounds to 2
      {1, "###IF FLDNULL>1 ###THEN y###ELSEn###ENDIF", "n"},
      {1, "###IF FWAR=3 ###THEN y###ELSEn###ENDIF", "y"},
      {1, "###IF MNR=0 ###THEN y###ELSEn###ENDIF", "y"},
      {1, "[###IF PLC=1 ###THEN  x ###ELSE y###ENDIF]", "[ x ]"},
      {1, "a###IF ###THEN x###ELSE y###ENDIFb", "ab"},
      {1, "###IF PLC=1 ###THEN x###ELSE y###ENDIF|###IF PLC=0 ###THEN p###ELSE q###ENDIF",
       "x|###IF PLC=0 ###THEN p###ELSE q###ENDIF"},  // only the first block
      // Without "###ELSE": the text up to "###ENDIF", or nothing; a later "###ELSE" is not its.
      {1, "<###IF PLC=1 ###THEN then###ENDIF>|###ELSE z", "<then>|###ELSE z"},
      {0, "<###IF PLC=1 ###THEN then###ENDIF>|###ELSE z", "<>|###ELSE z"},
      {1, "###ENDIF x ###IF PLC=1 ###THEN a###ELSE b", "###ENDIF x ###IF PLC=1 ###THEN a###ELSE b"},
  };
  context.page.position = "2";
  context.page.machine_index = 1;
  context.build.block_number = 3;
  for (const Case& c : cases) {
    context.description.control_type = static_cast<std::int16_t>(c.control_type);
    EXPECT_EQ(c.result, If(c.cell)) << c.cell;
  }
  EXPECT_TRUE(host.calls.empty());
}

TEST_F(ConditionsTest, ReportsBlocksThatCannotBeCutAndKeepsTheCell) {
  for (const std::string cell : {"###IF PLC=1 x###ELSE y###ENDIF", "###IF PLC=1 ###THEN x###ELSE y",
                                 "###IFPLC=1 ###THEN x###ENDIF", "###IF PLC=1 ###ENDIF ###THEN x",
                                 "###IF FLD=99999 ###THEN a###ELSE b###ENDIF"}) {
    std::size_t before = host.calls.size();
    EXPECT_EQ(cell, If(cell));
    ASSERT_EQ(before + 1, host.calls.size()) << cell;
    const std::string& text = host.calls.back().text;  // names the cell, or the procedure
    EXPECT_TRUE(text.ends_with("cell: " + cell + "\n\rContinue?") ||
                text.find("CalculateIfBedingungen") != std::string::npos)
        << text;
  }
  EXPECT_EQ("zero", If("###IF FOO=0 ###THEN zero###ELSE other###ENDIF"));  // unknown: 0
  EXPECT_NE(std::string::npos, host.calls.back().text.find("Unknown factor in formula: FOO"));
  context.settings.silent = true;
  EXPECT_THROW(If("###IF PLC=1 x"), EndProgram);
}

TEST_F(ConditionsTest, GeneratedBlocksAlwaysEnd) {
  const std::vector<std::string> pieces = {"###IF ", " ###THEN ", "###ELSE", "###ENDIF", "PLC",
                                           "=",      "<",         ">",       "1",        " ",
                                           "x",      "###",       "99999"};
  std::mt19937 random(7);
  for (int n = 0; n < 3000; ++n) {
    std::string cell;
    for (int i = random() % 10; i > 0; --i) cell += pieces[random() % pieces.size()];
    if (n % 2 == 0) cell = "a###IF " + cell + " ###THEN b###ELSE c###ENDIF" + cell;
    EXPECT_LE(If(cell).size(), cell.size()) << cell;
  }
}

}  // namespace
}  // namespace orvano
