#include "LintCommand.h"

#include "MaterialChecks.h"
#include "MatlibCommands.h"
#include "TextUtil.h"
#include "Utf8Text.h"

#include <nlohmann/json.hpp>

namespace mb::cli {

namespace {

int Lint(const Invocation& inv, Output& output) {
    Library library;
    if (const int rc = LoadLibrary(inv.positionals[0], library, output); rc != kExitOk) return rc;
    const std::vector<LibraryFinding> findings = CheckLibrary(library);
    const bool json = inv.optionValues[0] == "json";
    // The fields in the order the text lines give them.
    nlohmann::ordered_json array = nlohmann::ordered_json::array();
    std::string text;
    bool anyError = false;
    for (const LibraryFinding& lf : findings) {
        const Finding& f = lf.finding;
        anyError = anyError || f.severity == Severity::Error;
        const LibraryEntry& e = library.Entry(lf.material);
        const std::string_view category = TrimBlanks(e.Category), name = TrimBlanks(e.Name);
        if (json) {
            array.push_back({{"severity", SeverityName(f.severity)},
                             {"category", Latin1ToUtf8(category)},
                             {"name", Latin1ToUtf8(name)},
                             {"rule", f.rule},
                             {"message", f.message}});
            continue;
        }
        text.append(SeverityName(f.severity)).append("\t").append(category).append("\t");
        text.append(name).append("\t").append(f.rule).append("\t").append(f.message);
        text += "\n";
    }
    // JSON is UTF-8 whatever the terminal: it is a format, not text to read.
    output.out += json ? array.dump(2) + "\n" : inv.terminal.shown(text);
    return anyError ? kExitRejected : kExitOk;
}

} // namespace

CommandSpec LintCommand() {
    return {"lint",
            "Checks the values of every material of FILE for physical plausibility.",
            {"FILE"},
            {{"--format", "text|json", "how the findings are printed", "text", {"text", "json"}}},
            "Prints one tab-separated line per finding: SEVERITY (error or warning), CATEGORY,\n"
            "NAME, RULE and MESSAGE, materials in number order and findings in rule order, at\n"
            "most one per rule and material. Values are checked in SI, whatever the type a\n"
            "material is shown as. Errors: positive, poisson-range, orthotropic-stability,\n"
            "matrix-incomplete, matrix-not-positive-definite, yield-above-strength,\n"
            "tangent-above-modulus, friction-angle, mooney-initial-shear, ogden-pairs,\n"
            "ogden-initial-shear, prony-time, prony-sum, wlf-constants. Warnings:\n"
            "isotropic-consistency, range. With --format json the same findings are one\n"
            "JSON array of objects with the fields severity, category, name, rule and message.\n"
            "\nExit status: 0 no error (warnings allowed), 1 an error was found or FILE is not a\n"
            "library, 2 FILE cannot be read or the command line is wrong.\n",
            &Lint};
}

} // namespace mb::cli
