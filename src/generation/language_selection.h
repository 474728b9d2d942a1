// The languages a run writes, from the value of the key LangID: one id (the pages go into the
// destination folder itself), "ALL" (every language of the project) or a list "1031,1049"
// (those languages); with "ALL" or a list, each language gets its own folder in the
// destination, named by its id.

#ifndef ORVANO_GENERATION_LANGUAGE_SELECTION_H_
#define ORVANO_GENERATION_LANGUAGE_SELECTION_H_

#include <string>
#include <string_view>
#include <vector>

#include "inputs/languages.h"

namespace orvano {

/// The word that selects every language of the project.
inline constexpr std::string_view kAllLanguages = "ALL";

struct LanguageSelection {
  /// The ids to write, each once, in the project's table order for "ALL" and in the order
  /// given for a list; a single id as given.
  std::vector<std::string> ids;
  /// True for "ALL" and lists: each language writes into "<destination><id>/".
  bool has_language_folders = false;
};

/// True when `value` selects several languages ("ALL", any case, or a list with a comma).
bool SelectsSeveralLanguages(std::string_view value);

/// Reads the LangID `value` against the project's `languages`. A single id (or none) is taken as
/// it stands: the run checks it after its paths, as it always has. For "ALL" and lists, each id is
/// the one in the project's table (so "1031.0" finds 1031 and its folder is "1031"), a repeated id
/// counts once. Throws ProgramError: "Language not selected!" for an "ALL" of a project
/// without languages, "Language list not valid: <value>" for an empty item,
/// "Language not found: <id>" for an id not in the table, and "Language id not usable as a
/// folder name: <id>" for an id holding "/", "\\" or "..".
LanguageSelection SelectLanguages(std::string_view value,
                                  const std::vector<ProjectLanguage>& languages);

}  // namespace orvano

#endif  // ORVANO_GENERATION_LANGUAGE_SELECTION_H_
