// A steel of the sample library exported as a CalculiX card and run by CalculiX itself:
// a cantilever of 20-node hexahedra must bend as beam theory says, and a block must weigh
// what its density says. `ccx` is looked up on PATH.
#include "CalculixExport.h"
#include "Library.h"
#include "LibraryFile.h"
#include "PropertyCatalogue.h"
#include "TempDir.h"
#include "TextUtil.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace mb {
namespace {

constexpr const char* kSteel = "Structural Steel S235";

std::string FindOnPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::stringstream folders(path ? path : "");
    for (std::string folder; std::getline(folders, folder, ':');) {
        const std::string candidate = folder + "/" + program;
        if (::access(candidate.c_str(), X_OK) == 0) return candidate;
    }
    return {};
}

/// Runs `ccx -i JOB` in `folder`; true when it exited with 0.
bool RunCalculix(const std::string& folder, const std::string& job) {
    const std::string ccx = FindOnPath("ccx");
    if (ccx.empty()) return false;
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::chdir(folder.c_str()) != 0) ::_exit(126);
        const std::string log = folder + "/" + job + ".log";
        if (!std::freopen(log.c_str(), "w", stdout) || !std::freopen(log.c_str(), "a", stderr))
            ::_exit(126);
        ::setenv("OMP_NUM_THREADS", "1", 1);
        ::execl(ccx.c_str(), "ccx", "-i", job.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

struct Steel {
    std::string card; // the exported card
    std::string name; // the name the card gives the solver
    double youngs = 0, density = 0;
};

Steel ExportSteel() {
    Library library;
    EXPECT_EQ(ReadLibraryFile(MB_SAMPLE_LIBRARY, library, ".").status, ReadResult::Status::Loaded);
    for (int i = 0; i < library.MaterialCount(); ++i) {
        if (TrimBlanks(library.Entry(i).Name) != kSteel) continue;
        Steel steel;
        steel.card = ExportCalculix(ExportSelection(library, {i}));
        std::set<std::string> taken;
        steel.name = CalculixName(kSteel, taken);
        steel.youngs = library.Material(i).SlotValue(Slot::EX);
        steel.density = library.Material(i).SlotValue(Slot::DENS);
        return steel;
    }
    ADD_FAILURE() << kSteel << " is not in the sample library";
    return {};
}

/// A box of nx x ny x nz C3D20R elements over [0,lx] x [0,ly] x [0,lz]. Nodes sit on a
/// grid of half-element steps; the points with two or three odd indices (face and body
/// centres) belong to no 20-node element and are left out.
struct Mesh {
    int nx, ny, nz;
    double lx, ly, lz;

    int id(int i, int j, int k) const { return 1 + i + (2 * nx + 1) * (j + (2 * ny + 1) * k); }
    static bool Used(int i, int j, int k) { return (i % 2) + (j % 2) + (k % 2) <= 1; }

    std::string cards() const {
        std::ostringstream s;
        s.precision(17);
        s << "*NODE, NSET=NALL\n";
        for (int k = 0; k <= 2 * nz; ++k)
            for (int j = 0; j <= 2 * ny; ++j)
                for (int i = 0; i <= 2 * nx; ++i)
                    if (Used(i, j, k))
                        s << id(i, j, k) << ", " << lx * i / (2 * nx) << ", " << ly * j / (2 * ny)
                          << ", " << lz * k / (2 * nz) << "\n";
        // Corner and mid-edge offsets in the order of the 20-node hexahedron.
        static constexpr int kLocal[20][3] = {
            {0, 0, 0}, {2, 0, 0}, {2, 2, 0}, {0, 2, 0}, {0, 0, 2}, {2, 0, 2}, {2, 2, 2},
            {0, 2, 2}, {1, 0, 0}, {2, 1, 0}, {1, 2, 0}, {0, 1, 0}, {1, 0, 2}, {2, 1, 2},
            {1, 2, 2}, {0, 1, 2}, {0, 0, 1}, {2, 0, 1}, {2, 2, 1}, {0, 2, 1}};
        s << "*ELEMENT, TYPE=C3D20R, ELSET=EALL\n";
        int element = 1;
        for (int ez = 0; ez < nz; ++ez)
            for (int ey = 0; ey < ny; ++ey)
                for (int ex = 0; ex < nx; ++ex) {
                    s << element++;
                    for (int n = 0; n < 20; ++n) {
                        s << (n == 15 ? ",\n" : ", ");
                        s << id(2 * ex + kLocal[n][0], 2 * ey + kLocal[n][1],
                                2 * ez + kLocal[n][2]);
                    }
                    s << "\n";
                }
        s << "*NSET, NSET=ROOT\n";
        for (int k = 0; k <= 2 * nz; ++k)
            for (int j = 0; j <= 2 * ny; ++j)
                if (Used(0, j, k)) s << id(0, j, k) << ",\n";
        return s.str();
    }
};

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

TEST(CalculixRun, ACantileverOfTheExportedSteelBendsAsBeamTheorySays) {
    ASSERT_NE(FindOnPath("ccx"), "") << "ccx is not on PATH (scripts/install-deps installs it)";
    const Steel steel = ExportSteel();
    ASSERT_NE(steel.card.find("*MATERIAL, NAME=" + steel.name), std::string::npos);
    const Mesh mesh{20, 2, 2, 1.0, 0.05, 0.05};
    const double load = 1000; // N, in -z at the free end

    // The tip load spread over the end face as a uniform shear traction: on each 8-node
    // face a corner takes -1/12 and a mid-side node 1/3 of the face's share.
    std::map<int, double> tip;
    const double perFace = load / (mesh.ny * mesh.nz);
    for (int fy = 0; fy < mesh.ny; ++fy)
        for (int fz = 0; fz < mesh.nz; ++fz)
            for (int a = 0; a <= 2; ++a)
                for (int b = 0; b <= 2; ++b) {
                    if (a == 1 && b == 1) continue;
                    const bool corner = a != 1 && b != 1;
                    tip[mesh.id(2 * mesh.nx, 2 * fy + a, 2 * fz + b)] +=
                        perFace * (corner ? -1.0 / 12 : 1.0 / 3);
                }
    std::ostringstream deck;
    deck.precision(17);
    deck << "*HEADING\nCantilever of an exported steel\n" << mesh.cards() << "*NSET, NSET=TIP\n";
    for (const auto& [node, share] : tip)
        deck << node << ",\n";
    deck << steel.card << "*SOLID SECTION, ELSET=EALL, MATERIAL=" << steel.name << "\n"
         << "*BOUNDARY\nROOT, 1, 3\n*STEP\n*STATIC\n*CLOAD\n";
    for (const auto& [node, share] : tip)
        deck << node << ", 3, " << -share << "\n";
    deck << "*NODE PRINT, NSET=TIP\nU\n*END STEP\n";

    test::TempDir dir;
    test::WriteBytes(dir.file("beam.inp"), deck.str());
    ASSERT_TRUE(RunCalculix(dir.path(), "beam")) << test::ReadBytes(dir.file("beam.log"));
    const auto u = DatTable(test::ReadBytes(dir.file("beam.dat")), "displacements");
    ASSERT_EQ(u.size(), tip.size()) << test::ReadBytes(dir.file("beam.dat"));
    double sum = 0;
    for (const auto& [node, values] : u)
        sum += values.at(2);
    const double deflection = -sum / static_cast<double>(u.size());

    const double inertia = mesh.ly * std::pow(mesh.lz, 3) / 12;
    const double theory = load * std::pow(mesh.lx, 3) / (3 * steel.youngs * inertia);
    RecordProperty("deflection_over_theory", std::to_string(deflection / theory));
    EXPECT_NEAR(deflection / theory, 1.0, 0.02) << deflection << " m against " << theory;
}

TEST(CalculixRun, ABlockOfTheExportedSteelWeighsWhatItsDensitySays) {
    ASSERT_NE(FindOnPath("ccx"), "") << "ccx is not on PATH (scripts/install-deps installs it)";
    const Steel steel = ExportSteel();
    const Mesh mesh{2, 2, 2, 0.2, 0.1, 0.05};
    std::ostringstream deck;
    deck << "*HEADING\nMass of an exported steel\n"
         << mesh.cards() << steel.card << "*SOLID SECTION, ELSET=EALL, MATERIAL=" << steel.name
         << "\n*BOUNDARY\nROOT, 1, 3\n*STEP\n*STATIC\n*EL PRINT, ELSET=EALL, TOTALS=ONLY\nEMAS\n"
         << "*END STEP\n";
    test::TempDir dir;
    test::WriteBytes(dir.file("block.inp"), deck.str());
    ASSERT_TRUE(RunCalculix(dir.path(), "block")) << test::ReadBytes(dir.file("block.log"));
    const std::string dat = test::ReadBytes(dir.file("block.dat"));
    const std::size_t at = dat.find("total mass");
    ASSERT_NE(at, std::string::npos) << dat;
    std::istringstream after(dat.substr(dat.find('\n', at)));
    double mass = 0;
    ASSERT_TRUE(after >> mass) << dat;
    RecordProperty("mass", std::to_string(mass));
    EXPECT_NEAR(mass, steel.density * mesh.lx * mesh.ly * mesh.lz, 1e-9 * mass) << dat;
}

} // namespace
} // namespace mb
