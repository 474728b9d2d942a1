// WorkbookCache: the module collection workbook as a run sees it: the list of its sheets (name
// and machine dependence, position k = sheet number k), the widest sheet's column count, the
// sheet of the section being generated, and the workbook itself, parsed once per run so that no
// sheet is decoded twice.

#ifndef ORVANO_INPUTS_WORKBOOK_CACHE_H_
#define ORVANO_INPUTS_WORKBOOK_CACHE_H_

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "support/table.h"

namespace orvano {

class ParsedWorkbook;  // the reader's in-memory form of the .xls file

struct SheetEntry {
  std::string name;           // cell (0, 0) of the sheet
  int machine_dependent = 0;  // 1 when cell (0, 1) reads "MASCHINENABHAENGIG"
};

struct WorkbookCache {
  std::vector<SheetEntry> sheet_list;  // SheetList
  std::int16_t max_column_index = 0;   // MaxColumnIndex; never lowered
  Table current_sheet;                 // CurrentSheet

  std::string path;                          // the file `workbook` was read from
  std::shared_ptr<ParsedWorkbook> workbook;  // parsed on first use in a run
};

}  // namespace orvano

#endif  // ORVANO_INPUTS_WORKBOOK_CACHE_H_
