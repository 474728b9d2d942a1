// Fuzzes the workbook reader: compound file, BIFF records, shared strings, cells.

#include <cstddef>
#include <cstdint>
#include <span>

#include "inputs/parsed_workbook.h"
#include "inputs/workbook_file.h"
#include "support/errors.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    auto book = orvano::ParseWorkbookBytes(
        std::span<const std::byte>(reinterpret_cast<const std::byte*>(data), size), "fuzz.xls");
    for (std::size_t k = 0; k < book->sheet_count(); ++k) {
      const auto& sheet = book->sheet(k);
      for (const auto& cell : sheet.cells) (void)book->Value(&cell);
      (void)book->Value(book->Find(k, 0, 0));
    }
  } catch (const orvano::OrvanoError&) {
  }
  return 0;
}
