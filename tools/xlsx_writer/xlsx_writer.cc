#include "xlsx_writer/xlsx_writer.h"

#include <xlsxwriter.h>

#include <cstdio>
#include <memory>
#include <type_traits>

#include "support/errors.h"
#include "support/file_system.h"

namespace orvano {
namespace {

constexpr const char* kSource = "xlsx writer";

struct WorkbookCloser {
  void operator()(lxw_workbook* workbook) const { workbook_close(workbook); }
};

// A formula that gives `value` when calculated: the cached value is what readers see.
std::string ConstantFormula(const std::variant<double, std::string, bool, XlsError>& value) {
  if (const double* number = std::get_if<double>(&value)) {
    char text[40];
    std::snprintf(text, sizeof text, "=%.17g", *number);
    return text;
  }
  if (const std::string* text = std::get_if<std::string>(&value)) {
    std::string quoted = "=\"";
    for (char c : *text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
  }
  if (const bool* flag = std::get_if<bool>(&value)) return *flag ? "=TRUE" : "=FALSE";
  return std::string("=") + XlsErrorText(std::get<XlsError>(value));
}

// The cached result of a formula other than a number, as the cell's text.
std::string CachedText(const std::variant<double, std::string, bool, XlsError>& value) {
  if (const std::string* text = std::get_if<std::string>(&value)) return *text;
  if (const bool* flag = std::get_if<bool>(&value)) return *flag ? "TRUE" : "FALSE";
  return XlsErrorText(std::get<XlsError>(value));
}

lxw_error WriteCell(lxw_worksheet* sheet, lxw_row_t row, lxw_col_t column, const XlsCell& cell) {
  return std::visit(
      [&](const auto& value) -> lxw_error {
        using T = std::decay_t<decltype(value)>;
        if constexpr (std::is_same_v<T, XlsBlank>) {
          return LXW_NO_ERROR;
        } else if constexpr (std::is_same_v<T, std::string>) {
          return value.empty() ? LXW_NO_ERROR
                               : worksheet_write_string(sheet, row, column, value.c_str(), nullptr);
        } else if constexpr (std::is_same_v<T, double>) {
          return worksheet_write_number(sheet, row, column, value, nullptr);
        } else if constexpr (std::is_same_v<T, bool>) {
          return worksheet_write_boolean(sheet, row, column, value ? 1 : 0, nullptr);
        } else if constexpr (std::is_same_v<T, XlsError>) {
          return worksheet_write_formula_str(sheet, row, column, ConstantFormula(value).c_str(),
                                             nullptr, XlsErrorText(value));
        } else {
          const std::string formula = ConstantFormula(value.cached);
          if (const double* number = std::get_if<double>(&value.cached)) {
            return worksheet_write_formula_num(sheet, row, column, formula.c_str(), nullptr,
                                               *number);
          }
          return worksheet_write_formula_str(sheet, row, column, formula.c_str(), nullptr,
                                             CachedText(value.cached).c_str());
        }
      },
      cell.value);
}

void WriteWorkbookFile(const std::string& file, const XlsWorkbook& workbook) {
  if (workbook.sheets.empty()) throw ProgramError("the workbook has no sheet", kSource);
  std::unique_ptr<lxw_workbook, WorkbookCloser> book(workbook_new(file.c_str()));
  if (!book) throw ProgramError(file + ": libxlsxwriter cannot start a workbook", kSource);
  for (const XlsSheet& sheet : workbook.sheets) {
    lxw_worksheet* out = workbook_add_worksheet(book.get(), sheet.name.c_str());
    if (out == nullptr) {
      throw ProgramError("sheet \"" + sheet.name + "\": libxlsxwriter refuses its name", kSource);
    }
    for (const auto& [position, cell] : sheet.cells) {
      const auto [row, column] = position;
      const lxw_error error =
          row < 0 || column < 0
              ? LXW_ERROR_WORKSHEET_INDEX_OUT_OF_RANGE
              : WriteCell(out, static_cast<lxw_row_t>(row), static_cast<lxw_col_t>(column), cell);
      if (error != LXW_NO_ERROR) {
        throw ProgramError("sheet \"" + sheet.name + "\", row " + std::to_string(row) +
                               ", column " + std::to_string(column) + ": " + lxw_strerror(error),
                           kSource);
      }
    }
  }
  const lxw_error error = workbook_close(book.release());
  if (error != LXW_NO_ERROR) {
    throw UnexpectedError(err::kPathFileAccess, file + ": " + lxw_strerror(error), kSource);
  }
}

}  // namespace

void WriteXlsx(FileSystem& fs, const std::string& path, const XlsWorkbook& workbook) {
  // libxlsxwriter writes to a file name only: a file beside the target, then copied over it.
  const std::string partial = path + ".partial.xlsx";
  try {
    WriteWorkbookFile(partial, workbook);
    fs.CopyOver(partial, path);
  } catch (...) {
    if (fs.IsFile(partial)) fs.RemoveFile(partial);
    throw;
  }
  fs.RemoveFile(partial);
}

}  // namespace orvano
