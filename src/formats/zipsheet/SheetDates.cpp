#include "SheetDates.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace mb {

namespace {

constexpr double kSecondsPerDay = 86400;

struct Civil {
    long long year;
    unsigned month, day;
};

// The civil date of a day count since 1970-01-01 (the proleptic Gregorian calendar).
Civil CivilFromDays(long long z) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    return {static_cast<long long>(yoe) + era * 400 + (m <= 2 ? 1 : 0), m, d};
}

std::string TwoDigits(long long n) {
    return std::string(1, static_cast<char>('0' + n / 10 % 10)) + static_cast<char>('0' + n % 10);
}

std::string ClockText(long long seconds) {
    return (seconds / 3600 < 10 ? "0" : "") + std::to_string(seconds / 3600) + ":" +
           TwoDigits(seconds / 60 % 60) + ":" + TwoDigits(seconds % 60);
}

// Digits at the front of `text`, taken off it.
std::optional<double> TakeNumber(std::string_view& text) {
    std::size_t n = 0;
    while (n < text.size() && ((text[n] >= '0' && text[n] <= '9') || text[n] == '.'))
        ++n;
    if (n == 0) return std::nullopt;
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + n, value);
    if (ec != std::errc() || end != text.data() + n) return std::nullopt;
    text.remove_prefix(n);
    return value;
}

} // namespace

