#include "CalculixExport.h"

#include "ExchangeText.h"
#include "PropertyCatalogue.h"
#include "clsMaterial.h"

#include <array>
#include <charconv>
#include <cmath>
#include <initializer_list>
#include <optional>

namespace mb {

namespace {

constexpr std::size_t kLongestName = 80;
// A data line of a card holds at most eight numbers.
constexpr std::size_t kNumbersPerLine = 8;
// The plastic strain at which the bilinear hardening line is given its second point:
// far past any strain a model reaches, since the solver holds the stress constant beyond it.
constexpr double kLastPlasticStrain = 1.0;
// CalculiX replaces a compressibility coefficient below this by its own default.
constexpr double kSmallestD = 1e-10;
// An isotropic card has no shear modulus of its own: a GXY this close to EX/(2(1+NUXY)),
// the tolerance of the plausibility check, counts as the one the card implies.
constexpr double kShearTolerance = 0.02;
constexpr int kOgdenTerms = 4, kOgdenTermsTaken = 3;

namespace Slots {
constexpr int EX = 0, EY = 1, EZ = 2, ETAN = 3, NUXY = 4, NUYZ = 5, NUXZ = 6, GXY = 7, GYZ = 8,
              GXZ = 9, ALPX = 10, ALPY = 11, ALPZ = 12, DENS = 13, SpecificHeat = 14, SIGXT = 15,
              SIGYLD = 16, SIGXC = 17, COHESN = 18, KX = 19, KY = 20, KZ = 21, FRCANG = 22,
              ALPH1 = 23, MU1 = 27, MooneyA = 31, MooneyF = 36, G1 = 37, TAUK8 = 68, VC1 = 77,
              VC2 = 78, MC11 = 79, MC66 = MC11 + kMatrixEntryCount - 1, REFTEMP = 117;
}

const std::string& Code(int slot) {
    return PropertyCatalogue::instance().PropCode(slot);
}

/// "EX", "EX and EY", "EX, EY and EZ".
std::string Listed(const std::vector<std::string>& items) {
    std::string s;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i > 0) s += i + 1 == items.size() ? " and " : ", ";
        s += items[i];
    }
    return s;
}

std::string CodesOf(const std::vector<int>& slots) {
    std::vector<std::string> codes;
    for (const int slot : slots)
        codes.push_back(Code(slot));
    return Listed(codes);
}

std::string IsOrAre(const std::vector<int>& slots) {
    return slots.size() == 1 ? " is" : " are";
}

/// A value as a message shows it: six significant digits.
std::string Shown(double value) {
    char buffer[32];
    const auto res =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 6);
    return std::string(buffer, res.ptr);
}

/// "4.0000000000000034e-08" as "4.0000000000000034e-8": Fortran needs no sign or zeros
/// there, and each character saved is a digit kept.
std::string Compact(std::string text) {
    const std::size_t e = text.find('e');
    if (e == std::string::npos) return text;
    std::size_t digits = e + 1;
    if (digits < text.size() && text[digits] == '+')
        text.erase(digits, 1);
    else if (digits < text.size() && text[digits] == '-')
        ++digits;
    while (digits + 1 < text.size() && text[digits] == '0')
        text.erase(digits, 1);
    return text;
}

enum class Elasticity { None, Isotropic, Orthotropic, Anisotropic, Hyperelastic };

/// One material's card: its text, and which of its values a card carries or an
/// omission names, so that whatever is left can be named at the end.
class Card {
public:
    Card(const clsMaterial& record, std::vector<std::string>& omissions)
        : record_(record), omissions_(omissions) {}

