#include "support/logs.h"

#include <ctime>
#include <mutex>

#include "support/errors.h"
#include "support/file_system.h"

namespace orvano {
namespace {

std::string FormatLocal(std::time_t when, const char* format) {
  std::tm local{};
  localtime_r(&when, &local);
  char buffer[128];
  std::size_t n = std::strftime(buffer, sizeof buffer, format, &local);
  return std::string(buffer, n);
}

}  // namespace

Logs::Logs(FileSystem& fs, std::string error_log_path, std::string default_event_log_path)
    : fs_(fs),
      error_log_path_(std::move(error_log_path)),
      default_event_log_path_(std::move(default_event_log_path)) {}

void Logs::AppendError(std::string_view message) {
  // The languages of a run report from threads of their own into the one error log; each
  // entry goes in whole.
  static std::mutex error_log_mutex;
  std::lock_guard<std::mutex> lock(error_log_mutex);
  ++error_count_;
  fs_.AppendToFile(error_log_path_, std::string(message) + "\r\n");
}

void Logs::RemoveEventLog() {
  if (event_log_path_.empty() || !fs_.IsFile(event_log_path_)) return;
  try {
    fs_.RemoveFile(event_log_path_);
  } catch (const OrvanoError&) {
    // A log that cannot be deleted is not worth stopping a run for.
  }
}

void Logs::AppendEvent(std::string_view message) {
  if (event_sink_ != nullptr) event_sink_->emplace_back(message);
  if (event_log_path_.empty()) event_log_path_ = default_event_log_path_;
  std::time_t now = fs_.Now();
  std::string entry = FormatLocal(now, "%x") + " / " + FormatLocal(now, "%X") + "\r\n" +
                      std::string(message) + "\r\n";
  if (!holding_) {
    fs_.AppendToFile(event_log_path_, entry);
    return;
  }
  if (held_path_ != event_log_path_) {
    WriteHeld();  // what was gathered goes where it was meant to
    held_path_ = event_log_path_;
  }
  held_ += entry;
}

void Logs::HoldEvents() {
  holding_ = true;
  held_path_ = event_log_path_;
}

void Logs::ReleaseEvents() {
  holding_ = false;
  WriteHeld();
}

void Logs::WriteHeld() {
  if (held_.empty()) return;
  std::string entries = std::move(held_);
  held_.clear();
  fs_.AppendToFile(held_path_, entries);
}

HeldEvents::~HeldEvents() {
  try {
    logs_.ReleaseEvents();
  } catch (const OrvanoError&) {
    // Lost, as a note that cannot be written is.
  }
}

}  // namespace orvano
