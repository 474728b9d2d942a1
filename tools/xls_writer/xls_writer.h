// A workbook described in memory (sheets of text, number, boolean, error, blank and formula
// cells) and the writer that saves it as a BIFF8 .xls file in a compound file. A fixture tool:
// tests, the demo and the benchmarks make their workbooks with it on the fly.

#ifndef ORVANO_TOOLS_XLS_WRITER_XLS_WRITER_H_
#define ORVANO_TOOLS_XLS_WRITER_XLS_WRITER_H_

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace orvano {

class FileSystem;

/// Spreadsheet error values, with their codes in the file.
enum class XlsError : std::uint8_t {
  kNull = 0x00,   // #NULL!
  kDiv0 = 0x07,   // #DIV/0!
  kValue = 0x0F,  // #VALUE!
  kRef = 0x17,    // #REF!
  kName = 0x1D,   // #NAME?
  kNum = 0x24,    // #NUM!
  kNa = 0x2A,     // #N/A
};

/// The text of `error` as a spreadsheet shows it ("#DIV/0!").
const char* XlsErrorText(XlsError error);

/// A cell that holds nothing but is present (formatted empty cell).
struct XlsBlank {
  bool operator==(const XlsBlank&) const = default;
};

/// A formula cell: the value it had when it was last calculated. The formula written is a
/// constant expression giving that value.
struct XlsFormula {
  std::variant<double, std::string, bool, XlsError> cached;
  bool operator==(const XlsFormula&) const = default;
};

/// One cell. Texts are UTF-8; an empty text is written as an empty string, which the format
/// allows (FreeXL 1.0.6 refuses such workbooks; use no cell or a blank for an empty cell).
struct XlsCell {
  std::variant<XlsBlank, std::string, double, bool, XlsError, XlsFormula> value;

  static XlsCell Blank() { return {XlsBlank{}}; }
  static XlsCell Text(std::string text) { return {std::move(text)}; }
  static XlsCell Number(double number) { return {number}; }
  static XlsCell Bool(bool flag) { return {flag}; }
  static XlsCell Error(XlsError error) { return {error}; }
  static XlsCell Formula(std::variant<double, std::string, bool, XlsError> cached) {
    return {XlsFormula{std::move(cached)}};
  }
};

/// One worksheet: its tab name and its cells by (row, column), both from 0.
struct XlsSheet {
  std::string name;
  std::map<std::pair<int, int>, XlsCell> cells;

  /// Puts `cell` at (`row`, `column`), replacing what was there. Ranges are checked on writing.
  void Set(int row, int column, XlsCell cell) {
    cells.insert_or_assign({row, column}, std::move(cell));
  }
};

/// How the workbook stream is encrypted (a password to open). Applications ask for the password,
/// except for the one they encrypt with when the author set none, "VelvetSweatshop", which they
/// try first.
enum class XlsEncryption : std::uint8_t {
  kNone,
  kRc4,           // RC4 with MD5 keys (FILEPASS version 1.1)
  kRc4CryptoApi,  // RC4 through CryptoAPI with SHA-1 keys (FILEPASS version 4.2)
};

/// How the cells are spelled in the file; the defaults are what spreadsheet applications write.
struct XlsWriteOptions {
  // Texts go to the shared string table (LABELSST); false writes LABEL records instead (texts
  // too long for one LABEL record still go to the table).
  bool shared_strings = true;
  // Runs of two or more RK numbers or blanks in a row become one MULRK or MULBLANK record.
  bool combine_runs = true;
  // The id of FORMULA records: 0x0006, or the BIFF3 or BIFF4 id (0x0206, 0x0406) that some
  // writers still use in BIFF8 files.
  std::uint16_t formula_record_id = 0x0006;
  // Encryption, its password (UTF-8) and, for CryptoAPI, the key size in bits (40 to 128 in
  // steps of 8). The salt and verifier are fixed, so the same workbook gives the same bytes:
  // fixtures, not protection.
  XlsEncryption encryption = XlsEncryption::kNone;
  std::string password = "";
  int key_bits = 128;
};

/// A workbook: its sheets in tab order.
struct XlsWorkbook {
  std::vector<XlsSheet> sheets;
  XlsWriteOptions options;

  /// Appends an empty sheet named `name` and returns it (valid until the next AddSheet).
  XlsSheet& AddSheet(std::string name) {
    sheets.push_back(XlsSheet{std::move(name), {}});
    return sheets.back();
  }
};

/// The bytes of `workbook` as an .xls file.
/// Throws ProgramError naming the sheet (and cell) when the workbook cannot be written: no
/// sheet; a sheet name empty, over 31 characters, holding one of []:*?/\ or starting or ending
/// with "'", or equal to another one without regard to case; a row outside 0..65535 or a column
/// outside 0..255; a text over 32767 characters or not valid UTF-8; a number that is not finite;
/// encryption with a password that is empty, over 255 characters or not valid UTF-8, or with a
/// key size other than 40 to 128 bits in steps of 8.
std::string BuildXlsBytes(const XlsWorkbook& workbook);

/// Writes `workbook` to `path` through `fs`: a temporary file renamed into place, so `path`
/// holds the old file or the whole new one. Throws what BuildXlsBytes throws (nothing is written
/// then), or UnexpectedError from the file system.
void WriteXls(FileSystem& fs, const std::string& path, const XlsWorkbook& workbook);

/// WriteXls through the real file system.
void WriteXls(const std::string& path, const XlsWorkbook& workbook);

}  // namespace orvano

#endif  // ORVANO_TOOLS_XLS_WRITER_XLS_WRITER_H_
