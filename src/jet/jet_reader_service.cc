#include "jet/jet_reader_service.h"

#include <memory>
#include <optional>
#include <string>

#include "jet/jet_file_reader.h"
#include "jet/jet_frame_format.h"
#include "jet/jet_frames.h"
#include "support/byte_reader.h"
#include "support/errors.h"

namespace orvano {

using namespace jet_frames;

namespace {

// The program stopped reading the answers.
struct OutputLost {};

}  // namespace

int ServeJetRequests(std::FILE* in, std::FILE* out) {
  const ReadExactly read = [in](char* buffer, std::size_t size) {
    return std::fread(buffer, 1, size, in) == size;
  };
  std::string file;  // the bytes sent for the next kOpen
  std::unique_ptr<JetFileReader> database;
  std::string answer;
  for (;;) {
    std::optional<Frame> frame;
    try {
      frame = ReadFrame(read);
    } catch (const DataError&) {
      return 2;
    }
    if (!frame) return 0;
    if (frame->tag == kFileBytes) {
      if (file.size() + frame->payload.size() > kMaxFileSize) return 2;
      file += frame->payload;
      continue;
    }

    answer.clear();
    ByteReader request(AsBytes(frame->payload));
    try {
      if (frame->tag == kOpen || frame->tag == kOpenFile) {
        const std::string path = ReadText(request);
        database.reset();
        database = frame->tag == kOpen ? JetFileReader::Open(std::move(file), path)
                                       : JetFileReader::OpenFile(path);
        file = std::string();
        FramePayload().Names(database->TableNames()).AppendFrame(kNames, &answer);
      } else if (frame->tag == kColumns && database != nullptr) {
        const std::string table = ReadText(request);
        FramePayload().Names(database->ColumnNames(table)).AppendFrame(kNames, &answer);
      } else if (frame->tag == kRead && database != nullptr) {
        const std::string table = ReadText(request);
        const std::vector<std::string> columns = ReadNames(request);
        // The rows go out as they are read; an error found later follows them.
        TableFrameWriter writer([out](std::string_view frames) {
          if (std::fwrite(frames.data(), 1, frames.size(), out) != frames.size()) {
            throw OutputLost();
          }
        });
        database->ReadRows(
            table, columns, [&](std::size_t count, std::size_t) { writer.Start(count); },
            [&](std::vector<Cell>& row) { writer.Row(row); });
        writer.Finish();
      } else {
        return 2;
      }
    } catch (const DataError&) {
      return 2;
    } catch (const OutputLost&) {
      return 3;
    } catch (const OrvanoError& e) {
      answer.clear();
      FramePayload()
          .U32(static_cast<std::uint32_t>(e.number()))
          .Text(e.description())
          .AppendFrame(kError, &answer);
    }
    if (std::fwrite(answer.data(), 1, answer.size(), out) != answer.size() ||
        std::fflush(out) != 0) {
      return 3;
    }
  }
}

}  // namespace orvano
