#include "XlsxSheet.h"

#include "PartXml.h"
#include "RunSheet.h"
#include "SheetDates.h"
#include "ZipParts.h"

#include <QString>

#include <vector>

namespace mb {

namespace {

using Event = PartXml::Event;

const std::string kWorkbook = "xl/workbook.xml";
const std::string kWorkbookRels = "xl/_rels/workbook.xml.rels";

constexpr long long kLastXlsxRow = 1048576;
constexpr long long kLastXlsxColumn = 16384; // XFD

std::string Quoted(QStringView text) {
    return "\"" + libraryText(text.first(std::min<qsizetype>(text.size(), 40))) + "\"";
}

// A relationship's target is relative to the workbook's folder unless it starts at the root.
std::string PartPath(QStringView target) {
    const std::string path = utf8Text(target);
    std::vector<std::string> segments;
    std::string joined = path.starts_with('/') ? path.substr(1) : "xl/" + path;
    for (std::size_t at = 0; at <= joined.size();) {
        const std::size_t end = std::min(joined.find('/', at), joined.size());
        const std::string segment = joined.substr(at, end - at);
        if (segment == "..") {
            if (!segments.empty()) segments.pop_back();
        } else if (!segment.empty() && segment != ".") {
            segments.push_back(segment);
        }
        at = end + 1;
    }
    std::string out;
    for (const std::string& s : segments)
        out += (out.empty() ? "" : "/") + s;
    return out;
}

struct SheetParts {
    std::string sheet;
    std::string sharedStrings;
    std::string styles;
};

bool FirstSheetId(ZipParts& parts, QString& id, DateSystem& dates, std::string& why) {
    std::string bytes;
    if (!readPart(parts, kWorkbook, bytes, why)) return false;
    PartXml xml(kWorkbook, bytes);
    for (;;) {
        switch (xml.next()) {
        case Event::Start:
            if (xml.name() == u"workbookPr") {
                const auto date1904 = xml.attribute(u"date1904");
                if (date1904 && (*date1904 == u"1" || *date1904 == u"true"))
                    dates = {daysFromCivil(1904, 1, 1), false};
            }
            if (xml.name() != u"sheet") break;
            // r:id, in the transitional or the strict relationships namespace.
            if (const auto rid = xml.attribute(u"id"); rid && !rid->isEmpty()) {
                id = rid->toString();
                return true;
            }
            xml.fail("gives its first sheet no relationship id");
            why = xml.failure();
            return false;
        case Event::End:
        case Event::Text:
            break;
        case Event::Done:
            why = "the part " + kWorkbook + " lists no sheet";
            return false;
        case Event::Failed:
            why = xml.failure();
            return false;
        }
    }
}

bool FindParts(ZipParts& parts, const QString& id, SheetParts& found, std::string& why) {
    std::string bytes;
    if (!readPart(parts, kWorkbookRels, bytes, why)) return false;
    PartXml xml(kWorkbookRels, bytes);
    for (;;) {
        switch (xml.next()) {
        case Event::Start: {
            if (xml.name() != u"Relationship") break;
            const auto rid = xml.attribute(u"Id");
            const auto target = xml.attribute(u"Target");
            const auto type = xml.attribute(u"Type");
            if (!target || xml.attribute(u"TargetMode") == u"External") break;
            if (rid && *rid == id && found.sheet.empty()) found.sheet = PartPath(*target);
            if (type && type->endsWith(u"/sharedStrings") && found.sharedStrings.empty())
                found.sharedStrings = PartPath(*target);
            if (type && type->endsWith(u"/styles") && found.styles.empty())
                found.styles = PartPath(*target);
            break;
        }
        case Event::End:
        case Event::Text:
            break;
        case Event::Done:
            if (found.sheet.empty()) {
                why = "the part " + kWorkbookRels + " has no relationship " + Quoted(id);
                return false;
            }
            return true;
        case Event::Failed:
            why = xml.failure();
            return false;
        }
    }
}

// The texts of <si> items: the <t> of a plain string, or the runs' <t> joined; phonetic
// readings (<rPh>) are not part of the text.
bool ReadSharedStrings(ZipParts& parts, const std::string& name, std::vector<std::string>& strings,
                       std::string& why) {
    std::string bytes;
    if (!readPart(parts, name, bytes, why)) return false;
    PartXml xml(name, bytes);
    QString text;
    int phonetic = 0;
    bool inText = false;
    for (;;) {
        switch (xml.next()) {
        case Event::Start:
            if (xml.name() == u"si")
                text.clear();
            else if (xml.name() == u"rPh")
                ++phonetic;
            else if (xml.name() == u"t")
                inText = phonetic == 0;
            break;
        case Event::End:
            if (xml.name() == u"si")
                strings.push_back(utf8Text(text));
            else if (xml.name() == u"rPh")
                --phonetic;
            else if (xml.name() == u"t")
                inText = false;
            break;
        case Event::Text:
            if (inText) text += xml.text();
            break;
        case Event::Done:
            return true;
        case Event::Failed:
            why = xml.failure();
            return false;
        }
    }
}

// What each cell format (the cell's s attribute) makes of a number: only dates matter.
bool ReadStyles(ZipParts& parts, const std::string& name, std::vector<DateShape>& shapes,
                std::string& why) {
    std::string bytes;
    if (!readPart(parts, name, bytes, why)) return false;
    PartXml xml(name, bytes);
    std::vector<std::pair<long long, QString>> codes;
    bool inCellFormats = false;
    for (;;) {
        switch (xml.next()) {
        case Event::Start:
            if (xml.name() == u"numFmt") {
                const auto id = partCount(xml.attribute(u"numFmtId").value_or(u""));
                if (id)
                    codes.emplace_back(*id, xml.attribute(u"formatCode").value_or(u"").toString());
            } else if (xml.name() == u"cellXfs") {
                inCellFormats = true;
            } else if (xml.name() == u"xf" && inCellFormats) {
                const long long id =
                    partCount(xml.attribute(u"numFmtId").value_or(u"0")).value_or(0);
                QString code;
                for (const auto& [codeId, text] : codes)
                    if (codeId == id) code = text;
                shapes.push_back(
                    numberFormatShape(static_cast<int>(std::min(id, 100000LL)), libraryText(code)));
            }
            break;
        case Event::End:
            if (xml.name() == u"cellXfs") inCellFormats = false;
            break;
        case Event::Text:
            break;
        case Event::Done:
            return true;
        case Event::Failed:
            why = xml.failure();
            return false;
        }
    }
}

// "AB12" as column 28, row 12; anything else is no cell.
bool ParseReference(QStringView ref, long long& row, long long& column) {
    qsizetype at = 0;
    column = 0;
    while (at < ref.size() && ref[at] >= u'A' && ref[at] <= u'Z' && at < 3)
        column = column * 26 + (ref[at++].unicode() - u'A' + 1);
    if (at == 0 || column > kLastXlsxColumn) return false;
    const auto number = partCount(ref.sliced(at));
    if (!number || *number < 1 || *number > kLastXlsxRow || ref[at] < u'0' || ref[at] > u'9')
        return false;
    row = *number;
    return true;
}

class SheetReader {
public:
    SheetReader(const std::string& name, const std::string& bytes,
                const std::vector<std::string>& strings, const std::vector<DateShape>& shapes,
                const DateSystem& dates, RunSheet& sheet)
        : xml_(name, bytes), strings_(strings), shapes_(shapes), dates_(dates), sheet_(sheet) {}

