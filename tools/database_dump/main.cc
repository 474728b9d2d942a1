// database_dump FILE [TABLE...]: shows a Jet database (.mdb, .accdb) as the program reads it.

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "database_dump/database_dump.h"
#include "jet/jet_database.h"

namespace {

constexpr const char* kUsage =
    "usage: database_dump FILE [TABLE...]\n"
    "Without TABLE, lists the user tables of the database FILE, one per line. With tables,\n"
    "prints each as CSV in the form of mdb-export's default output: a header line of column\n"
    "names, then one line per row; texts (and dates) in double quotes with quotes inside\n"
    "doubled, numbers plain, null as nothing. Several tables follow one another with one empty\n"
    "line between two. Values are what the program reads, which differs from mdb-export in a\n"
    "few places: Yes/No is -1 or 0, Currency and Decimal have no trailing zeros, dates are\n"
    "right over the whole range of years 100 to 9999, and an empty text is \"\" (not null).\n"
    "Errors go to standard error; the exit status is 1 then (2 for a wrong command line).\n";

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || std::string(argv[1]).starts_with("-")) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  const std::string path = argv[1];
  try {
    const auto database = orvano::JetDatabase::Open(path);
    const std::vector<std::string> tables(argv + 2, argv + argc);
    const std::string text =
        tables.empty() ? orvano::TableList(*database) : orvano::TablesCsv(*database, tables);
    std::fwrite(text.data(), 1, text.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
  } catch (const std::exception& e) {
    const std::string message = e.what();
    // The reader's messages name the file; the few that do not get it in front.
    const std::string place = message.find(path) == std::string::npos ? path + ": " : "";
    std::fprintf(stderr, "database_dump: %s%s\n", place.c_str(), message.c_str());
    return 1;
  }
}
