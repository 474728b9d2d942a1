#include "support/text_case.h"

#include <unicode/locid.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

namespace orvano {
namespace {

bool IsAscii(std::string_view text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

}  // namespace

std::string ToUpper(std::string_view text) {
  if (IsAscii(text)) {
    std::string upper(text);
    for (char& c : upper) c = AsciiUpper(c);
    return upper;
  }
  std::string out;
  icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), static_cast<int32_t>(text.size())))
      .toUpper(icu::Locale::getRoot())
      .toUTF8String(out);
  return out;
}

int CompareIgnoringCase(std::string_view a, std::string_view b) {
  auto ua =
      icu::UnicodeString::fromUTF8(icu::StringPiece(a.data(), static_cast<int32_t>(a.size())));
  auto ub =
      icu::UnicodeString::fromUTF8(icu::StringPiece(b.data(), static_cast<int32_t>(b.size())));
  return ua.caseCompare(ub, U_FOLD_CASE_DEFAULT | U_COMPARE_CODE_POINT_ORDER);
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (IsAscii(a) && IsAscii(b)) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
      if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
    }
    return true;
  }
  return CompareIgnoringCase(a, b) == 0;
}

}  // namespace orvano
