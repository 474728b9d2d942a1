// Building and parsing the frames of jet_frame_format.h. Both the reader process and
// JetDatabase's side of the pipe use it; parsing treats the bytes as untrusted and throws
// DataError (byte_reader.h) on anything malformed.

#ifndef ORVANO_JET_JET_FRAMES_H_
#define ORVANO_JET_JET_FRAMES_H_

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "support/table.h"

namespace orvano {

class ByteReader;

// The payload of one frame being built.
class FramePayload {
 public:
  FramePayload& U32(std::uint32_t value);
  FramePayload& U64(std::uint64_t value);
  /// Appends the byte length of `text` and its bytes.
  FramePayload& Text(std::string_view text);
  /// Appends the count of `names` and each as a text.
  FramePayload& Names(const std::vector<std::string>& names);
  /// Appends `cell` as a kind byte and its value.
  FramePayload& CellValue(const Cell& cell);
  FramePayload& Raw(std::string_view bytes);

  std::size_t size() const { return bytes_.size(); }
  const std::string& bytes() const { return bytes_; }
  /// Appends the frame `tag` carrying this payload to `*out` and empties the payload.
  void AppendFrame(std::uint8_t tag, std::string* out);

 private:
  std::string bytes_;
};

struct Frame {
  std::uint8_t tag = 0;
  std::string payload;
};

/// Fills its buffer with exactly the given number of bytes; false when the input ended (or
/// failed) first.
using ReadExactly = std::function<bool(char* buffer, std::size_t size)>;

/// Reads the next frame through `read_exactly`. Returns nullopt when the input ends before a
/// frame starts. Throws DataError when it ends inside a frame or the header announces a payload
/// larger than jet_frames::kMaxPayload.
std::optional<Frame> ReadFrame(const ReadExactly& read_exactly);

/// The next text of `reader`. Throws DataError when it is cut short.
std::string ReadText(ByteReader& reader);
/// The next count-prefixed list of texts of `reader`. Throws DataError when it is cut short.
std::vector<std::string> ReadNames(ByteReader& reader);

/// Sends a table's rows as they come, as kRows frames of about jet_frames::kChunkSize bytes,
/// then the kEnd frame with its size: no frame waits for the whole table.
class TableFrameWriter {
 public:
  /// `send` is given each finished frame.
  explicit TableFrameWriter(std::function<void(std::string_view frame)> send)
      : send_(std::move(send)) {}

  /// Starts a table of `columns` columns.
  void Start(std::size_t columns);
  /// Adds a row of the table's columns.
  void Row(const std::vector<Cell>& cells);
  /// Sends the rows not sent yet and the kEnd frame.
  void Finish();

 private:
  void SendRows();

  std::function<void(std::string_view)> send_;
  std::uint32_t columns_ = 0;
  std::uint64_t rows_ = 0;
  std::uint32_t waiting_ = 0;  // the rows in cells_
  FramePayload cells_;
  std::string frame_;
};

/// Adds the rows of the kRows `payload` to `*table`. A table without columns takes the
/// frame's column count. Throws DataError when the payload is malformed or its column count
/// differs from the table's.
void AppendRows(std::string_view payload, Table* table);

/// Checks the kEnd `payload` against `*table`; a table without columns (no rows came) takes
/// the column count it states. Throws DataError when the counts differ from what was sent.
void FinishTable(std::string_view payload, Table* table);

}  // namespace orvano

#endif  // ORVANO_JET_JET_FRAMES_H_
