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

void Library::RemoveMaterial(int n) {
    if (!IsValidNumber(n)) return;
    for (int i = n; i < LastMaterialIndex; ++i) {
        Entry(i) = Entry(i + 1);
        Material(i).CopyAllProperties(Material(i + 1));
        Shadow(i).CopyAllProperties(Shadow(i + 1));
    }
    --LastMaterialIndex;
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
    Entry(last).Category = category;
    Material(last).CopyAllProperties(keptRecord);
    Material(last).MaterialType(category);
    Shadow(last).CopyAllProperties(keptShadow);
    Shadow(last).MaterialType(category);
    return last;
}

LibraryEntry& Library::Entry(int n) {
    if (n < 0) return scratchEntry_ = LibraryEntry{};
    if (static_cast<std::size_t>(n) >= LibraryIndex.size())
        LibraryIndex.resize(std::max<std::size_t>(kMaxMaterials, static_cast<std::size_t>(n) + 1));
    return LibraryIndex[static_cast<std::size_t>(n)];
}

const LibraryEntry& Library::Entry(int n) const {
    static const LibraryEntry none;
    return static_cast<std::size_t>(n) < LibraryIndex.size() ? LibraryIndex[static_cast<std::size_t>(n)]
                                                              : none;
}

clsMaterial& Library::Material(int n) {
    if (n < 0) return scratchRecord_ = clsMaterial();
    if (static_cast<std::size_t>(n) >= Materials.size()) Materials.resize(static_cast<std::size_t>(n) + 1);
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
