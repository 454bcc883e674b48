#include "Commands.h"

#include "HelpLauncher.h"
#include "MainWindowViews.h"

namespace mb {

ShellCommands::ShellCommands(HelpLauncher& help, AboutBox& about, ProcessControl& process)
    : help_(help), about_(about), process_(process) {}

void ShellCommands::exitFromMainWindow() {
    process_.endProcess();
}

void ShellCommands::showHelpFromMainWindow() {
    help_.fromEnvironment();
}

void ShellCommands::showHelpFromEditor() {
    help_.fromProgramDirectory();
}

void ShellCommands::showHelpFromToolbar() {
    help_.fromProgramDirectory();
}

void ShellCommands::showAbout() {
    about_.show();
}

} // namespace mb
