#include "LibraryFile.h"

#include "FileOps.h"
#include "HelperThread.h"
#include "Library.h"
#include "NumberText.h"
#include "PiecesInOrder.h"
#include "PropertyCatalogue.h"
#include "TextUtil.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

namespace mb {

std::string fileErrorMessage(int errorNumber) {
    switch (errorNumber) {
    case EEXIST:
        return "File already exists.";
    case EMFILE:
    case ENFILE:
        return "Too many files at the same time.";
    case ENXIO:
    case ENODEV:
        return "Device unavailable.";
    case EACCES:
    case EPERM:
    case EROFS:
        return "Permssion denied (write-protect).";
    case ENOMEDIUM:
    case EBUSY:
        return "Disk not ready.";
    case EISDIR:
    case ETXTBSY:
        return "Path - File access error.";
    case ENOENT:
    case ENOTDIR:
        return "Path not found.";
    default:
        return std::strerror(errorNumber);
    }
}

namespace {

// A longer line is cut: no field the reader looks at lies beyond column 146. A category
// name is the exception, as it is kept whole; one this long refuses the file, since a
// category name of this length is not one anybody typed and a cut one would be wrong.
constexpr std::size_t kMaxKeptLine = 64 * 1024;

std::string Decimal(long long n) {
    char buf[24];
    const auto res = std::to_chars(buf, buf + sizeof buf, n);
    return std::string(buf, res.ptr);
}

class LibraryParser {
public:
    LibraryParser(Library& library, std::string_view decimalSeparator)
        : library_(library), separator_(decimalSeparator) {}

    /// A parser for the rest of a file from a material line on: what line 1 must be is
    /// not its concern, and the category its first materials belong to is not known to
    /// it (materialsBeforeCategory() says how many took "").
    struct Continuation {};
    LibraryParser(Library& library, std::string_view decimalSeparator, Continuation)
        : library_(library), separator_(decimalSeparator), lineNumber_(1), categoryKnown_(false) {}

    /// False once the file has been rejected; no more lines are wanted. `cut` says the
    /// line went on beyond kMaxKeptLine.
    bool line(std::string_view text, bool cut) {
        ++lineNumber_;
        // Nearly every line is a property line, and no keyword starts as its code can.
        if (lineNumber_ > 1 && !text.empty() && !IsKeywordStart(text.front())) {
            property(text);
            return true;
        }
        if (lineNumber_ == 1 && !startsWithNoCase(text, "MATTYPE")) {
            rejected_ = true;
            return false;
        }
        if (startsWithNoCase(text, "MATTYPE")) {
            if (cut) {
                refusal_ = "line " + Decimal(lineNumber_) + " is longer than " +
                           Decimal(static_cast<long long>(kMaxKeptLine)) +
                           " characters: its category name cannot be read whole.";
                return false;
            }
            category(text);
        } else if (startsWithNoCase(text, "MATL"))
            material(text);
        else if (startsWithNoCase(text, "ENDMATL"))
            return true;
        else
            property(text);
        return true;
    }

    bool rejected() const { return rejected_ || lineNumber_ == 0; }
    /// Why the file cannot be read whole ("" when it can).
    const std::string& refusal() const { return refusal_; }
    int dropped() const { return dropped_; }
    /// The category the next material would belong to.
    const std::string& category() const { return category_; }
    int materialsBeforeCategory() const { return materialsBeforeCategory_; }

private:
    static bool IsKeywordStart(char c) { return c == 'M' || c == 'm' || c == 'E' || c == 'e'; }

    void category(std::string_view text) {
        const std::string_view trimmed = trimRightBlanks(text);
        if (trimmed.size() < 8) return; // the name cannot be cut: keep the previous category
        std::string name(trimmed.substr(8));
        if (name.empty()) name = "No Category";
        category_ = name + "    ";
        categoryKnown_ = true;
    }

    void material(std::string_view text) {
        if (library_.isFull()) {
            ++dropped_;
            current_ = -1;
            return;
        }
        if (!categoryKnown_) ++materialsBeforeCategory_;
        current_ = library_.addMaterial(category_, mid(text, 6, 13),
                                        std::string(trimBlanks(mid(text, 20, 31))) + "  ",
                                        mid(text, 52, 50));
        previousSlot_ = -1;
    }

