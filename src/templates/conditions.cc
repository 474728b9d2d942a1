#include "templates/conditions.h"

#include <cstdint>

#include "support/error_sink.h"
#include "support/errors.h"
#include "support/number_text.h"
#include "templates/address_formulas.h"

namespace orvano {
namespace {

constexpr std::string_view kProcedure = "CalculateIfBedingungen";

enum class Choice { kThen, kElse, kNone };

Choice Decide(const FormulaFactors& factors, std::string_view condition, ErrorSink& errors) {
  std::size_t at = condition.find('<');
  if (at == std::string_view::npos) at = condition.find('=');
  if (at == std::string_view::npos) at = condition.find('>');
  if (at == std::string_view::npos) return Choice::kNone;
  std::int16_t number = ToInt16(LeadingNumber(condition.substr(at + 1)));
  std::int16_t factor = ToInt16(FormulaFactorValue(factors, condition.substr(0, at), errors));
  bool holds = condition[at] == '<'   ? factor < number
               : condition[at] == '=' ? factor == number
                                      : factor > number;
  return holds ? Choice::kThen : Choice::kElse;
}

[[noreturn]] void ThrowUncut(std::string_view cell, std::string_view missing) {
  throw ProgramError("Condition without \"" + std::string(missing) +
                     "\" in the cell: " + std::string(cell));
}

}  // namespace

std::string EvaluateConditions(const FormulaFactors& factors, std::string_view cell,
                               ErrorSink& errors) {
  std::string result(cell);
  RunStep(errors, kProcedure, [&] {
    std::size_t if_at = cell.find("###IF");
    if (if_at == std::string_view::npos) return;
    std::size_t end_if = cell.find(kConditionEnd);
    if (end_if != std::string_view::npos && end_if < if_at) return;
    if (cell.substr(if_at, kConditionIf.size()) != kConditionIf) ThrowUncut(cell, kConditionIf);
    // "###IF  ###THEN " shares its blank: an empty condition.
    std::size_t then_at = cell.find(kConditionThen, if_at + kConditionIf.size() - 1);
    if (then_at == std::string_view::npos || end_if == std::string_view::npos || then_at > end_if) {
      ThrowUncut(cell, then_at == std::string_view::npos ? kConditionThen : kConditionEnd);
    }
    std::size_t cond_at = if_at + kConditionIf.size();
    std::string_view condition =
        then_at > cond_at ? cell.substr(cond_at, then_at - cond_at) : std::string_view();
    std::size_t rest_at = then_at + kConditionThen.size();
    // The first "###ENDIF" after " ###THEN " closes the block; its "###ELSE" must stand before.
    std::size_t close = cell.find(kConditionEnd, rest_at);
    if (close == std::string_view::npos) ThrowUncut(cell, kConditionEnd);
    std::size_t else_at = cell.find(kConditionElse, rest_at);
    if (else_at != std::string_view::npos && else_at > close) else_at = std::string_view::npos;

    std::string_view chosen;
    switch (Decide(factors, condition, errors)) {
      case Choice::kThen:
        chosen =
            cell.substr(rest_at, (else_at != std::string_view::npos ? else_at : close) - rest_at);
        break;
      case Choice::kElse:
        if (else_at != std::string_view::npos) {
          std::size_t else_text = else_at + kConditionElse.size();
          chosen = cell.substr(else_text, close - else_text);
        }
        break;
      case Choice::kNone:
        break;
    }
    result = std::string(cell.substr(0, if_at)) + std::string(chosen) +
             std::string(cell.substr(close + kConditionEnd.size()));
  });
  return result;
}

}  // namespace orvano
