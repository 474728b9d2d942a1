#include "templates/conditions.h"

#include <gtest/gtest.h>

#include <random>

#include "support/errors.h"
#include "testing/test_util.h"

namespace orvano {
namespace {

using testing::RecordingErrorSink;

TEST(ConditionsTest, ChoosesTheTextByTheCondition) {
  struct Case {
    std::int16_t control_type;
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
      {1, "no block", "no block"},
  };
  RecordingErrorSink errors;
  for (const Case& c : cases) {
    const FormulaFactors factors{1, "2", 3, c.control_type};
    EXPECT_EQ(c.result, EvaluateConditions(factors, c.cell, errors)) << c.cell;
  }
  EXPECT_TRUE(errors.failures.empty());
  EXPECT_TRUE(errors.notes.empty());
}

TEST(ConditionsTest, ReportsBlocksThatCannotBeCutAndKeepsTheCell) {
  const FormulaFactors factors{1, "2", 3, 1};
  const std::pair<std::string, std::string> uncut[] = {
      {"###IF PLC=1 x###ELSE y###ENDIF", " ###THEN "},
      {"###IF PLC=1 ###THEN x###ELSE y", "###ENDIF"},
      {"###IFPLC=1 ###THEN x###ENDIF", "###IF "},
      {"###IF PLC=1 ###ENDIF ###THEN x", "###ENDIF"},
  };
  RecordingErrorSink errors;
  for (const auto& [cell, missing] : uncut) {
    EXPECT_EQ(cell, EvaluateConditions(factors, cell, errors));
    ASSERT_FALSE(errors.failures.empty()) << cell;
    const RecordingErrorSink::Failure& failure = errors.failures.back();
    EXPECT_EQ("CalculateIfBedingungen", failure.procedure);
    EXPECT_EQ(kProgramErrorNumber, failure.number);
    EXPECT_EQ("Condition without \"" + missing + "\" in the cell: " + cell, failure.description);
  }
  EXPECT_EQ(4u, errors.failures.size());

  // A number beyond 16 bits is reported and keeps the cell too.
  const std::string far = "###IF FLD=99999 ###THEN a###ELSE b###ENDIF";
  EXPECT_EQ(far, EvaluateConditions(factors, far, errors));
  ASSERT_EQ(5u, errors.failures.size());
  EXPECT_EQ("CalculateIfBedingungen", errors.failures[4].procedure);
  EXPECT_EQ(err::kOverflow, errors.failures[4].number);

  // An unknown factor is reported where factors are worked out, and counts as 0.
  EXPECT_EQ("zero",
            EvaluateConditions(factors, "###IF FOO=0 ###THEN zero###ELSE other###ENDIF", errors));
  ASSERT_EQ(6u, errors.failures.size());
  EXPECT_EQ("GetFormulaFaktor", errors.failures[5].procedure);
  EXPECT_EQ("Unknown factor in formula: FOO", errors.failures[5].description);

  errors.end_on_failure = true;
  EXPECT_THROW(EvaluateConditions(factors, "###IF PLC=1 x", errors), EndProgram);
}

TEST(ConditionsTest, GeneratedBlocksAlwaysEnd) {
  const FormulaFactors factors{1, "2", 3, 1};
  const std::vector<std::string> pieces = {"###IF ", " ###THEN ", "###ELSE", "###ENDIF", "PLC",
                                           "=",      "<",         ">",       "1",        " ",
                                           "x",      "###",       "99999"};
  std::mt19937 random(7);
  RecordingErrorSink errors;
  for (int n = 0; n < 3000; ++n) {
    std::string cell;
    for (int i = random() % 10; i > 0; --i) cell += pieces[random() % pieces.size()];
    if (n % 2 == 0) cell = "a###IF " + cell + " ###THEN b###ELSE c###ENDIF" + cell;
    EXPECT_LE(EvaluateConditions(factors, cell, errors).size(), cell.size()) << cell;
  }
}

}  // namespace
}  // namespace orvano
