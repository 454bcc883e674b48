#include "Library.h"

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

Library::Library() : index_(kMaxMaterials) {
    sizeRecordLists();
}

void Library::clear() {
    // Emptying the entries in place keeps the index's storage: a library emptied again (a
    // new library, a file that is not one, an import) costs no 1001 entries built and copied.
    if (index_.size() == static_cast<std::size_t>(kMaxMaterials)) {
        for (LibraryEntry& entry : index_) {
            entry.Category.clear();
            entry.NameCode.clear();
            entry.Name.clear();
            entry.Description.clear();
        }
    } else {
        index_.assign(kMaxMaterials, LibraryEntry{});
    }
    records_.clear();
    shadows_.clear();
    last_ = -1;
    LastNodeKey.clear();
    sizeRecordLists();
}

void Library::sizeRecordLists() {
    const std::size_t size = static_cast<std::size_t>(last_ + 2);
    if (records_.size() < size) records_.resize(size);
    if (shadows_.size() < size) shadows_.resize(size);
    if (index_.size() < kMaxMaterials) index_.resize(kMaxMaterials);
}

int Library::appendMaterial() {
    if (isFull()) return -1;
    ++last_;
    sizeRecordLists();
    entryAt(last_) = LibraryEntry{};
    // The slot may still hold the spare left by a removal, with a removed material's
    // texts and values in it: a new material must not inherit them.
    const auto n = static_cast<std::size_t>(last_);
    records_[n].reset();
    shadows_[n].reset();
    return last_;
}

int Library::addMaterial(std::string_view category, std::string_view nameCode,
                         std::string_view name, std::string_view description) {
    const int n = appendMaterial();
    if (n < 0) return -1;
    const auto slot = static_cast<std::size_t>(n);
    // Assigned into the entry's own strings, whose storage an emptied index still holds: a
    // library read again allocates no texts for its index.
    LibraryEntry& e = index_[slot];
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
    records_[slot] = std::move(record);
    shadows_[slot] = std::move(shadow);
    return n;
}

int Library::addMaterial(LibraryEntry entry, clsMaterial record, clsMaterial shadow) {
    const int n = appendMaterial();
    if (n < 0) return -1;
    const auto slot = static_cast<std::size_t>(n);
    index_[slot] = std::move(entry);
    records_[slot] = std::make_unique<clsMaterial>(std::move(record));
    shadows_[slot] = std::make_unique<clsMaterial>(std::move(shadow));
    return n;
}

bool Library::appendMaterialsOf(Library& other) {
    if (materialCount() + other.materialCount() > kMaxMaterials) return false;
    const int count = other.materialCount();
    for (int i = 0; i < count; ++i) {
        const int n = appendMaterial();
        const auto to = static_cast<std::size_t>(n), from = static_cast<std::size_t>(i);
        index_[to] = std::move(other.entryAt(i));
        records_[to] = std::move(other.records_[from]);
        shadows_[to] = std::move(other.shadows_[from]);
    }
    other.clear();
    return true;
}

clsMaterial recordWithTexts(const clsMaterial& values, const LibraryEntry& texts) {
    clsMaterial copy;
    copy.CopyAllProperties(values);
    copy.MaterialType(texts.Category);
    copy.MaterialName(texts.Name);
    copy.MaterialNameCode(texts.NameCode);
    copy.MaterialDescription(texts.Description);
    return copy;
}

int Library::copyMaterial(int source, const LibraryEntry& texts) {
    if (!isValidNumber(source) || isFull()) return -1;
    clsMaterial shadowRecord = recordWithTexts(shadow(source), texts);
    clsMaterial record = recordWithTexts(material(source), texts);
    return addMaterial(texts, std::move(record), std::move(shadowRecord));
}

void Library::moveToLast(int n) {
    // The materials after n move down by pointer, as an insertion moves them up: a removal
    // or a move near the start of a full library moves a thousand of them, and each keeps
    // its own record, which a view that follows materials through shifted numbers relies on.
    sizeRecordLists();
    const auto first = static_cast<std::ptrdiff_t>(n);
    const auto end = static_cast<std::ptrdiff_t>(last_) + 1;
    std::rotate(index_.begin() + first, index_.begin() + first + 1, index_.begin() + end);
    std::rotate(records_.begin() + first, records_.begin() + first + 1, records_.begin() + end);
    std::rotate(shadows_.begin() + first, shadows_.begin() + first + 1, shadows_.begin() + end);
}

MaterialSnapshot Library::removeMaterial(int n) {
    if (!isValidNumber(n)) return {};
    MaterialSnapshot removed = snapshot(n);
    // The removed material ends in the spare slot past the last, which the next material
    // added empties.
    moveToLast(n);
    --last_;
    return removed;
}

