// The child process: posix_spawn, a socket pair, poll with deadlines, kill and reap. A socket
// rather than two pipes because send() with MSG_NOSIGNAL reports a dead reader as an error
// instead of raising SIGPIPE in the program.

#include <fcntl.h>
#include <limits.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "support/child_process.h"
#include "support/errors.h"

extern char** environ;

namespace orvano {
namespace {

// How long a child may take to exit after its input closed before it is killed.
constexpr auto kExitGrace = std::chrono::seconds(2);

UnexpectedError StartError(const std::string& program, int error) {
  return UnexpectedError(err::kPathFileAccess,
                         "cannot start " + program + ": " + std::strerror(error), "ChildProcess");
}

// posix_spawn's attributes and file actions, released on every path out.
struct SpawnSetup {
  posix_spawnattr_t attributes;
  posix_spawn_file_actions_t actions;
  SpawnSetup() {
    ::posix_spawnattr_init(&attributes);
    ::posix_spawn_file_actions_init(&actions);
  }
  ~SpawnSetup() {
    ::posix_spawn_file_actions_destroy(&actions);
    ::posix_spawnattr_destroy(&attributes);
  }
};

}  // namespace

std::unique_ptr<ChildProcess> ChildProcess::Start(const std::string& program,
                                                  const std::vector<std::string>& arguments) {
  int sockets[2];
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sockets) != 0) {
    throw StartError(program, errno);
  }
  // dup2 onto itself would keep close-on-exec; a program started without standard streams
  // can get 0 or 1 here.
  if (sockets[1] <= 2) {
    int moved = ::fcntl(sockets[1], F_DUPFD_CLOEXEC, 3);
    ::close(sockets[1]);
    sockets[1] = moved;
    if (moved < 0) {
      ::close(sockets[0]);
      throw StartError(program, errno);
    }
  }
  SpawnSetup setup;
  // The child starts with default signal handling and no blocked signals, whatever the
  // program set for itself (it ignores SIGXFSZ, for one).
  sigset_t all, none;
  ::sigfillset(&all);
  ::sigemptyset(&none);
  ::posix_spawnattr_setsigdefault(&setup.attributes, &all);
  ::posix_spawnattr_setsigmask(&setup.attributes, &none);
  ::posix_spawnattr_setflags(&setup.attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
  ::posix_spawn_file_actions_adddup2(&setup.actions, sockets[1], 0);
  ::posix_spawn_file_actions_adddup2(&setup.actions, sockets[1], 1);
  ::posix_spawn_file_actions_addopen(&setup.actions, 2, "/dev/null", O_WRONLY, 0);

  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  pid_t pid = 0;
  int error =
      ::posix_spawn(&pid, program.c_str(), &setup.actions, &setup.attributes, argv.data(), environ);
  ::close(sockets[1]);
  if (error != 0) {
    ::close(sockets[0]);
    throw StartError(program, error);
  }
  ::fcntl(sockets[0], F_SETFL, ::fcntl(sockets[0], F_GETFL) | O_NONBLOCK);
  return std::unique_ptr<ChildProcess>(new ChildProcess(pid, sockets[0]));
}

ChildProcess::~ChildProcess() {
  if (pid_ <= 0) return;
  ::close(socket_);
  socket_ = -1;
  const auto give_up = std::chrono::steady_clock::now() + kExitGrace;
  while (std::chrono::steady_clock::now() < give_up) {
    int status;
    pid_t done = ::waitpid(pid_, &status, WNOHANG);
    if (done == pid_ || (done < 0 && errno != EINTR)) return;
    const timespec pause{0, 1000000};  // 1 ms
    ::nanosleep(&pause, nullptr);
  }
  Kill();
}

void ChildProcess::Kill() {
  if (socket_ >= 0) ::close(socket_);
  socket_ = -1;
  if (pid_ <= 0) return;
  ::kill(pid_, SIGKILL);
  int status;
  while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
  }
  pid_ = -1;
}

bool ChildProcess::WaitFor(short events, Deadline deadline) {
  for (;;) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    pollfd entry{socket_, events, 0};
    int ready = ::poll(&entry, 1, static_cast<int>(std::min<long long>(left.count(), INT_MAX)));
    if (ready > 0) return true;  // readiness, hang-up or error: the next call tells which
    if (ready < 0 && errno != EINTR) return false;
  }
}

bool ChildProcess::Send(std::string_view bytes, Deadline deadline) {
  std::size_t sent = 0;
  while (socket_ >= 0 && sent < bytes.size()) {
    ssize_t n = ::send(socket_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (n > 0) {
      sent += static_cast<std::size_t>(n);
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      if (!WaitFor(POLLOUT, deadline)) return false;
    } else {
      return false;
    }
  }
  return socket_ >= 0;
}

bool ChildProcess::Receive(char* buffer, std::size_t size, Deadline deadline) {
  std::size_t got = 0;
  while (socket_ >= 0 && got < size) {
    ssize_t n = ::recv(socket_, buffer + got, size - got, 0);
    if (n > 0) {
      got += static_cast<std::size_t>(n);
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      if (!WaitFor(POLLIN, deadline)) return false;
    } else {
      return false;  // closed by the child, or failed
    }
  }
  return socket_ >= 0;
}

std::string RunningExecutableFolder() {
  char buffer[PATH_MAX];
  ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n <= 0) return "";
  std::string path(buffer, static_cast<std::size_t>(n));
  return path.substr(0, path.rfind('/') + 1);
}

}  // namespace orvano
