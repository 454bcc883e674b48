#pragma once

// The per-user settings back end: keys directly under the user's own root, each holding
// named values. Only what the settings store needs: open a key, create one, read a value
// together with its type, write a binary value. Closing is the key object's destruction.

#include <memory>
#include <string>

namespace mb {

/// A value as read, with the type it was stored with.
struct SettingsValue {
    enum class Type {
        Missing, ///< no such value (or it could not be read)
        Binary,  ///< raw bytes
        Text,    ///< a text value
        Other,   ///< any other type the store can hold
    };
    Type type = Type::Missing;
    std::string data; ///< the bytes of a binary value, the characters of a text value
};

/// An open key. Destroying it closes it.
class SettingsKey {
public:
    virtual ~SettingsKey() = default;
    virtual SettingsValue queryValue(const std::string& valueName) const = 0;
    /// False when the value could not be written; the store is then as it was.
    virtual bool setBinaryValue(const std::string& valueName, const std::string& bytes) = 0;
};

class SettingsBackend {
public:
    virtual ~SettingsBackend() = default;
    /// Opens an existing key; nullptr when it does not exist or cannot be opened.
    virtual std::unique_ptr<SettingsKey> openKey(const std::string& keyName) = 0;
    /// Opens a key, creating it when it is missing; nullptr when that fails.
    virtual std::unique_ptr<SettingsKey> createKey(const std::string& keyName) = 0;
};

} // namespace mb
