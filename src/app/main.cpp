// matbrowser: the material library browser. `matbrowser [FILE]` starts the main window
// and, when FILE is given, opens it as the open command would.

#include "MDIForm1.h"

#include "platform/qt/QtHelpViewer.h"
#include "shell/Commands.h"
#include "shell/HelpLauncher.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>

#include <cstdio>

namespace {

// HOOK for the document lifecycle: its commands replace this class. Until then the
// library and editing commands have nothing to act on, while help, the about box and
// the main window's Exit already work through ShellCommands.
class ShellOnlyCommands final : public mb::ShellCommands {
public:
    using ShellCommands::ShellCommands;
    void NewLibrary() override {}
    void OpenLibrary() override {}
    void SaveLibrary() override {}
    void SaveLibraryAs() override {}
    bool IsUntitled() const override { return false; }
    void CloseLibrary() override {}
    void ExitFromEditor() override { process().endProcess(); }
    void OpenLibraryFile(const std::string&) override {}
    void newMaterial() override {}
    void onNewMaterial() override {}
    void ClearValues() override {}
    void onMaterialSet() override {}
    void DeleteSelected() override {}
    void onCopyMaterial() override {}
    void onPasteMaterial() override {}
};

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("matbrowser");
    QApplication::setApplicationDisplayName("VELTRA/M Material Browser");
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

    mb::qt::MDIForm1 window;
    mb::qt::QtHelpViewer helpViewer;
    mb::HelpLauncher help(helpViewer,
                          QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString());
    ShellOnlyCommands commands(help, window.aboutBox(), window.process());
    window.setCommands(commands);
    window.show();

    const QStringList files = parser.positionalArguments();
    if (!files.isEmpty()) commands.OpenLibraryFile(QFile::encodeName(files.first()).toStdString());

    return QApplication::exec();
}
