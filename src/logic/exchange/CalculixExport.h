#pragma once

#include "ExportSelection.h"

#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace mb {

/// The materials as CalculiX material cards, in SI (m, kg, s, K): one "*MATERIAL,
/// NAME=..." block per material with what of *ELASTIC (isotropic, engineering constants
/// or the anisotropic matrix), *HYPERELASTIC (Mooney-Rivlin or Ogden), *PLASTIC,
/// *DENSITY, *EXPANSION, *CONDUCTIVITY and *SPECIFIC HEAT its values give. What the
/// solver cannot take is written as a comment line saying so.
std::string ExportCalculix(const std::vector<ExportedCategory>& selection);

/// The name the solver gets for a material called `name`: letters in capitals, digits,
/// "_" and "-" kept, every other run of characters one "_", at most 80 characters, and
/// made unique among `taken` (which it joins) by a suffix "_2", "_3", ...
std::string CalculixName(std::string_view name, std::set<std::string>& taken);

} // namespace mb
