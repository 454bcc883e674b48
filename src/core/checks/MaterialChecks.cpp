#include "MaterialChecks.h"

#include "NumberText.h"
#include "PropertyCatalogue.h"
#include "ShortestNumber.h"
#include "TextUtil.h"
#include "UnitConversion.h"
#include "ValueText.h"

#include <Eigen/Cholesky>
#include <Eigen/Core>

#include <algorithm>
#include <array>
#include <cmath>
#include <initializer_list>
#include <iterator>
#include <optional>
#include <system_error>
#include <thread>

namespace mb {

namespace {

int SlotOf(std::string_view code) {
    return PropertyCatalogue::instance().findExact(code);
}

/// The slots the rules read, looked up once by their codes.
struct RuleSlots {
    int EX = SlotOf("EX"), EY = SlotOf("EY"), EZ = SlotOf("EZ"), ETAN = SlotOf("ETAN");
    int NUXY = SlotOf("NUXY"), NUYZ = SlotOf("NUYZ"), NUXZ = SlotOf("NUXZ");
    int GXY = SlotOf("GXY"), GYZ = SlotOf("GYZ"), GXZ = SlotOf("GXZ");
    int ALPX = SlotOf("ALPX"), ALPY = SlotOf("ALPY"), ALPZ = SlotOf("ALPZ");
    int DENS = SlotOf("DENS"), C = SlotOf("C (Cp)");
    int SIGXT = SlotOf("SIGXT"), SIGYLD = SlotOf("SIGYLD"), SIGXC = SlotOf("SIGXC");
    int COHESN = SlotOf("COHESN"), FRCANG = SlotOf("FRCANG");
    int KX = SlotOf("KX"), KY = SlotOf("KY"), KZ = SlotOf("KZ");
    int MOONEY_A = SlotOf("MOONEY_A"), MOONEY_B = SlotOf("MOONEY_B");
    int VC1 = SlotOf("VC1"), VC2 = SlotOf("VC2");
    int ALPH1 = SlotOf("ALPH1"), MU1 = SlotOf("MU1");
    int G1 = SlotOf("G1"), K1 = SlotOf("K1"), TAUG1 = SlotOf("TAUG1"), TAUK1 = SlotOf("TAUK1");
    int MC11 = SlotOf("MC11");
};

const RuleSlots& S() {
    static const RuleSlots slots;
    return slots;
}

constexpr int kOgdenTerms = 4;
constexpr int kPronyTerms = 8;

/// A value the rule computed, to six digits: its shortest exact text would be noise.
std::string Derived(double v) {
    return significantNumberText(v, 6);
}

std::string Code(int slot) {
    return std::string(trimBlanks(PropertyCatalogue::instance().PropCode(slot)));
}

/// "A", "A and B", "A, B and C".
std::string JoinAnd(const std::vector<std::string>& parts) {
    std::string s;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) s += i + 1 == parts.size() ? " and " : ", ";
        s += parts[i];
    }
    return s;
}

std::string JoinWith(const std::vector<std::string>& parts, std::string_view separator) {
    std::string s;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) s += separator;
        s += parts[i];
    }
    return s;
}

/// Reads a material's values and collects the findings of the rules, one rule at a time.
/// Its messages give values in SI as stored, or in the unit system it is given, with units.
class Checker {
public:
    Checker(const clsMaterial& m, std::string_view system, Wording wording)
        : m_(m), system_(system), worded_(wording == Wording::Worded) {}

    /// Whether the messages give units.
    bool inUnits() const { return !system_.empty(); }
    /// A value of `slot` as the messages give it: "2.1e+11", or "30463140 psi".
    std::string value(int slot, double si, int digits = 0) const {
        if (!inUnits()) return digits ? significantNumberText(si, digits) : shortestNumber(si);
        const double v = clsUnitConversion().ChangeUnits("SI", system_, slot, si);
        const std::string& label = system_ == "IPS"   ? UnitsIPS(slot)
                                   : system_ == "MKS" ? UnitsMKS(slot)
                                                      : UnitsSI(slot);
        const std::string_view unit = trimBlanks(label);
        // A stored value as the grid writes it (the file's digits, in general form), a
        // computed one to its digits: 30463140 psi, not 3.046314e+07.
        std::string number =
            digits ? formatGeneralNumber(
                         leadingNumber(significantNumberText(v, digits)).value_or(v), ".")
                   : generalNumberText(v, ".");
        if (!unit.empty()) number.append(" ").append(unit);
        return number;
    }
    /// A value a rule computed for `slot`'s quantity, to six digits.
    std::string derived(int slot, double si) const { return value(slot, si, 6); }

