#include "inputs/zip_archive.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/byte_reader.h"
#include "testing/test_util.h"
#include "xlsx_writer/zip_builder.h"

namespace orvano {
namespace {

using testing::PutLe;

// Member "x/a.xml" holds this; "big" 200 000 bytes that deflate well.
constexpr char kText[] = "<a>some text</a>";

std::string Archive(bool deflate = true) {
  return BuildZipArchive({{"x/a.xml", kText, deflate}, {"big", std::string(200000, 'z'), true}});
}

// Member `name` of `zip` streamed whole, with the number of chunks it came in.
std::string Streamed(ZipArchive& zip, std::string_view name, int* chunks = nullptr) {
  std::string bytes;
  zip.StreamMember(name, [&](std::string_view chunk) {
    bytes += chunk;
    if (chunks != nullptr) ++*chunks;
  });
  return bytes;
}

// The DataError opening `archive` and streaming member "x/a.xml" gives; "" when none.
std::string Error(const std::string& archive) {
  try {
    ZipArchive zip(AsBytes(archive));
    Streamed(zip, "x/a.xml");
  } catch (const DataError& e) {
    return e.what();
  }
  return "";
}

// Sets the `size`-byte field at `local` of the first local header and at `central` of the
// first central directory entry (member "x/a.xml").
std::string WithField(std::string zip, std::size_t local, std::size_t central, std::uint64_t value,
                      int size) {
  PutLe(zip, zip.find("PK\x03\x04") + local, value, size);
  PutLe(zip, zip.find("PK\x01\x02") + central, value, size);
  return zip;
}

TEST(ZipArchiveTest, StreamsMembersInChunksFoundWhateverTheirCase) {
  const std::string bytes = Archive();
  ZipArchive zip(AsBytes(bytes));
  EXPECT_TRUE(zip.HasMember("X/A.XML"));
  EXPECT_FALSE(zip.HasMember("x/a.xm"));
  EXPECT_EQ(Streamed(zip, "X/a.Xml"), kText);
  int chunks = 0;
  EXPECT_EQ(Streamed(zip, "big", &chunks), std::string(200000, 'z'));
  EXPECT_EQ(chunks, 4);  // 64 KiB each
  EXPECT_EQ(Error(bytes), "");
  EXPECT_EQ(testing::ThrownBy([&] { Streamed(zip, "x/b.xml"); }).description,
            "part \"x/b.xml\" is missing from the archive");
}

TEST(ZipArchiveTest, RefusesDamagedArchivesAndMembers) {
  const std::string stored = Archive(false);
  std::string changed = stored;
  changed.replace(changed.find("some"), 4, "SOME");
  const std::string deflated = Archive();
  std::string garbled = deflated;
  const std::size_t data = garbled.find("PK\x03\x04") + 30 + 7;  // after header and name
  for (std::size_t i = data; i < data + 8; ++i) garbled[i] = '\xFF';
  const std::pair<std::string, std::string> cases[] = {
      {"", "part \"x/a.xml\" is missing from the archive"},  // an empty archive
      {"PK\x05\x06", "damaged ZIP archive: Not a zip archive"},
      {BuildZipArchive({{"x/a.xml", "1"}, {"X/A.XML", "2"}}),
       "the archive holds two entries named X/A.XML"},
      {changed, "part \"x/a.xml\" is damaged: CRC error"},
      {garbled, "part \"x/a.xml\" is damaged: Zlib error: data error"},
      {WithField(stored, 6, 8, 1, 2),  // the encryption flag
       "part \"x/a.xml\" cannot be opened: the part is encrypted"},
      {WithField(stored, 8, 10, 77, 2),  // the compression method
       "part \"x/a.xml\" cannot be opened: Compression method not supported"},
      {WithField(deflated, 22, 24, 22, 4),  // the declared size, too large
       "part \"x/a.xml\" is damaged: it inflates to 16 of the 22 bytes its directory entry "
       "declares"},
      {WithField(deflated, 22, 24, 5, 4),  // the declared size, too small
       "part \"x/a.xml\" inflates past the 5 bytes its directory entry declares"},
  };
  for (const auto& [archive, message] : cases) EXPECT_EQ(Error(archive), message) << message;

  // Every cut: an error naming the fault, never a crash or a short member.
  for (std::size_t n = 1; n < stored.size(); ++n) {
    const std::string message = Error(stored.substr(0, n));
    EXPECT_TRUE(message == "damaged ZIP archive: Not a zip archive" ||
                message == "damaged ZIP archive: Premature end of file")
        << n << ": " << message;
  }
}

// Readers of one archive on several threads share a budget: what one inflated, the others may
// not.
TEST(ZipArchiveTest, SharedBudgetRefusesAZipBombAcrossReaders) {
  const std::string bytes = BuildZipArchive({{"z", std::string(600000, '\0')}});
  InflationBudget budget(bytes.size());
  EXPECT_EQ(budget.limit(), InflationBudget::kMinInflationAllowance);
  ZipArchive first(AsBytes(bytes), budget);
  ZipArchive second(AsBytes(bytes), budget);
  EXPECT_EQ(Streamed(first, "z").size(), 600000u);
  EXPECT_EQ(testing::ThrownBy([&] { Streamed(second, "z"); }).description,
            "part \"z\" inflates to 600000 bytes, which takes the archive past 1048576 inflated "
            "bytes (200 times its " +
                std::to_string(bytes.size()) + " bytes, at most 1 GiB): refused as a ZIP bomb");

  EXPECT_EQ(InflationBudget(10 << 20).limit(), InflationBudget::kMaxTotalInflatedBytes);
  EXPECT_EQ(InflationBudget(10000).limit(), 2000000u);
  InflationBudget small(0);
  EXPECT_TRUE(small.Take(1 << 20));
  EXPECT_FALSE(small.Fits(1));
  EXPECT_FALSE(small.Take(1));
  EXPECT_TRUE(small.Take(0));
}

}  // namespace
}  // namespace orvano
