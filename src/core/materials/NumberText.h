#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace mb {

/// The leading number of a text: blanks, tabs and line feeds are skipped wherever they
/// stand, then an optional sign, digits, an optional "." with digits and an optional
/// exponent are taken; reading stops at the first character that cannot continue the
/// number. No number at all gives 0. The decimal point is always ".".
/// Returns nullopt only when the number is too large for a double, so callers can skip
/// the step instead of storing an infinity.
std::optional<double> leadingNumber(std::string_view text);

/// The leading number read with the user's decimal separator: with "," the first comma
/// (after leading blanks are removed) stands for the decimal point.
std::optional<double> ParseNumberText(std::string_view text, std::string_view decimalSeparator);

/// True when the whole text, bar surrounding blanks, is one number written with "." or,
/// when the user's separator is ",", with a comma as decimal point.
bool isNumericText(std::string_view text, std::string_view decimalSeparator);

/// The 11-character number text of files and grid: a mantissa of a fixed digit count
/// chosen by the value's range, "E", the exponent, blank-padded on the right.
std::string formatNumberText(double value);

inline constexpr std::size_t kNumberTextWidth = 11;
/// The same number text written into `text`, which has room for exactly 11 characters.
void writeNumberText(double value, char* text);

/// Writes a number text as writeNumberText does and returns the value it reads back as,
/// so that writing that value again gives the same text. Where rounding carries a value
/// into the range of another pattern (0.9999999, "100000E-5", reads back as 1), the text
/// of the value read back is written instead ("1000000E-6").
double writeStableNumberText(double value, char* text);

/// The number text of `value`, as files and grid hold it, read back and written in general
/// form: what a cell shows of a stored value (formatGeneralNumber of the number text's
/// value), without going through the text twice.
std::string generalNumberText(double value, std::string_view decimalSeparator);

/// General decimal text with up to 15 significant digits, in exponent form only where
/// the number needs it, with the given decimal separator.
std::string formatGeneralNumber(double value, std::string_view decimalSeparator);

} // namespace mb
