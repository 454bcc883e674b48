#include "JsonExchange.h"
#include "ShortestNumber.h"

#include "ExchangeText.h"
#include "Library.h"
#include "PropertyCatalogue.h"
#include "TextUtil.h"
#include "UnitConversion.h"

#include <array>
#include <bitset>
#include <charconv>
#include <cmath>

#include <nlohmann/json.hpp>

namespace mb {

namespace {

// ---- Writing ------------------------------------------------------------------------------

void AppendString(std::string& out, std::string_view latin1) {
    static constexpr char kHex[] = "0123456789abcdef";
    out += '"';
    for (const char c : latin1) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == '"' || byte == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20) {
            out += "\\u00";
            out += kHex[byte >> 4];
            out += kHex[byte & 0xF];
        } else if (byte < 0x80) {
            out += c;
        } else {
            out += static_cast<char>(0xC0 | (byte >> 6));
            out += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    out += '"';
}

void appendMaterial(std::string& out, const ExportedMaterial& m) {
    out += "        {\n          \"name\": ";
    AppendString(out, m.name);
    out += ",\n          \"nameCode\": ";
    AppendString(out, m.nameCode);
    out += ",\n          \"description\": ";
    AppendString(out, m.description);
    out += ",\n          \"properties\": {";
    bool first = true;
    for (int slot = 0; slot < kVisitedSlots; ++slot) {
        const std::string& code = PropertyCatalogue::instance().PropCode(slot);
        const double si = m.record->slotValue(slot);
        // No file can hold a value without a code, nor an infinity.
        if (!m.record->HasValue(slot) || code.empty() || !std::isfinite(si)) continue;
        out += first ? "\n            " : ",\n            ";
        first = false;
        AppendString(out, code);
        out += ": {\"value\": ";
        out += shortestNumber(si);
        out += ", \"unit\": ";
        AppendString(out, trimBlanks(UnitsSI(slot)));
        out += '}';
    }
    out += first ? "}\n        }" : "\n          }\n        }";
}

// ---- Reading ------------------------------------------------------------------------------

// What a container is in the document's layout; Skip is anything under a key this
// reader does not know.
enum class Frame { Top, Categories, Category, Materials, Material, Properties, Property, Skip };

struct Level {
    Frame frame;
    bool isArray = false;
    long index = -1;   // of the current element, in an array
    std::string key;   // the current key, in an object
    unsigned seen = 0; // keys met so far, by their bit
};

// The keys whose second occurrence is refused, each a bit of Level::seen.
constexpr unsigned kCategories = 1, kName = 2, kMaterials = 4, kNameCode = 8, kDescription = 16,
                   kProperties = 32, kValue = 64, kUnit = 128;

/// Walks the document as the parser meets it, never holding more than one material.
class JsonLibraryReader {
public:
    JsonLibraryReader(Library& library, ImportResult& result)
        : library_(library), result_(result), fit_(result.notes) {}

