// The program's two logs: the error log beside the executable, which keeps every reported error
// across runs, and the event log of a run ("Logfile.log" in the destination folder), which keeps
// notes such as missing sheets. Each entry is appended and the file closed at once, unless the
// event log's entries are held (HeldEvents) to be appended together.

#ifndef ORVANO_SUPPORT_LOGS_H_
#define ORVANO_SUPPORT_LOGS_H_

#include <string>
#include <string_view>
#include <vector>

namespace orvano {

class FileSystem;

class Logs {
 public:
  /// `fs` must outlive the logs. `default_event_log_path` is used when an event is logged
  /// before any run has set the event log path.
  Logs(FileSystem& fs, std::string error_log_path, std::string default_event_log_path);

  /// Appends `message` and CR LF to the error log (UTF-8). Throws what FileSystem::AppendToFile
  /// throws when the log could not be written; the entry is then lost.
  void AppendError(std::string_view message);

  /// Deletes the event log file when the path is set and the file exists; failures are ignored.
  void RemoveEventLog();

  /// Appends the entry: the current date " / " the current time (the locale's short formats),
  /// CR LF, `message`, CR LF. Sets the default path first when none is set. Throws what
  /// FileSystem::AppendToFile throws when the log could not be written; the note is then lost.
  void AppendEvent(std::string_view message);

  /// While held, event-log entries are gathered instead of appended; they are appended together,
  /// in one write, when the hold ends. See HeldEvents.
  void HoldEvents();
  /// Ends the hold and appends what it gathered. Throws as AppendEvent; the entries are then
  /// lost.
  void ReleaseEvents();

  /// While `sink` is set (not null), every event message is also appended to it; used to note
  /// what a piece of work logged so that it can be logged again when the work is reused.
  void set_event_sink(std::vector<std::string>* sink) { event_sink_ = sink; }
  /// The number of errors reported so far (AppendError calls, written or not).
  int error_count() const { return error_count_; }

  const std::string& event_log_path() const { return event_log_path_; }
  void set_event_log_path(std::string path) { event_log_path_ = std::move(path); }
  const std::string& error_log_path() const { return error_log_path_; }
  const std::string& default_event_log_path() const { return default_event_log_path_; }

 private:
  FileSystem& fs_;
  std::string error_log_path_;
  std::string default_event_log_path_;
  std::string event_log_path_;
  std::vector<std::string>* event_sink_ = nullptr;
  int error_count_ = 0;
  // Appends what the hold gathered to its event log and empties it. Throws as AppendEvent.
  void WriteHeld();

  bool holding_ = false;
  std::string held_;       // the entries gathered while held
  std::string held_path_;  // the event log they go to
};

/// Holds the event log of `logs` while it lives: a unit of work's notes are written with one
/// open, write and close instead of one each. What cannot be written is lost, as a note is.
class HeldEvents {
 public:
  explicit HeldEvents(Logs& logs) : logs_(logs) { logs_.HoldEvents(); }
  ~HeldEvents();
  HeldEvents(const HeldEvents&) = delete;
  HeldEvents& operator=(const HeldEvents&) = delete;

 private:
  Logs& logs_;
};

}  // namespace orvano

#endif  // ORVANO_SUPPORT_LOGS_H_