    bool has(int slot) const { return record_.HasValue(slot); }
    bool hasAny(int first, int last) const {
        for (int slot = first; slot <= last; ++slot)
            if (has(slot)) return true;
        return false;
    }
    std::optional<double> peek(int slot) const {
        if (!has(slot)) return std::nullopt;
        return record_.slotValue(slot);
    }
    /// The value of `slot`, which the card now carries; nothing when the material has none.
    std::optional<double> take(int slot) {
        if (!has(slot)) return std::nullopt;
        settled_[static_cast<std::size_t>(slot)] = true;
        return record_.slotValue(slot);
    }
    /// The value of a slot the caller knows is given.
    double value(int slot) { return *take(slot); }
    /// What is not written, with the values it concerns: a comment in the card and an
    /// omission of the export.
    void leaveOut(const std::string& what, std::initializer_list<int> slots = {}) {
        leaveOut(what, std::vector<int>(slots));
    }
    void leaveOut(const std::string& what, const std::vector<int>& slots) {
        for (const int slot : slots)
            settled_[static_cast<std::size_t>(slot)] = true;
        comment(what);
        omissions_.push_back(what);
    }
    /// The slots with a value that no card carries and no omission names yet.
    std::vector<int> unsettled(int first, int last) const {
        std::vector<int> slots;
        for (int slot = first; slot <= last; ++slot)
            if (has(slot) && !settled_[static_cast<std::size_t>(slot)]) slots.push_back(slot);
        return slots;
    }
    /// The given ones of `first`..`last`, taken.
    std::vector<int> takeAll(int first, int last) {
        std::vector<int> slots;
        for (int slot = first; slot <= last; ++slot)
            if (take(slot)) slots.push_back(slot);
        return slots;
    }

    void keyword(std::string_view line) { out_.append(line).append("\n"); }
    void comment(std::string_view line) { out_.append("** ").append(line).append("\n"); }
    void numbers(const std::vector<double>& values) {
        for (std::size_t i = 0; i < values.size(); ++i) {
            out_ += calculixNumber(values[i]);
            const bool lineEnds = (i + 1) % kNumbersPerLine == 0 || i + 1 == values.size();
            out_ += lineEnds ? "\n" : ", ";
        }
    }
    std::string& text() { return out_; }

private:
    const clsMaterial& record_;
    std::vector<std::string>& omissions_;
    std::array<bool, kSlotCount> settled_{};
    std::string out_;
};

// D1 = 2/K0 from the small-strain bulk modulus, from EX and NUXY where both are given, else
// from NUXY and the model's initial shear modulus `mu0`. Without a usable NUXY it is 0,
// which CalculiX does not take as incompressible: it puts in a bulk modulus of 20 mu0.
double CompressibilityD1(Card& card, double mu0) {
    const std::string fallback = ", for which CalculiX takes a bulk modulus of 20 times the "
                                 "initial shear modulus (Poisson's ratio 0.475).";
    const auto nu = card.peek(Slots::NUXY);
    if (!nu) {
        if (card.has(Slots::EX))
            card.leaveOut("NUXY is missing, and EX alone gives no bulk modulus: D1 is written "
                          "as 0" +
                              fallback,
                          {Slots::EX});
        else
            card.leaveOut("NUXY is missing: D1 is written as 0" + fallback);
        return 0;
    }
    const auto ex = card.peek(Slots::EX);
    const double bulk = ex ? *ex / (3 * (1 - 2 * *nu)) : 2 * mu0 * (1 + *nu) / (3 * (1 - 2 * *nu));
    if (!(bulk > 0) || !std::isfinite(bulk)) {
        const std::string given =
            ex ? "EX = " + Shown(*ex) + " and NUXY = " + Shown(*nu)
               : "NUXY = " + Shown(*nu) + " and the initial shear modulus " + Shown(mu0);
        card.leaveOut(given + " give no finite positive bulk modulus: D1 is written as 0" +
                          fallback,
                      {Slots::EX, Slots::NUXY});
        return 0;
    }
    card.take(Slots::EX);
    card.take(Slots::NUXY);
    const double d1 = 2 / bulk;
    if (d1 < kSmallestD)
        card.leaveOut("D1 = 2/K0 = " + Shown(d1) +
                      " is below the 1e-10 that CalculiX takes: it replaces it by its default "
                      "bulk modulus of 20 times the initial shear modulus (Poisson's ratio "
                      "0.475).");
    return d1;
}

