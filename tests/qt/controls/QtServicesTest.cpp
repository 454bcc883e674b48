// The Qt platform services: message boxes, the open dialog and the settings back end.

#include "QtServices.h"
#include "DocumentLifecycle.h"
#include "QtBackgroundWork.h"
#include "clsRegistry.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <atomic>
#include <mutex>
#include <thread>

namespace mb::test {

class QtServicesTest : public QObject {
    Q_OBJECT

private slots:
    void backgroundWorkRunsOffThisThreadInOrderAndWaitingCoversWhatADoneStarts() {
        qt::QtBackgroundWork background;
        const std::thread::id window = std::this_thread::get_id();
        std::vector<std::string> apart, here; // what ran on the worker, on this thread
        std::mutex lock;
        const auto note = [&](const std::string& what) {
            const std::lock_guard hold(lock);
            (std::this_thread::get_id() == window ? here : apart).push_back(what);
        };
        std::atomic<bool> release{false};
        background.start(
            [&] {
                while (!release) // a slow disk: this thread goes on meanwhile
                    std::this_thread::yield();
                note("first");
            },
            [&] {
                note("first done");
                // A retry starts more work from `done`; waiting covers it too.
                background.start([&] { note("retry"); }, [&] { note("retry done"); });
            });
        background.start([&] { note("second"); }, [] {});
        QVERIFY(background.busy());
        QVERIFY(apart.empty());
        release = true;
        background.waitForIdle();
        QVERIFY(!background.busy());
        QCOMPARE(apart, (std::vector<std::string>{"first", "second", "retry"}));
        QCOMPARE(here, (std::vector<std::string>{"first done", "retry done"}));
    }

    void messageBoxShowsTextIconButtonsAndTheApplicationTitleWhenNoneIsGiven() {
        using B = QMessageBox;
        const std::tuple<MsgButtons, MsgIcon, std::string, B::StandardButton, MsgResult, B::Icon,
                         QString>
            cases[] = {
                {MsgButtons::YesNoCancel, MsgIcon::Question, "", B::No, MsgResult::No, B::Question,
                 "VELTRA/M Material Browser|3"},
                {MsgButtons::RetryCancel, MsgIcon::Critical, "Write error", B::Retry,
                 MsgResult::Retry, B::Critical, "Write error|2"},
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

    void openDialogShowsTheFilterTextsAsWrittenAndFiltersByTheirPatterns() {
        QTemporaryDir dir;
        for (const char* name : {"a.lib", "b.xls", "c.txt"}) {
            QFile file(dir.filePath(QString::fromLatin1(name)));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        struct Seen {
            QString title;
            QStringList filters;
            QStringList patterns; // after each filter is picked
            bool existingOnly = false;
        };
        // Looks at the dialog as the user meets it, picks each filter in turn, and then
        // either types `chosen` and opens it or cancels.
        const auto answer = [&dir](Seen& seen, const QString& chosen) {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            seen.title = dialog->windowTitle();
            seen.existingOnly = dialog->fileMode() == QFileDialog::ExistingFile;
            dialog->setDirectory(dir.path());
            auto* combo = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
            auto* model = dialog->findChild<QFileSystemModel*>();
            QVERIFY(combo && model);
            combo->setFocus();
            for (int i = 0; i < combo->count(); ++i) {
                if (i > 0) QTest::keyClick(combo, Qt::Key_Down);
                seen.filters << combo->currentText();
                seen.patterns << model->nameFilters().join(QLatin1Char(' '));
            }
            if (chosen.isEmpty()) {
                dialog->reject();
                return;
            }
            QTest::keyClicks(dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")), chosen);
            dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Open)->click();
        };

        Seen seen;
        QTimer::singleShot(0, this, [&] { answer(seen, QStringLiteral("b.xls")); });
        qt::QtFileDialogs dialogs;
        const std::optional<std::string> path =
            dialogs.openFile(kOpenDialogTitle, kOpenDialogFilter);
        QCOMPARE(seen.title, QStringLiteral("Open Library File..."));
        QVERIFY(seen.existingOnly);
        // The blanks stand as written, two of them before the parentheses of the last two.
        QCOMPARE(seen.filters, QStringList({QStringLiteral("VELTRA Material Files (*.lib)"),
                                            QStringLiteral("Excel Files  (*.xls)"),
                                            QStringLiteral("All Files  (*.*)")}));
        QCOMPARE(seen.patterns, QStringList({QStringLiteral("*.lib"), QStringLiteral("*.xls"),
                                             QStringLiteral("*")}));
        QCOMPARE(path.value_or("(cancelled)"),
                 QFile::encodeName(dir.filePath("b.xls")).toStdString());
        Seen cancelled;
        QTimer::singleShot(0, this, [&] { answer(cancelled, {}); });
        QCOMPARE(dialogs.openFile(kOpenDialogTitle, kOpenDialogFilter), std::nullopt);
    }

    // Save As's dialog: on the proposed file, and ".lib" added to a bare name while the
    // library filter (or no filter at all) is chosen.
    void theSaveDialogStartsOnTheProposedFileAndAddsTheLibraryExtension() {
        QTemporaryDir dir;
        const QString other = dir.filePath(QStringLiteral("other"));
        QVERIFY(QDir().mkdir(other));
        const std::string proposed = QFile::encodeName(dir.filePath("steels.lib")).toStdString();
        const std::string withFilter = "VELTRA Material Files (*.lib)|*.lib|All Files  (*.*)|*.*";
        struct Case {
            std::string filter;
            QString typed, expected;
        };
        const Case cases[] = {
            {"", "copper", "copper.lib"},
            {"", "copper.dat", "copper.dat"},
            {withFilter, "copper", "copper.lib"},
        };
        for (const Case& c : cases) {
            QString startedIn, startedOn;
            QTimer::singleShot(0, this, [&] {
                auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
                QVERIFY(dialog);
                startedIn = dialog->directory().absolutePath();
                auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
                startedOn = name->text();
                dialog->setDirectory(other);
                name->clear();
                QTest::keyClicks(name, c.typed);
                QTest::keyClick(name, Qt::Key_Return);
            });
            qt::QtFileDialogs dialogs;
            const std::optional<std::string> path =
                dialogs.saveFile(kSaveDialogTitle, c.filter, proposed);
            QCOMPARE(startedIn, dir.path());
            QCOMPARE(startedOn, QStringLiteral("steels.lib"));
            QCOMPARE(QString::fromStdString(path.value_or("(cancelled)")),
                     QDir(other).filePath(c.expected));
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
