// matbrowser: the material library browser. `matbrowser [FILE]` starts the main window
// and, when FILE is given, opens or imports it as a drop of it on the window would.

#include "MaterialBrowser.h"
#include "UserFolders.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>

#include <cstdio>

namespace {

void DescribeCommandLine(QCommandLineParser& parser) {
    parser.setApplicationDescription("Browse and edit VELTRA material libraries.");
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(
        "file",
        "A library (.lib) to open, or a workbook (.xls, .xlsx, .ods), CSV or JSON file to import.",
        "[file]");
}

// --help and --version need no window system: they are answered before one is
// connected, so that they work on a console without a display. Anything else waits for
// the full parse, which knows the window system's own options as well.
void AnswerHelpAndVersion(int argc, char* argv[]) {
    QCoreApplication console(argc, argv);
    QCommandLineParser parser;
    DescribeCommandLine(parser);
    parser.parse(QCoreApplication::arguments());
    if (parser.isSet("help")) parser.showHelp(0);
    if (parser.isSet("version")) parser.showVersion();
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication::setOrganizationName("VELTRA");
    QCoreApplication::setApplicationName("MaterialBrowser");
    // No display name: the window system would append it to every title, and the main
    // window's title already starts with the application's name.
    QCoreApplication::setApplicationVersion(MB_VERSION);
    AnswerHelpAndVersion(argc, argv);

    QApplication app(argc, argv);
    QCommandLineParser parser;
    DescribeCommandLine(parser);
    parser.process(app);
    if (parser.positionalArguments().size() > 1) {
        std::fputs("matbrowser: one library at a time; give at most one file.\n", stderr);
        return 2;
    }

    if (mb::qt::writableUserFolder(mb::qt::UserFolder::AppData).isEmpty())
        std::fprintf(stderr, "matbrowser: %s No recovery copies, locks or settings are kept.\n",
                     mb::qt::kNoHomeReason);

    mb::qt::MaterialBrowser browser;
    browser.show();
    const QStringList files = parser.positionalArguments();
    if (!files.isEmpty()) browser.openFile(QFile::encodeName(files.first()).toStdString());
    return QApplication::exec();
}
