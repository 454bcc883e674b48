#pragma once

#include "CommandLine.h"

namespace mb::cli {

/// `matlib lint FILE [--format text|json]`: the plausibility findings of every material.
CommandSpec lintCommand();

} // namespace mb::cli
