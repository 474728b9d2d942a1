// TemplateSet: the five page templates of a run, each a line list as read from its file
// (element 0 the file's path); an entry whose file was missing has no elements.

#ifndef ORVANO_TEMPLATES_TEMPLATE_SET_H_
#define ORVANO_TEMPLATES_TEMPLATE_SET_H_

#include <array>

#include "support/line_list.h"

namespace orvano {

struct TemplateSet {
  enum Entry { kMain = 0, kMenu = 1, kOverview = 2, kSection = 3, kDetail = 4 };
  std::array<LineList, 5> entries;
};

}  // namespace orvano

#endif  // ORVANO_TEMPLATES_TEMPLATE_SET_H_
