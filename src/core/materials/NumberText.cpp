#include "NumberText.h"

#include "TextUtil.h"

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

namespace mb {

namespace {

bool IsSkippable(char c) {
    return c == ' ' || c == '\t' || c == '\n';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The leading number in a normal form: its significant digits and the decimal exponent
// that puts the point in front of them (value = 0.DIGITS x 10^pointExponent). Leading
// zeros only move the exponent and digits past the first few hundred cannot change a
// double, so a megabyte of digits costs no megabyte copy and loses no value.
struct Scanned {
    bool any = false; // at least one digit was read
    bool negative = false;
    std::string digits;
    long long pointExponent = 0;
};

constexpr std::size_t kMaxDigits = 800;
constexpr long long kExponentCap = 100000000; // far past any double, far from overflow

Scanned Scan(std::string_view s) {
    Scanned r;
    std::size_t i = 0;
    auto skip = [&] {
        while (i < s.size() && IsSkippable(s[i]))
            ++i;
    };
    skip();
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) r.negative = s[i++] == '-';
    for (skip(); i < s.size() && IsDigit(s[i]); ++i, skip()) {
        r.any = true;
        if (s[i] == '0' && r.digits.empty()) continue;
        if (r.digits.size() < kMaxDigits) r.digits += s[i];
        ++r.pointExponent;
    }
    if (i < s.size() && s[i] == '.') {
        ++i;
        for (skip(); i < s.size() && IsDigit(s[i]); ++i, skip()) {
            r.any = true;
            if (s[i] == '0' && r.digits.empty()) {
                if (r.pointExponent > -kExponentCap) --r.pointExponent;
                continue;
            }
            if (r.digits.size() < kMaxDigits) r.digits += s[i];
        }
    }
    if (!r.any) return r;
    if (i < s.size() && (s[i] == 'E' || s[i] == 'e')) {
        std::size_t j = i + 1;
        while (j < s.size() && IsSkippable(s[j]))
            ++j;
        bool negativeExponent = false;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) negativeExponent = s[j++] == '-';
        while (j < s.size() && IsSkippable(s[j]))
            ++j;
        long long e = 0;
        for (; j < s.size() && IsDigit(s[j]); ++j) {
            if (e < kExponentCap) e = e * 10 + (s[j] - '0');
            while (j + 1 < s.size() && IsSkippable(s[j + 1]))
                ++j;
        }
        r.pointExponent += negativeExponent ? -e : e;
    }
    return r;
}

} // namespace

