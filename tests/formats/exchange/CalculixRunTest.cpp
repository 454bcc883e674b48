// Exported cards run by CalculiX itself: a cube of the sample's steel must stretch and weigh
// as its card says, and the sample's laminate be as stiff turned as along x; single elements
// of rubber stretched to 0.8, 1.5 and 2 must carry the stress the curve engine draws, and
// squeezed, the pressure their D1 gives; every card of the sample and of the largest
// library must be read without an error. `ccx` is looked up on PATH.
#include "CalculixExport.h"
#include "ExchangeText.h"
#include "LargestLibrary.h"
#include "Library.h"
#include "LibraryFile.h"
#include "MaterialCurves.h"
#include "ProgramOnPath.h"
#include "PropertyCatalogue.h"
#include "RunProgram.h"
#include "ShortestNumber.h"
#include "TextUtil.h"
#include "UnitConversion.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <map>
#include <sstream>

namespace mb {
namespace {

using test::FindOnPath;

/// The sample library and the number of its material `name`, -1 when it has none.
std::pair<Library, int> FromSample(const std::string& name) {
    std::pair<Library, int> sample{Library(), -1};
    EXPECT_EQ(ReadLibraryFile(MB_SAMPLE_LIBRARY, sample.first, ".").status,
              ReadResult::Status::Loaded);
    for (int i = 0; i < sample.first.materialCount(); ++i)
        if (trimBlanks(sample.first.entry(i).Name) == name) sample.second = i;
    return sample;
}

/// The numbers of the table that follows `heading` in a .dat file, by node or element.
std::map<int, std::vector<double>> DatTable(const std::string& dat, const std::string& heading) {
    std::map<int, std::vector<double>> table;
    std::istringstream in(dat);
    std::string line;
    bool inside = false;
    while (std::getline(in, line)) {
        if (line.find(heading) != std::string::npos) {
            inside = true;
            continue;
        }
        if (!inside) continue;
        std::istringstream fields(line);
        int id = 0;
        if (!(fields >> id)) {
            if (!table.empty()) break;
            continue;
        }
        std::vector<double> values;
        for (double v; fields >> v;)
            values.push_back(v);
        table[id] = values;
    }
    return table;
}

/// The same for the last of the tables (one per increment) that follow `heading`.
std::map<int, std::vector<double>> LastDatTable(const std::string& dat,
                                                const std::string& heading) {
    const std::size_t at = dat.rfind(heading);
    return at == std::string::npos ? std::map<int, std::vector<double>>{}
                                   : DatTable(dat.substr(at), heading);
}

/// Unit cubes of one C3D8 element each, side by side along y, with their faces x = 0,
/// y = 0 and z = 0 held on their planes. Element k (from 1) has the nodes 8k-7 to 8k,
/// 8k-1 the corner (1, 1, 1).
struct Cubes {
    int count;

    static int node(int element, int corner) { return 8 * (element - 1) + corner; }
    static constexpr int kCorners[8][3] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0},
                                           {0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}};

    std::string cards() const {
        std::ostringstream s;
        s << "*NODE, NSET=NALL\n";
        for (int e = 1; e <= count; ++e)
            for (int c = 0; c < 8; ++c)
                s << node(e, c + 1) << ", " << kCorners[c][0] << ", "
                  << kCorners[c][1] + 2 * (e - 1) << ", " << kCorners[c][2] << "\n";
        s << "*ELEMENT, TYPE=C3D8, ELSET=EALL\n";
        for (int e = 1; e <= count; ++e) {
            s << e;
            for (int c = 1; c <= 8; ++c)
                s << ", " << node(e, c);
            s << "\n";
        }
        s << "*BOUNDARY\n";
        for (int e = 1; e <= count; ++e)
            for (int c = 0; c < 8; ++c)
                for (int axis = 0; axis < 3; ++axis)
                    if (kCorners[c][axis] == 0)
                        s << node(e, c + 1) << ", " << axis + 1 << ", " << axis + 1 << "\n";
        return s.str();
    }
    /// Displacement `u` along `axis` (0 to 2) of the face at 1 of element `element`.
    static std::string moved(int element, int axis, double u) {
        std::ostringstream s;
        s.precision(17);
        for (int c = 0; c < 8; ++c)
            if (kCorners[c][axis] == 1)
                s << node(element, c + 1) << ", " << axis + 1 << ", " << axis + 1 << ", " << u
                  << "\n";
        return s.str();
    }
};

