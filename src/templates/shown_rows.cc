#include "templates/shown_rows.h"

#include <utility>

#include "support/number_text.h"
#include "support/string_helpers.h"
#include "templates/address_formulas.h"

namespace orvano {
namespace {

bool HeldAddressFormula(const Cell& cell) {
  const std::string* text = std::get_if<std::string>(&cell);
  return text != nullptr && text->find(kAddressFormulaOpen) != std::string::npos;
}

// True when CellText(`cell`) is not empty (a number's never is).
bool HasText(const Cell& cell) {
  if (const auto* text = std::get_if<std::string>(&cell)) return !text->empty();
  return std::holds_alternative<double>(cell);
}

}  // namespace

const std::vector<std::size_t>& AddressCellsOfPart::Of(std::size_t part_row) {
  static const std::vector<std::size_t> kNone;
  if (part_row == 0 || part_row >= part_.row_count()) return kNone;
  if (known_.size() < part_.row_count()) {
    known_.resize(part_.row_count());
    columns_.resize(part_.row_count());
  }
  if (!known_[part_row]) {
    const std::vector<Cell>& cells = part_.rows()[part_row];
    for (std::size_t c = 0; c < cells.size(); ++c) {
      if (HeldAddressFormula(cells[c])) columns_[part_row].push_back(c);
    }
    known_[part_row] = 1;
  }
  return columns_[part_row];
}

ShownRowGroup::ShownRowGroup(std::shared_ptr<const Table> fields,
                             std::vector<PartRowOrigin> origins, std::string position,
                             AddressCellsOfPart& address_cells)
    : fields_(std::move(fields)), origins_(std::move(origins)), position_(std::move(position)) {
  for (std::size_t r = 1; r < fields_->row_count(); ++r) {
    const std::vector<Cell>& cells = fields_->rows()[r];
    if (cells.empty() || !HasText(cells[0])) continue;  // the page skips the row
    rows_.push_back(r);
    const std::size_t part_row = r - 1 < origins_.size() ? origins_[r - 1].part_row : 0;
    const std::vector<std::size_t>& columns = address_cells.Of(part_row);
    address_columns_.insert(address_columns_.end(), columns.begin(), columns.end());
    address_ends_.push_back(address_columns_.size());
  }
}

void ShownRowGroup::ForEachRow(const std::function<void(const ShownRowView&)>& visit) const {
  std::vector<std::string_view> texts;
  std::string numbers;  // the texts of the row's number cells, one after the other
  std::vector<std::size_t> number_ends;
  std::vector<std::size_t> address_columns;
  // The font classes are numbers, mostly the same from row to row: printed once.
  double printed = 0;
  std::string printed_text = "0";
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    const std::vector<Cell>& cells = fields_->rows()[rows_[i]];
    // The numbers first: the texts view them, so their room must not move afterwards.
    numbers.clear();
    number_ends.clear();
    for (const Cell& cell : cells) {
      if (const auto* number = std::get_if<double>(&cell)) {
        if (*number != printed) {
          printed = *number;
          printed_text = NumberToText(printed);
        }
        numbers += printed_text;
      }
      number_ends.push_back(numbers.size());
    }
    std::size_t last = 0;  // one past the last cell with a text
    texts.assign(cells.size(), std::string_view());
    for (std::size_t c = 0; c < cells.size(); ++c) {
      if (const auto* text = std::get_if<std::string>(&cells[c])) {
        texts[c] = TrimmedBlanks(*text);  // as a "###ZELLE###" placeholder puts it on the page
      } else if (std::holds_alternative<double>(cells[c])) {
        const std::size_t begin = c == 0 ? 0 : number_ends[c - 1];
        texts[c] = std::string_view(numbers).substr(begin, number_ends[c] - begin);
      }
      if (!texts[c].empty()) last = c + 1;
    }
    address_columns.clear();
    for (std::size_t k = i == 0 ? 0 : address_ends_[i - 1]; k < address_ends_[i]; ++k) {
      if (address_columns_[k] < last) address_columns.push_back(address_columns_[k]);
    }
    const auto* class_text = std::get_if<std::string>(&cells[0]);
    const std::size_t r = rows_[i];
    visit({position_, r - 1 < origins_.size() ? origins_[r - 1] : PartRowOrigin(),
           class_text != nullptr ? std::string_view(*class_text) : texts[0],
           std::span<const std::string_view>(texts).first(last), address_columns});
  }
}

}  // namespace orvano