// MOONEY_A to MOONEY_F are C10, C01, C20, C11, C02 and C30 of the polynomial, as the curve
// engine takes them; a constant not given is 0.
bool WriteMooneyRivlin(Card& card) {
    std::vector<std::string> missing;
    for (const int slot : {Slots::MooneyA, Slots::MooneyA + 1})
        if (!card.has(slot)) missing.push_back(Code(slot));
    if (!missing.empty()) {
        std::vector<int> given;
        for (int slot = Slots::MooneyA; slot <= Slots::MooneyF; ++slot)
            if (card.has(slot)) given.push_back(slot);
        card.leaveOut("*HYPERELASTIC is not written: the Mooney-Rivlin model needs " +
                          Listed(missing) + ".",
                      given);
        return false;
    }
    std::array<double, 6> c{};
    for (int i = 0; i < 6; ++i)
        c[static_cast<std::size_t>(i)] = card.take(Slots::MooneyA + i).value_or(0);
    const auto [c10, c01, c20, c11, c02, c30] = c;
    const double d1 = CompressibilityD1(card, 2 * (c10 + c01));
    if (c30 != 0) {
        card.comment("C10, C01, C20, C11, C02, C30 are MOONEY_A to MOONEY_F; C21, C12, C03, D2 "
                     "and D3 are 0.");
        card.keyword("*HYPERELASTIC, POLYNOMIAL, N=3");
        card.numbers({c10, c01, c20, c11, c02, c30, 0, 0, 0, d1, 0, 0});
    } else if (c20 != 0 || c11 != 0 || c02 != 0) {
        card.comment("C10, C01, C20, C11, C02 are MOONEY_A to MOONEY_E; D2 is 0.");
        card.keyword("*HYPERELASTIC, POLYNOMIAL, N=2");
        card.numbers({c10, c01, c20, c11, c02, d1, 0});
    } else {
        card.keyword("*HYPERELASTIC, MOONEY-RIVLIN");
        card.numbers({c10, c01, d1});
    }
    return true;
}

// The library's Ogden terms give the nominal stress sum MUi (l^(ALPHi-1) - l^(-ALPHi/2-1))
// and the initial shear modulus 0.5 sum MUi ALPHi; CalculiX's give 2 mu_i/alpha_i in
// place of MUi and sum mu_i, so mu_i = MUi ALPHi / 2.
bool WriteOgden(Card& card) {
    std::vector<int> given, missing;
    for (int i = 0; i < kOgdenTerms; ++i) {
        const int mu = Slots::MU1 + i, alpha = Slots::ALPH1 + i;
        if (!card.has(mu) && !card.has(alpha)) continue;
        for (const int slot : {mu, alpha})
            (card.has(slot) ? given : missing).push_back(slot);
    }
    if (!missing.empty()) {
        card.leaveOut(
            "*HYPERELASTIC is not written: the Ogden model lacks " + CodesOf(missing) + ".", given);
        return false;
    }
    // A term with MUi or ALPHi zero adds nothing, and CalculiX would divide by its alpha.
    std::vector<std::pair<double, double>> terms;
    for (int i = 0; i < kOgdenTerms; ++i) {
        const auto mu = card.peek(Slots::MU1 + i), alpha = card.peek(Slots::ALPH1 + i);
        if (mu && *mu != 0 && *alpha != 0) terms.emplace_back(*mu, *alpha);
    }
    if (terms.size() > static_cast<std::size_t>(kOgdenTermsTaken) || terms.empty()) {
        card.leaveOut(terms.empty()
                          ? "*HYPERELASTIC is not written: every Ogden term has MUi*ALPHi = 0."
                          : "*HYPERELASTIC is not written: the Ogden fit has " +
                                std::to_string(terms.size()) +
                                " terms, CalculiX takes at most 3, and fewer would be another "
                                "material. The material has no elasticity in this file.",
                      given);
        return false;
    }
    for (const int slot : given)
        card.take(slot);
    double mu0 = 0;
    std::vector<double> values;
    for (const auto& [mu, alpha] : terms) {
        mu0 += mu * alpha / 2;
        values.push_back(mu * alpha / 2);
        values.push_back(alpha);
    }
    values.push_back(CompressibilityD1(card, mu0));
    for (std::size_t k = 1; k < terms.size(); ++k)
        values.push_back(0);
    card.comment(std::string("mu_i = MUi*ALPHi/2, alpha_i = ALPHi: the stress and the initial "
                             "shear modulus 0.5*sum(MUi*ALPHi) of the library") +
                 (terms.size() == 1   ? "."
                  : terms.size() == 2 ? "; D2 is 0."
                                      : "; D2 and D3 are 0."));
    card.keyword("*HYPERELASTIC, OGDEN, N=" + std::to_string(terms.size()));
    card.numbers(values);
    return true;
}

