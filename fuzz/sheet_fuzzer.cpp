// libFuzzer entry: arbitrary bytes as a workbook, read by FreeXL in this process, imported,
// saved as library text and read back.
#include "FreeXLSpreadsheet.h"
#include "Library.h"
#include "LibraryRoundTrip.h"
#include "SpreadsheetImport.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

// A small quarantine, as for the library target: each input builds libraries of 128 KiB.
extern "C" const char* __asan_default_options() {
    return "quarantine_size_mb=16";
}

// FreeXL leaks on some of its error paths; that is the library's business, not a finding.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfreexl.so\n";
}

namespace {

[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "sheet import: %s\n", what.c_str());
    std::abort();
}

// FreeXL only opens files by name: one memory file, rewritten for every input, spares the
// disk and leaves nothing behind.
class WorkbookFile {
public:
    WorkbookFile() : fd_(memfd_create("sheet_fuzzer", 0)) {
        if (fd_ < 0) Fail(std::string("memfd_create: ") + std::strerror(errno));
        path_ = "/proc/self/fd/" + std::to_string(fd_);
    }
    const std::string& hold(const std::uint8_t* data, std::size_t size) {
        if (ftruncate(fd_, 0) != 0) Fail(std::string("ftruncate: ") + std::strerror(errno));
        std::size_t done = 0;
        while (done < size) {
            const ssize_t n = pwrite(fd_, data + done, size - done, static_cast<off_t>(done));
            if (n <= 0) Fail(std::string("pwrite: ") + std::strerror(errno));
            done += static_cast<std::size_t>(n);
        }
        return path_;
    }

private:
    int fd_;
    std::string path_;
};

// Put where an import that cannot open the workbook must leave the library alone.
constexpr const char* kBystander = "Left alone";

void PlaceBystander(mb::Library& library) {
    library.clear();
    library.addMaterial("", "", kBystander, "");
}

std::string CheckImport(const std::string& path, const mb::ImportResult& result,
                        mb::Library& library, mb::Library& readBack) {
    using Status = mb::ImportResult::Status;
    const std::string message = result.message();
    if (result.status == Status::CannotOpen) {
        if (library.materialCount() != 1 || library.entry(0).Name != kBystander)
            return "a workbook that could not be opened changed the library";
        if (message.find(path) == std::string::npos)
            return "the reason \"" + message + "\" does not name the file";
        return "";
    }
    if (result.status != Status::Imported) {
        const std::string row =
            "The import stopped at row " + std::to_string(result.row) + " of \"" + path + "\": ";
        if (result.row < 1 || result.row > mb::kLastSheetRow)
            return "reading stopped at row " + std::to_string(result.row);
        if (message.find(row) == std::string::npos)
            return "the message \"" + message + "\" does not name row " +
                   std::to_string(result.row) + " of the file";
    }
    for (const char* separator : {".", ","})
        if (std::string problem = mb::fuzz::CheckSavedLibrary(library, separator, readBack);
            !problem.empty())
            return std::string("saving the import with \"") + separator + "\": " + problem;
    return "";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static WorkbookFile file;
    static mb::FreeXLSpreadsheetReader reader;
    static mb::Library library, readBack;
    const std::string& path = file.hold(data, size);
    PlaceBystander(library);
    const mb::ImportResult result = mb::ImportSpreadsheet(path, reader, library);
    if (std::string problem = CheckImport(path, result, library, readBack); !problem.empty())
        Fail(problem);
    return 0;
}