    void property(std::string_view text) {
        if (current_ < 0) return;
        const std::string_view code = text.substr(0, std::min(text.find(' '), text.size()));
        // Blank lines never occur in written files; storing them would invent a property.
        if (code.empty()) return;
        const auto value = ParseNumberText(mid(text, 68, 79), separator_);
        if (!value) return; // a number beyond a double's range: the step fails
        // What CopyProperty does to both records, with the slot looked up once: this runs
        // for every line of the file.
        const int slot = PropertyCatalogue::instance().findTolerant(
            code == "C" ? std::string_view("C (Cp)") : code, previousSlot_ + 1);
        if (slot < 0) return;
        previousSlot_ = slot;
        library_.setOriginalValue(current_, slot, *value);
    }

    Library& library_;
    std::string_view separator_;
    long long lineNumber_ = 0;
    std::string category_;
    int current_ = -1;
    int previousSlot_ = -1;
    int dropped_ = 0;
    bool rejected_ = false;
    std::string refusal_;
    bool categoryKnown_ = true;
    int materialsBeforeCategory_ = 0;
};

// Splits a byte stream into lines ending in CR LF, LF or CR, fed chunk by chunk.
class LineSplitter {
public:
    explicit LineSplitter(LibraryParser& parser) : parser_(parser) {}

    bool feed(std::string_view chunk) {
        // memchr finds the line ends; the next LF is remembered, so a file that ends its
        // lines with CR alone is not scanned to the end of the chunk once per line.
        const char* data = chunk.data();
        const std::size_t size = chunk.size();
        std::size_t start = 0;
        std::size_t nextLF = 0;
        bool lfKnown = false;
        while (start < size) {
            if (!lfKnown || nextLF < start) {
                const void* lf = std::memchr(data + start, '\n', size - start);
                nextLF = lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - data) : size;
                lfKnown = true;
            }
            const void* cr = std::memchr(data + start, '\r', nextLF - start);
            const std::size_t i =
                cr ? static_cast<std::size_t>(static_cast<const char*>(cr) - data) : nextLF;
            if (i == size) break;
            const char c = data[i];
            if (c == '\n' && afterCR_ && i == start && partial_.empty() && !pendingLine_) {
                afterCR_ = false;
                start = i + 1;
                continue;
            }
            if (!emit(chunk.substr(start, i - start))) return false;
            afterCR_ = c == '\r';
            start = i + 1;
        }
        if (start < size) {
            append(chunk.substr(start));
            pendingLine_ = true;
            afterCR_ = false;
        }
        return true;
    }

    bool finish() {
        if (!pendingLine_) return true;
        return emit({});
    }

private:
    void append(std::string_view piece) {
        if (partial_.size() + piece.size() > kMaxKeptLine) partialCut_ = true;
        if (partial_.size() < kMaxKeptLine)
            partial_.append(piece.substr(0, kMaxKeptLine - partial_.size()));
    }

    bool emit(std::string_view tail) {
        bool wanted;
        if (pendingLine_) {
            append(tail);
            wanted = parser_.line(partial_, partialCut_);
            partial_.clear();
            partialCut_ = false;
            pendingLine_ = false;
        } else {
            wanted = parser_.line(tail.substr(0, kMaxKeptLine), tail.size() > kMaxKeptLine);
        }
        return wanted;
    }

    LibraryParser& parser_;
    std::string partial_;
    bool partialCut_ = false;
    bool pendingLine_ = false;
    bool afterCR_ = false;
};

ReadResult CannotRead(std::string message) {
    ReadResult r;
    r.status = ReadResult::Status::CannotOpen;
    r.message = std::move(message);
    return r;
}

ReadResult Finish(const LibraryParser& parser, Library& library) {
    // A library read in part would be saved back in part.
    if (!parser.refusal().empty()) {
        library.clear();
        return CannotRead(parser.refusal());
    }
    ReadResult result;
    if (parser.rejected()) {
        library.clear();
        result.status = ReadResult::Status::NotALibrary;
        return result;
    }
    result.droppedMaterials = parser.dropped();
    return result;
}

} // namespace

