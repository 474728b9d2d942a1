// The address check of check mode: an address given to two signals is the most common fault of
// an allocation. On one page, two cells that held an address formula and whose worked-out texts
// are equal, in the same column for the same machine and position, are a warning.

#ifndef ORVANO_GENERATION_ADDRESS_CHECK_H_
#define ORVANO_GENERATION_ADDRESS_CHECK_H_

#include <string>
#include <vector>

#include "generation/allocation.h"

namespace orvano {

class ErrorSink;

/// Notes on `sink`, as ProblemKind::kAllocationWarning at the later cell (in the workbook
/// `workbook_path`), every address of `rows` (one page's rows, in page order) that an earlier
/// row of the same machine and position gave in the same column:
/// `address "A100.1" also at Drives!C12 (Filler, position 1)`. Empty texts are no address.
void NoteAddressesGivenTwice(const std::vector<AllocationRow>& rows,
                             const std::string& workbook_path, ErrorSink& sink);

}  // namespace orvano

#endif  // ORVANO_GENERATION_ADDRESS_CHECK_H_