long long daysFromCivil(long long year, unsigned month, unsigned day) {
    year -= month <= 2 ? 1 : 0;
    const long long era = (year >= 0 ? year : year - 399) / 400;
    const auto yoe = static_cast<unsigned>(year - era * 400);
    const unsigned doy = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

DateShape numberFormatShape(int id, std::string_view code) {
    if (code.empty()) {
        if ((id >= 14 && id <= 17) || (id >= 27 && id <= 31) || (id >= 34 && id <= 36) ||
            (id >= 50 && id <= 58))
            return DateShape::Date;
        if (id == 22) return DateShape::DateTime;
        if ((id >= 18 && id <= 21) || id == 32 || id == 33 || (id >= 45 && id <= 47))
            return DateShape::Time;
        return DateShape::None;
    }
    // Letters that stand for parts of a date, outside quoted text, escaped characters and
    // [colour] or [$-locale] brackets; [h] and [mm] of elapsed time count as a time.
    bool date = false, time = false, afterHour = false;
    for (std::size_t i = 0; i < code.size(); ++i) {
        const char c = static_cast<char>(code[i] | 0x20);
        if (code[i] == '"') {
            while (++i < code.size() && code[i] != '"') {
            }
        } else if (code[i] == '\\' || code[i] == '_' || code[i] == '*') {
            ++i;
        } else if (code[i] == '[') {
            const std::size_t close = code.find(']', i);
            const std::string_view inside =
                code.substr(i + 1, close == std::string_view::npos ? 0 : close - i - 1);
            if (!inside.empty() && (inside[0] | 0x20) == 'h') time = afterHour = true;
            if (!inside.empty() && ((inside[0] | 0x20) == 'm' || (inside[0] | 0x20) == 's'))
                time = true;
            if (close == std::string_view::npos) break;
            i = close;
        } else if (c == 'g' && code.substr(i).size() >= 7 &&
                   (code.substr(i, 7) == "General" || code.substr(i, 7) == "general")) {
            i += 6;
        } else if (c == 'a' && (code.substr(i, 5) == "AM/PM" || code.substr(i, 5) == "am/pm")) {
            i += 4;
        } else if (c == 'y' || c == 'd') {
            date = true;
        } else if (c == 'h') {
            time = afterHour = true;
        } else if (c == 's') {
            time = true;
        } else if (c == 'm') {
            // Minutes right after hours or before seconds, a month elsewhere.
            std::size_t next = i;
            while (next < code.size() && (code[next] | 0x20) == 'm')
                ++next;
            while (next < code.size() && (code[next] == ':' || code[next] == ' '))
                ++next;
            const bool minutes = afterHour || (next < code.size() && (code[next] | 0x20) == 's');
            (minutes ? time : date) = true;
            i = next - 1;
        } else if (c >= '0' && c <= '9') {
            afterHour = false;
        }
    }
    return date && time ? DateShape::DateTime
           : date       ? DateShape::Date
           : time       ? DateShape::Time
                        : DateShape::None;
}

std::string shownDate(double serial, DateShape shape, const DateSystem& system) {
    if (!std::isfinite(serial) || serial < 0 || serial > 3e6) return {};
    long long seconds = std::llround(serial * kSecondsPerDay);
    long long day = seconds / 86400;
    seconds %= 86400;
    if (shape == DateShape::Time) return ClockText(seconds);
    // 1900-02-29, which the 1900 system counts, is shown as the sheet shows it.
    std::string text;
    if (system.leapBug && day == 60) {
        text = "1900-02-29";
    } else {
        if (system.leapBug && day < 60) ++day;
        const Civil civil = CivilFromDays(system.dayZero + day);
        if (civil.year < 1 || civil.year > 9999) return {};
        char buffer[48];
        std::snprintf(buffer, sizeof buffer, "%04lld-%02u-%02u", civil.year, civil.month,
                      civil.day);
        text = buffer;
    }
    return shape == DateShape::DateTime ? text + " " + ClockText(seconds) : text;
}

std::optional<OdsDate> parseOdsDate(std::string_view text, long long dayZero) {
    long long year = 0;
    unsigned month = 0, day = 0;
    const char* const end = text.data() + text.size();
    const char* at = text.data();
    const auto field = [&](auto& value, char after) {
        const auto [next, ec] = std::from_chars(at, end, value);
        if (ec != std::errc() || next == at || (after && (next == end || *next != after)))
            return false;
        at = after ? next + 1 : next;
        return true;
    };
    if (!field(year, '-') || !field(month, '-') || !field(day, 0) || month < 1 || month > 12 ||
        day < 1 || day > 31 || year < 1 || year > 9999)
        return std::nullopt;
    OdsDate date;
    const long long days = daysFromCivil(year, month, day) - dayZero;
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%04lld-%02u-%02u", year, month, day);
    date.shown = buffer;
    date.serial = static_cast<double>(days);
    if (at == end) return date;
    unsigned hours = 0, minutes = 0;
    double secondsPart = 0;
    if (*at++ != 'T' || !field(hours, ':') || !field(minutes, ':')) return std::nullopt;
    std::string_view rest(at, static_cast<std::size_t>(end - at));
    const std::optional<double> seconds = TakeNumber(rest);
    if (!seconds || hours > 23 || minutes > 59 || *seconds >= 61) return std::nullopt;
    secondsPart = *seconds;
    // A zone or a "Z" may follow; a sheet keeps local times, so it is passed over.
    date.serial += (hours * 3600.0 + minutes * 60.0 + secondsPart) / kSecondsPerDay;
    date.shown +=
        " " + ClockText(hours * 3600LL + minutes * 60LL + static_cast<long long>(secondsPart));
    return date;
}

std::optional<OdsDate> parseOdsTime(std::string_view text) {
    bool negative = false;
    if (text.starts_with('-')) {
        negative = true;
        text.remove_prefix(1);
    }
    if (!text.starts_with('P')) return std::nullopt;
    text.remove_prefix(1);
    double seconds = 0;
    bool inTime = false, any = false;
    while (!text.empty()) {
        if (text.front() == 'T') {
            inTime = true;
            text.remove_prefix(1);
            continue;
        }
        const std::optional<double> n = TakeNumber(text);
        if (!n || text.empty()) return std::nullopt;
        const char unit = text.front();
        text.remove_prefix(1);
        any = true;
        if (!inTime && unit == 'D')
            seconds += *n * 86400;
        else if (inTime && unit == 'H')
            seconds += *n * 3600;
        else if (inTime && unit == 'M')
            seconds += *n * 60;
        else if (inTime && unit == 'S')
            seconds += *n;
        else
            return std::nullopt;
    }
    if (!any || seconds > 1e12) return std::nullopt;
    OdsDate time;
    time.serial = (negative ? -seconds : seconds) / kSecondsPerDay;
    time.shown = (negative ? "-" : "") + ClockText(std::llround(seconds));
    return time;
}

} // namespace mb
