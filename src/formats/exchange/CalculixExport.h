#pragma once

#include "ExportSelection.h"

#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace mb {

/// The cards of an export and what of the materials they do not carry.
struct CalculixCards {
    std::string text;
    /// In the order of the materials; each is also a comment line in its card.
    std::vector<ExportOmission> omissions;
};

/// The materials as CalculiX material cards, in SI (m, kg, s, K): one "*MATERIAL,
/// NAME=..." block per material with what of *ELASTIC (isotropic, engineering constants
/// or the anisotropic matrix) or *HYPERELASTIC (Mooney-Rivlin, polynomial or Ogden),
/// *PLASTIC, *DENSITY, *EXPANSION, *CONDUCTIVITY and *SPECIFIC HEAT its values give.
/// Every value of a material is either carried by a card or named in an omission.
CalculixCards exportCalculix(const std::vector<ExportedCategory>& selection);

/// CalculiX reads the first 20 characters of a data field and no more.
inline constexpr std::size_t kCalculixFieldWidth = 20;

/// The text of `value` in a data field: the shortest text that reads back as `value`
/// (exponent without "+" and leading zeros) where it fits in kCalculixFieldWidth
/// characters, else the most significant digits that fit, which keep 13 at the least.
std::string calculixNumber(double value);

/// The name the solver gets for a material called `name`: letters in capitals, digits,
/// "_" and "-" kept, every other run of characters one "_", at most 80 characters, and
/// made unique among `taken` (which it joins) by a suffix "_2", "_3", ...
std::string calculixName(std::string_view name, std::set<std::string>& taken);

} // namespace mb
