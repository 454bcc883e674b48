#include "LintCommand.h"

#include "MaterialChecks.h"
#include "MatlibCommands.h"
#include "TextUtil.h"
#include "Utf8Text.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <fstream>
#include <iterator>

namespace mb::cli {

namespace {

// The line of each material's "MATL" line, in material order: line ends as the reader
// knows them (CR LF, LF or CR), so a location agrees with what an editor shows.
std::vector<long long> MaterialLines(const std::string& path) {
    std::vector<long long> lines;
    std::ifstream in(path, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    long long line = 1;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos) end = text.size();
        if (line > 1 && end - start >= 4 &&
            startsWithNoCase(std::string_view(text).substr(start), "MATL"))
            lines.push_back(line);
        start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
        ++line;
    }
    return lines;
}

// A relative URI reference for the path as given, so a review tool that knows the
// repository's root finds the file; an absolute path becomes a file URI.
std::string FileUri(std::string_view path) {
    if (path.substr(0, 2) == "./") path.remove_prefix(2);
    std::string uri = !path.empty() && path.front() == '/' ? "file://" : "";
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (const char ch : latin1ToUtf8(path)) {
        const auto c = static_cast<unsigned char>(ch);
        if (std::isalnum(c) || std::strchr("-._~/", ch) != nullptr) {
            uri += ch;
        } else {
            uri += '%';
            uri += kHex[c >> 4];
            uri += kHex[c & 15];
        }
    }
    return uri;
}

// One run of one tool in SARIF 2.1.0: each rule found once in the driver's rules, each
// finding a result at the material's MATL line, named also as Category/Name.
nlohmann::ordered_json Sarif(const std::string& path, const Library& library,
                             const std::vector<LibraryFinding>& findings) {
    using Json = nlohmann::ordered_json;
    const std::vector<long long> lines = MaterialLines(path);
    Json rules = Json::array();
    std::vector<std::string> ruleIds;
    Json results = Json::array();
    for (const LibraryFinding& lf : findings) {
        const Finding& f = lf.finding;
        auto rule = std::find(ruleIds.begin(), ruleIds.end(), f.rule);
        if (rule == ruleIds.end()) {
            ruleIds.push_back(f.rule);
            rules.push_back({{"id", f.rule}});
            rule = ruleIds.end() - 1;
        }
        const LibraryEntry& e = library.entry(lf.material);
        const std::string category = latin1ToUtf8(trimBlanks(e.Category));
        const std::string name = latin1ToUtf8(trimBlanks(e.Name));
        Json physical = {{"artifactLocation", {{"uri", FileUri(path)}}}};
        if (static_cast<std::size_t>(lf.material) < lines.size())
            physical["region"] = {{"startLine", lines[static_cast<std::size_t>(lf.material)]}};
        results.push_back(
            {{"ruleId", f.rule},
             {"ruleIndex", rule - ruleIds.begin()},
             {"level", f.severity == Severity::Error ? "error" : "warning"},
             {"message", {{"text", category + " / " + name + ": " + f.message}}},
             {"locations",
              Json::array({{{"physicalLocation", physical},
                            {"logicalLocations",
                             Json::array({{{"name", name},
                                           {"fullyQualifiedName", category + "/" + name},
                                           {"kind", "object"}}})}}})}});
    }
    return {{"$schema", "https://json.schemastore.org/sarif-2.1.0.json"},
            {"version", "2.1.0"},
            {"runs",
             Json::array(
                 {{{"tool",
                    {{"driver", {{"name", "matlib"}, {"version", MB_VERSION}, {"rules", rules}}}}},
                   {"results", results}}})}};
}

int Lint(const Invocation& inv, Output& output) {
    Library library;
    if (const int rc = loadLibrary(inv.positionals[0], library, output); rc != kExitOk) return rc;
    const std::vector<LibraryFinding> findings = checkLibrary(library);
    const bool anyError =
        std::any_of(findings.begin(), findings.end(), [](const LibraryFinding& lf) {
            return lf.finding.severity == Severity::Error;
        });
    if (inv.optionValues[0] == "sarif") {
        output.out += Sarif(inv.positionals[0], library, findings).dump(2) + "\n";
        return anyError ? kExitRejected : kExitOk;
    }
    const bool json = inv.optionValues[0] == "json";
    // The fields in the order the text lines give them.
    nlohmann::ordered_json array = nlohmann::ordered_json::array();
    std::string text;
    for (const LibraryFinding& lf : findings) {
        const Finding& f = lf.finding;
        const LibraryEntry& e = library.entry(lf.material);
        const std::string_view category = trimBlanks(e.Category), name = trimBlanks(e.Name);
        if (json) {
            array.push_back({{"severity", severityName(f.severity)},
                             {"category", latin1ToUtf8(category)},
                             {"name", latin1ToUtf8(name)},
                             {"rule", f.rule},
                             {"message", f.message}});
            continue;
        }
        text.append(severityName(f.severity)).append("\t").append(category).append("\t");
        text.append(name).append("\t").append(f.rule).append("\t").append(f.message);
        text += "\n";
    }
    // JSON is UTF-8 whatever the terminal: it is a format, not text to read.
    output.out += json ? array.dump(2) + "\n" : inv.terminal.shown(text);
    return anyError ? kExitRejected : kExitOk;
}

} // namespace

CommandSpec lintCommand() {
    return {"lint",
            "Checks the values of every material of FILE for physical plausibility.",
            {"FILE"},
            {{"--format",
              "text|json|sarif",
              "how the findings are printed",
              "text",
              {"text", "json", "sarif"}}},
            "Prints one tab-separated line per finding: SEVERITY (error or warning), CATEGORY,\n"
            "NAME, RULE and MESSAGE, materials in number order and findings in rule order, at\n"
            "most one per rule and material. Values are checked in SI, whatever the type a\n"
            "material is shown as. Errors: positive, poisson-range, orthotropic-stability,\n"
            "matrix-incomplete, matrix-not-positive-definite, yield-above-strength,\n"
            "tangent-above-modulus, friction-angle, mooney-initial-shear, ogden-pairs,\n"
            "ogden-initial-shear, prony-time, prony-sum, wlf-constants. Warnings:\n"
            "isotropic-consistency, range. With --format json the same findings are one\n"
            "JSON array of objects with the fields severity, category, name, rule and message.\n"
            "With --format sarif they are one SARIF 2.1.0 log for code-review and CI tools:\n"
            "each finding a result with its rule id, level and message, located at FILE\n"
            "(as given, as a relative URI) and the line of the material's MATL line.\n"
            "\nExit status: 0 no error (warnings allowed), 1 an error was found or FILE is not a\n"
            "library, 2 FILE cannot be read or the command line is wrong.\n",
            &Lint};
}

} // namespace mb::cli