    bool read(std::string& why) {
        for (;;) {
            Event e = xml_.next();
            if (e == Event::Start && xml_.name() == u"row") e = startRow();
            if (e == Event::Start && xml_.name() == u"c") e = readCell();
            if (e == Event::Start && xml_.name() == u"mergeCell") e = readMerge();
            if (e == Event::End && xml_.name() == u"row" && inRow_) {
                sheet_.addRows(row_, 1, std::move(cells_));
                cells_.clear();
                inRow_ = false;
            }
            if (e == Event::Done) return true;
            if (e == Event::Failed) {
                why = xml_.failure();
                return false;
            }
        }
    }

private:
    Event startRow() {
        long long row = row_ + 1;
        if (const auto r = xml_.attribute(u"r")) {
            const auto number = partCount(*r);
            if (!number || *number < 1 || *number > kLastXlsxRow)
                return xml_.fail("has the row number " + Quoted(*r) + ", which names no row");
            row = *number;
        }
        row_ = row;
        column_ = 0;
        inRow_ = true;
        return Event::Start;
    }

    Event readMerge() {
        const QStringView ref = xml_.attribute(u"ref").value_or(u"");
        const qsizetype colon = ref.indexOf(u':');
        long long top = 0, left = 0, bottom = 0, right = 0;
        if (colon < 0 || !ParseReference(ref.first(colon), top, left) ||
            !ParseReference(ref.sliced(colon + 1), bottom, right))
            return xml_.fail("has the merged range " + Quoted(ref) + ", which names no cells");
        sheet_.addMerge(top, left, bottom, right);
        return Event::Start;
    }

