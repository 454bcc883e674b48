#include "LibraryRoundTrip.h"

#include "materials/TextUtil.h"
#include "model/Library.h"
#include "model/LibraryFile.h"

#include <charconv>
#include <vector>

namespace mb::fuzz {

namespace {

std::string Number(long long n) {
    char buf[24];
    const auto res = std::to_chars(buf, buf + sizeof buf, n);
    return std::string(buf, res.ptr);
}

bool StartsWith(std::string_view s, std::string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}

// What every written library looks like, whatever was read: lines ending in CR LF, and
// every property line 97 characters wide with its value fields in place.
std::string CheckWrittenShape(std::string_view text) {
    long long lineNumber = 0;
    while (!text.empty()) {
        ++lineNumber;
        const std::size_t end = text.find("\r\n");
        if (end == std::string_view::npos) return "written text does not end in CR LF";
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(end + 2);
        if (line.find_first_of("\r\n") != std::string_view::npos)
            return "written line " + Number(lineNumber) + " holds a line break";
        if (StartsWith(line, "MATTYPE:") || StartsWith(line, "MATL:") || line == "ENDMATL" ||
            line == "ENDTYPE")
            continue;
        if (line.size() != 97)
            return "written property line " + Number(lineNumber) + " is " +
                   Number(static_cast<long long>(line.size())) + " characters wide";
        for (std::size_t column : {10u, 39u, 70u})
            if (line[column] == ' ')
                return "written property line " + Number(lineNumber) +
                       " has no number at column " + Number(static_cast<long long>(column + 1));
    }
    return "";
}

// The categories a reader finds in the written text. A category that was never named
// (a first line too short to cut a name from) is written as "MATTYPE:" and so reads back
// as "No Category", which may then join a category of that name.
std::vector<std::string> CategoriesAsReadBack(const std::vector<std::string>& written) {
    std::vector<std::string> names;
    for (const std::string& w : written) {
        const std::string name = w.empty() ? "No Category" : w;
        bool known = false;
        for (const std::string& n : names) known = known || EqualsNoCase(n, name);
        if (!known) names.push_back(name);
    }
    return names;
}

std::string RoundTrip(std::string_view bytes, std::string_view separator) {
    Library first;
    const ReadResult r1 = ReadLibraryText(bytes, first, separator);
    if (r1.status != ReadResult::Status::Loaded) {
        if (first.MaterialCount() != 0) return "a rejected text left materials behind";
        return "";
    }
    const CategoryGrouping g1 = GroupByCategory(first);
    if (g1.categoryOfMaterial.size() != static_cast<std::size_t>(first.MaterialCount()))
        return "the grouping does not place every material";
    for (int p : g1.categoryOfMaterial)
        if (p < 1 || p > static_cast<int>(g1.names.size())) return "a material has no category";
    const std::string text1 = LibraryText(first, g1);
    if (std::string problem = CheckWrittenShape(text1); !problem.empty()) return problem;
    if (first.MaterialCount() == 0) return text1.empty() ? "" : "an empty library wrote text";

    // Whatever the writer wrote must read back whole: same materials, same categories.
    Library second;
    const ReadResult r2 = ReadLibraryText(text1, second, separator);
    if (r2.status != ReadResult::Status::Loaded) return "the written text is not a library";
    if (second.MaterialCount() != first.MaterialCount())
        return "reading the written text gave " + Number(second.MaterialCount()) +
               " materials instead of " + Number(first.MaterialCount());
    if (GroupByCategory(second).names != CategoriesAsReadBack(g1.names))
        return "reading the written text changed the categories";
    return "";
}

} // namespace

std::string RoundTripLibrary(std::string_view bytes) {
    for (std::string_view separator : {".", ","})
        if (std::string problem = RoundTrip(bytes, separator); !problem.empty())
            return "with \"" + std::string(separator) + "\": " + problem;
    return "";
}

} // namespace mb::fuzz
