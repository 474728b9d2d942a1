#include "generation/allocation_export.h"

#include <algorithm>
#include <nlohmann/json.hpp>

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

// Appends `text` as a JSON string. The rows are written straight into the document, for a tree
// of a whole project's rows would take many times the time and memory of the text; the rare
// text that is not UTF-8 goes through the JSON library, which replaces what is not.
void AppendJsonString(std::string_view text, std::string* out) {
  if (!IsValidUtf8(text)) {
    *out += Dumped(ordered_json(std::string(text)));
    return;
  }
  static constexpr char kHex[] = "0123456789abcdef";
  *out += '"';
  std::size_t plain = 0;  // the start of the bytes not yet appended
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c >= 0x20 && c != '"' && c != '\\') continue;
    out->append(text, plain, i - plain);
    plain = i + 1;
    switch (c) {
      case '"':
        *out += "\\\"";
        break;
      case '\\':
        *out += "\\\\";
        break;
      case '\n':
        *out += "\\n";
        break;
      case '\r':
        *out += "\\r";
        break;
      case '\t':
        *out += "\\t";
        break;
      default:
        *out += "\\u00";
        *out += kHex[c >> 4];
        *out += kHex[c & 15];
    }
  }
  out->append(text, plain, text.size() - plain);
  *out += '"';
}

// Appends `,"key":` and `text` as a JSON string (no comma for the first key).
void AppendMember(std::string_view key, std::string_view text, std::string* out) {
  if (out->back() != '{') *out += ',';
  *out += '"';
  *out += key;
  *out += "\":";
  AppendJsonString(text, out);
}

void AppendRowJson(const AllocationRow& row, std::string* out) {
  *out += '{';
  AppendMember("section", row.section, out);
  AppendMember("machine", row.machine, out);
  AppendMember("position", row.position, out);
  AppendMember("source", OriginText(row.origin), out);
  AppendMember("class", row.font_class, out);
  *out += ",\"cells\":[";
  for (std::size_t c = 0; c < row.cells.size(); ++c) {
    if (c > 0) *out += ',';
    AppendJsonString(row.cells[c], out);
  }
  *out += "],\"address_cells\":[";
  for (std::size_t c = 0; c < row.address_columns.size(); ++c) {
    if (c > 0) *out += ',';
    *out += std::to_string(row.address_columns[c]);
  }
  *out += "]}";
}

// One field of a CSV line: quoted when it holds a comma, a quote or a line break, its quotes
// doubled.
void AppendCsvField(const std::string& text, std::string* out) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) {
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
  if (layout.format == ExportFormat::kJson) {
    *out += ",\n{";
    AppendMember("file", page.file, out);
    AppendMember("kind", PageKindName(page.kind), out);
    AppendMember("section", page.section, out);
    AppendMember("machine", page.machine, out);
    *out += ",\"rows\":[";
    for (std::size_t r = 0; r < page.rows.size(); ++r) {
      *out += r > 0 ? ",\n" : "\n";
      AppendRowJson(page.rows[r], out);
    }
    *out += "]}";
    return;
  }
  for (const AllocationRow& row : page.rows) {
    for (const std::string* field :
         {&language, &page.file, &row.section, &row.machine, &row.position}) {
      AppendCsvField(*field, out);
      *out += ',';
    }
    *out += PageKindName(page.kind);
    *out += ',';
    AppendCsvField(OriginText(row.origin), out);
    *out += ',';
    AppendCsvField(row.font_class, out);
    for (std::size_t c = 0; c < layout.cells; ++c) {
      *out += ',';
      if (c < row.cells.size()) AppendCsvField(row.cells[c], out);
    }
    *out += "\r\n";
  }
}

std::vector<std::string_view> ExportPieces(const ExportLayout& layout,
                                           const std::vector<LanguageExport>& languages,
                                           const std::vector<InputFile>& inputs,
                                           const std::string& version,
                                           std::deque<std::string>* glue) {
  std::vector<std::string_view> pieces;
  auto add_glue = [&](std::string text) { pieces.push_back(glue->emplace_back(std::move(text))); };
  if (layout.format == ExportFormat::kCsv) {
    std::string header = "language,page,section,machine,position,kind,source,class";
    for (std::size_t c = 1; c <= layout.cells; ++c) header += ",cell" + std::to_string(c);
    add_glue(header + "\r\n");
    for (const LanguageExport& language : languages) {
      for (const std::string& piece : language.pieces) pieces.push_back(piece);
    }
    return pieces;
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
  text += ",\"languages\":[";
  for (std::size_t l = 0; l < languages.size(); ++l) {
    text += l > 0 ? ",\n{" : "\n{";
    AppendMember("id", languages[l].id, &text);
    text += ",\"pages\":[";
    add_glue(std::move(text));
    text.clear();
    // Each page's text starts with the comma that joins it to the one before.
    bool first = true;
    for (const std::string& piece : languages[l].pieces) {
      if (piece.empty()) continue;
      pieces.push_back(first ? std::string_view(piece).substr(1) : std::string_view(piece));
      first = false;
    }
    text = "]}";
  }
  add_glue(text + "]}\n");
  return pieces;
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
  std::vector<LanguageExport> languages;
  for (const LanguageAllocation& language : allocation.languages) {
    LanguageExport& out = languages.emplace_back();
    out.id = language.language;
    for (const AllocationPage& page : language.pages) {
      AppendPageExport(layout, language.language, page, &out.pieces.emplace_back());
    }
  }
  std::deque<std::string> glue;
  std::string text;
  for (std::string_view piece : ExportPieces(layout, languages, inputs, version, &glue)) {
    text += piece;
  }
  return text;
}

}  // namespace orvano