    bool null() { return scalar("null"); }
    bool boolean(bool) { return scalar("true or false"); }
    bool number(std::string_view written) {
        if (!place()) return false;
        if (skipping()) return true;
        if (expected_ != Expect::Value) return wrongType("a number");
        double v = 0;
        const auto [end, ec] = std::from_chars(written.data(), written.data() + written.size(), v);
        if (ec != std::errc() || end != written.data() + written.size() || !std::isfinite(v))
            return beyondRange(written);
        return value(v);
    }
    /// A number too large for a double, which the parser does not read on from.
    bool overflow(std::string_view written) {
        place();
        if (!skipping() && expected_ != Expect::Value) return wrongType("a number");
        return beyondRange(written);
    }
    bool string(std::string& s) {
        if (!place()) return false;
        if (skipping()) return true;
        AsLibraryText(s, latin1_);
        const std::string& latin1 = latin1_;
        switch (expected_) {
        case Expect::Text:
            return text(s, latin1);
        case Expect::Value:
            if (const std::optional<double> v = wholeNumber(latin1)) return value(*v);
            return refuse(Path(), quotedCell(CellValue::ofText(s)) + " is not a number");
        default:
            return wrongType("a text");
        }
    }
    bool startObject() {
        if (!place()) return false;
        if (skipping()) return open(Frame::Skip, false);
        switch (expected_) {
        case Expect::TopObject:
            return open(Frame::Top, false);
        case Expect::CategoryObject:
            categoryName_.reset();
            categoryFirst_ = library_.materialCount();
            return open(Frame::Category, false);
        case Expect::MaterialObject:
            material_ = Pending{};
            propertiesSeen_.reset();
            return open(Frame::Material, false);
        case Expect::PropertiesObject:
            return open(Frame::Properties, false);
        case Expect::PropertyObject:
            property_ = PendingProperty{};
            return open(Frame::Property, false);
        default:
            return wrongType("an object");
        }
    }
    bool startArray() {
        if (!place()) return false;
        if (skipping()) return open(Frame::Skip, true);
        switch (expected_) {
        case Expect::CategoriesArray:
            return open(Frame::Categories, true);
        case Expect::MaterialsArray:
            return open(Frame::Materials, true);
        default:
            return wrongType("an array");
        }
    }
    bool key(std::string& k) {
        Level& level = levels_.back();
        AsLibraryText(k, level.key);
        if (level.frame == Frame::Properties) {
            slot_ = codeSlot(level.key);
            if (slot_ < 0)
                return refuse(Path(), "\"" + excerpt(level.key) + "\" is not a property code");
            if (propertiesSeen_[static_cast<std::size_t>(slot_)]) return twice();
            propertiesSeen_.set(static_cast<std::size_t>(slot_));
            return true;
        }
        const unsigned bit = KeyBit(level.frame, level.key);
        if (level.seen & bit) return twice();
        level.seen |= bit;
        return true;
    }
    bool endObject() { return close(); }
    bool endArray() { return close(); }

private:
    enum class Expect {
        TopObject,
        CategoriesArray,
        CategoryObject,
        Text,
        MaterialsArray,
        MaterialObject,
        PropertiesObject,
        PropertyObject,
        Value,
        Anything,
    };
    struct Pending {
        std::string name, nameCode, description;
    };
    struct PendingProperty {
        std::optional<double> value;
        std::optional<std::string> unit;
    };

    static unsigned KeyBit(Frame frame, std::string_view key) {
        switch (frame) {
        case Frame::Top:
            return key == "categories" ? kCategories : 0u;
        case Frame::Category:
            return key == "name" ? kName : key == "materials" ? kMaterials : 0u;
        case Frame::Material:
            return key == "name"          ? kName
                   : key == "nameCode"    ? kNameCode
                   : key == "description" ? kDescription
                   : key == "properties"  ? kProperties
                                          : 0u;
        case Frame::Property:
            return key == "value" ? kValue : key == "unit" ? kUnit : 0u;
        default:
            return 0;
        }
    }

    /// Works out what the next value must be from where it stands.
    bool place() {
        if (levels_.empty()) {
            expected_ = Expect::TopObject;
            return true;
        }
        Level& level = levels_.back();
        if (level.isArray) ++level.index;
        switch (level.frame) {
        case Frame::Top:
            expected_ = level.key == "categories" ? Expect::CategoriesArray : Expect::Anything;
            break;
        case Frame::Categories:
            expected_ = Expect::CategoryObject;
            break;
        case Frame::Category:
            expected_ = level.key == "name"        ? Expect::Text
                        : level.key == "materials" ? Expect::MaterialsArray
                                                   : Expect::Anything;
            break;
        case Frame::Materials:
            expected_ = Expect::MaterialObject;
            break;
        case Frame::Material:
            expected_ = level.key == "properties"                 ? Expect::PropertiesObject
                        : KeyBit(Frame::Material, level.key) != 0 ? Expect::Text
                                                                  : Expect::Anything;
            break;
        case Frame::Properties:
            expected_ = Expect::PropertyObject;
            break;
        case Frame::Property:
            expected_ = level.key == "value"  ? Expect::Value
                        : level.key == "unit" ? Expect::Text
                                              : Expect::Anything;
            break;
        case Frame::Skip:
            expected_ = Expect::Anything;
            break;
        }
        return true;
    }
    bool skipping() const { return expected_ == Expect::Anything; }

