#include "generation/allocation_export.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <nlohmann/json.hpp>
#include <span>

#include "support/byte_words.h"
#include "support/errors.h"
#include "support/file_system.h"
#include "support/text_case.h"
#include "support/text_codec.h"

namespace orvano {
namespace {

using nlohmann::ordered_json;

// Texts from a damaged input may hold bytes that are not UTF-8: they are replaced, not fatal.
std::string Dumped(const ordered_json& value) {
  return value.dump(-1, ' ', false, ordered_json::error_handler_t::replace);
}

// The bytes a JSON string holds as they are: printable ASCII but the quote and the backslash.
constexpr std::array<bool, 256> kPlainInJson = [] {
  std::array<bool, 256> plain{};
  for (int c = 0x20; c < 0x80; ++c) plain[c] = c != '"' && c != '\\';
  return plain;
}();

// Marks the bytes of `word` that may need care in a JSON string: bytes that are not ASCII,
// control characters, quotes and backslashes (see MarkBytesEqualTo). Most texts have none in
// most words.
std::uint64_t MarkBytesNeedingCare(std::uint64_t word) {
  return (word & kEveryByteHigh) | MarkBytesBelow(word, 0x20) | MarkBytesEqualTo(word, '"') |
         MarkBytesEqualTo(word, '\\');
}

// Appends to a string through a pointer into room made ahead for what is about to be written,
// rather than checking the room at every byte: an export is about as large as the pages. Until
// the writer goes, the string holds zero bytes past what was written.
class JsonWriter {
 public:
  explicit JsonWriter(std::string* out) : out_(out), end_(out->size()) {}
  ~JsonWriter() { out_->resize(end_); }
  JsonWriter(const JsonWriter&) = delete;
  JsonWriter& operator=(const JsonWriter&) = delete;

  void Raw(char c) {
    *Room(1) = c;
    ++end_;
  }
  void Raw(std::string_view text) {
    std::memcpy(Room(text.size()), text.data(), text.size());
    end_ += text.size();
  }
  void Number(std::size_t number) {
    char* at = Room(24);
    end_ += static_cast<std::size_t>(std::to_chars(at, at + 24, number).ptr - at);
  }
  /// `text` as a JSON string; text that is not UTF-8 goes through the JSON library, which
  /// replaces what is not.
  void String(std::string_view text) {
    if (!Utf8String(text)) Raw(Dumped(ordered_json(std::string(text))));
  }

 private:
  // The string grows its capacity as usual, and its size (zero bytes past the end) a few
  // kilobytes at a time, so that room is made for many texts at once.
  char* Room(std::size_t bytes) {
    if (out_->size() - end_ < bytes) [[unlikely]]
      Grow(bytes);
    return out_->data() + end_;
  }
  [[gnu::noinline]] void Grow(std::size_t bytes) {
    const std::size_t needed = end_ + bytes;
    if (needed > out_->capacity()) out_->reserve(std::max(needed, 2 * out_->capacity()));
    out_->resize(std::max(needed, std::min(out_->capacity(), end_ + 4096)));
  }

  // Writes `text` as a JSON string when it is UTF-8; false, writing nothing, when it is not.
  bool Utf8String(std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    // An escaped byte takes at most six; eight more let a whole word be copied before it is
    // looked at.
    char* const start = Room(6 * text.size() + 2 + 8);
    char* at = start;
    *at++ = '"';
    std::size_t i = 0;
    while (i < text.size()) {
      if (text.size() - i >= 8) {
        std::uint64_t word;
        std::memcpy(&word, text.data() + i, sizeof word);
        std::memcpy(at, &word, sizeof word);
        const std::uint64_t marks = MarkBytesNeedingCare(word);
        if (marks == 0) {
          i += 8;
          at += 8;
          continue;
        }
        // The bytes before the first marked one are copied already.
        i += FirstMarkedByte(marks);
        at += FirstMarkedByte(marks);
      }
      const auto c = static_cast<unsigned char>(text[i]);
      if (kPlainInJson[c]) {
        *at++ = text[i++];
        continue;
      }
      if (c >= 0x80) {
        std::size_t next = i;
        if (StartsTwoByteUtf8(text, i)) {
          next = i + 2;
        } else if (!NextUtf8(text, &next)) {
          return false;
        }
        std::memcpy(at, text.data() + i, next - i);
        at += next - i;
        i = next;
        continue;
      }
      ++i;
      *at++ = '\\';
      switch (c) {
        case '"':
        case '\\':
          *at++ = static_cast<char>(c);
          break;
        case '\n':
          *at++ = 'n';
          break;
        case '\r':
          *at++ = 'r';
          break;
        case '\t':
          *at++ = 't';
          break;
        default:
          std::memcpy(at, "u00", 3);
          at[3] = kHex[c >> 4];
          at[4] = kHex[c & 15];
          at += 5;
      }
    }
    *at++ = '"';
    end_ += static_cast<std::size_t>(at - start);
    return true;
  }

