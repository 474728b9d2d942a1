// RecordedWork: what a piece of work did that others may see, kept in order instead of done at
// once: the failures and notes it handed to its sink, the pages it would write, its progress
// ticks and the error that stopped it. Work done ahead of its turn (on another thread, or once
// for several languages) records; its turn replays the record, so the logs, the pages and the
// dialogs come in exactly the order that doing the work then would have given.

#ifndef ORVANO_GENERATION_RECORDED_WORK_H_
#define ORVANO_GENERATION_RECORDED_WORK_H_

#include <exception>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "support/error_sink.h"

namespace orvano {

class FileSystem;

class RecordedWork final : public ErrorSink {
 public:
  RecordedWork() = default;
  /// `keep_responsive` is called for KeepResponsive (work done on the window's thread).
  explicit RecordedWork(std::function<void()> keep_responsive)
      : keep_responsive_(std::move(keep_responsive)) {}
  RecordedWork(const RecordedWork&) = default;
  RecordedWork(RecordedWork&&) = default;
  RecordedWork& operator=(const RecordedWork&) = default;
  RecordedWork& operator=(RecordedWork&&) = default;
  /// Hands the bytes of the recorded pages back for the pages built later (RecyclePageBytes).
  ~RecordedWork() override;

  /// Records the failure being handled; the work goes on, as after the answer "continue".
  void ReportFailure(std::string_view procedure) override;
  void Note(ProblemKind kind, std::string_view text) override;
  void KeepResponsive() override;

  /// Records every step of `other` after the steps recorded so far.
  void Append(const RecordedWork& other);

  /// Records that the page `bytes` (an encoded page) is to be written to `path`.
  void WritePage(std::string path, std::string bytes);
  /// Records one step of progress; `done` names the page finished ("" for none).
  void Tick(std::string done = "");
  /// Records the exception being handled as what stopped the work. Requires: inside a catch.
  void Stop();

  /// What a replay hands the recorded steps to.
  struct Target {
    ErrorSink& errors;
    FileSystem& fs;
    std::function<void(std::string_view)> tick;
  };

  /// Hands every recorded step to `target` in order: failures are reported to its sink again
  /// (which may throw EndProgram), notes noted, pages written (a page that cannot be written
  /// is reported by the write and throws `page_failed`'s error), ticks ticked, and a recorded
  /// stop is thrown again. Returns when every step was handed on.
  void Replay(const Target& target, const std::function<void()>& page_failed) const;

  /// The number of recorded failures.
  int failure_count() const { return failures_; }

 private:
  enum class Kind { kFailure, kNote, kPage, kTick, kStop };
  struct Step {
    Kind kind;
    std::string text;   // the procedure of a failure, a note's text, a page's path or a tick's page
    std::string place;  // where a failure or note comes from (PlaceText), "" when not known
    std::string bytes;  // a page's bytes
    std::exception_ptr error;
    ProblemKind note_kind = ProblemKind::kNote;  // a note's kind
  };

  std::function<void()> keep_responsive_;
  std::vector<Step> steps_;
  int failures_ = 0;
};

}  // namespace orvano

#endif  // ORVANO_GENERATION_RECORDED_WORK_H_
