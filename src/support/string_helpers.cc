#include "support/string_helpers.h"

#include <algorithm>
#include <optional>

#include "support/errors.h"
#include "support/number_text.h"
#include "support/text_codec.h"

namespace orvano {

std::string TrimBlanks(std::string_view text) { return std::string(TrimmedBlanks(text)); }

std::string_view TrimmedBlanks(std::string_view text) {
  std::size_t begin = text.find_first_not_of(' ');
  if (begin == std::string_view::npos) return {};
  std::size_t end = text.find_last_not_of(' ');
  return text.substr(begin, end - begin + 1);
}

namespace {

// Code pages whose bytes 0x00-0x7F are ASCII: an ASCII text decodes through them to itself.
bool IsAsciiCodePage(int code_page) {
  return code_page == 874 || (code_page >= 1250 && code_page <= 1258) || code_page == 65001;
}

bool IsAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

}  // namespace

std::optional<int> ParseCodePage(std::string_view text) {
  std::optional<double> number = ParseNumber(text);
  if (!number || *number != RoundHalfEven(*number) || *number <= 0 || *number > 65535) {
    return std::nullopt;
  }
  return static_cast<int>(*number);
}

bool RecodingKeepsText(std::string_view text, std::optional<int> code_page) {
  if (!code_page) return true;
  const int page = *code_page;
  // Shortcuts for the usual cases, with the result of the full way: cp1252 bytes decoded as
  // cp1252 give the text back (its UTF-8 is strict, so re-encoding restores the same bytes),
  // and ASCII stays ASCII in the code pages above.
  return page == 1252 || (IsAsciiCodePage(page) && IsAscii(text));
}

std::string RecodeThroughCodePage(std::string_view text, std::optional<int> code_page) {
  if (RecodingKeepsText(text, code_page)) return std::string(text);
  const int page = *code_page;
  std::optional<std::string> bytes = Utf8ToCp1252(text);
  if (!bytes) return std::string(text);
  // A NUL inside the text is decoded like any other byte: it never cuts the text.
  std::optional<std::string> decoded = DecodeCodePage(*bytes, page);
  return decoded ? *decoded : std::string(text);
}

std::string ReplaceFirstTrimmed(std::string_view text, std::string_view search,
                                std::string_view value) {
  std::size_t at = text.find(search);
  if (at == std::string_view::npos) return std::string(text);
  std::string inserted = TrimBlanks(value);
  std::string result;
  result.reserve(text.size() - search.size() + inserted.size());
  result.append(text.substr(0, at));
  result += inserted;
  result.append(text.substr(at + search.size()));
  return result;
}

void SortRowsByFirstColumn(Table& table) {
  if (table.row_count() < 2 || table.column_count() == 0) return;
  auto& rows = table.rows();
  // A stable sort: O(n log n) whatever the input, and rows with equal keys keep their order.
  std::stable_sort(rows.begin(), rows.end(),
                   [](const auto& a, const auto& b) { return CompareCells(a[0], b[0]) < 0; });
}

}  // namespace orvano
