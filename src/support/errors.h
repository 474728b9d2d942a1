// The error types of the whole program. Deep code throws them; the common error handling
// (error_reporting.h) catches, reports and decides whether the program goes on.

#ifndef ORVANO_SUPPORT_ERRORS_H_
#define ORVANO_SUPPORT_ERRORS_H_

#include <stdexcept>
#include <string>

namespace orvano {

/// Number of the program's own errors (messages of the program itself).
inline constexpr int kProgramErrorNumber = 9999;

/// The classic run-time error numbers that unexpected errors carry.
namespace err {
inline constexpr int kOverflow = 6;
inline constexpr int kOutOfMemory = 7;
inline constexpr int kSubscriptOutOfRange = 9;
inline constexpr int kDivisionByZero = 11;
inline constexpr int kTypeMismatch = 13;
inline constexpr int kInternalError = 51;
inline constexpr int kFileNotFound = 53;
inline constexpr int kPermissionDenied = 70;
inline constexpr int kPathFileAccess = 75;
inline constexpr int kPathNotFound = 76;
inline constexpr int kInvalidUseOfNull = 94;
inline constexpr int kInvalidFileFormat = 321;
inline constexpr int kDbFileNotFound = 3024;        // "Could not find file"
inline constexpr int kDbCannotOpen = 3051;          // cannot open the file (read-only, locked)
inline constexpr int kDbTooFewParameters = 3061;    // unknown column name in a query
inline constexpr int kDbTableNotFound = 3078;       // no such table or query
inline constexpr int kDbUnrecognizedFormat = 3343;  // not a database, or damaged
}  // namespace err

/// Base of every error the program reports: a number, the description shown to the user and the
/// source (the procedure or component that raised it).
class OrvanoError : public std::runtime_error {
 public:
  OrvanoError(int number, std::string description, std::string source = "")
      : std::runtime_error(description),
        number_(number),
        description_(std::move(description)),
        source_(std::move(source)) {}

  int number() const { return number_; }
  const std::string& description() const { return description_; }
  const std::string& source() const { return source_; }
  /// Where in the inputs the error comes from ("Orvano.doc [Setup] Sections"), "" when the
  /// thrower does not know; reports show it beside the description, never inside it.
  const std::string& location() const { return location_; }
  void set_location(std::string location) { location_ = std::move(location); }

 private:
  int number_;
  std::string description_;
  std::string source_;
  std::string location_;
};

/// `error` with its location set to `location`: `throw Located(ProgramError(...), place)`.
template <typename Error>
Error Located(Error error, std::string location) {
  error.set_location(std::move(location));
  return error;
}

/// The program's own error, number 9999, with a message for the user as description.
class ProgramError : public OrvanoError {
 public:
  explicit ProgramError(std::string description, std::string source = "")
      : OrvanoError(kProgramErrorNumber, std::move(description), std::move(source)) {}
};

/// Any other failure, carrying one of the classic run-time error numbers of `err`.
class UnexpectedError : public OrvanoError {
 public:
  UnexpectedError(int number, std::string description, std::string source = "")
      : OrvanoError(number, std::move(description), std::move(source)) {}
};

/// Thrown to end the program at once; only main() catches it. `exit_code` 0 means success.
struct EndProgram {
  int exit_code = 1;
};

}  // namespace orvano

#endif  // ORVANO_SUPPORT_ERRORS_H_
