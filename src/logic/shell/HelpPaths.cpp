#include "HelpPaths.h"

namespace mb {

std::string helpPathFromEnvironment(const std::optional<std::string>& veltram) {
    return veltram.value_or("") + kHelpFileSuffix;
}

std::string helpPathFromProgramDirectory(std::string programDirectory) {
    while (programDirectory.size() > 1 && programDirectory.back() == '/')
        programDirectory.pop_back();
    if (programDirectory.size() >= 10) programDirectory.resize(programDirectory.size() - 10);
    return programDirectory + kHelpFileSuffix;
}

} // namespace mb
