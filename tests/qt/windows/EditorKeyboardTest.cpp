// The editor window worked with the keys, in the whole application as a user meets it:
// values typed into the grid, Undo wherever the focus is, renaming, deleting and adding
// from the keyboard, and every control reached by Tab.

#include "BaseForm.h"
#include "ComparisonWindow.h"
#include "QtGrid.h"
#include "RunningBrowser.h"

#include <QApplication>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QToolBar>

namespace mb::test {

class EditorKeyboardTest : public QObject, RunningBrowser {
    Q_OBJECT

    QAction* item(const char* name) { return browser->mainWindow().menuItem(name); }

    /// The code of the grid's current row, and whether its Value cell is the current one.
    QString currentCode() {
        const QTableWidgetItem* code = grid()->item(grid()->currentRow(), 0);
        return code && grid()->currentColumn() == 2 ? code->text() : QString();
    }
    bool hasValue(int n, const std::string& code) {
        clsMaterial& m = library().material(n);
        m.Property(code);
        m.PropIndex();
        return m.HasValue(m.Index());
    }
    /// A key as the user presses it on whatever has the focus.
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
        QWidget* target = QApplication::focusWidget();
        QVERIFY(target);
        QTest::keyClick(target, key, modifiers);
    }
    /// Each key goes where the focus is when it is pressed, as typing does.
    void type(const QString& keys) {
        for (const QChar key : keys) {
            QWidget* target = QApplication::focusWidget();
            QVERIFY(target);
            QTest::keyClick(target, key.toLatin1());
        }
    }
    static constexpr double kPsi = 6893.5773;

private slots:
    void init() { initOnMetals(); }
    void cleanup() { RunningBrowser::cleanup(); }