namespace {

// Exact powers of ten: every one up to 1E22 is a double.
constexpr double kExactPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                   1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// Reads digits[.digits][E[sign]digits] from `p` when the digits make an integer below 2^53
// and the power of ten is one of the exact ones: one multiplication or division of two
// exact doubles is then correctly rounded, the same double any exact conversion gives.
// `end` is where the number stops. False leaves the number to the exact conversion.
bool ReadShortDecimal(const char* p, const char* last, double& value, const char*& end) {
    std::uint64_t digits = 0;
    int count = 0, exponent = 0;
    bool any = false;
    for (; p < last && IsDigit(*p); ++p, any = true) {
        if (digits == 0 && *p == '0') continue;
        digits = digits * 10 + static_cast<std::uint64_t>(*p - '0');
        ++count;
    }
    if (p < last && *p == '.') {
        for (++p; p < last && IsDigit(*p); ++p, any = true) {
            --exponent;
            if (digits == 0 && *p == '0') continue;
            digits = digits * 10 + static_cast<std::uint64_t>(*p - '0');
            ++count;
        }
    }
    if (!any || count > 15) return false;
    if (p < last && (*p == 'E' || *p == 'e')) {
        const char* q = p + 1;
        bool negative = false;
        if (q < last && (*q == '+' || *q == '-')) negative = *q++ == '-';
        if (q == last || !IsDigit(*q)) {
            end = p; // "E" without digits is not part of the number
        } else {
            int e = 0;
            for (; q < last && IsDigit(*q); ++q)
                if (e < 1000) e = e * 10 + (*q - '0');
            exponent += negative ? -e : e;
            end = q;
        }
    } else {
        end = p;
    }
    if (digits == 0) {
        value = 0;
        return true;
    }
    if (exponent < -22 || exponent > 22) return false;
    const double m = static_cast<double>(digits);
    value = exponent < 0 ? m / kExactPowers[-exponent] : m * kExactPowers[exponent];
    return true;
}

bool IsEightBlanks(const char* p) {
    std::uint64_t word = 0;
    std::memcpy(&word, p, sizeof word);
    return word == 0x2020202020202020ull;
}

// The common case, a number standing alone before blanks and a unit label, is read
// straight from the text; only a number broken up by blanks needs the general scan.
bool ReadPlainNumber(std::string_view s, double& value) {
    std::size_t i = 0;
    while (i < s.size() && IsSkippable(s[i]))
        ++i;
    const std::size_t start = i;
    const bool negative = i < s.size() && s[i] == '-';
    if (negative) ++i;
    if (i >= s.size() || !(IsDigit(s[i]) || s[i] == '.')) return false;
    const char* last = s.data() + s.size();
    const char* end = nullptr;
    if (ReadShortDecimal(s.data() + i, last, value, end)) {
        if (negative) value = -value;
    } else {
        const auto [ptr, ec] = std::from_chars(s.data() + start, last, value);
        if (ec != std::errc()) return false;
        end = ptr;
    }
    std::size_t j = static_cast<std::size_t>(end - s.data());
    // A number in a file is followed by blanks and a unit label, often a blank one:
    // eight blanks at a time.
    while (j + 8 <= s.size() && IsEightBlanks(s.data() + j))
        j += 8;
    while (j < s.size() && IsSkippable(s[j]))
        ++j;
    return j == s.size() || !(IsDigit(s[j]) || s[j] == '.' || s[j] == 'e' || s[j] == 'E');
}

} // namespace

std::optional<double> leadingNumber(std::string_view text) {
    if (double plain = 0; ReadPlainNumber(text, plain)) return plain;
    const Scanned s = Scan(text);
    const double zero = s.negative ? -0.0 : 0.0;
    if (s.digits.empty()) return zero;
    std::string normal = "0." + s.digits + "e" + std::to_string(s.pointExponent);
    double value = 0;
    const auto [ptr, ec] = std::from_chars(normal.data(), normal.data() + normal.size(), value);
    (void)ptr;
    if (ec == std::errc::result_out_of_range) {
        if (s.pointExponent <= 0) return zero; // too small for a double: it is zero
        return std::nullopt;
    }
    if (ec != std::errc()) return zero;
    return s.negative ? -value : value;
}

std::optional<double> ParseNumberText(std::string_view text, std::string_view decimalSeparator) {
    if (decimalSeparator == ",") {
        std::string t(trimLeftBlanks(text));
        if (const auto comma = t.find(','); comma != std::string::npos) t[comma] = '.';
        return leadingNumber(t);
    }
    return leadingNumber(text);
}

bool isNumericText(std::string_view text, std::string_view decimalSeparator) {
    std::string_view t = trimBlanks(text);
    std::size_t i = 0;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    bool digits = false;
    while (i < t.size() && IsDigit(t[i]))
        ++i, digits = true;
    if (i < t.size() && (t[i] == '.' || (decimalSeparator == "," && t[i] == ','))) {
        ++i;
        while (i < t.size() && IsDigit(t[i]))
            ++i, digits = true;
    }
    if (!digits) return false;
    if (i < t.size() && (t[i] == 'E' || t[i] == 'e')) {
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
        bool expDigits = false;
        while (i < t.size() && IsDigit(t[i]))
            ++i, expDigits = true;
        if (!expDigits) return false;
    }
    if (i != t.size()) return false;
    // A number beyond a double's range is not a number the system can hold.
    return ParseNumberText(t, decimalSeparator).has_value();
}

