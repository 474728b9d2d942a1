// Runs inside the reader process only. libmdb reads pages without checking much and reports
// many faults only as lines on stderr ("offset ... is beyond EOF") while carrying on with less
// data. So every call into it runs under a StderrCapture, and any report at all turns the
// operation into a damage error. The bytes handed to libmdb are checked first (Jet signature,
// whole pages), because some junk makes it crash rather than complain.
//
// libmdb finds the catalog, the column definitions and a table's data pages; the rows on those
// pages are cracked here (jet_row.h). libmdb's own cracking guesses which fixed columns a row
// holds by counting them, which goes wrong in rows written before a fixed column was deleted and
// another added, and it refuses such rows when they are short.

#include "jet/jet_file_reader.h"

// mdbtools.h includes <glib.h> inside extern "C"; glib's C++ parts must come first.
#include <glib.h>
#include <mdbtools.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <optional>
#include <string>

#include "jet/jet_database.h"  // FormatJetDateTime
#include "jet/jet_row.h"
#include "jet/jet_table_definition.h"
#include "support/byte_reader.h"
#include "support/errors.h"
#include "support/file_system.h"
#include "support/mapped_file.h"
#include "support/number_text.h"
#include "support/stderr_capture.h"
#include "support/text_case.h"
#include "support/text_codec.h"

