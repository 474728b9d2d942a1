// orvano-dbreader: reads Jet database files for orvano-html in a process of its own, so that a
// crash of libmdb on a damaged file cannot take the program down. JetDatabase starts it beside
// the program's executable, talks to it over its standard input and output, and passes its own
// locale as the only argument (dates are formatted with it). Not meant to be run by hand.

#include <clocale>
#include <cstdio>

#include "jet/jet_reader_service.h"

int main(int argc, char** argv) {
  if (argc < 2 || std::setlocale(LC_ALL, argv[1]) == nullptr) std::setlocale(LC_ALL, "C");
  return orvano::ServeJetRequests(stdin, stdout);
}
