// Numbers typed with a unit: every unit converts with the factors of the unit systems, a
// bare number is read in the system shown, and a unit of another quantity is refused.

#include "TypedUnits.h"

#include "PropertyCatalogue.h"

#include <gtest/gtest.h>

#include <tuple>

namespace mb {
namespace {

int Slot(const char* code) {
    return PropertyCatalogue::instance().findExact(code);
}

TEST(TypedUnitsTest, ANumberIsConvertedToSiFromItsUnitOrElseTheShownSystem) {
    // What is typed, into which property, and the SI value it must give.
    const std::tuple<const char*, const char*, double> cases[] = {
        {"200 GPa", "EX", 200e9},
        {"200GPa", "EX", 200e9},
        {"200 gpa", "EX", 200e9},
        {"30 Msi", "EX", 30 * 6893.5773e6},
        {"30000 psi", "SIGYLD", 30000 * 6893.5773},
        {"2.5 ksi", "SIGXT", 2500 * 6893.5773},
        {"235 N/mm^2", "SIGYLD", 235e6},
        {"2100000 Kgf/cm^2", "EX", 2100000 * 98066.5},
        {"7.85 g/cm3", "DENS", 7850},
        {"7850 kg/m^3", "DENS", 7850},
        {"0.284 lb/in^3", "DENS", 0.284 * 27679.9},
        {"20 \xB0"
         "C",
         "REFTEMP", 293.15},
        {"20 C", "REFTEMP", 293.15},
        {"68 F", "REFTEMP", (68 - 32) / 1.8 + 273.15},
        {"300 K", "REFTEMP", 300},
        {"1.2E-5 /K", "ALPX", 1.2e-5},
        {"6.5e-6 /\xB0"
         "F",
         "ALPX", 6.5e-6 * 1.8},
        {"0.1 BTU/(lb.F)", "C (Cp)", 0.1 * 4186.0},
        {"50 W/(m K)", "KX", 50},
        {"-3 MPa", "GXY", -3e6},
        {"30 deg", "FRCANG", 30},
    };
    for (const auto& [typed, code, si] : cases) {
        const std::optional<TypedValue> value = readTypedValue(typed, Slot(code), "IPS", ".");
        ASSERT_TRUE(value) << typed;
        EXPECT_TRUE(value->withUnit) << typed;
        EXPECT_DOUBLE_EQ(value->si, si) << typed;
    }
    EXPECT_EQ(readTypedValue("-3 MPa", Slot("GXY"), "SI", ".")->number, -3);
    // A decimal comma where the user's separator is one.
    EXPECT_DOUBLE_EQ(readTypedValue("7,85 g/cm3", Slot("DENS"), "SI", ",")->si, 7850);
    // A bare number is read in the system shown: psi, N/m^2, Kgf/cm^2.
    for (const auto& [system, si] :
         {std::pair{"IPS", 6893577.3}, std::pair{"SI", 1000.0}, std::pair{"MKS", 98066500.0}}) {
        const std::optional<TypedValue> value = readTypedValue(" 1000 ", Slot("EX"), system, ".");
        ASSERT_TRUE(value) << system;
        EXPECT_FALSE(value->withUnit);
        EXPECT_DOUBLE_EQ(value->si, si) << system;
    }
}

TEST(TypedUnitsTest, AUnitOfAnotherQuantityOrNoNumberIsRefused) {
    for (const auto& [typed, code] : std::initializer_list<std::pair<const char*, const char*>>{
             {"7.85 g/cm3", "EX"},
             {"200 GPa", "DENS"},
             {"0.3 MPa", "NUXY"}, // a ratio has no unit
             {"GPa", "EX"},
             {"200 GPa x", "EX"},
             {"200 furlongs", "EX"},
             {"abc", "EX"},
             {"", "EX"}}) {
        EXPECT_FALSE(readTypedValue(typed, Slot(code), "SI", ".")) << typed << " for " << code;
    }
    EXPECT_FALSE(unitValueToSI(1, "MPa", -1));
}

TEST(TypedUnitsTest, TheUnitsOfAQuantityAreListedAsBestWritten) {
    const std::vector<std::string> stress = unitNamesOf(Slot("EX"));
    EXPECT_EQ(stress.front(), "Pa");
    EXPECT_NE(std::find(stress.begin(), stress.end(), "Msi"), stress.end());
    EXPECT_TRUE(unitNamesOf(Slot("NUXY")).empty());
    // Every listed name reads back as its own unit.
    for (int slot : {Slot("EX"), Slot("DENS"), Slot("ALPX"), Slot("C (Cp)"), Slot("KX"),
                     Slot("REFTEMP"), Slot("FRCANG")})
        for (const std::string& name : unitNamesOf(slot))
            EXPECT_TRUE(unitValueToSI(1, name, slot)) << name;
}

} // namespace
} // namespace mb
