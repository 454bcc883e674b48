// The mouse in the editor window, in the whole application as a user meets it: a drag
// that moves nothing, clicks into the three boxes, and a click on the tree while a box
// holds a text that is too long.

#include "QtGrid.h"
#include "RunningBrowser.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QMimeData>
#include <QSplitter>

namespace mb::test {

class EditorMouseTest : public QObject, RunningBrowser {
    Q_OBJECT

    /// The category, name and description boxes' texts.
    QStringList allBoxes() {
        return {text("materialTypeText"), text("materialNameText"), text("descriptionText")};
    }
    /// A click inside a box, on its text rather than at its start.
    void clickInto(const char* name) {
        QTest::mouseClick(box(name), Qt::LeftButton, {}, QPoint(24, box(name)->height() / 2));
    }
    /// Delivers a drop on `target` as the window system would: the offscreen platform runs
    /// no drag loop of its own, and the drag takes the button's release.
    void dropOn(QTreeWidgetItem* target) {
        QMimeData mime;
        mime.setData(QStringLiteral("application/x-material-node"), QByteArray());
        const QPoint to = pointOf(target);
        QDragEnterEvent enter(to, Qt::MoveAction, &mime, Qt::LeftButton, {});
        QDragMoveEvent move(to, Qt::MoveAction, &mime, Qt::LeftButton, {});
        QDropEvent drop(to, Qt::MoveAction, &mime, Qt::LeftButton, {});
        for (QEvent* e : std::initializer_list<QEvent*>{&enter, &move, &drop})
            QApplication::sendEvent(tree()->viewport(), e);
    }
private slots:
    void init() { initOnMetals(); }
    void cleanup() { RunningBrowser::cleanup(); }

    void aDragThatMovesNothingLeavesTheNextClickWorking() {
        // Dropped on the material's own category, then on a sibling material.
        const std::pair<const char*, const char*> drops[] = {{"Copper", "Metals"},
                                                             {"Brass", nullptr}};
        for (const auto& [dragged, onCategory] : drops) {
            QTreeWidgetItem* source = node(dragged);
            QTreeWidgetItem* target = onCategory ? node(onCategory) : node("Steel");
            QVERIFY(source && target);
            const QPoint from = pointOf(source);
            QTest::mousePress(tree()->viewport(), Qt::LeftButton, {}, from);
            QTest::mouseMove(tree()->viewport(), from + QPoint(6, 0)); // starts the drag
            dropOn(target);
            QCOMPARE(library().entry(1).Category, std::string("Metals    "));
            QCOMPARE(library().entry(2).Category, std::string("Metals    "));

            click("Nylon");
            QCOMPARE(tree()->currentItem(), node("Nylon"));
            QCOMPARE(text("materialNameText"), QStringLiteral("Nylon  "));
            QVERIFY(!grid()->isHidden());
        }
    }

    void aDragMovesTheMaterialPressedWhateverThePointerCrossesFirst() {
        // The pointer's first report comes from the row below the one pressed.
        const QPoint from = pointOf(node("Copper"));
        const QPoint firstMove = from + QPoint(0, 12);
        QCOMPARE(tree()->itemAt(firstMove), node("Brass"));
        QTest::mousePress(tree()->viewport(), Qt::LeftButton, {}, from);
        QTest::mouseMove(tree()->viewport(), firstMove);
        QCOMPARE(browser->state().doc.DraggedNodeKey, std::string("Metals    Copper  0001"));
        QCOMPARE(tree()->currentItem(), node("Copper"));
        // Where a moved material goes in the library is TreeEditingTest's.
        dropOn(node("Polymers"));
        QCOMPARE(library().entry(3).Category, std::string("Polymers    "));
        QCOMPARE(tree()->currentItem(), node("Copper"));
        QCOMPARE(tree()->currentItem()->parent(), node("Polymers"));
    }

    // The selection stays with the material the boxes show, which the menu acts on.
    void rightClickOnTheTreePopsUpTheEditMenu() {
        click("Copper");
        click("Nylon", Qt::RightButton);
        QCOMPARE(tree()->selectedItems(), QList<QTreeWidgetItem*>{node("Copper")});
        QWidget* popup = QApplication::activePopupWidget();
        QCOMPARE(popup ? popup->objectName() : QString(), QStringLiteral("edit"));
        popup->close();
    }

