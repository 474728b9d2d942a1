// A helper program run as a child process and talked to over one local socket, which is its
// standard input and output; its standard error goes to /dev/null, so nothing it prints (or
// its death) reaches the user. Every wait has a deadline. JetDatabase runs its reader this way.

#ifndef ORVANO_SUPPORT_CHILD_PROCESS_H_
#define ORVANO_SUPPORT_CHILD_PROCESS_H_

#include <chrono>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace orvano {

class ChildProcess {
 public:
  using Deadline = std::chrono::steady_clock::time_point;

  /// Starts `program` (a full path) with `arguments`. Throws UnexpectedError 75 naming the
  /// program when it cannot be started.
  static std::unique_ptr<ChildProcess> Start(const std::string& program,
                                             const std::vector<std::string>& arguments);

  /// Closes the socket, gives the child a moment to exit on its own, kills it if it has not,
  /// and reaps it.
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  /// Writes all of `bytes` to the child. False when the child is gone, the connection failed
  /// or `deadline` passed first.
  bool Send(std::string_view bytes, Deadline deadline);

  /// Reads exactly `size` bytes from the child into `buffer`. False when the child closed its
  /// end, the connection failed or `deadline` passed first.
  bool Receive(char* buffer, std::size_t size, Deadline deadline);

  /// Kills the child at once and reaps it; later Send and Receive calls fail.
  void Kill();

 private:
  ChildProcess(int pid, int socket) : pid_(pid), socket_(socket) {}
  // Waits for `events` on the socket until `deadline`; false when it passed or polling failed.
  bool WaitFor(short events, Deadline deadline);

  int pid_;
  int socket_;
};

/// The folder of the running executable, ending with "/"; "" when the system cannot tell.
std::string RunningExecutableFolder();

}  // namespace orvano

#endif  // ORVANO_SUPPORT_CHILD_PROCESS_H_
