// The whole application as a user meets it: the main window with its menus and toolbar,
// the editor window inside it, files chosen in (scripted) dialogs and written to disk.
// Everything is driven through the real widgets, found by their names.

#include "MaterialBrowser.h"
#include "AppState.h"
#include "Application.h"
#include "BaseForm.h"
#include "BaseFormWindow.h"
#include "EditorWindows.h"
#include "ExportFormats.h"
#include "FakeServices.h"
#include "LibraryFile.h"
#include "MDIForm1.h"
#include "QtDocumentLock.h"
#include "QtGrid.h"
#include "QtRecoveryStore.h"
#include "QtTree.h"
#include "TextUtil.h"
#include "UnitConversion.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPointer>
#include <QSignalSpy>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QTreeWidgetItemIterator>
#include <QUrl>
#include <QWidgetAction>

#include <initializer_list>
#include <memory>
#include <string>

namespace mb::test {

namespace {

std::string Lines(std::initializer_list<const char*> lines) {
    std::string text;
    for (const char* line : lines)
        text.append(line).append("\r\n");
    return text;
}

// Property lines as the writer lays them out: code, then the value in IPS, MKS and SI,
// each with its unit label, 97 characters in all.
#define S235_MATL                                                                                  \
    "MATL:S235JR       : Structural Steel S235         :Hot-rolled non-alloy structural steel"
#define S235_EX                                                                                    \
    "EX        3046314E1  psi               2141404E0     Kgf/cm^2         21000E7    N/m^2      " \
    "     "
#define S235_NUXY                                                                                  \
    "NUXY      300000E-6                    300000E-6                      300000E-6             " \
    "     "
#define S235_DENS                                                                                  \
    "DENS      283599E-6  lb/in^3           785000E-8     kg/cm^3          7850000E-3 Kgm/m^3    " \
    "     "
#define AA6061_MATL                                                                                \
    "MATL:AA6061-T6    : Aluminium 6061-T6             :Precipitation hardened, extruded"
#define AA6061_EX                                                                                  \
    "EX        9994811E0  psi               7025845E-1    Kgf/cm^2         689000E5   N/m^2      " \
    "     "
#define AA_NUXY                                                                                    \
    "NUXY      330000E-6                    330000E-6                      330000E-6             " \
    "     "
#define AA6061_DENS                                                                                \
    "DENS      975437E-7  lb/in^3           270000E-8     kg/cm^3          2700000E-3 Kgm/m^3    " \
    "     "
#define AA7075_MATL                                                                                \
    "MATL:AA7075-T6    : Aluminium 7075-T6             :High-strength aircraft alloy"
#define AA7075_EX                                                                                  \
    "EX        1040099E1  psi               7311365E-1    Kgf/cm^2         717000E5   N/m^2      " \
    "     "
#define AA7075_DENS                                                                                \
    "DENS      101518E-6  lb/in^3           281000E-8     kg/cm^3          2810000E-3 Kgm/m^3    " \
    "     "

// Each material's block as the file holds it while the material is unchanged.
#define S235_BLOCK S235_MATL, S235_EX, S235_NUXY, S235_DENS, "ENDMATL"
#define AA6061_BLOCK AA6061_MATL, AA6061_EX, AA_NUXY, AA6061_DENS, "ENDMATL"
#define AA7075_BLOCK AA7075_MATL, AA7075_EX, AA_NUXY, AA7075_DENS, "ENDMATL"

// Material 0 is the steel, 1 and 2 the two aluminium alloys.
const std::string kLibrary = Lines({
    "MATTYPE:Steels",
    S235_BLOCK,
    "ENDTYPE",
    "MATTYPE:Aluminium Alloys",
    AA6061_BLOCK,
    AA7075_BLOCK,
    "ENDTYPE",
});

/// The library with each line `from` replaced by the lines `to`.
std::string LibraryWith(std::initializer_list<std::pair<std::string, std::string>> changes) {
    std::string text = kLibrary;
    for (const auto& [from, to] : changes) {
        const std::size_t at = text.find(from + "\r\n");
        if (at == std::string::npos) {
            QTest::qFail(("no line " + from).c_str(), __FILE__, __LINE__);
            continue;
        }
        text.replace(at, from.size() + 2, to);
    }
    return text;
}

const QString kSteels = QStringLiteral("Steels    ");
const QString kAluminium = QStringLiteral("Aluminium Alloys    ");

} // namespace

class MaterialBrowserTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<fake::FakeMessageBox> messages;
    std::unique_ptr<fake::FakeFileDialogs> dialogs;
    std::unique_ptr<fake::FakeSettingsBackend> settings;
    std::unique_ptr<qt::QtRecoveryStore> recovery;
    std::unique_ptr<qt::QtDocumentLock> locks;
    std::unique_ptr<qt::MaterialBrowser> browser;
    QString libraryPath;

