#pragma once

#include <functional>
#include <optional>
#include <string>

namespace mb {

class HelpViewer;

/// Opens the help file from one of its two locations. The environment is read when help
/// is asked for, so a `veltram` set after start-up counts.
class HelpLauncher {
public:
    /// Reads an environment variable: nullopt when it is not set.
    using EnvironmentReader = std::function<std::optional<std::string>(const std::string&)>;

    HelpLauncher(HelpViewer& viewer, std::string programDirectory,
                 EnvironmentReader environment = processEnvironment);

    /// The main window's "&Help Topics": below the directory `veltram` names.
    void fromEnvironment();
    /// The editor's "&Help Topics" and the toolbar's help button: from the program's
    /// own directory.
    void fromProgramDirectory();

    static std::optional<std::string> processEnvironment(const std::string& name);

private:
    HelpViewer& viewer_;
    std::string programDirectory_;
    EnvironmentReader environment_;
};

} // namespace mb
