// xls_dump FILE.xls: prints the workbook's cells as our reader sees them, as JSON.

#include <cstdio>
#include <exception>
#include <string>

#include "inputs/biff_reader.h"
#include "inputs/parsed_workbook.h"
#include "support/file_system.h"
#include "xls_dump/xls_dump.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: xls_dump FILE.xls\n");
    return 2;
  }
  try {
    auto fs = orvano::NewPosixFileSystem();
    const auto workbook = orvano::ReadWorkbookFile(*fs, argv[1]);
    const std::string json = orvano::WorkbookToJson(*workbook, argv[1]);
    std::fwrite(json.data(), 1, json.size(), stdout);
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "xls_dump: %s\n", e.what());
    return 1;
  }
}
