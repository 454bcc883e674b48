#include "TypedUnits.h"

#include "NumberText.h"
#include "PropertyCatalogue.h"
#include "TextUtil.h"
#include "UnitConversion.h"

#include <cctype>

namespace mb {

namespace {

// One unit: value in SI = (typed - zero) * factor + base. Only the temperatures have a
// zero or a base; every factor is the one the unit systems convert with, or a power of ten
// of a metric unit.
struct Unit {
    QuantityKind kind;
    std::vector<std::string_view> names; ///< the first is how it is best written
    double factor;
    double zero = 0;
    double base = 0;
};

constexpr double kPsi = 6893.5773;
constexpr double kKgfPerCm2 = 98066.5;
constexpr double kLbPerIn3 = 27679.9;
constexpr double kBtuPerLbF = 4186.0;
constexpr double kCalPerKgC = 4.184;
constexpr double kBtuPerInSF = 74767.752;
constexpr double kCalPerCmSC = 418.4;
constexpr double kZeroCelsius = 273.15;

const std::vector<Unit>& Units() {
    using K = QuantityKind;
    static const std::vector<Unit> units = {
        {K::Stress, {"Pa", "N/m^2"}, 1},
        {K::Stress, {"kPa"}, 1e3},
        {K::Stress, {"MPa", "N/mm^2"}, 1e6},
        {K::Stress, {"GPa"}, 1e9},
        {K::Stress, {"bar"}, 1e5},
        {K::Stress, {"psi"}, kPsi},
        {K::Stress, {"ksi"}, kPsi * 1e3},
        {K::Stress, {"Msi"}, kPsi * 1e6},
        {K::Stress, {"Kgf/cm^2"}, kKgfPerCm2},
        {K::Density, {"kg/m^3", "Kgm/m^3"}, 1},
        {K::Density, {"g/cm^3", "g/cc", "t/m^3"}, 1e3},
        {K::Density, {"kg/cm^3"}, 1e6},
        {K::Density, {"lb/in^3"}, kLbPerIn3},
        {K::ThermalExpansion, {"/K", "1/K", "/Kelvin"}, 1},
        {K::ThermalExpansion,
         {"/\xB0"
          "C",
          "1/\xB0"
          "C",
          "/C", "1/C", "/Centigrade", "/Celsius"},
         1},
        {K::ThermalExpansion,
         {"/\xB0"
          "F",
          "1/\xB0"
          "F",
          "/F", "1/F", "/Fahrenheit"},
         1.8},
        {K::SpecificHeat,
         {"J/(kg.K)", "J/kgm.K",
          "J/(kg.\xB0"
          "C)"},
         1},
        {K::SpecificHeat, {"kJ/(kg.K)"}, 1e3},
        {K::SpecificHeat,
         {"BTU/(lb.F)", "BTU/(lb.\xB0"
                        "F)"},
         kBtuPerLbF},
        {K::SpecificHeat,
         {"Cal/(Kg.C)", "Cal/(Kg.\xB0"
                        "C)"},
         kCalPerKgC},
        {K::Conductivity,
         {"W/(m.K)", "W/(m.\xB0"
                     "C)"},
         1},
        {K::Conductivity, {"BTU/in/s/F", "BTU/(in.s.F)"}, kBtuPerInSF},
        {K::Conductivity, {"Cal/(cm.s.C)"}, kCalPerCmSC},
        {K::Temperature, {"K", "Kelvin"}, 1},
        {K::Temperature,
         {"\xB0"
          "C",
          "C", "Celsius", "Centigrade"},
         1,
         0,
         kZeroCelsius},
        {K::Temperature,
         {"\xB0"
          "F",
          "F", "Fahrenheit"},
         1 / 1.8,
         32,
         kZeroCelsius},
        {K::Angle, {"Degrees", "deg", "degree", "\xB0"}, 1},
    };
    return units;
}

// Unit names compare in one spelling: lower case, without blanks, brackets, dots and "^";
// the degree sign (Latin-1 0xB0, as the editor's text holds it) reads as "deg", the
// superscript two and three (0xB2, 0xB3) as 2 and 3.
std::string Normalized(std::string_view unit) {
    std::string out;
    for (const char c : unit) {
        const auto u = static_cast<unsigned char>(c);
        if (u == 0xB0) {
            out += "deg";
        } else if (u == 0xB2 || u == 0xB3) {
            out += u == 0xB2 ? '2' : '3';
        } else if (c == ' ' || c == '\t' || c == '(' || c == ')' || c == '.' || c == '^' ||
                   u == 0xB7 || c == '*') {
            continue;
        } else {
            out += static_cast<char>(std::tolower(u));
        }
    }
    return out;
}

const Unit* FindUnit(QuantityKind kind, std::string_view typed) {
    const std::string wanted = Normalized(typed);
    if (wanted.empty()) return nullptr;
    for (const Unit& unit : Units()) {
        if (unit.kind != kind) continue;
        for (std::string_view name : unit.names)
            if (Normalized(name) == wanted) return &unit;
    }
    return nullptr;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Where the leading number of `text` ends: sign, digits, a decimal point ("." or the
// user's separator) with digits, an exponent only when digits follow its "E".
std::size_t NumberEnd(std::string_view text, std::string_view separator) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    while (i < text.size() && IsDigit(text[i]))
        ++i;
    if (i < text.size() && (text[i] == '.' || text.substr(i, separator.size()) == separator)) {
        i += text[i] == '.' ? 1 : separator.size();
        while (i < text.size() && IsDigit(text[i]))
            ++i;
    }
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
        if (j < text.size() && IsDigit(text[j])) {
            while (j < text.size() && IsDigit(text[j]))
                ++j;
            i = j;
        }
    }
    return i;
}

} // namespace

std::optional<double> unitValueToSI(double number, std::string_view unit, int slot) {
    if (slot < 0 || slot >= kSlotCount) return std::nullopt;
    const Unit* found = FindUnit(PropertyCatalogue::instance().kind(slot), unit);
    if (!found) return std::nullopt;
    return (number - found->zero) * found->factor + found->base;
}

std::optional<TypedValue> readTypedValue(std::string_view text, int slot,
                                         std::string_view shownSystem,
                                         std::string_view decimalSeparator) {
    const std::string_view trimmed = trimBlanks(text);
    if (isNumericText(trimmed, decimalSeparator)) {
        const std::optional<double> number = ParseNumberText(trimmed, decimalSeparator);
        if (!number) return std::nullopt;
        return TypedValue{*number, false,
                          clsUnitConversion().ChangeUnits(shownSystem, "SI", slot, *number)};
    }
    const std::size_t end = NumberEnd(trimmed, decimalSeparator);
    const std::string_view numberPart = trimmed.substr(0, end);
    if (numberPart.empty() || !isNumericText(numberPart, decimalSeparator)) return std::nullopt;
    const std::optional<double> number = ParseNumberText(numberPart, decimalSeparator);
    if (!number) return std::nullopt;
    const std::optional<double> si = unitValueToSI(*number, trimmed.substr(end), slot);
    if (!si) return std::nullopt;
    return TypedValue{*number, true, *si};
}

std::vector<std::string> unitNamesOf(int slot) {
    std::vector<std::string> names;
    if (slot < 0 || slot >= kSlotCount) return names;
    const QuantityKind kind = PropertyCatalogue::instance().kind(slot);
    for (const Unit& unit : Units())
        if (unit.kind == kind) names.emplace_back(unit.names.front());
    return names;
}

} // namespace mb
