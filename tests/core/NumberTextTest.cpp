#include "materials/NumberText.h"

#include "materials/clsMaterial.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>

namespace mb {
namespace {

// --- Writing: the 11-character number text -------------------------------------------

struct WriteCase {
    double value;
    const char* text;
};

class WriteValueText : public ::testing::TestWithParam<WriteCase> {};

TEST_P(WriteValueText, IsTheExpectedElevenCharacters) {
    EXPECT_EQ(clsMaterial::WriteValue(GetParam().value), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, WriteValueText,
    ::testing::Values(
        // below -1: five digits, "E+" always signed
        WriteCase{-2.5, "-25000E-4  "}, WriteCase{-123456.0, "-12346E+1  "},
        WriteCase{-1.00001, "-10000E-4  "}, WriteCase{-1e300, "-10000E+296"},
        // -1 up to 0: five digits, only negative exponents signed
        WriteCase{-1.0, "-10000E-4  "}, WriteCase{-0.5, "-50000E-5  "},
        WriteCase{-1e-300, "-10000E-304"},
        // 0 up to 1: six digits
        WriteCase{0.0, "0E0        "}, WriteCase{0.25, "250000E-6  "},
        WriteCase{0.99999951, "100000E-5  "}, WriteCase{1e-9, "100000E-14 "},
        // 1 up to 1E10: seven digits
        WriteCase{1.0, "1000000E-6 "}, WriteCase{2.1e5, "2100000E-1 "},
        WriteCase{9999999.6, "1000000E1  "}, WriteCase{9999999999.0, "1000000E4  "},
        // 1E10 up to 1E11: six digits
        WriteCase{1e10, "100000E5   "}, WriteCase{5.5e10, "550000E5   "},
        // 1E11 and above: five digits
        WriteCase{1e11, "10000E7    "}, WriteCase{2.1e11, "21000E7    "},
        // rounding up would leave the double range: the largest values round down
        WriteCase{1.7976931348623157e308, "17976E304  "},
        WriteCase{-1.7976931348623157e308, "-17976E+304"}));

TEST(WriteValue, ZeroAndSignOfZero) {
    EXPECT_EQ(clsMaterial::WriteValue(-0.0), "0E0        ");
}

TEST(WriteValue, NonFiniteValuesStillFitElevenCharacters) {
    for (double v : {std::numeric_limits<double>::infinity(),
                     -std::numeric_limits<double>::infinity(),
                     std::numeric_limits<double>::quiet_NaN()}) {
        const std::string t = clsMaterial::WriteValue(v);
        EXPECT_EQ(t.size(), 11u) << t;
        EXPECT_TRUE(ParseNumberText(t, ".").has_value()) << t;
    }
}

TEST(WriteValue, DenormalsKeepTheirPatternAndWidth) {
    EXPECT_EQ(clsMaterial::WriteValue(std::numeric_limits<double>::denorm_min()), "494066E-329");
    EXPECT_EQ(clsMaterial::WriteValue(-std::numeric_limits<double>::denorm_min()), "-49407E-328");
}

// Relative error allowed by a mantissa of `digits` digits, with a little slack for the
// double arithmetic of the reader.
double Precision(double v) {
    const int digits = v < 0 ? 5 : (v < 1 ? 6 : (v < 1e10 ? 7 : (v < 1e11 ? 6 : 5)));
    // The very largest doubles are rounded toward zero, a whole unit of the last digit.
    const double units = std::fabs(v) >= 1.79765e308 ? 1.0 : 0.5;
    return units * std::pow(10.0, 1 - digits) * 1.000001;
}

void ExpectReadsBack(double v) {
    const std::string text = clsMaterial::WriteValue(v);
    ASSERT_EQ(text.size(), 11u) << v;
    EXPECT_EQ(text.find('.'), std::string::npos) << text;
    EXPECT_EQ(text.find(','), std::string::npos) << text;
    const std::string digits = text.substr(0, text.find_last_not_of(' ') + 1);
    EXPECT_EQ(digits.find(' '), std::string::npos) << text;
    for (const char* sep : {".", ","}) {
        const auto back = ParseNumberText(text, sep);
        ASSERT_TRUE(back.has_value()) << text;
        // Subnormals are stored to the nearest step of 2^-1074, whatever the digits say.
        EXPECT_LE(std::fabs(*back - v), std::fabs(v) * Precision(v) + 1e-323)
            << text << " " << v;
    }
}

TEST(WriteValue, ReadsBackUnderEitherSeparatorForRandomDoubles) {
    std::mt19937_64 rng(20240611);
    std::uniform_real_distribution<double> mantissa(-10.0, 10.0);
    std::uniform_int_distribution<int> exponent(-320, 307);
    for (int i = 0; i < 20000; ++i) {
        const double v = mantissa(rng) * std::pow(10.0, exponent(rng));
        ExpectReadsBack(v);
    }
}

TEST(WriteValue, ReadsBackAtTheRangeBoundaries) {
    for (double v : {-1.0, -0.9999999, -1.0000001, 0.0, 1e-300, 0.9999999, 1.0, 9999999999.0,
                     1e10, 99999999999.0, 1e11, 1e300, 123.456, -123.456, 4.9e-324, 2.2e-308,
                     1.7976931348623157e308, -1.7976931348623157e308, 1.79765e308})
        ExpectReadsBack(v);
}

// --- Reading: the leading number ------------------------------------------------------

struct ParseCase {
    const char* text;
    const char* separator;
    double value;
};

class ParseText : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseText, GivesTheLeadingNumber) {
    const auto v = ParseNumberText(GetParam().text, GetParam().separator);
    ASSERT_TRUE(v.has_value());
    EXPECT_DOUBLE_EQ(*v, GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ParseText,
    ::testing::Values(ParseCase{"2,5", ",", 2.5}, ParseCase{" 1,5E+3", ",", 1500},
                      ParseCase{"1,234,5", ",", 1.234}, ParseCase{"2,5", ".", 2},
                      ParseCase{"2.5", ",", 2.5}, ParseCase{"abc", ".", 0},
                      ParseCase{"abc", ",", 0}, ParseCase{"1 2", ".", 12},
                      ParseCase{"  1234567E-6N/m^2           ", ".", 1.234567},
                      ParseCase{"  3.5   psi", ",", 3.5}, ParseCase{"\t-4.5e-1", ".", -0.45},
                      ParseCase{"+7", ".", 7}, ParseCase{".5", ".", 0.5},
                      ParseCase{"5.", ".", 5}, ParseCase{"- 3", ".", -3},
                      ParseCase{"1E", ".", 1}, ParseCase{"1E+", ".", 1},
                      ParseCase{"1e 2", ".", 100}, ParseCase{"1\n2", ".", 12},
                      ParseCase{"1,5", "", 1}, ParseCase{"1,5", ";", 1},
                      ParseCase{"", ".", 0}, ParseCase{".", ".", 0}, ParseCase{"-", ".", 0},
                      ParseCase{"1E-999", ".", 0}, ParseCase{"0E999", ".", 0},
                      ParseCase{"0.0000000000000000000000000001E-400", ".", 0}));

TEST(ParseNumberText, TooLargeForADoubleIsAFailedStep) {
    EXPECT_FALSE(ParseNumberText("1E999", ".").has_value());
    EXPECT_FALSE(ParseNumberText("-1E999", ",").has_value());
    EXPECT_FALSE(LeadingNumber(std::string(400, '9')).has_value());
}

TEST(ParseNumberText, LongDigitRunsKeepTheirValue) {
    const double failed = std::numeric_limits<double>::quiet_NaN();
    // However many zeros lead or follow, the significant digits and the exponent decide.
    EXPECT_DOUBLE_EQ(LeadingNumber(std::string(2000, '0') + "5").value_or(failed), 5);
    EXPECT_DOUBLE_EQ(LeadingNumber("0." + std::string(1000, '0') + "5E1003").value_or(failed), 500);
    EXPECT_DOUBLE_EQ(LeadingNumber("5" + std::string(1000, '0') + "E-1000").value_or(failed), 5);
    EXPECT_DOUBLE_EQ(LeadingNumber("-1." + std::string(100000, '3')).value_or(failed), -4.0 / 3);
}

TEST(IsNumericText, AcceptsWholeNumbersOnly) {
    EXPECT_TRUE(IsNumericText("2.5", "."));
    EXPECT_TRUE(IsNumericText(" -2.5E+3 ", "."));
    EXPECT_TRUE(IsNumericText("2,5", ","));
    EXPECT_TRUE(IsNumericText("2.5", ","));
    EXPECT_TRUE(IsNumericText(".5", "."));
    EXPECT_FALSE(IsNumericText("2,5", "."));
    EXPECT_FALSE(IsNumericText("1,234,5", ","));
    EXPECT_FALSE(IsNumericText("", "."));
    EXPECT_FALSE(IsNumericText("   ", "."));
    EXPECT_FALSE(IsNumericText("abc", "."));
    EXPECT_FALSE(IsNumericText("1.5psi", "."));
    EXPECT_FALSE(IsNumericText("1E", "."));
    EXPECT_FALSE(IsNumericText(".", "."));
    EXPECT_FALSE(IsNumericText("1E999", "."));
}

TEST(FormatGeneralNumber, FifteenSignificantDigitsInPlainFormWherePossible) {
    EXPECT_EQ(FormatGeneralNumber(2.5, "."), "2.5");
    EXPECT_EQ(FormatGeneralNumber(2.5, ","), "2,5");
    EXPECT_EQ(FormatGeneralNumber(0.1 + 0.2, "."), "0.3");
    EXPECT_EQ(FormatGeneralNumber(1234567, "."), "1234567");
    EXPECT_EQ(FormatGeneralNumber(123456789012345.0, "."), "123456789012345");
    EXPECT_EQ(FormatGeneralNumber(1e20, "."), "1E+20");
    EXPECT_EQ(FormatGeneralNumber(1.5e-20, ","), "1,5E-20");
    EXPECT_EQ(FormatGeneralNumber(-1234.5, ","), "-1234,5");
    EXPECT_EQ(FormatGeneralNumber(0, "."), "0");
    EXPECT_EQ(FormatGeneralNumber(-0.0, "."), "0");
}

TEST(FormatGeneralNumber, ReadsBackThroughTheParserUnderItsSeparator) {
    for (double v : {6893.5773, 0.07029492538226612, 1.0 / 3.0, 2.1e11, -4.5e-7})
        for (const char* sep : {".", ","}) {
            const std::string t = FormatGeneralNumber(v, sep);
            EXPECT_TRUE(IsNumericText(t, sep)) << t;
            EXPECT_NEAR(*ParseNumberText(t, sep), v, std::fabs(v) * 1e-14) << t;
        }
}

} // namespace
} // namespace mb
