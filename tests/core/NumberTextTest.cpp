#include "materials/NumberText.h"

#include "materials/clsMaterial.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>

namespace mb {
namespace {

const double kInf = std::numeric_limits<double>::infinity();
const double kMax = std::numeric_limits<double>::max();
const double kDenormMin = std::numeric_limits<double>::denorm_min();

// --- Writing: the 11-character number text -------------------------------------------

TEST(WriteValue, EachRangeHasItsPattern) {
    struct {
        double value;
        const char* text;
    } const cases[] = {
        // below -1: five digits, "E+" always signed
        {-2.5, "-25000E-4  "}, {-123456.0, "-12346E+1  "}, {-1.00001, "-10000E-4  "},
        {-1e300, "-10000E+296"},
        // -1 up to 0: five digits, only negative exponents signed
        {-1.0, "-10000E-4  "}, {-0.5, "-50000E-5  "}, {-1e-300, "-10000E-304"},
        // 0 up to 1: six digits
        {0.0, "0E0        "}, {-0.0, "0E0        "}, {0.25, "250000E-6  "},
        {0.99999951, "100000E-5  "}, {1e-9, "100000E-14 "},
        // 1 up to 1E10: seven digits
        {1.0, "1000000E-6 "}, {2.1e5, "2100000E-1 "}, {9999999.6, "1000000E1  "},
        {9999999999.0, "1000000E4  "},
        // 1E10 up to 1E11: six digits; 1E11 and above: five
        {1e10, "100000E5   "}, {5.5e10, "550000E5   "}, {1e11, "10000E7    "},
        {2.1e11, "21000E7    "},
        // rounding up would leave the double range: the largest values round down
        {kMax, "17976E304  "}, {-kMax, "-17976E+304"},
        // denormals keep their pattern and width
        {kDenormMin, "494066E-329"}, {-kDenormMin, "-49407E-328"}};
    for (const auto& c : cases) EXPECT_EQ(clsMaterial::WriteValue(c.value), c.text) << c.value;
}

TEST(WriteValue, NonFiniteValuesStillFitElevenCharacters) {
    for (double v : {kInf, -kInf, std::numeric_limits<double>::quiet_NaN()}) {
        const std::string t = clsMaterial::WriteValue(v);
        EXPECT_EQ(t.size(), 11u) << t;
        EXPECT_TRUE(ParseNumberText(t, ".").has_value()) << t;
    }
}

// Relative error allowed by the mantissa digits of the value's range, with a little slack
// for the reader's double arithmetic.
double Precision(double v) {
    const int digits = v < 0 ? 5 : (v < 1 ? 6 : (v < 1e10 ? 7 : (v < 1e11 ? 6 : 5)));
    // The very largest doubles are rounded toward zero, a whole unit of the last digit.
    const double units = std::fabs(v) >= 1.79765e308 ? 1.0 : 0.5;
    return units * std::pow(10.0, 1 - digits) * 1.000001;
}

void ExpectReadsBack(double v) {
    const std::string text = clsMaterial::WriteValue(v);
    ASSERT_EQ(text.size(), 11u) << v;
    EXPECT_EQ(text.find_first_of(".,"), std::string::npos) << text;
    EXPECT_EQ(text.substr(0, text.find_last_not_of(' ') + 1).find(' '), std::string::npos) << text;
    for (const char* sep : {".", ","}) {
        const auto back = ParseNumberText(text, sep);
        ASSERT_TRUE(back.has_value()) << text;
        // Subnormals are stored to the nearest step of 2^-1074, whatever the digits say.
        EXPECT_LE(std::fabs(*back - v), std::fabs(v) * Precision(v) + 1e-323) << text << " " << v;
    }
}

TEST(WriteValue, ReadsBackUnderEitherSeparatorAtTheBoundariesAndForRandomDoubles) {
    for (double v : {-1.0, -0.9999999, -1.0000001, 0.0, 1e-300, 0.9999999, 1.0, 9999999999.0,
                     1e10, 99999999999.0, 1e11, 1e300, 123.456, -123.456, 4.9e-324, 2.2e-308,
                     kMax, -kMax, 1.79765e308})
        ExpectReadsBack(v);
    std::mt19937_64 rng(20240611);
    std::uniform_real_distribution<double> mantissa(-10.0, 10.0);
    std::uniform_int_distribution<int> exponent(-320, 307);
    for (int i = 0; i < 20000; ++i) ExpectReadsBack(mantissa(rng) * std::pow(10.0, exponent(rng)));
}

// --- Reading: the leading number ------------------------------------------------------

TEST(ParseNumberText, GivesTheLeadingNumberUnderTheSeparator) {
    struct {
        const char* text;
        const char* separator;
        double value;
    } const cases[] = {{"2,5", ",", 2.5}, {" 1,5E+3", ",", 1500}, {"1,234,5", ",", 1.234},
                       {"2,5", ".", 2}, {"2.5", ",", 2.5}, {"abc", ",", 0}, {"1 2", ".", 12},
                       {"  1234567E-6N/m^2           ", ".", 1.234567}, {"  3.5   psi", ",", 3.5},
                       {"\t-4.5e-1", ".", -0.45}, {"+7", ".", 7}, {".5", ".", 0.5},
                       {"5.", ".", 5}, {"- 3", ".", -3}, {"1E+", ".", 1}, {"1e 2", ".", 100},
                       {"1\n2", ".", 12}, {"1,5", "", 1}, {"1,5", ";", 1}, {"", ".", 0},
                       {".", ".", 0}, {"-", ".", 0}, {"1E-999", ".", 0}, {"0E999", ".", 0},
                       {"0.0000000000000000000000000001E-400", ".", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " with '" + c.separator + "'");
        const auto v = ParseNumberText(c.text, c.separator);
        ASSERT_TRUE(v.has_value());
        EXPECT_DOUBLE_EQ(*v, c.value);
    }
}

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
    for (const auto& [text, sep] : {std::pair{"2.5", "."}, {" -2.5E+3 ", "."}, {"2,5", ","},
                                    {"2.5", ","}, {".5", "."}})
        EXPECT_TRUE(IsNumericText(text, sep)) << text << sep;
    for (const auto& [text, sep] : {std::pair{"2,5", "."}, {"1,234,5", ","}, {"", "."}, {"   ", "."},
                                    {"abc", "."}, {"1.5psi", "."}, {"1E", "."}, {".", "."},
                                    {"1E999", "."}})
        EXPECT_FALSE(IsNumericText(text, sep)) << text << sep;
}

TEST(FormatGeneralNumber, FifteenSignificantDigitsInPlainFormWherePossible) {
    EXPECT_EQ(FormatGeneralNumber(2.5, "."), "2.5");
    EXPECT_EQ(FormatGeneralNumber(2.5, ","), "2,5");
    EXPECT_EQ(FormatGeneralNumber(0.1 + 0.2, "."), "0.3");
    EXPECT_EQ(FormatGeneralNumber(123456789012345.0, "."), "123456789012345");
    EXPECT_EQ(FormatGeneralNumber(1e20, "."), "1E+20");
    EXPECT_EQ(FormatGeneralNumber(1.5e-20, ","), "1,5E-20");
    EXPECT_EQ(FormatGeneralNumber(-1234.5, ","), "-1234,5");
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
