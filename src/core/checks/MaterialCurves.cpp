#include "MaterialCurves.h"

#include "MaterialModel.h"
#include "PropertyCatalogue.h"
#include "TextUtil.h"
#include "UnitConversion.h"
#include "ValueText.h"

#include <Eigen/Core>
#include <Eigen/LU>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace mb {

namespace {

int SlotOf(std::string_view code) {
    return PropertyCatalogue::instance().findExact(code);
}

std::string Code(int slot) {
    return std::string(trimBlanks(PropertyCatalogue::instance().PropCode(slot)));
}

constexpr int kPlasticityFirst = 4, kPlasticityLast = 7;
constexpr int kOrthotropic = 1, kAnisotropic = 2, kDruckerPrager = 8, kMooneyRivlin = 9,
              kOgden = 10, kViscoelastic = 12;

/// Reads a material's values for one curve and remembers what the curve needed but lacked.
class CurveInputs {
public:
    CurveInputs(const clsMaterial& m, int system) : m_(m), system_(system) {}

    /// The SI value of `code`; 0 and noted as missing when the material has none.
    double need(std::string_view code) {
        const int slot = SlotOf(code);
        if (m_.HasValue(slot)) return m_.slotValue(slot);
        missing_.push_back(std::string(code));
        return 0;
    }
    bool has(std::string_view code) const { return m_.HasValue(SlotOf(code)); }
    double value(std::string_view code) const { return m_.slotValue(SlotOf(code)); }
    void noteMissing(std::string code) { missing_.push_back(std::move(code)); }
    bool complete() const { return missing_.empty(); }
    int missingCount() const { return static_cast<int>(missing_.size()); }
    /// "SIGYLD and ETAN are missing."
    std::string missingText() const {
        std::string s;
        for (std::size_t i = 0; i < missing_.size(); ++i) {
            if (i > 0) s += i + 1 == missing_.size() ? " and " : ", ";
            s += missing_[i];
        }
        return s + (missing_.size() == 1 ? " is missing." : " are missing.");
    }

