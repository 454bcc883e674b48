#include "Commands.h"

#include "HelpLauncher.h"
#include "MainWindowViews.h"

namespace mb {

ShellCommands::ShellCommands(HelpLauncher& help, AboutBox& about, ProcessControl& process)
    : help_(help), about_(about), process_(process) {}

void ShellCommands::ExitFromMainWindow() {
    process_.endProcess();
}

void ShellCommands::ShowHelpFromMainWindow() {
    help_.fromEnvironment();
}

void ShellCommands::ShowHelpFromEditor() {
    help_.fromProgramDirectory();
}

void ShellCommands::ShowHelpFromToolbar() {
    help_.fromProgramDirectory();
}

void ShellCommands::ShowAbout() {
    about_.show();
}

} // namespace mb
