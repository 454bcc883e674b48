// The Check Library list's model: lines stay in material order as one material's lines are
// replaced, and an empty list still says so in one line that stands for no material.
#include "FindingListModel.h"

#include <QApplication>
#include <QPaintEvent>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

namespace mb::test {

class FindingListModelTest : public QObject {
    Q_OBJECT

    static QStringList shown(const qt::FindingListModel& model) {
        QStringList out;
        for (int row = 0; row < model.rowCount(); ++row)
            out << QString::number(model.materialAt(row)) + " " +
                       model.index(row).data().toString();
        return out;
    }

private slots:
    void replacingOneMaterialKeepsTheOthersAndTheOrder() {
        qt::FindingListModel model(*QApplication::style(), {}, nullptr);
        model.setLines({{1, RowMark::Error, "a"},
                        {4, RowMark::Warning, "b"},
                        {4, RowMark::Warning, "c"},
                        {9, RowMark::Error, "d"}});
        model.replaceMaterial(4, {{4, RowMark::Error, "e"}});
        model.replaceMaterial(6, {{6, RowMark::Warning, "f"}, {6, RowMark::Warning, "g"}});
        model.replaceMaterial(0, {{0, RowMark::Error, "h"}});
        model.replaceMaterial(9, {});
        QCOMPARE(shown(model), QStringList({"0 h", "1 a", "4 e", "6 f", "6 g"}));
        QCOMPARE(model.index(2).data(Qt::UserRole).toInt(), 4);
        QVERIFY(!model.index(2).data(Qt::DecorationRole).isNull());
    }

    // Numbers moved by a removal or a move: lines go with their materials, in number order,
    // keeping their words; the lines of a material that went go too.
    void renumberingMovesTheLinesWithTheirMaterials() {
        qt::FindingListModel model(*QApplication::style(), {}, nullptr);
        model.setLines({{0, RowMark::Error, "a"},
                        {1, RowMark::Warning, "b"},
                        {1, RowMark::Error, "c"},
                        {3, RowMark::Error, "d"}});
        QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
        model.renumber({2, 0, -1});
        QCOMPARE(shown(model), QStringList({"0 b", "0 c", "2 a"}));

        // A removal shifts the numbers after it, an insertion (its undo) shifts them back,
        // and a move takes one material to the end: the rows of the others stay where they
        // are, so that the list keeps the line the user is on.
        model.setLines({{0, {}, "a"}, {1, {}, "b"}, {2, {}, "c"}, {2, {}, "d"}, {3, {}, "e"}});
        qt::FindingListView view;
        view.setModel(&model);
        view.setCurrentIndex(model.index(4));
        QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
        model.renumber({0, -1, 1, 2});
        QCOMPARE(shown(model), QStringList({"0 a", "1 c", "1 d", "2 e"}));
        QCOMPARE(removed.count(), 1);
        QCOMPARE(view.currentIndex().data().toString(), QStringLiteral("e"));
        model.renumber({0, 2, 3, 4});
        model.replaceMaterial(1, {{1, RowMark::Warning, "b"}});
        QCOMPARE(shown(model), QStringList({"0 a", "1 b", "2 c", "2 d", "3 e"}));
        QCOMPARE(view.currentIndex().data().toString(), QStringLiteral("e"));
        model.renumber({0, 3, 1, 2}); // 1 dragged to the end
        QCOMPARE(shown(model), QStringList({"0 a", "1 c", "1 d", "2 e", "3 b"}));
        QCOMPARE(view.currentIndex().data().toString(), QStringLiteral("e"));
        model.renumber({0, 2, 3, 1}); // and back
        QCOMPARE(shown(model), QStringList({"0 a", "1 b", "2 c", "2 d", "3 e"}));
        QCOMPARE(view.currentIndex().data().toString(), QStringLiteral("e"));
        QCOMPARE(reset.count(), 1); // setLines

        model.renumber({-1});
        QCOMPARE(shown(model), QStringList({"-1 No errors or warnings in this library."}));
    }

