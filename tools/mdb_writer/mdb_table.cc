#include "mdb_table.h"

#include <limits>
#include <string>

#include "jet/jet4_format.h"
#include "support/errors.h"
#include "support/text_case.h"
#include "support/text_codec.h"

namespace orvano::tools {

namespace {

constexpr const char kSource[] = "mdb_writer";
constexpr const char kCatalogTableName[] = "MSysObjects";

[[noreturn]] void Refuse(const std::string& message) { throw ProgramError(message, kSource); }

std::size_t Utf16Length(std::string_view text) { return Utf8ToUtf16Le(text).size() / 2; }

// Readers built on libmdb decode UCS-2, so a character beyond U+FFFF (4 UTF-8 bytes) would come
// back as "??".
bool HasCharacterBeyondBmp(std::string_view text) {
  for (unsigned char c : text) {
    if (c >= 0xf0) return true;
  }
  return false;
}

void CheckName(const std::string& name, const std::string& what) {
  if (name.empty()) Refuse(what + " has an empty name");
  if (!IsValidUtf8(name)) Refuse(what + " \"" + name + "\": the name is not valid UTF-8");
  if (HasCharacterBeyondBmp(name)) {
    Refuse(what + " \"" + name + "\": the name holds a character beyond U+FFFF");
  }
  if (Utf16Length(name) > jet4::kMaxNameCharacters) {
    Refuse(what + " \"" + name + "\": the name is longer than " +
           std::to_string(jet4::kMaxNameCharacters) + " characters");
  }
  for (unsigned char c : name) {
    if (c < 0x20 || c == 0x7f || c == '.' || c == '!' || c == '`' || c == '[' || c == ']') {
      Refuse(what + " \"" + name + "\": the name holds a control character or one of . ! ` [ ]");
    }
  }
}

void CheckText(const std::string& text, bool is_text_column, const std::string& place) {
  if (!IsValidUtf8(text)) Refuse(place + ": the text is not valid UTF-8");
  if (text.find('\0') != std::string::npos) {
    Refuse(place + ": the text holds a NUL character, at which readers cut it");
  }
  if (HasCharacterBeyondBmp(text)) {
    Refuse(place + ": the text holds a character beyond U+FFFF, which readers turn into \"?\"");
  }
  if (text.starts_with("\xEF\xBB\xBF")) {
    Refuse(place + ": the text begins with U+FEFF, which readers take for a compressed text");
  }
  if (is_text_column && Utf16Length(text) > jet4::kMaxTextCharacters) {
    Refuse(place + ": the text has " + std::to_string(Utf16Length(text)) +
           " characters, a Text column holds at most " + std::to_string(jet4::kMaxTextCharacters) +
           " (use Memo)");
  }
}

void CheckValue(const MdbValue& value, MdbType type, const std::string& place) {
  if (std::holds_alternative<std::monostate>(value)) {
    if (type == MdbType::kBoolean) Refuse(place + ": a Boolean column cannot hold null");
    return;
  }
  switch (type) {
    case MdbType::kLongInteger:
    case MdbType::kInteger: {
      const auto* number = std::get_if<std::int64_t>(&value);
      if (number == nullptr) Refuse(place + ": expected a whole number");
      const bool is_long = type == MdbType::kLongInteger;
      const std::int64_t low = is_long ? std::numeric_limits<std::int32_t>::min()
                                       : std::numeric_limits<std::int16_t>::min();
      const std::int64_t high = is_long ? std::numeric_limits<std::int32_t>::max()
                                        : std::numeric_limits<std::int16_t>::max();
      if (*number < low || *number > high) {
        Refuse(place + ": " + std::to_string(*number) + " is outside the " +
               std::string(MdbTypeName(type)) + " range " + std::to_string(low) + " to " +
               std::to_string(high));
      }
      return;
    }
    case MdbType::kText:
    case MdbType::kMemo: {
      const auto* text = std::get_if<std::string>(&value);
      if (text == nullptr) Refuse(place + ": expected a text");
      CheckText(*text, type == MdbType::kText, place);
      return;
    }
    case MdbType::kBoolean:
      if (!std::holds_alternative<bool>(value)) Refuse(place + ": expected a boolean");
      return;
  }
}

// Rows written before a column was added hold the columns before it, so added columns come
// last; a definition needs at least one column.
void CheckColumnChanges(const MdbTable& table, const std::string& what) {
  bool has_kept = false;
  bool seen_added = false;
  for (const MdbColumn& column : table.columns) {
    if (column.change != MdbColumnChange::kDeleted) has_kept = true;
    if (column.change == MdbColumnChange::kAdded) {
      seen_added = true;
    } else if (seen_added) {
      Refuse(what + ": column \"" + column.name + "\" comes after an added column");
    }
  }
  if (!has_kept) Refuse(what + " has only deleted columns");
  if (table.rows_before_added > table.rows.size()) {
    Refuse(what + " has " + std::to_string(table.rows.size()) + " rows, fewer than the " +
           std::to_string(table.rows_before_added) + " written before columns were added");
  }
}

void CheckTable(const MdbTable& table) {
  const std::string what = "table \"" + table.name + "\"";
  CheckName(table.name, "a table");
  if (table.columns.empty()) Refuse(what + " has no columns");
  if (table.columns.size() > jet4::kMaxColumns) {
    Refuse(what + " has " + std::to_string(table.columns.size()) + " columns, at most " +
           std::to_string(jet4::kMaxColumns) + " are allowed");
  }
  for (std::size_t i = 0; i < table.columns.size(); ++i) {
    CheckName(table.columns[i].name, "a column of " + what);
    for (std::size_t j = 0; j < i; ++j) {
      if (EqualsIgnoringCase(table.columns[i].name, table.columns[j].name)) {
        Refuse(what + " has two columns named \"" + table.columns[i].name + "\"");
      }
    }
  }
  CheckColumnChanges(table, what);
  for (std::size_t r = 0; r < table.rows.size(); ++r) {
    const auto& row = table.rows[r];
    const std::string row_place = what + ", row " + std::to_string(r + 1);
    if (row.size() != table.columns.size()) {
      Refuse(row_place + " has " + std::to_string(row.size()) + " values for " +
             std::to_string(table.columns.size()) + " columns");
    }
    for (std::size_t c = 0; c < row.size(); ++c) {
      const MdbColumn& column = table.columns[c];
      const std::string place = row_place + ", column \"" + column.name + "\" (" +
                                std::string(MdbTypeName(column.type)) + ")";
      if (column.change == MdbColumnChange::kAdded && r < table.rows_before_added) {
        if (!std::holds_alternative<std::monostate>(row[c])) {
          Refuse(place + ": the row was written before the column was added, so holds null");
        }
        continue;
      }
      CheckValue(row[c], column.type, place);
    }
  }
}

}  // namespace

std::string_view MdbTypeName(MdbType type) {
  switch (type) {
    case MdbType::kLongInteger:
      return "Long";
    case MdbType::kInteger:
      return "Integer";
    case MdbType::kText:
      return "Text";
    case MdbType::kMemo:
      return "Memo";
    case MdbType::kBoolean:
      return "Boolean";
  }
  return "?";
}

void CheckTables(const std::vector<MdbTable>& tables) {
  for (std::size_t i = 0; i < tables.size(); ++i) {
    CheckTable(tables[i]);
    if (EqualsIgnoringCase(tables[i].name, kCatalogTableName)) {
      Refuse("a table may not be named \"" + tables[i].name + "\": the catalog has that name");
    }
    for (std::size_t j = 0; j < i; ++j) {
      if (EqualsIgnoringCase(tables[i].name, tables[j].name)) {
        Refuse("two tables are named \"" + tables[i].name + "\" (names ignore case)");
      }
    }
  }
}

}  // namespace orvano::tools
