#include "support/string_helpers.h"

#include <algorithm>
#include <optional>

#include "support/errors.h"
#include "support/number_text.h"
#include "support/text_codec.h"

namespace orvano {

std::string TrimBlanks(std::string_view text) {
  std::size_t begin = text.find_first_not_of(' ');
  if (begin == std::string_view::npos) return "";
  std::size_t end = text.find_last_not_of(' ');
  return std::string(text.substr(begin, end - begin + 1));
}

std::string RecodeThroughCodePage(std::string_view text, std::string_view code_page) {
  std::optional<std::string> bytes = Utf8ToCp1252(text);
  if (!bytes) return std::string(text);
  auto number = ParseNumber(code_page);
  if (!number || *number != RoundHalfEven(*number) || *number <= 0 || *number > 65535) {
    return std::string(text);
  }
  // A NUL inside the text is decoded like any other byte: it never cuts the text.
  std::optional<std::string> decoded = DecodeCodePage(*bytes, static_cast<int>(*number));
  return decoded ? *decoded : std::string(text);
}

std::string ReplaceStringInString(std::string* source, std::string_view search,
                                  std::string_view replacement, bool convert,
                                  std::string_view code_page) {
  std::size_t at = source->find(search);
  if (at == std::string::npos) return *source;
  std::string inserted =
      convert ? TrimBlanks(RecodeThroughCodePage(replacement, code_page)) : TrimBlanks(replacement);
  std::string result;
  result.reserve(source->size() - search.size() + inserted.size());
  result.append(*source, 0, at);
  result += inserted;
  result.append(*source, at + search.size());
  if (convert) *source = result;
  return result;
}

std::int32_t FindStringInArray(std::string_view search, const Table& table, std::size_t column) {
  if (column >= table.column_count()) return -1;
  const auto& rows = table.rows();
  Cell key{std::string(search)};
  auto it = std::lower_bound(
      rows.begin(), rows.end(), key,
      [column](const auto& row, const Cell& k) { return CompareCells(row[column], k) < 0; });
  if (it == rows.end()) return -1;
  const auto* text = std::get_if<std::string>(&(*it)[column]);
  if (text == nullptr || *text != search) return -1;
  return static_cast<std::int32_t>(it - rows.begin());
}

void QuickSort(Table& table) {
  if (table.row_count() > 1) QuickSort(table, 0, table.row_count() - 1);
}

void QuickSort(Table& table, std::size_t low, std::size_t high) {
  if (low > high || high >= table.row_count()) {
    throw UnexpectedError(err::kSubscriptOutOfRange,
                          "Subscript out of range: sorting rows " + std::to_string(low) + " to " +
                              std::to_string(high) + " of a table of " +
                              std::to_string(table.row_count()) + " rows",
                          "QuickSort");
  }
  if (table.column_count() == 0) return;
  auto& rows = table.rows();
  // A stable sort: O(n log n) whatever the input, and rows with equal keys keep their order.
  std::stable_sort(rows.begin() + static_cast<std::ptrdiff_t>(low),
                   rows.begin() + static_cast<std::ptrdiff_t>(high) + 1,
                   [](const auto& a, const auto& b) { return CompareCells(a[0], b[0]) < 0; });
}

}  // namespace orvano
