#include "inputs/biff_reader.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <vector>

#include "inputs/biff_decryption.h"
#include "inputs/biff_format.h"
#include "inputs/cfb_format.h"
#include "inputs/compound_file.h"
#include "inputs/parsed_workbook.h"
#include "support/byte_reader.h"
#include "support/errors.h"
#include "support/text_codec.h"

namespace orvano {
namespace {

using std::size_t;
using std::uint16_t;
using std::uint32_t;
using std::uint8_t;

constexpr const char* kPasswordProtected = "the workbook is password-protected";
// Thrown past the record context: a protected workbook is not damaged, so no place is named.
struct PasswordProtected {};

std::string Hex4(uint32_t v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%04X", v);
  return buf;
}

const char* RecordName(uint16_t id) {
  switch (id) {
    case biff::kBof:
      return "BOF";
    case biff::kEof:
      return "EOF";
    case biff::kBoundSheet:
      return "BOUNDSHEET";
    case biff::kSst:
      return "SST";
    case biff::kCodePage:
      return "CODEPAGE";
    case biff::kNumber:
      return "NUMBER";
    case biff::kRk:
      return "RK";
    case biff::kMulRk:
      return "MULRK";
    case biff::kLabel:
      return "LABEL";
    case biff::kRString:
      return "RSTRING";
    case biff::kLabelSst:
      return "LABELSST";
    case biff::kBoolErr:
      return "BOOLERR";
    case biff::kFormula:
    case biff::kFormulaBiff3:
    case biff::kFormulaBiff4:
      return "FORMULA";
    case biff::kString:
    case biff::kStringBiff2:
      return "STRING";
    case biff::kBlank:
    case biff::kBlankBiff2:
      return "BLANK";
    case biff::kMulBlank:
      return "MULBLANK";
    case biff::kIntegerBiff2:
      return "INTEGER";
    case biff::kNumberBiff2:
      return "NUMBER";
    case biff::kLabelBiff2:
      return "LABEL";
    case biff::kBoolErrBiff2:
      return "BOOLERR";
    case biff::kFilePass:
      return "FILEPASS";
    case biff::kContinue:
      return "CONTINUE";
    default:
      return "record";
  }
}

// UTF-16 code units to UTF-8; a surrogate without its partner becomes U+FFFD.
void Utf16ToUtf8(const std::u16string& units, std::string& out) {
  out.clear();
  for (size_t i = 0; i < units.size(); ++i) {
    uint32_t c = units[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
        units[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (units[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;
    }
    AppendUtf8(out, c);
  }
}

// Reads data that goes on in CONTINUE records: plain fields run on from one part to the next;
// the characters of a string take a fresh option byte at each part they enter.
class ContinuedReader {
 public:
  explicit ContinuedReader(std::span<ByteReader> parts) : parts_(parts) {}

  bool AtEnd() {
    SkipEmptyParts();
    return Current().empty();
  }
  uint8_t U8() {
    SkipEmptyParts();
    return Current().U8();
  }
  uint16_t U16() { return static_cast<uint16_t>(U8() | (U8() << 8)); }
  uint32_t U32() {
    const uint32_t low = U16();
    return low | (uint32_t{U16()} << 16);
  }
  void Skip(size_t n) {
    while (n > 0) {
      SkipEmptyParts();
      const size_t take = std::min(n, Current().remaining());
      if (take == 0) Current().Skip(n);  // throws: nothing left anywhere
      Current().Skip(take);
      n -= take;
    }
  }

  // A Unicode string (character count of `count_size` bytes, option flags, optional run count
  // and far-east size, characters, runs, far-east data) as UTF-8 in `out`.
  void String(size_t count_size, std::string& out) {
    const size_t count = count_size == 1 ? U8() : U16();
    const uint8_t flags = U8();
    const size_t runs = (flags & biff::kStringRichText) ? U16() : 0;
    const size_t far_east = (flags & biff::kStringFarEast) ? U32() : 0;
    bool high = flags & biff::kStringHighByte;
    units_.clear();
    size_t left = count;
    while (left > 0) {
      if (Current().empty()) {
        if (index_ + 1 >= parts_.size()) {
          throw DataError("string of " + std::to_string(count) +
                          " characters runs past the end of its records");
        }
        ++index_;
        high = Current().U8() & biff::kStringHighByte;
      }
      const size_t width = high ? 2 : 1;
      const size_t take = std::min(left, Current().remaining() / width);
      if (take == 0) throw DataError("a character is split between two records");
      const std::span<const std::byte> bytes = Current().Bytes(take * width);
      if (high) {
        for (size_t i = 0; i < take; ++i) {
          units_.push_back(static_cast<char16_t>(static_cast<uint8_t>(bytes[2 * i]) |
                                                 (static_cast<uint8_t>(bytes[2 * i + 1]) << 8)));
        }
      } else {
        for (size_t i = 0; i < take; ++i) units_.push_back(static_cast<uint8_t>(bytes[i]));
      }
      left -= take;
    }
    Skip(CheckedAdd(CheckedMul(runs, biff::kRichTextRunSize, "rich-text runs"), far_east,
                    "far-east data"));
    Utf16ToUtf8(units_, out);
  }

 private:
  ByteReader& Current() { return parts_[index_]; }
  void SkipEmptyParts() {
    while (Current().empty() && index_ + 1 < parts_.size()) ++index_;
  }

  std::span<ByteReader> parts_;
  size_t index_ = 0;
  std::u16string units_;
};

struct Record {
  uint16_t id = 0;
  size_t offset = 0;
  ByteReader body;
};

// The next record of `stream`; false at the end of the stream. A record whose length runs
// past the stream is damage.
bool NextRecord(ByteReader& stream, Record& record) {
  if (stream.remaining() < biff::kRecordHeaderSize) return false;
  record.offset = stream.offset();
  record.id = stream.U16();
  const uint16_t length = stream.U16();
  if (length > stream.remaining()) {
    // The caller names the record, whose id and offset are set by now.
    throw DataError("length " + std::to_string(length) + " runs past the end of the stream (" +
                    std::to_string(stream.remaining()) + " bytes left)");
  }
  record.body = stream.Sub(length);
  return true;
}

// The record's body followed by the bodies of the CONTINUE records right after it.
std::vector<ByteReader> WithContinues(ByteReader& stream, const Record& record) {
  std::vector<ByteReader> parts{record.body};
  Record next;
  ByteReader peek = stream;
  while (NextRecord(peek, next) && next.id == biff::kContinue) {
    parts.push_back(next.body);
    stream = peek;
  }
  return parts;
}

// "SST (0x00FC) at offset 1234": the record's name, id and offset in the stream.
std::string PlaceOf(const Record& record) {
  return std::string(RecordName(record.id)) + " (" + Hex4(record.id) + ") at offset " +
         std::to_string(record.offset);
}

struct SheetRef {
  std::string name;
  uint32_t offset = 0;
};

class WorkbookParser {
 public:
  WorkbookParser(std::span<const std::byte> stream, ParsedWorkbook& out)
      : stream_(stream), out_(out) {}

  void Parse() {
    ReadGlobals();
    for (const SheetRef& ref : sheets_) ReadSheet(ref);
  }

 private:
  std::string Text8(std::span<const std::byte> bytes) const;
  std::string ShortString(ByteReader& r);  // BOUNDSHEET name
  std::string CellString(ByteReader& r);   // LABEL, RSTRING text
  void ReadGlobals();
  void ReadSst(ByteReader& stream, const Record& record);
  void ReadSheet(const SheetRef& ref);
  void DecodeCellRecord(const Record& record, ByteReader& stream);

  std::span<const std::byte> stream_;
  std::vector<std::byte> decrypted_;  // backs `stream_` once a FILEPASS was met
  ParsedWorkbook& out_;
  bool biff8_ = true;
  int code_page_ = 1252;
  uint32_t sst_count_ = 0;
  std::vector<SheetRef> sheets_;
  std::string scratch_;
  // The sheet being read.
  std::vector<WorkbookCell> cells_;
  std::optional<WorkbookCell> pending_string_;  // FORMULA whose text is in the next STRING
};

std::string WorkbookParser::Text8(std::span<const std::byte> bytes) const {
  const std::string_view raw(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  if (std::all_of(raw.begin(), raw.end(), [](char c) { return (c & 0x80) == 0; })) {
    return std::string(raw);
  }
  if (code_page_ != 1252 && code_page_ != 367) {
    if (auto decoded = DecodeCodePage(raw, code_page_)) return *decoded;
  }
  return Cp1252ToUtf8(raw);
}

std::string WorkbookParser::ShortString(ByteReader& r) {
  if (!biff8_) {
    const uint8_t n = r.U8();
    return Text8(r.Bytes(n));
  }
  ContinuedReader cr(std::span<ByteReader>(&r, 1));
  std::string text;
  cr.String(1, text);
  return text;
}

std::string WorkbookParser::CellString(ByteReader& r) {
  if (!biff8_) {
    const uint16_t n = r.U16();
    return Text8(r.Bytes(n));
  }
  ContinuedReader cr(std::span<ByteReader>(&r, 1));
  std::string text;
  cr.String(2, text);
  return text;
}

void WorkbookParser::ReadGlobals() {
  ByteReader stream(stream_);
  Record record;
  if (!NextRecord(stream, record) || record.id != biff::kBof) {
    if (record.id == 0x0009 || record.id == 0x0209 || record.id == 0x0409) {
      throw DataError("not a BIFF workbook: BIFF2-4 files are not read");
    }
    throw DataError("not a BIFF workbook: the workbook stream does not start with a BOF record");
  }
  uint16_t version = 0;
  uint16_t type = 0;
  try {
    version = record.body.U16();
    type = record.body.U16();
  } catch (const DataError& e) {
    throw DataError("workbook globals, " + PlaceOf(record) + ": " + e.what());
  }
  if (version == biff::kBiff8Version) {
    biff8_ = true;
  } else if (version == biff::kBiff5Version) {
    biff8_ = false;
  } else {
    throw DataError("not a BIFF workbook: unknown BIFF version " + Hex4(version));
  }
  if (type != biff::kSubstreamGlobals) {
    throw DataError("the workbook stream does not start with the workbook globals (BOF type " +
                    Hex4(type) + ")");
  }
  try {
    while (true) {
      if (!NextRecord(stream, record)) {
        throw DataError("no EOF record before the end of the stream");
      }
      switch (record.id) {
        case biff::kEof:
          return;
        case biff::kFilePass: {
          // Only the password applications use when the author set none is tried.
          if (!biff8_) throw PasswordProtected{};  // XOR obfuscation
          if (!decrypted_.empty()) throw DataError("a second FILEPASS record");
          const std::optional<BiffDecryptor> decryptor = BiffDecryptor::Open(
              record.body.Bytes(record.body.remaining()), kDefaultWorkbookPassword);
          if (!decryptor) throw PasswordProtected{};
          const size_t next = stream.offset();
          decrypted_.assign(stream_.begin(), stream_.end());
          decryptor->DecryptRecords(decrypted_, next);
          stream_ = decrypted_;
          stream = ByteReader(stream_.subspan(next), next);
          break;
        }
        case biff::kCodePage:
          code_page_ = record.body.U16();
          break;
        case biff::kBoundSheet: {
          SheetRef ref;
          ref.offset = record.body.U32();
          record.body.Skip(1);  // visibility: hidden sheets are sheets too
          const uint8_t sheet_type = record.body.U8();
          ref.name = ShortString(record.body);
          if (sheet_type == biff::kSheetTypeWorksheet) sheets_.push_back(std::move(ref));
          break;
        }
        case biff::kSst:
          if (biff8_) ReadSst(stream, record);
          break;
        default:
          break;
      }
    }
  } catch (const DataError& e) {
    throw DataError("workbook globals, " + PlaceOf(record) + ": " + e.what());
  }
}

void WorkbookParser::ReadSst(ByteReader& stream, const Record& record) {
  std::vector<ByteReader> parts = WithContinues(stream, record);
  size_t bytes = 0;
  for (const ByteReader& p : parts) bytes += p.remaining();
  ContinuedReader cr(parts);
  cr.U32();  // total references
  const uint32_t unique = cr.U32();
  // Each string takes at least 3 bytes (count and flags), which caps what is reserved.
  out_.ReserveTexts(std::min<size_t>(unique, bytes / 3), bytes);
  for (uint32_t i = 0; i < unique; ++i) {
    if (cr.AtEnd()) {
      throw DataError("SST promises " + std::to_string(unique) + " strings but holds only " +
                      std::to_string(i));
    }
    try {
      cr.String(2, scratch_);
    } catch (const DataError& e) {
      throw DataError("SST string " + std::to_string(i) + ": " + e.what());
    }
    out_.AddText(scratch_);
  }
  sst_count_ = unique;
}

void WorkbookParser::ReadSheet(const SheetRef& ref) {
  cells_.clear();
  pending_string_.reset();
  if (ref.offset >= stream_.size()) {
    throw DataError("sheet \"" + ref.name + "\": its BOF offset " + std::to_string(ref.offset) +
                    " lies past the end of the stream (" + std::to_string(stream_.size()) +
                    " bytes)");
  }
  ByteReader stream(stream_.subspan(ref.offset), ref.offset);
  Record record;
  try {
    if (!NextRecord(stream, record) || record.id != biff::kBof) {
      throw DataError("no BOF record at the offset its BOUNDSHEET gives");
    }
    record.body.U16();
    const uint16_t type = record.body.U16();
    const bool has_cells = type == biff::kSubstreamWorksheet || type == biff::kSubstreamMacroSheet;
    int depth = 1;  // charts embedded in a sheet bring their own BOF ... EOF
    while (depth > 0) {
      if (!NextRecord(stream, record))
        throw DataError("no EOF record before the end of the stream");
      if (record.id == biff::kBof) {
        ++depth;
      } else if (record.id == biff::kEof) {
        --depth;
      } else if (depth == 1 && has_cells) {
        DecodeCellRecord(record, stream);
      }
    }
  } catch (const DataError& e) {
    throw DataError("sheet \"" + ref.name + "\", " + PlaceOf(record) + ": " + e.what());
  }
  if (pending_string_) cells_.push_back(*pending_string_);
  out_.AddSheet(ref.name, std::move(cells_));
  cells_ = {};
}

double RkValue(uint32_t rk) {
  double v;
  if (rk & biff::kRkInteger) {
    v = static_cast<double>(static_cast<std::int32_t>(rk) >> 2);
  } else {
    v = std::bit_cast<double>(static_cast<std::uint64_t>(rk & 0xFFFFFFFCu) << 32);
  }
  return (rk & biff::kRkDividedBy100) ? v / 100 : v;
}

void WorkbookParser::DecodeCellRecord(const Record& record, ByteReader& stream) {
  ByteReader body = record.body;
  if (pending_string_ && record.id != biff::kString && record.id != biff::kSharedFormula &&
      record.id != biff::kArray && record.id != biff::kTable && record.id != biff::kContinue) {
    // A text formula result without its STRING record: keep the cell, with an empty text.
    cells_.push_back(*pending_string_);
    pending_string_.reset();
  }
  WorkbookCell cell;
  const auto header = [&] {
    cell.row = body.U16();
    cell.column = body.U16();
    body.Skip(2);  // XF
    if (cell.column >= biff::kMaxColumns) {
      throw DataError("column " + std::to_string(cell.column) + " outside 0..255");
    }
  };
  switch (record.id) {
    case biff::kNumber:
      header();
      cell.number = body.F64();
      break;
    case biff::kRk:
      header();
      cell.number = RkValue(body.U32());
      break;
    case biff::kLabelSst: {
      header();
      const uint32_t index = body.U32();
      if (index >= sst_count_) {
        throw DataError("string index " + std::to_string(index) + " past the " +
                        std::to_string(sst_count_) + " strings of the SST");
      }
      cell.kind = CellKind::kText;
      cell.text = index;
      break;
    }
    case biff::kLabel:
    case biff::kRString:
      header();
      cell.kind = CellKind::kText;
      cell.text = out_.AddText(CellString(body));
      break;
    case biff::kBoolErr: {
      header();
      cell.code = body.U8();
      cell.kind = body.U8() == biff::kBoolErrIsError ? CellKind::kError : CellKind::kBoolean;
      if (cell.kind == CellKind::kBoolean) cell.code = cell.code ? 1 : 0;
      break;
    }
    case biff::kFormula:
    case biff::kFormulaBiff3:
    case biff::kFormulaBiff4: {
      header();
      ByteReader result = body.Sub(8);
      const std::span<const std::byte> raw = result.Bytes(8);
      const bool special =
          static_cast<uint8_t>(raw[6]) == 0xFF && static_cast<uint8_t>(raw[7]) == 0xFF;
      if (!special) {
        cell.number = ByteReader(raw).F64();
        break;
      }
      const uint8_t what = static_cast<uint8_t>(raw[0]);
      const uint8_t value = static_cast<uint8_t>(raw[2]);
      if (what == biff::kFormulaResultString) {
        cell.kind = CellKind::kText;
        pending_string_ = cell;
        return;
      }
      if (what == biff::kFormulaResultBool) {
        cell.kind = CellKind::kBoolean;
        cell.code = value ? 1 : 0;
      } else if (what == biff::kFormulaResultError) {
        cell.kind = CellKind::kError;
        cell.code = value;
      } else {  // empty text, and result types this reader does not know
        cell.kind = CellKind::kText;
        cell.text = out_.AddText("");
      }
      break;
    }
    case biff::kString: {
      if (!pending_string_) return;  // a STRING without its FORMULA says nothing
      std::vector<ByteReader> parts = WithContinues(stream, record);
      std::string text;
      if (biff8_) {
        ContinuedReader cr(parts);
        cr.String(2, text);
      } else {
        const uint16_t n = parts[0].U16();
        text = Text8(parts[0].Bytes(n));
      }
      cell = *pending_string_;
      pending_string_.reset();
      cell.text = out_.AddText(text);
      break;
    }
    case biff::kBlank:
      header();
      return;
    case biff::kMulRk:
    case biff::kMulBlank: {
      const bool rk = record.id == biff::kMulRk;
      const size_t entry = rk ? biff::kMulRkEntrySize : 2;
      const size_t size = body.remaining();
      if (size < 6 || (size - 6) % entry != 0) {
        throw DataError("length " + std::to_string(size) + " does not hold whole cells");
      }
      const size_t n = (size - 6) / entry;
      cell.row = body.U16();
      const uint16_t first = body.U16();
      ByteReader entries = body.Sub(n * entry);
      const uint16_t last = body.U16();
      if (n == 0 || size_t{last} + 1 != size_t{first} + n || last >= biff::kMaxColumns) {
        throw DataError("columns " + std::to_string(first) + " to " + std::to_string(last) +
                        " do not match its " + std::to_string(n) + " cells");
      }
      if (!rk) return;
      for (size_t i = 0; i < n; ++i) {
        entries.Skip(2);  // XF
        cell.column = static_cast<uint16_t>(first + i);
        cell.number = RkValue(entries.U32());
        cells_.push_back(cell);
      }
      return;
    }
    case biff::kBlankBiff2:
    case biff::kIntegerBiff2:
    case biff::kNumberBiff2:
    case biff::kLabelBiff2:
    case biff::kBoolErrBiff2:
    case biff::kStringBiff2:
      // Their layout is not that of the BIFF5-8 records; refused rather than lose a cell.
      throw DataError("a BIFF2 cell record, which BIFF5-8 worksheets do not hold, is not read");
    default:
      return;
  }
  cells_.push_back(cell);
}

// True when the stream's stored name is `name`, ASCII letter case ignored as the lookup does.
bool IsNamed(const CompoundStream& stream, std::string_view name) {
  return std::equal(stream.name.begin(), stream.name.end(), name.begin(), name.end(),
                    [](char a, char b) { return (a | 0x20) == (b | 0x20); });
}

[[noreturn]] void ThrowFormat(const std::string& file_name, const std::string& detail) {
  throw UnexpectedError(err::kInvalidFileFormat, file_name + ": " + detail, "Workbook reader");
}

}  // namespace

std::shared_ptr<ParsedWorkbook> ParseBiffWorkbook(std::span<const std::byte> file,
                                                  const std::string& file_name) {
  auto workbook = std::make_shared<ParsedWorkbook>();
  try {
    const CompoundStream stream =
        ReadCompoundStream(file, {cfb::kWorkbookStreamName, cfb::kBiff5WorkbookStreamName,
                                  cfb::kEncryptedPackageStreamName});
    if (IsNamed(stream, cfb::kEncryptedPackageStreamName)) {
      ThrowFormat(file_name, kPasswordProtected);
    }
    WorkbookParser(stream.bytes, *workbook).Parse();
  } catch (const PasswordProtected&) {
    ThrowFormat(file_name, kPasswordProtected);
  } catch (const DataError& e) {
    ThrowFormat(file_name, e.what());
  }
  return workbook;
}

}  // namespace orvano