    bool open(Frame frame, bool isArray) {
        levels_.push_back(Level{frame, isArray, -1, {}, 0});
        return true;
    }

    bool close() {
        // A message about the container as a whole names the container, not its last key.
        if (!levels_.back().isArray) levels_.back().key.clear();
        const Level& level = levels_.back();
        switch (level.frame) {
        case Frame::Top:
            if (!(level.seen & kCategories))
                return refuse("the end of the document", "it has no \"categories\"");
            break;
        case Frame::Category:
            if (!categoryName_) return refuse(Path(), "the category has no \"name\"");
            break;
        case Frame::Material:
            if (!(level.seen & kName)) return refuse(Path(), "the material has no \"name\"");
            if (!addMaterial()) return false;
            break;
        case Frame::Property:
            if (!property_.value) return refuse(Path(), "the property has no \"value\"");
            if (property_.unit && trimBlanks(*property_.unit) != trimBlanks(UnitsSI(slot_))) {
                levels_.back().key = "unit";
                return refuse(Path(), "\"" + excerpt(*property_.unit) +
                                          "\" is not the SI unit of " +
                                          PropertyCatalogue::instance().PropCode(slot_) + " (\"" +
                                          std::string(trimBlanks(UnitsSI(slot_))) + "\")");
            }
            values_[static_cast<std::size_t>(slot_)] = *property_.value;
            break;
        default:
            break;
        }
        levels_.pop_back();
        return true;
    }

    bool addMaterial() {
        if (library_.isFull())
            return refuse(Path(), "the library already holds " + std::to_string(kMaxMaterials) +
                                      " materials");
        const int n =
            library_.addMaterial(categoryName_ ? *categoryName_ : std::string(), material_.nameCode,
                                 material_.name, material_.description);
        for (std::size_t slot = 0; slot < propertiesSeen_.size(); ++slot)
            if (propertiesSeen_[slot])
                library_.setOriginalValue(n, static_cast<int>(slot), values_[slot]);
        return true;
    }

    bool text(const std::string& utf8, const std::string& latin1) {
        Level& level = levels_.back();
        if (level.frame == Frame::Property) {
            property_.unit = latin1;
            return true;
        }
        std::string where = Path();
        where.front() = 'K'; // a note starts with its place
        if (level.frame == Frame::Category) {
            categoryName_ = fit_.category(utf8, where);
            // A name that follows the materials still names them.
            for (int n = categoryFirst_; n < library_.materialCount(); ++n)
                library_.setCategory(n, *categoryName_);
        } else if (level.key == "name") {
            material_.name = fit_.name(utf8, where);
        } else if (level.key == "nameCode") {
            material_.nameCode = fit_.nameCode(utf8, where);
        } else {
            material_.description = fit_.description(utf8, where);
        }
        return true;
    }

    bool value(double v) {
        property_.value = v;
        return true;
    }
    bool scalar(const char* kind) {
        if (!place()) return false;
        if (skipping()) return true;
        return wrongType(kind);
    }

    bool wrongType(const char* found) {
        const char* wanted = "";
        switch (expected_) {
        case Expect::TopObject:
        case Expect::CategoryObject:
        case Expect::MaterialObject:
        case Expect::PropertiesObject:
        case Expect::PropertyObject:
            wanted = "an object";
            break;
        case Expect::CategoriesArray:
        case Expect::MaterialsArray:
            wanted = "an array";
            break;
        case Expect::Text:
            wanted = "a text";
            break;
        case Expect::Value:
            wanted = "a number";
            break;
        case Expect::Anything:
            break;
        }
        return refuse(levels_.empty() ? std::string("the start of the document") : Path(),
                      std::string("expected ") + wanted + ", found " + found);
    }
    bool twice() { return refuse(Path(), "the key occurs twice"); }

