// Random sequences of editing commands against the fakes, checking after every step that
// entry i, record i and shadow i still describe the same material, that the numbers are
// contiguous and that the tree's material nodes match them.

#include "EditingFixture.h"

#include <algorithm>
#include <map>
#include <random>
#include <set>

namespace mb::test {
namespace {

/// What the test expects of material i: an identity tag kept in the shadow's (and, until
/// cleared, the working record's) density, and the texts the index entry and the records
/// should hold, trimmed.
struct Expected {
    double tag;
    std::string entryName, recordName, entryCategory, recordCategory;
};

std::string Trim(const std::string& s) {
    return std::string(TrimBlanks(s));
}

class EditingSequenceTest : public EditingFixture, public ::testing::WithParamInterface<unsigned> {
public:
    void SetUp() override {
        EditingFixture::SetUp();
        for (int i = 0; i <= library().LastMaterialIndex; ++i) {
            expected_.push_back({0, Name(i), Name(i), Trim(library().Entry(i).Category),
                                 Trim(library().Entry(i).Category)});
            Tag(i);
        }
    }

    void Tag(int n) {
        expected_[static_cast<std::size_t>(n)].tag = ++lastTag_;
        for (clsMaterial* record : {&library().Material(n), &library().Shadow(n)}) {
            record->Property("DENS");
            record->value(lastTag_);
        }
    }

    int Pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(rng_); }
    bool Chance(int percent) { return Pick(100) < percent; }
    int Count() { return library().LastMaterialIndex + 1; }

    std::string AnyCategoryTyped() {
        static const std::vector<std::string> pool{"Steel", "Aluminium", "Copper",   "Titanium",
                                                   "steel", " Nickel ",  "1st grade"};
        return pool[static_cast<std::size_t>(Pick(static_cast<int>(pool.size())))];
    }
    /// Mostly a fresh name, sometimes one that exists in another letter case.
    std::string AnyName() {
        if (Count() > 0 && Chance(25)) {
            std::string name = Name(Pick(Count()));
            std::transform(name.begin(), name.end(), name.begin(),
                           [](char c) { return c >= 'a' && c <= 'z' ? char(c - 32) : c; });
            return name;
        }
        return "N" + std::to_string(++lastName_);
    }
    /// Clicks a random node (sometimes none is left selected).
    void ClickAnyNode() {
        const auto keys = tree().keysInOrder();
        if (keys.empty()) return;
        editor.clickNode(keys[static_cast<std::size_t>(Pick(static_cast<int>(keys.size())))]);
    }
    std::vector<std::string> CategoryKeys() {
        std::vector<std::string> out;
        for (const std::string& k : tree().keysInOrder())
            if (!tree().parentKey(k)) out.push_back(k);
        return out;
    }

    void Add() {
        ClickAnyNode();
        const std::string c = AnyCategoryTyped(), a = AnyName();
        Type(c, a, "d");
        const bool yes = Chance(80);
        if (!yes) messages().queueAnswer(MsgResult::No);
        const int before = Count();
        if (Chance(50))
            commands.newMaterial();
        else
            commands.onNewMaterial();
        messages().answers.clear();
        if (Count() == before) return;
        ASSERT_EQ(Count(), before + 1);
        expected_.push_back({0, Trim(a), Trim(a), Trim(c), Trim(c)});
        Tag(before);
        ++changed_["add"];
    }

    void Paste() {
        if (Count() == 0) return;
        const int source = Pick(Count());
        ClickMaterial(source);
        commands.onCopyMaterial();
        if (Chance(20)) Delete(); // a deletion makes the paste do nothing
        if (Chance(15)) Rename(); // a rename may make it refuse
        ClickAnyNode();
        if (Count() == 0 || state.doc.CopiedMaterialNumber < 0) return;
        const auto target = tree().selectedKey();
        const auto workingTag = ValueOf(library().Material(source), "DENS");
        const int before = Count();
        commands.onPasteMaterial();
        if (Count() == before) return;
        ASSERT_EQ(Count(), before + 1);
        ASSERT_TRUE(target);
        const std::string category =
            tree().parentKey(*target)
                ? expected_[static_cast<std::size_t>(KeyTailNumber(*target))].entryCategory
                : Trim(*target);
        const std::string name = "Copy of " + expected_[static_cast<std::size_t>(source)].entryName;
        EXPECT_EQ(ValueOf(library().Shadow(before), "DENS"),
                  expected_[static_cast<std::size_t>(source)].tag);
        EXPECT_EQ(ValueOf(library().Material(before), "DENS"), workingTag);
        expected_.push_back({0, name, name, category, category});
        Tag(before);
        ++changed_["paste"];
    }

