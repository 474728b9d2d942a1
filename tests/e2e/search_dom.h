// Opening a search page in headless Chromium (Debian's chromium) and reading what it found from
// the document it built.

#ifndef ORVANO_TESTS_E2E_SEARCH_DOM_H_
#define ORVANO_TESTS_E2E_SEARCH_DOM_H_

#include <string>

#include "generation/html_text.h"
#include "testing/test_util.h"

namespace orvano::testing {

inline constexpr char kChromium[] = "/usr/bin/chromium";

// The document Chromium built from the search page `page` with `query` in the address, as it
// serialises it once the page has loaded. `profile` is a folder of its own for each call.
inline std::string SearchedDom(const std::string& page, const std::string& query,
                               const std::string& profile) {
  return testing::RunCommand(std::string("timeout 60 ") + kChromium +
                             " --headless --no-sandbox --disable-gpu --no-first-run"
                             " --disable-background-networking --disable-component-update"
                             " --disable-sync --user-data-dir=" +
                             profile + " --dump-dom 'file://" + page + "#q=" + LinkSegment(query) +
                             "' 2>/dev/null")
      .output;
}

// The value of the attribute `name` of the <html> element, "(none)" when it has none.
inline std::string RootAttribute(const std::string& dom, const std::string& name) {
  const std::size_t root_end = dom.find('>', dom.find("<html"));
  const std::size_t at = dom.find(" " + name + "=\"");
  if (at == std::string::npos || at > root_end) return "(none)";
  const std::size_t start = at + name.size() + 3;
  return dom.substr(start, dom.find('"', start) - start);
}

}  // namespace orvano::testing

#endif  // ORVANO_TESTS_E2E_SEARCH_DOM_H_
