// The string and table procedures the template engine stands on: one placeholder replacement
// (optionally re-decoded through the language's code page), the look-up of an address text in a
// sorted table, and the row sort that prepares such tables.

#ifndef ORVANO_SUPPORT_STRING_HELPERS_H_
#define ORVANO_SUPPORT_STRING_HELPERS_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "support/table.h"

namespace orvano {

/// True when `what` occurs in `text`.
inline bool Contains(std::string_view text, std::string_view what) {
  return text.find(what) != std::string_view::npos;
}

/// `text` without leading and trailing blanks (U+0020 only; tabs and line breaks stay).
std::string TrimBlanks(std::string_view text);

/// Replaces the first occurrence of `search` in `source` (exact, case-sensitive) by
/// `replacement` without its surrounding blanks and returns the new text. Without an
/// occurrence the result is `source` unchanged. An empty `search` is found at the start.
/// With `convert`, the replacement is first re-decoded through `code_page` (see
/// RecodeThroughCodePage) and `*source` is also set to the result; without it `*source` stays.
std::string ReplaceStringInString(std::string* source, std::string_view search,
                                  std::string_view replacement, bool convert,
                                  std::string_view code_page);

/// Takes `text` as the bytes of the system code page (cp1252) and decodes them with the Windows
/// code page `code_page` (decimal text, as "1251"). The text is kept as it is when any of its
/// characters has no cp1252 form, when the code page is unknown, or when the bytes are not valid
/// in it: the result never holds a "?" or U+FFFD the input did not.
std::string RecodeThroughCodePage(std::string_view text, std::string_view code_page);

/// The row whose cell in `column` equals `search` exactly, or -1. Rows must be sorted
/// ascending by that column in CompareCells order (QuickSort does this); with several equal
/// rows the first is found. Works in logarithmic time.
std::int32_t FindStringInArray(std::string_view search, const Table& table, std::size_t column);

/// Sorts the rows `low`..`high` (inclusive; default: all rows) by the value of column 0 in
/// CompareCells order, moving whole rows. Rows with equal keys keep their order.
/// Throws UnexpectedError 9 when `low`/`high` lie outside the table.
void QuickSort(Table& table);
void QuickSort(Table& table, std::size_t low, std::size_t high);

}  // namespace orvano

#endif  // ORVANO_SUPPORT_STRING_HELPERS_H_
