// Opens the editor window on one library file, for looking at it (and taking pictures
// of it) without the main window.
//
//   editor_preview FILE.lib [--units 0|1|2] [--type 0..12] [--material N] [--shot OUT.png]

#include "AppState.h"
#include "BaseFormWindow.h"
#include "DecimalSeparator.h"
#include "EditorView.h"
#include "LibraryFile.h"
#include "NodeKey.h"
#include "QtControls.h"
#include "QtGrid.h"
#include "QtServices.h"
#include "QtTree.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QTimer>

#include <cstdio>

namespace {

struct Options {
    QCommandLineOption units{QStringLiteral("units"), QStringLiteral("Unit system index."),
                             QStringLiteral("index"), QStringLiteral("0")};
    QCommandLineOption type{QStringLiteral("type"), QStringLiteral("Material type index."),
                            QStringLiteral("index"), QStringLiteral("0")};
    QCommandLineOption material{QStringLiteral("material"),
                                QStringLiteral("Material number to select."),
                                QStringLiteral("number"), QStringLiteral("0")};
    QCommandLineOption shot{QStringLiteral("shot"),
                            QStringLiteral("Save a picture of the window and quit."),
                            QStringLiteral("png")};

    void describe(QCommandLineParser& parser) const {
        parser.setApplicationDescription(QStringLiteral("Shows the editor window on a library."));
        parser.addHelpOption();
        parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("Library file (.lib)"));
        parser.addOptions({units, type, material, shot});
    }
};

} // namespace

int main(int argc, char** argv) {
    const Options options;
    // --help needs no window system: it is answered before one is connected.
    {
        QCoreApplication console(argc, argv);
        QCommandLineParser parser;
        options.describe(parser);
        parser.parse(QCoreApplication::arguments());
        if (parser.isSet(QStringLiteral("help"))) parser.showHelp(0);
    }

    QApplication app(argc, argv);
    QCommandLineParser parser;
    options.describe(parser);
    parser.process(app);
    if (parser.positionalArguments().size() != 1) parser.showHelp(1);
    const auto& [units, type, material, shot] = options;

    mb::AppState state;
    mb::qt::QtLocale locale;
    mb::ReadLocaleDecimalSeparator(state, locale);
    const std::string path = QFile::encodeName(parser.positionalArguments().first()).toStdString();
    const mb::ReadResult read =
        mb::ReadLibraryFile(path, state.library, state.doc.DecimalSeparator);
    if (read.status != mb::ReadResult::Status::Loaded) {
        std::fprintf(stderr, "%s: %s\n", path.c_str(),
                     read.status == mb::ReadResult::Status::NotALibrary ? mb::kNotALibraryMessage
                                                                        : read.message.c_str());
        return 1;
    }

    mb::BaseFormWindow window(state);
    window.setWindowTitle(parser.positionalArguments().first());
    mb::DocumentView& form = window.form();
    form.showLibrary();
    form.showSelectors();
    window.typeCombo().setListIndex(parser.value(type).toInt());
    form.chooseUnitSystem(parser.value(units).toInt());
    window.show();

    const int n = parser.value(material).toInt();
    if (state.library.isValidNumber(n)) {
        const mb::LibraryEntry& e = state.library.entry(n);
        const std::string key = mb::materialNodeKey(e.Category, e.Name, n);
        form.tree().ensureVisible(key);
        form.tree().select(key);
        form.TreeView1_NodeClick(key);
    }

    if (parser.isSet(shot)) {
        QTimer::singleShot(300, &app, [&] {
            const bool saved = window.grab().save(parser.value(shot));
            app.exit(saved ? 0 : 2);
        });
    }
    return app.exec();
}
