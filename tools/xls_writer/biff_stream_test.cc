#include "xls_writer/biff_stream.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>

namespace orvano {
namespace {

TEST(BiffStreamTest, RkEncodingIsUsedOnlyWhereExact) {
  const std::pair<double, std::optional<std::uint32_t>> cases[] = {
      {1, 0x00000006},         {-1, 0xFFFFFFFE},
      {536870911, 0x7FFFFFFE}, {-536870912, 0x80000002},  // 30-bit integer limits
      {536870912, 0x41C00000},                            // 2^29: an exact double RK
      {1.23, 0x000001EF},                                 // 123 / 100
      {-0.0, 0x80000000},                                 // keeps its sign: not the integer 0
      {1.0 / 3, std::nullopt}, {123456789.125, std::nullopt},
      {NAN, std::nullopt},
  };
  for (const auto& [value, expected] : cases) {
    SCOPED_TRACE(value);
    const auto rk = EncodeRk(value);
    EXPECT_EQ(rk, expected);
    if (rk) {
      EXPECT_EQ(std::bit_cast<std::uint64_t>(DecodeRk(*rk)), std::bit_cast<std::uint64_t>(value));
    }
  }
}

}  // namespace
}  // namespace orvano
