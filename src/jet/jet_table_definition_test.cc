#include "jet/jet_table_definition.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "jet/jet4_format.h"
#include "mdb_table.h"
#include "mdb_writer.h"
#include "support/byte_reader.h"
#include "testing/test_util.h"

namespace orvano {
namespace {

constexpr std::size_t kPage = jet4::kPageSize;

std::string DamageOf(const std::string& file, std::uint32_t first_page) {
  return testing::ThrownBy([&] { JetDefinitionBytes(AsBytes(file), kPage, first_page); })
      .description;
}

// The writer's definitions read back entry by entry, also when they take a chain of pages; a
// broken chain is damage.
TEST(JetTableDefinitionTest, ReadsTheWritersEntriesAcrossPages) {
  tools::MdbTable wide{"Wide", {}, {}};
  for (int i = 0; i < 200; ++i) {
    wide.columns.push_back({"Column " + std::to_string(i) + std::string(50, '-'),
                            i % 2 == 0 ? tools::MdbType::kText : tools::MdbType::kBoolean});
  }
  const std::string file = tools::BuildMdb({wide});
  const std::uint32_t first = 3;  // after the header, the global usage map and the catalog
  ASSERT_NE(testing::GetLe(file, first * kPage + jet4::kTdefNextPageOffset, 4), 0u);
  const std::string definition = JetDefinitionBytes(AsBytes(file), kPage, first);
  const std::vector<JetColumnEntry> entries = ReadJet4ColumnEntries(AsBytes(definition));
  ASSERT_EQ(entries.size(), 200u);
  for (unsigned i = 0; i < 200; ++i) {
    EXPECT_EQ(entries[i].number, i);
    EXPECT_EQ(entries[i].type, i % 2 == 0 ? jet4::kTypeText : jet4::kTypeBoolean);
    EXPECT_EQ(UnsupportedColumnKind(entries[i]), "");
  }

  const std::size_t second = testing::GetLe(file, first * kPage + jet4::kTdefNextPageOffset, 4);
  const std::size_t next = second * kPage + jet4::kTdefNextPageOffset;
  EXPECT_EQ(DamageOf(testing::WithLe(file, next, first, 4), first),
            "the definition's pages run in circles at page 3");
  EXPECT_EQ(DamageOf(testing::WithLe(file, next, 99, 4), first),
            "definition page 99 lies beyond the file's " + std::to_string(file.size() / kPage) +
                " pages");
  EXPECT_EQ(DamageOf(file, 1), "page 1 is no table definition page");
}

TEST(JetTableDefinitionTest, NamesTheKindsItDoesNotRead) {
  EXPECT_EQ(UnsupportedColumnKind({.type = 0x0a, .extra_flags = 0xc0}),
            "calculated columns are not supported");
  EXPECT_EQ(UnsupportedColumnKind({.type = 0x12}), "complex columns are not supported");
  EXPECT_EQ(UnsupportedColumnKind({.type = 0x0d}), "columns of type 0x0d are not supported");
  EXPECT_EQ(UnsupportedColumnKind({.type = 0x0a, .extra_flags = 0x01}), "");  // compressed
}

}  // namespace
}  // namespace orvano
