#include "XlsxSheet.h"

#include "PartXml.h"
#include "RunSheet.h"
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
    return "\"" + LibraryText(text.first(std::min<qsizetype>(text.size(), 40))) + "\"";
}

// A relationship's target is relative to the workbook's folder unless it starts at the root.
std::string PartPath(QStringView target) {
    const std::string path = LibraryText(target);
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
};

bool FirstSheetId(ZipParts& parts, QString& id, std::string& why) {
    std::string bytes;
    if (!ReadPart(parts, kWorkbook, bytes, why)) return false;
    PartXml xml(kWorkbook, bytes);
    for (;;) {
        switch (xml.next()) {
        case Event::Start:
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
    if (!ReadPart(parts, kWorkbookRels, bytes, why)) return false;
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
    if (!ReadPart(parts, name, bytes, why)) return false;
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
                strings.push_back(LibraryText(text));
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

// "AB12" as column 28, row 12; anything else is no cell.
bool ParseReference(QStringView ref, long long& row, long long& column) {
    qsizetype at = 0;
    column = 0;
    while (at < ref.size() && ref[at] >= u'A' && ref[at] <= u'Z' && at < 3)
        column = column * 26 + (ref[at++].unicode() - u'A' + 1);
    if (at == 0 || column > kLastXlsxColumn) return false;
    const auto number = PartCount(ref.sliced(at));
    if (!number || *number < 1 || *number > kLastXlsxRow || ref[at] < u'0' || ref[at] > u'9')
        return false;
    row = *number;
    return true;
}

class SheetReader {
public:
    SheetReader(const std::string& name, const std::string& bytes,
                const std::vector<std::string>& strings, RunSheet& sheet)
        : xml_(name, bytes), strings_(strings), sheet_(sheet) {}

    bool read(std::string& why) {
        for (;;) {
            Event e = xml_.next();
            if (e == Event::Start && xml_.name() == u"row") e = startRow();
            if (e == Event::Start && xml_.name() == u"c") e = readCell();
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
            const auto number = PartCount(*r);
            if (!number || *number < 1 || *number > kLastXlsxRow)
                return xml_.fail("has the row number " + Quoted(*r) + ", which names no row");
            row = *number;
        }
        row_ = row;
        column_ = 0;
        inRow_ = true;
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
        enum class Kind { Number, Shared, Inline, Boolean, Text };
        const QStringView t = xml_.attribute(u"t").value_or(u"n");
        const Kind kind = t == u"n" || t.isEmpty() ? Kind::Number
                          : t == u"s"              ? Kind::Shared
                          : t == u"inlineStr"      ? Kind::Inline
                          : t == u"b"              ? Kind::Boolean
                                                   : Kind::Text;
        QString value, inline_;
        bool inValue = false, inInline = false;
        int phonetic = 0;
        for (int depth = 1; depth > 0;) {
            switch (xml_.next()) {
            case Event::Start:
                ++depth;
                if (xml_.name() == u"v" && depth == 2) inValue = true;
                if (xml_.name() == u"rPh") ++phonetic;
                if (xml_.name() == u"t" && depth >= 3) inInline = phonetic == 0;
                break;
            case Event::End:
                --depth;
                if (xml_.name() == u"v") inValue = false;
                if (xml_.name() == u"rPh") --phonetic;
                if (xml_.name() == u"t") inInline = false;
                break;
            case Event::Text:
                if (inValue) value += xml_.text();
                if (inInline) inline_ += xml_.text();
                break;
            case Event::Done:
                return xml_.fail("ends inside a cell");
            case Event::Failed:
                return Event::Failed;
            }
        }
        CellValue cell;
        if (kind == Kind::Shared) {
            const auto index = PartCount(value);
            if (!value.isEmpty()) {
                if (!index || *index >= static_cast<long long>(strings_.size()))
                    return xml_.fail("refers to the shared string " + Quoted(value) +
                                     ", which the workbook does not hold");
                cell = CellValue::Text(strings_[static_cast<std::size_t>(*index)]);
            }
        } else if (kind == Kind::Inline) {
            cell = CellValue::Text(LibraryText(inline_));
        } else if (kind == Kind::Boolean) {
            // As a spreadsheet shows it.
            if (!value.isEmpty())
                cell = CellValue::Text(value.trimmed() == u"1" ? "TRUE" : "FALSE");
        } else if (kind == Kind::Number) {
            if (const auto number = PartNumber(value))
                cell = CellValue::Number(*number);
            else if (!value.isEmpty())
                cell = CellValue::Text(LibraryText(value));
        } else if (!value.isEmpty()) {
            // "str" (a formula's text), "e" (an error such as #DIV/0!), "d" (an ISO 8601
            // date): their text, as the sheet shows it.
            cell = CellValue::Text(LibraryText(value));
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

    PartXml xml_;
    const std::vector<std::string>& strings_;
    RunSheet& sheet_;
    std::vector<RunSheet::CellRun> cells_;
    long long row_ = 0;
    long long column_ = 0;
    long long copiedText_ = 0;
    bool inRow_ = false;
};

} // namespace

bool ReadXlsxSheet(ZipParts& parts, RunSheet& sheet, std::string& why) {
    QString id;
    SheetParts found;
    if (!FirstSheetId(parts, id, why) || !FindParts(parts, id, found, why)) return false;
    std::vector<std::string> strings;
    if (found.sharedStrings.empty() && parts.has("xl/sharedStrings.xml"))
        found.sharedStrings = "xl/sharedStrings.xml";
    if (!found.sharedStrings.empty() &&
        !ReadSharedStrings(parts, found.sharedStrings, strings, why))
        return false;
    std::string bytes;
    if (!ReadPart(parts, found.sheet, bytes, why)) return false;
    return SheetReader(found.sheet, bytes, strings, sheet).read(why);
}

} // namespace mb
