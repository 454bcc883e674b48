#include "MDIForm1.h"

#include "AppImages.h"
#include "aboutForm.h"
#include "platform/qt/QtHelpViewer.h"
#include "ShellFakes.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

using mb::MenuSet;
using mb::qt::MDIForm1;

namespace {

QStringList MenuTitles(const QMenuBar* bar) {
    QStringList titles;
    for (const QAction* a : bar->actions()) titles << a->text();
    return titles;
}

// "name [caption] shortcut" of every entry, separators as "-".
QStringList MenuEntries(const QMenu* menu) {
    QStringList entries;
    for (const QAction* a : menu->actions())
        entries << (a->isSeparator() ? a->objectName() + " -"
                                     : a->objectName() + " [" + a->text() + "] " +
                                           a->shortcut().toString(QKeySequence::PortableText));
    return entries;
}

// The Qt help viewer is checked without a desktop: file URLs come here instead.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls << url; }
};

} // namespace

class MDIForm1Test : public QObject {
    Q_OBJECT

private slots:
    void beforeAnyLibraryIsOpen() {
        MDIForm1 w;
        QCOMPARE(w.windowTitle(), QString("VELTRA/M Material Browser"));
        QVERIFY(!w.windowIcon().isNull());
        QCOMPARE(w.centralWidget(), w.mdiArea());
        auto* timer = w.findChild<QTimer*>("Timer1");
        QVERIFY(timer && timer->isActive());
        QCOMPARE(timer->interval(), 500);

        auto* bar = w.findChild<QToolBar*>("Toolbar1");
        QStringList seen;
        for (QAction* a : bar->actions()) {
            QVERIFY2(a->isSeparator() || !a->icon().isNull(), qPrintable(a->objectName()));
            seen << a->objectName() + (a->isSeparator() ? " |" : " " + a->toolTip()) +
                        (a->isEnabled() ? "" : " (off)");
        }
        QCOMPARE(seen, (QStringList{"separator |", "new Open new file", "open Open existing file",
                                    "save Save file (off)",
                                    "deleteMaterial Delete the selected material (off)",
                                    "separator2 |", "help Help"}));

        // The main window's own menu, with its padded captions.
        QCOMPARE(w.menuSet(), MenuSet::MainWindow);
        QCOMPARE(MenuTitles(w.menuBar()), (QStringList{"&File", "&Help"}));
        QCOMPARE(MenuEntries(w.findChild<QMenu*>("fileMenu")),
                 (QStringList{"fileNewMenu [&New   ] ", "fileOpenMenu [&Open...   ] Ctrl+O",
                              "separatorMenu -", "fileExitMenu [E&xit   ] "}));
        QCOMPARE(MenuEntries(w.findChild<QMenu*>("help")),
                 (QStringList{"aboutMaterial [&Help Topics] F1",
                              "aboutMaterialMenu [&About Material Browser] "}));
        QVERIFY(!w.editMenu());
    }

