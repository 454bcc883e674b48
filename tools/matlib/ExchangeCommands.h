#pragma once

#include "CommandLine.h"

namespace mb::cli {

/// `matlib import IN OUT`: a library from JSON, CSV or a workbook.
CommandSpec importCommand();
/// `matlib export FILE --format F`: materials of a library in another format, on stdout.
CommandSpec exportCommand();

} // namespace mb::cli
