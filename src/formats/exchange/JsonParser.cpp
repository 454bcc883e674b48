#include "JsonParser.h"

#include "ExchangeText.h"

#include <cstdint>

namespace mb {

namespace {

class Parser {
public:
    Parser(std::string_view text, JsonHandler& handler) : text_(text), handler_(handler) {}

    bool document(JsonSyntaxError& error) {
        blanks();
        bool ok = value(0);
        if (ok) {
            blanks();
            if (at_ < text_.size()) ok = fail("the text goes on after the document.");
        }
        if (!ok && !what_.empty()) {
            error.line = 1;
            std::size_t lineStart = 0;
            for (std::size_t i = 0; i < failedAt_ && i < text_.size(); ++i)
                if (text_[i] == '\n') ++error.line, lineStart = i + 1;
            error.column = failedAt_ - lineStart + 1;
            error.what = what_;
        }
        return ok;
    }

private:
    bool fail(std::string what) {
        what_ = std::move(what);
        failedAt_ = at_;
        return false;
    }
    bool more() const { return at_ < text_.size(); }
    char peek() const { return text_[at_]; }

    void blanks() {
        while (more() && (peek() == ' ' || peek() == '\t' || peek() == '\n' || peek() == '\r'))
            ++at_;
    }

    bool literal(std::string_view word) {
        if (text_.substr(at_, word.size()) != word) return fail("a value was expected.");
        at_ += word.size();
        return true;
    }

    bool value(int depth) {
        if (!more()) return fail("the text ends where a value was expected.");
        switch (peek()) {
        case '{':
            return object(depth + 1);
        case '[':
            return array(depth + 1);
        case '"': {
            if (!string(scratch_)) return false;
            return handler_.string(scratch_);
        }
        case 't':
            return literal("true") && handler_.boolean(true);
        case 'f':
            return literal("false") && handler_.boolean(false);
        case 'n':
            return literal("null") && handler_.null();
        default:
            return number();
        }
    }

    bool object(int depth) {
        if (depth > kDeepestJson) return fail("the document is nested too deeply.");
        ++at_;
        if (!handler_.startObject()) return false;
        blanks();
        if (more() && peek() == '}') {
            ++at_;
            return handler_.endObject();
        }
        for (;;) {
            blanks();
            if (!more() || peek() != '"') return fail("a key in double quotes was expected.");
            if (!string(scratch_) || !handler_.key(scratch_)) return false;
            blanks();
            if (!more() || peek() != ':') return fail("a \":\" was expected after the key.");
            ++at_;
            blanks();
            if (!value(depth)) return false;
            blanks();
            if (!more()) return fail("the text ends inside an object.");
            if (peek() == '}') {
                ++at_;
                return handler_.endObject();
            }
            if (peek() != ',') return fail("a \",\" or \"}\" was expected.");
            ++at_;
        }
    }

    bool array(int depth) {
        if (depth > kDeepestJson) return fail("the document is nested too deeply.");
        ++at_;
        if (!handler_.startArray()) return false;
        blanks();
        if (more() && peek() == ']') {
            ++at_;
            return handler_.endArray();
        }
        for (;;) {
            blanks();
            if (!value(depth)) return false;
            blanks();
            if (!more()) return fail("the text ends inside an array.");
            if (peek() == ']') {
                ++at_;
                return handler_.endArray();
            }
            if (peek() != ',') return fail("a \",\" or \"]\" was expected.");
            ++at_;
        }
    }

    static bool IsDigit(char c) { return c >= '0' && c <= '9'; }

    bool digits() {
        if (!more() || !IsDigit(peek())) return false;
        while (more() && IsDigit(peek()))
            ++at_;
        return true;
    }

    bool number() {
        const std::size_t start = at_;
        if (more() && peek() == '-') ++at_;
        if (more() && peek() == '0') {
            ++at_;
        } else if (!digits()) {
            at_ = start;
            return fail("a value was expected.");
        }
        if (more() && peek() == '.') {
            ++at_;
            if (!digits()) return fail("a digit was expected after the decimal point.");
        }
        if (more() && (peek() == 'e' || peek() == 'E')) {
            ++at_;
            if (more() && (peek() == '+' || peek() == '-')) ++at_;
            if (!digits()) return fail("a digit was expected in the exponent.");
        }
        return handler_.number(text_.substr(start, at_ - start));
    }

    static int HexDigit(char c) {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    }

    bool hex4(std::uint32_t& code) {
        code = 0;
        for (int k = 0; k < 4; ++k, ++at_) {
            const int d = more() ? HexDigit(peek()) : -1;
            if (d < 0) return fail("four hexadecimal digits were expected after \\u.");
            code = code * 16 + static_cast<std::uint32_t>(d);
        }
        return true;
    }

    static void AppendUtf8(std::string& out, std::uint32_t code) {
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (code >> 18));
            out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }

    bool escape(std::string& out) {
        ++at_; // the backslash
        if (!more()) return fail("the text ends inside a string.");
        const char c = peek();
        ++at_;
        switch (c) {
        case '"':
        case '\\':
        case '/':
            out += c;
            return true;
        case 'b':
            out += '\b';
            return true;
        case 'f':
            out += '\f';
            return true;
        case 'n':
            out += '\n';
            return true;
        case 'r':
            out += '\r';
            return true;
        case 't':
            out += '\t';
            return true;
        case 'u':
            break;
        default:
            --at_;
            return fail("\\" + std::string(1, c) + " is not an escape JSON has.");
        }
        std::uint32_t code = 0;
        if (!hex4(code)) return false;
        if (code >= 0xDC00 && code <= 0xDFFF)
            return fail("a \\u escape holds the second half of a pair alone.");
        if (code >= 0xD800 && code <= 0xDBFF) {
            std::uint32_t low = 0;
            if (text_.substr(at_, 2) != "\\u")
                return fail("a \\u escape holds the first half of a pair alone.");
            at_ += 2;
            if (!hex4(low)) return false;
            if (low < 0xDC00 || low > 0xDFFF)
                return fail("a \\u escape holds the first half of a pair alone.");
            code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
        }
        AppendUtf8(out, code);
        return true;
    }

    bool string(std::string& out) {
        out.clear();
        ++at_; // the opening quote
        for (;;) {
            // Plain runs are copied whole; only quotes, escapes and control bytes stop them.
            const std::size_t start = at_;
            bool wide = false;
            while (more()) {
                const auto c = static_cast<unsigned char>(peek());
                if (c == '"' || c == '\\' || c < 0x20) break;
                wide = wide || c >= 0x80;
                ++at_;
            }
            const std::string_view run = text_.substr(start, at_ - start);
            if (wide && !IsUtf8(run)) {
                at_ = start;
                return fail("a string holds bytes that are not UTF-8.");
            }
            out.append(run);
            if (!more()) return fail("the text ends inside a string.");
            const char c = peek();
            if (c == '"') {
                ++at_;
                return true;
            }
            if (c != '\\')
                return fail("a string holds a control character; write it as an escape.");
            if (!escape(out)) return false;
        }
    }

    std::string_view text_;
    JsonHandler& handler_;
    std::size_t at_ = 0;
    std::string scratch_;
    std::string what_;
    std::size_t failedAt_ = 0;
};

} // namespace

bool ParseJson(std::string_view text, JsonHandler& handler, JsonSyntaxError& error) {
    error = {};
    return Parser(text, handler).document(error);
}

} // namespace mb