    const clsMaterial& material() const { return m_; }

    bool has(int slot) const { return m_.HasValue(slot); }
    std::optional<double> get(int slot) const {
        if (!has(slot)) return std::nullopt;
        return m_.slotValue(slot);
    }
    double at(int slot) const { return m_.slotValue(slot); }
    /// "EX = 2.1e+11", or in units "EX = 30463140 psi".
    std::string named(int slot) const {
        return Code(slot).append(" = ").append(value(slot, at(slot)));
    }
    std::string named(const std::vector<int>& slots) const {
        std::vector<std::string> parts;
        for (int s : slots)
            parts.push_back(named(s));
        return JoinWith(parts, ", ");
    }

    bool isotropic() const {
        if (has(S().EY) || has(S().EZ)) return false;
        for (int i = 0; i < kMatrixEntryCount; ++i)
            if (has(S().MC11 + i)) return false;
        return true;
    }

    /// Adds a finding; `words` gives its message, and is called only for worded findings.
    template <class Words>
    void add(std::string_view rule, Severity severity, Words&& words, std::vector<int> slots) {
        findings_.push_back(
            {severity, std::string(rule), worded_ ? words() : std::string(), std::move(slots)});
    }
    /// Notes one of the problems a rule lists in one message, its words as add's.
    template <class Words> void note(std::vector<std::string>& problems, Words&& words) const {
        problems.push_back(worded_ ? words() : std::string());
    }
    std::vector<Finding> take() { return std::move(findings_); }

private:
    const clsMaterial& m_;
    std::string_view system_;
    bool worded_;
    std::vector<Finding> findings_;
};

/// One finding naming every value of `slots` the material has that is not positive.
void NotPositive(Checker& c, const CheckRule& r, std::initializer_list<int> slots) {
    std::vector<int> bad;
    for (int slot : slots)
        if (c.has(slot) && !(c.at(slot) > 0)) bad.push_back(slot);
    if (bad.empty()) return;
    c.add(
        r.id, r.severity,
        [&] {
            std::vector<std::string> parts;
            for (int slot : bad)
                parts.push_back(c.named(slot));
            return JoinAnd(parts) + (bad.size() == 1 ? " is" : " are") + " not positive.";
        },
        bad);
}

void Positive(Checker& c, const CheckRule& r) {
    const RuleSlots& s = S();
    NotPositive(c, r,
                {s.EX, s.EY, s.EZ, s.GXY, s.GYZ, s.GXZ, s.DENS, s.KX, s.KY, s.KZ, s.C, s.SIGXT,
                 s.SIGYLD, s.SIGXC});
}

void PoissonRange(Checker& c, const CheckRule& r) {
    const auto nu = c.get(S().NUXY);
    if (!nu || !c.isotropic() || (*nu > -1 && *nu < 0.5)) return;
    c.add(r.id, r.severity,
          [&] {
              return c.named(S().NUXY) + " is outside -1 < NUXY < 0.5 for an isotropic material.";
          },
          {S().NUXY});
}

void OrthotropicStability(Checker& c, const CheckRule& r) {
    const RuleSlots& s = S();
    const std::vector<int> involved = {s.EX, s.EY, s.EZ, s.NUXY, s.NUYZ, s.NUXZ};
    for (int slot : involved)
        if (!c.has(slot)) return;
    const double ex = c.at(s.EX), ey = c.at(s.EY), ez = c.at(s.EZ);
    // Moduli that are not positive are the positive rule's to report; the bounds below
    // have no meaning for them.
    if (!(ex > 0 && ey > 0 && ez > 0)) return;
    const double nxy = c.at(s.NUXY), nyz = c.at(s.NUYZ), nxz = c.at(s.NUXZ);
    std::vector<std::string> problems;
    const struct {
        double nu, ei, ej;
        const char* text;
    } pairs[] = {{nxy, ex, ey, "|NUXY| is not below sqrt(EX/EY) = "},
                 {nyz, ey, ez, "|NUYZ| is not below sqrt(EY/EZ) = "},
                 {nxz, ex, ez, "|NUXZ| is not below sqrt(EX/EZ) = "}};
    for (const auto& p : pairs) {
        const double bound = std::sqrt(p.ei / p.ej);
        if (!(std::abs(p.nu) < bound)) c.note(problems, [&] { return p.text + Derived(bound); });
    }
    const double nyx = nxy * ey / ex, nzy = nyz * ez / ey, nzx = nxz * ez / ex;
    const double d = 1 - nxy * nyx - nyz * nzy - nxz * nzx - 2 * nyx * nzy * nxz;
    if (!(d > 0))
        c.note(problems, [&] {
            return "1 - NUXY*NUYX - NUYZ*NUZY - NUXZ*NUZX - 2*NUYX*NUZY*NUXZ = " + Derived(d) +
                   " is not positive";
        });
    if (problems.empty()) return;
    c.add(
        r.id, r.severity,
        [&] { return JoinWith(problems, "; ") + " (" + c.named(involved) + ")."; }, involved);
}