    /// A stress in SI in the chosen system.
    double stress(double si) const {
        double ips = 0, mks = 0;
        clsUnitConversion::fromSI(Slot::EX, si, ips, mks);
        return system_ == UnitSystemIndex::IPS ? ips : system_ == UnitSystemIndex::MKS ? mks : si;
    }
    /// "psi", "N/m^2" or "Kgf/cm^2".
    std::string stressUnit() const {
        const std::string& label = system_ == UnitSystemIndex::IPS   ? UnitsIPS(Slot::EX)
                                   : system_ == UnitSystemIndex::MKS ? UnitsMKS(Slot::EX)
                                                                     : UnitsSI(Slot::EX);
        return std::string(trimBlanks(label));
    }

private:
    const clsMaterial& m_;
    int system_;
    std::vector<std::string> missing_;
};

/// `points` values from `from` to `to`, evenly spread, both ends included exactly.
std::vector<double> Even(double from, double to, int points) {
    std::vector<double> x(static_cast<std::size_t>(points));
    for (int i = 0; i < points; ++i)
        x[static_cast<std::size_t>(i)] = from + (to - from) * i / (points - 1);
    x.back() = to;
    return x;
}

/// The same spread evenly over the logarithm.
std::vector<double> Logarithmic(double from, double to, int points) {
    std::vector<double> x = Even(std::log(from), std::log(to), points);
    for (double& v : x)
        v = std::exp(v);
    x.front() = from;
    x.back() = to;
    return x;
}

/// The series `name` of `f` at each of the curve's abscissae.
template <class F> CurveSeries Sample(std::string name, const std::vector<double>& x, F f) {
    CurveSeries s{std::move(name), {}};
    s.y.reserve(x.size());
    for (double v : x)
        s.y.push_back(f(v));
    return s;
}

MaterialCurve Plasticity(const clsMaterial& m, int system, int points) {
    MaterialCurve c;
    c.kind = MaterialCurve::Kind::Plasticity;
    CurveInputs in(m, system);
    c.title = "Bilinear uniaxial stress-strain curve";
    c.xLabel = "Strain";
    c.yLabel = "Stress (" + in.stressUnit() + ")";
    const double ex = in.need("EX"), yield = in.need("SIGYLD"), tangent = in.need("ETAN");
    if (!in.complete()) {
        c.note = "No plasticity curve: " + in.missingText();
        return c;
    }
    if (!(ex > 0) || !(yield > 0)) {
        c.note = "No plasticity curve: EX and SIGYLD must be greater than zero.";
        return c;
    }
    const double yieldStrain = yield / ex;
    double last = 5 * yieldStrain;
    // The curve stops where it reaches the tensile strength, when that comes first.
    if (in.has("SIGXT") && in.value("SIGXT") > 0) {
        const double strength = in.value("SIGXT");
        if (strength <= yield)
            last = std::min(last, strength / ex);
        else if (tangent > 0)
            last = std::min(last, yieldStrain + (strength - yield) / tangent);
    }
    c.x = Even(0, last, points);
    c.series.push_back(Sample("Stress", c.x, [&](double e) {
        return in.stress(e <= yieldStrain ? ex * e : yield + tangent * (e - yieldStrain));
    }));
    return c;
}

MaterialCurve DruckerPrager(const clsMaterial& m, int system, int points) {
    MaterialCurve c;
    c.kind = MaterialCurve::Kind::DruckerPrager;
    CurveInputs in(m, system);
    c.title = "Shear strength envelope";
    c.xLabel = "Normal stress (" + in.stressUnit() + ")";
    c.yLabel = "Shear strength (" + in.stressUnit() + ")";
    const double cohesion = in.need("COHESN"), angle = in.need("FRCANG");
    if (!in.complete()) {
        c.note = "No strength envelope: " + in.missingText();
        return c;
    }
    if (!(cohesion > 0) || !(angle >= 0 && angle < 90)) {
        c.note = "No strength envelope: COHESN must be greater than zero and FRCANG between 0 "
                 "and 90 degrees.";
        return c;
    }
    const double cu = in.stress(cohesion), slope = std::tan(angle * std::numbers::pi / 180);
    c.x = Even(0, 5 * cu, points);
    c.series.push_back(
        Sample("Shear strength", c.x, [&](double sigma) { return cu + sigma * slope; }));
    return c;
}

/// The incompressible uniaxial nominal stress of a hyperelastic model for stretch 0.5 to 3;
/// `read` takes the model's constants and returns the stress in SI at a stretch, or nothing
/// when the material lacks a constant.
template <class Read>
MaterialCurve UniaxialStretch(MaterialCurve::Kind kind, const char* model, const clsMaterial& m,
                              int system, int points, Read read) {
    MaterialCurve c;
    c.kind = kind;
    CurveInputs in(m, system);
    c.title = "Incompressible uniaxial tension and compression";
    c.xLabel = "Stretch";
    c.yLabel = "Nominal stress (" + in.stressUnit() + ")";
    const auto stress = read(in);
    if (!in.complete()) {
        c.note = std::string("No ") + model + " curve: " + in.missingText();
        return c;
    }
    c.x = Even(0.5, 3, points);
    c.series.push_back(
        Sample("Nominal stress", c.x, [&](double l) { return in.stress(stress(l)); }));
    return c;
}

MaterialCurve MooneyRivlin(const clsMaterial& m, int system, int points) {
    return UniaxialStretch(
        MaterialCurve::Kind::MooneyRivlin, "Mooney-Rivlin", m, system, points, [](CurveInputs& in) {
            // Two constants are the classic model; the higher ones are 0 unless given.
            const auto optional = [&in](std::string_view code) {
                return in.has(code) ? in.value(code) : 0.0;
            };
            const double c10 = in.need("MOONEY_A"), c01 = in.need("MOONEY_B"),
                         c20 = optional("MOONEY_C"), c11 = optional("MOONEY_D"),
                         c02 = optional("MOONEY_E"), c30 = optional("MOONEY_F");
            return [=](double l) {
                const double i1 = l * l + 2 / l - 3, i2 = 2 * l + 1 / (l * l) - 3; // I1-3, I2-3
                const double w1 = c10 + 2 * c20 * i1 + c11 * i2 + 3 * c30 * i1 * i1;
                const double w2 = c01 + c11 * i1 + 2 * c02 * i2;
                return 2 * (l - 1 / (l * l)) * (w1 + w2 / l);
            };
        });
}

MaterialCurve Ogden(const clsMaterial& m, int system, int points) {
    return UniaxialStretch(
        MaterialCurve::Kind::Ogden, "Ogden", m, system, points, [](CurveInputs& in) {
            std::vector<std::pair<double, double>> terms; // MUi, ALPHi
            for (int i = 1; i <= 4; ++i) {
                const std::string mu = "MU" + std::to_string(i), alpha = "ALPH" + std::to_string(i);
                if (!in.has(mu) && !in.has(alpha)) continue;
                terms.emplace_back(in.need(mu), in.need(alpha));
            }
            if (terms.empty()) {
                in.noteMissing("MU1");
                in.noteMissing("ALPH1");
            }
            return [terms](double l) {
                double p = 0;
                for (const auto& [mu, alpha] : terms)
                    p += mu * (std::pow(l, alpha - 1) - std::pow(l, -alpha / 2 - 1));
                return p;
            };
        });
}

MaterialCurve Viscoelastic(const clsMaterial& m, int system, int points) {
    MaterialCurve c;
    c.kind = MaterialCurve::Kind::Viscoelastic;
    c.logX = true;
    CurveInputs in(m, system);
    c.title = "Shear and bulk relaxation moduli";
    c.xLabel = "Time (s)";
    c.yLabel = "Relaxation modulus (" + in.stressUnit() + ")";
    const double ex = in.need("EX"), nu = in.need("NUXY");
    // Only a term with both its modulus and a positive time can relax.
    struct Term {
        double modulus, time;
    };
    std::vector<Term> shear, bulk;
    for (int i = 1; i <= 8; ++i) {
        const auto add = [&](std::vector<Term>& to, const std::string& modulus,
                             const std::string& time) {
            if (in.has(modulus) && in.has(time) && in.value(time) > 0)
                to.push_back({in.value(modulus), in.value(time)});
        };
        add(shear, "G" + std::to_string(i), "TAUG" + std::to_string(i));
        add(bulk, "K" + std::to_string(i), "TAUK" + std::to_string(i));
    }
    if (shear.empty() && bulk.empty()) in.noteMissing("a Prony term with its time");
    if (!in.complete()) {
        c.note = "No relaxation curve: " + in.missingText();
        return c;
    }
    if (!(ex > 0) || !(nu > -1 && nu < 0.5)) {
        c.note = "No relaxation curve: EX must be greater than zero and NUXY between -1 and 0.5.";
        return c;
    }
    const double g0 = in.has("GXY") ? in.value("GXY") : ex / (2 * (1 + nu));
    const double k0 = ex / (3 * (1 - 2 * nu));
    double shortest = INFINITY, longest = 0;
    for (const auto* terms : {&shear, &bulk})
        for (const Term& t : *terms) {
            shortest = std::min(shortest, t.time);
            longest = std::max(longest, t.time);
        }
    c.x = Logarithmic(shortest / 100, longest * 100, points);
    const auto relaxation = [&](double modulus, const std::vector<Term>& terms, const char* name) {
        return Sample(name, c.x, [&](double t) {
            double lost = 0;
            for (const Term& term : terms)
                lost += term.modulus * (1 - std::exp(-t / term.time));
            return in.stress(modulus * (1 - lost));
        });
    };
    c.series.push_back(relaxation(g0, shear, "G(t)"));
    c.series.push_back(relaxation(k0, bulk, "K(t)"));
    return c;
}

MaterialCurve Directional(const clsMaterial& m, int typeIndex, int system, int points) {
    MaterialCurve c;
    c.kind = MaterialCurve::Kind::Directional;
    c.polar = true;
    CurveInputs in(m, system);
    c.title = "Directional Young's modulus in the XY plane";
    c.xLabel = "Angle (degrees)";
    double s11 = 0, s22 = 0, s12 = 0, s44 = 0;
    bool stored = false;
    if (typeIndex == kOrthotropic) {
        c.yLabel = "E (" + in.stressUnit() + ")";
        const double ex = in.need("EX"), ey = in.need("EY"), nu = in.need("NUXY"),
                     g = in.need("GXY");
        if (!in.complete()) {
            c.note = "No directional modulus: " + in.missingText();
            return c;
        }
        if (!(ex > 0) || !(ey > 0) || !(g > 0)) {
            c.note = "No directional modulus: EX, EY and GXY must be greater than zero.";
            return c;
        }
        s11 = 1 / ex;
        s22 = 1 / ey;
        s12 = -nu / ex;
        s44 = 1 / g;
    } else {
        // The matrix carries no unit in the catalogue, so its modulus stays as stored.
        stored = true;
        c.yLabel = "E (as stored)";
        Eigen::Matrix<double, 6, 6> k;
        int slot = SlotOf("MC11");
        for (int i = 0; i < 6; ++i)
            for (int j = i; j < 6; ++j)
                k(i, j) = k(j, i) = in.need(Code(slot++));
        if (!in.complete()) {
            // A matrix of mostly missing values is better counted than listed.
            c.note = "No directional modulus: " +
                     (in.missingCount() > 3 ? std::to_string(in.missingCount()) +
                                                  " of the 21 matrix values MC11..MC66 are missing."
                                            : in.missingText());
            return c;
        }
        const Eigen::FullPivLU<Eigen::Matrix<double, 6, 6>> lu(k);
        if (!lu.isInvertible()) {
            c.note = "No directional modulus: the material matrix MC11..MC66 is singular.";
            return c;
        }
        const Eigen::Matrix<double, 6, 6> s = lu.inverse();
        s11 = s(0, 0);
        s22 = s(1, 1);
        s12 = s(0, 1);
        s44 = s(3, 3);
    }
    c.x = Even(0, 360, points);
    CurveSeries e{"E", {}};
    for (double degrees : c.x) {
        const double theta = degrees * std::numbers::pi / 180;
        const double co = std::cos(theta), si = std::sin(theta);
        const double compliance =
            s11 * co * co * co * co + s22 * si * si * si * si + (2 * s12 + s44) * co * co * si * si;
        if (!(compliance > 0)) {
            c.x.clear();
            c.note = "No directional modulus: the compliance gives no positive modulus at " +
                     significantNumberText(degrees, 6) + " degrees.";
            return c;
        }
        e.y.push_back(stored ? 1 / compliance : in.stress(1 / compliance));
    }
    c.series.push_back(std::move(e));
    return c;
}

} // namespace

