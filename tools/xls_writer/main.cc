// xls_writer <out.xls> <sheet-file>...: writes a BIFF8 workbook with one sheet per sheet file.

#include <exception>
#include <iostream>
#include <memory>
#include <string>
#include <string_view>

#include "support/errors.h"
#include "support/file_system.h"
#include "xls_writer/sheet_file.h"
#include "xls_writer/xls_writer.h"

namespace {

void PrintUsage(std::ostream& out) {
  out << "usage: xls_writer <out.xls> <sheet-file>...\n"
         "Writes a BIFF8 workbook with one sheet per sheet file, in the order given.\n\n"
      << orvano::SheetFileHelp();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && (std::string_view(argv[1]) == "--help" || std::string_view(argv[1]) == "-h")) {
    PrintUsage(std::cout);
    return 0;
  }
  if (argc < 3) {
    PrintUsage(std::cerr);
    return 2;
  }
  try {
    auto fs = orvano::NewPosixFileSystem();
    orvano::XlsWorkbook workbook;
    for (int i = 2; i < argc; ++i) {
      std::string bytes;
      std::string err;
      if (fs->ReadFile(argv[i], &bytes, &err) != orvano::ReadStatus::kOkay) {
        std::cerr << "xls_writer: " << err << "\n";
        return 1;
      }
      workbook.sheets.push_back(orvano::ParseSheetFile(bytes, argv[i]));
    }
    orvano::WriteXls(*fs, argv[1], workbook);
    return 0;
  } catch (const orvano::OrvanoError& e) {
    std::cerr << "xls_writer: " << e.description() << "\n";
  } catch (const std::exception& e) {
    std::cerr << "xls_writer: " << e.what() << "\n";
  }
  return 1;
}
