#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

namespace mb {

/// Number of property slots a material record carries (0..118).
inline constexpr int kSlotCount = 119;
/// Slots 0..117 are the ones every whole-record operation visits; 118 is never touched.
inline constexpr int kVisitedSlots = 118;

enum class QuantityKind {
    Plain,
    Stress,
    ThermalExpansion,
    Density,
    SpecificHeat,
    Conductivity,
    Angle,
    Temperature,
};

/// The fixed table of property slots: code, description and physical kind of each.
/// It never changes after it is built, so one shared instance serves every record.
class PropertyCatalogue {
public:
    static const PropertyCatalogue& instance();

    /// Code of a slot without padding; "" for slots that carry no property or lie outside 0..118.
    const std::string& PropCode(int slot) const;
    const std::string& PropDescription(int slot) const;
    QuantityKind kind(int slot) const;

    /// Slot of a code: both sides trimmed, compared case-sensitively over slots 0..117.
    /// An empty code finds the first reserved slot (69). -1 when nothing matches.
    int findTolerant(std::string_view code) const;
    /// The same, trying slot `likely` first: a file lists a record's properties in slot
    /// order, so the slot after the previous line's is the usual answer.
    int findTolerant(std::string_view code, int likely) const;
    /// Slot of a code compared as it stands over slots 0..118. -1 when nothing matches.
    int findExact(std::string_view code) const;

private:
    PropertyCatalogue();
    std::array<std::string, kSlotCount> codes_;
    std::array<std::string, kSlotCount> descriptions_;
    std::array<QuantityKind, kSlotCount> kinds_{};
    // Trimmed code -> first slot with it; the reader looks up every property line.
    std::unordered_map<std::string_view, int> bySlotCode_;
    std::array<bool, kSlotCount> firstOfItsCode_{};
};

inline constexpr int kMatrixEntryCount = 21;
/// The 21 material-matrix codes as the fixed-width texts the grid keeps beside the catalogue.
const std::array<std::string, kMatrixEntryCount>& matrixGridCodes();

/// Well-known slots the rest of the system refers to by number.
namespace Slot {
inline constexpr int EX = 0;
inline constexpr int NUXY = 4;
inline constexpr int DENS = 13;
inline constexpr int SpecificHeat = 14;
inline constexpr int FRCANG = 22;
inline constexpr int FirstReserved = 69;
inline constexpr int REFTEMP = 117;
} // namespace Slot

} // namespace mb
