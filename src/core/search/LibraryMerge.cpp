#include "LibraryMerge.h"

#include "ConflictFile.h"
#include "LibraryDiff.h"
#include "PropertyCatalogue.h"
#include "TextUtil.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <list>
#include <unordered_map>

namespace mb {

namespace {

constexpr std::string_view kNone = "-";

// The k-th material of a name is the same material as the k-th of that name on another
// side: a library that repeats a name still merges each of them with its counterpart.
std::vector<std::string> IdentityKeys(Library& library) {
    std::vector<std::string> keys;
    std::unordered_map<std::string, int> seen;
    for (int i = 0; i < library.materialCount(); ++i) {
        std::string key = nameKey(library.entry(i).Name);
        const int k = seen[key]++;
        key.push_back('\0');
        key += std::to_string(k);
        keys.push_back(std::move(key));
    }
    return keys;
}

// The values alone, as bytes, so that a renamed material is found by a lookup.
std::string ValueSignature(const clsMaterial& record) {
    std::string s;
    for (int slot = 0; slot < kVisitedSlots; ++slot) {
        if (!record.HasValue(slot)) continue;
        double v = record.slotValue(slot);
        if (v == 0) v = 0; // -0 and 0 are one value
        char bytes[sizeof slot + sizeof v];
        std::memcpy(bytes, &slot, sizeof slot);
        std::memcpy(bytes + sizeof slot, &v, sizeof v);
        s.append(bytes, sizeof bytes);
    }
    return s;
}

struct Pairing {
    std::vector<int> sideOfBase; ///< -1: the side no longer holds the material
    std::vector<int> baseOfSide; ///< -1: the side added it
};

Pairing Pair(Library& base, const std::vector<std::string>& baseKeys, Library& side,
             const std::vector<std::string>& sideKeys) {
    Pairing p{std::vector<int>(baseKeys.size(), -1), std::vector<int>(sideKeys.size(), -1)};
    std::unordered_map<std::string, int> baseByKey;
    for (std::size_t b = 0; b < baseKeys.size(); ++b)
        baseByKey.emplace(baseKeys[b], static_cast<int>(b));
    for (std::size_t s = 0; s < sideKeys.size(); ++s)
        if (const auto at = baseByKey.find(sideKeys[s]); at != baseByKey.end()) {
            p.baseOfSide[s] = at->second;
            p.sideOfBase[static_cast<std::size_t>(at->second)] = static_cast<int>(s);
        }
    // Renames: what the side lost by name, found again under a new name by its values.
    std::unordered_map<std::string, std::deque<int>> lost;
    for (std::size_t b = 0; b < baseKeys.size(); ++b)
        if (p.sideOfBase[b] < 0)
            lost[ValueSignature(base.material(static_cast<int>(b)))].push_back(static_cast<int>(b));
    if (lost.empty()) return p;
    for (std::size_t s = 0; s < sideKeys.size(); ++s) {
        if (p.baseOfSide[s] >= 0) continue;
        const auto at = lost.find(ValueSignature(side.material(static_cast<int>(s))));
        if (at == lost.end() || at->second.empty()) continue;
        const int b = at->second.front();
        at->second.pop_front();
        p.baseOfSide[s] = b;
        p.sideOfBase[static_cast<std::size_t>(b)] = static_cast<int>(s);
    }
    return p;
}

enum class Field { Name, Category, NameCode, Description };
constexpr Field kFields[] = {Field::Name, Field::Category, Field::NameCode, Field::Description};

std::string_view Text(Library& library, int n, Field f) {
    const LibraryEntry& e = library.entry(n);
    switch (f) {
    case Field::Name:
        return trimBlanks(e.Name);
    case Field::Category:
        return trimBlanks(e.Category);
    case Field::NameCode:
        return trimBlanks(e.NameCode);
    case Field::Description:
        return trimBlanks(e.Description);
    }
    return {};
}

const char* Code(Field f) {
    switch (f) {
    case Field::Name:
        return "NAME";
    case Field::Category:
        return "CATEGORY";
    case Field::NameCode:
        return "NAMECODE";
    case Field::Description:
        return "DESCRIPTION";
    }
    return "";
}

// A save writes "STEELS" and "Steels" as one category, so only another name is a move.
bool SameText(Field f, std::string_view a, std::string_view b) {
    return f == Field::Category ? equalsNoCase(a, b) : a == b;
}

struct Value {
    bool has = false;
    double si = 0;
    bool operator==(const Value& o) const { return has == o.has && (!has || si == o.si); }
};

Value ValueOf(Library& library, int n, int slot) {
    const clsMaterial& r = library.material(n);
    return r.HasValue(slot) ? Value{true, r.slotValue(slot)} : Value{};
}

std::string ValueText(const Value& v) {
    return v.has ? exactNumberText(v.si) : std::string(kNone);
}

bool Differs(Library& a, int i, Library& b, int j) {
    for (Field f : kFields)
        if (!SameText(f, Text(a, i, f), Text(b, j, f))) return true;
    for (int slot = 0; slot < kVisitedSlots; ++slot)
        if (!(ValueOf(a, i, slot) == ValueOf(b, j, slot))) return true;
    return false;
}

enum class Take { Ours, Theirs, Conflict };

template <class T, class Same>
Take Choose(const T& base, const T& ours, const T& theirs, Same same) {
    if (same(ours, theirs) || same(theirs, base)) return Take::Ours;
    if (same(ours, base)) return Take::Theirs;
    return Take::Conflict;
}

// One material of the merge: our side's, with what THEIRS changed taken in.
struct Piece {
    LibraryEntry entry;
    clsMaterial record;
    int ours = -1, theirs = -1;
    bool renamedByTheirs = false;
    bool placedByTheirs = false; ///< added or moved by THEIRS: goes where THEIRS put it
    bool theirsAddition = false;
    bool dropped = false;
    std::vector<MergeConflict> conflicts{}; ///< names filled in once the names are final
};

void TakeText(Piece& p, Library& from, int n, Field f) {
    const LibraryEntry& e = from.entry(n);
    const clsMaterial& r = from.material(n);
    switch (f) {
    case Field::Name:
        p.entry.Name = e.Name;
        p.record.MaterialName(r.MaterialName());
        break;
    case Field::Category:
        p.entry.Category = e.Category;
        p.record.MaterialType(r.MaterialType());
        break;
    case Field::NameCode:
        p.entry.NameCode = e.NameCode;
        p.record.MaterialNameCode(r.MaterialNameCode());
        break;
    case Field::Description:
        p.entry.Description = e.Description;
        p.record.MaterialDescription(r.MaterialDescription());
        break;
    }
}

MergeConflict Conflict(std::string_view code, std::string_view base, std::string_view ours,
                       std::string_view theirs, std::string_view name = {}) {
    return {std::string(name), std::string(code), std::string(base), std::string(ours),
            std::string(theirs)};
}

class Merger {
public:
    Merger(Library& base, Library& ours, Library& theirs)
        : base_(base), ours_(ours), theirs_(theirs), baseKeys_(IdentityKeys(base)),
          oursKeys_(IdentityKeys(ours)), theirsKeys_(IdentityKeys(theirs)),
          oursPairs_(Pair(base, baseKeys_, ours, oursKeys_)),
          theirsPairs_(Pair(base, baseKeys_, theirs, theirsKeys_)),
          pieceOfTheirs_(static_cast<std::size_t>(theirs.materialCount()), -1) {}

