#include "support/error_sink.h"

#include <gtest/gtest.h>

namespace orvano {
namespace {

TEST(ErrorSinkTest, PlacesReadAsCompilersPrintThem) {
  EXPECT_EQ("", PlaceText({}));
  EXPECT_EQ("Orvano.doc [Section_3] Name", PlaceText({"Orvano.doc [Section_3] Name"}));
  EXPECT_EQ("Drives!A1", PlaceText({"Drives", "", 1, 0}));
  EXPECT_EQ("c.xls:Drives!C17", PlaceText({"Drives", "c.xls", 17, 2}));
  EXPECT_EQ("S!Z2", PlaceText({"S", "", 2, 25}));
  EXPECT_EQ("S!AA2", PlaceText({"S", "", 2, 26}));
  EXPECT_EQ("S!AZ2", PlaceText({"S", "", 2, 51}));
  EXPECT_EQ("S!BA2", PlaceText({"S", "", 2, 52}));
  EXPECT_EQ("S!XFD9", PlaceText({"S", "", 9, 16383}));
  EXPECT_EQ("t/Source_Main.htm:42", PlaceText(LinePlace("t/Source_Main.htm", 42)));
  EXPECT_EQ("d/O.mdb [TidxTexts]", TablePlace("d/O.mdb", "TidxTexts"));
  EXPECT_EQ("O.doc [Setup] Sections", KeyPlace("O.doc", "Setup", "Sections"));
}

}  // namespace
}  // namespace orvano
