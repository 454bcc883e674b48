#include "materials/NumberText.h"

#include "materials/TextUtil.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace mb {

namespace {

bool IsSkippable(char c) { return c == ' ' || c == '\t' || c == '\n'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Collects the characters of the leading number into `out`, dropping the skippable
// blanks. Stops early on absurdly long digit runs: their value is decided by the first
// few hundred digits and the exponent, and a megabyte line must not cost a megabyte copy.
struct Scanned {
    std::string text;
    long long intDigits = 0;       // significant digits before the point
    long long leadingFracZeros = 0; // zeros after the point before the first significant digit
    bool sawSignificant = false;
    long long exponent = 0;
};

Scanned Scan(std::string_view s) {
    Scanned r;
    std::size_t i = 0;
    auto skip = [&] {
        while (i < s.size() && IsSkippable(s[i])) ++i;
    };
    skip();
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) r.text += s[i++];
    constexpr std::size_t kMaxKept = 800;
    auto keepDigit = [&](char c) {
        if (r.text.size() < kMaxKept) r.text += c;
    };
    bool any = false;
    for (skip(); i < s.size() && IsDigit(s[i]); ++i, skip()) {
        any = true;
        if (s[i] != '0' || r.sawSignificant) {
            r.sawSignificant = true;
            ++r.intDigits;
        }
        keepDigit(s[i]);
    }
    if (r.intDigits > static_cast<long long>(kMaxKept)) {
        // The kept text lost digits: the value is out of a double's range anyway.
        r.text.assign(1, '1');
        r.text += "e999";
        return r;
    }
    if (i < s.size() && s[i] == '.') {
        std::string frac = ".";
        ++i;
        for (skip(); i < s.size() && IsDigit(s[i]); ++i, skip()) {
            any = true;
            if (!r.sawSignificant) {
                if (s[i] == '0') ++r.leadingFracZeros;
                else r.sawSignificant = true;
            }
            if (r.text.size() + frac.size() < kMaxKept) frac += s[i];
        }
        r.text += frac;
    }
    if (!any) {
        r.text.clear();
        return r;
    }
    if (i < s.size() && (s[i] == 'E' || s[i] == 'e')) {
        std::size_t j = i + 1;
        while (j < s.size() && IsSkippable(s[j])) ++j;
        std::string exp = "e";
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) exp += s[j++];
        while (j < s.size() && IsSkippable(s[j])) ++j;
        bool expDigits = false;
        long long e = 0;
        for (; j < s.size() && IsDigit(s[j]); ++j) {
            expDigits = true;
            if (e < 100000) e = e * 10 + (s[j] - '0');
            while (j + 1 < s.size() && IsSkippable(s[j + 1])) ++j;
        }
        if (expDigits) {
            r.exponent = exp.size() > 1 && exp[1] == '-' ? -e : e;
            r.text += "e";
            r.text += std::to_string(r.exponent);
        }
    }
    return r;
}

} // namespace

std::optional<double> LeadingNumber(std::string_view text) {
    const Scanned s = Scan(text);
    if (s.text.empty()) return 0.0;
    double value = 0;
    const char* first = s.text.data();
    if (*first == '+') ++first; // from_chars takes no plus sign
    const auto [ptr, ec] = std::from_chars(first, s.text.data() + s.text.size(), value);
    (void)ptr;
    if (ec == std::errc::result_out_of_range) {
        if (!s.sawSignificant) return 0.0;
        const long long magnitude =
            s.exponent + (s.intDigits > 0 ? s.intDigits : -s.leadingFracZeros);
        if (magnitude <= 0) return s.text[0] == '-' ? -0.0 : 0.0; // too small: it is zero
        return std::nullopt;
    }
    if (ec != std::errc()) return 0.0;
    return value;
}

std::optional<double> ParseNumberText(std::string_view text, std::string_view decimalSeparator) {
    if (decimalSeparator == ",") {
        std::string t(TrimLeftBlanks(text));
        if (const auto comma = t.find(','); comma != std::string::npos) t[comma] = '.';
        return LeadingNumber(t);
    }
    return LeadingNumber(text);
}

bool IsNumericText(std::string_view text, std::string_view decimalSeparator) {
    std::string_view t = TrimBlanks(text);
    std::size_t i = 0;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    bool digits = false;
    while (i < t.size() && IsDigit(t[i])) ++i, digits = true;
    if (i < t.size() && (t[i] == '.' || (decimalSeparator == "," && t[i] == ','))) {
        ++i;
        while (i < t.size() && IsDigit(t[i])) ++i, digits = true;
    }
    if (!digits) return false;
    if (i < t.size() && (t[i] == 'E' || t[i] == 'e')) {
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
        bool expDigits = false;
        while (i < t.size() && IsDigit(t[i])) ++i, expDigits = true;
        if (!expDigits) return false;
    }
    if (i != t.size()) return false;
    // A number beyond a double's range is not a number the system can hold.
    return ParseNumberText(t, decimalSeparator).has_value();
}

std::string FormatNumberText(double value) {
    if (std::isnan(value)) value = 0;
    if (std::isinf(value))
        value = value > 0 ? std::numeric_limits<double>::max() : -std::numeric_limits<double>::max();

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

    std::string out;
    out.reserve(11);
    if (negative) out += '-';
    if (magnitude == 0) {
        out += "0E0";
    } else {
        // Scientific text with digits-1 fraction digits is correctly rounded, including a
        // carry into a new digit (9.9999995 becomes 1.000000e+01).
        char buf[64];
        const auto res =
            std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific, digits - 1);
        const std::string_view sci(buf, static_cast<std::size_t>(res.ptr - buf));
        const std::size_t e = sci.find('e');
        int exponent = 0;
        std::from_chars(sci.data() + e + (sci[e + 1] == '+' ? 2 : 1), sci.data() + sci.size(),
                        exponent);
        for (char c : sci.substr(0, e))
            if (c != '.') out += c;
        exponent -= digits - 1;
        out += 'E';
        if (exponent < 0) out += '-';
        else if (forceSign) out += '+';
        out += std::to_string(exponent < 0 ? -exponent : exponent);
    }
    out.append(11 - out.size(), ' ');
    return out;
}

std::string FormatGeneralNumber(double value, std::string_view decimalSeparator) {
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
