// The reader process's reply: what goes in comes out bit for bit, and the parent's parser
// turns any bytes at all into a sheet, a reason, or "malformed", never a crash.
#include "SheetReply.h"

#include "SheetCells.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <map>
#include <optional>
#include <tuple>

namespace mb {
namespace {

using test::Describe;
using test::SameCell;

using Cells = std::map<std::pair<int, int>, CellValue>;

// What a scripted sheet holds; it knows no extent unless given one, as a sheet of another
// reader may not.
struct Script {
    Cells cells;
    std::optional<Worksheet::Extent> extent;
    std::optional<CellValue> everyCell;
    std::vector<CellRange> merged;
};

class MapSheet : public Worksheet {
public:
    explicit MapSheet(Script script) : script_(std::move(script)) {}
    CellValue cell(int row, int column) const override {
        if (script_.everyCell) return *script_.everyCell;
        const auto it = script_.cells.find({row, column});
        return it == script_.cells.end() ? CellValue::empty() : it->second;
    }
    Extent extent() const override { return script_.extent.value_or(Extent{}); }
    std::vector<CellRange> mergedRanges() const override { return script_.merged; }

private:
    Script script_;
};

// A workbook reader answering from a script: the cells of its one sheet, or a failure.
class ScriptedReader : public SpreadsheetReader, public Script {
public:
    std::string openFailure, sheetFailure;