// The matrix is kept in the order x, y, z, xy, yz, xz; the solver lists its 21 constants
// column by column over 11, 22, 33, 12, 13, 23.
void WriteAnisotropic(Card& card) {
    constexpr std::array<int, 6> kOursOf = {0, 1, 2, 3, 5, 4};
    const auto entry = [&card](int i, int j) {
        if (i > j) std::swap(i, j);
        // MCij with i <= j is entry number i*6 - i*(i-1)/2 + (j - i) of the 21, from 0.
        const int index = i * 6 - i * (i - 1) / 2 + (j - i);
        return card.take(Slots::MC11 + index).value_or(0);
    };
    std::vector<double> values;
    for (int column = 0; column < 6; ++column)
        for (int row = 0; row <= column; ++row)
            values.push_back(entry(kOursOf[static_cast<std::size_t>(row)],
                                   kOursOf[static_cast<std::size_t>(column)]));
    card.keyword("*ELASTIC, TYPE=ANISO");
    card.numbers(values);
}

Elasticity WriteElastic(Card& card) {
    if (card.hasAny(Slots::MC11, Slots::MC66)) {
        WriteAnisotropic(card);
        return Elasticity::Anisotropic;
    }
    if (card.has(Slots::EY) || card.has(Slots::EZ)) {
        constexpr std::array<int, 9> kConstants = {Slots::EX,   Slots::EY,   Slots::EZ,
                                                   Slots::NUXY, Slots::NUXZ, Slots::NUYZ,
                                                   Slots::GXY,  Slots::GXZ,  Slots::GYZ};
        std::vector<int> given, missing;
        for (const int slot : kConstants)
            (card.has(slot) ? given : missing).push_back(slot);
        if (!missing.empty()) {
            card.leaveOut("*ELASTIC is not written: the orthotropic constants lack " +
                              CodesOf(missing) + ".",
                          given);
            return Elasticity::None;
        }
        std::vector<double> values;
        for (const int slot : kConstants)
            values.push_back(card.value(slot));
        card.keyword("*ELASTIC, TYPE=ENGINEERING CONSTANTS");
        card.numbers(values);
        return Elasticity::Orthotropic;
    }
    if (!card.has(Slots::EX)) return Elasticity::None;
    if (!card.has(Slots::NUXY)) {
        card.leaveOut("*ELASTIC is not written: NUXY is missing, and EX alone makes no isotropic "
                      "card.",
                      {Slots::EX});
        return Elasticity::None;
    }
    const double ex = card.value(Slots::EX), nu = card.value(Slots::NUXY);
    card.keyword("*ELASTIC");
    card.numbers({ex, nu});
    if (const auto g = card.peek(Slots::GXY)) {
        const double implied = ex / (2 * (1 + nu));
        if (std::abs(*g - implied) <= kShearTolerance * std::abs(implied))
            card.take(Slots::GXY);
        else
            card.leaveOut("GXY = " + Shown(*g) +
                              " is not written: an isotropic card takes EX and NUXY, which give "
                              "GXY = " +
                              Shown(implied) + ".",
                          {Slots::GXY});
    }
    return Elasticity::Isotropic;
}

