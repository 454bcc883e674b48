// The editor window driven as a user drives it, on the offscreen platform: clicks on the
// tree and the grid, typing into the cell editor, choosing from the selectors.

#include "FakeServices.h"
#include "app/BaseFormWindow.h"
#include "model/NodeKey.h"
#include "platform/qt/QtControls.h"
#include "platform/qt/QtGrid.h"
#include "platform/qt/QtTree.h"
#include "shell/AppState.h"
#include "views/BaseForm.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTest>

namespace mb::test {

namespace {

constexpr double kPsi = 6893.5773;

void AddMaterial(Library& lib, const std::string& category, const std::string& name,
                 std::initializer_list<std::pair<const char*, double>> values) {
    const int n = lib.AppendMaterial();
    lib.Entry(n) = {category, "", name, "Description of " + name};
    clsMaterial& m = lib.Material(n);
    m.MaterialType(category);
    m.MaterialName(name);
    for (const auto& [code, si] : values) m.CopyProperty(code, si);
}

} // namespace

class BaseFormWindowTest : public QObject {
    Q_OBJECT

private:
    AppState state;
    fake::FakeMessageBox messages;
    fake::FakeLocale locale{"."};
    std::unique_ptr<BaseFormWindow> window;

    qt::QtTree* tree() { return window->findChild<qt::QtTree*>("TreeView1"); }
    qt::QtGrid* grid() { return window->findChild<qt::QtGrid*>("VSFlexGrid1"); }
    qt::QtComboBox* combo(const char* name) { return window->findChild<qt::QtComboBox*>(name); }

    std::string keyOf(int n) {
        const LibraryEntry& e = state.library.Entry(n);
        return MaterialNodeKey(e.Category, e.Name, n);
    }

    void clickNode(const std::string& key) {
        QTreeWidgetItem* item = tree()->itemForKey(key);
        QVERIFY(item);
        tree()->scrollToItem(item);
        QTest::mouseClick(tree()->viewport(), Qt::LeftButton, {},
                          tree()->visualItemRect(item).center());
    }

    int rowOf(const QString& code) {
        for (int r = 0; r < grid()->rowCount(); ++r)
            if (grid()->item(r, 0) && grid()->item(r, 0)->text() == code) return r;
        return -1;
    }
    QString shown(const QString& code, int col = 2) {
        const int r = rowOf(code);
        return r < 0 || !grid()->item(r, col) ? QString() : grid()->item(r, col)->text();
    }

    void clickCell(int tableRow, int col) {
        QTableWidgetItem* item = grid()->item(tableRow, col);
        QVERIFY(item);
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {},
                          grid()->visualItemRect(item).center());
    }

    /// Clicks a Value cell and types into the editor that opens.
    void typeInto(const QString& code, const QString& text) {
        clickCell(rowOf(code), 2);
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        QVERIFY2(editor, "a click in the Value column opens the cell editor");
        editor->selectAll();
        QTest::keyClicks(editor, text);
    }

    double stored(int n, const std::string& code) {
        clsMaterial& m = state.library.Material(n);
        m.Property(code);
        return m.value();
    }

private slots:
    void init() {
        state = AppState{};
        messages.questions.clear();
        AddMaterial(state.library, "Metals    ", "Steel",
                    {{"EX", 2.1e11}, {"NUXY", 0.3}, {"DENS", 7850}});
        AddMaterial(state.library, "Metals    ", "Copper", {{"EX", 1.2e11}, {"NUXY", 0.34}});
        AddMaterial(state.library, "Polymers    ", "Polycarbonate",
                    {{"EX", 2.4e9}, {"G1", 1.5e8}, {"REFTEMP", 420}, {"DENS", 1200}});
        window = std::make_unique<BaseFormWindow>(state, messages, locale);
        BaseForm& form = window->form();
        BuildTree(state.library, form.TreeView1);
        form.FillUnitsList();
        form.FillTypeList();
        form.unitsCombo_Click();
        window->resize(900, 600);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        tree()->expandAll();
    }

    void cleanup() { window.reset(); }

