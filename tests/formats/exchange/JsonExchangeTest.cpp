// The JSON reader takes hostile text: every refusal names the key (or the line and
// column), keeps the materials read before it, and never reads on.
#include "JsonExchange.h"
#include "Library.h"
#include "LibraryFile.h"

#include <gtest/gtest.h>

namespace mb {
namespace {

std::string Doc(const std::string& materials,
                const std::string& category = "\"name\": \"Steels\"") {
    return "{\"categories\": [{" + category + ", \"materials\": [" + materials + "]}]}";
}

const std::string kSteel =
    R"({"name": "S235", "properties": {"EX": {"value": 2.1e11, "unit": "N/m^2"}}})";

struct Refusal {
    std::string text;
    std::string placeAndWhat; ///< "Key a.b: what is wrong." as the stop names them
    int kept;                 // materials read before the refusal
};

// A stop's message: "The import stopped at key a.b: what is wrong. The 1 material ...".
std::string Stopped(std::string placeAndWhat, int kept) {
    placeAndWhat.front() = static_cast<char>(placeAndWhat.front() | 0x20);
    return "The import stopped at " + placeAndWhat +
           (kept == 0   ? " No material came before it."
            : kept == 1 ? " The 1 material before it was imported."
                        : " The " + std::to_string(kept) + " materials before it were imported.");
}

TEST(JsonImport, RefusesWhatIsNotTheLayoutNamingTheKey) {
    const Refusal cases[] = {
        {"", "Line 1, column 1: the text ends where a value was expected.", 0},
        {"{\"categories\": [}", "Line 1, column 17: a value was expected.", 0},
        {"{\"x\":\n [1 2]}", "Line 2, column 5: a \",\" or \"]\" was expected.", 0},
        {"{\"categories\" []}", "Line 1, column 15: a \":\" was expected after the key.", 0},
        {"{categories: []}", "Line 1, column 2: a key in double quotes was expected.", 0},
        {"{\"a\": \"x\\q\"}", "Line 1, column 10: \\q is not an escape JSON has.", 0},
        {"{\"a\": \"\\ud800\"}",
         "Line 1, column 14: a \\u escape holds the first half of a "
         "pair alone.",
         0},
        {"{\"a\": \"tab\there\"}",
         "Line 1, column 11: a string holds a control character; "
         "write it as an escape.",
         0},
        {"{\"a\": 1.}", "Line 1, column 9: a digit was expected after the decimal point.", 0},
        {"{\"a\": 1e}", "Line 1, column 9: a digit was expected in the exponent.", 0},
        {"{\"a\": \"\\u12\"}",
         "Line 1, column 12: four hexadecimal digits were expected after \\u.", 0},
        {"{\"a\": \"\\udc00\"}",
         "Line 1, column 13: a \\u escape holds the second half of a pair alone.", 0},
        {"{\"a\": [1", "Line 1, column 9: the text ends inside an array.", 0},
        {"{\"a\": {\"b\": 1", "Line 1, column 14: the text ends inside an object.", 0},
        {"{\"a\": {\"b\": 1 2}}", "Line 1, column 15: a \",\" or \"}\" was expected.", 0},
        {"{\"a\": \"open", "Line 1, column 12: the text ends inside a string.", 0},
        {"{\"a\": " + std::string(100, '[') + std::string(100, ']') + "}",
         "Line 1, column 70: the document is nested too deeply.", 0},
        {"[]", "The start of the document: expected an object, found an array.", 0},
        {"{}", "The end of the document: it has no \"categories\".", 0},
        {"{\"categories\": {}}", "Key categories: expected an array, found an object.", 0},
        {Doc(kSteel + R"(, {"name": 5})"),
         "Key categories[0].materials[1].name: expected a text, found a number.", 1},
        {Doc(kSteel + R"(, {"nameCode": "X"})"),
         "Key categories[0].materials[1]: the material has no \"name\".", 1},
        {Doc(kSteel, "\"nom\": \"Steels\""), "Key categories[0]: the category has no \"name\".", 1},
        {Doc(R"({"name": "A", "name": "B"})"),
         "Key categories[0].materials[0].name: the key occurs twice.", 0},
        {Doc(R"({"name": "A", "properties": {"EX": {"value": 1}, "EX": {"value": 2}}})"),
         "Key categories[0].materials[0].properties.EX: the key occurs twice.", 0},
        {Doc(R"({"name": "A", "properties": {"EXX": {"value": 1}}})"),
         "Key categories[0].materials[0].properties.EXX: \"EXX\" is not a property code.", 0},
        {Doc(R"({"name": "A", "properties": {"EX": {"unit": "N/m^2"}}})"),
         "Key categories[0].materials[0].properties.EX: the property has no \"value\".", 0},
        {Doc(R"({"name": "A", "properties": {"EX": {"value": "2.1E11x"}}})"),
         "Key categories[0].materials[0].properties.EX.value: \"2.1E11x\" is not a number.", 0},
        {Doc(R"({"name": "A", "properties": {"EX": {"value": true}}})"),
         "Key categories[0].materials[0].properties.EX.value: expected a number, found true "
         "or false.",
         0},
        {Doc(R"({"name": "A", "properties": {"EX": {"value": 1e999}}})"),
         "Key categories[0].materials[0].properties.EX.value: 1e999 is beyond the range of "
         "numbers a library can hold.",
         0},
        // A message quotes at most the first 40 characters of what it refuses.
        {Doc(R"({"name": "A", "properties": {"EX": {"value": ")" + std::string(5000, 'x') +
             "\"}}}"),
         "Key categories[0].materials[0].properties.EX.value: \"" + std::string(40, 'x') +
             "...\" is not a number.",
         0},
        {Doc(R"({"name": "A", "properties": {")" + std::string(41, 'E') + R"(": {"value": 1}}})"),
         "Key categories[0].materials[0].properties." + std::string(40, 'E') + "...: \"" +
             std::string(40, 'E') + "...\" is not a property code.",
         0},
        {Doc(R"({"name": "A", "properties": {"EX": {"value": 1, "unit": "psi"}}})"),
         "Key categories[0].materials[0].properties.EX.unit: \"psi\" is not the SI unit of EX "
         "(\"N/m^2\").",
         0},
        {Doc(kSteel) + " {}", "Line 1, column 129: the text goes on after the document.", 1},
        {"{\"categories\": [], \"x\": \"\xff\"}",
         "Line 1, column 26: a string holds bytes that are not UTF-8.", 0},
    };
    for (const Refusal& c : cases) {
        Library library;
        const ImportResult r = importJson(c.text, library);
        EXPECT_EQ(r.status, ImportResult::Status::Refused) << c.text;
        EXPECT_EQ(r.message(), Stopped(c.placeAndWhat, c.kept)) << c.text;
        EXPECT_EQ(library.materialCount(), c.kept) << c.text;
    }
}

TEST(JsonImport, TakesNumbersWrittenAsTextUnknownKeysAndTheCategoryNameAfterItsMaterials) {
    Library library;
    const ImportResult r = importJson(
        R"({"format": {"any": [1, null]}, "categories": [{"materials": [
              {"name": "A", "comment": [true], "properties": {"C": {"value": " 4.6E2 "},
               "NUXY": {"value": 0.3, "unit": ""}}}], "name": "Steels"}]})",
        library);
    EXPECT_EQ(r.message(), "");
    ASSERT_EQ(library.materialCount(), 1);
    EXPECT_EQ(library.entry(0).Category, "Steels");
    EXPECT_EQ(library.material(0).slotValue(Slot::SpecificHeat), 460);
    EXPECT_EQ(library.material(0).slotValue(Slot::NUXY), 0.3);
    EXPECT_FALSE(library.material(0).HasValue(Slot::EX));
}

