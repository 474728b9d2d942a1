// What the workbook fuzz targets do with a workbook that parsed: ask for every cell's value and
// for a cell by position, so that the cell table itself is exercised too.

#ifndef ORVANO_FUZZ_READ_EVERY_CELL_H_
#define ORVANO_FUZZ_READ_EVERY_CELL_H_

#include <cstddef>

#include "inputs/parsed_workbook.h"

namespace orvano {

inline void ReadEveryCell(const ParsedWorkbook& book) {
  for (std::size_t k = 0; k < book.sheet_count(); ++k) {
    for (const auto& cell : book.sheet(k).cells) (void)book.Value(&cell);
    (void)book.Value(book.Find(k, 0, 0));
  }
}

}  // namespace orvano

#endif  // ORVANO_FUZZ_READ_EVERY_CELL_H_