    void Delete() {
        ClickAnyNode();
        const auto key = tree().selectedKey();
        const bool yes = Chance(85);
        if (!yes) messages().queueAnswer(MsgResult::No);
        const int before = Count();
        commands.DeleteSelected();
        messages().answers.clear();
        if (Count() == before) return;
        ASSERT_EQ(Count(), before - 1);
        ASSERT_TRUE(key && !IsCategoryKey(*key));
        expected_.erase(expected_.begin() + KeyTailNumber(*key));
        ++changed_["delete"];
    }

    void Move() {
        if (Count() == 0) return;
        const int m = Pick(Count());
        const std::string source = KeyOf(m);
        const auto keys = tree().keysInOrder();
        const std::string target =
            keys[static_cast<std::size_t>(Pick(static_cast<int>(keys.size())))];
        const std::string targetCategory = tree().parentKey(target).value_or(target);
        const std::string sourceCategory = tree().parentKey(source).value_or("");
        tree().placeAt(1, 1, source);
        tree().placeAt(1, 2, target);
        treeEditing.TreeView1_MouseMove(LeftButton, 0, 1, 1);
        treeEditing.TreeView1_DragOver(1, 2);
        treeEditing.TreeView1_DragDrop(1, 2);
        if (EqualsNoCase(targetCategory, sourceCategory)) return;
        Expected moved = expected_[static_cast<std::size_t>(m)];
        moved.entryCategory = moved.recordCategory = Trim(targetCategory);
        expected_.erase(expected_.begin() + m);
        expected_.push_back(moved);
        ++changed_["move"];
    }

    void Rename() {
        if (Count() == 0) return;
        const int m = Pick(Count());
        ClickMaterial(m);
        const std::string name = (Chance(50) ? " " : "") + AnyName();
        if (treeEditing.TreeView1_AfterLabelEdit(name)) {
            expected_[static_cast<std::size_t>(m)].entryName =
                expected_[static_cast<std::size_t>(m)].recordName = Trim(name);
            ++changed_["rename"];
        }
    }

    void Reset() {
        ClickAnyNode();
        std::string c = AnyCategoryTyped(), a = AnyName();
        if (Count() > 0 && Chance(40)) { // name an existing material
            const int i = Pick(Count());
            c = expected_[static_cast<std::size_t>(i)].entryCategory;
            a = expected_[static_cast<std::size_t>(i)].entryName;
        }
        Type(c, a, "r");
        int match = -1;
        for (int i = 0; i < Count() && match < 0; ++i)
            if (EqualsNoCase(expected_[static_cast<std::size_t>(i)].entryCategory +
                                 expected_[static_cast<std::size_t>(i)].entryName,
                             Trim(c) + Trim(a)))
                match = i;
        const bool yes = Chance(75);
        if (!yes) messages().queueAnswer(match >= 0 ? MsgResult::Cancel : MsgResult::No);
        const int selected = SelectedMaterialNumber(tree());
        const int before = Count();
        commands.onMaterialSet();
        messages().answers.clear();
        if (selected == -1 || !yes || TrimBlanks(c).empty()) return;
        if (match >= 0) {
            const int k = selected != 0 ? match : 0;
            expected_[static_cast<std::size_t>(k)].entryName = Trim(a);
            expected_[static_cast<std::size_t>(k)].entryCategory = Trim(c);
            ++changed_["reset"];
            return;
        }
        ASSERT_EQ(Count(), before + 1);
        expected_.push_back({0, Trim(a), Trim(a), Trim(c), Trim(c)});
        Tag(before);
        ++changed_["reset"];
    }

    void ClearValues() {
        ClickAnyNode();
        commands.ClearValues();
    }

