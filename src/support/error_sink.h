// ErrorSink: where the readers and page builders hand what goes wrong while they work: the
// failure of one of their steps, and notes for the run's event log. The app layer decides what
// a report does (a dialog, the error log, ending the program); tests record what was handed in.
// A sink belongs to one run and is used from that run's thread only.

#ifndef ORVANO_SUPPORT_ERROR_SINK_H_
#define ORVANO_SUPPORT_ERROR_SINK_H_

#include <string_view>
#include <utility>

#include "support/errors.h"

namespace orvano {

class ErrorSink {
 public:
  virtual ~ErrorSink() = default;

  /// Reports the exception being handled as the failure of the step `procedure` (the name the
  /// report shows). Returns when the work is to go on with its next step; throws EndProgram
  /// when the program is to end. Requires: called inside a catch block.
  virtual void ReportFailure(std::string_view procedure) = 0;

  /// Appends the note `text` to the run's event log.
  virtual void Note(std::string_view text) = 0;

  /// Lets a window process its pending events during long work (the host throttles it).
  virtual void KeepResponsive() = 0;
};

/// A sink that lets the work go on after every failure and keeps nothing: for fuzz targets and
/// benchmarks, where only the work itself matters.
class IgnoringErrorSink final : public ErrorSink {
 public:
  void ReportFailure(std::string_view) override {}
  void Note(std::string_view) override {}
  void KeepResponsive() override {}
};

/// Runs `step`. When it throws, the failure is reported to `sink` under `procedure` and false
/// is returned: the caller goes on with its next step. EndProgram passes through unreported.
template <typename Step>
bool RunStep(ErrorSink& sink, std::string_view procedure, Step&& step) {
  try {
    std::forward<Step>(step)();
    return true;
  } catch (const EndProgram&) {
    throw;
  } catch (...) {
    sink.ReportFailure(procedure);
    return false;
  }
}

}  // namespace orvano

#endif  // ORVANO_SUPPORT_ERROR_SINK_H_
