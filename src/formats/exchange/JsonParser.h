#pragma once

// A strict JSON parser (RFC 8259) that hands what it meets to a handler as it goes, so a
// large document is read without being held twice. Numbers keep the text they were
// written with; strings arrive as UTF-8 with their escapes resolved.

#include <cstddef>
#include <string>
#include <string_view>

namespace mb {

/// What the parser calls. Each returns false to stop the parse.
class JsonHandler {
public:
    virtual ~JsonHandler() = default;
    virtual bool null() = 0;
    virtual bool boolean(bool value) = 0;
    /// `written` is the number as the document has it (valid JSON number syntax).
    virtual bool number(std::string_view written) = 0;
    virtual bool string(std::string& utf8) = 0;
    virtual bool startObject() = 0;
    virtual bool key(std::string& utf8) = 0;
    virtual bool endObject() = 0;
    virtual bool startArray() = 0;
    virtual bool endArray() = 0;
};

/// Where the text stopped being JSON.
struct JsonSyntaxError {
    std::size_t line = 0;   ///< from 1; 0 when there is no error
    std::size_t column = 0; ///< in bytes, from 1
    std::string what;       ///< a sentence
};

/// Nesting deeper than this is refused: no library needs it, and the parser recurses.
inline constexpr int kDeepestJson = 64;

/// Parses `text` into `handler`. Returns false when the handler stopped or the text is not
/// one JSON value (with blanks around it); `error` then says where, unless the handler
/// stopped it.
bool ParseJson(std::string_view text, JsonHandler& handler, JsonSyntaxError& error);

} // namespace mb
