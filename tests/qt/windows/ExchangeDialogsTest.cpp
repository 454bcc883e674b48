// The exchange items of the File menu in the running application: the real "Import
// Materials from Library" and "Export" dialogs driven as a user drives them, and a
// CSV file imported through "Import...".

#include "QtExchangeDialogs.h"
#include "RunningBrowser.h"
#include "TestPaths.h"
#include "TextUtil.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QTreeWidget>

#include <fstream>
#include <functional>
#include <sstream>

namespace mb::test {

namespace {

const std::string kSample = std::string(kDataDir) + "/../../examples/sample.lib";

/// Runs `user` on the modal window named `name` once it is up. A window the user left
/// open (a check failed on the way) is closed, so the test goes on to report it.
void WhenShown(const char* name, std::function<void(QWidget&)> user) {
    QTimer::singleShot(0, [name, user] {
        QPointer<QWidget> modal = QApplication::activeModalWidget();
        QVERIFY2(modal && modal->objectName() == QLatin1String(name), name);
        user(*modal);
        if (auto* dialog = qobject_cast<QDialog*>(modal.data()); dialog && dialog->isVisible())
            dialog->reject();
    });
}

QTreeWidgetItem* Line(QWidget& dialog, const QString& text) {
    auto* list = dialog.findChild<QTreeWidget*>("materialList");
    for (QTreeWidgetItemIterator it(list); *it; ++it)
        if ((*it)->text(0) == text) return *it;
    return nullptr;
}

QStringList Shown(QWidget& dialog) {
    QStringList shown;
    for (QTreeWidgetItemIterator it(dialog.findChild<QTreeWidget*>("materialList")); *it; ++it)
        if (!(*it)->isHidden()) shown << (*it)->text(0);
    return shown;
}

} // namespace

class ExchangeDialogsTest : public QObject, RunningBrowser {
    Q_OBJECT

    void trigger(const char* item) {
        QAction* action = browser->mainWindow().menuItem(item);
        QVERIFY2(action && action->isEnabled(), item);
        action->trigger();
    }

private slots:
    void init() {
        RunningBrowser::init();
        launch(messages.get());
    }
    void cleanup() { RunningBrowser::cleanup(); }

    void importFromLibraryAddsTheCheckedMaterialsAsOneEdit() {
        trigger("fileNewMenu");
        QCOMPARE(library().materialCount(), 1);
        dialogs->queuePath(kSample);
        WhenShown("ImportFromLibraryDialog", [](QWidget& d) {
            QCOMPARE(d.windowTitle(), QStringLiteral("Import Materials from sample.lib"));
            QCOMPARE(Shown(d).size(), 7 + 26);
            QTest::keyClicks(d.findChild<QLineEdit*>("findBox"), "aluminium");
            QCOMPARE(Shown(d),
                     (QStringList{"Aluminium Alloys", "Aluminium 6061-T6", "Aluminium 7075-T6",
                                  "Aluminium 2024-T3", "Aluminium 5083-H111"}));
            QCOMPARE(d.findChild<QLabel*>("findStatus")->text(), QStringLiteral("4 matches"));
            Line(d, "Aluminium Alloys")->setCheckState(0, Qt::Checked);
            QCOMPARE(Line(d, "Aluminium 2024-T3")->checkState(0), Qt::Checked);
            d.findChild<QLineEdit*>("findBox")->clear();
            Line(d, "Structural Steel S235")->setCheckState(0, Qt::Checked);
            QCOMPARE(Line(d, "Steels")->checkState(0), Qt::PartiallyChecked);
            d.findChild<QPushButton*>("importButton")->click();
        });
        trigger("importFromLibraryMenu");
        QCOMPARE(library().materialCount(), 6);
        QVERIFY(messages->questions.empty());

        // The same material again: its name is taken, and the question offers a copy.
        dialogs->queuePath(kSample);
        WhenShown("ImportFromLibraryDialog", [](QWidget& d) {
            Line(d, "Structural Steel S235")->setCheckState(0, Qt::Checked);
            WhenShown("nameCollisionBox", [](QWidget& box) {
                QVERIFY(static_cast<QMessageBox&>(box).text().contains(
                    "Add it as \"Copy of Structural Steel S235\", or skip it?"));
                for (QAbstractButton* b : box.findChildren<QAbstractButton*>())
                    if (b->text() == QLatin1String("Add as &Copy")) b->click();
            });
            d.findChild<QPushButton*>("importButton")->click();
        });
        trigger("importFromLibraryMenu");
        QCOMPARE(library().materialCount(), 7);
        QCOMPARE(std::string(trimBlanks(library().entry(6).Name)),
                 std::string("Copy of Structural Steel S235"));
    }

