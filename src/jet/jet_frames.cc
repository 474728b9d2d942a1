#include "jet/jet_frames.h"

#include <bit>

#include "jet/jet_frame_format.h"
#include "support/byte_reader.h"

namespace orvano {
namespace {

using namespace jet_frames;

void AppendLittleEndian(std::string* out, std::uint64_t value, int size) {
  for (int i = 0; i < size; ++i) out->push_back(static_cast<char>((value >> (8 * i)) & 0xff));
}

std::string_view AsText(std::span<const std::byte> bytes) {
  return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

}  // namespace

FramePayload& FramePayload::U32(std::uint32_t value) {
  AppendLittleEndian(&bytes_, value, 4);
  return *this;
}

FramePayload& FramePayload::U64(std::uint64_t value) {
  AppendLittleEndian(&bytes_, value, 8);
  return *this;
}

FramePayload& FramePayload::Text(std::string_view text) {
  U32(static_cast<std::uint32_t>(text.size()));
  bytes_.append(text);
  return *this;
}

FramePayload& FramePayload::Names(const std::vector<std::string>& names) {
  U32(static_cast<std::uint32_t>(names.size()));
  for (const std::string& name : names) Text(name);
  return *this;
}

FramePayload& FramePayload::CellValue(const Cell& cell) {
  if (const auto* number = std::get_if<double>(&cell)) {
    bytes_.push_back(static_cast<char>(kCellNumber));
    U64(std::bit_cast<std::uint64_t>(*number));
  } else if (const auto* text = std::get_if<std::string>(&cell)) {
    bytes_.push_back(static_cast<char>(kCellText));
    Text(*text);
  } else {
    bytes_.push_back(static_cast<char>(kCellNull));
  }
  return *this;
}

FramePayload& FramePayload::Raw(std::string_view bytes) {
  bytes_.append(bytes);
  return *this;
}

void FramePayload::AppendFrame(std::uint8_t tag, std::string* out) {
  out->push_back(static_cast<char>(tag));
  AppendLittleEndian(out, bytes_.size(), 4);
  out->append(bytes_);
  bytes_.clear();
}

std::optional<Frame> ReadFrame(const ReadExactly& read_exactly) {
  char header[kHeaderSize];
  if (!read_exactly(header, 1)) return std::nullopt;
  if (!read_exactly(header + 1, kHeaderSize - 1)) throw DataError("frame header cut short");
  ByteReader reader(std::as_bytes(std::span<const char>(header, kHeaderSize)));
  Frame frame;
  frame.tag = reader.U8();
  const std::uint32_t size = reader.U32();
  if (size > kMaxPayload) {
    throw DataError("frame of " + std::to_string(size) + " bytes, more than the limit of " +
                    std::to_string(kMaxPayload));
  }
  frame.payload.resize(size);
  if (!read_exactly(frame.payload.data(), size)) throw DataError("frame payload cut short");
  return frame;
}

std::string ReadText(ByteReader& reader) {
  const std::uint32_t size = reader.U32();
  return std::string(AsText(reader.Bytes(size)));
}

std::vector<std::string> ReadNames(ByteReader& reader) {
  const std::uint32_t count = reader.U32();
  if (count > reader.remaining() / 4) throw DataError("more names than bytes left");
  std::vector<std::string> names;
  names.reserve(count);
  for (std::uint32_t i = 0; i < count; ++i) names.push_back(ReadText(reader));
  return names;
}

void TableFrameWriter::Start(std::size_t columns) {
  columns_ = static_cast<std::uint32_t>(columns);
}

void TableFrameWriter::Row(const std::vector<Cell>& cells) {
  for (const Cell& cell : cells) cells_.CellValue(cell);
  ++rows_;
  ++waiting_;
  if (cells_.size() >= kChunkSize) SendRows();
}

void TableFrameWriter::SendRows() {
  FramePayload frame;
  frame.U32(columns_).U32(waiting_).Raw(cells_.bytes());
  frame_.clear();
  frame.AppendFrame(kRows, &frame_);
  send_(frame_);
  cells_ = FramePayload();
  waiting_ = 0;
}

void TableFrameWriter::Finish() {
  if (waiting_ > 0) SendRows();
  frame_.clear();
  FramePayload().U32(columns_).U64(rows_).AppendFrame(kEnd, &frame_);
  send_(frame_);
}

void AppendRows(std::string_view payload, Table* table) {
  ByteReader reader(std::as_bytes(std::span<const char>(payload.data(), payload.size())));
  const std::uint32_t columns = reader.U32();
  const std::uint32_t rows = reader.U32();
  if (columns == 0 || columns > kMaxColumns) {
    throw DataError("rows of " + std::to_string(columns) + " columns");
  }
  if (table->column_count() == 0) *table = Table(columns, 0);
  if (columns != table->column_count()) {
    throw DataError("rows of " + std::to_string(columns) + " columns in a table of " +
                    std::to_string(table->column_count()));
  }
  // Every cell takes at least its kind byte.
  if (CheckedMul(columns, rows, "rows frame") > reader.remaining()) {
    throw DataError("more cells than bytes left");
  }
  table->rows().reserve(table->row_count() + rows);
  for (std::uint32_t r = 0; r < rows; ++r) {
    std::vector<Cell> row;
    row.reserve(columns);
    for (std::uint32_t c = 0; c < columns; ++c) {
      switch (reader.U8()) {
        case kCellNull:
          row.emplace_back();
          break;
        case kCellNumber:
          row.emplace_back(reader.F64());
          break;
        case kCellText:
          row.emplace_back(ReadText(reader));
          break;
        default:
          throw DataError("unknown cell kind at offset " + std::to_string(reader.offset() - 1));
      }
    }
    table->rows().push_back(std::move(row));
  }
  if (!reader.empty()) throw DataError("bytes left after the rows");
}

void FinishTable(std::string_view payload, Table* table) {
  ByteReader reader(std::as_bytes(std::span<const char>(payload.data(), payload.size())));
  const std::uint32_t columns = reader.U32();
  const std::uint64_t rows = reader.U64();
  if (!reader.empty() || columns == 0 || columns > kMaxColumns ||
      (table->column_count() != 0 && columns != table->column_count()) ||
      rows != table->row_count()) {
    throw DataError("the table's end does not match the rows sent");
  }
  if (table->column_count() == 0) *table = Table(columns, 0);
}

}  // namespace orvano
