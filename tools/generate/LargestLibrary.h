#pragma once

#include "Library.h"

namespace mb::bench {

/// Fills `library` with as many materials as a library can hold, each with a value for
/// every property the catalogue has a code for. Values vary from material to material so
/// every number text differs, as in a real library.
void fillLargestLibrary(Library& library);

/// One such library, filled on first use and shared by the benchmarks that only read it.
Library& sharedLargestLibrary();

} // namespace mb::bench
