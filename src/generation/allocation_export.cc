#include "generation/allocation_export.h"

#include <algorithm>
#include <nlohmann/json.hpp>

#include "support/errors.h"
#include "support/file_system.h"
#include "support/text_case.h"

namespace orvano {
namespace {

using nlohmann::ordered_json;

// Texts from a damaged input may hold bytes that are not UTF-8: they are replaced, not fatal.
std::string Dumped(const ordered_json& value) {
  return value.dump(-1, ' ', false, ordered_json::error_handler_t::replace);
}

ordered_json RowJson(const AllocationRow& row) {
  return {{"section", row.section},
          {"machine", row.machine},
          {"position", row.position},
          {"source", OriginText(row.origin)},
          {"class", row.font_class},
          {"cells", row.cells},
          {"address_cells", row.address_columns}};
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

std::string ExportJsonText(const Allocation& allocation, const std::vector<InputFile>& inputs,
                           const std::string& version) {
  // The document is written piece by piece: a whole project's rows in one tree would take
  // several times the memory of the text.
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
  for (std::size_t l = 0; l < allocation.languages.size(); ++l) {
    const LanguageAllocation& language = allocation.languages[l];
    if (l > 0) text += ',';
    text += "\n{\"id\":" + Dumped(language.language) + ",\"pages\":[";
    for (std::size_t p = 0; p < language.pages.size(); ++p) {
      const AllocationPage& page = language.pages[p];
      if (p > 0) text += ',';
      text += "\n{\"file\":" + Dumped(page.file) +
              ",\"kind\":" + Dumped(std::string(PageKindName(page.kind))) +
              ",\"section\":" + Dumped(page.section) + ",\"machine\":" + Dumped(page.machine) +
              ",\"rows\":[";
      for (std::size_t r = 0; r < page.rows.size(); ++r) {
        text += r > 0 ? ",\n" : "\n";
        text += Dumped(RowJson(page.rows[r]));
      }
      text += "]}";
    }
    text += "]}";
  }
  text += "]}\n";
  return text;
}

std::string ExportCsvText(const Allocation& allocation) {
  std::size_t cells = 0;
  for (const LanguageAllocation& language : allocation.languages) {
    for (const AllocationPage& page : language.pages) {
      for (const AllocationRow& row : page.rows) cells = std::max(cells, row.cells.size());
    }
  }
  std::string text = "language,page,section,machine,position,kind,source,class";
  for (std::size_t c = 1; c <= cells; ++c) text += ",cell" + std::to_string(c);
  text += "\r\n";
  for (const LanguageAllocation& language : allocation.languages) {
    for (const AllocationPage& page : language.pages) {
      for (const AllocationRow& row : page.rows) {
        for (const std::string* field :
             {&language.language, &page.file, &row.section, &row.machine, &row.position}) {
          AppendCsvField(*field, &text);
          text += ',';
        }
        text += PageKindName(page.kind);
        text += ',';
        AppendCsvField(OriginText(row.origin), &text);
        text += ',';
        AppendCsvField(row.font_class, &text);
        for (std::size_t c = 0; c < cells; ++c) {
          text += ',';
          if (c < row.cells.size()) AppendCsvField(row.cells[c], &text);
        }
        text += "\r\n";
      }
    }
  }
  return text;
}

void WriteExport(FileSystem& fs, const std::string& path, const Allocation& allocation,
                 const std::vector<InputFile>& inputs, const std::string& version) {
  const std::optional<ExportFormat> format = ExportFormatOf(path);
  if (!format) throw ProgramError("Export must end with .json or .csv: " + path);
  fs.WriteFileAtomically(path, *format == ExportFormat::kJson
                                   ? ExportJsonText(allocation, inputs, version)
                                   : ExportCsvText(allocation));
}

}  // namespace orvano
