#include "generation/search_page.h"

#include <cstddef>
#include <map>
#include <utility>

#include "generation/allocation.h"
#include "support/text_codec.h"

namespace orvano {
namespace {

// Inside a run's text, rows are separated by U+001E and a row's cells by U+001F, written as
// raw bytes: one byte each instead of an escape, and characters no page text needs.
constexpr char kRowSeparator = '\x1e';
constexpr char kCellSeparator = '\x1f';

// The page searches the index's rows in the browser; all it needs of the index is described
// in SearchIndexText. Data is only ever inserted with createTextNode or textContent.
constexpr char kPage[] = R"html(<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<meta name="color-scheme" content="light dark">
<title>Search</title>
<style>
:root { --bg: #ffffff; --fg: #1b1b1b; --muted: #595959; --line: #c9d1dc; --hover: #eef2f7;
  --link: #0b57a4; --mark-bg: #ffe066; --mark-fg: #000000; }
@media (prefers-color-scheme: dark) {
  :root { --bg: #16181c; --fg: #e8e8e8; --muted: #a9a9a9; --line: #3b414a; --hover: #242830;
    --link: #8ab4f8; --mark-bg: #7a5f00; --mark-fg: #ffffff; }
}
body { margin: 0 auto; max-width: 64rem; padding: 1rem; background: var(--bg); color: var(--fg);
  font: 16px/1.45 system-ui, sans-serif; }
h1 { font-size: 1.5rem; margin: 0 0 1rem; }
label { display: block; font-weight: 600; margin-bottom: .3rem; }
input { box-sizing: border-box; width: 100%; padding: .45rem .6rem; font: inherit;
  color: var(--fg); background: var(--bg); border: 1px solid var(--muted); border-radius: 4px; }
:focus-visible { outline: 3px solid var(--link); outline-offset: 2px; }
#status { color: var(--muted); margin: .6rem 0 1rem; }
h2 { font-size: 1.1rem; margin: 1.4rem 0 .1rem; }
.pages { margin: 0 0 .3rem; font-size: .9rem; }
.pages a + a { margin-left: 1rem; }
a { color: var(--link); }
ol { list-style: none; margin: 0; padding: 0; border-top: 1px solid var(--line); }
li a { display: block; padding: .25rem .4rem; color: var(--fg); text-decoration: none;
  border-bottom: 1px solid var(--line); }
li a:hover { background: var(--hover); }
.cell + .cell::before { content: " \00b7  "; color: var(--muted); }
mark { background: var(--mark-bg); color: var(--mark-fg); }
</style>
</head>
<body>
<main>
<h1>Search</h1>
<div role="search">
<label for="query">Find rows by address, text, section or machine</label>
<input type="search" id="query" autocomplete="off" spellcheck="false" autofocus
  aria-describedby="status">
</div>
<p id="status" role="status" aria-live="polite">Loading the index&hellip;</p>
<noscript><p>The search needs JavaScript.</p></noscript>
<div id="results"></div>
</main>
<script src="SearchIndex.js"></script>
<script>
(function () {
  "use strict";
  // How long the index took to arrive, and below how long until the page answered its first
  // query, are kept on the <html> element for whoever measures the page.
  document.documentElement.setAttribute("data-loaded-ms", performance.now().toFixed(1));
  var kMostShown = 200;
  var kRowSeparator = "\x1e";
  var kCellSeparator = "\x1f";
  var root = document.documentElement;
  var field = document.getElementById("query");
  var status = document.getElementById("status");
  var results = document.getElementById("results");

  // Case and accents do not count: "Ü" finds "u", "ß" finds "ss", "Ё" finds "е". Folding is
  // the cost of loading, so the text is lower-cased in one go and only the characters that can
  // carry an accent (Latin, Greek and Cyrillic letters beyond the plain ones, and the combining
  // accents themselves) are decomposed, one by one through a cache. "й" is left as it is: its
  // breve makes a letter of its own.
  var foldedLetters = new Map();
  function foldLetter(c) {
    var folded = foldedLetters.get(c);
    if (folded === undefined) {
      folded = c === "\u00df" ? "ss" : c === "\u03c2" ? "\u03c3"
        : c.normalize("NFD").replace(/[\u0300-\u036f]/g, "");
      foldedLetters.set(c, folded);
    }
    return folded;
  }
  var kAccented = new RegExp("[\u00df-\u024f\u0300-\u036f\u0390\u03ac-\u03b0\u03c2" +
    "\u03ca-\u03ce\u0450-\u045f\u04c0-\u04ff\u1e00-\u1fff]", "g");
  function fold(text) {
    return text.toLowerCase().replace(kAccented, foldLetter);
  }

  var index = window.orvanoSearchIndex;
  if (!index) {
    status.textContent = "The search index (SearchIndex.js) could not be loaded.";
    field.disabled = true;
    return;
  }
  var pages = index.pages, groups = index.groups, runs = index.runs;

  // Folded once at load: each group as "section U+001F machine" and each run whole. A run's
  // rows as written are split only when some of them are shown.
  var groupFolded = [], runFolded = [], runRowCounts = [], runRows = [], rowCount = 0;
  for (var g = 0; g < groups.length; g++) {
    groupFolded.push(fold(groups[g][0] + kCellSeparator + groups[g][1]));
  }
  for (var r = 0; r < runs.length; r++) {
    var text = runs[r][2], rows = 1;
    for (var at = text.indexOf(kRowSeparator); at >= 0; at = text.indexOf(kRowSeparator, at + 1)) {
      rows++;
    }
    runFolded.push(fold(text));
    runRowCounts.push(rows);
    runRows.push(null);
    rowCount += rows;
  }

  function queryWords(query) {
    var words = [];
    fold(query.replace(/[\x00-\x1f]/g, " ")).split(/\s+/).forEach(function (word) {
      if (word && words.indexOf(word) < 0) words.push(word);
    });
    return words;
  }

  // Every word must occur in one of the row's cells or in its section or machine. Returns the
  // first kMostShown rows as pairs (run, row) and how many rows match in all. Within a run, the
  // longest word the group lacks is looked for in the run's whole text, and only the rows it
  // occurs in are checked for the other words.
  function findRows(words) {
    var shown = [], total = 0;
    for (var r = 0; r < runs.length; r++) {
      var group = groupFolded[runs[r][1]], text = runFolded[r];
      var rest = words.filter(function (word) { return group.indexOf(word) < 0; });
      if (rest.length === 0) {
        for (var i = 0; i < runRowCounts[r] && shown.length < 2 * kMostShown; i++) shown.push(r, i);
        total += runRowCounts[r];
        continue;
      }
      rest.sort(function (a, b) { return b.length - a.length; });
      var row = 0, counted = 0;  // `row` separators lie before `counted`
      for (var at = text.indexOf(rest[0]); at >= 0;) {
        var start = text.lastIndexOf(kRowSeparator, at) + 1;
        var end = text.indexOf(kRowSeparator, at);
        if (end < 0) end = text.length;
        var line = rest.length > 1 ? text.slice(start, end) : "";
        var k = 1;
        while (k < rest.length && line.indexOf(rest[k]) >= 0) k++;
        if (k === rest.length) {
          if (shown.length < 2 * kMostShown) {
            for (var next = text.indexOf(kRowSeparator, counted); next >= 0 && next < start;
                 next = text.indexOf(kRowSeparator, counted)) {
              row++;
              counted = next + 1;
            }
            shown.push(r, row);
          }
          total++;
        }
        at = end < text.length ? text.indexOf(rest[0], end + 1) : -1;
      }
    }
    return { shown: shown, total: total };
  }

  // Appends `text` to `parent`, each stretch where a word occurs inside a <mark>. The text is
  // folded character by character, remembering where each folded unit came from, so that a
  // match in the folded text can be marked in the text as written.
  function appendMarked(parent, text, words) {
    var folded = "", from = [], to = [];
    for (var i = 0; i < text.length;) {
      var n = text.codePointAt(i) > 0xffff ? 2 : 1;
      var piece = fold(text.substr(i, n));
      if (piece.length === 0 && to.length > 0) to[to.length - 1] = i + n;
      for (var k = 0; k < piece.length; k++) {
        from.push(i);
        to.push(i + n);
      }
      folded += piece;
      i += n;
    }
    var marked = new Uint8Array(text.length);
    words.forEach(function (word) {
      for (var at = folded.indexOf(word); at >= 0; at = folded.indexOf(word, at + 1)) {
        marked.fill(1, from[at], to[at + word.length - 1]);
      }
    });
    for (var start = 0, end = 1; start < text.length; end++) {
      if (end < text.length && marked[end] === marked[start]) continue;
      var piece = text.slice(start, end);
      if (marked[start]) {
        var mark = document.createElement("mark");
        mark.textContent = piece;
        parent.appendChild(mark);
      } else {
        parent.appendChild(document.createTextNode(piece));
      }
      start = end;
    }
  }

  function link(file, text) {
    var a = document.createElement("a");
    a.href = encodeURIComponent(file);
    a.textContent = text;
    return a;
  }

  function count(n, one, many) {
    return n.toLocaleString("en") + " " + (n === 1 ? one : many);
  }

  // One heading per run (its section and machine, its page and the page's detail twin), then
  // the run's rows, each a link to the page showing its non-empty cells.
  function showRows(words, found) {
    results.textContent = "";
    var list = null, run = -1;
    for (var h = 0; h < found.shown.length; h += 2) {
      if (found.shown[h] !== run) {
        run = found.shown[h];
        var group = groups[runs[run][1]], page = pages[runs[run][0]];
        var part = document.createElement("section");
        var heading = document.createElement("h2");
        appendMarked(heading, group[0] || page[0], words);
        if (group[1]) {
          heading.appendChild(document.createTextNode(" \u00b7 "));
          appendMarked(heading, group[1], words);
        }
        var links = document.createElement("p");
        links.className = "pages";
        links.appendChild(link(page[0], page[0]));
        if (page[1]) links.appendChild(link(page[1], "Details"));
        list = document.createElement("ol");
        part.appendChild(heading);
        part.appendChild(links);
        part.appendChild(list);
        results.appendChild(part);
        if (runRows[run] === null) runRows[run] = runs[run][2].split(kRowSeparator);
      }
      var item = document.createElement("li");
      var a = link(page[0], "");
      runRows[run][found.shown[h + 1]].split(kCellSeparator).forEach(function (cell) {
        var span = document.createElement("span");
        span.className = "cell";
        appendMarked(span, cell, words);
        a.appendChild(span);
      });
      item.appendChild(a);
      list.appendChild(item);
    }
  }

  function search(query) {
    var started = performance.now();
    var words = queryWords(query);
    var found = { shown: [], total: 0 };
    if (rowCount === 0) {
      status.textContent = "This project has no rows to search.";
    } else if (words.length === 0) {
      status.textContent = "Type words to search " + count(rowCount, "row", "rows") + ".";
    } else {
      found = findRows(words);
      if (found.total === 0) {
        status.textContent = "No rows match.";
      } else if (found.total * 2 > found.shown.length) {
        status.textContent = "Showing the first " + kMostShown + " of " +
          count(found.total, "row", "rows") + " found.";
      } else {
        status.textContent = count(found.total, "row", "rows") + " found.";
      }
    }
    showRows(words, found);
    root.setAttribute("data-found", found.total);
    root.setAttribute("data-search-ms", (performance.now() - started).toFixed(1));
  }

  // The query lives in the address as "#q=<query, URL-encoded>", so a search can be shared.
  function queryInAddress() {
    var parts = location.hash.replace(/^#/, "").split("&");
    for (var i = 0; i < parts.length; i++) {
      if (parts[i].slice(0, 2) !== "q=") continue;
      var value = parts[i].slice(2).replace(/\+/g, " ");
      try {
        return decodeURIComponent(value);
      } catch (e) {
        return value;
      }
    }
    return "";
  }

  function putQueryInAddress(query) {
    var address = query ? "#q=" + encodeURIComponent(query) : location.pathname + location.search;
    try {
      history.replaceState(null, "", address);
    } catch (e) {
      if (query) location.replace(address);
    }
  }

  field.addEventListener("input", function () {
    search(field.value);
    putQueryInAddress(field.value);
  });
  field.addEventListener("keydown", function (event) {
    var first = results.querySelector("li a");
    if (event.key === "Enter" && first) {
      event.preventDefault();
      first.focus();
    }
  });
  window.addEventListener("hashchange", function () {
    var query = queryInAddress();
    if (query === field.value) return;
    field.value = query;
    search(query);
  });

  field.value = queryInAddress();
  search(field.value);
  root.setAttribute("data-ready-ms", performance.now().toFixed(1));
})();
</script>
</body>
</html>
)html";

// The length of the valid UTF-8 sequence at `at`, or 0 when the bytes there are not
// one: a stray continuation byte, a cut sequence, an overlong form, a surrogate or a code point
// beyond U+10FFFF.
std::size_t Utf8SequenceLength(std::string_view text, std::size_t at) {
  std::size_t end = at;
  return NextUtf8(text, &end) ? end - at : 0;
}

bool IsLineSeparator(std::string_view text, std::size_t at, std::size_t length) {
  // U+2028 and U+2029 end a line in older script engines' string literals.
  return length == 3 && text[at] == '\xE2' && text[at + 1] == '\x80' &&
         (text[at + 2] == '\xA8' || text[at + 2] == '\xA9');
}

// Appends `text` as the inside of a double-quoted script string literal. Quotes, backslashes,
// control characters, U+2028, U+2029 and "<" (so that no "</script" or "<!--" appears) are
// escaped; a byte that is not part of valid UTF-8 becomes U+FFFD. In a cell the separators of
// the index become spaces, so that a cell stays one cell.
void AppendScriptText(std::string_view text, bool is_cell, std::string& out) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::size_t at = 0;
  while (at < text.size()) {
    // Copy the longest stretch that needs no escape in one go.
    const std::size_t start = at;
    while (at < text.size()) {
      const auto c = static_cast<unsigned char>(text[at]);
      if (c < 0x80) {
        if (c < 0x20 || c == 0x7F || c == '"' || c == '\\' || c == '<') break;
        ++at;
        continue;
      }
      const std::size_t length = Utf8SequenceLength(text, at);
      if (length == 0 || IsLineSeparator(text, at, length)) break;
      at += length;
    }
    out.append(text, start, at - start);
    if (at == text.size()) break;

    const auto c = static_cast<unsigned char>(text[at]);
    if (c >= 0x80) {
      const std::size_t length = Utf8SequenceLength(text, at);
      if (length == 0) {
        out += "\\ufffd";
        ++at;
      } else {
        out += text[at + 2] == '\xA8' ? "\\u2028" : "\\u2029";
        at += length;
      }
      continue;
    }
    ++at;
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      case kRowSeparator:
      case kCellSeparator:
        if (is_cell) {
          out += ' ';
          break;
        }
        [[fallthrough]];
      default:  // "<", DEL and the other control characters
        out += "\\x";
        out += kHex[c >> 4];
        out += kHex[c & 15];
    }
  }
}

void AppendQuoted(std::string_view text, std::string& out) {
  out += '"';
  AppendScriptText(text, false, out);
  out += '"';
}

// The cells a row shows in the results: those after the font class column that are not empty.
bool HasShownCell(const AllocationRow& row) {
  for (std::size_t k = 1; k < row.cells.size(); ++k) {
    if (!row.cells[k].empty()) return true;
  }
  return false;
}

void AppendRow(const AllocationRow& row, std::string& out) {
  bool first = true;
  for (std::size_t k = 1; k < row.cells.size(); ++k) {
    if (row.cells[k].empty()) continue;
    if (!first) out += kCellSeparator;
    AppendScriptText(row.cells[k], true, out);
    first = false;
  }
}

// Detail pages are not searched: a detail page is built from the same rows as its section
// page, so each hit would be listed twice. Results name the section page, which a reader opens
// first, and link to its detail twin beside it.
bool IsSearched(const AllocationPage& page) {
  return page.kind == AllocationPageKind::kSection || page.kind == AllocationPageKind::kOverview;
}

// A section and machine, viewing the strings of the allocation.
using Group = std::pair<std::string_view, std::string_view>;
Group GroupOf(const std::string& section, const std::string& machine) { return {section, machine}; }

}  // namespace

bool IsSearchFileName(std::string_view file_name) {
  auto equal_ignoring_case = [file_name](std::string_view name) {
    if (file_name.size() != name.size()) return false;
    for (std::size_t k = 0; k < name.size(); ++k) {
      char c = file_name[k];
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
      char d = name[k];
      if (d >= 'A' && d <= 'Z') d = static_cast<char>(d - 'A' + 'a');
      if (c != d) return false;
    }
    return true;
  };
  return equal_ignoring_case(kSearchPageName) || equal_ignoring_case(kSearchIndexName);
}

std::string SearchPageText() { return kPage; }

// The index is one assignment of an object literal:
//   runs:   [page, group, "rows"] per stretch of rows of one page, section and machine, in the
//           pages' order; "rows" holds the rows separated by U+001E, each row its shown cells
//           separated by U+001F.
//   pages:  [file, detail twin's file or ""], referred to by number from the runs.
//   groups: [section, machine], referred to by number from the runs.
// Pages and groups are written once, rows carry no keys: the index stays close to the size of
// the texts themselves.
std::string SearchIndexText(const LanguageAllocation& language) {
  std::map<Group, std::string_view> detail_twins;
  std::size_t text_bytes = 0;
  for (const AllocationPage& page : language.pages) {
    if (page.kind == AllocationPageKind::kDetail) {
      detail_twins.emplace(GroupOf(page.section, page.machine), page.file);
      continue;
    }
    for (const AllocationRow& row : page.rows) {
      for (const std::string& cell : row.cells) text_bytes += cell.size() + 1;
    }
  }

  std::string out;
  out.reserve(text_bytes + text_bytes / 16 + 4096);
  out += "window.orvanoSearchIndex = {\n\"runs\": [";
  std::vector<const AllocationPage*> pages;
  std::map<Group, std::size_t> group_numbers;
  std::vector<Group> groups;
  bool in_run = false;
  const AllocationRow* run_row = nullptr;  // the first row of the open run
  for (const AllocationPage& page : language.pages) {
    if (!IsSearched(page)) continue;
    bool page_numbered = false;
    run_row = nullptr;
    for (const AllocationRow& row : page.rows) {
      if (!HasShownCell(row)) continue;
      if (run_row != nullptr && row.section == run_row->section &&
          row.machine == run_row->machine) {
        out += kRowSeparator;
        AppendRow(row, out);
        continue;
      }
      if (!page_numbered) {
        pages.push_back(&page);
        page_numbered = true;
      }
      const Group key = GroupOf(row.section, row.machine);
      const auto [group, added] = group_numbers.emplace(key, groups.size());
      if (added) groups.push_back(key);
      out += in_run ? "\"],\n[" : "\n[";
      out += std::to_string(pages.size() - 1);
      out += ',';
      out += std::to_string(group->second);
      out += ",\"";
      AppendRow(row, out);
      in_run = true;
      run_row = &row;
    }
  }
  out += in_run ? "\"]\n],\n\"pages\": [" : "],\n\"pages\": [";
  for (std::size_t k = 0; k < pages.size(); ++k) {
    out += k == 0 ? "\n[" : ",\n[";
    AppendQuoted(pages[k]->file, out);
    out += ',';
    const auto twin = detail_twins.find(GroupOf(pages[k]->section, pages[k]->machine));
    AppendQuoted(pages[k]->kind == AllocationPageKind::kSection && twin != detail_twins.end()
                     ? twin->second
                     : std::string_view(),
                 out);
    out += ']';
  }
  out += pages.empty() ? "],\n\"groups\": [" : "\n],\n\"groups\": [";
  for (std::size_t k = 0; k < groups.size(); ++k) {
    out += k == 0 ? "\n[" : ",\n[";
    AppendQuoted(groups[k].first, out);
    out += ',';
    AppendQuoted(groups[k].second, out);
    out += ']';
  }
  out += groups.empty() ? "]\n};\n" : "\n]\n};\n";
  return out;
}

std::vector<GeneratedFile> SearchPageFiles(const LanguageAllocation& language) {
  std::vector<GeneratedFile> files;
  files.push_back({kSearchPageName, SearchPageText()});
  files.push_back({kSearchIndexName, SearchIndexText(language)});
  return files;
}

}  // namespace orvano
