#include "ShortestNumber.h"

#include <charconv>

namespace mb {

std::string shortestNumber(double value) {
    char buffer[32];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return ec == std::errc() ? std::string(buffer, end) : std::string();
}

} // namespace mb
