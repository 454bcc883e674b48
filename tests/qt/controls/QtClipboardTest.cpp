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
        const qt::QtGrid* grid = metals.grid();
        QVERIFY(grid->rows() > 3);
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
        // The paste rules are the clipboard logic's; here the values crossed over whole.
        Library& pasted = polymers.library();
        QCOMPARE(pasted.entry(1).Name, std::string("Copy of Copper"));
        QCOMPARE(pasted.entry(1).Category, std::string("Polymers    "));
        QCOMPARE(polymers.stored(1, "DENS"), 8930.0);

        QPlainTextEdit editor;
        editor.paste();
        QCOMPARE(editor.toPlainText(), shown.join('\n') + '\n');
    }
};

} // namespace mb::test

QTEST_MAIN(mb::test::QtClipboardTest)
#include "QtClipboardTest.moc"
