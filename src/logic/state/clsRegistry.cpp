#include "clsRegistry.h"

#include "NumberText.h"
#include "Settings.h"
#include "UnitConversion.h"

#include <cmath>

namespace mb {

namespace {

constexpr const char* kUnitKey = "Unit";
constexpr const char* kUnitValue = "BinaryValue";

} // namespace

clsRegistry::clsRegistry(SettingsBackend& backend) : backend_(backend) {}

std::string clsRegistry::RegQueryStringValue(const SettingsKey& key,
                                             const std::string& valueName) const {
    const SettingsValue v = key.queryValue(valueName);
    switch (v.type) {
    case SettingsValue::Type::Binary: {
        const auto byte = [&](std::size_t i) {
            return i < v.data.size() ? static_cast<unsigned char>(v.data[i]) : 0u;
        };
        int n = static_cast<int16_t>(static_cast<uint16_t>(byte(0) | (byte(1) << 8)));
        // A value with 0x14 in its second byte still names its unit system in the first.
        if (n >= 5120) n -= 5120;
        return std::to_string(n);
    }
    case SettingsValue::Type::Text:
        return v.data.substr(0, v.data.find('\0'));
    default:
        return "";
    }
}

int16_t clsRegistry::GetValue() {
    std::string t;
    if (const auto key = backend_.openKey(kUnitKey)) t = RegQueryStringValue(*key, kUnitValue);

    const double value = t.empty() ? 0.0 : leadingNumber(t).value_or(-1.0);
    if (t.empty() || value < 0 || value >= kUnitSystemCount) {
        SetValue(0);
        return 0;
    }
    return static_cast<int16_t>(std::floor(value));
}

void clsRegistry::SetValue(int16_t index) {
    const auto key = backend_.createKey(kUnitKey);
    if (!key) return;
    std::string bytes(4, '\0');
    bytes[0] = static_cast<char>(index & 0xFF);
    key->setBinaryValue(kUnitValue, bytes);
}

} // namespace mb
