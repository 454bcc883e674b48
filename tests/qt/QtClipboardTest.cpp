// Two running programs, as two whole applications in one process sharing the platform's
// clipboard: a material copied in one is pasted into the other's library with its values,
// and its rows reach a plain text editor.

#include "BaseFormWindow.h"
#include "EditorWindows.h"
#include "FakeServices.h"
#include "LibraryFile.h"
#include "MDIForm1.h"
#include "MaterialBrowser.h"
#include "MaterialClipboard.h"
#include "QtGrid.h"
#include "QtTree.h"

#include <QAction>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidgetItemIterator>

#include <memory>

namespace mb::test {

/// One running program with its own fakes for what would ask the user.
struct Program {
    fake::FakeMessageBox messages;
    fake::FakeFileDialogs dialogs;
    fake::FakeSettingsBackend settings;
    std::unique_ptr<qt::MaterialBrowser> browser;

    void start(const QString& library) {
        browser = std::make_unique<qt::MaterialBrowser>(
            qt::BrowserServices{&messages, &dialogs, &settings});
        browser->show();
        QVERIFY(QTest::qWaitForWindowExposed(&browser->mainWindow()));
        dialogs.queuePath(library.toStdString());
        browser->mainWindow().menuItem("fileOpenMenu")->trigger();
        QVERIFY(browser->editors().window());
        tree()->expandAll();
    }
    qt::QtTree* tree() { return browser->editors().window()->findChild<qt::QtTree*>("TreeView1"); }
    /// Clicks the node shown as `text` (a category when `category`).
    void click(const char* text, bool category) {
        for (QTreeWidgetItemIterator it(tree()); *it; ++it) {
            if (((*it)->parent() == nullptr) != category ||
                (*it)->text(0).trimmed() != QLatin1String(text))
                continue;
            tree()->scrollToItem(*it);
            QTest::mouseClick(tree()->viewport(), Qt::LeftButton, {},
                              tree()->visualItemRect(*it).center());
            return;
        }
        QFAIL(text);
    }
    void command(const char* name) { browser->mainWindow().menuItem(name)->trigger(); }
    Library& library() { return browser->state().library; }
};

class QtClipboardTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

    /// A library file of `category` with materials named `names`, each with Young's
    /// modulus, Poisson's ratio and density.
    QString writeLibrary(const char* file, const char* category,
                         std::initializer_list<const char*> names) {
        Library made;
        double ex = 1.0e11;
        for (const char* name : names) {
            clsMaterial record;
            record.MaterialType(category);
            record.MaterialName(name);
            record.MaterialDescription(std::string(name) + " bar");
            record.CopyProperty("EX", ex += 1.0e10);
            record.CopyProperty("NUXY", 0.34);
            record.CopyProperty("DENS", 8930);
            made.AddMaterial({std::string(category) + "    ", "", name, std::string(name) + " bar"},
                             record, clsMaterial());
        }
        const std::string text = LibraryText(made, GroupByCategory(made));
        const QString path = dir.filePath(file);
        QFile out(path);
        if (!out.open(QIODevice::WriteOnly)) return {};
        out.write(text.data(), static_cast<qint64>(text.size()));
        return path;
    }

private slots:
    void initTestCase() {
        // The recovery copies and locks of these runs stay out of the user's folders.
        QStandardPaths::setTestModeEnabled(true);
    }

    void aMaterialCopiedInOneProgramIsPastedInAnother() {
        Program metals, polymers;
        metals.start(writeLibrary("metals.lib", "Metals", {"Steel", "Copper"}));
        polymers.start(writeLibrary("polymers.lib", "Polymers", {"Nylon"}));

        metals.click("Copper", false);
        metals.command("copyMaterial");
        // The grid as the user sees it, one line a row.
        const auto* grid =
            metals.browser->editors().window()->findChild<qt::QtGrid*>("VSFlexGrid1");
        QVERIFY(grid && grid->rows() > 3);
        QStringList shown;
        for (int r = 0; r < grid->rows(); ++r) {
            QStringList cells;
            for (int c = 0; c < 4; ++c)
                cells << QString::fromLatin1(grid->textMatrix(r, c)).trimmed();
            shown << cells.join('\t');
        }
        const QMimeData* data = QGuiApplication::clipboard()->mimeData();
        QVERIFY(data && data->hasFormat(kMaterialMimeType));
        QVERIFY(data->data(kMaterialMimeType).contains("\r\nMATL:Copper"));

        polymers.click("Polymers", true);
        polymers.command("pasteMaterial");
        QVERIFY(polymers.messages.questions.empty());
        Library& pasted = polymers.library();
        QCOMPARE(pasted.LastMaterialIndex(), 1);
        QCOMPARE(pasted.Entry(1).Name, std::string("Copy of Copper"));
        QCOMPARE(pasted.Entry(1).Category, std::string("Polymers    "));
        QCOMPARE(pasted.Entry(1).Description, std::string("Copper bar"));
        clsMaterial& copper = pasted.Material(1);
        const auto value = [&copper](const char* code) {
            copper.Property(code);
            return copper.value();
        };
        QCOMPARE(value("EX"), 1.2e11);
        QCOMPARE(value("NUXY"), 0.34);
        QCOMPARE(value("DENS"), 8930.0);
        QCOMPARE(polymers.browser->state().history.undoLabel(),
                 std::string("Paste Copy of Copper"));

        // The program that copied pastes its own copy, as inside one window.
        metals.click("Metals", true);
        metals.command("pasteMaterial");
        QCOMPARE(metals.library().Entry(2).Name, std::string("Copy of Copper"));

        QPlainTextEdit editor;
        editor.paste();
        QCOMPARE(editor.toPlainText(), shown.join('\n') + '\n');
        QCOMPARE(shown[0], QString("Property\tDescription\tValue\tUnits"));
        QVERIFY(shown[1].startsWith("EX\tElasticity modulus (1st dir)\t"));
    }
};

} // namespace mb::test

QTEST_MAIN(mb::test::QtClipboardTest)
#include "QtClipboardTest.moc"
