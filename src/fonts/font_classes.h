// Font classes: the font face of the run's language, sizes scaled to the project's screen width
// ("###SIZE###" a "-" b), and the FontClassTable: the blocks of template lines that open, repeat
// and close a generated row of each class. Used by the driver (font face) and the page builders
// (class tables, main page). Everything here works on values handed in; reports go to the sink.

#ifndef ORVANO_FONTS_FONT_CLASSES_H_
#define ORVANO_FONTS_FONT_CLASSES_H_

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "support/line_list.h"
#include "support/table.h"

namespace orvano {

class ErrorSink;

/// A language's font specification: a face name and seven numeric fields.
struct FontSpec {
  std::string face;                   // may hold blanks
  std::array<std::string, 7> fields;  // each reads as a number
};

/// Parses a font specification: a face name (which may hold blanks) and seven numeric fields,
/// all separated by runs of blanks. nullopt when the text is blank, runs out before seven fields
/// and a face name, or a field is not numeric.
std::optional<FontSpec> ParseFontSpec(std::string_view spec);

/// The face the pages name for a language whose font specification cannot be parsed.
inline constexpr std::string_view kUnparsedFontFace = "-1";

/// The font face of the language `language_id` from its specification `spec`: the parsed face;
/// kUnparsedFontFace when it cannot be parsed; "" when it is blank, with the note "Font
/// specification missing for the language " + `language_id`. Throws only EndProgram.
std::string FontFaceOfLanguage(std::string_view spec, std::string_view language_id,
                               ErrorSink& errors);

/// What the font lines of a page are filled in with. The views must outlive the calls.
struct PageFonts {
  std::string_view face;               // the run language's font face
  std::string_view screen_resolution;  // the project's screen width, as the description gives it
};

/// One font class of a page. A part whose marker block is absent or empty is a list of exactly
/// one empty line. Each part keeps the template line its first line came from (0 for none), so
/// that what its lines cause can name the template line.
struct FontClass {
  LineList opening{""};  // lines between the EIN and HAUPT markers
  LineList main{""};     // lines between HAUPT and AUS, repeated for every row of the class
  LineList closing{""};  // lines between AUS and ENDE
  std::int16_t number = 0;
  std::size_t opening_line = 0;
  std::size_t main_line = 0;
  std::size_t closing_line = 0;
};

/// The font classes of one page, in the order of the template's class lines.
struct FontClassTable {
  std::string template_path;
  std::vector<FontClass> classes;
};

/// The first class whose number equals `class_code` (a row's column 0: a number, or a text
/// compared as a number when it reads as one); nullptr when there is none. The class lives in
/// `table`.
const FontClass* FindFontClass(const FontClassTable& table, const Cell& class_code);

/// Replaces every size placeholder "###SIZE###" a "-" b of `*line` (a, b digit runs) by
/// round-half-even(screen width * b / a) as a 16-bit integer, the screen width being the leading
/// number of `screen_resolution`. A placeholder that cannot be worked out (separator other than
/// "-", empty a or b, a = 0, size out of range) is reported under "EditRelSize", naming `where`
/// (the template and line) in the message, and left in the line; the rest of the line is still
/// done. The place of the report is the sink's. Throws only EndProgram.
void ExpandSizePlaceholders(std::string_view screen_resolution, std::string* line,
                            std::string_view where, ErrorSink& errors);

/// Collects the font classes of a page template and fills in its class lines. `*lines` is a
/// line list (element 0 the template's path). The class lines ("###FONTCLASS###" followed by
/// the class number) must stand together: the first line without the marker after one with it
/// ends them. In each class line the sizes are worked out, the first "###FONTCLASS###" removed
/// and the first "###FONT###" replaced by `fonts.face`. Each class's parts are the lines between
/// its marker lines "###FONTBEZUG###" EIN/HAUPT/AUS/ENDE + number (matched trimmed and without
/// regard to case), which stay in `*lines`. A class line without a number and a marker block that
/// is never closed are reported under "GetHTMLFontClasses", naming the template and line (in the
/// message and as the place); the class is then left out, or keeps its parts up to the unclosed
/// one. Throws only EndProgram.
FontClassTable CollectFontClasses(const PageFonts& fonts, LineList* lines, ErrorSink& errors);

/// Fills in the class lines of the main page template in `*lines`: removes the first
/// "###FONTCLASS###", replaces the first size placeholder by its size and the first "###FONT###"
/// by `fonts.face`. A size placeholder that cannot be worked out is reported under
/// "EditHTMLFontClasses", naming the template and line (in the message and as the place), and
/// left in the line. Throws only EndProgram.
void FillMainPageFontClassLines(const PageFonts& fonts, LineList* lines, ErrorSink& errors);

}  // namespace orvano

#endif  // ORVANO_FONTS_FONT_CLASSES_H_