/// A library of one material holding `values` (SI), called "Rubber".
Library OneMaterial(const std::vector<std::pair<std::string, double>>& values) {
    Library library;
    library.addMaterial("Rubbers", "", "Rubber", "");
    for (const auto& [code, value] : values)
        library.setOriginalValue(0, PropertyCatalogue::instance().findTolerant(code), value);
    return library;
}

struct HyperelasticCase {
    const char* what;
    int type; // the model type the curve engine draws
    std::vector<std::pair<std::string, double>> values;
};

// Values of filled rubbers; MUi in the library's convention, where the initial shear
// modulus is 0.5 sum MUi ALPHi.
const HyperelasticCase kHyperelastic[] = {
    // The card of three Ogden terms stands for those of fewer, which differ only in length.
    {"Ogden, 3 terms",
     10,
     {{"NUXY", 0.4995},
      {"MU1", 4.2e5},
      {"ALPH1", 1.3},
      {"MU2", 1.2e3},
      {"ALPH2", 5},
      {"MU3", -6.5e3},
      {"ALPH3", -2}}},
    {"Mooney-Rivlin, 2 constants", 9, {{"NUXY", 0.499}, {"MOONEY_A", 5.5e5}, {"MOONEY_B", 1.4e5}}},
    {"Mooney-Rivlin, 6 constants",
     9,
     {{"NUXY", 0.4995},
      {"MOONEY_A", 3.7e5},
      {"MOONEY_B", 1.1e5},
      {"MOONEY_C", -1.2e4},
      {"MOONEY_D", 2.5e3},
      {"MOONEY_E", 1.5e3},
      {"MOONEY_F", -250}}},
};

class CalculixRun : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(FindOnPath("ccx"), "") << "ccx is not on PATH (scripts/install-deps installs it)";
    }
    /// Writes `deck` as JOB.inp and runs ccx on it: its .dat file, or "" and a failure that
    /// shows the solver's log.
    std::string Run(const std::string& job, const std::string& deck) {
        test::WriteBytes(dir.file(job + ".inp"), deck);
        std::remove(dir.file(job + ".dat").c_str()); // an earlier run's must not stand in
        test::RunOptions options;
        options.environment.push_back("OMP_NUM_THREADS=1");
        options.workingDirectory = dir.path();
        const test::ProgramResult r = test::RunProgram(FindOnPath("ccx"), {"-i", job}, options);
        log = r.out + r.err;
        if (r.exitCode == 0) return test::ReadBytes(dir.file(job + ".dat"));
        ADD_FAILURE() << log;
        return "";
    }
    void ExpectEveryCardRead(const Library& library, const std::string& job);

    test::TempDir dir;
    std::string log; ///< what the last run printed
};

// A cube pulled along x and free sideways carries the uniaxial nominal stress sxx * A/A0
// of its Cauchy stress sxx; the curve engine draws it for an incompressible material, from
// which a NUXY of 0.4995 stays well inside the 0.5 % allowed.
TEST_F(CalculixRun, RubberStretchedAlongOneAxisCarriesTheStressTheCurveEngineDraws) {
    // The curve runs from 0.5 to 3 in steps of 0.05: stretches 0.8, 1.5 and 2.
    constexpr int kPoints = 51;
    constexpr std::array<std::size_t, 3> kAt = {6, 20, 30};
    for (const HyperelasticCase& c : kHyperelastic) {
        SCOPED_TRACE(c.what);
        Library library = OneMaterial(c.values);
        const CalculixCards cards = exportCalculix(exportSelection(library));
        EXPECT_TRUE(cards.omissions.empty()) << cards.omissions[0].what;
        const MaterialCurve curve =
            computeCurve(library.material(0), c.type, UnitSystemIndex::SI, kPoints);
        ASSERT_TRUE(curve.drawn()) << curve.note;

        const Cubes cubes{static_cast<int>(kAt.size())};
        std::ostringstream deck;
        deck << "*HEADING\nUniaxial stretch of an exported rubber\n"
             << cubes.cards() << cards.text << "*SOLID SECTION, ELSET=EALL, MATERIAL=RUBBER\n"
             << "*STEP, INC=1000\n*STATIC\n0.05, 1.0\n*BOUNDARY\n";
        for (std::size_t k = 0; k < kAt.size(); ++k)
            deck << Cubes::moved(static_cast<int>(k) + 1, 0, curve.x[kAt[k]] - 1);
        deck << "*EL PRINT, ELSET=EALL\nS\n*NODE PRINT, NSET=NALL\nU\n*END STEP\n";

        const std::string dat = Run("stretch", deck.str());
        ASSERT_NE(dat, "");
        const auto stress = LastDatTable(dat, "stresses");
        const auto u = LastDatTable(dat, "displacements");
        for (std::size_t k = 0; k < kAt.size(); ++k) {
            const int element = static_cast<int>(k) + 1;
            const std::vector<double>& corner = u.at(Cubes::node(element, 7));
            const double stretch = 1 + corner.at(0);
            ASSERT_NEAR(stretch, curve.x[kAt[k]], 1e-6);
            const double nominal =
                stress.at(element).at(1) * (1 + corner.at(1)) * (1 + corner.at(2));
            const double drawn = curve.series[0].y[kAt[k]];
            EXPECT_NEAR(nominal / drawn, 1.0, 0.005)
                << "stretch " << stretch << ": " << nominal << " Pa against " << drawn;
        }
    }
}