    Event readCell() {
        if (!inRow_) return xml_.skipElement() ? Event::End : Event::Failed;
        long long column = column_ + 1;
        if (const auto r = xml_.attribute(u"r")) {
            long long row = 0;
            if (!ParseReference(*r, row, column))
                return xml_.fail("has the cell reference " + Quoted(*r) + ", which names no cell");
            if (row != row_)
                return xml_.fail("has the cell reference " + Quoted(*r) + " in row " +
                                 std::to_string(row_));
        }
        column_ = column;
        style_ = static_cast<std::size_t>(
            std::min(partCount(xml_.attribute(u"s").value_or(u"0")).value_or(0), 1LL << 30));
        enum class Kind { Number, Shared, Inline, Boolean, Text };
        const QStringView t = xml_.attribute(u"t").value_or(u"n");
        const Kind kind = t == u"n" || t.isEmpty() ? Kind::Number
                          : t == u"s"              ? Kind::Shared
                          : t == u"inlineStr"      ? Kind::Inline
                          : t == u"b"              ? Kind::Boolean
                                                   : Kind::Text;
        QString value, inline_, formula;
        bool inValue = false, inInline = false, inFormula = false, hasFormula = false;
        int phonetic = 0;
        for (int depth = 1; depth > 0;) {
            switch (xml_.next()) {
            case Event::Start:
                ++depth;
                if (xml_.name() == u"v" && depth == 2) inValue = true;
                if (xml_.name() == u"f" && depth == 2) inFormula = hasFormula = true;
                if (xml_.name() == u"rPh") ++phonetic;
                if (xml_.name() == u"t" && depth >= 3) inInline = phonetic == 0;
                break;
            case Event::End:
                --depth;
                if (xml_.name() == u"v") inValue = false;
                if (xml_.name() == u"f") inFormula = false;
                if (xml_.name() == u"rPh") --phonetic;
                if (xml_.name() == u"t") inInline = false;
                break;
            case Event::Text:
                if (inValue) value += xml_.text();
                if (inFormula && formula.size() < 1000) formula += xml_.text();
                if (inInline) inline_ += xml_.text();
                break;
            case Event::Done:
                return xml_.fail("ends inside a cell");
            case Event::Failed:
                return Event::Failed;
            }
        }
        CellValue cell;
        if (hasFormula && value.isEmpty() && kind != Kind::Inline) {
            // A writer that never calculates keeps the formula alone.
            cell =
                CellValue::ofFormula(formula.isEmpty() ? std::string() : "=" + utf8Text(formula));
        } else if (kind == Kind::Shared) {
            const auto index = partCount(value);
            if (!value.isEmpty()) {
                if (!index || *index >= static_cast<long long>(strings_.size()))
                    return xml_.fail("refers to the shared string " + Quoted(value) +
                                     ", which the workbook does not hold");
                cell = CellValue::ofText(strings_[static_cast<std::size_t>(*index)]);
            }
        } else if (kind == Kind::Inline) {
            cell = CellValue::ofText(utf8Text(inline_));
        } else if (kind == Kind::Boolean) {
            // As a spreadsheet shows it.
            if (!value.isEmpty())
                cell = CellValue::ofText(value.trimmed() == u"1" ? "TRUE" : "FALSE");
        } else if (kind == Kind::Number) {
            if (const auto number = partNumber(value))
                cell = numberCell(*number);
            else if (!value.isEmpty())
                cell = CellValue::ofText(utf8Text(value));
        } else if (t == u"d") {
            // An ISO 8601 date, as a few writers keep one: the day number it stands for.
            const std::string text = libraryText(value.trimmed());
            const auto date = parseOdsDate(text, dates_.dayZero);
            if (date)
                cell = CellValue::ofDate(
                    date->serial + (dates_.leapBug && date->serial < 61 ? -1 : 0), date->shown);
            else if (!value.isEmpty())
                cell = CellValue::ofText(utf8Text(value));
        } else if (!value.isEmpty()) {
            // "str" (a formula's text), "e" (an error such as #DIV/0!), "d" (an ISO 8601
            // date): their text, as the sheet shows it.
            cell = CellValue::ofText(utf8Text(value));
        }
        if (cell.kind != CellValue::Kind::Empty && row_ <= RunSheet::kLastRow) {
            // A shared string is copied into every cell that uses it: one of 30 MiB used by
            // 4,000 cells, a 46 KB file, would take 120 GB.
            copiedText_ += static_cast<long long>(cell.text.size());
            if (copiedText_ > RunSheet::kCopiedTextLimit)
                return xml_.fail("gives its cells more than " +
                                 std::to_string(RunSheet::kCopiedTextLimit >> 20) +
                                 " MiB of text, a shared string counted for each cell");
            cells_.push_back({column, 1, std::move(cell)});
        }
        return Event::End;
    }

