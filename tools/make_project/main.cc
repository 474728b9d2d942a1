// make_project: builds a real project folder (text database, Languages.mdb, Orvano.doc, workbook,
// UTF-16 templates) from its readable sources.

#include <cstdio>
#include <cstring>
#include <string>

#include "project_sources.h"
#include "project_writer.h"
#include "support/errors.h"
#include "support/file_system.h"

int main(int argc, char** argv) {
  if (argc >= 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    std::printf(
        "Usage: make_project [--xlsx] <sources-folder> <project-folder> [database-name]\n"
        "Writes <project-folder>/Orvano.mdb (or the database name given, .mdb or .vws),\n"
        "Orvano.doc, Collection.xls (with --xlsx: Collection.xlsx), Languages.mdb and\n"
        "Source_HTML/.\n\n%s",
        orvano::tools::ProjectSourcesHelp());
    return 0;
  }
  orvano::tools::ProjectOptions options;
  if (argc >= 2 && std::strcmp(argv[1], "--xlsx") == 0) {
    options.workbook_name = "Collection.xlsx";
    --argc;
    ++argv;
  }
  if (argc < 3 || argc > 4) {
    std::fprintf(stderr,
                 "usage: make_project [--xlsx] <sources-folder> <project-folder> "
                 "[database-name]\n");
    return 2;
  }
  auto fs = orvano::NewPosixFileSystem();
  if (argc == 4) options.database_name = argv[3];
  try {
    auto sources = orvano::tools::ReadProjectSources(*fs, orvano::WithTrailingSlash(argv[1]));
    orvano::tools::WriteProject(*fs, sources, orvano::WithTrailingSlash(argv[2]), options);
  } catch (const orvano::OrvanoError& e) {
    std::fprintf(stderr, "make_project: %s\n", e.description().c_str());
    return 1;
  }
  return 0;
}
