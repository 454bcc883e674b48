// Find, compare and the comparison with another library in the running application: the
// find box filtering the real tree, Esc and Enter, the comparison window following an edit
// and a unit switch, and a difference taken over from another library.

#include "ComparisonWindow.h"
#include "LibraryComparisonWindow.h"
#include "QtControls.h"
#include "QtGrid.h"
#include "RunningBrowser.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>

namespace mb::test {

class FindAndCompareTest : public QObject, RunningBrowser {
    Q_OBJECT

    QLineEdit* findBox() { return editor()->findChild<QLineEdit*>("findBox"); }
    QString findStatus() { return editor()->findChild<QLabel*>("findStatus")->text(); }
    QString shownName() { return editor()->materialNameText().QLineEdit::text().trimmed(); }

    /// The names of the nodes on show, materials indented.
    QStringList shownNodes() {
        QStringList out;
        for (QTreeWidgetItemIterator it(tree()); *it; ++it) {
            const QTreeWidgetItem* item = *it;
            if (item->isHidden() || (item->parent() && item->parent()->isHidden())) continue;
            out << (item->parent() ? QStringLiteral("  ") : QString()) + item->text(0).trimmed();
        }
        return out;
    }
    /// A Value cell of the grid typed into and left with Enter.
    void typeValue(const QString& code, const QString& text) {
        QLineEdit* typing = typeInto(code, text);
        QVERIFY2(typing, "the Value cell opens its editor");
        QTest::keyClick(typing, Qt::Key_Return);
    }
    /// A row of the comparison table by its code: the material columns, then the mark.
    QStringList comparisonRow(const QString& code) {
        qt::ComparisonWindow* window = browser->editors().comparisonWindow();
        if (!window) return {};
        QTableWidget& table = window->table();
        for (int r = 0; r < table.rowCount(); ++r) {
            if (table.item(r, 0)->text() != code) continue;
            QStringList row;
            for (int c = 2; c < table.columnCount() - 1; ++c)
                row << table.item(r, c)->text();
            row << table.verticalHeaderItem(r)->text();
            return row;
        }
        return {};
    }

    /// The EX cell of compared material `column`.
    const QTableWidgetItem* exCell(int column) {
        QTableWidget& table = browser->editors().comparisonWindow()->table();
        for (int r = 0; r < table.rowCount(); ++r)
            if (table.item(r, 0)->text() == QStringLiteral("EX")) return table.item(r, 2 + column);
        return nullptr;
    }

private slots:
    void init() { initOnMetals(); }
    void cleanup() { RunningBrowser::cleanup(); }

    // What the query finds, counts and refuses is the filter's; here the keys reach it from
    // the real tree and box, and the real nodes are hidden and greyed.
    void theFindBoxFiltersTheTreeAsTypedAndEscBringsItBack() {
        click("Copper");
        QTest::keyClick(tree(), Qt::Key_F, Qt::ControlModifier);
        QCOMPARE(QApplication::focusWidget(), findBox());
        // IPS is shown: 15E6 psi is 103 GPa.
        QTest::keyClicks(findBox(), "EX>15E6");
        QCOMPARE(shownNodes(), QStringList({"Metals", "  Steel", "  Copper"}));
        QCOMPARE(findStatus(), QStringLiteral("2 matches, IPS"));
        QTest::keyClick(findBox(), Qt::Key_Return);
        QCOMPARE(tree()->currentItem(), node("Steel")); // after Copper, from the top again

        // A refused query shows the whole tree; the box keeps its width and no box pops up.
        const int boxWidth = findBox()->width();
        QTest::keyClicks(findBox(), " >");
        QCOMPARE(findStatus(), QStringLiteral("\">\": a property code must come before \">\"."));
        const QStringList whole = {"Metals",  "  Steel",  "  Copper",
                                   "  Brass", "Polymers", "  Nylon"};
        QCOMPARE(shownNodes(), whole);
        QCoreApplication::processEvents();
        QCOMPARE(findBox()->width(), boxWidth);
        QVERIFY2(messages->questions.empty(), "no message box");

        QTest::keyClick(findBox(), Qt::Key_Escape);
        QCOMPARE(findBox()->text(), QString());
        QCOMPARE(shownNodes(), whole);
        QCOMPARE(tree()->currentItem(), node("Steel"));

        // The selection that is no match stays, greyed.
        click("Nylon");
        QTest::keyClick(tree(), Qt::Key_F, Qt::ControlModifier);
        QTest::keyClicks(findBox(), "ex>110 GPa");
        QCOMPARE(shownNodes(),
                 QStringList({"Metals", "  Steel", "  Copper", "Polymers", "  Nylon"}));
        const QColor grey = tree()->palette().color(QPalette::Disabled, QPalette::Text);
        QCOMPARE(node("Nylon")->foreground(0).color(), grey);
        QVERIFY(node("Steel")->foreground(0).style() == Qt::NoBrush);
    }

