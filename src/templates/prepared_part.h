// Prepared parts: the marker cells of a sheet part cut into their pieces once, so that the
// section tables of every page and language put a cell's value together instead of searching
// and rebuilding its text step by step. Only cells whose markers are wildcards, plain address
// formulas and index formulas, or that are one plain condition, are prepared; the value comes
// out as the step-by-step way gives it, and a page on which it could differ (or could write a
// note) declines, leaving the cell to that way.

#ifndef ORVANO_TEMPLATES_PREPARED_PART_H_
#define ORVANO_TEMPLATES_PREPARED_PART_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "support/table.h"
#include "templates/address_formulas.h"

namespace orvano {

struct PageState;
struct TextAddresses;
struct TextTable;

/// What a page gives the prepared cells: its wildcard values and formula factors, each worked
/// out once. A value that the step-by-step way would treat specially is marked unusable, and a
/// cell that needs it declines.
class PreparedPageValues {
 public:
  /// The values of `page` (its wildcards as ResetWildcards sets them) with `factors`.
  PreparedPageValues(const PageState& page, const FormulaFactors& factors);

  /// The block factors ("FREJ", "FALA", "FWAR") follow the repetition being generated.
  void SetBlockNumber(std::int32_t block_number);

 private:
  friend class PreparedPart;
  std::array<std::string, 4> wildcards_;  // trimmed, in the order of PageState::wildcards
  bool wildcards_usable_ = true;          // none holds "#", which could make new markers
  // Rounded to 16 bits as the formulas take them; none when rounding or reading fails.
  std::array<std::optional<std::int16_t>, kFormulaFactorCount> factors_;
};

class PreparedPart {
 public:
  PreparedPart() = default;
  /// Prepares the marker cells of rows 1.. and columns 1.. of `part`, the cells a section table
  /// works out.
  explicit PreparedPart(const Table& part);

  /// True when the cell (`column`, `row`) of the part is prepared.
  bool Has(std::size_t column, std::size_t row) const;

  /// What the part's index formulas give in one language: each formula's text, looked up,
  /// re-decoded and trimmed, or that it declines.
  class IndexTexts {
   public:
    /// The text of index piece `piece`; nullopt when the cell declines.
    std::optional<std::string_view> Text(std::uint32_t piece) const {
      const Span span = spans_[piece];
      if (span.begin == kDeclines) return std::nullopt;
      return std::string_view(texts_).substr(span.begin, span.size);
    }

   private:
    friend class PreparedPart;
    static constexpr std::uint32_t kDeclines = UINT32_MAX;
    struct Span {
      std::uint32_t begin = kDeclines;
      std::uint32_t size = 0;
    };
    std::vector<Span> spans_;  // by piece
    std::string texts_;
  };

  /// The index texts of this part in `texts` re-decoded through `code_page`, worked out the
  /// first time they are asked for and kept while the part lives. Safe to call from several
  /// threads.
  const IndexTexts& TextsIn(const TextTable& texts, std::optional<int> code_page) const;

  /// Puts the value of the prepared cell (`column`, `row`) on the page of `values` into `*out`,
  /// its index formulas giving `index_texts` (from TextsIn); exactly what the cell's wildcards,
  /// address formulas and index formulas give when worked out one after the other. False when
  /// this page needs the step-by-step way (a value that could make markers, a factor that
  /// fails, a sum out of range, a text not found or one that holds "#").
  bool Fill(std::size_t column, std::size_t row, const PreparedPageValues& values,
            const IndexTexts& index_texts, std::string* out) const;

 private:
  enum class Kind : std::uint8_t { kText, kWildcard, kAddress, kIndex, kCondition };
  struct Piece {
    Kind kind = Kind::kText;
    std::uint8_t wildcard = 0;  // kWildcard: its place in the wildcard table
    std::uint32_t begin = 0;    // kText: the text, kIndex: the key (in text_)
    std::uint32_t size = 0;
    std::int32_t base = 0;  // kAddress: the base, then terms_[begin, begin + size)
  };
  // A condition's piece is followed by two text pieces: what it gives when it holds, and
  // when it does not.
  struct Condition {
    FormulaFactor factor = FormulaFactor::kMachine;
    char comparison = '=';  // '<', '=' or '>'
    std::int16_t number = 0;
  };
  struct Term {
    std::int32_t multiplier = 0;  // with its sign
    FormulaFactor factor = FormulaFactor::kMachine;
  };
  struct PreparedCell {
    std::uint32_t first_piece = 0;
    std::uint32_t piece_count = 0;
  };

  // The index texts of each language asked for so far. A language is known by its text rows
  // and addresses, compared by owner, so that texts freed after their language cannot be
  // mistaken for the next language's.
  struct LanguageTexts {
    std::weak_ptr<const Table> rows;
    std::weak_ptr<const TextAddresses> addresses;
    std::size_t column = 0;
    std::optional<int> code_page;
    std::unique_ptr<IndexTexts> texts;
  };
  struct TextsCache {
    std::mutex mutex;
    std::vector<LanguageTexts> languages;
  };

  bool Prepare(std::string_view text);
  bool AddAddress(std::string_view formula);
  bool PrepareCondition(std::string_view text);
  void AddText(std::string_view text);
  std::unique_ptr<IndexTexts> LookUpTexts(const TextTable& texts,
                                          std::optional<int> code_page) const;

  std::size_t columns_ = 0;
  std::size_t rows_ = 0;
  std::vector<std::int32_t> cell_of_;  // by row and column: the prepared cell, or -1
  std::vector<PreparedCell> cells_;
  std::vector<Piece> pieces_;
  std::vector<Term> terms_;
  std::vector<Condition> conditions_;  // a kCondition piece's is conditions_[piece.begin]
  std::string text_;                   // the texts and keys of the pieces, one after the other
  std::unique_ptr<TextsCache> texts_cache_ = std::make_unique<TextsCache>();
};

}  // namespace orvano

#endif  // ORVANO_TEMPLATES_PREPARED_PART_H_
