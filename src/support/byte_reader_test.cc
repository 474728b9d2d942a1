#include "support/byte_reader.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace orvano {
namespace {

TEST(ByteReaderTest, ReadsLittleEndianAndStopsAtTheEnd) {
  const std::string data("\x01\x02\x03\x04\x05\x06\x07\x08\x00\x00\x00\x00\x00\x00\xF0\x3F", 16);
  ByteReader r(AsBytes(data), 100);
  EXPECT_EQ(r.U8(), 0x01);
  EXPECT_EQ(r.U16(), 0x0302);
  EXPECT_EQ(r.offset(), 103u);
  EXPECT_EQ(r.U32(), 0x07060504u);
  ByteReader sub = r.Sub(8);
  EXPECT_EQ(r.remaining(), 1u);
  EXPECT_EQ(sub.offset(), 107u);
  sub.Skip(1);
  EXPECT_THROW(sub.F64(), DataError);  // 7 bytes left, nothing consumed
  EXPECT_EQ(sub.remaining(), 7u);
  try {
    sub.Bytes(9);
    FAIL();
  } catch (const DataError& e) {
    EXPECT_STREQ(e.what(), "offset 108: needs 9 bytes, 7 left");
  }
  ByteReader whole(AsBytes(data));
  whole.Skip(8);
  EXPECT_EQ(whole.F64(), 1.0);
}

TEST(ByteReaderTest, CheckedArithmeticRefusesOverflow) {
  const std::size_t max = std::numeric_limits<std::size_t>::max();
  EXPECT_EQ(CheckedAdd(2, 3, "x"), 5u);
  EXPECT_EQ(CheckedMul(0, max, "x"), 0u);
  EXPECT_THROW(CheckedAdd(max, 1, "x"), DataError);
  EXPECT_THROW(CheckedMul(max / 2 + 1, 2, "x"), DataError);
}

}  // namespace
}  // namespace orvano
