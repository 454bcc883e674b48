// The remembered unit system: what each stored form reads as, and when it is rewritten.

#include "clsRegistry.h"
#include "FakeServices.h"

#include <gtest/gtest.h>

namespace mb::test {
namespace {

using Type = SettingsValue::Type;

// An invalid value (empty, negative, 3 or more, of another type or missing) reads as 0 and is
// rewritten as the four bytes of index 0; a valid one is read and left alone.
TEST(Registry, EachStoredFormReadsAsAnIndexAndOnlyAnInvalidOneIsRewritten) {
    for (const auto& [stored, index, rewritten] :
         std::vector<std::tuple<std::optional<SettingsValue>, int, bool>>{
             {std::nullopt, 0, true},
             {SettingsValue{Type::Binary, std::string{2, 0, 0, 0}}, 2, false},
             {SettingsValue{Type::Binary, std::string{0x01, 0x14}}, 1, false}, // 5121 - 5120
             {SettingsValue{Type::Binary, std::string{2}}, 2, false},
             {SettingsValue{Type::Binary, std::string{1, 0, 0, 0, '\xFF', '\xFF', 7}}, 1, false},
             {SettingsValue{Type::Binary, std::string{3, 0, 0, 0}}, 0, true},
             {SettingsValue{Type::Binary, std::string{'\xFF', '\xFF', '\xFF', '\xFF'}}, 0, true},
             {SettingsValue{Type::Text, "2"}, 2, false},
             {SettingsValue{Type::Text, std::string{'1', '\0', '9'}}, 1, false},
             {SettingsValue{Type::Other, "abc"}, 0, true}}) {
        SCOPED_TRACE(stored ? stored->data : "missing");
        fake::FakeSettingsBackend settings;
        if (stored) settings.put("Unit", "BinaryValue", *stored);
        EXPECT_EQ(clsRegistry(settings).GetValue(), index);
        EXPECT_EQ(settings.writes, rewritten ? 1 : 0);
        EXPECT_EQ(settings.get("Unit", "BinaryValue")->data,
                  (rewritten ? std::string{0, 0, 0, 0} : stored->data));
    }
    // SetValue writes four bytes; a rewrite that fails leaves the store as it was.
    fake::FakeSettingsBackend settings;
    clsRegistry registry(settings);
    registry.SetValue(2);
    EXPECT_EQ(settings.get("Unit", "BinaryValue")->data, (std::string{2, 0, 0, 0}));
    settings.put("Unit", "BinaryValue", {Type::Text, "9"});
    settings.failWrite = true;
    EXPECT_EQ(registry.GetValue(), 0);
    EXPECT_EQ(settings.get("Unit", "BinaryValue")->data, "9");
}

} // namespace
} // namespace mb::test