namespace {

// Powers of ten as the nearest doubles, for the fast path of formatNumberText.
constexpr int kMaxPow10 = 300;
const std::array<double, 2 * kMaxPow10 + 1>& PowersOfTen() {
    static const std::array<double, 2 * kMaxPow10 + 1> table = [] {
        std::array<double, 2 * kMaxPow10 + 1> t{};
        for (int k = -kMaxPow10; k <= kMaxPow10; ++k) {
            char text[8] = "1e";
            const auto res = std::to_chars(text + 2, text + sizeof text, k);
            std::from_chars(text, res.ptr, t[static_cast<std::size_t>(k + kMaxPow10)]);
        }
        return t;
    }();
    return table;
}

// Rounds a positive normal double to `digits` significant digits without the cost of an
// exact decimal expansion: mantissa is the digits as an integer, exponent the power of ten
// of its last digit. The scaled value carries a relative error of a few 1E-16, far below
// the 1E-7 margin kept around a rounding tie; anything that close to a tie, and values at
// the ends of the double range, are left to the exact conversion (false).
bool RoundToDigits(double magnitude, int digits, std::uint64_t& mantissa, int& exponent) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &magnitude, sizeof bits);
    const int binaryExponent = static_cast<int>((bits >> 52) & 0x7ff) - 1023;
    if (binaryExponent < -1000 || binaryExponent > 1000) return false;
    // floor(binaryExponent * log10(2)): the decimal exponent or one less.
    const int decimalExponent = (binaryExponent * 1262611) >> 22;
    static constexpr double kLimit[] = {1, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8};
    const double upper = kLimit[digits];
    int k = digits - 1 - decimalExponent;
    for (int attempt = 0; attempt < 2; ++attempt, --k) {
        if (k < -kMaxPow10 || k > kMaxPow10) return false;
        const double scaled = magnitude * PowersOfTen()[static_cast<std::size_t>(k + kMaxPow10)];
        if (scaled >= upper) continue;
        // Positive and below 10^8: truncation is the floor, without a library call.
        const double whole = static_cast<double>(static_cast<std::uint64_t>(scaled));
        const double fraction = scaled - whole;
        if (std::fabs(fraction - 0.5) < 1e-7) return false;
        mantissa = static_cast<std::uint64_t>(whole) + (fraction > 0.5 ? 1 : 0);
        exponent = -k;
        if (mantissa >= static_cast<std::uint64_t>(upper)) { // 9.9999995 carries into 10.00000
            mantissa /= 10;
            ++exponent;
        }
        return true;
    }
    return false;
}

} // namespace

namespace {

constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

std::uint64_t DigitPair(std::uint32_t value) {
    std::uint16_t pair = 0;
    std::memcpy(&pair, kDigitPairs + 2 * value, 2);
    return pair;
}

// Writes the `count` (5 to 7) digits of a mantissa below 10^count into `out`, which has
// room for 8 characters, blanks after the digits. The four pairs do not wait on one
// another, unlike a digit-by-digit division. They are put together in a register and
// stored once: stored one by one and read back as one word, the read would wait for
// the stores to reach the cache, which cost more than all the arithmetic.
char* WriteMantissa(std::uint32_t value, int count, char* out) {
    const std::uint32_t high = value / 10000, low = value % 10000;
    if constexpr (std::endian::native == std::endian::little) {
        const std::uint64_t digits = DigitPair(high / 100) | DigitPair(high % 100) << 16 |
                                     DigitPair(low / 100) << 32 | DigitPair(low % 100) << 48;
        // Shifted toward the first byte past the leading zeros; blanks come in behind.
        const int shift = 8 * (8 - count);
        const std::uint64_t word = digits >> shift | 0x2020202020202020ULL << (64 - shift);
        std::memcpy(out, &word, 8);
    } else {
        char digits[16];
        std::memcpy(digits, kDigitPairs + 2 * (high / 100), 2);
        std::memcpy(digits + 2, kDigitPairs + 2 * (high % 100), 2);
        std::memcpy(digits + 4, kDigitPairs + 2 * (low / 100), 2);
        std::memcpy(digits + 6, kDigitPairs + 2 * (low % 100), 2);
        std::memcpy(digits + 8, "        ", 8);
        std::memcpy(out, digits + 8 - count, 8);
    }
    return out + count;
}

// An exponent's magnitude, below 1000, without leading zeros.
char* WriteExponent(std::uint32_t value, char* out) {
    if (value >= 100) {
        *out++ = static_cast<char>('0' + value / 100);
        value %= 100;
    } else if (value < 10) {
        *out++ = static_cast<char>('0' + value);
        return out;
    }
    std::memcpy(out, kDigitPairs + 2 * value, 2);
    return out + 2;
}

} // namespace