  std::string* out_;
  std::size_t end_;  // the end of what was written
};

// Appends `text` as a JSON string.
void AppendJsonString(std::string_view text, std::string* out) { JsonWriter(out).String(text); }

// Appends `,"key":` and `text` as a JSON string (no comma for the first key).
void AppendMember(std::string_view key, std::string_view text, std::string* out) {
  if (out->back() != '{') *out += ',';
  *out += '"';
  *out += key;
  *out += "\":";
  AppendJsonString(text, out);
}

// A row as the export writes it, whether the allocation keeps it or a page just showed it.
struct RowView {
  std::string_view section;
  std::string_view machine;
  std::string_view position;
  const RowOrigin& origin;
  std::string_view font_class;
  std::span<const std::string_view> cells;
  std::span<const std::size_t> address_columns;
};

// Calls `write` with the view of `row`.
template <typename Write>
void WithViewOf(const AllocationRow& row, Write write) {
  const std::vector<std::string_view> cells(row.cells.begin(), row.cells.end());
  write(RowView{row.section, row.machine, row.position, row.origin, row.font_class, cells,
                row.address_columns});
}

// What every row of a JSON page starts with: `{"section":...,"machine":...,"position":...`.
void AppendRowHeadJson(std::string_view section, std::string_view machine,
                       std::string_view position, std::string* out) {
  *out += "{\"section\":";
  AppendJsonString(section, out);
  *out += ",\"machine\":";
  AppendJsonString(machine, out);
  *out += ",\"position\":";
  AppendJsonString(position, out);
}

// The row's source, `,"source":"..."`; `*source` is room for its text.
void AppendSourceJson(const RowOrigin& origin, std::string* source, std::string* out) {
  *out += ",\"source\":";
  source->clear();
  AppendOriginText(origin, source);
  AppendJsonString(*source, out);
}

// The rest of the row's JSON object after its source.
void AppendRowCellsJson(const RowView& row, JsonWriter& out) {
  out.Raw(",\"class\":");
  out.String(row.font_class);
  out.Raw(",\"cells\":[");
  for (std::size_t c = 0; c < row.cells.size(); ++c) {
    if (c > 0) out.Raw(',');
    out.String(row.cells[c]);
  }
  out.Raw("],\"address_cells\":[");
  for (std::size_t c = 0; c < row.address_columns.size(); ++c) {
    if (c > 0) out.Raw(',');
    out.Number(row.address_columns[c]);
  }
  out.Raw("]}");
}

// The page object's members before its rows: `,\n{"file":...,"rows":[`.
void AppendPageHeadJson(std::string_view file, AllocationPageKind kind, std::string_view section,
                        std::string_view machine, std::string* out) {
  *out += ",\n{";
  AppendMember("file", file, out);
  AppendMember("kind", PageKindName(kind), out);
  AppendMember("section", section, out);
  AppendMember("machine", machine, out);
  *out += ",\"rows\":[";
}

// One field of a CSV line: quoted when it holds a comma, a quote or a line break, its quotes
// doubled.
void AppendCsvField(std::string_view text, std::string* out) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
    *out += text;
    return;
  }
  *out += '"';
  for (char c : text) {
    if (c == '"') *out += '"';
    *out += c;
  }
  *out += '"';
}

