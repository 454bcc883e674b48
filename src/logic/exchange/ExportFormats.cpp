#include "ExportFormats.h"

#include "CalculixExport.h"
#include "CsvExchange.h"
#include "JsonExchange.h"
#include "TableLayout.h"
#include "XlsxExport.h"

namespace mb {

std::string ExportText(const std::vector<ExportedCategory>& selection, ExportFormat format,
                       int unitSystem, std::string& error) {
    switch (format) {
    case ExportFormat::Json:
        return ExportJson(selection);
    case ExportFormat::Csv:
        return CsvText(ExportTable(selection, unitSystem));
    case ExportFormat::Xlsx:
        return XlsxWorkbook(ExportTable(selection, unitSystem), error);
    case ExportFormat::Calculix:
        return ExportCalculix(selection);
    }
    return "";
}

} // namespace mb