    qt::MDIForm1& mainWindow() { return browser->mainWindow(); }
    BaseFormWindow* editor() { return browser->editors().window(); }
    qt::QtTree* tree() { return editor()->findChild<qt::QtTree*>("TreeView1"); }
    qt::QtGrid* grid() { return editor()->findChild<qt::QtGrid*>("VSFlexGrid1"); }
    const Library& library() { return browser->state().library; }
    QString nameBox() { return editor()->findChild<QLineEdit*>("materialNameText")->text(); }

    void trigger(const char* name) {
        QAction* item = mainWindow().menuItem(QString::fromLatin1(name));
        QVERIFY2(item, name);
        item->trigger();
    }
    /// The enabled state of the toolbar's save and delete buttons, and the menu titles.
    QString bars() {
        QString text;
        for (QAction* a : mainWindow().findChild<QToolBar*>("Toolbar1")->actions())
            if (a->objectName() == "save" || a->objectName() == "deleteMaterial")
                text += a->objectName() + (a->isEnabled() ? " on " : " off ");
        for (QAction* a : mainWindow().menuBar()->actions())
            text += a->text();
        return text;
    }

    /// The file as it is once a save still being written has finished.
    std::string readFile(const QString& path) {
        if (browser) browser->application().lifecycle().waitForSave();
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : "<unreadable>";
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
        for (QTreeWidgetItemIterator it(tree()); *it; ++it)
            if ((*it)->parent() && (*it)->text(0).trimmed() == QLatin1String(name)) return *it;
        return nullptr;
    }
    QPoint pointOf(QTreeWidgetItem* item) {
        tree()->scrollToItem(item);
        return tree()->visualItemRect(item).center();
    }
    void clickNode(QTreeWidgetItem* item) {
        QVERIFY(item);
        QTest::mouseClick(tree()->viewport(), Qt::LeftButton, {}, pointOf(item));
    }

