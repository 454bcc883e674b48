// Copy and Paste through the desktop's clipboard: what Copy puts there, and when Paste takes
// a material another program copied instead of the one copied inside the window.

#include "MaterialClipboard.h"
#include "EditorFixture.h"
#include "FakeClipboard.h"
#include "LibraryFile.h"

namespace mb::test {
namespace {

/// A material's block as the library writer writes it.
std::string BlockOf(const std::string& name, const std::string& nameCode,
                    const std::string& description,
                    const std::vector<std::pair<const char*, double>>& values) {
    clsMaterial m;
    m.MaterialName(name);
    m.MaterialNameCode(nameCode);
    m.MaterialDescription(description);
    for (const auto& [code, si] : values)
        m.CopyProperty(code, si);
    std::string block;
    m.format(block);
    return block;
}

const std::string kS355 =
    BlockOf("S355", "EN 10025", "fine grain", {{"EX", 2.1e11}, {"NUXY", 0.3}, {"DENS", 7850}});

class MaterialClipboardTest : public EditorFixture {
protected:
    /// Another program copies `block`, later than anything before.
    void OtherCopies(const std::string& block) {
        ++clock;
        other.putMaterial(block, "");
    }
    std::string Clip() { return clipboard.forms.at(kMaterialMimeType); }
    /// Pastes with the category `category` selected.
    void PasteInto(const std::string& category) {
        ClickCategory(category);
        window.onPasteMaterial();
    }

