#include "XlsxExport.h"

#include "ExchangeText.h"
#include "FileOps.h"
#include "LibraryFile.h"

#include <xlsxwriter.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <type_traits>
#include <unistd.h>

namespace mb {

namespace {

// The writer only writes files: the workbook is made in a scratch file and read back.
class ScratchFile {
public:
    ScratchFile() {
        const char* folder = std::getenv("TMPDIR");
        path_ = std::string(folder && *folder ? folder : "/tmp") + "/matlib-xlsx.XXXXXX";
        const int fd = ::mkstemp(path_.data());
        if (fd < 0) {
            error_ = errno;
            path_.clear();
        } else {
            ::close(fd);
        }
    }
    ~ScratchFile() {
        if (!path_.empty()) std::remove(path_.c_str());
    }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    const std::string& path() const { return path_; }
    int error() const { return error_; }

private:
    std::string path_;
    int error_ = 0;
};

// The writer library is loaded when a workbook is first written, not when the program
// starts: it brings in libcrypto, whose loading would cost every run of matlib, most of
// which never write a workbook, several milliseconds.
struct XlsxWriter {
    decltype(&workbook_new_opt) newWorkbook = nullptr;
    decltype(&workbook_add_worksheet) addWorksheet = nullptr;
    decltype(&worksheet_write_number) writeNumber = nullptr;
    decltype(&worksheet_write_string) writeString = nullptr;
    decltype(&workbook_close) close = nullptr;
    decltype(&lxw_strerror) describe = nullptr;
    std::string error;

    static const XlsxWriter& Loaded() {
        static const XlsxWriter writer = [] {
            XlsxWriter w;
            void* library = ::dlopen("libxlsxwriter.so.4", RTLD_NOW | RTLD_LOCAL);
            if (!library) {
                const char* why = ::dlerror();
                w.error = std::string("the xlsx writer (libxlsxwriter) cannot be loaded: ") +
                          (why ? why : "unknown reason");
                return w;
            }
            const auto find = [&](auto& function, const char* name) {
                function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(
                    ::dlsym(library, name));
                if (!function && w.error.empty())
                    w.error = std::string("the xlsx writer (libxlsxwriter) has no ") + name + ".";
            };
            find(w.newWorkbook, "workbook_new_opt");
            find(w.addWorksheet, "workbook_add_worksheet");
            find(w.writeNumber, "worksheet_write_number");
            find(w.writeString, "worksheet_write_string");
            find(w.close, "workbook_close");
            find(w.describe, "lxw_strerror");
            return w;
        }();
        return writer;
    }
};

} // namespace

Result<std::string> xlsxWorkbook(const CellRows& rows) {
    const XlsxWriter& xlsx = XlsxWriter::Loaded();
    if (!xlsx.error.empty()) {
        return Failure{"", "", xlsx.error};
    }
    ScratchFile scratch;
    if (scratch.path().empty()) {
        return Failure{"", "",
                       "no scratch file for the workbook: " + fileErrorMessage(scratch.error())};
    }
    // Rows are written in order, so the writer can keep one row in memory at a time.
    lxw_workbook_options options = {};
    options.constant_memory = LXW_TRUE;
    lxw_workbook* workbook = xlsx.newWorkbook(scratch.path().c_str(), &options);
    if (!workbook) {
        return Failure{"", "", "the workbook could not be started."};
    }
    lxw_worksheet* sheet = xlsx.addWorksheet(workbook, "Materials");
    lxw_error failed = LXW_NO_ERROR;
    for (std::size_t r = 0; r < rows.size() && failed == LXW_NO_ERROR; ++r) {
        for (std::size_t c = 0; c < rows[r].size() && failed == LXW_NO_ERROR; ++c) {
            const CellValue& cell = rows[r][c];
            const auto row = static_cast<lxw_row_t>(r);
            const auto column = static_cast<lxw_col_t>(c);
            if (cell.kind == CellValue::Kind::Number)
                failed = xlsx.writeNumber(sheet, row, column, cell.number, nullptr);
            else if (cell.kind == CellValue::Kind::Text)
                failed = xlsx.writeString(sheet, row, column, cell.text.c_str(), nullptr);
        }
    }
    const lxw_error closed = xlsx.close(workbook);
    if (failed == LXW_NO_ERROR) failed = closed;
    if (failed != LXW_NO_ERROR) {
        return Failure{"", "",
                       std::string("the workbook could not be written: ") + xlsx.describe(failed)};
    }
    std::string bytes;
    InputFile in(scratch.path());
    char buffer[64 * 1024];
    for (long got; in.ok() && (got = in.read(buffer, sizeof buffer)) > 0;)
        bytes.append(buffer, static_cast<std::size_t>(got));
    if (bytes.empty()) return Failure{"", "", "the workbook could not be read back."};
    return bytes;
}

} // namespace mb