// The row's CSV line on page `file` of kind `kind`; `*source` is room for its source text.
void AppendRowCsv(const ExportLayout& layout, std::string_view language, std::string_view file,
                  AllocationPageKind kind, const RowView& row, std::string* source,
                  std::string* out) {
  for (std::string_view field : {language, file, row.section, row.machine, row.position}) {
    AppendCsvField(field, out);
    *out += ',';
  }
  *out += PageKindName(kind);
  *out += ',';
  source->clear();
  AppendOriginText(row.origin, source);
  AppendCsvField(*source, out);
  *out += ',';
  AppendCsvField(row.font_class, out);
  for (std::size_t c = 0; c < layout.cells; ++c) {
    *out += ',';
    if (c < row.cells.size()) AppendCsvField(row.cells[c], out);
  }
  *out += "\r\n";
}

}  // namespace

std::optional<ExportFormat> ExportFormatOf(const std::string& path) {
  const std::size_t dot = path.find_last_of("./");
  if (dot == std::string::npos || path[dot] != '.') return std::nullopt;
  const std::string_view extension = std::string_view(path).substr(dot);
  if (EqualsIgnoringCase(extension, ".json")) return ExportFormat::kJson;
  if (EqualsIgnoringCase(extension, ".csv")) return ExportFormat::kCsv;
  return std::nullopt;
}

void AppendPageExport(const ExportLayout& layout, const std::string& language,
                      const AllocationPage& page, std::string* out) {
  std::string source;
  if (layout.format == ExportFormat::kCsv) {
    for (const AllocationRow& row : page.rows) {
      WithViewOf(row, [&](const RowView& view) {
        AppendRowCsv(layout, language, page.file, page.kind, view, &source, out);
      });
    }
    return;
  }
  AppendPageHeadJson(page.file, page.kind, page.section, page.machine, out);
  for (std::size_t r = 0; r < page.rows.size(); ++r) {
    *out += r > 0 ? ",\n" : "\n";
    WithViewOf(page.rows[r], [&](const RowView& view) {
      AppendRowHeadJson(view.section, view.machine, view.position, out);
      AppendSourceJson(view.origin, &source, out);
      JsonWriter writer(out);
      AppendRowCellsJson(view, writer);
    });
  }
  *out += "]}";
}

SectionPagesExport::SectionPagesExport(const ExportLayout& layout, const std::string& language,
                                       const std::string& section, const std::string& machine,
                                       const PartPlace& part, std::string* out)
    : layout_(layout),
      language_(language),
      section_(section),
      machine_(machine),
      part_(part),
      out_(out),
      origin_{part.workbook, part.sheet, 0, 0, 0} {
  // The source of every row of the part starts with its workbook and sheet; the row number
  // that follows needs no escaping.
  AppendOriginPlace(origin_, &scratch_);
  source_head_ = ",\"source\":";
  AppendJsonString(scratch_, &source_head_);
  source_head_.pop_back();  // the closing quote
}

void SectionPagesExport::SetOriginOf(const ShownRowView& row) {
  origin_.sheet_row = SheetRowOf(row.origin, part_);
  origin_.block = row.origin.block;
  origin_.repetition = row.origin.repetition;
}

// A group's rows are written as "\n{...},\n{...}", preceded by a comma unless they are the
// first of their page: that text is the same wherever the group is.
void SectionPagesExport::AppendGroupJson(const std::shared_ptr<const ShownRowGroup>& group,
                                         bool first) {
  if (group->empty()) return;
  if (!first) *out_ += ',';
  for (const WrittenGroup& written : written_groups_) {
    if (written.group == group) {
      out_->append(*out_, written.offset, written.size);
      return;
    }
  }
  const std::size_t offset = out_->size();
  // Room for the group's rows at once, and for its copy on the detail page: a row takes about
  // 200 bytes. Growing step by step would copy the unit's text again and again.
  constexpr std::size_t kRowBytes = 256;
  out_->reserve(offset + 2 * group->size() * kRowBytes);
  std::string head;  // the same for every row of the group
  {
    JsonWriter writer(out_);
    group->ForEachRow([&](const ShownRowView& row) {
      writer.Raw(head.empty() ? "\n" : ",\n");
      if (head.empty()) AppendRowHeadJson(section_, machine_, row.position, &head);
      writer.Raw(head);
      SetOriginOf(row);
      if (origin_.sheet_row == 0) {
        writer.Raw(",\"source\":\"\"");
      } else {
        writer.Raw(source_head_);
        scratch_.clear();
        AppendOriginRow(origin_, &scratch_);
        writer.Raw(scratch_);
        writer.Raw('"');
      }
      AppendRowCellsJson({section_, machine_, row.position, origin_, row.font_class, row.cells,
                          row.address_columns},
                         writer);
    });
  }
  written_groups_.push_back({group, offset, out_->size() - offset});
}

