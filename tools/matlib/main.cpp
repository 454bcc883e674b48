#include "MatlibCommands.h"

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    mb::cli::Output output;
    const int rc = mb::cli::Dispatch("matlib", mb::cli::kMatlibAbout, mb::cli::MatlibCommands(),
                                     args, output);
    std::fwrite(output.out.data(), 1, output.out.size(), stdout);
    std::fwrite(output.err.data(), 1, output.err.size(), stderr);
    return std::fflush(stdout) == 0 ? rc : mb::cli::kExitFailed;
}
