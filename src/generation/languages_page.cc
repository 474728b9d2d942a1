#include "generation/languages_page.h"

#include "generation/html_text.h"

namespace orvano {

std::string LanguagesPageText(const std::vector<WrittenLanguage>& languages, bool with_search) {
  std::string page =
      "<!DOCTYPE html>\n"
      "<html>\n"
      "<head>\n"
      "<meta charset=\"utf-8\">\n"
      "<title>Languages</title>\n"
      "</head>\n"
      "<body>\n"
      "<h1>Languages</h1>\n"
      "<ul>\n";
  for (const WrittenLanguage& language : languages) {
    const std::string folder = EscapeHtml(LinkSegment(language.id));
    page += "<li><a href=\"" + folder + "/Index.htm\">" + EscapeHtml(language.name) + "</a>";
    if (with_search) page += " (<a href=\"" + folder + "/Search.htm\">search</a>)";
    page += "</li>\n";
  }
  page +=
      "</ul>\n"
      "</body>\n"
      "</html>\n";
  return page;
}

}  // namespace orvano
