#pragma once

#include <string>
#include <string_view>

namespace mb::fuzz {

/// Reads arbitrary bytes as a library, writes what was read, and reads and writes the
/// written text again, under both decimal separators. Returns "" when everything held,
/// otherwise which promise of the reader or writer was broken.
std::string RoundTripLibrary(std::string_view bytes);

} // namespace mb::fuzz
