#include "MaterialQuery.h"

#include "Library.h"
#include "NumberText.h"
#include "PropertyCatalogue.h"
#include "TextUtil.h"
#include "TypedUnits.h"
#include "UnitConversion.h"
#include "clsMaterial.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <unordered_map>

namespace mb {

namespace {

using Comparison = MaterialQuery::Comparison;

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}
bool IsOperatorChar(char c) {
    return c == '<' || c == '>' || c == '=';
}

const std::unordered_map<std::string, int>& CodeSlots() {
    static const std::unordered_map<std::string, int> slots = [] {
        std::unordered_map<std::string, int> m;
        const auto& catalogue = PropertyCatalogue::instance();
        for (int slot = 0; slot < kVisitedSlots; ++slot) {
            const std::string& code = catalogue.PropCode(slot);
            if (code.empty()) continue;
            // The grid and the import take "C" for the specific heat; so does a query.
            m.emplace(slot == Slot::SpecificHeat ? std::string("C") : code, slot);
        }
        return m;
    }();
    return slots;
}

// The longest operator at the start of `s`, or "" when there is none.
std::string_view OperatorAt(std::string_view s, Comparison& comparison) {
    if (s.starts_with("<=")) return comparison = Comparison::LessOrEqual, s.substr(0, 2);
    if (s.starts_with(">=")) return comparison = Comparison::GreaterOrEqual, s.substr(0, 2);
    if (s.starts_with("<")) return comparison = Comparison::Less, s.substr(0, 1);
    if (s.starts_with(">")) return comparison = Comparison::Greater, s.substr(0, 1);
    if (s.starts_with("=")) return comparison = Comparison::Equal, s.substr(0, 1);
    return {};
}

std::string Quoted(std::string_view s) {
    return "\"" + std::string(s) + "\"";
}

// `needle` is already in lower case: it is lowered once per query, not once per material.
bool ContainsNoCase(std::string_view haystack, std::string_view needle) {
    if (needle.empty()) return true;
    if (needle.size() > haystack.size()) return false;
    const char first = needle[0];
    const std::size_t last = haystack.size() - needle.size();
    for (std::size_t i = 0; i <= last; ++i) {
        if (asciiLower(haystack[i]) != first) continue;
        std::size_t k = 1;
        while (k < needle.size() && asciiLower(haystack[i + k]) == needle[k])
            ++k;
        if (k == needle.size()) return true;
    }
    return false;
}

bool Holds(const MaterialQuery::Condition& c, double value) {
    switch (c.comparison) {
    case Comparison::HasValue:
        return true;
    case Comparison::Equal:
        return valuesEqual(value, c.si);
    // The strict comparisons leave out what counts as equal, so that exactly one of
    // "<", "=" and ">" holds for any value.
    case Comparison::Less:
        return value < c.si && !valuesEqual(value, c.si);
    case Comparison::LessOrEqual:
        return value < c.si || valuesEqual(value, c.si);
    case Comparison::Greater:
        return value > c.si && !valuesEqual(value, c.si);
    case Comparison::GreaterOrEqual:
        return value > c.si || valuesEqual(value, c.si);
    }
    return false;
}

class Parser {
public:
    Parser(std::string_view text, std::string_view unitSystem, std::string_view separator)
        : text_(text), unitSystem_(unitSystem), separator_(separator) {}

    QueryParse run() {
        while (true) {
            skipBlanks();
            if (at_ >= text_.size()) break;
            if (text_[at_] == '"') {
                const std::size_t close = text_.find('"', at_ + 1);
                if (close == std::string_view::npos)
                    return fail("The phrase " + std::string(text_.substr(at_)) +
                                " has no closing quote.");
                const std::string_view phrase = text_.substr(at_ + 1, close - at_ - 1);
                if (!trimBlanks(phrase).empty()) texts.push_back(asciiLowered(phrase));
                at_ = close + 1;
                continue;
            }
            const std::size_t start = at_;
            const std::string_view token = readToken();
            const std::size_t op = FindOperator(token);
            if (op == std::string_view::npos) {
                // A code followed by blanks and an operator is still one condition, in
                // any letter case; alone, only as the file writes it, so words stay words.
                if (nextIsOperator() && conditionCodeSlot(token) >= 0) {
                    skipBlanks();
                    if (!readCondition(start, token, readToken())) return fail(error_);
                    continue;
                }
                const int slot = queryCodeSlot(token);
                if (slot >= 0 && nextIsOperator()) {
                    skipBlanks();
                    if (!readCondition(start, token, readToken())) return fail(error_);
                } else if (slot >= 0) {
                    conditions.push_back({slot, Comparison::HasValue, 0});
                } else {
                    texts.push_back(asciiLowered(token));
                }
                continue;
            }
            if (!readCondition(start, token.substr(0, op), token.substr(op))) return fail(error_);
        }
        QueryParse result;
        result.query.emplace();
        return result;
    }

    // What was read, taken over by the query once the whole text has been read.
    std::vector<std::string> texts;
    std::vector<MaterialQuery::Condition> conditions;

private:
    static std::size_t FindOperator(std::string_view token) {
        for (std::size_t i = 0; i < token.size(); ++i)
            if (IsOperatorChar(token[i])) return i;
        return std::string_view::npos;
    }

    void skipBlanks() {
        while (at_ < text_.size() && IsBlank(text_[at_]))
            ++at_;
    }

    std::string_view readToken() {
        const std::size_t start = at_;
        while (at_ < text_.size() && !IsBlank(text_[at_]))
            ++at_;
        return text_.substr(start, at_ - start);
    }