ReadResult readLibraryText(std::string_view text, Library& library,
                           std::string_view decimalSeparator) {
    library.clear();
    LibraryParser parser(library, decimalSeparator);
    LineSplitter splitter(parser);
    if (splitter.feed(text)) splitter.finish();
    return Finish(parser, library);
}

namespace {

// Below this a file is read on one thread: starting a second costs more than it saves.
constexpr long long kReadInTwoFrom = 1024 * 1024;

bool StartsMaterialLine(const char* p) {
    return (p[0] == 'M' || p[0] == 'm') && (p[1] == 'A' || p[1] == 'a') &&
           (p[2] == 'T' || p[2] == 't') && (p[3] == 'L' || p[3] == 'l');
}

// Where the second half of a file starts: the first material line at or after its
// middle, found within one read chunk, or -1. From a material line on, reading needs
// nothing from the lines before but the category, which is put right afterwards.
long long SecondHalfStart(const InputFile& in) {
    const long long middle = in.size() / 2;
    std::unique_ptr<char[]> window(new char[kReadChunk]);
    int error = 0;
    const long got = in.readAt(window.get(), kReadChunk, middle, error);
    for (long i = 0; i + 4 < got; ++i)
        if (window[static_cast<std::size_t>(i)] == '\n' && StartsMaterialLine(window.get() + i + 1))
            return middle + i + 1;
    return -1;
}

// Feeds bytes [from, to) of the file to `splitter` (to -1: up to the end), calling
// `afterChunk` after each chunk. 0 or an errno.
int FeedPart(const InputFile& in, long long from, long long to, LineSplitter& splitter,
             const std::function<void()>& afterChunk = {}) {
    std::unique_ptr<char[]> buffer(new char[kReadChunk]);
    for (long long offset = from; to < 0 || offset < to;) {
        const std::size_t want =
            to < 0 ? kReadChunk
                   : static_cast<std::size_t>(std::min<long long>(kReadChunk, to - offset));
        int error = 0;
        const long got = in.readAt(buffer.get(), want, offset, error);
        if (got < 0) return error;
        if (got == 0) break;
        offset += got;
        if (!splitter.feed({buffer.get(), static_cast<std::size_t>(got)})) return 0;
        if (afterChunk) afterChunk();
    }
    splitter.finish();
    return 0;
}

// Reads a large file as two halves, the second on a helper thread: number texts are most
// of a reading. nullopt where the halves cannot tell what one reading from the start
// would (the second half refused a line, or the halves hold more materials than a library
// can): the caller then reads it from the start.
std::optional<ReadResult> ReadInTwo(const InputFile& in, Library& library,
                                    std::string_view decimalSeparator) {
    const long long split = SecondHalfStart(in);
    if (split < 0) return std::nullopt;
    Library second;
    LibraryParser secondParser(second, decimalSeparator, LibraryParser::Continuation{});
    int secondError = 0;
    HelperThread helper([&] {
        LineSplitter splitter(secondParser);
        secondError = FeedPart(in, split, -1, splitter);
    });
    if (!helper.started()) return std::nullopt;
    library.clear();
    LibraryParser parser(library, decimalSeparator);
    LineSplitter splitter(parser);
    const int error = FeedPart(in, 0, split, splitter);
    helper.join();
    if (helper.failure()) std::rethrow_exception(helper.failure());
    if (error != 0) {
        library.clear();
        return CannotRead(readErrorMessage(error));
    }
    // Rejected at line 1 or refused on the way: the first half decides it alone.
    if (parser.rejected() || !parser.refusal().empty()) return Finish(parser, library);
    if (secondError != 0) {
        library.clear();
        return CannotRead(readErrorMessage(secondError));
    }
    // A refused line is numbered from the start of the file.
    if (!secondParser.refusal().empty()) return std::nullopt;
    for (int i = 0; i < secondParser.materialsBeforeCategory(); ++i)
        second.setCategory(i, parser.category());
    // Materials past the limit are counted over the whole file.
    if (!library.appendMaterialsOf(second)) return std::nullopt;
    return Finish(parser, library);
}

ReadResult ReadOpenFile(const InputFile& in, Library& library, std::string_view decimalSeparator) {
    if (in.size() >= kReadInTwoFrom && HelperThread::pays())
        if (std::optional<ReadResult> result = ReadInTwo(in, library, decimalSeparator))
            return *result;
    library.clear();
    LibraryParser parser(library, decimalSeparator);
    LineSplitter splitter(parser);
    if (const int error = FeedPart(in, 0, -1, splitter); error != 0) {
        // A library read in part would be saved back in part.
        library.clear();
        return CannotRead(readErrorMessage(error));
    }
    return Finish(parser, library);
}

} // namespace