    Result<std::unique_ptr<Workbook>> open(const std::string& path) override {
        if (!openFailure.empty()) return Failure{path, "", openFailure};
        return std::unique_ptr<Workbook>(std::make_unique<Book>(*this));
    }

private:
    struct Book : Workbook {
        explicit Book(const ScriptedReader& r) : reader(r) {}
        Result<std::unique_ptr<Worksheet>> firstSheet() override {
            if (!reader.sheetFailure.empty()) return Failure{"", "", reader.sheetFailure};
            return std::unique_ptr<Worksheet>(
                std::make_unique<MapSheet>(static_cast<const Script&>(reader)));
        }
        const ScriptedReader& reader;
    };
};

SheetReply RoundTrip(ScriptedReader& reader) {
    return parseSheetReply(captureSheetReply(reader, "book.xls"));
}

TEST(SheetReply, CarriesEveryTextByteAndEveryDoubleBitExactly) {
    std::string allBytes;
    for (int b = 0; b < 256; ++b)
        allBytes.push_back(static_cast<char>(b));
    const double values[] = {
        0.0,
        -0.0,
        2e11,
        0.1 + 0.2,
        std::numeric_limits<double>::denorm_min(),
        -std::numeric_limits<double>::max(),
        std::numeric_limits<double>::infinity(),
        std::bit_cast<double>(std::uint64_t{0x7FF4000000000123}), // a NaN with a payload
        std::bit_cast<double>(std::uint64_t{0xFFF8000000000000}), // a negative NaN
    };
    ScriptedReader reader;
    int row = 1;
    for (const std::string& text : {allBytes, std::string(), std::string("\nE 0\n"),
                                    std::string("T 1 1 3\n"), std::string(70000, 'x')})
        reader.cells[{row++, 1}] = CellValue::ofText(text);
    for (double v : values) {
        reader.cells[{row, 1}] = CellValue::ofText("EX");
        reader.cells[{row++, 2}] = CellValue::ofNumber(v);
    }
    reader.cells[{row, 2}] = CellValue::ofText("column A of this row is empty");
    const int lastRow = row;

    const SheetReply reply = RoundTrip(reader);
    ASSERT_EQ(reply.outcome, SheetReply::Outcome::Sheet) << reply.reason;
    for (int r = 1; r <= lastRow + 1; ++r)
        for (int c = 1; c <= 2; ++c) {
            const auto it = reader.cells.find({r, c});
            const CellValue expected = it == reader.cells.end() ? CellValue::empty() : it->second;
            EXPECT_TRUE(SameCell(reply.sheet.cell(r, c), expected))
                << "row " << r << " column " << c << ": " << Describe(reply.sheet.cell(r, c))
                << " instead of " << Describe(expected);
        }
}

// Neither layout ends at a blank row, so every cell inside the bounds goes, "End" or not;
// dates keep their number and text, formulas without a value their kind, and the merged
// ranges follow.
TEST(SheetReply, SendsEveryCellWithinTheBoundsAndTheMergedRanges) {
    ScriptedReader reader;
    reader.merged = {{2, 1, 5, 2},
                     {kSheetReplyLastRow, 250, kSheetReplyLastRow + 9, 300}, // clipped
                     {kSheetReplyLastRow + 1, 1, kSheetReplyLastRow + 2, 1}, // not seen
                     {1, kSheetReplyLastColumn + 1, 2, kSheetReplyLastColumn + 2}};
    reader.cells = {{{1, 1}, CellValue::ofText("End")},
                    {{3, 1}, CellValue::ofDate(45366.5, "2024-03-15 12:00:00")},
                    {{6, 1}, CellValue::ofFormula("=A3*2")},
                    {{6, 2}, CellValue::ofFormula("")},
                    {{9, 256}, CellValue::ofText("last column")},
                    {{9, 257}, CellValue::ofText("past the last column")},
                    {{kSheetReplyLastRow, 2}, CellValue::ofNumber(1)},
                    {{kSheetReplyLastRow + 1, 1}, CellValue::ofText("past the last row")}};
    const SheetReply reply = RoundTrip(reader);
    ASSERT_EQ(reply.outcome, SheetReply::Outcome::Sheet) << reply.reason;
    for (const auto& [place, cell] : reader.cells) {
        const bool inside =
            place.first <= kSheetReplyLastRow && place.second <= kSheetReplyLastColumn;
        EXPECT_TRUE(SameCell(reply.sheet.cell(place.first, place.second),
                             inside ? cell : CellValue::empty()))
            << "row " << place.first << " column " << place.second;
    }
    std::vector<std::tuple<int, int, int, int>> ranges;
    for (const CellRange& r : reply.sheet.mergedRanges())
        ranges.emplace_back(r.top, r.left, r.bottom, r.right);
    EXPECT_EQ(ranges, (std::vector<std::tuple<int, int, int, int>>{
                          {2, 1, 5, 2},
                          {kSheetReplyLastRow, 250, kSheetReplyLastRow, kSheetReplyLastColumn}}));
}

// Text repeated past its budget and memory running out are shown end to end by the zip
// reader's tests.
TEST(SheetReply, CarriesTheReaderReasonAndTheStageItFailedAt) {
    using enum SheetReply::Outcome;
    const std::string longReason =
        "The file \"" + std::string(8100, 'x') + "\" is damaged and cannot be read.";
    const std::string noSheet = "The file \"book.xls\" holds no worksheet.\nE 0\n";
    const std::tuple<std::function<void(ScriptedReader&)>, SheetReply::Outcome, std::string>
        cases[] = {{[&](ScriptedReader& r) { r.openFailure = longReason; }, OpenFailed, longReason},
                   {[&](ScriptedReader& r) { r.sheetFailure = noSheet; }, SheetFailed, noSheet},
                   {[](ScriptedReader& r) {
                        r.extent = {5000, 256};
                        r.everyCell = CellValue::ofNumber(1); // 1,280,000 cells
                    },
                    SheetFailed,
                    "The first worksheet of \"book.xls\" holds more than 1048576 cells."}};
    for (const auto& [setUp, outcome, reason] : cases) {
        ScriptedReader reader;
        setUp(reader);
        const SheetReply reply = RoundTrip(reader);
        EXPECT_EQ(reply.outcome, outcome) << reason;
        EXPECT_EQ(reply.reason, reason);
    }
}

TEST(SheetReply, AnythingButACompleteReplyIsMalformed) {
    ScriptedReader reader;
    reader.cells = {{{1, 1}, CellValue::ofText("Name")},
                    {{1, 2}, CellValue::ofText("Steel")},
                    {{2, 1}, CellValue::ofText("EX")},
                    {{2, 2}, CellValue::ofNumber(2e11)},
                    {{3, 1}, CellValue::ofText("End")}};
    const std::string whole = captureSheetReply(reader, "book.xls");
    ASSERT_EQ(parseSheetReply(whole).outcome, SheetReply::Outcome::Sheet);
    // A reader that dies half way leaves a prefix: none of them may pass for a sheet.
    for (std::size_t n = 0; n < whole.size(); ++n)
        EXPECT_EQ(parseSheetReply(whole.substr(0, n)).outcome, SheetReply::Outcome::Malformed)
            << "prefix of " << n << " bytes";

    const std::string header = "MBSHEET 3\n";
    const std::string malformed[] = {
        "MBSHEET 2\nE 0\n",                   // the format before dates, formulas and merged ranges
        header + "D 1 1 0\nE 1\n",            // a date without its text
        header + "M 2 1 1 1\nE 0\n",          // bottom above top
        header + "M 1 1 32768 1\nE 0\n",      // past the last row
        header + "M 1 1 1 1\nN 1 1 0\nE 1\n", // a cell after the ranges
        header + "F open 4\nlost\nM 1 1 2 2\nE 0\n",
        header + "E 0\n\n",                           // bytes after the end
        header + "E 1\n",                             // count does not match
        header + "N 0 1 3ff0000000000000\nE 1\n",     // rows count from 1
        header + "N 32768 1 3ff0000000000000\nE 1\n", // past the last row
        header + "N 1 257 3ff0000000000000\nE 1\n",   // past the last column
        header + "N 1 2 0\nN 1 1 0\nE 2\n",           // out of order
        header + "N 1 1 0\nN 1 1 0\nE 2\n",           // twice the same cell
        header + "N 1 1 13ff0000000000000\nE 1\n",    // more than 64 bits
        header + "N 1 1 -1\nE 1\n",
        header + "N +1 1 0\nE 1\n",
        header + "N 1 1 3FG\nE 1\n",
        header + "T 1 1 3\nEnd\rE 1\n", // no line end after the text
        header + "T 1 1\nE 1\n",
        header + "X 1 1 0\nE 1\n",
        header + "F open 4\nlost\nF open 4\nlost\nE 0\n",
        header + "F open 4\nlost\nN 1 1 0\nE 1\n",
        header + "N 1 1 0\nF open 4\nlost\nE 1\n",
        header + "F close 4\nlost\nE 0\n",
        header + "F open 5\nlost\nE 0\n",
        header + "F open 8193\n" + std::string(8193, 'x') + "\nE 0\n", // no sentence is that long
    };
    for (const std::string& bytes : malformed)
        EXPECT_EQ(parseSheetReply(bytes).outcome, SheetReply::Outcome::Malformed) << bytes;
}

} // namespace
} // namespace mb
