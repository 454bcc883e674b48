// The Qt platform services: message boxes, file filters, the settings back end and the
// settings store on it, and the grid's report of the cell being left.

#include "platform/qt/QtServices.h"
#include "platform/qt/QtGrid.h"
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
        MsgResult result;
        QString title, text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QList<QMessageBox::StandardButton> buttons;
    };

    /// Shows a box and presses `press` on it, recording what the user saw.
    Seen answer(MsgButtons buttons, MsgIcon icon, const std::string& title,
                QMessageBox::StandardButton press) {
        Seen seen;
        QTimer::singleShot(0, this, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            seen.title = box->windowTitle();
            seen.text = box->text();
            seen.icon = box->icon();
            for (QAbstractButton* b : box->buttons())
                seen.buttons << box->standardButton(b);
            box->button(press)->click();
        });
        seen.result = qt::QtMessageBox().show("Save changes to x.lib ?", buttons, icon, title);
        return seen;
    }

    /// A settings file of its own for every test, in a folder removed afterwards.
    std::unique_ptr<QTemporaryDir> dir;
    QString iniFile() const { return dir->filePath(QStringLiteral("settings.ini")); }

    static qt::QtGrid* makeGrid(int rows) {
        auto* grid = new qt::QtGrid;
        grid->setCols(4);
        grid->setRows(rows);
        return grid;
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() { dir = std::make_unique<QTemporaryDir>(); }

    void messageBoxShowsTheTextIconButtonsAndTheApplicationTitleWhenNoneIsGiven() {
        const Seen asked = answer(MsgButtons::YesNoCancel, MsgIcon::Question, "", QMessageBox::No);
        QCOMPARE(asked.result, MsgResult::No);
        QCOMPARE(asked.title, QStringLiteral("VELTRA/M Material Browser"));
        QCOMPARE(asked.text, QStringLiteral("Save changes to x.lib ?"));
        QCOMPARE(asked.icon, QMessageBox::Question);
        QCOMPARE(asked.buttons.size(), 3);

        const Seen retry =
            answer(MsgButtons::RetryCancel, MsgIcon::Critical, "Write error", QMessageBox::Retry);
        QCOMPARE(retry.result, MsgResult::Retry);
        QCOMPARE(retry.title, QStringLiteral("Write error"));
        QCOMPARE(retry.icon, QMessageBox::Critical);

        const Seen ok = answer(MsgButtons::OK, MsgIcon::Exclamation, "", QMessageBox::Ok);
        QCOMPARE(ok.result, MsgResult::OK);
        QCOMPARE(ok.icon, QMessageBox::Warning);
        QCOMPARE(ok.buttons, QList<QMessageBox::StandardButton>{QMessageBox::Ok});
    }

    void fileFiltersBecomeQtFilters() {
        QCOMPARE(
            qt::QtFileDialogs::toQtFilter("VELTRA Material Files (*.lib)|*.lib|Excel Files  "
                                          "(*.xls)|*.xls|All Files  (*.*)|*.*"),
            QStringLiteral("VELTRA Material Files (*.lib);;Excel Files (*.xls);;All Files (*)"));
        QCOMPARE(qt::QtFileDialogs::toQtFilter("Libraries|*.lib;*.LIB"),
                 QStringLiteral("Libraries (*.lib *.LIB)"));
        QCOMPARE(qt::QtFileDialogs::toQtFilter(""), QString());
    }

    void settingsStoreKeepsTheUnitBinaryInTheIniFile() {
        qt::QtSettingsBackend backend(iniFile());
        QVERIFY(!backend.openKey("Unit"));
        QCOMPARE(clsRegistry(backend).GetValue(), int16_t(0)); // first run: written as 0
        QVERIFY(QFile::exists(iniFile()));
        clsRegistry(backend).SetValue(2);

        qt::QtSettingsBackend later(iniFile());
        QCOMPARE(clsRegistry(later).GetValue(), int16_t(2));
        auto key = later.openKey("Unit");
        QVERIFY(key);
        const SettingsValue v = key->queryValue("BinaryValue");
        QCOMPARE(v.type, SettingsValue::Type::Binary);
        QCOMPARE(v.data, std::string("\x02\x00\x00\x00", 4));
        QCOMPARE(key->queryValue("Missing").type, SettingsValue::Type::Missing);
    }

    void settingsReadTextAndOtherValues() {
        {
            QSettings ini(iniFile(), QSettings::IniFormat);
            ini.setValue(QStringLiteral("Unit/BinaryValue"), QStringLiteral("2"));
            ini.setValue(QStringLiteral("Unit/List"),
                         QStringList{QStringLiteral("a"), QStringLiteral("b")});
        }
        qt::QtSettingsBackend backend(iniFile());
        auto key = backend.openKey("Unit");
        QVERIFY(key);
        const SettingsValue text = key->queryValue("BinaryValue");
        QCOMPARE(text.type, SettingsValue::Type::Text);
        QCOMPARE(text.data, std::string("2"));
        QCOMPARE(key->queryValue("List").type, SettingsValue::Type::Other);
        QCOMPARE(clsRegistry(backend).GetValue(), int16_t(2));
    }

    void defaultSettingsLiveInTheUsersConfigurationFolder() {
        QVERIFY(qt::QtSettingsBackend().fileName().startsWith(
            QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)));
    }

    void gridReportsTheCellBeingLeft() {
        std::unique_ptr<qt::QtGrid> grid(makeGrid(4));
        grid->setCurrentCell(1, 2);
        grid->setText("5");
        grid->setCurrentCell(3, 2);
        grid->setText("7");
        QList<std::tuple<int, int, std::string>> left;
        connect(grid.get(), &qt::QtGrid::leaveCell, this, [&] {
            left.append({grid->row(), grid->col(), grid->text()});
            if (grid->text() == "7") grid->setText("");
        });
        grid->resize(400, 200);
        grid->show();
        QVERIFY(QTest::qWaitForWindowExposed(grid.get()));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          grid->visualItemRect(grid->item(0, 2)).center());
        QCOMPARE(left, (QList<std::tuple<int, int, std::string>>{{3, 2, "7"}}));
        QCOMPARE(grid->textMatrix(3, 2), std::string()); // cleared by the handler
        QCOMPARE(grid->row(), 1);
        grid->setCurrentCell(0, 0);
        QCOMPARE(left.size(), 2);
        QCOMPARE(left[1], std::make_tuple(1, 2, std::string("5")));
    }

    void gridHeaderIsRowZeroAndOnlyValuesAreEditable() {
        std::unique_ptr<qt::QtGrid> grid(makeGrid(3));
        QCOMPARE(grid->rowCount(), 2);
        grid->setCurrentCell(0, 1);
        grid->setText("Description");
        QCOMPARE(grid->horizontalHeaderItem(1)->text(), QStringLiteral("Description"));
        grid->setCurrentCell(2, 1);
        grid->setText("Dichte \xE4\xF6\xFC \xB0"
                      "C"); // Latin-1 survives
        QCOMPARE(grid->text(), std::string("Dichte \xE4\xF6\xFC \xB0"
                                           "C"));
        QVERIFY(!(grid->item(1, 1)->flags() & Qt::ItemIsEditable));
        grid->setCurrentCell(2, 2);
        grid->setText("1");
        QVERIFY(grid->item(1, 2)->flags() & Qt::ItemIsEditable);
        grid->clear();
        QCOMPARE(grid->textMatrix(0, 1), std::string());
        QCOMPARE(grid->textMatrix(2, 2), std::string());
    }
};

} // namespace mb::test

QTEST_MAIN(mb::test::QtServicesTest)
#include "QtServicesTest.moc"
