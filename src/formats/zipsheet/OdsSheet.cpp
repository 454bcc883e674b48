#include "OdsSheet.h"

#include "PartXml.h"
#include "RunSheet.h"
#include "SheetDates.h"
#include "ZipParts.h"

#include <QString>

#include <algorithm>
#include <vector>

namespace mb {

namespace {

using Event = PartXml::Event;

const std::string kContent = "content.xml";
constexpr QStringView kOffice = u"urn:oasis:names:tc:opendocument:xmlns:office:1.0";
constexpr QStringView kTable = u"urn:oasis:names:tc:opendocument:xmlns:table:1.0";
constexpr QStringView kText = u"urn:oasis:names:tc:opendocument:xmlns:text:1.0";

// No cell of a library needs more; a "text:s" asking for a billion blanks gets no more.
constexpr qsizetype kLongestCellText = 64 * 1024;
// Past any row or column a sheet can have: counting stops here instead of overflowing.
constexpr long long kCountCeiling = 1LL << 40;

long long Repeat(const PartXml& xml, QStringView attribute) {
    const auto text = xml.attribute(attribute, kTable);
    const auto count = text ? partCount(*text) : std::nullopt;
    return count && *count >= 1 ? std::min(*count, kCountCeiling) : 1;
}

class ContentReader {
public:
    ContentReader(const std::string& bytes, RunSheet& sheet)
        : xml_(kContent, bytes), sheet_(sheet) {}

    bool read(std::string& why) {
        // Down to the spreadsheet body's first table; nothing before or after it matters.
        for (bool body = false;;) {
            const Event e = xml_.next();
            if (e == Event::Start && xml_.name() == u"spreadsheet") body = true;
            // Day zero of the dates, in the settings before the tables.
            if (e == Event::Start && xml_.name() == u"null-date") {
                const auto value = xml_.attribute(u"date-value", kTable);
                const auto date = value ? parseOdsDate(libraryText(*value), 0) : std::nullopt;
                if (date) dayZero_ = static_cast<long long>(date->serial);
            }
            if (e == Event::Start && body && xml_.name() == u"table") break;
            if (e == Event::Done) {
                why = "the part " + kContent + " holds no table";
                return false;
            }
            if (e == Event::Failed) {
                why = xml_.failure();
                return false;
            }
        }
        if (readTable()) return true;
        why = xml_.failure();
        return false;
    }

private:
    bool readTable() {
        for (int depth = 1; depth > 0;) {
            switch (xml_.next()) {
            case Event::Start:
                // Rows sit in the table or in its header-rows, rows and row-group elements.
                if (xml_.name() == u"table-row") {
                    if (!readRow()) return false;
                    // Nothing past the kept rows is ever asked for.
                    if (row_ > RunSheet::kLastRow) return true;
                } else if (xml_.name() == u"table-header-rows" || xml_.name() == u"table-rows" ||
                           xml_.name() == u"table-row-group") {
                    ++depth;
                } else if (!xml_.skipElement()) {
                    return false;
                }
                break;
            case Event::End:
                --depth;
                break;
            case Event::Text:
                break;
            case Event::Done:
                xml_.fail("ends inside a table");
                return false;
            case Event::Failed:
                return false;
            }
        }
        return true;
    }

    bool readRow() {
        const long long rows = Repeat(xml_, u"number-rows-repeated");
        std::vector<RunSheet::CellRun> cells;
        long long column = 1;
        for (;;) {
            switch (xml_.next()) {
            case Event::Start:
                if (xml_.name() == u"table-cell" || xml_.name() == u"covered-table-cell") {
                    const long long columns = Repeat(xml_, u"number-columns-repeated");
                    const long long spannedColumns = Repeat(xml_, u"number-columns-spanned");
                    const long long spannedRows = Repeat(xml_, u"number-rows-spanned");
                    if (spannedColumns > 1 || spannedRows > 1)
                        sheet_.addMerge(row_, column,
                                        std::min(row_ + spannedRows - 1, kCountCeiling),
                                        std::min(column + spannedColumns - 1, kCountCeiling));
                    CellValue value;
                    if (!readCell(value)) return false;
                    if (value.kind != CellValue::Kind::Empty && column <= RunSheet::kLastColumn)
                        cells.push_back({column, columns, std::move(value)});
                    column = std::min(column + columns, kCountCeiling);
                } else if (!xml_.skipElement()) {
                    return false;
                }
                break;
            case Event::End:
                sheet_.addRows(row_, rows, std::move(cells));
                row_ = std::min(row_ + rows, kCountCeiling);
                return true;
            case Event::Text:
                break;
            case Event::Done:
                xml_.fail("ends inside a table row");
                return false;
            case Event::Failed:
                return false;
            }
        }
    }

