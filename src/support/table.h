// The one two-dimensional shape in which the program passes database rows, workbook sheets, sheet
// parts and generated blocks: cells indexed (column, row), both from 0, each a text, a number or
// null. Rows are stored together, so sorting and appending move whole rows cheaply.

#ifndef ORVANO_SUPPORT_TABLE_H_
#define ORVANO_SUPPORT_TABLE_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace orvano {

/// A cell: null (std::monostate), a text (UTF-8) or a number.
using Cell = std::variant<std::monostate, std::string, double>;

inline bool IsNull(const Cell& cell) { return std::holds_alternative<std::monostate>(cell); }
inline bool IsText(const Cell& cell) { return std::holds_alternative<std::string>(cell); }
inline bool IsNumber(const Cell& cell) { return std::holds_alternative<double>(cell); }

/// The cell as text: a text as it is, a number through NumberToText, null as "".
std::string CellText(const Cell& cell);

/// Orders cells by value: null before numbers before texts; numbers numerically; texts in
/// UTF-16 code-unit order (the order the original program's strings had). Returns <0, 0, >0.
int CompareCells(const Cell& a, const Cell& b);

/// Compares two UTF-8 texts in UTF-16 code-unit order. Returns <0, 0, >0.
int CompareCodeUnits(std::string_view a, std::string_view b);

class Table {
 public:
  Table() = default;
  /// A table of `columns` x `rows` null cells.
  Table(std::size_t columns, std::size_t rows);

  std::size_t column_count() const { return columns_; }
  std::size_t row_count() const { return rows_.size(); }
  bool empty() const { return rows_.empty(); }

  /// The cell at (`column`, `row`). Throws UnexpectedError 9 (subscript out of range) outside.
  Cell& At(std::size_t column, std::size_t row) {
    if (column >= columns_ || row >= rows_.size()) ThrowOutside(column, row);
    return rows_[row][column];
  }
  const Cell& At(std::size_t column, std::size_t row) const {
    return const_cast<Table*>(this)->At(column, row);
  }

  /// The cell as text (see CellText); "" outside the table instead of an error.
  std::string TextAt(std::size_t column, std::size_t row) const;

  /// Appends a row of null cells and returns its index.
  std::size_t AddRow();
  /// Appends `row`, padded with nulls or cut to the column count.
  void AddRow(std::vector<Cell> row);
  /// Changes the size, keeping the cells that stay inside; new cells are null.
  void Resize(std::size_t columns, std::size_t rows);
  void SwapRows(std::size_t a, std::size_t b);

  /// Whole rows, for algorithms that move them (sorting).
  std::vector<std::vector<Cell>>& rows() { return rows_; }
  const std::vector<std::vector<Cell>>& rows() const { return rows_; }

 private:
  [[noreturn]] void ThrowOutside(std::size_t column, std::size_t row) const;

  std::size_t columns_ = 0;
  std::vector<std::vector<Cell>> rows_;
};

}  // namespace orvano

#endif  // ORVANO_SUPPORT_TABLE_H_
