// The Qt platform services: message boxes, file filters, the settings back end and the
// settings store on it, and the grid's report of the cell being left.

#include "platform/qt/QtGrid.h"
#include "platform/qt/QtServices.h"
#include "shell/clsRegistry.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace mb::test {

class QtServicesTest : public QObject {
    Q_OBJECT

private:
    struct Seen {
        QString title, text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QList<QMessageBox::StandardButton> buttons;
    };

    /// Shows a box and presses `press` on it, recording what the user saw.
    std::pair<MsgResult, Seen> answer(MsgButtons buttons, MsgIcon icon, const std::string& title,
                                      QMessageBox::StandardButton press) {
        Seen seen;
        QTimer::singleShot(0, this, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            seen.title = box->windowTitle();
            seen.text = box->text();
            seen.icon = box->icon();
            for (QAbstractButton* b : box->buttons()) seen.buttons << box->standardButton(b);
            box->button(press)->click();
        });
        qt::QtMessageBox messageBox;
        const MsgResult result = messageBox.show("Save changes to x.lib ?", buttons, icon, title);
        return {result, seen};
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void messageBoxShowsTheApplicationTitleWhenNoneIsGiven() {
        const auto [result, seen] =
            answer(MsgButtons::YesNoCancel, MsgIcon::Question, "", QMessageBox::No);
        QCOMPARE(result, MsgResult::No);
        QCOMPARE(seen.title, QStringLiteral("VELTRA/M Material Browser"));
        QCOMPARE(seen.text, QStringLiteral("Save changes to x.lib ?"));
        QCOMPARE(seen.icon, QMessageBox::Question);
        QCOMPARE(seen.buttons.size(), 3);
    }

    void messageBoxKeepsAGivenTitleAndIcon() {
        const auto [result, seen] =
            answer(MsgButtons::RetryCancel, MsgIcon::Critical, "Write error", QMessageBox::Retry);
        QCOMPARE(result, MsgResult::Retry);
        QCOMPARE(seen.title, QStringLiteral("Write error"));
        QCOMPARE(seen.icon, QMessageBox::Critical);
        const auto [ok, seenOk] = answer(MsgButtons::OK, MsgIcon::Exclamation, "", QMessageBox::Ok);
        QCOMPARE(ok, MsgResult::OK);
        QCOMPARE(seenOk.icon, QMessageBox::Warning);
        QCOMPARE(seenOk.buttons, QList<QMessageBox::StandardButton>{QMessageBox::Ok});
    }

    void fileFiltersBecomeQtFilters() {
        QCOMPARE(qt::QtFileDialogs::toQtFilter("VELTRA Material Files (*.lib)|*.lib|Excel Files  "
                                               "(*.xls)|*.xls|All Files  (*.*)|*.*"),
                 QStringLiteral("VELTRA Material Files (*.lib);;Excel Files (*.xls);;All Files (*)"));
        QCOMPARE(qt::QtFileDialogs::toQtFilter("Libraries|*.lib;*.LIB"),
                 QStringLiteral("Libraries (*.lib *.LIB)"));
        QCOMPARE(qt::QtFileDialogs::toQtFilter(""), QString());
    }

    void settingsKeepBinaryValuesBinary() {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("settings.ini"));
        qt::QtSettingsBackend backend(file);
        QVERIFY(!backend.openKey("Unit"));
        auto key = backend.createKey("Unit");
        QVERIFY(key);
        QVERIFY(key->setBinaryValue("BinaryValue", std::string("\x02\x00\x00\x00", 4)));
        key.reset();