    void digitsTypedOnAValueCellStartItsEditAndEnterStoresIt() {
        click("Copper");
        grid()->setFocus(Qt::TabFocusReason);
        QCOMPARE(currentCode(), QStringLiteral("EX"));
        type("250");
        QVERIFY2(cellEditor(), "the first digit opens the cell editor");
        QCOMPARE(cellEditor()->text(), QStringLiteral("250"));
        press(Qt::Key_Return);
        QTRY_COMPARE(currentCode(), QStringLiteral("NUXY"));
        QCOMPARE(stored(1, "EX"), 250 * kPsi);
        QCOMPARE(item("undoMenu")->text(), QStringLiteral("Undo Change EX of Copper"));
        auto* bar = browser->mainWindow().findChild<QToolBar*>("Toolbar1");
        QCOMPARE(bar->findChild<QAction*>("undo")->toolTip(), item("undoMenu")->text());

        // A sign and a decimal point start an edit as well.
        type("-.25");
        QCOMPARE(cellEditor()->text(), QStringLiteral("-.25"));
        press(Qt::Key_Tab);
        QCOMPARE(stored(1, "NUXY"), -0.25);
        QCOMPARE(currentCode(), QStringLiteral("GXY"));
        type(".5");
        press(Qt::Key_Tab);
        QVERIFY(!cellEditor());
        QCOMPARE(currentCode(), QStringLiteral("DENS"));
        QCOMPARE(stored(1, "GXY"), 0.5 * kPsi);

        // In the last row Enter stores the value where it is.
        const QString last = grid()->item(grid()->rowCount() - 1, 0)->text();
        clickCell(last);
        type("7");
        press(Qt::Key_Return);
        QTRY_VERIFY(!cellEditor());
        QVERIFY2(hasValue(1, last.toStdString()), qPrintable(last));
        QCOMPARE(currentCode(), last);
        // Ctrl+Z right after takes it back, with the focus still in the grid.
        QCOMPARE(QApplication::focusWidget(), grid());
        press(Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(!hasValue(1, last.toStdString()));
    }

    void aQuickSecondClickOpensTheEditorAndKeepsWhatIsTyped() {
        click("Brass");
        clickCell("EX");
        type("11");
        // The second click comes as the window system delivers a double click: a press,
        // then the double click, then the release.
        const QPoint second = cellPoint("NUXY");
        QTest::mousePress(grid()->viewport(), Qt::LeftButton, {}, second);
        QTest::mouseDClick(grid()->viewport(), Qt::LeftButton, {}, second);
        QTest::mouseRelease(grid()->viewport(), Qt::LeftButton, {}, second);
        QCOMPARE(stored(2, "EX"), 11 * kPsi);
        QVERIFY2(cellEditor(), "the second click opens the editor");
        cellEditor()->selectAll();
        type("0.2");
        clickCell("EX", 0);
        QCOMPARE(stored(2, "NUXY"), 0.2);
    }

    void f2RenamesInPlaceAndTheNameBoxFollows() {
        click("Copper");
        press(Qt::Key_F2);
        QVERIFY2(tree()->isAncestorOf(cellEditor()), "F2 opens the label editor");
        press(Qt::Key_Escape);
        QTRY_VERIFY(!cellEditor());
        press(Qt::Key_F2);
        cellEditor()->selectAll();
        type("Bronze");
        press(Qt::Key_Return);
        QTRY_COMPARE(library().entry(1).Name, std::string("Bronze"));
        QCOMPARE(node("Bronze"), tree()->currentItem());
        QCOMPARE(messages->questions.size(), std::size_t(0));
        // A refused name puts the label back as it was.
        press(Qt::Key_F2);
        cellEditor()->selectAll();
        type("steel");
        press(Qt::Key_Return);
        QTRY_COMPARE(messages->questions.size(), std::size_t(1));
        QCOMPARE(tree()->currentItem()->text(0), QStringLiteral("Bronze"));
        QCOMPARE(library().entry(1).Name, std::string("Bronze"));
    }

    void theMenuKeyPopsUpEditWhoseRenameOpensTheLabel() {
        click("Brass");
        for (const auto& [key, modifiers] :
             {std::pair{Qt::Key_Menu, Qt::NoModifier}, std::pair{Qt::Key_F10, Qt::ShiftModifier}}) {
            press(key, modifiers);
            auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            QVERIFY2(popup, "the key pops up the menu");
            QCOMPARE(popup->objectName(), QStringLiteral("edit"));
            QCOMPARE(tree()->currentItem(), node("Brass"));
            if (key == Qt::Key_Menu) {
                popup->close();
                continue;
            }
            QTest::keyClick(popup, Qt::Key_M); // Rena&me
            QTRY_VERIFY(!QApplication::activePopupWidget());
        }
        QVERIFY2(tree()->isAncestorOf(cellEditor()), "Rename opens the label editor");
        QCOMPARE(cellEditor()->text().trimmed(), QStringLiteral("Brass"));
    }

    // The tree keeps its open and closed categories through the delete and its undo.
    void theDeleteKeyDeletesAfterTheQuestionAndTheBoxesShowWhatTheGridShows() {
        node("Polymers")->setExpanded(false);
        click("Brass");
        messages->queueAnswer(MsgResult::No);
        press(Qt::Key_Delete);
        QCOMPARE(library().LastMaterialIndex(), 3);
        press(Qt::Key_Delete);
        QCOMPARE(library().LastMaterialIndex(), 2);
        QCOMPARE(tree()->currentItem(), node("Copper"));
        QCOMPARE(text("materialNameText"), QStringLiteral("Copper  "));
        QCOMPARE(text("descriptionText"), QStringLiteral("Copper bar"));
        QCOMPARE(shown("EX"), QStringLiteral("17407510"));
        QVERIFY(node("Metals")->isExpanded() && !node("Polymers")->isExpanded());
        press(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(tree()->currentItem(), node("Brass"));
        QVERIFY(node("Metals")->isExpanded() && !node("Polymers")->isExpanded());
    }

    void ctrlZUndoesTheTypingOfABoxAndElseTheLastEdit() {
        // New-material mode: Alt+A and Return add the material, and the next Ctrl+Z in the
        // description box takes the addition back, not what was typed.
        click("Polymers");
        QTest::mouseClick(box("materialNameText"), Qt::LeftButton);
        type("PEEK");
        press(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), box("descriptionText"));
        type("Semi-crystalline");
        press(Qt::Key_A, Qt::AltModifier);
        QTRY_COMPARE(library().LastMaterialIndex(), 4);
        QCOMPARE(QApplication::focusWidget(), box("descriptionText"));
        press(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(library().LastMaterialIndex(), 3);
        click("Steel"); // the box loses the focus: nothing of its own is recorded
        QCOMPARE(item("redoMenu")->text(), QStringLiteral("Redo Add PEEK"));
        press(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(library().LastMaterialIndex(), 4);
        QCOMPARE(library().entry(4).Description, std::string("Semi-crystalline"));

        // Typing not yet stored is the box's to take back; the library is left alone.
        click("Steel");
        QTest::mouseClick(box("descriptionText"), Qt::LeftButton);
        press(Qt::Key_End);
        type(" x");
        press(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(text("descriptionText"), QStringLiteral("Steel bar"));
        QCOMPARE(library().LastMaterialIndex(), 4);
        // With nothing of its own left, Ctrl+Z in the box undoes the last edit.
        press(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(library().LastMaterialIndex(), 3);
        QCOMPARE(library().entry(0).Description, std::string("Steel bar"));
    }

    void enterInTheBoxesStoresOrAdds() {
        click("Steel");
        QTest::mouseClick(box("descriptionText"), Qt::LeftButton);
        type("Rolled bar");
        press(Qt::Key_Return);
        QCOMPARE(library().entry(0).Description, std::string("Rolled bar"));
        // Enter in the name box of a new material adds it.
        click("Polymers");
        QTest::mouseClick(box("materialNameText"), Qt::LeftButton);
        type("PVC");
        press(Qt::Key_Return);
        QCOMPARE(library().LastMaterialIndex(), 4);
        QCOMPARE(library().entry(4).Name, std::string("PVC"));
    }

    void newMaterialModePutsAddBesideTheBoxes() {
        click("Polymers");
        auto* add = editor()->findChild<qt::QtButton*>("cmdNewMaterial");
        QVERIFY(!add->isHidden());
        const QRect button(add->mapTo(editor(), QPoint()), add->size());
        const QRect boxes = QRect(box("materialTypeText")->mapTo(editor(), QPoint()),
                                  box("materialTypeText")->size())
                                .united(QRect(box("descriptionText")->mapTo(editor(), QPoint()),
                                              box("descriptionText")->size()));
        QVERIFY2(button.top() >= boxes.top() && button.bottom() <= boxes.bottom() &&
                     button.left() > boxes.right(),
                 "Add New Material sits beside the boxes");
        // No empty grid and chart below: a note says what to do.
        QVERIFY(!editor()->findChild<QWidget*>("gridAndChart")->isVisible());
        QVERIFY(editor()->findChild<QWidget*>("newMaterialNote")->isVisible());
        click("Steel");
        QVERIFY(editor()->findChild<QWidget*>("gridAndChart")->isVisible());
        QVERIFY(!editor()->findChild<QWidget*>("newMaterialNote")->isVisible());
    }

    void tabWalksEveryControlOfTheEditorAndTheGridsValueColumn() {
        // A material with a curve, so that Save Chart can be used.
        library().material(0).CopyProperty("SIGYLD", 2.5e8);
        library().material(0).CopyProperty("ETAN", 1.0e9);
        editor()->typeCombo().setCurrentIndex(4);
        emit editor()->typeCombo().clicked();
        click("Steel");
        QStringList walked{QApplication::focusWidget()->objectName()}, rows;
        for (int step = 0; step < 60 && (walked.size() == 1 || walked.back() != "TreeView1");
             ++step) {
            press(Qt::Key_Tab);
            const QString now = QApplication::focusWidget()->objectName();
            if (now == "VSFlexGrid1") rows << currentCode();
            if (now != walked.back()) walked << now;
        }
        // The grid takes Tab down its Value column, each row once, and out after the last.
        const QString last = grid()->item(grid()->rowCount() - 1, 0)->text();
        QCOMPARE(rows.size(), grid()->rowCount());
        QCOMPARE(rows.first(), QStringLiteral("EX"));
        QCOMPARE(rows.last(), last);
        // Entering the category box starts a new material, whose description follows its name.
        QCOMPARE(walked, (QStringList{"TreeView1", "VSFlexGrid1", "saveChart", "unitsCombo",
                                      "typeCombo", "descriptionText", "reset", "AddSet",
                                      "materialTypeText", "materialNameText", "descriptionText",
                                      "cmdNewMaterial", "TreeView1"}));
        // Save Chart answers to its own key, one no menu claims.
        auto* save = editor()->findChild<QPushButton*>("saveChart");
        QCOMPARE(QKeySequence::mnemonic(save->text()), QKeySequence(Qt::ALT | Qt::Key_T));

        // Shift+Tab comes back into the last row, climbs to the first and out of the grid.
        click("Steel");
        save->setFocus(Qt::BacktabFocusReason);
        press(Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), grid());
        QCOMPARE(currentCode(), last);
        for (int r = 1; r < grid()->rowCount(); ++r)
            press(Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(currentCode(), QStringLiteral("EX"));
        press(Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), tree());
    }

    void theCheckListAndTheComparisonWindowAreReachedByKeys() {
        library().material(2).CopyProperty("NUXY", 0.7); // Brass: not a Poisson's ratio
        click("Steel");
        item("checkLibrary")->trigger();
        auto* list = browser->mainWindow().findChild<QListView*>("findingList");
        QVERIFY(list);
        QCOMPARE(QApplication::focusWidget(), list);
        press(Qt::Key_Down);
        press(Qt::Key_Return);
        QCOMPARE(tree()->currentItem(), node("Brass"));

        // Edit's "Comparison &Window" brings the window up with the keyboard in it.
        tree()->setFocus();
        press(Qt::Key_E, Qt::AltModifier);
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY2(menu && menu->objectName() == "edit", "Alt+E opens Edit");
        QTest::keyClick(menu, Qt::Key_W);
        QWidget* comparison = browser->editors().comparisonWindow();
        QVERIFY(comparison && comparison->isVisible());
        QTRY_VERIFY(comparison->isAncestorOf(QApplication::focusWidget()));
    }
};

} // namespace mb::test

QTEST_MAIN(mb::test::EditorKeyboardTest)
#include "EditorKeyboardTest.moc"
