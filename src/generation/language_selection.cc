#include "generation/language_selection.h"

#include "support/errors.h"
#include "support/string_helpers.h"
#include "support/table.h"
#include "support/text_case.h"

namespace orvano {
namespace {

// Reported under the run's own procedure, like the other checks before a run.
constexpr std::string_view kProcedure = "StartMainProcess";

[[noreturn]] void Refuse(const std::string& message) {
  throw ProgramError(message, std::string(kProcedure));
}

std::string Trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return "";
  const auto last = text.find_last_not_of(" \t");
  return std::string(text.substr(first, last - first + 1));
}

// Adds the table's id of `language` to `selection` unless it is there already.
void AddOnce(const ProjectLanguage& language, LanguageSelection* selection) {
  const std::string id = CellText(language.id);
  for (const std::string& chosen : selection->ids) {
    if (SameLanguageId(Cell(chosen), language.id)) return;
  }
  if (id.empty() || id.find('/') != std::string::npos || id.find('\\') != std::string::npos ||
      id.find("..") != std::string::npos) {
    Refuse("Language id not usable as a folder name: " + id);
  }
  selection->ids.push_back(id);
}

}  // namespace

bool SelectsSeveralLanguages(std::string_view value) {
  return EqualsIgnoringCase(Trimmed(value), kAllLanguages) ||
         value.find(',') != std::string_view::npos;
}

LanguageSelection SelectLanguages(std::string_view value,
                                  const std::vector<ProjectLanguage>& languages) {
  LanguageSelection selection;
  if (!SelectsSeveralLanguages(value)) {
    selection.ids.emplace_back(value);
    return selection;
  }
  selection.has_language_folders = true;
  if (EqualsIgnoringCase(Trimmed(value), kAllLanguages)) {
    for (const ProjectLanguage& language : languages) AddOnce(language, &selection);
    if (selection.ids.empty()) Refuse("Language not selected!");
    return selection;
  }
  for (std::string_view rest = value;;) {
    const std::size_t comma = rest.find(',');
    const std::string item = Trimmed(rest.substr(0, comma));
    if (item.empty()) Refuse("Language list not valid: " + std::string(value));
    const ProjectLanguage* found = nullptr;
    for (const ProjectLanguage& language : languages) {
      if (SameLanguageId(language.id, Cell(item))) found = &language;
    }
    if (found == nullptr) Refuse("Language not found: " + item);
    AddOnce(*found, &selection);
    if (comma == std::string_view::npos) break;
    rest = rest.substr(comma + 1);
  }
  return selection;
}

}  // namespace orvano
