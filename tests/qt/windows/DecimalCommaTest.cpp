// Run with a German locale: the user's decimal comma is read from the system, shown in
// the grid and accepted when typed.

#include "DecimalSeparator.h"
#include "EditorWindowFixture.h"
#include "QtServices.h"

namespace mb::test {

class DecimalCommaTest : public QObject {
    Q_OBJECT

private slots:
    void typedCommaValueIsStoredAndShownWithTheComma() {
        qt::QtLocale locale;
        QCOMPARE(locale.decimalSeparator(), std::string(","));
        EditorWindow ed(locale);
        ReadLocaleDecimalSeparator(ed.state, locale);
        ed.clickNode(0);
        QCOMPARE(ed.shown("NUXY"), QStringLiteral("0,3"));
        ed.typeInto("NUXY", QStringLiteral("2,5"));
        ed.clickNode(1); // stores the edit
        QCOMPARE(ed.stored(0, "NUXY"), 2.5);
        ed.clickNode(0);
        QCOMPARE(ed.shown("NUXY"), QStringLiteral("2,5"));
    }
};

} // namespace mb::test

QTEST_MAIN(mb::test::DecimalCommaTest)
#include "DecimalCommaTest.moc"