    // Each node hidden again as it was would lay the tree out on a timer, a frame late.
    void aUnitSwitchIsDrawnInOneFrame() {
        click("Copper");
        auto& units = editor()->unitsCombo();
        units.setFocus();
        QTest::qWait(50);
        QCOMPARE(framesOf(browser->mainWindow(), [&] { QTest::keyClick(&units, Qt::Key_Down); }),
                 1); // SI
        QCOMPARE(shown("EX"), QStringLiteral("120000000000"));
    }

    void theComparisonFollowsAnEditAndAUnitSwitch() {
        click("Steel");
        QTest::keyClick(tree(), Qt::Key_D, Qt::ControlModifier);
        // Found, selected with Enter and added without leaving the find box.
        QTest::keyClick(tree(), Qt::Key_F, Qt::ControlModifier);
        QTest::keyClicks(findBox(), "copper");
        QTest::keyClick(findBox(), Qt::Key_Return);
        QTest::keyClick(findBox(), Qt::Key_D, Qt::ControlModifier);
        QCOMPARE(findBox()->text(), QStringLiteral("copper"));
        qt::ComparisonWindow* window = browser->editors().comparisonWindow();
        QVERIFY(window && window->isVisible());
        QCOMPARE(comparisonRow("EX"), QStringList({"30463140", "17407510", "\u2260"}));

        // On the screen, behind the editor (the offscreen platform activates every window).
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QVERIFY(QTest::qWaitForWindowActive(window));
        browser->mainWindow().activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), &browser->mainWindow());
        click("Copper");
        const QTableWidgetItem* steelEx = exCell(0);
        // The window typed into is drawn with the edit before the comparison builds its
        // table; the comparison follows with its own repaint, on the next turn.
        struct : QObject {
            std::function<bool()> edited;
            const QTableWidgetItem* copperEx = nullptr;
            QString seen; // as the editor's window was drawn with the edit
            bool eventFilter(QObject*, QEvent* e) override {
                if (e->type() == QEvent::UpdateRequest && seen.isEmpty() && edited())
                    seen = copperEx->text();
                return false;
            }
        } editorDrawn;
        const std::size_t edits = browser->state().history.undoCount();
        editorDrawn.edited = [&] { return browser->state().history.undoCount() > edits; };
        editorDrawn.copperEx = exCell(1);
        browser->mainWindow().installEventFilter(&editorDrawn);
        typeValue("EX", "20000000");
        QTRY_COMPARE(comparisonRow("EX"), QStringList({"30463140", "20000000", "\u2260"}));
        browser->mainWindow().removeEventFilter(&editorDrawn);
        QCOMPARE(editorDrawn.seen, QStringLiteral("17407510"));
        QVERIFY2(exCell(0) == steelEx, "the column of the material not edited is left alone");

        auto& units = editor()->unitsCombo();
        units.setFocus();
        QTest::keyClick(&units, Qt::Key_Down); // SI
        QCoreApplication::processEvents();
        QCOMPARE(comparisonRow("EX").at(0), QStringLiteral("210000000000"));