// The D1 of EX = 3 MPa and NUXY = 0.49 is 4.0000000000000034e-08, wider than the 20
// characters CalculiX reads: squeezed by 0.1 % along each axis, the rubber must carry the
// pressure K0 (1 - J), where a D1 misread as 4 would leave it nearly none.
TEST_F(CalculixRun, RubberSqueezedAllRoundCarriesThePressureOfItsD1) {
    const double ex = 3e6, nu = 0.49, bulk = ex / (3 * (1 - 2 * nu));
    ASSERT_GT(shortestNumber(2 / bulk).size(), kCalculixFieldWidth);
    const Library library =
        OneMaterial({{"EX", ex}, {"NUXY", nu}, {"MOONEY_A", 4e5}, {"MOONEY_B", 1e5}});
    const CalculixCards cards = exportCalculix(exportSelection(library));
    EXPECT_TRUE(cards.omissions.empty());
    const double squeeze = 1e-3, j = std::pow(1 - squeeze, 3);
    std::ostringstream deck;
    deck << "*HEADING\nHydrostatic squeeze of an exported rubber\n"
         << Cubes{1}.cards() << cards.text << "*SOLID SECTION, ELSET=EALL, MATERIAL=RUBBER\n"
         << "*STEP\n*STATIC\n*BOUNDARY\n";
    for (int axis = 0; axis < 3; ++axis)
        deck << Cubes::moved(1, axis, -squeeze);
    deck << "*EL PRINT, ELSET=EALL\nS\n*END STEP\n";
    const auto stress = LastDatTable(Run("squeeze", deck.str()), "stresses");
    ASSERT_EQ(stress.size(), 1u);
    for (int axis = 0; axis < 3; ++axis)
        EXPECT_NEAR(stress.at(1).at(1 + axis) / (bulk * (j - 1)), 1.0, 1e-5);
}

// The sample's laminate is quasi-isotropic in the order x, y, z, xy, yz, xz the grid and
// the chart use: pulled along its x axis and along a material axis turned 45 degrees about
// z, ccx finds the modulus the chart draws at 0 degrees within 1 %.
TEST_F(CalculixRun, TheSampleLaminateIsAsStiffAt45DegreesAsAlongX) {
    auto [library, laminate] = FromSample("CFRP Laminate Quasi-Iso");
    ASSERT_GE(laminate, 0);
    const MaterialCurve curve =
        computeCurve(library.material(laminate), 2, UnitSystemIndex::SI, 9); // every 45 degrees
    ASSERT_TRUE(curve.drawn()) << curve.note;
    EXPECT_NEAR(curve.series[0].y[1] / curve.series[0].y[0], 1.0, 0.01);

    const double strain = 1e-4, half = std::sqrt(0.5);
    std::ostringstream deck;
    deck.precision(17);
    deck << "*HEADING\nA laminate pulled along two directions\n"
         << Cubes{2}.cards() << exportCalculix(exportSelection(library, {laminate})).text
         << "*ELSET, ELSET=ALONG\n1\n*ELSET, ELSET=ACROSS\n2\n"
         << "*ORIENTATION, NAME=TURNED, SYSTEM=RECTANGULAR\n"
         << half << ", " << half << ", 0, " << -half << ", " << half << ", 0\n"
         << "*SOLID SECTION, ELSET=ALONG, MATERIAL=CFRP_LAMINATE_QUASI-ISO\n"
         << "*SOLID SECTION, ELSET=ACROSS, MATERIAL=CFRP_LAMINATE_QUASI-ISO, ORIENTATION=TURNED\n"
         << "*STEP\n*STATIC\n*BOUNDARY\n"
         << Cubes::moved(1, 0, strain) << Cubes::moved(2, 0, strain)
         << "*EL PRINT, ELSET=EALL\nS\n*END STEP\n";
    const auto stress = LastDatTable(Run("laminate", deck.str()), "stresses");
    ASSERT_EQ(stress.size(), 2u);
    // The turned element's stresses are printed in its material axes: sxx = (s11 + s22)/2 -
    // s12 back in the global ones.
    const std::vector<double>& along = stress.at(1);
    const std::vector<double>& turned = stress.at(2);
    const double sxx[] = {along.at(1), (turned.at(1) + turned.at(2)) / 2 - turned.at(4)};
    for (const int element : {1, 2}) {
        const double modulus = sxx[element - 1] / strain;
        EXPECT_NEAR(modulus / curve.series[0].y[0], 1.0, 0.01) << "element " << element;
    }
}

