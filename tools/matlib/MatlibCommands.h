#pragma once

#include "CommandLine.h"
#include "Library.h"

#include <string>
#include <vector>

namespace mb {
class Library;
}

namespace mb::cli {

/// How a file that is not a library is reported: rejected as the editor rejects it, or, for
/// a command that checks, compares or searches, as a file problem like any other, named
/// with its path.
enum class NotALibrary { Rejected, FileProblem };
/// Reads the library at `path`; on failure says why in `output` and gives the exit code.
int LoadLibrary(const std::string& path, Library& library, Output& output,
                NotALibrary notALibrary = NotALibrary::Rejected);
/// Writes `library` to `path` as a save would; on failure says why and gives the exit code.
int SaveLibrary(const std::string& path, Library& library, Output& output);
/// The number of the first material whose trimmed name is `name` trimmed, letters compared
/// without regard to case; -1 when there is none.
int MaterialNamed(const Library& library, std::string_view name);
/// Says that `path` holds no material `name` and gives the exit code.
int NoSuchMaterial(const std::string& path, std::string_view name, Output& output);

/// The commands of `matlib`, in the order its help lists them.
const std::vector<CommandSpec>& MatlibCommands();

inline constexpr std::string_view kMatlibAbout =
    "Checks, lists, searches, shows, compares and rewrites VELTRA/M material library files\n"
    "(.lib), imports them from JSON, CSV and Excel 97-2003 workbooks (.xls), and exports\n"
    "them as JSON, CSV, xlsx workbooks and CalculiX material cards.";

} // namespace mb::cli