        // Copied as text, a column moved and one removed.
        window->copy();
        QCOMPARE(QApplication::clipboard()->text().section('\n', 0, 0),
                 QStringLiteral("Property\tDescription\tSteel\tCopper\tUnits\tDiffers"));
        window->table().setCurrentCell(0, 2);
        window->findChild<QPushButton*>("moveRight")->click();
        QCOMPARE(window->table().horizontalHeaderItem(2)->text(), QStringLiteral("Copper"));
        window->findChild<QPushButton*>("removeMaterial")->click();
        QCOMPARE(window->table().columnCount(), 4);
        QCOMPARE(window->table().horizontalHeaderItem(2)->text(), QStringLiteral("Copper"));
    }

    // Each material is added in one frame: a layout the table left for its paint, or widths
    // that reached it by the header's timer, drew it again a frame later. A window that
    // grows keeps room for the next materials.
    void materialsAreAddedInOneFrameEachWithRoomForTheNext() {
        auto& units = editor()->unitsCombo();
        units.setFocus();
        QTest::keyClick(&units, Qt::Key_Down); // SI: twelve digits a column
        click("Steel");
        QTest::keyClick(tree(), Qt::Key_D, Qt::ControlModifier);
        qt::ComparisonWindow* window = browser->editors().comparisonWindow();
        // The offscreen platform activates every window shown; a window manager need not.
        QVERIFY(QTest::qWaitForWindowActive(window));
        window->resize(window->minimumSizeHint().width(), window->height());
        browser->mainWindow().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&browser->mainWindow()));
        const int room = window->screen()->availableGeometry().width() -
                         (window->frameGeometry().width() - window->width());
        int growths = 0;
        int columns = window->table().columnCount();
        for (const char* name : {"Copper", "Brass", "Nylon"}) {
            const int before = window->width();
            click(name);
            QTest::qWait(20);
            QCOMPARE(framesOf(*window,
                              [this] { QTest::keyClick(tree(), Qt::Key_D, Qt::ControlModifier); }),
                     1);
            QCOMPARE(window->table().columnCount(), ++columns);
            QVERIFY2(window->table().horizontalScrollBar()->maximum() == 0, name); // all shown
            QVERIFY(window->frameGeometry().width() <=
                    window->screen()->availableGeometry().width());
            if (window->width() == before) continue;
            ++growths;
            QVERIFY2(
                window->width() >= std::min(before * 2, room),
                qPrintable(QString("%1: %2 to %3").arg(name).arg(before).arg(window->width())));
        }
        QVERIFY(growths > 0);
        QCOMPARE(comparisonRow("EX"), QStringList({"210000000000", "120000000000", "100000000000",
                                                   "2000000000", "\u2260"}));
    }

    // A comparison off the screen (minimised, not yet mapped) is not repainted, and Qt paints
    // it from what it holds when it comes back: every edit made meanwhile is in its table.
    void aComparisonOffTheScreenFollowsEveryEdit() {
        click("Steel");
        QTest::keyClick(tree(), Qt::Key_D, Qt::ControlModifier);
        qt::ComparisonWindow* window = browser->editors().comparisonWindow();
        QVERIFY(!window->testAttribute(Qt::WA_Mapped)); // the offscreen platform maps late
        for (const char* value : {"20000000", "25000000"}) {
            typeValue("EX", value);
            QCoreApplication::sendPostedEvents(); // the edit, which the cell editor queues
            QCOMPARE(comparisonRow("EX").at(0), QLatin1String(value));
        }
    }

    void theComparisonClosesWithItsLibrary() {
        click("Steel");
        QTest::keyClick(tree(), Qt::Key_D, Qt::ControlModifier);
        QPointer<qt::ComparisonWindow> window = browser->editors().comparisonWindow();
        QVERIFY(window && window->isVisible());
        // Its columns name materials of the library that is going.
        dialogs->queuePath(
            writeLibrary("steels.lib", {{"Metals", "Steel", 2.0e11, "Steel bar", 0.3}})
                .toStdString());
        browser->mainWindow().menuItem("fileOpenMenu")->trigger();
        QCOMPARE(shownName(), QStringLiteral("Steel"));
        QVERIFY(!window);
        QVERIFY(!browser->editors().comparisonWindow());
    }

    void aDifferenceFromAnotherLibraryIsTakenOver() {
        // The open library with Steel's EX changed and a titanium alloy added.
        const QString other =
            writeLibrary("other.lib", {{"Metals", "Steel", 2.0e11, "Steel bar", 0.3},
                                       {"Metals", "Copper", 1.2e11, "Copper bar", 0.34},
                                       {"Metals", "Brass", 1.0e11, "Brass bar", 0.33},
                                       {"Polymers", "Nylon", 2.0e9, "Nylon bar", 0.4},
                                       {"Titanium", "Ti-6Al-4V", 1.14e11}});
        dialogs->queuePath(other.toStdString());
        browser->mainWindow().menuItem("compareWithLibrary")->trigger();
        qt::LibraryComparisonWindow* window = browser->editors().libraryComparisonWindow();
        QVERIFY(window && window->isVisible());
        QTreeWidget& list = window->list();
        QCOMPARE(list.topLevelItemCount(), 2);
        QCOMPARE(list.topLevelItem(0)->text(0) + " " + list.topLevelItem(0)->text(1) + " " +
                     list.topLevelItem(0)->text(3) + " " + list.topLevelItem(0)->text(4),
                 QStringLiteral("value Steel 30463140 psi 29012510 psi")); // as the grid shows
        QCOMPARE(list.topLevelItem(1)->text(0), QStringLiteral("added"));

        list.setCurrentItem(list.topLevelItem(1));
        window->findChild<QPushButton*>("takeOver")->click();
        QCOMPARE(library().materialCount(), 5);
        QCOMPARE(shownName(), QStringLiteral("Ti-6Al-4V"));
        QCOMPARE(list.topLevelItemCount(), 1);

        browser->mainWindow().menuItem("fileCloseMenu")->trigger();
        QVERIFY(!browser->editors().libraryComparisonWindow());
    }
};

} // namespace mb::test

QTEST_MAIN(mb::test::FindAndCompareTest)
#include "FindAndCompareTest.moc"
