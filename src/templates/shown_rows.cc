#include "templates/shown_rows.h"

#include "support/string_helpers.h"

namespace orvano {
namespace {

constexpr std::string_view kAddressFormula = "###ADDR:";

// A cell's text as a "###ZELLE###" placeholder puts it on the page.
std::string ShownText(const Table& fields, std::size_t column, std::size_t row) {
  std::string text = fields.TextAt(column, row);
  if (!text.empty() && (text.front() == ' ' || text.back() == ' ')) text = TrimBlanks(text);
  return text;
}

bool HeldAddressFormula(const Table& part, std::size_t column, std::size_t row) {
  if (column >= part.column_count() || row == 0 || row >= part.row_count()) return false;
  const std::string* text = std::get_if<std::string>(&part.At(column, row));
  return text != nullptr && text->find(kAddressFormula) != std::string::npos;
}

}  // namespace

void AppendShownRows(const Table& fields, const std::vector<PartRowOrigin>& origins,
                     const Table& part, const std::string& position, std::vector<ShownRow>* shown) {
  for (std::size_t r = 1; r < fields.row_count(); ++r) {
    std::string font_class = fields.TextAt(0, r);
    if (font_class.empty()) continue;  // the page skips the row as if it were absent
    ShownRow row;
    row.position = position;
    if (r - 1 < origins.size()) row.origin = origins[r - 1];
    row.font_class = std::move(font_class);
    std::size_t last = 0;  // one past the last cell with a text
    row.cells.reserve(fields.column_count());
    for (std::size_t c = 0; c < fields.column_count(); ++c) {
      row.cells.push_back(ShownText(fields, c, r));
      if (!row.cells.back().empty()) last = c + 1;
      if (HeldAddressFormula(part, c, row.origin.part_row)) row.address_columns.push_back(c);
    }
    row.cells.resize(last);
    while (!row.address_columns.empty() && row.address_columns.back() >= last) {
      row.address_columns.pop_back();
    }
    shown->push_back(std::move(row));
  }
}

}  // namespace orvano
