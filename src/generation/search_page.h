// The offline search page of one language: Search.htm (UTF-8 HTML5, its style and script inline)
// and SearchIndex.js, the rows it searches, loaded by a plain script tag so that the page works
// opened from the disk. Both are made from the language's allocation record.

#ifndef ORVANO_GENERATION_SEARCH_PAGE_H_
#define ORVANO_GENERATION_SEARCH_PAGE_H_

#include <string>
#include <string_view>
#include <vector>

namespace orvano {

struct LanguageAllocation;

/// The file names of the page and its index, in the language's folder.
inline constexpr char kSearchPageName[] = "Search.htm";
inline constexpr char kSearchIndexName[] = "SearchIndex.js";

/// A file a writer made: its name in the destination folder and its bytes.
struct GeneratedFile {
  std::string name;
  std::string bytes;
};

/// True when `file_name` is the name of the search page or of its index, compared without
/// regard to ASCII case (a section page of that name would be overwritten or shadowed).
bool IsSearchFileName(std::string_view file_name);

/// The search page's text. It is the same for every language: what it searches comes from
/// the index.
std::string SearchPageText();

/// The index's text: a script that sets the global `orvanoSearchIndex` to the rows of the
/// language's section pages and overview page (detail pages are left out, see the .cc), each
/// row as its non-empty cells after the font class column, grouped in runs of one page,
/// section and machine. Texts are escaped for JavaScript string literals.
std::string SearchIndexText(const LanguageAllocation& language);

/// The page and its index, in that order.
std::vector<GeneratedFile> SearchPageFiles(const LanguageAllocation& language);

}  // namespace orvano

#endif  // ORVANO_GENERATION_SEARCH_PAGE_H_