    QTableWidgetItem* cell(const QString& code, int col) {
        for (int r = 0; r < grid()->rowCount(); ++r)
            if (grid()->item(r, 0) && grid()->item(r, 0)->text() == code)
                return grid()->item(r, col);
        return nullptr;
    }
    QString shown(const QString& code) { return cell(code, 2) ? cell(code, 2)->text() : QString(); }
    void clickCell(const QString& code, int col) {
        QVERIFY2(cell(code, col), qPrintable(code));
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {},
                          grid()->visualItemRect(cell(code, col)).center());
    }
    /// Types `text` over the Value cell of `code`, leaving the cell editor open with it.
    QLineEdit* typeIntoCell(const QString& code, const QString& text) {
        clickCell(code, 2);
        auto* cellEditor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        if (!cellEditor) return nullptr;
        cellEditor->selectAll();
        QTest::keyClicks(cellEditor, text);
        return cellEditor;
    }
    /// Types `text` over the Value cell of `code` and leaves by clicking the NUXY row.
    void typeValue(const QString& code, const QString& text) {
        QVERIFY2(typeIntoCell(code, text), "a click in the Value column opens the cell editor");
        clickCell("NUXY", 0);
    }
    void chooseUnitSystem(int index) {
        auto* units = editor()->findChild<QComboBox*>("unitsCombo");
        units->setFocus();
        while (units->currentIndex() < index)
            QTest::keyClick(units, Qt::Key_Down);
    }

    /// Presses the left button on `source`, moves it (which starts the drag through the
    /// tree's own handler) and delivers the drag to `target` as the window system would.
    /// The offscreen platform runs no drag loop of its own, so the drag events are sent here.
    void dragAndDrop(QTreeWidgetItem* source, QTreeWidgetItem* target) {
        QVERIFY(source && target);
        const QPoint from = pointOf(source);
        QTest::mousePress(tree()->viewport(), Qt::LeftButton, {}, from);
        QTest::mouseMove(tree()->viewport(), from + QPoint(6, 0));
        QMimeData mime;
        mime.setData(QStringLiteral("application/x-material-node"), QByteArray());
        const QPoint to = pointOf(target);
        QDragEnterEvent enter(to, Qt::MoveAction, &mime, Qt::LeftButton, {});
        QDragMoveEvent move(to, Qt::MoveAction, &mime, Qt::LeftButton, {});
        QDropEvent drop(to, Qt::MoveAction, &mime, Qt::LeftButton, {});
        for (QEvent* e : std::initializer_list<QEvent*>{&enter, &move, &drop}) {
            QApplication::sendEvent(tree()->viewport(), e);
            QVERIFY(e->isAccepted());
        }
        QTest::mouseRelease(tree()->viewport(), Qt::LeftButton, {}, to);
    }

    /// Types into the label editor that F2 opens on the node, then Return.
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

    /// A browser as the program starts it, with its recovery copies and locks in the
    /// test's folder.
    void startBrowser() {
        recovery = std::make_unique<qt::QtRecoveryStore>(dir->filePath("recovery"));
        locks = std::make_unique<qt::QtDocumentLock>(dir->filePath("locks"));
        browser = std::make_unique<qt::MaterialBrowser>(qt::BrowserServices{
            messages.get(), dialogs.get(), settings.get(), nullptr, recovery.get(), locks.get()});
        browser->show();
        QVERIFY(QTest::qWaitForWindowExposed(&mainWindow()));
    }

    /// Delivers a drag of `files` onto the main window as the window system would; whether
    /// the window took it.
    bool dropFiles(const QStringList& files) {
        QMimeData mime;
        QList<QUrl> urls;
        for (const QString& f : files)
            urls << QUrl::fromLocalFile(f);
        mime.setUrls(urls);
        const QPoint at = mainWindow().rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, {});
        QApplication::sendEvent(&mainWindow(), &enter);
        if (!enter.isAccepted()) return false;
        QDropEvent drop(at, Qt::CopyAction, &mime, Qt::LeftButton, {});
        QApplication::sendEvent(&mainWindow(), &drop);
        return drop.isAccepted();
    }
    /// The File menu's "Recent Files" as the user opens it: "text" of each item, "(grey)"
    /// for a file that has gone.
    QStringList recentFilesShown() {
        auto* menu = mainWindow().findChild<QMenu*>("recentFilesMenu");
        if (!menu) return {"(no menu)"};
        emit menu->aboutToShow();
        QStringList shown;
        for (QAction* a : menu->actions()) {
            auto* gone = qobject_cast<QWidgetAction*>(a);
            shown << (gone ? qobject_cast<QLabel*>(gone->defaultWidget())->text() + " (grey)"
                           : a->text() + (a->isEnabled() ? "" : " (off)"));
        }
        return shown;
    }

    void expectQuestion(std::size_t n, const std::string& text, MsgIcon icon) {
        QVERIFY(messages->questions.size() == n + 1);
        QCOMPARE(messages->questions[n].text, text);
        QCOMPARE(messages->questions[n].icon, icon);
    }

