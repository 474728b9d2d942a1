// The string and table helpers the page builders stand on: the placeholder replacement, the
// re-decoding of texts through the language's code page, the look-up of an address text in a
// sorted table, and the row sort that prepares such tables.

#ifndef ORVANO_SUPPORT_STRING_HELPERS_H_
#define ORVANO_SUPPORT_STRING_HELPERS_H_

#include <cstddef>
#include <optional>
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

/// TrimBlanks as a view into `text`.
std::string_view TrimmedBlanks(std::string_view text);

/// `text` with the first occurrence of `search` (exact, case-sensitive) replaced by `value`
/// without its surrounding blanks; `text` unchanged when there is none. An empty `search` is
/// found at the start.
std::string ReplaceFirstTrimmed(std::string_view text, std::string_view search,
                                std::string_view value);

/// The Windows code page that `text` names (decimal, as "1251"); nullopt when it is not a whole
/// number from 1 to 65535.
std::optional<int> ParseCodePage(std::string_view text);

/// Takes `text` as the bytes of the system code page (cp1252) and decodes them with the Windows
/// code page `code_page`. The text is kept as it is without a code page, when any of its
/// characters has no cp1252 form, when the code page is unknown, or when the bytes are not valid
/// in it: the result never holds a "?" or U+FFFD the input did not.
std::string RecodeThroughCodePage(std::string_view text, std::optional<int> code_page);

/// True when RecodeThroughCodePage gives `text` back as it is without decoding it: no code page,
/// cp1252, or ASCII in a code page that keeps ASCII.
bool RecodingKeepsText(std::string_view text, std::optional<int> code_page);

/// Sorts the rows of `table` by column 0 in CompareCells order, moving whole rows; rows with
/// equal keys keep their order.
void SortRowsByFirstColumn(Table& table);

}  // namespace orvano

#endif  // ORVANO_SUPPORT_STRING_HELPERS_H_