namespace orvano {
namespace {

constexpr const char* kSource = "JetDatabase";  // the component the user knows

// Page 0 starts with a version word and the engine's signature; the format word at 0x14 says
// Jet 3 (2 KiB pages) or Jet 4 and later (4 KiB pages).
constexpr std::array<unsigned char, 4> kMagic = {0x00, 0x01, 0x00, 0x00};
constexpr std::string_view kJetSignature("Standard Jet DB\0", 16);
constexpr std::string_view kAceSignature("Standard ACE DB\0", 16);
constexpr std::size_t kSignatureOffset = 4;
constexpr std::size_t kVersionOffset = 0x14;

// Large enough for any Memo the original engine's own tools write (65535 characters, up to
// three UTF-8 bytes each); longer texts are refused rather than cut.
constexpr std::size_t kBindSize = 1 << 20;
// The high bits of a row's offset on its page are flags.
constexpr std::size_t kRowOffsetMask = 0x1fff;
constexpr std::uint32_t kRowDeleted = 0x4000;

// Jet's date range: 1 January 100 to 31 December 9999, in days from 30 December 1899.
constexpr double kFirstJetDay = -657434.0;
constexpr double kDayAfterLastJetDay = 2958466.0;

UnexpectedError NotADatabase(const std::string& path) {
  return UnexpectedError(err::kDbUnrecognizedFormat, "Not a database: " + path, kSource);
}

UnexpectedError Damaged(const std::string& path, std::string_view table = {}) {
  std::string text = "Damaged database: " + path;
  if (!table.empty()) text += " (table '" + std::string(table) + "')";
  return UnexpectedError(err::kDbUnrecognizedFormat, text, kSource);
}

UnexpectedError NoSuchTable(const std::string& path, std::string_view table) {
  return UnexpectedError(err::kDbTableNotFound,
                         "Could not find table '" + std::string(table) + "' in '" + path + "'",
                         kSource);
}

// The unsigned little-endian number of `size` bytes at `offset` of `bytes`.
std::uint32_t UnsignedAt(std::string_view bytes, std::size_t offset, int size) {
  std::uint32_t value = 0;
  for (int i = size - 1; i >= 0; --i) {
    value = (value << 8) | static_cast<unsigned char>(bytes[offset + static_cast<std::size_t>(i)]);
  }
  return value;
}

std::uint32_t U32At(std::string_view bytes, std::size_t offset) {
  return UnsignedAt(bytes, offset, 4);
}

// Throws unless `bytes` look like a whole Jet file: signature, then whole pages only.
void CheckFileShape(std::string_view bytes, const std::string& path) {
  if (bytes.size() < kMagic.size() ||
      std::memcmp(bytes.data(), kMagic.data(), kMagic.size()) != 0) {
    throw NotADatabase(path);
  }
  if (bytes.size() < kVersionOffset + 4) throw Damaged(path);
  std::string_view signature = bytes.substr(kSignatureOffset, kJetSignature.size());
  if (signature != kJetSignature && signature != kAceSignature) throw NotADatabase(path);
  std::size_t page_size = U32At(bytes, kVersionOffset) == MDB_VER_JET3 ? 2048 : 4096;
  // Page 2 holds the catalog's own table definition; a file without it is cut short.
  if (bytes.size() % page_size != 0 || bytes.size() < 3 * page_size) throw Damaged(path);
}

// Throws the damage error when libmdb complained while `capture` was active.
void CheckQuiet(StderrCapture& capture, const std::string& path, std::string_view table = {}) {
  if (!capture.Finish().empty()) throw Damaged(path, table);
}

struct TableDefDeleter {
  void operator()(MdbTableDef* table) const { mdb_free_tabledef(table); }
};
using TableDefPtr = std::unique_ptr<MdbTableDef, TableDefDeleter>;

struct GFreeDeleter {
  void operator()(char* text) const { g_free(text); }
};

std::int64_t SignedLittleEndian(const unsigned char* p, int size) {
  std::uint64_t value = 0;
  for (int i = size - 1; i >= 0; --i) value = (value << 8) | p[i];
  int unused_bits = 64 - 8 * size;
  return static_cast<std::int64_t>(value << unused_bits) >> unused_bits;
}

// Year, month, day of the day `days` after 1 January 1970 (proleptic Gregorian calendar).
void CivilFromDays(long long days, long long* year, int* month, int* day) {
  days += 719468;  // count from 1 March of year 0, so leap days fall at the end of a year
  long long era = (days >= 0 ? days : days - 146096) / 146097;
  long long day_of_era = days - era * 146097;
  long long year_of_era =
      (day_of_era - day_of_era / 1460 + day_of_era / 36524 - day_of_era / 146096) / 365;
  long long day_of_year = day_of_era - (365 * year_of_era + year_of_era / 4 - year_of_era / 100);
  long long month_from_march = (5 * day_of_year + 2) / 153;
  *day = static_cast<int>(day_of_year - (153 * month_from_march + 2) / 5 + 1);
  *month = static_cast<int>(month_from_march < 10 ? month_from_march + 3 : month_from_march - 9);
  *year = year_of_era + era * 400 + (*month <= 2 ? 1 : 0);
}

}  // namespace

// libmdb's own conversion gives the impossible date "1900-01-00" outside 1899-12-30..~4637;
// this one covers the whole Jet range. Values outside it come back as plain numbers.
std::string FormatJetDateTime(double value, const char* format) {
  if (!std::isfinite(value) || value < kFirstJetDay || value >= kDayAfterLastJetDay) {
    return NumberToText(value);
  }
  double whole = std::trunc(value);
  long long days = static_cast<long long>(whole);
  long long seconds = std::llround(std::fabs(value - whole) * 86400.0);
  if (seconds >= 86400) {
    seconds -= 86400;
    ++days;
  }
  constexpr long long kDaysFrom1899To1970 = 25569;
  long long days_1970 = days - kDaysFrom1899To1970;
  long long year;
  int month, day;
  CivilFromDays(days_1970, &year, &month, &day);

  std::tm tm{};
  tm.tm_year = static_cast<int>(year - 1900);
  tm.tm_mon = month - 1;
  tm.tm_mday = day;
  tm.tm_hour = static_cast<int>(seconds / 3600);
  tm.tm_min = static_cast<int>(seconds / 60 % 60);
  tm.tm_sec = static_cast<int>(seconds % 60);
  tm.tm_wday = static_cast<int>(((days_1970 + 4) % 7 + 7) % 7);  // 1970-01-01 was a Thursday
  static constexpr int kDaysBeforeMonth[] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
  bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  tm.tm_yday = kDaysBeforeMonth[month - 1] + day - 1 + (leap && month > 2 ? 1 : 0);
  tm.tm_isdst = -1;

  char text[256];
  std::size_t length = std::strftime(text, sizeof text, format, &tm);
  return std::string(text, length);
}

namespace {

// Where a table is read: the file's bytes, libmdb's handle, and the names for messages.
struct TableSource {
  std::string_view file;
  MdbHandle* mdb;
  const std::string& path;
  std::string_view table;
  bool plain_texts;  // libmdb turns plain UTF-16 texts into UTF-8 (ConvertsPlainTexts)
};

// True when libmdb converts the texts of `mdb` from UTF-16 to UTF-8, as it does for Jet 4 files
// unless told otherwise, judged on a probe of three characters. Then the reader converts the
// texts that hold only characters that every converter renders alike itself, without iconv.
bool ConvertsPlainTexts(MdbHandle* mdb) {
  static constexpr std::string_view kProbe("A\0\xE4\0\xAC\x20", 6);  // "A", a-umlaut, euro
  static constexpr std::string_view kProbeText = "A\xC3\xA4\xE2\x82\xAC";
  char converted[32] = {};
  mdb_unicode2ascii(mdb, kProbe.data(), kProbe.size(), converted, sizeof converted - 1);
  return converted == kProbeText;
}

// The UTF-8 text of the stored text bytes `stored` when it is plain: libmdb converts plainly on
// this handle and all the text's characters are ones that every converter renders alike.
// nullopt when libmdb is to convert it, as it is a compressed text: one that starts with FF FE,
// which read as UTF-16 is U+FEFF, not a plain character.
std::optional<std::string> PlainText(const TableSource& source, std::string_view stored) {
  if (!source.plain_texts) return std::nullopt;
  return PlainUtf16LeToUtf8(stored);
}

// The bytes of the long-value row `pointer` (page << 8 | row on that page), read in place: libmdb
// copies its page buffers three times over for every such row, which made reading a table of
// memos slow. Checked as libmdb checks a row; a page outside the file or a row outside its page
// is damage.
std::string_view LongValueRow(const TableSource& source, std::uint32_t pointer) {
  const auto page_size = static_cast<std::size_t>(source.mdb->fmt->pg_size);
  const std::size_t page = pointer >> 8;
  const std::size_t row = pointer & 0xff;
  const std::size_t row_count_at = source.mdb->fmt->row_count_offset;
  if (page == 0 || page >= source.file.size() / page_size ||
      row_count_at + 4 + 2 * row > page_size) {
    throw Damaged(source.path, source.table);
  }
  const std::string_view bytes = source.file.substr(page * page_size, page_size);
  auto offset = [&](std::size_t at) { return UnsignedAt(bytes, at, 2) & kRowOffsetMask; };
  const std::size_t start = offset(row_count_at + 2 + 2 * row);
  const std::size_t end = row == 0 ? page_size : offset(row_count_at + 2 * row);
  if (start >= page_size || start > end) throw Damaged(source.path, source.table);
  return bytes.substr(start, end - start);
}

// The stored bytes of a Memo field (`field`: its 12-byte header and what follows it in the row):
// in the row itself, in one long-value row, or in a chain of them, each starting with the
// pointer to the next. Where libmdb would complain about the chain, this is damage.
std::string MemoBytes(const TableSource& source, std::string_view field) {
  constexpr std::size_t kHeader = MDB_MEMO_OVERHEAD;
  constexpr std::uint32_t kInline = 0x80000000;
  constexpr std::uint32_t kSingleRow = 0x40000000;
  if (field.size() < kHeader) return {};  // libmdb gives an empty text
  const std::uint32_t length = U32At(field, 0);
  std::uint32_t pointer = U32At(field, 4);
  if ((length & kInline) != 0) return std::string(field.substr(kHeader));
  if ((length & kSingleRow) != 0) return std::string(LongValueRow(source, pointer));
  if ((length & 0xff000000) != 0) throw Damaged(source.path, source.table);  // unknown flags
  std::string data;
  // Every row holds at least its pointer, so a longer chain runs in circles.
  const std::size_t most_rows = source.file.size() / 4;
  for (std::size_t rows = 0; pointer != 0; ++rows) {
    if (rows > most_rows) throw Damaged(source.path, source.table);
    const std::string_view row = LongValueRow(source, pointer);
    if (row.size() < 4 || data.size() + row.size() - 4 > length) break;
    data.append(row.substr(4));
    pointer = U32At(row, 0);
  }
  if (data.size() < length) throw Damaged(source.path, source.table);
  return data;
}

// The UTF-8 text of a Memo field. At most one character per stored byte and three UTF-8 bytes
// per character, so the buffer need not be libmdb's megabyte for every field.
std::string MemoText(const TableSource& source, std::string_view field, std::string_view column) {
  const std::string stored = MemoBytes(source, field);
  const std::size_t size = std::min(kBindSize, 3 * stored.size() + 8);
  std::string text;
  if (std::optional<std::string> plain = PlainText(source, stored)) {
    text = std::move(*plain);
  } else {
    text.assign(size, '\0');
    mdb_unicode2ascii(source.mdb, stored.data(), stored.size(), text.data(), size);
    text.resize(std::strlen(text.c_str()));
  }
  // libmdb cuts what does not fit; a text that fills the buffer was cut.
  if (text.size() + 4 >= size) {
    throw UnexpectedError(err::kDbUnrecognizedFormat,
                          "Text longer than " + std::to_string(size - 4) + " bytes in column '" +
                              std::string(column) + "' of table '" + std::string(source.table) +
                              "' in " + source.path,
                          kSource);
  }
  return text;
}

// Reads the definition and columns of the table of `entry`; the caller's capture judges it.
TableDefPtr ReadDefinition(MdbCatalogEntry* entry, const std::string& path,
                           std::string_view table) {
  TableDefPtr def(mdb_read_table(entry));
  if (!def || mdb_read_columns(def.get()) == nullptr || def->columns->len != def->num_cols ||
      def->num_cols == 0) {
    throw Damaged(path, table);
  }
  return def;
}

// libmdb stops quietly where the catalog's pages are missing, dropping tables; the catalog
// table's definition keeps its row count, which a whole catalog matches.
void CheckCatalogComplete(MdbHandle* mdb, const std::string& path) {
  for (unsigned int i = 0; i < mdb->num_catalog; ++i) {
    auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
    if (entry->object_type != MDB_TABLE || std::string_view(entry->object_name) != "MSysObjects") {
      continue;
    }
    TableDefPtr def = ReadDefinition(entry, path, {});
    mdb_rewind_table(def.get());
    std::size_t rows = 0;
    while (mdb_fetch_row(def.get())) ++rows;
    if (rows != def->num_rows) throw Damaged(path);
    return;
  }
  throw Damaged(path);
}

MdbColumn* ColumnAt(MdbTableDef* def, unsigned int index) {
  return static_cast<MdbColumn*>(g_ptr_array_index(def->columns, index));
}

// The value of `field` of the row at `row_start` of the handle's current page.
Cell FieldValue(const TableSource& source, MdbColumn* column, const JetField& field,
                std::size_t row_start) {
  // A Yes/No value lives in the null mask: "not null" means Yes.
  if (column->col_type == MDB_BOOL) return field.is_set ? -1.0 : 0.0;
  if (!field.is_set) return Cell{};
  MdbHandle* mdb = source.mdb;
  const std::string& path = source.path;
  const std::string_view table = source.table;

  // The row lies on its page and the field in its row (CrackJetRow), so within the page.
  const int start = static_cast<int>(row_start + field.offset);
  const int size = static_cast<int>(field.size);
  const unsigned char* bytes = mdb->pg_buf + start;
  auto need = [&](int wanted) {
    if (size < wanted) throw Damaged(path, table);
  };
  // A Text field's characters are all in the row: at most one per byte, three UTF-8 bytes each.
  auto text = [&]() -> Cell {
    const std::size_t bind_size = 3 * field.size + 8;
    std::optional<std::string> plain;
    if (column->col_type == MDB_TEXT) {
      plain = PlainText(source, {reinterpret_cast<const char*>(bytes), field.size});
    }
    std::string value;
    if (plain) {
      value = std::move(*plain);
    } else {
      mdb_set_bind_size(mdb, bind_size);
      std::unique_ptr<char, GFreeDeleter> converted(
          mdb_col_to_string(mdb, mdb->pg_buf, start, column->col_type, size));
      if (!converted) throw Damaged(path, table);
      value = converted.get();
    }
    const std::size_t length = value.size();
    // libmdb cuts what does not fit its bind buffer; a text that fills it was cut.
    if (length + 4 >= bind_size) {
      throw UnexpectedError(err::kDbUnrecognizedFormat,
                            "Text longer than " + std::to_string(bind_size - 4) +
                                " bytes in column '" + column->name + "' of table '" +
                                std::string(table) + "' in " + path,
                            kSource);
    }
    return value;
  };

  switch (column->col_type) {
    case MDB_BYTE:
      need(1);
      return static_cast<double>(bytes[0]);
    case MDB_INT:
      need(2);
      return static_cast<double>(SignedLittleEndian(bytes, 2));
    case MDB_LONGINT:
      need(4);
      return static_cast<double>(SignedLittleEndian(bytes, 4));
    case MDB_FLOAT:
      need(4);
      return static_cast<double>(
          std::bit_cast<float>(static_cast<std::uint32_t>(SignedLittleEndian(bytes, 4))));
    case MDB_DOUBLE:
      need(8);
      return std::bit_cast<double>(SignedLittleEndian(bytes, 8));
    case MDB_MONEY:  // a 64-bit count of ten-thousandths
      need(8);
      return static_cast<double>(SignedLittleEndian(bytes, 8)) / 10000.0;
    case MDB_DATETIME:
      need(8);
      return FormatJetDateTime(std::bit_cast<double>(SignedLittleEndian(bytes, 8)), mdb->date_fmt);
    case MDB_NUMERIC: {
      need(17);
      std::unique_ptr<char, GFreeDeleter> value(
          mdb_numeric_to_string(mdb, start, column->col_scale, column->col_prec));
      if (!value) throw Damaged(path, table);
      return LeadingNumber(value.get());
    }
    case MDB_TEXT:
      return text();
    case MDB_MEMO:
      return MemoText(source, std::string_view(reinterpret_cast<const char*>(bytes), field.size),
                      column->name);
    case MDB_REPID:
      need(16);
      return text();
    default:  // binary and OLE
      return Cell{};
  }
}

// The column entries of `def`'s definition, as libmdb leaves out their extra flags. Jet 3
// definitions have none; their entries carry what libmdb read.
std::vector<JetColumnEntry> ColumnEntries(const TableSource& source, MdbTableDef* def) {
  std::vector<JetColumnEntry> entries;
  if (IS_JET3(source.mdb)) {
    for (unsigned int i = 0; i < def->num_cols; ++i) {
      const MdbColumn* column = ColumnAt(def, i);
      JetColumnEntry entry;
      entry.number = static_cast<unsigned>(column->col_num);
      entry.type = static_cast<std::uint8_t>(column->col_type);
      entries.push_back(entry);
    }
    return entries;
  }
  try {
    const std::string definition =
        JetDefinitionBytes(AsBytes(source.file), static_cast<std::size_t>(source.mdb->fmt->pg_size),
                           static_cast<std::uint32_t>(def->entry->table_pg));
    entries = ReadJet4ColumnEntries(AsBytes(definition));
  } catch (const DataError&) {
    throw Damaged(source.path, source.table);
  }
  if (entries.size() != def->num_cols) throw Damaged(source.path, source.table);
  return entries;
}

// Where the columns `wanted` (indexes in table order) of `def` lie in rows. Throws the error
// that names a column of a kind this reader does not read.
std::vector<JetRowColumn> RowColumns(const TableSource& source, MdbTableDef* def,
                                     const std::vector<unsigned int>& wanted) {
  const std::vector<JetColumnEntry> entries = ColumnEntries(source, def);
  std::vector<JetRowColumn> places;
  for (unsigned int index : wanted) {
    const MdbColumn* column = ColumnAt(def, index);
    const auto number = static_cast<unsigned>(column->col_num);
    auto entry = std::find_if(entries.begin(), entries.end(),
                              [&](const JetColumnEntry& e) { return e.number == number; });
    if (entry == entries.end() || entry->type != column->col_type) {
      throw Damaged(source.path, source.table);
    }
    const std::string kind = UnsupportedColumnKind(*entry);
    if (!kind.empty()) {
      throw UnexpectedError(err::kDbUnrecognizedFormat,
                            source.path + ": table " + std::string(source.table) + ", column " +
                                column->name + ": " + kind,
                            kSource);
    }
    JetRowColumn place;
    place.number = number;
    place.is_fixed = column->is_fixed != 0;
    place.fixed_offset = static_cast<std::size_t>(column->fixed_offset);
    place.fixed_size = static_cast<std::size_t>(column->col_size);
    place.var_index = column->var_col_num;
    places.push_back(place);
  }
  return places;
}

}  // namespace

struct JetFileReader::Handle {
  // libmdb reads the bytes in place for the handle's whole life: the file mapped, or a copy.
  std::unique_ptr<MappedFile> mapped;
  std::string bytes;
  std::string_view file;  // the bytes libmdb reads
  MdbHandle* mdb = nullptr;
  bool plain_texts = false;  // see ConvertsPlainTexts

