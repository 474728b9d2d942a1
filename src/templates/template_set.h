// Line lists and the TemplateSet. A line list holds a page: on input element 0 is the template's
// path and elements 1..N its lines; after editing element 0 is empty. The TemplateSet holds the
// five templates of a run: 0 main page, 1 menu page, 2 overview page, 3 section page, 4 detail
// page; an entry whose file was missing has no elements.

#ifndef ORVANO_TEMPLATES_TEMPLATE_SET_H_
#define ORVANO_TEMPLATES_TEMPLATE_SET_H_

#include <array>
#include <string>
#include <vector>

namespace orvano {

using LineList = std::vector<std::string>;

struct TemplateSet {
  enum Entry { kMain = 0, kMenu = 1, kOverview = 2, kSection = 3, kDetail = 4 };
  std::array<LineList, 5> entries;
};

}  // namespace orvano

#endif  // ORVANO_TEMPLATES_TEMPLATE_SET_H_
