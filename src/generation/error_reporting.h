// The common error handling: every failure of a procedure is reported here, then the program
// either goes on with the procedure's next step or ends. Interactive runs ask the user through
// the Host; silent runs log the error, say it on stderr and end.

#ifndef ORVANO_GENERATION_ERROR_REPORTING_H_
#define ORVANO_GENERATION_ERROR_REPORTING_H_

#include <functional>
#include <string>
#include <string_view>

#include "support/error_sink.h"

namespace orvano {

class Host;
class Logs;
struct ProblemList;

/// What a failing procedure hands to the error dialog.
struct ErrorReport {
  int number = 0;
  std::string source;  // the source text of the error (shown for unexpected errors)
  std::string description;
  std::string procedure;      // the failing procedure's name
  std::string window;         // the window whose procedure failed; empty for module procedures
  std::string location = {};  // where in the inputs, when the error itself says
};

/// The dialog's answer.
enum class ErrorAnswer { kNeither = 0, kStop = 1, kContinue = 2 };

/// What the common error handling needs. Cheap to copy; RunContext::errors() makes one.
struct ErrorContext {
  Host& host;
  Logs& logs;
  bool silent;
  /// Put before every message with ": " when not empty; names the language of a run that
  /// writes several ("language 1049").
  std::string_view scope = {};
  /// When set, every report is also kept here; with its keep_going (check mode) a report is
  /// kept there only, and the work goes on as after the answer "continue".
  ProblemList* problems = nullptr;
};

/// Reports `report`: writes the error log entry and, interactively, asks "Continue?" through
/// the host. Silent: logs one line, writes it to stderr through the host and answers kStop.
/// An error log that cannot be written is said through Host::WriteDiagnostic. With a scope,
/// the log entry, the dialog's text and the stderr line begin with it. The location (where in
/// the inputs it happened: the report's own, else `location`, the place of the work), when
/// known, goes to the dialog, the stderr line and the problem list, not to the error log.
ErrorAnswer ReportError(const ErrorReport& report, const ErrorContext& context,
                        std::string_view location = {});

/// The message texts, exposed for tests: the error-log entry of an interactive report, and the
/// line of a silent one.
std::string InteractiveErrorMessage(const ErrorReport& report);
std::string SilentErrorLine(const ErrorReport& report);

/// Turns the exception being handled into a report under `procedure` and `window`: the
/// program's own errors keep number, description and source; std::bad_alloc becomes 7, any
/// other exception 51 with its text. Must be called inside a catch block.
ErrorReport ReportCurrentException(std::string_view procedure, std::string_view window);

/// Runs `step` under the common error handling of `procedure`. Returns true when the step
/// completed; false when it failed, was reported and the user chose to go on. Throws
/// EndProgram{1} when the program is to end (the user's No, or any error in silent mode).
/// EndProgram thrown inside `step` passes through unreported.
bool Guarded(const ErrorContext& context, std::string_view procedure, std::string_view window,
             const std::function<void()>& step);
inline bool Guarded(const ErrorContext& context, std::string_view procedure,
                    const std::function<void()>& step) {
  return Guarded(context, procedure, "", step);
}

/// The error sink of a run: a failure is reported as ReportError reports it (window "")
/// and the program ends unless the user chooses to go on; notes go to the event log; keeping
/// responsive pumps the host's events. `host`, `logs` and `silent` must outlive the sink.
class ReportingErrorSink final : public ErrorSink {
 public:
  /// With `problems`, failures and notes are also kept there (see ErrorContext::problems); in
  /// check mode notes are not written to the event log.
  ReportingErrorSink(Host& host, Logs& logs, const bool& silent, std::string_view scope = {},
                     ProblemList* problems = nullptr)
      : host_(host), logs_(logs), silent_(silent), scope_(scope), problems_(problems) {}
  void ReportFailure(std::string_view procedure) override;
  void Note(ProblemKind kind, std::string_view text) override;
  void KeepResponsive() override;
  /// Keeps the failures and notes in `problems` from now on (nullptr: no longer).
  void set_problems(ProblemList* problems) { problems_ = problems; }

 private:
  Host& host_;
  Logs& logs_;
  const bool& silent_;
  std::string_view scope_;
  ProblemList* problems_;
};

}  // namespace orvano

#endif  // ORVANO_GENERATION_ERROR_REPORTING_H_