    void editorWindowBringsItsMenuAndTheSaveButtons() {
        MDIForm1 w;
        auto* bar = w.findChild<QToolBar*>("Toolbar1");
        auto enabled = [bar](const char* key) {
            return bar->findChild<QAction*>(key)->isEnabled();
        };
        w.editorLoaded();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(enabled("save") && enabled("deleteMaterial"));
        QCOMPARE(w.menuSet(), MenuSet::EditorWindow);
        QCOMPARE(MenuTitles(w.menuBar()), (QStringList{"&File", "&Edit", "&View", "&Help"}));
        QCOMPARE(MenuEntries(w.findChild<QMenu*>("fileMenu")),
                 (QStringList{"fileNewMenu [&New] ", "fileOpenMenu [&Open...] Ctrl+O",
                              "fileCloseMenu [&Close] ", "separatorMenu -",
                              "saveMenu [&Save] Ctrl+S", "saveAsMenu [Save &As...] Ctrl+A",
                              "separator1 -", "fileExitMenu [E&xit] "}));
        QCOMPARE(MenuEntries(w.findChild<QMenu*>("edit")),
                 (QStringList{"newMaterial [&New] ", "set [&Clear] ", "resetMenu [&Reset] ",
                              "delete [&Delete ] ", "copyMaterial [&Copy] Ctrl+C",
                              "pasteMaterial [&Paste] Ctrl+V"}));
        QCOMPARE(w.editMenu(), w.findChild<QMenu*>("edit"));
        for (QAction* a : w.editMenu()->actions()) QVERIFY(a->isEnabled());
        auto* help = w.findChild<QAction*>("helpTopicsMenu");
        QCOMPARE(help->shortcut(), QKeySequence(Qt::Key_F1));
        QCOMPARE(help->property("helpContext").toInt(), 1);

        w.editorUnloaded();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!enabled("save") && !enabled("deleteMaterial"));
        QVERIFY(enabled("new") && enabled("open") && enabled("help"));
        QCOMPARE(MenuTitles(w.menuBar()), (QStringList{"&File", "&Help"}));
        QCOMPARE(w.findChildren<QMenu*>("fileMenu").size(), 1);
        QVERIFY(!w.findChild<QAction*>("saveMenu"));
    }

    void viewItemsToggleTheBars() {
        MDIForm1 w;
        mb::test::RecordingCommands commands;
        w.setCommands(commands);
        w.show();
        w.editorLoaded();
        auto* toolbarItem = w.findChild<QAction*>("toolbarMenu");
        auto* statusItem = w.findChild<QAction*>("StatusbarMenu");
        QVERIFY(toolbarItem->isCheckable() && toolbarItem->isChecked());
        QVERIFY(statusItem->isCheckable() && statusItem->isChecked());
        auto* bar = w.findChild<QToolBar*>("Toolbar1");

        toolbarItem->trigger();
        QVERIFY(bar->isHidden());
        QVERIFY(!toolbarItem->isChecked());
        toolbarItem->trigger();
        QVERIFY(bar->isVisible());
        QVERIFY(toolbarItem->isChecked());

        statusItem->trigger();
        QVERIFY(w.statusBar()->isHidden());
        QVERIFY(!statusItem->isChecked());
        QVERIFY(bar->isVisible()); // the other bar is left alone
        QVERIFY(commands.calls.empty());

        // An editor window opened while the bar is hidden shows the item unchecked.
        w.editorUnloaded();
        w.editorLoaded();
        QVERIFY(!w.findChild<QAction*>("StatusbarMenu")->isChecked());
        QVERIFY(w.findChild<QAction*>("toolbarMenu")->isChecked());
    }

    void timerShowsTheFramesInTheStatusBar() {
        MDIForm1 w;
        auto* panel = w.statusBar()->findChild<QLabel*>("Panel1");
        QVERIFY(panel);
        QVERIFY(panel->pixmap().isNull());
        // The first tick shows nothing, the second frame 102. The step
        // counter tells which tick has passed, however late the ticks come.
        QTRY_COMPARE_WITH_TIMEOUT(w.logic().animation().step(), 1, 3000);
        QVERIFY(panel->pixmap().isNull());
        QTRY_COMPARE_WITH_TIMEOUT(w.logic().animation().step(), 2, 3000);
        QCOMPARE(panel->property("frame").toInt(), 102);
        QVERIFY(!panel->pixmap().isNull());
    }

    void menuItemsAndToolbarButtonsStartTheirCommands() {
        // Which item starts which command is the routing's; here the clicks must reach it.
        MDIForm1 w;
        mb::test::RecordingCommands commands;
        w.setCommands(commands);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        auto* bar = w.findChild<QToolBar*>("Toolbar1");
        auto click = [bar](const char* key) {
            QTest::mouseClick(bar->widgetForAction(bar->findChild<QAction*>(key)), Qt::LeftButton);
        };
        w.findChild<QAction*>("fileExitMenu")->trigger();
        click("save"); // disabled until an editor window exists
        click("help");
        w.editorLoaded();
        commands.untitled = true;
        click("save");
        w.findChild<QAction*>("resetMenu")->trigger();
        w.editorButtonClicked("AddSet");
        QCOMPARE(commands.calls,
                 (std::vector<std::string>{"ExitFromMainWindow", "ShowHelpFromToolbar",
                                           "SaveLibraryAs", "onMaterialSet", "ClearValues"}));
    }

    void menuSwapFromOneOfItsOwnItemsIsSafe() {
        // Close unloads the editor window from inside the click on its own menu.
        MDIForm1 w;
        struct ClosingCommands : mb::test::RecordingCommands {
            MDIForm1* window = nullptr;
            void CloseLibrary() override {
                RecordingCommands::CloseLibrary();
                window->editorUnloaded();
            }
        } commands;
        commands.window = &w;
        w.setCommands(commands);
        w.editorLoaded();
        w.findChild<QAction*>("fileCloseMenu")->trigger();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(commands.calls, std::vector<std::string>{"CloseLibrary"});
        QCOMPARE(w.menuSet(), MenuSet::MainWindow);
    }

    void shortcutsLeaveCopyAndPasteToTheTextBox() {
        MDIForm1 w;
        mb::test::RecordingCommands commands;
        w.setCommands(commands);
        auto* page = new QWidget;
        auto* layout = new QVBoxLayout(page);
        auto* box = new QLineEdit(page);
        auto* tree = new QTreeWidget(page);
        layout->addWidget(box);
        layout->addWidget(tree);
        w.mdiArea()->addSubWindow(page)->show();
        w.editorLoaded();
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));

        QApplication::clipboard()->setText("pasted");
        box->setFocus();
        QTRY_VERIFY(box->hasFocus());
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(box->text(), QString("pasted"));
        box->setText("copied");
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier); // select all, not Save As
        QTest::keyClick(box, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QString("copied"));
        QVERIFY(commands.calls.empty());

        tree->setFocus();
        QTRY_VERIFY(tree->hasFocus());
        QTest::keyClick(tree, Qt::Key_C, Qt::ControlModifier);
        QTest::keyClick(tree, Qt::Key_V, Qt::ControlModifier);
        QTest::keyClick(tree, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(commands.calls, (std::vector<std::string>{"onCopyMaterial", "onPasteMaterial",
                                                           "SaveLibrary"}));
    }

    void aboutBoxIsMadeAfreshAfterOK() {
        MDIForm1 w;
        w.aboutBox().show();
        auto* box = w.findChild<mb::qt::aboutForm*>("aboutForm");
        QVERIFY(box && box->isVisible() && !box->isModal());
        QCOMPARE(box->windowTitle(), QString("About Material Browser "));
        QVERIFY(!box->windowIcon().isNull());
        QCOMPARE(box->findChild<QLabel*>("Label1")->text(), QString("VELTRA/M Material Browser"));
        QCOMPARE(box->findChild<QLabel*>("Label3")->text(), QString("Version 3.0"));
        QVERIFY(!box->findChild<QLabel*>("Picture1")->pixmap().isNull());
        auto* ok = box->findChild<QPushButton*>("aboutOKButton");
        QCOMPARE(ok->text(), QString("OK"));

        // A second About while it is open shows the same box.
        w.aboutBox().show();
        QCOMPARE(w.findChildren<mb::qt::aboutForm*>().size(), 1);

        QPointer<mb::qt::aboutForm> first(box);
        QTest::mouseClick(ok, Qt::LeftButton);
        QVERIFY(first->isHidden());
        w.aboutBox().show(); // before the old one is gone
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(first.isNull());
        auto* second = w.findChild<mb::qt::aboutForm*>("aboutForm");
        QVERIFY(second && second->isVisible());
    }

    void everyImageIsThere() {
        QStringList names{"closedbook", "new", "open", "save", "delete", "help", "about", "drag"};
        for (int frame = 102; frame <= 112; ++frame) names << QString::number(frame);
        QSet<QByteArray> distinct;
        for (const QString& name : names) {
            QVERIFY2(mb::qt::HasAppImage(name), qPrintable(name));
            const QImage image = mb::qt::AppPixmap(name, 24).toImage();
            QVERIFY2(!image.isNull(), qPrintable(name));
            // Something is drawn: not every pixel is the same.
            bool varied = false;
            for (int y = 0; y < image.height() && !varied; ++y)
                for (int x = 0; x < image.width() && !varied; ++x)
                    varied = image.pixel(x, y) != image.pixel(0, 0);
            QVERIFY2(varied, qPrintable(name));
            distinct.insert(QByteArray(reinterpret_cast<const char*>(image.constBits()),
                                       image.sizeInBytes()));
        }
        QCOMPARE(distinct.size(), names.size());
        QVERIFY(!mb::qt::HasAppImage("101"));
    }

    void helpViewerOpensTheFileAsALocalUrl() {
        UrlCatcher catcher;
        QDesktopServices::setUrlHandler("file", &catcher, "open");
        mb::qt::QtHelpViewer viewer;
        viewer.open("/x/too/help/Material.chm");
        QDesktopServices::unsetUrlHandler("file");
        QCOMPARE(catcher.urls, (QList<QUrl>{QUrl::fromLocalFile("/x/too/help/Material.chm")}));
    }
};

QTEST_MAIN(MDIForm1Test)
#include "MDIForm1Test.moc"
