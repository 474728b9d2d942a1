// Fuzzes the .xlsx reader: ZIP archive, content types, relationships, workbook, shared strings,
// sheet cells. The seeds store their parts uncompressed, so that mutations reach the XML (a
// changed part still streams through the parsers before its checksum is compared at its end).
// Two threads, so that the parts are read as a real run reads them.

#include <cstddef>
#include <cstdint>
#include <span>

#include "inputs/ooxml_reader.h"
#include "inputs/parsed_workbook.h"
#include "read_every_cell.h"
#include "support/errors.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    auto book = orvano::ParseOoxmlWorkbook(
        std::span<const std::byte>(reinterpret_cast<const std::byte*>(data), size), "fuzz.xlsx", 2);
    orvano::ReadEveryCell(*book);
  } catch (const orvano::OrvanoError&) {
  }
  return 0;
}