void MatrixIncomplete(Checker& c, const CheckRule& r) {
    std::vector<int> missing;
    for (int i = 0; i < kMatrixEntryCount; ++i)
        if (!c.has(S().MC11 + i)) missing.push_back(S().MC11 + i);
    if (missing.empty() || missing.size() == kMatrixEntryCount) return;
    c.add(
        r.id, r.severity,
        [&] {
            std::vector<std::string> codes;
            for (int slot : missing)
                codes.push_back(Code(slot));
            return "The material matrix has " + std::to_string(kMatrixEntryCount - missing.size()) +
                   " of its 21 values: " + JoinAnd(codes) + (missing.size() == 1 ? " is" : " are") +
                   " missing.";
        },
        missing);
}

/// The symmetric 6x6 matrix of MC11..MC66, whose upper triangle the catalogue lists row by row.
Eigen::Matrix<double, 6, 6> MaterialMatrix(const clsMaterial& m, int firstSlot) {
    Eigen::Matrix<double, 6, 6> k;
    int slot = firstSlot;
    for (int i = 0; i < 6; ++i)
        for (int j = i; j < 6; ++j) {
            k(i, j) = m.slotValue(slot++);
            k(j, i) = k(i, j);
        }
    return k;
}

void MatrixNotPositiveDefinite(Checker& c, const CheckRule& r) {
    std::vector<int> all;
    for (int i = 0; i < kMatrixEntryCount; ++i) {
        if (!c.has(S().MC11 + i)) return;
        all.push_back(S().MC11 + i);
    }
    const Eigen::Matrix<double, 6, 6> k = MaterialMatrix(c.material(), S().MC11);
    if (Eigen::LLT<Eigen::Matrix<double, 6, 6>>(k).info() == Eigen::Success) return;
    // The smallest leading block that fails says in which row the matrix goes wrong.
    int row = 6;
    for (int n = 1; n < 6; ++n)
        if (Eigen::LLT<Eigen::MatrixXd>(k.topLeftCorner(n, n)).info() != Eigen::Success) {
            row = n;
            break;
        }
    const int diagonal = S().MC11 + (row - 1) * (14 - row) / 2;
    c.add(
        r.id, r.severity,
        [&] {
            return "The material matrix MC11..MC66 is not positive definite: its Cholesky "
                   "factorisation fails in row " +
                   std::to_string(row) + " (" + c.named(diagonal) + ").";
        },
        all);
}

void YieldAboveStrength(Checker& c, const CheckRule& r) {
    const auto yield = c.get(S().SIGYLD), strength = c.get(S().SIGXT);
    if (!yield || !strength || !(*yield > *strength)) return;
    c.add(r.id, r.severity,
          [&] { return c.named(S().SIGYLD) + " is above " + c.named(S().SIGXT) + "."; },
          {S().SIGYLD, S().SIGXT});
}

void TangentAboveModulus(Checker& c, const CheckRule& r) {
    const auto etan = c.get(S().ETAN), ex = c.get(S().EX);
    if (!etan) return;
    if (*etan < 0)
        c.add(r.id, r.severity, [&] { return c.named(S().ETAN) + " is negative."; }, {S().ETAN});
    else if (ex && *etan >= *ex)
        c.add(r.id, r.severity,
              [&] { return c.named(S().ETAN) + " is not below " + c.named(S().EX) + "."; },
              {S().ETAN, S().EX});
}