void SectionPagesExport::AppendPage(const std::string& file, AllocationPageKind kind,
                                    const ShownRows& rows) {
  if (layout_.format == ExportFormat::kCsv) {
    for (const std::shared_ptr<const ShownRowGroup>& group : rows) {
      group->ForEachRow([&](const ShownRowView& row) {
        SetOriginOf(row);
        AppendRowCsv(layout_, language_, file, kind,
                     {section_, machine_, row.position, origin_, row.font_class, row.cells,
                      row.address_columns},
                     &scratch_, out_);
      });
    }
    return;
  }
  AppendPageHeadJson(file, kind, section_, machine_, out_);
  const std::size_t no_rows = out_->size();
  for (const std::shared_ptr<const ShownRowGroup>& group : rows) {
    AppendGroupJson(group, out_->size() == no_rows);
  }
  *out_ += "]}";
}

std::string ExportHead(const ExportLayout& layout, const std::vector<InputFile>& inputs,
                       const std::string& version) {
  if (layout.format == ExportFormat::kCsv) {
    std::string header = "language,page,section,machine,position,kind,source,class";
    for (std::size_t c = 1; c <= layout.cells; ++c) header += ",cell" + std::to_string(c);
    return header + "\r\n";
  }
  ordered_json head = {{"format_version", kExportFormatVersion},
                       {"program", {{"name", "orvano-html"}, {"version", version}}},
                       {"inputs", ordered_json::array()}};
  for (const InputFile& input : inputs) {
    head["inputs"].push_back({{"role", input.role},
                              {"path", input.path},
                              {"format", input.format},
                              {"bytes", input.bytes}});
  }
  std::string text = Dumped(head);
  text.pop_back();  // the closing brace: the languages follow
  return text + ",\"languages\":[";
}

std::string LanguageHead(const ExportLayout& layout, const std::string& id, bool first) {
  if (layout.format == ExportFormat::kCsv) return "";
  std::string text = first ? "\n{" : ",\n{";
  AppendMember("id", id, &text);
  return text + ",\"pages\":[";
}

std::string_view LanguageTail(const ExportLayout& layout) {
  return layout.format == ExportFormat::kCsv ? "" : "]}";
}

std::string_view ExportTail(const ExportLayout& layout) {
  return layout.format == ExportFormat::kCsv ? "" : "]}\n";
}

// Each page's JSON text starts with the comma that joins it to the one before.
std::string_view PagesText(const ExportLayout& layout, std::string_view pages, bool first) {
  if (layout.format == ExportFormat::kJson && first && !pages.empty()) pages.remove_prefix(1);
  return pages;
}

std::size_t MostCells(const Allocation& allocation) {
  std::size_t cells = 0;
  for (const LanguageAllocation& language : allocation.languages) {
    for (const AllocationPage& page : language.pages) {
      for (const AllocationRow& row : page.rows) cells = std::max(cells, row.cells.size());
    }
  }
  return cells;
}

std::string ExportText(const ExportLayout& layout, const Allocation& allocation,
                       const std::vector<InputFile>& inputs, const std::string& version) {
  std::string text = ExportHead(layout, inputs, version);
  for (std::size_t l = 0; l < allocation.languages.size(); ++l) {
    const LanguageAllocation& language = allocation.languages[l];
    text += LanguageHead(layout, language.language, l == 0);
    bool first = true;
    for (const AllocationPage& page : language.pages) {
      std::string pages;
      AppendPageExport(layout, language.language, page, &pages);
      text += PagesText(layout, pages, first);
      first = first && pages.empty();
    }
    text += LanguageTail(layout);
  }
  return text + std::string(ExportTail(layout));
}

}  // namespace orvano
