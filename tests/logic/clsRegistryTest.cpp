// The remembered unit system: what each stored form reads as, and when it is rewritten.

#include "shell/clsRegistry.h"
#include "FakeServices.h"

#include <gtest/gtest.h>

namespace mb::test {
namespace {

using Type = SettingsValue::Type;

std::string Bytes(std::initializer_list<int> bytes) {
    std::string out;
    for (int b : bytes)
        out += static_cast<char>(b);
    return out;
}
const std::string kIps = Bytes({0, 0, 0, 0});

class Registry : public ::testing::Test {
protected:
    void storeValue(Type type, std::string data) {
        settings.put("Unit", "BinaryValue", {type, std::move(data)});
    }
    /// The stored value, when it is binary; "missing" otherwise.
    std::string storedBinary() const {
        const auto v = settings.get("Unit", "BinaryValue");
        return v && v->type == Type::Binary ? v->data : std::string("missing");
    }

    fake::FakeSettingsBackend settings;
    clsRegistry registry{settings};
};

TEST_F(Registry, FirstRunReadsIpsAndWritesZero) {
    EXPECT_EQ(registry.GetValue(), 0);
    EXPECT_EQ(storedBinary(), kIps);
}

struct ReadCase {
    const char* name;
    Type type;
    std::string data;
    int16_t expected;
    bool rewritten;
};

class RegistryRead : public Registry, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(RegistryRead, ReadsAndRewritesOnlyWhatIsInvalid) {
    const ReadCase& c = GetParam();
    storeValue(c.type, c.data);
    EXPECT_EQ(registry.GetValue(), c.expected);
    EXPECT_EQ(settings.writes, c.rewritten ? 1 : 0);
    if (c.rewritten)
        EXPECT_EQ(storedBinary(), kIps);
    else
        EXPECT_EQ(settings.get("Unit", "BinaryValue")->data, c.data);
}

INSTANTIATE_TEST_SUITE_P(
    StoredForms, RegistryRead,
    ::testing::Values(ReadCase{"BinaryTwo", Type::Binary, Bytes({2, 0, 0, 0}), 2, false},
                      ReadCase{"OffsetOne", Type::Binary, Bytes({0x01, 0x14}), 1, false},
                      ReadCase{"OffsetZero", Type::Binary, Bytes({0x00, 0x14, 0, 0}), 0, false},
                      ReadCase{"OneByte", Type::Binary, Bytes({2}), 2, false},
                      ReadCase{"NoBytes", Type::Binary, "", 0, false},
                      ReadCase{"LongValue", Type::Binary, Bytes({1, 0, 0, 0, 0xFF, 0xFF, 7, 9}), 1,
                               false},
                      ReadCase{"IndexThree", Type::Binary, Bytes({3, 0, 0, 0}), 0, true},
                      ReadCase{"Negative", Type::Binary, Bytes({0xFF, 0xFF, 0xFF, 0xFF}), 0, true},
                      ReadCase{"HighByteGarbage", Type::Binary, Bytes({0x01, 0x7F, 0, 0}), 0, true},
                      ReadCase{"SignBitSet", Type::Binary, Bytes({0x00, 0x80}), 0, true},
                      ReadCase{"TextTwo", Type::Text, "2", 2, false},
                      ReadCase{"TextFraction", Type::Text, "1.75", 1, false},
                      ReadCase{"TextUpToNul", Type::Text,
                               std::string("1\0"
                                           "9",
                                           3),
                               1, false},
                      ReadCase{"TextThree", Type::Text, "3", 0, true},
                      ReadCase{"TextSeven", Type::Text, "7", 0, true},
                      ReadCase{"TextMinusOne", Type::Text, "-1", 0, true},
                      ReadCase{"TextEmpty", Type::Text, "", 0, true},
                      ReadCase{"OtherType", Type::Other, "abc", 0, true}),
    [](const ::testing::TestParamInfo<ReadCase>& p) { return std::string(p.param.name); });

TEST_F(Registry, SetValueWritesFourBytes) {
    registry.SetValue(2);
    EXPECT_EQ(storedBinary(), Bytes({2, 0, 0, 0}));
    EXPECT_EQ(registry.GetValue(), 2);
}

TEST_F(Registry, AKeyThatCannotBeOpenedReadsAsIpsAndFailedWritesChangeNothing) {
    storeValue(Type::Binary, Bytes({2, 0, 0, 0}));
    settings.failOpen = true;
    EXPECT_EQ(registry.GetValue(), 0);
    EXPECT_EQ(storedBinary(), kIps);

    settings.failOpen = false;
    storeValue(Type::Text, "9");
    settings.failWrite = true;
    EXPECT_EQ(registry.GetValue(), 0);
    EXPECT_EQ(settings.get("Unit", "BinaryValue")->data, "9");

    settings.keys.clear();
    settings.failCreate = true;
    EXPECT_EQ(registry.GetValue(), 0);
    EXPECT_FALSE(settings.hasKey("Unit"));
}

} // namespace
} // namespace mb::test
