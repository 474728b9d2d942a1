#include "templates/section_fields.h"

#include <algorithm>
#include <set>

#include "support/host.h"
#include "app/run_context.h"
#include "fonts/font_classes.h"
#include "inputs/workbook.h"
#include "app/error_reporting.h"
#include "support/errors.h"
#include "support/number_text.h"
#include "support/string_helpers.h"
#include "support/text_case.h"
#include "templates/section_builder.h"

namespace orvano {
namespace {

constexpr std::string_view kDirect = "###DIREKT###";
constexpr std::string_view kCell = "###ZELLE###";
constexpr int kMaxDirectRounds = 1000;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string DigitsAt(std::string_view text, std::size_t pos) {
  std::size_t end = pos;
  while (end < text.size() && IsDigit(text[end])) ++end;
  return std::string(text.substr(pos, end - pos));
}

bool IsEmptyClass(const Cell& cell) {
  return IsNull(cell) || (IsText(cell) && std::get<std::string>(cell).empty());
}

// The direct reference that starts at `pos`: its whole text when well formed (digits "," digits),
// else nullopt.
std::optional<std::string> WellFormedReference(std::string_view text, std::size_t pos,
                                               std::size_t* end) {
  std::string column, row;
  char separator = 0;
  GetDirectCellAddress(text.substr(pos), &column, &row, &separator);
  *end = pos + kDirect.size() + column.size() + (separator ? 1 : 0) + row.size();
  if (column.empty() || row.empty() || separator != ',') return std::nullopt;
  return std::string(text.substr(pos, *end - pos));
}

}  // namespace

int LoadDirectExcelSheet(RunContext& context) {
  context.page.sheet_index = -1;
  const auto& sheets = context.workbook.sheet_list;
  for (std::size_t k = 0; k < sheets.size(); ++k) {
    if (EqualsIgnoringCase(sheets[k].name, "CommonDirect")) {
      context.page.sheet_index = static_cast<std::int32_t>(k);
      break;
    }
  }
  if (context.page.sheet_index == -1) return -1;
  return ReadCompleteExcelSheet(context, context.page.sheet_index, &context.direct_cells) == -1 ? -1
                                                                                                : 1;
}

int GetDirectCellAddress(std::string_view text, std::string* column, std::string* row,
                         char* separator) {
  column->clear();
  row->clear();
  *separator = 0;
  std::size_t at = text.find(kDirect);
  if (at == std::string_view::npos) return 1;
  std::size_t pos = at + kDirect.size();
  *column = DigitsAt(text, pos);
  pos += column->size();
  if (pos < text.size()) {
    *separator = text[pos];
    *row = DigitsAt(text, pos + 1);
  }
  return 1;
}

std::string GetDirectExcelCell(RunContext& context, std::string_view input) {
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
        context.logs.LogEvent("Direct cell reference not valid: " + whole +
                              " (sheet \"CommonDirect\")");
      }
      reference.reset();
      pos = text.find(kDirect, pos + 1);
    }
    if (!reference) return text;
    if (round == kMaxDirectRounds) {
      context.logs.LogEvent("Direct cell reference does not end: " + *reference);
      return text;
    }
    context.host.PumpEvents();
    std::string column, row;
    char separator = 0;
    GetDirectCellAddress(*reference, &column, &row, &separator);
    std::string cell;
    bool found = Guarded(context.errors(), "GetDirectExcelCell", [&] {
      cell = CellText(context.direct_cells.At(static_cast<std::size_t>(ToInt32(LeadingNumber(column))),
                                              static_cast<std::size_t>(ToInt32(LeadingNumber(row)))));
    });
    if (!found) {
      reported.insert(*reference);
      continue;
    }
    std::string head = text.substr(0, pos);
    std::string tail = text.substr(pos + reference->size());
    text = head + TrimBlanks(RecodeThroughCodePage(cell, ParseCodePage(context.language.code_page))) + tail;
  }
}

