#pragma once

// What the tests of the workbook readers look at: the first sheet a reader opened, and its
// cells compared and shown bit for bit.

#include "Spreadsheet.h"

#include <bit>
#include <cstdint>
#include <memory>
#include <string>

namespace mb::test {

/// The first sheet of what a reader opened, or null and the reason of whichever step failed.
inline std::unique_ptr<Worksheet> FirstSheet(Result<std::unique_ptr<Workbook>> book,
                                             std::string& reason) {
    if (!book) {
        reason = book.failure().what;
        return nullptr;
    }
    Result<std::unique_ptr<Worksheet>> sheet = book.value()->firstSheet();
    if (!sheet) {
        reason = sheet.failure().what;
        return nullptr;
    }
    return std::move(sheet.value());
}

inline bool SameCell(const CellValue& a, const CellValue& b) {
    return a.kind == b.kind && a.text == b.text &&
           std::bit_cast<std::uint64_t>(a.number) == std::bit_cast<std::uint64_t>(b.number);
}

inline std::string Describe(const CellValue& c) {
    if (c.kind == CellValue::Kind::Empty) return "empty";
    if (c.kind == CellValue::Kind::Text) return "text '" + c.text + "'";
    return "number " + std::to_string(c.number) + " (bits " +
           std::to_string(std::bit_cast<std::uint64_t>(c.number)) + ")";
}

} // namespace mb::test
