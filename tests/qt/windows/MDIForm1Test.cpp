#include "MDIForm1.h"

#include "aboutForm.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QToolBar>

using mb::qt::MDIForm1;

namespace {

// "name [caption] shortcut" of every entry of every menu, separators as "name -".
QStringList MenuEntries(const QMenuBar* bar) {
    QStringList entries;
    for (const QAction* m : bar->actions()) {
        entries << m->text();
        for (const QAction* a : m->menu()->actions())
            entries << a->objectName() +
                           (a->isSeparator()
                                ? " -"
                                : " [" + a->text() + "] " +
                                      a->shortcut().toString(QKeySequence::PortableText));
    }
    return entries;
}

const QStringList kMainWindowMenus = {
    "&File",
    "fileNewMenu [&New   ] ",
    "fileOpenMenu [&Open...   ] Ctrl+O",
    "recentFilesMenu [Recent &Files] ",
    "separatorMenu -",
    "importMenu [&Import...] ",
    "importSeparator -",
    "fileExitMenu [E&xit   ] ",
    "&Help",
    "aboutMaterial [&Help Topics] F1",
    "aboutMaterialMenu [&About Material Browser] ",
};

const QStringList kEditorMenus = {
    "&File",
    "fileNewMenu [&New] ",
    "fileOpenMenu [&Open...] Ctrl+O",
    "fileCloseMenu [&Close] ",
    "recentFilesMenu [Recent &Files] ",
    "separatorMenu -",
    "saveMenu [&Save] Ctrl+S",
    "saveAsMenu [Save &As...] Ctrl+A",
    "importSeparator -",
    "importMenu [&Import...] ",
    "exportMenu [&Export...] ",
    "importFromLibraryMenu [Import &Materials from Library...] ",
    "compareWithLibrary [Compare with &Library...] ",
    "separator1 -",
    "fileExitMenu [E&xit] ",
    "&Edit",
    "newMaterial [&New] ",
    "set [&Clear] ",
    "resetMenu [&Reset] ",
    "delete [&Delete ] ",
    "renameMaterial [Rena&me] ",
    "copyMaterial [&Copy] Ctrl+C",
    "pasteMaterial [&Paste] Ctrl+V",
    "undoSeparator -",
    "undoMenu [Undo] Ctrl+Z",
    "redoMenu [Redo] Ctrl+Shift+Z",
    "comparisonSeparator -",
    "addToComparison [&Add to Comparison] Ctrl+D",
    "showComparison [Comparison &Window] ",
    "checkSeparator -",
    "checkLibrary [Check &Library] ",
    "&View",
    "toolbarMenu [&Toolbar] ",
    "StatusbarMenu [&Statusbar] ",
    "&Help",
    "helpTopicsMenu [&Help Topics] F1",
    "aboutMenu [&About Material Browser] ",
};

} // namespace

class MDIForm1Test : public QObject {
    Q_OBJECT

private slots:
    void menusToolbarAndShortcutsOfBothWindows() {
        MDIForm1 w;
        QCOMPARE(w.windowTitle(), QString("VELTRA/M Material Browser"));
        QStringList tips;
        for (QAction* a : w.findChild<QToolBar*>("Toolbar1")->actions()) {
            QVERIFY2(a->isSeparator() || !a->icon().isNull(), qPrintable(a->objectName()));
            tips << a->objectName() + (a->isSeparator() ? " |" : " " + a->toolTip());
        }
        QCOMPARE(tips, (QStringList{"separator |", "new Open new file", "open Open existing file",
                                    "save Save file", "deleteMaterial Delete the selected material",
                                    "separator2 |", "help Help", "separator3 |", "undo Undo",
                                    "redo Redo"}));
        QCOMPARE(MenuEntries(w.menuBar()), kMainWindowMenus);
        w.logic().editorLoaded();
        QCOMPARE(MenuEntries(w.menuBar()), kEditorMenus);
        // Undo and Redo wait for an edit; Redo answers to Ctrl+Y as well.
        QCOMPARE(w.menuItem("redoMenu")->shortcuts(),
                 (QList<QKeySequence>{QKeySequence("Ctrl+Shift+Z"), QKeySequence("Ctrl+Y")}));
        for (const char* name : {"undoMenu", "redoMenu"})
            QVERIFY2(!w.menuItem(name)->isEnabled(), name);
        w.logic().editorCaptionChanged("steels.lib");
        QCOMPARE(w.windowTitle(), QString("VELTRA/M Material Browser - [steels.lib]"));
        w.logic().editorUnloaded();
        QCOMPARE(MenuEntries(w.menuBar()), kMainWindowMenus);

        // The about box, made afresh after "OK".
        w.aboutBox().show();
        QPointer<mb::qt::aboutForm> about = w.findChild<mb::qt::aboutForm*>("aboutForm");
        QVERIFY(about->isVisible() && !about->isModal());
        QCOMPARE(about->windowTitle(), QString("About Material Browser "));
        QTest::mouseClick(about->findChild<QPushButton*>("aboutOKButton"), Qt::LeftButton);
        QVERIFY(about->isHidden());
        w.aboutBox().show(); // before the old one is gone
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(about.isNull());
        QVERIFY(w.findChild<mb::qt::aboutForm*>("aboutForm")->isVisible());
    }
};

QTEST_MAIN(MDIForm1Test)
#include "MDIForm1Test.moc"
