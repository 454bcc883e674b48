#include "MatlibCommands.h"

#include "CurveCommand.h"
#include "ExchangeCommands.h"
#include "IsolatedSpreadsheetReader.h"
#include "LintCommand.h"
#include "MergeCommand.h"

#include "FileOps.h"
#include "Library.h"
#include "LibraryDiff.h"
#include "LibraryFile.h"
#include "MaterialQuery.h"
#include "PropertyCatalogue.h"
#include "TextUtil.h"
#include "UnitConversion.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <system_error>

#include <charconv>
#include <memory>
#include <optional>
#include <unistd.h>

namespace mb::cli {

namespace {

// The tool has no user locale to follow: files and output use the decimal point.
constexpr std::string_view kDecimalSeparator = ".";

std::string Number(long long n) {
    char buf[24];
    const auto res = std::to_chars(buf, buf + sizeof buf, n);
    return std::string(buf, res.ptr);
}

// What a read tells the user, and the exit code: kExitOk when `library` holds the whole file.
int ReportRead(const std::string& path, const ReadResult& r, Output& output) {
    switch (r.status) {
    case ReadResult::Status::CannotOpen:
        output.err += "matlib: cannot read " + path + ": " + r.message + "\n";
        return kExitFailed;
    case ReadResult::Status::NotALibrary:
        output.err += "matlib: " + path + ": " + kNotALibraryMessage + "\n";
        return kExitRejected;
    case ReadResult::Status::Loaded:
        break;
    }
    // A command that went on with the first materials would print, or write, a library
    // short of the rest as if it were the file.
    if (r.droppedMaterials > 0) {
        output.err += "matlib: " + path + ": the file holds " +
                      Number(kMaxMaterials + r.droppedMaterials) + " materials, more than the " +
                      Number(kMaxMaterials) + " a library can hold\n";
        return kExitRejected;
    }
    return kExitOk;
}

// A save that died while it rewrote the library in place may have left it half old, half
// new: its copy of the old content is put back before anything reads it.
void RecoverBeforeReading(const std::string& path, Output& output) {
    std::string restoredFrom;
    if (const int err = recoverUnfinishedRewrite(path, {}, restoredFrom); err != 0)
        output.err += "matlib: " + path + ": the last save did not finish, and the copy of " +
                      "the library before it could not be put back: " + fileErrorMessage(err) +
                      "\n";
    else if (!restoredFrom.empty())
        output.err += "matlib: " + path +
                      ": the last save did not finish; the library was restored as it was "
                      "before that save\n";
}

// The count is printed for a file with too many materials as well: it is what "check" is for.
int Check(const Invocation& inv, Output& output) {
    const std::string& path = inv.positionals[0];
    Library library;
    RecoverBeforeReading(path, output);
    const ReadResult r = ReadLibraryFile(path, library, kDecimalSeparator);
    const int rc = ReportRead(path, r, output);
    if (r.status != ReadResult::Status::Loaded) return rc;
    const CategoryGrouping grouping = groupByCategory(library);
    output.out += Number(library.materialCount()) + " materials in " +
                  Number(static_cast<long long>(grouping.names.size())) + " categories\n";
    return rc;
}

void ListLine(int i, const LibraryEntry& e, std::string& text) {
    text += Number(i);
    for (const std::string* field : {&e.Category, &e.Name, &e.NameCode, &e.Description})
        text.append("\t").append(trimBlanks(*field));
    text += "\n";
}

int List(const Invocation& inv, Output& output) {
    Library library;
    if (const int rc = loadLibrary(inv.positionals[0], library, output); rc != kExitOk) return rc;
    std::string text;
    for (int i = 0; i < library.materialCount(); ++i)
        ListLine(i, library.entry(i), text);
    output.out += inv.terminal.shown(text);
    return kExitOk;
}

int Find(const Invocation& inv, Output& output) {
    const std::string& typed = inv.positionals[1];
    // A character Latin-1 lacks makes no query wrong: its word just matches nothing.
    const std::optional<std::string> latin1 = inv.terminal.typed(typed);
    const QueryParse parsed =
        MaterialQuery::parse(latin1 ? *latin1 : typed, inv.optionValues[0], kDecimalSeparator);
    if (!parsed.query) {
        output.err +=
            "matlib: " + (latin1 ? inv.terminal.shown(parsed.error) : parsed.error) + "\n";
        return kExitFailed;
    }
    Library library;
    if (const int rc = loadLibrary(inv.positionals[0], library, output); rc != kExitOk) return rc;
    const std::vector<int> found =
        latin1 ? parsed.query->matchingMaterials(library) : std::vector<int>();
    std::string text;
    for (int i : found)
        ListLine(i, library.entry(i), text);
    output.out += inv.terminal.shown(text);
    return found.empty() ? kExitRejected : kExitOk;
}

int Diff(const Invocation& inv, Output& output) {
    const std::string& oldPath = inv.positionals[0];
    const std::string& newPath = inv.positionals[1];
    Library oldLibrary, newLibrary;
    if (const int rc = loadLibrary(oldPath, oldLibrary, output); rc != kExitOk) return rc;
    if (const int rc = loadLibrary(newPath, newLibrary, output); rc != kExitOk) return rc;
    const LibraryComparison comparison = compareLibraries(oldLibrary, newLibrary);
    const auto repeated = [&](const std::string& path, const std::vector<std::string>& names) {
        for (const std::string& name : names)
            output.err += "matlib: " + path + ": more than one material is named '" +
                          inv.terminal.shown(name) + "'; the first of them is compared\n";
    };
    repeated(oldPath, comparison.oldRepeatedNames);
    repeated(newPath, comparison.newRepeatedNames);
    std::string text;
    for (const LibraryDifference& d : comparison.differences)
        text += d.line() + "\n";
    output.out += inv.terminal.shown(text);
    return comparison.differences.empty() ? kExitOk : kExitRejected;
}

// One line per fact, each naming its category and material, so that a line-by-line
// comparison of two dumps shows a changed value with everything needed to place it.
int Dump(const Invocation& inv, Output& output) {
    Library library;
    if (const int rc = loadLibrary(inv.positionals[0], library, output); rc != kExitOk) return rc;
    std::string text;
    for (int i = 0; i < library.materialCount(); ++i) {
        const LibraryEntry& e = library.entry(i);
        std::string head(trimBlanks(e.Category));
        head.append("\t").append(trimBlanks(e.Name)).append("\t");
        const auto line = [&](std::string_view key, std::string_view value,
                              std::string_view unit = {}) {
            text.append(head).append(key);
            if (!value.empty()) text.append("\t").append(value);
            if (!unit.empty()) text.append("\t").append(unit);
            text += "\n";
        };
        line("namecode", trimBlanks(e.NameCode));
        line("description", trimBlanks(e.Description));
        const clsMaterial& record = library.material(i);
        for (int slot = 0; slot < kVisitedSlots; ++slot) {
            if (!record.HasValue(slot)) continue;
            line(PropertyCatalogue::instance().PropCode(slot),
                 exactNumberText(record.slotValue(slot)), trimBlanks(UnitsSI(slot)));
        }
    }
    output.out += inv.terminal.shown(text);
    return kExitOk;
}

const std::string& UnitLabel(std::string_view system, int slot) {
    if (system == "IPS") return UnitsIPS(slot);
    if (system == "MKS") return UnitsMKS(slot);
    return UnitsSI(slot);
}

int Show(const Invocation& inv, Output& output) {
    const std::string& path = inv.positionals[0];
    const std::string& system = inv.optionValues[0];
    Library library;
    if (const int rc = loadLibrary(path, library, output); rc != kExitOk) return rc;
    const int i = materialNamed(library, inv.terminal, inv.positionals[1]);
    if (i < 0) return noSuchMaterial(path, inv.positionals[1], output);
    clsMaterial& record = library.material(i);
    std::string text;
    for (int slot = 0; slot < kVisitedSlots; ++slot) {
        if (!record.HasValue(slot)) continue;
        record.Property(clsMaterial::GetNthProperty(slot));
        text.append(trimBlanks(record.Property())).append("\t");
        text.append(trimBlanks(record.PropValue(system))).append("\t");
        text.append(trimBlanks(UnitLabel(system, slot))).append("\n");
    }
    output.out += inv.terminal.shown(text);
    return kExitOk;
}

// A tool cannot ask: every write error is reported and answered with Cancel.
class ReportingPrompt final : public WriteErrorPrompt {
public:
    ReportingPrompt(std::string target, Output& output)
        : target_(std::move(target)), output_(output) {}
    bool retry(const std::string& message) override {
        output_.err += "matlib: cannot write " + target_ + ": " + message + "\n";
        return false;
    }

private:
    std::string target_;
    Output& output_;
};

// Like cp, the tool leaves the disk's cache to the system: the file replaces OUT only once
// its data is on the device, so OUT is never truncated, but a power cut in the next few
// seconds may bring back the old OUT. The editor's Save also waits for the device's cache,
// at about a millisecond per megabyte.
constexpr Durability kToolDurability = Durability::Ordered;

/// Writes `library` to `out` as a save would; on failure says why and gives the exit code.
int Save(const std::string& out, Library& library, Output& output) {
    ReportingPrompt prompt(out, output);
    const WriteResult r = WriteLibraryFile(out, library, groupByCategory(library), prompt,
                                           systemFileOps(), kToolDurability);
    switch (r.status) {
    case WriteResult::Status::Written:
        return kExitOk;
    case WriteResult::Status::NothingToWrite:
        output.err += "matlib: no output file given\n";
        return kExitFailed;
    case WriteResult::Status::Failed:
        output.err += "matlib: " + r.message + "\n";
        return kExitFailed;
    case WriteResult::Status::Cancelled:
        if (!r.message.empty()) output.err += "matlib: " + r.message + "\n";
        return kExitFailed;
    }
    return kExitFailed;
}

// The library goes out while it is still being read where it can; where it cannot, OUT
// is still as it was, and the library read is saved as any other command saves one.
int Write(const Invocation& inv, Output& output) {
    const std::string& in = inv.positionals[0];
    Library library;
    RecoverBeforeReading(in, output);
    const CopyResult r = readAndWriteLibraryFile(in, inv.positionals[1], library, kDecimalSeparator,
                                                 systemFileOps(), kToolDurability);
    if (const int rc = ReportRead(in, r.read, output); rc != kExitOk || r.written) return rc;
    return Save(inv.positionals[1], library, output);
}

// The reader program prints the reply itself: it takes this process's place, so the output
// and exit status of `cells` are the reader's own.
int Cells(const Invocation& inv, Output& output) {
    const std::string reader = sheetReaderPath();
    const std::string& path = inv.positionals[0];
    std::fflush(nullptr);
    char* const argv[] = {const_cast<char*>(reader.c_str()), const_cast<char*>(path.c_str()),
                          nullptr};
    ::execv(reader.c_str(), argv);
    output.err += "matlib: the spreadsheet reader \"" + reader + "\" cannot be started (" +
                  std::generic_category().message(errno) + ")\n";
    return kExitFailed;
}

} // namespace

std::string sheetReaderPath() {
    std::array<char, 4096> buffer{};
    const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    const std::string self = n > 0 ? std::string(buffer.data(), static_cast<std::size_t>(n)) : "";
    const std::string dir = self.empty() ? "." : self.substr(0, self.rfind('/'));
    return IsolatedSpreadsheetReader::locate(dir, MB_SHEETREADER_INSTALLED, MB_SHEETREADER_BUILT);
}

int loadLibrary(const std::string& path, Library& library, Output& output) {
    RecoverBeforeReading(path, output);
    return ReportRead(path, ReadLibraryFile(path, library, kDecimalSeparator), output);
}

int SaveLibrary(const std::string& path, Library& library, Output& output) {
    return Save(path, library, output);
}

int noSuchMaterial(const std::string& path, std::string_view typed, Output& output) {
    output.err +=
        "matlib: no material named '" + std::string(trimBlanks(typed)) + "' in " + path + "\n";
    return kExitRejected;
}

std::vector<int> materialsNamed(const Library& library, const TerminalText& terminal,
                                std::string_view typed) {
    std::vector<int> found;
    const std::optional<std::string> name = terminal.typed(typed);
    if (!name) return found;
    const std::string_view wanted = trimBlanks(*name);
    for (int i = 0; i < library.materialCount(); ++i)
        if (equalsNoCase(trimBlanks(library.entry(i).Name), wanted)) found.push_back(i);
    return found;
}

int materialNamed(const Library& library, const TerminalText& terminal, std::string_view typed) {
    const std::vector<int> found = materialsNamed(library, terminal, typed);
    return found.empty() ? -1 : found.front();
}

const std::vector<CommandSpec>& matlibCommands() {
    static const std::vector<CommandSpec> commands = {
        {"check",
         "Checks that FILE is a material library and counts what it holds.",
         {"FILE"},
         {},
         "Prints \"N materials in M categories\", counting categories as a save groups them\n"
         "(names compared without regard to case). A file with more materials than the\n"
         "library's limit of 1001 is counted up to the limit and reported on stderr.\n"
         "\nExit status: 0 a library, 1 not a library or more materials than a library can\n"
         "hold, 2 FILE cannot be read or the command line is wrong.\n",
         &Check},
        {"list",
         "Lists the materials of FILE, one line each, in number order.",
         {"FILE"},
         {},
         "Each line holds the material number, category, name, name code and description,\n"
         "separated by tabs and trimmed of blanks.\n"
         "\nExit status: 0 listed, 1 not a library, 2 FILE cannot be read or the command line\n"
         "is wrong.\n",
         &List},
        {"find",
         "Lists the materials of FILE that match QUERY, as \"list\" lists them.",
         {"FILE", "QUERY"},
         {{"--units",
           "IPS|SI|MKS",
           "unit system of the numbers in QUERY",
           "SI",
           {"IPS", "SI", "MKS"}}},
         "QUERY is one argument: words and conditions separated by blanks, all of which must\n"
         "hold. A word matches when it occurs in the name, category, name code or\n"
         "description, letters compared without regard to case; \"two words\" is a phrase.\n"
         "CODE>NUMBER, CODE>=NUMBER, CODE<NUMBER, CODE<=NUMBER and CODE=NUMBER compare a\n"
         "property's value, CODE alone asks for a value. Codes are written as in the file,\n"
         "in capitals (C for C (Cp)); a word that is a code is taken as one. Numbers are in\n"
         "the unit system of --units, with \".\" as decimal point; values that differ by\n"
         "at most a relative 1E-9 are equal. Example: matlib find steels.lib 'steel EX>200E9'\n"
         "\nExit status: 0 materials were found, 1 none matched or FILE is not a library,\n"
         "2 QUERY is not a query (the message names the wrong part), FILE cannot be read or\n"
         "the command line is wrong.\n",
         &Find},
        {"show",
         "Shows the property values of the material NAME in FILE.",
         {"FILE", "NAME"},
         {{"--units",
           "IPS|SI|MKS",
           "unit system of the values and labels",
           "SI",
           {"IPS", "SI", "MKS"}}},
         "NAME is compared trimmed and without regard to case. Each line holds the property\n"
         "code, the value as number text and the unit label, separated by tabs, in\n"
         "catalogue order; properties without a value are left out.\n"
         "\nExit status: 0 shown, 1 not a library or no such material, 2 FILE cannot be read\n"
         "or the command line is wrong.\n",
         &Show},
        lintCommand(),
        curveCommand(),
        {"diff",
         "Lists the differences between the libraries OLD and NEW.",
         {"OLD", "NEW"},
         {},
         "Materials are matched by name, trimmed and compared without regard to case. One\n"
         "tab-separated line per difference, in the material order of NEW, then the\n"
         "materials only OLD holds:\n"
         "  added CATEGORY NAME            removed CATEGORY NAME\n"
         "  moved NAME OLDCATEGORY NEWCATEGORY\n"
         "  namecode NAME OLD NEW          description NAME OLD NEW\n"
         "  value NAME CODE OLD NEW        (SI number text; - for no value)\n"
         "Texts are compared trimmed of blanks, categories also without regard to case (as\n"
         "a save groups them), values as numbers. A name held twice is compared by its\n"
         "first material, and stderr says so.\n"
         "\nExit status: 0 the libraries hold the same materials and values, 1 they differ or\n"
         "a file is not a library, 2 a file cannot be read or the command line is wrong.\n",
         &Diff},
        mergeCommand(),
        {"dump",
         "Prints FILE one line per value, for comparing versions of it.",
         {"FILE"},
         {},
         "Each line holds the category, the material's name and then \"namecode\" and the\n"
         "name code, \"description\" and the description, or a property code, its value in\n"
         "SI as number text and the SI unit, separated by tabs, in material order. Made to\n"
         "serve git as a textconv filter, so that \"git diff\" of a library shows the\n"
         "values that changed:\n"
         "  .gitattributes:  *.lib diff=matlib\n"
         "  git config diff.matlib.textconv \"matlib dump\"\n"
         "\nExit status: 0 printed, 1 FILE is not a library, 2 FILE cannot be read or the\n"
         "command line is wrong.\n",
         &Dump},
        {"write",
         "Reads IN and writes it to OUT as the application saves a library.",
         {"IN", "OUT"},
         {},
         "Categories are written in the order they first occur, each holding its materials\n"
         "in number order. OUT is replaced only once it has been written completely.\n"
         "\nExit status: 0 written, 1 IN is not a library (OUT is left as it was), 2 IN cannot\n"
         "be read, OUT cannot be written or the command line is wrong.\n",
         &Write},
        importCommand(),
        exportCommand(),
        {"cells",
         "Prints the cells of the first sheet of FILE (.xls, .xlsx, .ods, .csv) for the editor.",
         {"FILE"},
         {},
         "Used by the editor, which reads workbooks in a separate process so that a damaged\n"
         "file cannot take it down. The output is a private format that may change between\n"
         "versions; a workbook that cannot be read gives its reason in it.\n"
         "\nExit status: 0 the answer was printed, 2 the command line is wrong.\n",
         &Cells},
    };
    return commands;
}

ToolSpec matlibTool(std::string_view version) {
    return {
        "matlib",
        version,
        "Checks, lists, searches, shows, compares and rewrites VELTRA/M material library files\n"
        "(.lib), imports them from JSON, CSV and Excel 97-2003 workbooks (.xls), and exports\n"
        "them as JSON, CSV, xlsx workbooks and CalculiX material cards.",
        "Names, categories and descriptions are printed in the locale's encoding (UTF-8 on\n"
        "most systems) and names and queries are typed in it; in the C and POSIX locales\n"
        "the library's bytes pass through unchanged both ways. Files are written as ever.\n"
        "\"--\" ends the options: every argument after it is a file, name or query, even one\n"
        "that starts with \"-\".\n"
        "\nExit status, the same in every command: 0 done; 1 the input is not what the command\n"
        "needs (not a library, a file with more materials than the 1001 a library can hold,\n"
        "no such material, no match, a finding) or something was not carried whole; 2 the\n"
        "command line is wrong or a file cannot be read or written. \"merge\" alone gives 1\n"
        "for a merge with conflicts and 2 for an input it cannot merge. Every message on\n"
        "stderr starts \"matlib:\" and names the file it is about, but merge's conflict lines.\n",
        matlibCommands(),
    };
}

} // namespace mb::cli