MaterialCurve isotropicLine(const clsMaterial& material, int unitSystem, int points) {
    MaterialCurve c;
    c.kind = MaterialCurve::Kind::Elastic;
    CurveInputs in(material, unitSystem);
    c.title = "Linear elastic uniaxial stress-strain line";
    c.xLabel = "Strain";
    c.yLabel = "Stress (" + in.stressUnit() + ")";
    const double ex = in.need("EX");
    if (!in.complete()) {
        c.note = "No stress-strain line: " + in.missingText();
        return c;
    }
    if (!(ex > 0)) {
        c.note = "No stress-strain line: EX must be greater than zero.";
        return c;
    }
    double last = 0.002;
    for (const char* limit : {"SIGYLD", "SIGXT"})
        if (in.has(limit) && in.value(limit) > 0) {
            last = in.value(limit) / ex;
            break;
        }
    c.x = Even(0, last, std::max(points, 2));
    c.series.push_back(Sample("Stress", c.x, [&](double e) { return in.stress(ex * e); }));
    return c;
}

MaterialCurve computeCurve(const clsMaterial& material, int typeIndex, int unitSystem, int points) {
    points = std::max(points, 2);
    if (typeIndex >= kPlasticityFirst && typeIndex <= kPlasticityLast)
        return Plasticity(material, unitSystem, points);
    switch (typeIndex) {
    case kOrthotropic:
    case kAnisotropic:
        return Directional(material, typeIndex, unitSystem, points);
    case kDruckerPrager:
        return DruckerPrager(material, unitSystem, points);
    case kMooneyRivlin:
        return MooneyRivlin(material, unitSystem, points);
    case kOgden:
        return Ogden(material, unitSystem, points);
    case kViscoelastic:
        return Viscoelastic(material, unitSystem, points);
    default:
        break;
    }
    MaterialCurve none;
    none.note = typeIndex >= 0 && typeIndex < kMaterialTypeCount
                    ? "No curve is drawn for " + materialTypeNames()[typeIndex] + " materials."
                    : "No material model type is chosen.";
    return none;
}

} // namespace mb
