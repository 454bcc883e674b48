#pragma once

#include <string>

namespace mb {

/// The shortest text that reads back as the same double ("0.3", "2.1e+11"): what every
/// file, message and export that carries a value exactly writes.
std::string shortestNumber(double value);

} // namespace mb
