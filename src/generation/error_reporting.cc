#include "generation/error_reporting.h"

#include <new>

#include "generation/run_record.h"
#include "support/errors.h"
#include "support/host.h"
#include "support/logs.h"

namespace orvano {
namespace {

// Line breaks inside messages are LF CR, as the dialogs of the original program had them.
constexpr std::string_view kBreak = "\n\r";

std::string DetailText(const ErrorReport& report) {
  std::string detail = "Source: " + report.source + " / ";
  if (!report.window.empty()) detail += report.window + " / ";
  return detail + report.procedure + std::string(kBreak) + report.description;
}

// Appends `entry` to the error log; a log that cannot be written is said on the terminal.
void WriteErrorLog(const ErrorContext& context, std::string_view entry) {
  try {
    context.logs.AppendError(entry);
  } catch (const OrvanoError& e) {
    context.host.WriteDiagnostic("cannot write the error log: " + e.description());
  }
}

}  // namespace

std::string InteractiveErrorMessage(const ErrorReport& report) {
  if (report.number == kProgramErrorNumber) {
    return "Error!" + std::string(kBreak) + report.description;
  }
  return "Unexpected error!" + std::string(kBreak) + "No: " + std::to_string(report.number) +
         std::string(kBreak) + DetailText(report);
}

std::string SilentErrorLine(const ErrorReport& report) {
  return "Unexpected error!\tNo: " + std::to_string(report.number) + "\tSource: " + report.window +
         "\t" + report.description;
}

ErrorAnswer ReportError(const ErrorReport& report, const ErrorContext& context,
                        std::string_view work_place) {
  const std::string_view location = report.location.empty() ? work_place : report.location;
  if (context.problems != nullptr) {
    context.problems->AddError(std::string(location), report.description + " (error " +
                                                          std::to_string(report.number) + " in " +
                                                          report.procedure + ")");
    if (context.problems->keep_going) return ErrorAnswer::kContinue;
  }
  const std::string scope = context.scope.empty() ? "" : std::string(context.scope) + ": ";
  if (context.silent) {
    WriteErrorLog(context, scope + SilentErrorLine(report));
    const std::string at = location.empty() ? "" : std::string(location) + ": ";
    context.host.WriteDiagnostic(scope + at + report.description + " (error " +
                                 std::to_string(report.number) + " in " + report.procedure + ")");
    return ErrorAnswer::kStop;
  }
  std::string message = scope + InteractiveErrorMessage(report);
  WriteErrorLog(context, message);
  std::string title = report.number == kProgramErrorNumber ? "Error" : "Unexpected error";
  const std::string at =
      location.empty() ? "" : std::string(kBreak) + "At: " + std::string(location);
  bool go_on = context.host.ShowError(title, message + at + std::string(kBreak) + "Continue?");
  return go_on ? ErrorAnswer::kContinue : ErrorAnswer::kStop;
}

ErrorReport ReportCurrentException(std::string_view procedure, std::string_view window) {
  ErrorReport report;
  report.procedure = procedure;
  report.window = window;
  try {
    throw;
  } catch (const OrvanoError& e) {
    report.number = e.number();
    report.description = e.description();
    report.source = e.source().empty() ? std::string(procedure) : e.source();
    report.location = e.location();
  } catch (const std::bad_alloc&) {
    report.number = err::kOutOfMemory;
    report.description = "Out of memory";
    report.source = procedure;
  } catch (const std::exception& e) {
    report.number = err::kInternalError;
    report.description = std::string("Internal error: ") + e.what();
    report.source = procedure;
  } catch (...) {
    report.number = err::kInternalError;
    report.description = "Internal error";
    report.source = procedure;
  }
  return report;
}

bool Guarded(const ErrorContext& context, std::string_view procedure, std::string_view window,
             const std::function<void()>& step) {
  try {
    step();
    return true;
  } catch (const EndProgram&) {
    throw;
  } catch (...) {
    ErrorReport report = ReportCurrentException(procedure, window);
    if (ReportError(report, context) != ErrorAnswer::kContinue) throw EndProgram{1};
    return false;
  }
}

void ReportingErrorSink::ReportFailure(std::string_view procedure) {
  ErrorReport report = ReportCurrentException(procedure, "");
  const ErrorContext context{host_, logs_, silent_, scope_, problems_};
  if (ReportError(report, context, PlaceText(place())) != ErrorAnswer::kContinue) {
    throw EndProgram{1};
  }
}

void ReportingErrorSink::Note(ProblemKind kind, std::string_view text) {
  if (problems_ != nullptr) {
    problems_->AddNote(kind, text, PlaceText(place()));
    if (problems_->keep_going) return;
  }
  try {
    logs_.AppendEvent(text);
  } catch (const OrvanoError&) {
    // A note that cannot be written is lost, as the event log's other notes are: the pages
    // are what the run is for, and their own writes report a destination that fails.
  }
}

void ReportingErrorSink::KeepResponsive() { host_.PumpEvents(); }

}  // namespace orvano
