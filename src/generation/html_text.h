// Texts put into the pages of our own (Languages.htm, Changes.htm): escaped for HTML, and file
// names made into relative links.

#ifndef ORVANO_GENERATION_HTML_TEXT_H_
#define ORVANO_GENERATION_HTML_TEXT_H_

#include <string>
#include <string_view>

namespace orvano {

/// `text` with "&", "<", ">" and '"' written as character references, for element content
/// and quoted attribute values.
std::string EscapeHtml(std::string_view text);

/// `name` (a folder or file name) as one segment of a relative link: every byte outside
/// letters, digits and "-", "_", ".", "~" percent-encoded, so a "/" or "#" in it stays part of
/// the name.
std::string LinkSegment(std::string_view name);

}  // namespace orvano

#endif  // ORVANO_GENERATION_HTML_TEXT_H_