namespace {

// Writes the number text and returns what it holds when that is quick to know: the
// mantissa as an integer and the power of ten of its last digit (`known` false where the
// text came from the exact conversion).
struct WrittenDigits {
    bool known = false;
    bool negative = false;
    std::uint64_t mantissa = 0;
    int exponent = 0;
};

WrittenDigits WriteDigits(double value, char* text) {
    WrittenDigits written;
    if (std::isnan(value)) value = 0;
    if (std::isinf(value))
        value =
            value > 0 ? std::numeric_limits<double>::max() : -std::numeric_limits<double>::max();

    int digits;
    bool negative = false, forceSign = false;
    if (value < -1) {
        digits = 5, negative = true, forceSign = true;
    } else if (value < 0) {
        digits = 5, negative = true;
    } else if (value < 1) {
        digits = 6;
    } else if (value < 1e10) {
        digits = 7;
    } else if (value < 1e11) {
        digits = 6;
    } else {
        digits = 5;
    }
    const double magnitude = std::fabs(value);

    // Blanked whole first and then only written to, never read: the writer formats three
    // numbers for each of 100,000 lines. No text is longer than the field: a sign and five
    // digits where the exponent may take three digits and a sign, seven digits only where
    // it takes one.
    std::memcpy(text, "           ", kNumberTextWidth);
    char* out = text;
    if (negative) *out++ = '-';
    if (magnitude == 0) {
        *out++ = '0', *out++ = 'E', *out++ = '0';
        written.known = true;
    } else {
        int exponent = 0;
        if (std::uint64_t mantissa = 0; RoundToDigits(magnitude, digits, mantissa, exponent)) {
            // A rounded mantissa always has exactly the pattern's digit count.
            out = WriteMantissa(static_cast<std::uint32_t>(mantissa), digits, out);
            written = {true, negative, mantissa, exponent};
        } else {
            // Scientific text with digits-1 fraction digits is correctly rounded, including a
            // carry into a new digit (9.9999995 becomes 1.000000e+01).
            char buf[64];
            const auto res = std::to_chars(buf, buf + sizeof buf, magnitude,
                                           std::chars_format::scientific, digits - 1);
            std::string sci(buf, static_cast<std::size_t>(res.ptr - buf));
            if (double back = 0; std::from_chars(sci.data(), sci.data() + sci.size(), back).ec ==
                                 std::errc::result_out_of_range) {
                // Rounding up the largest doubles gives a number no double can hold, and a
                // library value that cannot be read back is lost: round those toward zero.
                --sci[sci.find('e') - 1];
            }
            const std::size_t e = sci.find('e');
            std::from_chars(sci.data() + e + (sci[e + 1] == '+' ? 2 : 1), sci.data() + sci.size(),
                            exponent);
            for (char c : sci.substr(0, e))
                if (c != '.') *out++ = c;
            exponent -= digits - 1;
        }
        *out++ = 'E';
        if (exponent < 0)
            *out++ = '-';
        else if (forceSign)
            *out++ = '+';
        out = WriteExponent(static_cast<std::uint32_t>(exponent < 0 ? -exponent : exponent), out);
    }
    return written;
}

// The value a number text reads back as, as the reader's short-decimal path gives it: an
// integer below 10^7 and an exact power of ten make one correctly rounded operation.
double ReadBack(const WrittenDigits& d, const char* text) {
    if (d.known && d.exponent >= -22 && d.exponent <= 22) {
        const double m = static_cast<double>(d.mantissa);
        const double v =
            d.exponent < 0 ? m / kExactPowers[-d.exponent] : m * kExactPowers[d.exponent];
        return d.negative ? -v : v;
    }
    // Every number text reads back: the largest doubles are rounded toward zero.
    return leadingNumber({text, kNumberTextWidth}).value_or(0.0);
}

} // namespace

