// Reads every cell of a large workbook through our reader (.xls or .xlsx, told by its first
// bytes), for comparison with FreeXL (freexl_read.c) on the .xls and with inflating the .xlsx's
// parts (unzip -p); run_xls_bench.sh runs them side by side.
//   xls_read_bench make FILE      writes the 40-sheet workbook: FILE.xlsx through libxlsxwriter,
//                                 any other name with the xls writer
//   xls_read_bench read FILE [N]  reads it N times; prints the best time and the peak memory

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "inputs/parsed_workbook.h"
#include "inputs/workbook_file.h"
#include "support/file_system.h"
#include "xls_writer/xls_writer.h"
#include "xlsx_writer/xlsx_writer.h"

namespace {

// Peak resident memory of this process in KiB, from /proc.
long PeakKib() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
  }
  return -1;
}

void Make(const std::string& path) {
  orvano::XlsWorkbook book;
  const bool xlsx = path.size() > 5 && path.substr(path.size() - 5) == ".xlsx";
  for (int s = 0; s < 40; ++s) {
    orvano::XlsSheet& sheet = book.AddSheet("Section" + std::to_string(s));
    sheet.Set(0, 0, orvano::XlsCell::Text("Section" + std::to_string(s)));
    for (int r = 1; r < 1000; ++r) {
      sheet.Set(r, 0, orvano::XlsCell::Number(r % 7 + 1));
      if (r % 10 == 0) sheet.Set(r, 1, orvano::XlsCell::Text("###SDR[REJ]"));
      for (int c = 2; c < 8; ++c) {
        if (c == 7 && r % 3 == 0) continue;
        if (c % 2 == 0) {
          sheet.Set(r, c,
                    orvano::XlsCell::Text("Text of row " + std::to_string(r) + " col " +
                                          std::to_string(c) + " sheet " + std::to_string(s)));
        } else {
          sheet.Set(r, c, orvano::XlsCell::Number(r * 0.25 + c + s * 1000));
        }
      }
    }
  }
  if (xlsx) {
    orvano::WriteXlsx(*orvano::NewPosixFileSystem(), path, book);
  } else {
    orvano::WriteXls(path, book);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: xls_read_bench make|read FILE [repeats]\n");
    return 2;
  }
  const std::string mode = argv[1];
  const std::string path = argv[2];
  if (mode == "make") {
    Make(path);
    return 0;
  }
  const int repeats = argc > 3 ? std::atoi(argv[3]) : 5;
  auto fs = orvano::NewPosixFileSystem();
  double best = 1e9;
  long cells = 0;
  double checksum = 0;
  for (int i = 0; i < repeats; ++i) {
    const auto start = std::chrono::steady_clock::now();
    const auto workbook = orvano::ReadWorkbookFile(*fs, path);
    cells = 0;
    for (std::size_t k = 0; k < workbook->sheet_count(); ++k) {
      const auto& sheet = workbook->sheet(k);
      for (std::uint32_t r = 0; r < sheet.rows; ++r) {
        for (std::uint32_t c = 0; c < sheet.columns; ++c) {
          const orvano::WorkbookCell* cell = workbook->Find(k, r, c);
          if (cell == nullptr) continue;
          ++cells;
          if (cell->kind == orvano::CellKind::kText) {
            checksum += static_cast<double>(workbook->Text(*cell).size());
          } else if (cell->kind == orvano::CellKind::kNumber) {
            checksum += cell->number;
          }
        }
      }
    }
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    best = std::min(best, took.count());
  }
  std::printf("orvano  cells %ld  best %.1f ms  peak %ld KiB  (checksum %.0f)\n", cells, best,
              PeakKib(), checksum);
  return 0;
}