        qt::QtSettingsBackend again(file);
        auto reopened = again.openKey("Unit");
        QVERIFY(reopened);
        const SettingsValue v = reopened->queryValue("BinaryValue");
        QCOMPARE(v.type, SettingsValue::Type::Binary);
        QCOMPARE(v.data, std::string("\x02\x00\x00\x00", 4));
        QCOMPARE(reopened->queryValue("Missing").type, SettingsValue::Type::Missing);
    }

    void settingsReadTextAndOtherValues() {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("settings.ini"));
        {
            QSettings ini(file, QSettings::IniFormat);
            ini.setValue(QStringLiteral("Unit/BinaryValue"), QStringLiteral("2"));
            ini.setValue(QStringLiteral("Unit/List"), QStringList{QStringLiteral("a"), QStringLiteral("b")});
        }
        qt::QtSettingsBackend backend(file);
        auto key = backend.openKey("Unit");
        QVERIFY(key);
        const SettingsValue text = key->queryValue("BinaryValue");
        QCOMPARE(text.type, SettingsValue::Type::Text);
        QCOMPARE(text.data, std::string("2"));
        QCOMPARE(key->queryValue("List").type, SettingsValue::Type::Other);

        clsRegistry registry(backend);
        QCOMPARE(registry.GetValue(), int16_t(2));
    }

    void settingsStoreRoundTripsThroughTheIniFile() {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("settings.ini"));
        qt::QtSettingsBackend backend(file);
        clsRegistry registry(backend);
        QCOMPARE(registry.GetValue(), int16_t(0)); // first run: written as 0
        QVERIFY(QFile::exists(file));
        registry.SetValue(1);
        qt::QtSettingsBackend later(file);
        QCOMPARE(clsRegistry(later).GetValue(), int16_t(1));
    }

    void defaultSettingsLiveInTheUsersConfigurationFolder() {
        qt::QtSettingsBackend backend;
        QVERIFY(backend.fileName().startsWith(
            QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)));
    }

    void gridReportsTheCellBeingLeft() {
        qt::QtGrid grid;
        grid.setCols(4);
        grid.setRows(4);
        grid.setCurrentCell(1, 2);
        grid.setText("5");
        grid.setCurrentCell(3, 2);
        grid.setText("7");
        QList<std::tuple<int, int, std::string>> left;
        connect(&grid, &qt::QtGrid::leaveCell, this, [&] {
            left.append({grid.row(), grid.col(), grid.text()});
            if (grid.text() == "7") grid.setText("");
        });
        grid.resize(400, 200);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {},
                          grid.visualItemRect(grid.item(0, 2)).center());
        QCOMPARE(left.size(), 1);
        QCOMPARE(left[0], std::make_tuple(3, 2, std::string("7")));
        QCOMPARE(grid.textMatrix(3, 2), std::string()); // cleared by the handler
        QCOMPARE(grid.row(), 1);
        QCOMPARE(grid.text(), std::string("5"));
        grid.setCurrentCell(0, 0);
        QCOMPARE(left.size(), 2);
        QCOMPARE(left[1], std::make_tuple(1, 2, std::string("5")));
        QCOMPARE(grid.textMatrix(0, 0), std::string());
    }

    void gridHeaderIsRowZero() {
        qt::QtGrid grid;
        grid.setCols(4);
        grid.setRows(3);
        QCOMPARE(grid.rows(), 3);
        QCOMPARE(grid.rowCount(), 2);
        grid.setCurrentCell(0, 1);
        grid.setText("Description");
        QCOMPARE(grid.horizontalHeaderItem(1)->text(), QStringLiteral("Description"));
        grid.setCurrentCell(2, 1);
        grid.setText("EX");
        QCOMPARE(grid.item(1, 1)->text(), QStringLiteral("EX"));
        QVERIFY(!(grid.item(1, 1)->flags() & Qt::ItemIsEditable));
        grid.setCurrentCell(2, 2);
        grid.setText("1");
        QVERIFY(grid.item(1, 2)->flags() & Qt::ItemIsEditable);
        grid.clear();
        QCOMPARE(grid.textMatrix(0, 1), std::string());
        QCOMPARE(grid.textMatrix(2, 2), std::string());
    }

    void latin1TextSurvivesTheGrid() {
        qt::QtGrid grid;
        grid.setCols(4);
        grid.setRows(2);
        grid.setCurrentCell(1, 1);
        const std::string text = "Dichte \xE4\xF6\xFC \xB0" "C";
        grid.setText(text);
        QCOMPARE(grid.text(), text);
    }
};

} // namespace mb::test

QTEST_MAIN(mb::test::QtServicesTest)
#include "QtServicesTest.moc"