// Every exported card in one deck, beside a material of the deck's own for the element.
void CalculixRun::ExpectEveryCardRead(const Library& library, const std::string& job) {
    const CalculixCards cards = exportCalculix(exportSelection(library));
    std::ostringstream deck;
    deck << "*HEADING\nEvery card of a library\n"
         << Cubes{1}.cards() << cards.text
         << "*MATERIAL, NAME=PROBE_OF_THE_TEST\n*ELASTIC\n1e9, 0.3\n"
         << "*SOLID SECTION, ELSET=EALL, MATERIAL=PROBE_OF_THE_TEST\n"
         << "*STEP\n*STATIC\n*BOUNDARY\n"
         << Cubes::moved(1, 0, 1e-4) << "*END STEP\n";
    Run(job, deck.str());
    EXPECT_EQ(log.find("*ERROR"), std::string::npos) << log;
}

TEST_F(CalculixRun, EveryCardOfTheSampleAndOfTheLargestLibraryIsReadWithoutAnError) {
    Library sample, largest;
    ASSERT_EQ(ReadLibraryFile(MB_SAMPLE_LIBRARY, sample, ".").status, ReadResult::Status::Loaded);
    bench::fillLargestLibrary(largest);
    ExpectEveryCardRead(sample, "sample");
    ExpectEveryCardRead(largest, "largest");
}

// A cube of the steel pulled along x and free sideways: ccx must find the stress EX times
// the strain and the sideways strain -NUXY times it, and the cube must weigh its density.
TEST_F(CalculixRun, ACubeOfTheExportedSteelStretchesAndWeighsAsItsCardSays) {
    auto [library, n] = FromSample("Structural Steel S235");
    ASSERT_GE(n, 0);
    const std::string card = exportCalculix(exportSelection(library, {n})).text;
    ASSERT_NE(card.find("*MATERIAL, NAME=STRUCTURAL_STEEL_S235\n"), std::string::npos);
    const clsMaterial& steel = library.material(n);
    const double strain = 1e-4;
    std::ostringstream deck;
    deck << "*HEADING\nA cube of an exported steel\n"
         << Cubes{1}.cards() << card << "*SOLID SECTION, ELSET=EALL, MATERIAL=STRUCTURAL_STEEL_S235"
         << "\n*STEP\n*STATIC\n*BOUNDARY\n"
         << Cubes::moved(1, 0, strain) << "*EL PRINT, ELSET=EALL\nS\n*NODE PRINT, NSET=NALL\nU\n"
         << "*EL PRINT, ELSET=EALL, TOTALS=ONLY\nEMAS\n*END STEP\n";
    const std::string dat = Run("cube", deck.str());
    const auto stress = LastDatTable(dat, "stresses");
    const auto u = LastDatTable(dat, "displacements");
    ASSERT_EQ(stress.size(), 1u) << dat;
    EXPECT_NEAR(stress.at(1).at(1) / (steel.slotValue(Slot::EX) * strain), 1.0, 1e-6);
    EXPECT_NEAR(u.at(Cubes::node(1, 7)).at(1) / (-steel.slotValue(Slot::NUXY) * strain), 1.0, 1e-6);

    const std::size_t at = dat.find("total mass");
    ASSERT_NE(at, std::string::npos) << dat;
    std::istringstream after(dat.substr(dat.find('\n', at)));
    double mass = 0;
    ASSERT_TRUE(after >> mass) << dat;
    EXPECT_NEAR(mass, steel.slotValue(Slot::DENS), 1e-9 * mass) << dat; // a cube of 1 m^3
}

} // namespace
} // namespace mb
