// Reading numbers from text and printing them, the one way the whole program does it: the
// leading numeric part of a text (LeadingNumber), integer conversion rounding half to even, and
// number to text with at most 15 significant digits.

#ifndef ORVANO_SUPPORT_NUMBER_TEXT_H_
#define ORVANO_SUPPORT_NUMBER_TEXT_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orvano {

/// The leading numeric part of `text`: blanks, tabs and line feeds are skipped wherever they
/// stand; an optional sign, digits with at most one ".", an optional exponent ("E" or "D");
/// "&H" and "&O" read hexadecimal and octal integers. Reading stops at the first character that
/// does not fit; a text without a leading number gives 0.
/// Throws UnexpectedError 6 (overflow) when the number is too large for a double.
double LeadingNumber(std::string_view text);

/// The decimal digits (0-9) that start at `pos` of `text`, as a view; empty when none or when
/// `pos` is past the end.
std::string_view DigitsAt(std::string_view text, std::size_t pos);

/// `text` as a number when the whole text (blanks around it aside) is one decimal number, as
/// "12", "-1.5", "1E3"; otherwise nullopt.
std::optional<double> ParseNumber(std::string_view text);

/// `value` rounded to the nearest integer, ties to the even one (2.5 -> 2, 3.5 -> 4).
double RoundHalfEven(double value);

/// `value` rounded half to even as a 16-bit / 32-bit integer.
/// Throws UnexpectedError 6 (overflow) when the result lies outside the type's range.
std::int16_t ToInt16(double value);
std::int32_t ToInt32(double value);

/// `value` as text: at most 15 significant digits, "." as decimal sign, no trailing zeros, no
/// "+" for positives; exponent form ("1E-05", "1.23456789012346E+16") when |value| < 1E-04 or
/// |value| >= 1E+15.
std::string NumberToText(double value);

}  // namespace orvano

#endif  // ORVANO_SUPPORT_NUMBER_TEXT_H_
