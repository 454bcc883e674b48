#include "ValueText.h"

#include <charconv>

namespace mb {

std::string significantNumberText(double v, int digits) {
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, digits);
    return std::string(buf, res.ptr);
}

} // namespace mb
