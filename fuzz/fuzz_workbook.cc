// Fuzzes the workbook reader: compound file, BIFF records, shared strings, cells.

#include <cstddef>
#include <cstdint>
#include <span>

#include "inputs/parsed_workbook.h"
#include "inputs/workbook_file.h"
#include "read_every_cell.h"
#include "support/errors.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    auto book = orvano::ParseWorkbookBytes(
        std::span<const std::byte>(reinterpret_cast<const std::byte*>(data), size), "fuzz.xls");
    orvano::ReadEveryCell(*book);
  } catch (const orvano::OrvanoError&) {
  }
  return 0;
}