    fake::FakeClipboard clipboard;
    std::int64_t clock = 1000;
    MaterialClipboard own{clipboard, [this] { return clock; }, std::string("boot-1")};
    MaterialClipboard other{clipboard, [this] { return clock; }, std::string("boot-1")};
    EditingCommands window{state, editor.form, editor.messageBox, &own};
};

TEST_F(MaterialClipboardTest, CopyPutsTheBlockAsASaveWritesItAndTheRowsAsShown) {
    state.doc.DecimalSeparator = ",";
    library().material(1).CopyProperty("NUXY", 0.33); // an edit never saved goes along
    ClickMaterial(1);
    clock = 5000;
    window.onCopyMaterial();
    EXPECT_EQ(state.doc.CopiedMaterialNumber, 1);
    EXPECT_EQ(library().material(1).MaterialNameCode(), "") << "copying gives no name code";

    const std::string saved = libraryText(library(), groupByCategory(library()));
    const std::size_t at = saved.find("MATL:6061");
    ASSERT_NE(at, std::string::npos);
    const std::string block = saved.substr(at, saved.find("ENDMATL\r\n", at) + 9 - at);
    EXPECT_EQ(Clip(), "MATBROWSER-MATERIAL 1\r\nOrigin: " + own.origin() +
                          "\r\nBoot: boot-1\r\nCopied: 5000\r\n" + block);

    // The grid's cells, line by line, as the user sees them.
    const std::string shown = clipboard.forms.at("text/plain");
    EXPECT_EQ(shown.substr(0, shown.find('\n', shown.find('\n') + 1) + 1),
              "Property\tDescription\tValue\tUnits\nEX\tElasticity modulus (1st "
              "dir)\t69000000000\tN/m^2\n");
    EXPECT_NE(shown.find("\nNUXY\tPoisson's ratio in XY dir.\t0,33\t\n"), std::string::npos)
        << shown;
}

// A foreign material takes the paste of the window's own copy from there on: its rules for
// taken names, long texts and a full library are that paste's, and tested with it.
TEST_F(MaterialClipboardTest, AForeignMaterialIsPastedWithItsValuesAsOneEdit) {
    OtherCopies(kS355);
    PasteInto("Copper");
    const LibraryEntry& e = library().entry(5);
    clsMaterial& record = library().material(5);
    clsMaterial& shadow = library().shadow(5);
    EXPECT_EQ((Texts{e.Category, e.Name, e.NameCode, e.Description, record.MaterialName(),
                     shadow.MaterialType()}),
              (Texts{"Copper    ", "Copy of S355", "EN 10025     ", "fine grain", "Copy of S355",
                     "Copper    "}));
    EXPECT_EQ((std::vector{ValueOf(record, "EX"), ValueOf(record, "NUXY"), ValueOf(shadow, "DENS"),
                           ValueOf(record, "GXY")}),
              (std::vector<std::optional<double>>{2.1e11, 0.3, 7850, std::nullopt}));
    EXPECT_EQ(tree().selectedKey(), "Copper    Copy of S3550005");
    EXPECT_EQ(editor.VSFlexGrid1.textMatrix(1, 2), "210000000000") << "the copy is shown";
    EXPECT_EQ(state.history.undoLabel(), "Paste Copy of S355");
    window.undo();
    EXPECT_EQ(library().LastMaterialIndex(), 4);
}

// Paste takes the clipboard's material only when another program copied it after this
// window's last Copy; otherwise it pastes as it always has.
TEST_F(MaterialClipboardTest, TheCopyMadeLastWins) {
    OtherCopies(kS355);
    const std::string staleForeign = Clip();
    ++clock;
    ClickMaterial(0);
    window.onCopyMaterial();
    const std::string ownCopy = Clip();
    PasteInto("Copper"); // the clipboard holds this window's own copy
    EXPECT_EQ(library().entry(5).Name, "Copy of A36");
    EXPECT_EQ(ValueOf(library().material(5), "EX"), 2.0e11);

    // A clipboard history puts the older copy back; one from an earlier boot, however late
    // its clock, and one whose header cannot be read lose to this window's copy too.
    std::string otherBoot = staleForeign;
    otherBoot.replace(otherBoot.find("boot-1"), 6, "boot-0");
    otherBoot.replace(otherBoot.find("Copied: "), 12, "Copied: 9999999");
    for (const std::string& older : {staleForeign, otherBoot, std::string("no header")}) {
        library().renameMaterial(library().LastMaterialIndex(), "Pasted before");
        clipboard.holdOnly({{kMaterialMimeType, older}});
        PasteInto("Copper");
        const int last = library().LastMaterialIndex();
        EXPECT_EQ((std::pair{library().entry(last).Name, ValueOf(library().material(last), "EX")}),
                  (std::pair{std::string("Copy of A36"), std::optional<double>(2.0e11)}))
            << older;
        EXPECT_TRUE(editor.messageBox.questions.empty());
    }
    EXPECT_EQ(library().LastMaterialIndex(), 8);

    // Deleting clears the copy inside the window; the clipboard's own copy does not stand in.
    clipboard.holdOnly({{kMaterialMimeType, ownCopy}});
    Delete(4);
    editor.messageBox.questions.clear();
    PasteInto("Steel");
    EXPECT_EQ(library().LastMaterialIndex(), 7);
    // A refused Copy is newer than what the clipboard held before it.
    OtherCopies(kS355);
    ++clock;
    ClickCategory("Steel");
    window.onCopyMaterial();
    ExpectOnlyMessage("Cannot copy a Category !", MsgButtons::OK, MsgIcon::Exclamation);
    PasteInto("Steel");
    EXPECT_EQ(library().LastMaterialIndex(), 7);
    EXPECT_TRUE(editor.messageBox.questions.empty());

    OtherCopies(kS355);
    PasteInto("Steel");
    EXPECT_EQ(library().entry(8).Name, "Copy of S355");
}

// A clipboard that holds something under the material's form that is not a block this
// program wrote: refused with the reason, and the library stays as it was.
TEST_F(MaterialClipboardTest, AMaterialThatDoesNotReadIsRefusedWithItsReason) {
    OtherCopies(kS355);
    const std::string good = Clip();
    const std::size_t header = good.find("MATL:");
    const std::string head = good.substr(0, header);
    const std::size_t ex = good.find("EX  ");
    const auto changed = [&](std::size_t at, std::size_t count, const std::string& by) {
        return std::string(good).replace(at, count, by);
    };
    const std::string block = "The material on the clipboard cannot be pasted: ";
    const std::pair<std::string, std::string> cases[] = {
        {"MATL:anything",
         "it does not begin with the header this program writes "
         "(\"MATBROWSER-MATERIAL 1\", then its origin, boot and time of copying)."},
        {changed(good.find("Copied: ") + 8, 4, "12x4"),
         "it does not begin with the header this program writes "
         "(\"MATBROWSER-MATERIAL 1\", then its origin, boot and time of copying)."},
        {head + "ENDMATL\r\n", "line 5 is not a material line (\"MATL:\", the name code, the "
                               "name and the description in their columns)."},
        {changed(header + 18, 1, " "), "line 5 is not a material line (\"MATL:\", the name code, "
                                       "the name and the description in their columns)."},
        {changed(ex, 3, "XYZ"), "line 6 names no property: \"XYZ\"."},
        {changed(ex, 2, "\t\x01"), "line 6 names no property: \" \"."},
        {changed(ex + 69, 3, "abc"), "line 6 holds no SI value that can be read."},
        {good.substr(0, good.find("ENDMATL")), "the material's block ends without \"ENDMATL\"."},
        {good + "MATL:second", "line 10 follows the end of the material's block."},
        {good + std::string(64 * 1024, ' '),
         "it is larger than 64 KiB, far more than any material takes."},
    };
    for (const auto& [clip, reason] : cases) {
        ++clock;
        clipboard.holdOnly({{kMaterialMimeType, clip}});
        PasteInto("Copper");
        ExpectOnlyMessage(block + reason, MsgButtons::OK, MsgIcon::Exclamation);
        EXPECT_EQ(library().LastMaterialIndex(), 4) << reason;
        EXPECT_FALSE(state.history.canUndo()) << reason;
    }
}

TEST(MaterialClipTest, EveryPropertyAMaterialCanHoldTravelsWithIt) {
    clsMaterial everything;
    everything.MaterialName("Everything");
    std::vector<int> slots;
    for (int slot = 0; slot < kVisitedSlots; ++slot)
        if (!PropertyCatalogue::instance().PropCode(slot).empty()) slots.push_back(slot);
    for (const int slot : slots)
        everything.setSlotValue(slot, (slot % 2 ? -1.0 : 1.0) * (1.0 + slot) * 1.0e-3);
    std::string block;
    everything.format(block);

    const auto read = readMaterialClip(materialClipText({"x", "", 1}, block));
    ASSERT_TRUE(std::holds_alternative<ClipMaterial>(read)) << std::get<std::string>(read);
    // The values are the library reader's, whose round trip LibraryWriterTest pins.
    const clsMaterial& record = std::get<ClipMaterial>(read).record;
    for (int slot = 0; slot < kVisitedSlots; ++slot)
        EXPECT_EQ(record.HasValue(slot), everything.HasValue(slot)) << slot;
}

} // namespace
} // namespace mb::test