TEST(JsonImport, FitsTextsToTheLibraryWithANoteNamingTheKey) {
    Library library;
    const ImportResult r =
        importJson(Doc(R"({"name": "Line\nbreak \u00e9t\u00e9 and a name much too long for it",
                "nameCode": "ABCDEFGHIJKLMNOP", "description": "\u20ac"})"),
                   library);
    EXPECT_EQ(
        r.message(),
        "Key categories[0].materials[0].name: line breaks, tabs and other control "
        "characters in the name were replaced by blanks.\n"
        "Key categories[0].materials[0].name: the name has more than 30 characters, the "
        "most a library keeps; it was shortened to \"Line break \xe9t\xe9 and a name much\".\n"
        "Key categories[0].materials[0].nameCode: the name code has more than 13 "
        "characters, the most a library keeps; it was shortened to \"ABCDEFGHIJKLM\".\n"
        "Key categories[0].materials[0].description: the description holds characters beyond "
        "Latin-1, which a library cannot hold: U+20AC became \"EUR\".");
    EXPECT_EQ(library.entry(0).Description, "EUR");
}

TEST(JsonExport, WritesTextsAsUtf8AndEscapesWhatJsonCannotHoldPlain) {
    Library library;
    library.addMaterial("Caf\xe9", "", "Say \"hi\"\\", "");
    const std::string json = exportJson(exportSelection(library));
    EXPECT_NE(json.find("\"name\": \"Caf\xc3\xa9\""), std::string::npos) << json;
    EXPECT_NE(json.find("\"name\": \"Say \\\"hi\\\"\\\\\""), std::string::npos) << json;
    EXPECT_NE(json.find("\"properties\": {}"), std::string::npos) << json;
    Library back;
    EXPECT_EQ(importJson(json, back).message(), "");
    EXPECT_EQ(back.entry(0).Name, "Say \"hi\"\\");
    EXPECT_EQ(back.entry(0).Category, "Caf\xe9");
}

} // namespace
} // namespace mb
