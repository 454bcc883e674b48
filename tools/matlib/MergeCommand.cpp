#include "MergeCommand.h"

#include "MatlibCommands.h"

#include "FileOps.h"
#include "LibraryFile.h"
#include "LibraryMerge.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>

namespace mb::cli {

namespace {

// Written whole or not at all, as OUT is: the editor reads it as the list of what to decide.
int WriteConflicts(const std::string& path, const std::vector<MergeConflict>& conflicts,
                   Output& output) {
    SafeFileWriter writer(path, systemFileOps(), Durability::Ordered);
    int err = writer.open();
    for (std::size_t i = 0; err == 0 && i < conflicts.size(); ++i)
        err = writer.append(conflicts[i].line() + "\n");
    if (err == 0) err = writer.commit();
    if (err == 0) return kExitOk;
    writer.abandon();
    output.err += "matlib: cannot write " + path + ": " + fileErrorMessage(err) + "\n";
    return kExitFailed;
}

// A list left from an earlier merge would describe conflicts this one does not have.
int RemoveConflicts(const std::string& path, Output& output) {
    if (std::remove(path.c_str()) == 0 || errno == ENOENT) return kExitOk;
    output.err += "matlib: cannot remove " + path + ": " + fileErrorMessage(errno) + "\n";
    return kExitFailed;
}

int Merge(const Invocation& inv, Output& output) {
    const std::string& out = inv.optionValues[0].empty() ? inv.positionals[1] : inv.optionValues[0];
    const std::string conflictsPath =
        inv.optionValues[1].empty() ? out + ".conflicts" : inv.optionValues[1];
    Library base, ours, theirs;
    // git gives an empty BASE when both branches added the file: every material is then
    // added on both sides.
    std::error_code noSize;
    const bool noBase = std::filesystem::file_size(inv.positionals[0], noSize) == 0 && !noSize;
    // Exit status 1 means conflicts here, so an input that cannot be merged is an error.
    for (auto [path, library] :
         {std::pair{&inv.positionals[0], &base}, std::pair{&inv.positionals[1], &ours},
          std::pair{&inv.positionals[2], &theirs}})
        if ((library != &base || !noBase) && loadLibrary(*path, *library, output) != kExitOk)
            return kExitFailed;
    MergeResult result = mergeLibraries(base, ours, theirs);
    if (result.conflicts.empty()) {
        if (RemoveConflicts(conflictsPath, output) != kExitOk) return kExitFailed;
        return SaveLibrary(out, result.merged, output) == kExitOk ? kExitOk : kExitFailed;
    }
    if (WriteConflicts(conflictsPath, result.conflicts, output) != kExitOk) return kExitFailed;
    if (SaveLibrary(out, result.merged, output) != kExitOk) {
        std::remove(conflictsPath.c_str());
        return kExitFailed;
    }
    for (const MergeConflict& c : result.conflicts)
        output.err += inv.terminal.shown(c.line()) + "\n";
    return kExitRejected;
}

} // namespace

CommandSpec mergeCommand() {
    return {
        "merge",
        "Merges the changes OURS and THEIRS made to BASE into OUT (OURS by default).",
        {"BASE", "OURS", "THEIRS"},
        {{"-o",
          "OUT",
          "the merged library, replaced only once written whole (default OURS)",
          "",
          {}},
         {"--conflicts", "FILE", "the list of conflicts (default OUT.conflicts)", "", {}}},
        "Materials are matched by name, trimmed and compared without regard to case; a\n"
        "material a side no longer holds by name, and one new on that side with the same\n"
        "values, are one material renamed. A change made on one side only is taken (a\n"
        "value, name code, description, name or category; a material added or removed),\n"
        "the same change on both sides once. Materials keep the order of OURS; one that\n"
        "THEIRS added or moved goes after the material that precedes it in THEIRS.\n"
        "A conflict (one thing changed differently on the two sides, a material removed\n"
        "on one side and edited on the other, a name added on both with different\n"
        "contents, a merge past 1001 materials) keeps OURS's choice and is one line on\n"
        "stderr and in the conflicts file:\n"
        "  conflict NAME CODE BASE OURS THEIRS      (tab-separated; values as SI number\n"
        "  text, - for none; CODE a property code or DESCRIPTION, NAMECODE, CATEGORY,\n"
        "  NAME, MATERIAL, LIMIT)\n"
        "Without a conflict no conflicts file is left. As git's merge driver for .lib\n"
        "files (%P puts the list beside the file being merged):\n"
        "  .gitattributes:  *.lib merge=matlib\n"
        "  git config merge.matlib.driver \"matlib merge %O %A %B --conflicts %P.conflicts\"\n"
        "\nExit status: 0 merged, 1 merged with conflicts, 2 a file cannot be read, is not a\n"
        "library or cannot be written (OUT is left as it was), or the command line is wrong.\n",
        &Merge,
    };
}

} // namespace mb::cli
