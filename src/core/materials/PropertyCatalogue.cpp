#include "PropertyCatalogue.h"

#include "TextUtil.h"

#include <vector>

namespace mb {

namespace {

struct Single {
    int slot;
    const char* code;
    const char* description;
    QuantityKind kind;
};

constexpr Single kSingles[] = {
    {0, "EX", "Elasticity modulus (1st dir)", QuantityKind::Stress},
    {1, "EY", "Elasticity modulus (2nd dir)", QuantityKind::Stress},
    {2, "EZ", "Elasticity modulus (3rd dir)", QuantityKind::Stress},
    {3, "ETAN", "Tangent modulus", QuantityKind::Stress},
    {4, "NUXY", "Poisson's ratio in XY dir.", QuantityKind::Plain},
    {5, "NUYZ", "Poisson's ratio in YZ dir.", QuantityKind::Plain},
    {6, "NUXZ", "Poisson's ratio in XZ dir.", QuantityKind::Plain},
    {7, "GXY", "Shear modulus in XY dir", QuantityKind::Stress},
    {8, "GYZ", "Shear modulus in YZ dir", QuantityKind::Stress},
    {9, "GXZ", "Shear modulus in XZ dir", QuantityKind::Stress},
    {10, "ALPX", "Coeff. of thermal expansion in X dir.", QuantityKind::ThermalExpansion},
    {11, "ALPY", "Coeff. of thermal expansion in Y dir.", QuantityKind::ThermalExpansion},
    {12, "ALPZ", "Coeff. of thermal expansion in Z dir.", QuantityKind::ThermalExpansion},
    {13, "DENS", "Mass Density", QuantityKind::Density},
    {14, "C (Cp)", "Specific Heat", QuantityKind::SpecificHeat},
    {15, "SIGXT", "Tensile Strength (X dir)", QuantityKind::Stress},
    {16, "SIGYLD", "Yield Stress", QuantityKind::Stress},
    {17, "SIGXC", "Compressive Strength (X dir)", QuantityKind::Stress},
    {18, "COHESN", "Cohesion strength", QuantityKind::Stress},
    {19, "KX", "Thermal conductivity in X dir.", QuantityKind::Conductivity},
    {20, "KY", "Thermal conductivity in Y dir.", QuantityKind::Conductivity},
    {21, "KZ", "Thermal conductivity in Z dir.", QuantityKind::Conductivity},
    {22, "FRCANG", "Friction angle", QuantityKind::Angle},
    {117, "REFTEMP", "Glassy transition temperature", QuantityKind::Temperature},
};

constexpr const char* kMatrixCodes[kMatrixEntryCount] = {
    "MC11", "MC12", "MC13", "MC14", "MC15", "MC16", "MC22", "MC23", "MC24", "MC25", "MC26",
    "MC33", "MC34", "MC35", "MC36", "MC44", "MC45", "MC46", "MC55", "MC56", "MC66"};

} // namespace

const PropertyCatalogue& PropertyCatalogue::instance() {
    static const PropertyCatalogue catalogue;
    return catalogue;
}

PropertyCatalogue::PropertyCatalogue() {
    kinds_.fill(QuantityKind::Plain);
    for (const Single& s : kSingles) {
        codes_[s.slot] = s.code;
        descriptions_[s.slot] = s.description;
        kinds_[s.slot] = s.kind;
    }

    auto group = [this](int first, const char* prefix, const std::vector<const char*>& descriptions,
                        QuantityKind kind) {
        int member = 1;
        for (const char* d : descriptions) {
            const int slot = first + member - 1;
            codes_[slot] = std::string(prefix) + std::to_string(member);
            descriptions_[slot] = d;
            kinds_[slot] = kind;
            ++member;
        }
    };
    group(
        23, "ALPH",
        {"First Power Coeff.", "Second Power Coeff.", "Third Power Coeff.", "Fourth Power Coeff."},
        QuantityKind::Plain);
    group(27, "MU", {"First constant", "Second constant", "Third constant", "Fourth constant"},
          QuantityKind::Stress);
    const char* mooneyDescriptions[] = {"First Material constant", "Second Material constant",
                                        "Third Material constant", "Fourth Material constant",
                                        "Fifth Material constant", "Sixth Material constant"};
    for (int i = 0; i < 6; ++i) {
        codes_[31 + i] = std::string("MOONEY_") + static_cast<char>('A' + i);
        descriptions_[31 + i] = mooneyDescriptions[i];
        kinds_[31 + i] = QuantityKind::Stress;
    }
    const auto eight = [](const char* d) { return std::vector<const char*>(8, d); };
    group(37, "G", eight("Shear Relaxation modulus"), QuantityKind::Plain);
    group(45, "K", eight("Bulk Relaxation"), QuantityKind::Plain);
    group(53, "TAUG", eight("Time values (Shear Relaxation modulus)"), QuantityKind::Plain);
    group(61, "TAUK", eight("Time values"), QuantityKind::Plain);
    group(77, "VC",
          {"First constant for Williams-Landel-Ferry eq.",
           "Second constant for Williams-Landel-Ferry eq."},
          QuantityKind::Plain);
    for (int i = 0; i < kMatrixEntryCount; ++i) {
        const std::string code = kMatrixCodes[i];
        codes_[79 + i] = code;
        descriptions_[79 + i] =
            "Material Matrix (" + code.substr(2, 1) + ":" + code.substr(3, 1) + ")";
    }
    for (int slot = 0; slot < kVisitedSlots; ++slot)
        bySlotCode_.emplace(trimBlanks(codes_[slot]), slot); // keeps the first slot of a code
    for (int slot = 0; slot < kVisitedSlots; ++slot)
        firstOfItsCode_[slot] = bySlotCode_.at(trimBlanks(codes_[slot])) == slot;
}

const std::string& PropertyCatalogue::PropCode(int slot) const {
    static const std::string empty;
    return slot >= 0 && slot < kSlotCount ? codes_[slot] : empty;
}

const std::string& PropertyCatalogue::PropDescription(int slot) const {
    static const std::string empty;
    return slot >= 0 && slot < kSlotCount ? descriptions_[slot] : empty;
}

QuantityKind PropertyCatalogue::kind(int slot) const {
    return slot >= 0 && slot < kSlotCount ? kinds_[slot] : QuantityKind::Plain;
}

int PropertyCatalogue::findTolerant(std::string_view code) const {
    const auto it = bySlotCode_.find(trimBlanks(code));
    return it == bySlotCode_.end() ? -1 : it->second;
}

int PropertyCatalogue::findTolerant(std::string_view code, int likely) const {
    if (likely >= 0 && likely < kVisitedSlots && firstOfItsCode_[likely] &&
        trimBlanks(code) == trimBlanks(codes_[likely]))
        return likely;
    return findTolerant(code);
}

int PropertyCatalogue::findExact(std::string_view code) const {
    for (int slot = 0; slot < kSlotCount; ++slot)
        if (codes_[slot] == code) return slot;
    return -1;
}

const std::array<std::string, kMatrixEntryCount>& matrixGridCodes() {
    static const std::array<std::string, kMatrixEntryCount> table = [] {
        std::array<std::string, kMatrixEntryCount> t;
        for (int i = 0; i < kMatrixEntryCount; ++i)
            t[i] = padRight(kMatrixCodes[i], i < 10 ? 11 : 10);
        return t;
    }();
    return table;
}

} // namespace mb
