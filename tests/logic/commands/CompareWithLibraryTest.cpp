// The open library compared with another library file, and differences taken over.

#include "CompareWithLibrary.h"
#include "FakeEditor.h"
#include "LibraryFile.h"
#include "NodeKey.h"
#include "TestPaths.h"
#include "TextUtil.h"

#include <gtest/gtest.h>

namespace mb::test {

namespace {

using Texts = std::vector<std::string>;

std::string Dir() {
    return std::string(kDataDir) + "/diff/changes/";
}

class CompareWithLibraryTest : public ::testing::Test {
protected:
    CompareWithLibraryTest() {
        EXPECT_EQ(ReadLibraryFile(Dir() + "old.lib", state.library, ".").status,
                  ReadResult::Status::Loaded);
        BuildTree(state.library, ed.TreeView1);
        ed.form.fillUnitsList();
        ed.form.FillTypeList();
        ed.chooseUnits(UnitSystemIndex::SI);
    }
    Texts lines() {
        Texts out;
        for (const LibraryDifference& d : compare.comparison().differences)
            out.push_back(d.line());
        return out;
    }
    std::size_t indexOf(const std::string& line) {
        const Texts all = lines();
        return std::size_t(std::find(all.begin(), all.end(), line) - all.begin());
    }

    AppState state;
    fake::FakeEditor ed{state};
    CompareWithLibrary compare{state, ed.form, ed.messageBox};
};

// The lines themselves are the diff's (LibraryDiffTest); what is left after taking some
// over is checked below.
TEST_F(CompareWithLibraryTest, AFileThatCannotBeReadIsNamedAndKeepsTheComparison) {
    ASSERT_EQ(compare.open(Dir() + "new.lib"), "");
    const Texts listed = lines();
    EXPECT_EQ(listed.size(), 9u);
    const std::string notALibrary = std::string(kDataDir) + "/not-libraries/empty.lib";
    EXPECT_EQ(compare.open(notALibrary),
              notALibrary + ": This file is not a VELTRA/M material library file!");
    EXPECT_EQ(lines(), listed);
}

// The window shows values as the grid does, with their units (in the system on show: the
// window test's); the other kinds as the diff writes them.
TEST_F(CompareWithLibraryTest, ValuesAreShownInTheSystemOnShowWithTheirUnits) {
    ASSERT_EQ(compare.open(Dir() + "new.lib"), "");
    const auto shown = [&](const std::string& line, bool other) {
        return compare.shownSide(compare.comparison().differences.at(indexOf(line)), other);
    };
    const std::string alpx = "value\tStructural Steel S235\tALPX\t-\t120000E-10";
    const std::string heat = "value\tStructural Steel S235\tC (Cp)\t4600000E-4\t-";
    const std::string reftemp = "value\tPolycarbonate\tREFTEMP\t4200000E-4\t4200001E-4";
    EXPECT_EQ((Texts{shown(alpx, false), shown(alpx, true), shown(heat, false), shown(heat, true),
                     shown(reftemp, true)}),
              (Texts{"", "1.2E-05 /Kelvin", "460 J/kg.K", "", "420.0001 Kelvin"}));
    EXPECT_EQ(shown("description\tStructural Steel S235\tHot rolled\tHot rolled, JR", true),
              "Hot rolled, JR");
}

TEST_F(CompareWithLibraryTest, AnAddedMaterialAndAChangedValueAreTakenOverOthersAreNot) {
    ASSERT_EQ(compare.open(Dir() + "new.lib"), "");
    const int before = state.library.materialCount();

    for (const char* line :
         {"moved\tStainless Steel 304\tSteels\tStainless", "removed\tSteels\tOld Alloy",
          "description\tStructural Steel S235\tHot rolled\tHot rolled, JR"}) {
        EXPECT_FALSE(
            CompareWithLibrary::canTakeOver(compare.comparison().differences[indexOf(line)]));
        EXPECT_FALSE(compare.takeOver(indexOf(line))) << line;
    }
    EXPECT_EQ(state.library.materialCount(), before);

    ASSERT_TRUE(compare.takeOver(indexOf("added\tLight Metals\tAluminium 6061")));
    ASSERT_EQ(state.library.materialCount(), before + 1);
    const LibraryEntry& added = state.library.entry(before);
    const std::string key = materialNodeKey(added.Category, added.Name, before);
    EXPECT_EQ(ed.TreeView1.selectedKey(), key) << "selected and shown";
    EXPECT_EQ(ed.TreeView1.parentKey(key), added.Category);
    EXPECT_EQ(trimBlanks(ed.materialNameText.text()), "Aluminium 6061");

    const std::string steel = "Structural Steel S235";
    ed.clickNode(materialNodeKey(state.library.entry(0).Category, state.library.entry(0).Name, 0));
    ASSERT_EQ(trimBlanks(state.library.entry(0).Name), steel);
    ASSERT_TRUE(compare.takeOver(indexOf("value\t" + steel + "\tNUXY\t300000E-6\t290000E-6")));
    ASSERT_TRUE(compare.takeOver(indexOf("value\t" + steel + "\tC (Cp)\t4600000E-4\t-")));
    EXPECT_EQ(lines(), (Texts{"namecode\t" + steel + "\tS235\tS235JR",
                              "description\t" + steel + "\tHot rolled\tHot rolled, JR",
                              "value\t" + steel + "\tALPX\t-\t120000E-10",
                              "moved\tStainless Steel 304\tSteels\tStainless",
                              "value\tPolycarbonate\tREFTEMP\t4200000E-4\t4200001E-4",
                              "removed\tSteels\tOld Alloy"}))
        << "compared again after each";
    int nuxy = 0;
    while (ed.VSFlexGrid1.textMatrix(nuxy, 0) != "NUXY" && nuxy < ed.VSFlexGrid1.rows())
        ++nuxy;
    EXPECT_EQ(ed.VSFlexGrid1.textMatrix(nuxy, 2), "0.29") << "the grid shows the value taken over";
    EXPECT_TRUE(state.library.shadow(0).HasValue(Slot::SpecificHeat))
        << "an edit: Reset gives back the value as read";
    EXPECT_EQ(state.history.undoLabel(), "Take over C (Cp) of " + steel);
    ASSERT_TRUE(state.history.undo());
    EXPECT_TRUE(state.library.material(0).HasValue(Slot::SpecificHeat)) << "one undoable edit";
    ASSERT_TRUE(state.history.undo());
    ASSERT_TRUE(state.history.undo());
    EXPECT_EQ(state.library.materialCount(), before) << "the added material taken back";
}

} // namespace

} // namespace mb::test
