#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace mb::fuzz {

enum class WorkbookFormat { Xlsx, Ods };

/// A zip archive holding `parts` (name, bytes) uncompressed, as a workbook file would.
std::string StoredZip(const std::vector<std::pair<std::string, std::string>>& parts);

/// The workbook an input stands for. An input that starts as a zip archive is taken as it
/// is. Any other is the XML of the parts the fuzzer is after, put into a workbook with
/// fixed other parts, since a mutated compressed archive rarely gets past its checksums:
/// for xlsx the first sheet's XML, or the shared strings, a NUL byte and the sheet; for
/// ods content.xml.
std::string WorkbookBytes(std::string_view input, WorkbookFormat format);

/// Reads WorkbookBytes(input) with the xlsx/ods reader, imports its first sheet in either
/// layout, saves the library and reads it back. Returns "" when every promise held: a
/// refused workbook gives a reason naming it, a refused row names its place, and what was
/// imported saves and reads back whole. Otherwise which promise was broken.
std::string RoundTripWorkbook(std::string_view input, WorkbookFormat format);

} // namespace mb::fuzz