    void exportWritesTheChosenSetInTheChosenFormat() {
        dialogs->queuePath(kSample);
        trigger("fileOpenMenu");
        const std::string path = dir->filePath("rubbers.csv").toStdString();
        dialogs->queuePath(path);
        WhenShown("ExportDialog", [](QWidget& d) {
            QVERIFY(d.findChild<QRadioButton*>("selectedMaterial")->isChecked());
            QCOMPARE(d.findChild<QRadioButton*>("selectedMaterial")->text(),
                     QStringLiteral("The &selected material, Structural Steel S235"));
            auto* units = d.findChild<QComboBox*>("unitsCombo");
            QVERIFY(!units->isEnabled());
            d.findChild<QComboBox*>("formatCombo")->setCurrentIndex(1); // CSV
            QVERIFY(units->isEnabled());
            units->setCurrentIndex(1); // SI
            d.findChild<QRadioButton*>("chosenMaterials")->click();
            auto* exportButton = d.findChild<QPushButton*>("exportButton");
            QVERIFY(!exportButton->isEnabled());
            Line(d, "Rubbers")->setCheckState(0, Qt::Checked);
            QVERIFY(exportButton->isEnabled());
            exportButton->click();
        });
        trigger("exportMenu");
        std::ostringstream written;
        written << std::ifstream(path).rdbuf();
        // The header, the units row in SI and the four rubbers.
        const QStringList lines =
            QString::fromStdString(written.str()).split("\r\n", Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 6);
        QVERIFY2(lines[1].startsWith(",,,,N/m^2,,Kgm/m^3,"), qPrintable(lines[1]));
        QStringList names;
        for (const QString& line : lines.mid(2))
            names << line.section(',', 0, 1);
        QCOMPARE(names, QStringList({"Rubbers,Natural Rubber 50 ShA", "Rubbers,Neoprene 60 ShA",
                                     "Rubbers,Silicone Rubber 40 ShA",
                                     "Rubbers,Polyurethane Foam 45 kg/m3"}));
        QVERIFY(messages->questions.empty());
    }

    // The materials before a failing row stay and the file keeps its name in the caption;
    // the name Save proposes is the lifecycle's.
    void importReadsAForeignFileAsANewLibrary() {
        const std::string path = dir->filePath("steels.csv").toStdString();
        std::ofstream(path) << "Category,Name,Name code,Description,EX\r\n,,,,N/m^2\r\n"
                               "Steels,S235,,,2.1e11\r\nSteels,S355,,,2.1e11\r\n"
                               "Steels,S460,,,x2.1e11\r\n";

        dialogs->queuePath(path);
        trigger("importMenu");
        QCOMPARE(dialogs->requests[0].title, std::string("Import..."));
        QCOMPARE(library().materialCount(), 2);
        QCOMPARE(caption(), QString::fromStdString(path));
        QCOMPARE(messages->questions.size(), std::size_t(1));
        QCOMPARE(messages->questions[0].text,
                 "The import stopped at cell E5 of \"" + path +
                     "\": \"x2.1e11\" is not a number. The 2 materials before it were imported.");
        QCOMPARE(messages->questions[0].icon, MsgIcon::Exclamation);
    }
};

} // namespace mb::test

QTEST_MAIN(mb::test::ExchangeDialogsTest)
#include "ExchangeDialogsTest.moc"
