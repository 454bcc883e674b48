#include "Recovery.h"

#include "AppState.h"
#include "LibraryFile.h"
#include "RecoveryStore.h"
#include "TextUtil.h"

#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

namespace mb {

namespace {

constexpr std::string_view kMagic = "VELTRA/M recovery copy 1";

std::string Escaped(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '\n')
            out += "\\n";
        else
            out += c;
    }
    return out;
}

std::optional<std::string> Unescaped(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        if (++i == text.size()) return std::nullopt;
        if (text[i] == '\\')
            out += '\\';
        else if (text[i] == 'n')
            out += '\n';
        else
            return std::nullopt;
    }
    return out;
}

// The next line of `rest` without its line feed; nullopt at the end of the text.
std::optional<std::string_view> NextLine(std::string_view& rest) {
    const std::size_t end = rest.find('\n');
    if (end == std::string_view::npos) return std::nullopt;
    const std::string_view line = rest.substr(0, end);
    rest.remove_prefix(end + 1);
    return line;
}

// "key value" with the key as given; nullopt for another key.
std::optional<std::string_view> Field(std::string_view line, std::string_view key) {
    if (line.size() < key.size() + 1 || line.substr(0, key.size()) != key ||
        line[key.size()] != ' ')
        return std::nullopt;
    return line.substr(key.size() + 1);
}

} // namespace

std::string recoveryHeaderText(const RecoveryHeader& header) {
    std::string text(kMagic);
    text += "\nfile " + Escaped(header.fileName);
    text += header.untitled ? "\nuntitled 1" : "\nuntitled 0";
    text += "\nstamp " + (header.stamp ? header.stamp->toText() : std::string());
    text += "\n\n";
    return text;
}

std::optional<RecoveryCopy> parseRecoveryCopy(std::string_view content) {
    std::string_view rest = content;
    const auto magic = NextLine(rest);
    const auto file = NextLine(rest);
    const auto untitled = NextLine(rest);
    const auto stamp = NextLine(rest);
    const auto blank = NextLine(rest);
    if (!magic || *magic != kMagic || !file || !untitled || !stamp || !blank || !blank->empty())
        return std::nullopt;
    const auto name = Field(*file, "file");
    const auto flag = Field(*untitled, "untitled");
    const auto stampText = Field(*stamp, "stamp");
    if (!name || !flag || (*flag != "0" && *flag != "1") || !stampText) return std::nullopt;
    RecoveryCopy copy;
    const auto fileName = Unescaped(*name);
    if (!fileName) return std::nullopt;
    copy.header.fileName = *fileName;
    copy.header.untitled = *flag == "1";
    if (!stampText->empty()) {
        copy.header.stamp = FileStamp::fromText(*stampText);
        if (!copy.header.stamp) return std::nullopt;
    }
    copy.libraryText = rest;
    return copy;
}

void formatLibraryInto(Library& library, LargeText& out) {
    // Unlike saving, a copy gives no material a name code: a rename before the save would
    // otherwise leave the old name's code.
    formatLibraryCopy(library, groupByCategory(library), out);
}

namespace {

// Hashes a text in blocks of a fixed size, wherever its pieces end, so a text formatted in
// pieces and the same text whole give the same digest.
class Digester {
public:
    void add(std::string_view piece) {
        digest_.size += piece.size();
        while (!piece.empty()) {
            if (block_.empty() && piece.size() >= kBlock) {
                mix(piece.substr(0, kBlock));
                piece.remove_prefix(kBlock);
                continue;
            }
            const std::size_t take = std::min(kBlock - block_.size(), piece.size());
            block_.append(piece.substr(0, take));
            piece.remove_prefix(take);
            if (block_.size() == kBlock) {
                mix(block_);
                block_.clear();
            }
        }
    }
    LibraryDigest finish() {
        if (!block_.empty()) mix(block_);
        block_.clear();
        return digest_;
    }

private:
    static constexpr std::size_t kBlock = 64 * 1024;
    void mix(std::string_view block) {
        const std::size_t h = std::hash<std::string_view>{}(block);
        digest_.hash = (digest_.hash ^ h) * 0x100000001b3ULL + block.size();
    }
    LibraryDigest digest_;
    std::string block_;
};

} // namespace

LibraryDigest digestLibrary(Library& library) {
    Digester digester;
    emitLibraryText(library, groupByCategory(library),
                    [&digester](std::string_view piece) { digester.add(piece); });
    return digester.finish();
}

LibraryDigest digestText(std::string_view text) {
    Digester digester;
    digester.add(text);
    return digester.finish();
}

Recovery::Recovery(AppState& state, RecoveryStore& store)
    : state_(state), store_(store),
      listener_(state.history.addListener([this](const LibraryChange&) { ++edits_; })) {}

Recovery::~Recovery() {
    state_.history.removeListener(listener_);
}

RecoveryHeader Recovery::currentHeader() const {
    return {state_.doc.CurrentFileName, state_.doc.IsUntitled, state_.doc.DiskStamp};
}

void Recovery::markSaved() {
    markSaved(digestLibrary(state_.library), edits_);
}

void Recovery::markSaved(const LibraryDigest& saved, std::uint64_t editsSaved) {
    saved_ = saved;
    copiedEdits_ = editsSaved;
    discard();
}

void Recovery::markUnsaved() {
    saved_.reset();
    ++edits_;
}

void Recovery::check() {
    if (!state_.doc.DocumentOpen) return;
    const RecoveryHeader header = currentHeader();
    // Every change to the library is announced by its history: without one since the
    // last copy or save, the store holds what it should and the library is not walked.
    if (edits_ == copiedEdits_ && (!copyExists_ || header == lastHeader_)) return;
    // The text goes into the memory the library's saves use, touched already, and comes
    // back to them once the store's worker has written it. Without it (no edit has made
    // it yet, or a save holds it), into a block of the exact size that only the worker
    // holds and gives back to the system once written: kept here for the next copy, it
    // would cost as much as the library itself for as long as the library stays open.
    std::shared_ptr<const LargeText> body =
        state_.textRoom.lend([this](LargeText& text) { formatLibraryInto(state_.library, text); });
    // Edited back to what the disk holds, the library needs no copy. Telling that takes a
    // walk over the whole text, which the worker makes.
    RecoveryStore::CopyWanted wanted;
    if (saved_)
        wanted = [saved = *saved_](std::string_view text) { return digestText(text) != saved; };
    store_.writeLater(recoveryHeaderText(header), std::move(body), std::move(wanted));
    copiedEdits_ = edits_;
    lastHeader_ = header;
    copyExists_ = true;
}

std::optional<std::string> Recovery::writeNow(std::string& reason) {
    LargeText text;
    formatLibraryInto(state_.library, text);
    const RecoveryHeader header = currentHeader();
    const auto path = store_.writeNow(recoveryHeaderText(header), text, reason);
    if (path) {
        // It supersedes any copy handed to the worker before.
        copyExists_ = true;
        copiedEdits_ = edits_;
        lastHeader_ = header;
    }
    return path;
}

void Recovery::discard() {
    if (!copyExists_) return;
    store_.discard();
    copyExists_ = false;
}

} // namespace mb