    void everyControlCanBeFoundByItsName() {
        for (const char* name : {"TreeView1", "VSFlexGrid1", "unitsCombo", "typeCombo",
                                 "materialTypeText", "materialNameText", "descriptionText",
                                 "cmdNewMaterial", "reset", "AddSet", "valueframe"})
            QVERIFY2(window->findChild<QWidget*>(name), name);
        for (int i = 1; i <= 12; ++i) {
            auto* label = window->findChild<QLabel*>(QStringLiteral("unitStringsLabel%1").arg(i));
            QVERIFY(label);
            QVERIFY(label->isHidden());
        }
        QCOMPARE(window->findChild<QPushButton*>("cmdNewMaterial")->text(),
                 QStringLiteral("&Add New Material"));
        QCOMPARE(window->findChild<QPushButton*>("reset")->text(), QStringLiteral("&Reset"));
        QCOMPARE(window->findChild<QPushButton*>("AddSet")->text(), QStringLiteral("&Clear"));
        QCOMPARE(window->findChild<QLabel*>("materialTypeTextLabel")->text(),
                 QStringLiteral("Category     :"));
        QVERIFY(grid()->isAncestorOf(grid()) &&
                window->findChild<QWidget*>("valueframe")->isAncestorOf(grid()));
        QCOMPARE(window->findChild<QSplitter*>("splitter")->widget(0), tree());
    }

    void clickingANodeShowsItsValues() {
        clickNode(keyOf(1));
        QCOMPARE(window->materialNameText().QLineEdit::text(), QStringLiteral("Copper"));
        QCOMPARE(window->materialTypeText().QLineEdit::text(), QStringLiteral("Metals    "));
        QVERIFY(!grid()->isHidden());
        QVERIFY(window->cmdNewMaterial().isHidden());
        QVERIFY(!window->reset().isHidden());
        QCOMPARE(grid()->horizontalHeaderItem(2)->text(), QStringLiteral("Value"));
        QCOMPARE(shown("NUXY"), QStringLiteral("0.34"));
        QCOMPARE(shown("EX"), QStringLiteral("17407510")); // 1.2E11 / 6893.5773
        QCOMPARE(shown("EX", 3).trimmed(), QStringLiteral("psi"));
        QCOMPARE(state.library.LastNodeKey, keyOf(1));
    }

    void clickingACategoryHidesTheGrid() {
        clickNode(keyOf(0));
        clickNode("Polymers    ");
        QVERIFY(grid()->isHidden());
        QVERIFY(!window->cmdNewMaterial().isHidden());
        QCOMPARE(window->materialNameText().QLineEdit::text(), QString());
        QCOMPARE(tree()->image(keyOf(0)), std::string("leaf"));
    }

    void keyboardSelectionShowsTheMaterialToo() {
        clickNode(keyOf(0));
        tree()->setFocus();
        QTest::keyClick(tree(), Qt::Key_Down);
        QCOMPARE(window->materialNameText().QLineEdit::text(), QStringLiteral("Copper"));
    }

    void expandingSwitchesTheBook() {
        QTreeWidgetItem* polymers = tree()->itemForKey("Polymers    ");
        tree()->collapseItem(polymers);
        QCOMPARE(tree()->image("Polymers    "), std::string("closedbook"));
        tree()->expandItem(polymers);
        QCOMPARE(tree()->image("Polymers    "), std::string("openbook"));
    }

    void typingAValueAndLeavingTheCellStoresItInSi() {
        clickNode(keyOf(0));
        typeInto("EX", "1000");
        clickCell(rowOf("DENS"), 1); // leaves the edited cell
        QCOMPARE(stored(0, "EX"), 1000 * kPsi);
        QCOMPARE(shown("EX"), QStringLiteral("1000"));
        QVERIFY(messages.questions.empty());
        QVERIFY(!window->form().EditStarted);
    }

    void clickingAnotherMaterialStoresTheEditIntoTheOneEdited() {
        clickNode(keyOf(0));
        typeInto("NUXY", "0.25");
        clickNode(keyOf(1));
        QCOMPARE(stored(0, "NUXY"), 0.25);
        QCOMPARE(stored(1, "NUXY"), 0.34);
        QCOMPARE(shown("NUXY"), QStringLiteral("0.34"));
    }

    void negativeValueIsRefusedWithTheMessage() {
        clickNode(keyOf(0));
        typeInto("EX", "-5");
        clickCell(rowOf("DENS"), 1);
        QCOMPARE(messages.questions.size(), std::size_t(1));
        QCOMPARE(messages.questions[0].text, std::string("Value entered must be a positive number"));
        QCOMPARE(shown("EX"), QString());
        QCOMPARE(stored(0, "EX"), 2.1e11);
    }

