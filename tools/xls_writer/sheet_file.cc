#include "xls_writer/sheet_file.h"

#include <array>
#include <cctype>
#include <charconv>
#include <optional>
#include <utility>

#include "inputs/biff_format.h"
#include "support/errors.h"
#include "support/text_codec.h"
#include "text_escapes/text_escapes.h"

namespace orvano {
namespace {

constexpr std::array<XlsError, 7> kErrors = {XlsError::kNull, XlsError::kDiv0, XlsError::kValue,
                                             XlsError::kRef,  XlsError::kName, XlsError::kNum,
                                             XlsError::kNa};

[[noreturn]] void Fail(const std::string& message) { throw ProgramError(message, "xls_writer"); }

std::string Unescape(std::string_view text) {
  tools::UnescapedText unescaped = tools::Unescape(text);
  if (unescaped.lone_backslash) {
    Fail("a lone \"\\\" ends the field (write \"\\\\\" for a backslash)");
  }
  if (unescaped.bad_escape) {
    Fail(std::string("unknown escape \"\\") + *unescaped.bad_escape +
         "\" (known: \\t \\n \\r \\\\)");
  }
  return std::move(unescaped.text);
}

// A decimal number in the plain form [+-]digits[.digits][E[+-]digits]; nullopt for other text.
std::optional<double> PlainNumber(std::string_view text) {
  std::size_t i = 0;
  const auto digits = [&] {
    const std::size_t start = i;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i;
    return i - start;
  };
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  std::size_t mantissa = digits();
  if (i < text.size() && text[i] == '.') {
    ++i;
    mantissa += digits();
  }
  if (mantissa == 0) return std::nullopt;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    if (digits() == 0) return std::nullopt;
  }
  if (i != text.size()) return std::nullopt;
  if (text.front() == '+') text.remove_prefix(1);
  double value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size()) {
    Fail("the number " + std::string(text) + " is out of range");
  }
  return value;
}

std::optional<XlsError> ErrorNamed(std::string_view text) {
  for (XlsError error : kErrors) {
    if (text == XlsErrorText(error)) return error;
  }
  return std::nullopt;
}

XlsCell ParseFormula(std::string_view body) {
  const auto colon = body.find(':');
  const std::string_view kind = body.substr(0, colon);
  const std::string_view value =
      colon == std::string_view::npos ? std::string_view() : body.substr(colon + 1);
  if (colon == std::string_view::npos) {
    Fail(
        "a formula is written =num:<number>, =text:<text>, =bool:TRUE|FALSE or "
        "=error:<error text>");
  }
  if (kind == "num") {
    if (auto number = PlainNumber(value)) return XlsCell::Formula(*number);
    Fail("formula =num: needs a number, not \"" + std::string(value) + "\"");
  }
  if (kind == "text") return XlsCell::Formula(Unescape(value));
  if (kind == "bool") {
    if (value == "TRUE" || value == "FALSE") return XlsCell::Formula(value == "TRUE");
    Fail("formula =bool: needs TRUE or FALSE, not \"" + std::string(value) + "\"");
  }
  if (kind == "error") {
    if (auto error = ErrorNamed(value)) return XlsCell::Formula(*error);
    Fail("formula =error: needs one of #NULL! #DIV/0! #VALUE! #REF! #NAME? #NUM! #N/A, not \"" +
         std::string(value) + "\"");
  }
  Fail("unknown formula kind \"" + std::string(kind) + "\" (known: num, text, bool, error)");
}

}  // namespace

const char* SheetFileHelp() {
  return R"(Sheet file (UTF-8 text, one sheet):
  line 1      the sheet name, as it is
  line 2...   one row each, from row 0; cells separated by tabs, from column 0
Cells:
  (empty)     no cell
  12  -1.5  2E3     a number (plain decimal form)
  #TRUE  #FALSE     a boolean
  #BLANK            a blank (formatted empty) cell
  #NULL! #DIV/0! #VALUE! #REF! #NAME? #NUM! #N/A   an error value
  =num:1.5  =text:abc  =bool:TRUE  =error:#N/A     a formula with that cached value
  'text       text as it is, even when it looks like the above ('007, '=x, '#TRUE)
  anything else     text
Escapes in texts: \t tab, \n line feed, \r carriage return, \\ backslash.
)";
}

std::optional<XlsCell> ParseSheetField(std::string_view field) {
  if (field.empty()) return std::nullopt;
  if (field.front() == '\'') return XlsCell::Text(Unescape(field.substr(1)));
  if (field.front() == '=') return ParseFormula(field.substr(1));
  if (field == "#BLANK") return XlsCell::Blank();
  if (field == "#TRUE" || field == "#FALSE") return XlsCell::Bool(field == "#TRUE");
  if (auto error = ErrorNamed(field)) return XlsCell::Error(*error);
  if (auto number = PlainNumber(field)) return XlsCell::Number(*number);
  return XlsCell::Text(Unescape(field));
}

XlsSheet ParseSheetFile(std::string_view bytes, const std::string& file_name) {
  const std::vector<std::string> lines =
      SplitLines(DecodeTextFile(bytes, /*allow_utf16_without_bom=*/false).text);
  if (lines.empty()) Fail(file_name + ": the file is empty; line 1 must hold the sheet name");
  XlsSheet sheet{lines[0], {}};
  for (std::size_t line = 1; line < lines.size(); ++line) {
    const std::string_view text = lines[line];
    const std::string place = file_name + ", line " + std::to_string(line + 1);
    if (line > biff::kMaxRows) Fail(place + ": a sheet has at most 65536 rows");
    int column = 0;
    for (std::size_t start = 0;; ++column) {
      const std::size_t tab = std::min(text.find('\t', start), text.size());
      if (column >= biff::kMaxColumns) Fail(place + ": a row has at most 256 cells");
      try {
        if (auto cell = ParseSheetField(text.substr(start, tab - start))) {
          sheet.Set(static_cast<int>(line - 1), column, std::move(*cell));
        }
      } catch (const ProgramError& e) {
        Fail(place + ", field " + std::to_string(column + 1) + ": " + e.description());
      }
      if (tab == text.size()) break;
      start = tab + 1;
    }
  }
  return sheet;
}

}  // namespace orvano