int Library::insertMaterial(int n, const MaterialSnapshot& material) {
    if (n < 0 || n > materialCount() || isFull()) return -1;
    const int last = appendMaterial();
    // The records move by pointer: an insertion near the start of a full library moves
    // a thousand of them.
    for (int i = last; i > n; --i) {
        const auto to = static_cast<std::size_t>(i);
        index_[to] = std::move(index_[to - 1]);
        records_[to] = std::move(records_[to - 1]);
        shadows_[to] = std::move(shadows_[to - 1]);
    }
    const auto at = static_cast<std::size_t>(n);
    index_[at] = material.entry;
    records_[at] = std::make_unique<clsMaterial>(material.record);
    shadows_[at] = std::make_unique<clsMaterial>(material.shadow);
    return n;
}

int Library::moveMaterialToEnd(int m, const std::string& category) {
    if (!isValidNumber(m)) return -1;
    moveToLast(m);
    setCategory(last_, category);
    return last_;
}

void Library::renameMaterial(int n, const std::string& name) {
    if (!isValidNumber(n)) return;
    entryAt(n).Name = name;
    material(n).MaterialName(name);
    shadow(n).MaterialName(name);
}

void Library::setCategory(int n, const std::string& category) {
    if (!isValidNumber(n)) return;
    entryAt(n).Category = category;
    material(n).MaterialType(category);
    shadow(n).MaterialType(category);
}

void Library::setDescription(int n, const std::string& description) {
    if (!isValidNumber(n)) return;
    entryAt(n).Description = description;
    material(n).MaterialDescription(description);
}

void Library::setEntryTexts(int n, LibraryEntry entry) {
    if (!isValidNumber(n)) return;
    entryAt(n) = std::move(entry);
}

void Library::setRecords(int n, clsMaterial record, clsMaterial shadowRecord) {
    if (!isValidNumber(n)) return;
    material(n) = std::move(record);
    shadow(n) = std::move(shadowRecord);
}

// The grid may store into the spare slot past the last material, so a value goes to any
// slot a material can have, as the record lookup allows.
void Library::SetValue(int n, std::string_view code, double si) {
    if (n < 0 || n >= kMaxMaterials) return;
    clsMaterial& record = material(n);
    record.Property(code);
    record.value(si);
}

void Library::ClearValue(int n, std::string_view code) {
    if (n < 0 || n >= kMaxMaterials) return;
    clsMaterial& record = material(n);
    record.Property(code);
    record.ClearValue();
}

void Library::resetToShadow(int n) {
    if (!isValidNumber(n)) return;
    material(n).CopyAllProperties(shadow(n));
}

void Library::ClearValues(int n) {
    if (!isValidNumber(n)) return;
    material(n).reset();
}

void Library::dropValues(int n) {
    if (!isValidNumber(n)) return;
    material(n).ClearAll();
}

Library Library::replaceWith(Library other) {
    std::swap(*this, other);
    return other;
}

MaterialSnapshot Library::snapshot(int n) {
    if (!isValidNumber(n)) return {};
    return MaterialSnapshot{entryAt(n), material(n), shadow(n)};
}

void Library::restore(int n, const MaterialSnapshot& snapshot) {
    if (!isValidNumber(n)) return;
    entryAt(n) = snapshot.entry;
    material(n) = snapshot.record;
    shadow(n) = snapshot.shadow;
}

LibraryEntry& Library::entryAt(int n) {
    if (n < 0) return scratchEntry_ = LibraryEntry{};
    if (static_cast<std::size_t>(n) >= index_.size())
        index_.resize(std::max<std::size_t>(kMaxMaterials, static_cast<std::size_t>(n) + 1));
    return index_[static_cast<std::size_t>(n)];
}

const LibraryEntry& Library::entry(int n) const {
    static const LibraryEntry none;
    return static_cast<std::size_t>(n) < index_.size() ? index_[static_cast<std::size_t>(n)] : none;
}

clsMaterial& Library::material(int n) {
    if (n < 0) return scratchRecord_ = clsMaterial();
    if (static_cast<std::size_t>(n) >= records_.size())
        records_.resize(static_cast<std::size_t>(n) + 1);
    return Ensure(records_, n);
}

clsMaterial& Library::shadow(int n) {
    if (n < 0) return scratchRecord_ = clsMaterial();
    if (static_cast<std::size_t>(n) >= shadows_.size())
        shadows_.resize(static_cast<std::size_t>(n) + 1);
    return Ensure(shadows_, n);
}

bool Library::hasRecord(int n) const {
    return n >= 0 && static_cast<std::size_t>(n) < records_.size() &&
           records_[static_cast<std::size_t>(n)] != nullptr;
}

} // namespace mb
