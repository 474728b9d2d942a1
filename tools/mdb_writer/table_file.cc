#include "table_file.h"

#include <charconv>
#include <vector>

#include "support/errors.h"
#include "support/text_case.h"
#include "support/text_codec.h"
#include "text_escapes/text_escapes.h"

namespace orvano::tools {

namespace {

constexpr const char kNullField[] = "\\N";

class Place {
 public:
  Place(const std::string& file_name, std::size_t line) : file_name_(file_name), line_(line) {}
  [[noreturn]] void Fail(const std::string& message) const {
    throw ProgramError(file_name_ + ":" + std::to_string(line_) + ": " + message, "mdb_writer");
  }

 private:
  const std::string& file_name_;
  std::size_t line_;
};

std::vector<std::string_view> SplitTabs(std::string_view line) {
  std::vector<std::string_view> fields;
  for (std::size_t start = 0;;) {
    const std::size_t tab = line.find('\t', start);
    fields.push_back(line.substr(start, tab == std::string_view::npos ? tab : tab - start));
    if (tab == std::string_view::npos) return fields;
    start = tab + 1;
  }
}

std::string Unescape(std::string_view field, const Place& place) {
  UnescapedText unescaped = tools::Unescape(field);
  if (unescaped.lone_backslash) place.Fail("a field ends in a lone backslash");
  if (unescaped.bad_escape) {
    place.Fail(std::string("unknown escape \\") + *unescaped.bad_escape +
               " (known: \\t \\n \\r \\\\ \\N)");
  }
  return std::move(unescaped.text);
}

MdbType ParseType(std::string_view name, const Place& place) {
  for (MdbType type : {MdbType::kLongInteger, MdbType::kInteger, MdbType::kText, MdbType::kMemo,
                       MdbType::kBoolean}) {
    if (EqualsIgnoringCase(name, MdbTypeName(type))) return type;
  }
  place.Fail("unknown column type \"" + std::string(name) +
             "\" (known: Long, Integer, Text, Memo, Boolean)");
}

MdbValue ParseValue(std::string_view field, const MdbColumn& column, const Place& place) {
  if (field == kNullField) return std::monostate{};
  const std::string text = Unescape(field, place);
  const std::string where = "column \"" + column.name + "\": ";
  switch (column.type) {
    case MdbType::kText:
    case MdbType::kMemo:
      return text;
    case MdbType::kBoolean:
      if (EqualsIgnoringCase(text, "true") || text == "1") return true;
      if (EqualsIgnoringCase(text, "false") || text == "0") return false;
      place.Fail(where + "\"" + text + "\" is not a boolean (true, false, 1, 0)");
    case MdbType::kLongInteger:
    case MdbType::kInteger: {
      std::int64_t number = 0;
      const char* end = text.data() + text.size();
      const auto [stop, error] = std::from_chars(text.data(), end, number);
      if (text.empty() || error != std::errc() || stop != end) {
        place.Fail(where + "\"" + text + "\" is not a whole number");
      }
      return number;
    }
  }
  return std::monostate{};
}

}  // namespace

MdbTable ParseTableFile(std::string_view text, const std::string& file_name) {
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  const std::vector<std::string> lines = SplitLines(text);
  MdbTable table;
  if (lines.empty() || lines[0].empty())
    Place(file_name, 1).Fail("the first line must name the table");
  table.name = lines[0];
  if (lines.size() < 2) Place(file_name, 2).Fail("the second line must list the columns");
  const Place header_place(file_name, 2);
  for (std::string_view header : SplitTabs(lines[1])) {
    const std::size_t colon = header.rfind(':');
    if (colon == std::string_view::npos) {
      header_place.Fail("column \"" + std::string(header) + "\" lacks \":Type\"");
    }
    table.columns.push_back(
        {std::string(header.substr(0, colon)), ParseType(header.substr(colon + 1), header_place)});
  }
  for (std::size_t i = 2; i < lines.size(); ++i) {
    const Place place(file_name, i + 1);
    const std::vector<std::string_view> fields = SplitTabs(lines[i]);
    if (fields.size() != table.columns.size()) {
      place.Fail("the row has " + std::to_string(fields.size()) + " fields for " +
                 std::to_string(table.columns.size()) + " columns");
    }
    std::vector<MdbValue>& row = table.rows.emplace_back();
    for (std::size_t c = 0; c < fields.size(); ++c) {
      row.push_back(ParseValue(fields[c], table.columns[c], place));
    }
  }
  return table;
}

std::string FormatTableFileField(const MdbValue& value) {
  if (std::holds_alternative<std::monostate>(value)) return kNullField;
  if (const auto* flag = std::get_if<bool>(&value)) return *flag ? "true" : "false";
  if (const auto* number = std::get_if<std::int64_t>(&value)) return std::to_string(*number);
  std::string field;
  for (char c : std::get<std::string>(value)) {
    switch (c) {
      case '\t':
        field += "\\t";
        break;
      case '\n':
        field += "\\n";
        break;
      case '\r':
        field += "\\r";
        break;
      case '\\':
        field += "\\\\";
        break;
      default:
        field += c;
    }
  }
  return field;
}

}  // namespace orvano::tools
