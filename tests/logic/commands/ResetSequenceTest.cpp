// Random Resets, typed values, undos and redos against a plain model of the library: after
// every step the library holds what the model says, the tree shows exactly the library's
// materials under their categories, and an overwrite never touches the material selected.

#include "EditorFixture.h"

#include <random>
#include <set>
#include <tuple>

namespace mb::test {
namespace {

/// What the model keeps of a material: its entry's texts and Young's modulus in the working
/// and the shadow record.
struct PlainMaterial {
    std::string category, name, nameCode, description;
    std::optional<double> ex, shadowEx;
    bool operator==(const PlainMaterial&) const = default;
};
using PlainLibrary = std::vector<PlainMaterial>;

void PrintTo(const PlainMaterial& m, std::ostream* out) {
    const auto value = [](const std::optional<double>& v) {
        return v ? std::to_string(*v) : std::string("none");
    };
    *out << "{\"" << m.category << "\" \"" << m.name << "\" \"" << m.nameCode << "\" \""
         << m.description << "\" EX " << value(m.ex) << " reset " << value(m.shadowEx) << "}";
}

class ResetSequenceTest : public EditorFixture, public ::testing::WithParamInterface<unsigned> {
protected:
    int Pick(int n) { return std::uniform_int_distribution<int>(0, std::max(n, 1) - 1)(rng); }
    bool Chance(int percent) { return Pick(100) < percent; }

    PlainLibrary read() {
        PlainLibrary out;
        for (int i = 0; i <= library().LastMaterialIndex(); ++i) {
            const LibraryEntry& e = library().entry(i);
            out.push_back({e.Category, e.Name, e.NameCode, e.Description,
                           ValueOf(library().material(i), "EX"),
                           ValueOf(library().shadow(i), "EX")});
        }
        return out;
    }

    /// The model's side of an edit: remembered for undo when it changed anything.
    void Changed(const PlainLibrary& before) {
        if (model == before) return;
        done.push_back(before);
        undone.clear();
    }

    /// A variant of an existing material's category or name as a user might type it, or
    /// a new one.
    std::string Variant(const std::string& text, const std::string& fresh) {
        std::string s(trimBlanks(text));
        switch (Pick(5)) {
        case 0:
            return text;
        case 1:
            return s;
        case 2:
            return " " + s + "  ";
        case 3:
            for (char& c : s)
                c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            return s;
        default:
            return fresh;
        }
    }

    /// Reset with material `selected` shown and the boxes typed as given, the question
    /// answered `yes` or not; the model does what the user expects of it.
    void Reset(int selected, const std::string& c, const std::string& a, const std::string& d,
               bool yes) {
        ClickMaterial(selected);
        Type(c, a, d);
        int match = -1;
        const std::string wanted = std::string(trimBlanks(c)) + std::string(trimBlanks(a));
        for (int i = 0; i < int(model.size()) && match < 0; ++i)
            if (equalsNoCase(std::string(trimBlanks(model[i].category)) +
                                 std::string(trimBlanks(model[i].name)),
                             wanted))
                match = i;
        editor.messageBox.queueAnswer(match >= 0 ? (yes ? MsgResult::OK : MsgResult::Cancel)
                                                 : (yes ? MsgResult::Yes : MsgResult::No));
        const PlainLibrary before = model;
        const PlainMaterial typed{
            c, std::string(trimBlanks(a)), newMaterialNameCode(a), d, std::nullopt, std::nullopt};
        if (yes && match >= 0) {
            PlainMaterial& m = model[std::size_t(match)];
            m = {typed.category, typed.name, typed.nameCode, d, m.shadowEx, m.shadowEx};
            ++overwrites;
            overwritesOfZero += selected == 0 && match != 0;
        } else if (yes) {
            model.push_back(typed);
        }
        commands.onMaterialSet();
        Changed(before);
    }

    /// A value typed into the EX cell of material n.
    void TypeEx(int n, double value) {
        ClickMaterial(n);
        typeValue("EX", std::to_string(static_cast<long long>(value)));
        const PlainLibrary before = model;
        model[std::size_t(n)].ex = value;
        Changed(before);
    }

    void undo() {
        commands.undo();
        if (done.empty()) return;
        undone.push_back(model);
        model = done.back();
        done.pop_back();
    }
    void redo() {
        commands.redo();
        if (undone.empty()) return;
        done.push_back(model);
        model = undone.back();
        undone.pop_back();
    }

    /// Category nodes, and material nodes as (category, name, number), as the tree shows
    /// them and as the library's entries say they should be.
    using Nodes =
        std::pair<std::set<std::string>, std::set<std::tuple<std::string, std::string, int>>>;
    Nodes TreeNodes() {
        Nodes out;
        for (const std::string& key : tree().keysInOrder()) {
            if (const auto parent = tree().parentKey(key))
                out.second.insert({*parent, tree().nodeText(key), keyTailNumber(key)});
            else
                out.first.insert(key);
        }
        return out;
    }
    Nodes LibraryNodes() {
        Nodes out;
        for (int i = 0; i <= library().LastMaterialIndex(); ++i) {
            out.first.insert(library().entry(i).Category);
            out.second.insert({library().entry(i).Category, library().entry(i).Name, i});
        }
        return out;
    }

    std::mt19937 rng{GetParam()};
    PlainLibrary model;
    std::vector<PlainLibrary> done, undone;
    int overwrites = 0, overwritesOfZero = 0;
};

TEST_P(ResetSequenceTest, OverwriteUndoAndRedoKeepTheLibraryTheModelAndTheTreeInStep) {
    model = read();
    int undos = 0, redos = 0;
    for (int step = 0; step < 400 && !HasFailure(); ++step) {
        SCOPED_TRACE("step " + std::to_string(step));
        const int last = int(model.size()) - 1;
        const int kind = Pick(10);
        if (kind < 5) {
            const PlainMaterial& like = model[std::size_t(Pick(last + 1))];
            const int selected = Chance(40) ? 0 : Pick(last + 1);
            Reset(selected, Variant(like.category, "Nickel"),
                  Variant(like.name, "R" + std::to_string(step)),
                  Chance(50) ? like.description : "typed " + std::to_string(step), Chance(80));
        } else if (kind < 7) {
            TypeEx(Pick(last + 1), 1000.0 * (1 + Pick(50)));
        } else if (kind < 9) {
            undo();
            ++undos;
        } else {
            redo();
            ++redos;
        }
        editor.messageBox.questions.clear();
        editor.messageBox.answers.clear();

        ASSERT_EQ(read(), model);
        EXPECT_EQ(TreeNodes(), LibraryNodes());
        EXPECT_EQ(state.history.undoCount(), done.size());
        EXPECT_EQ(state.history.redoCount(), undone.size());
    }
    EXPECT_GT(overwritesOfZero, 5) << "material 0 selected while another one is overwritten";
    EXPECT_GT(overwrites, 30);
    EXPECT_GT(undos, 30);
    EXPECT_GT(redos, 15);
}

INSTANTIATE_TEST_SUITE_P(FixedSeeds, ResetSequenceTest, ::testing::Values(3u, 1999u, 65537u));

} // namespace
} // namespace mb::test
