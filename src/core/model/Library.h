#pragma once

#include "clsMaterial.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace mb {

/// One row of the library index: the texts that describe material number i.
struct LibraryEntry {
    std::string Category;    ///< category name followed by four blanks when read or added
    std::string NameCode;    ///< 13-character code as read ("" when none)
    std::string Name;        ///< name followed by two blanks when read from a file
    std::string Description; ///< at most 50 characters when read from a file
};

/// Everything material i consists of: what a removal takes out and an insertion puts back,
/// and what a change in place can be reversed to.
struct MaterialSnapshot {
    LibraryEntry entry;
    clsMaterial record = clsMaterial();
    clsMaterial shadow = clsMaterial();
};

/// A record with the values of `values` and the four texts of `texts`: what a pasted
/// material's records are made from.
clsMaterial recordWithTexts(const clsMaterial& values, const LibraryEntry& texts);

inline constexpr int kMaxMaterials = 1001; ///< material numbers 0..1000
inline constexpr int kMaxCategories = 1000;

/// The in-memory library: index entries, working records and shadow records, all with
/// the same numbering. Entry i, record i and shadow i always describe material i.
class Library {
public:
    Library();

    /// The index: entry i holds the texts of material i. Sized to entries 0..1000.
    const std::vector<LibraryEntry>& LibraryIndex() const { return index_; }
    /// Working records; one element more than LastMaterialIndex() + 1 (a spare slot).
    /// A null element is a slot that holds no record yet.
    const std::vector<std::unique_ptr<clsMaterial>>& Materials() const { return records_; }
    /// Shadow records: the state as read, added or pasted, for "Reset".
    const std::vector<std::unique_ptr<clsMaterial>>& MaterialShadows() const { return shadows_; }
    int16_t LastMaterialIndex() const { return last_; }
    std::string LastNodeKey;

    int materialCount() const { return last_ + 1; }
    bool isFull() const { return last_ >= kMaxMaterials - 1; }

    /// Empties the library and sizes the index to entries 0..1000.
    void clear();

    // ---- Changes ------------------------------------------------------------------------
    // Every change to the library goes through one of these, so that entry i, working
    // record i and shadow record i stay one material, and so that an edit history can
    // record a change and reverse it: Snapshot and Restore undo a change in place,
    // removeMaterial and insertMaterial undo each other, and replaceWith returns what it
    // replaced. A number that names no material changes nothing.

    /// Appends a material whose records both carry the entry's four texts and no values
    /// (a material as a reader starts it). Returns its number, or -1 when the library is full.
    int addMaterial(std::string_view category, std::string_view nameCode, std::string_view name,
                    std::string_view description);
    /// Appends a material made of the given entry and records. -1 when the library is full.
    int addMaterial(LibraryEntry entry, clsMaterial record, clsMaterial shadow);
    /// Appends a copy of material `source` (a paste): both records keep the source's
    /// values, edits never saved included, and take `texts` for their four texts. Returns
    /// the copy's number, or -1 when the library is full or `source` names no material.
    int copyMaterial(int source, const LibraryEntry& texts);
    /// Appends every material of `other` in its order, taking its records rather than
    /// copying them, and leaves `other` empty. False, with both libraries as they were,
    /// when they would not fit.
    bool appendMaterialsOf(Library& other);
    /// Removes material n; later materials move down by one number. The freed last slot
    /// keeps its record as the spare. Returns what was removed (an empty snapshot when n
    /// names no material).
    MaterialSnapshot removeMaterial(int n);
    /// Puts `material` in as number n (0..materialCount()); materials from n on move up by
    /// one. Returns n, or -1 when the library is full or n is out of that range.
    int insertMaterial(int n, const MaterialSnapshot& material);
    /// Takes material m out of its place and appends it as the last material in
    /// `category` (entry, record and shadow alike). Returns its new number, -1 for no such
    /// material.
    int moveMaterialToEnd(int m, const std::string& category);
    /// The new name in the index and in both records.
    void renameMaterial(int n, const std::string& name);
    /// The new category in the index and in both records.
    void setCategory(int n, const std::string& category);
    /// The description in the index and the working record; the shadow keeps the one it
    /// had, so that a reset gives it back.
    void setDescription(int n, const std::string& description);
    /// Replaces the index texts alone: the records keep theirs.
    void setEntryTexts(int n, LibraryEntry entry);
    /// Replaces both records; the index keeps its texts.
    void setRecords(int n, clsMaterial record, clsMaterial shadowRecord);
    /// Sets the value of `code` in the working record (in SI) and marks it. Unlike the other
    /// changes this takes any slot 0..1000: the grid may store into the spare slot.
    void SetValue(int n, std::string_view code, double si);
    /// Takes the value of `code` out of the working record; any slot 0..1000, as SetValue.
    void ClearValue(int n, std::string_view code);
    /// A value the material has as read: working record and shadow alike.
    void setOriginalValue(int n, int slot, double si) {
        if (!isValidNumber(n)) return;
        // Inline, and straight to the records AddMaterial made: a reader calls this for
        // every property line of the file.
        const auto i = static_cast<std::size_t>(n);
        clsMaterial* record = i < records_.size() ? records_[i].get() : nullptr;
        clsMaterial* kept = i < shadows_.size() ? shadows_[i].get() : nullptr;
        (record ? *record : material(n)).setSlotValue(slot, si);
        (kept ? *kept : shadow(n)).setSlotValue(slot, si);
    }
    /// Gives the working record back the texts and values of the shadow.
    void resetToShadow(int n);
    /// Sets every value the working record has to 0, keeping its has-value marks.
    void ClearValues(int n);
    /// Takes every value out of the working record.
    void dropValues(int n);
    /// Puts `other` in place of the whole library and returns what was there.
    Library replaceWith(Library other);
    /// Forgets the index texts as the view's reset does; entries read back empty until the
    /// library is filled again.
    void discardIndex() { index_.clear(); }
    /// Copies of material n's entry and records, for Restore.
    MaterialSnapshot snapshot(int n);
    /// Puts material n back to `snapshot`.
    void restore(int n, const MaterialSnapshot& snapshot);

    /// Entry n; the index is sized again if a reset discarded it. Entry, Material and Shadow
    /// of a negative number give an empty scratch object that belongs to no material.
    const LibraryEntry& entry(int n) { return entryAt(n); }
    const LibraryEntry& entry(int n) const;
    /// Working record n; made empty on first use if the slot holds none. The records stay
    /// writable: a record's property cursor is set to read a value, and the writer fills in
    /// a missing name code.
    clsMaterial& material(int n);
    clsMaterial& shadow(int n);
    bool hasRecord(int n) const;
    bool isValidNumber(int n) const { return n >= 0 && n <= last_; }

private:
    /// Makes sure both record lists hold last_ + 2 slots, keeping contents.
    void sizeRecordLists();
    /// Appends a material slot (entry emptied, records left null) and returns its number,
    /// or -1 when the library is full; the caller fills all three.
    int appendMaterial();
    LibraryEntry& entryAt(int n);
    /// Moves material n to the last number, the materials after it one number down.
    void moveToLast(int n);

    std::vector<LibraryEntry> index_;
    std::vector<std::unique_ptr<clsMaterial>> records_;
    std::vector<std::unique_ptr<clsMaterial>> shadows_;
    int16_t last_ = -1;
    // What a negative number (no material selected) reaches: empty, and part of nothing.
    LibraryEntry scratchEntry_;
    clsMaterial scratchRecord_;
};

} // namespace mb