    bool refuse(std::string place, std::string what) {
        if (result_.status == ImportResult::Status::Imported)
            result_.stop(ImportResult::Status::Refused, 0, std::move(place), std::move(what),
                         library_);
        return false;
    }

    // Keys and units are ASCII: they are taken as they are, into storage already there.
    bool beyondRange(std::string_view written) {
        return refuse(Path(),
                      excerpt(written) + " is beyond the range of numbers a library can hold");
    }

    static void AsLibraryText(const std::string& utf8, std::string& out) {
        for (const char c : utf8)
            if (static_cast<unsigned char>(c) >= 0x80) {
                out = utf8ToLibraryText(utf8);
                return;
            }
        out.assign(utf8);
    }

    std::string Path() const {
        std::string path = "key ";
        bool first = true;
        for (const Level& level : levels_) {
            if (level.isArray) {
                if (level.index >= 0) path += "[" + std::to_string(level.index) + "]";
            } else if (!level.key.empty()) {
                if (!first) path += '.';
                path += excerpt(level.key);
            }
            first = false;
        }
        return path;
    }

    Library& library_;
    ImportResult& result_;
    TextFitter fit_;
    std::vector<Level> levels_;
    std::string latin1_;
    Expect expected_ = Expect::TopObject;
    std::optional<std::string> categoryName_;
    int categoryFirst_ = 0;
    Pending material_;
    PendingProperty property_;
    int slot_ = -1;
    std::bitset<kSlotCount> propertiesSeen_;
    std::array<double, kSlotCount> values_{};
};

} // namespace

std::string exportJson(const std::vector<ExportedCategory>& selection) {
    // Sized once from a count of the values: a growing string would copy and fault in
    // the whole text again each time it doubles.
    std::size_t values = 0, materials = 0;
    for (const ExportedCategory& c : selection)
        for (const ExportedMaterial& m : c.materials) {
            ++materials;
            for (int slot = 0; slot < kVisitedSlots; ++slot)
                values += m.record->HasValue(slot) ? 1 : 0;
        }
    std::string out;
    out.reserve(256 + materials * 512 + values * 80);
    out += "{\n  \"categories\": [";
    bool firstCategory = true;
    for (const ExportedCategory& c : selection) {
        out += firstCategory ? "\n    {\n      \"name\": " : ",\n    {\n      \"name\": ";
        firstCategory = false;
        AppendString(out, c.name);
        out += ",\n      \"materials\": [\n";
        bool firstMaterial = true;
        for (const ExportedMaterial& m : c.materials) {
            if (!firstMaterial) out += ",\n";
            firstMaterial = false;
            appendMaterial(out, m);
        }
        out += "\n      ]\n    }";
    }
    out += firstCategory ? "]\n}\n" : "\n  ]\n}\n";
    return out;
}

namespace {

/// Nesting deeper than this is refused: no library needs it.
constexpr int kDeepestJson = 64;

// Where the container that first nests `depth` deep opens (from 0), in text the parser has
// read that far.
std::size_t OpeningAtDepth(std::string_view text, int depth) {
    int open = 0;
    bool inString = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++open == depth) return i;
        } else if (c == ']' || c == '}') {
            --open;
        }
    }
    return text.size();
}

// The parser's complaints in the words of this program, which name the same places.
std::string SyntaxProblem(const std::string& what, std::string_view lastRead) {
    const auto has = [&what](std::string_view part) {
        return what.find(part) != std::string::npos;
    };
    const bool atEnd = has("unexpected end of input");
    if (has("missing closing quote")) return "the text ends inside a string";
    if (has("forbidden character after backslash"))
        return "\\" + std::string(lastRead.empty() ? "" : lastRead.substr(lastRead.size() - 1)) +
               " is not an escape JSON has";
    if (has("must be followed by U+DC00"))
        return "a \\u escape holds the first half of a pair alone";
    if (has("must follow U+D800")) return "a \\u escape holds the second half of a pair alone";
    if (has("must be followed by 4 hex digits"))
        return "four hexadecimal digits were expected after \\u";
    if (has("control character"))
        return "a string holds a control character; write it as an escape";
    if (has("ill-formed UTF-8")) return "a string holds bytes that are not UTF-8";
    if (has("expected digit after '.'")) return "a digit was expected after the decimal point";
    if (has("after exponent")) return "a digit was expected in the exponent";
    if (has("; expected end of input")) return "the text goes on after the document";
    if (has("parsing object key")) return "a key in double quotes was expected";
    if (has("parsing object separator")) return "a \":\" was expected after the key";
    if (has("parsing object -"))
        return atEnd ? "the text ends inside an object" : "a \",\" or \"}\" was expected";
    if (has("parsing array -"))
        return atEnd ? "the text ends inside an array" : "a \",\" or \"]\" was expected";
    return atEnd ? "the text ends where a value was expected" : "a value was expected";
}

