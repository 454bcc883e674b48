#pragma once

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

/// Exit codes shared by every command.
inline constexpr int kExitOk = 0;
inline constexpr int kExitRejected = 1; ///< the input is not what the command needs
inline constexpr int kExitFailed = 2;   ///< a file could not be read or written, or bad usage

/// One option a command accepts.
struct OptionSpec {
    std::string_view name;      ///< "--units"
    std::string_view valueName; ///< "IPS|SI|MKS"; "" for a switch, whose value is "yes" when given
    std::string_view help;
    std::string_view defaultValue;
    /// The values allowed, matched without regard to case and kept as spelt here;
    /// empty for any value.
    std::vector<std::string_view> choices;
};

/// A command line after the table has checked it.
struct Invocation {
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

/// Runs the command line (`args` without the program name) against the command table;
/// `--version` alone prints the program's name and `version`.
int Dispatch(std::string_view program, std::string_view version, std::string_view about,
             std::span<const CommandSpec> commands, std::span<const std::string> args,
             Output& output);

} // namespace mb::cli
