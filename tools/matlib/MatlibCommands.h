#pragma once

#include "CommandLine.h"
#include "Library.h"

#include <string>
#include <vector>

namespace mb {
class Library;
}

namespace mb::cli {

/// Reads the library at `path`. Gives kExitOk when the library holds all of it; otherwise
/// says why in `output` (naming the file) and gives the exit code to end with.
int loadLibrary(const std::string& path, Library& library, Output& output);
/// Writes `library` to `path` as a save would; on failure says why and gives the exit code.
int SaveLibrary(const std::string& path, Library& library, Output& output);
/// The numbers of the materials whose trimmed name is `typed` trimmed, letters compared
/// without regard to case, `typed` being text as the terminal gives it.
std::vector<int> materialsNamed(const Library& library, const TerminalText& terminal,
                                std::string_view typed);
/// The first of materialsNamed; -1 when there is none.
int materialNamed(const Library& library, const TerminalText& terminal, std::string_view typed);
/// Says that `path` holds no material `typed` and gives the exit code.
int noSuchMaterial(const std::string& path, std::string_view typed, Output& output);

/// The workbook reader program, installed or built, that reads every foreign sheet.
std::string sheetReaderPath();

/// The commands of `matlib`, in the order its help lists them.
const std::vector<CommandSpec>& matlibCommands();
/// `matlib` as its help presents it.
ToolSpec matlibTool(std::string_view version);

} // namespace mb::cli
