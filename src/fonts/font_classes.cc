#include "fonts/font_classes.h"

#include <algorithm>
#include <optional>

#include "support/error_sink.h"
#include "support/errors.h"
#include "support/number_text.h"
#include "support/string_helpers.h"
#include "support/text_case.h"

namespace orvano {
namespace {

constexpr std::string_view kExpandSizesProcedure = "EditRelSize";
constexpr std::string_view kCollectClassesProcedure = "GetHTMLFontClasses";
constexpr std::string_view kFillMainPageProcedure = "EditHTMLFontClasses";

constexpr std::string_view kFontClass = "###FONTCLASS###";
constexpr std::string_view kFont = "###FONT###";
constexpr std::string_view kSize = "###SIZE###";
constexpr std::string_view kMarker = "###FONTBEZUG###";
// Marker lines are short; longer lines are not upper-cased for the marker comparison.
constexpr std::size_t kLongestMarkerLine = 64;

std::string Where(const LineList& lines, std::size_t i) {
  return lines[0] + ", line " + NumberToText(static_cast<double>(i));
}

// A size placeholder as it stands in the line and the size that replaces it.
struct SizeReplacement {
  std::string placeholder;
  std::string size;
};

// Works out the size placeholder at `at` of `line`. Throws with a message naming `where`.
SizeReplacement WorkOutSize(std::string_view screen_resolution, std::string_view line,
                            std::size_t at, std::string_view where) {
  std::size_t a_at = at + kSize.size();
  std::string_view a = DigitsAt(line, a_at);
  std::size_t separator = a_at + a.size();
  std::string_view b = separator < line.size() ? DigitsAt(line, separator + 1) : "";
  std::string shown(line.substr(at, separator + 1 + b.size() - at));
  std::string place = where.empty() ? "" : " (" + std::string(where) + ")";
  if (separator >= line.size() || line[separator] != '-') {
    throw ProgramError("Size placeholder \"" + shown + "\" has no \"-\" after its screen width" +
                       place);
  }
  if (a.empty() || b.empty()) {
    throw UnexpectedError(err::kTypeMismatch, "Type mismatch: size placeholder \"" + shown +
                                                  "\" lacks a number" + place);
  }
  double width = LeadingNumber(a);
  if (width == 0) {
    throw UnexpectedError(err::kDivisionByZero,
                          "Division by zero: size placeholder \"" + shown + "\"" + place);
  }
  double size = RoundHalfEven(LeadingNumber(screen_resolution) * LeadingNumber(b) / width);
  if (!(size >= -32768 && size <= 32767)) {
    throw UnexpectedError(err::kOverflow, "Overflow: size placeholder \"" + shown + "\" gives " +
                                              NumberToText(size) + place);
  }
  return {shown, NumberToText(size)};
}

// The text that replaces the first occurrence of `search` in `*line`, as placeholders are
// replaced everywhere (trimmed, no code-page conversion).
void ReplaceFirst(std::string* line, std::string_view search, std::string_view replacement) {
  *line = ReplaceFirstTrimmed(*line, search, replacement);
}

}  // namespace

const FontClass* FindFontClass(const FontClassTable& table, const Cell& class_code) {
  std::optional<double> code;
  if (IsNumber(class_code)) code = std::get<double>(class_code);
  if (IsText(class_code)) code = ParseNumber(std::get<std::string>(class_code));
  if (!code) return nullptr;
  for (const FontClass& font_class : table.classes) {
    if (font_class.number == *code) return &font_class;
  }
  return nullptr;
}

std::optional<FontSpec> ParseFontSpec(std::string_view spec) {
  FontSpec result;
  // The seven fields are the last seven blank-separated words; the face name is what precedes.
  std::size_t end = spec.size();
  for (std::size_t f = result.fields.size(); f >= 1; --f) {
    while (end > 0 && spec[end - 1] == ' ') --end;
    std::size_t begin = end;
    while (begin > 0 && spec[begin - 1] != ' ') --begin;
    if (begin == 0) return std::nullopt;  // the text ran out before a face name
    result.fields[f - 1] = std::string(spec.substr(begin, end - begin));
    end = begin;
  }
  for (const std::string& field : result.fields) {
    if (!ParseNumber(field)) return std::nullopt;
  }
  result.face = TrimBlanks(spec.substr(0, end));
  return result;
}

std::string FontFaceOfLanguage(std::string_view spec, std::string_view language_id,
                               ErrorSink& errors) {
  errors.KeepResponsive();
  if (TrimBlanks(spec).empty()) {
    errors.Note(ProblemKind::kWarning,
                "Font specification missing for the language " + std::string(language_id));
    return "";
  }
  std::optional<FontSpec> parsed = ParseFontSpec(spec);
  return parsed ? parsed->face : std::string(kUnparsedFontFace);
}

void ExpandSizePlaceholders(std::string_view screen_resolution, std::string* line,
                            std::string_view where, ErrorSink& errors) {
  std::size_t from = 0;
  for (;;) {
    std::size_t at = line->find(kSize, from);
    if (at == std::string::npos) return;
    errors.KeepResponsive();
    SizeReplacement size;
    bool done = RunStep(errors, kExpandSizesProcedure,
                        [&] { size = WorkOutSize(screen_resolution, *line, at, where); });
    if (done) {
      line->replace(at, size.placeholder.size(), size.size);
      from = at + size.size.size();
    } else {
      from = at + kSize.size();  // the placeholder stays; go on after it
    }
  }
}

FontClassTable CollectFontClasses(const PageFonts& fonts, LineList* lines, ErrorSink& errors) {
  FontClassTable table;
  if (lines->empty()) return table;
  table.template_path = (*lines)[0];
  const std::size_t last = lines->size() - 1;

  bool found = false;
  for (std::size_t i = 1; i <= last; ++i) {
    std::string& line = (*lines)[i];
    std::size_t at = line.find(kFontClass);
    if (at == std::string::npos) {
      if (found) break;
      continue;
    }
    found = true;
    std::string where = Where(*lines, i);
    PlaceScope here(errors, LinePlace(table.template_path, i));
    RunStep(errors, kCollectClassesProcedure, [&] {
      std::string_view digits = DigitsAt(line, at + kFontClass.size());
      if (digits.empty()) {
        throw UnexpectedError(
            err::kTypeMismatch,
            "Type mismatch: font class line without a class number (" + where + ")");
      }
      double number = LeadingNumber(digits);
      if (number > 32767) {
        throw UnexpectedError(err::kOverflow, "Overflow: font class number " + std::string(digits) +
                                                  " (" + where + ")");
      }
      FontClass font_class;
      font_class.number = ToInt16(number);
      table.classes.push_back(std::move(font_class));
    });
    ExpandSizePlaceholders(fonts.screen_resolution, &line, where, errors);
    ReplaceFirst(&line, kFontClass, "");
    ReplaceFirst(&line, kFont, fonts.face);
  }
  if (table.classes.empty()) return table;

  // Marker lines compared trimmed and upper-cased; other lines get an empty key.
  std::vector<std::string> keys(lines->size());
  for (std::size_t i = 1; i <= last; ++i) {
    std::string trimmed = TrimBlanks((*lines)[i]);
    if (trimmed.size() > kMarker.size() && trimmed.size() <= kLongestMarkerLine &&
        EqualsIgnoringCase(trimmed.substr(0, kMarker.size()), kMarker)) {
      keys[i] = ToUpper(trimmed);
    }
  }
  auto is = [&](std::size_t i, const std::string& marker) { return keys[i] == marker; };

  for (FontClass& font_class : table.classes) {
    std::string number = NumberToText(font_class.number);
    std::string start = std::string(kMarker) + "EIN" + number;
    std::string main = std::string(kMarker) + "HAUPT" + number;
    std::string close = std::string(kMarker) + "AUS" + number;
    std::string end = std::string(kMarker) + "ENDE" + number;
    // Collects the lines after `from` up to the marker `stop` into `*part` (its first line's
    // number into `*first_line`); returns the index of the marker line. A block that reaches
    // the end of the template is an error.
    auto collect = [&](std::size_t from, const std::string& stop, LineList* part,
                       std::size_t* first_line) {
      LineList block;
      std::size_t i = from + 1;
      for (; i <= last && !is(i, stop); ++i) {
        errors.KeepResponsive();
        block.push_back((*lines)[i]);
      }
      if (i > last) {
        throw Located(ProgramError("Font class " + number + ": the block opened in " +
                                   Where(*lines, from) + " is not closed by " + stop),
                      PlaceText(LinePlace(table.template_path, from)));
      }
      if (!block.empty()) {
        *part = std::move(block);
        *first_line = from + 1;
      }
      return i;
    };
    RunStep(errors, kCollectClassesProcedure, [&] {
      for (std::size_t i = 1; i <= last; ++i) {
        if (is(i, start)) i = collect(i, main, &font_class.opening, &font_class.opening_line);
        if (is(i, main)) i = collect(i, close, &font_class.main, &font_class.main_line);
        if (is(i, close)) i = collect(i, end, &font_class.closing, &font_class.closing_line);
        if (is(i, end)) break;
      }
    });
  }
  return table;
}

void FillMainPageFontClassLines(const PageFonts& fonts, LineList* lines, ErrorSink& errors) {
  if (lines->empty()) return;
  const std::string path = (*lines)[0];
  bool found = false;
  for (std::size_t i = 1; i < lines->size(); ++i) {
    std::string& line = (*lines)[i];
    if (line.find(kFontClass) == std::string::npos) {
      if (found) break;
      continue;
    }
    found = true;
    PlaceScope here(errors, LinePlace(path, i));
    std::optional<SizeReplacement> size;
    std::size_t at = line.find(kSize);
    if (at != std::string::npos) {
      errors.KeepResponsive();
      RunStep(errors, kFillMainPageProcedure,
              [&] { size = WorkOutSize(fonts.screen_resolution, line, at, Where(*lines, i)); });
    }
    ReplaceFirst(&line, kFontClass, "");
    if (size) ReplaceFirst(&line, size->placeholder, size->size);
    ReplaceFirst(&line, kFont, fonts.face);
  }
}

}  // namespace orvano