ReadResult ReadLibraryFile(const std::string& fileName, Library& library,
                           std::string_view decimalSeparator) {
    InputFile in(fileName);
    if (!in.ok()) return CannotRead(in.reason());
    return ReadOpenFile(in, library, decimalSeparator);
}

CategoryGrouping groupByCategory(const Library& library) {
    CategoryGrouping g;
    const int count = library.materialCount();
    g.categoryOfMaterial.assign(static_cast<std::size_t>(std::max(count, 0)), 0);
    for (int i = 0; i < count; ++i) {
        if (g.categoryOfMaterial[i] != 0) continue;
        const std::string_view name = trimBlanks(library.entry(i).Category);
        g.names.emplace_back(name);
        const int position = static_cast<int>(g.names.size());
        for (int j = i; j < count; ++j)
            if (g.categoryOfMaterial[j] == 0 &&
                equalsNoCase(trimBlanks(library.entry(j).Category), name))
                g.categoryOfMaterial[j] = position;
    }
    return g;
}

namespace {

// The lines around each category's materials.
constexpr std::string_view kCategoryLineStart = "MATTYPE:", kLineEnd = "\r\n",
                           kCategoryEnd = "ENDTYPE\r\n";

// A piece of the file as a helper thread makes it: about a write chunk of the largest
// library, and few enough pieces that a small library costs no more than one.
constexpr std::size_t kMaterialsPerPiece = 8;

// What the file holds in order, cut into pieces: a category's line, its materials, its
// "ENDTYPE".
class FileItems {
public:
    void category(std::size_t position) { items_.push_back({position, nullptr, false}); }
    void categoryEnd() { items_.push_back({0, nullptr, true}); }
    void material(clsMaterial* record) {
        if (inPiece_ == kMaterialsPerPiece) {
            pieceStarts_.push_back(items_.size());
            inPiece_ = 0;
        }
        items_.push_back({0, record, false});
        ++inPiece_;
    }

    // Hands the text to `sink` piece by piece, formatted on two threads where two cores
    // are there: formatting is most of a save. `sink` returns false to stop; `names` are
    // the categories by position. `keepMadeCodes`: a material saved without a name code
    // keeps the one the file gives it; a copy taken for another purpose must leave the
    // library as it is.
    template <class Sink>
    bool emit(const std::vector<std::string>& names, bool keepMadeCodes, Sink&& sink) const {
        const auto end = [this](std::size_t piece) {
            return piece + 1 < pieceStarts_.size() ? pieceStarts_[piece + 1] : items_.size();
        };
        const auto make = [&](std::size_t piece, std::string& text) {
            for (std::size_t k = pieceStarts_[piece]; k < end(piece); ++k)
                Format(items_[k], names, keepMadeCodes, text);
        };
        return makePiecesInOrder(pieceStarts_.size(), make, [&sink](std::string_view text) {
            return text.empty() || sink(text);
        });
    }

    // All of it onto `text`, on this thread, and the list emptied for more.
    void formatInto(const std::vector<std::string>& names, std::string& text) {
        for (const Item& item : items_)
            Format(item, names, false, text);
        items_.clear();
        pieceStarts_.assign(1, 0);
        inPiece_ = 0;
    }

private:
    struct Item {
        std::size_t category;
        clsMaterial* material;
        bool end;
    };

    static void Format(const Item& item, const std::vector<std::string>& names, bool keepMadeCodes,
                       std::string& text) {
        if (item.material && keepMadeCodes)
            item.material->Save(text);
        else if (item.material)
            item.material->format(text);
        else if (item.end)
            text.append(kCategoryEnd);
        else
            text.append(kCategoryLineStart).append(names[item.category]).append(kLineEnd);
    }

