#include "CommandLine.h"

#include "TextUtil.h"

#include <algorithm>

namespace mb::cli {

namespace {

bool IsHelp(std::string_view arg) {
    return arg == "--help" || arg == "-h";
}

std::string UsageLine(std::string_view program, const CommandSpec& c) {
    std::string s(program);
    s.append(" ").append(c.name);
    for (std::string_view p : c.positionals)
        s.append(" ").append(p);
    for (const OptionSpec& o : c.options) {
        std::string option(o.name);
        // A switch takes no value.
        if (!o.valueName.empty()) option.append(" ").append(o.valueName);
        switch (o.use) {
        case OptionUse::Required:
            s.append(" ").append(option);
            break;
        case OptionUse::Optional:
            s.append(" [").append(option).append("]");
            break;
        case OptionUse::Repeatable:
            s.append(" [").append(option).append("]...");
            break;
        }
    }
    return s;
}

constexpr std::string_view kEndOfOptions = "--";

std::string ToolHelp(const ToolSpec& tool) {
    const std::string_view program = tool.program;
    const std::span<const CommandSpec> commands = tool.commands;
    std::string s = "Usage: ";
    s.append(program).append(" COMMAND ARGS...\n");
    s.append(tool.about).append("\n\nCommands:\n");
    std::size_t width = 0;
    std::vector<std::string> usages;
    // A usage line longer than this puts its summary on the next line, so one command
    // with many options does not push every summary off the screen.
    constexpr std::size_t kWidest = 44;
    for (const CommandSpec& c : commands) {
        usages.push_back(UsageLine("", c).substr(1));
        if (usages.back().size() <= kWidest) width = std::max(width, usages.back().size());
    }
    for (std::size_t i = 0; i < commands.size(); ++i) {
        s.append("  ").append(usages[i]);
        if (usages[i].size() > width)
            s.append("\n").append(2, ' ').append(width, ' ');
        else
            s.append(width - usages[i].size(), ' ');
        s.append(3, ' ').append(commands[i].summary).append("\n");
    }
    if (!tool.notes.empty()) s.append("\n").append(tool.notes);
    s.append("\nRun '").append(program).append(" COMMAND --help' for the details of a command,\n");
    s.append("'").append(program).append(" --version' for its version.\n");
    return s;
}

std::string CommandHelp(std::string_view program, const CommandSpec& c) {
    std::string s = "Usage: " + UsageLine(program, c) + "\n";
    s.append(c.summary).append("\n");
    if (!c.details.empty()) s.append("\n").append(c.details);
    if (!c.options.empty()) {
        s.append("\nOptions:\n");
        for (const OptionSpec& o : c.options) {
            s.append("  ").append(o.name);
            if (!o.valueName.empty()) s.append(" ").append(o.valueName);
            s.append("  ");
            s.append(o.help);
            if (!o.defaultValue.empty()) s.append(" (default ").append(o.defaultValue).append(")");
            s.append("\n");
        }
    }
    return s;
}

// "matlib: show: ..." for a command's usage, "matlib: ..." for the tool's.
int UsageError(Output& output, std::string_view program, std::string_view command,
               std::string_view problem) {
    output.err.append(program).append(": ");
    if (!command.empty()) output.err.append(command).append(": ");
    output.err.append(problem).append("; try '").append(program);
    if (!command.empty()) output.err.append(" ").append(command);
    output.err.append(" --help'\n");
    return kExitFailed;
}

} // namespace

int dispatch(const ToolSpec& tool, const TerminalText& terminal, std::span<const std::string> args,
             Output& output) {
    const std::string_view program = tool.program;
    if (args.empty()) return UsageError(output, program, {}, "missing command");
    if (IsHelp(args[0])) {
        output.out += ToolHelp(tool);
        return kExitOk;
    }
    if (args[0] == "--version") {
        if (args.size() > 1) return UsageError(output, program, {}, "--version takes nothing");
        output.out.append(program).append(" ").append(tool.version).append("\n");
        return kExitOk;
    }
    const auto command = std::find_if(tool.commands.begin(), tool.commands.end(),
                                      [&](const CommandSpec& c) { return c.name == args[0]; });
    if (command == tool.commands.end())
        return UsageError(output, program, {}, "unknown command '" + args[0] + "'");

    const std::string_view name = command->name;
    const auto options = args.subspan(1, std::find(args.begin() + 1, args.end(), kEndOfOptions) -
                                             (args.begin() + 1));
    // Help wins wherever it stands among the options, so a half-typed command line still
    // gets it.
    if (std::any_of(options.begin(), options.end(),
                    [](const std::string& a) { return IsHelp(a); })) {
        output.out += CommandHelp(program, *command);
        return kExitOk;
    }

    Invocation inv{terminal, {}, {}, {}};
    for (const OptionSpec& o : command->options)
        inv.optionValues.emplace_back(o.defaultValue);
    inv.optionLists.resize(command->options.size());
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == kEndOfOptions) {
            inv.positionals.insert(inv.positionals.end(), args.begin() + i + 1, args.end());
            break;
        }
        if (arg.size() < 2 || arg[0] != '-') {
            inv.positionals.push_back(arg);
            continue;
        }
        const std::size_t eq = arg.find('=');
        const std::string_view optionName = std::string_view(arg).substr(0, eq);
        const auto option = std::find_if(command->options.begin(), command->options.end(),
                                         [&](const OptionSpec& o) { return o.name == optionName; });
        if (option == command->options.end())
            return UsageError(output, program, name,
                              "unknown option '" + std::string(optionName) + "'");
        const auto index = static_cast<std::size_t>(option - command->options.begin());
        std::string& value = inv.optionValues[index];
        if (option->valueName.empty()) {
            if (eq != std::string::npos)
                return UsageError(output, program, name,
                                  std::string(optionName) + " takes no value");
            value = "yes";
        } else if (eq != std::string::npos) {
            value = arg.substr(eq + 1);
        } else if (i + 1 < args.size()) {
            value = args[++i];
        } else {
            return UsageError(output, program, name, std::string(optionName) + " needs a value");
        }
        if (!option->choices.empty()) {
            const auto choice =
                std::find_if(option->choices.begin(), option->choices.end(),
                             [&](std::string_view c) { return equalsNoCase(c, value); });
            if (choice == option->choices.end())
                return UsageError(output, program, name,
                                  std::string(optionName) + " takes " +
                                      std::string(option->valueName) + ", not '" + value + "'");
            value = *choice;
        }
        inv.optionLists[index].push_back(value);
    }
    for (std::size_t i = 0; i < command->options.size(); ++i)
        if (command->options[i].use == OptionUse::Required && inv.optionLists[i].empty())
            return UsageError(output, program, name,
                              std::string(command->options[i].name) + " is needed");
    if (inv.positionals.size() != command->positionals.size()) {
        std::string expected = "expected";
        for (std::string_view p : command->positionals)
            expected.append(" ").append(p);
        if (inv.positionals.size() > command->positionals.size())
            expected = "too many arguments (" + expected + ")";
        return UsageError(output, program, name, expected);
    }
    return command->run(inv, output);
}

} // namespace mb::cli
