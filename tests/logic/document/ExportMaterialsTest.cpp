// "Export...": what the dialog offers for the choice made, which materials each choice
// writes, and the file: in the format chosen, complete or not at all, errors naming it.

#include "ExportMaterials.h"
#include "CsvExchange.h"
#include "EditorFixture.h"
#include "FakeExchangeDialogs.h"
#include "JsonExchange.h"
#include "LibraryFile.h"
#include "TableLayout.h"
#include "TempDir.h"

namespace mb::test {
namespace {

using enum ExportScope;
using enum ExportFormat;

class ExportMaterialsTest : public EditorFixture {
protected:
    void SetUp() override {
        EditorFixture::SetUp();
        state.doc.CurrentFileName = dir.file("metals.lib");
    }

    /// The export dialog is answered with `choice`, nothing checked in its list.
    void Choose(std::optional<ExportChoice> choice) {
        dialogs.exportUser = [choice](fake::FakeExportDialog&, ExportDialogHandler&) {
            return choice;
        };
    }

    fake::FakeExchangeDialogs dialogs;
    fake::FakeFileDialogs files;
    ExportMaterials exporter{state, editor.form, editor.messageBox, dialogs, files};
    TempDir dir;
};

// The controls follow the choice: units only for the tables, the list only for a chosen
// set, and Export only when the choice holds a material.
TEST_F(ExportMaterialsTest, TheDialogOffersWhatTheChoiceNeeds) {
    struct Step {
        ExportChoice choice;
        std::vector<std::string> check; // lines checked before the choice is made
        bool units, picker, exportable;
        std::vector<int> materials;
    };
    const Step steps[] = {
        {{SelectedMaterial, Json, 1}, {}, false, false, true, {2}},
        {{SelectedMaterial, Csv, 0}, {}, true, false, true, {2}},
        {{ChosenMaterials, Xlsx, 2}, {}, true, true, false, {}},
        {{ChosenMaterials, Xlsx, 2}, {"Copper", "6061"}, true, true, true, {1, 4}},
        {{WholeLibrary, Calculix, 2}, {}, false, false, true, {0, 1, 2, 3, 4}},
    };
    ClickMaterial(2);
    fake::FakeExportDialog view{nullptr};
    ExportForm form(library(), view, editor.form.CurrentMaterial(), 1, ".");
    form.start();
    EXPECT_EQ(view.selected, "S275");
    EXPECT_EQ(view.units, (std::vector<std::string>{"IPS", "SI", "MKS(G)"}));
    EXPECT_EQ(std::tuple(view.initialChoice.scope, view.initialChoice.unitSystem),
              std::tuple(SelectedMaterial, 1));
    for (const Step& step : steps) {
        for (const std::string& line : step.check)
            form.line_Check(view.line(line), true);
        form.choice_Change(step.choice);
        EXPECT_EQ((std::tuple{view.unitsEnabled, view.pickerEnabled, view.exportEnabled}),
                  (std::tuple{step.units, step.picker, step.exportable}));
        EXPECT_EQ(form.materials(step.choice), step.materials);
    }
    // Without a selected material there is nothing to offer as one; the library is whole.
    Unselect();
    ExportForm none(library(), view, editor.form.CurrentMaterial(), 0, ".");
    none.start();
    EXPECT_EQ(view.selected, "");
    EXPECT_EQ(view.initialChoice.scope, WholeLibrary);
    EXPECT_TRUE(none.materials({SelectedMaterial, Json, 0}).empty());
}

TEST_F(ExportMaterialsTest, TheFileHoldsTheChoiceInItsFormatAndNothingElseIsLeft) {
    ClickMaterial(0);
    dialogs.exportUser = [](fake::FakeExportDialog& d, ExportDialogHandler& user) {
        user.line_Check(d.line("Aluminium"), true);
        return std::optional(ExportChoice{ChosenMaterials, Csv, 0});
    };
    files.queuePath(dir.file("aluminium")); // typed without an extension
    exporter.run();
    ASSERT_EQ(files.requests.size(), 1u);
    EXPECT_EQ(files.requests[0].title, "Export Materials As...");
    EXPECT_EQ(files.requests[0].filter, "CSV Files (*.csv)|*.csv");
    EXPECT_EQ(files.requests[0].proposedPath, dir.file("metals.csv"));
    EXPECT_EQ(ReadBytes(dir.file("aluminium.csv")),
              csvText(exportTable(exportSelection(library(), {1, 3}), 0)));

    // Over an existing file, which is replaced whole.
    Choose(ExportChoice{SelectedMaterial, Json, 2});
    files.queuePath(dir.file("aluminium.csv"));
    exporter.run();
    EXPECT_EQ(ReadBytes(dir.file("aluminium.csv")), exportJson(exportSelection(library(), {0})));
    EXPECT_EQ(Names(dir.path()), (std::vector<std::string>{"aluminium.csv"}));
    EXPECT_TRUE(editor.messageBox.questions.empty());

    // Cancel in either dialog writes nothing.
    files.queuePath(std::nullopt);
    exporter.run();
    Choose(std::nullopt);
    exporter.run();
    EXPECT_EQ(files.requests.size(), 3u);
    EXPECT_EQ(Names(dir.path()), (std::vector<std::string>{"aluminium.csv"}));
}

TEST_F(ExportMaterialsTest, CardsThatLeaveSomethingOutAreWrittenAndTheMessageListsIt) {
    Choose(ExportChoice{WholeLibrary, Calculix, 0});
    const std::string path = dir.file("cards.inp");
    files.queuePath(path);
    exporter.run();
    const std::string noNuxy =
        ": *ELASTIC is not written: NUXY is missing, and EX alone makes no isotropic card.";
    ExpectOnlyMessage(path +
                          " is written, but not all of it as the library has it. Each of these "
                          "is also a comment in the file:\n\nSteel / A36" +
                          noNuxy + "\nSteel / S275" + noNuxy + "\nAluminium / 6061" + noNuxy +
                          "\nAluminium / 7075" + noNuxy + "\nCopper / C101" + noNuxy,
                      MsgButtons::OK, MsgIcon::Exclamation);
    // The cards and their comments are the writer's (CalculixExportTest).

    // A material that goes whole leaves nothing to say.
    library().setOriginalValue(2, Slot::NUXY, 0.3);
    dialogs.exportUser = [](fake::FakeExportDialog& d, ExportDialogHandler& user) {
        user.line_Check(d.line("S275"), true);
        return std::optional(ExportChoice{ChosenMaterials, Calculix, 0});
    };
    files.queuePath(path);
    exporter.run();
    EXPECT_TRUE(editor.messageBox.questions.empty());
}

TEST_F(ExportMaterialsTest, TheMessageListsTwelveOmissionsAtMost) {
    std::vector<ExportOmission> omissions;
    for (int i = 1; i <= 14; ++i)
        omissions.push_back({"Rubbers", "R" + std::to_string(i), "D1 is 0."});
    std::string expected = "out.inp is written, but not all of it as the library has it. Each "
                           "of these is also a comment in the file:\n";
    for (int i = 1; i <= 11; ++i)
        expected += "\nRubbers / R" + std::to_string(i) + ": D1 is 0.";
    EXPECT_EQ(omissionsMessage("out.inp", omissions), expected + "\n... and 3 more.");
    omissions.resize(12);
    EXPECT_EQ(omissionsMessage("out.inp", omissions), expected + "\nRubbers / R12: D1 is 0.");
}

TEST_F(ExportMaterialsTest, AFileThatCannotBeWrittenIsNamed) {
    Choose(ExportChoice{WholeLibrary, Calculix, 0});
    const std::string path = dir.file("no-such-folder/cards.inp");
    files.queuePath(path);
    exporter.run();
    ExpectOnlyMessage("Cannot write " + path + ": " + fileErrorMessage(ENOENT), MsgButtons::OK,
                      MsgIcon::Exclamation);
    EXPECT_TRUE(Names(dir.path()).empty());
}

} // namespace
} // namespace mb::test
