#pragma once

#include <cstdint>
#include <string>

namespace mb {

class SettingsBackend;
class SettingsKey;

/// The one setting kept between runs: the index of the unit system the editor shows
/// (0 "IPS", 1 "SI", 2 "MKS(G)"), stored as a 4-byte binary value "BinaryValue" under
/// the key "Unit" of the user's settings.
class clsRegistry {
public:
    explicit clsRegistry(SettingsBackend& backend);

    /// The stored index. A missing or invalid value reads as 0 and is written back as 0.
    int16_t GetValue();
    /// Stores `index` as byte 0 of the value, followed by three zero bytes.
    void SetValue(int16_t index);

    /// The text of a value: a binary value's first two bytes as a little-endian signed
    /// number (5120 taken off from 5120 up), a text value up to its first NUL, anything
    /// else "".
    std::string RegQueryStringValue(const SettingsKey& key, const std::string& valueName) const;

private:
    SettingsBackend& backend_;
};

} // namespace mb
