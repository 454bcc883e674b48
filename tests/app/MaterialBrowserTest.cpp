// The whole application as a user meets it: the main window with its menus and toolbar,
// the editor window inside it, files chosen in (scripted) dialogs and written to disk.
// Everything is driven through the real widgets, found by their names.

#include "FakeServices.h"
#include "app/BaseFormWindow.h"
#include "app/EditorWindows.h"
#include "app/MDIForm1.h"
#include "app/MaterialBrowser.h"
#include "platform/HelpViewer.h"
#include "platform/qt/QtGrid.h"
#include "platform/qt/QtTree.h"
#include "shell/AppState.h"

#include <QAction>
#include <QApplication>
#include <QDragEnterEvent>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidgetItemIterator>

#include <initializer_list>
#include <memory>
#include <string>

namespace mb::test {

namespace {

std::string Lines(std::initializer_list<const char*> lines) {
    std::string text;
    for (const char* line : lines) text.append(line).append("\r\n");
    return text;
}

// Property lines as the writer lays them out: code, then the value in IPS, MKS and SI,
// each with its unit label, 97 characters in all.
#define S235_MATL "MATL:S235JR       : Structural Steel S235         :Hot-rolled non-alloy structural steel"
#define S235_EX   "EX        3046314E1  psi               2141404E0     Kgf/cm^2         21000E7    N/m^2           "
#define S235_NUXY "NUXY      300000E-6                    300000E-6                      300000E-6                  "
#define S235_DENS "DENS      283599E-6  lb/in^3           785000E-8     kg/cm^3          7850000E-3 Kgm/m^3         "
#define AA6061_MATL "MATL:AA6061-T6    : Aluminium 6061-T6             :Precipitation hardened, extruded"
#define AA6061_EX   "EX        9994811E0  psi               7025845E-1    Kgf/cm^2         689000E5   N/m^2           "
#define AA_NUXY     "NUXY      330000E-6                    330000E-6                      330000E-6                  "
#define AA6061_DENS "DENS      975437E-7  lb/in^3           270000E-8     kg/cm^3          2700000E-3 Kgm/m^3         "
#define AA7075_MATL "MATL:AA7075-T6    : Aluminium 7075-T6             :High-strength aircraft alloy"
#define AA7075_EX   "EX        1040099E1  psi               7311365E-1    Kgf/cm^2         717000E5   N/m^2           "
#define AA7075_DENS "DENS      101518E-6  lb/in^3           281000E-8     kg/cm^3          2810000E-3 Kgm/m^3         "

// Material 0 is the steel, 1 and 2 the two aluminium alloys.
const std::string kLibrary = Lines({
    "MATTYPE:Steels", S235_MATL, S235_EX, S235_NUXY, S235_DENS, "ENDMATL", "ENDTYPE",
    "MATTYPE:Aluminium Alloys", AA6061_MATL, AA6061_EX, AA_NUXY, AA6061_DENS, "ENDMATL",
    AA7075_MATL, AA7075_EX, AA_NUXY, AA7075_DENS, "ENDMATL", "ENDTYPE",
});

const QString kSteels = QStringLiteral("Steels    ");
const QString kAluminium = QStringLiteral("Aluminium Alloys    ");

class RecordingHelpViewer final : public HelpViewer {
public:
    void open(const std::string& path) override { opened.push_back(path); }
    std::vector<std::string> opened;
};

} // namespace

class MaterialBrowserTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<fake::FakeMessageBox> messages;
    std::unique_ptr<fake::FakeFileDialogs> dialogs;
    std::unique_ptr<fake::FakeSettingsBackend> settings;
    std::unique_ptr<RecordingHelpViewer> help;
    std::unique_ptr<qt::MaterialBrowser> browser;
    QString libraryPath;

    qt::MDIForm1& mainWindow() { return browser->mainWindow(); }
    BaseFormWindow* editor() { return browser->editors().window(); }
    qt::QtTree* tree() { return editor()->findChild<qt::QtTree*>("TreeView1"); }
    qt::QtGrid* grid() { return editor()->findChild<qt::QtGrid*>("VSFlexGrid1"); }
    QLineEdit* box(const char* name) { return editor()->findChild<QLineEdit*>(name); }

