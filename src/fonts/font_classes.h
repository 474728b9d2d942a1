// Font classes: the font face of the run's language, sizes scaled to the project's screen width
// ("###SIZE###" a "-" b), and the FontClassTable: the blocks of template lines that open, repeat
// and close a generated row of each class. Used by the driver (font face), the page editing and
// the navigation pages (class tables, main page).

#ifndef ORVANO_FONTS_FONT_CLASSES_H_
#define ORVANO_FONTS_FONT_CLASSES_H_

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "support/table.h"
#include "templates/template_set.h"

namespace orvano {

struct RunContext;

/// One font class of a page. A part whose marker block is absent or empty is a list of exactly
/// one empty line.
struct FontClass {
  LineList opening{""};  // lines between the EIN and HAUPT markers
  LineList main{""};     // lines between HAUPT and AUS, repeated for every row of the class
  LineList closing{""};  // lines between AUS and ENDE
  std::int16_t number = 0;
};

/// The font classes of one page: class 0 holds the template's path, classes 1..K (in the order
/// of the template's class lines) are `classes[0..K-1]`.
struct FontClassTable {
  std::string template_path;
  std::vector<FontClass> classes;

  /// The number of classes K.
  int size() const { return static_cast<int>(classes.size()); }
  /// Class `k` (1..K). Throws UnexpectedError 9 outside.
  const FontClass& Class(int k) const;
};

/// The first class k (1..K) whose number equals `class_code` (a row's column 0: a number, or a
/// text compared as a number when it reads as one), or 0 when there is none.
int FindFontClass(const FontClassTable& table, const Cell& class_code);

/// Parses a font specification: a face name (which may hold blanks) and seven numeric fields,
/// all separated by runs of blanks. Returns element 0 the face name and elements 1..7 the fields.
/// Element 0 is "-1" when the text runs out before seven fields or when a field is not
/// numeric. An empty or blank specification gives an empty face name and the event-log note
/// "Font specification missing for the language " + the language id. Throws only EndProgram.
std::array<std::string, 8> GetFontSpecs(RunContext& context, std::string_view spec);

/// Replaces every size placeholder "###SIZE###" a "-" b of `*line` (a, b digit runs) by
/// round-half-even(screen width * b / a) as a 16-bit integer, the screen width being
/// `context.description.screen_resolution`. A placeholder that cannot be worked out (separator
/// other than "-", empty a or b, a = 0, size out of range) is reported under "EditRelSize",
/// naming `where` (the template and line), and left in the line; the rest of the line is still
/// done. Throws only EndProgram.
void EditRelSize(RunContext& context, std::string* line, std::string_view where = "");

/// Collects the font classes of a page template and fills in its class lines. `*lines` is a
/// line list (element 0 the template's path). The class lines ("###FONTCLASS###" followed by
/// the class number) must stand together: the first line without the marker after one with it
/// ends them. In each class line the sizes are worked out, the first "###FONTCLASS###" removed
/// and the first "###FONT###" replaced by the language's font face. Each class's parts are the
/// lines between its marker lines "###FONTBEZUG###" EIN/HAUPT/AUS/ENDE + number (matched trimmed
/// and without regard to case), which stay in `*lines`. A class line without a number and a
/// marker block that is never closed are reported under "GetHTMLFontClasses", naming the
/// template and line; the class is then left out, or keeps its parts up to the unclosed one.
/// Throws only EndProgram.
FontClassTable GetHTMLFontClasses(RunContext& context, LineList* lines);

/// Fills in the class lines of the main page template in `*lines`: removes the first
/// "###FONTCLASS###", replaces the first size placeholder by its size and the first "###FONT###"
/// by the font face. A size placeholder that cannot be worked out is reported under
/// "EditHTMLFontClasses", naming the template and line, and left in the line. Throws only
/// EndProgram.
void EditHTMLFontClasses(RunContext& context, LineList* lines);

}  // namespace orvano

#endif  // ORVANO_FONTS_FONT_CLASSES_H_
