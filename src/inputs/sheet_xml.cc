#include "inputs/sheet_xml.h"

#include <charconv>
#include <cmath>
#include <optional>

#include "inputs/ooxml_format.h"
#include "support/byte_reader.h"

namespace orvano {
namespace {

using std::uint32_t;

constexpr std::string_view kWhitespace = " \t\r\n";

bool IsWhitespace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view Trimmed(std::string_view text) {
  if (!text.empty() && !IsWhitespace(text.front()) && !IsWhitespace(text.back())) return text;
  const std::size_t first = text.find_first_not_of(kWhitespace);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kWhitespace) - first + 1);
}

std::optional<double> ParseNumber(std::string_view text) {
  text = Trimmed(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) {
    return std::nullopt;
  }
  return value;
}

// Digits only, no sign; nullopt when empty or not all digits or past `limit`. By hand: shared
// string indices and row numbers are read once per cell.
std::optional<uint32_t> ParseCount(std::string_view text, uint32_t limit) {
  if (text.empty() || text.size() > 10) return std::nullopt;
  std::uint64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
  }
  if (value > limit) return std::nullopt;
  return static_cast<uint32_t>(value);
}

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

// Days from 1970-01-01 to the civil date (proleptic Gregorian calendar).
long DaysFromCivil(long y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long>(doe) - 719468;
}

// The value of the error text, as the BIFF reader gives its codes; nullopt for others.
std::optional<std::uint8_t> ErrorCodeOf(std::string_view text) {
  for (int code = 0; code < 0x30; ++code) {
    if (ParsedWorkbook::ErrorText(static_cast<std::uint8_t>(code)) == text) {
      return static_cast<std::uint8_t>(code);
    }
  }
  return std::nullopt;
}

}  // namespace

CellPosition ParseCellReference(std::string_view reference) {
  std::size_t i = 0;
  const auto fail = [&](const char* fault) -> CellPosition {
    throw DataError("cell reference " + Quoted(reference) + " " + fault);
  };
  if (i < reference.size() && reference[i] == '$') ++i;
  uint32_t column = 0;
  std::size_t letters = 0;
  for (; i < reference.size(); ++i, ++letters) {
    const char c = reference[i];
    const char upper = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    if (upper < 'A' || upper > 'Z') break;
    if (letters == 3) return fail("lies beyond column XFD (the format's 16 384 columns)");
    column = column * 26 + static_cast<uint32_t>(upper - 'A' + 1);
  }
  if (letters == 0) return fail("has no column letters");
  if (column > ooxml::kMaxColumns) {
    return fail("lies beyond column XFD (the format's 16 384 columns)");
  }
  if (i < reference.size() && reference[i] == '$') ++i;
  const std::string_view digits = reference.substr(i);
  if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos) {
    return fail("has no row number");
  }
  const std::optional<uint32_t> row = ParseCount(digits.substr(0, 8), 99999999);
  if (!row || *row == 0) return fail("has no row number");
  if (digits.size() > 7 || *row > ooxml::kMaxRows) {
    return fail("lies beyond row 1048576 (the format's 1 048 576 rows)");
  }
  return CellPosition{*row - 1, column - 1};
}

std::string CellReferenceOf(CellPosition position) {
  std::string letters;
  for (uint32_t n = position.column + 1; n > 0; n = (n - 1) / 26) {
    letters.insert(letters.begin(), static_cast<char>('A' + (n - 1) % 26));
  }
  return letters + std::to_string(std::uint64_t{position.row} + 1);
}

double DateTimeToSerial(std::string_view text, bool date1904) {
  const std::string_view t = Trimmed(text);
  const auto fail = [&]() -> double { throw DataError(Quoted(text) + " is not a date"); };
  // YYYY-MM-DD, then optionally THH:MM[:SS[.fff]]
  if (t.size() < 10 || t[4] != '-' || t[7] != '-') return fail();
  const auto year = ParseCount(t.substr(0, 4), 9999);
  const auto month = ParseCount(t.substr(5, 2), 12);
  const auto day = ParseCount(t.substr(8, 2), 31);
  if (!year || !month || !day || *month == 0 || *day == 0) return fail();
  double seconds = 0;
  if (t.size() > 10) {
    if (t[10] != 'T' || t.size() < 16 || t[13] != ':') return fail();
    const auto hours = ParseCount(t.substr(11, 2), 24);
    const auto minutes = ParseCount(t.substr(14, 2), 59);
    if (!hours || !minutes) return fail();
    seconds = *hours * 3600.0 + *minutes * 60.0;
    std::string_view rest = t.substr(16);
    if (!rest.empty() && rest.back() == 'Z') rest.remove_suffix(1);
    if (!rest.empty()) {
      if (rest[0] != ':') return fail();
      const std::optional<double> s = ParseNumber(rest.substr(1));
      if (!s || *s < 0 || *s >= 61) return fail();
      seconds += *s;
    }
  }
  const long days = DaysFromCivil(*year, *month, *day);
  double serial;
  if (date1904) {
    serial = static_cast<double>(days - DaysFromCivil(1904, 1, 1));
  } else {
    serial = static_cast<double>(days - DaysFromCivil(1899, 12, 30));
    // The 1900 date system counts a 29 February 1900 that never was: earlier dates are one less.
    if (serial < 61) serial -= 1;
  }
  return serial + seconds / 86400.0;
}