Table GetSectionFieldXL(RunContext& context, const Table& section) {
  Table fields(section.column_count(), 1);
  const bool standard = IsStandardSheet(context);
  bool in_range = false;
  for (std::size_t r = 1; r < section.row_count(); ++r) {
    const std::string marker = section.TextAt(1, r);
    if (standard && !in_range &&
        (marker.find("###SDR[REJ]") != std::string::npos ||
         marker.find("###SDR[WAR]") != std::string::npos ||
         marker.find("###SDR[ALA]") != std::string::npos)) {
      in_range = true;
      continue;  // the start marker row is not copied
    }
    if (!in_range) {
      fields.AddRow(section.rows()[r]);
      continue;
    }
    if (!standard) continue;
    if (marker.find("###EDR[REJ]") == std::string::npos &&
        marker.find("###EDR[WAR]") == std::string::npos &&
        marker.find("###EDR[ALA]") == std::string::npos) {
      continue;
    }
    in_range = false;
    Guarded(context.errors(), "GetSectionFieldXL", [&] {
      if (marker.size() <= 11) return;  // no number: the range is dropped
      auto block = ParseNumber(marker.substr(11));
      if (!block) {
        throw UnexpectedError(err::kTypeMismatch, "Type mismatch: \"" + marker +
                                                      "\" in sheet row " + std::to_string(r) +
                                                      " does not end with a block number");
      }
      int number = ToInt32(*block);
      if (number < 1) return;
      if (static_cast<std::size_t>(number) >= context.build.range_blocks.size()) {
        throw UnexpectedError(err::kSubscriptOutOfRange,
                              "Subscript out of range: block " + std::to_string(number) + " of " +
                                  std::to_string(context.build.range_blocks.size() - 1));
      }
      const Table& rows = context.build.range_blocks[static_cast<std::size_t>(number)];
      for (std::size_t k = 1; k < rows.row_count(); ++k) fields.AddRow(rows.rows()[k]);
    });
  }
  std::size_t last = fields.row_count();
  while (last > 1 && IsEmptyClass(fields.At(0, last - 1))) --last;
  fields.Resize(fields.column_count(), last);
  return fields;
}

std::string FillCellPlaceholders(RunContext& context, std::string line, const Table& fields,
                                 std::size_t row) {
  std::size_t pos = line.find(kCell);
  if (pos == std::string::npos) return line;
  context.host.PumpEvents();
  while (pos != std::string::npos) {
    std::string digits = DigitsAt(line, pos + kCell.size());
    std::size_t n = 0;
    bool numbered = !digits.empty() && digits.size() < 10;
    if (numbered) n = static_cast<std::size_t>(std::stoul(digits));
    if (!numbered || n == 0) {
      std::string shown = line.substr(pos, kCell.size() + digits.size() + (digits.empty() ? 1 : 0));
      context.logs.LogEvent("Cell placeholder not valid in sheet \"" + CurrentSheetName(context) +
                            "\", row " + std::to_string(row) + ": " + shown);
      pos = line.find(kCell, pos + kCell.size());
      continue;
    }
    std::string value = fields.TextAt(n - 1, row);
    if (!value.empty() && (value.front() == ' ' || value.back() == ' ')) value = TrimBlanks(value);
    line.replace(pos, kCell.size() + digits.size(), value);
    pos = line.find(kCell, pos + value.size());
  }
  return line;
}

void TransferXLFieldToSectionHTML(RunContext& context, const Table& fields, LineList* out,
                                  const FontClassTable& classes) {
  Guarded(context.errors(), "TransferXLFieldToSectionHTML", [&] {
    const FontClass* open = nullptr;   // the class of the current group, when it is defined
    std::optional<std::string> group;  // the class text of the current group
    const Cell* group_code = nullptr;  // column 0 of the group's last row
    auto append_part = [&](const LineList& part, std::size_t row, bool fill) {
      for (const std::string& line : part) {
        out->push_back(fill ? FillCellPlaceholders(context, line, fields, row) : line);
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
        if (open != nullptr) append_part(open->main, r, true);
        continue;
      }
      std::string text = CellText(code);
      if (group && *group == text) {
        if (open != nullptr) append_part(open->main, r, true);
        continue;
      }
      if (open != nullptr) append_part(open->closing, r, false);
      group = text;
      int k = FindFontClass(classes, code);
      open = k > 0 ? &classes.Class(k) : nullptr;
      if (open != nullptr) {
        append_part(open->opening, r, false);
        append_part(open->main, r, true);
      } else {
        out->push_back("Following Fontclass not defined: " + text);
      }
    }
    if (open != nullptr) append_part(open->closing, fields.row_count(), false);
  });
}

void AppendTextField(RunContext& context, const Table& source, Table* destination) {
  std::size_t columns =
      std::max({destination->column_count(), source.column_count(),
                static_cast<std::size_t>(std::max<int>(0, context.workbook.max_column_index + 1))});
  destination->Resize(columns, std::max<std::size_t>(destination->row_count(), 1));
  for (std::size_t r = 1; r < source.row_count(); ++r) destination->AddRow(source.rows()[r]);
}

}  // namespace orvano