    MergeResult run() {
        mergeOurMaterials();
        collectTheirRemovals();
        addTheirMaterials();
        resolveNameClashes();
        keepToTheLimit();
        return assemble();
    }

private:
    std::string_view category(Library& library, int n) { return Text(library, n, Field::Category); }

    void addPiece(Piece p) {
        if (p.theirs >= 0)
            pieceOfTheirs_[static_cast<std::size_t>(p.theirs)] = static_cast<int>(pieces_.size());
        pieces_.push_back(std::move(p));
    }

    void mergeOurMaterials() {
        std::unordered_map<std::string, int> theirAdditions;
        for (int t = 0; t < theirs_.materialCount(); ++t)
            if (theirsPairs_.baseOfSide[static_cast<std::size_t>(t)] < 0)
                theirAdditions.emplace(theirsKeys_[static_cast<std::size_t>(t)], t);
        for (int o = 0; o < ours_.materialCount(); ++o) {
            Piece p{ours_.entry(o), ours_.material(o)};
            p.ours = o;
            const int b = oursPairs_.baseOfSide[static_cast<std::size_t>(o)];
            if (b < 0) {
                // Added on both sides: one material, or a conflict when they differ.
                if (const auto at = theirAdditions.find(oursKeys_[static_cast<std::size_t>(o)]);
                    at != theirAdditions.end()) {
                    p.theirs = at->second;
                    if (Differs(ours_, o, theirs_, p.theirs))
                        p.conflicts.push_back(Conflict("MATERIAL", kNone, category(ours_, o),
                                                       category(theirs_, p.theirs)));
                }
                addPiece(std::move(p));
                continue;
            }
            const int t = theirsPairs_.sideOfBase[static_cast<std::size_t>(b)];
            if (t < 0) {
                if (!Differs(base_, b, ours_, o)) continue; // THEIRS removed it
                p.conflicts.push_back(
                    Conflict("MATERIAL", category(base_, b), category(ours_, o), kNone));
                addPiece(std::move(p));
                continue;
            }
            p.theirs = t;
            mergeFields(p, b, o, t);
            addPiece(std::move(p));
        }
    }

