#include "support/number_text.h"

#include <gtest/gtest.h>

#include "support/errors.h"
#include "testing/test_util.h"

namespace orvano {
namespace {

TEST(NumberText, LeadingNumberReadsTheLeadingNumericPart) {
  EXPECT_EQ(12, LeadingNumber("12abc"));
  EXPECT_EQ(123, LeadingNumber("  1 2\t3"));  // blanks, tabs and line feeds are skipped anywhere
  EXPECT_EQ(-1.5, LeadingNumber("-1.5"));
  EXPECT_EQ(1, LeadingNumber("1,000"));  // the comma is no decimal sign
  EXPECT_EQ(0.5, LeadingNumber(".5."));
  EXPECT_EQ(1500, LeadingNumber("1.5E3x"));
  EXPECT_EQ(1500, LeadingNumber("1.5d3"));
  EXPECT_EQ(2, LeadingNumber("2E"));  // an exponent without digits is not part of the number
  EXPECT_EQ(0, LeadingNumber(""));
  EXPECT_EQ(0, LeadingNumber("abc"));
  EXPECT_EQ(0, LeadingNumber("-"));
  EXPECT_EQ(255, LeadingNumber("&HFF"));
  EXPECT_EQ(-1, LeadingNumber("&HFFFF"));  // hexadecimal texts wrap like 16-bit integers
  EXPECT_EQ(8, LeadingNumber("&O10"));
  EXPECT_THROW(LeadingNumber("1E999"), UnexpectedError);
}

TEST(NumberText, ParseNumberAcceptsOnlyWholeNumbers) {
  EXPECT_EQ(1031, ParseNumber(" 1031 "));
  EXPECT_EQ(-2.5, ParseNumber("-2.5"));
  EXPECT_EQ(1000, ParseNumber("1E3"));
  EXPECT_EQ(std::nullopt, ParseNumber("12a"));
  EXPECT_EQ(std::nullopt, ParseNumber(""));
  EXPECT_EQ(std::nullopt, ParseNumber("++1"));
  EXPECT_EQ(std::nullopt, ParseNumber("inf"));
}

TEST(NumberText, IntegerConversionRoundsHalfToEven) {
  EXPECT_EQ(2, ToInt16(2.5));
  EXPECT_EQ(4, ToInt16(3.5));
  EXPECT_EQ(-2, ToInt16(-2.5));
  EXPECT_EQ(3, ToInt16(2.51));
  EXPECT_EQ(32767, ToInt16(32767.4));
  EXPECT_EQ(-32768, ToInt16(-32768));
  EXPECT_EQ(2147483647, ToInt32(2147483647.0));
  EXPECT_EQ(err::kOverflow, testing::ThrownBy([] { ToInt16(40000); }).number);
  EXPECT_THROW(ToInt32(3e9), UnexpectedError);
  EXPECT_THROW(ToInt16(std::numeric_limits<double>::quiet_NaN()), UnexpectedError);
}

TEST(NumberText, NumberToTextPrintsFifteenSignificantDigits) {
  const std::pair<double, const char*> numbers[] = {{1.5, "1.5"},
                                                    {1000, "1000"},
                                                    {0, "0"},
                                                    {-0.0, "0"},
                                                    {-3, "-3"},
                                                    {0.0001, "0.0001"},
                                                    {0.00001, "1E-05"},
                                                    {1E14, "100000000000000"},
                                                    {1E15, "1E+15"},
                                                    {0.1, "0.1"},
                                                    {-999999999999999.0, "-999999999999999"}};
  for (const auto& [number, text] : numbers) EXPECT_EQ(text, NumberToText(number)) << number;
  EXPECT_EQ("1.23456789012346E+16", NumberToText(1.2345678901234567E+16));
  EXPECT_EQ("0.3", NumberToText(0.1 + 0.2));  // 15 digits hide the binary rest
}

}  // namespace
}  // namespace orvano
