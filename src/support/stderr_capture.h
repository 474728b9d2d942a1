// Diverts what the process writes to its standard error (file descriptor 2) while a library that
// reports faults only there is at work (libmdb), so the caller can judge those reports itself.
// Standard output is diverted too and dropped: the same library prints stray lines there.
// Single-threaded use: while a capture is active, every writer to either stream is caught.

#ifndef ORVANO_SUPPORT_STDERR_CAPTURE_H_
#define ORVANO_SUPPORT_STDERR_CAPTURE_H_

#include <string>

namespace orvano {

class StderrCapture {
 public:
  /// Starts diverting stderr and stdout into private temporary files. Throws UnexpectedError 75
  /// when that cannot be set up (both streams are then left as they were).
  StderrCapture();
  /// Restores both streams if Finish was not called; what was captured is dropped.
  ~StderrCapture();
  StderrCapture(const StderrCapture&) = delete;
  StderrCapture& operator=(const StderrCapture&) = delete;

  /// Restores both streams and returns what was written to stderr meanwhile (at most the first
  /// 4096 bytes). Later calls return "".
  std::string Finish();

 private:
  // One diverted descriptor: the original, kept for restoring, and the file standing in for it.
  struct Diversion {
    int target = -1;
    int saved_fd = -1;
    int capture_fd = -1;
  };
  static Diversion Divert(int target);
  static std::string Restore(Diversion& diversion);

  Diversion stderr_;
  Diversion stdout_;
};

}  // namespace orvano

#endif  // ORVANO_SUPPORT_STDERR_CAPTURE_H_
