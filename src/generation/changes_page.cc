#include "generation/changes_page.h"

#include <map>

#include "generation/allocation_diff.h"
#include "generation/comparison_output.h"
#include "generation/html_text.h"

namespace orvano {
namespace {

constexpr char kPageStart[] =
    "<!DOCTYPE html>\n"
    "<html lang=\"en\">\n"
    "<head>\n"
    "<meta charset=\"utf-8\">\n"
    "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
    "<meta name=\"color-scheme\" content=\"light dark\">\n"
    "<title>Changes</title>\n"
    "<style>\n"
    "body { font-family: sans-serif; margin: 1.5em; line-height: 1.4; }\n"
    "table { border-collapse: collapse; margin: 0.5em 0 1.5em; }\n"
    "th, td { border: 1px solid #8888; padding: 0.2em 0.5em; text-align: left; "
    "vertical-align: top; }\n"
    "td.number { text-align: right; }\n"
    ".cell { display: inline-block; margin-right: 0.8em; }\n"
    "del, ins { margin-right: 0.8em; padding: 0 0.15em; }\n"
    "del .cell, ins .cell { margin-right: 0; }\n"
    "del { background: #fdd; }\n"
    "ins { background: #dfd; text-decoration: none; }\n"
    "tr.added td.kind { color: #070; }\n"
    "tr.removed td.kind { color: #a00; }\n"
    ".note { font-weight: normal; font-size: 0.8em; }\n"
    "@media (prefers-color-scheme: dark) {\n"
    "  body { background: #1b1b1b; color: #ddd; }\n"
    "  a { color: #8cf; }\n"
    "  del { background: #633; color: inherit; }\n"
    "  ins { background: #263; color: inherit; }\n"
    "  tr.added td.kind { color: #8d8; }\n"
    "  tr.removed td.kind { color: #f88; }\n"
    "}\n"
    "</style>\n"
    "</head>\n"
    "<body>\n"
    "<h1>Changes</h1>\n";

struct Counts {
  std::size_t changed = 0;
  std::size_t added = 0;
  std::size_t removed = 0;
  std::size_t pages = 0;
};

Counts CountsOf(const LanguageChanges& language) {
  Counts counts;
  counts.pages = language.pages.size();
  for (const PageChanges& page : language.pages) {
    for (const RowChange& row : page.rows) {
      ++(row.kind == ChangeKind::kChanged ? counts.changed
         : row.kind == ChangeKind::kAdded ? counts.added
                                          : counts.removed);
    }
  }
  return counts;
}

std::string Anchor(const std::string& language) { return "language-" + LinkSegment(language); }

std::string Cell(const std::string& text) {
  return "<span class=\"cell\">" + EscapeHtml(text) + "</span>";
}

std::string CellOf(const AllocationRow& row, std::size_t k) {
  return k < row.cells.size() ? row.cells[k] : std::string();
}

// The cells of `row` after the font class column, empty ones left out; those that differ from
// `other` (when given) inside `mark` ("del" or "ins"), and before them the named fields
// (section, machine, class) that differ.
std::string CellsHtml(const AllocationRow& row, const AllocationRow* other, const char* mark) {
  const std::string open = std::string("<") + mark + ">";
  const std::string close = std::string("</") + mark + ">";
  std::string out;
  if (other != nullptr) {
    auto field = [&](const char* name, const std::string& mine, const std::string& theirs) {
      if (mine != theirs) out += open + Cell(std::string(name) + " " + mine) + close + " ";
    };
    field("section", row.section, other->section);
    field("machine", row.machine, other->machine);
    field("class", row.font_class, other->font_class);
  }
  for (std::size_t k = 1; k < row.cells.size(); ++k) {
    if (row.cells[k].empty()) continue;
    const bool differs = other != nullptr && CellOf(*other, k) != row.cells[k];
    out += differs ? open + Cell(row.cells[k]) + close : Cell(row.cells[k]);
    out += " ";
  }
  if (!out.empty()) out.pop_back();
  return out;
}

std::string PositionHtml(const RowChange& row) {
  if (row.kind == ChangeKind::kChanged && row.old_row.position != row.new_row.position) {
    return "<del>" + EscapeHtml(row.old_row.position) + "</del> <ins>" +
           EscapeHtml(row.new_row.position) + "</ins>";
  }
  return EscapeHtml(row.ShownRow().position);
}

std::string RowHtml(const RowChange& row) {
  const std::string kind(ChangeKindName(row.kind));
  std::string old_cells, new_cells;
  if (row.kind == ChangeKind::kChanged) {
    old_cells = CellsHtml(row.old_row, &row.new_row, "del");
    new_cells = CellsHtml(row.new_row, &row.old_row, "ins");
  } else if (row.kind == ChangeKind::kAdded) {
    new_cells = CellsHtml(row.new_row, nullptr, "ins");
  } else {
    old_cells = CellsHtml(row.old_row, nullptr, "del");
  }
  return "<tr class=\"" + kind + "\"><td>" + PositionHtml(row) + "</td><td>" +
         EscapeHtml(OriginTextInWorkbook(row.ShownRow().origin)) + "</td><td class=\"kind\">" +
         kind + "</td><td>" + old_cells + "</td><td>" + new_cells + "</td></tr>\n";
}

// The rows of `page` in one table per machine, in the order the machines first appear.
std::string PageRowsHtml(const PageChanges& page) {
  std::vector<std::string> machines;
  std::map<std::string, std::vector<const RowChange*>> rows_of;
  for (const RowChange& row : page.rows) {
    const std::string& machine = row.ShownRow().machine;
    auto [it, inserted] = rows_of.try_emplace(machine);
    if (inserted) machines.push_back(machine);
    it->second.push_back(&row);
  }
  std::string out;
  for (const std::string& machine : machines) {
    if (!machine.empty()) out += "<h4>" + EscapeHtml(machine) + "</h4>\n";
    out +=
        "<table>\n<thead><tr><th>Position</th><th>Source</th><th>Change</th><th>Old</th>"
        "<th>New</th></tr></thead>\n<tbody>\n";
    for (const RowChange* row : rows_of[machine]) out += RowHtml(*row);
    out += "</tbody>\n</table>\n";
  }
  return out;
}

std::string PageHeading(const LanguageChanges& language, const PageChanges& page,
                        bool language_folders) {
  std::string name = EscapeHtml(page.file);
  if (page.kind != ChangeKind::kRemoved) {
    const std::string link = language_folders
                                 ? LinkSegment(language.language) + "/" + LinkSegment(page.file)
                                 : LinkSegment(page.file);
    name = "<a href=\"" + EscapeHtml(link) + "\">" + name + "</a>";
  }
  if (page.kind == ChangeKind::kAdded) name += " <span class=\"note\">(new page)</span>";
  if (page.kind == ChangeKind::kRemoved) name += " <span class=\"note\">(removed page)</span>";
  return "<h3>" + name + "</h3>\n";
}

std::string CountsRow(const std::string& language, const LanguageChanges* changes) {
  const Counts counts = changes ? CountsOf(*changes) : Counts{};
  std::string name = EscapeHtml(language);
  if (changes) name = "<a href=\"#" + EscapeHtml(Anchor(language)) + "\">" + name + "</a>";
  if (changes && changes->kind == ChangeKind::kAdded) name += " (new)";
  if (changes && changes->kind == ChangeKind::kRemoved) name += " (removed)";
  auto number = [](std::size_t n) { return "<td class=\"number\">" + std::to_string(n) + "</td>"; };
  return "<tr><td>" + name + "</td>" + number(counts.changed) + number(counts.added) +
         number(counts.removed) + number(counts.pages) + "</tr>\n";
}

}  // namespace

std::string ChangesPageText(const Allocation& old_allocation, const Allocation& new_allocation,
                            bool language_folders) {
  const AllocationDifference difference = CompareAllocations(old_allocation, new_allocation);
  std::map<std::string, const LanguageChanges*> changes_of;
  for (const LanguageChanges& language : difference.languages) {
    changes_of[language.language] = &language;
  }
  auto find = [&changes_of](const std::string& id) -> const LanguageChanges* {
    const auto it = changes_of.find(id);
    return it == changes_of.end() ? nullptr : it->second;
  };
  std::string page = kPageStart;
  page += "<p>" + EscapeHtml(ComparisonSummary(difference)) + "</p>\n";
  page +=
      "<table>\n<thead><tr><th>Language</th><th>Changed</th><th>Added</th><th>Removed</th>"
      "<th>Pages</th></tr></thead>\n<tbody>\n";
  for (const LanguageAllocation& language : new_allocation.languages) {
    page += CountsRow(language.language, find(language.language));
  }
  for (const LanguageChanges& language : difference.languages) {
    if (language.kind == ChangeKind::kRemoved) page += CountsRow(language.language, &language);
  }
  page += "</tbody>\n</table>\n";
  for (const LanguageChanges& language : difference.languages) {
    page += "<section id=\"" + EscapeHtml(Anchor(language.language)) + "\">\n<h2>Language " +
            EscapeHtml(language.language);
    if (language.kind == ChangeKind::kAdded) page += " <span class=\"note\">(new)</span>";
    if (language.kind == ChangeKind::kRemoved) page += " <span class=\"note\">(removed)</span>";
    page += "</h2>\n";
    for (const PageChanges& changed_page : language.pages) {
      page += PageHeading(language, changed_page, language_folders);
      page += PageRowsHtml(changed_page);
    }
    page += "</section>\n";
  }
  page += "</body>\n</html>\n";
  return page;
}

}  // namespace orvano
