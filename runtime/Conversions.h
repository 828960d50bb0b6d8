#pragma once
// Conversions between the texts held in controls and the numbers the program
// works with. None of them fails: a text without a leading number gives 0 and
// out-of-range values wrap or collapse to 0. Texts are UTF-8.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace vantorel {

/// Folds full-width forms (digits, signs, letters, ideographic space, wave
/// dash, yen sign, stars) to their ASCII twins; other characters pass through.
std::string foldFullWidth(std::string_view text);

/// The longest leading decimal number (optional exponent e/E/d/D) as a double;
/// 0 without a digit, +-infinity when too large. The decimal point is always ".".
double textToNumber(std::string_view text);

/// Leading decimal digits as a 32-bit integer, wrapping on overflow.
std::int32_t textToInteger(std::string_view text);
/// An integer (a combo box's selection) passes through unchanged.
inline std::int32_t textToInteger(std::int32_t value) { return value; }

/// Truncates toward zero to 64 bits and keeps the low 32 bits; NaN,
/// infinities and values outside the 64-bit range give 0.
std::int32_t numberToInteger(double number);

std::string integerToText(std::int32_t value);

/// Byte-wise unsigned comparison: -1, 0 or 1.
int compareText(std::string_view a, std::string_view b);

std::string concatText(std::initializer_list<std::string_view> pieces);

} // namespace vantorel
