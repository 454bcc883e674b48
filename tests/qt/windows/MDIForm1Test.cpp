#include "MDIForm1.h"

#include "aboutForm.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QToolBar>

using mb::qt::MDIForm1;

namespace {

QString ToQ(const std::string& s) {
    return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}

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

// The same, as the routing table says it should be.
QStringList TableEntries(mb::MenuSet set) {
    QStringList entries;
    for (const mb::MenuRoute& menu : mb::MenuTable(set)) {
        entries << ToQ(menu.caption);
        for (const mb::MenuItemRoute& item : menu.items)
            entries << ToQ(item.name) + (item.action == mb::Action::Separator
                                             ? " -"
                                             : " [" + ToQ(item.caption) + "] " +
                                                   QKeySequence(ToQ(item.shortcut))
                                                       .toString(QKeySequence::PortableText));
    }
    return entries;
}

} // namespace

class MDIForm1Test : public QObject {
    Q_OBJECT

private slots:
    // The window builds what the routing tables hold; their contents are the logic's tests'.
    void theToolbarAndBothMenuSetsAreBuiltFromTheTables() {
        MDIForm1 w;
        QCOMPARE(w.windowTitle(), QString(mb::kApplicationTitle));
        QStringList tips, expectedTips;
        for (QAction* a : w.findChild<QToolBar*>("Toolbar1")->actions()) {
            QVERIFY2(a->isSeparator() || !a->icon().isNull(), qPrintable(a->objectName()));
            tips << a->objectName() + (a->isSeparator() ? " |" : " " + a->toolTip());
        }
        for (const mb::ToolbarRoute& route : mb::ToolbarTable())
            expectedTips << ToQ(route.key) + (route.action == mb::Action::Separator
                                                  ? " |"
                                                  : " " + ToQ(route.tooltip));
        QCOMPARE(tips, expectedTips);
        QCOMPARE(MenuEntries(w.menuBar()), TableEntries(mb::MenuSet::MainWindow));
        w.logic().editorLoaded();
        QCOMPARE(MenuEntries(w.menuBar()), TableEntries(mb::MenuSet::EditorWindow));
        // Undo and Redo wait for an edit; Redo answers to Ctrl+Y as well.
        QCOMPARE(w.menuItem("redoMenu")->shortcuts(),
                 (QList<QKeySequence>{QKeySequence("Ctrl+Shift+Z"), QKeySequence("Ctrl+Y")}));
        for (const char* name : {"undoMenu", "redoMenu"})
            QVERIFY2(!w.menuItem(name)->isEnabled(), name);
        w.logic().editorCaptionChanged("steels.lib");
        QCOMPARE(w.windowTitle(), QString(mb::kApplicationTitle) + " - [steels.lib]");
        w.logic().editorUnloaded();
        QCOMPARE(MenuEntries(w.menuBar()), TableEntries(mb::MenuSet::MainWindow));

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