    QAction* menuItem(const char* name) { return mainWindow().menuItem(QString::fromLatin1(name)); }
    QAction* toolbarButton(const char* key) {
        auto* bar = mainWindow().findChild<QToolBar*>("Toolbar1");
        for (QAction* a : bar->actions())
            if (a->objectName() == QLatin1String(key)) return a;
        return nullptr;
    }
    QStringList menuTitles() {
        QStringList titles;
        for (QAction* a : mainWindow().menuBar()->actions()) titles << a->text();
        return titles;
    }

    void trigger(const char* name) {
        QAction* item = menuItem(name);
        QVERIFY2(item, name);
        item->trigger();
    }

    QString writeFixture(const QString& name, const std::string& text) {
        const QString path = dir->filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly)) return {};
        file.write(text.data(), static_cast<qint64>(text.size()));
        return path;
    }

    static std::string readFile(const QString& path) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) return "<cannot read " + path.toStdString() + ">";
        return file.readAll().toStdString();
    }

    // The unit system a previous run left in the settings: 0 IPS, 1 SI, 2 MKS(G).
    void storeUnitSystem(char index) {
        settings->put("Unit", "BinaryValue",
                      {SettingsValue::Type::Binary, std::string{index, 0, 0, 0}});
    }

    void openThroughTheMenu() {
        dialogs->queuePath(libraryPath.toStdString());
        trigger("fileOpenMenu");
        QVERIFY(editor());
        QVERIFY(QTest::qWaitForWindowExposed(editor()));
    }

    QTreeWidgetItem* node(const QString& key) {
        return tree()->itemForKey(key.toLatin1().toStdString());
    }
    /// The node of a material by its visible name (the reader keeps two blanks after it).
    QTreeWidgetItem* materialNode(const char* name) {
        QTreeWidgetItem* match = nullptr;
        for (QTreeWidgetItemIterator it(tree()); *it; ++it)
            if ((*it)->parent() && (*it)->text(0).trimmed() == QLatin1String(name)) {
                if (match) return nullptr;
                match = *it;
            }
        return match;
    }
    QPoint pointOf(QTreeWidgetItem* item) {
        tree()->scrollToItem(item);
        return tree()->visualItemRect(item).center();
    }
    void clickNode(QTreeWidgetItem* item) {
        QVERIFY(item);
        QTest::mouseClick(tree()->viewport(), Qt::LeftButton, {}, pointOf(item));
    }

    int rowOf(const QString& code) {
        for (int r = 0; r < grid()->rowCount(); ++r)
            if (grid()->item(r, 0) && grid()->item(r, 0)->text() == code) return r;
        return -1;
    }
    QString shown(const QString& code) {
        const int r = rowOf(code);
        return r < 0 || !grid()->item(r, 2) ? QString() : grid()->item(r, 2)->text();
    }
    void clickCell(int tableRow, int col) {
        QTableWidgetItem* item = grid()->item(tableRow, col);
        QVERIFY(item);
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {},
                          grid()->visualItemRect(item).center());
    }
    /// Clicks the Value cell of `code`, types `text` over it and leaves by clicking the
    /// Property cell of `leaveTo`.
    void typeValue(const QString& code, const QString& text, const QString& leaveTo) {
        const int row = rowOf(code);
        QVERIFY2(row >= 0, qPrintable(code));
        clickCell(row, 2);
        auto* cellEditor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        QVERIFY2(cellEditor, "a click in the Value column opens the cell editor");
        cellEditor->selectAll();
        QTest::keyClicks(cellEditor, text);
        clickCell(rowOf(leaveTo), 0);
    }

    /// Presses the left button on `source`, moves it (which starts the drag through the
    /// tree's own handler) and delivers the drag to `target` as the window system would:
    /// enter, move and drop at the centre of the target's label. The offscreen platform
    /// runs no drag loop of its own, so the drag events are sent here.
    void dragAndDrop(QTreeWidgetItem* source, QTreeWidgetItem* target) {
        QVERIFY(source && target);
        tree()->expandAll();
        const QPoint from = pointOf(source);
        QTest::mousePress(tree()->viewport(), Qt::LeftButton, {}, from);
        QTest::mouseMove(tree()->viewport(), from + QPoint(6, 0));

        QMimeData mime;
        mime.setData(QStringLiteral("application/x-material-node"), QByteArray());
        const QPoint to = pointOf(target);
        QDragEnterEvent enter(to, Qt::MoveAction, &mime, Qt::LeftButton, {});
        QApplication::sendEvent(tree()->viewport(), &enter);
        QVERIFY(enter.isAccepted());
        QDragMoveEvent move(to, Qt::MoveAction, &mime, Qt::LeftButton, {});
        QApplication::sendEvent(tree()->viewport(), &move);
        QVERIFY(move.isAccepted());
        const auto highlighted = tree()->dropHighlight();
        QVERIFY(highlighted && tree()->itemForKey(*highlighted) == target);
        QDropEvent drop(to, Qt::MoveAction, &mime, Qt::LeftButton, {});
        QApplication::sendEvent(tree()->viewport(), &drop);
        QVERIFY(drop.isAccepted());
        QTest::mouseRelease(tree()->viewport(), Qt::LeftButton, {}, to);
    }

    void chooseUnitSystem(int index) {
        auto* units = editor()->findChild<QComboBox*>("unitsCombo");
        units->setFocus();
        while (units->currentIndex() < index) QTest::keyClick(units, Qt::Key_Down);
        while (units->currentIndex() > index) QTest::keyClick(units, Qt::Key_Up);
    }

    /// Types into the label editor that F2 opens on the material node, then Return.
    void renameWithF2(QTreeWidgetItem* item, const QString& text) {
        clickNode(item);
        tree()->setFocus();
        QTest::keyClick(tree(), Qt::Key_F2);
        auto* labelEditor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        QVERIFY2(labelEditor, "F2 opens the label editor");
        labelEditor->selectAll();
        QTest::keyClicks(labelEditor, text);
        const QPointer<QLineEdit> open(labelEditor);
        QTest::keyClick(labelEditor, Qt::Key_Return);
        // The delegate commits the text once the key event is over.
        QTRY_VERIFY(!open || !open->isVisible());
    }

    const fake::FakeMessageBox::Question& onlyQuestion() {
        static const fake::FakeMessageBox::Question none{"<no question>", MsgButtons::OK,
                                                         MsgIcon::None, ""};
        return messages->questions.size() == 1 ? messages->questions.front() : none;
    }

