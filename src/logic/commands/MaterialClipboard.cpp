#include "MaterialClipboard.h"

#include "Clipboard.h"
#include "Library.h"
#include "LibraryFile.h"
#include "LibraryTextRules.h"
#include "NumberText.h"
#include "PropertyCatalogue.h"
#include "TextUtil.h"

#include <unistd.h>

#include <charconv>
#include <chrono>
#include <fstream>
#include <random>

namespace mb {

namespace {

constexpr std::string_view kOriginField = "Origin: ";
constexpr std::string_view kBootField = "Boot: ";
constexpr std::string_view kCopiedField = "Copied: ";
constexpr int kHeaderLines = 4;

std::string Decimal(long long n) {
    char buf[24];
    const auto res = std::to_chars(buf, buf + sizeof buf, n);
    return std::string(buf, res.ptr);
}

std::string LineName(std::size_t index) {
    return "line " + Decimal(static_cast<long long>(index + 1));
}

// Lines end in CR LF as the library writer ends them; a bare LF is taken as well, as some
// programs that pass the clipboard on rewrite line ends.
std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t lf = text.find('\n');
        std::string_view line = text.substr(0, lf);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        if (lf == std::string_view::npos) break;
        text.remove_prefix(lf + 1);
    }
    return lines;
}

std::optional<std::string_view> Field(std::string_view line, std::string_view name) {
    if (line.substr(0, name.size()) != name) return std::nullopt;
    return line.substr(name.size());
}

// A text from the clipboard, fit to be quoted in a message.
std::string Quoted(std::string_view text) {
    constexpr std::size_t kShown = 16;
    std::string shown = replaceControlCharacters(text.substr(0, kShown));
    if (text.size() > kShown) shown += "...";
    return "\"" + shown + "\"";
}

// What a property line written by the library writer holds where the reader takes its SI
// value: blanks, then the 11-character number text.
bool HasSIValue(std::string_view line) {
    const std::string_view field = trimLeftBlanks(mid(line, 68, 79));
    return isNumericText(trimRightBlanks(field.substr(0, kNumberTextWidth)), ".");
}

// The reason a block's line cannot be what the writer writes there, "" when it can.
std::string PropertyLineFault(std::string_view line) {
    const std::string_view code = line.substr(0, line.find(' '));
    if (code.empty()) return "holds no property code.";
    const int slot =
        PropertyCatalogue::instance().findTolerant(code == "C" ? std::string_view("C (Cp)") : code);
    if (slot < 0) return "names no property: " + Quoted(code) + ".";
    if (!HasSIValue(line)) return "holds no SI value that can be read.";
    return "";
}

std::string ReadBootId() {
    std::ifstream in("/proc/sys/kernel/random/boot_id");
    std::string id;
    std::getline(in, id);
    return std::string(trimBlanks(id));
}

std::int64_t MonotonicNow() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// The process id tells a person which program copied; the random part keeps two
// application objects of one process, or a later process that got the same id, apart.
std::string MakeOrigin() {
    std::random_device random;
    const std::uint64_t nonce = (std::uint64_t{random()} << 32) ^ random();
    char hex[17];
    const auto end = std::to_chars(hex, hex + 16, nonce, 16).ptr;
    return Decimal(getpid()) + "-" + std::string(hex, end);
}

} // namespace

std::string materialClipText(const ClipStamp& stamp, std::string_view block) {
    std::string text(kMaterialClipMagic);
    text.append("\r\n").append(kOriginField).append(stamp.origin);
    text.append("\r\n").append(kBootField).append(stamp.boot);
    text.append("\r\n").append(kCopiedField).append(Decimal(stamp.time)).append("\r\n");
    text.append(block);
    return text;
}

std::optional<ClipStamp> readClipStamp(std::string_view clip) {
    const std::vector<std::string_view> lines = SplitLines(clip.substr(0, kMaxMaterialClipSize));
    if (lines.size() < kHeaderLines || lines[0] != kMaterialClipMagic) return std::nullopt;
    const auto origin = Field(lines[1], kOriginField);
    const auto boot = Field(lines[2], kBootField);
    const auto copied = Field(lines[3], kCopiedField);
    if (!origin || origin->empty() || !boot || !copied) return std::nullopt;
    ClipStamp stamp{std::string(*origin), std::string(*boot), 0};
    const char* end = copied->data() + copied->size();
    const auto res = std::from_chars(copied->data(), end, stamp.time);
    if (res.ec != std::errc() || res.ptr != end) return std::nullopt;
    return stamp;
}

