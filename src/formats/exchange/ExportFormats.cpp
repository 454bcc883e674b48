#include "ExportFormats.h"

#include "CalculixExport.h"
#include "CsvExchange.h"
#include "JsonExchange.h"
#include "TableLayout.h"
#include "XlsxExport.h"

namespace mb {

Result<ExportedFile> ExportText(const std::vector<ExportedCategory>& selection, ExportFormat format,
                                int unitSystem) {
    ExportedFile r;
    switch (format) {
    case ExportFormat::Json:
        r.bytes = ExportJson(selection);
        break;
    case ExportFormat::Csv:
        r.bytes = CsvText(ExportTable(selection, unitSystem));
        break;
    case ExportFormat::Xlsx: {
        Result<std::string> workbook = XlsxWorkbook(ExportTable(selection, unitSystem));
        if (!workbook) return workbook.failure();
        r.bytes = std::move(workbook.value());
        break;
    }
    case ExportFormat::Calculix: {
        CalculixCards cards = ExportCalculix(selection);
        r.bytes = std::move(cards.text);
        r.omissions = std::move(cards.omissions);
        break;
    }
    }
    return r;
}

} // namespace mb
