#include "LibraryDiff.h"

#include "Library.h"
#include "NumberText.h"
#include "PropertyCatalogue.h"
#include "ShortestNumber.h"
#include "TextUtil.h"
#include "clsMaterial.h"

#include <charconv>
#include <unordered_map>

namespace mb {

namespace {

using Kind = LibraryDifference::Kind;

// Material numbers by name key, the first material of each name only.
struct NameIndex {
    std::unordered_map<std::string, int> first;
    std::vector<std::string> repeated;
};

NameIndex IndexNames(Library& library) {
    NameIndex index;
    std::unordered_map<std::string, bool> reported;
    for (int i = 0; i < library.materialCount(); ++i) {
        std::string key = nameKey(library.entry(i).Name);
        const auto [at, inserted] = index.first.emplace(key, i);
        if (inserted || reported[key]) continue;
        reported[key] = true;
        index.repeated.emplace_back(trimBlanks(library.entry(at->second).Name));
    }
    return index;
}

LibraryDifference Make(Kind kind, std::string_view name, int oldNumber, int newNumber,
                       std::string_view before, std::string_view after) {
    LibraryDifference d;
    d.kind = kind;
    d.name = std::string(trimBlanks(name));
    d.oldNumber = oldNumber;
    d.newNumber = newNumber;
    d.before = std::string(before);
    d.after = std::string(after);
    return d;
}

void CompareMaterial(Library& oldLibrary, int o, Library& newLibrary, int n,
                     std::vector<LibraryDifference>& out) {
    const LibraryEntry& oldEntry = oldLibrary.entry(o);
    const LibraryEntry& newEntry = newLibrary.entry(n);
    const std::string_view name = newEntry.Name;
    const std::string_view oldCategory = trimBlanks(oldEntry.Category);
    const std::string_view newCategory = trimBlanks(newEntry.Category);
    // A save writes a category as its first material spells it, so "STEELS" and "Steels"
    // are one category there; only a different name is a move.
    if (!equalsNoCase(oldCategory, newCategory))
        out.push_back(Make(Kind::Moved, name, o, n, oldCategory, newCategory));
    const std::string_view oldCode = trimBlanks(oldEntry.NameCode);
    const std::string_view newCode = trimBlanks(newEntry.NameCode);
    if (oldCode != newCode) out.push_back(Make(Kind::NameCode, name, o, n, oldCode, newCode));
    const std::string_view oldText = trimBlanks(oldEntry.Description);
    const std::string_view newText = trimBlanks(newEntry.Description);
    if (oldText != newText) out.push_back(Make(Kind::Description, name, o, n, oldText, newText));

    const clsMaterial& oldRecord = oldLibrary.material(o);
    const clsMaterial& newRecord = newLibrary.material(n);
    for (int slot = 0; slot < kVisitedSlots; ++slot) {
        const bool had = oldRecord.HasValue(slot), has = newRecord.HasValue(slot);
        if (!had && !has) continue;
        const double before = had ? oldRecord.slotValue(slot) : 0;
        const double after = has ? newRecord.slotValue(slot) : 0;
        if (had && has && before == after) continue;
        LibraryDifference d = Make(Kind::Value, name, o, n, had ? exactNumberText(before) : "-",
                                   has ? exactNumberText(after) : "-");
        d.slot = slot;
        d.hadValue = had;
        d.oldValue = before;
        d.hasValue = has;
        d.newValue = after;
        out.push_back(std::move(d));
    }
}

} // namespace

std::string exactNumberText(double si) {
    const std::string text(trimBlanks(formatNumberText(si)));
    const std::optional<double> back = leadingNumber(text);
    if (back && *back == si) return text;
    return shortestNumber(si);
}

std::string LibraryDifference::line() const {
    switch (kind) {
    case Kind::Added:
        return "added\t" + after + "\t" + name;
    case Kind::Removed:
        return "removed\t" + before + "\t" + name;
    case Kind::Moved:
        return "moved\t" + name + "\t" + before + "\t" + after;
    case Kind::NameCode:
        return "namecode\t" + name + "\t" + before + "\t" + after;
    case Kind::Description:
        return "description\t" + name + "\t" + before + "\t" + after;
    case Kind::Value: {
        std::string code = PropertyCatalogue::instance().PropCode(slot);
        return "value\t" + name + "\t" + code + "\t" + before + "\t" + after;
    }
    }
    return {};
}

LibraryComparison compareLibraries(Library& oldLibrary, Library& newLibrary) {
    LibraryComparison result;
    NameIndex oldNames = IndexNames(oldLibrary);
    NameIndex newNames = IndexNames(newLibrary);
    for (int n = 0; n < newLibrary.materialCount(); ++n) {
        const LibraryEntry& entry = newLibrary.entry(n);
        const std::string key = nameKey(entry.Name);
        if (newNames.first.at(key) != n) continue;
        const auto old = oldNames.first.find(key);
        if (old == oldNames.first.end()) {
            result.differences.push_back(
                Make(Kind::Added, entry.Name, -1, n, "", trimBlanks(entry.Category)));
            continue;
        }
        CompareMaterial(oldLibrary, old->second, newLibrary, n, result.differences);
    }
    for (int o = 0; o < oldLibrary.materialCount(); ++o) {
        const LibraryEntry& entry = oldLibrary.entry(o);
        const std::string key = nameKey(entry.Name);
        if (oldNames.first.at(key) != o || newNames.first.contains(key)) continue;
        result.differences.push_back(
            Make(Kind::Removed, entry.Name, o, -1, trimBlanks(entry.Category), ""));
    }
    result.oldRepeatedNames = std::move(oldNames.repeated);
    result.newRepeatedNames = std::move(newNames.repeated);
    return result;
}

} // namespace mb
