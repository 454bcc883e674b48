// Writes examples/sample.lib: a small but realistic library whose materials between them
// fill the rows of every material model type. Values are SI (Pa, kg/m^3, 1/K, W/(m.K),
// J/(kg.K), K, degrees, seconds) and typical of handbook data; they are not design values.
#include "Library.h"
#include "LibraryGenerator.h"

#include <string>
#include <utility>
#include <vector>

namespace {

struct SampleMaterial {
    const char* category;
    const char* nameCode;
    const char* name; // at most 28 characters, so the file's columns stay in place
    const char* description;
    std::vector<std::pair<const char*, double>> values;
};

// Prony series of a polycarbonate above its glass transition: relative shear and bulk
// moduli with their relaxation times, one decade apart.
std::vector<std::pair<const char*, double>> PolycarbonateViscoelastic() {
    std::vector<std::pair<const char*, double>> v = {
        {"EX", 2.35e9},   {"NUXY", 0.37},   {"GXY", 8.6e8},  {"DENS", 1200},  {"G1", 0.21},
        {"G2", 0.17},     {"G3", 0.14},     {"G4", 0.11},    {"G5", 0.09},    {"G6", 0.07},
        {"G7", 0.05},     {"G8", 0.03},     {"TAUG1", 1e-3}, {"TAUG2", 1e-2}, {"TAUG3", 0.1},
        {"TAUG4", 1},     {"TAUG5", 10},    {"TAUG6", 100},  {"TAUG7", 1000}, {"TAUG8", 10000},
        {"K1", 0.05},     {"K2", 0.04},     {"K3", 0.03},    {"K4", 0.025},   {"K5", 0.02},
        {"K6", 0.015},    {"K7", 0.01},     {"K8", 0.005},   {"TAUK1", 1e-3}, {"TAUK2", 1e-2},
        {"TAUK3", 0.1},   {"TAUK4", 1},     {"TAUK5", 10},   {"TAUK6", 100},  {"TAUK7", 1000},
        {"TAUK8", 10000}, {"REFTEMP", 420}, {"VC1", 17.44},  {"VC2", 51.6},   {"ALPX", 6.5e-5},
        {"KX", 0.2},      {"C", 1200}};
    return v;
}

// Stiffness matrix of a quasi-isotropic carbon/epoxy laminate, upper triangle row by row,
// rows and columns in the order x, y, z, xy, yz, xz: the in-plane shear stiffness MC44 is
// (MC11 - MC12)/2, as quasi-isotropy demands. Small coupling terms come from a ply stack
// that is not exactly balanced.
std::vector<std::pair<const char*, double>> CfrpLaminateMatrix() {
    return {{"MC11", 5.48e10}, {"MC12", 1.72e10}, {"MC13", 5.4e9},   {"MC14", 1.2e8},
            {"MC15", 0},       {"MC16", 0},       {"MC22", 5.48e10}, {"MC23", 5.4e9},
            {"MC24", 1.2e8},   {"MC25", 0},       {"MC26", 0},       {"MC33", 1.12e10},
            {"MC34", 0},       {"MC35", 0},       {"MC36", 0},       {"MC44", 1.88e10},
            {"MC45", 0},       {"MC46", 0},       {"MC55", 3.9e9},   {"MC56", -2.5e7},
            {"MC66", 3.9e9},   {"DENS", 1580}};
}

// Cubic single crystal in its crystal axes: three independent constants.
std::vector<std::pair<const char*, double>> NickelCrystalMatrix() {
    std::vector<std::pair<const char*, double>> v;
    const char* codes[] = {"MC11", "MC12", "MC13", "MC14", "MC15", "MC16", "MC22",
                           "MC23", "MC24", "MC25", "MC26", "MC33", "MC34", "MC35",
                           "MC36", "MC44", "MC45", "MC46", "MC55", "MC56", "MC66"};
    const double values[] = {2.52e11, 1.61e11, 1.61e11, 0, 0,       0, 2.52e11,
                             1.61e11, 0,       0,       0, 2.52e11, 0, 0,
                             0,       1.31e11, 0,       0, 1.31e11, 0, 1.31e11};
    for (int i = 0; i < 21; ++i)
        v.emplace_back(codes[i], values[i]);
    v.emplace_back("DENS", 8700);
    return v;
}

std::vector<SampleMaterial> Samples() {
    return {
        // Linear elastic isotropic, with every row of that type.
        {"Steels",
         "S235JR",
         "Structural Steel S235",
         "Hot-rolled non-alloy structural steel",
         {{"EX", 2.1e11},
          {"NUXY", 0.3},
          {"GXY", 8.1e10},
          {"DENS", 7850},
          {"SIGXT", 3.6e8},
          {"SIGXC", 3.6e8},
          {"SIGYLD", 2.35e8},
          {"ALPX", 1.2e-5},
          {"KX", 50},
          {"C", 460}}},
        {"Steels",
         "S355J2",
         "Structural Steel S355",
         "Fine-grain structural steel",
         {{"EX", 2.1e11},
          {"NUXY", 0.3},
          {"GXY", 8.1e10},
          {"DENS", 7850},
          {"SIGXT", 4.7e8},
          {"SIGYLD", 3.55e8},
          {"ALPX", 1.2e-5},
          {"KX", 50},
          {"C", 460}}},
        // von Mises plasticity: yield stress and tangent modulus.
        {"Steels",
         "X5CRNI18-10",
         "Stainless Steel 304",
         "Austenitic stainless, annealed",
         {{"EX", 1.93e11},
          {"NUXY", 0.29},
          {"SIGYLD", 2.15e8},
          {"ETAN", 2.0e9},
          {"ALPX", 1.73e-5},
          {"DENS", 8000},
          {"KX", 16.2},
          {"C", 500}}},
        {"Steels",
         "42CRMO4",
         "Steel 42CrMo4 Q+T",
         "Quenched and tempered alloy steel",
         {{"EX", 2.1e11},
          {"NUXY", 0.3},
          {"SIGYLD", 9.0e8},
          {"ETAN", 1.5e9},
          {"SIGXT", 1.1e9},
          {"ALPX", 1.15e-5},
          {"DENS", 7720},
          {"KX", 42},
          {"C", 470}}},
        // Nonlinear elastic: only its three rows.
        {"Steels",
         "EN-GJL-250",
         "Grey Cast Iron EN-GJL-250",
         "Flake graphite cast iron",
         {{"NUXY", 0.26},
          {"ALPX", 1.1e-5},
          {"DENS", 7200},
          {"EX", 1.1e11},
          {"SIGXT", 2.5e8},
          {"SIGXC", 8.4e8},
          {"KX", 48},
          {"C", 460}}},

        {"Aluminium Alloys",
         "AA6061-T6",
         "Aluminium 6061-T6",
         "Precipitation hardened, extruded",
         {{"EX", 6.89e10},
          {"NUXY", 0.33},
          {"GXY", 2.6e10},
          {"DENS", 2700},
          {"SIGXT", 3.1e8},
          {"SIGYLD", 2.76e8},
          {"ALPX", 2.36e-5},
          {"KX", 167},
          {"C", 896}}},
        {"Aluminium Alloys",
         "AA7075-T6",
         "Aluminium 7075-T6",
         "High-strength aircraft alloy",
         {{"EX", 7.17e10},
          {"NUXY", 0.33},
          {"SIGYLD", 5.03e8},
          {"ETAN", 7.0e8},
          {"ALPX", 2.34e-5},
          {"DENS", 2810},
          {"SIGXT", 5.72e8},
          {"KX", 130},
          {"C", 960}}},
        // Tresca plasticity uses the same rows as von Mises.
        {"Aluminium Alloys",
         "AA2024-T3",
         "Aluminium 2024-T3",
         "Clad sheet, solution treated",
         {{"EX", 7.31e10},
          {"NUXY", 0.33},
          {"SIGYLD", 3.45e8},
          {"ETAN", 8.5e8},
          {"ALPX", 2.32e-5},
          {"DENS", 2780},
          {"KX", 121},
          {"C", 875}}},
        {"Aluminium Alloys",
         "AA5083-H111",
         "Aluminium 5083-H111",
         "Marine grade plate",
         {{"EX", 7.1e10},
          {"NUXY", 0.33},
          {"GXY", 2.67e10},
          {"DENS", 2660},
          {"SIGYLD", 1.45e8},
          {"SIGXT", 2.9e8},
          {"ALPX", 2.38e-5},
          {"KX", 117},
          {"C", 900}}},

        {"Other Metals",
         "TI6AL4V",
         "Titanium Ti-6Al-4V",
         "Alpha-beta titanium, annealed",
         {{"EX", 1.14e11},
          {"NUXY", 0.34},
          {"SIGYLD", 8.8e8},
          {"ETAN", 1.2e9},
          {"ALPX", 8.6e-6},
          {"DENS", 4430},
          {"KX", 6.7},
          {"C", 526}}},
        {"Other Metals",
         "CU-ETP",
         "Copper C11000",
         "Electrolytic tough pitch copper",
         {{"EX", 1.17e11},
          {"NUXY", 0.34},
          {"GXY", 4.4e10},
          {"DENS", 8940},
          {"SIGXT", 2.2e8},
          {"SIGYLD", 6.9e7},
          {"ALPX", 1.7e-5},
          {"KX", 391},
          {"C", 385}}},
        // Linear elastic anisotropic: the full 21-entry matrix.
        {"Other Metals", "CMSX-4", "Nickel Single Crystal CMSX-4", "Cube axes along x, y and z",
         NickelCrystalMatrix()},

        {"Polymers", "PC", "Polycarbonate", "Viscoelastic, Prony series at 420 K",
         PolycarbonateViscoelastic()},
        {"Polymers",
         "PMMA",
         "PMMA Acrylic",
         "Cast sheet",
         {{"EX", 3.1e9},
          {"NUXY", 0.37},
          {"GXY", 1.1e9},
          {"DENS", 1190},
          {"SIGXT", 7.0e7},
          {"SIGXC", 1.1e8},
          {"ALPX", 7.0e-5},
          {"KX", 0.19},
          {"C", 1466}}},
        {"Polymers",
         "PA66",
         "Nylon 6/6",
         "Dry as moulded",
         {{"EX", 2.9e9},
          {"NUXY", 0.41},
          {"GXY", 1.03e9},
          {"DENS", 1140},
          {"SIGXT", 8.2e7},
          {"SIGYLD", 7.0e7},
          {"ALPX", 8.0e-5},
          {"KX", 0.25},
          {"C", 1670}}},
        // Drucker-Prager for a polymer that yields more in tension than in compression.
        {"Polymers",
         "EPOXY",
         "Epoxy Resin",
         "Bisphenol-A, amine cured",
         {{"EX", 3.5e9},
          {"NUXY", 0.35},
          {"COHESN", 3.2e7},
          {"FRCANG", 19},
          {"DENS", 1200},
          {"ALPX", 5.5e-5}}},

        // Mooney-Rivlin: all six constants, the last ones small.
        {"Rubbers",
         "NR-50",
         "Natural Rubber 50 ShA",
         "Filled natural rubber, Mooney-Rivlin",
         {{"NUXY", 0.4995},
          {"MOONEY_A", 3.7e5},
          {"MOONEY_B", 1.1e5},
          {"MOONEY_C", -1.2e4},
          {"MOONEY_D", 2.5e3},
          {"MOONEY_E", 1.5e3},
          {"MOONEY_F", -250},
          {"DENS", 1100}}},
        {"Rubbers",
         "CR-60",
         "Neoprene 60 ShA",
         "Chloroprene, two-term Mooney-Rivlin",
         {{"NUXY", 0.499}, {"MOONEY_A", 5.5e5}, {"MOONEY_B", 1.4e5}, {"DENS", 1230}}},
        // Ogden: four terms.
        {"Rubbers",
         "VMQ-40",
         "Silicone Rubber 40 ShA",
         "Four-term Ogden fit, uniaxial test",
         {{"NUXY", 0.4995},
          {"ALPH1", 1.3},
          {"ALPH2", 5.0},
          {"ALPH3", -2.0},
          {"ALPH4", 0.5},
          {"MU1", 4.2e5},
          {"MU2", 1.2e3},
          {"MU3", -6.5e3},
          {"MU4", 2.0e4},
          {"DENS", 1150}}},
        // Blatz-Ko: a compressible foam described by its modulus alone.
        {"Rubbers",
         "PU-FOAM-45",
         "Polyurethane Foam 45 kg/m3",
         "Blatz-Ko compressible foam",
         {{"EX", 1.2e6}, {"DENS", 45}}},

        // Linear elastic orthotropic, with every row of that type.
        {"Composites",
         "T300-914",
         "CFRP UD T300/914",
         "Unidirectional carbon/epoxy, 60% fibre",
         {{"EX", 1.35e11},   {"EY", 9.0e9},     {"EZ", 9.0e9},    {"NUXY", 0.3},
          {"NUYZ", 0.45},    {"NUXZ", 0.3},     {"GXY", 5.0e9},   {"GYZ", 3.1e9},
          {"GXZ", 5.0e9},    {"DENS", 1560},    {"SIGXT", 1.5e9}, {"SIGXC", 1.2e9},
          {"SIGYLD", 1.5e9}, {"ALPX", -3.0e-7}, {"ALPY", 2.8e-5}, {"ALPZ", 2.8e-5},
          {"KX", 5.5},       {"KY", 0.55},      {"KZ", 0.55},     {"C", 900}}},
        {"Composites",
         "EGLASS-WOV",
         "GFRP Woven E-Glass/Epoxy",
         "Plain weave, 50% fibre",
         {{"EX", 2.4e10},
          {"EY", 2.4e10},
          {"EZ", 1.0e10},
          {"NUXY", 0.12},
          {"NUYZ", 0.28},
          {"NUXZ", 0.28},
          {"GXY", 4.5e9},
          {"GYZ", 3.5e9},
          {"GXZ", 3.5e9},
          {"DENS", 1900},
          {"SIGXT", 3.5e8},
          {"SIGXC", 3.0e8},
          {"ALPX", 1.2e-5},
          {"ALPY", 1.2e-5},
          {"ALPZ", 4.5e-5},
          {"KX", 0.4},
          {"KY", 0.4},
          {"KZ", 0.3},
          {"C", 1000}}},
        {"Composites", "CFRP-QI", "CFRP Laminate Quasi-Iso", "[0/45/-45/90]s carbon/epoxy",
         CfrpLaminateMatrix()},

        // Drucker-Prager for frictional materials.
        {"Geomaterials",
         "C30-37",
         "Concrete C30/37",
         "Normal-weight concrete, 28 days",
         {{"EX", 3.3e10},
          {"NUXY", 0.2},
          {"COHESN", 4.6e6},
          {"FRCANG", 32},
          {"DENS", 2400},
          {"ALPX", 1.0e-5},
          {"KX", 1.6},
          {"C", 880}}},
        {"Geomaterials",
         "SAND-D",
         "Dense Sand",
         "Dry, drained",
         {{"EX", 8.0e7}, {"NUXY", 0.3}, {"COHESN", 1.0e3}, {"FRCANG", 38}, {"DENS", 1900}}},
        {"Geomaterials",
         "GRANITE",
         "Granite",
         "Intact rock",
         {{"EX", 5.0e10},
          {"NUXY", 0.25},
          {"GXY", 2.0e10},
          {"DENS", 2650},
          {"SIGXT", 1.0e7},
          {"SIGXC", 2.0e8},
          {"ALPX", 8.0e-6},
          {"KX", 2.9},
          {"C", 790}}},
    };
}

void FillSample(mb::Library& library) {
    for (const SampleMaterial& s : Samples()) {
        // Held the way the reader holds texts, so the sample reads back as it was made.
        const mb::LibraryEntry e{std::string(s.category) + "    ", s.nameCode,
                                 std::string(s.name) + "  ", s.description};
        mb::clsMaterial m;
        m.MaterialType(e.Category);
        m.MaterialName(e.Name);
        m.MaterialNameCode(e.NameCode);
        m.MaterialDescription(e.Description);
        for (const auto& [code, value] : s.values)
            m.CopyProperty(code, value);
        mb::clsMaterial shadow;
        shadow.CopyAllProperties(m);
        library.addMaterial(e, std::move(m), std::move(shadow));
    }
}

} // namespace

int main(int argc, char** argv) {
    return mb::tools::writeGeneratedLibrary(
        "make_sample",
        "Writes the sample library: 26 materials in 7 categories, with values for every row "
        "of all thirteen material model types.",
        argc, argv, FillSample);
}
