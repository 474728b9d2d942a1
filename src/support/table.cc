#include "support/table.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "support/errors.h"
#include "support/number_text.h"

namespace orvano {

std::string CellText(const Cell& cell) {
  if (const auto* text = std::get_if<std::string>(&cell)) return *text;
  if (const auto* number = std::get_if<double>(&cell)) return NumberToText(*number);
  return "";
}

int CompareCodeUnits(std::string_view a, std::string_view b) {
  std::size_t n = std::min(a.size(), b.size());
  std::size_t i = 0;
  // Eight bytes at a time to the first difference: sorted look-ups compare long shared prefixes.
  while (i + 8 <= n) {
    std::uint64_t x, y;
    std::memcpy(&x, a.data() + i, 8);
    std::memcpy(&y, b.data() + i, 8);
    if (x != y) break;
    i += 8;
  }
  while (i < n && a[i] == b[i]) ++i;
  if (i == n) return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
  // UTF-8 byte order equals code-point order. UTF-16 order differs in one place: characters
  // above U+FFFF (surrogates D800-DFFF) sort before U+E000..U+FFFF. Find the lead bytes of the
  // first differing character (the same position in both, since the prefixes are equal).
  std::size_t start = i;
  while (start > 0 && (static_cast<std::uint8_t>(a[start]) & 0xC0) == 0x80) --start;
  auto lead_a = static_cast<std::uint8_t>(a[start]);
  auto lead_b = static_cast<std::uint8_t>(b[start]);
  auto is_high_bmp = [](std::uint8_t lead) { return lead == 0xEE || lead == 0xEF; };
  auto is_supplementary = [](std::uint8_t lead) { return lead >= 0xF0; };
  if (is_high_bmp(lead_a) && is_supplementary(lead_b)) return 1;
  if (is_supplementary(lead_a) && is_high_bmp(lead_b)) return -1;
  return static_cast<std::uint8_t>(a[i]) < static_cast<std::uint8_t>(b[i]) ? -1 : 1;
}

int CompareCells(const Cell& a, const Cell& b) {
  // Kinds rank null, number, text.
  auto rank = [](const Cell& c) { return IsNull(c) ? 0 : (IsNumber(c) ? 1 : 2); };
  if (rank(a) != rank(b)) return rank(a) < rank(b) ? -1 : 1;
  if (const auto* x = std::get_if<double>(&a)) {
    double y = std::get<double>(b);
    return *x < y ? -1 : (*x > y ? 1 : 0);
  }
  if (const auto* x = std::get_if<std::string>(&a)) {
    return CompareCodeUnits(*x, std::get<std::string>(b));
  }
  return 0;
}

Table::Table(std::size_t columns, std::size_t rows)
    : columns_(columns), rows_(rows, std::vector<Cell>(columns)) {}

void Table::ThrowOutside(std::size_t column, std::size_t row) const {
  throw UnexpectedError(err::kSubscriptOutOfRange,
                        "Subscript out of range: cell (" + std::to_string(column) + ", " +
                            std::to_string(row) + ") of a table of " + std::to_string(columns_) +
                            " columns and " + std::to_string(rows_.size()) + " rows");
}

std::string Table::TextAt(std::size_t column, std::size_t row) const {
  if (column >= columns_ || row >= rows_.size()) return "";
  return CellText(rows_[row][column]);
}

std::size_t Table::AddRow() {
  rows_.emplace_back(columns_);
  return rows_.size() - 1;
}

void Table::AddRow(std::vector<Cell> row) {
  row.resize(columns_);
  rows_.push_back(std::move(row));
}

void Table::Resize(std::size_t columns, std::size_t rows) {
  rows_.resize(rows, std::vector<Cell>(columns_));
  if (columns != columns_) {
    for (auto& row : rows_) row.resize(columns);
    columns_ = columns;
  }
}

void Table::SwapRows(std::size_t a, std::size_t b) {
  if (a >= rows_.size() || b >= rows_.size()) {
    throw UnexpectedError(err::kSubscriptOutOfRange, "Subscript out of range: row swap");
  }
  std::swap(rows_[a], rows_[b]);
}

}  // namespace orvano
