#include "support/number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "support/errors.h"

namespace orvano {
namespace {

bool IsSkipped(char c) { return c == ' ' || c == '\t' || c == '\n'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

[[noreturn]] void ThrowOverflow(std::string_view what) {
  throw UnexpectedError(err::kOverflow, "Overflow: " + std::string(what));
}

// "&H1F" / "&O17": the digits after the prefix, wrapped to a signed 16-bit integer when they fit
// in 16 bits and to a signed 32-bit integer otherwise, as the classic run time does.
double ValRadix(std::string_view digits, int radix) {
  std::uint64_t value = 0;
  for (char c : digits) {
    int d;
    if (IsDigit(c)) {
      d = c - '0';
    } else if (radix == 16 && ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'))) {
      d = (c | 0x20) - 'a' + 10;
    } else {
      break;
    }
    if (d >= radix) break;
    value = value * radix + d;
    if (value > 0xFFFFFFFFull) ThrowOverflow(digits);
  }
  if (value <= 0xFFFF) return static_cast<std::int16_t>(static_cast<std::uint16_t>(value));
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

}  // namespace

double LeadingNumber(std::string_view text) {
  std::string compact;
  compact.reserve(text.size());
  for (char c : text) {
    if (!IsSkipped(c)) compact.push_back(c);
  }
  if (compact.size() >= 2 && compact[0] == '&') {
    char kind = compact[1] | 0x20;
    if (kind == 'h') return ValRadix(std::string_view(compact).substr(2), 16);
    if (kind == 'o') return ValRadix(std::string_view(compact).substr(2), 8);
  }
  // Cut the longest prefix of the form [sign] digits [. digits] [E|D [sign] digits].
  std::string number;
  std::size_t i = 0;
  if (i < compact.size() && (compact[i] == '+' || compact[i] == '-')) number += compact[i++];
  bool any_digit = false;
  while (i < compact.size() && IsDigit(compact[i])) number += compact[i++], any_digit = true;
  if (i < compact.size() && compact[i] == '.') {
    number += compact[i++];
    while (i < compact.size() && IsDigit(compact[i])) number += compact[i++], any_digit = true;
  }
  if (!any_digit) return 0;
  if (i < compact.size() &&
      (compact[i] == 'E' || compact[i] == 'e' || compact[i] == 'D' || compact[i] == 'd')) {
    std::size_t j = i + 1;
    std::string exponent = "E";
    if (j < compact.size() && (compact[j] == '+' || compact[j] == '-')) exponent += compact[j++];
    bool exponent_digit = false;
    while (j < compact.size() && IsDigit(compact[j]))
      exponent += compact[j++], exponent_digit = true;
    if (exponent_digit) number += exponent;
  }
  double value = std::strtod(number.c_str(), nullptr);
  if (std::isinf(value)) ThrowOverflow(text);
  return value;
}

std::optional<double> ParseNumber(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  if (text.empty()) return std::nullopt;
  if (text.front() == '+') text.remove_prefix(1);
  if (text.empty() || text.front() == '+') return std::nullopt;
  double value = 0;
  auto [end, ec] =
      std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
  if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

std::string_view DigitsAt(std::string_view text, std::size_t pos) {
  pos = std::min(pos, text.size());
  std::size_t end = pos;
  while (end < text.size() && IsDigit(text[end])) ++end;
  return text.substr(pos, end - pos);
}

double RoundHalfEven(double value) { return std::nearbyint(value); }

std::int16_t ToInt16(double value) {
  double rounded = RoundHalfEven(value);
  if (!(rounded >= -32768.0 && rounded <= 32767.0)) ThrowOverflow(NumberToText(value));
  return static_cast<std::int16_t>(rounded);
}

std::int32_t ToInt32(double value) {
  double rounded = RoundHalfEven(value);
  if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0)) ThrowOverflow(NumberToText(value));
  return static_cast<std::int32_t>(rounded);
}

std::string NumberToText(double value) {
  if (value == 0) return "0";  // also for -0
  char buffer[64];
  // A whole number of at most 15 digits prints as its digits: the common case, and many times
  // faster than the general form, which gives the same text for it.
  if (value > -1E15 && value < 1E15 &&
      value == static_cast<double>(static_cast<long long>(value))) {
    const auto end =
        std::to_chars(buffer, buffer + sizeof buffer, static_cast<long long>(value)).ptr;
    return std::string(buffer, end);
  }
  auto [end, ec] =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
  if (ec != std::errc()) return "0";
  std::string text(buffer, end);
  // to_chars writes "1e-05" / "1.5e+16"; the program's form is "1E-05" / "1.5E+16".
  if (auto e = text.find('e'); e != std::string::npos) text[e] = 'E';
  return text;
}

}  // namespace orvano