void FrictionAngle(Checker& c, const CheckRule& r) {
    const auto angle = c.get(S().FRCANG), cohesion = c.get(S().COHESN);
    std::vector<std::string> problems;
    std::vector<int> slots;
    if (angle && !(*angle >= 0 && *angle < 90)) {
        c.note(problems, [&] {
            return c.named(S().FRCANG) + (c.inUnits() ? "" : " degrees") +
                   " is outside 0 <= FRCANG < 90";
        });
        slots.push_back(S().FRCANG);
    }
    if (cohesion && *cohesion < 0) {
        c.note(problems, [&] { return c.named(S().COHESN) + " is negative"; });
        slots.push_back(S().COHESN);
    }
    if (!problems.empty())
        c.add(
            r.id, r.severity, [&] { return JoinWith(problems, "; ") + "."; }, slots);
}

void MooneyInitialShear(Checker& c, const CheckRule& r) {
    const int a = S().MOONEY_A, b = S().MOONEY_B;
    if (!c.has(a) && !c.has(b)) return;
    // A constant left out contributes nothing to the initial shear modulus.
    const double mu = 2 * (c.get(a).value_or(0) + c.get(b).value_or(0));
    if (mu > 0) return;
    std::vector<int> given;
    for (int slot : {a, b})
        if (c.has(slot)) given.push_back(slot);
    c.add(
        r.id, r.severity,
        [&] {
            return "The initial shear modulus 2*(MOONEY_A + MOONEY_B) = " + c.derived(a, mu) +
                   " is not positive (" + c.named(given) + ").";
        },
        given);
}

void OgdenPairs(Checker& c, const CheckRule& r) {
    std::vector<std::string> problems;
    std::vector<int> slots;
    for (int i = 0; i < kOgdenTerms; ++i) {
        const int mu = S().MU1 + i, alpha = S().ALPH1 + i;
        if (c.has(mu) == c.has(alpha)) continue;
        const int given = c.has(mu) ? mu : alpha, lacking = c.has(mu) ? alpha : mu;
        c.note(problems, [&] { return c.named(given) + " has no " + Code(lacking); });
        slots.push_back(given);
    }
    if (!problems.empty())
        c.add(
            r.id, r.severity, [&] { return JoinWith(problems, "; ") + "."; }, slots);
}

void OgdenInitialShear(Checker& c, const CheckRule& r) {
    double sum = 0;
    std::vector<int> slots;
    for (int i = 0; i < kOgdenTerms; ++i) {
        const int mu = S().MU1 + i, alpha = S().ALPH1 + i;
        if (!c.has(mu) || !c.has(alpha)) continue;
        sum += c.at(mu) * c.at(alpha);
        slots.push_back(mu);
        slots.push_back(alpha);
    }
    if (slots.empty() || sum / 2 > 0) return;
    c.add(
        r.id, r.severity,
        [&] {
            return "The initial shear modulus 0.5*sum(MUi*ALPHi) = " + c.derived(S().MU1, sum / 2) +
                   " is not positive (" + c.named(slots) + ").";
        },
        slots);
}

void PronyTime(Checker& c, const CheckRule& r) {
    std::vector<std::string> problems;
    std::vector<int> slots;
    for (const auto& [modulus, time] : {std::pair{S().G1, S().TAUG1}, std::pair{S().K1, S().TAUK1}})
        for (int i = 0; i < kPronyTerms; ++i) {
            if (!c.has(modulus + i)) continue;
            const auto tau = c.get(time + i);
            if (tau && *tau > 0) continue;
            c.note(problems, [&] {
                std::string problem = c.named(modulus + i) + " has no " + Code(time + i) + " > 0";
                if (tau) problem += " (" + c.named(time + i) + ")";
                return problem;
            });
            slots.push_back(modulus + i);
            if (tau) slots.push_back(time + i);
        }
    if (!problems.empty())
        c.add(
            r.id, r.severity, [&] { return JoinWith(problems, "; ") + "."; }, slots);
}

void PronySum(Checker& c, const CheckRule& r) {
    std::vector<std::string> problems;
    std::vector<int> slots;
    for (const int first : {S().G1, S().K1}) {
        double sum = 0;
        std::vector<int> terms;
        for (int i = 0; i < kPronyTerms; ++i)
            if (c.has(first + i)) {
                sum += c.at(first + i);
                terms.push_back(first + i);
            }
        if (terms.empty() || sum < 1) continue;
        c.note(problems, [&] {
            std::vector<std::string> codes;
            for (int slot : terms)
                codes.push_back(Code(slot));
            return JoinWith(codes, " + ") + " = " + Derived(sum) + " is not below 1 (" +
                   c.named(terms) + ")";
        });
        slots.insert(slots.end(), terms.begin(), terms.end());
    }
    if (!problems.empty())
        c.add(
            r.id, r.severity, [&] { return JoinWith(problems, "; ") + "."; }, slots);
}

