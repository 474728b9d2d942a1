#include "support/byte_reader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <string>

#include "testing/test_util.h"

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
  EXPECT_EQ(testing::ThrownBy([&] { sub.Bytes(9); }).description,
            "offset 108: needs 9 bytes, 7 left");
  ByteReader whole(AsBytes(data));
  whole.Skip(8);
  EXPECT_EQ(whole.F64(), 1.0);
}

// Every kind of read, on every prefix of a record: a read either has all its bytes and gives
// the value the whole record gives, or throws and consumes nothing.
TEST(ByteReaderTest, EveryReadOfATruncatedRecordFailsCleanly) {
  const std::string record("\x11\x22\x33\x44\x55\x66\x77\x88\x99\xAA\xBB\xCC\xDD\xEE\xFF\x01", 16);
  struct Read {
    const char* name;
    std::size_t size;
    std::uint64_t (*read)(ByteReader&);
  };
  const Read reads[] = {
      {"U8", 1, [](ByteReader& r) -> std::uint64_t { return r.U8(); }},
      {"U16", 2, [](ByteReader& r) -> std::uint64_t { return r.U16(); }},
      {"U32", 4, [](ByteReader& r) -> std::uint64_t { return r.U32(); }},
      {"U64", 8, [](ByteReader& r) -> std::uint64_t { return r.U64(); }},
      {"F64", 8,
       [](ByteReader& r) -> std::uint64_t {
         double d = r.F64();
         std::uint64_t bits = 0;
         std::memcpy(&bits, &d, sizeof bits);
         return bits;
       }},
      {"Bytes(5)", 5,
       [](ByteReader& r) -> std::uint64_t { return static_cast<std::uint64_t>(r.Bytes(5)[4]); }},
      {"Sub(6)", 6, [](ByteReader& r) -> std::uint64_t { return r.Sub(6).remaining(); }},
  };
  for (const Read& kind : reads) {
    for (std::size_t skip = 0; skip <= 3; ++skip) {
      ByteReader whole_reader(AsBytes(record));
      whole_reader.Skip(skip);
      const std::uint64_t expected = kind.read(whole_reader);
      for (std::size_t length = skip; length <= record.size(); ++length) {
        const std::string cut = record.substr(0, length);
        ByteReader r(AsBytes(cut), 1000);
        r.Skip(skip);
        if (length - skip >= kind.size) {
          EXPECT_EQ(expected, kind.read(r)) << kind.name << " at " << skip << " of " << length;
          EXPECT_EQ(length - skip - kind.size, r.remaining());
          continue;
        }
        try {
          kind.read(r);
          ADD_FAILURE() << kind.name << " read past the end of " << length << " bytes";
        } catch (const DataError& e) {
          EXPECT_EQ("offset " + std::to_string(1000 + skip) + ": needs " +
                        std::to_string(kind.size) + " bytes, " + std::to_string(length - skip) +
                        " left",
                    e.what());
        }
        EXPECT_EQ(length - skip, r.remaining()) << kind.name << ": a failed read consumed bytes";
      }
    }
  }
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
