#include "xls_writer/biff_stream.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "inputs/biff_format.h"
#include "inputs/cfb_format.h"
#include "support/errors.h"
#include "support/text_codec.h"
#include "xls_writer/biff_encryption.h"
#include "xls_writer/xls_writer.h"

namespace orvano {
namespace {

using Units = std::u16string;

void PutU8(std::string& out, unsigned value) { out += static_cast<char>(value & 0xFF); }
void PutU16(std::string& out, unsigned value) {
  PutU8(out, value);
  PutU8(out, value >> 8);
}
void PutU32(std::string& out, std::uint32_t value) {
  PutU16(out, value & 0xFFFF);
  PutU16(out, value >> 16);
}
void PutF64(std::string& out, double value) {
  const auto bits = std::bit_cast<std::uint64_t>(value);
  PutU32(out, static_cast<std::uint32_t>(bits));
  PutU32(out, static_cast<std::uint32_t>(bits >> 32));
}
void PatchU32(std::string& out, std::size_t pos, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) out[pos + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

void PutRecord(std::string& out, std::uint16_t id, std::string_view data) {
  if (data.size() > biff::kMaxRecordDataSize) {
    throw ProgramError("record " + std::to_string(id) + " of " + std::to_string(data.size()) +
                           " bytes exceeds the record limit",
                       "BuildWorkbookStream");
  }
  PutU16(out, id);
  PutU16(out, static_cast<unsigned>(data.size()));
  out += data;
}

bool IsLatin1(const Units& text, std::size_t from, std::size_t count) {
  return std::all_of(text.begin() + from, text.begin() + from + count,
                     [](char16_t u) { return u < 0x100; });
}

void PutChars(std::string& out, const Units& text, std::size_t from, std::size_t count,
              bool narrow) {
  for (std::size_t i = from; i < from + count; ++i) {
    if (narrow) {
      PutU8(out, text[i]);
    } else {
      PutU16(out, text[i]);
    }
  }
}

// A string with an 8-bit length, as sheet names, font names and formula tokens hold them.
// Requires: text.size() <= 255.
void PutShortString(std::string& out, const Units& text) {
  const bool narrow = IsLatin1(text, 0, text.size());
  PutU8(out, static_cast<unsigned>(text.size()));
  PutU8(out, narrow ? 0 : biff::kStringHighByte);
  PutChars(out, text, 0, text.size(), narrow);
}

// A string with a 16-bit length that fits one record (LABEL).
void PutLongString(std::string& out, const Units& text) {
  const bool narrow = IsLatin1(text, 0, text.size());
  PutU16(out, static_cast<unsigned>(text.size()));
  PutU8(out, narrow ? 0 : biff::kStringHighByte);
  PutChars(out, text, 0, text.size(), narrow);
}

// A record whose contents may outgrow one record: it goes on in CONTINUE records. Strings are
// split the way readers expect: the header and first character stay together, and every
// CONTINUE that carries the rest of a string opens with its own option byte.
class ContinuedRecord {
 public:
  ContinuedRecord(std::string& out, std::uint16_t id) : out_(out) { Open(id); }

  std::size_t Room() const { return biff::kMaxRecordDataSize - (out_.size() - data_start_); }

  // Appends bytes that must not be split (a header), moving to a CONTINUE when they don't fit.
  void PutWhole(std::string_view bytes) {
    if (Room() < bytes.size()) Open(biff::kContinue);
    out_ += bytes;
  }

  struct Where {
    std::size_t stream_offset;  // of the string's length field
    std::size_t record_offset;  // the same, from the start of the record header holding it
  };

  // Appends `text` with a 16-bit length; each part is 8-bit when all its characters allow.
  Where PutString(const Units& text) {
    if (Room() < 5) Open(biff::kContinue);  // length, options and one 2-byte character
    Where where{out_.size(), out_.size() - header_};
    PutU16(out_, static_cast<unsigned>(text.size()));
    std::size_t pos = 0;
    for (bool first = true;; first = false) {
      if (!first) Open(biff::kContinue);
      const std::size_t room = Room() - 1;  // the option byte
      const std::size_t left = text.size() - pos;
      const std::size_t wide_count = std::min(room / 2, left);
      const std::size_t narrow_count = std::min(room, left);
      const bool narrow = IsLatin1(text, pos, narrow_count);
      std::size_t count = narrow ? narrow_count : wide_count;
      // Keep surrogate pairs within one record, for readers that decode record by record.
      if (count < left && count > 1 && (text[pos + count - 1] & 0xFC00) == 0xD800) --count;
      PutU8(out_, narrow ? 0 : biff::kStringHighByte);
      PutChars(out_, text, pos, count, narrow);
      pos += count;
      if (pos == text.size()) break;
    }
    return where;
  }

  // Sets the length of the last record; call once, after the last Put.
  void Close() {
    const std::size_t length = out_.size() - data_start_;
    out_[header_ + 2] = static_cast<char>(length & 0xFF);
    out_[header_ + 3] = static_cast<char>(length >> 8);
  }

 private:
  void Open(std::uint16_t id) {
    if (id == biff::kContinue) Close();
    header_ = out_.size();
    PutU16(out_, id);
    PutU16(out_, 0);
    data_start_ = out_.size();
  }

  std::string& out_;
  std::size_t header_ = 0;
  std::size_t data_start_ = 0;
};

std::string CellHeader(int row, int column) {
  std::string data;
  PutU16(data, static_cast<unsigned>(row));
  PutU16(data, static_cast<unsigned>(column));
  PutU16(data, biff::kDefaultCellXf);
  return data;
}

std::string Bof(std::uint16_t substream) {
  std::string data;
  PutU16(data, biff::kBiff8Version);
  PutU16(data, substream);
  PutU16(data, 0x0DBB);               // build
  PutU16(data, 1996);                 // year
  PutU32(data, 0);                    // file history
  PutU32(data, biff::kBiff8Version);  // lowest version that may read the file
  return data;
}

// The globals after their BOF (and FILEPASS), up to the sheet list.
void PutGlobalsHead(std::string& out) {
  std::string data;
  PutU16(data, biff::kCodePageUtf16);
  PutRecord(out, biff::kCodePage, data);

  data.clear();
  for (unsigned v : {0u, 0u, 0x4000u, 0x2000u, 0x0038u, 0u, 0u, 1u, 600u}) PutU16(data, v);
  PutRecord(out, biff::kWindow1, data);

  data.clear();
  PutU16(data, 0);  // dates count from 1900
  PutRecord(out, biff::kDateMode, data);

  // Font index 4 does not exist in the file format, so readers expect at least four fonts.
  data.clear();
  for (unsigned v : {200u, 0u, 0x7FFFu, 400u, 0u}) PutU16(data, v);  // 10 pt, normal weight
  PutU32(data, 0);  // underline, family, character set, reserved
  PutShortString(data, u"Arial");
  for (int i = 0; i < 4; ++i) PutRecord(out, biff::kFont, data);

  // Fifteen style XFs and the one cell XF that every cell uses.
  for (int i = 0; i <= biff::kDefaultCellXf; ++i) {
    const bool style = i < biff::kDefaultCellXf;
    data.clear();
    PutU16(data, 0);                        // font
    PutU16(data, 0);                        // number format "General"
    PutU16(data, style ? 0xFFF5 : 0x0001);  // locked; style XFs have no parent
    PutU8(data, 0x20);                      // aligned to the bottom
    PutU8(data, 0);
    PutU8(data, 0);
    PutU8(data, style && i > 0 ? 0xF4 : 0);  // attributes taken from the parent style
    PutU32(data, 0);
    PutU32(data, 0);
    PutU16(data, 0x20C0);  // default pattern colours
    PutRecord(out, biff::kXf, data);
  }

  data.clear();
  PutU16(data, 0x8000);  // built-in style on XF 0
  PutU8(data, 0);        // "Normal"
  PutU8(data, 0xFF);
  PutRecord(out, biff::kStyle, data);
}

// The shared strings of a workbook, numbered in order of first use.
struct SharedStrings {
  std::vector<const std::string*> unique;
  std::map<std::string_view, std::uint32_t> index;
  std::uint32_t references = 0;

  std::uint32_t Add(const std::string& text) {
    ++references;
    auto [it, inserted] = index.emplace(text, static_cast<std::uint32_t>(unique.size()));
    if (inserted) unique.push_back(&text);
    return it->second;
  }
};

void PutSharedStrings(std::string& out, const SharedStrings& strings) {
  const std::size_t count = strings.unique.size();
  const std::size_t per_bucket =
      std::max<std::size_t>(biff::kExtSstMinStringsPerBucket,
                            (count + biff::kExtSstMaxBuckets - 1) / biff::kExtSstMaxBuckets);
  std::string buckets;
  ContinuedRecord sst(out, biff::kSst);
  std::string head;
  PutU32(head, strings.references);
  PutU32(head, static_cast<std::uint32_t>(count));
  sst.PutWhole(head);
  for (std::size_t i = 0; i < count; ++i) {
    const auto where = sst.PutString(ToUtf16Units(*strings.unique[i]));
    if (i % per_bucket == 0) {
      PutU32(buckets, static_cast<std::uint32_t>(where.stream_offset));
      PutU16(buckets, static_cast<unsigned>(where.record_offset));
      PutU16(buckets, 0);
    }
  }
  sst.Close();
  std::string data;
  PutU16(data, static_cast<unsigned>(per_bucket));
  PutRecord(out, biff::kExtSst, data + buckets);
}

bool IsRkNumber(const XlsCell& cell) {
  const auto* number = std::get_if<double>(&cell.value);
  return number && EncodeRk(*number);
}
bool IsBlank(const XlsCell& cell) { return std::holds_alternative<XlsBlank>(cell.value); }

std::string CellName(const XlsSheet& sheet, int row, int column) {
  return "sheet \"" + sheet.name + "\", row " + std::to_string(row) + ", column " +
         std::to_string(column);
}

// A constant formula that gives `text`: string tokens of at most 255 characters joined by
// concatenation tokens.
void PutTextTokens(std::string& tokens, const Units& text) {
  std::size_t pos = 0;
  do {
    std::size_t count = std::min(biff::kMaxTokenStringLength, text.size() - pos);
    // Keep surrogate pairs within one token.
    if (pos + count < text.size() && count > 1 && (text[pos + count - 1] & 0xFC00) == 0xD800) {
      --count;
    }
    PutU8(tokens, biff::kTokenStr);
    PutShortString(tokens, text.substr(pos, count));
    if (pos > 0) PutU8(tokens, biff::kTokenConcat);
    pos += count;
  } while (pos < text.size());
}

void PutFormula(std::string& out, const XlsSheet& sheet, int row, int column,
                const XlsFormula& formula, std::uint16_t record_id) {
  std::string result;
  std::string tokens;
  const Units* text = nullptr;
  Units text_units;
  if (const auto* number = std::get_if<double>(&formula.cached)) {
    PutF64(result, *number);
    if (*number >= 0 && *number <= 0xFFFF && std::trunc(*number) == *number &&
        !std::signbit(*number)) {
      PutU8(tokens, biff::kTokenInt);
      PutU16(tokens, static_cast<unsigned>(*number));
    } else {
      PutU8(tokens, biff::kTokenNum);
      PutF64(tokens, *number);
    }
  } else {
    std::uint8_t kind = biff::kFormulaResultEmpty;
    std::uint8_t value = 0;
    if (const auto* flag = std::get_if<bool>(&formula.cached)) {
      kind = biff::kFormulaResultBool;
      value = *flag ? 1 : 0;
      PutU8(tokens, biff::kTokenBool);
      PutU8(tokens, value);
    } else if (const auto* error = std::get_if<XlsError>(&formula.cached)) {
      kind = biff::kFormulaResultError;
      value = static_cast<std::uint8_t>(*error);
      PutU8(tokens, biff::kTokenErr);
      PutU8(tokens, value);
    } else {
      text_units = ToUtf16Units(std::get<std::string>(formula.cached));
      // An empty text has its own result kind and no STRING record.
      kind = text_units.empty() ? biff::kFormulaResultEmpty : biff::kFormulaResultString;
      if (!text_units.empty()) text = &text_units;
      PutTextTokens(tokens, text_units);
    }
    PutU8(result, kind);
    PutU8(result, 0);
    PutU8(result, value);
    PutU8(result, 0);
    PutU16(result, 0);
    PutU16(result, biff::kFormulaNotNumber);
  }
  std::string data = CellHeader(row, column) + result;
  PutU16(data, 0);  // options
  PutU32(data, 0);  // reserved
  PutU16(data, static_cast<unsigned>(tokens.size()));
  data += tokens;
  if (data.size() > biff::kMaxRecordDataSize) {
    throw ProgramError(CellName(sheet, row, column) + ": a formula text result of " +
                           std::to_string(text_units.size()) +
                           " characters is too long for the constant formula that gives it "
                           "(the formula record holds at most 8224 bytes)",
                       "WriteXls");
  }
  PutRecord(out, record_id, data);
  if (text) {
    ContinuedRecord string_record(out, biff::kString);
    string_record.PutString(*text);
    string_record.Close();
  }
}

void PutCell(std::string& out, const XlsSheet& sheet, int row, int column, const XlsCell& cell,
             const XlsWriteOptions& options, SharedStrings& strings) {
  std::string data = CellHeader(row, column);
  if (IsBlank(cell)) {
    PutRecord(out, biff::kBlank, data);
  } else if (const auto* text = std::get_if<std::string>(&cell.value)) {
    const Units units = ToUtf16Units(*text);
    const bool fits_label =
        biff::kCellHeaderSize + 3 + 2 * units.size() <= biff::kMaxRecordDataSize;
    if (!options.shared_strings && fits_label) {
      PutLongString(data, units);
      PutRecord(out, biff::kLabel, data);
    } else {
      PutU32(data, strings.Add(*text));
      PutRecord(out, biff::kLabelSst, data);
    }
  } else if (const auto* number = std::get_if<double>(&cell.value)) {
    if (const auto rk = EncodeRk(*number)) {
      PutU32(data, *rk);
      PutRecord(out, biff::kRk, data);
    } else {
      PutF64(data, *number);
      PutRecord(out, biff::kNumber, data);
    }
  } else if (const auto* flag = std::get_if<bool>(&cell.value)) {
    PutU8(data, *flag ? 1 : 0);
    PutU8(data, biff::kBoolErrIsBool);
    PutRecord(out, biff::kBoolErr, data);
  } else if (const auto* error = std::get_if<XlsError>(&cell.value)) {
    PutU8(data, static_cast<unsigned>(*error));
    PutU8(data, biff::kBoolErrIsError);
    PutRecord(out, biff::kBoolErr, data);
  } else {
    PutFormula(out, sheet, row, column, std::get<XlsFormula>(cell.value),
               options.formula_record_id);
  }
}

// Writes a run of RK numbers or blanks of one row as one MULRK or MULBLANK record.
template <typename It>
void PutRun(std::string& out, It first, It last) {
  const auto [row, column] = first->first;
  const bool blanks = IsBlank(first->second);
  std::string data;
  PutU16(data, static_cast<unsigned>(row));
  PutU16(data, static_cast<unsigned>(column));
  int last_column = column;
  for (It it = first; it != last; ++it) {
    PutU16(data, biff::kDefaultCellXf);
    if (!blanks) PutU32(data, *EncodeRk(std::get<double>(it->second.value)));
    last_column = it->first.second;
  }
  PutU16(data, static_cast<unsigned>(last_column));
  PutRecord(out, blanks ? biff::kMulBlank : biff::kMulRk, data);
}

void PutSheet(std::string& out, const XlsSheet& sheet, bool selected,
              const XlsWriteOptions& options, SharedStrings& strings) {
  PutRecord(out, biff::kBof, Bof(biff::kSubstreamWorksheet));

  std::string data;
  if (sheet.cells.empty()) {
    data.assign(biff::kDimensionsSize, '\0');
  } else {
    int first_column = biff::kMaxColumns;
    int last_column = 0;
    for (const auto& [at, cell] : sheet.cells) {
      first_column = std::min(first_column, at.second);
      last_column = std::max(last_column, at.second);
    }
    PutU32(data, static_cast<std::uint32_t>(sheet.cells.begin()->first.first));
    PutU32(data, static_cast<std::uint32_t>(sheet.cells.rbegin()->first.first + 1));
    PutU16(data, static_cast<unsigned>(first_column));
    PutU16(data, static_cast<unsigned>(last_column + 1));
    PutU16(data, 0);
  }
  PutRecord(out, biff::kDimensions, data);

  // Grid, headers, zeros, outline symbols shown; the first sheet is the selected tab.
  data.clear();
  PutU16(data, selected ? 0x06B6 : 0x00B6);
  PutU16(data, 0);     // top row
  PutU16(data, 0);     // left column
  PutU16(data, 0x40);  // grid colour: automatic
  PutU16(data, 0);
  PutU16(data, 0);  // zoom factors: default
  PutU16(data, 0);
  PutU32(data, 0);
  PutRecord(out, biff::kWindow2, data);

  // The map is ordered by row, then column: the order readers expect.
  for (auto it = sheet.cells.begin(); it != sheet.cells.end();) {
    auto end = std::next(it);
    if (options.combine_runs && (IsBlank(it->second) || IsRkNumber(it->second))) {
      const bool blanks = IsBlank(it->second);
      while (end != sheet.cells.end() && end->first.first == it->first.first &&
             end->first.second == std::prev(end)->first.second + 1 &&
             (blanks ? IsBlank(end->second) : IsRkNumber(end->second))) {
        ++end;
      }
    }
    if (std::distance(it, end) > 1) {
      PutRun(out, it, end);
    } else {
      PutCell(out, sheet, it->first.first, it->first.second, it->second, options, strings);
    }
    it = end;
  }
  PutRecord(out, biff::kEof, {});
}

}  // namespace

std::u16string ToUtf16Units(std::string_view text) {
  const std::string bytes = Utf8ToUtf16Le(text);
  Units units;
  units.reserve(bytes.size() / 2);
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    units.push_back(static_cast<char16_t>(static_cast<std::uint8_t>(bytes[i]) |
                                          static_cast<std::uint8_t>(bytes[i + 1]) << 8));
  }
  return units;
}

double DecodeRk(std::uint32_t rk) {
  double value;
  if (rk & biff::kRkInteger) {
    value = static_cast<double>(static_cast<std::int32_t>(rk) >> 2);
  } else {
    value = std::bit_cast<double>(static_cast<std::uint64_t>(rk & ~3u) << 32);
  }
  return (rk & biff::kRkDividedBy100) ? value / 100 : value;
}

std::optional<std::uint32_t> EncodeRk(double value) {
  if (!std::isfinite(value)) return std::nullopt;
  // Candidates in order of preference; each is kept only if it decodes to the very same bits.
  const auto exact = [value](std::uint32_t rk) {
    return std::bit_cast<std::uint64_t>(DecodeRk(rk)) == std::bit_cast<std::uint64_t>(value);
  };
  constexpr double kLimit = 1 << 29;  // 30-bit signed integers
  for (const std::uint32_t scaled : {0u, biff::kRkDividedBy100}) {
    const double x = scaled ? value * 100 : value;
    if (std::trunc(x) == x && x >= -kLimit && x < kLimit) {
      const auto rk = (static_cast<std::uint32_t>(static_cast<std::int32_t>(x)) << 2) |
                      biff::kRkInteger | scaled;
      if (exact(rk)) return rk;
    }
    const auto bits = std::bit_cast<std::uint64_t>(x);
    if ((bits & 0x3FFFFFFFFull) == 0) {
      const auto rk = static_cast<std::uint32_t>(bits >> 32) | scaled;
      if (exact(rk)) return rk;
    }
  }
  return std::nullopt;
}

std::string BuildWorkbookStream(const XlsWorkbook& workbook) {
  const bool encrypted = workbook.options.encryption != XlsEncryption::kNone;
  std::string out;
  PutRecord(out, biff::kBof, Bof(biff::kSubstreamGlobals));
  if (encrypted) PutRecord(out, biff::kFilePass, FilePassData(workbook.options));
  const std::size_t encrypted_from = out.size();
  PutGlobalsHead(out);

  std::vector<std::size_t> offset_fields;
  for (const XlsSheet& sheet : workbook.sheets) {
    std::string data;
    offset_fields.push_back(out.size() + biff::kRecordHeaderSize);
    PutU32(data, 0);  // set below, once the sheet's place is known
    PutU8(data, biff::kSheetVisible);
    PutU8(data, biff::kSheetTypeWorksheet);
    PutShortString(data, ToUtf16Units(sheet.name));
    PutRecord(out, biff::kBoundSheet, data);
  }

  // The sheets are built first so that the string table knows every text, then placed after it.
  SharedStrings strings;
  std::string sheets;
  std::vector<std::size_t> sheet_starts;
  for (std::size_t i = 0; i < workbook.sheets.size(); ++i) {
    sheet_starts.push_back(sheets.size());
    PutSheet(sheets, workbook.sheets[i], i == 0, workbook.options, strings);
  }
  PutSharedStrings(out, strings);
  PutRecord(out, biff::kEof, {});

  const std::size_t globals_size = out.size();
  for (std::size_t i = 0; i < sheet_starts.size(); ++i) {
    PatchU32(out, offset_fields[i], static_cast<std::uint32_t>(globals_size + sheet_starts[i]));
  }
  out += sheets;
  if (out.size() < cfb::kMiniStreamCutoff) out.resize(cfb::kMiniStreamCutoff, '\0');
  if (encrypted) EncryptRecords(out, encrypted_from, workbook.options);
  return out;
}

}  // namespace orvano
