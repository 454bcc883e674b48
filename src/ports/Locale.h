#pragma once

#include <string>

namespace mb {

/// The user's locale settings that the system reads.
class Locale {
public:
    virtual ~Locale() = default;
    /// The user's decimal separator ("." or "," in practice); "" when it cannot be read.
    virtual std::string decimalSeparator() const = 0;
};

} // namespace mb