    // Qt sizes uniform lines by the last one: the list's width must not follow it, or a
    // material moved to the end and back makes the horizontal scroll bar come and go.
    void theListIsAsWideAsTheWidestLastLineOfOneCheck() {
        const std::string wide(80, 'w');
        qt::FindingListModel model(*QApplication::style(), {}, nullptr);
        model.setLines({{0, {}, "a"}, {1, {}, wide}});
        qt::FindingListView view;
        view.setModel(&model);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        const int range = view.horizontalScrollBar()->maximum();
        QVERIFY(range > 0);
        view.changeInOne([&] { model.replaceMaterial(2, {{2, {}, "b"}}); });
        QCOMPARE(view.horizontalScrollBar()->maximum(), range);
        model.setLines({{0, {}, "a"}, {1, {}, "b"}}); // checked again
        QCOMPARE(view.horizontalScrollBar()->maximum(), 0);
    }

    void anEmptyListShowsOneLineForNoMaterial() {
        qt::FindingListModel model(*QApplication::style(), {}, nullptr);
        const QStringList none{"-1 No errors or warnings in this library."};
        model.setLines({});
        QCOMPARE(shown(model), none);
        QVERIFY(!model.index(0).data(Qt::UserRole).isValid());
        QVERIFY(model.index(0).data(Qt::DecorationRole).isNull());
        model.replaceMaterial(3, {{3, RowMark::Error, "x"}});
        QCOMPARE(shown(model), QStringList({"3 x"}));
        model.replaceMaterial(3, {});
        QCOMPARE(shown(model), none);
    }

    // The list gets the findings without words; a line is worded when first shown, with
    // the other lines of its material, and kept.
    void linesAreWordedWhenFirstShownAMaterialAtATime() {
        QList<int> asked;
        qt::FindingListModel model(
            *QApplication::style(),
            [&asked](int n) {
                asked << n;
                const std::string name = "M" + std::to_string(n);
                return std::vector<LibraryFindingLine>{{n, RowMark::Error, name + " first"},
                                                       {n, RowMark::Warning, name + " second"}};
            },
            nullptr);
        model.setLines({{2, RowMark::Error, ""},
                        {2, RowMark::Warning, ""},
                        {5, RowMark::Error, ""},
                        {5, RowMark::Warning, ""}});
        QCOMPARE(model.index(3).data().toString(), QStringLiteral("M5 second"));
        QCOMPARE(model.index(2).data().toString(), QStringLiteral("M5 first"));
        QCOMPARE(asked, QList<int>({5}));
        model.replaceMaterial(5, {{5, RowMark::Error, ""}});
        QCOMPARE(shown(model), QStringList({"2 M2 first", "2 M2 second", "5 M5 first"}));
        QCOMPARE(asked, QList<int>({5, 2, 5}));

        // As many lines as before: changed in place, no row taken out or put in.
        QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        model.replaceMaterial(2, {{2, RowMark::Warning, "x"}, {2, RowMark::Error, "y"}});
        QCOMPARE(shown(model), QStringList({"2 x", "2 y", "5 M5 first"}));
        QCOMPARE(removed.count(), 0);
        QCOMPARE(changed.count(), 2);

        // Another unit system: every line is worded again when next shown.
        model.unword();
        QCOMPARE(shown(model), QStringList({"2 M2 first", "2 M2 second", "5 M5 first"}));
        QCOMPARE(asked, QList<int>({5, 2, 5, 2, 5}));
    }

    // A changed line is drawn alone; the last, whose size every line takes, lays them out.
    void aChangedLineIsDrawnAgainAlone() {
        qt::FindingListModel model(*QApplication::style(), {}, nullptr);
        model.setLines({{0, RowMark::Warning, "a"}, {1, RowMark::Error, "b"}, {2, {}, "c"}});
        qt::FindingListView view;
        view.setModel(&model);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QTest::qWait(50);
        struct : QObject {
            QRegion region;
            bool eventFilter(QObject*, QEvent* e) override {
                if (e->type() == QEvent::Paint) region += static_cast<QPaintEvent*>(e)->region();
                return false;
            }
        } painted;
        view.viewport()->installEventFilter(&painted);
        model.replaceMaterial(1, {{1, RowMark::Error, "b, now an error"}});
        QTest::qWait(50);
        QCOMPARE(painted.region, QRegion(view.visualRect(model.index(1))));
        model.replaceMaterial(2, {{2, RowMark::Error, std::string(300, 'c')}});
        QTRY_VERIFY(view.visualRect(model.index(0)).width() > 1000);
    }
};

} // namespace mb::test

QTEST_MAIN(mb::test::FindingListModelTest)
#include "FindingListModelTest.moc"
