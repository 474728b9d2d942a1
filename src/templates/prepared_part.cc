#include "templates/prepared_part.h"

#include <charconv>
#include <limits>

#include "inputs/text_table.h"
#include "support/errors.h"
#include "support/number_text.h"
#include "support/string_helpers.h"
#include "templates/conditions.h"
#include "templates/page_state.h"

namespace orvano {
namespace {

constexpr std::string_view kMarker = "###";
// The wildcard passes of a section table replace at most this many of each wildcard.
constexpr int kMostOfOneWildcard = 5;
// Numbers of more digits could leave 32 bits; the step-by-step way reads them.
constexpr std::size_t kMostDigits = 9;

std::int32_t DigitsValue(std::string_view digits) {
  std::int32_t value = 0;
  for (char c : digits) value = value * 10 + (c - '0');
  return value;
}

std::optional<std::int16_t> Rounded16(const FormulaFactors& factors, FormulaFactor factor) {
  try {
    return ToInt16(FormulaFactorValueOf(factors, factor));
  } catch (const UnexpectedError&) {
    return std::nullopt;  // the step-by-step way reports it
  }
}

}  // namespace

PreparedPageValues::PreparedPageValues(const PageState& page, const FormulaFactors& factors) {
  for (std::size_t i = 0; i < wildcards_.size(); ++i) {
    wildcards_[i] = TrimBlanks(page.wildcards[i].second);
    if (wildcards_[i].find('#') != std::string::npos) wildcards_usable_ = false;
  }
  for (std::size_t f = 0; f < kFormulaFactorCount; ++f) {
    factors_[f] = Rounded16(factors, static_cast<FormulaFactor>(f));
  }
}

void PreparedPageValues::SetBlockNumber(std::int32_t block_number) {
  FormulaFactors factors;
  factors.block_number = block_number;
  factors_[static_cast<std::size_t>(FormulaFactor::kBlock)] =
      Rounded16(factors, FormulaFactor::kBlock);
}

PreparedPart::PreparedPart(const Table& part)
    : columns_(part.column_count()), rows_(part.row_count()), cell_of_(columns_ * rows_, -1) {
  for (std::size_t r = 1; r < rows_; ++r) {
    const std::vector<Cell>& row = part.rows()[r];
    for (std::size_t c = 1; c < row.size() && c < columns_; ++c) {
      const auto* text = std::get_if<std::string>(&row[c]);
      if (text == nullptr || text->find(kMarker) == std::string::npos) continue;
      const std::size_t pieces = pieces_.size();
      const std::size_t terms = terms_.size();
      const std::size_t texts = text_.size();
      if (!Prepare(*text)) {
        pieces_.resize(pieces);
        terms_.resize(terms);
        text_.resize(texts);
        continue;
      }
      cell_of_[r * columns_ + c] = static_cast<std::int32_t>(cells_.size());
      cells_.push_back({static_cast<std::uint32_t>(pieces),
                        static_cast<std::uint32_t>(pieces_.size() - pieces)});
    }
  }
}

bool PreparedPart::Has(std::size_t column, std::size_t row) const {
  return column < columns_ && row < rows_ && cell_of_[row * columns_ + column] >= 0;
}

void PreparedPart::AddText(std::string_view text) {
  Piece piece;
  piece.begin = static_cast<std::uint32_t>(text_.size());
  piece.size = static_cast<std::uint32_t>(text.size());
  text_.append(text);
  pieces_.push_back(piece);
}

// Prepares a cell that is one condition and nothing else that holds "#": before "###IF ", a
// condition of a known factor, "<", "=" or ">" and a number, " ###THEN ", the text when it holds,
// optionally "###ELSE" and the text when not, "###ENDIF", and after it. The chosen text then
// holds no marker that a later step could work out.
bool PreparedPart::PrepareCondition(std::string_view text) {
  const std::size_t if_at = text.find(kConditionIf);
  if (if_at == std::string_view::npos) return false;
  const std::size_t cond_at = if_at + kConditionIf.size();
  const std::size_t then_at = text.find(kConditionThen, cond_at);
  if (then_at == std::string_view::npos) return false;
  const std::size_t rest_at = then_at + kConditionThen.size();
  const std::size_t end_at = text.find(kConditionEnd, rest_at);
  if (end_at == std::string_view::npos) return false;
  std::size_t else_at = text.find(kConditionElse, rest_at);
  if (else_at > end_at) else_at = end_at;
  const std::size_t else_text = else_at == end_at ? end_at : else_at + kConditionElse.size();
  const std::string_view condition = text.substr(cond_at, then_at - cond_at);
  const std::string_view before = text.substr(0, if_at);
  const std::string_view when_true = text.substr(rest_at, else_at - rest_at);
  const std::string_view when_false = text.substr(else_text, end_at - else_text);
  const std::string_view after = text.substr(end_at + kConditionEnd.size());
  for (std::string_view part : {before, condition, when_true, when_false, after}) {
    if (part.find('#') != std::string_view::npos) return false;
  }
  std::size_t at = condition.find('<');
  if (at == std::string_view::npos) at = condition.find('=');
  if (at == std::string_view::npos) at = condition.find('>');
  if (at == std::string_view::npos) return false;
  const std::optional<FormulaFactor> factor = FindFormulaFactor(condition.substr(0, at));
  if (!factor) return false;
  Condition prepared{*factor, condition[at], 0};
  try {
    prepared.number = ToInt16(LeadingNumber(condition.substr(at + 1)));
  } catch (const UnexpectedError&) {
    return false;  // the step-by-step way reports it
  }
  if (!before.empty()) AddText(before);
  Piece piece;
  piece.kind = Kind::kCondition;
  piece.begin = static_cast<std::uint32_t>(conditions_.size());
  conditions_.push_back(prepared);
  pieces_.push_back(piece);
  AddText(when_true);
  AddText(when_false);
  if (!after.empty()) AddText(after);
  return true;
}

// Cuts `text` into pieces. Every "#" must begin a marker "###" (not followed by a fourth "#")
// that is a wildcard, a plain address formula or an index formula whose key holds no "#": then
// replacing one marker never makes or breaks another, and the pieces can be filled one by one.
bool PreparedPart::Prepare(std::string_view text) {
  if (text.find("###IF") != std::string_view::npos) return PrepareCondition(text);
  std::array<int, 4> wildcard_counts{};
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t hash = text.find('#', pos);
    const std::size_t literal_end = hash == std::string_view::npos ? text.size() : hash;
    if (literal_end > pos) AddText(text.substr(pos, literal_end - pos));
    if (hash == std::string_view::npos) break;
    const std::string_view token = text.substr(hash);
    if (!token.starts_with(kMarker)) return false;
    const std::string_view rest = token.substr(kMarker.size());
    if (rest.starts_with('#')) return false;
    if (token.starts_with(kAddressFormulaOpen)) {
      const std::size_t body = hash + kAddressFormulaOpen.size();
      const std::size_t close = text.find(kAddressFormulaClose, body);
      if (close == std::string_view::npos || !AddAddress(text.substr(body, close - body))) {
        return false;
      }
      pos = close + kAddressFormulaClose.size();
      continue;
    }
    if (token.starts_with(kIndexFormulaOpen)) {
      const std::size_t body = hash + kIndexFormulaOpen.size();
      const std::size_t close = text.find(kIndexFormulaClose, body);
      if (close == std::string_view::npos) return false;
      const std::string_view key = text.substr(body, close - body);
      if (key.find('#') != std::string_view::npos) return false;
      Piece piece;
      piece.kind = Kind::kIndex;
      piece.begin = static_cast<std::uint32_t>(text_.size());
      piece.size = static_cast<std::uint32_t>(key.size());
      text_.append(key);
      pieces_.push_back(piece);
      pos = close + kIndexFormulaClose.size();
      continue;
    }
    static constexpr std::array<std::string_view, 4> kWildcardKeys = {"MNR", "FLD", "OVERVIEW",
                                                                      "MAIN"};
    std::size_t key = 0;
    while (key < kWildcardKeys.size() && !rest.starts_with(kWildcardKeys[key])) ++key;
    if (key == kWildcardKeys.size() || ++wildcard_counts[key] > kMostOfOneWildcard) return false;
    Piece piece;
    piece.kind = Kind::kWildcard;
    piece.wildcard = static_cast<std::uint8_t>(key);
    pieces_.push_back(piece);
    pos = hash + kMarker.size() + kWildcardKeys[key].size();
  }
  return true;
}