    void aClickOnTheSelectedNodeStartsNoRename() {
        click("Copper");
        // Well apart, so the two are no double click.
        QTest::qWait(QApplication::doubleClickInterval() + 50);
        click("Copper");
        QTest::qWait(QApplication::doubleClickInterval() + 50);
        QVERIFY2(!qobject_cast<QLineEdit*>(QApplication::focusWidget()), "no label editor");
        QCOMPARE(QApplication::focusWidget(), tree());
        QCOMPARE(text("materialNameText"), QStringLiteral("Copper  "));
    }

    void aClickIntoABoxSelectsItsWholeText() {
        click("Copper");
        for (const char* name : {"materialTypeText", "materialNameText", "descriptionText"}) {
            clickInto(name);
            QVERIFY2(box(name)->hasFocus(), name);
            QCOMPARE(box(name)->selectedText(), box(name)->QLineEdit::text());
            QVERIFY2(!box(name)->selectedText().trimmed().isEmpty(), name);
            // Typing replaces the whole text.
            QTest::keyClicks(box(name), "Zinc");
            QCOMPARE(text(name), QStringLiteral("Zinc"));
        }
        // A second click into the box that has the focus puts the cursor where it lands.
        clickInto("materialNameText");
        QCOMPARE(box("materialNameText")->selectedText(), QStringLiteral("Zinc"));
        clickInto("materialNameText");
        QCOMPARE(box("materialNameText")->selectedText(), QString());

        // A box whose text fits keeps no press from where it goes: the divider moves.
        auto* splitter = editor()->findChild<QSplitter*>("splitter");
        QSplitterHandle* handle = splitter->handle(1);
        const int treeWidth = splitter->sizes().at(0);
        const QPoint grip = handle->rect().center();
        QTest::mousePress(handle, Qt::LeftButton, {}, grip);
        QTest::mouseMove(handle, grip + QPoint(40, 0));
        QTest::mouseRelease(handle, Qt::LeftButton, {}, grip + QPoint(40, 0));
        QVERIFY(splitter->sizes().at(0) > treeWidth);
    }

    // The messages and the focus kept are the editing commands'.
    void aClickOnTheTreeAfterALengthMessageDoesNothing() {
        const char* name = "materialNameText";
        click("Copper");
        clickInto(name);
        QTest::keyClicks(box(name), "A material name of 31 letters..");
        // The three boxes as they are to stay: the one typed into, as typed.
        const QStringList boxes = allBoxes();
        QCOMPARE(text(name), QStringLiteral("A material name of 31 letters.."));

        for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton}) {
            click("Nylon", button);
            QCOMPARE(messages->questions.size(), std::size_t(1));
            messages->questions.pop_back();
            QVERIFY(box(name)->hasFocus());
            QCOMPARE(tree()->selectedItems(), QList<QTreeWidgetItem*>{node("Copper")});
            QCOMPARE(allBoxes(), boxes);
            QVERIFY(grid()->isHidden());
            QVERIFY2(!QApplication::activePopupWidget(), "no pop-up menu either");
        }
        // Nor is a button pressed: the material is not added.
        auto* add = editor()->findChild<qt::QtButton*>("cmdNewMaterial");
        QVERIFY(!add->isHidden());
        QTest::mouseClick(add, Qt::LeftButton);
        QCOMPARE(messages->questions.size(), std::size_t(1));
        messages->questions.pop_back();
        QCOMPARE(library().LastMaterialIndex(), 3);
        QCOMPARE(allBoxes(), boxes);
        // Nor does a drag start from the refused press.
        const QPoint from = pointOf(node("Steel"));
        QTest::mousePress(tree()->viewport(), Qt::LeftButton, {}, from);
        QTest::mouseMove(tree()->viewport(), from + QPoint(6, 0));
        QTest::mouseRelease(tree()->viewport(), Qt::LeftButton, {}, from + QPoint(6, 0));
        QCOMPARE(messages->questions.size(), std::size_t(1));
        messages->questions.pop_back();
        QCOMPARE(browser->state().doc.DraggedNodeKey, std::string());
        QCOMPARE(tree()->dropHighlight(), std::nullopt);

        // Once the text fits, the click goes through.
        box(name)->selectAll();
        QTest::keyClicks(box(name), "Bronze");
        click("Nylon");
        QVERIFY(messages->questions.empty());
        QCOMPARE(text(name), QStringLiteral("Nylon  "));
    }
};

} // namespace mb::test

QTEST_MAIN(mb::test::EditorMouseTest)
#include "EditorMouseTest.moc"
