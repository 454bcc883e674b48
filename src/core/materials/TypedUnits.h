#pragma once

// The units a number may carry wherever one is typed: a grid cell, the find box, an
// imported value. One table for all of them, with the factors the unit systems use.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mb {

/// A value as typed, with or without its unit.
struct TypedValue {
    double number = 0;     ///< the number as typed
    bool withUnit = false; ///< a unit followed it
    double si = 0;         ///< the value in SI
};

/// Reads `text` as the value of catalogue slot `slot`: a number (with "." or the user's
/// `decimalSeparator`) alone, read in `shownSystem` ("IPS", "SI", "MKS"), or followed by a
/// unit of the slot's quantity, blanks between them or not: "200 GPa", "30 Msi",
/// "7.85 g/cm3", "3000 kg/m^3", "20 C" (or with the degree sign), "1.2E-5 /K". Unit names are
/// compared without regard to letter case, blanks, brackets and "^". nullopt for anything else, a
/// unit of another quantity included.
std::optional<TypedValue> readTypedValue(std::string_view text, int slot,
                                         std::string_view shownSystem,
                                         std::string_view decimalSeparator);

/// `number` given in `unit`, in SI, for catalogue slot `slot`; nullopt when `unit` is no
/// unit of the slot's quantity (a slot without units has none).
std::optional<double> unitValueToSI(double number, std::string_view unit, int slot);

/// The unit names understood for the slot's quantity, as they are best written ("Pa",
/// "MPa", "psi", ...); none for a slot without units.
std::vector<std::string> unitNamesOf(int slot);

} // namespace mb