void WritePlastic(Card& card, Elasticity elasticity) {
    if (!card.has(Slots::SIGYLD)) return;
    std::vector<int> given = {Slots::SIGYLD};
    if (card.has(Slots::ETAN)) given.push_back(Slots::ETAN);
    const std::string what = "*PLASTIC (" + CodesOf(given) + ") is not written: ";
    // CalculiX refuses a deck with plasticity over any other elasticity.
    switch (elasticity) {
    case Elasticity::Isotropic:
    case Elasticity::Orthotropic:
        break;
    case Elasticity::None:
        card.leaveOut(what + "CalculiX takes plasticity only after an *ELASTIC card, and this "
                             "material has none.",
                      given);
        return;
    case Elasticity::Anisotropic:
    case Elasticity::Hyperelastic:
        card.leaveOut(what +
                          "CalculiX takes plasticity only over isotropic or orthotropic "
                          "elasticity, not over " +
                          (elasticity == Elasticity::Anisotropic ? "the anisotropic matrix."
                                                                 : "a hyperelastic model."),
                      given);
        return;
    }
    const double yield = card.value(Slots::SIGYLD);
    const auto tangent = card.peek(Slots::ETAN);
    if (!tangent) {
        card.keyword("*PLASTIC");
        card.numbers({yield, 0});
        return;
    }
    const double modulus = card.value(Slots::EX);
    if (*tangent >= modulus) {
        card.leaveOut(what + "the bilinear hardening needs EX above ETAN.", given);
        return;
    }
    card.take(Slots::ETAN);
    // ETAN is the slope of stress over total strain; the solver wants it over plastic strain.
    const double hardening = modulus * *tangent / (modulus - *tangent);
    card.keyword("*PLASTIC");
    card.numbers({yield, 0});
    card.numbers({yield + hardening * kLastPlasticStrain, kLastPlasticStrain});
}

// An isotropic card from the first direction alone, an orthotropic one from all three.
void WriteDirectional(Card& card, const char* keyword, int x, int y, int z) {
    std::vector<int> given, missing;
    for (const int slot : {x, y, z})
        (card.has(slot) ? given : missing).push_back(slot);
    if (given.empty()) return;
    if (given.size() == 1 && given[0] == x) {
        card.keyword(keyword);
        card.numbers({card.value(x)});
        return;
    }
    if (!missing.empty()) {
        card.leaveOut(std::string(keyword) + " is not written: " + CodesOf(given) + IsOrAre(given) +
                          " given, but not " + CodesOf(missing) + ".",
                      given);
        return;
    }
    card.keyword(std::string(keyword) + ", TYPE=ORTHO");
    card.numbers({card.value(x), card.value(y), card.value(z)});
}

// Whatever no card took is named, so that nothing leaves the library unseen.
void NameTheRest(Card& card) {
    if (const auto slots = card.unsettled(Slots::G1, Slots::TAUK8); !slots.empty())
        card.leaveOut("The Prony series (G, K, TAUG, TAUK) is not written: CalculiX takes no "
                      "viscoelasticity from a material card.",
                      slots);
    std::vector<int> shift;
    for (const int slot : {Slots::REFTEMP, Slots::VC1, Slots::VC2})
        if (!card.unsettled(slot, slot).empty()) shift.push_back(slot);
    if (!shift.empty())
        card.leaveOut(CodesOf(shift) + IsOrAre(shift) +
                          " not written: CalculiX takes no time-temperature shift from a "
                          "material card.",
                      shift);
    std::vector<int> strengths;
    for (const int slot : {Slots::SIGXT, Slots::SIGXC})
        if (!card.unsettled(slot, slot).empty()) strengths.push_back(slot);
    if (!strengths.empty())
        card.leaveOut(CodesOf(strengths) + IsOrAre(strengths) +
                          " not written: CalculiX material cards hold no strengths.",
                      strengths);
    std::vector<int> frictional;
    for (const int slot : {Slots::COHESN, Slots::FRCANG})
        if (!card.unsettled(slot, slot).empty()) frictional.push_back(slot);
    if (!frictional.empty())
        card.leaveOut(CodesOf(frictional) + IsOrAre(frictional) +
                          " not written: CalculiX has no Drucker-Prager model for a material "
                          "card.",
                      frictional);
    if (const auto rest = card.unsettled(0, kVisitedSlots - 1); !rest.empty())
        card.leaveOut(CodesOf(rest) + IsOrAre(rest) + " not written: no card of this material " +
                          (rest.size() == 1 ? "takes it." : "takes them."),
                      rest);
}

