// The escapes of the tools' readable text formats (table files, sheet files, project sources):
// \t, \n, \r and \\ stand for a tab, a line feed, a carriage return and a backslash. Each tool
// words its own message for a bad escape.

#ifndef ORVANO_TOOLS_TEXT_ESCAPES_TEXT_ESCAPES_H_
#define ORVANO_TOOLS_TEXT_ESCAPES_TEXT_ESCAPES_H_

#include <optional>
#include <string>
#include <string_view>

namespace orvano::tools {

struct UnescapedText {
  std::string text;  // complete only when the field is well formed
  /// The character after the first backslash that starts no escape.
  std::optional<char> bad_escape;
  /// True when the field ends in a backslash.
  bool lone_backslash = false;

  bool ok() const { return !bad_escape && !lone_backslash; }
};

inline UnescapedText Unescape(std::string_view field) {
  UnescapedText result;
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] != '\\') {
      result.text += field[i];
      continue;
    }
    if (++i == field.size()) {
      result.lone_backslash = true;
      return result;
    }
    switch (field[i]) {
      case 't':
        result.text += '\t';
        break;
      case 'n':
        result.text += '\n';
        break;
      case 'r':
        result.text += '\r';
        break;
      case '\\':
        result.text += '\\';
        break;
      default:
        result.bad_escape = field[i];
        return result;
    }
  }
  return result;
}

}  // namespace orvano::tools

#endif  // ORVANO_TOOLS_TEXT_ESCAPES_TEXT_ESCAPES_H_