// Hands the parser's events to the reader, numbers as the document writes them, and keeps
// where the text stopped being JSON.
class JsonEvents final : public nlohmann::json_sax<nlohmann::json> {
public:
    JsonEvents(std::string_view text, JsonLibraryReader& reader) : text_(text), reader_(reader) {}

    bool null() override { return reader_.null(); }
    bool boolean(bool value) override { return reader_.boolean(value); }
    bool number_integer(number_integer_t value) override {
        return reader_.number(std::to_string(value));
    }
    bool number_unsigned(number_unsigned_t value) override {
        return reader_.number(std::to_string(value));
    }
    bool number_float(number_float_t, const string_t& written) override {
        return reader_.number(written);
    }
    bool string(string_t& value) override { return reader_.string(value); }
    bool binary(binary_t&) override { return false; } // JSON text has none
    bool start_object(std::size_t) override { return deeper() && reader_.startObject(); }
    bool key(string_t& value) override { return reader_.key(value); }
    bool end_object() override { return --depth_, reader_.endObject(); }
    bool start_array(std::size_t) override { return deeper() && reader_.startArray(); }
    bool end_array() override { return --depth_, reader_.endArray(); }
    bool parse_error(std::size_t position, const std::string& lastRead,
                     const nlohmann::detail::exception& error) override {
        // A number past a double's range is no syntax error: the reader names its key.
        if (error.id == 406) {
            reader_.overflow(lastRead);
            return false;
        }
        stopAt(position, SyntaxProblem(error.what(), lastRead));
        return false;
    }

    /// Where the text stopped being JSON: line and column (bytes), both from 1, and why;
    /// nothing when it did not, or the reader stopped it.
    std::optional<std::pair<std::pair<std::size_t, std::size_t>, std::string>> syntaxError;

private:
    bool deeper() {
        if (++depth_ <= kDeepestJson) return true;
        stopAt(OpeningAtDepth(text_, depth_) + 1, "the document is nested too deeply");
        return false;
    }
    // `position` counts the bytes read, the offending one included.
    void stopAt(std::size_t position, std::string why) {
        const std::string_view before = text_.substr(0, position == 0 ? 0 : position - 1);
        const std::size_t lineStart = before.rfind('\n');
        const std::size_t line =
            1 + static_cast<std::size_t>(std::count(before.begin(), before.end(), '\n'));
        const std::size_t column = lineStart == std::string_view::npos
                                       ? std::max<std::size_t>(position, 1)
                                       : position - (lineStart + 1);
        syntaxError.emplace(std::make_pair(line, column), std::move(why));
    }

    std::string_view text_;
    JsonLibraryReader& reader_;
    int depth_ = 0;
};

} // namespace

ImportResult importJson(std::string_view text, Library& library) {
    library.clear();
    ImportResult result;
    JsonLibraryReader reader(library, result);
    JsonEvents events(text, reader);
    nlohmann::json::sax_parse(text.data(), text.data() + text.size(), &events);
    if (events.syntaxError && result.status == ImportResult::Status::Imported) {
        const auto& [where, why] = *events.syntaxError;
        result.stop(ImportResult::Status::Refused, static_cast<int>(where.first),
                    "line " + std::to_string(where.first) + ", column " +
                        std::to_string(where.second),
                    why, library);
    }
    if (result.imported()) result.materials = library.materialCount();
    return result;
}

} // namespace mb