    void mergeFields(Piece& p, int b, int o, int t) {
        for (Field f : kFields) {
            const std::string_view bt = Text(base_, b, f), ot = Text(ours_, o, f),
                                   tt = Text(theirs_, t, f);
            switch (Choose(bt, ot, tt, [f](auto x, auto y) { return SameText(f, x, y); })) {
            case Take::Ours:
                break;
            case Take::Theirs:
                TakeText(p, theirs_, t, f);
                p.renamedByTheirs |= f == Field::Name;
                p.placedByTheirs |= f == Field::Category;
                break;
            case Take::Conflict:
                p.conflicts.push_back(Conflict(Code(f), bt, ot, tt));
                break;
            }
        }
        for (int slot = 0; slot < kVisitedSlots; ++slot) {
            const Value bv = ValueOf(base_, b, slot), ov = ValueOf(ours_, o, slot),
                        tv = ValueOf(theirs_, t, slot);
            switch (Choose(bv, ov, tv, [](const Value& x, const Value& y) { return x == y; })) {
            case Take::Ours:
                break;
            case Take::Theirs:
                if (tv.has)
                    p.record.setSlotValue(slot, tv.si);
                else
                    p.record.HasValue(slot, false);
                break;
            case Take::Conflict:
                p.conflicts.push_back(Conflict(PropertyCatalogue::instance().PropCode(slot),
                                               ValueText(bv), ValueText(ov), ValueText(tv)));
                break;
            }
        }
    }

    // What OURS removed and THEIRS edited stays removed, and is reported.
    void collectTheirRemovals() {
        for (int t = 0; t < theirs_.materialCount(); ++t) {
            const int b = theirsPairs_.baseOfSide[static_cast<std::size_t>(t)];
            if (b < 0 || oursPairs_.sideOfBase[static_cast<std::size_t>(b)] >= 0 ||
                !Differs(base_, b, theirs_, t))
                continue;
            outside_.emplace_back(t, Conflict("MATERIAL", category(base_, b), kNone,
                                              category(theirs_, t), Text(theirs_, t, Field::Name)));
        }
    }

    void addTheirMaterials() {
        for (int t = 0; t < theirs_.materialCount(); ++t) {
            if (theirsPairs_.baseOfSide[static_cast<std::size_t>(t)] >= 0 ||
                pieceOfTheirs_[static_cast<std::size_t>(t)] >= 0)
                continue;
            Piece p{theirs_.entry(t), theirs_.material(t)};
            p.theirs = t;
            p.placedByTheirs = p.theirsAddition = true;
            addPiece(std::move(p));
        }
    }

    // A name THEIRS brought in (a rename, an addition) that another material of the merge
    // now holds: no side ever held the name twice, so ours keeps it.
    void resolveNameClashes() {
        std::unordered_map<std::string, int> allowed;
        for (int o = 0; o < ours_.materialCount(); ++o)
            ++allowed[nameKey(ours_.entry(o).Name)];
        std::unordered_map<std::string, int> theirsCount;
        for (int t = 0; t < theirs_.materialCount(); ++t)
            ++theirsCount[nameKey(theirs_.entry(t).Name)];
        for (const auto& [key, n] : theirsCount)
            allowed[key] = std::max(allowed[key], n);
        for (bool clash = true; clash;) {
            clash = false;
            std::unordered_map<std::string, int> held;
            for (const Piece& p : pieces_)
                if (!p.dropped) ++held[nameKey(p.entry.Name)];
            for (Piece& p : pieces_) {
                if (p.dropped || (!p.renamedByTheirs && !p.theirsAddition)) continue;
                const std::string key = nameKey(p.entry.Name);
                if (held[key] <= allowed[key]) continue;
                --held[key];
                clash = true;
                if (p.theirsAddition) {
                    p.dropped = true;
                    outside_.emplace_back(
                        p.theirs, Conflict("MATERIAL", kNone, heldCategory(key, p),
                                           category(theirs_, p.theirs), trimBlanks(p.entry.Name)));
                    continue;
                }
                const int b = oursPairs_.baseOfSide[static_cast<std::size_t>(p.ours)];
                p.conflicts.insert(p.conflicts.begin(),
                                   Conflict("NAME", Text(base_, b, Field::Name),
                                            Text(ours_, p.ours, Field::Name),
                                            Text(theirs_, p.theirs, Field::Name)));
                TakeText(p, ours_, p.ours, Field::Name);
                p.renamedByTheirs = false;
                ++held[nameKey(p.entry.Name)];
            }
        }
    }

