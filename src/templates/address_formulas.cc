#include "templates/address_formulas.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>

#include "inputs/text_table.h"
#include "support/error_sink.h"
#include "support/errors.h"
#include "support/number_text.h"
#include "support/string_helpers.h"

namespace orvano {
namespace {

constexpr std::string_view kFactorProcedure = "GetFormulaFaktor";
constexpr std::string_view kAddressProcedure = "CalculateAdressFormula";

// Look-ups inside texts found by earlier look-ups of the same formula; a text that refers to
// itself would otherwise go on for ever.
constexpr int kMaxIndexRounds = 1000;

// Factor names are ASCII; comparing them byte by byte keeps the formulas cheap.
bool NameIs(std::string_view name, std::string_view upper) {
  return std::equal(name.begin(), name.end(), upper.begin(), upper.end(), [](char a, char b) {
    return (a >= 'a' && a <= 'z' ? static_cast<char>(a - 'a' + 'A') : a) == b;
  });
}

double PositionValue(std::string_view position) {
  std::optional<double> value = ParseNumber(position);
  if (!value) {
    throw UnexpectedError(err::kTypeMismatch, "Type mismatch: the position \"" +
                                                  std::string(position) + "\" is not a number");
  }
  return *value;
}

// The value of a multiplier's digits: read directly when they fit, as LeadingNumber would read
// them.
std::int64_t Multiplier(std::string_view digits) {
  if (digits.size() > 9) return ToInt32(LeadingNumber(digits));
  std::int64_t value = 0;
  for (char c : digits) value = value * 10 + (c - '0');
  return value;
}

// The value of the formula between "###ADDR:" and ":ADDR", or nullopt when it cannot be cut
// into a base and terms. Throws UnexpectedError 6 when a number leaves its range.
std::optional<std::int32_t> EvaluateAddress(const FormulaFactors& factors, std::string_view formula,
                                            ErrorSink& errors) {
  std::size_t sign = formula.find_first_of("+-");
  if (sign == std::string_view::npos || sign == 0) return std::nullopt;
  std::optional<double> base = ParseNumber(formula.substr(0, sign));
  if (!base) return std::nullopt;
  std::int64_t value = ToInt32(*base);
  std::string_view terms = formula.substr(sign);
  char op = '+';
  while (terms.find_first_of("+-") != std::string_view::npos) {
    errors.KeepResponsive();
    std::size_t close = terms.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    std::string_view term = terms.substr(0, close + 1);
    terms.remove_prefix(close + 1);
    if (term[0] == '+' || term[0] == '-') {
      op = term[0];
      term.remove_prefix(1);
    }
    const std::size_t digits = DigitsAt(term, 0).size();
    if (digits == 0 || term[digits] != '[') return std::nullopt;  // term ends with "]"
    std::int64_t multiplier = Multiplier(term.substr(0, digits));
    std::string_view name = term.substr(digits + 1, term.size() - digits - 2);
    std::int64_t factor = ToInt16(FormulaFactorValue(factors, name, errors));
    value += op == '+' ? multiplier * factor : -multiplier * factor;
    if (value < std::numeric_limits<std::int32_t>::min() ||
        value > std::numeric_limits<std::int32_t>::max()) {
      throw UnexpectedError(err::kOverflow,
                            "Overflow in the address formula " + std::string(kAddressFormulaOpen) +
                                std::string(formula) + std::string(kAddressFormulaClose));
    }
  }
  return static_cast<std::int32_t>(value);
}

}  // namespace

std::optional<FormulaFactor> FindFormulaFactor(std::string_view name) {
  if (NameIs(name, "MNR")) return FormulaFactor::kMachine;
  if (NameIs(name, "PLC")) return FormulaFactor::kControl;
  if (NameIs(name, "FLD")) return FormulaFactor::kPosition;
  if (NameIs(name, "FLDNULL")) return FormulaFactor::kPositionFromZero;
  if (NameIs(name, "FREJ") || NameIs(name, "FALA") || NameIs(name, "FWAR")) {
    return FormulaFactor::kBlock;
  }
  return std::nullopt;
}

double FormulaFactorValueOf(const FormulaFactors& factors, FormulaFactor factor) {
  switch (factor) {
    case FormulaFactor::kMachine:
      return factors.machine_index - 1.0;
    case FormulaFactor::kControl:
      switch (factors.control_type) {
        case 1:
        case 2:
          return 1;
        default:
          return 0;  // 0 and 3, and other control types, whose empty value counts as 0
      }
    case FormulaFactor::kPosition:
      return PositionValue(factors.position);
    case FormulaFactor::kPositionFromZero:
      return PositionValue(factors.position) - 1;
    case FormulaFactor::kBlock:
      return factors.block_number;
  }
  return 0;
}

double FormulaFactorValue(const FormulaFactors& factors, std::string_view name, ErrorSink& errors) {
  const std::optional<FormulaFactor> factor = FindFormulaFactor(name);
  // Only a position can fail, so the others need no error guard (formulas ask for them by the
  // million).
  if (factor && *factor != FormulaFactor::kPosition &&
      *factor != FormulaFactor::kPositionFromZero) {
    return FormulaFactorValueOf(factors, *factor);
  }
  double value = 0;
  RunStep(errors, kFactorProcedure, [&] {
    if (!factor) throw ProgramError("Unknown factor in formula: " + std::string(name));
    value = FormulaFactorValueOf(factors, *factor);
  });
  return value;
}

std::string ExpandAddressFormulas(const FormulaFactors& factors, std::string_view text,
                                  ErrorSink& errors) {
  std::string out(text);
  std::size_t from = 0;
  for (;;) {
    std::size_t open = out.find(kAddressFormulaOpen, from);
    if (open == std::string::npos) break;
    errors.KeepResponsive();
    std::size_t body = open + kAddressFormulaOpen.size();
    std::size_t close = out.find(kAddressFormulaClose, body);
    if (close == std::string::npos) {
      errors.Note(ProblemKind::kWarning, "Address formula not closed: " + out.substr(open));
      break;
    }
    std::string_view formula = std::string_view(out).substr(body, close - body);
    std::string value;
    RunStep(errors, kAddressProcedure, [&] {
      std::optional<std::int32_t> result = EvaluateAddress(factors, formula, errors);
      if (result) {
        value = std::to_string(*result);  // NumberToText of a whole number in 32 bits
      } else {
        errors.Note(ProblemKind::kWarning,
                    "Address formula not valid: " + std::string(kAddressFormulaOpen) +
                        std::string(formula) + std::string(kAddressFormulaClose));
      }
    });
    out.replace(open, close + kAddressFormulaClose.size() - open, value);
    // Every pass shortens the text; looking back a marker's length finds a marker that the
    // replacement joined together, as a search from the start would.
    from = open >= kAddressFormulaOpen.size() ? open - (kAddressFormulaOpen.size() - 1) : 0;
  }
  return out;
}

std::string ExpandIndexFormulas(const TextTable& texts, std::optional<int> code_page,
                                std::string_view text, ErrorSink& errors) {
  std::string out(text);
  std::size_t from = 0;
  std::size_t chain_end = 0;  // end of the texts inserted by the current chain of look-ups
  int rounds = 0;
  for (;;) {
    std::size_t open = out.find(kIndexFormulaOpen, from);
    if (open == std::string::npos) break;
    errors.KeepResponsive();
    std::size_t body = open + kIndexFormulaOpen.size();
    std::size_t close = out.find(kIndexFormulaClose, body);
    if (close == std::string::npos) {
      errors.Note(ProblemKind::kWarning, "Index formula not closed: " + out.substr(open));
      break;
    }
    std::size_t end = close + kIndexFormulaClose.size();
    std::string key = out.substr(body, close - body);
    // A formula of the cell's own text starts a new chain; one inside an inserted text goes on
    // with the chain that inserted it.
    if (open >= chain_end) rounds = 0;
    if (++rounds > kMaxIndexRounds) {
      errors.Note(ProblemKind::kWarning, "Index formula does not end after " +
                                             NumberToText(kMaxIndexRounds) +
                                             " rounds: " + out.substr(open, end - open));
      break;
    }
    const Cell* found = FindText(texts, key);
    if (found == nullptr) {
      errors.Note(ProblemKind::kNote, "Indextext not found: " + key);
      out.replace(open, end - open, key + "?");
      break;
    }
    const std::string* found_text = std::get_if<std::string>(found);
    std::string number_text = found_text ? std::string() : CellText(*found);
    std::string value = RecodeThroughCodePage(found_text ? *found_text : number_text, code_page);
    if (!value.empty() && (value.front() == ' ' || value.back() == ' ')) value = TrimBlanks(value);
    out.replace(open, end - open, value);
    std::size_t inserted_end = open + value.size();
    chain_end = chain_end > end ? chain_end - (end - open) + value.size() : inserted_end;
    chain_end = std::max(chain_end, inserted_end);
    from = open >= kIndexFormulaOpen.size() ? open - (kIndexFormulaOpen.size() - 1) : 0;
  }
  return out;
}

bool HasWildcards(const WildcardTable& wildcards, std::string_view text) {
  for (std::size_t at = text.find("###"); at != std::string_view::npos;
       at = text.find("###", at + 1)) {
    std::string_view rest = text.substr(at + 3);
    for (const auto& wildcard : wildcards) {
      if (rest.starts_with(wildcard.first)) return true;
    }
  }
  return false;
}

std::string ReplaceWildcards(const WildcardTable& wildcards, std::string_view text) {
  // Most cells hold "###" only for formulas: when no "###" is followed by a key, nothing changes.
  if (!HasWildcards(wildcards, text)) return std::string(text);
  // ReplaceFirstTrimmed's effect, without building a new text for each wildcard.
  std::string out(text);
  std::string search = "###";
  for (const auto& [key, value] : wildcards) {
    search.replace(3, std::string::npos, key);
    std::size_t at = out.find(search);
    if (at != std::string::npos) out.replace(at, search.size(), TrimBlanks(value));
  }
  return out;
}

}  // namespace orvano