std::variant<ClipMaterial, std::string> readMaterialClip(std::string_view clip) {
    using namespace std::string_literals;
    if (clip.size() > kMaxMaterialClipSize)
        return "it is larger than 64 KiB, far more than any material takes."s;
    const std::optional<ClipStamp> stamp = readClipStamp(clip);
    if (!stamp)
        return "it does not begin with the header this program writes (\""s + kMaterialClipMagic +
               "\", then its origin, boot and time of copying).";
    const std::vector<std::string_view> lines = SplitLines(clip);

    // The material line: name code, name and description in the columns the reader takes
    // them from, each field closed by its colon.
    const std::size_t first = kHeaderLines;
    const std::string_view head = first < lines.size() ? lines[first] : std::string_view();
    if (!startsWithNoCase(head, "MATL:") || head.size() < 51 || head[18] != ':' || head[50] != ':')
        return LineName(first) +
               " is not a material line (\"MATL:\", the name code, the name and the description "
               "in their columns).";
    std::size_t end = first + 1;
    for (; end < lines.size() && !startsWithNoCase(lines[end], "ENDMATL"); ++end)
        if (std::string fault = PropertyLineFault(lines[end]); !fault.empty())
            return LineName(end) + " " + fault;
    if (end == lines.size()) return "the material's block ends without \"ENDMATL\"."s;
    if (trimRightBlanks(lines[end]).size() != 7)
        return LineName(end) + " is not \"ENDMATL\": " + Quoted(lines[end]) + ".";
    for (std::size_t i = end + 1; i < lines.size(); ++i)
        if (!lines[i].empty()) return LineName(i) + " follows the end of the material's block.";

    // Every line is one the reader reads as a file's: the values are taken by the reader
    // itself, so a pasted material holds what opening a saved library would give.
    std::string text = "MATTYPE:Clipboard\r\n";
    for (std::size_t i = first; i <= end; ++i)
        text.append(lines[i]).append("\r\n");
    text += "ENDTYPE\r\n";
    Library scratch;
    readLibraryText(text, scratch, ".");
    if (scratch.materialCount() != 1) return "its material cannot be read."s;

    ClipMaterial material{*stamp, std::string(trimBlanks(head.substr(19, 31))),
                          std::string(head.substr(5, 13)), std::string(head.substr(51)),
                          clsMaterial()};
    material.record.CopyAllProperties(scratch.material(0));
    return material;
}

std::string tabSeparatedRows(const std::vector<std::array<std::string, 4>>& rows) {
    std::string text;
    for (const auto& row : rows) {
        for (std::size_t c = 0; c < row.size(); ++c) {
            if (c > 0) text += '\t';
            text += trimBlanks(replaceControlCharacters(row[c]));
        }
        text += '\n';
    }
    return text;
}

MaterialClipboard::MaterialClipboard(Clipboard& clipboard, std::function<std::int64_t()> now,
                                     std::optional<std::string> boot)
    : clipboard_(clipboard),
      now_(now ? std::move(now) : std::function<std::int64_t()>(MonotonicNow)),
      origin_(MakeOrigin()), boot_(boot ? std::move(*boot) : ReadBootId()) {}

ClipStamp MaterialClipboard::stampNow() const {
    return ClipStamp{origin_, boot_, now_()};
}

void MaterialClipboard::putMaterial(std::string_view block, const std::string& text) {
    lastCopy_ = stampNow();
    clipboard_.put({{kMaterialMimeType, materialClipText(*lastCopy_, block)}}, text);
}

void MaterialClipboard::noteCopy() {
    lastCopy_ = stampNow();
}

std::optional<MaterialClipboard::Foreign> MaterialClipboard::foreignMaterial() const {
    const std::optional<std::string> clip = clipboard_.get(kMaterialMimeType);
    if (!clip) return std::nullopt;
    const std::optional<ClipStamp> stamp = readClipStamp(*clip);
    if (stamp) {
        if (stamp->origin == origin_) return std::nullopt;
        // A copy from another boot or machine has no time to compare with: it is older
        // than anything copied here.
        if (lastCopy_ && (stamp->boot != lastCopy_->boot || stamp->time <= lastCopy_->time))
            return std::nullopt;
    } else if (lastCopy_) {
        // Without a readable time the clipboard cannot be shown to be newer.
        return std::nullopt;
    }
    return Foreign{readMaterialClip(*clip)};
}

} // namespace mb
