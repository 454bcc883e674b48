#include "NumberText.h"

#include "clsMaterial.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <string>
#include <tuple>

#include <cmath>
#include <limits>
#include <random>

namespace mb {
namespace {

const double kMax = std::numeric_limits<double>::max();
const double kDenormMin = std::numeric_limits<double>::denorm_min();

TEST(WriteValue, EachRangeHasItsPatternAndRoundingCarriesIntoTheExponent) {
    const std::pair<double, const char*> cases[] = {
        // below -1 five digits, "E+" signed; -1 up to 0 five digits; 0 up to 1 six; 1 up to
        // 1E10 seven; 1E10 up to 1E11 six; above, five
        {-123456.0, "-12346E+1  "},
        {-1.00001, "-10000E-4  "},
        {-1.0, "-10000E-4  "},
        {-0.5, "-50000E-5  "},
        {0.0, "0E0        "},
        {-0.0, "0E0        "},
        {0.25, "250000E-6  "},
        {0.99999951, "100000E-5  "},
        {1.0, "1000000E-6 "},
        {9999999.6, "1000000E1  "},
        {9999999999.0, "1000000E4  "},
        {5.5e10, "550000E5   "},
        {2.1e11, "21000E7    "},
        // rounding up would leave the double range: the largest values round down
        {kMax, "17976E304  "},
        {-kMax, "-17976E+304"},
        {kDenormMin, "494066E-329"}};
    for (const auto& [value, text] : cases)
        EXPECT_EQ(clsMaterial::WriteValue(value), text) << value;
    for (double v : {INFINITY, -INFINITY, NAN})
        EXPECT_EQ(clsMaterial::WriteValue(v).size(), 11u) << v;
}

// The text a correctly rounded decimal expansion gives: the digits of to_chars' scientific
// form and the exponent of the last digit, with the pattern's signs.
std::string CorrectlyRounded(double v) {
    const int digits = v < 0 ? 5 : (v < 1 ? 6 : (v < 1e10 ? 7 : (v < 1e11 ? 6 : 5)));
    char buf[64];
    const auto end = std::to_chars(buf, buf + sizeof buf, std::fabs(v),
                                   std::chars_format::scientific, digits - 1)
                         .ptr;
    const std::string sci(buf, end);
    const std::size_t e = sci.find('e');
    std::string text = v < 0 ? "-" : "";
    for (char c : sci.substr(0, e))
        if (c != '.') text += c;
    const int exponent = std::stoi(sci.substr(e + 1)) - (digits - 1);
    text += 'E';
    text += exponent < 0 ? "-" : (v < -1 ? "+" : "");
    text += std::to_string(std::abs(exponent));
    return text + std::string(11 - text.size(), ' ');
}

// Below the largest doubles every value is rounded exactly, subnormals and ties included,
// whichever way the text is produced; no text holds a decimal separator.
TEST(WriteValue, MatchesTheCorrectlyRoundedDigitsAcrossTheRange) {
    std::mt19937_64 rng(77);
    std::uniform_real_distribution<double> mantissa(-10.0, 10.0);
    std::uniform_int_distribution<int> exponent(-320, 307);
    for (int i = 0; i < 200000; ++i) {
        const double v = mantissa(rng) * std::pow(10.0, exponent(rng));
        if (std::fabs(v) >= 1.7976e308) continue; // pinned above
        ASSERT_EQ(clsMaterial::WriteValue(v), CorrectlyRounded(v)) << v;
    }
    for (double v : {0.5, 1.5, 2.5, 1234567.5, 0.1234565, -1.00005, -0.123455, 1e10 - 0.5,
                     99999.995, 123456.75e5, -0.9999999, -1.0000001, 0.9999999, 9999999999.0,
                     99999999999.0, 4.9e-324, 2.2e-308, 1e-300})
        EXPECT_EQ(clsMaterial::WriteValue(v), CorrectlyRounded(v)) << v;
}

// Plain numbers take a shortcut; it must land on the double an exact conversion gives.
// What a file holds is what the next save writes: the value the text reads back as gives
// the same text again, across the range and where rounding changes the pattern.
TEST(WriteStableNumberText, TheValueReadBackWritesTheSameText) {
    const std::tuple<double, const char*, double> cases[] = {{2.5, "2500000E-6 ", 2.5},
                                                             {5356310.4, "5356310E0  ", 5356310.0},
                                                             {0.99999999, "1000000E-6 ", 1.0},
                                                             {9999999999.9, "100000E5   ", 1e10},
                                                             {99999999999.9, "10000E7    ", 1e11},
                                                             {-1.0000001, "-10000E-4  ", -1.0},
                                                             {0.0, "0E0        ", 0.0},
                                                             {kMax, "17976E304  ", 1.7976e308}};
    for (const auto& [value, text, back] : cases) {
        char written[kNumberTextWidth];
        EXPECT_EQ(writeStableNumberText(value, written), back) << value;
        EXPECT_EQ(std::string(written, kNumberTextWidth), text) << value;
    }
    std::mt19937_64 rng(4711);
    std::uniform_real_distribution<double> mantissa(-10.0, 10.0);
    std::uniform_int_distribution<int> exponent(-320, 307);
    for (int i = 0; i < 100000; ++i) {
        const double v = mantissa(rng) * std::pow(10.0, exponent(rng));
        char first[kNumberTextWidth], second[kNumberTextWidth];
        const double back = writeStableNumberText(v, first);
        const std::string text(first, kNumberTextWidth);
        ASSERT_EQ(ParseNumberText("   " + text + "N/m^2", ".").value_or(NAN), back) << text;
        ASSERT_EQ(writeStableNumberText(back, second), back) << text;
        ASSERT_EQ(std::string(second, kNumberTextWidth), text) << v;
    }
}

TEST(ParseNumberText, PlainNumbersReadAsTheExactConversionReadsThem) {
    std::mt19937_64 rng(5);
    std::uniform_int_distribution<long long> mantissa(0, 999999999999999999LL);
    std::uniform_int_distribution<int> length(1, 18), point(0, 19), exponent(-40, 40), form(0, 3);
    for (int i = 0; i < 100000; ++i) {
        std::string digits =
            std::to_string(mantissa(rng)).substr(0, static_cast<std::size_t>(length(rng)));
        const std::size_t at = std::min(digits.size(), static_cast<std::size_t>(point(rng)));
        if (form(rng) > 0) digits.insert(at, ".");
        if (form(rng) > 1) digits += (form(rng) > 2 ? "e" : "E") + std::to_string(exponent(rng));
        if (form(rng) == 0) digits.insert(0, "-");
        double expected = 0;
        ASSERT_EQ(std::from_chars(digits.data(), digits.data() + digits.size(), expected).ec,
                  std::errc())
            << digits;
        const auto read = ParseNumberText("   " + digits + "   N/m^2", ".");
        ASSERT_TRUE(read.has_value()) << digits;
        ASSERT_EQ(*read, expected) << digits;
        ASSERT_EQ(std::signbit(*read), std::signbit(expected)) << digits;
    }
}

TEST(ParseNumberText, GivesTheLeadingNumberUnderTheSeparator) {
    const std::tuple<std::string, const char*, double> cases[] = {
        {"1,234,5", ",", 1.234},
        {"2,5", ".", 2},
        {"2.5", ",", 2.5},
        {"abc", ",", 0},
        {"1 2", ".", 12},
        {"  1234567E-6N/m^2  ", ".", 1.234567},
        {"- 3", ".", -3},
        {"1E+", ".", 1},
        {"1E-999", ".", 0},
        {std::string(2000, '0') + "5", ".", 5},
        {"0." + std::string(1000, '0') + "5E1003", ".", 500},
        {"-1." + std::string(100000, '3'), ".", -4.0 / 3},
        // Blanks after a number are skipped to the next character however many there are:
        // a digit there still continues the number, anything else ends it.
        {"  21000E7" + std::string(37, ' ') + "N/m^2", ".", 2.1e11},
        {"  21000E7" + std::string(37, ' ') + "1", ".", 2.1e75},
        {"  21000E7" + std::string(37, ' '), ".", 2.1e11},
        {"  -2.5" + std::string(15, ' ') + "\t 5", ".", -2.55}};
    for (const auto& [text, separator, value] : cases)
        EXPECT_DOUBLE_EQ(ParseNumberText(text, separator).value_or(NAN), value)
            << text.substr(0, 20) << separator;
    // Too large for a double is a failed step, not infinity.
    EXPECT_FALSE(ParseNumberText("-1E999", ",").has_value());
    EXPECT_FALSE(ParseNumberText(std::string(400, '9'), ".").has_value());
}

TEST(NumberText, OnlyWholeNumbersAreNumericAndTheGeneralFormReadsBack) {
    for (const auto& [text, sep, numeric] : {std::tuple{" -2.5E+3 ", ".", true},
                                             {"2,5", ",", true},
                                             {"2,5", ".", false},
                                             {"1.5psi", ".", false},
                                             {"1E", ".", false}})
        EXPECT_EQ(isNumericText(text, sep), numeric) << text << sep;
    EXPECT_EQ(formatGeneralNumber(0.1 + 0.2, ".") + " " +
                  formatGeneralNumber(123456789012345.0, "."),
              "0.3 123456789012345");
    EXPECT_EQ(formatGeneralNumber(1.5e-20, ",") + " " + formatGeneralNumber(-1234.5, ","),
              "1,5E-20 -1234,5");
    for (double v : {6893.5773, 1.0 / 3.0, -4.5e-7})
        EXPECT_NEAR(ParseNumberText(formatGeneralNumber(v, ","), ",").value_or(NAN), v,
                    std::fabs(v) * 1e-14);
}

// What a cell shows of a stored value: the number text read back, in general form. Built
// from the text's digits, it must be what reading the text and formatting the value give.
TEST(GeneralNumberText, IsTheNumberTextReadBackInGeneralForm) {
    for (const auto& [value, separator, shown] : {std::tuple{2.1e11, ".", "210000000000"},
                                                  {30463140.4, ".", "30463140"},
                                                  {1.2e-4, ",", "0,00012"},
                                                  {1.2e-5, ",", "1,2E-05"},
                                                  {-1.00005e-5, ".", "-1.0001E-05"},
                                                  {0.9999999, ".", "1"},
                                                  {1.23456789e15, ".", "1.2346E+15"},
                                                  {-0.0, ".", "0"},
                                                  {kMax, ",", "1,7976E+308"}})
        EXPECT_EQ(generalNumberText(value, separator), shown) << value;
    const auto slow = [](double v, const char* separator) {
        return formatGeneralNumber(leadingNumber(formatNumberText(v)).value_or(v), separator);
    };
    std::mt19937_64 rng(2026);
    std::uniform_real_distribution<double> mantissa(-10.0, 10.0);
    std::uniform_int_distribution<int> exponent(-310, 307);
    for (int i = 0; i < 200000; ++i) {
        const double v = mantissa(rng) * std::pow(10.0, i % 2 ? exponent(rng) : exponent(rng) / 20);
        ASSERT_EQ(generalNumberText(v, i % 3 ? "." : ","), slow(v, i % 3 ? "." : ",")) << v;
    }
}

} // namespace
} // namespace mb
