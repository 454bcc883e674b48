#include "ExchangeRoundTrip.h"

#include "CsvExchange.h"
#include "ExportSelection.h"
#include "JsonExchange.h"
#include "Library.h"
#include "LibraryFile.h"
#include "LibraryRoundTrip.h"
#include "TableLayout.h"
#include "UnitConversion.h"

namespace mb::fuzz {

namespace {

ImportResult Import(std::string_view bytes, ExchangeFormat format, Library& library) {
    if (format == ExchangeFormat::Json) return importJson(bytes, library);
    const Result<CsvSheet> sheet = parseCsv(bytes);
    if (!sheet) {
        library.clear();
        ImportResult result;
        result.stop(ImportResult::Status::Refused, 0, sheet.failure().place, sheet.failure().what,
                    library);
        return result;
    }
    return importAnyLayout(sheet.value(), library);
}

std::string Export(Library& library, ExchangeFormat format) {
    const std::vector<ExportedCategory> selection = exportSelection(library);
    return format == ExchangeFormat::Json ? exportJson(selection)
                                          : csvText(exportTable(selection, UnitSystemIndex::SI));
}

bool NamesItsPlace(const std::string& reason) {
    for (const std::string_view start :
         {"Row ", "Cell ", "Key ", "The import stopped at row ", "The import stopped at cell ",
          "The import stopped at key ", "The import stopped at line ",
          "The import stopped at the start of the document",
          "The import stopped at the end of the document"})
        if (reason.starts_with(start)) return true;
    return false;
}

} // namespace

std::string RoundTripImport(std::string_view bytes, ExchangeFormat format) {
    static Library imported, readBack, again;
    const ImportResult r = Import(bytes, format, imported);
    if (!r.imported() && r.status != ImportResult::Status::CannotOpen &&
        !NamesItsPlace(r.stopReason()))
        return "a refusal that names no place: " + r.stopReason();
    for (const std::string& note : r.notes)
        if (!NamesItsPlace(note)) return "a note that names no place: " + note;
    if (std::string lost = CheckSavedLibrary(imported, ".", readBack); !lost.empty())
        return "imported library does not save whole: " + lost;
    if (imported.materialCount() == 0) return {};
    // The table layout keeps only the first row of a name's category spelling, and a
    // block CSV becomes a table on the way out: the saved text is the measure.
    const std::string saved = libraryText(imported, groupByCategory(imported));
    const ImportResult back = Import(Export(imported, format), format, again);
    if (!back.imported()) return "its own export is refused: " + back.message();
    if (libraryText(again, groupByCategory(again)) != saved)
        return "its own export imports as another library";
    return {};
}

} // namespace mb::fuzz
