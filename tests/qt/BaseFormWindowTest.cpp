// The editor window driven as a user drives it, on the offscreen platform: clicks on the
// tree and the grid, typing into the cell editor, choosing from the selectors.

#include "EditorWindowFixture.h"

#include <QLabel>
#include <QPushButton>

namespace mb::test {

class BaseFormWindowTest : public QObject {
    Q_OBJECT

private:
    fake::FakeLocale locale{"."};
    std::unique_ptr<EditorWindow> ed;

    qt::QtComboBox* combo(const char* name) { return ed->window->findChild<qt::QtComboBox*>(name); }
    QString nameBox() { return ed->window->materialNameText().QLineEdit::text(); }
    QString label1() {
        return ed->window->findChild<QLabel*>("unitStringsLabel1")->text().trimmed();
    }
    /// The user picks the next (or previous) unit system with the keyboard.
    void stepUnits(Qt::Key key) {
        combo("unitsCombo")->setFocus();
        QTest::keyClick(combo("unitsCombo"), key);
    }
    void show(int n) { QVERIFY(ed->clickNode(ed->keyOf(n))); }
    void typeInto(const QString& code, const QString& text) {
        QVERIFY2(ed->typeInto(code, text), "a click in the Value column opens the cell editor");
    }

private slots:
    void init() {
        ed = std::make_unique<EditorWindow>(locale);
        QVERIFY(QTest::qWaitForWindowExposed(ed->window.get()));
    }
    void cleanup() { ed.reset(); }

    void buttonsAndLabelsReadAsTheUserSeesThem() {
        for (const auto& [name, caption] :
             {std::pair{"cmdNewMaterial", "&Add New Material"}, std::pair{"reset", "&Reset"},
              std::pair{"AddSet", "&Clear"}})
            QCOMPARE(ed->window->findChild<QPushButton*>(name)->text(), QString(caption));
        QCOMPARE(ed->window->findChild<QLabel*>("materialTypeTextLabel")->text(),
                 QStringLiteral("Category     :"));
        for (int i = 1; i <= 12; ++i)
            QVERIFY(ed->window->findChild<QLabel*>(QStringLiteral("unitStringsLabel%1").arg(i))
                        ->isHidden());
        QVERIFY(ed->window->findChild<QWidget*>("valueframe")->isAncestorOf(ed->grid()));
    }

    void clickingANodeShowsItsValuesAndACategoryHidesThem() {
        show(1);
        QCOMPARE(nameBox(), QStringLiteral("Copper"));
        QCOMPARE(ed->window->materialTypeText().QLineEdit::text(), QStringLiteral("Metals    "));
        QVERIFY(!ed->grid()->isHidden());
        QVERIFY(ed->window->cmdNewMaterial().isHidden());
        QVERIFY(!ed->window->reset().isHidden());
        QCOMPARE(ed->grid()->horizontalHeaderItem(2)->text(), QStringLiteral("Value"));
        QCOMPARE(ed->shown("NUXY"), QStringLiteral("0.34"));
        QCOMPARE(ed->shown("EX"), QStringLiteral("17407510")); // 1.2E11 / 6893.5773
        QCOMPARE(ed->shown("EX", 3).trimmed(), QStringLiteral("psi"));

        QVERIFY(ed->clickNode("Polymers    "));
        QVERIFY(ed->grid()->isHidden());
        QVERIFY(!ed->window->cmdNewMaterial().isHidden());
        QCOMPARE(nameBox(), QString());
        QCOMPARE(ed->tree()->image(ed->keyOf(1)), std::string("leaf"));
    }

    void keyboardSelectionShowsTheMaterialToo() {
        show(0);
        ed->tree()->setFocus();
        QTest::keyClick(ed->tree(), Qt::Key_Down);
        QCOMPARE(nameBox(), QStringLiteral("Copper"));
    }

    void expandingSwitchesTheBook() {
        QTreeWidgetItem* polymers = ed->tree()->itemForKey("Polymers    ");
        ed->tree()->collapseItem(polymers);
        QCOMPARE(ed->tree()->image("Polymers    "), std::string("closedbook"));
        ed->tree()->expandItem(polymers);
        QCOMPARE(ed->tree()->image("Polymers    "), std::string("openbook"));
    }

