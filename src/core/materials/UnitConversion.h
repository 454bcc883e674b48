#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace mb {

/// The three unit systems by their index in the units selector.
inline constexpr int kUnitSystemCount = 3;
namespace UnitSystemIndex {
inline constexpr int IPS = 0;
inline constexpr int SI = 1;
inline constexpr int MKS = 2;
} // namespace UnitSystemIndex

/// "IPS", "SI", "MKS" for indexes 0..2, "" (no system) for anything else.
std::string_view unitSystemName(int index);
/// What the units selector shows for each index: "IPS", "SI", "MKS(G)".
std::string_view unitSystemCaption(int index);

/// Converts one value of one catalogue slot between two unit systems. Systems are named
/// exactly ("IPS", "SI", "MKS"); any other name, and slot -1, leave the value unchanged.
class clsUnitConversion {
public:
    double ChangeUnits(std::string_view oldUnit, std::string_view newUnit, int nElm,
                       double value) const;

    /// A stored SI value of a slot in IPS and in MKS, exactly as ChangeUnits gives them.
    static void fromSI(int slot, double si, double& ips, double& mks);
};

/// Fixed-width unit labels of a slot as a record holds them: IPS and SI 16 characters,
/// MKS 17 (16 for FRCANG and the all-blank label); "" for slots 100..116 and 118.
const std::string& UnitsIPS(int slot);
const std::string& UnitsSI(int slot);
const std::string& UnitsMKS(int slot);

/// The editor window's twelve unit texts for a system index 0..2 (InitUnitTables).
using UnitTextTable = std::array<std::string, 12>;
const UnitTextTable& unitTexts(int systemIndex);

} // namespace mb
