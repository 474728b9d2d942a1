#include "workbook_dump/workbook_dump.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "inputs/parsed_workbook.h"
#include "support/file_system.h"

namespace orvano {

std::string NumberJson(double value) {
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value > 0 ? "Infinity" : "-Infinity";
  std::string out = std::signbit(value) ? "-" : "";
  char buf[40];
  const auto res =
      std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific);
  const std::string sci(buf, res.ptr);  // "d.ddde+XX" or "de+XX"
  const std::size_t e_at = sci.find('e');
  std::string digits = sci.substr(0, e_at);
  if (digits.size() > 1) digits.erase(1, 1);  // drop the decimal point
  const int exponent = std::atoi(sci.c_str() + e_at + 1);
  if (exponent >= -4 && exponent < 16) {
    if (exponent < 0) {
      out += "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
    } else {
      const std::size_t whole = static_cast<std::size_t>(exponent) + 1;
      if (digits.size() <= whole) {
        out += digits + std::string(whole - digits.size(), '0') + ".0";
      } else {
        out += digits.substr(0, whole) + "." + digits.substr(whole);
      }
    }
    return out;
  }
  out += digits.substr(0, 1);
  if (digits.size() > 1) out += "." + digits.substr(1);
  char exp[16];
  std::snprintf(exp, sizeof exp, "e%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
  return out + exp;
}

std::string StringJson(const std::string& text) {
  std::string out = "\"";
  for (char ch : text) {
    const unsigned char c = static_cast<unsigned char>(ch);
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\b':
        out += "\\b";
        break;
      case '\f':
        out += "\\f";
        break;
      default:
        if (c < 0x20) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", c);
          out += buf;
        } else {
          out.push_back(ch);
        }
    }
  }
  return out + "\"";
}

std::string WorkbookToJson(const ParsedWorkbook& workbook, const std::string& file_name) {
  std::string out = "{\"file\": " + StringJson(FileNameOf(file_name)) +
                    ", \"reader\": \"orvano workbook_dump\", \"sheets\": [\n";
  for (std::size_t k = 0; k < workbook.sheet_count(); ++k) {
    const ParsedWorkbook::Sheet& sheet = workbook.sheet(k);
    out += " {\"tab\": " + StringJson(sheet.name) + ", \"rows\": " + std::to_string(sheet.rows) +
           ", \"columns\": " + std::to_string(sheet.columns) + ", \"cells\": [\n";
    for (std::size_t i = 0; i < sheet.cells.size(); ++i) {
      const WorkbookCell& c = sheet.cells[i];
      out += "   [" + std::to_string(c.row) + ", " + std::to_string(c.column) + ", ";
      switch (c.kind) {
        case CellKind::kNumber:
          out += "\"number\", " + NumberJson(c.number);
          break;
        case CellKind::kText:
          out += "\"text\", " + StringJson(std::string(workbook.Text(c)));
          break;
        case CellKind::kBoolean:
          out += "\"boolean\", " + std::to_string(c.code);
          break;
        case CellKind::kError:
          out += "\"error\", " + std::to_string(c.code);
          break;
      }
      out += i + 1 < sheet.cells.size() ? "],\n" : "]\n";
    }
    if (sheet.cells.empty()) out += "\n";
    out += k + 1 < workbook.sheet_count() ? "  ]},\n" : "  ]}\n";
  }
  return out + "]}\n";
}

}  // namespace orvano
