#include "CalculixExport.h"

#include "ExchangeText.h"
#include "PropertyCatalogue.h"
#include "clsMaterial.h"

#include <array>
#include <optional>

namespace mb {

namespace {

constexpr std::size_t kLongestName = 80;
// A data line of a card holds at most eight numbers.
constexpr std::size_t kNumbersPerLine = 8;
// The plastic strain at which the bilinear hardening line is given its second point:
// far past any strain a model reaches, since the solver holds the stress constant beyond it.
constexpr double kLastPlasticStrain = 1.0;

namespace Slots {
constexpr int EX = 0, EY = 1, EZ = 2, ETAN = 3, NUXY = 4, NUYZ = 5, NUXZ = 6, GXY = 7, GYZ = 8,
              GXZ = 9, ALPX = 10, ALPY = 11, ALPZ = 12, DENS = 13, SpecificHeat = 14, SIGYLD = 16,
              KX = 19, KY = 20, KZ = 21, ALPH1 = 23, MU1 = 27, MooneyA = 31, MooneyB = 32,
              MooneyC = 33, MooneyF = 36, G1 = 37, TAUK8 = 68, MC11 = 79;
}

class Card {
public:
    explicit Card(const clsMaterial& record) : record_(record) {}

    std::optional<double> get(int slot) const {
        if (!record_.HasValue(slot)) return std::nullopt;
        return record_.SlotValue(slot);
    }
    bool has(int slot) const { return record_.HasValue(slot); }
    bool hasAny(int first, int last) const {
        for (int slot = first; slot <= last; ++slot)
            if (has(slot)) return true;
        return false;
    }

    void keyword(std::string_view line) { out_.append(line).append("\n"); }
    void comment(std::string_view line) { out_.append("** ").append(line).append("\n"); }
    void numbers(const std::vector<double>& values) {
        for (std::size_t i = 0; i < values.size(); ++i) {
            out_ += ShortestNumber(values[i]);
            const bool lineEnds = (i + 1) % kNumbersPerLine == 0 || i + 1 == values.size();
            out_ += lineEnds ? "\n" : ", ";
        }
    }
    std::string& text() { return out_; }

private:
    const clsMaterial& record_;
    std::string out_;
};

// D1 of the solver's hyperelastic models: 2/K0 from the small-strain bulk modulus, or 0
// (incompressible) when EX and NUXY do not both give it.
double CompressibilityD1(const Card& card) {
    const auto ex = card.get(Slots::EX);
    const auto nu = card.get(Slots::NUXY);
    if (!ex || !nu || *ex == 0 || *nu >= 0.5) return 0;
    const double bulk = *ex / (3 * (1 - 2 * *nu));
    return bulk > 0 ? 2 / bulk : 0;
}

bool WriteHyperelastic(Card& card) {
    if (card.hasAny(Slots::MooneyC, Slots::MooneyF))
        card.comment("MOONEY_C to MOONEY_F are not written: CalculiX's Mooney-Rivlin model "
                     "takes two constants.");
    if (card.has(Slots::MooneyA) || card.has(Slots::MooneyB)) {
        card.keyword("*HYPERELASTIC, MOONEY-RIVLIN");
        card.numbers({card.get(Slots::MooneyA).value_or(0), card.get(Slots::MooneyB).value_or(0),
                      CompressibilityD1(card)});
        return true;
    }
    if (!card.has(Slots::MU1)) return false;
    if (card.has(Slots::MU1 + 3)) {
        card.comment("The Ogden fit of 4 terms is not written: CalculiX takes at most 3.");
        return false;
    }
    int terms = 0;
    while (terms < 3 && card.has(Slots::MU1 + terms))
        ++terms;
    std::vector<double> values;
    for (int k = 0; k < terms; ++k) {
        values.push_back(*card.get(Slots::MU1 + k));
        values.push_back(card.get(Slots::ALPH1 + k).value_or(0));
    }
    values.push_back(CompressibilityD1(card));
    for (int k = 1; k < terms; ++k)
        values.push_back(0);
    card.keyword("*HYPERELASTIC, OGDEN, N=" + std::to_string(terms));
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
        return card.get(Slots::MC11 + index).value_or(0);
    };
    std::vector<double> values;
    for (int column = 0; column < 6; ++column)
        for (int row = 0; row <= column; ++row)
            values.push_back(entry(kOursOf[static_cast<std::size_t>(row)],
                                   kOursOf[static_cast<std::size_t>(column)]));
    card.keyword("*ELASTIC, TYPE=ANISO");
    card.numbers(values);
}

void WriteElastic(Card& card) {
    if (card.hasAny(Slots::MC11, Slots::MC11 + kMatrixEntryCount - 1)) {
        WriteAnisotropic(card);
        return;
    }
    if (card.has(Slots::EY) || card.has(Slots::EZ)) {
        constexpr std::array<int, 9> kConstants = {Slots::EX,   Slots::EY,   Slots::EZ,
                                                   Slots::NUXY, Slots::NUXZ, Slots::NUYZ,
                                                   Slots::GXY,  Slots::GXZ,  Slots::GYZ};
        std::vector<double> values;
        for (const int slot : kConstants) {
            if (!card.has(slot)) {
                card.comment("*ELASTIC is not written: the orthotropic constants have no " +
                             PropertyCatalogue::instance().PropCode(slot) + ".");
                return;
            }
            values.push_back(*card.get(slot));
        }
        card.keyword("*ELASTIC, TYPE=ENGINEERING CONSTANTS");
        card.numbers(values);
        return;
    }
    if (!card.has(Slots::EX)) return;
    card.keyword("*ELASTIC");
    card.numbers({*card.get(Slots::EX), card.get(Slots::NUXY).value_or(0)});
}

void WritePlastic(Card& card) {
    const auto yield = card.get(Slots::SIGYLD);
    if (!yield) return;
    const auto tangent = card.get(Slots::ETAN);
    const auto modulus = card.get(Slots::EX);
    if (!tangent) {
        card.keyword("*PLASTIC");
        card.numbers({*yield, 0});
        return;
    }
    if (!modulus || *tangent >= *modulus) {
        card.comment("*PLASTIC is not written: the bilinear hardening needs EX above ETAN.");
        return;
    }
    // ETAN is the slope of stress over total strain; the solver wants it over plastic strain.
    const double hardening = *modulus * *tangent / (*modulus - *tangent);
    card.keyword("*PLASTIC");
    card.numbers({*yield, 0});
    card.numbers({*yield + hardening * kLastPlasticStrain, kLastPlasticStrain});
}

// An isotropic card from the first direction, or an orthotropic one when the other
// directions are given.
void WriteDirectional(Card& card, const char* keyword, int x, int y, int z) {
    if (!card.has(x) && !card.has(y) && !card.has(z)) return;
    const double first = card.get(x).value_or(0);
    if (!card.has(y) && !card.has(z)) {
        card.keyword(keyword);
        card.numbers({first});
        return;
    }
    card.keyword(std::string(keyword) + ", TYPE=ORTHO");
    card.numbers({first, card.get(y).value_or(first), card.get(z).value_or(first)});
}

} // namespace