    void CheckInvariants(int step) {
        SCOPED_TRACE("after step " + std::to_string(step) + ": " + lastStep_);
        const Library& lib = library();
        ASSERT_GE(lib.LastMaterialIndex, -1);
        ASSERT_LE(lib.LastMaterialIndex, 1000);
        ASSERT_EQ(lib.LibraryIndex.size(), 1001u);
        ASSERT_EQ(lib.Materials.size(), lib.MaterialShadows.size());
        ASSERT_GE(lib.Materials.size(), static_cast<std::size_t>(Count() + 1));
        ASSERT_EQ(expected_.size(), static_cast<std::size_t>(Count()));

        for (int i = 0; i < Count(); ++i) {
            SCOPED_TRACE("material " + std::to_string(i));
            const Expected& e = expected_[static_cast<std::size_t>(i)];
            ASSERT_TRUE(lib.Materials[static_cast<std::size_t>(i)]);
            ASSERT_TRUE(lib.MaterialShadows[static_cast<std::size_t>(i)]);
            clsMaterial& record = library().Material(i);
            clsMaterial& shadow = library().Shadow(i);
            EXPECT_EQ(ValueOf(shadow, "DENS"), e.tag);
            const auto working = ValueOf(record, "DENS");
            EXPECT_TRUE(!working || *working == e.tag || *working == 0) << *working;
            EXPECT_EQ(Trim(lib.Entry(i).Name), e.entryName);
            EXPECT_EQ(Trim(lib.Entry(i).Category), e.entryCategory);
            EXPECT_EQ(Trim(record.MaterialName()), e.recordName);
            EXPECT_EQ(Trim(shadow.MaterialName()), e.recordName);
            EXPECT_EQ(Trim(record.MaterialType()), e.recordCategory);
            EXPECT_EQ(Trim(shadow.MaterialType()), e.recordCategory);
        }

        std::multiset<int> numbers;
        for (const std::string& key : tree().keysInOrder()) {
            if (const auto parent = tree().parentKey(key)) {
                numbers.insert(KeyTailNumber(key));
                EXPECT_FALSE(tree().parentKey(*parent)) << key;
                EXPECT_FALSE(IsCategoryKey(key)) << key;
            } else {
                EXPECT_TRUE(IsCategoryKey(key)) << key;
                EXPECT_GT(tree().childCount(key), 0) << key;
            }
        }
        std::multiset<int> all;
        for (int i = 0; i < Count(); ++i)
            all.insert(i);
        EXPECT_EQ(numbers, all) << "material nodes carry the numbers 0.." << Count() - 1;
        if (const auto selected = tree().selectedKey()) {
            EXPECT_TRUE(tree().exists(*selected));
        }
    }

    std::mt19937 rng_{GetParam()};
    std::vector<Expected> expected_;
    double lastTag_ = 1000;
    int lastName_ = 0;
    std::string lastStep_;
    std::map<std::string, int> changed_; ///< steps that changed the library, by kind
};

TEST_P(EditingSequenceTest, EveryStepKeepsTheLibraryAndTheTreeInStep) {
    const std::vector<std::pair<std::string, void (EditingSequenceTest::*)()>> steps{
        {"add", &EditingSequenceTest::Add},          {"paste", &EditingSequenceTest::Paste},
        {"delete", &EditingSequenceTest::Delete},    {"move", &EditingSequenceTest::Move},
        {"rename", &EditingSequenceTest::Rename},    {"reset", &EditingSequenceTest::Reset},
        {"clear", &EditingSequenceTest::ClearValues}};
    std::map<std::string, int> ran;
    for (int step = 0; step < 400; ++step) {
        const auto& [name, run] =
            steps[static_cast<std::size_t>(Pick(static_cast<int>(steps.size())))];
        lastStep_ = name;
        ++ran[name];
        (this->*run)();
        CheckInvariants(step);
        if (HasFatalFailure() || HasFailure()) return;
    }
    // The sequence must really have changed the library in every way, not only been refused.
    for (const auto& [name, run] : steps) {
        EXPECT_GT(ran[name], 20) << name;
        if (name != "clear") {
            EXPECT_GT(changed_[name], 5) << name;
        }
    }
    EXPECT_GT(Count(), 0);
}

INSTANTIATE_TEST_SUITE_P(FixedSeeds, EditingSequenceTest, ::testing::Values(7u, 2024u, 90210u));

} // namespace
} // namespace mb::test
