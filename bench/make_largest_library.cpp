// Writes the largest library the format allows, with the application's own writer.
#include "LargestLibrary.h"
#include "LibraryGenerator.h"

int main(int argc, char** argv) {
    return mb::tools::writeGeneratedLibrary(
        "make_largest_library",
        "Writes the largest library the format allows: 1001 materials, each with a value "
        "for every coded property.",
        argc, argv, mb::bench::fillLargestLibrary);
}
