// orvano-dbreader: reads Jet database files for orvano-html in a process of its own, so that a
// crash of libmdb on a damaged file cannot take the program down. JetDatabase starts it beside
// the program's executable, talks to it over its standard input and output, and passes its own
// locale as the only argument (dates are formatted with it). Not meant to be run by hand.

#include <fcntl.h>
#include <unistd.h>

#include <clocale>
#include <cstdio>

#include "jet/jet_reader_service.h"

int main(int argc, char** argv) {
  if (argc < 2 || std::setlocale(LC_ALL, argv[1]) == nullptr) std::setlocale(LC_ALL, "C");
  // The answers go through a descriptor of their own: while libmdb reads, standard output is
  // diverted and dropped (it prints stray lines there), and rows are answered as they are read.
  const int answers_fd = ::fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 0);
  std::FILE* answers = answers_fd < 0 ? nullptr : ::fdopen(answers_fd, "w");
  if (answers == nullptr) return 3;
  return orvano::ServeJetRequests(stdin, answers);
}