    std::vector<Item> items_;
    std::vector<std::size_t> pieceStarts_{0};
    std::size_t inPiece_ = 0;
};

// Walks the library in file order and hands its text to `sink` as FileItems::emit does.
// Records are looked up here, on one thread: a slot without one gets it made.
template <class Sink>
bool EmitLibrary(Library& library, const CategoryGrouping& grouping, bool keepMadeCodes,
                 Sink&& sink) {
    std::vector<std::vector<int>> members(grouping.names.size());
    for (std::size_t i = 0; i < grouping.categoryOfMaterial.size(); ++i) {
        const int p = grouping.categoryOfMaterial[i];
        if (p >= 1 && static_cast<std::size_t>(p) <= members.size() &&
            static_cast<int>(i) <= library.LastMaterialIndex())
            members[static_cast<std::size_t>(p - 1)].push_back(static_cast<int>(i));
    }
    FileItems items;
    for (std::size_t p = 0; p < members.size(); ++p) {
        items.category(p);
        for (int i : members[p])
            items.material(&library.material(i));
        items.categoryEnd();
    }
    return items.emit(grouping.names, keepMadeCodes, sink);
}

} // namespace

std::size_t libraryTextSize(Library& library, const CategoryGrouping& grouping) {
    std::size_t size = 0;
    for (const std::string& name : grouping.names)
        size += kCategoryLineStart.size() + name.size() + kLineEnd.size() + kCategoryEnd.size();
    for (int i = 0; i <= library.LastMaterialIndex(); ++i)
        size += library.material(i).formattedSize();
    return size;
}

namespace {

template <class Text>
void FormatInto(Library& library, const CategoryGrouping& grouping, Text& out,
                bool keepMadeCodes = true) {
    out.clear();
    // Room for the whole text first: grown piece by piece, the text of the largest library
    // was copied over and over into fresh pages, which took longer than formatting it.
    out.reserve(libraryTextSize(library, grouping));
    EmitLibrary(library, grouping, keepMadeCodes, [&out](std::string_view piece) {
        out += piece;
        return true;
    });
}

} // namespace

void formatLibraryText(Library& library, const CategoryGrouping& grouping, std::string& out) {
    FormatInto(library, grouping, out);
}

void formatLibraryText(Library& library, const CategoryGrouping& grouping, LargeText& out) {
    FormatInto(library, grouping, out);
}

void formatLibraryCopy(Library& library, const CategoryGrouping& grouping, LargeText& out) {
    FormatInto(library, grouping, out, false);
}

void emitLibraryText(Library& library, const CategoryGrouping& grouping,
                     const std::function<void(std::string_view)>& sink) {
    EmitLibrary(library, grouping, false, [&sink](std::string_view piece) {
        sink(piece);
        return true;
    });
}

std::string libraryText(Library& library, const CategoryGrouping& grouping) {
    std::string text;
    formatLibraryText(library, grouping, text);
    return text;
}

WriteResult WriteLibraryFile(const std::string& fileName, Library& library,
                             const CategoryGrouping& grouping, WriteErrorPrompt& prompt) {
    return WriteLibraryFile(fileName, library, grouping, prompt, systemFileOps(),
                            Durability::Flushed);
}

WriteResult WriteLibraryFile(const std::string& fileName, Library& library,
                             const CategoryGrouping& grouping, WriteErrorPrompt& prompt,
                             FileOps& ops, Durability durability) {
    return WriteLibraryFile(fileName, library, grouping, prompt, ops, WriteOptions{durability, {}});
}

WriteResult WriteLibraryFile(const std::string& fileName, Library& library,
                             const CategoryGrouping& grouping, WriteErrorPrompt& prompt,
                             FileOps& ops, const WriteOptions& options) {
    WriteResult result;
    if (fileName.empty()) {
        result.status = WriteResult::Status::NothingToWrite;
        return result;
    }
    // Keep the old file until the new one is complete: a failed save must not cost the
    // user a library.
    SafeFileWriter writer(fileName, ops, options.durability, options.copyFolder);
    if (const int err = writer.open(); err != 0) {
        result.status = WriteResult::Status::Failed;
        result.message = "Cannot save " + fileName + ": " + fileErrorMessage(err);
        return result;
    }
    // Retry repeats the step that failed; Cancel abandons the save.
    auto step = [&prompt](auto&& attempt) {
        for (;;) {
            const int err = attempt();
            if (err == 0) return true;
            if (!prompt.retry(fileErrorMessage(err))) return false;
        }
    };
    const bool written = EmitLibrary(library, grouping, true, [&](std::string_view piece) {
        return step([&] { return writer.append(piece); });
    });
    if (!written || !step([&] { return writer.commit(); })) {
        if (!writer.abandon())
            result.message = "The old content of " + writer.resolvedTarget() +
                             " could not be put back; a complete copy of it is kept in " +
                             writer.keptCopy() + ".";
        result.status = WriteResult::Status::Cancelled;
        return result;
    }
    return result;
}

