#include "generation/comparison_output.h"

#include <nlohmann/json.hpp>

namespace orvano {
namespace {

using nlohmann::json;

constexpr int kComparisonFormatVersion = 1;

std::string Quoted(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\t') {
      out += "\\t";
    } else if (byte < 0x20 || byte == 0x7F) {
      out += "\\x";
      out += kHex[byte >> 4];
      out += kHex[byte & 15];
    } else {
      out += c;
    }
  }
  return out + "\"";
}

// The cells a reader sees: those after the font class column, empty ones left out.
std::string ShownCells(const AllocationRow& row) {
  std::string out;
  for (std::size_t k = 1; k < row.cells.size(); ++k) {
    if (row.cells[k].empty()) continue;
    if (!out.empty()) out += ' ';
    out += Quoted(row.cells[k]);
  }
  return out;
}

std::string CellOf(const AllocationRow& row, std::size_t k) {
  return k < row.cells.size() ? row.cells[k] : std::string();
}

std::string WhatChanged(const AllocationRow& old_row, const AllocationRow& new_row) {
  std::vector<std::string> parts;
  auto field = [&parts](const char* name, const std::string& before, const std::string& after) {
    if (before != after)
      parts.push_back(std::string(name) + " " + Quoted(before) + " -> " + Quoted(after));
  };
  field("section", old_row.section, new_row.section);
  field("machine", old_row.machine, new_row.machine);
  field("position", old_row.position, new_row.position);
  field("class", old_row.font_class, new_row.font_class);
  std::string before, after;
  const std::size_t cells = std::max(old_row.cells.size(), new_row.cells.size());
  // The font class column repeats the class; it counts as a cell only when the class is equal.
  const std::size_t first = old_row.font_class == new_row.font_class ? 0 : 1;
  for (std::size_t k = first; k < cells; ++k) {
    if (CellOf(old_row, k) == CellOf(new_row, k)) continue;
    if (!before.empty()) {
      before += ' ';
      after += ' ';
    }
    before += Quoted(CellOf(old_row, k));
    after += Quoted(CellOf(new_row, k));
  }
  if (!before.empty()) parts.push_back(before + " -> " + after);
  std::string out;
  for (const std::string& part : parts) out += (out.empty() ? "" : ", ") + part;
  return out;
}

std::string RowPlace(const std::string& page, const AllocationRow& row) {
  std::string place = page;
  if (!row.machine.empty() || !row.position.empty()) {
    place += " [" + row.machine;
    if (!row.machine.empty() && !row.position.empty()) place += ", ";
    place += row.position + "]";
  }
  const std::string source = OriginTextInWorkbook(row.origin);
  if (!source.empty()) place += " " + source;
  return place;
}

std::string Counted(std::size_t count, const char* thing) {
  return std::to_string(count) + " " + thing + (count == 1 ? "" : "s");
}

json RowJson(const AllocationRow& row) {
  return {{"section", row.section},
          {"machine", row.machine},
          {"position", row.position},
          {"source", OriginText(row.origin)},
          {"class", row.font_class},
          {"cells", row.cells},
          {"address_cells", row.address_columns}};
}

}  // namespace

std::vector<std::string> ComparisonLines(const AllocationDifference& difference) {
  std::vector<std::string> lines;
  const bool several_languages = difference.language_count > 1;
  for (const LanguageChanges& language : difference.languages) {
    if (language.kind != ChangeKind::kChanged) {
      lines.push_back(language.language + ": " + std::string(ChangeKindName(language.kind)) +
                      ": language with " + Counted(language.page_count, "page"));
    }
    for (const PageChanges& page : language.pages) {
      const std::string page_name =
          several_languages ? language.language + "/" + page.file : page.file;
      if (page.kind != ChangeKind::kChanged) {
        lines.push_back(page_name + ": " + std::string(ChangeKindName(page.kind)) + ": page with " +
                        Counted(page.rows.size(), "row"));
      }
      for (const RowChange& row : page.rows) {
        const std::string what = row.kind == ChangeKind::kChanged
                                     ? WhatChanged(row.old_row, row.new_row)
                                     : ShownCells(row.ShownRow());
        std::string line = RowPlace(page_name, row.ShownRow()) + ": " +
                           std::string(ChangeKindName(row.kind)) + ":";
        if (!what.empty()) line += " " + what;
        lines.push_back(std::move(line));
      }
    }
  }
  return lines;
}

std::string ComparisonSummary(const AllocationDifference& difference) {
  if (difference.IsEmpty()) return "no differences";
  return std::to_string(difference.changed_rows) + " changed, " +
         std::to_string(difference.added_rows) + " added, " +
         std::to_string(difference.removed_rows) + " removed in " +
         Counted(difference.pages, "page") + " (" +
         Counted(difference.languages.size(), "language") + ")";
}

std::string ComparisonText(const AllocationDifference& difference) {
  std::string text;
  for (const std::string& line : ComparisonLines(difference)) text += line + "\n";
  return text + ComparisonSummary(difference) + "\n";
}

std::string ComparisonJson(const AllocationDifference& difference) {
  json languages = json::array();
  for (const LanguageChanges& language : difference.languages) {
    json pages = json::array();
    for (const PageChanges& page : language.pages) {
      json rows = json::array();
      for (const RowChange& row : page.rows) {
        json entry = {{"change", ChangeKindName(row.kind)}};
        if (row.kind != ChangeKind::kAdded) entry["old"] = RowJson(row.old_row);
        if (row.kind != ChangeKind::kRemoved) entry["new"] = RowJson(row.new_row);
        rows.push_back(std::move(entry));
      }
      pages.push_back({{"file", page.file},
                       {"change", ChangeKindName(page.kind)},
                       {"machine", page.machine},
                       {"rows", std::move(rows)}});
    }
    languages.push_back({{"id", language.language},
                         {"change", ChangeKindName(language.kind)},
                         {"pages", std::move(pages)}});
  }
  json document = {{"format_version", kComparisonFormatVersion},
                   {"summary",
                    {{"changed", difference.changed_rows},
                     {"added", difference.added_rows},
                     {"removed", difference.removed_rows},
                     {"pages", difference.pages},
                     {"languages", difference.languages.size()}}},
                   {"languages", std::move(languages)}};
  // Texts of an export that are not UTF-8 are replaced, not fatal.
  return document.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

}  // namespace orvano
