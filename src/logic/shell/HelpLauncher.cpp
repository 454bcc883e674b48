#include "HelpLauncher.h"

#include "HelpPaths.h"
#include "HelpViewer.h"

#include <cstdlib>

namespace mb {

HelpLauncher::HelpLauncher(HelpViewer& viewer, std::string programDirectory,
                           EnvironmentReader environment)
    : viewer_(viewer), programDirectory_(std::move(programDirectory)),
      environment_(std::move(environment)) {}

void HelpLauncher::fromEnvironment() {
    viewer_.open(helpPathFromEnvironment(environment_("veltram")));
}

void HelpLauncher::fromProgramDirectory() {
    viewer_.open(helpPathFromProgramDirectory(programDirectory_));
}

std::optional<std::string> HelpLauncher::processEnvironment(const std::string& name) {
    const char* value = std::getenv(name.c_str());
    if (!value) return std::nullopt;
    return std::string(value);
}

} // namespace mb
