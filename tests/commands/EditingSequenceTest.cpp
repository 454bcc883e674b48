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

/// What material i should be: its trimmed entry texts, and an identity tag kept in the
/// shadow's density and, until its values are cleared, the working record's.
struct Expected {
    double tag;
    std::string name, category;
};

std::string Trim(const std::string& s) {
    return std::string(TrimBlanks(s));
}

class EditingSequenceTest : public EditingFixture, public ::testing::WithParamInterface<unsigned> {
public:
    void SetUp() override {
        EditingFixture::SetUp();
        for (int i = 0; i < Count(); ++i)
            Append(Name(i), library().Entry(i).Category);
    }

    Expected& At(int i) { return expected_[static_cast<std::size_t>(i)]; }
    /// Expects the material after those expected so far to hold these texts, and tags it.
    void Append(const std::string& name, const std::string& category) {
        const int n = static_cast<int>(expected_.size());
        expected_.push_back({++lastTag_, Trim(name), Trim(category)});
        library().Material(n).CopyProperty("DENS", lastTag_);
        library().Shadow(n).CopyProperty("DENS", lastTag_);
    }

    int Pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(rng_); }
    bool Chance(int percent) { return Pick(100) < percent; }
    int Count() { return library().LastMaterialIndex + 1; }
    template <class T> T AnyOf(const std::vector<T>& v) {
        return v[static_cast<std::size_t>(Pick(static_cast<int>(v.size())))];
    }

    std::string AnyCategoryTyped() {
        return AnyOf<std::string>(
            {"Steel", "Aluminium", "Copper", "Titanium", "steel", " Nickel ", "1st grade"});
    }
    /// Mostly a fresh name, sometimes one that exists in another letter case.
    std::string AnyName() {
        if (Count() == 0 || !Chance(25)) return "N" + std::to_string(++lastName_);
        std::string name = Name(Pick(Count()));
        std::transform(name.begin(), name.end(), name.begin(), ::toupper);
        return name;
    }
    void ClickAnyNode() {
        if (tree().nodeCount() > 0) editor.clickNode(AnyOf(tree().keysInOrder()));
    }
    /// Runs `command` with its question answered Yes in `percentYes` of the runs and `no`
    /// otherwise; true when the answer was Yes.
    template <class F> bool Answered(int percentYes, MsgResult no, F command) {
        const bool yes = Chance(percentYes);
        if (!yes) messages().queueAnswer(no);
        command();
        messages().answers.clear();
        return yes;
    }

    void Add() {
        ClickAnyNode();
        const std::string c = AnyCategoryTyped(), a = AnyName();
        Type(c, a, "d");
        const int before = Count();
        Answered(80, MsgResult::No, [&] {
            if (Chance(50))
                commands.newMaterial();
            else
                commands.onNewMaterial();
        });
        if (Count() == before) return;
        Append(a, c);
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
        const std::string target = tree().selectedKey().value_or("");
        const auto workingTag = ValueOf(library().Material(source), "DENS");
        const int before = Count();
        commands.onPasteMaterial();
        if (Count() == before) return;
        EXPECT_EQ(ValueOf(library().Shadow(before), "DENS"), At(source).tag);
        EXPECT_EQ(ValueOf(library().Material(before), "DENS"), workingTag);
        Append("Copy of " + At(source).name,
               tree().parentKey(target) ? At(KeyTailNumber(target)).category : target);
        ++changed_["paste"];
    }

    void Delete() {
        ClickAnyNode();
        const std::string key = tree().selectedKey().value_or("");
        const int before = Count();
        Answered(85, MsgResult::No, [&] { commands.DeleteSelected(); });
        if (Count() == before) return;
        ASSERT_FALSE(IsCategoryKey(key));
        expected_.erase(expected_.begin() + KeyTailNumber(key));
        ++changed_["delete"];
    }

    void Move() {
        if (Count() == 0) return;
        const int m = Pick(Count());
        const std::string source = KeyOf(m), target = AnyOf(tree().keysInOrder());
        const std::string category = tree().parentKey(target).value_or(target);
        const bool same = EqualsNoCase(category, tree().parentKey(source).value_or(""));
        tree().placeAt(1, 1, source);
        tree().placeAt(1, 2, target);
        treeEditing.TreeView1_MouseMove(LeftButton, 0, 1, 1);
        treeEditing.TreeView1_DragOver(1, 2);
        treeEditing.TreeView1_DragDrop(1, 2);
        if (same) return;
        Expected moved{At(m).tag, At(m).name, Trim(category)};
        expected_.erase(expected_.begin() + m);
        expected_.push_back(moved);
        ++changed_["move"];
    }

    void Rename() {
        if (Count() == 0) return;
        const int m = Pick(Count());
        ClickMaterial(m);
        const std::string name = (Chance(50) ? " " : "") + AnyName();
        if (!treeEditing.TreeView1_AfterLabelEdit(name)) return;
        At(m).name = Trim(name);
        ++changed_["rename"];
    }

    void Reset() {
        ClickAnyNode();
        std::string c = AnyCategoryTyped(), a = AnyName();
        if (Count() > 0 && Chance(40)) { // name an existing material
            const int i = Pick(Count());
            c = At(i).category;
            a = At(i).name;
        }
        Type(c, a, "r");
        int match = -1;
        for (int i = 0; i < Count() && match < 0; ++i)
            if (EqualsNoCase(At(i).category + At(i).name, Trim(c) + Trim(a))) match = i;
        const int selected = SelectedMaterialNumber(tree()), before = Count();
        const bool yes = Answered(75, match >= 0 ? MsgResult::Cancel : MsgResult::No,
                                  [&] { commands.onMaterialSet(); });
        if (selected == -1 || !yes || TrimBlanks(c).empty()) return;
        ++changed_["reset"];
        if (match < 0) {
            ASSERT_EQ(Count(), before + 1);
            Append(a, c);
            return;
        }
        Expected& written = At(selected != 0 ? match : 0);
        written.name = Trim(a);
        written.category = Trim(c);
    }

    void ClearValues() {
        ClickAnyNode();
        commands.ClearValues();
    }

    void CheckInvariants() {
        const Library& lib = library();
        ASSERT_EQ(lib.LibraryIndex.size(), 1001u);
        ASSERT_EQ(lib.Materials.size(), lib.MaterialShadows.size());
        ASSERT_GE(lib.Materials.size(), static_cast<std::size_t>(Count() + 1));
        ASSERT_EQ(expected_.size(), static_cast<std::size_t>(Count()));
        for (int i = 0; i < Count(); ++i) {
            SCOPED_TRACE("material " + std::to_string(i));
            EXPECT_EQ(Trim(lib.Entry(i).Name), At(i).name);
            EXPECT_EQ(Trim(lib.Entry(i).Category), At(i).category);
            EXPECT_EQ(ValueOf(library().Shadow(i), "DENS"), At(i).tag);
            const auto working = ValueOf(library().Material(i), "DENS");
            EXPECT_TRUE(!working || *working == At(i).tag || *working == 0) << *working;
        }
        std::multiset<int> numbers, all;
        for (int i = 0; i < Count(); ++i)
            all.insert(i);
        for (const std::string& key : tree().keysInOrder()) {
            const auto parent = tree().parentKey(key);
            EXPECT_EQ(IsCategoryKey(key), !parent) << key;
            if (parent) {
                numbers.insert(KeyTailNumber(key));
                EXPECT_FALSE(tree().parentKey(*parent)) << key;
            } else {
                EXPECT_GT(tree().childCount(key), 0) << key;
            }
        }
        EXPECT_EQ(numbers, all) << "material nodes carry the numbers 0.." << Count() - 1;
    }

    std::mt19937 rng_{GetParam()};
    std::vector<Expected> expected_;
    double lastTag_ = 1000;
    int lastName_ = 0;
    std::map<std::string, int> changed_; ///< steps that changed the library, by kind
};

TEST_P(EditingSequenceTest, EveryStepKeepsTheLibraryAndTheTreeInStep) {
    const std::vector<void (EditingSequenceTest::*)()> steps{
        &EditingSequenceTest::Add,        &EditingSequenceTest::Paste,
        &EditingSequenceTest::Delete,     &EditingSequenceTest::Move,
        &EditingSequenceTest::Rename,     &EditingSequenceTest::Reset,
        &EditingSequenceTest::ClearValues};
    for (int step = 0; step < 400 && !HasFailure(); ++step) {
        SCOPED_TRACE("step " + std::to_string(step));
        (this->*AnyOf(steps))();
        CheckInvariants();
    }
    // The sequence must really have changed the library in every way, not only been refused.
    for (const char* kind : {"add", "paste", "delete", "move", "rename", "reset"})
        EXPECT_GT(changed_[kind], 5) << kind;
    EXPECT_GT(Count(), 0);
}

INSTANTIATE_TEST_SUITE_P(FixedSeeds, EditingSequenceTest, ::testing::Values(7u, 2024u, 90210u));

} // namespace
} // namespace mb::test
