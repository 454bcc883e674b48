#include "ConflictFile.h"

#include "FileOps.h"
#include "LibraryFile.h"
#include "PropertyCatalogue.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>

namespace mb {

namespace {

using Kind = ConflictEntry::Kind;

struct Keyword {
    std::string_view text;
    Kind kind;
};
constexpr std::array<Keyword, 6> kKeywords = {{{"DESCRIPTION", Kind::Description},
                                               {"NAMECODE", Kind::NameCode},
                                               {"CATEGORY", Kind::Category},
                                               {"NAME", Kind::Name},
                                               {"MATERIAL", Kind::Material},
                                               {"LIMIT", Kind::Limit}}};

std::string LineNumber(std::size_t n) {
    char buf[24];
    const auto r = std::to_chars(buf, buf + sizeof buf, n);
    return std::string(buf, r.ptr);
}

// Undoes the four escapes the merge writes; false for a backslash that starts none.
bool Unescape(std::string_view field, std::string& out) {
    out.clear();
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] != '\\') {
            out += field[i];
            continue;
        }
        if (++i == field.size()) return false;
        switch (field[i]) {
        case '\\':
            out += '\\';
            break;
        case 't':
            out += '\t';
            break;
        case 'n':
            out += '\n';
            break;
        case 'r':
            out += '\r';
            break;
        default:
            return false;
        }
    }
    return true;
}

std::optional<double> wholeNumber(std::string_view text) {
    double v = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
    if (r.ec != std::errc() || r.ptr != text.data() + text.size()) return std::nullopt;
    return v;
}

// One line's conflict, or the reason it is not one.
std::string ParseLine(std::string_view line, ConflictEntry& entry) {
    std::vector<std::string_view> fields;
    for (std::size_t start = 0;;) {
        const std::size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab == std::string_view::npos ? tab : tab - start));
        if (tab == std::string_view::npos) break;
        start = tab + 1;
    }
    if (fields.size() != 6)
        return "expected 6 fields separated by tabs, found " + LineNumber(fields.size());
    if (fields[0] != "conflict") return "the line does not start with \"conflict\"";
    std::string text;
    if (!Unescape(fields[1], text) || text.empty()) return "the material name is missing or broken";
    entry.name = text;
    entry.code = std::string(fields[2]);
    entry.kind = Kind::Value;
    bool keyword = false;
    for (const Keyword& k : kKeywords)
        if (fields[2] == k.text) {
            entry.kind = k.kind;
            keyword = true;
        }
    if (!keyword) {
        const std::string_view code = fields[2] == "C" ? std::string_view("C (Cp)") : fields[2];
        entry.slot = fields[2].empty() ? -1 : PropertyCatalogue::instance().findExact(code);
        if (entry.slot < 0)
            return "\"" + std::string(fields[2]) +
                   "\" is neither a property code nor a conflict kind";
    }
    for (int side = 0; side < 3; ++side) {
        const std::string_view field = fields[3 + side];
        if (field == "-") continue;
        if (!Unescape(field, text))
            return "a backslash starts no escape in \"" + std::string(field) + "\"";
        if (entry.kind == Kind::Value) {
            entry.si[side] = wholeNumber(text);
            if (!entry.si[side]) return "\"" + text + "\" is not a number";
        }
        entry.sides[side] = text;
    }
    return {};
}

} // namespace

std::string escapeConflictField(std::string_view text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string conflictFilePath(const std::string& libraryPath) {
    return libraryPath + ".conflicts";
}

ConflictFileContent parseConflictText(std::string_view text, std::string_view origin) {
    ConflictFileContent content;
    std::size_t number = 0;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        const std::string_view line = text.substr(start, end - start);
        start = end + 1;
        ++number;
        if (line.empty()) continue;
        ConflictEntry entry;
        if (std::string reason = ParseLine(line, entry); !reason.empty()) {
            content.conflicts.clear();
            content.error = std::string(origin) + ": line " + LineNumber(number) + ": " + reason;
            return content;
        }
        content.conflicts.push_back(std::move(entry));
    }
    return content;
}

ConflictFileContent readConflictFile(const std::string& path) {
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        ConflictFileContent content;
        content.error = "Cannot read " + path + ": " + readErrorMessage(errno ? errno : ENOENT);
        return content;
    }
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return parseConflictText(text, path);
}

std::string conflictFileText(const std::vector<ConflictEntry>& conflicts) {
    std::string text;
    for (const ConflictEntry& c : conflicts) {
        text.append("conflict\t").append(escapeConflictField(c.name)).append("\t").append(c.code);
        for (const std::optional<std::string>& side : c.sides)
            text.append("\t").append(side ? escapeConflictField(*side) : std::string("-"));
        text += "\n";
    }
    return text;
}

std::string writeConflictFile(const std::string& path,
                              const std::vector<ConflictEntry>& conflicts) {
    // The old list stays until the new one is complete: a failed write must not cost the
    // user the conflicts still to decide.
    const std::string temporary = path + ".new";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (out) out << conflictFileText(conflicts);
        if (out) out.flush();
        if (!out) {
            const int err = errno;
            std::remove(temporary.c_str());
            return "Cannot write " + path + ": " + fileErrorMessage(err ? err : EIO);
        }
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        const int err = errno;
        std::remove(temporary.c_str());
        return "Cannot write " + path + ": " + fileErrorMessage(err);
    }
    return {};
}

} // namespace mb
