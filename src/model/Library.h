#pragma once

#include "materials/clsMaterial.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace mb {

/// One row of the library index: the texts that describe material number i.
struct LibraryEntry {
    std::string Category;    ///< category name followed by four blanks when read or added
    std::string NameCode;    ///< 13-character code as read ("" when none)
    std::string Name;        ///< name followed by two blanks when read from a file
    std::string Description; ///< at most 50 characters when read from a file
};

inline constexpr int kMaxMaterials = 1001; ///< material numbers 0..1000
inline constexpr int kMaxCategories = 1000;

/// The in-memory library: index entries, working records and shadow records, all with
/// the same numbering. Entry i, record i and shadow i always describe material i.
class Library {
public:
    Library();

    std::vector<LibraryEntry> LibraryIndex;
    /// Working records; one element more than LastMaterialIndex + 1 (a spare slot).
    /// A null element is a slot that holds no record yet.
    std::vector<std::unique_ptr<clsMaterial>> Materials;
    /// Shadow records: the state as read, added or pasted, for "Reset".
    std::vector<std::unique_ptr<clsMaterial>> MaterialShadows;
    int16_t LastMaterialIndex = -1;
    std::string LastNodeKey;

    int MaterialCount() const { return LastMaterialIndex + 1; }
    bool IsFull() const { return LastMaterialIndex >= kMaxMaterials - 1; }

    /// Empties the library and sizes the index to entries 0..1000.
    void Clear();
    /// Makes sure both record lists hold LastMaterialIndex + 2 slots, keeping contents.
    void SizeRecordLists();
    /// Appends a material slot (entry emptied, records left null) and returns its number,
    /// or -1 when the library is full.
    int AppendMaterial();
    /// Removes material n; later materials move down by one number. The freed last slot
    /// keeps its record as the spare.
    void RemoveMaterial(int n);
    /// Takes material m out of its place and appends it as the last material in
    /// `category` (entry, record and shadow alike). Returns its new number.
    int MoveMaterialToEnd(int m, const std::string& category);

    /// Entry n; the index is sized again if a reset discarded it. Entry, Material and Shadow
    /// of a negative number give an empty scratch object that belongs to no material.
    LibraryEntry& Entry(int n);
    const LibraryEntry& Entry(int n) const;
    /// Working record n; made empty on first use if the slot holds none.
    clsMaterial& Material(int n);
    clsMaterial& Shadow(int n);
    bool HasRecord(int n) const;
    bool IsValidNumber(int n) const { return n >= 0 && n <= LastMaterialIndex; }

private:
    // What a negative number (no material selected) reaches: empty, and part of nothing.
    LibraryEntry scratchEntry_;
    clsMaterial scratchRecord_;
};

} // namespace mb
