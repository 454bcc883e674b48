// The CSV export opened by LibreOffice, which takes a text starting with "=" for a formula
// and runs it: every text of the export must arrive there as a text. How LibreOffice saves
// the sheet afterwards does not change that, so one format is read. That the export reads
// back here is the CSV tests' concern. `soffice` is looked up on PATH.
#include "CsvExchange.h"
#include "ExportSelection.h"
#include "Library.h"
#include "ProgramOnPath.h"
#include "RunProgram.h"
#include "TableLayout.h"
#include "UnitConversion.h"

#include <gtest/gtest.h>

#include <zip.h>

namespace mb {
namespace {

using test::FindOnPath;

/// Converts `files` in `folder` to `format` with LibreOffice, in a profile of its own so
/// that a running LibreOffice neither blocks nor sees it; true when it exited with 0.
bool Convert(const std::string& folder, const std::string& format,
             const std::vector<std::string>& files) {
    std::vector<std::string> args = {"-env:UserInstallation=file://" + folder + "/profile",
                                     "--headless",
                                     "--convert-to",
                                     format,
                                     "--outdir",
                                     folder};
    for (const std::string& file : files)
        args.push_back(folder + "/" + file);
    test::RunOptions options;
    options.environment = {};
    const test::ProgramResult r = test::RunProgram(FindOnPath("soffice"), args, options);
    test::WriteBytes(folder + "/soffice.log", r.out + r.err);
    return r.exitCode == 0;
}

/// A part of a zip archive, "" when it is missing.
std::string Part(const std::string& archive, const char* name) {
    zip_t* zip = zip_open(archive.c_str(), ZIP_RDONLY, nullptr);
    if (!zip) return {};
    std::string bytes;
    if (zip_file_t* file = zip_fopen(zip, name, 0)) {
        char buffer[65536];
        for (zip_int64_t n; (n = zip_fread(file, buffer, sizeof buffer)) > 0;)
            bytes.append(buffer, static_cast<std::size_t>(n));
        zip_fclose(file);
    }
    zip_close(zip);
    return bytes;
}

/// The text of XML with the five predefined entities replaced.
std::string Unescaped(std::string xml) {
    const std::pair<const char*, char> entities[] = {
        {"&apos;", '\''}, {"&quot;", '"'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&amp;", '&'}};
    for (const auto& [entity, c] : entities)
        for (std::size_t at; (at = xml.find(entity)) != std::string::npos;)
            xml.replace(at, std::string_view(entity).size(), 1, c);
    return xml;
}

// Texts a spreadsheet would run, in every text column of the export.
const char* const kFormulas[] = {
    "=cmd|' /C calc'!A0", "=HYPERLINK(\"http://x\")", "+1+2", "-3", "@SUM(1)", "'=1+1"};

Library FormulaLibrary() {
    Library library;
    for (const char* formula : kFormulas) {
        clsMaterial record;
        record.setSlotValue(Slot::EX, -2.5e9); // a negative number stays a number
        library.addMaterial({formula, formula, formula, formula}, record, record);
    }
    return library;
}

TEST(CsvInLibreOffice, ATextThatStartsLikeAFormulaArrivesAsAText) {
    test::TempDir dir;
    Library library = FormulaLibrary();
    const std::string csv = csvText(exportTable(exportSelection(library), UnitSystemIndex::SI));
    test::WriteBytes(dir.file("export.csv"), csv);
    // The same kind of cell written plainly: LibreOffice must run it, or the test could
    // not tell a guarded text from a formula it was never going to run.
    test::WriteBytes(dir.file("plain.csv"), "Name\r\n=1+1\r\n");
    ASSERT_TRUE(Convert(dir.path(), "ods", {"export.csv", "plain.csv"}))
        << test::ReadBytes(dir.file("soffice.log"));

    EXPECT_NE(Part(dir.file("plain.ods"), "content.xml").find("table:formula="), std::string::npos);
    const std::string ods = Part(dir.file("export.ods"), "content.xml");
    ASSERT_NE(ods, "");
    EXPECT_EQ(ods.find("table:formula="), std::string::npos) << ods;
    const std::string cells = Unescaped(ods);
    for (const char* formula : kFormulas) {
        // The apostrophe shows in the cell, as a spreadsheet shows one typed before a text.
        const std::string shown = "'" + std::string(formula);
        EXPECT_NE(cells.find("<text:p>" + shown + "</text:p>"), std::string::npos) << formula;
    }
    // Four text columns a material, each a string cell; the value a number.
    EXPECT_NE(cells.find("office:value-type=\"float\" office:value=\"-2500000000\""),
              std::string::npos);
}

} // namespace
} // namespace mb