  ~Handle() {
    if (mdb != nullptr) mdb_close(mdb);
  }

  // The catalog entry of the user table `name`, ignoring letter case; nullptr when none.
  MdbCatalogEntry* FindUserTable(std::string_view name) const {
    for (unsigned int i = 0; i < mdb->num_catalog; ++i) {
      auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
      if (IsUserTable(entry) && EqualsIgnoringCase(entry->object_name, name)) return entry;
    }
    return nullptr;
  }

  static bool IsUserTable(MdbCatalogEntry* entry) {
    return entry->object_type == MDB_TABLE && mdb_is_user_table(entry) &&
           !EqualsIgnoringCase(std::string_view(entry->object_name).substr(0, 4), "MSys");
  }
};

JetFileReader::JetFileReader(std::unique_ptr<Handle> handle, std::string path)
    : handle_(std::move(handle)), path_(std::move(path)) {}

JetFileReader::~JetFileReader() = default;

std::unique_ptr<JetFileReader> JetFileReader::Open(std::string bytes, const std::string& path) {
  auto handle = std::make_unique<Handle>();
  handle->bytes = std::move(bytes);
  const char* data = handle->bytes.data();
  const std::size_t size = handle->bytes.size();
  return OpenHandle(std::move(handle), data, size, path);
}

std::unique_ptr<JetFileReader> JetFileReader::OpenHandle(std::unique_ptr<Handle> handle,
                                                         const char* bytes, std::size_t size,
                                                         const std::string& path) {
  handle->file = std::string_view(bytes, size);
  CheckFileShape(handle->file, path);
  StderrCapture capture;
  // libmdb only reads the buffer (a stream opened for reading), whatever its type says.
  handle->mdb = mdb_open_buffer(const_cast<char*>(bytes), size, MDB_NOFLAGS);
  if (handle->mdb == nullptr) throw Damaged(path);
  if (mdb_read_catalog(handle->mdb, MDB_TABLE) == nullptr) throw Damaged(path);
  CheckCatalogComplete(handle->mdb, path);
  CheckQuiet(capture, path);
  handle->plain_texts = ConvertsPlainTexts(handle->mdb);
  return std::unique_ptr<JetFileReader>(new JetFileReader(std::move(handle), path));
}

std::unique_ptr<JetFileReader> JetFileReader::OpenFile(const std::string& path) {
  // A database is read in place; one that cannot be mapped is read, which says why it fails.
  auto mapped = std::make_unique<MappedFile>(path);
  if (mapped->mapped()) {
    auto handle = std::make_unique<Handle>();
    const char* bytes = mapped->data();
    const std::size_t size = mapped->size();
    handle->mapped = std::move(mapped);
    return OpenHandle(std::move(handle), bytes, size, path);
  }
  std::string bytes;
  std::string error;
  switch (NewPosixFileSystem()->ReadFile(path, &bytes, &error)) {
    case ReadStatus::kOkay:
      break;
    case ReadStatus::kNotFound:
      throw UnexpectedError(err::kDbFileNotFound, "Could not find file '" + path + "'", kSource);
    case ReadStatus::kOtherError:
      throw UnexpectedError(err::kDbCannotOpen, error, kSource);
  }
  return Open(std::move(bytes), path);
}

std::vector<std::string> JetFileReader::TableNames() const {
  std::vector<std::string> names;
  MdbHandle* mdb = handle_->mdb;
  for (unsigned int i = 0; i < mdb->num_catalog; ++i) {
    auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
    if (Handle::IsUserTable(entry)) names.emplace_back(entry->object_name);
  }
  return names;
}

std::vector<std::string> JetFileReader::ColumnNames(std::string_view table) {
  MdbCatalogEntry* entry = handle_->FindUserTable(table);
  if (entry == nullptr) throw NoSuchTable(path_, table);
  StderrCapture capture;
  TableDefPtr def = ReadDefinition(entry, path_, table);
  CheckQuiet(capture, path_, table);
  std::vector<std::string> names;
  for (unsigned int i = 0; i < def->num_cols; ++i) names.emplace_back(ColumnAt(def.get(), i)->name);
  return names;
}

Table JetFileReader::ReadTable(std::string_view table, const std::vector<std::string>& columns) {
  Table result;
  ReadRows(
      table, columns,
      [&](std::size_t count, std::size_t rows_expected) {
        result = Table(count, 0);
        result.rows().reserve(rows_expected);
      },
      [&](std::vector<Cell>& row) { result.AddRow(std::move(row)); });
  return result;
}

void JetFileReader::ReadRows(
    std::string_view table, const std::vector<std::string>& columns,
    const std::function<void(std::size_t columns, std::size_t rows_expected)>& begin,
    const std::function<void(std::vector<Cell>& row)>& visit) {
  MdbCatalogEntry* entry = handle_->FindUserTable(table);
  if (entry == nullptr) throw NoSuchTable(path_, table);
  MdbHandle* mdb = handle_->mdb;

  StderrCapture capture;
  TableDefPtr def = ReadDefinition(entry, path_, table);
  const unsigned int column_count = def->num_cols;

  // wanted[k]: the index in table order of output column k.
  std::vector<unsigned int> wanted;
  if (columns.empty()) {
    for (unsigned int i = 0; i < column_count; ++i) wanted.push_back(i);
  } else {
    for (const std::string& name : columns) {
      unsigned int i = 0;
      while (i < column_count && !EqualsIgnoringCase(ColumnAt(def.get(), i)->name, name)) ++i;
      if (i == column_count) {
        throw UnexpectedError(err::kDbTooFewParameters,
                              "Could not find column '" + name + "' in table '" +
                                  std::string(table) + "' of '" + path_ + "'",
                              kSource);
      }
      wanted.push_back(i);
    }
  }
  const TableSource source{handle_->file, mdb, path_, table, handle_->plain_texts};
  const std::vector<JetRowColumn> places = RowColumns(source, def.get(), wanted);

  // The stored row count only sizes the first allocation; a row takes at least a few bytes.
  begin(wanted.size(), std::min<std::size_t>(def->num_rows, handle_->file.size() / 8));
  std::size_t rows_read = 0;
  std::vector<Cell> row;

  const JetVersion version = IS_JET3(mdb) ? JetVersion::kJet3 : JetVersion::kJet4;
  const auto page_size = static_cast<std::size_t>(mdb->fmt->pg_size);
  const std::size_t page_count = handle_->file.size() / page_size;
  mdb_rewind_table(def.get());
  // libmdb walks the table's usage map and loads each data page into pg_buf; the rows on it are
  // read here, from the same page in the file's bytes.
  while (mdb_read_next_dpg(def.get()) != 0) {
    const std::size_t page = def->cur_phys_pg;
    if (page == 0 || page >= page_count) throw Damaged(path_, table);
    const std::string_view bytes = source.file.substr(page * page_size, page_size);
    const std::size_t row_count_at = mdb->fmt->row_count_offset;
    const std::size_t rows = UnsignedAt(bytes, row_count_at, 2);
    if (row_count_at + 2 + 2 * rows > page_size) throw Damaged(path_, table);
    for (std::size_t r = 0; r < rows; ++r) {
      const std::uint32_t start = UnsignedAt(bytes, row_count_at + 2 + 2 * r, 2);
      if ((start & kRowDeleted) != 0) continue;
      const std::size_t end =
          r == 0 ? page_size : UnsignedAt(bytes, row_count_at + 2 * r, 2) & kRowOffsetMask;
      const std::size_t row_start = start & kRowOffsetMask;
      if (row_start >= end || end > page_size) throw Damaged(path_, table);
      std::vector<JetField> fields;
      try {
        fields = CrackJetRow(AsBytes(bytes.substr(row_start, end - row_start)), version, places);
      } catch (const DataError&) {
        throw Damaged(path_, table);
      }
      row.clear();
      row.reserve(wanted.size());
      for (std::size_t k = 0; k < wanted.size(); ++k) {
        row.push_back(FieldValue(source, ColumnAt(def.get(), wanted[k]), fields[k], row_start));
      }
      visit(row);
      ++rows_read;
    }
  }
  // Pages lost from the end of the table's page list go unnoticed by libmdb; the row count in
  // the table definition shows them. The count is not always kept up to date (a file closed
  // without it, or written by other tools), but it never counts rows that are not there.
  if (rows_read < def->num_rows) throw Damaged(path_, table);
  CheckQuiet(capture, path_, table);
}

}  // namespace orvano
