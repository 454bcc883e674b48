// matbrowser: the material library browser. `matbrowser [FILE]` starts the main window
// and, when FILE is given, opens it as the open command does after its dialog.

#include "MaterialBrowser.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>

#include <cstdio>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setOrganizationName("VELTRA");
    QApplication::setApplicationName("MaterialBrowser");
    // No display name: the window system would append it to every title, and the main
    // window's title already starts with the application's name.
    QApplication::setApplicationVersion("3.0");

    QCommandLineParser parser;
    parser.setApplicationDescription("Browse and edit VELTRA material libraries.");
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument("file", "A library (.lib) or spreadsheet (.xls) to open.",
                                 "[file]");
    parser.process(app);
    if (parser.positionalArguments().size() > 1) {
        std::fputs("matbrowser: one library at a time; give at most one file.\n", stderr);
        return 2;
    }

    mb::qt::MaterialBrowser browser;
    browser.show();
    const QStringList files = parser.positionalArguments();
    if (!files.isEmpty()) browser.openFile(QFile::encodeName(files.first()).toStdString());
    return QApplication::exec();
}
