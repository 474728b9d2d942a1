// Address formulas: the parts of a cell's text that depend on the machine, the position and the
// repetition being generated: "###ADDR:" base terms ":ADDR" (a whole number), "###INDEX:"
// address index ":INDEX" (a text of the run's language) and the wildcards "###MNR", "###FLD",
// "###OVERVIEW", "###MAIN". Used by the section page builder, the conditions and the main page.
// The functions work on the values handed in; reports and notes go to the sink.

#ifndef ORVANO_TEMPLATES_ADDRESS_FORMULAS_H_
#define ORVANO_TEMPLATES_ADDRESS_FORMULAS_H_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "templates/page_state.h"

namespace orvano {

class ErrorSink;
struct TextTable;

/// The markers around an address formula and an index formula.
inline constexpr std::string_view kAddressFormulaOpen = "###ADDR:";
inline constexpr std::string_view kAddressFormulaClose = ":ADDR";
inline constexpr std::string_view kIndexFormulaOpen = "###INDEX:";
inline constexpr std::string_view kIndexFormulaClose = ":INDEX";

/// What the factor names of a formula stand for on the page being built. `position` must
/// outlive the calls it is handed to.
struct FormulaFactors {
  std::int16_t machine_index = -1;  // "MNR" is this - 1
  std::string_view position;        // "FLD" and "FLDNULL": a number as text
  std::int32_t block_number = 0;    // "FREJ", "FALA", "FWAR"
  std::int16_t control_type = 0;    // "PLC"
};

/// The factors a formula can name.
enum class FormulaFactor : std::uint8_t {
  kMachine,           // "MNR"
  kControl,           // "PLC"
  kPosition,          // "FLD"
  kPositionFromZero,  // "FLDNULL"
  kBlock,             // "FREJ", "FALA", "FWAR"
};
inline constexpr std::size_t kFormulaFactorCount = 5;

/// The factor `name` names (any letter case); nullopt for an unknown name.
std::optional<FormulaFactor> FindFormulaFactor(std::string_view name);

/// The value of `factor` on the page of `factors`, as FormulaFactorValue gives it. Throws
/// UnexpectedError for a position that does not read as a number.
double FormulaFactorValueOf(const FormulaFactors& factors, FormulaFactor factor);

/// The value of the factor `name` (any letter case): "MNR" the machine index - 1; "PLC" 0 for
/// control types 0 and 3, 1 for 1 and 2, else empty (0); "FLD" the position; "FLDNULL" the
/// position - 1; "FREJ", "FALA", "FWAR" the block number. An unknown name ("Unknown factor in
/// formula: " + name) and a position that does not read as a number are reported under
/// "GetFormulaFaktor" and give 0. Throws only EndProgram.
double FormulaFactorValue(const FormulaFactors& factors, std::string_view name, ErrorSink& errors);

/// `text` with every address formula "###ADDR:" base {sign multiplier "[" factor "]"} ":ADDR"
/// replaced, left to right, by base plus or minus multiplier times factor (factors rounded to
/// 16-bit integers, the sum in 32 bits). A malformed formula (no base, no term, a term without
/// "]" or multiplier) gets the note "Address formula not valid: " + the formula and becomes
/// empty; an unclosed one gets "Address formula not closed: " + the rest and stops the work. A
/// sum outside 32 bits is reported under "CalculateAdressFormula" and the formula becomes empty.
/// Throws only EndProgram.
std::string ExpandAddressFormulas(const FormulaFactors& factors, std::string_view text,
                                  ErrorSink& errors);

/// `text` with its index formulas "###INDEX:" key ":INDEX" replaced, left to right, by the text
/// of `key` in `texts` (by the number of dots in the key, 1 to 5), re-decoded through
/// `code_page` and trimmed; a null text gives "". A text found that holds index formulas is
/// worked out in turn. A key not found gets the note "Indextext not found: " + key, stands as
/// key + "?" and stops the work; so does an unclosed formula ("Index formula not closed: ") and a
/// chain of look-ups still going after 1000 rounds ("Index formula does not end after 1000
/// rounds: " + the formula). Texts are inserted as stored, without escaping. Throws only
/// EndProgram.
std::string ExpandIndexFormulas(const TextTable& texts, std::optional<int> code_page,
                                std::string_view text, ErrorSink& errors);

/// `text` with the first occurrence of each wildcard "###" + key of `wildcards` replaced by its
/// value without surrounding blanks, in table order.
std::string ReplaceWildcards(const WildcardTable& wildcards, std::string_view text);

/// True when `text` holds a wildcard of `wildcards`, that is, when ReplaceWildcards changes it.
bool HasWildcards(const WildcardTable& wildcards, std::string_view text);

}  // namespace orvano

#endif  // ORVANO_TEMPLATES_ADDRESS_FORMULAS_H_
