// The database reader process's work: it answers the requests JetDatabase sends
// (jet_frame_format.h) by reading the file through JetFileReader. Runs in orvano-dbreader.

#ifndef ORVANO_JET_JET_READER_SERVICE_H_
#define ORVANO_JET_JET_READER_SERVICE_H_

#include <cstdio>

namespace orvano {

/// Reads request frames from `in` and writes the answers to `out` until `in` ends. A request
/// that fails gives an error frame and the service goes on. Returns the process's exit status:
/// 0 when `in` ended between frames, 2 for a malformed request, 3 when `out` failed. A table's
/// rows are written while it is read, when the process's standard output is diverted
/// (StderrCapture), so `out` must not write to file descriptor 1.
int ServeJetRequests(std::FILE* in, std::FILE* out);

}  // namespace orvano

#endif  // ORVANO_JET_JET_READER_SERVICE_H_
