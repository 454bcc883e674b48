#include "ExportFormats.h"

#include "CalculixExport.h"
#include "CsvExchange.h"
#include "JsonExchange.h"
#include "TableLayout.h"
#include "XlsxExport.h"

namespace mb {

Result<ExportedFile> exportText(const std::vector<ExportedCategory>& selection, ExportFormat format,
                                int unitSystem) {
    ExportedFile r;
    switch (format) {
    case ExportFormat::Json:
        r.bytes = exportJson(selection);
        break;
    case ExportFormat::Csv:
        r.bytes = csvText(exportTable(selection, unitSystem));
        break;
    case ExportFormat::Xlsx: {
        Result<std::string> workbook = xlsxWorkbook(exportTable(selection, unitSystem));
        if (!workbook) return workbook.failure();
        r.bytes = std::move(workbook.value());
        break;
    }
    case ExportFormat::Calculix: {
        CalculixCards cards = exportCalculix(selection);
        r.bytes = std::move(cards.text);
        r.omissions = std::move(cards.omissions);
        break;
    }
    }
    return r;
}

} // namespace mb
