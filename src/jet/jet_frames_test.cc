#include "jet/jet_frames.h"

#include <gtest/gtest.h>

#include "jet/jet_frame_format.h"
#include "support/byte_reader.h"

namespace orvano {
namespace {

using namespace jet_frames;

// Appends `table` to `*out` as the reader sends it.
void AppendTableFrames(const Table& table, std::string* out) {
  TableFrameWriter writer([out](std::string_view frame) { out->append(frame); });
  writer.Start(table.column_count());
  for (const std::vector<Cell>& row : table.rows()) writer.Row(row);
  writer.Finish();
}

// Reads frames out of `bytes` as the client does, into a table; DataError when malformed.
Table ReadTableFrames(const std::string& bytes) {
  std::size_t at = 0;
  const ReadExactly read = [&](char* buffer, std::size_t size) {
    if (bytes.size() - at < size) return false;
    bytes.copy(buffer, size, at);
    at += size;
    return true;
  };
  Table table;
  while (std::optional<Frame> frame = ReadFrame(read)) {
    if (frame->tag == kRows) {
      AppendRows(frame->payload, &table);
    } else if (frame->tag == kEnd) {
      FinishTable(frame->payload, &table);
      if (at != bytes.size()) throw DataError("bytes after the end");
      return table;
    } else {
      throw DataError("unexpected frame");
    }
  }
  throw DataError("no end");
}

TEST(JetFramesTest, TablesSurviveTheRoundTrip) {
  {
    Table table(3, 0);
    table.AddRow({Cell{}, 1.5, std::string("Meldung")});
    table.AddRow({std::string(""), -0.0, std::string("\xc3\xa4\0x", 4)});
    std::string out;
    AppendTableFrames(table, &out);
    Table back = ReadTableFrames(out);
    EXPECT_EQ(back.column_count(), 3u);
    EXPECT_EQ(back.rows(), table.rows());
  }
  {
    // No rows: the end frame alone still carries the column count.
    std::string out;
    AppendTableFrames(Table(2, 0), &out);
    Table back = ReadTableFrames(out);
    EXPECT_EQ(back.column_count(), 2u);
    EXPECT_EQ(back.row_count(), 0u);
  }
  {
    // Larger than one chunk: split over several rows frames.
    Table table(2, 0);
    for (int i = 0; i < 40000; ++i) table.AddRow({double(i), std::string(40, 'a' + i % 26)});
    std::string out;
    AppendTableFrames(table, &out);
    EXPECT_GT(out.size(), 2 * kChunkSize);
    EXPECT_EQ(ReadTableFrames(out).rows(), table.rows());
  }
  {
    FramePayload payload;
    payload.Names({"TidxGroups", "", "TidxTexts"});
    ByteReader reader(AsBytes(payload.bytes()));
    EXPECT_EQ(ReadNames(reader), (std::vector<std::string>{"TidxGroups", "", "TidxTexts"}));
    EXPECT_TRUE(reader.empty());
  }
}

// Every cut and every changed byte of a small answer is either read as some table or refused
// with DataError; nothing reads past the bytes.
TEST(JetFramesTest, DamagedFramesAreRefused) {
  Table table(2, 0);
  table.AddRow({2.0, std::string("zwei")});
  table.AddRow({Cell{}, std::string("drei")});
  std::string good;
  AppendTableFrames(table, &good);
  for (std::size_t cut = 0; cut < good.size(); ++cut) {
    EXPECT_THROW(ReadTableFrames(good.substr(0, cut)), DataError) << "cut at " << cut;
  }
  for (std::size_t at = 0; at < good.size(); ++at) {
    std::string bad = good;
    bad[at] = static_cast<char>(bad[at] ^ 0x5a);
    try {
      ReadTableFrames(bad);
    } catch (const DataError&) {
    }
  }
  auto frame = [](std::uint8_t tag, const FramePayload& payload) {
    std::string out;
    FramePayload copy = payload;
    copy.AppendFrame(tag, &out);
    return out;
  };
  // A header announcing more than the limit.
  EXPECT_THROW(ReadTableFrames(std::string("W\xff\xff\xff\x7f", 5)), DataError);
  // More cells announced than bytes follow; an unknown cell kind; a row count the end denies.
  EXPECT_THROW(ReadTableFrames(frame(kRows, FramePayload().U32(1000).U32(1000000))), DataError);
  EXPECT_THROW(ReadTableFrames(frame(kRows, FramePayload().U32(1).U32(1).Raw("\x07"))), DataError);
  EXPECT_THROW(ReadTableFrames(frame(kRows, FramePayload().U32(1).U32(1).Raw(std::string(1, 0))) +
                               frame(kEnd, FramePayload().U32(1).U64(2))),
               DataError);
  // Rows frames that disagree on the column count.
  EXPECT_THROW(ReadTableFrames(frame(kRows, FramePayload().U32(1).U32(0)) +
                               frame(kRows, FramePayload().U32(2).U32(0))),
               DataError);
  {
    FramePayload names;
    names.U32(0x40000000);
    ByteReader reader(AsBytes(names.bytes()));
    EXPECT_THROW(ReadNames(reader), DataError);
  }
}

}  // namespace
}  // namespace orvano