    void typingAValueAndLeavingTheCellStoresItInSi() {
        show(0);
        QVERIFY(ed->clickCell("EX", 1));
        QVERIFY2(!qobject_cast<QLineEdit*>(QApplication::focusWidget()), "only Value cells edit");
        typeInto("EX", "1000");
        QVERIFY(ed->clickCell("DENS", 1)); // leaves the edited cell
        QCOMPARE(ed->stored(0, "EX"), 1000 * 6893.5773);
        QCOMPARE(ed->shown("EX"), QStringLiteral("1000"));
        QVERIFY(ed->messages.questions.empty());
        QVERIFY(!ed->form().EditStarted);
    }

    void clickingAnotherMaterialStoresTheEditIntoTheOneEdited() {
        show(0);
        typeInto("NUXY", "0.25");
        show(1);
        QCOMPARE(ed->stored(0, "NUXY"), 0.25);
        QCOMPARE(ed->stored(1, "NUXY"), 0.34);
        QCOMPARE(ed->shown("NUXY"), QStringLiteral("0.34"));
    }

    void switchingTheUnitsComboChangesTheTextsAndNothingStored() {
        show(0);
        QCOMPARE(ed->shown("EX"), QStringLiteral("30463140"));
        stepUnits(Qt::Key_Down); // SI
        QCOMPARE(combo("unitsCombo")->currentIndex(), 1);
        QCOMPARE(ed->shown("EX"), QStringLiteral("210000000000"));
        QCOMPARE(ed->shown("EX", 3).trimmed(), QStringLiteral("N/m^2"));
        QCOMPARE(label1(), QStringLiteral("N/m^2"));
        stepUnits(Qt::Key_Up);
        QCOMPARE(ed->shown("EX"), QStringLiteral("30463140"));
        QCOMPARE(ed->stored(0, "EX"), 2.1e11);
    }

    void settingTheUnitsIndexFromCodeActsOnNothing() {
        show(0);
        ed->form().unitsCombo.setListIndex(2);
        QCOMPARE(ed->shown("EX"), QStringLiteral("30463140"));
        QCOMPARE(label1(), QStringLiteral("psi"));
    }

    void openingTheUnitsComboStoresAnEditInTheOldSystem() {
        show(0);
        typeInto("EX", "1000");
        stepUnits(Qt::Key_Down);
        QCOMPARE(ed->stored(0, "EX"), 1000 * 6893.5773);
        QCOMPARE(ed->shown("EX"), QStringLiteral("6893577"));
    }

    void choosingATypeRebuildsTheGrid() {
        show(2);
        combo("typeCombo")->setFocus();
        combo("typeCombo")->setCurrentIndex(11);
        QTest::keyClick(combo("typeCombo"), Qt::Key_Down); // the user's choice: Viscoelastic
        QCOMPARE(ed->grid()->rowCount(), 39);
        QCOMPARE(ed->shown("REFTEMP", 3), QStringLiteral("Fahrenheit"));
        QCOMPARE(ed->shown("REFTEMP", 1), QStringLiteral("Glass transition temperature"));
    }

    void choosingATypeDropsAnOpenEditor() {
        show(0);
        typeInto("EX", "77");
        ed->form().typeCombo.setListIndex(1);
        ed->form().typeCombo_Click();
        QVERIFY(!ed->grid()->indexWidget(ed->grid()->currentIndex())); // no editor left open
        QCOMPARE(ed->stored(0, "EX"), 2.1e11);
        QCOMPARE(ed->shown("EX"), QStringLiteral("30463140"));
    }

    void columnsFitTheirContents() {
        show(0);
        QCoreApplication::processEvents();
        QVERIFY(ed->grid()->columnWidth(1) >=
                QFontMetrics(ed->grid()->font()).horizontalAdvance(ed->shown("EX", 1)));
    }

    void hitTestFindsOnlyNodeLabels() {
        QCOMPARE(ed->tree()->hitTest(0, 0), std::optional<std::string>());
        const QRect r = ed->tree()->visualItemRect(ed->tree()->itemForKey(ed->keyOf(0)));
        QCOMPARE(ed->tree()->hitTest(r.center().x(), r.center().y()), std::optional(ed->keyOf(0)));
    }
};

} // namespace mb::test

QTEST_MAIN(mb::test::BaseFormWindowTest)
#include "BaseFormWindowTest.moc"