LibrarySave::LibrarySave(std::string fileName, Library& library, const CategoryGrouping& grouping,
                         FileOps& ops, WriteOptions options, LargeText room)
    : fileName_(std::move(fileName)), text_(std::move(room)),
      writer_(fileName_, ops, options.durability, std::move(options.copyFolder)) {
    formatLibraryText(library, grouping, text_);
}

int LibrarySave::run() {
    if (!opened_) {
        if (const int err = writer_.open(); err != 0) return err;
        opened_ = true;
    }
    while (written_ < text_.size()) {
        const std::string_view piece = std::string_view(text_).substr(written_, kWriteChunk);
        if (const int err = writer_.append(piece); err != 0) return err;
        written_ += piece.size();
    }
    return writer_.commit();
}

std::string LibrarySave::failureMessage(int err) const {
    return opened_ ? fileErrorMessage(err)
                   : "Cannot save " + fileName_ + ": " + fileErrorMessage(err);
}

WriteResult LibrarySave::abandon() {
    WriteResult result;
    result.status = WriteResult::Status::Cancelled;
    if (!writer_.abandon())
        result.message = "The old content of " + writer_.resolvedTarget() +
                         " could not be put back; a complete copy of it is kept in " +
                         writer_.keptCopy() + ".";
    return result;
}

namespace {

// The materials a reading has finished, handed over to the thread that writes them. A
// material is finished once the next one starts, or the file ends; the reading thread
// never touches one again, and the records stay where they are as the library grows.
class FinishedMaterials {
public:
    FinishedMaterials() : records_(static_cast<std::size_t>(kMaxMaterials) + 1) {}

    // Reading thread, after each chunk and once at the end (or when reading stops early).
    void publish(const Library& library, bool end) {
        const int count = library.materialCount();
        const std::size_t finished = static_cast<std::size_t>(end ? count : std::max(count - 1, 0));
        for (std::size_t i = published_; i < finished && i < records_.size(); ++i)
            records_[i] = library.Materials()[i].get();
        published_ = std::max(published_, std::min(finished, records_.size()));
        // The count and the end in one word: the writer waits on it, and an end that came
        // without a new material must wake it too.
        state_.store(published_ * 2 + (end ? 1 : 0), std::memory_order_release);
        state_.notify_one();
    }

    // Writing thread: waits until more than `seen` materials are finished or the reading
    // has ended; false once it has ended with no more than `seen`.
    bool await(std::size_t seen, std::size_t& count) {
        for (;;) {
            const std::size_t state = state_.load(std::memory_order_acquire);
            count = state / 2;
            if (count > seen) return true;
            if (state % 2 == 1) return false;
            state_.wait(state, std::memory_order_acquire);
        }
    }

    clsMaterial* operator[](std::size_t i) const { return records_[i]; }

private:
    std::vector<clsMaterial*> records_;
    std::size_t published_ = 0; // reading thread only
    std::atomic<std::size_t> state_{0};
};

// Writes finished materials as WriteLibraryFile would, for as long as the categories come
// in groups: on a thread of its own while the file is read (run), then on two threads
// for what is left once it has been read (finish). The target is opened with the first
// material, so that a file that is no library leaves it alone.
class StreamingWriter {
public:
    StreamingWriter(SafeFileWriter& writer, FinishedMaterials& finished)
        : writer_(writer), finished_(finished) {}

    void run() {
        std::size_t count = 0;
        FileItems items;
        while (!handOver_.load(std::memory_order_acquire) && finished_.await(done_, count)) {
            for (; done_ < count && !handOver_.load(std::memory_order_relaxed); ++done_) {
                if (!place(finished_[done_], items)) return;
                items.formatInto(names_, text_);
                if (text_.size() >= kWriteChunk) flush();
                if (error_ != 0) return;
            }
        }
    }

