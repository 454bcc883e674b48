#include "ExchangeCommands.h"

#include "ExportFormats.h"
#include "IsolatedSpreadsheetReader.h"
#include "Library.h"
#include "LibraryImport.h"
#include "MatlibCommands.h"
#include "TextUtil.h"
#include "UnitConversion.h"

#include <algorithm>

namespace mb::cli {

namespace {

int Import(const Invocation& inv, Output& output) {
    const std::string& in = inv.positionals[0];
    // A workbook is read by this same program in a process of its own, as the editor
    // reads it: a damaged file then gives a message instead of a crash.
    IsolatedSpreadsheetReader reader("/proc/self/exe");
    Library library;
    const ImportResult r = ImportFile(in, reader, library);
    if (r.status == ImportResult::Status::CannotOpen) {
        output.err += "matlib: " + r.message() + "\n";
        return kExitFailed;
    }
    // Row by row (or key by key) what the import changed or where it stopped.
    const std::string message = r.message();
    for (std::size_t at = 0; at < message.size();) {
        const std::size_t end = std::min(message.find('\n', at), message.size());
        output.err += "matlib: " + in + ": " + message.substr(at, end - at) + "\n";
        at = end + 1;
    }
    if (!r.imported()) return kExitRejected;
    if (library.MaterialCount() == 0) {
        const bool json = in.size() >= 5 && EqualsNoCase(in.substr(in.size() - 5), ".json");
        output.err +=
            "matlib: " + in + (json ? ": the file" : ": the sheet") + " holds no material\n";
        return kExitRejected;
    }
    return SaveLibrary(inv.positionals[1], library, output);
}

int UnitSystem(std::string_view name) {
    for (int i = 0; i < kUnitSystemCount; ++i)
        if (UnitSystemName(i) == name) return i;
    return UnitSystemIndex::SI;
}

int Export(const Invocation& inv, Output& output) {
    const std::string& path = inv.positionals[0];
    const std::string& format = inv.optionValues[0];
    Library library;
    if (const int rc = LoadLibrary(path, library, output); rc != kExitOk) return rc;
    std::vector<int> chosen;
    for (const std::string& wanted : inv.optionLists[2]) {
        const std::vector<int> named = MaterialsNamed(library, inv.terminal, wanted);
        if (named.empty()) return NoSuchMaterial(path, wanted, output);
        chosen.insert(chosen.end(), named.begin(), named.end());
    }
    const ExportFormat kind = format == "json"   ? ExportFormat::Json
                              : format == "csv"  ? ExportFormat::Csv
                              : format == "xlsx" ? ExportFormat::Xlsx
                                                 : ExportFormat::Calculix;
    ExportResult r =
        ExportText(ExportSelection(library, chosen), kind, UnitSystem(inv.optionValues[1]));
    if (!r.error.empty()) {
        output.err += "matlib: " + r.error + "\n";
        return kExitFailed;
    }
    output.out = std::move(r.bytes);
    // The file goes out all the same: it is what the solver can take, and each gap is
    // named in it as well.
    for (const ExportOmission& o : r.omissions)
        output.err +=
            "matlib: " + path + ": " + o.category + " / " + o.material + ": " + o.what + "\n";
    return r.omissions.empty() ? kExitOk : kExitRejected;
}

} // namespace

CommandSpec ImportCommand() {
    return {"import",
            "Imports the materials of IN (JSON, CSV or a workbook) and writes them to OUT.",
            {"IN", "OUT"},
            {},
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
            "OUT is written as \"write\" writes it, and only when all of IN was imported.\n"
            "What was changed to fit a library, and where reading stopped, goes to stderr\n"
            "naming the row, cell or key.\n"
            "\nExit status: 0 written, 1 a row, cell or key of IN was refused or IN holds no\n"
            "material, 2 IN cannot be read or OUT cannot be written.\n",
            &Import};
}

CommandSpec ExportCommand() {
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
