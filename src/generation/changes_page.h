// Changes.htm: the page that shows what a run changed against an earlier release's export
// (Compare=<old.json>), with links to the new pages. Written into the destination folder.

#ifndef ORVANO_GENERATION_CHANGES_PAGE_H_
#define ORVANO_GENERATION_CHANGES_PAGE_H_

#include <string>

#include "generation/allocation.h"

namespace orvano {

/// The file name of the page, in the destination folder. No section page may have this name
/// without regard to case.
inline constexpr char kChangesPageName[] = "Changes.htm";

/// The page's text: UTF-8 HTML5 with no script and no external resource, light or dark as the
/// reader's setting. At the top the counts (rows changed, added, removed; pages that differ)
/// of every language of both allocations; then per language that differs, per page and per
/// machine, the rows changed (old and new cells, the differing ones marked), added and removed
/// (CompareAllocations). Pages of the new allocation are linked relatively: "<file>", or
/// "<id>/<file>" with `language_folders` (the run wrote each language into a folder of the
/// destination named by its id); removed pages are named without a link. Texts are escaped.
std::string ChangesPageText(const Allocation& old_allocation, const Allocation& new_allocation,
                            bool language_folders);

}  // namespace orvano

#endif  // ORVANO_GENERATION_CHANGES_PAGE_H_