void WlfConstants(Checker& c, const CheckRule& r) {
    NotPositive(c, r, {S().VC1, S().VC2});
}

void IsotropicConsistency(Checker& c, const CheckRule& r) {
    const RuleSlots& s = S();
    if (!c.has(s.EX) || !c.has(s.NUXY) || !c.has(s.GXY) || !c.isotropic()) return;
    const double nu = c.at(s.NUXY);
    if (!(nu > -1)) return; // no shear modulus follows; the Poisson rule reports it
    const double g = c.at(s.EX) / (2 * (1 + nu));
    const double off = std::abs(c.at(s.GXY) - g);
    if (!(off > 0.02 * std::abs(g))) return;
    c.add(r.id, r.severity,
          [&] {
              return c.named(s.GXY) + " differs from EX/(2(1+NUXY)) = " + c.derived(s.GXY, g) +
                     " by " + significantNumberText(100 * off / std::abs(g), 3) +
                     "%, more than 2% (" + c.named({s.EX, s.NUXY}) + ").";
          },
          {s.GXY, s.EX, s.NUXY});
}

void Range(Checker& c, const CheckRule& r) {
    struct Bound {
        std::array<int, 3> slots; // -1 where the quantity has fewer directions
        double low, high;
        bool magnitude;
    };
    // Made once: every material of a library is checked against the same bounds.
    static const std::array<Bound, 5> bounds = [] {
        const RuleSlots& s = S();
        return std::array<Bound, 5>{{
            {{s.DENS, -1, -1}, 1, 25000, false},
            {{s.EX, s.EY, s.EZ}, 1e4, 1.5e12, false},
            {{s.ALPX, s.ALPY, s.ALPZ}, 0, 1e-3, true},
            {{s.KX, s.KY, s.KZ}, 0.005, 5000, false},
            {{s.C, -1, -1}, 100, 15000, false},
        }};
    }();
    std::vector<std::string> problems;
    std::vector<int> slots;
    for (const Bound& b : bounds)
        for (int slot : b.slots) {
            if (slot < 0 || !c.has(slot)) continue;
            const double v = c.at(slot);
            // In SI the unit is named once after the value; in units each bound has its own.
            const auto unit = [&] {
                return c.inUnits() ? "" : " " + std::string(trimBlanks(UnitsSI(slot)));
            };
            if (b.magnitude) {
                if (std::abs(v) <= b.high) continue;
                c.note(problems, [&] {
                    return "|" + Code(slot) + "| = " + c.value(slot, std::abs(v)) + unit() +
                           " is above " + c.value(slot, b.high);
                });
            } else {
                // A value that is not positive is already an error of its own.
                if (!(v > 0) || (v >= b.low && v <= b.high)) continue;
                c.note(problems, [&] {
                    return c.named(slot) + unit() + " is outside " + c.value(slot, b.low) + " to " +
                           c.value(slot, b.high);
                });
            }
            slots.push_back(slot);
        }
    if (problems.empty()) return;
    c.add(
        r.id, r.severity,
        [&] {
            return JoinWith(problems, "; ") + ": no engineering material has that, a unit slip?";
        },
        slots);
}

struct RuleEntry {
    CheckRule rule;
    void (*check)(Checker&, const CheckRule&);
};

// The order here is the order findings are reported in.
constexpr RuleEntry kRules[] = {
    {{"positive", Severity::Error}, &Positive},
    {{"poisson-range", Severity::Error}, &PoissonRange},
    {{"orthotropic-stability", Severity::Error}, &OrthotropicStability},
    {{"matrix-incomplete", Severity::Error}, &MatrixIncomplete},
    {{"matrix-not-positive-definite", Severity::Error}, &MatrixNotPositiveDefinite},
    {{"yield-above-strength", Severity::Error}, &YieldAboveStrength},
    {{"tangent-above-modulus", Severity::Error}, &TangentAboveModulus},
    {{"friction-angle", Severity::Error}, &FrictionAngle},
    {{"mooney-initial-shear", Severity::Error}, &MooneyInitialShear},
    {{"ogden-pairs", Severity::Error}, &OgdenPairs},
    {{"ogden-initial-shear", Severity::Error}, &OgdenInitialShear},
    {{"prony-time", Severity::Error}, &PronyTime},
    {{"prony-sum", Severity::Error}, &PronySum},
    {{"wlf-constants", Severity::Error}, &WlfConstants},
    {{"isotropic-consistency", Severity::Warning}, &IsotropicConsistency},
    {{"range", Severity::Warning}, &Range},
};

} // namespace

