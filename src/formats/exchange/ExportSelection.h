#pragma once

#include <string>
#include <vector>

namespace mb {

class Library;
class clsMaterial;

/// One material as every export writes it: the texts a save would write and the record
/// that holds its values (in SI).
struct ExportedMaterial {
    std::string name;        ///< without the blanks that pad it in the file
    std::string nameCode;    ///< as a save writes it (made from the name when empty), unpadded
    std::string description; ///< as the record holds it
    const clsMaterial* record = nullptr;
};

/// Something of one material that an export could not carry whole.
struct ExportOmission {
    std::string category; ///< trimmed, as ExportedCategory spells it
    std::string material; ///< the material's name, trimmed
    std::string what;     ///< one sentence: what is left out and why
};

struct ExportedCategory {
    std::string name; ///< trimmed, spelt as its first material spells it
    std::vector<ExportedMaterial> materials;
};

/// The materials numbered in `chosen` (every material when it is empty), grouped as a save
/// groups them: categories in order of first occurrence (names compared trimmed and
/// without regard to case), materials in number order within each. Numbers that name no
/// material are left out.
std::vector<ExportedCategory> exportSelection(const Library& library,
                                              const std::vector<int>& chosen = {});

/// The catalogue slots that at least one of the materials has a value for, in
/// catalogue order; slots without a code (which no file can hold) are left out.
std::vector<int> slotsWithValues(const std::vector<ExportedCategory>& selection);

} // namespace mb