void SharedStringsHandler::StartElement(std::string_view name, const XmlAttributes&) {
  if (name == ooxml::kStringItemElement) {
    if (item_depth_++ == 0) text_.clear();
  } else if (item_depth_ > 0) {
    if (name == ooxml::kPhoneticRunElement) ++phonetic_depth_;
    if (name == ooxml::kTextElement && phonetic_depth_ == 0) in_text_ = true;
  }
}

void SharedStringsHandler::EndElement(std::string_view name) {
  if (item_depth_ == 0) return;
  if (name == ooxml::kTextElement) {
    in_text_ = false;
  } else if (name == ooxml::kPhoneticRunElement) {
    --phonetic_depth_;
  } else if (name == ooxml::kStringItemElement && --item_depth_ == 0) {
    workbook_.AddText(text_);
    ++count_;
  }
}

void SharedStringsHandler::Characters(std::string_view text) {
  if (in_text_) text_.append(text);
}

void SheetDataHandler::StartElement(std::string_view name, const XmlAttributes& attributes) {
  if (in_cell_) {
    if (name == ooxml::kValueElement) {
      in_value_ = true;
      has_value_ = true;
      value_.clear();
    } else if (name == ooxml::kInlineStringElement) {
      if (inline_depth_++ == 0) {
        has_value_ = true;
        value_.clear();
        type_ = Type::kInlineString;  // an inline string is one whatever the cell's t says
      }
    } else if (inline_depth_ > 0) {
      if (name == ooxml::kPhoneticRunElement) ++phonetic_depth_;
      if (name == ooxml::kTextElement && phonetic_depth_ == 0) in_value_ = true;
    }
    return;
  }
  if (!in_sheet_data_) {
    in_sheet_data_ = name == ooxml::kSheetDataElement;
    return;
  }
  if (name == ooxml::kRowElement) {
    if (const char* r = attributes.Find(ooxml::kReferenceAttribute)) {
      const std::optional<uint32_t> number = ParseCount(Trimmed(r), ooxml::kMaxRows);
      if (!number || *number == 0) {
        throw DataError("row number " + Quoted(r) + " is not one of the format's rows 1..1048576");
      }
      row_ = *number - 1;
    } else if (row_seen_) {
      if (row_ + 1 >= ooxml::kMaxRows) {
        throw DataError("a row after row 1048576 (the format's last row)");
      }
      ++row_;
    }
    row_seen_ = true;
    next_column_ = 0;
  } else if (name == ooxml::kCellElement) {
    StartCell(attributes);
  }
}

void SheetDataHandler::StartCell(const XmlAttributes& attributes) {
  const char* reference = nullptr;
  const char* type = nullptr;
  // Cells are the bulk of a sheet: their two one-letter attributes are told apart by hand.
  static_assert(ooxml::kReferenceAttribute.size() == 1 && ooxml::kCellTypeAttribute.size() == 1);
  for (const char** p = attributes.pairs(); *p != nullptr; p += 2) {
    if (p[0][0] == '\0' || p[0][1] != '\0') continue;
    if (p[0][0] == ooxml::kReferenceAttribute[0]) {
      reference = p[1];
    } else if (p[0][0] == ooxml::kCellTypeAttribute[0]) {
      type = p[1];
    }
  }
  if (reference != nullptr) {
    cell_ = ParseCellReference(reference);
  } else {
    if (next_column_ >= ooxml::kMaxColumns) {
      throw DataError("a cell after column XFD in row " + std::to_string(row_ + 1) +
                      " (the format's 16 384 columns)");
    }
    cell_ = CellPosition{row_, next_column_};
  }
  row_ = cell_.row;
  next_column_ = cell_.column + 1;
  type_ = Type::kNumber;
  if (type != nullptr) {
    const std::string_view t(type);
    if (t == ooxml::kTypeSharedString) {
      type_ = Type::kSharedString;
    } else if (t == ooxml::kTypeFormulaString) {
      type_ = Type::kFormulaString;
    } else if (t == ooxml::kTypeInlineString) {
      type_ = Type::kInlineString;
    } else if (t == ooxml::kTypeBoolean) {
      type_ = Type::kBoolean;
    } else if (t == ooxml::kTypeError) {
      type_ = Type::kError;
    } else if (t == ooxml::kTypeDate) {
      type_ = Type::kDate;
    } else if (t != ooxml::kTypeNumber) {
      FailAtCell("unknown cell type " + Quoted(t));
    }
  }
  in_cell_ = true;
  has_value_ = false;
  in_value_ = false;
  inline_depth_ = 0;
  phonetic_depth_ = 0;
}