std::string_view severityName(Severity s) {
    return s == Severity::Error ? "error" : "warning";
}

const std::vector<CheckRule>& checkRules() {
    static const std::vector<CheckRule> rules = [] {
        std::vector<CheckRule> r;
        for (const RuleEntry& e : kRules)
            r.push_back(e.rule);
        return r;
    }();
    return rules;
}

std::vector<Finding> checkMaterial(const clsMaterial& material, std::string_view unitSystem,
                                   Wording wording) {
    Checker c(material, unitSystem, wording);
    for (const RuleEntry& e : kRules)
        e.check(c, e.rule);
    return c.take();
}

namespace {

// Materials per run: small enough that the last run keeps nobody waiting long, large
// enough that taking runs costs nothing next to checking them.
constexpr int kRunLength = 32;

} // namespace

std::vector<LibraryFinding> checkLibrary(const Library& library, std::string_view unitSystem,
                                         Wording wording) {
    return LibraryCheck(library, unitSystem, wording).take();
}

// Each material is checked on its own, reading nothing but its record, so the runs can go
// to any thread; each run's findings keep their place and are joined in number order.
LibraryCheck::LibraryCheck(const Library& library, std::string_view unitSystem, Wording wording)
    : library_(library), unitSystem_(unitSystem), wording_(wording),
      count_(library.materialCount()),
      runs_(static_cast<std::size_t>((count_ + kRunLength - 1) / kRunLength)) {
    // A small library is checked sooner than a thread starts.
    if (count_ < 100) return;
    const int helpers =
        static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 2u, 4u)) - 1;
    failures_.resize(static_cast<std::size_t>(helpers));
    for (std::size_t i = 0; i < failures_.size(); ++i) {
        try {
            helpers_.emplace_back([this, i] {
                try {
                    work();
                } catch (...) {
                    failures_[i] = std::current_exception();
                }
            });
        } catch (const std::system_error&) {
            break; // no thread to be had: the caller checks what the helpers do not
        }
    }
}

LibraryCheck::~LibraryCheck() {
    // Stops the helpers at their next run: nothing is left to take.
    nextRun_.store(static_cast<int>(runs_.size()));
    for (std::thread& helper : helpers_)
        if (helper.joinable()) helper.join();
}

void LibraryCheck::work() {
    for (int run = nextRun_++; run < static_cast<int>(runs_.size()); run = nextRun_++) {
        std::vector<LibraryFinding>& part = runs_[static_cast<std::size_t>(run)];
        const int to = std::min(count_, (run + 1) * kRunLength);
        for (int n = run * kRunLength; n < to; ++n) {
            if (!library_.hasRecord(n)) continue;
            for (Finding& f : checkMaterial(*library_.Materials()[static_cast<std::size_t>(n)],
                                            unitSystem_, wording_))
                part.push_back({n, std::move(f)});
        }
    }
}

std::vector<LibraryFinding> LibraryCheck::take() {
    work();
    for (std::thread& helper : helpers_)
        helper.join();
    helpers_.clear();
    for (const std::exception_ptr& failure : failures_)
        if (failure) std::rethrow_exception(failure);
    std::size_t total = 0;
    for (const std::vector<LibraryFinding>& part : runs_)
        total += part.size();
    std::vector<LibraryFinding> all;
    all.reserve(total);
    for (std::vector<LibraryFinding>& part : runs_)
        std::move(part.begin(), part.end(), std::back_inserter(all));
    runs_.clear();
    return all;
}

std::string findingSummary(const std::vector<Finding>& findings) {
    int errors = 0, warnings = 0;
    for (const Finding& f : findings)
        (f.severity == Severity::Error ? errors : warnings)++;
    if (errors == 0 && warnings == 0) return "No errors or warnings";
    const auto count = [](int n, const char* word) {
        return std::to_string(n) + " " + word + (n == 1 ? "" : "s");
    };
    return count(errors, "error") + ", " + count(warnings, "warning");
}

} // namespace mb
