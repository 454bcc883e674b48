// Run with a German locale: the user's decimal comma is read from the system, shown in
// the grid and accepted when typed.

#include "QtServices.h"
#include "RunningBrowser.h"

namespace mb::test {

class DecimalCommaTest : public QObject, RunningBrowser {
    Q_OBJECT

private slots:
    void init() { RunningBrowser::init(); }
    void cleanup() { RunningBrowser::cleanup(); }

    void typedCommaValueIsStoredAndShownWithTheComma() {
        QCOMPARE(qt::QtLocale().decimalSeparator(), std::string(","));
        startOnMetals(messages.get());
        click("Steel");
        QCOMPARE(shown("NUXY"), QStringLiteral("0,3"));
        QVERIFY(typeInto("NUXY", QStringLiteral("2,5")));
        click("Copper"); // stores the edit
        QCOMPARE(stored(0, "NUXY"), 2.5);
        click("Steel");
        QCOMPARE(shown("NUXY"), QStringLiteral("2,5"));
    }
};

} // namespace mb::test

QTEST_MAIN(mb::test::DecimalCommaTest)
#include "DecimalCommaTest.moc"
