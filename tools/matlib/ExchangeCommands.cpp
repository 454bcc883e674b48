#include "ExchangeCommands.h"

#include "ExportFormats.h"
#include "IsolatedSpreadsheetReader.h"
#include "Library.h"
#include "LibraryImport.h"
#include "MatlibCommands.h"
#include "TextUtil.h"
#include "UnitConversion.h"

#include <algorithm>

#include <sys/stat.h>

namespace mb::cli {

namespace {

// True when `a` and `b` are one file, whatever names or links lead to it.
bool SameFile(const std::string& a, const std::string& b) {
    struct stat first {
    }, second{};
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

int Import(const Invocation& inv, Output& output) {
    const std::string& in = inv.positionals[0];
    const std::string& out = inv.positionals[1];
    const bool strict = !inv.optionValues[0].empty();
    if (SameFile(in, out)) {
        output.err +=
            "matlib: " + out + " is " + in + " itself: the import would write over what it reads\n";
        return kExitFailed;
    }
    // A workbook is read by the reader program in a process of its own, as the editor
    // reads it: a damaged file then gives a message instead of a crash.
    IsolatedSpreadsheetReader reader(sheetReaderPath());
    Library library;
    const ImportResult r = importFile(in, reader, library);
    if (r.status == ImportResult::Status::CannotOpen) {
        output.err += "matlib: " + r.stopReason() + "\n";
        return kExitFailed;
    }
    // Every cell, row or key not taken as it stood, one line each.
    for (const std::string& note : r.notes)
        output.err += "matlib: " + in + ": " + inv.terminal.shown(note) + "\n";
    const std::string notWritten = "matlib: " + out + " was not written\n";
    if (!r.imported()) {
        output.err += "matlib: " + inv.terminal.shown(r.stopReason()) + "\n" + notWritten;
        return kExitRejected;
    }
    if (library.materialCount() == 0) {
        const bool json = in.size() >= 5 && equalsNoCase(in.substr(in.size() - 5), ".json");
        output.err += "matlib: " + in + (json ? ": the file" : ": the sheet") +
                      " holds no material\n" + notWritten;
        return kExitRejected;
    }
    if (strict && !r.notes.empty()) {
        output.err += "matlib: " + in + ": " + std::to_string(r.notes.size()) +
                      (r.notes.size() == 1 ? " cell or row was" : " cells or rows were") +
                      " not taken as they stood (--strict)\n" + notWritten;
        return kExitRejected;
    }
    return SaveLibrary(out, library, output);
}

int UnitSystem(std::string_view name) {
    for (int i = 0; i < kUnitSystemCount; ++i)
        if (unitSystemName(i) == name) return i;
    return UnitSystemIndex::SI;
}

int Export(const Invocation& inv, Output& output) {
    const std::string& path = inv.positionals[0];
    const std::string& format = inv.optionValues[0];
    Library library;
    if (const int rc = loadLibrary(path, library, output); rc != kExitOk) return rc;
    std::vector<int> chosen;
    for (const std::string& wanted : inv.optionLists[2]) {
        const std::vector<int> named = materialsNamed(library, inv.terminal, wanted);
        if (named.empty()) return noSuchMaterial(path, wanted, output);
        chosen.insert(chosen.end(), named.begin(), named.end());
    }
    const ExportFormat kind = format == "json"   ? ExportFormat::Json
                              : format == "csv"  ? ExportFormat::Csv
                              : format == "xlsx" ? ExportFormat::Xlsx
                                                 : ExportFormat::Calculix;
    Result<ExportedFile> r =
        exportText(exportSelection(library, chosen), kind, UnitSystem(inv.optionValues[1]));
    if (!r) {
        output.err += "matlib: " + r.failure().what + "\n";
        return kExitFailed;
    }
    output.out = std::move(r->bytes);
    // The file goes out all the same: it is what the solver can take, and each gap is
    // named in it as well.
    for (const ExportOmission& o : r->omissions)
        output.err += "matlib: " + path + ": " + inv.terminal.shown(o.category) + " / " +
                      inv.terminal.shown(o.material) + ": " + inv.terminal.shown(o.what) + "\n";
    return r->omissions.empty() ? kExitOk : kExitRejected;
}

} // namespace

CommandSpec importCommand() {
    return {
        "import",
        "Imports the materials of IN (JSON, CSV or a workbook) and writes them to OUT.",
        {"IN", "OUT"},
        {{"--strict", "", "refuse IN when any cell, row or key was not taken as it stood", "", {}}},
        "IN is read by the end of its name:\n"
        "  .json  as \"export --format json\" writes it;\n"
        "  .csv   comma- or semicolon-separated, in the table layout that \"export\n"
        "         --format csv\" writes (a first row starting Category, Name, Name code,\n"
        "         Description, a row of units, one row per material) or in the block\n"
        "         layout of the workbooks;\n"
        "  other  a workbook, .xls (Excel 97-2003), .xlsx or .ods (told apart by their\n"
        "         content), read in a process of its own, its first sheet in the table\n"
        "         layout or in the block layout: column A \"Name\" starts a material (its\n"
        "         name in column B), \"Type\" gives its category, other rows are value\n"
        "         rows (a property code in column A, the value in SI in column B), and\n"
        "         \"End\" ends the data.\n"
        "Sheets are read as they show: a merged cell counts for every cell it spans,\n"
        "blank rows are passed over, an empty value cell leaves its property unset,\n"
        "codes are read in any letter case, and a date is its day number.\n"
        "Every cell, row or key not taken as it stood (a character beyond Latin-1\n"
        "respelt, a name shortened, a formula without a value, a row whose code is no\n"
        "property code) is a line on stderr naming it; OUT is still written, unless\n"
        "--strict is given. Where reading stops, the line says why and OUT is not\n"
        "written. OUT may not be IN itself, by any name or link.\n"
        "\nExit status: 0 written (with or without notes), 1 reading stopped, IN holds\n"
        "no material, or --strict and a note, 2 IN cannot be read, OUT cannot be\n"
        "written, OUT is IN, or the command line is wrong.\n",
        &Import};
}

CommandSpec exportCommand() {
    return {"export",
            "Writes the materials of FILE in another format to standard output.",
            {"FILE"},
            {{"--format",
              "json|csv|xlsx|calculix",
              "the format",
              "",
              {"json", "csv", "xlsx", "calculix"},
              OptionUse::Required},
             {"--units",
              "IPS|SI|MKS",
              "unit system of the csv and xlsx values and units",
              "SI",
              {"IPS", "SI", "MKS"}},
             {"--material",
              "NAME",
              "export only NAME (may be given again)",
              "",
              {},
              OptionUse::Repeatable}},
            "Materials are written category by category, as a save groups them. NAME is\n"
            "compared trimmed and without regard to case.\n"
            "  json      categories and materials with name, name code, description and each\n"
            "            property's SI value and unit; \"import\" reads it back.\n"
            "  csv       one row per material: category, name, name code, description and a\n"
            "            column per property code any of them has, below a row of units in\n"
            "            the --units system; \"import\" reads it back.\n"
            "  xlsx      the same table as csv on the first sheet of a workbook, numbers as\n"
            "            number cells.\n"
            "  calculix  one *MATERIAL card per material, in SI; whatever a card does not\n"
            "            carry whole is a comment in it and a warning on stderr naming the\n"
            "            material, and the cards are written all the same.\n"
            "\nExit status: 0 written, every material whole; 1 FILE is not a library, has no\n"
            "material NAME, or a material was not carried whole (written all the same);\n"
            "2 FILE cannot be read or the command line is wrong.\n",
            &Export};
}

} // namespace mb::cli
