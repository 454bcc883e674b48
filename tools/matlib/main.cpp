#include "MatlibCommands.h"
#include "TerminalText.h"

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    // Only the terminal's encoding is taken from the locale; numbers and everything else
    // keep the C locale's rules.
    const mb::cli::TerminalText terminal(mb::cli::TerminalText::localeCodeset());
    mb::cli::Output output;
    const int rc = mb::cli::dispatch(mb::cli::matlibTool(MB_VERSION), terminal, args, output);
    const bool written =
        std::fwrite(output.out.data(), 1, output.out.size(), stdout) == output.out.size() &&
        std::fflush(stdout) == 0;
    if (!written) output.err += "matlib: cannot write to standard output\n";
    std::fwrite(output.err.data(), 1, output.err.size(), stderr);
    return written ? rc : mb::cli::kExitFailed;
}
