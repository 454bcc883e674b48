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
    if (format == ExchangeFormat::Json) return ImportJson(bytes, library);
    CsvSheet sheet;
    ImportResult result;
    if (std::string error = ParseCsv(bytes, sheet); !error.empty()) {
        library.Clear();
        result.stop(ImportResult::Status::Refused, 0, "the text", std::move(error), library);
        return result;
    }
    return ImportAnyLayout(sheet, library);
}

std::string Export(Library& library, ExchangeFormat format) {
    const std::vector<ExportedCategory> selection = ExportSelection(library);
    return format == ExchangeFormat::Json ? ExportJson(selection)
                                          : CsvText(ExportTable(selection, UnitSystemIndex::SI));
}

bool NamesItsPlace(const std::string& reason) {
    for (const std::string_view start :
         {"Row ", "Cell ", "Key ", "The import stopped at row ", "The import stopped at cell ",
          "The import stopped at key ", "The import stopped at line ",
          "The import stopped at the start of the document",
          "The import stopped at the end of the document", "The import stopped at the text: Row "})
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
    if (imported.MaterialCount() == 0) return {};
    // The table layout keeps only the first row of a name's category spelling, and a
    // block CSV becomes a table on the way out: the saved text is the measure.
    const std::string saved = LibraryText(imported, GroupByCategory(imported));
    const ImportResult back = Import(Export(imported, format), format, again);
    if (!back.imported()) return "its own export is refused: " + back.message();
    if (LibraryText(again, GroupByCategory(again)) != saved)
        return "its own export imports as another library";
    return {};
}

} // namespace mb::fuzz