std::string WriteMaterial(const clsMaterial& record, const std::string& solverName,
                          const std::string& heading, std::vector<std::string>& omissions) {
    Card card(record, omissions);
    card.comment(heading);
    card.keyword("*MATERIAL, NAME=" + solverName);
    Elasticity elasticity = Elasticity::None;
    const bool mooney = card.hasAny(Slots::MooneyA, Slots::MooneyF);
    if (mooney || card.hasAny(Slots::ALPH1, Slots::MU1 + kOgdenTerms - 1)) {
        // Where the material's elasticity is hyperelastic, an *ELASTIC card in place of a
        // model that cannot be written would be another material.
        if (mooney ? WriteMooneyRivlin(card) : WriteOgden(card))
            elasticity = Elasticity::Hyperelastic;
    } else {
        elasticity = WriteElastic(card);
    }
    WritePlastic(card, elasticity);
    if (const auto density = card.take(Slots::DENS)) {
        card.keyword("*DENSITY");
        card.numbers({*density});
    }
    WriteDirectional(card, "*EXPANSION", Slots::ALPX, Slots::ALPY, Slots::ALPZ);
    WriteDirectional(card, "*CONDUCTIVITY", Slots::KX, Slots::KY, Slots::KZ);
    if (const auto heat = card.take(Slots::SpecificHeat)) {
        card.keyword("*SPECIFIC HEAT");
        card.numbers({*heat});
    }
    NameTheRest(card);
    return std::move(card.text());
}

} // namespace

std::string calculixNumber(double value) {
    char buffer[64];
    auto res = std::to_chars(buffer, buffer + sizeof buffer, value);
    std::string text = Compact(std::string(buffer, res.ptr));
    // Shortest is at most 17 significant digits; the widest field, "-d.<12 digits>e-308",
    // still holds 13.
    for (int precision = 16; text.size() > kCalculixFieldWidth && precision >= 0; --precision) {
        res = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific,
                            precision);
        text = Compact(std::string(buffer, res.ptr));
    }
    return text;
}

std::string calculixName(std::string_view name, std::set<std::string>& taken) {
    std::string base;
    for (const char c : name) {
        const bool kept = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                          (c >= '0' && c <= '9') || c == '_' || c == '-';
        if (kept)
            base += static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
        else if (!base.empty() && base.back() != '_')
            base += '_';
    }
    while (!base.empty() && base.back() == '_')
        base.pop_back();
    if (base.empty()) base = "MATERIAL";
    base.resize(std::min(base.size(), kLongestName));
    std::string unique = base;
    for (int n = 2; taken.contains(unique); ++n) {
        const std::string suffix = "_" + std::to_string(n);
        unique = base.substr(0, kLongestName - suffix.size()) + suffix;
    }
    taken.insert(unique);
    return unique;
}

CalculixCards exportCalculix(const std::vector<ExportedCategory>& selection) {
    CalculixCards cards;
    cards.text = "** Materials in SI units: m, kg, s, N, K.\n";
    std::set<std::string> taken;
    for (const ExportedCategory& c : selection) {
        for (const ExportedMaterial& m : c.materials) {
            std::vector<std::string> omissions;
            // The comment keeps the names the solver's one cannot show; a line break in a
            // name would end the comment, so none can get here (the library has none).
            cards.text +=
                WriteMaterial(*m.record, calculixName(m.name, taken),
                              latin1ToUtf8(m.name) + " (" + latin1ToUtf8(c.name) + ")", omissions);
            for (std::string& what : omissions)
                cards.omissions.push_back({c.name, m.name, std::move(what)});
        }
    }
    return cards;
}

} // namespace mb
