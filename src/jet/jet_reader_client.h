// The program's side of the conversation with the database reader process: sends a file and
// requests as frames (jet_frame_format.h) and turns the answers back into names and tables.
// A reader that dies, hangs past the time limit or sends malformed frames is killed, and that
// request and every later one fail with "Damaged database: <path>".

#ifndef ORVANO_JET_JET_READER_CLIENT_H_
#define ORVANO_JET_JET_READER_CLIENT_H_

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "support/table.h"

namespace orvano {

class ChildProcess;
struct Frame;

class JetReaderClient {
 public:
  /// Starts the reader `program` with `arguments`; each request must be answered within
  /// `time_limit`. `path` names the database in messages. Throws UnexpectedError 75 when the
  /// program cannot be started.
  JetReaderClient(const std::string& program, const std::vector<std::string>& arguments,
                  std::string path, std::chrono::milliseconds time_limit);
  ~JetReaderClient();
  JetReaderClient(const JetReaderClient&) = delete;
  JetReaderClient& operator=(const JetReaderClient&) = delete;

  /// Sends the database file's `bytes` and opens them; returns the user table names.
  /// Throws UnexpectedError: the reader's own error (as JetDatabase::Open), or the damage error.
  std::vector<std::string> Open(std::string_view bytes);
  /// Has the reader read the file at `path` itself and open it; returns the user table names.
  /// Throws as JetDatabase::Open, or the damage error.
  std::vector<std::string> OpenFile();
  /// The column names of `table`. Throws as JetDatabase::ColumnNames, or the damage error.
  std::vector<std::string> ColumnNames(std::string_view table);
  /// The rows of `table`. Throws as JetDatabase::ReadTable, or the damage error.
  Table ReadTable(std::string_view table, const std::vector<std::string>& columns);

 private:
  // Sends `request` and returns the first frame of the answer; throws the reader's error when
  // that is what came.
  Frame Ask(const std::string& request, std::string_view table);
  // Sends an open request and returns the table names it answers with.
  std::vector<std::string> TableNamesAnswer(const std::string& request);
  // The next frame of the current answer.
  Frame Next(std::string_view table);
  // Kills the reader and returns the damage error.
  [[noreturn]] void Fail(std::string_view table);

  std::unique_ptr<ChildProcess> reader_;
  std::string path_;
  std::chrono::milliseconds time_limit_;
  std::chrono::steady_clock::time_point deadline_;
  bool failed_ = false;
};

}  // namespace orvano

#endif  // ORVANO_JET_JET_READER_CLIENT_H_
