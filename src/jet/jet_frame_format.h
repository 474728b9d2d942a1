// The framed format JetDatabase and its reader process (orvano-dbreader) speak over the
// reader's standard input and output. Shared by both sides; see docs/reliability.md.
//
// Every frame is a tag byte, the payload length (u32, little-endian) and the payload. Numbers
// in payloads are little-endian; a text is its byte length (u32) and its UTF-8 bytes; a cell is
// a kind byte (kCellNull, kCellNumber + f64, kCellText + text).

#ifndef ORVANO_JET_JET_FRAME_FORMAT_H_
#define ORVANO_JET_JET_FRAME_FORMAT_H_

#include <cstddef>
#include <cstdint>

namespace orvano::jet_frames {

inline constexpr std::size_t kHeaderSize = 5;
// No frame is larger; bigger content (file bytes, tables) is split over several frames.
inline constexpr std::uint32_t kMaxPayload = 16u << 20;
// Writers close a file-bytes or rows frame once it reaches this size.
inline constexpr std::size_t kChunkSize = 1u << 20;
// A Jet table has at most 255 columns.
inline constexpr std::uint32_t kMaxColumns = 255;
// The largest database file the reader accepts (libmdb addresses pages with 32-bit offsets).
inline constexpr std::uint64_t kMaxFileSize = std::uint64_t{1} << 31;

enum Tag : std::uint8_t {
  // Requests, to the reader.
  kFileBytes = 'B',  // the next part of the database file's bytes
  kOpen = 'O',      // text path: open the bytes sent so far. Answer: kNames (user tables) or kError
  kOpenFile = 'F',  // text path: read the file at path and open it. Answers as kOpen
  kColumns = 'C',   // text table. Answer: kNames (its columns) or kError
  kRead = 'R',      // text table, u32 n, n texts column names. Answer: kRows..., kEnd; or kError
  // Answers, from the reader.
  kNames = 'N',  // u32 n, n texts
  kRows = 'W',   // u32 columns, u32 rows, rows x columns cells
  kEnd = 'Z',    // u32 columns, u64 rows: the table is complete
  kError = 'E',  // u32 error number, text message
};

enum CellKind : std::uint8_t { kCellNull = 0, kCellNumber = 1, kCellText = 2 };

}  // namespace orvano::jet_frames

#endif  // ORVANO_JET_JET_FRAME_FORMAT_H_