// Adds the formula between "###ADDR:" and ":ADDR" when it is plain: a base of digits, then one
// or more terms of a sign, digits and a known factor in brackets, and nothing else.
bool PreparedPart::AddAddress(std::string_view formula) {
  std::size_t digits = DigitsAt(formula, 0).size();
  if (digits == 0 || digits > kMostDigits) return false;
  Piece piece;
  piece.kind = Kind::kAddress;
  piece.base = DigitsValue(formula.substr(0, digits));
  piece.begin = static_cast<std::uint32_t>(terms_.size());
  std::size_t pos = digits;
  if (pos == formula.size()) return false;  // no term
  while (pos < formula.size()) {
    const char sign = formula[pos++];
    if (sign != '+' && sign != '-') return false;
    digits = DigitsAt(formula, pos).size();
    if (digits == 0 || digits > kMostDigits || pos + digits >= formula.size() ||
        formula[pos + digits] != '[') {
      return false;
    }
    const std::int32_t multiplier = DigitsValue(formula.substr(pos, digits));
    pos += digits + 1;
    const std::size_t close = formula.find(']', pos);
    if (close == std::string_view::npos) return false;
    const std::optional<FormulaFactor> factor = FindFormulaFactor(formula.substr(pos, close - pos));
    if (!factor) return false;
    terms_.push_back({sign == '-' ? -multiplier : multiplier, *factor});
    pos = close + 1;
  }
  piece.size = static_cast<std::uint32_t>(terms_.size() - piece.begin);
  pieces_.push_back(piece);
  return true;
}

