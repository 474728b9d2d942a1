// Opening pages in headless Chromium (Debian's chromium): the files a page loads, and the
// document a search page built for a query in its address.

#ifndef ORVANO_TESTS_E2E_HEADLESS_CHROMIUM_H_
#define ORVANO_TESTS_E2E_HEADLESS_CHROMIUM_H_

#include <sstream>
#include <string>
#include <vector>

#include "generation/html_text.h"
#include "testing/test_util.h"

namespace orvano::testing {

inline constexpr char kChromium[] = "/usr/bin/chromium";

// Chromium with the options every call needs; `profile` is a folder of its own for each call.
inline std::string ChromiumCommand(const std::string& profile) {
  return std::string("timeout 120 ") + kChromium +
         " --headless --no-sandbox --disable-gpu --disable-quic --no-first-run"
         " --disable-background-networking --disable-component-update --disable-sync"
         " --user-data-dir=" +
         profile;
}

// The files Chromium loaded while rendering `page` into the screenshot `png`.
inline std::vector<std::string> LoadedFiles(const std::string& page, const std::string& png,
                                            const std::string& profile) {
  std::istringstream lines(RunCommand(ChromiumCommand(profile) +
                                      " --window-size=1200,800 --enable-logging=stderr --v=1"
                                      " --screenshot=" +
                                      png + " file://" + page + " 2>&1")
                               .output);
  const std::string marker = "FileURLLoader::Start: file://";
  std::vector<std::string> files;
  for (std::string line; std::getline(lines, line);) {
    const std::size_t at = line.find(marker);
    if (at == std::string::npos) continue;
    std::string path = line.substr(at + marker.size());
    while (!path.empty() && path.back() == '\r') path.pop_back();
    files.push_back(path);
  }
  return files;
}

// The document Chromium built from the search page `page` with `query` in the address, as it
// serialises it once the page has loaded.
inline std::string SearchedDom(const std::string& page, const std::string& query,
                               const std::string& profile) {
  return RunCommand(ChromiumCommand(profile) + " --dump-dom 'file://" + page +
                    "#q=" + LinkSegment(query) + "' 2>/dev/null")
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

#endif  // ORVANO_TESTS_E2E_HEADLESS_CHROMIUM_H_
