#pragma once

#include <optional>
#include <string>

namespace mb {

/// Where the compiled help file lies below the package's installation directory.
inline constexpr const char* kHelpFileSuffix = "/help/Material.chm";

/// From the environment: the value of `veltram` (empty when unset) and the suffix.
std::string helpPathFromEnvironment(const std::optional<std::string>& veltram);

/// From the program's directory: the directory with its last 10 characters removed,
/// then the suffix. The rule counts characters, not path components. A directory of
/// fewer than 10 characters has nothing sensible to cut, so it is used whole.
std::string helpPathFromProgramDirectory(std::string programDirectory);

} // namespace mb
