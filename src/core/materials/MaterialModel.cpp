#include "MaterialModel.h"

#include "PropertyCatalogue.h"

#include <initializer_list>
#include <utility>

namespace mb {

namespace {

constexpr int kPlasticityType = 4;
constexpr int kAnisotropicType = 2;

GridRowUnit U(int k) {
    return {GridRowUnit::Kind::UnitText, k};
}
const GridRowUnit kNone{GridRowUnit::Kind::Empty, 0};
const GridRowUnit kRecord{GridRowUnit::Kind::Record, 0};

class LayoutBuilder {
public:
    LayoutBuilder& add(const std::string& code, GridRowUnit unit) {
        const auto& cat = PropertyCatalogue::instance();
        const int slot = cat.findExact(code);
        std::string description =
            slot == Slot::REFTEMP ? "Glass transition temperature" : cat.PropDescription(slot);
        rows_.push_back({code, slot, std::move(description), unit});
        return *this;
    }
    LayoutBuilder& add(std::initializer_list<const char*> codes, GridRowUnit unit) {
        for (const char* c : codes)
            add(c, unit);
        return *this;
    }
    LayoutBuilder& numbered(const char* prefix, int count, GridRowUnit unit) {
        for (int i = 1; i <= count; ++i)
            add(prefix + std::to_string(i), unit);
        return *this;
    }
    std::vector<GridRow> take() { return std::move(rows_); }

private:
    std::vector<GridRow> rows_;
};

std::array<std::vector<GridRow>, kMaterialTypeCount> BuildLayouts() {
    std::array<std::vector<GridRow>, kMaterialTypeCount> t;
    t[0] = LayoutBuilder()
               .add("EX", U(0))
               .add("NUXY", U(1))
               .add("GXY", U(10))
               .add("DENS", U(4))
               .add("SIGXT", U(7))
               .add("SIGXC", U(11))
               .add("SIGYLD", U(8))
               .add("ALPX", U(3))
               .add("KX", U(5))
               .add("C (Cp)", U(6))
               .take();
    t[1] = LayoutBuilder()
               .add({"EX", "EY", "EZ"}, U(0))
               .add({"NUXY", "NUYZ", "NUXZ"}, U(1))
               .add({"GXY", "GYZ", "GXZ"}, U(10))
               .add("DENS", U(4))
               .add("SIGXT", U(7))
               .add("SIGXC", U(11))
               .add("SIGYLD", U(8))
               .add({"ALPX", "ALPY", "ALPZ"}, U(3))
               .add({"KX", "KY", "KZ"}, U(5))
               .add("C (Cp)", U(6))
               .take();
    {
        LayoutBuilder b;
        for (const auto& padded : matrixGridCodes())
            b.add(std::string(padded.substr(0, 4)), kNone);
        t[2] = b.add("DENS", U(4)).take();
    }
    t[3] = LayoutBuilder().add("NUXY", U(1)).add("ALPX", U(3)).add("DENS", U(4)).take();
    t[4] = LayoutBuilder()
               .add("EX", U(0))
               .add("NUXY", U(1))
               .add("SIGYLD", U(8))
               .add("ETAN", U(0))
               .add("ALPX", U(3))
               .add("DENS", U(4))
               .take();
    t[5] = t[6] = t[7] = t[4];
    t[8] = LayoutBuilder()
               .add("EX", U(0))
               .add("NUXY", U(1))
               .add("COHESN", U(0))
               .add("FRCANG", GridRowUnit{GridRowUnit::Kind::Degrees, 0})
               .add("DENS", U(4))
               .take();
    t[9] = LayoutBuilder()
               .add("NUXY", kNone)
               .add({"MOONEY_A", "MOONEY_B", "MOONEY_C", "MOONEY_D", "MOONEY_E", "MOONEY_F"}, U(0))
               .add("DENS", U(4))
               .take();
    t[10] = LayoutBuilder()
                .add("NUXY", kNone)
                .numbered("ALPH", 4, kNone)
                .numbered("MU", 4, U(0))
                .add("DENS", U(4))
                .take();
    t[11] = LayoutBuilder().add("EX", U(0)).add("DENS", U(4)).take();
    t[12] = LayoutBuilder()
                .add("EX", U(0))
                .add("NUXY", U(1))
                .add("GXY", U(10))
                .numbered("G", 8, kRecord)
                .numbered("TAUG", 8, kRecord)
                .numbered("K", 8, kRecord)
                .numbered("TAUK", 8, kRecord)
                .add("REFTEMP", GridRowUnit{GridRowUnit::Kind::Temperature, 0})
                .numbered("VC", 2, kRecord)
                .add("DENS", U(4))
                .take();
    return t;
}

const std::array<std::vector<GridRow>, kMaterialTypeCount>& Layouts() {
    static const auto layouts = BuildLayouts();
    return layouts;
}

} // namespace

const std::array<std::string, kMaterialTypeCount>& materialTypeNames() {
    static const std::array<std::string, kMaterialTypeCount> names = {
        "Linear Elastic Isotropic",
        "Linear Elastic Orthotropic",
        "Linear Elastic Anisotropic",
        "Nonlinear Elastic",
        "von Mises Plasticity (kinematic)",
        "von Mises Plasticity (isotropic)",
        "Tresca Plasticity (kinematic)",
        "Tresca Plasticity (isotropic)",
        "Drucker Prager Plasticity",
        "Mooney Rivlin HyperElastic",
        "Ogden HyperElastic",
        "Blatz Ko HyperElastic",
        "Viscoelastic",
    };
    return names;
}

const std::vector<GridRow>& gridLayout(int typeIndex) {
    if (typeIndex < 0 || typeIndex >= kMaterialTypeCount) return Layouts()[kPlasticityType];
    return Layouts()[typeIndex];
}

const std::string* mapRowCode(int typeIndex, int row) {
    if (typeIndex < 0 || typeIndex >= kMaterialTypeCount || row < 1) return nullptr;
    const auto& rows = Layouts()[typeIndex];
    if (typeIndex == kAnisotropicType && row > static_cast<int>(rows.size()))
        return &rows.back().code;
    if (row > static_cast<int>(rows.size())) return nullptr;
    return &rows[row - 1].code;
}

} // namespace mb
