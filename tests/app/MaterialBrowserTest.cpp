// The whole application as a user meets it across its windows and runs: the recent files,
// files dropped or named on the command line, the keys that save, copy and paste, and the
// Check Library list following the edits.

#include "ExportFormats.h"
#include "QtDocumentLock.h"
#include "QtRecoveryStore.h"
#include "RunningBrowser.h"
#include "TextUtil.h"

#include <QDragEnterEvent>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QMimeData>
#include <QSignalSpy>
#include <QToolBar>
#include <QUrl>
#include <QWidgetAction>

#include <memory>
#include <string>

namespace mb::test {

class MaterialBrowserTest : public QObject, RunningBrowser {
    Q_OBJECT

    std::unique_ptr<qt::QtRecoveryStore> recovery;
    std::unique_ptr<qt::QtDocumentLock> locks;
    QString libraryPath;

    qt::MDIForm1& mainWindow() { return browser->mainWindow(); }
    QAction* toolbarButton(const char* name) {
        return mainWindow().findChild<QToolBar*>("Toolbar1")->findChild<QAction*>(name);
    }
    /// The file as it is once a save still being written has finished.
    std::string readFile(const QString& path) {
        if (browser) browser->application().lifecycle().waitForSave();
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : "<unreadable>";
    }
    /// A browser as the program starts it, with its recovery copies and locks in the
    /// test's folder.
    void restart() {
        browser.reset();
        recovery = std::make_unique<qt::QtRecoveryStore>(dir->filePath("recovery"));
        locks = std::make_unique<qt::QtDocumentLock>(dir->filePath("locks"));
        launch(messages.get(), recovery.get(), locks.get());
    }
    void open() {
        dialogs->queuePath(libraryPath.toStdString());
        command("fileOpenMenu");
        QVERIFY(editor());
        QVERIFY(QTest::qWaitForWindowExposed(editor()));
        tree()->expandAll();
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
private slots:
    void init() {
        RunningBrowser::init();
        libraryPath = writeMetals();
        restart();
    }
    void cleanup() {
        browser.reset();
        recovery.reset();
        locks.reset();
        RunningBrowser::cleanup();
    }

    void recentFilesListTheLibrariesOpenedAndForgetAGoneOneWithAMessage() {
        QCOMPARE(recentFilesShown(), QStringList{"(none) (off)"});
        const QString other = dir->filePath("R&D alloys.lib");
        QVERIFY(QFile::copy(libraryPath, other));
        open();
        dialogs->queuePath(other.toStdString());
        command("fileOpenMenu");
        const QString first = "&1 " + dir->filePath("R&&D alloys.lib");
        QCOMPARE(recentFilesShown(), QStringList({first, "&2 " + libraryPath}));

        QVERIFY(QFile::remove(libraryPath));
        QCOMPARE(recentFilesShown(), QStringList({first, "2 " + libraryPath + " (grey)"}));
        auto* menu = mainWindow().findChild<QMenu*>("recentFilesMenu");
        auto* gone = qobject_cast<QWidgetAction*>(menu->actions().at(1));
        QTest::mouseClick(gone->defaultWidget(), Qt::LeftButton);
        QTRY_COMPARE(messages->questions.size(), std::size_t(1));
        QCOMPARE(messages->questions[0].text,
                 libraryPath.toStdString() +
                     " no longer exists. It has been removed from Recent Files.");
        QCOMPARE(messages->questions[0].icon, MsgIcon::Exclamation);
        QCOMPARE(recentFilesShown(), QStringList{first});
        QCOMPARE(caption(), other);
        QCOMPARE(dialogs->requests.size(), std::size_t{2}); // no open dialog in its place

        // Another run of the program finds the list where this one left it.
        restart();
        QCOMPARE(recentFilesShown(), QStringList{first});
        mainWindow().findChild<QMenu*>("recentFilesMenu")->actions().at(0)->trigger();
        QTRY_VERIFY(editor());
        QCOMPARE(caption(), other);
    }

    // `matbrowser FILE`: the desktop hands over any file the program was chosen for, and
    // it is taken as a drop of it would be: a workbook, CSV or JSON file is imported (and
    // counts as never saved), a library opens.
    void aFileOnTheCommandLineIsImportedOrOpenedAsADropWouldTakeIt() {
        Library metals;
        QCOMPARE(ReadLibraryFile(libraryPath.toStdString(), metals, ".").status,
                 ReadResult::Status::Loaded);
        const std::pair<const char*, ExportFormat> kinds[] = {{"metals.csv", ExportFormat::Csv},
                                                              {"metals.xlsx", ExportFormat::Xlsx}};
        for (const auto& [name, format] : kinds) {
            const Result<ExportedFile> exported =
                exportText(exportSelection(metals), format, UnitSystemIndex::SI);
            QVERIFY(exported.ok());
            const QString path = dir->filePath(name);
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(exported->bytes.data(), static_cast<qint64>(exported->bytes.size()));
            file.close();

            restart();
            if (format == ExportFormat::Csv)
                QVERIFY(dropFiles({path})); // the window takes it as the desktop hands it over
            else
                browser->openFile(path.toStdString());
            QTRY_VERIFY(editor());
            QCOMPARE(caption(), path);
            QCOMPARE(library().LastMaterialIndex(), 3);
            QCOMPARE(std::string(trimBlanks(library().entry(3).Name)), "Nylon");
            QVERIFY(browser->state().doc.IsUntitled);
        }
        // Any other file is refused, alone or beside a library.
        restart();
        const QString notes = dir->filePath("notes.txt");
        QVERIFY(QFile::copy(libraryPath, notes));
        QVERIFY(!dropFiles({notes}));
        QVERIFY(!dropFiles({}));
        QVERIFY(dropFiles({notes, libraryPath}));
        QTRY_VERIFY(editor());
        QCOMPARE(caption(), libraryPath);
        QVERIFY(!browser->state().doc.IsUntitled);
        QCOMPARE(library().LastMaterialIndex(), 3);
        QVERIFY(messages->questions.empty());
    }

    // What is still being typed in the grid or the description box is saved too, by the
    // toolbar and by Ctrl+S, and the shortcut leaves the focus where it was.
    void theSaveKeysTakeWhatIsStillBeingTyped() {
        open();
        // The tree has the keys, not the find box above it, which would swallow the
        // editing shortcuts.
        QVERIFY(QTest::qWaitForWindowActive(&mainWindow()));
        QCOMPARE(QApplication::focusWidget(), tree());
        click("Copper"); // IPS is shown: lb/in^3
        QVERIFY(typeInto("DENS", "0.25"));
        toolbarButton("save")->trigger();
        QVERIFY(readFile(libraryPath).find("\r\nDENS      250000E-6  lb/in^3") !=
                std::string::npos);

        QLineEdit* typing = typeInto("DENS", "0.5");
        QVERIFY(typing);
        QTest::keySequence(typing, QKeySequence(QStringLiteral("Ctrl+S")));
        QVERIFY(readFile(libraryPath).find("\r\nDENS      500000E-6  lb/in^3") !=
                std::string::npos);

        auto* box = editor()->findChild<QLineEdit*>("descriptionText");
        QTest::mouseClick(box, Qt::LeftButton);
        QTRY_VERIFY(box->hasFocus());
        box->selectAll();
        QTest::keyClicks(box, "Drawn, annealed");
        QTest::keySequence(box, QKeySequence(QStringLiteral("Ctrl+S")));
        QVERIFY2(box->hasFocus(), "the shortcut leaves the focus where it was");
        QVERIFY(readFile(libraryPath).find(":Drawn, annealed\r\n") != std::string::npos);
        QVERIFY(messages->questions.empty());
        QCOMPARE(dialogs->requests.size(), std::size_t{1}); // the open dialog only
    }

    // Ctrl+C and Ctrl+V copy the material from the tree, but the text within a text box.
    void theCopyAndPasteKeysTakeTheMaterialOrTheTextWhereTheFocusIs() {
        open();
        auto* box = editor()->findChild<QLineEdit*>("descriptionText");
        box->setFocus();
        QTRY_VERIFY(box->hasFocus());
        box->selectAll();
        QTest::keySequence(box, QKeySequence(QStringLiteral("Ctrl+C")));
        box->clear();
        QTest::keySequence(box, QKeySequence(QStringLiteral("Ctrl+V")));
        QCOMPARE(box->text(), QStringLiteral("Steel bar"));
        QCOMPARE(browser->state().doc.CopiedMaterialNumber, int16_t(-1));
        QCOMPARE(library().LastMaterialIndex(), int16_t(3));

        click("Steel");
        QTest::keySequence(tree(), QKeySequence(QStringLiteral("Ctrl+C")));
        click("Polymers");
        QTest::keySequence(tree(), QKeySequence(QStringLiteral("Ctrl+V")));
        QCOMPARE(tree()->currentItem(), node("Copy of Steel"));
        QCOMPARE(tree()->currentItem()->parent(), node("Polymers"));
    }

    // While it is shown, the list of findings follows an edit and its undo; an edit of one
    // material has the model replace that material's lines alone (FindingListModelTest
    // holds what that keeps), never the whole list.
    void theCheckListFollowsAnEditOfOneMaterialAndItsUndo() {
        open();
        command("checkLibrary");
        auto* list = mainWindow().findChild<QListView*>("findingList");
        QVERIFY(list);
        QAbstractItemModel* model = list->model();
        const auto lines = [model] {
            QStringList out;
            for (int i = 0; i < model->rowCount(); ++i)
                out << model->index(i, 0).data(Qt::UserRole).toString() + " " +
                           model->index(i, 0).data().toString();
            return out;
        };
        const QStringList before = lines();
        click("Steel");
        QSignalSpy reset(model, &QAbstractItemModel::modelReset);
        QVERIFY(typeInto("NUXY", "0.7"));
        clickCell("EX", 0);
        const QStringList edits = lines();
        QVERIFY2(edits.filter("NUXY = 0.7 is outside").size() == 1 && edits != before,
                 qPrintable(edits.join('\n')));
        QCOMPARE(reset.count(), 0);
        command("undoMenu");
        QCOMPARE(lines(), before);

        // A removal moves the numbers of the materials after it: the list then reads as
        // Check Library gives it afresh.
        click("Nylon");
        QVERIFY(typeInto("EX", "0"));
        click("Copper");
        messages->queueAnswer(MsgResult::Yes);
        command("delete");
        const QStringList followed = lines();
        // Values in the system on show, as the grid gives them.
        QVERIFY2(
            followed.filter("Polymers / Nylon  positive: EX = 0 psi is not positive.").size() == 1,
            qPrintable(followed.join('\n')));
        command("checkLibrary");
        QCOMPARE(followed, lines());

        // Another unit system: the same findings, their values in it.
        auto& units = editor()->unitsCombo();
        units.setFocus();
        QTest::keyClick(&units, Qt::Key_Down); // SI
        QVERIFY(
            lines().filter("Polymers / Nylon  positive: EX = 0 N/m^2 is not positive.").size() ==
            1);

        // A material removed takes its lines with it.
        click("Brass");
        QVERIFY(typeInto("EX", "0"));
        click("Brass");
        messages->queueAnswer(MsgResult::Yes);
        command("delete");
        QCOMPARE(
            lines(),
            QStringList({"1 error  Polymers / Nylon  positive: EX = 0 N/m^2 is not positive."}));
    }
};

} // namespace mb::test

QTEST_MAIN(mb::test::MaterialBrowserTest)
#include "MaterialBrowserTest.moc"
