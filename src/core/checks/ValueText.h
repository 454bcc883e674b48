#pragma once

#include <string>

namespace mb {

/// The shortest text that reads back as `v` ("0.3", "2.1e+11"), for messages that name values.
std::string ShortNumberText(double v);

/// `v` with `digits` significant digits, trailing zeros dropped ("0.5", "210000000000").
std::string SignificantNumberText(double v, int digits);

} // namespace mb
