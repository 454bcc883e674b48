#pragma once

// The whole application on the offscreen platform with fake dialogs, message box and
// settings, a library written to a temporary folder and opened through the menu.

#include "BaseFormWindow.h"
#include "EditorWindows.h"
#include "FakeServices.h"
#include "LibraryFile.h"
#include "MDIForm1.h"
#include "MaterialBrowser.h"
#include "QtControls.h"
#include "QtGrid.h"
#include "QtTree.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidgetItemIterator>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace mb::test {

struct RunningBrowser {
    struct Row {
        const char* category;
        const char* name;
        double ex;
        std::string description = {};
        double nuxy = 0, dens = 0; // left out when 0
    };

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<fake::FakeMessageBox> messages;
    std::unique_ptr<fake::FakeFileDialogs> dialogs;
    std::unique_ptr<fake::FakeSettingsBackend> settings;
    std::unique_ptr<qt::MaterialBrowser> browser;

    BaseFormWindow* editor() { return browser->editors().window(); }
    qt::QtTree* tree() { return editor()->findChild<qt::QtTree*>("TreeView1"); }
    Library& library() { return browser->state().library; }
    void command(const char* name) { browser->mainWindow().menuItem(name)->trigger(); }
    qt::QtTextBox* box(const char* name) { return editor()->findChild<qt::QtTextBox*>(name); }
    QString text(const char* name) { return box(name)->QLineEdit::text(); }
    QString caption() { return browser->editors().subWindow()->windowTitle(); }

    /// A tree node by its visible name (the reader keeps blanks after it).
    QTreeWidgetItem* node(const char* name) {
        for (QTreeWidgetItemIterator it(tree()); *it; ++it)
            if ((*it)->text(0).trimmed() == QLatin1String(name)) return *it;
        return nullptr;
    }
    QPoint pointOf(QTreeWidgetItem* item) {
        tree()->scrollToItem(item);
        return tree()->visualItemRect(item).center();
    }
    void click(const char* name, Qt::MouseButton button = Qt::LeftButton) {
        QTreeWidgetItem* item = node(name);
        QVERIFY2(item, name);
        QTest::mouseClick(tree()->viewport(), button, {}, pointOf(item));
    }

    /// The repaints of `window` that `input` causes, each a frame on the screen. On X the
    /// window's repaint comes before zero timers and objects deleted later; queued events
    /// sent first keep that order here.
    static int framesOf(QWidget& window, const std::function<void()>& input) {
        struct : QObject {
            int count = 0;
            bool eventFilter(QObject*, QEvent* e) override {
                count += e->type() == QEvent::UpdateRequest ? 1 : 0;
                return false;
            }
        } repaints;
        window.installEventFilter(&repaints);
        input();
        QCoreApplication::sendPostedEvents();
        QTest::qWait(100);
        window.removeEventFilter(&repaints);
        return repaints.count;
    }

    qt::QtGrid* grid() { return &editor()->VSFlexGrid1(); }
    /// A cell of the grid row showing `code`, null when no row does.
    QTableWidgetItem* cell(const QString& code, int col = 2) {
        for (int r = 0; r < grid()->rowCount(); ++r)
            if (grid()->item(r, 0) && grid()->item(r, 0)->text() == code)
                return grid()->item(r, col);
        return nullptr;
    }
    QString shown(const QString& code) { return cell(code) ? cell(code)->text() : QString(); }
    QPoint cellPoint(const QString& code, int col = 2) {
        const int r = cell(code, 0) ? cell(code, 0)->row() : -1;
        return grid()->visualRect(grid()->model()->index(r, col)).center();
    }
    void clickCell(const QString& code, int col = 2) {
        QVERIFY2(cell(code, 0), qPrintable(code));
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, cellPoint(code, col));
    }
    /// The cell editor, or whatever else has the focus when it is no line editor.
    QLineEdit* cellEditor() { return qobject_cast<QLineEdit*>(QApplication::focusWidget()); }
    /// Clicks a Value cell and types over it, leaving its editor open with the text.
    QLineEdit* typeInto(const QString& code, const QString& text) {
        clickCell(code);
        QLineEdit* typing = cellEditor();
        if (!typing) return nullptr;
        typing->selectAll();
        QTest::keyClicks(typing, text);
        return typing;
    }
    double stored(int n, const std::string& code) {
        library().material(n).Property(code);
        return library().material(n).value();
    }

    QString writeLibrary(const QString& fileName, const std::vector<Row>& rows) {
        Library made;
        for (const Row& row : rows) {
            clsMaterial record;
            record.MaterialType(row.category);
            record.MaterialName(row.name);
            record.MaterialDescription(row.description);
            record.CopyProperty("EX", row.ex);
            if (row.nuxy) record.CopyProperty("NUXY", row.nuxy);
            if (row.dens) record.CopyProperty("DENS", row.dens);
            made.addMaterial({std::string(row.category) + "    ", "", row.name, row.description},
                             record, record);
        }
        const std::string text = libraryText(made, groupByCategory(made));
        const QString path = dir->filePath(fileName);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly)) return {};
        file.write(text.data(), static_cast<qint64>(text.size()));
        return path;
    }

    /// Fresh fakes and folder; the recovery copies and locks of these runs stay out of the
    /// user's folders.
    void init() {
        QStandardPaths::setTestModeEnabled(true);
        dir = std::make_unique<QTemporaryDir>();
        messages = std::make_unique<fake::FakeMessageBox>();
        dialogs = std::make_unique<fake::FakeFileDialogs>();
        settings = std::make_unique<fake::FakeSettingsBackend>();
    }
    /// Starts the application with `messageBox`, the real one when null.
    void launch(MessageBox* messageBox, RecoveryStore* recovery = nullptr,
                DocumentLock* lock = nullptr) {
        browser = std::make_unique<qt::MaterialBrowser>(qt::BrowserServices{
            messageBox, dialogs.get(), settings.get(), nullptr, recovery, lock});
        browser->show();
        QVERIFY(QTest::qWaitForWindowActive(&browser->mainWindow()));
    }
    /// Starts the application and opens `path` through the menu.
    void start(MessageBox* messageBox, const QString& path) {
        launch(messageBox);
        dialogs->queuePath(path.toStdString());
        browser->mainWindow().menuItem("fileOpenMenu")->trigger();
        QVERIFY(editor());
        QVERIFY(QTest::qWaitForWindowExposed(editor()));
        tree()->expandAll();
    }
    /// metals.lib: Metals with 0 Steel, 1 Copper and 2 Brass, Polymers with 3 Nylon, each
    /// with EX and NUXY in SI and a description "<name> bar".
    QString writeMetals() {
        return writeLibrary("metals.lib", {{"Metals", "Steel", 2.1e11, "Steel bar", 0.3},
                                           {"Metals", "Copper", 1.2e11, "Copper bar", 0.34},
                                           {"Metals", "Brass", 1.0e11, "Brass bar", 0.33},
                                           {"Polymers", "Nylon", 2.0e9, "Nylon bar", 0.4}});
    }
    void startOnMetals(MessageBox* messageBox) { start(messageBox, writeMetals()); }
    /// A test's start: the fakes made and metals.lib open, questions to the fake box.
    void initOnMetals() { init(), startOnMetals(messages.get()); }
    void cleanup() {
        browser.reset();
        dir.reset();
    }
};

} // namespace mb::test
