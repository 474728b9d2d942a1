#include "inputs/address_index.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "inputs/address_list.h"
#include "support/table.h"

namespace orvano {
namespace {

// The first position of `address` in `list`, found by looking at every one.
std::optional<std::size_t> LinearFind(const AddressList& list, const std::string& address) {
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (list[i] == address) return i;
  }
  return std::nullopt;
}

// "G<group>.t<text>", built by appending (GCC 12 warns wrongly about concatenating here).
std::string Address(int group, int text) {
  std::string address = "G";
  address.append(std::to_string(group)).append(".t").append(std::to_string(text));
  return address;
}

TEST(AddressIndex, FindsTheFirstOfEveryAddressAndNothingElse) {
  // Enough addresses to fill the table's probe runs and wrap around its end; every seventh
  // repeats an earlier one, every eleventh is empty.
  AddressList list;
  for (int i = 0; i < 5000; ++i) {
    list.Add(i % 11 == 0 ? std::string() : Address(i % 97, i % 7 == 0 ? i / 7 : i));
  }
  AddressIndex index;
  EXPECT_FALSE(index.Find(list, "G0.t0"));  // not built yet
  index.Build(list);
  EXPECT_GT(index.size(), 3000u);
  for (int i = 0; i < 6000; ++i) {
    const std::string address = Address(i % 97, i);
    EXPECT_EQ(LinearFind(list, address), index.Find(list, address)) << address;
  }
  EXPECT_EQ(index.Find(list, ""), 0u);

  // A shorter list than the one indexed does not hold what lay beyond its end.
  const std::string last = Address(4999 % 97, 4999);
  ASSERT_TRUE(index.Find(list, last));
  AddressList shorter;
  for (std::size_t i = 0; i < 10; ++i) shorter.Add(list[i]);
  EXPECT_FALSE(index.Find(shorter, last));
  index.Clear();
  EXPECT_TRUE(index.empty());
}

TEST(AddressList, FindsTheFirstOfEqualAddressesInCodeUnitOrder) {
  // U+1F600 sorts before U+E000 in code units, unlike in UTF-8 bytes.
  std::vector<std::string> addresses = {"A.b", "A.b", "A.c", "B.\xF0\x9F\x98\x80", "B.\xEE\x80\x80",
                                        "a.a", "a.b"};
  AddressList list;
  for (const std::string& address : addresses) list.Add(address);
  for (std::size_t i = 0; i < addresses.size(); ++i) {
    EXPECT_EQ(list[i], addresses[i]);
    const std::size_t first = static_cast<std::size_t>(
        std::find(addresses.begin(), addresses.end(), addresses[i]) - addresses.begin());
    EXPECT_EQ(list.FindInOrder(addresses[i]), first) << addresses[i];
  }
  for (std::string_view absent : {"", "A.a", "A.bb", "B.", "b.a", "\xF4\x8F\xBF\xBF"}) {
    EXPECT_EQ(list.FindInOrder(absent), std::nullopt) << absent;
  }
  EXPECT_EQ(AddressList().FindInOrder(""), std::nullopt);
}

}  // namespace
}  // namespace orvano
