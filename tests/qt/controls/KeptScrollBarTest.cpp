// A scroll bar that keeps its drawing: it looks as Qt's own does, and follows every change
// of what it shows.
#include "KeptScrollBar.h"

#include <QTest>

namespace mb::test {

class KeptScrollBarTest : public QObject {
    Q_OBJECT

private slots:
    void drawsAsQtsOwnThroughChangesOfItsValueRangeAndState() {
        QWidget window;
        QScrollBar own(Qt::Horizontal, &window);
        qt::KeptScrollBar kept(Qt::Horizontal, &window);
        const auto both = [&](auto change) {
            change(own);
            change(kept);
            return own.grab().toImage() == kept.grab().toImage();
        };
        QVERIFY(both([](QScrollBar& bar) {
            bar.setGeometry(0, bar.inherits("mb::qt::KeptScrollBar") ? 80 : 40, 600, 16);
            bar.setRange(0, 2000);
            bar.setPageStep(600);
        }));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QImage first = kept.grab().toImage();
        QVERIFY2(both([](QScrollBar&) {}), "drawn from what it kept");
        QVERIFY(both([](QScrollBar& bar) { bar.setValue(900); }));
        QVERIFY(kept.grab().toImage() != first);
        QVERIFY(both([](QScrollBar& bar) { bar.setRange(0, 300); }));
        QVERIFY(both([](QScrollBar& bar) { bar.setEnabled(false); }));
    }
};

} // namespace mb::test

QTEST_MAIN(mb::test::KeptScrollBarTest)
#include "KeptScrollBarTest.moc"
