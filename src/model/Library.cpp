#include "model/Library.h"

#include <algorithm>
#include <utility>

namespace mb {

namespace {

clsMaterial& Ensure(std::vector<std::unique_ptr<clsMaterial>>& list, int n) {
    auto& slot = list[static_cast<std::size_t>(n)];
    if (!slot) slot = std::make_unique<clsMaterial>();
    return *slot;
}

} // namespace

Library::Library() : LibraryIndex(kMaxMaterials) {
    SizeRecordLists();
}

void Library::Clear() {
    // Emptying the entries in place keeps the index's storage: a library emptied again (a
    // new library, a file that is not one, an import) costs no 1001 entries built and copied.
    if (LibraryIndex.size() == static_cast<std::size_t>(kMaxMaterials)) {
        for (LibraryEntry& entry : LibraryIndex) {
            entry.Category.clear();
            entry.NameCode.clear();
            entry.Name.clear();
            entry.Description.clear();
        }
    } else {
        LibraryIndex.assign(kMaxMaterials, LibraryEntry{});
    }
    Materials.clear();
    MaterialShadows.clear();
    LastMaterialIndex = -1;
    LastNodeKey.clear();
    SizeRecordLists();
}

void Library::SizeRecordLists() {
    const std::size_t size = static_cast<std::size_t>(LastMaterialIndex + 2);
    if (Materials.size() < size) Materials.resize(size);
    if (MaterialShadows.size() < size) MaterialShadows.resize(size);
    if (LibraryIndex.size() < kMaxMaterials) LibraryIndex.resize(kMaxMaterials);
}

int Library::AppendMaterial() {
    if (IsFull()) return -1;
    ++LastMaterialIndex;
    SizeRecordLists();
    Entry(LastMaterialIndex) = LibraryEntry{};
    // The slot may still hold the spare left by a removal, with a removed material's
    // texts and values in it: a new material must not inherit them.
    const auto n = static_cast<std::size_t>(LastMaterialIndex);
    Materials[n].reset();
    MaterialShadows[n].reset();
    return LastMaterialIndex;
}

int Library::AddMaterial(std::string_view category, std::string_view nameCode,
                         std::string_view name, std::string_view description) {
    const int n = AppendMaterial();
    if (n < 0) return -1;
    const auto slot = static_cast<std::size_t>(n);
    // Assigned into the entry's own strings, whose storage an emptied index still holds: a
    // library read again allocates no texts for its index.
    LibraryEntry& e = LibraryIndex[slot];
    e.Category = category;
    e.NameCode = nameCode;
    e.Name = name;
    e.Description = description;
    auto record = std::make_unique<clsMaterial>();
    record->MaterialType(e.Category);
    record->MaterialName(e.Name);
    record->MaterialNameCode(e.NameCode);
    record->MaterialDescription(e.Description);
    auto shadow = std::make_unique<clsMaterial>();
    shadow->Copy(*record);
    Materials[slot] = std::move(record);
    MaterialShadows[slot] = std::move(shadow);
    return n;
}

int Library::AddMaterial(LibraryEntry entry, clsMaterial record, clsMaterial shadow) {
    const int n = AppendMaterial();
    if (n < 0) return -1;
    const auto slot = static_cast<std::size_t>(n);
    LibraryIndex[slot] = std::move(entry);
    Materials[slot] = std::make_unique<clsMaterial>(std::move(record));
    MaterialShadows[slot] = std::make_unique<clsMaterial>(std::move(shadow));
    return n;
}

int Library::CopyMaterial(int source, const LibraryEntry& texts) {
    if (!IsValidNumber(source) || IsFull()) return -1;
    const auto copyOf = [&texts](const clsMaterial& from) {
        clsMaterial copy;
        copy.CopyAllProperties(from);
        copy.MaterialType(texts.Category);
        copy.MaterialName(texts.Name);
        copy.MaterialNameCode(texts.NameCode);
        copy.MaterialDescription(texts.Description);
        return copy;
    };
    clsMaterial shadow = copyOf(Shadow(source));
    clsMaterial record = copyOf(Material(source));
    return AddMaterial(texts, std::move(record), std::move(shadow));
}

MaterialSnapshot Library::RemoveMaterial(int n) {
    if (!IsValidNumber(n)) return {};
    MaterialSnapshot removed = Snapshot(n);
    for (int i = n; i < LastMaterialIndex; ++i) {
        Entry(i) = Entry(i + 1);
        Material(i).CopyAllProperties(Material(i + 1));
        Shadow(i).CopyAllProperties(Shadow(i + 1));
    }
    --LastMaterialIndex;
    return removed;
}

int Library::InsertMaterial(int n, const MaterialSnapshot& material) {
    if (n < 0 || n > MaterialCount() || IsFull()) return -1;
    const int last = AppendMaterial();
    // The records move by pointer: an insertion near the start of a full library moves
    // a thousand of them.
    for (int i = last; i > n; --i) {
        const auto to = static_cast<std::size_t>(i);
        LibraryIndex[to] = std::move(LibraryIndex[to - 1]);
        Materials[to] = std::move(Materials[to - 1]);
        MaterialShadows[to] = std::move(MaterialShadows[to - 1]);
    }
    const auto at = static_cast<std::size_t>(n);
    LibraryIndex[at] = material.entry;
    Materials[at] = std::make_unique<clsMaterial>(material.record);
    MaterialShadows[at] = std::make_unique<clsMaterial>(material.shadow);
    return n;
}

int Library::MoveMaterialToEnd(int m, const std::string& category) {
    if (!IsValidNumber(m)) return -1;
    const LibraryEntry keptEntry = Entry(m);
    clsMaterial keptRecord, keptShadow;
    keptRecord.CopyAllProperties(Material(m));
    keptShadow.CopyAllProperties(Shadow(m));
    for (int i = m; i < LastMaterialIndex; ++i) {
        Entry(i) = Entry(i + 1);
        Material(i).CopyAllProperties(Material(i + 1));
        Shadow(i).CopyAllProperties(Shadow(i + 1));
    }
    const int last = LastMaterialIndex;
    Entry(last) = keptEntry;
    Material(last).CopyAllProperties(keptRecord);
    Shadow(last).CopyAllProperties(keptShadow);
    SetCategory(last, category);
    return last;
}

void Library::RenameMaterial(int n, const std::string& name) {
    if (!IsValidNumber(n)) return;
    Entry(n).Name = name;
    Material(n).MaterialName(name);
    Shadow(n).MaterialName(name);
}

void Library::SetCategory(int n, const std::string& category) {
    if (!IsValidNumber(n)) return;
    Entry(n).Category = category;
    Material(n).MaterialType(category);
    Shadow(n).MaterialType(category);
}

void Library::SetDescription(int n, const std::string& description) {
    if (!IsValidNumber(n)) return;
    Entry(n).Description = description;
    Material(n).MaterialDescription(description);
}

void Library::SetEntryTexts(int n, LibraryEntry entry) {
    if (!IsValidNumber(n)) return;
    Entry(n) = std::move(entry);
}

void Library::SetRecords(int n, clsMaterial record, clsMaterial shadow) {
    if (!IsValidNumber(n)) return;
    Material(n) = std::move(record);
    Shadow(n) = std::move(shadow);
}

// The grid may store into the spare slot past the last material, so a value goes to any
// slot a material can have, as the record lookup allows.
void Library::SetValue(int n, std::string_view code, double si) {
    if (n < 0 || n >= kMaxMaterials) return;
    clsMaterial& record = Material(n);
    record.Property(code);
    record.value(si);
}

void Library::ClearValue(int n, std::string_view code) {
    if (n < 0 || n >= kMaxMaterials) return;
    clsMaterial& record = Material(n);
    record.Property(code);
    record.ClearValue();
}

void Library::ResetToShadow(int n) {
    if (!IsValidNumber(n)) return;
    Material(n).CopyAllProperties(Shadow(n));
}

void Library::ClearValues(int n) {
    if (!IsValidNumber(n)) return;
    Material(n).reset();
}

void Library::DropValues(int n) {
    if (!IsValidNumber(n)) return;
    Material(n).ClearAll();
}

Library Library::ReplaceWith(Library other) {
    std::swap(*this, other);
    return other;
}

MaterialSnapshot Library::Snapshot(int n) {
    if (!IsValidNumber(n)) return {};
    return MaterialSnapshot{Entry(n), Material(n), Shadow(n)};
}

void Library::Restore(int n, const MaterialSnapshot& snapshot) {
    if (!IsValidNumber(n)) return;
    Entry(n) = snapshot.entry;
    Material(n) = snapshot.record;
    Shadow(n) = snapshot.shadow;
}

LibraryEntry& Library::Entry(int n) {
    if (n < 0) return scratchEntry_ = LibraryEntry{};
    if (static_cast<std::size_t>(n) >= LibraryIndex.size())
        LibraryIndex.resize(std::max<std::size_t>(kMaxMaterials, static_cast<std::size_t>(n) + 1));
    return LibraryIndex[static_cast<std::size_t>(n)];
}

const LibraryEntry& Library::Entry(int n) const {
    static const LibraryEntry none;
    return static_cast<std::size_t>(n) < LibraryIndex.size()
               ? LibraryIndex[static_cast<std::size_t>(n)]
               : none;
}

clsMaterial& Library::Material(int n) {
    if (n < 0) return scratchRecord_ = clsMaterial();
    if (static_cast<std::size_t>(n) >= Materials.size())
        Materials.resize(static_cast<std::size_t>(n) + 1);
    return Ensure(Materials, n);
}

clsMaterial& Library::Shadow(int n) {
    if (n < 0) return scratchRecord_ = clsMaterial();
    if (static_cast<std::size_t>(n) >= MaterialShadows.size())
        MaterialShadows.resize(static_cast<std::size_t>(n) + 1);
    return Ensure(MaterialShadows, n);
}

bool Library::HasRecord(int n) const {
    return n >= 0 && static_cast<std::size_t>(n) < Materials.size() &&
           Materials[static_cast<std::size_t>(n)] != nullptr;
}

} // namespace mb
