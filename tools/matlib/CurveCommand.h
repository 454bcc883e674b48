#pragma once

#include "CommandLine.h"

namespace mb::cli {

/// `matlib curve FILE NAME --type N`: the points a material's chart draws for a model type.
CommandSpec curveCommand();

} // namespace mb::cli