    void lettersEmptyTheCell() {
        clickNode(keyOf(0));
        typeInto("EX", "abc");
        clickCell(rowOf("DENS"), 1);
        QVERIFY(messages.questions.empty());
        QCOMPARE(shown("EX"), QString());
        QCOMPARE(stored(0, "EX"), 2.1e11);
    }

    void onlyTheValueColumnOpensAnEditor() {
        clickNode(keyOf(0));
        clickCell(rowOf("EX"), 1);
        QVERIFY(!qobject_cast<QLineEdit*>(QApplication::focusWidget()));
        QVERIFY(!window->form().EditStarted);
    }

    void switchingTheUnitsComboChangesTheTextsAndNothingStored() {
        clickNode(keyOf(0));
        QCOMPARE(shown("EX"), QStringLiteral("30463140"));
        combo("unitsCombo")->setFocus();
        QTest::keyClick(combo("unitsCombo"), Qt::Key_Down); // the user's choice: SI
        QCOMPARE(combo("unitsCombo")->currentIndex(), 1);
        QCOMPARE(shown("EX"), QStringLiteral("210000000000"));
        QCOMPARE(shown("EX", 3).trimmed(), QStringLiteral("N/m^2"));
        QCOMPARE(window->findChild<QLabel*>("unitStringsLabel1")->text().trimmed(),
                 QStringLiteral("N/m^2"));
        QCOMPARE(stored(0, "EX"), 2.1e11);
        QTest::keyClick(combo("unitsCombo"), Qt::Key_Up);
        QCOMPARE(shown("EX"), QStringLiteral("30463140"));
        QCOMPARE(stored(0, "EX"), 2.1e11);
    }

    void settingTheUnitsIndexFromCodeActsOnNothing() {
        clickNode(keyOf(0));
        window->form().unitsCombo.setListIndex(2);
        QCOMPARE(shown("EX"), QStringLiteral("30463140"));
        QCOMPARE(window->findChild<QLabel*>("unitStringsLabel1")->text().trimmed(),
                 QStringLiteral("psi"));
    }

    void openingTheUnitsComboStoresAnEditInTheOldSystem() {
        clickNode(keyOf(0));
        typeInto("EX", "1000");
        combo("unitsCombo")->setFocus();
        QTest::keyClick(combo("unitsCombo"), Qt::Key_Down);
        QCOMPARE(stored(0, "EX"), 1000 * kPsi);
        QCOMPARE(shown("EX"), QStringLiteral("6893577"));
    }

    void choosingATypeRebuildsTheGrid() {
        clickNode(keyOf(2));
        combo("typeCombo")->setFocus();
        combo("typeCombo")->setCurrentIndex(11);
        QTest::keyClick(combo("typeCombo"), Qt::Key_Down); // the user's choice: Viscoelastic
        QCOMPARE(grid()->rowCount(), 39);
        QCOMPARE(shown("REFTEMP", 3), QStringLiteral("Fahrenheit"));
        QCOMPARE(shown("REFTEMP", 1), QStringLiteral("Glass transition temperature"));
    }

    void choosingATypeDropsAnOpenEditor() {
        clickNode(keyOf(0));
        typeInto("EX", "77");
        window->form().typeCombo.setListIndex(1);
        window->form().typeCombo_Click();
        QVERIFY(!grid()->indexWidget(grid()->currentIndex())); // no editor left open
        QCOMPARE(stored(0, "EX"), 2.1e11);
        QCOMPARE(shown("EX"), QStringLiteral("30463140"));
    }

    void columnsFitTheirContents() {
        clickNode(keyOf(0));
        QCoreApplication::processEvents();
        const QFontMetrics fm(grid()->font());
        QVERIFY(grid()->columnWidth(1) >= fm.horizontalAdvance(shown("EX", 1)));
    }

    void hitTestFindsOnlyNodeLabels() {
        QCOMPARE(tree()->hitTest(0, 0), std::optional<std::string>());
        const QRect r = tree()->visualItemRect(tree()->itemForKey(keyOf(0)));
        QCOMPARE(tree()->hitTest(r.center().x(), r.center().y()), std::optional(keyOf(0)));
    }
};

} // namespace mb::test

QTEST_MAIN(mb::test::BaseFormWindowTest)
#include "BaseFormWindowTest.moc"