private slots:
    void init() {
        dir = std::make_unique<QTemporaryDir>();
        messages = std::make_unique<fake::FakeMessageBox>();
        dialogs = std::make_unique<fake::FakeFileDialogs>();
        settings = std::make_unique<fake::FakeSettingsBackend>();
        libraryPath = dir->filePath("metals.lib");
        QFile file(libraryPath);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(kLibrary.data(), static_cast<qint64>(kLibrary.size()));
        startBrowser();
    }

    void cleanup() {
        browser.reset();
        recovery.reset();
        locks.reset();
        dir.reset();
    }

    void recentFilesListTheLibrariesOpenedAndForgetAGoneOneWithAMessage() {
        QCOMPARE(recentFilesShown(), QStringList{"(none) (off)"});
        const QString other = dir->filePath("R&D alloys.lib");
        QVERIFY(QFile::copy(libraryPath, other));
        openThroughTheMenu();
        dialogs->queuePath(other.toStdString());
        trigger("fileOpenMenu");
        QCOMPARE(recentFilesShown(),
                 QStringList({"&1 " + dir->filePath("R&&D alloys.lib"), "&2 " + libraryPath}));

        QVERIFY(QFile::remove(libraryPath));
        QCOMPARE(recentFilesShown(), QStringList({"&1 " + dir->filePath("R&&D alloys.lib"),
                                                  "2 " + libraryPath + " (grey)"}));
        auto* menu = mainWindow().findChild<QMenu*>("recentFilesMenu");
        auto* gone = qobject_cast<QWidgetAction*>(menu->actions().at(1));
        QTest::mouseClick(gone->defaultWidget(), Qt::LeftButton);
        QTRY_COMPARE(messages->questions.size(), std::size_t(1));
        expectQuestion(0,
                       libraryPath.toStdString() +
                           " no longer exists. It has been removed from Recent Files.",
                       MsgIcon::Exclamation);
        QCOMPARE(recentFilesShown(), QStringList{"&1 " + dir->filePath("R&&D alloys.lib")});
        QCOMPARE(browser->editors().subWindow()->windowTitle(), other);
        QCOMPARE(dialogs->requests.size(), std::size_t{2}); // no open dialog in its place

        // Another run of the program finds the list where this one left it.
        browser.reset();
        startBrowser();
        QCOMPARE(recentFilesShown(), QStringList{"&1 " + dir->filePath("R&&D alloys.lib")});
        menu = mainWindow().findChild<QMenu*>("recentFilesMenu");
        menu->actions().at(0)->trigger();
        QTRY_VERIFY(editor());
        QCOMPARE(browser->editors().subWindow()->windowTitle(), other);
    }

    void aLibraryDroppedOntoTheWindowOpensAndOtherFilesAreRefused() {
        const QString notes = dir->filePath("notes.txt");
        QVERIFY(QFile::copy(libraryPath, notes));
        QVERIFY(!dropFiles({notes}));
        QVERIFY(!dropFiles({}));
        QVERIFY(dropFiles({notes, libraryPath}));
        QTRY_VERIFY(editor());
        QCOMPARE(browser->editors().subWindow()->windowTitle(), libraryPath);
        QCOMPARE(library().LastMaterialIndex(), 2);
        QVERIFY(dialogs->requests.empty());
        QVERIFY(messages->questions.empty());
    }

    // `matbrowser FILE`: the desktop hands over any file the program was chosen for, and
    // it is taken as a drop of it would be: a workbook, CSV or JSON file is imported (and
    // counts as never saved), a library opens.
    void aFileOnTheCommandLineIsImportedOrOpenedAsADropWouldTakeIt() {
        Library metals;
        QVERIFY(readLibraryText(kLibrary, metals, ".").status == ReadResult::Status::Loaded);
        const std::pair<const char*, ExportFormat> kinds[] = {{"metals.json", ExportFormat::Json},
                                                              {"metals.csv", ExportFormat::Csv},
                                                              {"metals.xlsx", ExportFormat::Xlsx}};
        for (const auto& [name, format] : kinds) {
            const Result<ExportedFile> exported =
                exportText(exportSelection(metals), format, UnitSystemIndex::SI);
            QVERIFY(exported.ok());
            const std::string& bytes = exported->bytes;
            const QString path = dir->filePath(name);
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(bytes.data(), static_cast<qint64>(bytes.size()));
            file.close();

            browser.reset();
            startBrowser();
            browser->openFile(path.toStdString());
            QTRY_VERIFY(editor());
            QCOMPARE(browser->editors().subWindow()->windowTitle(), path);
            QCOMPARE(library().LastMaterialIndex(), 2);
            QCOMPARE(std::string(trimBlanks(library().entry(2).Name)), "Aluminium 7075-T6");
            QVERIFY(browser->state().doc.IsUntitled);
            QCOMPARE(messages->questions.size(), std::size_t{0});
        }
        browser.reset();
        startBrowser();
        browser->openFile(libraryPath.toStdString());
        QTRY_VERIFY(editor());
        QCOMPARE(browser->editors().subWindow()->windowTitle(), libraryPath);
        QVERIFY(!browser->state().doc.IsUntitled);
        QCOMPARE(messages->questions.size(), std::size_t{0});
    }

    // A value still being typed in the grid is saved too, by the toolbar and by Ctrl+S.
    void valuesTypedInTwoSystemsAreSavedInAllThree() {
        settings->put("Unit", "BinaryValue", {SettingsValue::Type::Binary, {1, 0, 0, 0}}); // SI
        openThroughTheMenu();
        QCOMPARE(dialogs->requests.at(0).title, std::string("Open Library File..."));
        QCOMPARE(browser->editors().subWindow()->windowTitle(), libraryPath);
        // The first material is on show, in the stored unit system.
        QCOMPARE(tree()->currentItem(), materialNode("Structural Steel S235"));
        QCOMPARE(nameBox(), QStringLiteral("Structural Steel S235  "));
        QCOMPARE(shown("EX"), QStringLiteral("210000000000"));
        QAction* save = mainWindow().findChild<QToolBar*>("Toolbar1")->findChild<QAction*>("save");
        save->trigger();
        QCOMPARE(readFile(libraryPath), kLibrary); // saved unchanged: the same bytes

        QVERIFY(typeIntoCell("EX", "193000000000"));
        save->trigger();
        const std::string ex193 = Lines({"EX        2799707E1  psi               1968052E0     "
                                         "Kgf/cm^2         19300E7    N/m^2           "});
        QCOMPARE(readFile(libraryPath), LibraryWith({{S235_EX, ex193}}));

        clickNode(materialNode("Aluminium 6061-T6"));
        chooseUnitSystem(2); // MKS(G): kg/cm^3
        QCOMPARE(shown("DENS"), QStringLiteral("0.0027"));
        QLineEdit* cellEditor = typeIntoCell("DENS", "0.00278");
        QVERIFY(cellEditor);
        QTest::keySequence(cellEditor, QKeySequence(QStringLiteral("Ctrl+S")));
        QVERIFY(messages->questions.empty());
        QCOMPARE(dialogs->requests.size(), std::size_t{1}); // the open dialog only
        QCOMPARE(readFile(libraryPath),
                 LibraryWith({{S235_EX, ex193},
                              {AA6061_DENS, Lines({"DENS      100434E-6  lb/in^3           "
                                                   "278000E-8     kg/cm^3          2780000E-3 "
                                                   "Kgm/m^3         "})}}));
    }

    void editorWindowClosesOnlyWhenNotCancelledAndStoresTheUnitsAsItGoes() {
        QCOMPARE(bars(), QStringLiteral("save off deleteMaterial off &File&Help"));
        settings->put("Unit", "BinaryValue", {SettingsValue::Type::Binary, {1, 0, 0, 0}}); // SI
        openThroughTheMenu();
        const int writesAfterOpening = settings->writes; // the recent files' list
        QMdiSubWindow* frame = browser->editors().subWindow();
        messages->queueAnswer(MsgResult::Cancel);
        QVERIFY(!frame->close());
        expectQuestion(0, "Save changes to " + libraryPath.toStdString() + " ?", MsgIcon::Question);
        QCOMPARE(messages->questions[0].buttons, MsgButtons::YesNoCancel);
        QCOMPARE(browser->editors().subWindow(), frame);
        QCOMPARE(bars(), QStringLiteral("save on deleteMaterial on &File&Edit&View&Help"));
        QCOMPARE(settings->writes, writesAfterOpening);
        QCOMPARE(readFile(libraryPath), kLibrary);

        chooseUnitSystem(2);
        messages->queueAnswer(MsgResult::No);
        trigger("fileCloseMenu");
        QVERIFY(!editor());
        QCOMPARE(bars(), QStringLiteral("save off deleteMaterial off &File&Help"));
        QCOMPARE(settings->get("Unit", "BinaryValue").value().data, std::string("\x02\0\0\0", 4));
    }

    void renamingInTheLabelEditorAcceptedAndRefused() {
        openThroughTheMenu();
        QTreeWidgetItem* item = materialNode("Aluminium 7075-T6");
        renameWithF2(item, "  Aluminium 7075-T651 ");
        QVERIFY(messages->questions.empty());
        QCOMPARE(item->text(0), QStringLiteral("Aluminium 7075-T651"));
        QCOMPARE(library().entry(2).Name, std::string("Aluminium 7075-T651"));
        // The name box follows the rename; the grid was rebuilt.
        QCOMPARE(nameBox(), QStringLiteral("Aluminium 7075-T651"));
        QCOMPARE(shown("EX"), QStringLiteral("10400990")); // psi

        item = materialNode("Aluminium 6061-T6");
        renameWithF2(item, "structural steel s235");
        expectQuestion(0, "Material already exits. Please enter a different name!",
                       MsgIcon::Exclamation);
        QCOMPARE(item->text(0), QStringLiteral("Aluminium 6061-T6  "));
        QCOMPARE(library().entry(1).Name, std::string("Aluminium 6061-T6  "));
        // A category's label opens like any other; it is refused when the edit ends.
        renameWithF2(node(kSteels), "Irons");
        QCOMPARE(node(kSteels)->text(0), kSteels);
        expectQuestion(1, "Cannot rename a Category !", MsgIcon::Question);
    }

    void draggingAMaterialOntoAnotherCategoryMovesIt() {
        openThroughTheMenu();
        dragAndDrop(materialNode("Aluminium 6061-T6"), node(kSteels));
        // The moved material became the last one; the one after it moved down.
        QCOMPARE(library().LastMaterialIndex(), int16_t{2});
        QCOMPARE(library().entry(2).Name, std::string("Aluminium 6061-T6  "));
        QCOMPARE(library().entry(2).Category, std::string("Steels    "));
        QCOMPARE(library().entry(1).Name, std::string("Aluminium 7075-T6  "));
        QTreeWidgetItem* steels = node(kSteels);
        QCOMPARE(steels->child(1), tree()->currentItem());
        QCOMPARE(steels->child(1)->text(0), QStringLiteral("Aluminium 6061-T6  "));
        QCOMPARE(node(kAluminium)->childCount(), 1);
    }

    // Ctrl+Z in the window takes a delete back: the material returns, shown and selected,
    // and the category left open stays open; the Edit menu and the toolbar follow.
    void ctrlZUndoesADeleteAndTheTreeKeepsItsOpenCategories() {
        openThroughTheMenu();
        QVERIFY(QTest::qWaitForWindowActive(&mainWindow()));
        // Not the find box above it, which would swallow the editing shortcuts.
        QCOMPARE(QApplication::focusWidget(), tree());
        QAction* undo = mainWindow().menuItem("undoMenu");
        QAction* undoButton =
            mainWindow().findChild<QToolBar*>("Toolbar1")->findChild<QAction*>("undo");
        QVERIFY(undo && undoButton && !undo->isEnabled() && !undoButton->isEnabled());
        node(kAluminium)->setExpanded(true);
        clickNode(materialNode("Structural Steel S235"));
        trigger("delete");
        expectQuestion(0, "Are you sure, you want to delete Structural Steel S235   ?",
                       MsgIcon::Question);
        QCOMPARE(library().LastMaterialIndex(), int16_t{1});
        QVERIFY(node(kAluminium)->isExpanded());
        QCOMPARE(undo->text(), QStringLiteral("Undo Delete Structural Steel S235"));
        QVERIFY(undo->isEnabled() && undoButton->isEnabled());
        QCOMPARE(undoButton->toolTip(), QStringLiteral("Undo Delete Structural Steel S235"));

        QTest::keyClick(tree(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(library().LastMaterialIndex(), int16_t{2});
        QCOMPARE(tree()->currentItem(), materialNode("Structural Steel S235"));
        QCOMPARE(nameBox(), QStringLiteral("Structural Steel S235  "));
        QVERIFY(node(kAluminium)->isExpanded() && node(kSteels)->isExpanded());
        QVERIFY(!undo->isEnabled());
        QCOMPARE(mainWindow().menuItem("redoMenu")->text(),
                 QStringLiteral("Redo Delete Structural Steel S235"));
        QVERIFY2(messages->questions.size() == 1, "the undo asks nothing");
        trigger("saveMenu");
        QCOMPARE(readFile(libraryPath), kLibrary);
    }

    void copiedMaterialIsPastedOnceIntoTheSelectedCategoryAndSaved() {
        openThroughTheMenu();
        clickNode(materialNode("Structural Steel S235"));
        QTest::keySequence(&mainWindow(), QKeySequence(QStringLiteral("Ctrl+C")));
        clickNode(node(kAluminium));
        trigger("pasteMaterial");
        QVERIFY(messages->questions.empty());
        QTreeWidgetItem* copy = materialNode("Copy of Structural Steel S235");
        QVERIFY(copy && copy->parent() == node(kAluminium));
        QCOMPARE(tree()->currentItem(), copy);
        QCOMPARE(nameBox(), QStringLiteral("Copy of Structural Steel S235"));
        trigger("pasteMaterial");
        expectQuestion(0,
                       "Material Name (Copy of Structural Steel S235) exists. Please rename "
                       "it before pasting.",
                       MsgIcon::Exclamation);

        trigger("saveMenu");
        // The copy is the last of its category.
        const std::string expected = LibraryWith(
            {{AA7075_DENS, Lines({AA7075_DENS, "ENDMATL",
                                  "MATL:S235JR       : Copy of Structural Steel S235 :Hot-rolled "
                                  "non-alloy structural steel",
                                  S235_EX, S235_NUXY, S235_DENS})}});
        QCOMPARE(readFile(libraryPath), expected);
    }

    void copyAndPasteKeysInATextBoxStayWithTheBox() {
        openThroughTheMenu();
        auto* box = editor()->findChild<QLineEdit*>("descriptionText");
        box->setFocus();
        QTRY_VERIFY(box->hasFocus());
        box->selectAll();
        QTest::keySequence(box, QKeySequence(QStringLiteral("Ctrl+C")));
        box->clear();
        QTest::keySequence(box, QKeySequence(QStringLiteral("Ctrl+V")));
        QCOMPARE(box->text(), QStringLiteral("Hot-rolled non-alloy structural steel"));
        QCOMPARE(browser->state().doc.CopiedMaterialNumber, int16_t(-1));
        QCOMPARE(library().LastMaterialIndex(), int16_t(2));
    }

    void ctrlSKeepsADescriptionTypedJustBefore() {
        openThroughTheMenu();
        clickNode(materialNode("Aluminium 6061-T6"));
        auto* box = editor()->findChild<QLineEdit*>("descriptionText");
        QTest::mouseClick(box, Qt::LeftButton);
        QTRY_VERIFY(box->hasFocus());
        box->selectAll();
        QTest::keyClicks(box, "Extruded, T6 temper");
        QTest::keySequence(box, QKeySequence(QStringLiteral("Ctrl+S")));
        QVERIFY2(box->hasFocus(), "the shortcut leaves the focus where it was");
        QVERIFY(messages->questions.empty());
        const std::string expected = LibraryWith(
            {{AA6061_MATL,
              Lines({"MATL:AA6061-T6    : Aluminium 6061-T6             :Extruded, T6 temper"})}});
        QCOMPARE(readFile(libraryPath), expected);
    }

    void recoveryIsOfferedAfterACrashAndYesBringsTheLibraryBack() {
        openThroughTheMenu();
        clickNode(materialNode("Aluminium 7075-T6"));
        typeValue("DENS", "0.11");                 // lb/in^3
        browser->application().recovery().check(); // what the timer does every minute
        const QString copy = recovery->copyPath();
        QTRY_VERIFY(QFile::exists(copy));

        // The program dies: its windows go without a question, and its lock file stays
        // with a process number that no longer runs.
        browser.reset();
        recovery.reset();
        locks.reset();
        QFile lock(copy.left(copy.size() - 5) + ".lock");
        QVERIFY(lock.open(QIODevice::WriteOnly));
        lock.write("2147483646\nmatbrowser\n" + QSysInfo::machineHostName().toUtf8() + "\n");
        lock.close();
        QCOMPARE(readFile(libraryPath), kLibrary);

        messages->queueAnswer(MsgResult::Yes);
        startBrowser();
        QTRY_VERIFY(editor());
        QCOMPARE(messages->questions.size(), std::size_t{1});
        const std::string question = messages->questions[0].text;
        const std::string start =
            "Recover the unsaved changes of " + libraryPath.toStdString() + " from ";
        QVERIFY2(question.rfind(start, 0) == 0 && question.size() > start.size() + 1 &&
                     question.back() == '?',
                 question.c_str());
        QCOMPARE(messages->questions[0].buttons, MsgButtons::YesNo);
        QCOMPARE(browser->editors().subWindow()->windowTitle(), libraryPath);
        QVERIFY(!QFile::exists(copy));
        QVERIFY(QFile::exists(recovery->copyPath()));

        trigger("saveMenu");
        QVERIFY(readFile(libraryPath).find("DENS      110000E-6  lb/in^3") != std::string::npos);
        QVERIFY(!QFile::exists(recovery->copyPath()));
        QCOMPARE(messages->questions.size(), std::size_t{1});
    }

    void rightClickOnTheTreePopsUpTheEditMenu() {
        openThroughTheMenu();
        QTreeWidgetItem* shownMaterial = tree()->currentItem();
        QTest::mouseClick(tree()->viewport(), Qt::RightButton, {},
                          pointOf(materialNode("Aluminium 6061-T6")));
        // The selection stays with the material the boxes show, which the menu acts on.
        QCOMPARE(tree()->selectedItems(), QList<QTreeWidgetItem*>{shownMaterial});
        QWidget* popup = QApplication::activePopupWidget();
        QCOMPARE(popup ? popup->objectName() : QString(), QStringLiteral("edit"));
        popup->close();
    }

    // While it is shown, the list of findings follows an edit and its undo, and an edit of
    // one material takes back that material's lines alone: no other line is touched.
    void theCheckListFollowsEditsAndUndo() {
        openThroughTheMenu();
        trigger("checkLibrary");
        auto* list = mainWindow().findChild<QListView*>("findingList");
        QVERIFY(list);
        QAbstractItemModel* model = list->model();
        const auto lines = [model] {
            QStringList out;
            for (int i = 0; i < model->rowCount(); ++i)
                out << model->index(i, 0).data().toString();
            return out;
        };
        const QStringList before = lines();
        clickNode(materialNode("Structural Steel S235"));
        const int edited = editor()->form().CurrentMaterial();
        const auto ofEdited = [model, edited](int row) {
            return model->index(row, 0).data(Qt::UserRole).toInt() == edited;
        };
        QSignalSpy reset(model, &QAbstractItemModel::modelReset);
        QSignalSpy removed(model, &QAbstractItemModel::rowsRemoved);
        QSignalSpy inserted(model, &QAbstractItemModel::rowsInserted);
        typeValue("NUXY", "0.7");
        const QStringList edits = lines();
        QVERIFY2(edits.filter("NUXY = 0.7 is outside").size() == 1 && edits != before,
                 qPrintable(edits.join('\n')));
        QCOMPARE(reset.count(), 0);
        QCOMPARE(inserted.count(), 1);
        const int first = inserted.at(0).at(1).toInt(), last = inserted.at(0).at(2).toInt();
        for (int row = 0; row < model->rowCount(); ++row)
            QCOMPARE(ofEdited(row), row >= first && row <= last);
        QVERIFY(removed.count() <= 1);
        trigger("undoMenu");
        QCOMPARE(lines(), before);
    }
};

} // namespace mb::test

QTEST_MAIN(mb::test::MaterialBrowserTest)
#include "MaterialBrowserTest.moc"
