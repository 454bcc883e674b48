#pragma once

#include "TerminalText.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace mb::cli {

/// What a command prints, collected so the caller decides where it goes.
struct Output {
    std::string out;
    std::string err;
};

/// Exit codes shared by every command: one status means one thing in all of them.
inline constexpr int kExitOk = 0;
/// The input is not what the command needs (not a library, no such material, a finding),
/// or something was not carried whole.
inline constexpr int kExitRejected = 1;
inline constexpr int kExitFailed = 2; ///< bad usage, or a file could not be read or written

/// How often an option may be given.
enum class OptionUse {
    Optional,   ///< at most once that counts: the last one given
    Required,   ///< at least once
    Repeatable, ///< any number of times, each value kept
};

/// One option a command accepts.
struct OptionSpec {
    std::string_view name;      ///< "--units"
    std::string_view valueName; ///< "IPS|SI|MKS"; "" for a switch, whose value is "yes" when given
    std::string_view help;
    std::string_view defaultValue;
    /// The values allowed, matched without regard to case and kept as spelt here;
    /// empty for any value.
    std::vector<std::string_view> choices;
    OptionUse use = OptionUse::Optional;
};

/// A command line after the table has checked it.
struct Invocation {
    /// How the library text the command prints and the names it is given meet the
    /// terminal; arguments are kept as typed.
    const TerminalText& terminal;
    std::vector<std::string> positionals;
    std::vector<std::string> optionValues; ///< one per OptionSpec, in table order
    /// Every value given, in the order given, one list per OptionSpec (for options that
    /// may be repeated; optionValues holds the last).
    std::vector<std::vector<std::string>> optionLists;
};

struct CommandSpec {
    std::string_view name;
    std::string_view summary;
    std::vector<std::string_view> positionals; ///< names shown in the usage line
    std::vector<OptionSpec> options;
    std::string_view details; ///< what --help adds below the usage line
    int (*run)(const Invocation&, Output&);
};

/// What the tool's help says around its command list.
struct ToolSpec {
    std::string_view program;
    std::string_view version;
    std::string_view about; ///< above the commands
    std::string_view notes; ///< below them
    std::span<const CommandSpec> commands;
};

/// Runs the command line (`args` without the program name) against the command table;
/// `--version` alone prints the program's name and version. "--" ends the options: every
/// argument after it is a positional one.
int dispatch(const ToolSpec& tool, const TerminalText& terminal, std::span<const std::string> args,
             Output& output);

} // namespace mb::cli
