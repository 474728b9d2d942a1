// ErrorSink: where the readers and page builders hand what goes wrong while they work: the
// failure of one of their steps, and notes for the run's event log. The generation and the
// session decide what a report does (a dialog, the error log, ending the program); tests record
// what was handed in.
// A sink belongs to one run and is used from that run's thread only.

#ifndef ORVANO_SUPPORT_ERROR_SINK_H_
#define ORVANO_SUPPORT_ERROR_SINK_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

#include "support/errors.h"

namespace orvano {

/// Where in the inputs a piece of work is, kept without making any text until a note or a
/// failure needs it: a sheet's cell, a line of a text file, or a text that says where
/// ("Orvano.doc [Section_3] Name"). The views must stay valid while the place is set.
struct SourcePlace {
  std::string_view text = {};  // the whole place, a file of a line, or the sheet's name of a cell
  std::string_view file = {};  // a cell's workbook ("" when not known)
  std::size_t row = 0;         // a cell's row, from 1; 0: not a cell
  std::size_t column = 0;      // a cell's column, from 0 (A)
  std::size_t line = 0;        // a line of the file `text`, from 1; 0: not a line
};

/// The place of line `line` (from 1) of the file `path`.
inline SourcePlace LinePlace(std::string_view path, std::size_t line) {
  return {path, {}, 0, 0, line};
}

/// The place of the table `table` of the database `database`: "Orvano.mdb [TidxTexts]".
std::string TablePlace(std::string_view database, std::string_view table);

/// The place of the entry `key` of section `section` of the INI file `file`:
/// "Orvano.doc [Setup] Sections".
std::string KeyPlace(std::string_view file, std::string_view section, std::string_view key);

/// The place as compilers print it: "Collection.xls:Drives!C17" for a cell,
/// "Source_Main.htm:42" for a line, else its text ("" for none).
std::string PlaceText(const SourcePlace& place);

/// How much a problem says about the pages; the code that reports it decides.
enum class ProblemKind {
  kNote,     // an ordinary note: something the project leaves out ("Table not found")
  kWarning,  // a note that the output is wrong: a page refused, a formula not evaluated
  kError,    // a failure that was reported: the page or step it happened in was abandoned
  // A warning about the allocation itself (an address given twice): the pages are what the
  // project says, so it counts against them only when the run is strict.
  kAllocationWarning,
};

class ErrorSink {
 public:
  virtual ~ErrorSink() = default;

  /// The place the work is at: failures and notes handed in while it is set come from there.
  /// It goes with the report, never into the event log's text.
  void set_place(const SourcePlace& place) { place_ = place; }
  const SourcePlace& place() const { return place_; }

  /// Reports the exception being handled as the failure of the step `procedure` (the name the
  /// report shows). Returns when the work is to go on with its next step; throws EndProgram
  /// when the program is to end. Requires: called inside a catch block.
  virtual void ReportFailure(std::string_view procedure) = 0;

  /// Appends the note `text` to the run's event log; `kind` says what it means for the pages
  /// (kNote: the project leaves something out; kWarning: the output is wrong).
  virtual void Note(ProblemKind kind, std::string_view text) = 0;

  /// Lets a window process its pending events during long work (the host throttles it).
  virtual void KeepResponsive() = 0;

 private:
  SourcePlace place_;
};

/// Sets the place of `sink` for as long as it lives, then puts the one before it back.
class PlaceScope {
 public:
  PlaceScope(ErrorSink& sink, const SourcePlace& place) : sink_(sink), before_(sink.place()) {
    sink.set_place(place);
  }
  ~PlaceScope() { sink_.set_place(before_); }
  PlaceScope(const PlaceScope&) = delete;
  PlaceScope& operator=(const PlaceScope&) = delete;

 private:
  ErrorSink& sink_;
  SourcePlace before_;
};

/// A sink that lets the work go on after every failure and keeps nothing: for fuzz targets and
/// benchmarks, where only the work itself matters.
class IgnoringErrorSink final : public ErrorSink {
 public:
  void ReportFailure(std::string_view) override {}
  void Note(ProblemKind, std::string_view) override {}
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