void writeNumberText(double value, char* text) {
    WriteDigits(value, text);
}

double writeStableNumberText(double value, char* text) {
    const double back = ReadBack(WriteDigits(value, text), text);
    if (back == value) return value;
    // Read back, the text is a number of the pattern's digits, which its own pattern
    // holds exactly: written again it stays (unless rounding carried it into a range of
    // another pattern, 0.9999999 written "100000E-5", which this settles).
    WriteDigits(back, text);
    return back;
}

std::string formatNumberText(double value) {
    char text[kNumberTextWidth];
    writeNumberText(value, text);
    return std::string(text, kNumberTextWidth);
}

std::string generalNumberText(double value, std::string_view decimalSeparator) {
    char text[kNumberTextWidth];
    const WrittenDigits d = WriteDigits(value, text);
    if (!d.known)
        return formatGeneralNumber(leadingNumber({text, kNumberTextWidth}).value_or(value),
                                   decimalSeparator);
    if (d.mantissa == 0) return "0";
    // The text holds at most seven digits, and a double gives back any decimal of fifteen
    // digits or fewer exactly (away from the subnormals): the value read back, written to
    // fifteen significant digits, is these digits without their trailing zeros. So the
    // general form is put together from them, without reading the text or rounding again.
    std::uint64_t mantissa = d.mantissa;
    int last = d.exponent; // the power of ten of the mantissa's last digit
    while (mantissa % 10 == 0) {
        mantissa /= 10;
        ++last;
    }
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, mantissa).ptr;
    const int count = static_cast<int>(end - digits);
    const int first = last + count - 1; // the power of ten of the leading digit
    if (first < -300 || first > 300)
        return formatGeneralNumber(leadingNumber({text, kNumberTextWidth}).value_or(value),
                                   decimalSeparator);
    const std::string_view separator = decimalSeparator.empty() ? "." : decimalSeparator;
    std::string out;
    out.reserve(24);
    if (d.negative) out += '-';
    if (first < -4 || first >= 15) {
        // As printf's %g writes it: one digit before the point, an exponent of two or
        // three digits with its sign.
        out += digits[0];
        if (count > 1) out.append(separator).append(digits + 1, end);
        out += first < 0 ? "E-" : "E+";
        const int magnitude = first < 0 ? -first : first;
        if (magnitude < 10) out += '0';
        out += std::to_string(magnitude);
    } else if (last >= 0) {
        out.append(digits, end).append(static_cast<std::size_t>(last), '0');
    } else if (first >= 0) {
        out.append(digits, digits + first + 1).append(separator).append(digits + first + 1, end);
    } else {
        out.append("0").append(separator).append(static_cast<std::size_t>(-first - 1), '0');
        out.append(digits, end);
    }
    return out;
}

std::string formatGeneralNumber(double value, std::string_view decimalSeparator) {
    if (value == 0) value = 0; // a negative zero shows as "0", as it would in the cell
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
    std::string out(buf, res.ptr);
    if (const auto e = out.find('e'); e != std::string::npos) {
        // "1.5e+20" reads as the grids of this platform write it: "1.5E+20".
        out[e] = 'E';
    }
    if (!decimalSeparator.empty() && decimalSeparator != ".")
        if (const auto dot = out.find('.'); dot != std::string::npos)
            out.replace(dot, 1, decimalSeparator);
    return out;
}

} // namespace mb
