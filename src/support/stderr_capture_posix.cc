// The stream diversion: the only code that moves file descriptors 1 and 2.

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "support/errors.h"
#include "support/stderr_capture.h"

namespace orvano {
namespace {

constexpr std::size_t kMaxCaptured = 4096;

UnexpectedError CaptureError(const char* what, int error) {
  return UnexpectedError(
      err::kPathFileAccess,
      std::string("cannot divert stderr (") + what + "): " + std::strerror(error), "StderrCapture");
}

// A file, not a pipe: a library that writes more than a pipe holds would block on a pipe
// nobody reads while it works.
int OpenCaptureFile() {
  int fd = ::memfd_create("orvano-capture", MFD_CLOEXEC);
  if (fd >= 0) return fd;
  std::FILE* file = std::tmpfile();
  if (file == nullptr) return -1;
  fd = ::fcntl(::fileno(file), F_DUPFD_CLOEXEC, 0);
  std::fclose(file);  // the duplicate keeps the unlinked file alive
  return fd;
}

}  // namespace

StderrCapture::Diversion StderrCapture::Divert(int target) {
  Diversion d;
  d.target = target;
  d.capture_fd = OpenCaptureFile();
  if (d.capture_fd < 0) throw CaptureError("temporary file", errno);
  d.saved_fd = ::fcntl(target, F_DUPFD_CLOEXEC, 0);
  if (d.saved_fd < 0 || ::dup2(d.capture_fd, target) < 0) {
    int error = errno;
    if (d.saved_fd >= 0) ::close(d.saved_fd);
    ::close(d.capture_fd);
    throw CaptureError("dup", error);
  }
  return d;
}

std::string StderrCapture::Restore(Diversion& d) {
  if (d.saved_fd < 0) return "";
  while (::dup2(d.saved_fd, d.target) < 0 && errno == EINTR) {
  }
  ::close(d.saved_fd);
  d.saved_fd = -1;

  // Writers through the diverted descriptor moved the shared file offset, so its end is the
  // amount written.
  off_t size = ::lseek(d.capture_fd, 0, SEEK_END);
  std::string text(
      size > 0 ? std::min<std::size_t>(static_cast<std::size_t>(size), kMaxCaptured) : 0, '\0');
  std::size_t got = 0;
  while (got < text.size()) {
    ssize_t n =
        ::pread(d.capture_fd, text.data() + got, text.size() - got, static_cast<off_t>(got));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    got += static_cast<std::size_t>(n);
  }
  text.resize(got);
  if (text.empty() && size != 0) text = "(output that could not be read back)";
  ::close(d.capture_fd);
  d.capture_fd = -1;
  return text;
}

StderrCapture::StderrCapture() {
  std::fflush(stdout);
  std::fflush(stderr);
  stderr_ = Divert(2);
  try {
    stdout_ = Divert(1);
  } catch (...) {
    Restore(stderr_);
    throw;
  }
}

StderrCapture::~StderrCapture() { Finish(); }

std::string StderrCapture::Finish() {
  std::fflush(stdout);
  std::fflush(stderr);
  Restore(stdout_);
  return Restore(stderr_);
}

}  // namespace orvano
