#include "xls_writer/xls_writer.h"

#include <cmath>
#include <string_view>

#include "inputs/biff_format.h"
#include "inputs/cfb_format.h"
#include "support/errors.h"
#include "support/file_system.h"
#include "support/text_case.h"
#include "support/text_codec.h"
#include "xls_writer/biff_stream.h"
#include "xls_writer/cfb_writer.h"

namespace orvano {
namespace {

constexpr char kSource[] = "WriteXls";
constexpr std::size_t kMaxPasswordLength = 255;

[[noreturn]] void Refuse(const std::string& message) { throw ProgramError(message, kSource); }

std::string Quoted(std::string_view name) { return "\"" + std::string(name) + "\""; }

void CheckSheetName(const std::string& name) {
  if (name.empty()) Refuse("a sheet name is empty");
  if (!IsValidUtf8(name)) Refuse("sheet name " + Quoted(name) + " is not valid UTF-8");
  const std::size_t length = ToUtf16Units(name).size();
  if (length > biff::kMaxSheetNameLength) {
    Refuse("sheet name " + Quoted(name) + " has " + std::to_string(length) +
           " characters; at most 31 are allowed");
  }
  const auto bad = name.find_first_of("[]:*?/\\");
  if (bad != std::string::npos) {
    Refuse("sheet name " + Quoted(name) + " holds the character '" + name[bad] +
           "'; none of []:*?/\\ is allowed");
  }
  if (name.front() == '\'' || name.back() == '\'') {
    Refuse("sheet name " + Quoted(name) + " starts or ends with an apostrophe");
  }
}

void CheckText(const std::string& where, const std::string& text) {
  if (!IsValidUtf8(text)) Refuse(where + ": the text is not valid UTF-8");
  const std::size_t length = ToUtf16Units(text).size();
  if (length > biff::kMaxCellTextLength) {
    Refuse(where + ": a text of " + std::to_string(length) +
           " characters is longer than the 32767 a cell holds");
  }
}

void CheckNumber(const std::string& where, double number) {
  if (!std::isfinite(number))
    Refuse(where + ": the number is not finite (" + std::to_string(number) + ")");
}

void CheckCell(const std::string& where, const XlsCell& cell) {
  if (const auto* text = std::get_if<std::string>(&cell.value)) CheckText(where, *text);
  if (const auto* number = std::get_if<double>(&cell.value)) CheckNumber(where, *number);
  if (const auto* formula = std::get_if<XlsFormula>(&cell.value)) {
    if (const auto* text = std::get_if<std::string>(&formula->cached)) CheckText(where, *text);
    if (const auto* number = std::get_if<double>(&formula->cached)) CheckNumber(where, *number);
  }
}

void CheckEncryption(const XlsWriteOptions& options) {
  if (options.encryption == XlsEncryption::kNone) return;
  if (options.password.empty()) Refuse("an encrypted workbook needs a password");
  if (!IsValidUtf8(options.password)) Refuse("the password is not valid UTF-8");
  if (ToUtf16Units(options.password).size() > kMaxPasswordLength) {
    Refuse("the password is longer than 255 characters");
  }
  if (options.encryption == XlsEncryption::kRc4CryptoApi &&
      (options.key_bits < 40 || options.key_bits > 128 || options.key_bits % 8 != 0)) {
    Refuse("a key of " + std::to_string(options.key_bits) +
           " bits; CryptoAPI keys have 40 to 128 bits in steps of 8");
  }
}

void CheckWorkbook(const XlsWorkbook& workbook) {
  if (workbook.sheets.empty()) Refuse("a workbook needs at least one sheet");
  CheckEncryption(workbook.options);
  for (std::size_t i = 0; i < workbook.sheets.size(); ++i) {
    const XlsSheet& sheet = workbook.sheets[i];
    CheckSheetName(sheet.name);
    for (std::size_t j = 0; j < i; ++j) {
      if (EqualsIgnoringCase(workbook.sheets[j].name, sheet.name)) {
        Refuse("sheet name " + Quoted(sheet.name) +
               " is used twice (letter case aside: " + Quoted(workbook.sheets[j].name) + ")");
      }
    }
    for (const auto& [at, cell] : sheet.cells) {
      const auto [row, column] = at;
      const std::string where = "sheet " + Quoted(sheet.name) + ", row " + std::to_string(row) +
                                ", column " + std::to_string(column);
      if (row < 0 || row >= biff::kMaxRows) Refuse(where + ": rows run from 0 to 65535");
      if (column < 0 || column >= biff::kMaxColumns) {
        Refuse(where + ": columns run from 0 to 255");
      }
      CheckCell(where, cell);
    }
  }
}

}  // namespace

const char* XlsErrorText(XlsError error) {
  switch (error) {
    case XlsError::kNull:
      return "#NULL!";
    case XlsError::kDiv0:
      return "#DIV/0!";
    case XlsError::kValue:
      return "#VALUE!";
    case XlsError::kRef:
      return "#REF!";
    case XlsError::kName:
      return "#NAME?";
    case XlsError::kNum:
      return "#NUM!";
    case XlsError::kNa:
      return "#N/A";
  }
  return "#VALUE!";
}

std::string BuildXlsBytes(const XlsWorkbook& workbook) {
  CheckWorkbook(workbook);
  return BuildCompoundFile(cfb::kWorkbookStreamName, BuildWorkbookStream(workbook));
}

void WriteXls(FileSystem& fs, const std::string& path, const XlsWorkbook& workbook) {
  fs.WriteFileAtomically(path, BuildXlsBytes(workbook));
}

void WriteXls(const std::string& path, const XlsWorkbook& workbook) {
  WriteXls(*NewPosixFileSystem(), path, workbook);
}

}  // namespace orvano
