#include "generation/languages_page.h"

namespace orvano {
namespace {

std::string Escaped(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

// A folder name as a relative link: every byte outside the unreserved set percent-encoded.
std::string LinkPart(const std::string& text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : text) {
    const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                       c == '-' || c == '_' || c == '.' || c == '~';
    if (plain) {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

}  // namespace

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
    const std::string folder = Escaped(LinkPart(language.id));
    page += "<li><a href=\"" + folder + "/Index.htm\">" + Escaped(language.name) + "</a>";
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
