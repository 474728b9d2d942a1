// LineList: the lines of a page. A template read from its file holds the template's path in
// element 0 and its lines in elements 1..N; a page ready to be written holds "" in element 0.
// Used by the template reader, the font classes and the page builders.

#ifndef ORVANO_SUPPORT_LINE_LIST_H_
#define ORVANO_SUPPORT_LINE_LIST_H_

#include <string>
#include <vector>

namespace orvano {

using LineList = std::vector<std::string>;

}  // namespace orvano

#endif  // ORVANO_SUPPORT_LINE_LIST_H_
