#pragma once

#include "CommandLine.h"

#include <vector>

namespace mb::cli {

/// The commands of `matlib`, in the order its help lists them.
const std::vector<CommandSpec>& MatlibCommands();

inline constexpr std::string_view kMatlibAbout =
    "Checks, lists, searches, shows, compares and rewrites VELTRA/M material library files\n"
    "(.lib), and imports them from Excel 97-2003 workbooks (.xls).";

} // namespace mb::cli
