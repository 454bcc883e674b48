#pragma once

// Dates and times as xlsx and ods keep them: a day number counted from the workbook's day
// zero (xlsx: a number and a number format; ods: ISO 8601 text), shown as the import shows
// every date, "2024-03-15", "2024-03-15 14:30:00" or "14:30:00".

#include <optional>
#include <string>
#include <string_view>

namespace mb {

/// What a number format makes of a number.
enum class DateShape { None, Date, DateTime, Time };

/// The shape of xlsx number format `id` with the format code `code` ("" for a built-in
/// format).
DateShape numberFormatShape(int id, std::string_view code);

/// A day count from the civil date, days since 1970-01-01.
long long daysFromCivil(long long year, unsigned month, unsigned day);

/// Day zero of a workbook, as days since 1970-01-01: 1899-12-30 for the usual 1900 date
/// system (its day 60, 1900-02-29, is a day that never was), 1904-01-01 for the other.
struct DateSystem {
    long long dayZero = daysFromCivil(1899, 12, 30);
    bool leapBug = true; ///< days below 61 are one later than the calendar says
};

/// `serial` shown in `shape` (not None) in `system`; "" for a day before year 1 or past 9999.
std::string shownDate(double serial, DateShape shape, const DateSystem& system);

/// An ods date-value ("2024-03-15", "2024-03-15T14:30:00.5") as a day number from
/// `dayZero` (days since 1970-01-01) and as shown; nothing for text that is no date.
struct OdsDate {
    double serial = 0;
    std::string shown;
};
std::optional<OdsDate> parseOdsDate(std::string_view text, long long dayZero);

/// An ods time-value, an ISO 8601 duration ("PT14H30M00S", "P1DT2H"), as a fraction of
/// days and as shown ("14:30:00", "26:00:00"); nothing for text that is no duration.
std::optional<OdsDate> parseOdsTime(std::string_view text);

} // namespace mb