private slots:
    void init() {
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(dir->isValid());
        messages = std::make_unique<fake::FakeMessageBox>();
        dialogs = std::make_unique<fake::FakeFileDialogs>();
        settings = std::make_unique<fake::FakeSettingsBackend>();
        help = std::make_unique<RecordingHelpViewer>();
        libraryPath = writeFixture("metals.lib", kLibrary);
        QVERIFY(!libraryPath.isEmpty());
        browser = std::make_unique<qt::MaterialBrowser>(
            qt::BrowserServices{messages.get(), dialogs.get(), settings.get(), help.get()});
        browser->show();
        QVERIFY(QTest::qWaitForWindowExposed(&mainWindow()));
    }

    void cleanup() {
        browser.reset();
        dir.reset();
    }

    // Opening, editing and saving.

    void openedLibraryShowsItsTreeInTheEditorWindow() {
        openThroughTheMenu();
        QCOMPARE(dialogs->requests.size(), std::size_t{1});
        QCOMPARE(dialogs->requests[0].title, std::string("Open Library File..."));
        QCOMPARE(browser->editors().subWindow()->windowTitle(), libraryPath);
        QCOMPARE(tree()->topLevelItemCount(), 2);
        QCOMPARE(tree()->topLevelItem(0)->text(0), kSteels);
        QCOMPARE(tree()->topLevelItem(1)->text(0), kAluminium);
        QCOMPARE(node(kAluminium)->childCount(), 2);
        QVERIFY(tree()->isVisible());
        QCOMPARE(box("materialNameText")->text(), QStringLiteral("Structural Steel S235  "));
        // The first material is selected and its values are in the grid, in IPS.
        QCOMPARE(tree()->currentItem(), materialNode("Structural Steel S235"));
        QVERIFY(grid()->isVisible());
        QCOMPARE(shown("EX"), QStringLiteral("30463140"));
    }

    void valueTypedInTheGridIsSavedInAllThreeSystems() {
        storeUnitSystem(1); // SI
        openThroughTheMenu();
        clickNode(materialNode("Structural Steel S235"));
        QCOMPARE(shown("EX"), QStringLiteral("210000000000"));
        typeValue("EX", "193000000000", "NUXY");
        QCOMPARE(shown("EX"), QStringLiteral("193000000000"));

        // A second value typed in kg/cm^3 while the display is in MKS(G).
        clickNode(materialNode("Aluminium 6061-T6"));
        chooseUnitSystem(2);
        QCOMPARE(shown("DENS"), QStringLiteral("0.0027"));
        typeValue("DENS", "0.00278", "NUXY");

        trigger("saveMenu");
        QVERIFY(messages->questions.empty());
        QCOMPARE(dialogs->requests.size(), std::size_t{1}); // the open dialog only
        const std::string expected = Lines({
            "MATTYPE:Steels", S235_MATL,
            "EX        2799707E1  psi               1968052E0     Kgf/cm^2         19300E7    N/m^2           ",
            S235_NUXY, S235_DENS, "ENDMATL", "ENDTYPE",
            "MATTYPE:Aluminium Alloys", AA6061_MATL, AA6061_EX, AA_NUXY,
            "DENS      100434E-6  lb/in^3           278000E-8     kg/cm^3          2780000E-3 Kgm/m^3         ",
            "ENDMATL", AA7075_MATL, AA7075_EX, AA_NUXY, AA7075_DENS, "ENDMATL", "ENDTYPE",
        });
        QCOMPARE(readFile(libraryPath), expected);
    }

    void savingWithoutChangesWritesTheSameBytes() {
        openThroughTheMenu();
        QAction* save = toolbarButton("save");
        QVERIFY(save);
        save->trigger();
        QCOMPARE(readFile(libraryPath), kLibrary);
    }

    void startingWithAFileOpensIt() {
        browser->openFile(libraryPath.toStdString());
        QVERIFY(editor());
        QVERIFY(dialogs->requests.empty());
        QCOMPARE(browser->editors().subWindow()->windowTitle(), libraryPath);
        QCOMPARE(tree()->topLevelItemCount(), 2);
        QVERIFY(browser->state().doc.DocumentOpen);
        QVERIFY(!browser->state().doc.IsUntitled);
    }

    void fileThatIsNotALibraryIsRefusedAndTheDialogComesBack() {
        const QString notes = writeFixture("notes.lib", Lines({"Some notes", "MATTYPE:Late"}));
        dialogs->queuePath(notes.toStdString());
        dialogs->queuePath(std::nullopt);
        trigger("fileOpenMenu");
        QCOMPARE(onlyQuestion().text, std::string("This file is not a VELTRA/M material library file!"));
        QCOMPARE(onlyQuestion().icon, MsgIcon::Exclamation);
        QCOMPARE(dialogs->requests.size(), std::size_t{2});
    }

    // The editor window's life inside the main window.

    void toolbarAndMenusFollowTheEditorWindow() {
        QVERIFY(!toolbarButton("save")->isEnabled());
        QVERIFY(!toolbarButton("deleteMaterial")->isEnabled());
        QVERIFY(toolbarButton("open")->isEnabled());
        QCOMPARE(menuTitles(), QStringList({"&File", "&Help"}));
        QCOMPARE(menuItem("fileOpenMenu")->text(), QStringLiteral("&Open...   "));

        openThroughTheMenu();
        QVERIFY(toolbarButton("save")->isEnabled());
        QVERIFY(toolbarButton("deleteMaterial")->isEnabled());
        QCOMPARE(menuTitles(), QStringList({"&File", "&Edit", "&View", "&Help"}));
        QCOMPARE(menuItem("fileOpenMenu")->text(), QStringLiteral("&Open..."));
        QCOMPARE(menuItem("delete")->text(), QStringLiteral("&Delete "));

        messages->queueAnswer(MsgResult::No);
        trigger("fileCloseMenu");
        QCOMPARE(onlyQuestion().text, "Save changes to " + libraryPath.toStdString() + " ?");
        QVERIFY(!editor());
        QVERIFY(!toolbarButton("save")->isEnabled());
        QVERIFY(!toolbarButton("deleteMaterial")->isEnabled());
        QCOMPARE(menuTitles(), QStringList({"&File", "&Help"}));
        QCOMPARE(menuItem("fileNewMenu")->text(), QStringLiteral("&New   "));
    }

    void closingTheEditorAnsweredCancelKeepsIt() {
        storeUnitSystem(2);
        openThroughTheMenu();
        QMdiSubWindow* frame = browser->editors().subWindow();
        messages->queueAnswer(MsgResult::Cancel);
        QVERIFY(!frame->close());
        QCOMPARE(onlyQuestion().text, "Save changes to " + libraryPath.toStdString() + " ?");
        QCOMPARE(onlyQuestion().buttons, MsgButtons::YesNoCancel);
        QCOMPARE(onlyQuestion().icon, MsgIcon::Question);
        QCOMPARE(browser->editors().subWindow(), frame);
        QVERIFY(frame->isVisible());
        QVERIFY(toolbarButton("save")->isEnabled());
        QCOMPARE(menuTitles(), QStringList({"&File", "&Edit", "&View", "&Help"}));
        QCOMPARE(settings->writes, 0);
        QCOMPARE(readFile(libraryPath), kLibrary);
    }

    void closingTheEditorAnsweredNoStoresTheUnitSystem() {
        openThroughTheMenu();
        chooseUnitSystem(2);
        messages->queueAnswer(MsgResult::No);
        QVERIFY(browser->editors().subWindow()->close() || !editor());
        QVERIFY(!editor());
        const auto stored = settings->get("Unit", "BinaryValue");
        QVERIFY(stored);
        QCOMPARE(stored->data, std::string("\x02\0\0\0", 4));
    }

    // Renaming in the tree.

    void renamingAMaterialInItsLabelEditor() {
        openThroughTheMenu();
        QTreeWidgetItem* item = materialNode("Aluminium 7075-T6");
        renameWithF2(item, "  Aluminium 7075-T651 ");
        QVERIFY(messages->questions.empty());
        QCOMPARE(item->text(0), QStringLiteral("Aluminium 7075-T651"));
        QCOMPARE(browser->state().library.Entry(2).Name, std::string("Aluminium 7075-T651"));
        // The boxes keep what the click showed; the grid was rebuilt.
        QCOMPARE(box("materialNameText")->text(), QStringLiteral("Aluminium 7075-T6  "));
        QCOMPARE(shown("EX"), QStringLiteral("10400990")); // psi
    }

    void renameToAnExistingNameIsRefused() {
        openThroughTheMenu();
        QTreeWidgetItem* item = materialNode("Aluminium 7075-T6");
        renameWithF2(item, "structural steel s235");
        QCOMPARE(onlyQuestion().text,
                 std::string("Material already exits. Please enter a different name!"));
        QCOMPARE(onlyQuestion().icon, MsgIcon::Exclamation);
        QCOMPARE(item->text(0), QStringLiteral("Aluminium 7075-T6  "));
        QCOMPARE(browser->state().library.Entry(2).Name, std::string("Aluminium 7075-T6  "));
    }

    void renamingACategoryIsRefused() {
        openThroughTheMenu();
        QTreeWidgetItem* category = node(kSteels);
        renameWithF2(category, "Irons");
        QCOMPARE(onlyQuestion().text, std::string("Cannot rename a Category !"));
        QCOMPARE(onlyQuestion().icon, MsgIcon::Question);
        QCOMPARE(category->text(0), kSteels);
    }

    // Drag and drop.

    void draggingAMaterialOntoAnotherCategoryMovesIt() {
        openThroughTheMenu();
        dragAndDrop(materialNode("Aluminium 6061-T6"), node(kSteels));
        QCOMPARE(browser->state().doc.DraggedNodeKey,
                 std::string("Aluminium Alloys    Aluminium 6061-T6  0001"));

        // The moved material became the last one; the one after it moved down.
        const Library& library = browser->state().library;
        QCOMPARE(library.LastMaterialIndex, int16_t{2});
        QCOMPARE(library.Entry(2).Name, std::string("Aluminium 6061-T6  "));
        QCOMPARE(library.Entry(2).Category, std::string("Steels    "));
        QCOMPARE(library.Entry(1).Name, std::string("Aluminium 7075-T6  "));
        QTreeWidgetItem* steels = node(kSteels);
        QCOMPARE(steels->childCount(), 2);
        QCOMPARE(steels->child(1)->text(0), QStringLiteral("Aluminium 6061-T6  "));
        QCOMPARE(steels->child(1), tree()->currentItem());
        QCOMPARE(node(kAluminium)->childCount(), 1);
    }

    void droppingOnASiblingMaterialChangesNothing() {
        openThroughTheMenu();
        dragAndDrop(materialNode("Aluminium 6061-T6"), materialNode("Aluminium 7075-T6"));
        QCOMPARE(browser->state().library.Entry(1).Name, std::string("Aluminium 6061-T6  "));
        QCOMPARE(node(kAluminium)->child(0)->text(0), QStringLiteral("Aluminium 6061-T6  "));
        QCOMPARE(node(kAluminium)->child(1)->text(0), QStringLiteral("Aluminium 7075-T6  "));
    }

    void categoriesCannotBeDragged() {
        openThroughTheMenu();
        const QPoint from = pointOf(node(kSteels));
        QTest::mousePress(tree()->viewport(), Qt::LeftButton, {}, from);
        QTest::mouseMove(tree()->viewport(), from + QPoint(6, 0));
        QTest::mouseRelease(tree()->viewport(), Qt::LeftButton, {}, from + QPoint(6, 0));
        QCOMPARE(browser->state().doc.DraggedNodeKey, std::string());
    }

    // Copy and paste.

    void copiedMaterialIsPastedIntoTheSelectedCategoryAndSaved() {
        openThroughTheMenu();
        clickNode(materialNode("Structural Steel S235"));
        trigger("copyMaterial");
        clickNode(node(kAluminium));
        trigger("pasteMaterial");
        QVERIFY(messages->questions.empty());
        QTreeWidgetItem* copy = materialNode("Copy of Structural Steel S235");
        QVERIFY(copy);
        QCOMPARE(copy->parent(), node(kAluminium));
        QCOMPARE(tree()->currentItem(), copy);
        QCOMPARE(box("materialNameText")->text(), QStringLiteral("Copy of Structural Steel S235"));

        trigger("saveMenu");
        const std::string expected = Lines({
            "MATTYPE:Steels", S235_MATL, S235_EX, S235_NUXY, S235_DENS, "ENDMATL", "ENDTYPE",
            "MATTYPE:Aluminium Alloys", AA6061_MATL, AA6061_EX, AA_NUXY, AA6061_DENS, "ENDMATL",
            AA7075_MATL, AA7075_EX, AA_NUXY, AA7075_DENS, "ENDMATL",
            "MATL:S235JR       : Copy of Structural Steel S235 :Hot-rolled non-alloy structural steel",
            S235_EX, S235_NUXY, S235_DENS, "ENDMATL", "ENDTYPE",
        });
        QCOMPARE(readFile(libraryPath), expected);
    }

    void secondPasteOfTheSameMaterialIsRefused() {
        openThroughTheMenu();
        clickNode(materialNode("Structural Steel S235"));
        QTest::keySequence(&mainWindow(), QKeySequence(QStringLiteral("Ctrl+C")));
        clickNode(node(kAluminium));
        trigger("pasteMaterial");
        trigger("pasteMaterial");
        QCOMPARE(onlyQuestion().text,
                 std::string("Material Name (Copy of Structural Steel S235) exists. Please rename "
                             "it before pasting."));
        QCOMPARE(browser->state().library.LastMaterialIndex, int16_t{3});
    }

    // Pop-up menus.

    void rightClickOnTheTreePopsUpTheEditMenu() {
        openThroughTheMenu();
        QTreeWidgetItem* shownMaterial = tree()->currentItem();
        QTest::mouseClick(tree()->viewport(), Qt::RightButton, {},
                          pointOf(materialNode("Aluminium 6061-T6")));
        // The selection stays with the material the boxes show, which the menu acts on.
        QCOMPARE(tree()->currentItem(), shownMaterial);
        QCOMPARE(tree()->selectedItems(), QList<QTreeWidgetItem*>{shownMaterial});
        auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY2(popup, "a pop-up menu is open");
        QVERIFY(popup->isVisible());
        QCOMPARE(popup->objectName(), QStringLiteral("edit"));
        QStringList captions;
        for (QAction* a : popup->actions()) captions << a->text();
        QCOMPARE(captions, QStringList({"&New", "&Clear", "&Reset", "&Delete ", "&Copy", "&Paste"}));
        popup->close();
    }
};

} // namespace mb::test

QTEST_MAIN(mb::test::MaterialBrowserTest)
#include "MaterialBrowserTest.moc"
