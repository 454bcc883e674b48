#pragma once

#include "CommandLine.h"

namespace mb::cli {

/// `matlib merge BASE OURS THEIRS [-o OUT] [--conflicts FILE]`: a three-way merge of
/// libraries, made to be git's merge driver.
CommandSpec mergeCommand();

} // namespace mb::cli