std::string CalculixName(std::string_view name, std::set<std::string>& taken) {
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

std::string ExportCalculix(const std::vector<ExportedCategory>& selection) {
    std::string out = "** Materials in SI units: m, kg, s, N, K.\n";
    std::set<std::string> taken;
    for (const ExportedCategory& c : selection) {
        for (const ExportedMaterial& m : c.materials) {
            Card card(*m.record);
            // The comment keeps the names the solver's one cannot show; a line break in a
            // name would end the comment, so none can get here (the library has none).
            card.comment(Latin1ToUtf8(m.name) + " (" + Latin1ToUtf8(c.name) + ")");
            card.keyword("*MATERIAL, NAME=" + CalculixName(m.name, taken));
            if (!WriteHyperelastic(card)) WriteElastic(card);
            if (card.hasAny(Slots::G1, Slots::TAUK8))
                card.comment("The Prony series (G, K, TAUG, TAUK) is not written: CalculiX "
                             "cannot take it from a material card.");
            WritePlastic(card);
            if (const auto density = card.get(Slots::DENS)) {
                card.keyword("*DENSITY");
                card.numbers({*density});
            }
            WriteDirectional(card, "*EXPANSION", Slots::ALPX, Slots::ALPY, Slots::ALPZ);
            WriteDirectional(card, "*CONDUCTIVITY", Slots::KX, Slots::KY, Slots::KZ);
            if (const auto heat = card.get(Slots::SpecificHeat)) {
                card.keyword("*SPECIFIC HEAT");
                card.numbers({*heat});
            }
            out += card.text();
        }
    }
    return out;
}

} // namespace mb