    // A number the cell's format shows as a date or a time carries its text.
    CellValue numberCell(double number) const {
        const DateShape shape = style_ < shapes_.size() ? shapes_[style_] : DateShape::None;
        if (shape == DateShape::None) return CellValue::ofNumber(number);
        std::string shown = shownDate(number, shape, dates_);
        return shown.empty() ? CellValue::ofNumber(number)
                             : CellValue::ofDate(number, std::move(shown));
    }

    PartXml xml_;
    const std::vector<std::string>& strings_;
    const std::vector<DateShape>& shapes_;
    const DateSystem& dates_;
    RunSheet& sheet_;
    std::size_t style_ = 0; // the cell format of the cell being read
    std::vector<RunSheet::CellRun> cells_;
    long long row_ = 0;
    long long column_ = 0;
    long long copiedText_ = 0;
    bool inRow_ = false;
};

} // namespace

bool readXlsxSheet(ZipParts& parts, RunSheet& sheet, std::string& why) {
    QString id;
    SheetParts found;
    DateSystem dates;
    if (!FirstSheetId(parts, id, dates, why) || !FindParts(parts, id, found, why)) return false;
    std::vector<DateShape> shapes;
    if (found.styles.empty() && parts.has("xl/styles.xml")) found.styles = "xl/styles.xml";
    if (!found.styles.empty() && !ReadStyles(parts, found.styles, shapes, why)) return false;
    std::vector<std::string> strings;
    if (found.sharedStrings.empty() && parts.has("xl/sharedStrings.xml"))
        found.sharedStrings = "xl/sharedStrings.xml";
    if (!found.sharedStrings.empty() &&
        !ReadSharedStrings(parts, found.sharedStrings, strings, why))
        return false;
    std::string bytes;
    if (!readPart(parts, found.sheet, bytes, why)) return false;
    return SheetReader(found.sheet, bytes, strings, shapes, dates, sheet).read(why);
}

} // namespace mb
