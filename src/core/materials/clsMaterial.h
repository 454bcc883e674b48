#pragma once

#include "PropertyCatalogue.h"
#include "UnitConversion.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace mb {

/// One material: its four texts and, per catalogue slot, a value held in SI with a
/// has-value mark. Values are read and written through a current property: set
/// `Property`, then use `value`, `PropValue`, `UnitsString` or `ClearValue`.
class clsMaterial {
public:
    /// `recordUnit` is the unit system the editor shows when the record is made.
    explicit clsMaterial(std::string recordUnit = "");

    // A library holds two records per material; they come from a pool in large pages.
    static void* operator new(std::size_t size);
    static void operator delete(void* p, std::size_t size) noexcept;

    const std::string& MaterialName() const { return name_; }
    void MaterialName(std::string v) { name_ = std::move(v); }
    const std::string& MaterialNameCode() const { return nameCode_; }
    void MaterialNameCode(std::string v) { nameCode_ = std::move(v); }
    const std::string& MaterialDescription() const { return description_; }
    void MaterialDescription(std::string v) { description_ = std::move(v); }
    /// The category the material belongs to (not its material model type).
    const std::string& MaterialType() const { return category_; }
    void MaterialType(std::string v) { category_ = std::move(v); }

    /// Normalises and keeps the code: trimmed, "C" becomes "C (Cp)", padded to 10.
    /// Does not recompute `Index`.
    void Property(std::string_view code);
    const std::string& Property() const { return property_; }
    /// Recomputes `Index` from `Property` (tolerant catalogue lookup over slots 0..117).
    void PropIndex();
    int16_t Index() const { return index_; }

    bool HasValue(int nProp) const;
    void HasValue(int nProp, bool flag);

    /// Stored SI value of the current property (0 when it names no slot).
    double value();
    /// Stores an SI value for the current property and marks it; nothing for an unknown code.
    void value(double v);
    /// The current property's value in `unitSystem` as 11-character number text; "" when it
    /// has none.
    std::string PropValue(std::string_view unitSystem);
    /// IPS label of the current property, 16 blanks for an unknown code.
    std::string UnitsString();

    static std::string GetNthProperty(int nProp);

    void ClearAll();
    void ClearValue();
    void reset();
    void Copy(const clsMaterial& mat);
    void CopyAllProperties(const clsMaterial& mat);
    void CopyProperty(std::string_view PROP, double val);

    void ChangeUnits(const std::string& oldUnit, const std::string& newUnit, bool bUserCurUnit);
    const std::string& RecordUnit() const { return recordUnit_; }

    /// Appends the material's block (material line, property lines, "ENDMATL", each ending
    /// in CR LF) to `out`. An empty name code is filled from the name and kept.
    void Save(std::string& out);
    /// The same block, the record left as it is: a material without a name code is written
    /// with the one Save would give it.
    void format(std::string& out) const;
    /// The length of the block format() appends.
    std::size_t formattedSize() const;

    static std::string WriteValue(double dVal);

    /// Direct slot access for readers and writers that already know the slot.
    double slotValue(int slot) const { return values_[slot]; }
    void setSlotValue(int slot, double v) {
        values_[slot] = v;
        hasValue_[slot] = true;
    }

private:
    std::string madeNameCode() const;
    std::string_view writtenName() const;
    void convertAll(std::string_view oldUnit, std::string_view target);

    clsUnitConversion converter_;
    std::string property_;
    int16_t index_ = 0;
    std::string name_, category_, nameCode_, description_;
    std::array<bool, kSlotCount> hasValue_{};
    std::array<double, kSlotCount> values_{};
    std::string recordUnit_;
};

} // namespace mb