    std::string heldCategory(const std::string& key, const Piece& other) {
        for (const Piece& p : pieces_)
            if (&p != &other && !p.dropped && nameKey(p.entry.Name) == key)
                return std::string(trimBlanks(p.entry.Category));
        return std::string(kNone);
    }

    // Only THEIRS's additions can pass the limit, as OURS is a library; the last of them go.
    void keepToTheLimit() {
        int held = static_cast<int>(std::count_if(pieces_.begin(), pieces_.end(),
                                                  [](const Piece& p) { return !p.dropped; }));
        for (int t = theirs_.materialCount() - 1; t >= 0 && held > kMaxMaterials; --t) {
            const int i = pieceOfTheirs_[static_cast<std::size_t>(t)];
            if (i < 0) continue;
            Piece& p = pieces_[static_cast<std::size_t>(i)];
            if (!p.theirsAddition || p.dropped) continue;
            p.dropped = true;
            --held;
            outside_.emplace_back(
                t, Conflict("LIMIT", kNone, kNone, category(theirs_, t), trimBlanks(p.entry.Name)));
        }
    }

    MergeResult assemble() {
        std::list<int> order;
        std::vector<std::list<int>::iterator> where(pieces_.size(), order.end());
        for (std::size_t i = 0; i < pieces_.size(); ++i)
            if (!pieces_[i].dropped && !pieces_[i].placedByTheirs)
                where[i] = order.insert(order.end(), static_cast<int>(i));
        // After the material that precedes it in THEIRS, or first when none does.
        auto anchor = order.end();
        for (std::size_t t = 0; t < pieceOfTheirs_.size(); ++t) {
            const int i = pieceOfTheirs_[t];
            if (i < 0 || pieces_[static_cast<std::size_t>(i)].dropped) continue;
            const auto at = static_cast<std::size_t>(i);
            if (pieces_[at].placedByTheirs)
                where[at] =
                    order.insert(anchor == order.end() ? order.begin() : std::next(anchor), i);
            anchor = where[at];
        }

        MergeResult result;
        result.merged.clear();
        for (int i : order) {
            Piece& p = pieces_[static_cast<std::size_t>(i)];
            for (MergeConflict& c : p.conflicts) {
                c.name = std::string(trimBlanks(p.entry.Name));
                result.conflicts.push_back(std::move(c));
            }
            clsMaterial shadow = p.record;
            result.merged.addMaterial(std::move(p.entry), std::move(p.record), std::move(shadow));
        }
        std::stable_sort(outside_.begin(), outside_.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        for (auto& [t, c] : outside_)
            result.conflicts.push_back(std::move(c));
        return result;
    }

    Library& base_;
    Library& ours_;
    Library& theirs_;
    std::vector<std::string> baseKeys_, oursKeys_, theirsKeys_;
    Pairing oursPairs_, theirsPairs_;
    std::vector<Piece> pieces_;
    std::vector<int> pieceOfTheirs_;
    std::vector<std::pair<int, MergeConflict>> outside_; ///< by THEIRS's number
};

} // namespace

std::string MergeConflict::line() const {
    std::string s = "conflict";
    for (const std::string* field : {&name, &code, &base, &ours, &theirs}) {
        s += '\t';
        s += escapeConflictField(*field);
    }
    return s;
}

MergeResult mergeLibraries(Library& base, Library& ours, Library& theirs) {
    return Merger(base, ours, theirs).run();
}

} // namespace mb
