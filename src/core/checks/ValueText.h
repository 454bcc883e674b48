#pragma once

#include <string>

namespace mb {

/// `v` with `digits` significant digits, trailing zeros dropped ("0.5", "210000000000").
std::string significantNumberText(double v, int digits);

} // namespace mb