    bool readCell(CellValue& value) {
        const QString type = xml_.attribute(u"value-type", kOffice).value_or(u"").toString();
        const auto attribute = [this](QStringView name) {
            return xml_.attribute(name, kOffice).value_or(u"").toString();
        };
        const QString number = attribute(u"value");
        const QString boolean = attribute(u"boolean-value");
        const QString date = attribute(u"date-value");
        const QString time = attribute(u"time-value");
        const std::optional<QStringView> stringValue = xml_.attribute(u"string-value", kOffice);
        const QString stated = stringValue ? stringValue->toString() : QString();
        const QString formula = xml_.attribute(u"formula", kTable).value_or(u"").toString();
        QString text;
        if (!readParagraphs(text)) return false;

        if (type == u"float" || type == u"percentage" || type == u"currency") {
            if (const auto v = partNumber(number)) {
                value = CellValue::ofNumber(*v);
                return true;
            }
        } else if (type == u"boolean") {
            value = CellValue::ofText(boolean.trimmed() == u"true" ? "TRUE" : "FALSE");
            return true;
        } else if (type == u"date" && !date.isEmpty()) {
            const auto parsed = parseOdsDate(libraryText(date.trimmed()), dayZero_);
            value = parsed ? CellValue::ofDate(parsed->serial, parsed->shown)
                           : CellValue::ofText(utf8Text(date));
            return true;
        } else if (type == u"time" && !time.isEmpty()) {
            const auto parsed = parseOdsTime(libraryText(time.trimmed()));
            value = parsed ? CellValue::ofDate(parsed->serial, parsed->shown)
                           : CellValue::ofText(utf8Text(time));
            return true;
        } else if (type.isEmpty() && !formula.isEmpty() && text.isEmpty()) {
            // A writer that never calculates keeps the formula alone ("of:=[.B2]*2").
            QStringView shown = formula;
            if (shown.startsWith(u"of:")) shown = shown.sliced(3);
            value = CellValue::ofFormula(
                utf8Text(shown.first(std::min<qsizetype>(shown.size(), 1000))));
            return true;
        } else if (stringValue) {
            value = CellValue::ofText(utf8Text(stated));
            return true;
        }
        // A string, or a value the attributes do not give: the text the sheet shows.
        if (!text.isEmpty()) value = CellValue::ofText(utf8Text(text));
        return true;
    }

    // The cell's paragraphs, one line each; blanks, tabs and line breaks given as
    // elements (text:s, text:tab, text:line-break) count as the characters they stand for.
    bool readParagraphs(QString& text) {
        int paragraphs = 0;
        int inParagraph = 0;
        for (int depth = 1; depth > 0;) {
            switch (xml_.next()) {
            case Event::Start: {
                const QStringView name = xml_.name();
                ++depth;
                if (name == u"p" || name == u"h") {
                    if (inParagraph == 0 && paragraphs++ > 0) append(text, u"\n", 1);
                    ++inParagraph;
                } else if (name == u"s") {
                    const auto c = xml_.attribute(u"c", kText);
                    const auto count = c ? partCount(*c) : std::nullopt;
                    append(text, u" ", count && *count > 0 ? *count : 1);
                } else if (name == u"tab") {
                    append(text, u"\t", 1);
                } else if (name == u"line-break") {
                    append(text, u"\n", 1);
                } else if (name == u"annotation" || name == u"table") {
                    // A comment, or a table inside the cell: not what the cell shows.
                    if (!xml_.skipElement()) return false;
                    --depth;
                }
                break;
            }
            case Event::End:
                --depth;
                if (xml_.name() == u"p" || xml_.name() == u"h")
                    inParagraph = std::max(0, inParagraph - 1);
                break;
            case Event::Text:
                if (inParagraph > 0) append(text, xml_.text(), 1);
                break;
            case Event::Done:
                xml_.fail("ends inside a table cell");
                return false;
            case Event::Failed:
                return false;
            }
        }
        return true;
    }

    static void append(QString& text, QStringView piece, long long times) {
        while (times-- > 0 && text.size() < kLongestCellText)
            text += piece.first(std::min(piece.size(), kLongestCellText - text.size()));
    }

    PartXml xml_;
    RunSheet& sheet_;
    long long row_ = 1;
    long long dayZero_ = daysFromCivil(1899, 12, 30);
};

} // namespace

bool readOdsSheet(ZipParts& parts, RunSheet& sheet, std::string& why) {
    std::string bytes;
    if (!readPart(parts, kContent, bytes, why)) return false;
    return ContentReader(bytes, sheet).read(why);
}

} // namespace mb