    // Asks run() to stop after the material it is on: the reading has ended, and the rest
    // is made faster on two threads.
    void handOver() { handOver_.store(true, std::memory_order_release); }

    // Writes the materials from where run() stopped up to `total`, once run() has returned.
    void finish(std::size_t total) {
        FileItems items;
        for (; done_ < total; ++done_)
            if (!place(finished_[done_], items)) return;
        if (!names_.empty()) items.categoryEnd();
        flush();
        items.emit(names_, false, [this](std::string_view text) {
            if (error_ == 0) error_ = writer_.append(text);
            return error_ == 0;
        });
    }

    // The whole library went out in the order a save gives it.
    bool complete() const { return opened_ && error_ == 0 && grouped_; }

private:
    // Puts the material in its place, after a category line where it starts a category.
    bool place(clsMaterial* material, FileItems& items) {
        if (!opened_) {
            opened_ = true;
            error_ = writer_.open(SafeFileWriter::InPlace::Refused);
            text_.reserve(2 * kWriteChunk);
        }
        if (error_ != 0 || !grouped_) return false;
        const std::string_view category = trimBlanks(material->MaterialType());
        if (names_.empty() || !equalsNoCase(category, names_.back())) {
            // A category that comes back gathers materials from further up: a save puts
            // them together, and what has gone out can no longer be.
            for (const std::string& name : names_)
                if (equalsNoCase(category, name)) {
                    grouped_ = false;
                    return false;
                }
            if (!names_.empty()) items.categoryEnd();
            names_.emplace_back(category);
            items.category(names_.size() - 1);
        }
        items.material(material);
        return true;
    }

    void flush() {
        if (error_ == 0 && !text_.empty()) error_ = writer_.append(text_);
        text_.clear();
    }

    SafeFileWriter& writer_;
    FinishedMaterials& finished_;
    std::atomic<bool> handOver_{false};
    std::size_t done_ = 0;
    std::vector<std::string> names_;
    std::string text_;
    bool opened_ = false;
    bool grouped_ = true;
    int error_ = 0;
};

} // namespace

CopyResult readAndWriteLibraryFile(const std::string& source, const std::string& target,
                                   Library& library, std::string_view decimalSeparator,
                                   FileOps& ops, Durability durability) {
    CopyResult result;
    InputFile in(source);
    if (!in.ok()) {
        result.read = CannotRead(in.reason());
        return result;
    }
    // A small file is read and written in less time than a second thread takes to start.
    if (in.size() < kReadInTwoFrom || !HelperThread::pays() || target.empty()) {
        result.read = ReadOpenFile(in, library, decimalSeparator);
        return result;
    }
    SafeFileWriter writer(target, ops, durability);
    FinishedMaterials finished;
    StreamingWriter streaming(writer, finished);
    library.clear();
    LibraryParser parser(library, decimalSeparator);
    LineSplitter splitter(parser);
    HelperThread helper([&streaming] { streaming.run(); });
    if (!helper.started()) {
        result.read = ReadOpenFile(in, library, decimalSeparator);
        return result;
    }
    int error = 0;
    try {
        error = FeedPart(in, 0, -1, splitter, [&] { finished.publish(library, false); });
    } catch (...) {
        finished.publish(library, true); // the writer waits for the end
        throw;
    }
    streaming.handOver();
    finished.publish(library, true);
    helper.join();
    if (helper.failure()) std::rethrow_exception(helper.failure());
    streaming.finish(static_cast<std::size_t>(library.materialCount()));
    if (error != 0) {
        library.clear();
        result.read = CannotRead(readErrorMessage(error));
    } else {
        result.read = Finish(parser, library);
    }
    const bool whole = result.read.status == ReadResult::Status::Loaded &&
                       result.read.droppedMaterials == 0 && streaming.complete();
    // A failed commit leaves the target as it was; the caller's own save meets the same
    // failure and reports it.
    result.written = whole && writer.commit() == 0;
    if (!result.written) writer.abandon();
    return result;
}

} // namespace mb
