#include "jet/jet_reader_client.h"

#include <algorithm>

#include "jet/jet_frame_format.h"
#include "jet/jet_frames.h"
#include "support/byte_reader.h"
#include "support/child_process.h"
#include "support/errors.h"

namespace orvano {
namespace {

using namespace jet_frames;

constexpr const char* kSource = "JetDatabase";
// A reader's message is shown to the user; a longer one is not the reader's own.
constexpr std::size_t kMaxMessage = 4096;

// The errors the reader itself raises; any other number means it is not itself any more.
bool IsReaderErrorNumber(std::uint32_t number) {
  return number == err::kDbUnrecognizedFormat || number == err::kDbTableNotFound ||
         number == err::kDbTooFewParameters || number == err::kPathFileAccess ||
         number == err::kDbFileNotFound || number == err::kDbCannotOpen;
}

std::string DamagedText(const std::string& path, std::string_view table) {
  std::string text = "Damaged database: " + path;
  if (!table.empty()) text += " (table '" + std::string(table) + "')";
  return text;
}

ByteReader PayloadReader(const Frame& frame) { return ByteReader(AsBytes(frame.payload)); }

}  // namespace

JetReaderClient::JetReaderClient(const std::string& program,
                                 const std::vector<std::string>& arguments, std::string path,
                                 std::chrono::milliseconds time_limit)
    : reader_(ChildProcess::Start(program, arguments)),
      path_(std::move(path)),
      time_limit_(time_limit) {}

JetReaderClient::~JetReaderClient() = default;

void JetReaderClient::Fail(std::string_view table) {
  failed_ = true;
  reader_->Kill();
  throw UnexpectedError(err::kDbUnrecognizedFormat, DamagedText(path_, table), kSource);
}

Frame JetReaderClient::Next(std::string_view table) {
  std::optional<Frame> frame;
  try {
    frame = ReadFrame([this](char* buffer, std::size_t size) {
      return reader_->Receive(buffer, size, deadline_);
    });
  } catch (const DataError&) {
    Fail(table);
  }
  if (!frame) Fail(table);
  if (frame->tag != kError) return std::move(*frame);

  std::uint32_t number = 0;
  std::string message;
  try {
    ByteReader reader = PayloadReader(*frame);
    number = reader.U32();
    message = ReadText(reader);
    if (!reader.empty()) Fail(table);
  } catch (const DataError&) {
    Fail(table);
  }
  if (!IsReaderErrorNumber(number) || message.empty() || message.size() > kMaxMessage) {
    Fail(table);
  }
  throw UnexpectedError(static_cast<int>(number), message, kSource);
}

Frame JetReaderClient::Ask(const std::string& request, std::string_view table) {
  if (!reader_->Send(request, deadline_)) Fail(table);
  return Next(table);
}

std::vector<std::string> JetReaderClient::Open(std::string_view bytes) {
  if (failed_) Fail({});
  deadline_ = std::chrono::steady_clock::now() + time_limit_;
  std::string frame;
  for (std::size_t at = 0; at < bytes.size(); at += kChunkSize) {
    frame.clear();
    FramePayload().Raw(bytes.substr(at, kChunkSize)).AppendFrame(kFileBytes, &frame);
    if (!reader_->Send(frame, deadline_)) Fail({});
  }
  frame.clear();
  FramePayload().Text(path_).AppendFrame(kOpen, &frame);
  return TableNamesAnswer(frame);
}

std::vector<std::string> JetReaderClient::OpenFile() {
  if (failed_) Fail({});
  deadline_ = std::chrono::steady_clock::now() + time_limit_;
  std::string request;
  FramePayload().Text(path_).AppendFrame(kOpenFile, &request);
  return TableNamesAnswer(request);
}

std::vector<std::string> JetReaderClient::TableNamesAnswer(const std::string& request) {
  Frame answer = Ask(request, {});
  if (answer.tag != kNames) Fail({});
  try {
    ByteReader reader = PayloadReader(answer);
    std::vector<std::string> names = ReadNames(reader);
    if (reader.empty()) return names;
  } catch (const DataError&) {
  }
  Fail({});
}

std::vector<std::string> JetReaderClient::ColumnNames(std::string_view table) {
  if (failed_) Fail(table);
  deadline_ = std::chrono::steady_clock::now() + time_limit_;
  std::string request;
  FramePayload().Text(table).AppendFrame(kColumns, &request);
  Frame answer = Ask(request, table);
  if (answer.tag != kNames) Fail(table);
  try {
    ByteReader reader = PayloadReader(answer);
    std::vector<std::string> names = ReadNames(reader);
    if (reader.empty() && !names.empty()) return names;
  } catch (const DataError&) {
  }
  Fail(table);
}

Table JetReaderClient::ReadTable(std::string_view table, const std::vector<std::string>& columns) {
  if (failed_) Fail(table);
  deadline_ = std::chrono::steady_clock::now() + time_limit_;
  std::string request;
  FramePayload().Text(table).Names(columns).AppendFrame(kRead, &request);
  Table result;
  try {
    for (Frame frame = Ask(request, table);; frame = Next(table)) {
      if (frame.tag == kRows) {
        AppendRows(frame.payload, &result);
      } else if (frame.tag == kEnd) {
        FinishTable(frame.payload, &result);
        break;
      } else {
        Fail(table);
      }
    }
  } catch (const DataError&) {
    Fail(table);
  }
  // Named columns come back as asked for, so the reader cannot change their number.
  if (!columns.empty() && result.column_count() != columns.size()) Fail(table);
  return result;
}

}  // namespace orvano
