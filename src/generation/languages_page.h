// The page that lists the languages a run wrote, each linking to its folder's frame page, so
// that a destination holding several languages can be published as it is.

#ifndef ORVANO_GENERATION_LANGUAGES_PAGE_H_
#define ORVANO_GENERATION_LANGUAGES_PAGE_H_

#include <string>
#include <vector>

namespace orvano {

/// The file name of the page, in the destination folder.
inline constexpr char kLanguagesPageName[] = "Languages.htm";

struct WrittenLanguage {
  std::string id;    // also the name of its folder
  std::string name;  // as the language database names it, else the id
};

/// The page's text: UTF-8 HTML5 without frames or script, one link "<id>/Index.htm" per
/// language in the given order, names and ids escaped; `with_search` adds a link to each
/// language's "<id>/Search.htm".
std::string LanguagesPageText(const std::vector<WrittenLanguage>& languages,
                              bool with_search = false);

}  // namespace orvano

#endif  // ORVANO_GENERATION_LANGUAGES_PAGE_H_
