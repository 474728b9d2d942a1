#include "templates/shown_rows.h"

#include <utility>

#include "support/number_text.h"

namespace orvano {
namespace {

constexpr std::string_view kAddressFormula = "###ADDR:";

bool HeldAddressFormula(const Cell& cell) {
  const std::string* text = std::get_if<std::string>(&cell);
  return text != nullptr && text->find(kAddressFormula) != std::string::npos;
}

// `text` as a "###ZELLE###" placeholder puts it on the page: without blanks around it.
std::string_view Trimmed(std::string_view text) {
  const std::size_t begin = text.find_first_not_of(' ');
  if (begin == std::string_view::npos) return {};
  return text.substr(begin, text.find_last_not_of(' ') - begin + 1);
}

// True when CellText(`cell`) is not empty (a number's never is).
bool HasText(const Cell& cell) {
  if (const auto* text = std::get_if<std::string>(&cell)) return !text->empty();
  return std::holds_alternative<double>(cell);
}

// True when the cell puts a text on the page (a number always does).
bool ShowsText(const Cell& cell) {
  if (const auto* text = std::get_if<std::string>(&cell)) return !Trimmed(*text).empty();
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
    std::size_t last = 0;  // one past the last cell with a text
    for (std::size_t c = 0; c < cells.size(); ++c) {
      if (ShowsText(cells[c])) last = c + 1;
    }
    cell_counts_.push_back(last);
    const std::size_t part_row = r - 1 < origins_.size() ? origins_[r - 1].part_row : 0;
    for (std::size_t c : address_cells.Of(part_row)) {
      if (c < last) address_columns_.push_back(c);
    }
    address_ends_.push_back(address_columns_.size());
  }
}

void ShownRowGroup::ForEachRow(const std::function<void(const ShownRowView&)>& visit) const {
  std::vector<std::string_view> texts;
  std::string numbers;  // the texts of the row's number cells, one after the other
  std::vector<std::size_t> number_ends;
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    const std::vector<Cell>& cells = fields_->rows()[rows_[i]];
    const std::size_t count = cell_counts_[i];
    // The numbers first: the texts view them, so their room must not move afterwards.
    numbers.clear();
    number_ends.clear();
    for (std::size_t c = 0; c < count || c == 0; ++c) {
      if (const auto* number = std::get_if<double>(&cells[c])) numbers += NumberToText(*number);
      number_ends.push_back(numbers.size());
    }
    auto number_text = [&](std::size_t c) {
      const std::size_t begin = c == 0 ? 0 : number_ends[c - 1];
      return std::string_view(numbers).substr(begin, number_ends[c] - begin);
    };
    texts.assign(count, std::string_view());
    for (std::size_t c = 0; c < count; ++c) {
      if (const auto* text = std::get_if<std::string>(&cells[c])) {
        texts[c] = Trimmed(*text);
      } else if (std::holds_alternative<double>(cells[c])) {
        texts[c] = number_text(c);
      }
    }
    const auto* class_text = std::get_if<std::string>(&cells[0]);
    const std::size_t address_begin = i == 0 ? 0 : address_ends_[i - 1];
    const std::size_t r = rows_[i];
    visit({position_, r - 1 < origins_.size() ? origins_[r - 1] : PartRowOrigin(),
           class_text != nullptr ? std::string_view(*class_text) : number_text(0), texts,
           std::span<const std::size_t>(address_columns_)
               .subspan(address_begin, address_ends_[i] - address_begin)});
  }
}

std::vector<ShownRow> ShownRowGroup::Rows() const {
  std::vector<ShownRow> rows;
  rows.reserve(rows_.size());
  ForEachRow([&rows](const ShownRowView& view) {
    rows.push_back(
        {std::string(view.position), view.origin, std::string(view.font_class),
         std::vector<std::string>(view.cells.begin(), view.cells.end()),
         std::vector<std::size_t>(view.address_columns.begin(), view.address_columns.end())});
  });
  return rows;
}

}  // namespace orvano
