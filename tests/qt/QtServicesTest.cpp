// The Qt platform services: message boxes and the settings back end.

#include "platform/qt/QtServices.h"
#include "shell/clsRegistry.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace mb::test {

class QtServicesTest : public QObject {
    Q_OBJECT

private slots:
    void messageBoxShowsTextIconButtonsAndTheApplicationTitleWhenNoneIsGiven() {
        using B = QMessageBox;
        const std::tuple<MsgButtons, MsgIcon, std::string, B::StandardButton, MsgResult, B::Icon,
                         QString> cases[] = {
            {MsgButtons::YesNoCancel, MsgIcon::Question, "", B::No, MsgResult::No, B::Question,
             "VELTRA/M Material Browser|3"},
            {MsgButtons::RetryCancel, MsgIcon::Critical, "Write error", B::Retry, MsgResult::Retry,
             B::Critical, "Write error|2"},
            {MsgButtons::OK, MsgIcon::Exclamation, "", B::Ok, MsgResult::OK, B::Warning,
             "VELTRA/M Material Browser|1"},
        };
        for (const auto& [buttons, icon, title, press, result, shownIcon, seen] : cases) {
            QString shown; // text|title|number of buttons|icon
            QTimer::singleShot(0, this, [&, press = press] {
                auto* box = qobject_cast<B*>(QApplication::activeModalWidget());
                shown = box->text() + "|" + box->windowTitle() + "|" +
                        QString::number(box->buttons().size()) + "|" + QString::number(box->icon());
                box->button(press)->click();
            });
            const std::string text = "Save changes to x.lib ?";
            QCOMPARE(qt::QtMessageBox().show(text, buttons, icon, title), result);
            QCOMPARE(shown,
                     QString::fromLatin1(text) + "|" + seen + "|" + QString::number(shownIcon));
        }
    }

    void theUnitSystemOutlivesTheRunInTheIniFile() {
        QTemporaryDir dir;
        const QString ini = dir.filePath(QStringLiteral("settings.ini"));
        qt::QtSettingsBackend first(ini);
        QCOMPARE(clsRegistry(first).GetValue(), int16_t(0)); // first run: written as 0
        clsRegistry(first).SetValue(2);
        qt::QtSettingsBackend later(ini);
        QCOMPARE(clsRegistry(later).GetValue(), int16_t(2));
        const SettingsValue v = later.openKey("Unit")->queryValue("BinaryValue");
        QCOMPARE(v.type, SettingsValue::Type::Binary);
        QCOMPARE(v.data, std::string("\x02\x00\x00\x00", 4));
    }
};

} // namespace mb::test

QTEST_MAIN(mb::test::QtServicesTest)
#include "QtServicesTest.moc"