void SheetDataHandler::EndElement(std::string_view name) {
  if (!in_cell_) {
    if (name == ooxml::kSheetDataElement) in_sheet_data_ = false;
    return;
  }
  if (name == ooxml::kCellElement && inline_depth_ == 0) {
    EndCell();
  } else if (name == ooxml::kValueElement || name == ooxml::kTextElement) {
    in_value_ = false;
  } else if (name == ooxml::kPhoneticRunElement && phonetic_depth_ > 0) {
    --phonetic_depth_;
  } else if (name == ooxml::kInlineStringElement && inline_depth_ > 0) {
    --inline_depth_;
  }
}

void SheetDataHandler::Characters(std::string_view text) {
  if (in_value_) value_.append(text);
}

void SheetDataHandler::EndCell() {
  in_cell_ = false;
  if (!has_value_) return;  // no value, or a formula never calculated
  WorkbookCell cell;
  cell.row = cell_.row;
  cell.column = static_cast<std::uint16_t>(cell_.column);
  switch (type_) {
    case Type::kNumber:
    case Type::kDate: {
      if (Trimmed(value_).empty()) return;
      if (type_ == Type::kDate) {
        try {
          cell.number = DateTimeToSerial(value_, date1904_);
        } catch (const DataError& e) {
          FailAtCell(e.what());
        }
        break;
      }
      const std::optional<double> number = ParseNumber(value_);
      if (!number) FailAtCell(Quoted(value_) + " is not a number");
      cell.number = *number;
      break;
    }
    case Type::kSharedString: {
      if (Trimmed(value_).empty()) return;  // an empty <v/>: no string, as with numbers
      const std::optional<uint32_t> index = ParseCount(Trimmed(value_), UINT32_MAX);
      if (!index) FailAtCell("shared string index " + Quoted(value_) + " is not a number");
      cell.kind = CellKind::kText;
      cell.code = kSharedStringIndex;
      cell.text = *index;
      break;
    }
    case Type::kFormulaString:
      // An empty result cannot be told from a formula never calculated: no cell either way.
      if (value_.empty()) return;
      [[fallthrough]];
    case Type::kInlineString:
      cell.kind = CellKind::kText;
      cell.code = kOwnText;
      cell.text = own_texts_.AddText(value_);
      break;
    case Type::kBoolean: {
      const std::string_view v = Trimmed(value_);
      if (v.empty()) return;
      cell.kind = CellKind::kBoolean;
      if (v == "1" || v == "true") {
        cell.code = 1;
      } else if (v != "0" && v != "false") {
        FailAtCell(Quoted(value_) + " is not a boolean");
      }
      break;
    }
    case Type::kError: {
      const std::string_view v = Trimmed(value_);
      if (v.empty()) return;
      if (const std::optional<std::uint8_t> code = ErrorCodeOf(v)) {
        cell.kind = CellKind::kError;
        cell.code = *code;
      } else {  // an error value newer than the BIFF codes: its text is what a sheet shows
        cell.kind = CellKind::kText;
        cell.code = kOwnText;
        cell.text = own_texts_.AddText(v);
      }
      break;
    }
  }
  cells_.push_back(cell);
}

std::vector<WorkbookCell> SheetDataHandler::TakeCells(ParsedWorkbook& workbook,
                                                      std::uint32_t shared_strings) {
  const std::uint32_t first_own = static_cast<std::uint32_t>(workbook.text_count());
  for (WorkbookCell& cell : cells_) {
    if (cell.kind != CellKind::kText) continue;
    if (cell.code == kOwnText) {
      cell.text += first_own;
    } else if (cell.text >= shared_strings) {
      throw DataError("cell " + CellReferenceOf({cell.row, cell.column}) +
                      ": shared string index " + std::to_string(cell.text) + " lies past the " +
                      std::to_string(shared_strings) + " strings of the shared string table");
    }
    cell.code = 0;
  }
  workbook.ReserveTexts(own_texts_.text_count(), 0);
  for (std::size_t i = 0; i < own_texts_.text_count(); ++i) {
    workbook.AddText(own_texts_.TextAt(static_cast<std::uint32_t>(i)));
  }
  own_texts_ = ParsedWorkbook();
  return std::move(cells_);
}

void SheetDataHandler::FailAtCell(const std::string& fault) const {
  throw DataError("cell " + CellReferenceOf(cell_) + ": " + fault);
}

}  // namespace orvano
