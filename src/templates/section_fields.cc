#include "templates/section_fields.h"

#include <algorithm>
#include <limits>
#include <set>

#include "fonts/font_classes.h"
#include "support/error_sink.h"
#include "support/errors.h"
#include "support/number_text.h"
#include "support/string_helpers.h"
#include "templates/page_state.h"
#include "templates/page_text.h"
#include "templates/run_inputs.h"
#include "templates/section_builder.h"

namespace orvano {
namespace {

constexpr std::string_view kDirectCellProcedure = "GetDirectExcelCell";
constexpr std::string_view kFieldsProcedure = "GetSectionFieldXL";
constexpr std::string_view kRowsAsHtmlProcedure = "TransferXLFieldToSectionHTML";

constexpr std::string_view kDirect = "###DIREKT###";
constexpr std::string_view kCell = "###ZELLE###";
constexpr int kMaxDirectRounds = 1000;

// The origins of the `count` rows of range block `block`: repetition after repetition of the
// range's rows.
void AppendBlockOrigins(const PageState& page, std::size_t block, std::size_t count,
                        std::vector<PartRowOrigin>* origins) {
  const PageState::RangeSpan span =
      block < page.range_spans.size() ? page.range_spans[block] : PageState::RangeSpan();
  for (std::size_t k = 0; k < count; ++k) {
    if (span.rows == 0) {
      origins->push_back({0, static_cast<int>(block), 0});
      continue;
    }
    origins->push_back({span.first_row + k % span.rows, static_cast<int>(block),
                        static_cast<int>(k / span.rows + 1)});
  }
}

bool IsEmptyClass(const Cell& cell) {
  return IsNull(cell) || (IsText(cell) && std::get<std::string>(cell).empty());
}

// The first direct reference of a text, cut into its parts.
struct DirectCellAddress {
  std::string column;  // the digits right after "###DIREKT###"; "" when none
  char separator = 0;  // the character after them; 0 when the text ends there
  std::string row;     // the digits after the separator; "" when none
};

// Cuts the first direct reference of `text` into its parts; all empty when there is none.
DirectCellAddress FindDirectCellAddress(std::string_view text) {
  DirectCellAddress address;
  std::size_t at = text.find(kDirect);
  if (at == std::string_view::npos) return address;
  std::size_t pos = at + kDirect.size();
  address.column = DigitsAt(text, pos);
  pos += address.column.size();
  if (pos < text.size()) {
    address.separator = text[pos];
    address.row = DigitsAt(text, pos + 1);
  }
  return address;
}

// The direct reference that starts at `pos`: its whole text when well formed (digits "," digits),
// else nullopt.
std::optional<std::string> WellFormedReference(std::string_view text, std::size_t pos,
                                               std::size_t* end) {
  DirectCellAddress address = FindDirectCellAddress(text.substr(pos));
  *end = pos + kDirect.size() + address.column.size() + (address.separator ? 1 : 0) +
         address.row.size();
  if (address.column.empty() || address.row.empty() || address.separator != ',') {
    return std::nullopt;
  }
  return std::string(text.substr(pos, *end - pos));
}

// The column a placeholder's digit run names: leading zeros do not count, and a run longer
// than any table is wide is a column beyond the last. nullopt for no digits or the number 0.
std::optional<std::size_t> ColumnNumber(std::string_view digits) {
  const std::size_t first = digits.find_first_not_of('0');
  if (first == std::string_view::npos) return std::nullopt;
  const std::string_view significant = digits.substr(first);
  constexpr std::size_t kMostDigits = 9;  // columns are counted far below a billion
  if (significant.size() > kMostDigits) return std::numeric_limits<std::size_t>::max();
  std::size_t number = 0;
  for (char c : significant) number = number * 10 + static_cast<std::size_t>(c - '0');
  return number;
}

// The bytes of the UTF-8 character that starts at `pos` (0 at the end of `text`): its lead
// byte and the continuation bytes that follow it, at most four in all.
std::size_t Utf8CharacterLength(std::string_view text, std::size_t pos) {
  if (pos >= text.size()) return 0;
  std::size_t end = pos + 1;
  while (end < text.size() && end - pos < 4 &&
         (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
    ++end;
  }
  return end - pos;
}

}  // namespace

std::string ExpandDirectCellReferences(const Table& direct_cells, std::optional<int> code_page,
                                       std::string_view input, ErrorSink& errors) {
  std::string text(input);
  std::set<std::string> reported;  // malformed or unreadable references, noted once each
  for (int round = 0;; ++round) {
    // The first reference that can be replaced; the others are left where they stand.
    std::size_t pos = text.find(kDirect);
    std::optional<std::string> reference;
    std::size_t end = 0;
    while (pos != std::string::npos) {
      reference = WellFormedReference(text, pos, &end);
      std::string whole = text.substr(pos, end - pos);
      if (reference && !reported.count(whole)) break;
      if (!reference && reported.insert(whole).second) {
        errors.Note(ProblemKind::kWarning,
                    "Direct cell reference not valid: " + whole + " (sheet \"CommonDirect\")");
      }
      reference.reset();
      pos = text.find(kDirect, pos + 1);
    }
    if (!reference) return text;
    if (round == kMaxDirectRounds) {
      errors.Note(ProblemKind::kWarning, "Direct cell reference does not end: " + *reference);
      return text;
    }
    errors.KeepResponsive();
    DirectCellAddress address = FindDirectCellAddress(*reference);
    std::string cell;
    bool found = RunStep(errors, kDirectCellProcedure, [&] {
      cell =
          CellText(direct_cells.At(static_cast<std::size_t>(ToInt32(LeadingNumber(address.column))),
                                   static_cast<std::size_t>(ToInt32(LeadingNumber(address.row)))));
    });
    if (!found) {
      reported.insert(*reference);
      continue;
    }
    std::string head = text.substr(0, pos);
    std::string tail = text.substr(pos + reference->size());
    text = head + TrimBlanks(RecodeThroughCodePage(cell, code_page)) + tail;
  }
}

Table CollectSectionFields(const RunInputs& inputs, const PageState& page, Table section,
                           ErrorSink& errors, std::vector<PartRowOrigin>* origins) {
  Table fields(section.column_count(), 1);
  const bool standard = IsStandardSheet(inputs.sheets, page);
  bool in_range = false;
  for (std::size_t r = 1; r < section.row_count(); ++r) {
    // Only the sheet "Standard" has range markers; its column 1 is read as text.
    std::string number_text;
    std::string_view marker;
    if (standard && section.column_count() > 1) {
      const Cell& cell = section.rows()[r][1];
      if (const auto* text = std::get_if<std::string>(&cell)) {
        marker = *text;
      } else {
        number_text = CellText(cell);
        marker = number_text;
      }
    }
    if (standard && !in_range &&
        (marker.find("###SDR[REJ]") != std::string_view::npos ||
         marker.find("###SDR[WAR]") != std::string_view::npos ||
         marker.find("###SDR[ALA]") != std::string_view::npos)) {
      in_range = true;
      continue;  // the start marker row is not copied
    }
    if (!in_range) {
      fields.AddRow(std::move(section.rows()[r]));
      if (origins != nullptr) origins->push_back({r, 0, 0});
      continue;
    }
    if (!standard) continue;
    if (marker.find("###EDR[REJ]") == std::string_view::npos &&
        marker.find("###EDR[WAR]") == std::string_view::npos &&
        marker.find("###EDR[ALA]") == std::string_view::npos) {
      continue;
    }
    in_range = false;
    // The end marker's cell is where a fault of its block number lies.
    PlaceScope at(errors, errors.place());
    if (page.part_first_row) {
      errors.set_place({CurrentSheetName(inputs.sheets, page), inputs.workbook_file,
                        *page.part_first_row + r, 1});
    }
    RunStep(errors, kFieldsProcedure, [&] {
      if (marker.size() <= 11) return;  // no number: the range is dropped
      auto block = ParseNumber(marker.substr(11));
      if (!block) {
        throw UnexpectedError(err::kTypeMismatch, "Type mismatch: \"" + std::string(marker) +
                                                      "\" in sheet row " + std::to_string(r) +
                                                      " does not end with a block number");
      }
      int number = ToInt32(*block);
      if (number < 1) return;
      if (static_cast<std::size_t>(number) >= page.range_blocks.size()) {
        throw UnexpectedError(err::kSubscriptOutOfRange,
                              "Subscript out of range: block " + std::to_string(number) + " of " +
                                  std::to_string(page.range_blocks.size() - 1));
      }
      const auto index = static_cast<std::size_t>(number);
      const Table& rows = page.range_blocks[index];
      for (std::size_t k = 1; k < rows.row_count(); ++k) fields.AddRow(rows.rows()[k]);
      if (origins != nullptr) AppendBlockOrigins(page, index, rows.row_count() - 1, origins);
    });
  }
  std::size_t last = fields.row_count();
  while (last > 1 && IsEmptyClass(fields.At(0, last - 1))) --last;
  fields.Resize(fields.column_count(), last);
  if (origins != nullptr) origins->resize(last - 1);
  return fields;
}

CellPlaceholderLine::CellPlaceholderLine(std::string_view line) : line_(line) {
  std::size_t pos = line.find(kCell);
  has_placeholders_ = pos != std::string_view::npos;
  std::size_t copied = 0;  // the end of the pieces so far
  while (pos != std::string_view::npos) {
    const std::string_view digits = DigitsAt(line, pos + kCell.size());
    const std::optional<std::size_t> column = ColumnNumber(digits);
    if (!column) {
      // Quote the placeholder with its digits, or with the whole character after it; it stays.
      const std::size_t after = pos + kCell.size();
      const std::size_t shown =
          kCell.size() + (digits.empty() ? Utf8CharacterLength(line, after) : digits.size());
      not_valid_.push_back(line.substr(pos, shown));
      pos = line.find(kCell, after);
      continue;
    }
    // A number beyond the last column (however long) stands for no cell: it becomes nothing.
    pieces_.push_back({line.substr(copied, pos - copied), *column});
    copied = pos + kCell.size() + digits.size();
    pos = line.find(kCell, copied);
  }
  pieces_.push_back({line.substr(copied), 0});
}

std::string CellPlaceholderLine::Fill(const Table& fields, std::size_t row,
                                      std::string_view sheet_name, ErrorSink& errors) const {
  std::string filled;
  FillInto(fields, row, sheet_name, errors, &filled);
  return filled;
}

void CellPlaceholderLine::FillInto(const Table& fields, std::size_t row,
                                   std::string_view sheet_name, ErrorSink& errors,
                                   std::string* line) const {
  std::string& filled = *line;
  filled.clear();
  if (!has_placeholders_) {
    filled = line_;
    return;
  }
  errors.KeepResponsive();
  for (std::string_view placeholder : not_valid_) {
    errors.Note(ProblemKind::kWarning, "Cell placeholder not valid in sheet \"" +
                                           std::string(sheet_name) + "\", row " +
                                           std::to_string(row) + ": " + std::string(placeholder));
  }
  const std::vector<Cell>* cells = row < fields.row_count() ? &fields.rows()[row] : nullptr;
  std::string number;  // the text of a number cell
  for (const Piece& piece : pieces_) {
    filled += piece.text;
    if (piece.column == 0 || cells == nullptr || piece.column > cells->size()) continue;
    const Cell& cell = (*cells)[piece.column - 1];
    std::string_view value;
    if (const auto* text = std::get_if<std::string>(&cell)) {
      value = *text;
    } else if (IsNumber(cell)) {
      number = CellText(cell);
      value = number;
    }
    // A cell is put in without blanks around it.
    if (!value.empty() && (value.front() == ' ' || value.back() == ' ')) {
      filled += TrimBlanks(value);
    } else {
      filled += value;
    }
  }
}

namespace {

template <typename Out>
void AppendRowsAsHtml(const Table& fields, const FontClassTable& classes,
                      std::string_view sheet_name, Out* out, ErrorSink& errors) {
  RunStep(errors, kRowsAsHtmlProcedure, [&] {
    const FontClass* open = nullptr;   // the class of the current group, when it is defined
    std::optional<std::string> group;  // the class text of the current group
    const Cell* group_code = nullptr;  // column 0 of the group's last row
    // The main part of each class used so far, cut at its placeholders once.
    std::vector<std::pair<const FontClass*, std::vector<CellPlaceholderLine>>> cut_parts;
    auto cut_main_part = [&](const FontClass& font) -> const std::vector<CellPlaceholderLine>& {
      for (const auto& [cut_font, lines] : cut_parts) {
        if (cut_font == &font) return lines;
      }
      std::vector<CellPlaceholderLine> lines(font.main.begin(), font.main.end());
      return cut_parts.emplace_back(&font, std::move(lines)).second;
    };
    auto append_part = [&](const LineList& part) {
      for (const std::string& line : part) AppendPageLine(out, line);
    };
    std::string filled;  // a row's line
    // A part's line is the template line that the notes of its placeholders name.
    auto append_main_part = [&](const FontClass& font, std::size_t row) {
      const std::vector<CellPlaceholderLine>& lines = cut_main_part(font);
      for (std::size_t k = 0; k < lines.size(); ++k) {
        PlaceScope at(errors, LinePlace(classes.template_path, font.main_line + k));
        lines[k].FillInto(fields, row, sheet_name, errors, &filled);
        AppendPageLine(out, filled);
      }
    };
    for (std::size_t r = 1; r < fields.row_count(); ++r) {
      const Cell& code = fields.At(0, r);
      if (IsEmptyClass(code)) continue;  // as if the row were absent
      // Equal numbers need no text to be compared; a number and a text compare as texts.
      const bool same_number = group_code != nullptr && IsNumber(code) && IsNumber(*group_code) &&
                               std::get<double>(code) == std::get<double>(*group_code);
      group_code = &code;
      if (same_number) {
        if (open != nullptr) append_main_part(*open, r);
        continue;
      }
      std::string text = CellText(code);
      if (group && *group == text) {
        if (open != nullptr) append_main_part(*open, r);
        continue;
      }
      if (open != nullptr) append_part(open->closing);
      group = text;
      open = FindFontClass(classes, code);
      if (open != nullptr) {
        append_part(open->opening);
        append_main_part(*open, r);
      } else {
        AppendPageLine(out, "Following Fontclass not defined: " + text);
      }
    }
    if (open != nullptr) append_part(open->closing);
  });
}

}  // namespace

void AppendFieldRowsAsHtml(const Table& fields, const FontClassTable& classes,
                           std::string_view sheet_name, LineList* out, ErrorSink& errors) {
  AppendRowsAsHtml(fields, classes, sheet_name, out, errors);
}

void AppendFieldRowsAsHtml(const Table& fields, const FontClassTable& classes,
                           std::string_view sheet_name, PageText* out, ErrorSink& errors) {
  AppendRowsAsHtml(fields, classes, sheet_name, out, errors);
}

void AppendRows(const Table& source, std::int16_t widest_column_count, Table* destination) {
  std::size_t columns =
      std::max({destination->column_count(), source.column_count(),
                static_cast<std::size_t>(std::max<int>(0, widest_column_count + 1))});
  destination->Resize(columns, std::max<std::size_t>(destination->row_count(), 1));
  for (std::size_t r = 1; r < source.row_count(); ++r) destination->AddRow(source.rows()[r]);
}

}  // namespace orvano
