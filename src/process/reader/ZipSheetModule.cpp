#include "ZipSheetModule.h"

#include <dlfcn.h>
#include <unistd.h>

#include <array>

namespace mb {

namespace {

class RefusingReader : public SpreadsheetReader {
public:
    explicit RefusingReader(std::string why) : why_(std::move(why)) {}
    Result<std::unique_ptr<Workbook>> open(const std::string& path) override {
        return Failure{path, "", "The file \"" + path + "\" cannot be read: " + why_ + "."};
    }

private:
    std::string why_;
};

std::string ProgramDir() {
    std::array<char, 4096> buffer{};
    const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (n <= 0) return ".";
    const std::string path(buffer.data(), static_cast<std::size_t>(n));
    return path.substr(0, path.rfind('/'));
}

// Where an installation puts it beside matlib, else where the build made it.
std::string ModulePath() {
    const std::string installed = ProgramDir() + "/" + MB_ZIPSHEET_INSTALLED;
    if (::access(installed.c_str(), R_OK) == 0) return installed;
    return MB_ZIPSHEET_BUILT;
}

} // namespace

std::unique_ptr<SpreadsheetReader> loadZipSpreadsheetReader() {
    const std::string path = ModulePath();
    // Never closed: the reader's code lives in it until the process ends.
    void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    using Entry = SpreadsheetReader* (*)();
    const auto entry =
        module ? reinterpret_cast<Entry>(::dlsym(module, "mbZipSpreadsheetReader")) : nullptr;
    if (!entry) {
        const char* error = ::dlerror();
        return std::make_unique<RefusingReader>("the xlsx and ods reader " + path +
                                                " cannot be loaded (" +
                                                (error ? error : "no entry") + ")");
    }
    return std::unique_ptr<SpreadsheetReader>(entry());
}

} // namespace mb