namespace {

template <typename T>
bool SameOwner(const std::weak_ptr<T>& known, const std::shared_ptr<T>& asked) {
  return !known.owner_before(asked) && !asked.owner_before(known);
}

}  // namespace

std::unique_ptr<PreparedPart::IndexTexts> PreparedPart::LookUpTexts(
    const TextTable& texts, std::optional<int> code_page) const {
  auto result = std::make_unique<IndexTexts>();
  result->spans_.resize(pieces_.size());
  for (std::size_t k = 0; k < pieces_.size(); ++k) {
    const Piece& piece = pieces_[k];
    if (piece.kind != Kind::kIndex) continue;
    const Cell* found = FindText(texts, std::string_view(text_).substr(piece.begin, piece.size));
    if (found == nullptr) continue;
    const auto* found_text = std::get_if<std::string>(found);
    const std::string number_text = found_text ? std::string() : CellText(*found);
    const std::string_view stored = found_text ? *found_text : number_text;
    std::string recoded;
    std::string_view value = stored;
    if (!RecodingKeepsText(stored, code_page)) {
      recoded = RecodeThroughCodePage(stored, code_page);
      value = recoded;
    }
    value = TrimmedBlanks(value);
    // A text with "#" could hold markers that the step-by-step way would work out.
    if (value.find('#') != std::string_view::npos) continue;
    result->spans_[k] = {static_cast<std::uint32_t>(result->texts_.size()),
                         static_cast<std::uint32_t>(value.size())};
    result->texts_.append(value);
  }
  return result;
}

const PreparedPart::IndexTexts& PreparedPart::TextsIn(const TextTable& texts,
                                                      std::optional<int> code_page) const {
  TextsCache& cache = *texts_cache_;
  std::lock_guard<std::mutex> lock(cache.mutex);
  for (const LanguageTexts& known : cache.languages) {
    if (SameOwner(known.rows, texts.rows) && SameOwner(known.addresses, texts.addresses) &&
        known.column == texts.column && known.code_page == code_page) {
      return *known.texts;
    }
  }
  LanguageTexts& added = cache.languages.emplace_back();
  added.rows = texts.rows;
  added.addresses = texts.addresses;
  added.column = texts.column;
  added.code_page = code_page;
  added.texts = LookUpTexts(texts, code_page);
  return *added.texts;
}

bool PreparedPart::Fill(std::size_t column, std::size_t row, const PreparedPageValues& values,
                        const IndexTexts& index_texts, std::string* out) const {
  if (!values.wildcards_usable_) return false;
  const PreparedCell& cell = cells_[static_cast<std::size_t>(cell_of_[row * columns_ + column])];
  out->clear();
  for (std::uint32_t k = 0; k < cell.piece_count; ++k) {
    const Piece& piece = pieces_[cell.first_piece + k];
    switch (piece.kind) {
      case Kind::kCondition: {
        const Condition& condition = conditions_[piece.begin];
        const std::optional<std::int16_t>& factor =
            values.factors_[static_cast<std::size_t>(condition.factor)];
        if (!factor) return false;
        const bool holds = condition.comparison == '<'   ? *factor < condition.number
                           : condition.comparison == '=' ? *factor == condition.number
                                                         : *factor > condition.number;
        // Of the two text pieces that follow, the one chosen is written; both are passed.
        const Piece& chosen = pieces_[cell.first_piece + k + (holds ? 1 : 2)];
        out->append(text_, chosen.begin, chosen.size);
        k += 2;
        break;
      }
      case Kind::kText:
        out->append(text_, piece.begin, piece.size);
        break;
      case Kind::kWildcard:
        out->append(values.wildcards_[piece.wildcard]);
        break;
      case Kind::kAddress: {
        std::int64_t value = piece.base;
        for (std::uint32_t t = 0; t < piece.size; ++t) {
          const Term& term = terms_[piece.begin + t];
          const std::optional<std::int16_t>& factor =
              values.factors_[static_cast<std::size_t>(term.factor)];
          if (!factor) return false;
          value += static_cast<std::int64_t>(term.multiplier) * *factor;
          if (value < std::numeric_limits<std::int32_t>::min() ||
              value > std::numeric_limits<std::int32_t>::max()) {
            return false;
          }
        }
        char digits[16];
        const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
        out->append(digits, end);
        break;
      }
      case Kind::kIndex: {
        const std::optional<std::string_view> value = index_texts.Text(cell.first_piece + k);
        if (!value) return false;
        out->append(*value);
        break;
      }
    }
  }
  return true;
}

}  // namespace orvano