    bool nextIsOperator() {
        std::size_t i = at_;
        while (i < text_.size() && IsBlank(text_[i]))
            ++i;
        return i < text_.size() && IsOperatorChar(text_[i]);
    }

    // `code` is what stands before the operator, `rest` the operator and what follows it.
    // A number may be the next token when blanks follow the operator.
    bool readCondition(std::size_t start, std::string_view code, std::string_view rest) {
        Comparison comparison = Comparison::HasValue;
        const std::string_view op = OperatorAt(rest, comparison);
        std::string_view number = rest.substr(op.size());
        if (number.empty()) {
            skipBlanks();
            number = readToken();
        }
        const std::string_view written = trimBlanks(text_.substr(start, at_ - start));
        if (code.empty()) {
            error_ = Quoted(written) + ": a property code must come before " + Quoted(op) + ".";
            return false;
        }
        const int slot = conditionCodeSlot(code);
        if (slot < 0) {
            error_ = Quoted(written) + ": " + Quoted(code) + " is not a property code.";
            return false;
        }
        if (number.empty()) {
            error_ = Quoted(written) + ": a number must follow " + Quoted(op) + ".";
            return false;
        }
        // A unit of the property's quantity may follow the number, as the next word too:
        // "EX>200GPa", "DENS<3000 kg/m^3".
        if (isNumericText(number, separator_)) {
            const std::size_t afterNumber = at_;
            skipBlanks();
            const std::string_view unit = readUnit(slot);
            if (unit.empty())
                at_ = afterNumber;
            else
                number = text_.substr(number.data() - text_.data(),
                                      unit.data() + unit.size() - number.data());
        }
        // The whole token must be the number, with its unit: "200E9x" is a typing error,
        // not 200E9. Converted to SI once here rather than every stored value to the
        // shown system: a value typed in that system was stored through this same
        // conversion, so "=" finds it again, and the comparison costs no conversion per
        // material.
        const std::optional<TypedValue> value =
            readTypedValue(number, slot, unitSystem_, separator_);
        if (!value) {
            error_ = Quoted(trimBlanks(text_.substr(start, at_ - start))) + ": " + Quoted(number) +
                     " is not a number" + UnitHint(number, slot) + ".";
            return false;
        }
        conditions.push_back({slot, comparison, value->si});
        return true;
    }

    // The next word when it is a unit of the slot's quantity ("kg/m^3"); "" otherwise.
    std::string_view readUnit(int slot) {
        const std::size_t start = at_;
        const std::string_view word = readToken();
        if (!word.empty() && unitValueToSI(1, word, slot)) return word;
        at_ = start;
        return {};
    }

    // After a number with a word that is no unit of the property: which units it takes.
    static std::string UnitHint(std::string_view written, int slot) {
        const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
        const bool startsAsNumber =
            !written.empty() && (isDigit(written.front()) || written.front() == '.');
        const bool unitLike = std::any_of(written.begin(), written.end(), [](char c) {
            return (std::isalpha(static_cast<unsigned char>(c)) && c != 'e' && c != 'E') ||
                   c == '/';
        });
        const std::vector<std::string> names = unitNamesOf(slot);
        if (!startsAsNumber || !unitLike || names.empty()) return "";
        std::string hint = " with a unit of " + PropertyCatalogue::instance().PropCode(slot) + " (";
        for (std::size_t i = 0; i < names.size() && i < 6; ++i)
            hint += (i ? ", " : "") + names[i];
        return hint + (names.size() > 6 ? ", ...)" : ")");
    }

    QueryParse fail(std::string message) {
        QueryParse result;
        result.error = std::move(message);
        return result;
    }

    std::string_view text_, unitSystem_, separator_;
    std::size_t at_ = 0;
    std::string error_;
};

} // namespace

int queryCodeSlot(std::string_view code) {
    const auto& slots = CodeSlots();
    const auto it = slots.find(std::string(code));
    return it == slots.end() ? -1 : it->second;
}

int conditionCodeSlot(std::string_view code) {
    std::string upper(code);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return queryCodeSlot(upper);
}

bool valuesEqual(double a, double b) {
    if (a == b) return true;
    return std::fabs(a - b) <= 1e-9 * std::max(std::fabs(a), std::fabs(b));
}

QueryParse MaterialQuery::parse(std::string_view text, std::string_view unitSystem,
                                std::string_view decimalSeparator) {
    Parser parser(text, unitSystem, decimalSeparator);
    QueryParse result = parser.run();
    if (result.query) {
        result.query->texts_ = std::move(parser.texts);
        result.query->conditions_ = std::move(parser.conditions);
    }
    return result;
}

bool MaterialQuery::matches(const LibraryEntry& entry, const clsMaterial& record) const {
    for (const Condition& c : conditions_) {
        if (!record.HasValue(c.slot) || !Holds(c, record.slotValue(c.slot))) return false;
    }
    const std::string_view fields[] = {trimBlanks(entry.Name), trimBlanks(entry.Category),
                                       trimBlanks(entry.NameCode), trimBlanks(entry.Description)};
    for (const std::string& text : texts_) {
        if (std::none_of(std::begin(fields), std::end(fields),
                         [&](std::string_view f) { return ContainsNoCase(f, text); }))
            return false;
    }
    return true;
}

std::vector<int> MaterialQuery::matchingMaterials(Library& library) const {
    std::vector<int> numbers;
    const int count = library.materialCount();
    for (int i = 0; i < count; ++i)
        if (matches(library.entry(i), library.material(i))) numbers.push_back(i);
    return numbers;
}

} // namespace mb
