#pragma once

#include <string>
#include <string_view>

namespace mb::fuzz {

enum class ExchangeFormat { Json, Csv };

/// Imports arbitrary bytes as `format`, then checks the promises of the import: a refusal
/// names its place, what was imported saves and reads back whole, and the format's own
/// export of it imports back to the same library text. Returns "" when everything held,
/// otherwise which promise was broken.
std::string RoundTripImport(std::string_view bytes, ExchangeFormat format);

} // namespace mb::fuzz
