// workbook_dump FILE: prints the cells of a workbook (.xls, .xlsx or .xlsm, told by its first
// bytes) as our reader sees them, as JSON. Also answers to its old name, xls_dump.

#include <cstdio>
#include <exception>
#include <string>

#include "inputs/parsed_workbook.h"
#include "inputs/workbook_file.h"
#include "support/file_system.h"
#include "workbook_dump/workbook_dump.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: workbook_dump FILE.xls|FILE.xlsx|FILE.xlsm\n");
    return 2;
  }
  try {
    auto fs = orvano::NewPosixFileSystem();
    const auto workbook = orvano::ReadWorkbookFile(*fs, argv[1]);
    for (const std::string& note : workbook->notes()) {
      std::fprintf(stderr, "workbook_dump: %s: %s\n", argv[1], note.c_str());
    }
    const std::string json = orvano::WorkbookToJson(*workbook, argv[1]);
    std::fwrite(json.data(), 1, json.size(), stdout);
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "workbook_dump: %s\n", e.what());
    return 1;
  }
}
