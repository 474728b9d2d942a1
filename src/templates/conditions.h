// Conditional blocks in workbook cells: "###IF " factor operator number " ###THEN " then-text
// "###ELSE" else-text "###ENDIF", which choose a text by comparing a factor of the page being
// built (see FormulaFactorValue) with a whole number. Used by the section page builder.

#ifndef ORVANO_TEMPLATES_CONDITIONS_H_
#define ORVANO_TEMPLATES_CONDITIONS_H_

#include <string>
#include <string_view>

#include "templates/address_formulas.h"

namespace orvano {

class ErrorSink;

/// The markers of a conditional block.
inline constexpr std::string_view kConditionIf = "###IF ";
inline constexpr std::string_view kConditionThen = " ###THEN ";
inline constexpr std::string_view kConditionElse = "###ELSE";
inline constexpr std::string_view kConditionEnd = "###ENDIF";

/// `cell` with its first conditional block replaced by the chosen text; text before "###IF" and
/// after "###ENDIF" stays. The condition is a factor name, then "<", "=" or ">" (the first of
/// these found, in that order of preference), then a number read as a leading numeric part and
/// rounded to 16 bits; the factor is rounded to 16 bits too. Without an operator the block gives
/// "". A block without "###ELSE" gives the text up to "###ENDIF" or "". A cell whose first
/// "###ENDIF" stands before its first "###IF" comes back unchanged. A block that cannot be cut
/// (no "###IF ", no " ###THEN " or no "###ENDIF" after it) and a number out of range are
/// reported under "CalculateIfBedingungen" and leave the cell unchanged; a factor is worked out as
/// FormulaFactorValue does with `factors`. Throws only EndProgram.
std::string EvaluateConditions(const FormulaFactors& factors, std::string_view cell,
                               ErrorSink& errors);

}  // namespace orvano

#endif  // ORVANO_TEMPLATES_CONDITIONS_H_
