#include "UnitConversion.h"

#include "PropertyCatalogue.h"
#include "TextUtil.h"

namespace mb {

namespace {

enum class System { IPS, SI, MKS, None };

System ParseSystem(std::string_view name) {
    if (name == "IPS") return System::IPS;
    if (name == "SI") return System::SI;
    if (name == "MKS") return System::MKS;
    return System::None;
}

constexpr double kStress = 6893.5773;

struct Factors {
    std::array<double, kSlotCount> toSI{};
    std::array<double, kSlotCount> toMKS{};
};

const Factors& FactorTable() {
    static const Factors table = [] {
        Factors f;
        const auto& cat = PropertyCatalogue::instance();
        for (int slot = 0; slot < kVisitedSlots; ++slot) {
            double si = 1, mks = 1;
            switch (cat.kind(slot)) {
            case QuantityKind::Stress:
                si = kStress;
                mks = kStress / 98066.5;
                break;
            case QuantityKind::ThermalExpansion:
                si = 1.8;
                mks = 1.8;
                break;
            case QuantityKind::Density:
                si = 27679.9;
                mks = 27679.9 / 1000000;
                break;
            case QuantityKind::SpecificHeat:
                si = 4186.0;
                mks = 4186.0 / 4.184;
                break;
            case QuantityKind::Conductivity:
                si = 74767.752;
                mks = 74767.752 / 418.4;
                break;
            case QuantityKind::Temperature:
                si = 1 / 1.8;
                mks = 1.8;
                break;
            case QuantityKind::Angle:
            case QuantityKind::Plain:
                break;
            }
            f.toSI[slot] = si;
            f.toMKS[slot] = mks;
        }
        return f;
    }();
    return table;
}

// A reference temperature is a point on a scale, not a difference: converting it needs
// the offsets, or 20 Celsius would be stored as 11 Kelvin.
double ToKelvin(System from, double t) {
    switch (from) {
    case System::IPS:
        return (t - 32.0) / 1.8 + 273.15;
    case System::MKS:
        return t + 273.15;
    default:
        return t;
    }
}

double FromKelvin(System to, double k) {
    switch (to) {
    case System::IPS:
        return (k - 273.15) * 1.8 + 32.0;
    case System::MKS:
        return k - 273.15;
    default:
        return k;
    }
}

struct Labels {
    std::array<std::string, kSlotCount> ips, si, mks;
};

const Labels& LabelTable() {
    static const Labels table = [] {
        Labels l;
        const auto& cat = PropertyCatalogue::instance();
        auto set = [&l](int slot, const char* ips, const char* si, const char* mks,
                        std::size_t mksWidth = 17) {
            l.ips[slot] = padRight(ips, 16);
            l.si[slot] = padRight(si, 16);
            l.mks[slot] = padRight(mks, mksWidth);
        };
        for (int slot = 0; slot < kSlotCount; ++slot) {
            if ((slot >= 100 && slot <= 116) || slot == 118) continue; // no label at all
            switch (cat.kind(slot)) {
            case QuantityKind::Stress:
                set(slot, "psi", "N/m^2", "Kgf/cm^2");
                break;
            case QuantityKind::ThermalExpansion:
                set(slot, "/Fahrenheit", "/Kelvin", "/Centigrade");
                break;
            case QuantityKind::Density:
                set(slot, "lb/in^3", "Kgm/m^3", "kg/cm^3");
                break;
            case QuantityKind::SpecificHeat:
                set(slot, "BTU/(lb.F)", "J/kgm.K", "Cal/(Kg.C)");
                break;
            case QuantityKind::Conductivity:
                set(slot, "BTU/in/s/F", "W/(m.K)", "Cal/(cm.s.C)");
                break;
            case QuantityKind::Angle:
                set(slot, "Degrees", "Degrees", "Degrees", 16);
                break;
            case QuantityKind::Temperature:
                set(slot, "Fahrenheit", "Kelvin", "Centigrade");
                break;
            case QuantityKind::Plain:
                set(slot, "", "", "", 16);
                break;
            }
        }
        return l;
    }();
    return table;
}

} // namespace

std::string_view unitSystemName(int index) {
    switch (index) {
    case UnitSystemIndex::IPS:
        return "IPS";
    case UnitSystemIndex::SI:
        return "SI";
    case UnitSystemIndex::MKS:
        return "MKS";
    default:
        return "";
    }
}

std::string_view unitSystemCaption(int index) {
    return index == UnitSystemIndex::MKS ? std::string_view("MKS(G)") : unitSystemName(index);
}

namespace {

double Convert(System from, System to, int nElm, double value) {
    if (from == System::None || to == System::None || from == to) return value;
    if (nElm < 0 || nElm >= kVisitedSlots) return value;
    if (nElm == Slot::REFTEMP) return FromKelvin(to, ToKelvin(from, value));

    const double f = FactorTable().toSI[nElm];
    const double g = FactorTable().toMKS[nElm];
    switch (from) {
    case System::IPS:
        return to == System::SI ? value * f : value * g;
    case System::SI:
        return to == System::IPS ? value / f : (value / f) * g;
    case System::MKS:
        return to == System::SI ? (value / g) * f : value / g;
    case System::None:
        break;
    }
    return value;
}

} // namespace

double clsUnitConversion::ChangeUnits(std::string_view oldUnit, std::string_view newUnit, int nElm,
                                      double value) const {
    return Convert(ParseSystem(oldUnit), ParseSystem(newUnit), nElm, value);
}

void clsUnitConversion::fromSI(int slot, double si, double& ips, double& mks) {
    if (slot < 0 || slot >= kVisitedSlots || slot == Slot::REFTEMP) {
        ips = Convert(System::SI, System::IPS, slot, si);
        mks = Convert(System::SI, System::MKS, slot, si);
        return;
    }
    // The writer converts every stored value: the table once, the same arithmetic as
    // Convert.
    const Factors& table = FactorTable();
    ips = si / table.toSI[slot];
    mks = ips * table.toMKS[slot];
}

const std::string& UnitsIPS(int slot) {
    static const std::string empty;
    return slot >= 0 && slot < kSlotCount ? LabelTable().ips[slot] : empty;
}

const std::string& UnitsSI(int slot) {
    static const std::string empty;
    return slot >= 0 && slot < kSlotCount ? LabelTable().si[slot] : empty;
}

const std::string& UnitsMKS(int slot) {
    static const std::string empty;
    return slot >= 0 && slot < kSlotCount ? LabelTable().mks[slot] : empty;
}

const UnitTextTable& unitTexts(int systemIndex) {
    static const std::array<UnitTextTable, kUnitSystemCount> tables = [] {
        std::array<UnitTextTable, kUnitSystemCount> t;
        const char* raw[kUnitSystemCount][10] = {
            {"psi", "", "psi", "/Fahrenheit", "lb/in^3", "BTU/in.s.F", "BTU/lb.F", "psi", "psi",
             "psi"},
            {"N/m^2", "", "N/m^2", "/Kelvin", "Kg/m^3", "W/m.K", "J/kg.K", "N/m^2", "N/m^2",
             "N/m^2"},
            {"Kgf/cm^2", "", "Kgf/cm^2", "/Centigrade", "Kg/cm^3", "Cal/cm.s.C", "Cal/kg.C",
             "Kgf/cm^2", "Kgf/cm^2", "Kgf/cm^2"},
        };
        for (int s = 0; s < kUnitSystemCount; ++s) {
            const std::size_t width = s == UnitSystemIndex::MKS ? 17 : 16;
            for (int i = 0; i < 10; ++i)
                t[s][i] = padRight(raw[s][i], width);
            t[s][10] = t[s][0];
            t[s][11] = t[s][0];
        }
        return t;
    }();
    static const UnitTextTable none{};
    return systemIndex >= 0 && systemIndex < kUnitSystemCount ? tables[systemIndex] : none;
}

} // namespace mb
