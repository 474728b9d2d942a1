// Letter case: upper-casing and case-insensitive comparison of UTF-8 texts through ICU, for the
// few places that ignore case (command-line keys, INI names, file names from Windows projects).

#ifndef ORVANO_SUPPORT_TEXT_CASE_H_
#define ORVANO_SUPPORT_TEXT_CASE_H_

#include <string>
#include <string_view>

namespace orvano {

/// `text` in upper case (full Unicode case mapping, root locale).
std::string ToUpper(std::string_view text);

/// True when `a` and `b` are equal without regard to letter case (Unicode case folding).
bool EqualsIgnoringCase(std::string_view a, std::string_view b);

/// Compares `a` and `b` after case folding, in code-point order. Returns <0, 0, >0.
int CompareIgnoringCase(std::string_view a, std::string_view b);

}  // namespace orvano

#endif  // ORVANO_SUPPORT_TEXT_CASE_H_
