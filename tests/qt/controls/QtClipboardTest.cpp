// Two running programs, as two whole applications in one process sharing the platform's
// clipboard: a material copied in one is pasted into the other's library with its values,
// and its rows reach a plain text editor.

#include "MaterialClipboard.h"
#include "QtGrid.h"
#include "RunningBrowser.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QPlainTextEdit>

#include <vector>

namespace mb::test {

/// One running program with its own fakes for what would ask the user.
struct Program : RunningBrowser {
    Program() { init(); }
    /// Starts on a library file of `category` with materials named `names`, each with
    /// Young's modulus, Poisson's ratio and density.
    void start(const char* file, const char* category, std::initializer_list<const char*> names) {
        std::vector<Row> rows;
        double ex = 1.0e11;
        for (const char* name : names)
            rows.push_back({category, name, ex += 1.0e10, std::string(name) + " bar", 0.34, 8930});
        RunningBrowser::start(messages.get(), writeLibrary(file, rows));
    }
};

class QtClipboardTest : public QObject {
    Q_OBJECT

private slots:
    void aMaterialCopiedInOneProgramIsPastedInAnother() {
        Program metals, polymers;
        metals.start("metals.lib", "Metals", {"Steel", "Copper"});
        polymers.start("polymers.lib", "Polymers", {"Nylon"});

        metals.click("Copper");
        metals.command("copyMaterial");
        // The grid as the user sees it, one line a row.
        const auto* grid =
            metals.browser->editors().window()->findChild<qt::QtGrid*>("VSFlexGrid1");
        QVERIFY(grid && grid->rows() > 3);
        QStringList shown;
        for (int r = 0; r < grid->rows(); ++r) {
            QStringList cells;
            for (int c = 0; c < 4; ++c)
                cells << QString::fromLatin1(grid->textMatrix(r, c)).trimmed();
            shown << cells.join('\t');
        }
        const QMimeData* data = QGuiApplication::clipboard()->mimeData();
        QVERIFY(data && data->hasFormat(kMaterialMimeType));
        QVERIFY(data->data(kMaterialMimeType).contains("\r\nMATL:Copper"));

        polymers.click("Polymers");
        polymers.command("pasteMaterial");
        QVERIFY(polymers.messages->questions.empty());
        Library& pasted = polymers.library();
        QCOMPARE(pasted.LastMaterialIndex(), 1);
        QCOMPARE(pasted.entry(1).Name, std::string("Copy of Copper"));
        QCOMPARE(pasted.entry(1).Category, std::string("Polymers    "));
        QCOMPARE(pasted.entry(1).Description, std::string("Copper bar"));
        clsMaterial& copper = pasted.material(1);
        const auto value = [&copper](const char* code) {
            copper.Property(code);
            return copper.value();
        };
        QCOMPARE(value("EX"), 1.2e11);
        QCOMPARE(value("NUXY"), 0.34);
        QCOMPARE(value("DENS"), 8930.0);
        QCOMPARE(polymers.browser->state().history.undoLabel(),
                 std::string("Paste Copy of Copper"));

        // The program that copied pastes its own copy, as inside one window.
        metals.click("Metals");
        metals.command("pasteMaterial");
        QCOMPARE(metals.library().entry(2).Name, std::string("Copy of Copper"));

        QPlainTextEdit editor;
        editor.paste();
        QCOMPARE(editor.toPlainText(), shown.join('\n') + '\n');
        QCOMPARE(shown[0], QString("Property\tDescription\tValue\tUnits"));
        QVERIFY(shown[1].startsWith("EX\tElasticity modulus (1st dir)\t"));
    }
};

} // namespace mb::test

QTEST_MAIN(mb::test::QtClipboardTest)
#include "QtClipboardTest.moc"
