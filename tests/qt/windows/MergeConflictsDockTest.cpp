// The Merge Conflicts list as a user meets it: a library opened with a .conflicts file
// beside it, and conflicts decided with the buttons.

#include "MergeConflictsDock.h"
#include "PropertyCatalogue.h"
#include "RunningBrowser.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

#include <fstream>

namespace mb::test {

class MergeConflictsDockTest : public QObject, RunningBrowser {
    Q_OBJECT

    qt::MergeConflictsDock* dock() { return browser->editors().conflictDock(); }
    QTableWidget* table() { return dock()->findChild<QTableWidget*>("conflictTable"); }
    void press(const char* button) {
        QTest::mouseClick(dock()->findChild<QPushButton*>(button), Qt::LeftButton);
    }
    void clickRow(int row) {
        table()->scrollToItem(table()->item(row, 0));
        QTest::mouseClick(table()->viewport(), Qt::LeftButton, {},
                          table()->visualItemRect(table()->item(row, 0)).center());
    }
    QStringList row(int r) {
        QStringList cells;
        for (int c = 0; c < table()->columnCount(); ++c)
            cells << table()->item(r, c)->text();
        return cells;
    }
    double steelEx() {
        return library().material(0).slotValue(PropertyCatalogue::instance().findExact("EX"));
    }
private slots:
    void init() {
        RunningBrowser::init();
        const QString path = writeLibrary("metals.lib", {{"Metals", "Steel", 1e11, "Steel bar"},
                                                         {"Metals", "Copper", 1e11, "Copper bar"}});
        std::ofstream((path + ".conflicts").toStdString(), std::ios::binary)
            << "conflict\tSteel\tEX\t9E10\t1E11\t2E11\n"
               "conflict\tCopper\tDESCRIPTION\tCopper\tCopper bar\tCopper wire\n";
        start(messages.get(), path);
    }
    void cleanup() { RunningBrowser::cleanup(); }

    void theListShowsEachConflictAndSelectsItsMaterial() {
        QVERIFY(dock()->isVisible());
        QCOMPARE(dock()->windowTitle(), QStringLiteral("Merge Conflicts"));
        QCOMPARE(table()->horizontalHeaderItem(4)->text(), QStringLiteral("Theirs"));
        QCOMPARE(table()->rowCount(), 2);
        // Values in the editor's unit system, IPS at first start.
        QCOMPARE(row(0),
                 (QStringList{"Steel", "EX", "13055630 psi", "14506260 psi", "29012510 psi"}));
        QCOMPARE(row(1),
                 (QStringList{"Copper", "Description", "Copper", "Copper bar", "Copper wire"}));
        clickRow(1);
        QCOMPARE(tree()->currentItem()->text(0).trimmed(), QStringLiteral("Copper"));
        QCOMPARE(editor()->findChild<QLineEdit*>("descriptionText")->text(),
                 QStringLiteral("Copper bar"));
    }

    // Undo and the save that removes the file are the conflict list's.
    void theButtonsDecideTheConflictsOfTheRowClicked() {
        clickRow(0);
        press("takeTheirs");
        QCOMPARE(steelEx(), 2e11);
        QCOMPARE(table()->rowCount(), 1);
        clickRow(0);
        press("takeOurs");
        QCOMPARE(table()->rowCount(), 0);
        QCOMPARE(dock()->findChild<QLabel*>("conflictStatus")->text(),
                 QStringLiteral(
                     "All conflicts decided: saving the library removes its .conflicts file."));
        QVERIFY(!dock()->findChild<QPushButton*>("takeTheirs")->isEnabled());
        QCOMPARE(library().entry(1).Description, std::string("Copper bar"));
    }

    void aLibraryWithoutConflictsShowsNoList() {
        dialogs->queuePath(writeLibrary("plain.lib", {{"Metals", "Tin", 5e10}}).toStdString());
        command("fileOpenMenu");
        QVERIFY(dock());
        QVERIFY(!dock()->isVisible());
    }
};

} // namespace mb::test

QTEST_MAIN(mb::test::MergeConflictsDockTest)
#include "MergeConflictsDockTest.moc"
